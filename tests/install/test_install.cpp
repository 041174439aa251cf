#include "install_support.h"
#include "test_support.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

using InstallSupport::Finished;
using TestSupport::readFile;

namespace {

const QString kId = QStringLiteral("net.nereva.Desktop");
const QString kLoadError = QStringLiteral("No es posible cargar el diccionario del idioma!");

// What the probe printed: "name=value" lines.
QMap<QString, QString> report(const Finished& finished) {
    QMap<QString, QString> values;
    for (const QString& line : QString::fromUtf8(finished.out).split(QLatin1Char('\n'))) {
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0) {
            values.insert(line.left(equals), line.mid(equals + 1));
        }
    }
    return values;
}

// The "Key=value" lines of a desktop entry.
QMap<QString, QString> desktopEntry(const QString& path) {
    QMap<QString, QString> values;
    for (const QByteArray& line : readFile(path).split('\n')) {
        const int equals = line.indexOf('=');
        if (equals > 0) {
            values.insert(QString::fromUtf8(line.left(equals)),
                          QString::fromUtf8(line.mid(equals + 1)));
        }
    }
    return values;
}

}  // namespace

class TestInstall : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void installsWhereTheDesktopLooks();
    void iconBitmaps_data();
    void iconBitmaps();
    void entriesValidate_data();
    void entriesValidate();
    void entriesNameWhatIsInstalled();
    void startsFromAnotherFolder_data();
    void startsFromAnotherFolder();

private:
    // Starts the probe beside the program installed under `prefix`, in the working folder
    // `work`, under the locale `locale` (LANG), over a fresh data folder whose settings hold the
    // language `chosen` in the options, if any.
    Finished startInstalled(const QString& prefix, const QString& work,
                            const QString& locale = QStringLiteral("en_US.UTF-8"),
                            const QString& chosen = QString());
    QString installed(const QString& path) const { return prefix_.filePath(path); }

    QTemporaryDir prefix_;
    QMap<QString, QString> started_;  // the probe's report from the installation
};

void TestInstall::initTestCase() {
    const Finished install = InstallSupport::installInto(prefix_.path());
    QVERIFY2(install.code == 0, qPrintable(install.text()));
    QTemporaryDir work;
    const Finished probe = startInstalled(prefix_.path(), work.path());
    QVERIFY2(probe.code == 0, qPrintable(probe.text()));
    started_ = report(probe);
}

// Everything at the place a desktop looks for it, and nothing else: no test, bench or tool of
// the build is installed.
void TestInstall::installsWhereTheDesktopLooks() {
    QStringList files = InstallSupport::filesUnder(prefix_.path());
    files.removeOne(QStringLiteral("bin/nereva-install-probe"));  // put there by this test
    QCOMPARE(files, InstallSupport::expectedFiles());
    QVERIFY(QFileInfo(installed("bin/nereva-desktop")).isExecutable());
    const QString data = QStringLiteral("share/nereva-desktop/");
    for (const QString& file : files) {
        if (file.startsWith(data)) {
            QCOMPARE(readFile(installed(file)), readFile(qEnvironmentVariable("NEREVA_SOURCE_DIR") +
                                                         "/resources/" + file.mid(data.size())));
        }
    }
}

void TestInstall::iconBitmaps_data() {
    QTest::addColumn<int>("size");
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        QTest::addRow("%d", size) << size;
    }
}

// Each bitmap has the size of the folder it lies in, and shows the drawing: an opaque tile with
// transparent rounded corners.
void TestInstall::iconBitmaps() {
    QFETCH(int, size);
    const QImage image(
        installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(kId)));
    QCOMPARE(image.size(), QSize(size, size));
    QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
}

void TestInstall::entriesValidate_data() {
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");
    QTest::newRow("menu entry") << "desktop-file-validate" << QStringList()
                                << "share/applications/" + kId + ".desktop";
    QTest::newRow("software-centre metadata")
        << "appstreamcli" << QStringList{"validate", "--no-net"}
        << "share/metainfo/" + kId + ".metainfo.xml";
}

// Clean, not merely passing: both tools also print warnings that keep their exit code at 0.
void TestInstall::entriesValidate() {
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    const Finished check = InstallSupport::run(tool, arguments << installed(file));
    QVERIFY2(check.code == 0, qPrintable(tool + ": " + check.text()));
    for (const QString& line : check.text().split(QLatin1Char('\n'))) {
        QVERIFY2(!line.contains(QLatin1String("warning"), Qt::CaseInsensitive) &&
                     !line.startsWith(QLatin1String("W:")) && !line.startsWith(QLatin1String("E:")),
                 qPrintable(check.text()));
    }
}

// The menu entry starts the installed program with the installed icon, the metadata points at
// that entry and carries the program's own version, and the program's windows name the entry.
void TestInstall::entriesNameWhatIsInstalled() {
    const QMap<QString, QString> entry =
        desktopEntry(installed("share/applications/" + kId + ".desktop"));
    QVERIFY(QFileInfo(installed("bin/" + entry.value("Exec"))).isExecutable());
    QCOMPARE(entry.value("Icon"), kId);
    QCOMPARE(entry.value("Name"), QString("NEREVA Desktop"));
    QCOMPARE(started_.value("desktop_file"), kId);

    QDomDocument metainfo;
    QVERIFY(metainfo.setContent(readFile(installed("share/metainfo/" + kId + ".metainfo.xml"))));
    const QDomElement component = metainfo.documentElement();
    QCOMPARE(component.firstChildElement("id").text(), kId);
    QCOMPARE(component.firstChildElement("launchable").text(), kId + ".desktop");
    QCOMPARE(component.firstChildElement("provides").firstChildElement("binary").text(),
             entry.value("Exec"));
    const QDomElement release =
        component.firstChildElement("releases").firstChildElement("release");
    QVERIFY(!started_.value("version").isEmpty());
    QCOMPARE(release.attribute("version"), started_.value("version"));
}

