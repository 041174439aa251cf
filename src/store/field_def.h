#pragma once

#include <QString>
#include <QVector>

enum class FieldType { String, SmallInt, Integer, AutoInc, Float, Date, Time, DateTime, Memo };

// One column of a table: its name as the table defines it, its type and, for strings, the
// longest text it holds.
struct FieldDef {
    QString name;
    FieldType type;
    int size = 0;
};

using FieldDefs = QVector<FieldDef>;
