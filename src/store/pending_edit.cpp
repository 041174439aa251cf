#include "store/pending_edit.h"

#include "app/settings/app_error.h"
#include "app/settings/atomic_file.h"
#include "app/settings/regional_formats.h"
#include "app/settings/tdm_const.h"
#include "app/settings/write_failures.h"
#include "store/table_file.h"
#include "store/tdm_rdp.h"

#include <QFile>
#include <optional>
#include <utility>

namespace PendingEdit {
namespace {

const QByteArray kHeader = QByteArrayLiteral("NEREVA pending edit 1");
const QString kDiveKey = QStringLiteral("id_local_dive");
constexpr int kDefaultDelayMs = 1000;

QList<Table*> diveTables(const Tdm_rdp& tables) {
    return {tables.cds_dives, tables.cds_conditions, tables.cds_equipment};
}

Table* tableNamed(const Tdm_rdp& tables, const QString& name) {
    for (Table* table : diveTables(tables)) {
        if (table->name() == name) {
            return table;
        }
    }
    return nullptr;
}

bool sameValue(const QVariant& a, const QVariant& b) {
    return a.isValid() == b.isValid() && (!a.isValid() || a == b);
}

// The fields the edit sets: all but the table's own key and its link to the dive.
bool restorable(const Table& table, const FieldDef& field) {
    return field.type != FieldType::AutoInc &&
           (!table.master() || field.name.compare(kDiveKey, Qt::CaseInsensitive) != 0);
}

// The row of `table` that belongs to `dive` (its own row for the dives), if any.
std::optional<Row> rowOfDive(const Table& table, int dive) {
    const auto data = table.snapshot();
    const int key = data->layout->indexOf(kDiveKey);
    for (const Row& row : data->rows) {
        if (!data->layout->isNull(row, key) && data->layout->integer(row, key) == dive) {
            return row;
        }
    }
    return std::nullopt;
}

// Whether the edit would change something in the row it goes into (none: a new row).
bool changes(const Table& table, const Entry& entry, const std::optional<Row>& current) {
    const RecordLayout& layout = *table.layout();
    for (int field = 0; field < layout.count(); ++field) {
        if (!restorable(table, layout.field(field))) {
            continue;
        }
        const QVariant pending = layout.value(entry.row, field);
        if (!sameValue(pending, current ? layout.value(*current, field) : QVariant())) {
            return true;
        }
    }
    return false;
}

void restoreInto(Table& table, const Entry& entry) {
    table.edit();  // an insert when the dive has no such row yet
    const RecordLayout& layout = *table.layout();
    for (int field = 0; field < layout.count(); ++field) {
        const FieldDef& def = layout.field(field);
        const QVariant pending = layout.value(entry.row, field);
        if (restorable(table, def) && !sameValue(pending, table.value(def.name))) {
            table.setValue(def.name, pending);
        }
    }
}

QByteArray encode(const Tdm_rdp& tables, const QVector<Entry>& entries) {
    QByteArray text = kHeader + '\n';
    for (const Entry& entry : entries) {
        const Table* table = tableNamed(tables, entry.table);
        text += entry.table.toLatin1() + ' ' + QByteArray::number(entry.dive) +
                (entry.isNew ? " insert\n" : " edit\n") +
                TableFile::serialiseRow(*table->layout(), entry.row) + '\n';
    }
    return text;
}

QVector<Entry> decode(const Tdm_rdp& tables, const QByteArray& text) {
    const QList<QByteArray> lines = text.split('\n');
    if (lines.value(0) != kHeader) {
        throw AppError(QStringLiteral("not a pending edit"));
    }
    QVector<Entry> entries;
    for (int i = 1; i + 1 < lines.size(); i += 2) {
        const QList<QByteArray> head = lines[i].split(' ');
        Table* table = tableNamed(tables, QString::fromLatin1(head.value(0)));
        if (head.size() != 3 || !table || !table->active()) {
            throw AppError(QStringLiteral("not a pending edit"));
        }
        RowReader reader(table->layout(), table->name(), fileName());
        entries.append(
            {table->name(), head[1].toInt(), head[2] == "insert", reader.read(lines[i + 1], 0)});
    }
    return entries;
}

}  // namespace

QString fileName() {
    return (dm_const ? dm_const->DbDir : QString()) + QStringLiteral("pending-edit.txt");
}

QVector<Entry> collect(const Tdm_rdp& tables) {
    QVector<Entry> entries;
    for (Table* table : diveTables(tables)) {
        if (!table->active() || !table->modified()) {
            continue;
        }
        const bool isNew = table->state() == Table::State::Insert;
        const bool newDive = table == tables.cds_dives && isNew;
        entries.append(
            {table->name(), newDive ? 0 : table->asInteger(kDiveKey), isNew, table->editedRow()});
    }
    return entries;
}

void write(const Tdm_rdp& tables, const QVector<Entry>& entries) {
    if (entries.isEmpty()) {
        remove();
        return;
    }
    // Left to the system to flush: what it guards against is the program's own end.
    writeFileAtomically(fileName(), encode(tables, entries), FileSync::None);
}

QVector<Entry> read(const Tdm_rdp& tables) {
    QFile file(fileName());
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QVector<Entry> entries;
    try {
        entries = decode(tables, file.readAll());
    } catch (const AppError&) {
        return {};
    }
    QVector<Entry> kept;
    bool newDive = false;
    for (const Entry& entry : entries) {
        const Table& table = *tableNamed(tables, entry.table);
        const bool isDive = &table == tables.cds_dives;
        if (isDive && entry.isNew) {
            newDive = true;
        } else if (entry.dive == 0 ? !newDive : !rowOfDive(*tables.cds_dives, entry.dive)) {
            continue;  // its dive is gone
        }
        if (changes(table, entry,
                    entry.isNew && isDive ? std::nullopt : rowOfDive(table, entry.dive))) {
            kept.append(entry);
        }
    }
    return kept;
}

void remove() {
    QFile::remove(fileName());
}

QString describe(const Tdm_rdp& tables, const QVector<Entry>& entries) {
    if (entries.isEmpty() || entries.first().dive == 0) {
        return {};
    }
    const std::optional<Row> dive = rowOfDive(*tables.cds_dives, entries.first().dive);
    if (!dive) {
        return {};
    }
    const RecordLayout& layout = *tables.cds_dives->layout();
    QStringList parts;
    for (const char* field : {"Date", "Location", "Site"}) {
        const QString text = RegionalFormats::formatValue(
            layout.value(*dive, layout.indexOf(QString::fromLatin1(field))));
        if (!text.isEmpty()) {
            parts << text;
        }
    }
    return parts.join(QStringLiteral(", "));
}

void restore(Tdm_rdp& tables, const QVector<Entry>& entries) {
    Table& dives = *tables.cds_dives;
    for (const Entry& entry : entries) {
        Table& table = *tableNamed(tables, entry.table);
        if (&table == &dives && entry.isNew) {
            dives.insert();
        } else if (entry.dive != 0 && dives.asInteger(kDiveKey) != entry.dive) {
            const auto data = dives.snapshot();
            const int key = data->layout->indexOf(kDiveKey);
            for (int i = 0; i < data->rows.size(); ++i) {
                if (data->layout->integer(data->rows[i], key) == entry.dive) {
                    dives.setRecNo(i + 1);
                    break;
                }
            }
        }
        restoreInto(table, entry);
    }
}

}  // namespace PendingEdit

