#pragma once

#include <QString>

class Database;

// Fills the reference tables from their sources when a source changed since the last start:
// countries and their top-level subdivisions from Debian's iso-codes (ISO 3166-1 and 3166-2
// JSON), agencies and levels from agencies.json (the data folder's own, or the one built in).
namespace ReferenceSeed {

// Returns what it did, for the log (empty when nothing changed). A missing iso-codes folder
// leaves the countries as they are and says so. Throws ServiceError for a source it cannot
// read.
QString refresh(Database& db, const QString& isoCodesDir, const QString& dataDir);

}  // namespace ReferenceSeed
