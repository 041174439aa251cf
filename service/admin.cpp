#include "service/admin.h"

#include "service/csv.h"
#include "service/database.h"
#include "service/directory.h"
#include "service/service_error.h"
#include "service/text_rules.h"

#include <QFile>
#include <QHash>
#include <QSqlQuery>

namespace {

// The desktop keeps organisation numbers in 16 bits.
constexpr int kLargestOrganization = 32767;
constexpr int kTextLength = 80;

// Rows of a CSV file by column name.
class CsvTable {
public:
    CsvTable(const QString& file, const QString& required) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            throw ServiceError(QStringLiteral("Cannot read %1: %2").arg(file, f.errorString()));
        }
        rows_ = parseCsv(f.readAll());
        if (!rows_.isEmpty()) {
            const QStringList header = rows_.takeFirst();
            for (int i = 0; i < header.size(); ++i) {
                columns_.insert(header[i].trimmed().toLower(), i);
            }
        }
        if (!columns_.contains(required)) {
            throw ServiceError(
                QStringLiteral("%1 has no column \"%2\" in its first row.").arg(file, required));
        }
    }
    const QList<QStringList>& rows() const { return rows_; }
    QString value(const QStringList& row, const QString& column) const {
        const int at = columns_.value(column, -1);
        return at >= 0 && at < row.size() ? TextRules::oneLine(row[at], kTextLength) : QString();
    }

private:
    QList<QStringList> rows_;
    QHash<QString, int> columns_;
};

bool yes(const QString& text) {
    const QString t = text.toLower();
    return t == QLatin1String("1") || t == QLatin1String("yes") || t == QLatin1String("true") ||
           t == QLatin1String("x");
}

int returnedId(QSqlQuery& q) {
    if (!q.next()) {
        throw ServiceError(QStringLiteral("The database gave no number back."));
    }
    return q.value(0).toInt();
}

}  // namespace

namespace Admin {

void importOrganizations(Database& db, const QString& file, QTextStream& out) {
    const CsvTable csv(file, QStringLiteral("name"));
    Transaction transaction(db);
    int imported = 0;
    int largest = 0;
    for (const QStringList& row : csv.rows()) {
        const QString name = csv.value(row, QStringLiteral("name"));
        if (name.isEmpty()) {
            continue;
        }
        QSqlQuery& q = db.run(
            QStringLiteral("INSERT INTO organizations (name, is_operator, is_school, country, "
                           "state, county) VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT (name, country, "
                           "state) DO UPDATE SET is_operator = excluded.is_operator, is_school = "
                           "excluded.is_school, county = excluded.county RETURNING id"),
            {name, yes(csv.value(row, QStringLiteral("operator"))) ? 1 : 0,
             yes(csv.value(row, QStringLiteral("school"))) ? 1 : 0,
             csv.value(row, QStringLiteral("country")), csv.value(row, QStringLiteral("state")),
             csv.value(row, QStringLiteral("county"))});
        largest = qMax(largest, returnedId(q));
        ++imported;
    }
    Directory(db).referenceChanged();
    transaction.commit();
    out << imported << " organisations imported from " << file << Qt::endl;
    if (largest > kLargestOrganization) {
        out << "Warning: numbers above " << kLargestOrganization
            << " do not fit the desktop's operator and school fields." << Qt::endl;
    }
}

void importLocations(Database& db, const QString& file, QTextStream& out) {
    const CsvTable csv(file, QStringLiteral("location"));
    Transaction transaction(db);
    QHash<QString, int> imported;  // name|country|state -> id
    int sites = 0;
    for (const QStringList& row : csv.rows()) {
        const QString name = csv.value(row, QStringLiteral("location"));
        if (name.isEmpty()) {
            continue;
        }
        const QString country = csv.value(row, QStringLiteral("country"));
        const QString state = csv.value(row, QStringLiteral("state"));
        const QString key = name + u'|' + country + u'|' + state;
        int id = imported.value(key, 0);
        if (id == 0) {
            const QString smallname = csv.value(row, QStringLiteral("smallname"));
            const QString regionname = csv.value(row, QStringLiteral("regionname"));
            QSqlQuery& q = db.run(
                QStringLiteral("INSERT INTO locations (name, smallname, regionname, country, "
                               "state, county, region, name_key, country_key) VALUES (?, ?, ?, "
                               "?, ?, ?, ?, ?, ?) ON CONFLICT (name, country, state) DO UPDATE "
                               "SET smallname = excluded.smallname, regionname = "
                               "excluded.regionname, county = excluded.county, region = "
                               "excluded.region, name_key = excluded.name_key RETURNING id"),
                {name, smallname.isEmpty() ? name : smallname,
                 regionname.isEmpty() ? name : regionname, country, state,
                 csv.value(row, QStringLiteral("county")), csv.value(row, QStringLiteral("region")),
                 TextRules::searchKey(name + u' ' + smallname), TextRules::searchKey(country)});
            id = returnedId(q);
            imported.insert(key, id);
        }
        const QString site = csv.value(row, QStringLiteral("site"));
        if (!site.isEmpty()) {
            db.run(QStringLiteral("INSERT INTO sites (location_id, name) VALUES (?, ?) "
                                  "ON CONFLICT DO NOTHING"),
                   {id, site});
            ++sites;
        }
    }
    Directory(db).referenceChanged();
    transaction.commit();
    out << imported.size() << " locations and " << sites << " sites imported from " << file
        << Qt::endl;
}

void listOrganizations(Database& db, QTextStream& out) {
    out << "id\tname\toperator\tschool\tcountry\tstate\tcounty" << Qt::endl;
    for (const Organization& o : Directory(db).organizations()) {
        out << o.id << '\t' << o.name << '\t' << int(o.isOperator) << '\t' << int(o.isSchool)
            << '\t' << o.country << '\t' << o.state << '\t' << o.county << Qt::endl;
    }
}

void listLocations(Database& db, QTextStream& out) {
    out << "id\tlocation / site\tcountry\tstate\tregion" << Qt::endl;
    for (const Location& l : Directory(db).locations()) {
        out << l.id << '\t' << l.name << '\t' << l.country << '\t' << l.state << '\t' << l.region
            << Qt::endl;
        for (const Site& site : l.sites) {
            out << site.id << "\t  " << site.name << Qt::endl;
        }
    }
}

}  // namespace Admin
