#pragma once

#include "store/table_data.h"

#include <QStringView>
#include <QVariant>
#include <memory>

class Table;

// A detail table's rows (conditions, equipment) found by their dive's local number, from a
// snapshot of the whole table: walks over every dive read them without moving any cursor, so
// the detail table never has to follow its master row by row. The first row of a dive counts,
// as the detail table shows it. A detail table keeps its rows in the order of the dive's number
// (nulls first), so a dive's rows lie together and are found by binary search, with nothing to
// build beforehand.
class DiveDetailRows {
public:
    explicit DiveDetailRows(const Table& detail);

    // The dive's row, or null when it has none.
    const Row* of(int idLocalDive) const;
    // The field's index in the rows; -1 when unknown.
    int field(QStringView name) const { return data_->layout->indexOf(name); }
    const RecordLayout& layout() const { return *data_->layout; }
    // A field of `row` as the table would give it; null for a null field or no row.
    QVariant value(const Row* row, int field) const;

private:
    std::shared_ptr<const TableData> data_;
    int link_;
};
