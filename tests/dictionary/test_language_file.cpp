#include "dictionary/dictionary_languages.h"
#include "dictionary/tdm_idioma.h"
#include "test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QDomDocument>
#include <QFile>

namespace {

QString sourcePath(const QString& relative) {
    return QDir(QString::fromLocal8Bit(qgetenv("NEREVA_SOURCE_DIR"))).filePath(relative);
}

const QStringList kSections = {"items", "texts", "messages", "actions"};

// Where the dictionary of `code` lies in the source tree, laid out as the installation.
QString shippedPath(const QString& code) {
    return code == kEnglish ? QStringLiteral("resources/language.xml")
                            : QStringLiteral("resources/%1/language.xml").arg(code);
}

// The keys listed in required_keys.txt, as the program writes them.
QStringList requiredKeys() {
    const QString text =
        QString::fromUtf8(TestSupport::readFile(sourcePath("tests/dictionary/required_keys.txt")));
    QStringList keys;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#'))) {
            keys << line;
        }
    }
    return keys;
}

// Every caption, list entry and title written as "<key>" in the windows' layouts, with the
// layout it stands in.
QList<QPair<QString, QString>> layoutKeys() {
    QList<QPair<QString, QString>> keys;
    QDirIterator it(sourcePath("src"), {"*.ui"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QDomDocument layout;
        if (!layout.setContent(TestSupport::readFile(file))) {
            keys.append({file, QStringLiteral("(not well-formed)")});
            continue;
        }
        const QDomNodeList strings = layout.elementsByTagName("string");
        for (int i = 0; i < strings.size(); ++i) {
            const QString text = strings.at(i).toElement().text();
            if (text.size() > 2 && text.startsWith('<') && text.endsWith('>')) {
                keys.append({QFileInfo(file).fileName(), text.mid(1, text.size() - 2)});
            }
        }
    }
    return keys;
}

QDomDocument shippedDocument(const QString& code) {
    QDomDocument document;
    QString error;
    int line = 0;
    if (!document.setContent(TestSupport::readFile(sourcePath(shippedPath(code))), &error, &line)) {
        qWarning("%s line %d: %s", qPrintable(shippedPath(code)), line, qPrintable(error));
    }
    return document;
}

// Every entry of the dictionary, wherever it stands.
QList<QDomElement> entries(const QDomDocument& document) {
    const QDomElement dictionary = document.documentElement().firstChildElement("dictionary");
    QList<QDomElement> found;
    for (QDomElement e = dictionary.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (!kSections.contains(e.tagName())) {
            found << e;
            continue;
        }
        for (QDomElement entry = e.firstChildElement(); !entry.isNull();
             entry = entry.nextSiblingElement()) {
            found << entry;
        }
    }
    return found;
}

QSet<QString> keysOf(const QString& code) {
    QSet<QString> keys;
    for (const QDomElement& entry : entries(shippedDocument(code))) {
        keys.insert(entry.tagName());
    }
    return keys;
}

void addLanguageRows(bool withEnglish) {
    QTest::addColumn<QString>("code");
    for (const ShippedLanguage& language : shippedLanguages()) {
        if (withEnglish || language.code != kEnglish) {
            QTest::newRow(qPrintable(language.code)) << language.code;
        }
    }
}

}  // namespace

class TestLanguageFile : public QObject {
    Q_OBJECT
private slots:
    void shipsEveryListedLanguage();
    void everyEntryIsOneTranslationUnderItsKey_data() { addLanguageRows(true); }
    void everyEntryIsOneTranslationUnderItsKey();
    void holdsEveryKeyTheProgramUses_data() { addLanguageRows(true); }
    void holdsEveryKeyTheProgramUses();
    void holdsTheKeysOfTheEnglishOne_data() { addLanguageRows(false); }
    void holdsTheKeysOfTheEnglishOne();
};

// The languages the options offer are the dictionaries the source tree holds, each under its
// own code.
void TestLanguageFile::shipsEveryListedLanguage() {
    QStringList found{kEnglish};
    for (const QString& folder :
         QDir(sourcePath("resources")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (QFile::exists(sourcePath(shippedPath(folder)))) {
            found << folder;
        }
    }
    QStringList listed;
    for (const ShippedLanguage& language : shippedLanguages()) {
        listed << language.code;
        const QDomElement config = shippedDocument(language.code).documentElement();
        QCOMPARE(config.firstChildElement("config").firstChildElement("code").text(),
                 language.code);
    }
    found.sort();
    listed.sort();
    QCOMPARE(found, listed);
    QVERIFY(listed.contains("es"));
}

void TestLanguageFile::everyEntryIsOneTranslationUnderItsKey() {
    QFETCH(QString, code);
    const QList<QDomElement> all = entries(shippedDocument(code));
    QVERIFY(all.size() > 100);
    QStringList faults;
    QSet<QString> seen;
    for (const QDomElement& entry : all) {
        const QString key = entry.tagName();
        if (TdmIdioma::normalizeKey(key) != key) {
            faults << key + ": not a normalised key";
        }
        if (!entry.firstChildElement().isNull()) {
            faults << key + ": holds elements";
        }
        if (entry.text().remove(QLatin1Char('\t')).trimmed().isEmpty()) {
            faults << key + ": empty";
        }
        if (seen.contains(key)) {
            faults << key + ": defined twice, the later one is never read";
        }
        seen.insert(key);
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(", ")));
}

// Loaded as the program loads it, the dictionary translates every key the code asks for and
// every key caption of every window, so nothing reaches tags.xml.
void TestLanguageFile::holdsEveryKeyTheProgramUses() {
    QFETCH(QString, code);
    TestSupport::TempFolders folders;
    QVERIFY(QFile::copy(sourcePath(shippedPath(code)), "language.xml"));
    TdmIdioma dictionary;
    dictionary.DataModuleCreate();
    QCOMPARE(dictionary.LanguageCode(), code);
    QList<QPair<QString, QString>> keys = layoutKeys();
    QVERIFY(keys.size() > 100);
    const QStringList required = requiredKeys();
    QVERIFY(required.size() > 100);
    for (const QString& key : required) {
        keys.append({QStringLiteral("required_keys.txt"), key});
    }
    QStringList untranslated;
    for (const auto& [where, key] : keys) {
        if (dictionary.GetWord(key).isEmpty()) {
            untranslated << where + ": " + key;
        }
    }
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(", ")));
    QCOMPARE(dictionary.MissingKeys(), QStringList());
}

// A further language holds exactly the English keys: none missing, none left over from a key
// the program no longer asks for.
void TestLanguageFile::holdsTheKeysOfTheEnglishOne() {
    QFETCH(QString, code);
    const QSet<QString> english = keysOf(kEnglish);
    const QSet<QString> translated = keysOf(code);
    QStringList missing = QSet<QString>(english).subtract(translated).values();
    QStringList extra = QSet<QString>(translated).subtract(english).values();
    missing.sort();
    extra.sort();
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
    QVERIFY2(extra.isEmpty(), qPrintable(extra.join(", ")));
}

NEREVA_TEST_MAIN(TestLanguageFile)
#include "test_language_file.moc"
