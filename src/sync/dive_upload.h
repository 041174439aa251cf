#pragma once

#include "wire/dive_record.h"

#include <QString>
#include <QVector>
#include <functional>
#include <memory>

class DiveDetailRows;
class Table;
class Tdm_rdp;

// Builds the dive upload: every dive in the table's order, whatever its lock or certification
// state, each with its conditions and equipment rows (the first a detail table shows for it, or
// none), as one record line. The dives are read by row and the detail rows from snapshots, so
// the walk moves no cursor.
class DiveUpload {
public:
    explicit DiveUpload(Tdm_rdp& tables);
    ~DiveUpload();

    // Posts pending edits as a move would, goes to the first dive and returns the multipart
    // value: each record followed by CR LF. Stops, returning the records built so far, when
    // `stopped` says so before a dive.
    QString body(const std::function<bool()>& stopped = {});

private:
    struct Source {
        DiveRecord::Source table;
        int field;
        DiveRecord::Form form;
    };
    void appendRecord(QString& text, int diveRow) const;

    Tdm_rdp& tables_;
    int localField_;
    QVector<Source> sources_;  // per position
    std::unique_ptr<DiveDetailRows> conditions_;
    std::unique_ptr<DiveDetailRows> equipment_;
};
