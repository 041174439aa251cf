#include "cache/xml_tree.h"
#include "service_process.h"
#include "sync/dive_upload.h"
#include "sync/sync_run.h"
#include "sync_fixture.h"
#include "wire/sync_fields.h"

#include <QDir>
#include <QFile>
#include <QSslConfiguration>
#include <QStandardPaths>

namespace {

const QString kUser = QStringLiteral("anna");
const QString kPass = QStringLiteral("reef42");

// Notes as a diver writes them: line breaks, the field separator, a backslash, text outside
// ISO-8859-1.
const QString kNotes = QStringLiteral(
    "Manta at the cleaning station.\r\nSecond line ## not a new value \\n literal\nÆrø, 珊瑚礁, "
    "Ωmega");

// The desktop's service roots pointed at the real service.
void pointAt(SyncFixture& desktop, const ServiceProcess& service) {
    desktop.settings->BaseUrl = service.root();
    desktop.settings->UrlSyncro = service.root() + QStringLiteral("serv0.9/syncro/");
    desktop.settings->UrlInfo = service.root() + QStringLiteral("serv0.9/info/");
    desktop.settings->UrlRegister = service.root() + QStringLiteral("serv0.9/register/");
}

// Registers through the desktop's own transport, as the registration wizard posts it.
QByteArray registerMember(SyncFixture& desktop, const QString& user, const QString& email) {
    return desktop.comm.HttpStrPost(
        desktop.settings->UrlRegister,
        {QStringLiteral("param_user=") + user, QStringLiteral("param_pass=") + kPass,
         QStringLiteral("param_email=") + email, QStringLiteral("param_name=New Member"),
         QStringLiteral("param_idioma=en")});
}

void signIn(SyncFixture& desktop, const QString& user, const QString& name) {
    desktop.setMember({{"name", name},
                       {"inet_user", user},
                       {"inet_pass", kPass},
                       {"inet_email", user + QStringLiteral("@example.org")},
                       {"per_pub_personal", 1},
                       {"per_pub_dives", 2}});
}

// Every field that travels set, with values of their own.
int addFullDive(SyncFixture& desktop, const QDate& date, const QString& notes) {
    return desktop.addDive(date, QTime(9, 41),
                           {{"Location", "Cozumel"},
                            {"Site", "Palancar ## Gardens"},
                            {"pais", "México"},
                            {"estado", "Quintana Roo"},
                            {"Dive_Media", 1},
                            {"Dive_Type", 2},
                            {"coordinates", "20.3N"},
                            {"dive_rating", 4},
                            {"dive_day", 1},
                            {"operator", "Blue Dive"},
                            {"buddy", "Tom \\ Baker"},
                            {"team1", "Keiko 佐藤"}},
                           {{"dive_si", "01:30"},
                            {"altitude", 120.5},
                            {"depth", 12.25},
                            {"max_depth", 18.5},
                            {"depth_unit", 1},
                            {"bottom_time", "01:05"},
                            {"stop", "00:03"},
                            {"GP_in", "A"},
                            {"cond_temp_air", 28.5},
                            {"cond_Current_dir", "NE"},
                            {"cond_xWaves", 1},
                            {"cond_xSurge", 0},
                            {"observations", notes}},
                           {{"pres_in", 200.0},
                            {"pres_out", 50.0},
                            {"Dc_Vendor", "Suunto"},
                            {"suit_medida", "5/3"},
                            {"pro_wet", 1},
                            {"misc_gun", 1},
                            {"cil_size", 12.2},
                            {"cil_size_unit", 2}});
}

// The desktop's dives as it would upload them, keyed by service number, without the local
// number (each desktop numbers its dives itself).
QMap<QString, QStringList> divesByServiceNumber(SyncFixture& desktop) {
    QMap<QString, QStringList> dives;
    QByteArray bytes;
    DiveUpload(*desktop.tables).write(bytes);
    const QString body = QString::fromLatin1(bytes);
    for (const QString& line : body.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        QStringList values(DiveRecord::kValues);
        SyncFields::splitRecord(line, values);
        values[1].clear();
        dives.insert(values[0], values);
    }
    return dives;
}

// A certificate and key for 127.0.0.1 made by the local openssl in `dir`; false without openssl.
bool makeCertificate(const QDir& dir) {
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty()) {
        return false;
    }
    QProcess process;
    process.start(openssl,
                  {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                   "-nodes", "-keyout", dir.filePath(QStringLiteral("key.pem")), "-out",
                   dir.filePath(QStringLiteral("cert.pem")), "-days", "2", "-subj", "/CN=127.0.0.1",
                   "-addext", "subjectAltName=IP:127.0.0.1"});
    return process.waitForFinished(60 * 1000) && process.exitCode() == 0;
}

bool runSynchronisation() {
    SyncRun run;
    run.run();
    return !run.Aborted() && run.status(SyncTask::Dives) == TaskStatus::Completed;
}

}  // namespace

