#pragma once

#include "store/record.h"

#include <QString>
#include <QVector>
#include <memory>

// All rows of a table at one moment, in table order. Copies share the rows, so a snapshot
// taken on the user-interface thread can be written by another thread.
class TableData {
public:
    QString tableName;
    std::shared_ptr<const RecordLayout> layout;
    QVector<Row> rows;
    qint64 nextAutoInc = 1;   // the next auto-increment value; kept in the file
    quint64 changeCount = 0;  // the table's change count when the snapshot was taken
};
