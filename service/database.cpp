#include "service/database.h"

#include "service/service_error.h"

#include <QDir>
#include <QSqlError>
#include <QUrl>
#include <QUrlQuery>

namespace {

// Text columns hold no nulls: a null text is bound as empty text.
QVariant bindable(const QVariant& value) {
    if (value.typeId() == QMetaType::QString && value.toString().isNull()) {
        return QStringLiteral("");
    }
    return value;
}

QString sqlError(const QSqlError& error) {
    return error.text().trimmed();
}

DatabaseConfig postgresConfig(const QUrl& url) {
    DatabaseConfig config;
    config.dialect = Dialect::Postgres;
    config.host = url.host();
    config.port = url.port(-1);
    config.user = url.userName();
    config.password = url.password();
    config.name = url.path().mid(1);
    QStringList options;
    const QUrlQuery query(url);
    for (const auto& [key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("host")) {
            config.host = value;
        } else {
            options << key + u'=' + value;
        }
    }
    config.options = options.join(u';');
    return config;
}

}  // namespace

DatabaseConfig DatabaseConfig::fromUrl(const QString& url, const QString& dataDir) {
    const QDir data(dataDir);
    if (url.isEmpty()) {
        DatabaseConfig config;
        config.sqlitePath = data.filePath(QStringLiteral("nereva.db"));
        return config;
    }
    if (url.startsWith(QLatin1String("sqlite:"))) {
        DatabaseConfig config;
        config.sqlitePath = data.filePath(url.mid(7));
        return config;
    }
    const QUrl parsed(url, QUrl::StrictMode);
    if (parsed.isValid() && (parsed.scheme() == QLatin1String("postgresql") ||
                             parsed.scheme() == QLatin1String("postgres"))) {
        return postgresConfig(parsed);
    }
    throw ServiceError(
        QStringLiteral("--database wants postgresql://... or sqlite:FILE, not \"%1\".").arg(url));
}

QString DatabaseConfig::describe() const {
    if (dialect == Dialect::Sqlite) {
        return QStringLiteral("SQLite %1").arg(sqlitePath);
    }
    return QStringLiteral("PostgreSQL %1 on %2%3")
        .arg(name, host.isEmpty() ? QStringLiteral("localhost") : host,
             port > 0 ? u':' + QString::number(port) : QString());
}

Database::Database(const DatabaseConfig& config, const QString& connectionName)
    : config_(config), connectionName_(connectionName) {
    QSqlDatabase db = QSqlDatabase::addDatabase(
        config.dialect == Dialect::Sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"),
        connectionName);
    if (config.dialect == Dialect::Sqlite) {
        db.setDatabaseName(config.sqlitePath);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=15000"));
    } else {
        db.setHostName(config.host);
        if (config.port > 0) {
            db.setPort(config.port);
        }
        db.setUserName(config.user);
        db.setPassword(config.password);
        db.setDatabaseName(config.name);
        db.setConnectOptions(config.options);
    }
    if (!db.open()) {
        const QString error = sqlError(db.lastError());
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
        throw ServiceError(QStringLiteral("Cannot open %1: %2").arg(config.describe(), error));
    }
    if (config.dialect == Dialect::Sqlite) {
        execute(QStringLiteral("PRAGMA journal_mode=WAL"));
        execute(QStringLiteral("PRAGMA synchronous=NORMAL"));
        execute(QStringLiteral("PRAGMA foreign_keys=ON"));
    } else {
        execute(QStringLiteral("SET client_min_messages TO WARNING"));
    }
}

