#include "ui/lookup/contact_list.h"

#include "cache/tdm_local_data.h"

namespace ContactList {
namespace {

const QString kId = QStringLiteral("id");

XmlElement firstWithId(const XmlElement& contacts, const QString& id) {
    for (XmlElement entry = contacts.firstChildElement(); !entry.isNull();
         entry = entry.nextSiblingElement()) {
        if (TdmLocalData::childText(entry, kId) == id) {
            return entry;
        }
    }
    return {};
}

char16_t folded(char16_t c) {
    return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
}

}  // namespace

XmlElement lastWithId(const XmlElement& contacts, const QString& id) {
    XmlElement last;
    for (XmlElement entry = contacts.firstChildElement(); !entry.isNull();
         entry = entry.nextSiblingElement()) {
        if (TdmLocalData::childText(entry, kId) == id) {
            last = entry;
        }
    }
    return last;
}

bool removeFirst(XmlStore& store, const QString& id) {
    XmlElement root = store.doc.documentElement();
    const XmlElement entry = firstWithId(root, id);
    if (entry.isNull()) {
        return false;
    }
    root.removeChild(entry);
    store.changed = true;
    return true;
}

bool replace(XmlStore& store, const QString& id, const XmlElement& fresh) {
    XmlElement root = store.doc.documentElement();
    if (!removeFirst(store, id)) {
        return false;
    }
    root.appendChild(store.doc.importNode(fresh));
    return true;
}

int compareListText(QStringView a, QStringView b) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const int difference = int(folded(a[i].unicode())) - int(folded(b[i].unicode()));
        if (difference != 0) {
            return difference;
        }
    }
    return int(a.size() - b.size());
}

}  // namespace ContactList
