#include "net/http_request.h"

#include "net/http_errors.h"
#include "net/wire_text.h"

namespace {

const QByteArray kCrLf = QByteArrayLiteral("\r\n");

bool isControl(char16_t c) {
    return c < 0x20 || c == 0x7F;
}

QByteArray encodeFormValue(const QByteArray& value) {
    QByteArray encoded;
    for (const char byte : value) {
        if (WireText::isLetterOrDigit(byte)) {
            encoded.append(byte);
        } else if (byte == ' ') {
            encoded.append('+');
        } else {
            encoded.append(WireText::percentByte(byte));
        }
    }
    return encoded;
}

QByteArray encodeFormLine(const QByteArray& line) {
    const qsizetype equals = line.indexOf('=');
    if (equals < 0 || equals == line.size() - 1) {
        return line;
    }
    return line.left(equals + 1) + encodeFormValue(line.mid(equals + 1));
}

// Every byte up to the blank counts as a blank or control character.
QByteArray trimBlanksAndControls(const QByteArray& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') {
        ++begin;
    }
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') {
        --end;
    }
    return text.mid(begin, end - begin);
}

// Splits "host", "host:port", "[v6]" or "[v6]:port" into the address.
void readAuthority(const QString& authority, HttpAddress& address) {
    QString host = authority;
    QString port;
    const qsizetype bracket = authority.lastIndexOf(QLatin1Char(']'));
    const qsizetype colon = authority.lastIndexOf(QLatin1Char(':'));
    if (colon > bracket) {
        host = authority.left(colon);
        port = authority.mid(colon + 1);
    }
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
        host = host.mid(1, host.size() - 2);
    }
    if (host.isEmpty()) {
        throw AppError(QStringLiteral("The address \"%1\" names no host.").arg(authority));
    }
    address.host = host;
    if (!port.isEmpty()) {
        address.port = HttpWire::portNumber(port);
    }
}

QByteArray hostHeader(const HttpAddress& address) {
    QString host = address.host;
    if (host.contains(QLatin1Char(':'))) {
        host = QLatin1Char('[') + host + QLatin1Char(']');
    }
    const quint16 defaultPort = address.tls ? 443 : 80;
    if (address.port != defaultPort) {
        host += QLatin1Char(':') + QString::number(address.port);
    }
    return WireText::toBytes(host);
}

QByteArray basicCredentials(const HttpIdentity& identity) {
    return "Basic " +
           WireText::toBytes(identity.user + QLatin1Char(':') + identity.password).toBase64();
}

// The value's own line end, then the closing delimiter.
QByteArray closingOf(const QByteArray& boundary) {
    return kCrLf + kCrLf + "--" + boundary + "--" + kCrLf;
}

void addHeader(QByteArray& out, const char* name, const QByteArray& value) {
    out += name;
    out += ": ";
    out += value;
    out += kCrLf;
}

}  // namespace

HttpRequest HttpRequest::get() {
    return {"GET", "HTTP/1.1", "text/html", {}};
}

HttpRequest HttpRequest::formPost(const QByteArray& body) {
    return {"POST", "HTTP/1.0", "application/x-www-form-urlencoded", body};
}

HttpRequest HttpRequest::multipartPost(const QByteArray& boundary, const QByteArray& body) {
    return {"POST", "HTTP/1.0", "multipart/form-data; boundary=" + boundary, body};
}

namespace HttpWire {

QString escapeAddress(const QString& url) {
    QString escaped;
    escaped.reserve(url.size());
    for (const QChar c : url) {
        if (c == QLatin1Char(' ')) {
            escaped += QStringLiteral("%20");
        } else if (isControl(c.unicode())) {
            escaped += QString::fromLatin1(WireText::percentByte(static_cast<char>(c.unicode())));
        } else {
            escaped += c;
        }
    }
    return escaped;
}

HttpAddress parseAddress(const QString& url) {
    HttpAddress address;
    QString rest = url;
    QString absolute = url;
    const qsizetype schemeEnd = url.indexOf(QStringLiteral("://"));
    if (schemeEnd >= 0) {
        const QString scheme = url.left(schemeEnd).toLower();
        if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
            throw AppError(QStringLiteral("The address \"%1\" is not a web address.").arg(url));
        }
        address.tls = scheme == QLatin1String("https");
        address.port = address.tls ? 443 : 80;
        rest = url.mid(schemeEnd + 3);
    } else {
        absolute = QStringLiteral("http://") + url;
    }
    qsizetype targetStart = rest.indexOf(QLatin1Char('/'));
    const qsizetype query = rest.indexOf(QLatin1Char('?'));
    if (query >= 0 && (targetStart < 0 || query < targetStart)) {
        targetStart = query;
    }
    readAuthority(targetStart < 0 ? rest : rest.left(targetStart), address);
    QString target = targetStart < 0 ? QString() : rest.mid(targetStart);
    if (!target.startsWith(QLatin1Char('/'))) {
        target.prepend(QLatin1Char('/'));
    }
    address.target = WireText::toBytes(target);
    address.absolute = WireText::toBytes(absolute);
    return address;
}

QByteArray encodeForm(const QStringList& fields) {
    QByteArray joined;
    for (const QString& field : fields) {
        joined += encodeFormLine(WireText::toBytes(field));
        if (fields.size() > 1) {
            joined += '&';
        }
    }
    return trimBlanksAndControls(joined);
}

QByteArray multipartBoundary(const QDateTime& now) {
    return "--------" + now.toString(QStringLiteral("MMddyyhhmmsszzz")).toLatin1();
}

quint16 portNumber(const QString& text) {
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 1 || port > 65535) {
        throw ConversionError(QStringLiteral("'%1' is not a valid port number").arg(text));
    }
    return static_cast<quint16>(port);
}

QString userAgent(const QString& appTitle, const QString& appVersion) {
    return QStringLiteral("Mozilla/3.0 (compatible; ") + appTitle + QLatin1Char(' ') + appVersion +
           QLatin1Char(')');
}

QByteArray requestHead(const HttpRequest& request, const HttpAddress& address, bool throughProxy,
                       const HttpIdentity& identity) {
    QByteArray out = request.method + ' ' + (throughProxy ? address.absolute : address.target) +
                     ' ' + request.protocol + kCrLf;
    if (request.post() && !throughProxy) {
        addHeader(out, "Connection", "keep-alive");
    }
    addHeader(out, "Content-Type", request.contentType);
    if (request.post()) {
        addHeader(out, "Content-Length", QByteArray::number(request.body.size()));
    }
    if (request.post() && throughProxy) {
        addHeader(out, "Proxy-Connection", "keep-alive");
    }
    addHeader(out, "Host", hostHeader(address));
    addHeader(out, "Accept", "text/html, */*");
    addHeader(out, "User-Agent", WireText::toBytes(identity.userAgent));
    addHeader(out, "Authorization", basicCredentials(identity));
    out += kCrLf;
    return out;
}

}  // namespace HttpWire

MultipartBody::MultipartBody(const QDateTime& now, qsizetype valueCapacity)
    : boundary_(HttpWire::multipartBoundary(now)) {
    const QByteArray head = "--" + boundary_ + kCrLf +
                            "Content-Disposition: form-data; name=\"formfield1\"" + kCrLf + kCrLf;
    bytes_.reserve(head.size() + valueCapacity + closingOf(boundary_).size());
    bytes_ += head;
}

QByteArray MultipartBody::finish() {
    bytes_ += closingOf(boundary_);
    return std::move(bytes_);
}
