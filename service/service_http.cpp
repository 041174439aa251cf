#include "service/service_http.h"

#include "service/credential_cache.h"
#include "service/database.h"
#include "service/directory.h"
#include "service/dives.h"
#include "service/invitations.h"
#include "service/members.h"
#include "service/pages.h"
#include "service/service_error.h"
#include "service/service_log.h"
#include "service/text_rules.h"
#include "service/update_list.h"
#include "service/xml_answer.h"
#include "wire/member_fields.h"
#include "wire/sync_fields.h"

#include <QElapsedTimer>
#include <QHttpServerRequest>
#include <QRegularExpression>
#include <QTcpSocket>

namespace {

const QString kSyncRoot = QStringLiteral("/serv0.9/syncro/");
const QString kInfoRoot = QStringLiteral("/serv0.9/info/");
const QString kRegisterRoot = QStringLiteral("/serv0.9/register/");

struct Unauthorized {};
struct BadRequest {
    QString why;
};

QByteArray methodName(QHttpServerRequest::Method method) {
    switch (method) {
        case QHttpServerRequest::Method::Get:
            return "GET";
        case QHttpServerRequest::Method::Post:
            return "POST";
        case QHttpServerRequest::Method::Head:
            return "HEAD";
        case QHttpServerRequest::Method::Put:
            return "PUT";
        case QHttpServerRequest::Method::Delete:
            return "DELETE";
        default:
            return "OTHER";
    }
}

int numberParameter(const Exchange& ex, const QString& name) {
    bool ok = false;
    const int value = ex.query.value(name).trimmed().toInt(&ok);
    if (!ok) {
        throw BadRequest{name + QStringLiteral(" is not a number")};
    }
    return value;
}

// The one value the desktop posts as multipart field "formfield1" (ISO-8859-1).
QByteArray postedValue(const Exchange& ex) {
    std::optional<QByteArray> value =
        WebForm::multipartValue(ex.contentType, ex.body, "formfield1");
    if (!value) {
        throw BadRequest{QStringLiteral("no multipart field formfield1")};
    }
    return std::move(*value);
}

QByteArray memberXml(const MemberRecord& r) {
    XmlAnswer xml(QStringLiteral("member"));
    // The desktop reads these values through the field list's escape.
    for (const MemberFields::AnswerElement& answer : MemberFields::answer()) {
        xml.field(answer.element, SyncFields::encode(r.field(answer.field)));
    }
    xml.field(QStringLiteral("user"), SyncFields::encode(r.user));
    return xml.finish();
}

QByteArray contactsXml(const QList<ContactRecord>& contacts) {
    XmlAnswer xml(QStringLiteral("contactlist"));
    for (const ContactRecord& c : contacts) {
        xml.begin(QStringLiteral("contact"));
        xml.field(QStringLiteral("id"), c.id);
        xml.field(QStringLiteral("name"), c.name);
        xml.field(QStringLiteral("user"), c.user);
        xml.field(QStringLiteral("email"), c.email);
        xml.field(QStringLiteral("country"), c.country);
        xml.end();
    }
    return xml.finish();
}

// The member record line: the first line of the posted value, one value per place of the
// member field list.
QStringList memberValues(const QString& posted) {
    const QString line = posted.section(QRegularExpression(QStringLiteral("[\r\n]")), 0, 0);
    const int places = int(MemberFields::request().size());
    if (TextRules::separators(line) != places - 1) {
        throw BadRequest{QStringLiteral("the member record has not %1 values").arg(places)};
    }
    QStringList values(places);
    SyncFields::splitRecord(line, values);
    return values;
}

QByteArray reasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 401:
            return "Unauthorized";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        default:
            return status >= 500 ? "Internal Server Error" : "Status";
    }
}

// The whole response in one write.
QByteArray responseBytes(const Reply& reply) {
    QByteArray bytes =
        "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' + reasonPhrase(reply.status) + "\r\n";
    for (const auto& [name, value] : reply.headers) {
        bytes += name + ": " + value + "\r\n";
    }
    bytes += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n\r\n";
    return bytes + reply.body;
}

