#pragma once

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpServer>
#include <QTimer>
#include <functional>

// A real HTTP server on 127.0.0.1 in the test's own thread (the client under test waits in a
// nested event loop, which is what lets it answer). It records the raw bytes of every
// connection and answers through `responder`, called after each arrival with all bytes the
// connection has brought so far.
class HttpTestServer : public QTcpServer {
public:
    using Responder = std::function<void(QTcpSocket* socket, const QByteArray& received)>;

    HttpTestServer() { listen(QHostAddress::LocalHost); }
    // The connections go first, while the responder they call still exists.
    ~HttpTestServer() override {
        close();
        qDeleteAll(findChildren<QTcpSocket*>(Qt::FindDirectChildrenOnly));
    }

    // Once the whole request has arrived (headers and Content-Length body), writes `reply`,
    // after `delayMs` when given, and closes the connection unless `keepOpen`.
    static Responder answer(const QByteArray& reply, bool keepOpen = false, int delayMs = 0) {
        return [reply, keepOpen, delayMs](QTcpSocket* socket, const QByteArray& received) {
            if (!isWholeRequest(received)) {
                return;
            }
            QPointer<QTcpSocket> peer(socket);
            auto send = [peer, reply, keepOpen] {
                if (!peer) {
                    return;
                }
                peer->write(reply);
                if (!keepOpen) {
                    peer->disconnectFromHost();
                }
            };
            delayMs > 0 ? QTimer::singleShot(delayMs, socket, send) : send();
        };
    }

    // Writes `reply` to the first bytes, whatever they are, and closes.
    static Responder answerAtOnce(const QByteArray& reply) {
        return [reply](QTcpSocket* socket, const QByteArray&) {
            socket->write(reply);
            socket->disconnectFromHost();
        };
    }

    // Closes the connection as soon as the whole request has arrived, without a word.
    static Responder drop() {
        return [](QTcpSocket* socket, const QByteArray& received) {
            if (isWholeRequest(received)) {
                socket->abort();
            }
        };
    }

    static Responder silent() {
        return [](QTcpSocket*, const QByteArray&) {};
    }

    static bool isWholeRequest(const QByteArray& received) {
        const qsizetype headerEnd = received.indexOf("\r\n\r\n");
        if (headerEnd < 0) {
            return false;
        }
        return received.size() - (headerEnd + 4) >= contentLength(received.left(headerEnd));
    }

    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
    }
    QString authority() const { return QStringLiteral("127.0.0.1:%1").arg(serverPort()); }

    // The bytes of the last connection (empty when none came).
    QByteArray lastRequest() const { return requests.isEmpty() ? QByteArray() : requests.last(); }

    Responder responder = answer("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK");
    // When set, connections are TLS with this server configuration; `requests` then holds
    // the decrypted bytes.
    QSslConfiguration tls;
    bool useTls = false;
    QList<QByteArray> requests;

protected:
    void incomingConnection(qintptr descriptor) override {
        auto* socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        const qsizetype index = requests.size();
        requests.append(QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, index] {
            requests[index] += socket->readAll();
            responder(socket, requests[index]);
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (useTls) {
            socket->setSslConfiguration(tls);
            socket->startServerEncryption();
        }
    }

private:
    static qsizetype contentLength(const QByteArray& headers) {
        for (const QByteArray& line : headers.split('\n')) {
            if (line.toLower().startsWith("content-length:")) {
                return line.mid(15).trimmed().toLongLong();
            }
        }
        return 0;
    }
};
