#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "dictionary/dictionary_languages.h"
#include "dictionary/tdm_idioma.h"
#include "test_support.h"

#include <QDir>
#include <QFile>

using TestSupport::readFile;
using TestSupport::writeFile;

namespace {

const QByteArray kDictionary =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<language>\n"
    "  <config><code>xx</code></config>\n"
    "  <dictionary>\n"
    "    <both>direct</both>\n"
    "    <ok>Okay</ok>\n"
    "    <items><item_only>from items</item_only><empty_here></empty_here></items>\n"
    "    <texts>\n"
    "      <tabbed>\tline one\n\t\tline two</tabbed>\n"
    "      <empty_here>from texts</empty_here>\n"
    "    </texts>\n"
    "    <messages><both>from messages</both><nested><inner>x</inner></nested></messages>\n"
    "    <actions><action_only>from actions</action_only><save_as>Save As</save_as></actions>\n"
    "  </dictionary>\n"
    "</language>\n";

const QString kLoadError = QStringLiteral("No es posible cargar el diccionario del idioma!");

QString besideExecutable() {
    return QDir(QCoreApplication::applicationDirPath()).filePath("language.xml");
}

// A dictionary beside the test program, removed again when the test ends.
class ProgramFolderDictionary {
public:
    explicit ProgramFolderDictionary(const QByteArray& text) {
        writeFile(besideExecutable(), text);
    }
    ~ProgramFolderDictionary() { QFile::remove(besideExecutable()); }
};

// The Spanish dictionary beside the test program, laid out as a build lays it out.
class ProgramFolderSpanish {
public:
    explicit ProgramFolderSpanish(const QByteArray& text) {
        QDir(folder()).mkpath(".");
        writeFile(QDir(folder()).filePath("language.xml"), text);
    }
    ~ProgramFolderSpanish() { QDir(folder()).removeRecursively(); }

private:
    static QString folder() { return QDir(QCoreApplication::applicationDirPath()).filePath("es"); }
};

QByteArray dictionaryWithCode(const QByteArray& code) {
    return "<?xml version=\"1.0\"?><language><config><code>" + code +
           "</code></config><dictionary/></language>";
}

// Loads the dictionary; the message start-up would show for it, or empty.
QString loadMessage(TdmIdioma& dictionary) {
    try {
        dictionary.DataModuleCreate();
    } catch (const AppError& e) {
        return e.message();
    }
    return QString();
}

// The settings module's data folder, seen through the global as the program sees it.
class DataFolder {
public:
    explicit DataFolder(const QString& folder) {
        settings_.AppDataDir = folder;
        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
        }
        dm_const = &settings_;
    }
    ~DataFolder() { dm_const = nullptr; }

    void chooseLanguage(const QString& code) { settings_.Language = code; }

private:
    Tdm_const settings_;
};

}  // namespace

class TestDictionary : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void lookUp_data();
    void lookUp();
    void normalizeKey_data();
    void normalizeKey();
    void validKey_data();
    void validKey();
    void tagsListsEachMissingKeyOnceInKeyOrder();
    void tagsOverwrittenAndEmptyWhenNothingMissing();
    void noDictionary_data();
    void noDictionary();
    void workingFolderBeforeProgramFolder_data();
    void workingFolderBeforeProgramFolder();
    void startLanguage_data();
    void startLanguage();
    void dictionaryPaths_data();
    void dictionaryPaths();
    void chosenLanguageBesideTheProgram_data();
    void chosenLanguageBesideTheProgram();
    void latin1DictionaryDecodes();
    void missingSectionsBehaveAsEmpty();
    void tagsGoToDataFolderWithoutWorkingFolder();
    void noUsableFolderWritesNothing();
    void folderAcceptsFiles_data();
    void folderAcceptsFiles();
};

void TestDictionary::initTestCase() {
    // A dictionary left beside the program by an aborted run would hide the missing-file cases.
    QFile::remove(besideExecutable());
}

