#pragma once

#include "cache/latin1_xml.h"

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QString>

// One cached XML document bound to its file.
struct XmlStore {
    QDomDocument doc;
    QString fileName;
    bool active = false;
    // Set by merges and replacements (code editing `doc` directly sets it too); cleared when
    // written.
    bool changed = false;
};

// The reference data cache: three stored documents and the scratch document every service
// answer is parsed in. Stores are ISO-8859-1 files; characters outside Latin-1 are written as
// numeric character references so none is lost.
class TdmLocalData {
public:
    TdmLocalData();
    ~TdmLocalData();  // DataModuleDestroy

    // Opens localdata.xml, contactlist.xml, locations.xml in that order, creating missing files
    // from the template. Throws AppError naming the file that cannot be parsed; it and the ones
    // after it stay closed.
    void DataModuleCreate();
    // Writes each changed store (contact list, local data, locations) and closes it. A store
    // that cannot be written does not keep the others from being written; the first failure is
    // thrown afterwards.
    void DataModuleDestroy();

    // Opens `store` on `fileName`, creating the file from the template when missing.
    static void ActiveXML(XmlStore& store, const QString& fileName);
    // Merges a record (it has an "id") or every record of a container into the store's root;
    // true when the (last) merged record replaced one. Each record of a container is merged by
    // its own "id". Throws AppError when the store is not open.
    static bool AddXMLNode(XmlStore& store, const QDomElement& node);
    // Puts a copy of `root` in place of the store's root element (the whole reference document
    // is replaced this way). Throws AppError when the store is not open.
    static void replaceRoot(XmlStore& store, const QDomElement& root);
    // Writes the store now (atomically) when it is open and changed; the bytes are those the
    // close would write. Throws AppError (IoError when the file cannot be written).
    static void save(XmlStore& store);
    // Parses a service answer from its bytes under its own declared encoding into XMLGet.
    // Throws AppError when it is not well-formed; XMLGet then stays closed.
    void parseAnswer(const QByteArray& answer);
    void closeAnswer();

    // The first child element of `parent` named `name`, created empty when missing.
    static QDomElement child(QDomElement parent, const QString& name);
    // The text of the first child element named `name`; empty when missing (nothing created).
    static QString childText(const QDomElement& parent, const QString& name);

    XmlStore XMLLocalData;
    XmlStore XMLContactList;
    XmlStore XMLLocations;
    QDomDocument XMLGet;

    static const QByteArray kTemplate;
};

extern TdmLocalData* dmLocalData;
