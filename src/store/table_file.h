#pragma once

#include "store/table_data.h"

#include <QByteArray>
#include <QByteArrayView>
#include <memory>

// The file form of a table: UTF-8 XML, a root element <table name="..." autoinc="..."
// journal="..."> and one <row/> element per row with one attribute per non-null field. Dates
// are written yyyy-mm-dd, times hh:mm:ss[.zzz], date-times both joined by "T", floats in their
// shortest exact form; line breaks and other control characters in texts as character
// references. "journal" is the number of the last change the file holds (see TableJournal).
namespace TableFile {

QByteArray serialise(const TableData& data);
// One row as the file writes it: <row .../> without a line end.
QByteArray serialiseRow(const RecordLayout& layout, const Row& row);

// Parses file bytes into rows of `layout` (row ids 1, 2, ...). Attributes the layout does not
// know are skipped. Throws AppError naming `fileName`, the line and the field on any fault:
// malformed XML, a root naming another table, a value its field cannot hold.
TableData parse(QByteArrayView bytes, const std::shared_ptr<const RecordLayout>& layout,
                const QString& tableName, const QString& fileName);
// Reads and parses the file without copying it (it is mapped into memory). Throws AppError
// naming the file when it cannot be read or parsed. Safe to call from any thread.
TableData read(const QString& fileName, const std::shared_ptr<const RecordLayout>& layout,
               const QString& tableName);

}  // namespace TableFile

// Reads single rows written by TableFile::serialiseRow, one after another.
class RowReader {
public:
    RowReader(const std::shared_ptr<const RecordLayout>& layout, const QString& tableName,
              const QString& fileName);
    ~RowReader();

    // Throws AppError naming the file on any fault, as TableFile::parse.
    Row read(QByteArrayView bytes, quint64 id);

private:
    struct Impl;
    std::shared_ptr<const RecordLayout> layout_;
    QString tableName_;
    QString fileName_;
    std::unique_ptr<Impl> d;
};
