#pragma once

#include "cache/xml_tree.h"
#include "ui/lookup/lookup_tree.h"

#include <QString>

// The location selection's tree and look-ups over the cached locations (the root of
// "locations.xml": location entries with "id", "name", "smallname", "regionname", "country",
// "state", "county", "region" and "sites", each site with "id" and "name").
namespace LocationTree {

// Builds `tree` from the entries in document order: each location node (text "smallname", tag
// "id") under its region node, or under its country, state and county nodes, with its sites
// below it; an entry without an id adds only its grouping nodes. The tree ends sorted. An id
// that is not a decimal integer stops the build there with AppError; the nodes built before it
// stay (sorted).
void build(const XmlElement& locations, bool byRegion, LookupTree& tree);

// The node to select for the dialog's ids: with `idSite` > 0 the last node in tree order tagged
// `idSite` whose parent's tag is > 0 (a site); otherwise, with `idLocation` > 0, the last
// tagged `idLocation` whose parent's tag is exactly 0. -1 for none.
int preselection(const LookupTree& tree, int idLocation, int idSite);

// The name Select gives the chosen location: the "regionname" (grouped by region) or the
// "name" of the last entry whose "id" is `idLocation`, among those where it is not empty;
// `current` when there is none.
QString locationName(const XmlElement& locations, int idLocation, bool byRegion,
                     const QString& current);

}  // namespace LocationTree
