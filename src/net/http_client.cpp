#include "net/http_client.h"

#include "net/http_errors.h"
#include "net/http_response.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QSslSocket>
#include <QTimer>
#include <exception>
#include <memory>

namespace {

QString seconds(int milliseconds) {
    return QString::number(milliseconds / 1000.0);
}

// How much of the body waits in the connection's own buffer at a time: the body is streamed
// from the request, not copied into the buffer whole.
constexpr qsizetype kWriteChunk = 256 * 1024;
// How much of the answer the connection takes in before it is read: a large answer comes in
// pieces, each handled in a moment.
constexpr qint64 kReadChunk = 256 * 1024;

bool isSuccess(int statusCode) {
    return statusCode >= 200 && statusCode < 300;
}

}  // namespace

// One request and its answer over one connection, waited for in a nested event loop.
class HttpClient::Exchange {
public:
    Exchange(const HttpAddress& address, const HttpProxy& proxy, QByteArray head, QByteArray body,
             const HttpLimits& limits)
        : address_(address),
          proxy_(proxy),
          head_(std::move(head)),
          body_(std::move(body)),
          reader_(limits) {
        idle_.setSingleShot(true);
        idle_.setInterval(limits.idleMs);
        QObject::connect(&idle_, &QTimer::timeout, [this, limits] {
            fail(std::make_exception_ptr(
                TimeoutError(QStringLiteral("The server sent nothing for %1 seconds.")
                                 .arg(seconds(limits.idleMs)))));
        });
        deadline_.setSingleShot(true);
        deadline_.setInterval(limits.deadlineMs);
        QObject::connect(&deadline_, &QTimer::timeout, [this, limits] {
            fail(std::make_exception_ptr(TimeoutError(
                QStringLiteral("The server did not complete its answer within %1 seconds.")
                    .arg(seconds(limits.deadlineMs)))));
        });
    }

    ~Exchange() {
        if (socket_) {
            QObject::disconnect(socket_.get(), nullptr, nullptr, nullptr);
            socket_->abort();
        }
    }

    // The answer once complete; throws what failed it.
    const HttpResponseReader& run() {
        deadline_.start();
        connectSocket();
        if (!done_) {
            loop_.exec();
        }
        if (!done_) {
            throw SocketError(QStringLiteral("The request was interrupted."));
        }
        if (failure_) {
            std::rethrow_exception(failure_);
        }
        return reader_;
    }

    void cancel() {
        fail(std::make_exception_ptr(
            RequestCanceledError(QStringLiteral("The request was canceled."))));
    }

private:
    void connectSocket() {
        auto* socket = new QSslSocket;
        socket_.reset(socket);
        socket->setReadBufferSize(kReadChunk);
        QObject::connect(socket, &QSslSocket::connected, socket, [this] { connected(); });
        QObject::connect(socket, &QSslSocket::encrypted, socket, [this] {
            encrypted_ = true;
            send();
        });
        QObject::connect(socket, &QSslSocket::readyRead, socket, [this] { readAvailable(); });
        QObject::connect(socket, &QSslSocket::bytesWritten, socket, [this] {
            idle_.start();
            writeBody();
        });
        QObject::connect(socket, &QSslSocket::errorOccurred, socket,
                         [this](QAbstractSocket::SocketError error) { socketFailed(error); });
        QObject::connect(socket, &QSslSocket::disconnected, socket, [this] { closed(); });
        idle_.start();
        if (!address_.tls) {
            socket->setProxy(QNetworkProxy::NoProxy);
            socket->connectToHost(proxy_.used() ? proxy_.host : address_.host,
                                  proxy_.used() ? proxy_.port : address_.port);
            return;
        }
        socket->setProxy(proxy_.used()
                             ? QNetworkProxy(QNetworkProxy::HttpProxy, proxy_.host, proxy_.port)
                             : QNetworkProxy(QNetworkProxy::NoProxy));
        socket->connectToHostEncrypted(address_.host, address_.port);
    }

