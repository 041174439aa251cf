#pragma once

#include "store/table_data.h"

#include <QByteArray>

// The file form of a table: UTF-8 XML, a root element <table name="..." autoinc="..."> and
// one <row/> element per row with one attribute per non-null field. Dates are written
// yyyy-mm-dd, times hh:mm:ss[.zzz], date-times both joined by "T", floats in their shortest
// exact form; line breaks and other control characters in texts as character references.
namespace TableFile {

QByteArray serialise(const TableData& data);

// Parses file bytes into rows of `layout` (row ids 1, 2, ...). Attributes the layout does not
// know are skipped. Throws AppError naming `fileName`, the line and the field on any fault:
// malformed XML, a root naming another table, a value its field cannot hold.
TableData parse(const QByteArray& bytes, const std::shared_ptr<const RecordLayout>& layout,
                const QString& tableName, const QString& fileName);

}  // namespace TableFile
