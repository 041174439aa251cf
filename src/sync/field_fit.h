#pragma once

#include "store/field_def.h"

#include <QString>

// An answer value as its field can take it: text longer than a string field is cut to the
// field's length (the service may hold longer values than this program's tables), so one long
// value costs its tail rather than the whole record.
inline QString fittedToField(const FieldDef& field, const QString& text) {
    return field.type == FieldType::String && text.size() > field.size ? text.left(field.size)
                                                                       : text;
}
