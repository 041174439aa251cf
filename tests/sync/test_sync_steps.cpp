#include "net/http_errors.h"
#include "sync/dive_exchange.h"
#include "sync/member_exchange.h"
#include "sync/reference_download.h"
#include "sync_fixture.h"

namespace {

const QByteArray kSpanish =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><language><config><code>es</code></config>"
    "<dictionary/></language>";

const QVariantMap kMember{{"name", "Ana # Martinez"}, {"address", ""},
                          {"city", "Cozumel"},        {"state", "QR"},
                          {"country", "MX"},          {"inet_user", "ana"},
                          {"inet_pass", "secret"},    {"inet_email", "ana@example.org"},
                          {"per_pub_personal", 1},    {"per_pub_dives", 0},
                          {"per_send1", 1},           {"per_send2", 0},
                          {"per_send3", 1},           {"per_send4", 0}};

QByteArray memberAnswer(const QByteArray& elements) {
    return "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?><member>" + elements + "</member>";
}

const QByteArray kFullAnswer = memberAnswer(
    "<name>Ana Mart\xednez \\h1</name><address>1 Reef Road</address><city>Playa</city>"
    "<state>Q. Roo</state><country>Mexico</country><email>ana@nereva.example</email>"
    "<pub_personal>0</pub_personal><pub_dives>1</pub_dives><per_send1>0</per_send1>"
    "<per_send2>1</per_send2><per_send3>0</per_send3><per_send4>1</per_send4>"
    "<user>other</user><pass>other</pass>");

QString member(SyncFixture& f, const char* field) {
    f.tables->cds_info->first();
    return f.tables->cds_info->asString(QString::fromLatin1(field));
}

QByteArray storeText(const XmlStore& store) {
    return toLatin1Xml(store.doc);
}

}  // namespace

class TestSyncSteps : public QObject {
    Q_OBJECT
private slots:
    void memberRecordGoesUpAsOneFieldList();
    void memberAnswerReplacesTheRecord();
    void memberAnswerWithoutAnElementClearsItsField();
    void memberFailureLeavesTheRecord_data();
    void memberFailureLeavesTheRecord();
    void memberValuesLongerThanTheirFieldsAreCut();
    void deletionQueueIsSentAndRemoved_data();
    void deletionQueueIsSentAndRemoved();
    void referenceDownloadsReplaceAndMerge();
    void failedReferenceDownloadKeepsItsDocument_data();
    void failedReferenceDownloadKeepsItsDocument();
};

void TestSyncSteps::memberRecordGoesUpAsOneFieldList() {
    SyncFixture f(kSpanish);
    f.settings->ViewAdvancedDives = true;
    f.setMember(kMember);
    f.service.answer("personal.xml.php", kFullAnswer);
    MemberExchange::run();
    const FakeService::Request* request = f.service.last("personal.xml.php");
    QVERIFY(request);
    QCOMPARE(request->method, QByteArray("POST"));
    QCOMPARE(request->target, QByteArray("/serv0.9/syncro/personal.xml.php"));
    QCOMPARE(
        request->formValue(),
        QByteArray("Ana \\h Martinez####Cozumel##QR##MX##ana@example.org##es##-1##1##0##1##0##1"
                   "##0\r\n"));
}

void TestSyncSteps::memberAnswerReplacesTheRecord() {
    SyncFixture f;
    f.setMember(kMember);
    f.service.answer("personal.xml.php", kFullAnswer);
    MemberExchange::run();
    QCOMPARE(member(f, "name"), QStringLiteral("Ana Martínez #1"));
    QCOMPARE(member(f, "address"), QStringLiteral("1 Reef Road"));
    QCOMPARE(member(f, "city"), QStringLiteral("Playa"));
    QCOMPARE(member(f, "state"), QStringLiteral("Q. Roo"));
    QCOMPARE(member(f, "country"), QStringLiteral("Mexico"));
    QCOMPARE(member(f, "inet_email"), QStringLiteral("ana@nereva.example"));
    QCOMPARE(member(f, "per_pub_personal"), QStringLiteral("0"));
    QCOMPARE(member(f, "per_pub_dives"), QStringLiteral("1"));
    QCOMPARE(member(f, "per_send1"), QStringLiteral("0"));
    QCOMPARE(member(f, "per_send4"), QStringLiteral("1"));
    QCOMPARE(member(f, "inet_user"), QStringLiteral("ana"));
    QCOMPARE(member(f, "inet_pass"), QStringLiteral("secret"));
    QVERIFY(f.cache->XMLGet.documentElement().isNull());
}

