#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

// What the service is told on its command line.
struct ServiceOptions {
    QHostAddress address = QHostAddress::LocalHost;
    quint16 port = 8080;
    QString dataDir;   // the SQLite file, the outbox and the optional update list live here
    QString database;  // empty: SQLite in dataDir; else a sqlite: or postgresql:// URL
    int threads = 4;
    qint64 maxBodyBytes = 64 * 1024 * 1024;
    QString mailCommand;  // run with the message on its standard input; empty: outbox folder
    QString mailFrom = QStringLiteral("NEREVA <nereva@localhost>");
    QString siteUrl;  // the address invitations point to; empty: http://address:port/
    QString tlsCertificate;
    QString tlsKey;
    QString isoCodesDir = QStringLiteral("/usr/share/iso-codes/json");

    // The command and its arguments: "serve" (the default), "migrate", "import-organizations",
    // "import-locations", "list-organizations", "list-locations".
    bool help = false;
    QString command = QStringLiteral("serve");
    QStringList arguments;

    bool tls() const { return !tlsCertificate.isEmpty(); }
    QString outboxDir() const;
    QString publicUrl() const;
};

namespace Options {

// Reads the command line; throws ServiceError with a message for the user on a bad option.
ServiceOptions parse(const QStringList& arguments);
QString usage();

}  // namespace Options
