#include "service/directory.h"

#include "service/database.h"
#include "service/text_rules.h"
#include "service/xml_answer.h"

#include <QSqlQuery>
#include <QUuid>

namespace {

constexpr int kSearchLimit = 200;
const QString kVersionSetting = QStringLiteral("reference_version");

const char* const kLocationColumns =
    "id, name, smallname, regionname, country, state, county, region";

Location locationFrom(const QSqlQuery& q) {
    Location l;
    l.id = q.value(0).toInt();
    l.name = q.value(1).toString();
    l.smallname = q.value(2).toString();
    l.regionname = q.value(3).toString();
    l.country = q.value(4).toString();
    l.state = q.value(5).toString();
    l.county = q.value(6).toString();
    l.region = q.value(7).toString();
    return l;
}

Organization organizationFrom(const QSqlQuery& q) {
    Organization o;
    o.id = q.value(0).toInt();
    o.name = q.value(1).toString();
    o.isOperator = q.value(2).toInt() != 0;
    o.isSchool = q.value(3).toInt() != 0;
    o.country = q.value(4).toString();
    o.state = q.value(5).toString();
    o.county = q.value(6).toString();
    return o;
}

void writeLocation(XmlAnswer& xml, const Location& l, bool withSites) {
    xml.begin(QStringLiteral("location"));
    xml.field(QStringLiteral("id"), l.id);
    xml.field(QStringLiteral("name"), l.name);
    xml.field(QStringLiteral("smallname"), l.smallname);
    xml.field(QStringLiteral("regionname"), l.regionname);
    xml.field(QStringLiteral("country"), l.country);
    xml.field(QStringLiteral("state"), l.state);
    xml.field(QStringLiteral("county"), l.county);
    xml.field(QStringLiteral("region"), l.region);
    if (withSites) {
        xml.begin(QStringLiteral("sites"));
        for (const Site& site : l.sites) {
            xml.begin(QStringLiteral("site"));
            xml.field(QStringLiteral("id"), site.id);
            xml.field(QStringLiteral("name"), site.name);
            xml.end();
        }
        xml.end();
    }
    xml.end();
}

}  // namespace

QString Directory::referenceVersion() {
    QSqlQuery& q =
        db_.run(QStringLiteral("SELECT value FROM settings WHERE name = ?"), {kVersionSetting});
    return q.next() ? q.value(0).toString() : QString();
}

void Directory::referenceChanged() {
    db_.run(QStringLiteral("INSERT INTO settings (name, value) VALUES (?, ?) "
                           "ON CONFLICT (name) DO UPDATE SET value = excluded.value"),
            {kVersionSetting, QUuid::createUuid().toString(QUuid::WithoutBraces)});
}

QByteArray Directory::referenceDocument() {
    if (!cache_) {
        return buildReferenceDocument();
    }
    // Rebuilt when the version stored with the data differs from the one it was built for.
    const QString version = referenceVersion();
    ReferenceCache& cache = *cache_;
    {
        const QMutexLocker lock(&cache.mutex);
        if (!cache.document.isEmpty() && cache.version == version) {
            return cache.document;
        }
    }
    const QByteArray document = buildReferenceDocument();
    const QMutexLocker lock(&cache.mutex);
    cache.version = version;
    cache.document = document;
    return document;
}

namespace {

// Writes the rows of `q` (parent id, parent name, child text or null; ordered by parent) as
// <list><parent><name/><children>...</children></parent>...</list>, each child written by
// `writeChild`.
template <typename WriteChild>
void writeTwoLevels(XmlAnswer& xml, QSqlQuery& q, const QString& list, const QString& parent,
                    const QString& children, WriteChild writeChild) {
    xml.begin(list);
    int current = -1;
    while (q.next()) {
        const int id = q.value(0).toInt();
        if (id != current) {
            if (current >= 0) {
                xml.end();  // children
                xml.end();  // parent
            }
            current = id;
            xml.begin(parent);
            xml.field(QStringLiteral("name"), q.value(1).toString());
            xml.begin(children);
        }
        if (!q.value(2).isNull()) {
            writeChild(q.value(2).toString());
        }
    }
    if (current >= 0) {
        xml.end();
        xml.end();
    }
    xml.end();
}

}  // namespace

