#pragma once

#include "store/table_data.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

class Tdm_rdp;
class Table;

// What was typed into the current dive and not yet posted (only moving to another dive posts
// it), kept in a small file beside the tables' journals so that a crash loses at most the last
// moments of typing. The file is written a moment after typing stops and removed once the edit
// is posted (and on the disk) or cancelled. It is never posted by itself: at the next start the
// diver is offered to bring it back into its dive, which then holds it as an edit not yet posted.
//
// The file: a header line, then per table in edit a line "<table> <dive> edit|insert" (the
// dive's local number, 0 for a new dive not yet posted) and a line with the edited row as the
// table file writes rows.
namespace PendingEdit {

QString fileName();  // in the tables folder

struct Entry {
    QString table;  // cds_dives, cds_conditions or cds_equipment
    int dive = 0;
    bool isNew = false;
    Row row;
};

// The edits in the dive tables that hold changes, dives first.
QVector<Entry> collect(const Tdm_rdp& tables);
// Writes the entries (removes the file when there are none). Throws IoError.
void write(const Tdm_rdp& tables, const QVector<Entry>& entries);
// The entries of the file that still change something in the log: the dive is there (or new)
// and the edit differs from it. None when there is no file or it cannot be read.
QVector<Entry> read(const Tdm_rdp& tables);
void remove();
// The dive an entry belongs to as the diver knows it ("3/14/2024 Blue Hole"); empty for a new
// dive.
QString describe(const Tdm_rdp& tables, const QVector<Entry>& entries);
// Makes the entries the pending edit of their dive again: the dive becomes current, and it and
// its detail rows are in edit with the values restored. Nothing is posted.
void restore(Tdm_rdp& tables, const QVector<Entry>& entries);

}  // namespace PendingEdit

// Keeps the file of PendingEdit in step with the dive tables while the program runs.
class PendingEditKeeper : public QObject {
    Q_OBJECT
public:
    explicit PendingEditKeeper(Tdm_rdp& tables, QObject* parent = nullptr);
    // How long typing must pause before the file is written.
    void setDelay(int milliseconds);

private:
    void watch(Table* table);
    void update();
    void writeNow();

    Tdm_rdp& tables_;
    QTimer pause_;
    bool fileMayExist_ = true;  // left by the last run, or written since
};
