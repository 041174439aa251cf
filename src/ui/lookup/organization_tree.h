#pragma once

#include "cache/xml_tree.h"
#include "ui/lookup/lookup_tree.h"

// The operator and school selection's tree over the cached organizations (the children of
// "organizations" in "localdata.xml", each with "operator", "school", "country", "state",
// "county", "id" and "name").
namespace OrganizationTree {

inline constexpr int kOperators = 1;
inline constexpr int kSchools = 4;

// Builds `tree` from the organizations of `kind` in document order: an entry counts when its
// "operator" (kOperators) or "school" (kSchools) is exactly "1"; each becomes a node (text
// "name", tag "id") under its country, state and county nodes. The tree ends sorted. An id that
// is not a decimal integer stops the build there with AppError; the nodes built before it stay.
void build(const XmlElement& organizations, int kind, LookupTree& tree);

// The node to select for `organizationId` (> 0): the last node in tree order with that tag;
// -1 for none.
int preselection(const LookupTree& tree, int organizationId);

}  // namespace OrganizationTree
