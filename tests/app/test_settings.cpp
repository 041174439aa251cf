#include "app/settings/app_error.h"
#include "app/settings/atomic_file.h"
#include "app/settings/ini_file.h"
#include "app/settings/regional_formats.h"
#include "app/settings/tdm_const.h"
#include "app/settings/write_failures.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>

using TestSupport::readFile;
using TestSupport::writeFile;

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void iniMatchesSectionsAndKeysWithoutCase();
    void iniKeepsUnknownLinesAndAddsMissingKeys();
    void iniReadsNonNumbersAsDefault_data();
    void iniReadsNonNumbersAsDefault();
    void iniSeesWritesOfAnotherObject();
    void iniSeesTheFileChangedByOthers();
    void iniFollowsTheFirstSectionAndKeyOfAName();
    void iniKeepsLinesThatAreNotUtf8ByteForByte();
    void iniWriteTheFileCannotTakeIsKeptReportedOnceAndRetried();
    void firstRunCreatesFoldersAndWritesAllPreferences();
    void preferencesSurviveARestart();
    void baseUrlOverrideGetsATrailingSlash();
    void noDataFolderUsesBareNames();
    void unwritableDataFolderFails();
    void laxModesAreTightened();
    void regionalFormats();
};

void TestSettings::iniMatchesSectionsAndKeysWithoutCase() {
    TestSupport::TempFolders folders;
    writeFile("a.ini", "[Position]\r\nDives_H=120\r\n");
    TIniFile ini("a.ini");
    QCOMPARE(ini.readInteger("position", "dives_h", 80), 120);
    ini.writeInteger("POSITION", "DIVES_H", 90);
    QCOMPARE(readFile("a.ini"), QByteArray("[Position]\r\nDIVES_H=90\r\n"));
}

void TestSettings::iniKeepsUnknownLinesAndAddsMissingKeys() {
    TestSupport::TempFolders folders;
    writeFile("a.ini", "; comment\n[One]\nx=1\nodd line\n\n[Two]\ny=2\n");
    TIniFile ini("a.ini");
    ini.writeString("One", "z", "3");
    ini.writeString("Three", "w", "4");
    QCOMPARE(readFile("a.ini"),
             QByteArray("; comment\n[One]\nx=1\nodd line\nz=3\n\n[Two]\ny=2\n[Three]\nw=4\n"));
    QCOMPARE(ini.readString("two", "Y", ""), QString("2"));
    QCOMPARE(ini.readString("two", "missing", "def"), QString("def"));
}

void TestSettings::iniReadsNonNumbersAsDefault_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("number") << QByteArray("7") << 7;
    QTest::newRow("negative") << QByteArray("-1") << -1;
    QTest::newRow("blanks around") << QByteArray("  12  ") << 12;
    QTest::newRow("letters") << QByteArray("metres") << 5;
    QTest::newRow("trailing letters") << QByteArray("2x") << 5;
    QTest::newRow("fraction") << QByteArray("1.5") << 5;
    QTest::newRow("empty") << QByteArray("") << 5;
}

void TestSettings::iniReadsNonNumbersAsDefault() {
    QFETCH(QByteArray, text);
    QFETCH(int, expected);
    TestSupport::TempFolders folders;
    writeFile("a.ini", "[Defaults]\nUnit_Dist=" + text + "\n");
    QCOMPARE(TIniFile("a.ini").readInteger("Defaults", "Unit_Dist", 5), expected);
    QCOMPARE(TIniFile("a.ini").readBool("Defaults", "Unit_Dist", true), expected != 0);
}

void TestSettings::iniSeesWritesOfAnotherObject() {
    TestSupport::TempFolders folders;
    TIniFile first("a.ini");
    TIniFile second("a.ini");
    first.writeString("Dock", "Convert", "-1");
    QCOMPARE(second.readString("Dock", "Convert", "0"), QString("-1"));
}

void TestSettings::iniSeesTheFileChangedByOthers() {
    TestSupport::TempFolders folders;
    writeFile("a.ini", "[Dock]\nConvert=0\n");
    TIniFile ini("a.ini");
    QCOMPARE(ini.readString("Dock", "Convert", "x"), QString("0"));
    writeFile("a.ini", "[Dock]\nConvert=1\n");  // same size, in place
    QCOMPARE(ini.readString("Dock", "Convert", "x"), QString("1"));
    QFile::remove("a.ini");
    QCOMPARE(ini.readString("Dock", "Convert", "x"), QString("x"));
}

void TestSettings::iniFollowsTheFirstSectionAndKeyOfAName() {
    TestSupport::TempFolders folders;
    writeFile("a.ini", "k=0\n[A]\nk=1\n k = 2\n\n[B]\nx=1\n[ a ]\nk=3\nm=4\n");
    TIniFile ini("a.ini");
    QCOMPARE(ini.readString("a", "K", ""), QString("1"));
    QCOMPARE(ini.readString("A", "m", "none"), QString("none"));  // only in the second [a]
    ini.writeString("A", "m", "5");
    ini.writeString("B", "y", "2");
    QCOMPARE(readFile("a.ini"),
             QByteArray("k=0\n[A]\nk=1\n k = 2\nm=5\n\n[B]\nx=1\ny=2\n[ a ]\nk=3\nm=4\n"));
    QCOMPARE(ini.readString("B", "x", ""), QString("1"));
    QCOMPARE(ini.readString("A", "m", ""), QString("5"));
}

