#pragma once

#include "wire/dive_record.h"

#include <QByteArray>
#include <QVector>
#include <functional>
#include <memory>

class DiveDetailRows;
class Table;
class Tdm_rdp;

// Builds the dive upload: every dive in the table's order, whatever its lock or certification
// state, each with its conditions and equipment rows (the first a detail table shows for it, or
// none), as one record line in ISO-8859-1 (values outside it travel escaped, see SyncFields).
// The dives are read by row and the detail rows from snapshots, so the walk moves no cursor.
class DiveUpload {
public:
    explicit DiveUpload(Tdm_rdp& tables);
    ~DiveUpload();

    // Posts pending edits as a move would, goes to the first dive and appends the multipart
    // value to `out`: each record followed by CR LF. `stopped` is asked before every dive (the
    // run lets the events run there); when it says so, the records built so far stay and the
    // rest are not built.
    void write(QByteArray& out, const std::function<bool()>& stopped = {});
    // About the bytes write() appends, to reserve up front.
    qsizetype sizeGuess() const;

private:
    struct Source {
        DiveRecord::Source table;
        int field;
        DiveRecord::Form form;
    };
    void appendRecord(QByteArray& out, int diveRow) const;

    Tdm_rdp& tables_;
    int localField_;
    QVector<Source> sources_;  // per position
    std::unique_ptr<DiveDetailRows> conditions_;
    std::unique_ptr<DiveDetailRows> equipment_;
};
