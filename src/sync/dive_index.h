#pragma once

#include <QHash>
#include <functional>
#include <unordered_map>
#include <unordered_set>

class Table;

// Finds dives by service number and by local number without walking the dives table: hash
// maps built in one pass, and the table's order (Date, then Time_Start, nulls first) to reach
// a dive's row by binary search. The row found is the one a walk from the first row would
// meet first, also while rows move and new dives come in (update() after each post).
class DiveIndex {
public:
    // `between` runs after each row while the index is built (a caller on the user-interface
    // thread lets the events run there; the table must not change meanwhile).
    explicit DiveIndex(const Table& dives, const std::function<void()>& between = {});

    // The 0-based row of the first dive whose id_dive is `idDive` (not 0), else of the dive
    // whose id_local_dive is `idLocalDive` when its id_dive is null or 0; -1 when there is
    // neither.
    int find(int idDive, int idLocalDive) const;
    // Takes note of the dive now at `row`: a new dive, a new service number, a new place.
    void update(int row);

private:
    struct OrderKey {
        bool hasDate = false;
        qint64 day = 0;
        bool hasTime = false;
        int msecs = 0;
        bool operator<(const OrderKey& other) const;
        bool operator==(const OrderKey& other) const;
    };
    struct Entry {
        OrderKey key;
        int idDive = 0;
    };

    OrderKey keyAt(int row) const;
    int localAt(int row) const;
    int rowOf(int idLocalDive) const;
    int searchRow(int idLocalDive, int rows) const;

    const Table& dives_;
    int idField_;
    int localField_;
    int dateField_;
    int timeField_;
    QHash<int, Entry> byLocal_;
    std::unordered_map<int, std::unordered_set<int>> localsByService_;
    mutable int lastRow_ = -1;  // the row last found or updated
};
