#include "service/service_server.h"

#include "service/connection_guard.h"
#include "service/migrations.h"
#include "service/reference_seed.h"
#include "service/service_error.h"
#include "service/service_http.h"
#include "service/service_log.h"

#include <sys/socket.h>
#include <QDir>
#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <atomic>

// Hands accepted connections to the HTTP server of its worker. It holds a TCP socket that never
// listens (so nobody can connect to it), which makes it a listening QTcpServer for Qt.
class ConnectionFeed : public QTcpServer {
public:
    explicit ConnectionFeed(QObject* parent) : QTcpServer(parent) {
        setSocketDescriptor(::socket(AF_INET, SOCK_STREAM, 0));
    }
    void feed(QTcpSocket* socket) { addPendingConnection(socket); }
};

class Worker : public QObject {
public:
    Worker(const ServiceOptions& options, const DatabaseConfig& database, SharedCaches caches,
           int index)
        : options_(options), database_(database), caches_(caches), index_(index) {}

    // In the worker's thread.
    QString start() {
        try {
            db_ = std::make_unique<Database>(database_, QStringLiteral("worker-%1").arg(index_));
        } catch (const ServiceError& error) {
            return error.message();
        }
        http_ = new ServiceHttp(options_, *db_, caches_);
        http_->setParent(this);
        feed_ = new ConnectionFeed(http_);
        http_->bind(feed_);
        if (options_.tls()) {
            tls_ = std::make_unique<QSslConfiguration>(tlsConfiguration(options_));
        }
        return {};
    }

    // In the worker's thread.
    void accept(qintptr descriptor) {
        QTcpSocket* socket = nullptr;
        if (tls_) {
            auto* ssl = new QSslSocket;
            ssl->setSslConfiguration(*tls_);
            socket = ssl;
        } else {
            socket = new QTcpSocket;
        }
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            connections_.fetch_sub(1);
            return;
        }
        socket->setParent(feed_);  // goes with the worker at the latest
        connect(socket, &QObject::destroyed, this, [this] { connections_.fetch_sub(1); });
        new ConnectionGuard(socket, http_, options_.maxBodyBytes);
        if (auto* ssl = qobject_cast<QSslSocket*>(socket)) {
            ssl->startServerEncryption();
        }
        feed_->feed(socket);
    }

    // From the accepting thread: counts the connection in before it arrives.
    void reserve() { connections_.fetch_add(1); }
    int connections() const { return connections_.load(); }

    ~Worker() override {
        delete http_;  // before the database it answers from
        http_ = nullptr;
    }

    static QSslConfiguration tlsConfiguration(const ServiceOptions& options) {
        QFile certificateFile(options.tlsCertificate);
        QFile keyFile(options.tlsKey);
        if (!certificateFile.open(QIODevice::ReadOnly) || !keyFile.open(QIODevice::ReadOnly)) {
            throw ServiceError(
                QStringLiteral("Cannot read %1 or %2").arg(options.tlsCertificate, options.tlsKey));
        }
        const QList<QSslCertificate> chain = QSslCertificate::fromData(certificateFile.readAll());
        const QByteArray keyBytes = keyFile.readAll();
        QSslKey key(keyBytes, QSsl::Rsa);
        if (key.isNull()) {
            key = QSslKey(keyBytes, QSsl::Ec);
        }
        if (chain.isEmpty() || key.isNull()) {
            throw ServiceError(QStringLiteral("%1 holds no PEM certificate or %2 no RSA or EC key")
                                   .arg(options.tlsCertificate, options.tlsKey));
        }
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setLocalCertificateChain(chain);
        configuration.setPrivateKey(key);
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
        return configuration;
    }

private:
    const ServiceOptions& options_;
    DatabaseConfig database_;
    SharedCaches caches_;
    int index_;
    std::unique_ptr<Database> db_;
    ServiceHttp* http_ = nullptr;
    ConnectionFeed* feed_ = nullptr;
    std::unique_ptr<QSslConfiguration> tls_;
    std::atomic<int> connections_{0};
};

