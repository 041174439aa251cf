#include "cache/tdm_local_data.h"

#include "app/settings/app_error.h"
#include "app/settings/atomic_file.h"
#include "app/settings/tdm_const.h"

#include <QFile>
#include <QList>
#include <exception>

TdmLocalData* dmLocalData = nullptr;

const QByteArray TdmLocalData::kTemplate = QByteArray(kLatin1XmlDeclaration) + "<init></init>";

namespace {

const QString kId = QStringLiteral("id");

// Parses `bytes` under the encoding their own declaration names (UTF-8 when none).
QDomDocument parseXml(const QByteArray& bytes, const QString& subject) {
    QDomDocument doc;
    QString error;
    int line = 0;
    int column = 0;
    if (!doc.setContent(bytes, &error, &line, &column)) {
        throw AppError(QStringLiteral("%1 is not well-formed XML: %2 (line %3, column %4).")
                           .arg(subject, error)
                           .arg(line)
                           .arg(column));
    }
    return doc;
}

QByteArray readWholeFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw IoError(QStringLiteral("Cannot read file \"%1\": %2").arg(path, file.errorString()));
    }
    return file.readAll();
}

void close(XmlStore& store) {
    store.doc = QDomDocument();
    store.active = false;
    store.changed = false;
}

QDomElement openRoot(const XmlStore& store) {
    if (!store.active) {
        throw AppError(QStringLiteral("The document \"%1\" is not open.").arg(store.fileName));
    }
    return store.doc.documentElement();
}

QList<QDomElement> childElements(const QDomElement& parent) {
    QList<QDomElement> elements;
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        elements.append(e);
    }
    return elements;
}

// Removes the first record of `root` keyed like `record`, then appends a copy of `record`;
// true when one was removed.
bool mergeRecord(QDomElement& root, const QDomElement& record) {
    const QString key = TdmLocalData::childText(record, kId);
    bool replaced = false;
    for (QDomElement old = root.firstChildElement(); !old.isNull();
         old = old.nextSiblingElement()) {
        if (TdmLocalData::childText(old, kId) == key) {
            root.removeChild(old);
            replaced = true;
            break;
        }
    }
    root.appendChild(root.ownerDocument().importNode(record, true));
    return replaced;
}

}  // namespace

TdmLocalData::TdmLocalData() = default;

TdmLocalData::~TdmLocalData() {
    try {
        DataModuleDestroy();
    } catch (const AppError&) {
        // The program is ending: there is nobody left to tell.
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
    store.doc = parseXml(readWholeFile(fileName), QStringLiteral("The file \"%1\"").arg(fileName));
    store.active = true;
}

bool TdmLocalData::AddXMLNode(XmlStore& store, const QDomElement& node) {
    QDomElement root = openRoot(store);
    const bool isRecord = !childText(node, kId).isEmpty();
    bool replaced = false;
    for (const QDomElement& record : isRecord ? QList<QDomElement>{node} : childElements(node)) {
        replaced = mergeRecord(root, record);
        store.changed = true;
    }
    return replaced;
}

void TdmLocalData::replaceRoot(XmlStore& store, const QDomElement& root) {
    const QDomElement old = openRoot(store);
    store.doc.replaceChild(store.doc.importNode(root, true), old);
    store.changed = true;
}

void TdmLocalData::save(XmlStore& store) {
    if (!store.active || !store.changed) {
        return;
    }
    writeFileAtomically(store.fileName, toLatin1Xml(store.doc));
    store.changed = false;
}

void TdmLocalData::parseAnswer(const QByteArray& answer) {
    closeAnswer();
    XMLGet = parseXml(answer, QStringLiteral("The service's answer"));
}

void TdmLocalData::closeAnswer() {
    XMLGet = QDomDocument();
}

QDomElement TdmLocalData::child(QDomElement parent, const QString& name) {
    QDomElement found = parent.firstChildElement(name);
    if (found.isNull() && !parent.isNull()) {
        found = parent.appendChild(parent.ownerDocument().createElement(name)).toElement();
    }
    return found;
}

QString TdmLocalData::childText(const QDomElement& parent, const QString& name) {
    return parent.firstChildElement(name).text();
}
