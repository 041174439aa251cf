#pragma once

#include "service/credential_cache.h"
#include "service/database.h"
#include "service/directory.h"
#include "service/options.h"

#include <QList>
#include <QThread>
#include <memory>

class Acceptor;
class Worker;

// The running service: one thread accepts connections and hands each to the least busy of
// the worker threads; each worker answers its connections' requests from its own database
// connection.
class ServiceServer {
public:
    // Opens the database, brings its schema up to date and refreshes the reference data
    // (throws ServiceError when it cannot).
    explicit ServiceServer(const ServiceOptions& options);
    ~ServiceServer();
    ServiceServer(const ServiceServer&) = delete;
    ServiceServer& operator=(const ServiceServer&) = delete;

    // Starts the workers and listens; returns the port. Throws ServiceError when it cannot.
    quint16 start();

    const DatabaseConfig& database() const { return database_; }

private:
    void stop();

    ServiceOptions options_;
    DatabaseConfig database_;
    CredentialCache credentials_;
    ReferenceCache reference_;
    QList<QThread*> threads_;
    QList<Worker*> workers_;
    Acceptor* acceptor_ = nullptr;
};

// Opens the database named by the options and brings it up to date (schema and reference
// data); what the admin commands and the service start from. `log` receives what was done.
std::unique_ptr<Database> openDatabase(const ServiceOptions& options, const QString& connection,
                                       QString* log = nullptr);
