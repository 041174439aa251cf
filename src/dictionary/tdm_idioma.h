#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QString>
#include <QStringList>

// The dictionary module: every caption and message is a key looked up in "language.xml";
// keys that are missing are collected and written to "tags.xml" at program end.
class TdmIdioma {
public:
    TdmIdioma();
    ~TdmIdioma();  // DataModuleDestroy: writes tags.xml

    // Loads "language.xml" from the working folder, else from beside the executable. When it
    // cannot be loaded the module stays inactive (untranslated) and this throws AppError with
    // the text "No es posible cargar el diccionario del idioma!", which start-up shows.
    void DataModuleCreate();
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
    // Where tags.xml was (or will be) written.
    QString tagsFileName() const;

    // The normalised form of a key: ASCII letters lower-cased, "&" dropped, blanks to "_".
    static QString normalizeKey(const QString& key);

private:
    QDomDocument XMLDocument;
    QDomElement DictionaryNode;
    QDomElement ConfigNode;
    QString languageCode_;
    QStringList missingKeys_;
    bool active_ = false;
};

extern TdmIdioma* dmIdioma;
