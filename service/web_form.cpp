#include "service/web_form.h"

#include <QList>

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The value of parameter `key` in a header value such as `multipart/form-data; boundary=x`.
QByteArray headerParameter(const QByteArray& value, const QByteArray& key) {
    for (const QByteArray& part : value.split(';')) {
        const QByteArray item = part.trimmed();
        const qsizetype equals = item.indexOf('=');
        if (equals > 0 && item.left(equals).trimmed().toLower() == key) {
            QByteArray parameter = item.mid(equals + 1).trimmed();
            if (parameter.size() >= 2 && parameter.startsWith('"') && parameter.endsWith('"')) {
                parameter = parameter.mid(1, parameter.size() - 2);
            }
            return parameter;
        }
    }
    return {};
}

// The field name of a part's headers (its Content-Disposition's "name").
QByteArray partName(QByteArrayView headers) {
    for (const QByteArray& line : headers.toByteArray().split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.toLower().startsWith("content-disposition:")) {
            return headerParameter(trimmed.mid(20), "name");
        }
    }
    return {};
}

}  // namespace

namespace WebForm {

QString decodeValue(QByteArrayView encoded, bool plusIsBlank) {
    QString text;
    text.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '%' && i + 2 < encoded.size() && hexValue(encoded[i + 1]) >= 0 &&
            hexValue(encoded[i + 2]) >= 0) {
            text += QChar(hexValue(encoded[i + 1]) * 16 + hexValue(encoded[i + 2]));
            i += 2;
        } else if (c == '+' && plusIsBlank) {
            text += u' ';
        } else {
            text += QChar(static_cast<uchar>(c));
        }
    }
    return text;
}

QHash<QString, QString> parsePairs(QByteArrayView text, bool plusIsBlank) {
    QHash<QString, QString> pairs;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf('&', start);
        if (end < 0) {
            end = text.size();
        }
        const QByteArrayView pair = text.sliced(start, end - start);
        if (!pair.isEmpty()) {
            const qsizetype equals = pair.indexOf('=');
            const QString name = decodeValue(equals < 0 ? pair : pair.first(equals), plusIsBlank);
            if (!pairs.contains(name)) {
                pairs.insert(name, equals < 0 ? QString()
                                              : decodeValue(pair.sliced(equals + 1), plusIsBlank));
            }
        }
        start = end + 1;
    }
    return pairs;
}

std::optional<QByteArray> multipartValue(const QByteArray& contentType, const QByteArray& body,
                                         QByteArrayView name) {
    if (!contentType.trimmed().toLower().startsWith("multipart/form-data")) {
        return std::nullopt;
    }
    const QByteArray boundary = headerParameter(contentType, "boundary");
    if (boundary.isEmpty()) {
        return std::nullopt;
    }
    const QByteArray delimiter = "--" + boundary;
    qsizetype at = body.startsWith(delimiter) ? 0 : body.indexOf("\r\n" + delimiter);
    if (at < 0) {
        return std::nullopt;
    }
    at = body.indexOf(delimiter, at) + delimiter.size();
    while (at < body.size() && !body.mid(at, 2).startsWith("--")) {
        const qsizetype headersEnd = body.indexOf("\r\n\r\n", at);
        if (headersEnd < 0) {
            return std::nullopt;
        }
        const qsizetype contentStart = headersEnd + 4;
        const qsizetype next = body.indexOf("\r\n" + delimiter, contentStart);
        if (next < 0) {
            return std::nullopt;
        }
        if (partName(QByteArrayView(body).sliced(at, headersEnd - at)) == name) {
            return body.mid(contentStart, next - contentStart);
        }
        at = next + 2 + delimiter.size();
    }
    return std::nullopt;
}

Credentials basicCredentials(const QByteArray& authorization) {
    const QByteArray value = authorization.trimmed();
    if (!value.toLower().startsWith("basic ")) {
        return {};
    }
    const auto decoded = QByteArray::fromBase64Encoding(value.mid(6).trimmed(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        return {};
    }
    const QByteArray& text = decoded.decoded;
    const qsizetype colon = text.indexOf(':');
    if (colon < 0) {
        return {};
    }
    return {QString::fromLatin1(text.left(colon)), QString::fromLatin1(text.mid(colon + 1))};
}

}  // namespace WebForm
