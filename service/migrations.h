#pragma once

class Database;

// The schema, in numbered steps. Each step runs once, in its own transaction, and records its
// number; several processes starting together on one PostgreSQL database take turns.
namespace Migrations {

int latestVersion();
// Brings the schema up to the latest version; returns the version it found.
int migrate(Database& db);

}  // namespace Migrations
