#include "service/connection_guard.h"

#include "service/service_log.h"

#include <QTcpSocket>

namespace {

qint64 contentLength(const QByteArray& head) {
    for (const QByteArray& line : head.split('\n')) {
        if (line.toLower().startsWith("content-length:")) {
            bool ok = false;
            const qint64 length = line.mid(15).trimmed().toLongLong(&ok);
            return ok ? length : -1;
        }
    }
    return -1;
}

}  // namespace

ConnectionGuard::ConnectionGuard(QTcpSocket* socket, QObject* server, qint64 maxBody)
    : QObject(socket), socket_(socket), server_(server), maxBody_(maxBody) {
    connect(socket, &QTcpSocket::readyRead, this, &ConnectionGuard::readyRead);
    idle_.setSingleShot(true);
    idle_.setInterval(kIdleMs);
    connect(&idle_, &QTimer::timeout, socket, &QTcpSocket::disconnectFromHost);
    idle_.start();
}

void ConnectionGuard::readyRead() {
    idle_.start();
    if (refused_) {
        socket_->readAll();  // the rest of a refused request goes nowhere
        return;
    }
    if (!socket_->isTransactionStarted()) {
        // The server has taken no byte of this request yet: it starts here.
        head_.clear();
        headDone_ = false;
        requestBytes_ = 0;
    }
    requestBytes_ += socket_->bytesAvailable();
    if (!headDone_) {
        readHead();
    }
    if (!refused_ && requestBytes_ > kMaxHead + maxBody_) {
        refuse();
    }
}

void ConnectionGuard::readHead() {
    // What the server has not read yet is what came since the last call.
    head_ += socket_->peek(kMaxHead - head_.size() + 4);
    qsizetype end = head_.indexOf("\r\n\r\n");
    if (end < 0) {
        end = head_.indexOf("\n\n");
    }
    if (end < 0) {
        if (head_.size() > kMaxHead) {
            refuse();
        }
        return;
    }
    headDone_ = true;
    const QByteArray head = head_.left(end);
    const QByteArray requestLine = head.split('\n').first().trimmed();
    socket_->setProperty("http10", requestLine.endsWith("HTTP/1.0"));
    socket_->setProperty("target", requestLine.split(' ').value(1));
    if (contentLength(head) > maxBody_) {
        refuse();
    }
}

void ConnectionGuard::refuse() {
    refused_ = true;
    disconnect(socket_, &QTcpSocket::readyRead, server_, nullptr);
    if (socket_->isTransactionStarted()) {
        socket_->commitTransaction();
    }
    socket_->readAll();
    const QByteArray body = "Request too large\n";
    socket_->write(
        "HTTP/1.1 413 Payload Too Large\r\nContent-Type: text/plain\r\n"
        "Connection: close\r\nContent-Length: " +
        QByteArray::number(body.size()) + "\r\n\r\n" + body);
    ServiceLog::write(QStringLiteral("%1 - \"%2\" 413 request over %3 bytes")
                          .arg(socket_->peerAddress().toString(),
                               QString::fromLatin1(head_.left(head_.indexOf(' '))))
                          .arg(maxBody_));
    // Let the client finish sending (so it reads the answer rather than a reset), then close.
    idle_.start(2000);
}
