#include "store/tdm_rdp.h"

#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "app/settings/write_failures.h"
#include "store/dive_log_tables.h"
#include "store/snapshot_writer.h"
#include "store/table_data.h"

#include <QFileInfo>
#include <QThreadPool>

Tdm_rdp* dm_rdp = nullptr;

namespace {

constexpr int kDefaultSaveDelayMs = 300;
const QString kDiveKey = QStringLiteral("id_local_dive");

// The highest dive key among all rows of a detail table, whatever dive is current.
qint64 highestDiveKey(const Table* detail) {
    const auto data = detail->snapshot();
    const int field = data->layout->indexOf(kDiveKey);
    qint64 highest = 0;
    for (const Row& row : data->rows) {
        if (!data->layout->isNull(row, field)) {
            highest = qMax(highest, data->layout->integer(row, field));
        }
    }
    return highest;
}

}  // namespace

struct Tdm_rdp::Saver {
    Table* table;
    QString baseName;
    std::unique_ptr<SnapshotWriter> writer;
    quint64 submitted = 0;  // the change count of the newest snapshot handed to the writer
};

Tdm_rdp::Tdm_rdp(QObject* parent) : QObject(parent), pool_(std::make_unique<QThreadPool>()) {
    pool_->setMaxThreadCount(2);
    cds_dives = makeTable(DiveLogTables::dives());
    cds_info = makeTable(DiveLogTables::member());
    cds_certif = makeTable(DiveLogTables::certificates());
    cds_conditions = makeTable(DiveLogTables::conditions());
    cds_equipment = makeTable(DiveLogTables::equipment());
    cds_profile = makeTable(DiveLogTables::profile());
    for (Table* detail : {cds_conditions, cds_equipment, cds_profile}) {
        detail->setMaster(cds_dives, kDiveKey);
    }
    ds_info = new DataSource(cds_info, this);
    ds_certif = new DataSource(cds_certif, this);
    ds_dives = new DataSource(cds_dives, this);
    ds_conditions = new DataSource(cds_conditions, this);
    ds_equipment = new DataSource(cds_equipment, this);
    ds_profile = new DataSource(cds_profile, this);
    saveTimer_.setSingleShot(true);
    saveTimer_.setInterval(kDefaultSaveDelayMs);
    connect(&saveTimer_, &QTimer::timeout, this, &Tdm_rdp::saveChangedTables);
}

Tdm_rdp::~Tdm_rdp() {
    saveTimer_.stop();
    for (Table* table :
         {cds_info, cds_certif, cds_profile, cds_conditions, cds_equipment, cds_dives}) {
        try {
            closeTable(table);
        } catch (const AppError& e) {
            reportFailure(table, e.message());
        }
    }
}

Table* Tdm_rdp::makeTable(const DiveLogTables::Definition& definition) {
    auto* table = new Table(definition.tableName, definition.fields, definition.orderBy, this);
    auto saver = std::make_unique<Saver>();
    saver->table = table;
    saver->baseName = definition.baseName;
    saver->writer = std::make_unique<SnapshotWriter>(pool_.get());
    Saver* s = saver.get();
    connect(table, &Table::changesPosted, this, &Tdm_rdp::scheduleSave);
    connect(s->writer.get(), &SnapshotWriter::written, this, [this, table](quint64 count) {
        // A direct save may have taken note of this write already.
        const bool news = table->hasUnsavedChanges();
        table->markSaved(count);
        if (news) {
            reportSaved(table);
        }
    });
    connect(s->writer.get(), &SnapshotWriter::failed, this, [this, s](const QString& message) {
        s->submitted = 0;  // the next save hands the table in again
        reportFailure(s->table, message);
    });
    savers_.push_back(std::move(saver));
    return table;
}

Tdm_rdp::Saver& Tdm_rdp::saverOf(const Table* table) {
    for (const auto& saver : savers_) {
        if (saver->table == table) {
            return *saver;
        }
    }
    Q_UNREACHABLE();
}

