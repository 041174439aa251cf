#pragma once

#include "cache/xml_tree.h"

#include <QString>
#include <QStringView>

struct XmlStore;

// The contact list's rules over the cached contacts (the children of the root of
// "contactlist.xml", each with "id", "name", "user", "email" and "country") and the order of the
// look-up dialogs' lists.
namespace ContactList {

// The last entry whose "id" is exactly `id` (each match fills the details in turn, so the last
// one shows); null when there is none.
XmlElement lastWithId(const XmlElement& contacts, const QString& id);
// Removes the first entry whose "id" is `id`; false when there is none.
bool removeFirst(XmlStore& store, const QString& id);
// Removes the first entry whose "id" is `id` and appends a copy of `fresh` at the end; with no
// such entry nothing changes (false).
bool replace(XmlStore& store, const QString& id, const XmlElement& fresh);

// The order of the look-up lists' columns: ASCII letters compared without case, every other
// character by its code, and a text that is the start of another comes first. Negative, zero
// or positive, like QString::compare.
int compareListText(QStringView a, QStringView b);

}  // namespace ContactList
