#pragma once

#include <QString>
#include <QStringList>

// Splits a "##"-joined field list into `fields` (the caller sizes it); each piece trimmed of
// blanks and control characters; a trailing separator adds no piece; pieces beyond the size
// are dropped; unused slots are empty.
void SplitFields(const QString& text, QStringList& fields);