void TestDictionary::lookUp_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("recorded");
    QTest::newRow("direct entry beats messages") << "both"
                                                 << "direct" << false;
    QTest::newRow("only under items") << "item_only"
                                      << "from items" << false;
    QTest::newRow("only under actions") << "action_only"
                                        << "from actions" << false;
    QTest::newRow("empty entry passed over") << "empty_here"
                                             << "from texts" << false;
    QTest::newRow("capitals, ampersand, blank") << "Save &As"
                                                << "Save As" << false;
    QTest::newRow("tabs removed, line breaks kept") << "tabbed"
                                                    << "line one\nline two" << false;
    QTest::newRow("missing") << "Not There"
                             << "" << true;
    QTest::newRow("entry holding elements") << "nested"
                                            << "" << false;
    QTest::newRow("section name") << "items"
                                  << "" << false;
    QTest::newRow("not an element name") << "1st"
                                         << "" << false;
    QTest::newRow("not an element name either") << "a/b"
                                                << "" << false;
}

void TestDictionary::lookUp() {
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QFETCH(bool, recorded);
    TestSupport::TempFolders folders;
    writeFile("language.xml", kDictionary);
    TdmIdioma dictionary;
    dictionary.DataModuleCreate();
    QVERIFY(dictionary.active());
    QCOMPARE(dictionary.LanguageCode(), QString("xx"));
    QCOMPARE(dictionary.GetWord(key), expected);
    const QString normal = TdmIdioma::normalizeKey(key);
    const QStringList lines =
        recorded ? QStringList{"<" + normal + "></" + normal + ">"} : QStringList();
    QCOMPARE(dictionary.MissingKeys(), lines);
}

void TestDictionary::normalizeKey_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("menu caption") << "Save &As"
                                  << "save_as";
    QTest::newRow("blanks kept in place") << " A  B "
                                          << "_a__b_";
    QTest::newRow("only ASCII lowered") << QString::fromUtf8("ÑAME") << QString::fromUtf8("Ñame");
    QTest::newRow("every ampersand") << "&&x&"
                                     << "x";
    QTest::newRow("tab is not a blank") << "a\tb"
                                        << "a\tb";
}

void TestDictionary::normalizeKey() {
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(TdmIdioma::normalizeKey(key), expected);
}

void TestDictionary::validKey_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("missing");
    QTest::newRow("key in brackets") << "<ok>"
                                     << "Okay" << QStringList();
    QTest::newRow("plain text") << "ok"
                                << "" << QStringList();
    QTest::newRow("no closing bracket") << "<ok"
                                        << "" << QStringList();
    QTest::newRow("no opening bracket") << "ok>"
                                        << "" << QStringList();
    QTest::newRow("empty") << ""
                           << "" << QStringList();
    QTest::newRow("empty brackets") << "<>"
                                    << "" << QStringList();
    QTest::newRow("lone bracket") << "<"
                                  << "" << QStringList();
    QTest::newRow("missing key") << "<Gone Key>"
                                 << "" << QStringList{"<gone_key></gone_key>"};
}

void TestDictionary::validKey() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QFETCH(QStringList, missing);
    TestSupport::TempFolders folders;
    writeFile("language.xml", kDictionary);
    TdmIdioma dictionary;
    dictionary.DataModuleCreate();
    QCOMPARE(dictionary.ValidKey(text), expected);
    QCOMPARE(dictionary.MissingKeys(), missing);
}