PendingEditKeeper::PendingEditKeeper(Tdm_rdp& tables, QObject* parent)
    : QObject(parent), tables_(tables) {
    pause_.setSingleShot(true);
    pause_.setInterval(PendingEdit::kDefaultDelayMs);
    connect(&pause_, &QTimer::timeout, this, &PendingEditKeeper::writeNow);
    for (Table* table : PendingEdit::diveTables(tables)) {
        watch(table);
    }
    connect(&tables_, &Tdm_rdp::tableSaved, this, &PendingEditKeeper::update);
}

void PendingEditKeeper::setDelay(int milliseconds) {
    pause_.setInterval(milliseconds);
}

void PendingEditKeeper::watch(Table* table) {
    connect(table, &Table::dataChanged, this, [this, table](const QString& field) {
        if (!field.isEmpty() && table->modified()) {
            pause_.start();
        }
    });
    connect(table, &Table::stateChanged, this, &PendingEditKeeper::update);
}

// Once nothing is in edit, the file goes as soon as what was posted is on the disk.
void PendingEditKeeper::update() {
    if (!PendingEdit::collect(tables_).isEmpty()) {
        return;
    }
    pause_.stop();
    for (const Table* table : PendingEdit::diveTables(tables_)) {
        if (table->hasUnsavedChanges()) {
            return;  // the next tableSaved comes back here
        }
    }
    if (std::exchange(fileMayExist_, false)) {
        PendingEdit::remove();
    }
}

void PendingEditKeeper::writeNow() {
    const QVector<PendingEdit::Entry> entries = PendingEdit::collect(tables_);
    if (entries.isEmpty()) {
        update();
        return;
    }
    try {
        fileMayExist_ = true;
        PendingEdit::write(tables_, entries);
        WriteFailures::succeeded(PendingEdit::fileName());
    } catch (const AppError& e) {
        WriteFailures::failed(PendingEdit::fileName(), e.message());
    }
}
