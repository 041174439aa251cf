#pragma once

#include <QByteArray>
#include <QString>

// Text on the wire is ISO-8859-1, the character set of the service's documents, so request
// bytes and the answers the cache parses agree.
namespace WireText {

// The ISO-8859-1 bytes of `text`. Throws EncodingError naming the first character outside it:
// sending "?" instead would come back in the answer and overwrite the diver's data.
QByteArray toBytes(const QString& text);
// Answer text that is not XML (XML carries its own declaration).
QString fromBytes(const QByteArray& bytes);

// A to Z, a to z, 0 to 9: the bytes that never need escaping.
bool isLetterOrDigit(char byte);
// "%XX" (upper-case hexadecimal) of one byte.
QByteArray percentByte(char byte);

}  // namespace WireText
