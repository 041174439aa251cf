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

// One request and its answer over one connection, waited for in a nested event loop.
class Exchange {
public:
    Exchange(const HttpAddress& address, const HttpProxy& proxy, QByteArray request,
             int idleTimeoutMs)
        : address_(address), proxy_(proxy), request_(std::move(request)) {
        idle_.setSingleShot(true);
        idle_.setInterval(idleTimeoutMs);
        QObject::connect(&idle_, &QTimer::timeout, [this, idleTimeoutMs] {
            fail(std::make_exception_ptr(
                TimeoutError(QStringLiteral("The server sent nothing for %1 seconds.")
                                 .arg(idleTimeoutMs / 1000.0))));
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

private:
    void connectSocket() {
        auto* socket = new QSslSocket;
        socket_.reset(socket);
        QObject::connect(socket, &QSslSocket::connected, socket, [this] { connected(); });
        QObject::connect(socket, &QSslSocket::encrypted, socket, [this] { send(); });
        QObject::connect(socket, &QSslSocket::readyRead, socket, [this] { readAvailable(); });
        QObject::connect(socket, &QSslSocket::bytesWritten, socket, [this] { idle_.start(); });
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
        idle_.start();
        if (!address_.tls) {
            send();
        }
    }

    void send() {
        idle_.start();
        socket_->write(request_);
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

    void socketFailed(QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError) {
            closed();
            return;
        }
        fail(std::make_exception_ptr(SocketError(socket_->errorString())));
    }

    void closed() {
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
        loop_.quit();
    }

    HttpAddress address_;
    HttpProxy proxy_;
    QByteArray request_;
    std::unique_ptr<QSslSocket> socket_;
    QEventLoop loop_;
    QTimer idle_;
    HttpResponseReader reader_;
    std::exception_ptr failure_;
    bool done_ = false;
};

bool isSuccess(int statusCode) {
    return statusCode >= 200 && statusCode < 300;
}

}  // namespace

HttpClient::HttpClient(HttpIdentity identity, HttpProxy proxy, int idleTimeoutMs)
    : identity_(std::move(identity)), proxy_(std::move(proxy)), idleTimeoutMs_(idleTimeoutMs) {}

QByteArray HttpClient::send(const QString& url, const HttpRequest& request) const {
    const HttpAddress address = HttpWire::parseAddress(HttpWire::escapeAddress(url));
    // Inside a TLS tunnel the request goes to the service itself, not to the proxy.
    const bool proxyReadsRequest = proxy_.used() && !address.tls;
    Exchange exchange(address, proxy_,
                      HttpWire::requestBytes(request, address, proxyReadsRequest, identity_),
                      idleTimeoutMs_);
    const HttpResponseReader& answer = exchange.run();
    if (!isSuccess(answer.statusCode())) {
        throw HttpError(answer.statusCode(), QString::fromLatin1(answer.statusLine()),
                        answer.body());
    }
    return answer.body();
}
