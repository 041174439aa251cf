#include "ui/lookup/organization_tree.h"

#include "cache/tdm_local_data.h"

namespace OrganizationTree {
namespace {

bool ofKind(const XmlElement& organization, int kind) {
    const auto flag = [&organization](const char* name) {
        return TdmLocalData::childText(organization, QLatin1String(name)) == QLatin1String("1");
    };
    return (kind == kOperators && flag("operator")) || (kind == kSchools && flag("school"));
}

}  // namespace

void build(const XmlElement& organizations, int kind, LookupTree& tree) {
    tree.rebuild([&] {
        for (XmlElement entry = organizations.firstChildElement(); !entry.isNull();
             entry = entry.nextSiblingElement()) {
            if (!ofKind(entry, kind)) {
                continue;
            }
            const auto text = [&entry](const char* name) {
                return TdmLocalData::childText(entry, QLatin1String(name));
            };
            const int parent = tree.placeByCountry(text("country"), text("state"), text("county"));
            tree.add(parent, text("name"), LookupTree::tagOf(text("id")));
        }
    });
}

int preselection(const LookupTree& tree, int organizationId) {
    if (organizationId <= 0) {
        return -1;
    }
    return tree.lastTagged(organizationId, [](int) { return true; });
}

}  // namespace OrganizationTree
