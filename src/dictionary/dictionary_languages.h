#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

// Which dictionary the program starts with. English lies directly in a program folder; every
// further language in a subfolder named by its code ("es/language.xml").

// A language whose dictionary comes with the program, named in its own language.
struct ShippedLanguage {
    QString code;
    QString name;
};

const QString kEnglish = QStringLiteral("en");

const QList<ShippedLanguage>& shippedLanguages();

// Whether `code` can name a dictionary's folder: two or three lower-case ASCII letters.
bool isLanguageCode(const QString& code);

// The language to start in when the working folder holds no dictionary: `chosen` (the options'
// choice) when it is a language code, else the language of the system's locale, else English.
QString startLanguage(const QString& chosen, const QLocale& system);

// Where "language.xml" is looked for, in this order: the working folder; the subfolder `code`
// of each program folder; each program folder itself (English). A language without a
// dictionary thus falls back to English.
QStringList dictionaryPaths(const QString& work, const QStringList& programFolders,
                            const QString& code);