// The path and query of the request as the client wrote them: the desktop puts values into
// its addresses as they are (ISO-8859-1 bytes, a "#" too). Taken from the guard's note of the
// request line when it is this request's (a pipelined request has none), else from the
// server's URL.
std::pair<QString, QByteArray> pathAndQuery(const QHttpServerRequest& request, QTcpSocket* socket) {
    const QByteArray target = socket->property("target").toByteArray();
    socket->setProperty("target", QVariant());
    const qsizetype mark = target.indexOf('?');
    const QString path = WebForm::decodeValue(mark < 0 ? target : target.left(mark), false);
    if (path == request.url().path()) {
        return {path, mark < 0 ? QByteArray() : target.mid(mark + 1)};
    }
    return {request.url().path(), request.url().query(QUrl::FullyEncoded).toLatin1()};
}

Reply notFound() {
    return Reply::text("Not Found\n", 404);
}

}  // namespace

Reply Reply::text(const QByteArray& body, int status) {
    return {status, "text/plain; charset=ISO-8859-1", body, {}};
}

Reply Reply::xml(const QByteArray& body) {
    return {200, "text/xml; charset=UTF-8", body, {}};
}

Reply Reply::html(const QByteArray& body, int status) {
    return {status, "text/html; charset=UTF-8", body, {}};
}

ServiceHttp::ServiceHttp(const ServiceOptions& options, Database& db, SharedCaches caches)
    : options_(options),
      db_(db),
      caches_(caches),
      invitations_(std::make_unique<Invitations>(db, options)) {}

ServiceHttp::~ServiceHttp() = default;