void TestSettings::iniKeepsLinesThatAreNotUtf8ByteForByte() {
    TestSupport::TempFolders folders;
    const QByteArray foreign = "; caf\xE9 \xFF\xFE\r\n[One]\r\nx=\xC3(\r\n\x80odd=\xE9t\xE9\r\n";
    writeFile("a.ini", foreign);
    TIniFile ini("a.ini");
    ini.writeString("One", "y", "Zoë");
    QCOMPARE(readFile("a.ini"), foreign + "y=Zo\xC3\xAB\r\n");
    QCOMPARE(ini.readString("one", "Y", ""), QString("Zoë"));
    QCOMPARE(ini.readString("One", "x", ""), QString("\uFFFD("));
}

void TestSettings::iniWriteTheFileCannotTakeIsKeptReportedOnceAndRetried() {
    TestSupport::TempFolders folders;
    QStringList reports;
    WriteFailures::setReporter([&reports](const QString& message) { reports << message; });
    QDir().mkdir("data");
    TIniFile ini("data/a.ini");
    ini.writeString("Position", "Dives_h", "80");
    // The folder goes and a file takes its name: no write can succeed, not even as root.
    QVERIFY(QDir().rename("data", "moved"));
    writeFile("data", "in the way");
    ini.writeString("Position", "Dives_h", "90");
    ini.writeString("Position", "Dives_tree_w", "200");
    QCOMPARE(reports.size(), 1);
    QVERIFY2(reports[0].contains("data/a.ini"), qPrintable(reports[0]));
    QCOMPARE(ini.readInteger("Position", "Dives_h", 0), 90);  // kept in memory
    QFile::remove("data");
    QVERIFY(QDir().rename("moved", "data"));
    ini.writeString("Defaults", "Unit_Dist", "1");
    QCOMPARE(readFile("data/a.ini"),
             QByteArray("[Position]\nDives_h=90\nDives_tree_w=200\n[Defaults]\nUnit_Dist=1\n"));
    QVERIFY(!WriteFailures::failing("data/a.ini"));
    QVERIFY(QDir().rename("data", "moved"));
    writeFile("data", "in the way");
    ini.writeString("Defaults", "Unit_Dist", "2");
    QCOMPARE(reports.size(), 2);  // a new failure after a success is told again
    WriteFailures::setReporter(nullptr);
}

void TestSettings::firstRunCreatesFoldersAndWritesAllPreferences() {
    TestSupport::TempFolders folders;
    {
        Tdm_const settings;
        settings.DataModuleCreate();
        QCOMPARE(settings.AppDataDir, folders.appData());
        QCOMPARE(settings.DbDir, folders.appData() + "DB0.7/");
        QVERIFY(QFileInfo(settings.DbDir).isDir());
        QCOMPARE(QFileInfo(folders.appData()).permissions() & 0x0077, QFile::Permissions());
        QVERIFY(!settings.ViewAdvancedDives);
        QCOMPARE(settings.Unit_Pres, 0);
        QCOMPARE(settings.AppVersion, QString("0.7.15b"));
        QCOMPARE(settings.UrlSyncro, settings.BaseUrl + "serv0.9/syncro/");
        QCOMPARE(settings.UrlRegister, settings.BaseUrl + "serv0.9/register/");
        QCOMPARE(settings.UrlInfo, settings.BaseUrl + "serv0.9/info/");
        QVERIFY(!QFileInfo::exists(folders.appData() + "desktop.ini"));
    }
    const QByteArray ini = readFile(folders.appData() + "desktop.ini");
    QCOMPARE(ini, QByteArray("[Preferences]\nViewRegionSites=0\nViewAdvancedDives=0\n"
                             "[InternetConnection]\nProxyHost=\nProxyPort=\nDialupConnection=0\n"
                             "[Defaults]\nUnit_Dist=0\nUnit_Temp=0\nUnit_Pres=0\n"));
    QCOMPARE(QFileInfo(folders.appData() + "desktop.ini").permissions() & 0x0077,
             QFile::Permissions());
}

void TestSettings::preferencesSurviveARestart() {
    TestSupport::TempFolders folders;
    {
        Tdm_const settings;
        settings.DataModuleCreate();
        settings.ViewAdvancedDives = true;
        settings.ProxyHost = "proxy.local";
        settings.Unit_Temp = 2;
        settings.Language = "es";
    }
    QVERIFY(readFile(folders.appData() + "desktop.ini")
                .contains("[Preferences]\nViewRegionSites=0\nViewAdvancedDives=1\nLanguage=es\n"));
    Tdm_const settings;
    settings.DataModuleCreate();
    QVERIFY(settings.ViewAdvancedDives);
    QCOMPARE(settings.ProxyHost, QString("proxy.local"));
    QCOMPARE(settings.Unit_Temp, 2);
    QCOMPARE(settings.Language, QString("es"));
}

