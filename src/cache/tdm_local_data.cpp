#include "cache/tdm_local_data.h"

#include "app/settings/app_error.h"
#include "app/settings/atomic_file.h"
#include "app/settings/tdm_const.h"
#include "app/settings/write_failures.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <deque>
#include <exception>

TdmLocalData* dmLocalData = nullptr;

const QByteArray TdmLocalData::kTemplate = QByteArray(kLatin1XmlDeclaration) + "<init></init>";

namespace {

const QString kId = QStringLiteral("id");

QByteArray readWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw IoError(QStringLiteral("Cannot read file \"%1\": %2").arg(path, file.errorString()));
    }
    return file.readAll();
}

void close(XmlStore& store) {
    store.doc = XmlDocument();
    store.active = false;
    store.changed = false;
}

XmlElement openRoot(const XmlStore& store) {
    if (!store.active) {
        throw AppError(QStringLiteral("The document \"%1\" is not open.").arg(store.fileName));
    }
    return store.doc.documentElement();
}

QList<XmlElement> childElements(const XmlElement& parent) {
    QList<XmlElement> elements;
    for (XmlElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        elements.append(e);
    }
    return elements;
}

// The stored records by id, each id's records in document order, so that a merge finds the
// first record of an id without walking the store again.
class RecordIndex {
public:
    explicit RecordIndex(const XmlElement& root) {
        for (XmlElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            byId_[TdmLocalData::childText(e, kId)].push_back(e);
        }
    }
    // Takes the first stored record with `id` out of the index; null when there is none.
    XmlElement takeFirst(const QString& id) {
        const auto found = byId_.find(id);
        if (found == byId_.end() || found->empty()) {
            return {};
        }
        XmlElement first = found->front();
        found->pop_front();
        return first;
    }
    void add(const QString& id, const XmlElement& record) { byId_[id].push_back(record); }

private:
    QHash<QString, std::deque<XmlElement>> byId_;
};

}  // namespace

TdmLocalData::TdmLocalData() = default;

TdmLocalData::~TdmLocalData() {
    try {
        DataModuleDestroy();
    } catch (const AppError&) {
        // Reported to WriteFailures as it happened.
    }
}

void TdmLocalData::DataModuleCreate() {
    const QString dir = dm_const ? dm_const->AppDataDir : QString();
    ActiveXML(XMLLocalData, dir + QStringLiteral("localdata.xml"));
    ActiveXML(XMLContactList, dir + QStringLiteral("contactlist.xml"));
    ActiveXML(XMLLocations, dir + QStringLiteral("locations.xml"));
}

void TdmLocalData::DataModuleDestroy() {
    std::exception_ptr firstFailure;
    for (XmlStore* store : {&XMLContactList, &XMLLocalData, &XMLLocations}) {
        try {
            save(*store);
        } catch (const AppError&) {
            if (!firstFailure) {
                firstFailure = std::current_exception();
            }
        }
        close(*store);
    }
    closeAnswer();
    if (firstFailure) {
        std::rethrow_exception(firstFailure);
    }
}

void TdmLocalData::ActiveXML(XmlStore& store, const QString& fileName) {
    close(store);
    store.fileName = fileName;
    if (!QFile::exists(fileName)) {
        writeFileAtomically(fileName, kTemplate);
    }
    store.doc = XmlDocument::parse(readWholeFile(fileName),
                                   QStringLiteral("The file \"%1\"").arg(fileName));
    store.active = true;
}

bool TdmLocalData::AddXMLNode(XmlStore& store, const XmlElement& node) {
    XmlElement root = openRoot(store);
    const bool isRecord = !childText(node, kId).isEmpty();
    const QList<XmlElement> records = isRecord ? QList<XmlElement>{node} : childElements(node);
    if (records.isEmpty()) {
        return false;
    }
    RecordIndex index(root);
    bool replaced = false;
    for (const XmlElement& record : records) {
        const QString id = childText(record, kId);
        const XmlElement old = index.takeFirst(id);
        replaced = !old.isNull();
        if (replaced) {
            root.removeChild(old);
        }
        index.add(id, root.appendChild(store.doc.importNode(record)));
        store.changed = true;
    }
    return replaced;
}

void TdmLocalData::replaceRoot(XmlStore& store, const XmlElement& root) {
    openRoot(store);
    store.doc.setDocumentElement(store.doc.importNode(root));
    store.changed = true;
}

void TdmLocalData::save(XmlStore& store) {
    if (!store.active || !store.changed) {
        return;
    }
    const QByteArray bytes = toLatin1Xml(store.doc);
    try {
        writeFileAtomically(store.fileName, bytes);
    } catch (const IoError& e) {
        WriteFailures::failed(store.fileName, e.message());
        throw;
    }
    WriteFailures::succeeded(store.fileName);
    store.changed = false;
}

void TdmLocalData::parseAnswer(const QByteArray& answer) {
    closeAnswer();
    XMLGet = XmlDocument::parse(answer, QStringLiteral("The service's answer"), kMaxAnswerDepth);
}

void TdmLocalData::closeAnswer() {
    XMLGet = XmlDocument();
}

XmlElement TdmLocalData::child(XmlElement parent, const QString& name) {
    XmlElement found = parent.firstChildElement(name);
    if (found.isNull() && !parent.isNull()) {
        found = parent.appendChild(parent.ownerDocument().createElement(name));
    }
    return found;
}

QString TdmLocalData::childText(const XmlElement& parent, const QString& name) {
    return parent.firstChildElement(name).text();
}
