#include "ui/lookup/location_tree.h"

#include "cache/tdm_local_data.h"

namespace LocationTree {
namespace {

// The texts of one location entry; a missing element reads as empty.
struct Entry {
    QString id, smallName, country, state, county, region;
    QDomElement sites;
};

Entry readEntry(const QDomElement& element) {
    const auto text = [&element](const char* name) {
        return TdmLocalData::childText(element, QLatin1String(name));
    };
    return {text("id"),
            text("smallname"),
            text("country"),
            text("state"),
            text("county"),
            text("region"),
            element.firstChildElement(QStringLiteral("sites"))};
}

void addSites(const QDomElement& sites, int location, LookupTree& tree) {
    for (QDomElement site = sites.firstChildElement(); !site.isNull();
         site = site.nextSiblingElement()) {
        tree.add(location, TdmLocalData::childText(site, QStringLiteral("name")),
                 LookupTree::tagOf(TdmLocalData::childText(site, QStringLiteral("id"))));
    }
}

}  // namespace

void build(const QDomElement& locations, bool byRegion, LookupTree& tree) {
    tree.rebuild([&] {
        for (QDomElement element = locations.firstChildElement(); !element.isNull();
             element = element.nextSiblingElement()) {
            const Entry entry = readEntry(element);
            const int parent = byRegion
                                   ? tree.grouping(LookupTree::kTop, entry.region)
                                   : tree.placeByCountry(entry.country, entry.state, entry.county);
            if (!entry.id.isEmpty()) {
                const int location = tree.add(parent, entry.smallName, LookupTree::tagOf(entry.id));
                addSites(entry.sites, location, tree);
            }
        }
    });
}

int preselection(const LookupTree& tree, int idLocation, int idSite) {
    if (idSite > 0) {
        return tree.lastTagged(idSite, [&tree](int node) { return tree.parentTag(node) > 0; });
    }
    if (idLocation > 0) {
        return tree.lastTagged(idLocation, [&tree](int node) { return tree.parentTag(node) == 0; });
    }
    return -1;
}

QString locationName(const QDomElement& locations, int idLocation, bool byRegion,
                     const QString& current) {
    const QString id = QString::number(idLocation);
    const QString field = byRegion ? QStringLiteral("regionname") : QStringLiteral("name");
    QString name = current;
    for (QDomElement entry = locations.firstChildElement(); !entry.isNull();
         entry = entry.nextSiblingElement()) {
        if (TdmLocalData::childText(entry, QStringLiteral("id")) == id) {
            const QString found = TdmLocalData::childText(entry, field);
            if (!found.isEmpty()) {
                name = found;
            }
        }
    }
    return name;
}

}  // namespace LocationTree