void TestSettings::baseUrlOverrideGetsATrailingSlash() {
    TestSupport::TempFolders folders;
    QDir().mkpath(folders.appData());
    writeFile(folders.appData() + "desktop.ini",
              "[internetconnection]\nbaseurl=http://127.0.0.1:8080/nereva\n");
    Tdm_const settings;
    settings.DataModuleCreate();
    QCOMPARE(settings.BaseUrl, QString("http://127.0.0.1:8080/nereva/"));
    QCOMPARE(settings.UrlInfo, QString("http://127.0.0.1:8080/nereva/serv0.9/info/"));
}

void TestSettings::noDataFolderUsesBareNames() {
    TestSupport::TempFolders folders;
    // A home that is a file: no data folder can be made under it.
    const QByteArray home = qgetenv("HOME");
    writeFile(folders.root() + "/home", "x");
    qunsetenv("XDG_DATA_HOME");
    qputenv("HOME", (folders.root() + "/home").toLocal8Bit());
    Tdm_const settings;
    settings.DataModuleCreate();
    qputenv("HOME", home);
    QCOMPARE(settings.AppDataDir, QString());
    QCOMPARE(settings.DbDir, QString("DB0.7/"));
    QVERIFY(QFileInfo(folders.work() + "/DB0.7").isDir());
    QCOMPARE(settings.IniFile->fileName(), QString("desktop.ini"));
}

void TestSettings::unwritableDataFolderFails() {
    TestSupport::TempFolders folders;
    // A file where the program's folder should be: it cannot be created.
    writeFile(folders.dataHome() + "/nereva-desktop", "x");
    Tdm_const settings;
    QVERIFY_THROWS_EXCEPTION(IoError, settings.DataModuleCreate());
    QVERIFY(!settings.IniFile);
    QCOMPARE(settings.AppVersion, QString("0.7.15b"));
}

// A data folder restored from a backup with looser modes: the folders are tightened at start,
// and every file the program writes is its owner's only, whatever mode it had.
void TestSettings::laxModesAreTightened() {
    TestSupport::TempFolders folders;
    const QFile::Permissions lax =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
    const QFile::Permissions laxFolder = lax | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QDir().mkpath(folders.appData() + "DB0.7");
    writeFile(folders.appData() + "desktop.ini", "[Preferences]\nViewRegionSites=1\n");
    writeFile(folders.appData() + "DB0.7/member.xml", "<x/>");
    QFile::setPermissions(folders.appData() + "desktop.ini", lax);
    QFile::setPermissions(folders.appData() + "DB0.7/member.xml", lax);
    QFile::setPermissions(folders.appData(), laxFolder);
    QFile::setPermissions(folders.appData() + "DB0.7", laxFolder);
    {
        Tdm_const settings;
        settings.DataModuleCreate();
        for (const QString& folder : {settings.AppDataDir, settings.DbDir}) {
            QCOMPARE(QFileInfo(folder).permissions() & 0x0077, QFile::Permissions());
        }
        writeFileAtomically(settings.DbDir + "member.xml", "<y/>");
        QCOMPARE(QFileInfo(settings.DbDir + "member.xml").permissions() & 0x0077,
                 QFile::Permissions());
    }
    QCOMPARE(QFileInfo(folders.appData() + "desktop.ini").permissions() & 0x0077,
             QFile::Permissions());
}

void TestSettings::regionalFormats() {
    using namespace RegionalFormats;
    QCOMPARE(formatDate(QDate(2024, 3, 7)), QString("3/7/2024"));
    QCOMPARE(parseDate(" 3/07/2024"), std::optional<QDate>(QDate(2024, 3, 7)));
    QVERIFY(!parseDate("13/1/2024"));
    QVERIFY(!parseDate("2024-03-07"));
    QCOMPARE(formatTime(QTime(9, 5)), QString("09:05:00"));
    QCOMPARE(parseTime("9:05"), std::optional<QTime>(QTime(9, 5)));
    QCOMPARE(formatFloat(12.5), QString("12.5"));
    QCOMPARE(formatFloat(0.1), QString("0.1"));
    QCOMPARE(parseFloat("1,5"), std::optional<double>());
    QCOMPARE(formatDateTime(QDateTime(QDate(2020, 1, 2), QTime(10, 0))),
             QString("1/2/2020 10:00:00"));
    QCOMPARE(parseDateTime("1/2/2020 10:00:00"),
             std::optional<QDateTime>(QDateTime(QDate(2020, 1, 2), QTime(10, 0))));
}

NEREVA_TEST_MAIN(TestSettings)
#include "test_settings.moc"