void TestDictionary::tagsListsEachMissingKeyOnceInKeyOrder() {
    TestSupport::TempFolders folders;
    writeFile("language.xml", kDictionary);
    {
        TdmIdioma dictionary;
        dictionary.DataModuleCreate();
        const QStringList keys = {"Zeta",
                                  "zeta",
                                  "ab_c",
                                  "Beta B",
                                  "AB0",
                                  "ok",
                                  "ab",
                                  QString::fromUtf8("Ézard"),
                                  QString::fromUtf8("éclat"),
                                  "Zeta"};
        for (const QString& key : keys) {
            dictionary.GetWord(key);
        }
        QCOMPARE(dictionary.tagsFileName(), QDir(folders.work()).filePath("tags.xml"));
    }
    // Ordered by key, not by line ("<ab></ab>" would otherwise follow "<ab0></ab0>"), with
    // letters folded to one case (a case-sensitive order puts "É" before "é").
    QCOMPARE(readFile("tags.xml"), QString::fromUtf8("<ab></ab>\r\n"
                                                     "<ab0></ab0>\r\n"
                                                     "<ab_c></ab_c>\r\n"
                                                     "<beta_b></beta_b>\r\n"
                                                     "<zeta></zeta>\r\n"
                                                     "<éclat></éclat>\r\n"
                                                     "<Ézard></Ézard>\r\n")
                                       .toUtf8());
}

void TestDictionary::tagsOverwrittenAndEmptyWhenNothingMissing() {
    TestSupport::TempFolders folders;
    writeFile("language.xml", kDictionary);
    writeFile("tags.xml", "<old></old>\r\n");
    TdmIdioma dictionary;
    dictionary.DataModuleCreate();
    QCOMPARE(dictionary.GetWord("ok"), QString("Okay"));
    dictionary.DataModuleDestroy();
    QVERIFY(QFile::exists("tags.xml"));
    QCOMPARE(readFile("tags.xml"), QByteArray());
    // Written once: the destructor does not write again.
    QFile::remove("tags.xml");
    dictionary.GetWord("late");
    dictionary.DataModuleDestroy();
    QVERIFY(!QFile::exists("tags.xml"));
}

void TestDictionary::noDictionary_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("no file") << QByteArray();
    QTest::newRow("not well-formed") << QByteArray("<language><dictionary></language>");
    QTest::newRow("entity declarations") << QByteArray(
        "<!DOCTYPE l [<!ENTITY e \"x\">]><language><dictionary><ok>&e;</ok>"
        "</dictionary></language>");
    QTest::newRow("nested too deep")
        << "<language>" + QByteArray("<a>").repeated(100000) + "</language>";
}

void TestDictionary::noDictionary() {
    QFETCH(QByteArray, file);
    TestSupport::TempFolders folders;
    if (!file.isEmpty()) {
        writeFile("language.xml", file);
    }
    {
        TdmIdioma dictionary;
        try {
            dictionary.DataModuleCreate();
            QFAIL("loading should fail");
        } catch (const AppError& error) {
            QCOMPARE(error.message(), kLoadError);
        }
        QVERIFY(!dictionary.active());
        QCOMPARE(dictionary.GetWord("Pending &Key"), QString("Pending &Key"));
        QCOMPARE(dictionary.LanguageCode(), QString());
        QVERIFY(dictionary.MissingKeys().isEmpty());
    }
    QVERIFY(QFile::exists("tags.xml"));
    QCOMPARE(readFile("tags.xml"), QByteArray());
}

void TestDictionary::workingFolderBeforeProgramFolder_data() {
    QTest::addColumn<QByteArray>("working");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("told");
    QTest::newRow("only beside the program") << QByteArray() << "exe" << false;
    QTest::newRow("both") << dictionaryWithCode("work") << "work" << false;
    QTest::newRow("working one broken") << QByteArray("<language>") << "exe" << true;
    QTest::newRow("working one with a document type")
        << "<!DOCTYPE language>" + dictionaryWithCode("work").mid(21) << "exe" << true;
}

