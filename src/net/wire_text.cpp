#include "net/wire_text.h"

#include "net/http_errors.h"

#include <QList>

namespace WireText {

namespace {

EncodingError unsendable(const QString& text) {
    for (const uint value : text.toUcs4()) {
        const auto codePoint = static_cast<char32_t>(value);
        if (codePoint > 0xFF) {
            return EncodingError(
                QStringLiteral("The character \"%1\" (U+%2) cannot be sent to the service.")
                    .arg(QString::fromUcs4(&codePoint, 1),
                         QString::number(codePoint, 16).toUpper().rightJustified(4, '0')));
        }
    }
    return EncodingError(QStringLiteral("The text cannot be sent to the service."));
}

}  // namespace

QByteArray toBytes(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() > 0xFF) {
            throw unsendable(text);
        }
        bytes.append(static_cast<char>(c.unicode()));
    }
    return bytes;
}

QString fromBytes(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

bool isLetterOrDigit(char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9');
}

QByteArray percentByte(char byte) {
    static const char kHex[] = "0123456789ABCDEF";
    const auto value = static_cast<unsigned char>(byte);
    const char escaped[] = {'%', kHex[value >> 4], kHex[value & 0x0F]};
    return QByteArray(escaped, sizeof escaped);
}

}  // namespace WireText
