#include "service/migrations.h"

#include "service/database.h"
#include "service/service_error.h"

#include <QStringList>
#include <functional>

namespace {

struct Migration {
    int version;
    std::function<QStringList(Database&)> statements;
};

QString withKeys(const char* sql, Dialect dialect) {
    QString text = QString::fromLatin1(sql);
    // Service numbers are never reused: a desktop may still hold a deleted dive's number.
    text.replace(QStringLiteral("%ID%"), dialect == Dialect::Sqlite
                                             ? QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT")
                                             : QStringLiteral("SERIAL PRIMARY KEY"));
    return text;
}

QStringList firstSchema(Database& db) {
    const Dialect dialect = db.dialect();
    const char* statements[] = {
        R"(CREATE TABLE members (
            id %ID%,
            user_name TEXT NOT NULL UNIQUE,
            password_hash TEXT NOT NULL,
            email TEXT NOT NULL,
            email_key TEXT NOT NULL UNIQUE,
            name TEXT NOT NULL DEFAULT '',
            name_key TEXT NOT NULL DEFAULT '',
            address TEXT NOT NULL DEFAULT '',
            city TEXT NOT NULL DEFAULT '',
            state TEXT NOT NULL DEFAULT '',
            country TEXT NOT NULL DEFAULT '',
            language TEXT NOT NULL DEFAULT '',
            view_advanced INTEGER,
            pub_personal INTEGER,
            pub_dives INTEGER,
            per_send1 INTEGER,
            per_send2 INTEGER,
            per_send3 INTEGER,
            per_send4 INTEGER,
            created_at TEXT NOT NULL))",
        R"(CREATE TABLE dives (
            id %ID%,
            member_id INTEGER NOT NULL REFERENCES members(id) ON DELETE CASCADE,
            local_id INTEGER NOT NULL DEFAULT 0,
            dive_date TEXT NOT NULL DEFAULT '',
            dive_time TEXT NOT NULL DEFAULT '',
            certify_by INTEGER NOT NULL DEFAULT 0,
            location_id INTEGER NOT NULL DEFAULT 0,
            last_update TEXT NOT NULL,
            answer_values TEXT NOT NULL))",
        "CREATE INDEX dives_member ON dives(member_id, dive_date, dive_time, id)",
        R"(CREATE TABLE countries (
            id %ID%,
            code TEXT NOT NULL UNIQUE,
            name TEXT NOT NULL))",
        R"(CREATE TABLE states (
            id %ID%,
            country_id INTEGER NOT NULL REFERENCES countries(id) ON DELETE CASCADE,
            code TEXT NOT NULL,
            name TEXT NOT NULL))",
        "CREATE INDEX states_country ON states(country_id)",
        R"(CREATE TABLE agencies (
            id %ID%,
            name TEXT NOT NULL UNIQUE,
            ordinal INTEGER NOT NULL))",
        R"(CREATE TABLE levels (
            id %ID%,
            agency_id INTEGER NOT NULL REFERENCES agencies(id) ON DELETE CASCADE,
            name TEXT NOT NULL,
            ordinal INTEGER NOT NULL))",
        R"(CREATE TABLE organizations (
            id %ID%,
            name TEXT NOT NULL,
            is_operator INTEGER NOT NULL,
            is_school INTEGER NOT NULL,
            country TEXT NOT NULL,
            state TEXT NOT NULL,
            county TEXT NOT NULL,
            UNIQUE (name, country, state)))",
        R"(CREATE TABLE locations (
            id %ID%,
            name TEXT NOT NULL,
            smallname TEXT NOT NULL,
            regionname TEXT NOT NULL,
            country TEXT NOT NULL,
            state TEXT NOT NULL,
            county TEXT NOT NULL,
            region TEXT NOT NULL,
            name_key TEXT NOT NULL,
            country_key TEXT NOT NULL,
            UNIQUE (name, country, state)))",
        R"(CREATE TABLE sites (
            id %ID%,
            location_id INTEGER NOT NULL REFERENCES locations(id) ON DELETE CASCADE,
            name TEXT NOT NULL,
            UNIQUE (location_id, name)))",
        R"(CREATE TABLE member_contacts (
            member_id INTEGER NOT NULL REFERENCES members(id) ON DELETE CASCADE,
            contact_id INTEGER NOT NULL REFERENCES members(id) ON DELETE CASCADE,
            PRIMARY KEY (member_id, contact_id)))",
        R"(CREATE TABLE member_locations (
            member_id INTEGER NOT NULL REFERENCES members(id) ON DELETE CASCADE,
            location_id INTEGER NOT NULL REFERENCES locations(id) ON DELETE CASCADE,
            PRIMARY KEY (member_id, location_id)))",
        R"(CREATE TABLE invitations (
            id %ID%,
            member_id INTEGER NOT NULL REFERENCES members(id) ON DELETE CASCADE,
            email_key TEXT NOT NULL,
            created_at TEXT NOT NULL))",
        "CREATE INDEX invitations_email ON invitations(email_key)",
        "CREATE INDEX invitations_member ON invitations(member_id, created_at)",
        R"(CREATE TABLE settings (
            name TEXT PRIMARY KEY,
            value TEXT NOT NULL))",
    };
    QStringList list;
    for (const char* sql : statements) {
        list << withKeys(sql, dialect);
    }
    return list;
}

