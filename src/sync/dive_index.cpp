#include "sync/dive_index.h"

#include "store/table.h"

namespace {

// Null sorts first, as in the table.
template <typename T>
int compareNullable(bool hasA, T a, bool hasB, T b) {
    if (hasA != hasB) {
        return hasA ? 1 : -1;
    }
    return !hasA || a == b ? 0 : (a < b ? -1 : 1);
}

}  // namespace

bool DiveIndex::OrderKey::operator<(const OrderKey& other) const {
    const int byDate = compareNullable(hasDate, day, other.hasDate, other.day);
    return byDate != 0 ? byDate < 0
                       : compareNullable(hasTime, msecs, other.hasTime, other.msecs) < 0;
}

bool DiveIndex::OrderKey::operator==(const OrderKey& other) const {
    return !(*this < other) && !(other < *this);
}

DiveIndex::DiveIndex(const Table& dives, const std::function<void()>& between)
    : dives_(dives),
      idField_(dives.fieldIndex(QStringLiteral("id_dive"))),
      localField_(dives.fieldIndex(QStringLiteral("id_local_dive"))),
      dateField_(dives.fieldIndex(QStringLiteral("Date"))),
      timeField_(dives.fieldIndex(QStringLiteral("Time_Start"))) {
    const int rows = dives.recordCount();
    byLocal_.reserve(rows);
    localsByService_.reserve(rows);
    for (int row = 0; row < rows; ++row) {
        update(row);
        if (between) {
            between();
        }
    }
}

DiveIndex::OrderKey DiveIndex::keyAt(int row) const {
    const QVariant date = dives_.valueAt(row, dateField_);
    const QVariant time = dives_.valueAt(row, timeField_);
    OrderKey key;
    key.hasDate = date.isValid();
    key.day = key.hasDate ? date.toDate().toJulianDay() : 0;
    key.hasTime = time.isValid();
    key.msecs = key.hasTime ? time.toTime().msecsSinceStartOfDay() : 0;
    return key;
}

int DiveIndex::localAt(int row) const {
    return dives_.valueAt(row, localField_).toInt();
}

void DiveIndex::update(int row) {
    const int local = localAt(row);
    const int idDive = dives_.valueAt(row, idField_).toInt();
    auto entry = byLocal_.find(local);
    if (entry == byLocal_.end()) {
        entry = byLocal_.insert(local, Entry());
    } else if (entry->idDive != idDive) {
        const auto old = localsByService_.find(entry->idDive);
        old->second.erase(local);
        if (old->second.empty()) {
            localsByService_.erase(old);
        }
    }
    entry->key = keyAt(row);
    entry->idDive = idDive;
    localsByService_[idDive].insert(local);
    lastRow_ = row;
}

// An answer usually follows the table's order, so the row after the last one found is tried
// first; then a binary search over the dives' order for the dive's date and time, and along the
// rows that share them; a linear look as the last resort keeps the answer right whatever the
// order. Local numbers are unique, so any row holding it is the one.
int DiveIndex::rowOf(int idLocalDive) const {
    const int rows = dives_.recordCount();
    for (const int hint : {lastRow_ + 1, lastRow_}) {
        if (hint >= 0 && hint < rows && localAt(hint) == idLocalDive) {
            return lastRow_ = hint;
        }
    }
    lastRow_ = searchRow(idLocalDive, rows);
    return lastRow_;
}

int DiveIndex::searchRow(int idLocalDive, int rows) const {
    const OrderKey key = byLocal_.value(idLocalDive).key;
    int low = 0;
    int high = rows;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (keyAt(middle) < key) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    for (int row = low; row < rows && keyAt(row) == key; ++row) {
        if (localAt(row) == idLocalDive) {
            return row;
        }
    }
    for (int row = 0; row < rows; ++row) {
        if (localAt(row) == idLocalDive) {
            return row;
        }
    }
    return -1;
}

// A local number identifies a dive only here: another computer's dive may carry the same one, so
// it matches only a dive the service has not numbered yet. Number 0 is no service number.
int DiveIndex::find(int idDive, int idLocalDive) const {
    const auto byService = idDive == 0 ? localsByService_.end() : localsByService_.find(idDive);
    if (byService != localsByService_.end()) {
        int first = -1;
        for (const int local : byService->second) {
            const int row = rowOf(local);
            if (row >= 0 && (first < 0 || row < first)) {
                first = row;
            }
        }
        if (first >= 0) {
            return first;
        }
    }
    const auto byLocal = byLocal_.constFind(idLocalDive);
    return byLocal != byLocal_.cend() && byLocal->idDive == 0 ? rowOf(idLocalDive) : -1;
}
