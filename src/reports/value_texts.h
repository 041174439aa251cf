#pragma once

#include "ui/db/controls/value_domains.h"

#include <QString>

// Coded fields printed as words: a value domain's items as the translated dive editor shows
// them, and the item shown for a stored code.
namespace ValueTexts {

// `domain` with every "<key>" item replaced by the dictionary's word (a key the dictionary
// lacks keeps its "<key>" form, as on the translated window).
ValueDomain translated(const ValueDomain& domain);
// The item whose code equals `code`; where several do, the last; empty when none does or the
// matching code has no item.
QString shownText(const ValueDomain& domain, int code);

}  // namespace ValueTexts
