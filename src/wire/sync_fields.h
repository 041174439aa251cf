#pragma once

#include <QString>
#include <QStringList>

// Values of the field lists sent to and read from the service. A record is values joined by
// "##", one record per line; a value that holds "#", "\", a line break or a character outside
// ISO-8859-1 would break the record or the request, so it travels escaped:
//   "\" -> "\\"   "#" -> "\h"   LF -> "\n"   CR -> "\r"   other (above U+00FF) -> "\uXXXX"
// (XXXX: four upper-case hexadecimal digits of each UTF-16 unit). Every other value goes out
// as it is. Decoding turns those sequences back and leaves any other backslash as it stands; it
// drops the characters XML cannot carry (NUL and the other control characters but tab and line
// breaks, U+FFFE, U+FFFF, lone surrogates), since decoded values go into the XML table files.
namespace SyncFields {

QString encode(const QString& value);
QString decode(const QString& value);

// A number as the service reads it: plain decimal digits with "." as the decimal point, no
// grouping and no exponent, as few digits as read back as the same value.
QString decimal(double value);

// The encoded values joined by "##".
QString joinRecord(const QStringList& values);
// Splits an answer line into `values`, which the caller sizes (SplitFields: each piece trimmed,
// pieces beyond the slots dropped, unused slots empty), and decodes each.
void splitRecord(const QString& line, QStringList& values);

}  // namespace SyncFields
