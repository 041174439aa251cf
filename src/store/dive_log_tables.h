#pragma once

#include "store/field_def.h"

#include <QStringList>

// The definitions of the six tables of the dive log: field lists in file order, the file's
// base name and the order of the rows.
namespace DiveLogTables {

struct Definition {
    QString tableName;  // cds_...
    QString baseName;   // the file is DbDir + baseName + ".xml"
    FieldDefs fields;
    QStringList orderBy;
};

Definition member();
Definition certificates();
Definition dives();
Definition conditions();
Definition equipment();
Definition profile();

}  // namespace DiveLogTables