void TestSyncSteps::memberAnswerWithoutAnElementClearsItsField() {
    SyncFixture f;
    f.setMember(kMember);
    f.service.answer("personal.xml.php", memberAnswer("<name>Ana</name><per_send1>1</per_send1>"));
    MemberExchange::run();
    QCOMPARE(member(f, "name"), QStringLiteral("Ana"));
    QVERIFY(f.tables->cds_info->isNull("inet_email"));
    QVERIFY(f.tables->cds_info->isNull("per_pub_personal"));
    QCOMPARE(member(f, "per_send1"), QStringLiteral("1"));
}

void TestSyncSteps::memberFailureLeavesTheRecord_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("rejected login") << 401 << QByteArray("Unauthorized");
    QTest::newRow("server error") << 500 << QByteArray();
    QTest::newRow("not XML") << 200 << QByteArray("Fatal error in personal.xml.php");
    QTest::newRow("permission not a number")
        << 200 << memberAnswer("<name>New</name><per_send2>yes</per_send2>");
    QTest::newRow("error document") << 200 << QByteArray("<error>Invalid login</error>");
    QTest::newRow("no member element") << 200 << memberAnswer("<user>ana</user>");
    QTest::newRow("record one level down")
        << 200 << memberAnswer("<member><name>New</name><per_send2>1</per_send2></member>");
}

void TestSyncSteps::memberFailureLeavesTheRecord() {
    QFETCH(int, status);
    QFETCH(QByteArray, answer);
    SyncFixture f;
    f.setMember(kMember);
    f.service.answer("personal.xml.php", answer, status);
    QVERIFY_THROWS_EXCEPTION(AppError, MemberExchange::run());
    QCOMPARE(member(f, "name"), QStringLiteral("Ana # Martinez"));
    QCOMPARE(member(f, "per_send2"), QStringLiteral("0"));
    QCOMPARE(f.tables->cds_info->state(), Table::State::Browse);
    QVERIFY(f.cache->XMLGet.documentElement().isNull());
}

void TestSyncSteps::memberValuesLongerThanTheirFieldsAreCut() {
    SyncFixture f;
    f.setMember(kMember);
    const QByteArray name = "Ana Maria de los Angeles Martinez y Hernandez";  // 45 characters
    f.service.answer("personal.xml.php",
                     memberAnswer("<name>" + name + "</name><city>Playa</city>"));
    MemberExchange::run();
    QCOMPARE(member(f, "name"), QString::fromLatin1(name.left(40)));
    QCOMPARE(member(f, "city"), QStringLiteral("Playa"));
}

void TestSyncSteps::deletionQueueIsSentAndRemoved_data() {
    QTest::addColumn<QByteArray>("queue");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");  // empty: nothing is sent
    QTest::addColumn<bool>("kept");
    QTest::newRow("two dives") << QByteArray("17##203##") << 200
                               << QByteArray("del=17%23%23203%23%23") << false;
    QTest::newRow("service failing, kept for the next run")
        << QByteArray("17##") << 503 << QByteArray("del=17%23%23") << true;
    QTest::newRow("line break left")
        << QByteArray("5##\r\n") << 200 << QByteArray("del=5%23%23") << false;
    QTest::newRow("empty") << QByteArray() << 200 << QByteArray() << false;
}

void TestSyncSteps::deletionQueueIsSentAndRemoved() {
    QFETCH(QByteArray, queue);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, kept);
    SyncFixture f;
    TestSupport::writeFile(DeletionQueue::fileName(), queue);
    f.service.answer("delete.php", "OK", status);
    DiveExchange::sendDeletionQueue();
    QCOMPARE(DeletionQueue::exists(), kept);
    if (kept) {
        QCOMPARE(TestSupport::readFile(DeletionQueue::fileName()), queue);
        QCOMPARE(DiveExchange::queuedDeletions(), QSet<int>{17});
    }
    if (body.isEmpty()) {
        QVERIFY(f.service.requests.isEmpty());
        return;
    }
    QCOMPARE(f.service.scripts(), QByteArrayList{"delete.php"});
    QCOMPARE(f.service.requests[0].body, body);
    QVERIFY(f.service.requests[0].raw.contains("application/x-www-form-urlencoded"));
}

