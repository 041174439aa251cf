#include "store/dive_detail_rows.h"

#include "store/table.h"

#include <algorithm>

DiveDetailRows::DiveDetailRows(const Table& detail)
    : data_(detail.snapshot()), link_(data_->layout->indexOf(u"id_local_dive")) {}

const Row* DiveDetailRows::of(int idLocalDive) const {
    const RecordLayout& layout = *data_->layout;
    const auto before = [&](const Row& row, int dive) {
        return layout.isNull(row, link_) || layout.integer(row, link_) < dive;
    };
    const auto found =
        std::lower_bound(data_->rows.cbegin(), data_->rows.cend(), idLocalDive, before);
    const bool match = found != data_->rows.cend() && !layout.isNull(*found, link_) &&
                       layout.integer(*found, link_) == idLocalDive;
    return match ? &*found : nullptr;
}

QVariant DiveDetailRows::value(const Row* row, int field) const {
    return row ? data_->layout->value(*row, field) : QVariant();
}
