#include "store/dive_detail_rows.h"

#include "store/table.h"

DiveDetailRows::DiveDetailRows(const Table& detail) : data_(detail.snapshot()) {
    const int link = data_->layout->indexOf(u"id_local_dive");
    rowOfDive_.reserve(data_->rows.size());
    for (int i = 0; i < data_->rows.size(); ++i) {
        const Row& row = data_->rows[i];
        if (!data_->layout->isNull(row, link)) {
            const int dive = int(data_->layout->integer(row, link));
            if (!rowOfDive_.contains(dive)) {
                rowOfDive_.insert(dive, i);
            }
        }
    }
}

const Row* DiveDetailRows::of(int idLocalDive) const {
    const auto found = rowOfDive_.constFind(idLocalDive);
    return found == rowOfDive_.cend() ? nullptr : &data_->rows[*found];
}

QVariant DiveDetailRows::value(const Row* row, int field) const {
    return row ? data_->layout->value(*row, field) : QVariant();
}