// A translation in the working folder that cannot be loaded is told, and the installed
// dictionary still gives the windows their captions.
void TestDictionary::workingFolderBeforeProgramFolder() {
    QFETCH(QByteArray, working);
    QFETCH(QString, expected);
    QFETCH(bool, told);
    TestSupport::TempFolders folders;
    ProgramFolderDictionary program(dictionaryWithCode("exe"));
    if (!working.isEmpty()) {
        writeFile("language.xml", working);
    }
    TdmIdioma dictionary;
    const QString message = loadMessage(dictionary);
    QCOMPARE(message, told ? kLoadError : QString());
    QVERIFY(dictionary.active());
    QCOMPARE(dictionary.LanguageCode(), expected);
    const QString folder =
        expected == "exe" ? QCoreApplication::applicationDirPath() : folders.work();
    QCOMPARE(dictionary.fileName(), QDir(folder).filePath("language.xml"));
    // tags.xml stays in the working folder whichever dictionary was read.
    QCOMPARE(dictionary.tagsFileName(), QDir(folders.work()).filePath("tags.xml"));
}

void TestDictionary::startLanguage_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QLocale>("system");
    QTest::addColumn<QString>("expected");
    const QLocale spain(QLocale::Spanish, QLocale::Spain);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("Spanish system") << "" << spain << "es";
    QTest::newRow("Mexican Spanish system")
        << "" << QLocale(QLocale::Spanish, QLocale::Mexico) << "es";
    QTest::newRow("English system") << "" << us << "en";
    // No dictionary of its own: the look-up falls back to English.
    QTest::newRow("French system") << "" << QLocale(QLocale::French, QLocale::France) << "fr";
    QTest::newRow("C locale") << "" << QLocale::c() << "en";
    QTest::newRow("English chosen on a Spanish system") << "en" << spain << "en";
    QTest::newRow("Spanish chosen on an English system") << "es" << us << "es";
    QTest::newRow("a path is no choice") << "../es" << us << "en";
    QTest::newRow("capitals are no choice") << "ES" << us << "en";
}

void TestDictionary::startLanguage() {
    QFETCH(QString, chosen);
    QFETCH(QLocale, system);
    QFETCH(QString, expected);
    QCOMPARE(::startLanguage(chosen, system), expected);
}

void TestDictionary::dictionaryPaths_data() {
    QTest::addColumn<QString>("work");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("Spanish") << "/w"
                             << "es"
                             << QStringList{"/w/language.xml", "/exe/es/language.xml",
                                            "/usr/share/nereva-desktop/es/language.xml",
                                            "/exe/language.xml",
                                            "/usr/share/nereva-desktop/language.xml"};
    QTest::newRow("English") << "/w"
                             << "en"
                             << QStringList{"/w/language.xml", "/exe/language.xml",
                                            "/usr/share/nereva-desktop/language.xml"};
    QTest::newRow("no working folder")
        << ""
        << "es"
        << QStringList{"/exe/es/language.xml", "/usr/share/nereva-desktop/es/language.xml",
                       "/exe/language.xml", "/usr/share/nereva-desktop/language.xml"};
}

// The working folder first; then the language's own dictionary wherever the program keeps one,
// before any English one.
void TestDictionary::dictionaryPaths() {
    QFETCH(QString, work);
    QFETCH(QString, code);
    QFETCH(QStringList, expected);
    QCOMPARE(::dictionaryPaths(work, {"/exe", "/usr/share/nereva-desktop"}, code), expected);
}

void TestDictionary::chosenLanguageBesideTheProgram_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QByteArray>("spanish");
    QTest::addColumn<QByteArray>("working");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("told");
    const QByteArray spanish = dictionaryWithCode("es");
    QTest::newRow("Spanish chosen") << "es" << spanish << QByteArray() << "es" << false;
    QTest::newRow("English chosen") << "en" << spanish << QByteArray() << "exe" << false;
    QTest::newRow("no dictionary for the language chosen")
        << "fr" << spanish << QByteArray() << "exe" << false;
    QTest::newRow("Spanish one broken")
        << "es" << QByteArray("<language>") << QByteArray() << "exe" << true;
    QTest::newRow("working folder first")
        << "es" << spanish << dictionaryWithCode("work") << "work" << false;
}

