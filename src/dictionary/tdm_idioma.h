#pragma once

#include "cache/xml_tree.h"

#include <QString>
#include <QStringList>
#include <optional>

// The dictionary module: every caption and message is a key looked up in "language.xml";
// keys that are missing are collected and written to "tags.xml" at program end.
class TdmIdioma {
public:
    TdmIdioma();
    ~TdmIdioma();  // DataModuleDestroy: writes tags.xml

    TdmIdioma(const TdmIdioma&) = delete;
    TdmIdioma& operator=(const TdmIdioma&) = delete;

    // Loads "language.xml" from the working folder, else the dictionary of the start language
    // (startLanguage: the options' choice, else the system's) from beside the executable or
    // from the installation's data folder (installedDataFolder), else the English one from
    // there (dictionaryPaths). Throws AppError with the text "No es
    // posible cargar el diccionario del idioma!", which start-up shows, when a dictionary that
    // is there cannot be loaded (not well-formed, too deep, with a document type declaration):
    // after falling back to the installed one when the working folder's is the bad one, or
    // leaving the module inactive (untranslated) when none loads.
    void DataModuleCreate();
    // Writes tags.xml (once; later calls do nothing). Failures are swallowed: the program is
    // ending and nobody is left to tell.
    void DataModuleDestroy();

    // The translation of `key`; empty when missing (recorded in tags.xml); the key itself when
    // no dictionary is loaded.
    QString GetWord(const QString& key);
    // For a caption "<key>", the key's translation; otherwise empty.
    QString ValidKey(const QString& text);

    bool active() const;
    const QString& LanguageCode() const;
    // Sorted without regard to case, without duplicates: "<key></key>" lines.
    const QStringList& MissingKeys() const;
    // Where tags.xml was (or will be) written: the working folder, or the data folder when
    // the working folder takes no files; empty when neither can be used.
    QString tagsFileName() const;
    // The file the dictionary was loaded from; empty while inactive.
    const QString& fileName() const { return fileName_; }

    // The normalised form of a key: ASCII letters lower-cased, "&" dropped, blanks to "_".
    static QString normalizeKey(const QString& key);
    // Whether `name` is a well-formed XML element name (so it can name a dictionary entry).
    static bool isValidElementName(const QString& name);

private:
    // False when there is no file; throws AppError when it cannot be loaded.
    bool load(const QString& path);
    std::optional<QString> lookUp(const QString& key) const;
    void recordMissing(const QString& key);
    QByteArray tagsText() const;

    XmlDocument XMLDocument;
    XmlElement DictionaryNode;
    XmlElement ConfigNode;
    QString languageCode_;
    QStringList missingKeys_;
    QString fileName_;
    QString tagsWrittenTo_;
    bool active_ = false;
    bool destroyed_ = false;
};

extern TdmIdioma* dmIdioma;

// Whether a file can really be created in `folder` (tried, not guessed from permission bits,
// which mean nothing to root). False for an empty path, a missing folder or a plain file.
bool folderAcceptsFiles(const QString& folder);
