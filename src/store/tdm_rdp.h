#pragma once

#include "store/data_source.h"
#include "store/table.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <vector>

class QThreadPool;
namespace DiveLogTables {
struct Definition;
}

// The tables module: the diver's whole log in six tables, their data sources, the deletion
// queue and the `Busy` flag. The rows posted and deleted reach their table's journal shortly
// after the change (coalesced, never while Busy, on a writer thread); a table file is written
// whole only when its journal has grown past a share of it, after a bulk change, and at close.
class Tdm_rdp : public QObject {
    Q_OBJECT
public:
    explicit Tdm_rdp(QObject* parent = nullptr);
    // Waits for the writer threads, then closes the tables, writing those with changes.
    ~Tdm_rdp() override;

    // Creation handler: creates missing tables, opens all six. Throws AppError on a table file
    // that cannot be read; the tables not yet opened stay closed (and Busy is lowered).
    void DataModuleCreate();

    bool busy() const;
    void setBusy(bool busy);  // lowering it lets pending saves run

    // Writes every table file that does not hold all its table's changes now, and empties its
    // journal. Throws IoError naming every table file that could not be written (one line
    // each); those tables keep their changes.
    void saveAll();
    // What the save timer runs: unless Busy is raised, hands the changes of every table to its
    // writer thread, as journal records or (after a bulk change, or when the journal has grown)
    // as a snapshot of the whole table. Cheap on this thread.
    void saveChangedTables();
    // How long after a posted change the save starts (changes meanwhile join that save).
    void setSaveDelay(int milliseconds);

    // From now on, what is typed into the dive tables and not yet posted is kept in the file of
    // PendingEdit (once the last run's file has been offered back to the diver).
    void keepPendingEdits();

    // The six tables in the order of opening: dives, member, certificates, conditions,
    // equipment, profile.
    QList<Table*> tables() const;

    Table* cds_info;
    Table* cds_certif;
    Table* cds_dives;
    Table* cds_conditions;
    Table* cds_equipment;
    Table* cds_profile;
    DataSource* ds_info;
    DataSource* ds_certif;
    DataSource* ds_dives;
    DataSource* ds_conditions;
    DataSource* ds_equipment;
    DataSource* ds_profile;

signals:
    // A table's changes reached the disk (its journal or its file; from the writer thread or a
    // direct save).
    void tableSaved(Table* table);
    // A table could not be written (at every failed attempt); its changes stay pending and are
    // tried again with the next save. The diver is told through WriteFailures, once per failure.
    void saveFailed(Table* table, const QString& message);

private:
    struct Saver;
    Table* makeTable(const DiveLogTables::Definition& definition);
    Saver& saverOf(const Table* table);
    void scheduleSave();
    // Waits for the table's writer and takes note of what it wrote, so a direct save follows.
    void finishWriter(Saver& saver);
    void saveNow(Saver& saver);
    void reportSaved(Table* table);
    void reportFailure(Table* table, const QString& message);
    void closeTable(Table* table);
    void openTables();

    bool busy_ = false;
    QTimer saveTimer_;
    std::unique_ptr<QThreadPool> pool_;
    std::vector<std::unique_ptr<Saver>> savers_;
};

extern Tdm_rdp* dm_rdp;

// The deletion queue "delete.cds" in the data folder: one line, each entry a service dive
// number followed by "##".
namespace DeletionQueue {
QString fileName();
// Rewrites the whole file atomically with the entry added; an existing queue that cannot be
// read throws IoError and is left as it is.
void append(int idDive);
bool exists();
QString read();
void remove();
}  // namespace DeletionQueue
