#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

class QTcpSocket;

// Watches one connection ahead of the HTTP server (it must be connected to the socket first):
// a request whose head or body goes over the limits is answered 413 and the connection closed
// before the server has buffered it; a connection idle for a minute is closed; and it notes on
// the socket whether the current request is HTTP/1.0 (property "http10") and its target as the
// client wrote it (property "target": the server's URL turns bytes that are not UTF-8 into
// U+FFFD and ends the query at a "#", where the desktop writes values as they are).
class ConnectionGuard : public QObject {
public:
    ConnectionGuard(QTcpSocket* socket, QObject* server, qint64 maxBody);

    static constexpr qint64 kMaxHead = 64 * 1024;
    static constexpr int kIdleMs = 60 * 1000;

private:
    void readyRead();
    void readHead();
    void refuse();

    QTcpSocket* socket_;
    QObject* server_;
    qint64 maxBody_;
    QByteArray head_;
    bool headDone_ = false;
    qint64 requestBytes_ = 0;
    bool refused_ = false;
    QTimer idle_;
};
