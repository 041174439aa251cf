#include "service/reference_seed.h"

#include "service/database.h"
#include "service/directory.h"
#include "service/service_error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QStringList>

namespace {

const QString kCountriesDigest = QStringLiteral("countries_digest");
const QString kAgenciesDigest = QStringLiteral("agencies_digest");

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw ServiceError(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    }
    return file.readAll();
}

QJsonObject readJson(const QString& path, const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (!document.isObject()) {
        throw ServiceError(
            QStringLiteral("%1 is not a JSON object: %2").arg(path, error.errorString()));
    }
    return document.object();
}

QString digest(const QList<QByteArray>& parts) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QByteArray& part : parts) {
        hash.addData(part);
    }
    return QString::fromLatin1(hash.result().toHex());
}

QString storedSetting(Database& db, const QString& name) {
    QSqlQuery& q = db.run(QStringLiteral("SELECT value FROM settings WHERE name = ?"), {name});
    return q.next() ? q.value(0).toString() : QString();
}

void storeSetting(Database& db, const QString& name, const QString& value) {
    db.run(QStringLiteral("INSERT INTO settings (name, value) VALUES (?, ?) "
                          "ON CONFLICT (name) DO UPDATE SET value = excluded.value"),
           {name, value});
}

int fillCountries(Database& db, const QJsonObject& countries, const QJsonObject& subdivisions) {
    db.run(QStringLiteral("DELETE FROM states"));
    db.run(QStringLiteral("DELETE FROM countries"));
    QList<QVariantList> countryRows;
    for (const QJsonValue& entry : countries.value(QStringLiteral("3166-1")).toArray()) {
        const QJsonObject country = entry.toObject();
        countryRows << QVariantList{
            country.value(QStringLiteral("alpha_2")).toString(),
            country.value(QStringLiteral("common_name"))
                .toString(country.value(QStringLiteral("name")).toString())};
    }
    QHash<QString, int> idOfCode;
    db.insertRows(QStringLiteral("countries"), {QStringLiteral("code"), QStringLiteral("name")},
                  countryRows, QStringLiteral("id, code"), [&idOfCode](const QSqlQuery& q) {
                      idOfCode.insert(q.value(1).toString(), q.value(0).toInt());
                  });
    QList<QVariantList> stateRows;
    for (const QJsonValue& entry : subdivisions.value(QStringLiteral("3166-2")).toArray()) {
        const QJsonObject state = entry.toObject();
        if (state.contains(QStringLiteral("parent"))) {
            continue;  // only the first level below the country
        }
        const QString code = state.value(QStringLiteral("code")).toString();
        const int country = idOfCode.value(code.section(u'-', 0, 0), 0);
        if (country > 0) {
            stateRows << QVariantList{country, code,
                                      state.value(QStringLiteral("name")).toString()};
        }
    }
    db.insertRows(QStringLiteral("states"),
                  {QStringLiteral("country_id"), QStringLiteral("code"), QStringLiteral("name")},
                  stateRows);
    return int(idOfCode.size());
}

int fillAgencies(Database& db, const QJsonObject& document) {
    db.run(QStringLiteral("DELETE FROM levels"));
    db.run(QStringLiteral("DELETE FROM agencies"));
    int ordinal = 0;
    for (const QJsonValue& entry : document.value(QStringLiteral("agencies")).toArray()) {
        const QJsonObject agency = entry.toObject();
        QSqlQuery& q = db.run(
            QStringLiteral("INSERT INTO agencies (name, ordinal) VALUES (?, ?) RETURNING id"),
            {agency.value(QStringLiteral("name")).toString().toUpper(), ++ordinal});
        if (!q.next()) {
            continue;
        }
        const int id = q.value(0).toInt();
        int level = 0;
        for (const QJsonValue& name : agency.value(QStringLiteral("levels")).toArray()) {
            db.run(QStringLiteral("INSERT INTO levels (agency_id, name, ordinal) VALUES (?, ?, ?)"),
                   {id, name.toString(), ++level});
        }
    }
    return ordinal;
}

QString agenciesFile(const QString& dataDir) {
    const QString own = QDir(dataDir).filePath(QStringLiteral("agencies.json"));
    return QFile::exists(own) ? own : QStringLiteral(":/service/agencies.json");
}

}  // namespace

namespace ReferenceSeed {

QString refresh(Database& db, const QString& isoCodesDir, const QString& dataDir) {
    QStringList done;
    bool changed = false;
    Transaction transaction(db);
    const QDir iso(isoCodesDir);
    const QString countriesPath = iso.filePath(QStringLiteral("iso_3166-1.json"));
    const QString subdivisionsPath = iso.filePath(QStringLiteral("iso_3166-2.json"));
    if (!QFile::exists(countriesPath) || !QFile::exists(subdivisionsPath)) {
        done << QStringLiteral("no ISO 3166 files in %1 (install iso-codes): countries unchanged")
                    .arg(isoCodesDir);
    } else {
        const QByteArray countries = readFile(countriesPath);
        const QByteArray subdivisions = readFile(subdivisionsPath);
        const QString sum = digest({countries, subdivisions});
        if (sum != storedSetting(db, kCountriesDigest)) {
            const int count = fillCountries(db, readJson(countriesPath, countries),
                                            readJson(subdivisionsPath, subdivisions));
            storeSetting(db, kCountriesDigest, sum);
            changed = true;
            done << QStringLiteral("%1 countries from %2").arg(count).arg(isoCodesDir);
        }
    }
    const QString agenciesPath = agenciesFile(dataDir);
    const QByteArray agencies = readFile(agenciesPath);
    const QString sum = digest({agencies});
    if (sum != storedSetting(db, kAgenciesDigest)) {
        const int count = fillAgencies(db, readJson(agenciesPath, agencies));
        storeSetting(db, kAgenciesDigest, sum);
        changed = true;
        done << QStringLiteral("%1 agencies from %2").arg(count).arg(agenciesPath);
    }
    if (changed) {
        Directory(db).referenceChanged();
    }
    transaction.commit();
    return done.join(QStringLiteral("; "));
}

}  // namespace ReferenceSeed