void TestInstall::startsFromAnotherFolder_data() {
    QTest::addColumn<QString>("locale");  // $LANG
    QTest::addColumn<QString>("chosen");  // the language chosen in the options
    QTest::addColumn<QByteArray>("workingDictionary");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QString>("language");  // "en", "es": the installed dictionaries
    QTest::addColumn<QString>("message");
    QTest::newRow("installed dictionary") << "en_US.UTF-8"
                                          << "" << QByteArray() << false << "en"
                                          << "";
    QTest::newRow("Spanish locale") << "es_ES.UTF-8"
                                    << "" << QByteArray() << false << "es"
                                    << "";
    QTest::newRow("Spanish locale, English chosen") << "es_MX.UTF-8"
                                                    << "en" << QByteArray() << false << "en"
                                                    << "";
    QTest::newRow("English locale, Spanish chosen") << "en_GB.UTF-8"
                                                    << "es" << QByteArray() << false << "es"
                                                    << "";
    QTest::newRow("working folder first")
        << "es_ES.UTF-8"
        << ""
        << QByteArray(
               "<?xml version=\"1.0\"?><language><config><code>zz</code></config>"
               "<dictionary><loading_db>Loading</loading_db></dictionary></language>")
        << false << "zz"
        << "";
    QTest::newRow("broken one in the working folder")
        << "es_ES.UTF-8"
        << "" << QByteArray("<language>") << false << "es" << kLoadError;
    QTest::newRow("installation moved elsewhere") << "es_ES.UTF-8"
                                                  << "" << QByteArray() << true << "es"
                                                  << "";
}

// Started from another folder, the installed program reaches its main window with the
// dictionary of its user's language (the one chosen in the options, else the locale's) and the
// icon of its installation, unless the working folder holds a dictionary that loads, and ends
// cleanly.
void TestInstall::startsFromAnotherFolder() {
    QFETCH(QString, locale);
    QFETCH(QString, chosen);
    QFETCH(QByteArray, workingDictionary);
    QFETCH(bool, moved);
    QFETCH(QString, language);
    QFETCH(QString, message);
    QTemporaryDir elsewhere;
    QString prefix = prefix_.path();
    if (moved) {
        const QString first = elsewhere.filePath("first");
        const Finished install = InstallSupport::installInto(first);
        QVERIFY2(install.code == 0, qPrintable(install.text()));
        prefix = elsewhere.filePath("moved");
        QVERIFY(QDir().rename(first, prefix));
    }
    const QString work = elsewhere.filePath("work");
    QDir().mkpath(work);
    if (!workingDictionary.isEmpty()) {
        TestSupport::writeFile(QDir(work).filePath("language.xml"), workingDictionary);
    }
    const Finished probe = startInstalled(prefix, work, locale, chosen);
    QVERIFY2(probe.code == 0, qPrintable(probe.text()));
    const QMap<QString, QString> found = report(probe);
    QVERIFY2(found.value("message") == message, qPrintable(probe.text()));
    const QString installedData = QDir(prefix).filePath("share/nereva-desktop/");
    const QString dictionary = language == "en"   ? installedData + "language.xml"
                               : language == "es" ? installedData + "es/language.xml"
                                                  : QDir(work).filePath("language.xml");
    QCOMPARE(found.value("dictionary"), dictionary);
    QCOMPARE(found.value("language"), language);
    QCOMPARE(found.value("main_window"), "NEREVA Desktop " + found.value("version"));
    QCOMPARE(found.value("window_icon"), QString("16,24,32,48,64,128,256,512"));
    QCOMPARE(found.value("ended"), QString("0"));
}

Finished TestInstall::startInstalled(const QString& prefix, const QString& work,
                                     const QString& locale, const QString& chosen) {
    const QString probe = QDir(prefix).filePath("bin/nereva-install-probe");
    if (!QFileInfo::exists(probe) && !QFile::copy(QStringLiteral(NEREVA_PROBE), probe)) {
        return {};
    }
    QTemporaryDir folders;
    const QString runtime = folders.filePath("runtime");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("XDG_DATA_HOME", folders.filePath("data"));
    environment.insert("XDG_RUNTIME_DIR", runtime);
    for (const char* overriding : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"}) {
        environment.remove(overriding);
    }
    environment.insert("LANG", locale);
    if (!chosen.isEmpty()) {
        const QString data = folders.filePath("data/nereva-desktop");
        QDir().mkpath(data);
        TestSupport::writeFile(data + "/desktop.ini", "[Preferences]\nLanguage=" + chosen.toUtf8());
    }
    return InstallSupport::run(probe, {}, work, environment);
}

NEREVA_TEST_MAIN(TestInstall)
#include "test_install.moc"
