#pragma once

#include "interchange/dive_fields.h"
#include "interchange/log_reader.h"
#include "store/table.h"

#include <QHash>
#include <functional>
#include <vector>

class Tdm_rdp;

enum class DuplicateChoice {
    Skip,   // a dive already in the log is left as it is
    Merge,  // its empty fields are filled in, and its profile when it has none
};

struct ImportSummary {
    int imported = 0;
    int duplicatesSkipped = 0;
    int merged = 0;
    int lockedSkipped = 0;  // duplicates of locked or certified dives, never changed
    int refused = 0;        // dives the tables did not take (nothing of them is kept)
    int notReached = 0;     // dives after a stop
    bool stopped = false;
    int divesLeftOut = 0;   // dives of the file without a date
    ExchangeCounts counts;  // of the reading and of fitting the values into the fields
    Table::Bookmark firstAdded = 0;
};

// Bringing the dives of a log file into the tables. A dive of the file is a duplicate when a
// dive of the log, or an earlier dive of the file, has the same date and start time (to the
// minute). Every new dive is a local dive (no service number) in the units new dives get.
class LogImport {
public:
    LogImport(Tdm_rdp& tables, LogFile file, const DiveFields::DiveUnits& units);

    const LogFile& file() const { return file_; }
    bool isDuplicate(int index) const { return duplicate_[index]; }
    int duplicateCount() const;

    // Adds the dives as one bulk change: Busy raised (so the tables are written once, after
    // it), the tables' notifications held back, whole dives only. `progress` is told the dives
    // done so far before each dive; answering false stops there. Table cursors end on the
    // last dive touched.
    ImportSummary apply(DuplicateChoice choice,
                        const std::function<bool(int done, int total)>& progress = {});

private:
    static qint64 keyOf(const QDate& date, const QTime& time);
    void markDuplicates();
    void importDive(const ExchangeDive& dive, qint64 key, DuplicateChoice choice,
                    ImportSummary& summary);
    Table::Bookmark addDive(const ExchangeDive& dive, ExchangeCounts& counts);
    bool mergeInto(Table::Bookmark target, const ExchangeDive& dive, ExchangeCounts& counts);
    void addSamples(const ExchangeDive& dive, int distanceUnit);
    void removeCurrentDive();
    bool isProtected() const;

    Tdm_rdp& tables_;
    LogFile file_;
    DiveFields::DiveUnits units_;
    std::vector<bool> duplicate_;
    QHash<qint64, Table::Bookmark> known_;  // date and minute of the log's dives
};
