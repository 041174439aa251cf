#include "app/settings/xml_chars.h"

#include <algorithm>

namespace XmlChars {

QString withoutForbidden(const QString& text) {
    const auto forbidden = [](QChar c) { return isForbiddenUnit(c.unicode()); };
    if (std::none_of(text.cbegin(), text.cend(), forbidden)) {
        return text;
    }
    QString kept = text;
    kept.removeIf(forbidden);
    return kept;
}

int decodeUtf8(const char* p, const char* end, char32_t* c) {
    const auto lead = uchar(*p);
    const int size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (size == 0 || lead > 0xF4 || end - p < size) {
        return 0;
    }
    char32_t value = lead & (0x7F >> size);
    for (int i = 1; i < size; ++i) {
        const auto next = uchar(p[i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (next & 0x3F);
    }
    static const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[size] || value > 0x10FFFF || QChar::isSurrogate(value)) {
        return 0;
    }
    *c = value;
    return size;
}

void putUtf16(char32_t c, char16_t** out) {
    if (QChar::requiresSurrogates(c)) {
        *(*out)++ = QChar::highSurrogate(c);
        *(*out)++ = QChar::lowSurrogate(c);
    } else {
        *(*out)++ = char16_t(c);
    }
}

}  // namespace XmlChars