Database::Condition Database::contains(const QString& table, const QString& alias,
                                       const QString& column, const QString& needle) {
    const QString qualified = alias + u'.' + column;
    if (config_.dialect == Dialect::Postgres) {
        QString pattern = QStringLiteral("%");  // LIKE's escape character is the backslash
        for (const QChar c : needle) {
            if (c == u'%' || c == u'_' || c == u'\\') {
                pattern += u'\\';
            }
            pattern += c;
        }
        return {qualified + QStringLiteral(" LIKE ?"), pattern + u'%'};
    }
    const QString search = table + QStringLiteral("_search");
    if (!searchColumns_.contains(search)) {
        QStringList columns;
        QSqlQuery& q = run(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {search});
        while (q.next()) {
            columns << q.value(0).toString();
        }
        searchColumns_.insert(search, columns);
    }
    // A trigram index finds only pieces of three characters or more.
    if (needle.toUcs4().size() >= 3 && searchColumns_.value(search).contains(column)) {
        QString phrase = needle;
        phrase.replace(u'"', QStringLiteral("\"\""));
        return {QStringLiteral("%1.id IN (SELECT rowid FROM %2 WHERE %3 MATCH ?)")
                    .arg(alias, search, column),
                u'"' + phrase + u'"'};
    }
    return {QStringLiteral("instr(%1, ?) > 0").arg(qualified), needle};
}

Database::~Database() {
    statements_.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

QSqlQuery& Database::prepared(const QString& sql) {
    auto found = statements_.find(sql);
    if (found != statements_.end()) {
        found->finish();
        return *found;
    }
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        throw ServiceError(
            QStringLiteral("Cannot prepare \"%1\": %2").arg(sql, sqlError(query.lastError())));
    }
    return *statements_.insert(sql, query);
}

QSqlQuery& Database::run(const QString& sql, std::initializer_list<QVariant> values) {
    QSqlQuery& query = prepared(sql);
    int position = 0;
    for (const QVariant& value : values) {
        query.bindValue(position++, bindable(value));
    }
    if (!query.exec()) {
        throw ServiceError(
            QStringLiteral("\"%1\" failed: %2").arg(sql, sqlError(query.lastError())));
    }
    return query;
}

QSqlQuery& Database::run(const QString& sql, const QVariantList& values) {
    QSqlQuery& query = prepared(sql);
    for (int i = 0; i < values.size(); ++i) {
        query.bindValue(i, bindable(values[i]));
    }
    if (!query.exec()) {
        throw ServiceError(
            QStringLiteral("\"%1\" failed: %2").arg(sql, sqlError(query.lastError())));
    }
    return query;
}

void Database::insertRows(const QString& table, const QStringList& columns,
                          const QList<QVariantList>& rows, const QString& returning,
                          const std::function<void(const QSqlQuery&)>& each) {
    // Well below SQLite's and PostgreSQL's limits on the values of one statement.
    const qsizetype perStatement = qMax<qsizetype>(1, 4000 / columns.size());
    const QString row = u'(' + QStringList(columns.size(), QStringLiteral("?")).join(u',') + u')';
    for (qsizetype first = 0; first < rows.size(); first += perStatement) {
        const qsizetype count = qMin(perStatement, rows.size() - first);
        QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                          .arg(table, columns.join(QStringLiteral(", "))) +
                      QStringList(count, row).join(u',');
        if (!returning.isEmpty()) {
            sql += QStringLiteral(" RETURNING ") + returning;
        }
        QVariantList values;
        values.reserve(count * columns.size());
        for (qsizetype i = first; i < first + count; ++i) {
            values += rows[i];
        }
        QSqlQuery& query = run(sql, values);
        while (each && query.next()) {
            each(query);
        }
    }
}

void Database::execute(const QString& sql) {
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    if (!query.exec(sql)) {
        throw ServiceError(
            QStringLiteral("\"%1\" failed: %2").arg(sql, sqlError(query.lastError())));
    }
}

void Database::begin() {
    execute(config_.dialect == Dialect::Sqlite ? QStringLiteral("BEGIN IMMEDIATE")
                                               : QStringLiteral("BEGIN"));
}

void Database::commit() {
    finishAll();
    execute(QStringLiteral("COMMIT"));
}

void Database::rollback() {
    finishAll();
    execute(QStringLiteral("ROLLBACK"));
}

void Database::finishAll() {
    for (QSqlQuery& query : statements_) {
        query.finish();
    }
}

Transaction::~Transaction() {
    if (!done_) {
        try {
            db_.rollback();
        } catch (const ServiceError&) {
            // The connection is gone; the database drops the transaction with it.
        }
    }
}

void Transaction::commit() {
    db_.commit();
    done_ = true;
}

QVariant nullableInt(bool isNull, int value) {
    return isNull ? QVariant(QMetaType::fromType<int>()) : QVariant(value);
}
