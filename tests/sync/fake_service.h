#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <memory>

// A small stand-in for the web service: a real HTTP server on 127.0.0.1 in the caller's own
// thread (the client waits in a nested event loop, which is what lets it answer). Every request
// is kept byte for byte; each script ("dives.php", "localdata.xml.php", ...) answers through the
// handler the test gives it, any other with 404.
class FakeService : public QTcpServer {
public:
    struct Request {
        QByteArray raw;
        QByteArray method;
        QByteArray target;  // path and query as sent
        QByteArray body;

        // The last part of the path, without the query.
        QByteArray script() const {
            const QByteArray path =
                target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
            return path.mid(path.lastIndexOf('/') + 1);
        }
        QByteArray query() const {
            const qsizetype at = target.indexOf('?');
            return at < 0 ? QByteArray() : target.mid(at + 1);
        }
        // The value of the one multipart field, as the client put it between the part's
        // headers and the closing delimiter.
        QByteArray formValue() const {
            const qsizetype start = body.indexOf("\r\n\r\n");
            const qsizetype end = body.lastIndexOf("\r\n\r\n--");
            return start < 0 || end < start + 4 ? QByteArray()
                                                : body.mid(start + 4, end - start - 4);
        }
    };
    struct Reply {
        int status = 200;
        QByteArray body;
        int delayMs = 0;  // the service's own work before it answers
    };
    using Handler = std::function<Reply(const Request&)>;

    FakeService() { listen(QHostAddress::LocalHost); }
    ~FakeService() override {
        close();
        qDeleteAll(findChildren<QTcpSocket*>(Qt::FindDirectChildrenOnly));
    }

    // "http://127.0.0.1:port/", what the settings' service roots start with.
    QString root() const { return QStringLiteral("http://127.0.0.1:%1/").arg(serverPort()); }

    void on(const QByteArray& script, Handler handler) { handlers_[script] = std::move(handler); }
    void answer(const QByteArray& script, const QByteArray& body, int status = 200) {
        on(script, [body, status](const Request&) { return Reply{status, body}; });
    }

    QByteArrayList scripts() const {
        QByteArrayList names;
        for (const Request& request : requests) {
            names << request.script();
        }
        return names;
    }
    const Request* last(const QByteArray& script) const {
        for (qsizetype i = requests.size() - 1; i >= 0; --i) {
            if (requests[i].script() == script) {
                return &requests[i];
            }
        }
        return nullptr;
    }

    QList<Request> requests;
    int answered = 0;  // answers written
    // Off: requests are answered but not kept (a benchmark's uploads would pile up).
    bool keepRequests = true;

protected:
    void incomingConnection(qintptr descriptor) override {
        auto* socket = new QTcpSocket(this);
        socket->setSocketDescriptor(descriptor);
        auto received = std::make_shared<QByteArray>();
        auto answered = std::make_shared<bool>(false);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, received, answered] {
            *received += socket->readAll();
            Request request;
            if (!*answered && parse(*received, request)) {
                *answered = true;
                respond(socket, request);
            }
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

private:
    static bool parse(const QByteArray& received, Request& request) {
        const qsizetype headerEnd = received.indexOf("\r\n\r\n");
        if (headerEnd < 0) {
            return false;
        }
        qsizetype length = 0;
        const QByteArrayList lines = received.left(headerEnd).split('\n');
        for (const QByteArray& line : lines) {
            if (line.toLower().startsWith("content-length:")) {
                length = line.mid(15).trimmed().toLongLong();
            }
        }
        if (received.size() - headerEnd - 4 < length) {
            return false;
        }
        const QByteArrayList requestLine = lines.first().trimmed().split(' ');
        request.raw = received;
        request.method = requestLine.value(0);
        request.target = requestLine.value(1);
        request.body = received.mid(headerEnd + 4, length);
        return true;
    }

    void respond(QTcpSocket* socket, const Request& request) {
        if (keepRequests) {
            requests.append(request);
        }
        const auto handler = handlers_.constFind(request.script());
        const Reply reply =
            handler == handlers_.cend() ? Reply{404, "Not Found"} : (*handler)(request);
        const QByteArray bytes =
            "HTTP/1.1 " + QByteArray::number(reply.status) +
            " Status\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
            "\r\nConnection: close\r\n\r\n" + reply.body;
        auto send = [this, socket, bytes] {
            socket->write(bytes);
            socket->disconnectFromHost();
            ++answered;
        };
        reply.delayMs > 0 ? QTimer::singleShot(reply.delayMs, socket, send) : send();
    }

    QHash<QByteArray, Handler> handlers_;
};

// "yyyy-MM-dd" followed by anything as "M/d/yyyy" followed by the same.
inline QByteArray regionalDate(const QByteArray& iso) {
    return QByteArray::number(iso.mid(5, 2).toInt()) + '/' +
           QByteArray::number(iso.mid(8, 2).toInt()) + '/' + iso.left(4) + iso.mid(10);
}

// The service as a store that echoes what it was sent: each uploaded record comes back as it
// came, with a service number for a new dive (`firstNumber` + its local number), dates in the
// regional forms and the answer's swapped places (51/52, 78/79). A non-empty `stamp` is the
// new time stamp of every dive.
inline QByteArray echoDives(const QByteArray& upload, int firstNumber = 1000,
                            const QByteArray& stamp = {}) {
    QByteArrayList lines;
    for (const QByteArray& line : upload.split('\n')) {
        const QByteArray record = line.trimmed();
        if (record.isEmpty()) {
            continue;
        }
        // Encoded values hold no "#", so the record is values separated by empty pieces.
        const QByteArrayList pieces = record.split('#');
        QByteArrayList fields;
        for (qsizetype i = 0; i < pieces.size(); i += 2) {
            fields << pieces[i];
        }
        if (fields[0].isEmpty()) {
            fields[0] = QByteArray::number(firstNumber + fields[1].toInt());
        }
        fields[2] = stamp.isEmpty() ? regionalDate(fields[2]) : stamp;
        fields[4] = regionalDate(fields[4]);
        fields.swapItemsAt(50, 51);
        fields.swapItemsAt(77, 78);
        lines << fields.join("##");
    }
    return lines.join("\r\n") + "\r\n";
}