QByteArray Directory::buildReferenceDocument() {
    XmlAnswer xml(QStringLiteral("localdata"));
    writeTwoLevels(
        xml,
        db_.run(QStringLiteral("SELECT c.id, c.name, s.name FROM countries c LEFT JOIN states s ON "
                               "s.country_id = c.id ORDER BY c.name, c.id, s.name")),
        QStringLiteral("countries"), QStringLiteral("country"), QStringLiteral("states"),
        [&xml](const QString& state) {
            xml.begin(QStringLiteral("state"));
            xml.field(QStringLiteral("name"), state);
            xml.end();
        });
    // A level is its element's own text.
    writeTwoLevels(
        xml,
        db_.run(QStringLiteral("SELECT a.id, a.name, l.name FROM agencies a LEFT JOIN levels l ON "
                               "l.agency_id = a.id ORDER BY a.ordinal, a.id, l.ordinal, l.id")),
        QStringLiteral("agencies"), QStringLiteral("agency"), QStringLiteral("levels"),
        [&xml](const QString& level) { xml.field(QStringLiteral("level"), level); });

    xml.begin(QStringLiteral("organizations"));
    for (const Organization& o : organizations()) {
        xml.begin(QStringLiteral("organization"));
        xml.field(QStringLiteral("id"), o.id);
        xml.field(QStringLiteral("name"), o.name);
        xml.field(QStringLiteral("operator"), o.isOperator ? 1 : 0);
        xml.field(QStringLiteral("school"), o.isSchool ? 1 : 0);
        xml.field(QStringLiteral("country"), o.country);
        xml.field(QStringLiteral("state"), o.state);
        xml.field(QStringLiteral("county"), o.county);
        xml.end();
    }
    xml.end();
    return xml.finish();
}

QList<Location> Directory::search(const QString& name, const QString& country) {
    const QString table = QStringLiteral("locations");
    QStringList criteria;
    QVariantList bound;
    const auto add = [&](const QString& needle, const QString& column) {
        if (!needle.trimmed().isEmpty()) {
            const Database::Condition condition =
                db_.contains(table, table, column, TextRules::searchKey(needle));
            criteria << condition.sql;
            bound << condition.value;
        }
    };
    add(name, QStringLiteral("name_key"));
    add(country, QStringLiteral("country_key"));
    if (criteria.isEmpty()) {
        return {};
    }
    QSqlQuery& q =
        db_.run(QStringLiteral("SELECT %1 FROM locations WHERE %2 "
                               "ORDER BY smallname, id LIMIT %3")
                    .arg(QLatin1String(kLocationColumns), criteria.join(QStringLiteral(" AND ")))
                    .arg(kSearchLimit),
                bound);
    QList<Location> found;
    while (q.next()) {
        found << locationFrom(q);
    }
    return found;
}

std::optional<Location> Directory::location(int id) {
    QSqlQuery& q = db_.run(QStringLiteral("SELECT %1 FROM locations WHERE id = ?")
                               .arg(QLatin1String(kLocationColumns)),
                           {id});
    if (!q.next()) {
        return std::nullopt;
    }
    QList<Location> one{locationFrom(q)};
    addSites(one);
    return one.first();
}

QList<Location> Directory::memberLocations(int memberId) {
    QSqlQuery& q = db_.run(QStringLiteral("SELECT l.id, l.name, l.smallname, l.regionname, "
                                          "l.country, l.state, l.county, l.region FROM "
                                          "member_locations m JOIN locations l ON l.id = "
                                          "m.location_id WHERE m.member_id = ? ORDER BY l.id"),
                           {memberId});
    QList<Location> found;
    while (q.next()) {
        found << locationFrom(q);
    }
    addSites(found);
    return found;
}

QList<Location> Directory::locations() {
    QSqlQuery& q = db_.run(QStringLiteral("SELECT %1 FROM locations ORDER BY id")
                               .arg(QLatin1String(kLocationColumns)));
    QList<Location> found;
    while (q.next()) {
        found << locationFrom(q);
    }
    addSites(found);
    return found;
}

void Directory::addSites(QList<Location>& locations) {
    for (Location& location : locations) {
        QSqlQuery& q = db_.run(
            QStringLiteral("SELECT id, name FROM sites WHERE location_id = ? ORDER BY name, id"),
            {location.id});
        while (q.next()) {
            location.sites << Site{q.value(0).toInt(), q.value(1).toString()};
        }
    }
}

std::optional<Organization> Directory::organization(int id) {
    QSqlQuery& q = db_.run(QStringLiteral("SELECT id, name, is_operator, is_school, country, "
                                          "state, county FROM organizations WHERE id = ?"),
                           {id});
    return q.next() ? std::optional<Organization>(organizationFrom(q)) : std::nullopt;
}

QList<Organization> Directory::organizations() {
    QSqlQuery& q =
        db_.run(QStringLiteral("SELECT id, name, is_operator, is_school, country, "
                               "state, county FROM organizations ORDER BY id"));
    QList<Organization> found;
    while (q.next()) {
        found << organizationFrom(q);
    }
    return found;
}

namespace DirectoryXml {

QByteArray locations(const QList<Location>& locations, bool withSites) {
    XmlAnswer xml(QStringLiteral("locations"));
    for (const Location& location : locations) {
        writeLocation(xml, location, withSites);
    }
    return xml.finish();
}

}  // namespace DirectoryXml
