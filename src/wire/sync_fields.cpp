#include "wire/sync_fields.h"

#include "app/settings/xml_chars.h"
#include "wire/field_list.h"

#include <QLocale>
#include <algorithm>

namespace SyncFields {
namespace {

const QChar kEscape = u'\\';
const QString kFieldSeparator = QStringLiteral("##");

bool needsEscape(QChar c) {
    return c == kEscape || c == u'#' || c == u'\n' || c == u'\r' || c.unicode() > 0xFF;
}

// The letter after the backslash for the characters with a short escape; null for the others.
QChar shortEscapeOf(QChar c) {
    switch (c.unicode()) {
        case '\\':
            return kEscape;
        case '#':
            return u'h';
        case '\n':
            return u'n';
        case '\r':
            return u'r';
        default:
            return {};
    }
}

// The character a short escape's letter stands for; null when `letter` is none.
QChar shortEscapeFor(QChar letter) {
    switch (letter.unicode()) {
        case '\\':
            return kEscape;
        case 'h':
            return u'#';
        case 'n':
            return u'\n';
        case 'r':
            return u'\r';
        default:
            return {};
    }
}

bool isHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

// The character of the four hexadecimal digits at `at`, when they are there and name one that
// encode() writes this way; null otherwise.
QChar unicodeAt(const QString& value, qsizetype at) {
    const QStringView digits = QStringView(value).mid(at, 4);
    if (digits.size() < 4 || !std::all_of(digits.begin(), digits.end(), isHexDigit)) {
        return {};
    }
    const ushort code = digits.toUShort(nullptr, 16);
    return code > 0xFF ? QChar(code) : QChar();
}

// XML 1.0 carries every unit XmlChars does not forbid, surrogates only as halves of a pair.
bool xmlCarries(const QString& text, qsizetype at) {
    const char16_t c = text[at].unicode();
    if (QChar::isHighSurrogate(c)) {
        return at + 1 < text.size() && text[at + 1].isLowSurrogate();
    }
    if (QChar::isLowSurrogate(c)) {
        return at > 0 && text[at - 1].isHighSurrogate();
    }
    return !XmlChars::isForbiddenUnit(c);
}

bool xmlCarriesAll(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!xmlCarries(text, i)) {
            return false;
        }
    }
    return true;
}

QString withoutWhatXmlCannotCarry(const QString& text) {
    if (xmlCarriesAll(text)) {
        return text;
    }
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (xmlCarries(text, i)) {
            kept += text[i];
        }
    }
    return kept;
}

QString unescaped(const QString& value) {
    if (!value.contains(kEscape)) {
        return value;
    }
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == kEscape && i + 1 < value.size()) {
            const QChar shortOne = shortEscapeFor(value[i + 1]);
            if (!shortOne.isNull()) {
                out += shortOne;
                ++i;
                continue;
            }
            const QChar wide = value[i + 1] == u'u' ? unicodeAt(value, i + 2) : QChar();
            if (!wide.isNull()) {
                out += wide;
                i += 5;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

}  // namespace

QString encode(const QString& value) {
    if (std::none_of(value.cbegin(), value.cend(), needsEscape)) {
        return value;
    }
    QString out;
    out.reserve(value.size() + 8);
    for (const QChar c : value) {
        if (!needsEscape(c)) {
            out += c;
            continue;
        }
        out += kEscape;
        const QChar letter = shortEscapeOf(c);
        if (!letter.isNull()) {
            out += letter;
        } else {
            out += u'u';
            out += QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0');
        }
    }
    return out;
}

QString decode(const QString& value) {
    return withoutWhatXmlCannotCarry(unescaped(value));
}

QString decimal(double value) {
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString joinRecord(const QStringList& values) {
    QString line;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0) {
            line += kFieldSeparator;
        }
        line += encode(values[i]);
    }
    return line;
}

void splitRecord(const QString& line, QStringList& values) {
    SplitFields(line, values);
    for (QString& value : values) {
        value = decode(value);
    }
}

}  // namespace SyncFields
