#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>
#include <QString>

// One cached XML document bound to its file.
struct XmlStore {
    QDomDocument doc;
    QString fileName;
    bool active = false;
    bool changed = false;  // set by merges and replacements; cleared when written
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
    // Writes each changed store (contact list, local data, locations) and closes it.
    void DataModuleDestroy();

    // Opens `store` on `fileName`, creating the file from the template when missing.
    static void ActiveXML(XmlStore& store, const QString& fileName);
    // Merges a record (it has an "id") or every record of a container into the store's root;
    // true when the (last) merged record replaced one.
    static bool AddXMLNode(XmlStore& store, const QDomElement& node);
    // Writes the store now (atomically) when it changed.
    static void save(XmlStore& store);
    // Parses a service answer from its bytes under its own declared encoding into XMLGet.
    // Throws AppError when it is not well-formed.
    void parseAnswer(const QByteArray& answer);
    void closeAnswer();

    // The first child element of `parent` named `name`, created empty when missing.
    static QDomElement child(QDomElement parent, const QString& name);
    static QString childText(const QDomElement& parent, const QString& name);

    XmlStore XMLLocalData;
    XmlStore XMLContactList;
    XmlStore XMLLocations;
    QDomDocument XMLGet;

    static const QByteArray kTemplate;
};

extern TdmLocalData* dmLocalData;

// The bytes of `doc` as ISO-8859-1 with its declaration, characters outside Latin-1 written
// as numeric character references.
QByteArray toLatin1Xml(const QDomDocument& doc);