// Searches for a piece of a name use trigram indexes where the database has them: on
// PostgreSQL the pg_trgm extension (it comes with PostgreSQL, and any database owner may add
// it), on SQLite FTS5 tables kept up to date by triggers. Without them searches scan.
QStringList postgresSearchIndexes() {
    return {QStringLiteral(
        "DO $$ BEGIN "
        "CREATE EXTENSION IF NOT EXISTS pg_trgm; "
        "CREATE INDEX members_user_trgm ON members USING gin (user_name gin_trgm_ops); "
        "CREATE INDEX members_name_trgm ON members USING gin (name_key gin_trgm_ops); "
        "CREATE INDEX members_email_trgm ON members USING gin (email_key gin_trgm_ops); "
        "CREATE INDEX locations_name_trgm ON locations USING gin (name_key gin_trgm_ops); "
        "EXCEPTION WHEN OTHERS THEN RAISE NOTICE 'pg_trgm unavailable: searches scan'; "
        "END $$")};
}

// The FTS5 table `table`_search over `columns` of `table`, and the triggers that follow it.
QStringList sqliteSearchTable(const QString& table, const QStringList& columns) {
    const QString search = table + QStringLiteral("_search");
    const QString names = columns.join(QStringLiteral(", "));
    QStringList fromNew;
    QStringList fromOld;
    for (const QString& column : columns) {
        fromNew << QStringLiteral("new.") + column;
        fromOld << QStringLiteral("old.") + column;
    }
    const QString add = QStringLiteral("INSERT INTO %1 (rowid, %2) VALUES (new.id, %3);")
                            .arg(search, names, fromNew.join(QStringLiteral(", ")));
    const QString remove =
        QStringLiteral("INSERT INTO %1 (%1, rowid, %2) VALUES ('delete', old.id, %3);")
            .arg(search, names, fromOld.join(QStringLiteral(", ")));
    return {
        QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(%2, content='%3', content_rowid='id', "
                       "tokenize='trigram')")
            .arg(search, names, table),
        QStringLiteral("CREATE TRIGGER %1_insert AFTER INSERT ON %2 BEGIN %3 END")
            .arg(search, table, add),
        QStringLiteral("CREATE TRIGGER %1_delete AFTER DELETE ON %2 BEGIN %3 END")
            .arg(search, table, remove),
        QStringLiteral("CREATE TRIGGER %1_update AFTER UPDATE OF %2 ON %3 BEGIN %4 %5 END")
            .arg(search, names, table, remove, add),
        QStringLiteral("INSERT INTO %1 (%1) VALUES ('rebuild')").arg(search),
    };
}

QStringList searchIndexes(Database& db) {
    if (db.dialect() == Dialect::Postgres) {
        return postgresSearchIndexes();
    }
    QSqlQuery& fts5 = db.run(QStringLiteral("SELECT sqlite_compileoption_used('ENABLE_FTS5')"));
    if (!fts5.next() || fts5.value(0).toInt() == 0) {
        return {};
    }
    return sqliteSearchTable(QStringLiteral("members"),
                             {QStringLiteral("user_name"), QStringLiteral("name_key"),
                              QStringLiteral("email_key")}) +
           sqliteSearchTable(QStringLiteral("locations"), {QStringLiteral("name_key")});
}

const QList<Migration>& migrations() {
    static const QList<Migration> list = {
        {1, firstSchema},
        {2, searchIndexes},
    };
    return list;
}

int currentVersion(Database& db) {
    QSqlQuery& query = db.run(QStringLiteral("SELECT MAX(version) FROM schema_version"));
    return query.next() ? query.value(0).toInt() : 0;
}

}  // namespace

namespace Migrations {

int latestVersion() {
    return migrations().last().version;
}

int migrate(Database& db) {
    Transaction transaction(db);
    if (db.dialect() == Dialect::Postgres) {
        db.run(QStringLiteral("SELECT pg_advisory_xact_lock(7130514)"));
    }
    db.execute(
        QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)"));
    const int found = currentVersion(db);
    if (found > latestVersion()) {
        throw ServiceError(QStringLiteral("The database has schema version %1; this service "
                                          "knows versions up to %2.")
                               .arg(found)
                               .arg(latestVersion()));
    }
    for (const Migration& migration : migrations()) {
        if (migration.version <= found) {
            continue;
        }
        for (const QString& sql : migration.statements(db)) {
            db.execute(sql);
        }
        db.run(QStringLiteral("INSERT INTO schema_version (version) VALUES (?)"),
               {migration.version});
    }
    transaction.commit();
    return found;
}

}  // namespace Migrations
