#include "ui/lookup/location_tree.h"

#include "cache/tdm_local_data.h"

namespace LocationTree {
namespace {

// The texts of one location entry, read in one pass over its fields; a missing element reads
// as empty, and of two with the same name the first counts, as a look-up by name finds it.
struct Entry {
    QString id, smallName, country, state, county, region;
    XmlElement sites;
};

Entry readEntry(const XmlElement& element) {
    Entry entry;
    bool seen[6] = {};
    QString* const texts[] = {&entry.id,    &entry.smallName, &entry.country,
                              &entry.state, &entry.county,    &entry.region};
    static const QLatin1String names[] = {QLatin1String("id"),      QLatin1String("smallname"),
                                          QLatin1String("country"), QLatin1String("state"),
                                          QLatin1String("county"),  QLatin1String("region")};
    for (XmlElement field = element.firstChildElement(); !field.isNull();
         field = field.nextSiblingElement()) {
        const QString name = field.tagName();
        if (name == QLatin1String("sites")) {
            if (entry.sites.isNull()) {
                entry.sites = field;
            }
            continue;
        }
        for (int i = 0; i < 6; ++i) {
            if (!seen[i] && name == names[i]) {
                seen[i] = true;
                *texts[i] = field.text();
                break;
            }
        }
    }
    return entry;
}

void addSites(const XmlElement& sites, int location, LookupTree& tree) {
    for (XmlElement site = sites.firstChildElement(); !site.isNull();
         site = site.nextSiblingElement()) {
        QString id;
        QString name;
        bool idSeen = false;
        bool nameSeen = false;
        for (XmlElement field = site.firstChildElement(); !field.isNull();
             field = field.nextSiblingElement()) {
            const QString tag = field.tagName();
            if (!idSeen && tag == QLatin1String("id")) {
                idSeen = true;
                id = field.text();
            } else if (!nameSeen && tag == QLatin1String("name")) {
                nameSeen = true;
                name = field.text();
            }
        }
        tree.add(location, name, LookupTree::tagOf(id));
    }
}

}  // namespace

void build(const XmlElement& locations, bool byRegion, LookupTree& tree) {
    tree.rebuild([&] {
        for (XmlElement element = locations.firstChildElement(); !element.isNull();
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

QString locationName(const XmlElement& locations, int idLocation, bool byRegion,
                     const QString& current) {
    const QString id = QString::number(idLocation);
    const QString field = byRegion ? QStringLiteral("regionname") : QStringLiteral("name");
    QString name = current;
    for (XmlElement entry = locations.firstChildElement(); !entry.isNull();
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
