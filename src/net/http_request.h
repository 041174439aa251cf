#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// Where a request goes, read from an address "http[s]://host[:port]/path?query".
struct HttpAddress {
    bool tls = false;
    QString host;         // without the brackets of an IPv6 literal
    quint16 port = 80;    // 80 for http, 443 for https unless the address names one
    QByteArray target;    // path and query as written, "/" when the address has none
    QByteArray absolute;  // the whole address, the target a proxy is given
};

// One request before it is addressed: method, protocol, content type and body.
struct HttpRequest {
    QByteArray method;
    QByteArray protocol;
    QByteArray contentType;
    QByteArray body;
    bool post() const { return method == "POST"; }

    static HttpRequest get();
    static HttpRequest formPost(const QByteArray& body);
    static HttpRequest multipartPost(const QByteArray& boundary, const QByteArray& body);
};

// Who is asking: the user agent and the Basic credentials (sent even when both are empty).
struct HttpIdentity {
    QString userAgent;
    QString user;
    QString password;
};

namespace HttpWire {

// Blanks become "%20"; control characters, which would end the request line, "%XX". Nothing
// else is touched: callers put values in as they are.
QString escapeAddress(const QString& url);
// Throws AppError for an address that is neither http nor https or names no host,
// ConversionError for a port that is not a number from 1 to 65535, EncodingError for text
// outside ISO-8859-1.
HttpAddress parseAddress(const QString& url);

// The form body of name=value lines: the value after the first "=" keeps letters and digits,
// a blank becomes "+", every other byte "%XX"; one line is itself, more lines are each
// followed by "&"; leading and trailing blanks and control characters are removed.
QByteArray encodeForm(const QStringList& fields);

// "--------" followed by the local time as MMddyyhhmmsszzz: 23 characters.
QByteArray multipartBoundary(const QDateTime& now);

// A port given as text; throws ConversionError unless it is a number from 1 to 65535.
quint16 portNumber(const QString& text);

QString userAgent(const QString& appTitle, const QString& appVersion);

// The request line and headers as they go on the wire, up to the empty line that ends them;
// the body follows them. Through a proxy the target is the absolute address and a POST says
// Proxy-Connection instead of Connection.
QByteArray requestHead(const HttpRequest& request, const HttpAddress& address, bool throughProxy,
                       const HttpIdentity& identity);

}  // namespace HttpWire

// A multipart/form-data body of the one field "formfield1", written in place: the part's head,
// then the value as the caller appends it to buffer(), then the closing delimiter. With the
// value's size reserved up front, the bytes are written once and never copied whole again on
// their way to the socket.
class MultipartBody {
public:
    explicit MultipartBody(const QDateTime& now, qsizetype valueCapacity = 0);

    const QByteArray& boundary() const { return boundary_; }
    // The body so far; the value goes on at its end, unchanged.
    QByteArray& buffer() { return bytes_; }
    // Closes the part and hands the body over.
    QByteArray finish();

private:
    QByteArray boundary_;
    QByteArray bytes_;
};