bool ServiceHttp::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    QElapsedTimer timer;
    timer.start();
    Exchange ex;
    ex.method = methodName(request.method());
    const auto [path, query] = pathAndQuery(request, socket);
    ex.path = path;
    ex.query = WebForm::parsePairs(query, false);
    ex.contentType = request.value("content-type");
    ex.body = request.body();
    ex.credentials = WebForm::basicCredentials(request.value("authorization"));
    Reply reply = answer(ex);

    const QByteArray connection = request.value("connection").toLower();
    const bool close = socket->property("http10").toBool() ? !connection.contains("keep-alive")
                                                           : connection.contains("close");
    reply.headers.append({QByteArrayLiteral("Content-Type"), reply.contentType});
    reply.headers.append({QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store")});
    if (close) {
        reply.headers.append({QByteArrayLiteral("Connection"), QByteArrayLiteral("close")});
    } else if (socket->property("http10").toBool()) {
        reply.headers.append({QByteArrayLiteral("Connection"), QByteArrayLiteral("keep-alive")});
    }
    socket->write(responseBytes(reply));
    if (close) {
        socket->disconnectFromHost();
    }
    ServiceLog::write(QStringLiteral("%1 %2 \"%3 %4\" %5 %6B %7ms%8")
                          .arg(request.remoteAddress().toString(),
                               ex.memberUser.isEmpty() ? QStringLiteral("-") : ex.memberUser,
                               QString::fromLatin1(ex.method), ex.path)
                          .arg(reply.status)
                          .arg(reply.body.size())
                          .arg(timer.elapsed())
                          .arg(ex.note.isEmpty() ? QString() : u' ' + ex.note));
    return true;
}

void ServiceHttp::missingHandler(const QHttpServerRequest&, QTcpSocket* socket) {
    socket->write(responseBytes(notFound()));
}

Reply ServiceHttp::answer(Exchange& ex) {
    struct Released {
        Database& db;
        ~Released() { db.finishAll(); }
    } released{db_};
    try {
        return dispatch(ex);
    } catch (const Unauthorized&) {
        Reply reply = Reply::text("Unauthorized\n", 401);
        reply.headers.append(
            {QByteArrayLiteral("WWW-Authenticate"), QByteArrayLiteral("Basic realm=\"NEREVA\"")});
        return reply;
    } catch (const BadRequest& bad) {
        ex.note = bad.why;
        return Reply::text("Bad Request\n", 400);
    } catch (const ServiceError& error) {
        ex.note = error.message();
        return Reply::text("Internal Server Error\n", 500);
    }
}

Reply ServiceHttp::dispatch(Exchange& ex) {
    struct Route {
        QString path;
        QByteArray method;
        Reply (ServiceHttp::*handler)(Exchange&);
    };
    static const Route routes[] = {
        {kSyncRoot + QStringLiteral("personal.xml.php"), "POST", &ServiceHttp::personal},
        {kSyncRoot + QStringLiteral("delete.php"), "POST", &ServiceHttp::deleteDives},
        {kSyncRoot + QStringLiteral("dives.php"), "POST", &ServiceHttp::dives},
        {kInfoRoot + QStringLiteral("localdata.xml.php"), "GET", &ServiceHttp::localData},
        {kInfoRoot + QStringLiteral("locations.xml.php"), "GET", &ServiceHttp::locations},
        {kInfoRoot + QStringLiteral("contactlist.xml.php"), "GET", &ServiceHttp::contacts},
        {kInfoRoot + QStringLiteral("update.xml.php"), "GET", &ServiceHttp::updates},
        {kRegisterRoot, "POST", &ServiceHttp::registration},
        {kRegisterRoot + QStringLiteral("invite.php"), "GET", &ServiceHttp::invite},
        {QStringLiteral("/"), "GET", &ServiceHttp::site},
        {QStringLiteral("/redir/"), "GET", &ServiceHttp::site},
        {QStringLiteral("/redir"), "GET", &ServiceHttp::site},
    };
    for (const Route& route : routes) {
        if (route.path != ex.path) {
            continue;
        }
        if (route.method != ex.method) {
            Reply reply = Reply::text("Method Not Allowed\n", 405);
            reply.headers.append({QByteArrayLiteral("Allow"), route.method});
            return reply;
        }
        return (this->*route.handler)(ex);
    }
    return notFound();
}

int ServiceHttp::requireMember(Exchange& ex) {
    if (ex.member > 0) {
        return ex.member;
    }
    const WebForm::Credentials& c = ex.credentials;
    if (c.user.isEmpty()) {
        throw Unauthorized{};
    }
    std::optional<int> member = caches_.credentials.find(c.user, c.password);
    if (!member) {
        member = MemberStore(db_).authenticate(c.user, c.password);
        if (!member) {
            ex.note = QStringLiteral("wrong credentials for %1").arg(c.user);
            throw Unauthorized{};
        }
        caches_.credentials.remember(c.user, c.password, *member);
    }
    ex.member = *member;
    ex.memberUser = c.user;
    return ex.member;
}

Reply ServiceHttp::personal(Exchange& ex) {
    const int member = requireMember(ex);
    MemberStore members(db_);
    members.updateRecord(member, memberValues(QString::fromLatin1(postedValue(ex))));
    return Reply::xml(memberXml(members.record(member)));
}

Reply ServiceHttp::deleteDives(Exchange& ex) {
    const int member = requireMember(ex);
    const QString queue = WebForm::parsePairs(ex.body, true).value(QStringLiteral("del"));
    QList<int> ids;
    for (const QString& entry : queue.split(QStringLiteral("##"), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int id = entry.trimmed().toInt(&ok);
        if (ok && id > 0) {
            ids << id;
        }
    }
    const int removed = DiveStore(db_).remove(member, ids);
    ex.note = QStringLiteral("deleted=%1 of %2").arg(removed).arg(ids.size());
    return Reply::text("OK");
}

Reply ServiceHttp::dives(Exchange& ex) {
    const int member = requireMember(ex);
    const UploadOutcome outcome = DiveStore(db_).upload(member, postedValue(ex));
    ex.note = QStringLiteral("lines=%1 created=%2 updated=%3 skipped=%4 dives=%5")
                  .arg(outcome.lines)
                  .arg(outcome.created)
                  .arg(outcome.updated)
                  .arg(outcome.skipped)
                  .arg(outcome.dives);
    return Reply::text(outcome.answer);
}

Reply ServiceHttp::localData(Exchange&) {
    return Reply::xml(Directory(db_, &caches_.reference).referenceDocument());
}

Reply ServiceHttp::locations(Exchange& ex) {
    Directory directory(db_);
    if (ex.query.contains(QStringLiteral("param_id"))) {
        const std::optional<Location> location =
            directory.location(numberParameter(ex, QStringLiteral("param_id")));
        return location ? Reply::xml(DirectoryXml::locations({*location}, true)) : notFound();
    }
    if (ex.query.contains(QStringLiteral("param_name")) ||
        ex.query.contains(QStringLiteral("param_country"))) {
        const QList<Location> found =
            directory.search(ex.query.value(QStringLiteral("param_name")),
                             ex.query.value(QStringLiteral("param_country")));
        ex.note = QStringLiteral("found=%1").arg(found.size());
        return Reply::xml(DirectoryXml::locations(found, false));
    }
    return Reply::xml(DirectoryXml::locations(directory.memberLocations(requireMember(ex)), true));
}

Reply ServiceHttp::contacts(Exchange& ex) {
    const int member = requireMember(ex);
    MemberStore members(db_);
    if (ex.query.contains(QStringLiteral("param_id"))) {
        const std::optional<ContactRecord> contact =
            members.contact(numberParameter(ex, QStringLiteral("param_id")));
        return contact ? Reply::xml(contactsXml({*contact})) : notFound();
    }
    const QStringList criteria = {QStringLiteral("param_name"), QStringLiteral("param_user"),
                                  QStringLiteral("param_email"), QStringLiteral("param_op")};
    if (std::any_of(criteria.cbegin(), criteria.cend(),
                    [&ex](const QString& key) { return ex.query.contains(key); })) {
        ContactSearch search;
        search.name = ex.query.value(QStringLiteral("param_name"));
        search.user = ex.query.value(QStringLiteral("param_user"));
        search.email = ex.query.value(QStringLiteral("param_email"));
        search.any = ex.query.value(QStringLiteral("param_op")).trimmed() == QLatin1String("1");
        const QList<ContactRecord> found = members.search(search, member);
        ex.note = QStringLiteral("found=%1").arg(found.size());
        return Reply::xml(contactsXml(found));
    }
    return Reply::xml(contactsXml(members.contacts(member)));
}

Reply ServiceHttp::updates(Exchange& ex) {
    return Reply::xml(UpdateList::answer(options_.dataDir,
                                         ex.query.value(QStringLiteral("version")),
                                         ex.query.value(QStringLiteral("param_idioma"))));
}

Reply ServiceHttp::registration(Exchange& ex) {
    const QHash<QString, QString> form = WebForm::parsePairs(ex.body, true);
    Registration r;
    r.user = form.value(QStringLiteral("param_user"));
    r.password = form.value(QStringLiteral("param_pass"));
    r.email = form.value(QStringLiteral("param_email"));
    r.name = form.value(QStringLiteral("param_name"));
    r.language = form.value(QStringLiteral("param_idioma"));
    RegistrationResult result = RegistrationResult::Failed;
    try {
        result = MemberStore(db_).registerMember(r);
    } catch (const ServiceError& error) {
        ex.note = error.message();
    }
    // The desktop reads the eighth character of the first line; on success the second line is
    // the user name as registered.
    QByteArray text = "result=" + QByteArray::number(int(result)) + "\r\n";
    if (result == RegistrationResult::Registered) {
        text += r.user.trimmed().toLower().toLatin1() + "\r\n";
    }
    ex.note = QStringLiteral("registration result=%1 %2").arg(int(result)).arg(ex.note).trimmed();
    return Reply::text(text);
}

Reply ServiceHttp::invite(Exchange& ex) {
    const int member = requireMember(ex);
    switch (invitations_->invite(member, ex.memberUser,
                                 ex.query.value(QStringLiteral("param_email")))) {
        case Invitations::Result::Sent:
            return Reply::text("OK");
        case Invitations::Result::TooMany:
            return Reply::text("Too many invitations today");
        case Invitations::Result::Invalid:
            break;
    }
    return Reply::text("Invalid e-mail address");
}

Reply ServiceHttp::site(Exchange& ex) {
    const Pages::Page page =
        ex.path == QLatin1String("/") ? Pages::home(db_) : Pages::redirect(db_, ex.query);
    return Reply::html(page.html, page.status);
}
