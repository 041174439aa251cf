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
    qint64 nextAutoInc = 1;  // the next auto-increment value; kept in the file
    // The number of the last change these rows hold. Changes are numbered 1, 2, ... for the
    // life of the table's files: the table file keeps the number it holds, so its journal
    // knows which of its records the file already has.
    quint64 changeCount = 0;
    // The number the table file alone holds, before its journal was applied.
    quint64 fileChangeCount = 0;
};

// One posted or deleted row, in the order the table changed: what the journal records.
// `index` is where the row stood in table order before the change (-1 for a new row); the
// same changes applied to the same rows reproduce the same order, so it names the row.
struct RowChange {
    enum class Kind : char { Insert = 'I', Update = 'U', Delete = 'D' };
    Kind kind;
    quint64 sequence;
    int index;
    Row before;  // the row as it was (update, delete)
    Row after;   // the row as posted (insert, update)
};

// The changes a table made since they were last taken. `complete` is false when some were
// left out (more than a journal should take at once): then only writing the whole table file
// saves them.
struct PendingChanges {
    QVector<RowChange> changes;
    bool complete = true;
};
