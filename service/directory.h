#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>
#include <optional>

class Database;

struct Site {
    int id = 0;
    QString name;
};

struct Location {
    int id = 0;
    QString name, smallname, regionname, country, state, county, region;
    QList<Site> sites;
};

struct Organization {
    int id = 0;
    QString name;
    bool isOperator = false;
    bool isSchool = false;
    QString country, state, county;
};

// The reference document as last built, shared by the threads of a service.
struct ReferenceCache {
    QMutex mutex;
    QString version;
    QByteArray document;
};

// The reference data (countries and states, agencies and levels, organisations) and the
// directory of dive locations with their sites.
class Directory {
public:
    explicit Directory(Database& db, ReferenceCache* cache = nullptr) : db_(db), cache_(cache) {}

    // The reference document. With a cache, built once per change of the reference data (any
    // process's change counts), then kept.
    QByteArray referenceDocument();

    // At most 200 locations whose name (or short name) contains `name` and whose country
    // contains `country`, both without regard to case; without sites. Nothing for two empty
    // criteria.
    QList<Location> search(const QString& name, const QString& country);
    std::optional<Location> location(int id);       // with its sites
    QList<Location> memberLocations(int memberId);  // with their sites
    std::optional<Organization> organization(int id);
    QList<Organization> organizations();
    QList<Location> locations();  // every one with its sites, by id

    // The number that changes with every change of the reference data.
    QString referenceVersion();
    void referenceChanged();

private:
    QByteArray buildReferenceDocument();
    void addSites(QList<Location>& locations);

    Database& db_;
    ReferenceCache* cache_;
};

// The XML answers made of these records.
namespace DirectoryXml {
QByteArray locations(const QList<Location>& locations, bool withSites);
}
