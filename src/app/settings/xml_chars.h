#pragma once

#include <QString>

// What XML 1.0 can carry. A document cannot hold other code points at all, not even as
// character references, so a writer must never emit them and a reader meets them only in
// damaged input.
namespace XmlChars {

inline bool isXmlChar(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
           (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// The control characters (and U+FFFE, U+FFFF) XML cannot carry, judged on one UTF-16 unit;
// surrogates are not judged here.
inline bool isForbiddenUnit(char16_t c) {
    return (c < 0x20 && c != 0x9 && c != 0xA && c != 0xD) || c == 0xFFFE || c == 0xFFFF;
}

// `text` without the units isForbiddenUnit() names; the same string when it holds none.
QString withoutForbidden(const QString& text);

// The UTF-8 sequence at `p` (before `end`): stores its code point in `c` and returns its length,
// or returns 0 when the bytes are not valid UTF-8 (a stray or overlong sequence, a surrogate, a
// code point beyond U+10FFFF, a sequence cut short).
int decodeUtf8(const char* p, const char* end, char32_t* c);
// Writes `c` as one or two UTF-16 units and moves `out` past them.
void putUtf16(char32_t c, char16_t** out);

}  // namespace XmlChars
