#pragma once

#include "sync/dive_record.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class Table;
class Tdm_rdp;

// Builds the dive upload: every dive in the table's order, whatever its lock or certification
// state, each with its conditions and equipment rows, as one record line.
class DiveUpload {
public:
    explicit DiveUpload(Tdm_rdp& tables);

    // The records; stops, returning those built so far, when `stopped` says so before a dive.
    // Leaves the dives table after its last row.
    QStringList records(const std::function<bool()>& stopped = {});
    // The multipart value: each record followed by CR LF.
    static QString body(const QStringList& records);

private:
    struct Source {
        Table* table;
        int field;
        DiveRecord::UploadForm form;
    };
    QString currentRecord() const;

    Tdm_rdp& tables_;
    Table* dives_;
    QVector<Source> sources_;  // per position
};
