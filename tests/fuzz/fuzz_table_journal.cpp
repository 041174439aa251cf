// The journal reader behind a small dive table file: any journal is refused with a message or
// applied; what opened saves a file that opens again to the same rows.
#include "app/settings/app_error.h"
#include "fuzz_support.h"
#include "store/dive_log_tables.h"
#include "store/table.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

const QByteArray kFile =
    "<table name=\"cds_dives\" autoinc=\"4\" journal=\"3\">"
    "<row id_local_dive=\"1\" Date=\"2024-01-01\" Site=\"Reef\"/>"
    "<row id_local_dive=\"2\" Date=\"2024-01-02\"/>"
    "<row id_local_dive=\"3\" Date=\"2024-01-03\" Site=\"Wall\"/></table>";

void put(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        FuzzSupport::broken("the fuzz input is written");
    }
}

QStringList rowsOf(const Table& table) {
    const auto data = table.snapshot();
    QStringList rows;
    for (const Row& row : data->rows) {
        QStringList fields;
        for (int field = 0; field < data->layout->count(); ++field) {
            fields << data->layout->value(row, field).toString();
        }
        rows << fields.join('|');
    }
    return rows;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzSupport::startApplication();
    static QTemporaryDir folder;
    const QString fileName = folder.filePath(QStringLiteral("dives.xml"));
    const auto definition = DiveLogTables::dives();
    Table table(definition.tableName, definition.fields, definition.orderBy);
    table.setFileName(fileName);
    put(fileName, kFile);
    put(table.journalFileName(), QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    try {
        table.open();
    } catch (const AppError&) {
        return 0;
    }
    const QStringList rows = rowsOf(table);
    try {
        table.close();
        Table again(definition.tableName, definition.fields, definition.orderBy);
        again.setFileName(fileName);
        again.open();
        FuzzSupport::require(rowsOf(again) == rows, "a journal applied saves the same rows");
    } catch (const AppError&) {
        FuzzSupport::broken("a table opened from its journal saves a file that opens");
    }
    return 0;
}
