#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <optional>

// What the desktop sends, read the way it writes it: values are ISO-8859-1 bytes,
// percent-encoded in addresses and forms.
namespace WebForm {

// "%XX" as the byte XX, read as ISO-8859-1; with `plusIsBlank` (form bodies) "+" is a blank.
// A "%" without two hexadecimal digits stays as it is.
QString decodeValue(QByteArrayView encoded, bool plusIsBlank);

// The pairs of "a=1&b=2" (a query or a form body); a name without "=" has an empty value, and
// the first of repeated names counts.
QHash<QString, QString> parsePairs(QByteArrayView text, bool plusIsBlank);

// The content of the multipart/form-data part called `name`, given the request's
// Content-Type; none when the body is no such multipart or lacks the part.
std::optional<QByteArray> multipartValue(const QByteArray& contentType, const QByteArray& body,
                                         QByteArrayView name);

struct Credentials {
    QString user;
    QString password;
    bool present() const { return !user.isEmpty() || !password.isEmpty(); }
};
// The user name and password of an "Authorization: Basic ..." header (ISO-8859-1); empty
// ones for no header, another scheme or a malformed value.
Credentials basicCredentials(const QByteArray& authorization);

}  // namespace WebForm