class Acceptor : public QTcpServer {
public:
    explicit Acceptor(QList<Worker*> workers) : workers_(std::move(workers)) {}

protected:
    void incomingConnection(qintptr descriptor) override {
        Worker* chosen = workers_.first();
        for (Worker* worker : std::as_const(workers_)) {
            if (worker->connections() < chosen->connections()) {
                chosen = worker;
            }
        }
        chosen->reserve();
        QMetaObject::invokeMethod(
            chosen, [chosen, descriptor] { chosen->accept(descriptor); }, Qt::QueuedConnection);
    }

private:
    QList<Worker*> workers_;
};

std::unique_ptr<Database> openDatabase(const ServiceOptions& options, const QString& connection,
                                       QString* log) {
    if (!QDir().mkpath(options.dataDir)) {
        throw ServiceError(QStringLiteral("Cannot create the data folder %1").arg(options.dataDir));
    }
    QFile::setPermissions(options.dataDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const DatabaseConfig config = DatabaseConfig::fromUrl(options.database, options.dataDir);
    auto db = std::make_unique<Database>(config, connection);
    const int found = Migrations::migrate(*db);
    const QString seeded = ReferenceSeed::refresh(*db, options.isoCodesDir, options.dataDir);
    if (log) {
        QStringList done{QStringLiteral("%1, schema %2")
                             .arg(config.describe())
                             .arg(Migrations::latestVersion())};
        if (found != Migrations::latestVersion()) {
            done << QStringLiteral("migrated from %1").arg(found);
        }
        if (!seeded.isEmpty()) {
            done << seeded;
        }
        *log = done.join(QStringLiteral("; "));
    }
    return db;
}

ServiceServer::ServiceServer(const ServiceOptions& options) : options_(options) {
    QString log;
    openDatabase(options_, QStringLiteral("start"), &log);
    database_ = DatabaseConfig::fromUrl(options_.database, options_.dataDir);
    if (options_.tls()) {
        Worker::tlsConfiguration(options_);  // fails here rather than per connection
    }
    ServiceLog::write(log);
}

ServiceServer::~ServiceServer() {
    stop();
}

quint16 ServiceServer::start() {
    for (int i = 0; i < options_.threads; ++i) {
        auto* thread = new QThread;
        auto* worker = new Worker(options_, database_, {credentials_, reference_}, i);
        worker->moveToThread(thread);
        QObject::connect(thread, &QThread::finished, worker, &QObject::deleteLater);
        thread->start();
        threads_ << thread;
        workers_ << worker;
        QString error;
        QMetaObject::invokeMethod(
            worker, [worker, &error] { error = worker->start(); }, Qt::BlockingQueuedConnection);
        if (!error.isEmpty()) {
            throw ServiceError(error);
        }
    }
    auto* thread = new QThread;
    acceptor_ = new Acceptor(workers_);
    acceptor_->moveToThread(thread);
    QObject::connect(thread, &QThread::finished, acceptor_, &QObject::deleteLater);
    thread->start();
    threads_ << thread;
    bool listening = false;
    quint16 port = 0;
    QString error;
    Acceptor* acceptor = acceptor_;
    QMetaObject::invokeMethod(
        acceptor,
        [&, acceptor] {
            listening = acceptor->listen(options_.address, options_.port);
            port = acceptor->serverPort();
            error = acceptor->errorString();
        },
        Qt::BlockingQueuedConnection);
    if (!listening) {
        throw ServiceError(QStringLiteral("Cannot listen on %1 port %2: %3")
                               .arg(options_.address.toString())
                               .arg(options_.port)
                               .arg(error));
    }
    ServiceLog::write(QStringLiteral("listening on %1 port %2 (%3, %4 threads)")
                          .arg(options_.address.toString())
                          .arg(port)
                          .arg(options_.tls() ? QStringLiteral("https") : QStringLiteral("http"))
                          .arg(options_.threads));
    return port;
}

void ServiceServer::stop() {
    // The acceptor goes first (it was started last), so no connection reaches a stopped worker.
    for (auto it = threads_.rbegin(); it != threads_.rend(); ++it) {
        (*it)->quit();
        (*it)->wait();
        delete *it;
    }
    threads_.clear();
    workers_.clear();
    acceptor_ = nullptr;
}
