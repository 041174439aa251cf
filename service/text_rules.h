#pragma once

#include <QString>

// Small rules on text the service stores and searches.
namespace TextRules {

// What searches compare: case-folded, blanks at the ends removed.
QString searchKey(const QString& text);
// name@domain.tld: one "@", no blanks or control characters, a dot inside the domain.
bool isEmailAddress(const QString& text);
// One line of text: control characters removed, blanks at the ends removed, cut to `maxLength`.
QString oneLine(const QString& text, int maxLength);
// How many "##" separate the values of a field list ("####" is two).
int separators(const QString& line);
// The current time, UTC, "yyyy-MM-dd hh:mm:ss".
QString utcNow();

}  // namespace TextRules
