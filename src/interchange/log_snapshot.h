#pragma once

#include "interchange/exchange_dive.h"

#include <QSet>
#include <QStringList>
#include <memory>
#include <vector>

class TableData;
class Tdm_rdp;

// The dives of the log as they stand at one moment, in the list's order, read from copies of
// the tables: writing them out moves no cursor and tells no window.
class LogSnapshot {
public:
    // Every dive, or only those whose id_local_dive is in `only` when it is not empty.
    explicit LogSnapshot(const Tdm_rdp& tables, const QSet<int>& only = {});
    ~LogSnapshot();

    int count() const { return int(rows_.size()); }
    // The dive with its samples (`withSamples`), measures in SI units.
    ExchangeDive dive(int index, bool withSamples = true) const;

    // Every field of the dive and of its conditions and equipment rows (the link field once),
    // as names and as texts in the program's regional formats.
    QStringList fieldNames() const;
    QStringList fieldTexts(int index) const;

private:
    struct Detail;
    int diveId(int index) const;

    std::shared_ptr<const TableData> dives_;
    std::unique_ptr<Detail> conditions_;
    std::unique_ptr<Detail> equipment_;
    std::unique_ptr<Detail> profile_;
    std::vector<int> rows_;  // of dives_, in order
    int idField_ = -1;
};
