#pragma once

#include <QString>
#include <QTextStream>

class Database;

// The administrator's commands: organisations and dive locations with their sites come from
// CSV files with a header row (column names in any order and case; others are ignored):
//   organisations: name, operator, school, country, state, county
//     (operator and school: 1, yes, true or x for yes)
//   locations: location, smallname, regionname, country, state, county, region, site
//     (one row per site; rows with the same location, country and state make one location;
//      smallname and regionname default to the location's name; a row without site adds the
//      location alone)
// Importing again updates what is there (organisations and locations are known by name,
// country and state, sites by location and name) and adds the rest.
namespace Admin {

// Each throws ServiceError for a file it cannot read or a header without the name column.
void importOrganizations(Database& db, const QString& file, QTextStream& out);
void importLocations(Database& db, const QString& file, QTextStream& out);

void listOrganizations(Database& db, QTextStream& out);
void listLocations(Database& db, QTextStream& out);

}  // namespace Admin
