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

}  // namespace XmlChars
