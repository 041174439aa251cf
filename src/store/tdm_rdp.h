#pragma once

#include "store/data_source.h"
#include "store/table.h"

#include <QObject>
#include <QStringList>

// The tables module: the diver's whole log in six tables, their data sources, the deletion
// queue and the `Busy` flag. Tables with posted changes are written shortly after the change
// (coalesced, never while Busy) and at close.
class Tdm_rdp : public QObject {
    Q_OBJECT
public:
    explicit Tdm_rdp(QObject* parent = nullptr);
    ~Tdm_rdp() override;  // closes the tables, writing those with changes

    // Creation handler: creates missing tables, opens all six. Throws AppError on a table file
    // that cannot be read; the tables not yet opened stay closed.
    void DataModuleCreate();

    bool busy() const;
    void setBusy(bool busy);  // lowering it lets pending saves run

    // Writes every table with unsaved changes now.
    void saveAll();

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
};

extern Tdm_rdp* dm_rdp;

// Splits a "##"-joined field list into `fields` (the caller sizes it); each piece trimmed of
// blanks and control characters; a trailing separator adds no piece; pieces beyond the size
// are dropped; unused slots are empty.
void SplitFields(const QString& text, QStringList& fields);

// The deletion queue "delete.cds" in the data folder: one line, each entry a service dive
// number followed by "##".
namespace DeletionQueue {
QString fileName();
void append(int idDive);  // throws IoError
bool exists();
QString read();
void remove();
}  // namespace DeletionQueue