void TestSyncSteps::referenceDownloadsReplaceAndMerge() {
    SyncFixture f;
    const XmlDocument stored = XmlDocument::parse(
        QByteArray("<init><l><id>1</id><name>One</name></l><l><id>2</id><name>Two</name>"
                   "</l><l><id>3</id><name>Three</name></l></init>"),
        "stored");
    TdmLocalData::replaceRoot(f.cache->XMLLocations, stored.documentElement());
    f.service.answer("localdata.xml.php",
                     "<reference><countries><c><name>Mexico</name></c></countries></reference>");
    f.service.answer("locations.xml.php",
                     "<list><l><id>2</id><name>Two again</name></l><l><id>4</id><name>Four</name>"
                     "</l></list>");
    f.service.answer("contactlist.xml.php",
                     "<list><c><id>9</id><name>Tom</name><user>tom</user></c></list>");
    ReferenceDownload::run();
    QCOMPARE(f.service.scripts(),
             (QByteArrayList{"localdata.xml.php", "locations.xml.php", "contactlist.xml.php"}));
    QCOMPARE(f.service.requests[0].target,
             QByteArray("/serv0.9/info/localdata.xml.php?param_idioma="));
    QCOMPARE(f.service.requests[1].target,
             QByteArray("/serv0.9/info/locations.xml.php?param_idioma="));
    QCOMPARE(f.service.requests[2].target, QByteArray("/serv0.9/info/contactlist.xml.php?"));
    const XmlElement reference = f.cache->XMLLocalData.doc.documentElement();
    QCOMPARE(reference.tagName(), QStringLiteral("reference"));
    QCOMPARE(TdmLocalData::childText(reference.firstChildElement("countries").firstChildElement(),
                                     "name"),
             QStringLiteral("Mexico"));
    QStringList names;
    for (XmlElement e = f.cache->XMLLocations.doc.documentElement().firstChildElement();
         !e.isNull(); e = e.nextSiblingElement()) {
        names << TdmLocalData::childText(e, "name");
    }
    QCOMPARE(names, (QStringList{"One", "Three", "Two again", "Four"}));
    QCOMPARE(TdmLocalData::childText(
                 f.cache->XMLContactList.doc.documentElement().firstChildElement(), "user"),
             QStringLiteral("tom"));
    QVERIFY(TestSupport::readFile(f.cache->XMLLocalData.fileName).contains("Mexico"));
    QVERIFY(f.cache->XMLGet.documentElement().isNull());
}

void TestSyncSteps::failedReferenceDownloadKeepsItsDocument_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("server error") << 500 << QByteArray("<reference/>");
    QTest::newRow("not XML") << 200 << QByteArray("<reference><countries>");
    QTest::newRow("nested 120,000 deep")
        << 200 << QByteArray("<a>").repeated(120000) + QByteArray("</a>").repeated(120000);
}

void TestSyncSteps::failedReferenceDownloadKeepsItsDocument() {
    QFETCH(int, status);
    QFETCH(QByteArray, answer);
    SyncFixture f;
    const QByteArray before = storeText(f.cache->XMLLocalData);
    const QByteArray fileBefore = TestSupport::readFile(f.cache->XMLLocalData.fileName);
    f.service.answer("localdata.xml.php", answer, status);
    f.service.answer("locations.xml.php", "<list><l><id>4</id><name>Four</name></l></list>");
    f.service.answer("contactlist.xml.php", "<list/>", 404);
    ReferenceDownload::run();
    QCOMPARE(storeText(f.cache->XMLLocalData), before);
    QCOMPARE(TestSupport::readFile(f.cache->XMLLocalData.fileName), fileBefore);
    QCOMPARE(TdmLocalData::childText(
                 f.cache->XMLLocations.doc.documentElement().firstChildElement(), "name"),
             QStringLiteral("Four"));
    QCOMPARE(f.service.requests.size(), 3);
}

NEREVA_TEST_MAIN(TestSyncSteps)
#include "test_sync_steps.moc"
