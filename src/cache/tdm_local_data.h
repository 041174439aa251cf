#pragma once

#include "cache/latin1_xml.h"
#include "cache/xml_tree.h"

#include <QByteArray>
#include <QString>

// One cached XML document bound to its file.
struct XmlStore {
    XmlDocument doc;
    QString fileName;
    bool active = false;
    // Set by merges and replacements (code editing `doc` directly sets it too); cleared when
    // written.
    bool changed = false;
};

// The reference data cache: three stored documents and the scratch document every service
// answer is parsed in. Stores are ISO-8859-1 files; characters outside Latin-1 are written as
// numeric character references so none is lost. Every document read here, from disk or from the
// service, is parsed with bounded depth and without document type declarations (XmlDocument).
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
    // thrown afterwards (each was reported to WriteFailures already).
    void DataModuleDestroy();

    // Opens `store` on `fileName`, creating the file from the template when missing.
    static void ActiveXML(XmlStore& store, const QString& fileName);
    // Merges a record (it has an "id") or every record of a container into the store's root;
    // true when the (last) merged record replaced one. Each record of a container is merged by
    // its own "id", replacing the first stored record with that id. Costs the size of the store
    // plus the size of the merged records, however many there are. Throws AppError when the
    // store is not open.
    static bool AddXMLNode(XmlStore& store, const XmlElement& node);
    // Puts a copy of `root` in place of the store's root element (the whole reference document
    // is replaced this way). Throws AppError when the store is not open.
    static void replaceRoot(XmlStore& store, const XmlElement& root);
    // Writes the store now (atomically) when it is open and changed; the bytes are those the
    // close would write. A write that fails keeps the store changed (the next save tries again),
    // is reported to WriteFailures and throws IoError; a name ISO-8859-1 cannot hold throws
    // AppError.
    static void save(XmlStore& store);
    // Parses a service answer from its bytes under its own declared encoding into XMLGet.
    // Throws AppError when it is not well-formed, deeper than kMaxAnswerDepth or holds a
    // document type declaration; XMLGet then stays closed.
    void parseAnswer(const QByteArray& answer);
    // A record merged from an answer lies one level deeper in its store (under the store's
    // root), so answers are held one level below what a store file may hold: whatever is taken
    // from an answer can be read back from the file it is written to.
    static constexpr int kMaxAnswerDepth = XmlDocument::kMaxDepth - 1;
    void closeAnswer();

    // The first child element of `parent` named `name`, created empty when missing.
    static XmlElement child(XmlElement parent, const QString& name);
    // The text of the first child element named `name`; empty when missing (nothing created).
    static QString childText(const XmlElement& parent, const QString& name);

    XmlStore XMLLocalData;
    XmlStore XMLContactList;
    XmlStore XMLLocations;
    XmlDocument XMLGet;

    static const QByteArray kTemplate;
};

extern TdmLocalData* dmLocalData;