class TestServiceSync : public QObject {
    Q_OBJECT
private slots:
    void init() { ServiceProcess::emptyTestDatabase(); }
    void synchronisationBringsEveryValueBackUnchanged();
    void resynchronisationAndDeletionKeepOneCopyOfEachDive();
    void referenceTaskFillsTheCacheFromTheAdministratorsData();
    void logHasOneLinePerRequestAndNoPassword();
    void synchronisationOverTls();
};

void TestServiceSync::synchronisationBringsEveryValueBackUnchanged() {
    ServiceProcess service;
    QVERIFY2(service.port > 0, service.log().constData());
    const QString name = QStringLiteral("Ana ## Martínez 佐藤");
    QMap<QString, QStringList> sent;
    {
        SyncFixture desktop;
        pointAt(desktop, service);
        QCOMPARE(registerMember(desktop, kUser, QStringLiteral("anna@example.org")),
                 QByteArray("result=1\r\nanna\r\n"));
        signIn(desktop, kUser, name);
        const int local = addFullDive(desktop, QDate(2023, 7, 9), kNotes);
        addFullDive(desktop, QDate(2023, 7, 10), QStringLiteral("Second dive"));
        QVERIFY(runSynchronisation());
        QVERIFY(desktop.diveValue(local, QStringLiteral("id_dive")).toInt() > 0);
        QVERIFY(!desktop.diveValue(local, QStringLiteral("last_update")).isEmpty());
        QCOMPARE(desktop.diveValue(local, QStringLiteral("observations")), kNotes);
        QCOMPARE(desktop.diveValue(local, QStringLiteral("bottom_time")), QStringLiteral("01:05"));
        QCOMPARE(desktop.tables->cds_dives->recordCount(), 2);
        desktop.tables->cds_info->first();
        QCOMPARE(desktop.tables->cds_info->asString(QStringLiteral("name")), name);
        sent = divesByServiceNumber(desktop);
    }
    // Another desktop of the same member starts empty and gets every dive as it went up.
    SyncFixture other;
    pointAt(other, service);
    signIn(other, kUser, QString());
    QVERIFY(runSynchronisation());
    const QMap<QString, QStringList> received = divesByServiceNumber(other);
    QCOMPARE(received.keys(), sent.keys());
    for (const QString& id : sent.keys()) {
        for (int place = 0; place < DiveRecord::kValues; ++place) {
            QVERIFY2(received[id][place] == sent[id][place],
                     qPrintable(QStringLiteral("place %1: %2 / %3")
                                    .arg(place + 1)
                                    .arg(received[id][place], sent[id][place])));
        }
    }
}

void TestServiceSync::resynchronisationAndDeletionKeepOneCopyOfEachDive() {
    ServiceProcess service;
    QVERIFY(service.port > 0);
    SyncFixture desktop;
    pointAt(desktop, service);
    registerMember(desktop, kUser, QStringLiteral("anna@example.org"));
    signIn(desktop, kUser, QStringLiteral("Anna"));
    const int first = addFullDive(desktop, QDate(2023, 7, 9), kNotes);
    const int second = addFullDive(desktop, QDate(2023, 7, 10), QStringLiteral("Two"));
    QVERIFY(runSynchronisation());
    const QMap<QString, QStringList> before = divesByServiceNumber(desktop);
    QVERIFY(runSynchronisation());
    QCOMPARE(divesByServiceNumber(desktop).keys(), before.keys());
    QCOMPARE(desktop.tables->cds_dives->recordCount(), 2);

    // The diver deletes the first dive: the queue tells the service at the next run.
    const int gone = desktop.diveValue(first, QStringLiteral("id_dive")).toInt();
    QVERIFY(desktop.gotoDive(first));
    desktop.tables->cds_dives->remove();
    DeletionQueue::append(gone);
    QVERIFY(runSynchronisation());
    QVERIFY(!DeletionQueue::exists());
    QCOMPARE(desktop.tables->cds_dives->recordCount(), 1);
    QCOMPARE(divesByServiceNumber(desktop).keys(),
             QStringList{desktop.diveValue(second, QStringLiteral("id_dive"))});
}

