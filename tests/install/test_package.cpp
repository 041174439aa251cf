#include "app/settings/tdm_const.h"
#include "install_support.h"
#include "test_support.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>

using InstallSupport::Finished;

namespace {

// The package names of a Depends field: "a (>= 1), b | c" gives a, b and c.
QStringList packageNames(const QString& depends) {
    QStringList names;
    for (const QString& alternative : depends.split(QRegularExpression("[,|]"))) {
        const QString name = alternative.trimmed().section(QLatin1Char(' '), 0, 0);
        if (!name.isEmpty()) {
            names << name;
        }
    }
    return names;
}

QString output(const QString& program, const QStringList& arguments) {
    return QString::fromUtf8(InstallSupport::run(program, arguments).out).trimmed();
}

}  // namespace

class TestPackage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void holdsTheInstallationUnderUsr();
    void control_data();
    void control();
    void dependsOnlyOnDebianPackages();
    void runsNothingWhenInstalledOrRemoved();

private:
    QString field(const QString& name) const {
        return output("dpkg-deb", {"--field", package_, name});
    }

    QTemporaryDir out_;
    QString package_;
    QString version_;  // the program's own
};

void TestPackage::initTestCase() {
    {
        TestSupport::TempFolders folders;
        Tdm_const settings;
        settings.DataModuleCreate();
        version_ = settings.AppVersion;
    }
    const Finished cpack = InstallSupport::run(
        NEREVA_CPACK, {"--config", "CPackConfig.cmake", "-G", "DEB", "-B", out_.path()},
        NEREVA_BUILD_DIR);
    QVERIFY2(cpack.code == 0, qPrintable(cpack.text()));
    const QStringList debs = QDir(out_.path()).entryList({"*.deb"}, QDir::Files);
    const QString architecture = output("dpkg", {"--print-architecture"});
    QCOMPARE(debs, QStringList{"nereva-desktop_" + version_ + "_" + architecture + ".deb"});
    package_ = QDir(out_.path()).filePath(debs.first());
}

// The installation's files, with /usr as prefix, owned by root; no test, bench or other part of
// the build rides along.
void TestPackage::holdsTheInstallationUnderUsr() {
    const Finished listing = InstallSupport::run("dpkg-deb", {"--contents", package_});
    QCOMPARE(listing.code, 0);
    QStringList files;
    for (const QString& line : QString::fromUtf8(listing.out).split('\n', Qt::SkipEmptyParts)) {
        // "-rw-r--r-- root/root 316 2026-01-01 12:00 ./usr/share/..."
        const QStringList columns = line.split(' ', Qt::SkipEmptyParts);
        QVERIFY2(columns.size() == 6, qPrintable(line));
        QCOMPARE(columns[1], QString("root/root"));
        QVERIFY2(columns[0].startsWith('-') || columns[0].startsWith('d'), qPrintable(line));
        if (columns[0].startsWith('-')) {
            files << columns[5];
        }
    }
    files.sort();
    QStringList expected;
    for (const QString& file : InstallSupport::expectedFiles()) {
        expected << "./usr/" + file;
    }
    QCOMPARE(files, expected);
}

void TestPackage::control_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("package") << "Package"
                             << "nereva-desktop";
    QTest::newRow("version") << "Version" << version_;
    QTest::newRow("architecture") << "Architecture" << output("dpkg", {"--print-architecture"});
}

void TestPackage::control() {
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(field(name), expected);
}

// The libraries the program links to name their Debian packages, and apt finds every one of
// them (a simulated install of the file resolves).
void TestPackage::dependsOnlyOnDebianPackages() {
    const QStringList names = packageNames(field("Depends"));
    for (const char* name : {"libc6", "libqt6core6", "libqt6widgets6", "libqt6network6"}) {
        QVERIFY2(names.contains(name), qPrintable(field("Depends")));
    }
    const Finished simulated =
        InstallSupport::run("apt-get", {"install", "--simulate", "--yes", package_});
    QVERIFY2(simulated.code == 0, qPrintable(simulated.text()));
}

// Nothing but the package's own files is touched on install or removal: the diver's data
// folder stays as it is.
void TestPackage::runsNothingWhenInstalledOrRemoved() {
    QTemporaryDir control;
    const Finished extract =
        InstallSupport::run("dpkg-deb", {"--control", package_, control.path()});
    QVERIFY2(extract.code == 0, qPrintable(extract.text()));
    QCOMPARE(InstallSupport::filesUnder(control.path()), (QStringList{"control", "md5sums"}));
}

NEREVA_TEST_MAIN(TestPackage)
#include "test_package.moc"