// The language chosen in the options picks the dictionary beside the program; English stands
// in for one that is missing or cannot be loaded.
void TestDictionary::chosenLanguageBesideTheProgram() {
    QFETCH(QString, chosen);
    QFETCH(QByteArray, spanish);
    QFETCH(QByteArray, working);
    QFETCH(QString, expected);
    QFETCH(bool, told);
    TestSupport::TempFolders folders;
    DataFolder data(folders.appData());
    data.chooseLanguage(chosen);
    ProgramFolderDictionary english(dictionaryWithCode("exe"));
    ProgramFolderSpanish program(spanish);
    if (!working.isEmpty()) {
        writeFile("language.xml", working);
    }
    TdmIdioma dictionary;
    const QString message = loadMessage(dictionary);
    QCOMPARE(message, told ? kLoadError : QString());
    QCOMPARE(dictionary.LanguageCode(), expected);
}

void TestDictionary::latin1DictionaryDecodes() {
    TestSupport::TempFolders folders;
    writeFile("language.xml",
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"
              "<idioma><config><code>es</code></config><dictionary><texts>"
              "<cold>Fr\xEDo \xF1 \xC9</cold></texts></dictionary></idioma>");
    TdmIdioma dictionary;
    dictionary.DataModuleCreate();
    QCOMPARE(dictionary.LanguageCode(), QString("es"));
    QCOMPARE(dictionary.GetWord("cold"), QString::fromUtf8("Frío ñ É"));
}

void TestDictionary::missingSectionsBehaveAsEmpty() {
    TestSupport::TempFolders folders;
    writeFile("language.xml", "<?xml version=\"1.0\"?><root/>");
    TdmIdioma dictionary;
    dictionary.DataModuleCreate();
    QVERIFY(dictionary.active());
    QCOMPARE(dictionary.LanguageCode(), QString());
    QCOMPARE(dictionary.GetWord("anything"), QString());
    QCOMPARE(dictionary.MissingKeys(), QStringList{"<anything></anything>"});
}

void TestDictionary::tagsGoToDataFolderWithoutWorkingFolder() {
    TestSupport::TempFolders folders;
    DataFolder data(folders.appData());
    writeFile("language.xml", kDictionary);
    {
        TdmIdioma dictionary;
        dictionary.DataModuleCreate();
        dictionary.GetWord("gone");
        // Root may write anywhere, but not into a folder that no longer exists.
        QVERIFY(QDir(folders.work()).removeRecursively());
        QCOMPARE(dictionary.tagsFileName(), folders.appData() + "tags.xml");
    }
    QCOMPARE(readFile(folders.appData() + "tags.xml"), QByteArray("<gone></gone>\r\n"));
}

void TestDictionary::noUsableFolderWritesNothing() {
    TestSupport::TempFolders folders;
    DataFolder data{QString()};
    writeFile("language.xml", kDictionary);
    const bool rootHadTags = QFile::exists("/tags.xml");
    {
        TdmIdioma dictionary;
        dictionary.DataModuleCreate();
        dictionary.GetWord("gone");
        QVERIFY(QDir(folders.work()).removeRecursively());
        QCOMPARE(dictionary.tagsFileName(), QString());
    }
    // A bare name must not resolve against the file system root once the folder is gone.
    QCOMPARE(QFile::exists("/tags.xml"), rootHadTags);
}

void TestDictionary::folderAcceptsFiles_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("expected");
    QTest::newRow("folder") << "folder" << true;
    QTest::newRow("missing folder") << "missing" << false;
    QTest::newRow("plain file") << "file" << false;
    QTest::newRow("empty path") << "" << false;
}

void TestDictionary::folderAcceptsFiles() {
    QFETCH(QString, name);
    QFETCH(bool, expected);
    TestSupport::TempFolders folders;
    QDir().mkdir("folder");
    writeFile("file", "x");
    const QString path = name.isEmpty() ? name : QDir(folders.work()).filePath(name);
    QCOMPARE(::folderAcceptsFiles(path), expected);
    QCOMPARE(QDir("folder").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList());
}

NEREVA_TEST_MAIN(TestDictionary)
#include "test_dictionary.moc"
