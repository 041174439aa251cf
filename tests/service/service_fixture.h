#pragma once

#include "net/http_request.h"
#include "net/wire_text.h"
#include "service/database.h"
#include "service/options.h"
#include "service/service_server.h"

#include <QDateTime>
#include <QDomDocument>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// What came back for one request.
struct HttpAnswer {
    int status = 0;
    QByteArray head;
    QByteArray body;

    QByteArray header(const QByteArray& name) const {
        for (const QByteArray& line : head.split('\n')) {
            if (line.toLower().startsWith(name.toLower() + ':')) {
                return line.mid(name.size() + 1).trimmed();
            }
        }
        return {};
    }
    QString text() const { return QString::fromLatin1(body); }
    // The answer's root element. Its document stays alive until the test program ends: an
    // element outliving its document would point into freed memory.
    QDomElement root() const {
        static QList<QDomDocument> documents;
        documents.append(QDomDocument());
        documents.last().setContent(body);
        return documents.last().documentElement();
    }
};

// Reads one response (status line, headers, Content-Length body) from a connected socket.
inline HttpAnswer readAnswer(QTcpSocket& socket) {
    HttpAnswer answer;
    QByteArray received;
    qsizetype headEnd = -1;
    qint64 length = -1;
    while (true) {
        if (headEnd < 0 && (headEnd = received.indexOf("\r\n\r\n")) >= 0) {
            answer.head = received.left(headEnd);
            answer.status = answer.head.mid(9, 3).toInt();
            length = answer.header("Content-Length").toLongLong();
        }
        if (headEnd >= 0 && received.size() - headEnd - 4 >= length) {
            answer.body = received.mid(headEnd + 4, length);
            break;
        }
        if (!socket.waitForReadyRead(20000)) {
            break;
        }
        received += socket.readAll();
    }
    return answer;
}

// True when the server closes the connection within a second (and sends nothing more).
inline bool closedByServer(QTcpSocket& socket) {
    return !socket.waitForReadyRead(1000) && socket.state() == QAbstractSocket::UnconnectedState;
}

// Sends `request` byte for byte on a new connection and reads the answer.
inline HttpAnswer sendRaw(quint16 port, const QByteArray& request) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000)) {
        return {};
    }
    socket.write(request);
    socket.waitForBytesWritten(20000);
    return readAnswer(socket);
}

// A service of its own for one test: in this process, on a free port of 127.0.0.1, over a
// fresh SQLite file in a temporary folder, or over the PostgreSQL database named by
// NEREVA_TEST_DATABASE (emptied first).
class ServiceFixture {
public:
    explicit ServiceFixture(qint64 maxBody = 0, int threads = 2, const QString& mailCommand = {}) {
        options.dataDir = dir.path();
        options.mailCommand = mailCommand;
        options.port = 0;
        options.threads = threads;
        options.database = qEnvironmentVariable("NEREVA_TEST_DATABASE");
        if (maxBody > 0) {
            options.maxBodyBytes = maxBody;
        }
        if (!options.database.isEmpty()) {
            emptyDatabase();
        }
        server = std::make_unique<ServiceServer>(options);
        port = server->start();
    }

    QString root() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port); }

    // The request as the desktop puts it on the wire, with these credentials.
    QByteArray desktopBytes(const HttpRequest& request, const QString& path, const QString& user,
                            const QString& password) const {
        const HttpAddress address = HttpWire::parseAddress(HttpWire::escapeAddress(root() + path));
        const HttpIdentity identity{
            HttpWire::userAgent(QStringLiteral("NEREVA Desktop"), QStringLiteral("0.7.15b")), user,
            password};
        return HttpWire::requestHead(request, address, false, identity) + request.body;
    }
    HttpAnswer get(const QString& path, const QString& user = {}, const QString& password = {}) {
        return sendRaw(port, desktopBytes(HttpRequest::get(), path, user, password));
    }
    HttpAnswer postForm(const QString& path, const QStringList& fields, const QString& user = {},
                        const QString& password = {}) {
        return sendRaw(port, desktopBytes(HttpRequest::formPost(HttpWire::encodeForm(fields)), path,
                                          user, password));
    }
    HttpAnswer postMultipart(const QString& path, const QString& value, const QString& user,
                             const QString& password) {
        MultipartBody body(QDateTime::currentDateTime());
        body.buffer() += WireText::toBytes(value);
        const QByteArray boundary = body.boundary();
        return sendRaw(port, desktopBytes(HttpRequest::multipartPost(boundary, body.finish()), path,
                                          user, password));
    }

    // Registers through the wizard's request; returns the answer's text.
    QString registerMember(const QString& user, const QString& password, const QString& email,
                           const QString& name = QStringLiteral("A Diver")) {
        return postForm(
                   QStringLiteral("serv0.9/register/"),
                   {QStringLiteral("param_user=") + user, QStringLiteral("param_pass=") + password,
                    QStringLiteral("param_email=") + email, QStringLiteral("param_name=") + name,
                    QStringLiteral("param_idioma=en")})
            .text();
    }

    // A connection of the test's own to the service's database.
    std::unique_ptr<Database> database() {
        static int opened = 0;
        return std::make_unique<Database>(
            DatabaseConfig::fromUrl(options.database, options.dataDir),
            QStringLiteral("test-%1").arg(++opened));
    }

    QTemporaryDir dir;
    ServiceOptions options;
    std::unique_ptr<ServiceServer> server;
    quint16 port = 0;

private:
    void emptyDatabase() {
        auto db = database();
        db->execute(QStringLiteral("DROP SCHEMA public CASCADE"));
        db->execute(QStringLiteral("CREATE SCHEMA public"));
    }
};