QList<Table*> Tdm_rdp::tables() const {
    return {cds_dives, cds_info, cds_certif, cds_conditions, cds_equipment, cds_profile};
}

void Tdm_rdp::DataModuleCreate() {
    if (!dm_const) {
        throw AppError(QStringLiteral("The settings module has not been created."));
    }
    setBusy(true);
    struct LowerBusy {
        Tdm_rdp* module;
        ~LowerBusy() { module->setBusy(false); }
    } lowerBusy{this};
    for (Table* table :
         {cds_info, cds_certif, cds_profile, cds_conditions, cds_equipment, cds_dives}) {
        closeTable(table);
    }
    for (const auto& saver : savers_) {
        saver->table->setFileName(dm_const->DbDir + saver->baseName + QStringLiteral(".xml"));
    }
    for (Table* table : tables()) {
        if (!QFileInfo::exists(table->fileName())) {
            table->createDataSet();
        }
    }
    openTables();
    for (const Table* detail : {cds_conditions, cds_equipment, cds_profile}) {
        cds_dives->reserveAutoIncrement(highestDiveKey(detail));
    }
}

void Tdm_rdp::openTables() {
    const QList<Table*> order = tables();
    for (int i = 0; i < order.size(); ++i) {
        try {
            order[i]->open();
        } catch (const AppError&) {
            // The tables after the failing one stay closed (those created empty hold nothing).
            for (int later = i + 1; later < order.size(); ++later) {
                order[later]->close();
            }
            throw;
        }
    }
}

bool Tdm_rdp::busy() const {
    return busy_;
}

void Tdm_rdp::setBusy(bool busy) {
    busy_ = busy;
    if (!busy_) {
        for (const auto& saver : savers_) {
            if (saver->table->hasUnsavedChanges()) {
                scheduleSave();
            }
        }
    }
}

void Tdm_rdp::setSaveDelay(int milliseconds) {
    saveTimer_.setInterval(milliseconds);
}

void Tdm_rdp::scheduleSave() {
    if (!saveTimer_.isActive()) {
        saveTimer_.start();
    }
}

void Tdm_rdp::saveChangedTables() {
    if (busy_) {
        return;  // lowering Busy schedules the save again
    }
    for (const auto& saver : savers_) {
        Table* table = saver->table;
        if (table->hasUnsavedChanges() && !table->fileName().isEmpty() &&
            table->changeCount() != saver->submitted) {
            saver->submitted = table->changeCount();
            saver->writer->submit(table->snapshot(), table->fileName());
        }
    }
}

void Tdm_rdp::finishWriter(Saver& saver) {
    saver.table->markSaved(saver.writer->finish());
    saver.submitted = 0;
}

void Tdm_rdp::saveNow(Saver& saver) {
    finishWriter(saver);
    if (saver.table->hasUnsavedChanges()) {
        saver.table->save();
        reportSaved(saver.table);
    }
}

void Tdm_rdp::saveAll() {
    QStringList failures;
    for (const auto& saver : savers_) {
        try {
            saveNow(*saver);
        } catch (const AppError& e) {
            reportFailure(saver->table, e.message());
            failures << e.message();
        }
    }
    if (!failures.isEmpty()) {
        throw IoError(failures.join(QLatin1Char('\n')));
    }
}

void Tdm_rdp::reportSaved(Table* table) {
    WriteFailures::succeeded(table->fileName());
    emit tableSaved(table);
}

void Tdm_rdp::reportFailure(Table* table, const QString& message) {
    WriteFailures::failed(table->fileName(), message);
    emit saveFailed(table, message);
}

void Tdm_rdp::closeTable(Table* table) {
    Saver& saver = saverOf(table);
    finishWriter(saver);
    const bool unsaved = table->hasUnsavedChanges() || table->modified();
    table->close();
    if (unsaved) {
        reportSaved(table);
    }
}