    void connected() {
        connected_ = true;
        idle_.start();
        if (!address_.tls) {
            send();
        }
    }

    void send() {
        idle_.start();
        socket_->write(head_);
        sending_ = true;
        writeBody();
    }

    // Tops the connection's buffer up with the next pieces of the body.
    void writeBody() {
        while (sending_ && sent_ < body_.size() && socket_->bytesToWrite() < kWriteChunk) {
            const qsizetype piece = qMin(kWriteChunk, body_.size() - sent_);
            if (socket_->write(body_.constData() + sent_, piece) != piece) {
                return;  // the socket reports its failure
            }
            sent_ += piece;
        }
    }

    void readAvailable() {
        if (done_) {
            return;
        }
        idle_.start();
        try {
            if (reader_.feed(socket_->readAll())) {
                finish({});
            }
        } catch (...) {
            fail(std::current_exception());
        }
    }

    // The connection reached the server but the secure channel was never set up.
    bool tlsFailed() const { return address_.tls && connected_ && !encrypted_; }

    SocketError tlsFailure(const QString& reason) const {
        return SocketError(
            QStringLiteral("The secure (TLS) connection to %1 could not be set up: %2")
                .arg(address_.host, reason));
    }

    void socketFailed(QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError) {
            closed();
            return;
        }
        fail(std::make_exception_ptr(tlsFailed() ? tlsFailure(socket_->errorString())
                                                 : SocketError(socket_->errorString())));
    }

    void closed() {
        if (tlsFailed()) {
            fail(std::make_exception_ptr(tlsFailure(QStringLiteral(
                "the server closed the connection during the handshake (it may not speak TLS "
                "on that port)."))));
            return;
        }
        readAvailable();
        if (done_) {
            return;
        }
        try {
            reader_.finishAtClose();
            finish({});
        } catch (...) {
            fail(std::current_exception());
        }
    }

    void fail(std::exception_ptr failure) {
        if (!done_) {
            finish(std::move(failure));
        }
    }

    void finish(std::exception_ptr failure) {
        done_ = true;
        failure_ = std::move(failure);
        idle_.stop();
        deadline_.stop();
        loop_.quit();
    }

    HttpAddress address_;
    HttpProxy proxy_;
    QByteArray head_;
    QByteArray body_;
    qsizetype sent_ = 0;  // of the body
    bool sending_ = false;
    std::unique_ptr<QSslSocket> socket_;
    QEventLoop loop_;
    QTimer idle_;
    QTimer deadline_;
    HttpResponseReader reader_;
    std::exception_ptr failure_;
    bool connected_ = false;
    bool encrypted_ = false;
    bool done_ = false;
};

HttpClient::HttpClient(HttpIdentity identity, HttpProxy proxy)
    : identity_(std::move(identity)), proxy_(std::move(proxy)) {}

HttpClient::~HttpClient() = default;

QByteArray HttpClient::send(const QString& url, const HttpRequest& request,
                            const HttpLimits& limits) const {
    const HttpAddress address = HttpWire::parseAddress(HttpWire::escapeAddress(url));
    // Inside a TLS tunnel the request goes to the service itself, not to the proxy.
    const bool proxyReadsRequest = proxy_.used() && !address.tls;
    Exchange exchange(address, proxy_,
                      HttpWire::requestHead(request, address, proxyReadsRequest, identity_),
                      request.body, limits);
    struct Waiting {
        Exchange*& slot;
        ~Waiting() { slot = nullptr; }
    } waiting{waiting_ = &exchange};
    const HttpResponseReader& answer = exchange.run();
    if (!isSuccess(answer.statusCode())) {
        throw HttpError(answer.statusCode(), QString::fromLatin1(answer.statusLine()),
                        answer.body());
    }
    return answer.body();
}

void HttpClient::cancel() const {
    if (waiting_) {
        waiting_->cancel();
    }
}