void TestServiceSync::referenceTaskFillsTheCacheFromTheAdministratorsData() {
    ServiceProcess service;
    QVERIFY(service.port > 0);
    QFile csv(service.dir.filePath(QStringLiteral("locations.csv")));
    QVERIFY(csv.open(QIODevice::WriteOnly));
    csv.write(
        "location,smallname,country,state,site\nCozumel Reefs,Cozumel,Mexico,Quintana Roo,"
        "Palancar\nCozumel Reefs,Cozumel,Mexico,Quintana Roo,Colombia\n");
    csv.close();
    QVERIFY(service.admin({QStringLiteral("import-locations"), csv.fileName()})
                .contains("1 locations and 2 sites imported"));
    const QByteArray listed = service.admin({QStringLiteral("list-locations")});
    const QRegularExpressionMatch location =
        QRegularExpression(QStringLiteral("\n(\\d+)\tCozumel Reefs\t"))
            .match(QString::fromUtf8(listed));
    QVERIFY2(location.hasMatch(), listed.constData());
    QVERIFY(listed.contains("\t  Palancar\n"));

    SyncFixture desktop;
    pointAt(desktop, service);
    registerMember(desktop, QStringLiteral("bobby"), QStringLiteral("bob@example.org"));
    registerMember(desktop, kUser, QStringLiteral("anna@example.org"));
    signIn(desktop, kUser, QStringLiteral("Anna"));
    desktop.addDive(QDate(2023, 7, 9), QTime(9, 0),
                    {{"Location", "Cozumel Reefs"},
                     {"id_Location", location.captured(1).toInt()},
                     {"buddy", "Bob"},
                     {"id_buddy", 1}});
    QVERIFY(runSynchronisation());
    const XmlElement reference = desktop.cache->XMLLocalData.doc.documentElement();
    QVERIFY(reference.firstChildElement(QStringLiteral("countries")).childElementCount() > 200);
    QCOMPARE(reference.firstChildElement(QStringLiteral("agencies"))
                 .firstChildElement()
                 .firstChildElement(QStringLiteral("name"))
                 .text(),
             QStringLiteral("PADI"));
    const XmlElement cachedLocation =
        desktop.cache->XMLLocations.doc.documentElement().firstChildElement();
    QCOMPARE(cachedLocation.firstChildElement(QStringLiteral("id")).text(), location.captured(1));
    QCOMPARE(cachedLocation.firstChildElement(QStringLiteral("sites")).childElementCount(), 2);
    const XmlElement contact =
        desktop.cache->XMLContactList.doc.documentElement().firstChildElement();
    QCOMPARE(contact.firstChildElement(QStringLiteral("user")).text(), QStringLiteral("bobby"));
}

void TestServiceSync::logHasOneLinePerRequestAndNoPassword() {
    ServiceProcess service;
    QVERIFY(service.port > 0);
    SyncFixture desktop;
    pointAt(desktop, service);
    registerMember(desktop, kUser, QStringLiteral("anna@example.org"));
    signIn(desktop, kUser, QStringLiteral("Anna"));
    addFullDive(desktop, QDate(2023, 7, 9), QStringLiteral("One"));
    QVERIFY(runSynchronisation());
    // A line the service cannot read is skipped and counted.
    desktop.comm.HttpMultiPartPost(desktop.settings->UrlSyncro + QStringLiteral("dives.php"),
                                   QStringLiteral("not a dive\r\n"));
    const QString log = QString::fromUtf8(service.log());
    QVERIFY(!log.contains(kPass));
    const QStringList requests = log.split(u'\n').filter(QStringLiteral("\"POST ")) +
                                 log.split(u'\n').filter(QStringLiteral("\"GET "));
    // Registration, member record, dives, three reference downloads, the extra upload.
    QCOMPARE(requests.size(), 7);
    QVERIFY(log.contains(QStringLiteral("anna \"POST /serv0.9/syncro/dives.php\" 200")));
    QVERIFY(log.contains(QStringLiteral("lines=1 created=0 updated=0 skipped=1 dives=1")));
}

void TestServiceSync::synchronisationOverTls() {
    QTemporaryDir keys;
    if (!makeCertificate(QDir(keys.path()))) {
        QSKIP("no openssl to make a test certificate");
    }
    ServiceProcess service({QStringLiteral("--tls-cert"), keys.filePath(QStringLiteral("cert.pem")),
                            QStringLiteral("--tls-key"), keys.filePath(QStringLiteral("key.pem"))});
    QVERIFY2(service.port > 0, service.log().constData());
    const QSslConfiguration previous = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = previous;
    trusting.addCaCertificates(keys.filePath(QStringLiteral("cert.pem")));
    QSslConfiguration::setDefaultConfiguration(trusting);
    {
        SyncFixture desktop;
        pointAt(desktop, service);
        for (QString* root : {&desktop.settings->UrlSyncro, &desktop.settings->UrlInfo,
                              &desktop.settings->UrlRegister}) {
            root->replace(QStringLiteral("http://"), QStringLiteral("https://"));
        }
        QCOMPARE(registerMember(desktop, kUser, QStringLiteral("anna@example.org")),
                 QByteArray("result=1\r\nanna\r\n"));
        signIn(desktop, kUser, QStringLiteral("Anna"));
        const int local = addFullDive(desktop, QDate(2023, 7, 9), kNotes);
        QVERIFY(runSynchronisation());
        QVERIFY(desktop.diveValue(local, QStringLiteral("id_dive")).toInt() > 0);
    }
    QSslConfiguration::setDefaultConfiguration(previous);
}

NEREVA_TEST_MAIN(TestServiceSync)
#include "test_service_sync.moc"
