#pragma once

#include "service/options.h"
#include "service/web_form.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPair>
#include <memory>

class CredentialCache;
class Database;
class Invitations;
struct ReferenceCache;

// What the threads of one service share.
struct SharedCaches {
    CredentialCache& credentials;
    ReferenceCache& reference;
};

// One request as the handlers see it.
struct Exchange {
    QByteArray method;
    QString path;
    QHash<QString, QString> query;
    QByteArray contentType;
    QByteArray body;
    WebForm::Credentials credentials;
    int member = 0;      // set once the credentials were checked
    QString memberUser;  // for the log
    QString note;        // what the handler adds to the log line
};

struct Reply {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers;

    static Reply text(const QByteArray& body, int status = 200);
    static Reply xml(const QByteArray& body);
    static Reply html(const QByteArray& body, int status = 200);
};

// The service's requests, answered from one database connection in one thread.
class ServiceHttp : public QAbstractHttpServer {
public:
    ServiceHttp(const ServiceOptions& options, Database& db, SharedCaches caches);
    ~ServiceHttp() override;

    // What every request gets: dispatch, checks and errors (no socket involved).
    Reply answer(Exchange& exchange);

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    Reply dispatch(Exchange& ex);
    int requireMember(Exchange& ex);

    Reply personal(Exchange& ex);
    Reply deleteDives(Exchange& ex);
    Reply dives(Exchange& ex);
    Reply localData(Exchange& ex);
    Reply locations(Exchange& ex);
    Reply contacts(Exchange& ex);
    Reply updates(Exchange& ex);
    Reply registration(Exchange& ex);
    Reply invite(Exchange& ex);
    Reply site(Exchange& ex);

    const ServiceOptions& options_;
    Database& db_;
    SharedCaches caches_;
    std::unique_ptr<Invitations> invitations_;
};
