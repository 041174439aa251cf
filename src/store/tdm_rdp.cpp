#include "store/tdm_rdp.h"

#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "app/settings/write_failures.h"
#include "store/dive_log_tables.h"
#include "store/pending_edit.h"
#include "store/table_data.h"
#include "store/table_writer.h"

#include <QFileInfo>
#include <QThreadPool>
#include <algorithm>
#include <future>

#include <malloc.h>

Tdm_rdp* dm_rdp = nullptr;

namespace {

constexpr int kDefaultSaveDelayMs = 100;
// More changes than this at once (a synchronisation's write-back, an import) rewrite the table
// file rather than the journal.
constexpr int kBulkChanges = 64;
// The journal may grow to this share of its table file (and to this size at least) before the
// file is written again: loading replays it, and writing the file costs its whole size.
constexpr qint64 kJournalShare = 8;
constexpr qint64 kLeastJournalBytes = 256 * 1024;
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
    std::unique_ptr<TableWriter> writer;
    quint64 handedIn = 0;  // the last change handed to the writer (0: hand in the whole file)
    qint64 fileBytes = 0;
    qint64 journalBytes = 0;

    bool journalFull() const {
        return journalBytes > qMax(kLeastJournalBytes, fileBytes / kJournalShare);
    }
    // Whether `pending` follows what the writer has, whole and small enough for the journal.
    bool journalTakes(const PendingChanges& pending) const {
        return pending.complete && !pending.changes.isEmpty() &&
               pending.changes.size() <= kBulkChanges &&
               pending.changes.constFirst().sequence == handedIn + 1 && !journalFull();
    }
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
    saver->writer = std::make_unique<TableWriter>(pool_.get());
    Saver* s = saver.get();
    connect(table, &Table::changesPosted, this, &Tdm_rdp::scheduleSave);
    connect(s->writer.get(), &TableWriter::written, this,
            [this, s](quint64 count, bool inFile, qint64 journalBytes, quint64 generation) {
                if (generation != s->writer->generation()) {
                    return;  // from before a direct save, which took note of it
                }
                s->journalBytes = journalBytes;
                if (inFile) {
                    s->fileBytes = QFileInfo(s->table->fileName()).size();
                }
                const bool news = s->table->hasUnsavedChanges();
                s->table->markSaved(count, inFile);
                if (news) {
                    reportSaved(s->table);
                }
            });
    connect(s->writer.get(), &TableWriter::failed, this,
            [this, s](const QString& message, quint64 generation) {
                if (generation != s->writer->generation()) {
                    return;
                }
                s->handedIn = 0;  // the next save hands in the whole file
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
        if (!table->filesExist()) {
            table->createDataSet();
        }
    }
    openTables();
    for (const Table* detail : {cds_conditions, cds_equipment, cds_profile}) {
        cds_dives->reserveAutoIncrement(highestDiveKey(detail));
    }
    for (const auto& saver : savers_) {
        saver->handedIn = saver->table->changeCount();
        saver->fileBytes = QFileInfo(saver->table->fileName()).size();
        saver->journalBytes = QFileInfo(saver->table->journalFileName()).size();
    }
}

// The files are read on the writers' threads, the largest first, while this thread opens the
// tables in their order as their rows arrive: on a machine with two processors the log loads in
// about half the time.
void Tdm_rdp::openTables() {
    const QList<Table*> order = tables();
    std::vector<std::shared_ptr<std::promise<TableData>>> reads;
    std::vector<std::future<TableData>> results;
    std::vector<int> bySize;
    for (int i = 0; i < order.size(); ++i) {
        reads.push_back(std::make_shared<std::promise<TableData>>());
        results.push_back(reads.back()->get_future());
        bySize.push_back(i);
    }
    const auto size = [&order](int i) { return QFileInfo(order[i]->fileName()).size(); };
    std::stable_sort(bySize.begin(), bySize.end(),
                     [&size](int a, int b) { return size(a) > size(b); });
    for (int i : bySize) {
        if (order[i]->active()) {
            reads[i]->set_value(TableData());
            continue;
        }
        pool_->start([table = order[i], read = reads[i]] {
            try {
                read->set_value(table->readFiles());
            } catch (...) {
                read->set_exception(std::current_exception());
            }
        });
    }
    for (int i = 0; i < order.size(); ++i) {
        try {
            order[i]->openWith([&results, i] { return results[i].get(); });
        } catch (...) {
            // The tables after the failing one stay closed (those created empty hold nothing).
            for (int later = i + 1; later < order.size(); ++later) {
                order[later]->close();
            }
            pool_->waitForDone();
            throw;
        }
    }
    // What the readers' threads took for their work and freed stays with them otherwise.
    malloc_trim(0);
}

void Tdm_rdp::keepPendingEdits() {
    if (!findChild<PendingEditKeeper*>()) {
        new PendingEditKeeper(*this, this);
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
        if (!table->active() || table->fileName().isEmpty() ||
            table->changeCount() == saver->handedIn) {
            continue;
        }
        PendingChanges pending = table->takeChanges();
        if (saver->journalTakes(pending)) {
            saver->writer->append(table->layout(), std::move(pending.changes),
                                  table->journalFileName());
        } else {
            saver->writer->writeFile(table->snapshot(), table->fileName(),
                                     table->journalFileName());
        }
        saver->handedIn = table->changeCount();
    }
}

void Tdm_rdp::finishWriter(Saver& saver) {
    saver.table->markSaved(saver.writer->finish(), false);
    saver.handedIn = 0;
}

void Tdm_rdp::saveNow(Saver& saver) {
    finishWriter(saver);
    const bool unsaved = saver.table->hasUnsavedChanges();
    saver.table->save();
    saver.handedIn = saver.table->changeCount();
    saver.fileBytes = QFileInfo(saver.table->fileName()).size();
    saver.journalBytes = 0;
    if (unsaved) {
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
