#include "service/admin.h"
#include "service/invitations.h"
#include "service_requests.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTextStream>

using namespace ServiceRequests;

namespace {

const QString kPass = QStringLiteral("reef42");

QString memberRecord(const QStringList& values) {
    return SyncFields::joinRecord(values) + QStringLiteral("\r\n");
}

// The member record with these personal values and publication choice.
QStringList memberValues(const QString& name, const QString& country, const QString& email,
                         int publication) {
    return {name,
            QStringLiteral("1 Reef Road"),
            QStringLiteral("Playa"),
            QStringLiteral("QR"),
            country,
            email,
            QStringLiteral("en"),
            QStringLiteral("0"),
            QString::number(publication),
            QStringLiteral("1"),
            QStringLiteral("1"),
            QStringLiteral("0"),
            QStringLiteral("1"),
            QStringLiteral("0")};
}

HttpAnswer postRecord(ServiceFixture& f, const QString& user, const QStringList& values) {
    return f.postMultipart(kSync + QStringLiteral("personal.xml.php"), memberRecord(values), user,
                           kPass);
}

HttpAnswer upload(ServiceFixture& f, const QString& user, const QStringList& lines) {
    return f.postMultipart(kSync + QStringLiteral("dives.php"), uploadBody(lines), user, kPass);
}

int memberId(ServiceFixture& f, const QString& user) {
    auto db = f.database();
    QSqlQuery& q = db->run(QStringLiteral("SELECT id FROM members WHERE user_name = ?"), {user});
    return q.next() ? q.value(0).toInt() : 0;
}

int count(ServiceFixture& f, const QString& sql) {
    auto db = f.database();
    QSqlQuery& q = db->run(sql);
    return q.next() ? q.value(0).toInt() : -1;
}

QString writeFile(ServiceFixture& f, const QString& name, const QByteArray& content) {
    const QString path = QDir(f.dir.path()).filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return path;
}

void importLocations(ServiceFixture& f) {
    const QString csv =
        writeFile(f, QStringLiteral("locations.csv"),
                  "location,smallname,country,state,region,site\n"
                  "Cozumel Reefs,Cozumel,Mexico,Quintana Roo,Caribbean,Palancar\n"
                  "Cozumel Reefs,Cozumel,Mexico,Quintana Roo,Caribbean,Colombia\n"
                  "\"Blue Hole, Dahab\",Blue Hole,Egypt,South Sinai,Red Sea,The Arch\n");
    QString log;
    QTextStream out(&log);
    auto db = f.database();
    Admin::importLocations(*db, csv, out);
}

int locationId(ServiceFixture& f, const QString& name) {
    auto db = f.database();
    QSqlQuery& q = db->run(QStringLiteral("SELECT id FROM locations WHERE name = ?"), {name});
    return q.next() ? q.value(0).toInt() : 0;
}

// The literal request of the desktop's transport: HTTP/1.0 POST, keep-alive, multipart with a
// 23-character boundary.
QByteArray literalMultipart(quint16 port, const QByteArray& path, const QByteArray& credentials,
                            const QByteArray& value) {
    const QByteArray body =
        "----------070923103000123\r\nContent-Disposition: form-data; name=\"formfield1\"\r\n\r\n" +
        value + "\r\n\r\n----------070923103000123--\r\n";
    return "POST " + path +
           " HTTP/1.0\r\nConnection: keep-alive\r\nContent-Type: multipart/form-data; "
           "boundary=--------070923103000123\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
           "\r\nAccept: text/html, */*\r\nUser-Agent: Mozilla/3.0 (compatible; NEREVA Desktop "
           "0.7.15b)\r\nAuthorization: Basic " +
           credentials.toBase64() + "\r\n\r\n" + body;
}

}  // namespace

class TestServiceHttp : public QObject {
    Q_OBJECT
private slots:
    void registrationAnswersItsResultDigit_data();
    void registrationAnswersItsResultDigit();
    void registrationFromTheWizardsBytes();
    void memberRequestsNeedTheMembersCredentials_data();
    void memberRequestsNeedTheMembersCredentials();
    void newcomerRequestsIgnoreCredentials_data();
    void newcomerRequestsIgnoreCredentials();
    void memberRecordComesBackAsStored();
    void memberRecordKeepsAnAddressItCannotTake();
    void malformedMemberRecordChangesNothing();
    void uploadAnswersEveryDiveInTheAnswerLayout();
    void uploadAsTheDesktopSendsIt();
    void resentUploadCreatesNothingTwice();
    void uploadWithServiceNumbersUpdatesThoseDives();
    void membersNeverSeeOrChangeEachOthersDives();
    void malformedLinesAreSkipped();
    void failedUploadLeavesTheDivesAsTheyWere();
    void deletionRemovesOnlyTheMembersDives();
    void referenceDocumentHoldsCountriesAgenciesAndOrganizations();
    void locationSearchAndOneLocation();
    void membersLocationsAndContactsComeFromTheirDives();
    void memberSearchHonoursPublication_data();
    void memberSearchHonoursPublication();
    void memberSearchCombinesCriteria();
    void memberSearchFollowsARenamedMember();
    void searchValuesArriveAsTheDesktopWritesThem_data();
    void searchValuesArriveAsTheDesktopWritesThem();
    void pipelinedRequestsKeepTheirOwnValues();
    void invitationIsRecordedSentAndLinksTheNewMember();
    void invitationGoesThroughTheMailCommand_data();
    void invitationGoesThroughTheMailCommand();
    void updateListOffersNewerComponents();
    void sitePages_data();
    void sitePages();
    void oversizedBodyIsRefused();
    void connectionStaysOpenOnlyWhenAsked();
};

void TestServiceHttp::registrationAnswersItsResultDigit_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("answer");
    const QString ok = QStringLiteral("bob@example.org");
    QTest::newRow("new member") << "bobby"
                                << "abcd" << ok << "result=1\r\nbobby\r\n";
    QTest::newRow("user name in capitals") << "Bobby"
                                           << "abcd" << ok << "result=1\r\nbobby\r\n";
    QTest::newRow("user name taken") << "anna"
                                     << "abcd" << ok << "result=2\r\n";
    QTest::newRow("address taken, other case") << "bobby"
                                               << "abcd"
                                               << "ANNA@example.org"
                                               << "result=2\r\n";
    QTest::newRow("user name too short") << "bob"
                                         << "abcd" << ok << "result=3\r\n";
    QTest::newRow("user name with a blank") << "bob by"
                                            << "abcd" << ok << "result=3\r\n";
    QTest::newRow("password too short") << "bobby"
                                        << "abc" << ok << "result=3\r\n";
    QTest::newRow("address without domain") << "bobby"
                                            << "abcd"
                                            << "bob@example"
                                            << "result=3\r\n";
    QTest::newRow("address with a blank") << "bobby"
                                          << "abcd"
                                          << "bob @example.org"
                                          << "result=3\r\n";
}

void TestServiceHttp::registrationAnswersItsResultDigit() {
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, email);
    QFETCH(QString, answer);
    ServiceFixture f;
    QCOMPARE(f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org")),
             QStringLiteral("result=1\r\nanna\r\n"));
    QCOMPARE(f.registerMember(user, password, email), answer);
    QCOMPARE(count(f, QStringLiteral("SELECT COUNT(*) FROM members")),
             answer.startsWith(QLatin1String("result=1")) ? 2 : 1);
}

void TestServiceHttp::registrationFromTheWizardsBytes() {
    ServiceFixture f;
    const QByteArray body =
        "param_user=diver&param_pass=reef42&param_email=diver%40example.org&param_name=Ana+Mart%"
        "EDnez+%23&param_idioma=es&";
    const HttpAnswer answer = sendRaw(
        f.port,
        "POST /serv0.9/register/ HTTP/1.0\r\nConnection: keep-alive\r\nContent-Type: "
        "application/x-www-form-urlencoded\r\nContent-Length: " +
            QByteArray::number(body.size()) +
            "\r\nHost: 127.0.0.1\r\nAccept: text/html, */*\r\nAuthorization: Basic Og==\r\n\r\n" +
            body);
    QCOMPARE(answer.status, 200);
    QCOMPARE(answer.body.at(7), '1');
    QCOMPARE(answer.text().split(QStringLiteral("\r\n")).value(1), QStringLiteral("diver"));
    const QDomElement record = postRecord(f, QStringLiteral("diver"),
                                          memberValues(QStringLiteral("Ana Martínez #"), {},
                                                       QStringLiteral("diver@example.org"), 0))
                                   .root();
    QCOMPARE(SyncFields::decode(record.firstChildElement(QStringLiteral("name")).text()),
             QStringLiteral("Ana Martínez #"));
    auto db = f.database();
    QSqlQuery& stored = db->run(QStringLiteral("SELECT password_hash FROM members"));
    QVERIFY(stored.next());
    QVERIFY(stored.value(0).toString().startsWith(QLatin1String("pbkdf2-sha256$")));
    QVERIFY(!stored.value(0).toString().contains(QLatin1String("abcd")));
}

void TestServiceHttp::memberRequestsNeedTheMembersCredentials_data() {
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("path");
    QTest::newRow("member record") << "multipart" << kSync + "personal.xml.php";
    QTest::newRow("deletion queue") << "form" << kSync + "delete.php";
    QTest::newRow("dive upload") << "multipart" << kSync + "dives.php";
    QTest::newRow("member's locations") << "get" << kInfo + "locations.xml.php?param_idioma=en";
    QTest::newRow("contact list") << "get" << kInfo + "contactlist.xml.php?";
    QTest::newRow("member search") << "get"
                                   << kInfo +
                                          "contactlist.xml.php?param_name=&param_user=an&"
                                          "param_op=-1&param_email=";
    QTest::newRow("one contact") << "get" << kInfo + "contactlist.xml.php?param_id=1";
    QTest::newRow("invitation") << "get" << kRegister + "invite.php?param_email=x%40example.org";
}

void TestServiceHttp::memberRequestsNeedTheMembersCredentials() {
    QFETCH(QString, method);
    QFETCH(QString, path);
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    const auto send = [&](const QString& user, const QString& password) {
        if (method == QLatin1String("get")) {
            return f.get(path, user, password);
        }
        if (method == QLatin1String("form")) {
            return f.postForm(path, {QStringLiteral("del=1##")}, user, password);
        }
        return f.postMultipart(path, memberRecord(memberValues({}, {}, {}, 0)), user, password);
    };
    const HttpAnswer anonymous = send({}, {});
    QCOMPARE(anonymous.status, 401);
    QCOMPARE(anonymous.header("WWW-Authenticate"), QByteArray("Basic realm=\"NEREVA\""));
    QCOMPARE(send(QStringLiteral("anna"), QStringLiteral("wrong")).status, 401);
    QCOMPARE(send(QStringLiteral("nobody"), kPass).status, 401);
    QCOMPARE(send(QStringLiteral("anna"), kPass).status, 200);
    QCOMPARE(send(QStringLiteral("anna"), kPass).status, 200);  // from the checked credentials
    QCOMPARE(send(QStringLiteral("anna"), QStringLiteral("wrong")).status, 401);
}

void TestServiceHttp::newcomerRequestsIgnoreCredentials_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("reference data") << kInfo + "localdata.xml.php?param_idioma=";
    QTest::newRow("update list") << kInfo + "update.xml.php?version=0.7.15b&param_idioma=";
    QTest::newRow("location search") << kInfo +
                                            "locations.xml.php?param_idioma=&param_name=Coz&"
                                            "param_country=";
    QTest::newRow("one location") << kInfo + "locations.xml.php?param_id=1";
}

void TestServiceHttp::newcomerRequestsIgnoreCredentials() {
    QFETCH(QString, path);
    ServiceFixture f;
    importLocations(f);
    QCOMPARE(f.get(path).status, 200);
    QCOMPARE(f.get(path, QStringLiteral("someone"), QStringLiteral("wrong")).status, 200);
    QCOMPARE(f.postForm(kRegister,
                        {QStringLiteral("param_user=bobby"), QStringLiteral("param_pass=abcd"),
                         QStringLiteral("param_email=bob@example.org"),
                         QStringLiteral("param_name=Bob"), QStringLiteral("param_idioma=")},
                        QStringLiteral("someone"), QStringLiteral("wrong"))
                 .text(),
             QStringLiteral("result=1\r\nbobby\r\n"));
}

void TestServiceHttp::memberRecordComesBackAsStored() {
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    QStringList sent =
        memberValues(QStringLiteral("Ana ## Martínez \\ 佐藤"), QStringLiteral("México"),
                     QStringLiteral("ana.new@example.org"), 2);
    sent[1] = QStringLiteral("Line one\r\nLine two");
    sent[13] = QString();  // the last value empty: the record ends with its separator
    const HttpAnswer answer = postRecord(f, QStringLiteral("anna"), sent);
    QCOMPARE(answer.status, 200);
    QCOMPARE(answer.header("Content-Type"), QByteArray("text/xml; charset=UTF-8"));
    const QDomElement record = answer.root();
    const auto value = [&record](const char* element) {
        return SyncFields::decode(record.firstChildElement(QString::fromLatin1(element)).text());
    };
    QCOMPARE(value("name"), sent[0]);
    QCOMPARE(value("address"), QStringLiteral("Line oneLine two"));  // one line, as the field
    QCOMPARE(value("country"), sent[4]);
    QCOMPARE(value("email"), sent[5]);
    QCOMPARE(value("pub_personal"), QStringLiteral("2"));
    QCOMPARE(value("pub_dives"), QStringLiteral("1"));
    QCOMPARE(value("per_send1"), QStringLiteral("1"));
    QCOMPARE(value("per_send3"), QStringLiteral("1"));
    QCOMPARE(value("per_send4"), QString());
    QCOMPARE(value("user"), QStringLiteral("anna"));
    // What the service sends again next time is what it stored.
    const QDomElement again = postRecord(f, QStringLiteral("anna"), sent).root();
    QCOMPARE(SyncFields::decode(again.firstChildElement(QStringLiteral("name")).text()), sent[0]);
}

void TestServiceHttp::memberRecordKeepsAnAddressItCannotTake() {
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    f.registerMember(QStringLiteral("bobby"), kPass, QStringLiteral("bob@example.org"));
    for (const QString& address :
         {QStringLiteral("BOB@example.org"), QStringLiteral("no address")}) {
        const QDomElement record =
            postRecord(f, QStringLiteral("anna"), memberValues({}, {}, address, 0)).root();
        QCOMPARE(record.firstChildElement(QStringLiteral("email")).text(),
                 QStringLiteral("anna@example.org"));
    }
}

void TestServiceHttp::malformedMemberRecordChangesNothing() {
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"),
                     QStringLiteral("Anna"));
    QStringList thirteen = memberValues(QStringLiteral("Changed"), {}, {}, 0);
    thirteen.removeLast();
    QCOMPARE(postRecord(f, QStringLiteral("anna"), thirteen).status, 400);
    QCOMPARE(f.postMultipart(kSync + QStringLiteral("personal.xml.php"), {}, QStringLiteral("anna"),
                             kPass)
                 .status,
             400);
    auto db = f.database();
    QSqlQuery& q = db->run(QStringLiteral("SELECT name FROM members"));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toString(), QStringLiteral("Anna"));
}

void TestServiceHttp::uploadAnswersEveryDiveInTheAnswerLayout() {
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    const QString notes = QStringLiteral("First line\r\nSecond ## line \\ Ærø 珊瑚");
    const QString later = diveLine({{2, QStringLiteral("7")},
                                    {4, QStringLiteral("2")},
                                    {5, QStringLiteral("2024-01-15")},
                                    {6, QStringLiteral("08:05:00")},
                                    {7, QStringLiteral("Cozumel")},
                                    {47, QStringLiteral("01:30:00")},
                                    {50, QStringLiteral("12.5")},
                                    {51, QStringLiteral("1")},
                                    {52, QStringLiteral("30.5")},
                                    {53, QStringLiteral("00:45:00")},
                                    {78, QStringLiteral("1")},
                                    {79, QStringLiteral("0")},
                                    {82, notes},
                                    {121, QStringLiteral("2")}});
    const QString undated = diveLine({{2, QStringLiteral("9")}, {5, QStringLiteral("1899-12-30")}});
    const QString earlier = diveLine({{2, QStringLiteral("8")}});
    const QString today =
        QDateTime::currentDateTimeUtc().date().toString(QStringLiteral("M/d/yyyy"));

    const HttpAnswer answer = upload(f, QStringLiteral("anna"), {later, undated, earlier});
    QCOMPARE(answer.status, 200);
    QCOMPARE(answer.header("Content-Type"), QByteArray("text/plain; charset=ISO-8859-1"));
    const QList<QStringList> dives = answerDives(answer);
    QCOMPARE(dives.size(), 3);
    // By date: the undated dive first.
    QCOMPARE(dives[0][1], QStringLiteral("9"));
    QCOMPARE(dives[0][4], QString());
    QCOMPARE(dives[1][1], QStringLiteral("8"));
    const QStringList& d = dives[2];
    QVERIFY(d[0].toInt() > 0);
    QCOMPARE(d[1], QStringLiteral("7"));
    QVERIFY2(d[2].startsWith(today + u' ') || d[2] == today, qPrintable(d[2]));
    QCOMPARE(d[3], QStringLiteral("0"));  // only the service certifies
    QCOMPARE(d[4], QStringLiteral("1/15/2024"));
    QCOMPARE(d[5], QStringLiteral("08:05:00"));
    QCOMPARE(d[6], QStringLiteral("Cozumel"));
    QCOMPARE(d[46], QStringLiteral("01:30"));
    QCOMPARE(d[49], QStringLiteral("12.5"));
    QCOMPARE(d[50], QStringLiteral("30.5"));  // max_depth at 51 in the answer
    QCOMPARE(d[51], QStringLiteral("1"));     // depth_unit at 52
    QCOMPARE(d[52], QStringLiteral("00:45"));
    QCOMPARE(d[54], QString());            // a stop without duration: ":00" alone went up
    QCOMPARE(d[77], QStringLiteral("0"));  // cond_xSurge at 78
    QCOMPARE(d[78], QStringLiteral("1"));  // cond_xWaves at 79
    QCOMPARE(d[81], notes);
    QCOMPARE(d[120], QStringLiteral("2"));
    QCOMPARE(d[121], QString());
}

void TestServiceHttp::uploadAsTheDesktopSendsIt() {
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    const QByteArray line = diveLine({{2, QStringLiteral("3")}}).toLatin1();
    const HttpAnswer answer = sendRaw(
        f.port, literalMultipart(f.port, "/serv0.9/syncro/dives.php", "anna:" + kPass.toLatin1(),
                                 line + "\r\n" + line + "\r\n"));
    QCOMPARE(answer.status, 200);
    QCOMPARE(answerDives(answer).size(), 1);  // the second line is the same dive again
    QCOMPARE(answerDives(answer)[0][1], QStringLiteral("3"));
}

void TestServiceHttp::resentUploadCreatesNothingTwice() {
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    const QStringList lines = {
        diveLine({{2, QStringLiteral("1")}}),
        diveLine({{2, QStringLiteral("2")}, {6, QStringLiteral("14:00:00")}})};
    const QList<QStringList> first = answerDives(upload(f, QStringLiteral("anna"), lines));
    // The answer was lost: the same upload again, still without service numbers.
    const QList<QStringList> second = answerDives(upload(f, QStringLiteral("anna"), lines));
    QCOMPARE(second.size(), 2);
    QCOMPARE(second[0][0], first[0][0]);
    QCOMPARE(second[1][0], first[1][0]);
    QCOMPARE(count(f, QStringLiteral("SELECT COUNT(*) FROM dives")), 2);
    // Another dive with the same local number but another date is another dive.
    const QList<QStringList> third = answerDives(
        upload(f, QStringLiteral("anna"),
               {diveLine({{2, QStringLiteral("1")}, {5, QStringLiteral("2023-08-01")}})}));
    QCOMPARE(third.size(), 3);
}

void TestServiceHttp::uploadWithServiceNumbersUpdatesThoseDives() {
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    const QString id = answerDives(
        upload(f, QStringLiteral("anna"), {diveLine({{2, QStringLiteral("1")}})}))[0][0];
    auto db = f.database();
    db->run(QStringLiteral("UPDATE dives SET certify_by = 1"));  // certified on the web site
    const QList<QStringList> changed =
        answerDives(upload(f, QStringLiteral("anna"),
                           {diveLine({{1, id},
                                      {2, QStringLiteral("1")},
                                      {4, QStringLiteral("2")},
                                      {7, QStringLiteral("Palancar")}})}));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0], id);
    QCOMPARE(changed[0][3], QStringLiteral("1"));  // a diver cannot confirm a dive
    QCOMPARE(changed[0][6], QStringLiteral("Palancar"));
    // Giving the certification up (the Update command) is the diver's choice.
    const QList<QStringList> modified = answerDives(
        upload(f, QStringLiteral("anna"),
               {diveLine({{1, id}, {2, QStringLiteral("1")}, {4, QStringLiteral("-1")}})}));
    QCOMPARE(modified[0][3], QStringLiteral("-1"));
    QCOMPARE(count(f, QStringLiteral("SELECT COUNT(*) FROM dives")), 1);
}

void TestServiceHttp::membersNeverSeeOrChangeEachOthersDives() {
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    f.registerMember(QStringLiteral("bobby"), kPass, QStringLiteral("bob@example.org"));
    const QString annas = answerDives(
        upload(f, QStringLiteral("anna"),
               {diveLine({{2, QStringLiteral("1")}, {7, QStringLiteral("Anna's reef")}})}))[0][0];
    // Bobby names Anna's dive by its number: that makes a dive of his own.
    const QList<QStringList> bobs = answerDives(upload(
        f, QStringLiteral("bobby"),
        {diveLine({{1, annas}, {2, QStringLiteral("1")}, {7, QStringLiteral("Bob's wreck")}})}));
    QCOMPARE(bobs.size(), 1);
    QVERIFY(bobs[0][0] != annas);
    QCOMPARE(bobs[0][6], QStringLiteral("Bob's wreck"));
    QCOMPARE(f.postForm(kSync + QStringLiteral("delete.php"),
                        {QStringLiteral("del=") + annas + QStringLiteral("##")},
                        QStringLiteral("bobby"), kPass)
                 .status,
             200);
    const QList<QStringList> annasNow = answerDives(upload(f, QStringLiteral("anna"), {}));
    QCOMPARE(annasNow.size(), 1);
    QCOMPARE(annasNow[0][0], annas);
    QCOMPARE(annasNow[0][6], QStringLiteral("Anna's reef"));
}

void TestServiceHttp::malformedLinesAreSkipped() {
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    QString short120 = diveLine({{2, QStringLiteral("2")}});
    short120.chop(2);  // the last separator goes: 120 values
    const QStringList lines = {
        diveLine({{2, QStringLiteral("1")}}),
        short120,
        diveLine({{2, QStringLiteral("3")}}) + QStringLiteral("##extra"),
        diveLine({{1, QStringLiteral("x1")}, {2, QStringLiteral("4")}}),
        diveLine({{2, QString()}}),
        diveLine({{2, QStringLiteral("6")}, {5, QStringLiteral("2023-02-30")}}),
        diveLine({{2, QStringLiteral("7")}, {6, QStringLiteral("25:00:00")}}),
        QStringLiteral("garbage"),
    };
    const HttpAnswer answer = upload(f, QStringLiteral("anna"), lines);
    QCOMPARE(answer.status, 200);
    const QList<QStringList> dives = answerDives(answer);
    QCOMPARE(dives.size(), 1);
    QCOMPARE(dives[0][1], QStringLiteral("1"));
}

void TestServiceHttp::failedUploadLeavesTheDivesAsTheyWere() {
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    const QString id = answerDives(
        upload(f, QStringLiteral("anna"),
               {diveLine({{2, QStringLiteral("1")}, {7, QStringLiteral("Before")}})}))[0][0];
    // The database refuses a dive part-way through the next upload.
    auto db = f.database();
    if (db->dialect() == Dialect::Sqlite) {
        db->execute(
            QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON dives WHEN NEW.dive_date = "
                           "'2001-01-01' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    } else {
        db->execute(
            QStringLiteral("CREATE FUNCTION refuse() RETURNS trigger AS $$ BEGIN IF "
                           "NEW.dive_date = '2001-01-01' THEN RAISE EXCEPTION 'refused'; "
                           "END IF; RETURN NEW; END $$ LANGUAGE plpgsql"));
        db->execute(
            QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON dives FOR EACH ROW "
                           "EXECUTE FUNCTION refuse()"));
    }
    const HttpAnswer failed =
        upload(f, QStringLiteral("anna"),
               {diveLine({{1, id}, {2, QStringLiteral("1")}, {7, QStringLiteral("After")}}),
                diveLine({{2, QStringLiteral("2")}}),
                diveLine({{2, QStringLiteral("3")}, {5, QStringLiteral("2001-01-01")}})});
    QCOMPARE(failed.status, 500);
    QCOMPARE(count(f, QStringLiteral("SELECT COUNT(*) FROM dives")), 1);
    const QList<QStringList> now = answerDives(upload(f, QStringLiteral("anna"), {}));
    QCOMPARE(now.size(), 1);
    QCOMPARE(now[0][6], QStringLiteral("Before"));
}

void TestServiceHttp::deletionRemovesOnlyTheMembersDives() {
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    f.registerMember(QStringLiteral("bobby"), kPass, QStringLiteral("bob@example.org"));
    const QList<QStringList> annas = answerDives(
        upload(f, QStringLiteral("anna"),
               {diveLine({{2, QStringLiteral("1")}}),
                diveLine({{2, QStringLiteral("2")}, {6, QStringLiteral("15:00:00")}})}));
    const QString bobs = answerDives(
        upload(f, QStringLiteral("bobby"), {diveLine({{2, QStringLiteral("1")}})}))[0][0];
    // The queue line as the desktop posts it: del=<n>##<m>## url-encoded.
    const QByteArray body = "del=" + annas[0][0].toLatin1() + "%23%23" + bobs.toLatin1() + "%23%23";
    const HttpAnswer answer =
        sendRaw(f.port,
                "POST /serv0.9/syncro/delete.php HTTP/1.0\r\nConnection: keep-alive\r\n"
                "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                    QByteArray::number(body.size()) + "\r\nAuthorization: Basic " +
                    QByteArray("anna:" + kPass.toLatin1()).toBase64() + "\r\n\r\n" + body);
    QCOMPARE(answer.status, 200);
    const QList<QStringList> left = answerDives(upload(f, QStringLiteral("anna"), {}));
    QCOMPARE(left.size(), 1);
    QCOMPARE(left[0][0], annas[1][0]);
    QCOMPARE(answerDives(upload(f, QStringLiteral("bobby"), {})).size(), 1);
}

void TestServiceHttp::referenceDocumentHoldsCountriesAgenciesAndOrganizations() {
    ServiceFixture f;
    const QString path = kInfo + QStringLiteral("localdata.xml.php?param_idioma=es");
    QVERIFY(f.get(path)
                .root()
                .firstChildElement(QStringLiteral("organizations"))
                .firstChildElement()
                .isNull());
    const QString csv = writeFile(f, QStringLiteral("organisations.csv"),
                                  "Name,Operator,School,Country,State,County\n"
                                  "Blue Dive,yes,,Mexico,Quintana Roo,Cozumel\n"
                                  "Sea School,0,1,Egypt,,\n");
    QString log;
    QTextStream out(&log);
    auto db = f.database();
    Admin::importOrganizations(*db, csv, out);

    const QDomElement root = f.get(path).root();
    QDomElement mexico;
    const QDomElement countries = root.firstChildElement(QStringLiteral("countries"));
    for (QDomElement c = countries.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
        if (c.firstChildElement(QStringLiteral("name")).text() == QLatin1String("Mexico")) {
            mexico = c;
        }
    }
    QVERIFY(countries.childNodes().size() > 200);
    QVERIFY(childTexts(mexico.firstChildElement(QStringLiteral("states")), QStringLiteral("name"))
                .contains(QStringLiteral("Quintana Roo")));
    const QDomElement padi = root.firstChildElement(QStringLiteral("agencies")).firstChildElement();
    QCOMPARE(padi.firstChildElement(QStringLiteral("name")).text(), QStringLiteral("PADI"));
    QCOMPARE(padi.firstChildElement(QStringLiteral("levels")).firstChildElement().text(),
             QStringLiteral("Scuba Diver"));
    const QDomElement organizations = root.firstChildElement(QStringLiteral("organizations"));
    QCOMPARE(childTexts(organizations, QStringLiteral("name")),
             QStringList({QStringLiteral("Blue Dive"), QStringLiteral("Sea School")}));
    const QDomElement blue = organizations.firstChildElement();
    QVERIFY(blue.firstChildElement(QStringLiteral("id")).text().toInt() > 0);
    QCOMPARE(blue.firstChildElement(QStringLiteral("operator")).text(), QStringLiteral("1"));
    QCOMPARE(blue.firstChildElement(QStringLiteral("school")).text(), QStringLiteral("0"));
    QCOMPARE(blue.firstChildElement(QStringLiteral("county")).text(), QStringLiteral("Cozumel"));
}

void TestServiceHttp::locationSearchAndOneLocation() {
    ServiceFixture f;
    importLocations(f);
    const auto search = [&f](const QString& name, const QString& country) {
        return f.get(kInfo + QStringLiteral("locations.xml.php?param_idioma=en&param_name=") +
                     name + QStringLiteral("&param_country=") + country);
    };
    const QDomElement found = search(QStringLiteral("cOZUM"), {}).root();
    QCOMPARE(childTexts(found, QStringLiteral("smallname")),
             QStringList{QStringLiteral("Cozumel")});
    QCOMPARE(childTexts(found, QStringLiteral("state")),
             QStringList{QStringLiteral("Quintana Roo")});
    QCOMPARE(childTexts(search({}, QStringLiteral("egy")).root(), QStringLiteral("name")),
             QStringList{QStringLiteral("Blue Hole, Dahab")});
    QVERIFY(search(QStringLiteral("Cozumel"), QStringLiteral("Egypt"))
                .root()
                .firstChildElement()
                .isNull());
    QVERIFY(search({}, {}).root().firstChildElement().isNull());
    QVERIFY(search(QStringLiteral("%25"), {}).root().firstChildElement().isNull());  // "%" is no
                                                                                     // wildcard

    const int id = found.firstChildElement().firstChildElement(QStringLiteral("id")).text().toInt();
    const QDomElement one = f.get(kInfo + QStringLiteral("locations.xml.php?param_id=%1").arg(id))
                                .root()
                                .firstChildElement();
    QCOMPARE(one.firstChildElement(QStringLiteral("name")).text(), QStringLiteral("Cozumel Reefs"));
    QCOMPARE(one.firstChildElement(QStringLiteral("regionname")).text(),
             QStringLiteral("Cozumel Reefs"));
    QCOMPARE(one.firstChildElement(QStringLiteral("region")).text(), QStringLiteral("Caribbean"));
    QCOMPARE(childTexts(one.firstChildElement(QStringLiteral("sites")), QStringLiteral("name")),
             QStringList({QStringLiteral("Colombia"), QStringLiteral("Palancar")}));
    QCOMPARE(f.get(kInfo + QStringLiteral("locations.xml.php?param_id=99999")).status, 404);
    QCOMPARE(f.get(kInfo + QStringLiteral("locations.xml.php?param_id=abc")).status, 400);
}

void TestServiceHttp::membersLocationsAndContactsComeFromTheirDives() {
    ServiceFixture f;
    importLocations(f);
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    f.registerMember(QStringLiteral("bobby"), kPass, QStringLiteral("bob@example.org"));
    postRecord(f, QStringLiteral("bobby"),
               memberValues(QStringLiteral("Bob Baker"), QStringLiteral("Egypt"),
                            QStringLiteral("bob@example.org"), 1));
    const QString location = QString::number(locationId(f, QStringLiteral("Blue Hole, Dahab")));
    const QString bob = QString::number(memberId(f, QStringLiteral("bobby")));
    upload(
        f, QStringLiteral("anna"),
        {diveLine(
            {{2, QStringLiteral("1")}, {8, location}, {34, bob}, {36, QStringLiteral("9999")}})});

    const QDomElement locations = f.get(kInfo + QStringLiteral("locations.xml.php?param_idioma=en"),
                                        QStringLiteral("anna"), kPass)
                                      .root();
    QCOMPARE(childTexts(locations, QStringLiteral("id")), QStringList{location});
    QCOMPARE(childTexts(locations.firstChildElement().firstChildElement(QStringLiteral("sites")),
                        QStringLiteral("name")),
             QStringList{QStringLiteral("The Arch")});
    const QDomElement contacts =
        f.get(kInfo + QStringLiteral("contactlist.xml.php?"), QStringLiteral("anna"), kPass).root();
    QCOMPARE(contacts.tagName(), QStringLiteral("contactlist"));
    QCOMPARE(childTexts(contacts, QStringLiteral("id")), QStringList{bob});
    QCOMPARE(childTexts(contacts, QStringLiteral("user")), QStringList{QStringLiteral("bobby")});
    QCOMPARE(childTexts(contacts, QStringLiteral("name")),
             QStringList{QStringLiteral("Bob Baker")});
    QCOMPARE(childTexts(contacts, QStringLiteral("email")),
             QStringList{QString()});  // not published
    // Bobby's lists are his own.
    QVERIFY(f.get(kInfo + QStringLiteral("contactlist.xml.php?"), QStringLiteral("bobby"), kPass)
                .root()
                .firstChildElement()
                .isNull());
}

void TestServiceHttp::memberSearchHonoursPublication_data() {
    QTest::addColumn<int>("publication");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("country");
    QTest::newRow("only user") << 0 << ""
                               << ""
                               << "";
    QTest::newRow("name and location") << 1 << "Zoe Zander"
                                       << ""
                                       << "Chile";
    QTest::newRow("contact information") << 2 << "Zoe Zander"
                                         << "zoe@example.org"
                                         << "Chile";
}

void TestServiceHttp::memberSearchHonoursPublication() {
    QFETCH(int, publication);
    QFETCH(QString, name);
    QFETCH(QString, email);
    QFETCH(QString, country);
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    f.registerMember(QStringLiteral("zoezed"), kPass, QStringLiteral("zoe@example.org"));
    postRecord(f, QStringLiteral("zoezed"),
               memberValues(QStringLiteral("Zoe Zander"), QStringLiteral("Chile"),
                            QStringLiteral("zoe@example.org"), publication));
    const auto search = [&f](const QString& query) {
        return f
            .get(kInfo + QStringLiteral("contactlist.xml.php?") + query, QStringLiteral("anna"),
                 kPass)
            .root();
    };
    const QDomElement byUser =
        search(QStringLiteral("param_name=&param_user=ZOE&param_op=-1&param_email="))
            .firstChildElement();
    QCOMPARE(byUser.firstChildElement(QStringLiteral("user")).text(), QStringLiteral("zoezed"));
    QCOMPARE(byUser.firstChildElement(QStringLiteral("name")).text(), name);
    QCOMPARE(byUser.firstChildElement(QStringLiteral("email")).text(), email);
    QCOMPARE(byUser.firstChildElement(QStringLiteral("country")).text(), country);
    const QString id = byUser.firstChildElement(QStringLiteral("id")).text();
    const QDomElement byId = f.get(kInfo + QStringLiteral("contactlist.xml.php?param_id=") + id,
                                   QStringLiteral("anna"), kPass)
                                 .root()
                                 .firstChildElement();
    QCOMPARE(byId.firstChildElement(QStringLiteral("name")).text(), name);
    QCOMPARE(byId.firstChildElement(QStringLiteral("email")).text(), email);
    // An unpublished name or address finds nobody.
    const int byName =
        search(QStringLiteral("param_name=zander&param_user=&param_op=-1&param_email="))
            .childNodes()
            .size();
    const int byEmail =
        search(QStringLiteral("param_name=&param_user=&param_op=-1&param_email=zoe%40"))
            .childNodes()
            .size();
    QCOMPARE(byName, publication >= 1 ? 1 : 0);
    QCOMPARE(byEmail, publication >= 2 ? 1 : 0);
}

void TestServiceHttp::memberSearchCombinesCriteria() {
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    f.registerMember(QStringLiteral("annette"), kPass, QStringLiteral("annette@example.org"));
    f.registerMember(QStringLiteral("bobby"), kPass, QStringLiteral("bob@example.org"));
    postRecord(f, QStringLiteral("bobby"), memberValues(QStringLiteral("Bob Anders"), {}, {}, 1));
    const auto users = [&f](const QString& name, const QString& user, const QString& op) {
        return childTexts(
            f.get(kInfo + QStringLiteral("contactlist.xml.php?param_name=%1&param_user=%2&"
                                         "param_op=%3&param_email=")
                              .arg(name, user, op),
                  QStringLiteral("anna"), kPass)
                .root(),
            QStringLiteral("user"));
    };
    QCOMPARE(users({}, QStringLiteral("ann"), QStringLiteral("-1")),
             QStringList{QStringLiteral("annette")});
    QCOMPARE(users(QStringLiteral("anders"), QStringLiteral("ann"), QStringLiteral("0")),
             QStringList());
    QCOMPARE(users(QStringLiteral("anders"), QStringLiteral("ann"), QStringLiteral("1")),
             QStringList({QStringLiteral("annette"), QStringLiteral("bobby")}));
    QCOMPARE(users({}, {}, QStringLiteral("-1")), QStringList());
    QCOMPARE(f.get(kInfo + QStringLiteral("contactlist.xml.php?param_id=99999"),
                   QStringLiteral("anna"), kPass)
                 .status,
             404);
}

// The search indexes follow a changed name (short pieces are searched without them).
void TestServiceHttp::memberSearchFollowsARenamedMember() {
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    f.registerMember(QStringLiteral("bobby"), kPass, QStringLiteral("bob@example.org"));
    const auto byName = [&f](const QString& name) {
        return childTexts(
            f.get(kInfo + QStringLiteral("contactlist.xml.php?param_name=%1&param_user=&"
                                         "param_op=-1&param_email=")
                              .arg(name),
                  QStringLiteral("anna"), kPass)
                .root(),
            QStringLiteral("user"));
    };
    postRecord(f, QStringLiteral("bobby"), memberValues(QStringLiteral("Bob Anders"), {}, {}, 1));
    QCOMPARE(byName(QStringLiteral("anders")), QStringList{QStringLiteral("bobby")});
    postRecord(f, QStringLiteral("bobby"), memberValues(QStringLiteral("Robert Øster"), {}, {}, 1));
    QCOMPARE(byName(QStringLiteral("anders")), QStringList());
    QCOMPARE(byName(QStringLiteral("øSTER")), QStringList{QStringLiteral("bobby")});
    QCOMPARE(byName(QStringLiteral("Øs")), QStringList{QStringLiteral("bobby")});
    QCOMPARE(byName(QStringLiteral("bob")), QStringList());
}

// The desktop puts what was typed into the address as it is: ISO-8859-1 bytes and "#" too.
void TestServiceHttp::searchValuesArriveAsTheDesktopWritesThem_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("country");
    QTest::addColumn<QStringList>("found");
    const QStringList eden = {QStringLiteral("Cenote Éden")};
    const QStringList reef = {QStringLiteral("Reef #7")};
    QTest::newRow("country outside ASCII") << "" << QStringLiteral("México") << eden;
    QTest::newRow("country percent-encoded") << "" << QStringLiteral("M%E9XICO") << eden;
    QTest::newRow("name in other case") << QStringLiteral("ÉDEN") << "" << eden;
    QTest::newRow("two characters") << QStringLiteral("Éd") << "" << eden;
    QTest::newRow("name with # and a blank") << QStringLiteral("reef #7") << "" << reef;
    QTest::newRow("# in two characters") << QStringLiteral("#7") << "" << reef;
    QTest::newRow("# before the country")
        << QStringLiteral("#") << QStringLiteral("Belize") << reef;
    QTest::newRow("# before a country that has none")
        << QStringLiteral("#") << QStringLiteral("México") << QStringList();
}

void TestServiceHttp::searchValuesArriveAsTheDesktopWritesThem() {
    QFETCH(QString, name);
    QFETCH(QString, country);
    QFETCH(QStringList, found);
    ServiceFixture f;
    const QString csv = writeFile(f, QStringLiteral("locations.csv"),
                                  "location,country,site\n"
                                  "Cenote Éden,México,Cavern\n"
                                  "Reef #7,Belize,North Wall\n");
    QString log;
    QTextStream out(&log);
    Admin::importLocations(*f.database(), csv, out);
    const HttpAnswer answer =
        f.get(kInfo + QStringLiteral("locations.xml.php?param_idioma=en&param_name=") + name +
              QStringLiteral("&param_country=") + country);
    QCOMPARE(answer.status, 200);
    QCOMPARE(childTexts(answer.root(), QStringLiteral("name")), found);
}

// Two requests sent at once on one connection: the second is answered from its own values.
void TestServiceHttp::pipelinedRequestsKeepTheirOwnValues() {
    ServiceFixture f;
    importLocations(f);
    const auto search = [](const QByteArray& name) {
        return "GET /serv0.9/info/locations.xml.php?param_idioma=en&param_name=" + name +
               "&param_country= HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    };
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, f.port);
    QVERIFY(socket.waitForConnected(5000));
    socket.write(search("cozumel") + search("dahab"));
    QByteArray received;
    while (received.count("</locations>") < 2 && socket.waitForReadyRead(10000)) {
        received += socket.readAll();
    }
    const qsizetype second = received.indexOf("HTTP/1.1 ", 1);
    QVERIFY(second > 0);
    QVERIFY(received.left(second).contains("<smallname>Cozumel</smallname>"));
    QVERIFY(received.mid(second).contains("<smallname>Blue Hole</smallname>"));
    QVERIFY(!received.mid(second).contains("Cozumel"));
}

void TestServiceHttp::invitationIsRecordedSentAndLinksTheNewMember() {
    ServiceFixture f;
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    const auto invite = [&f](const QString& address) {
        return f
            .get(kRegister + QStringLiteral("invite.php?param_email=") + address,
                 QStringLiteral("anna"), kPass)
            .text();
    };
    QCOMPARE(invite(QStringLiteral("friend%40example.org")), QStringLiteral("OK"));
    QVERIFY(invite(QStringLiteral("friend.example.org")) != QLatin1String("OK"));
    const QStringList messages = QDir(f.options.outboxDir()).entryList(QDir::Files);
    QCOMPARE(messages.size(), 1);
    QFile message(QDir(f.options.outboxDir()).filePath(messages.first()));
    QVERIFY(message.open(QIODevice::ReadOnly));
    const QByteArray text = message.readAll();
    QVERIFY(text.contains("\r\nTo: friend@example.org\r\n"));
    QVERIFY(text.contains("Subject: anna invites you to NEREVA"));

    f.registerMember(QStringLiteral("friend"), kPass, QStringLiteral("Friend@Example.org"));
    QCOMPARE(childTexts(f.get(kInfo + QStringLiteral("contactlist.xml.php?"),
                              QStringLiteral("anna"), kPass)
                            .root(),
                        QStringLiteral("user")),
             QStringList{QStringLiteral("friend")});
    QCOMPARE(childTexts(f.get(kInfo + QStringLiteral("contactlist.xml.php?"),
                              QStringLiteral("friend"), kPass)
                            .root(),
                        QStringLiteral("user")),
             QStringList{QStringLiteral("anna")});

    for (int i = 1; i < Invitations::kPerDay; ++i) {
        QCOMPARE(invite(QStringLiteral("more%1%40example.org").arg(i)), QStringLiteral("OK"));
    }
    QVERIFY(invite(QStringLiteral("one.too.many%40example.org")) != QLatin1String("OK"));
}

void TestServiceHttp::invitationGoesThroughTheMailCommand_data() {
    QTest::addColumn<QString>("command");  // %1: the file the message goes to
    QTest::addColumn<int>("status");
    QTest::newRow("sent") << QStringLiteral("sh -c \"cat > '%1'\"") << 200;
    QTest::newRow("command fails") << QStringLiteral("sh -c \"cat > '%1'; exit 3\"") << 500;
    QTest::newRow("no such command") << QStringLiteral("/nonexistent/sendmail -t %1") << 500;
}

void TestServiceHttp::invitationGoesThroughTheMailCommand() {
    QFETCH(QString, command);
    QFETCH(int, status);
    const QTemporaryDir mail;
    const QString sent = mail.filePath(QStringLiteral("sent.eml"));
    ServiceFixture f(0, 2, command.arg(sent));
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    const HttpAnswer answer =
        f.get(kRegister + QStringLiteral("invite.php?param_email=friend%40example.org"),
              QStringLiteral("anna"), kPass);
    QCOMPARE(answer.status, status);
    if (status == 200) {
        QCOMPARE(answer.text(), QStringLiteral("OK"));
        QFile message(sent);
        QVERIFY(message.open(QIODevice::ReadOnly));
        QVERIFY(message.readAll().contains("\r\nTo: friend@example.org\r\n"));
    }
    // An invitation that did not go out is not kept: it counts against no limit and links
    // nobody.
    QCOMPARE(count(f, QStringLiteral("SELECT COUNT(*) FROM invitations")), status == 200 ? 1 : 0);
    QVERIFY(QDir(f.options.outboxDir()).entryList(QDir::Files).isEmpty());
}

void TestServiceHttp::updateListOffersNewerComponents() {
    ServiceFixture f;
    const QString path = kInfo + QStringLiteral("update.xml.php?version=0.7.15b&param_idioma=es");
    QVERIFY(f.get(path).root().firstChildElement().isNull());
    writeFile(f, QStringLiteral("updates.xml"),
              "<updates>"
              "<component><name>NEREVA Desktop 0.8.0</name><version>0.8.0</version></component>"
              "<component><name>Same version</name><version>0.7.15b</version></component>"
              "<component><name>Older</name><version>0.7.14</version></component>"
              "<component><name>Spanish dictionary</name><version>0.7.15c</version>"
              "<language>es</language></component>"
              "<component><name>German dictionary</name><version>0.7.16</version>"
              "<language>de</language></component>"
              "</updates>");
    QCOMPARE(childTexts(f.get(path).root(), QStringLiteral("name")),
             QStringList(
                 {QStringLiteral("NEREVA Desktop 0.8.0"), QStringLiteral("Spanish dictionary")}));
}

void TestServiceHttp::sitePages_data() {
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("shows");
    QTest::addColumn<QString>("hides");
    QTest::newRow("home") << "" << 200 << "members"
                          << "";
    QTest::newRow("help") << "redir/?help=1" << 200 << "Help"
                          << "";
    QTest::newRow("member by user name") << "redir/?user=anna" << 200 << "anna"
                                         << "Anna Secret";
    QTest::newRow("member's dives counted") << "redir/?user=anna" << 200 << "1 dives"
                                            << "Cozumel";
    QTest::newRow("unknown member") << "redir/?id_user=99999" << 404 << ""
                                    << "";
    QTest::newRow("location with its site")
        << "redir/?id_location=LOC&id_site=" << 200 << "Palancar"
        << "";
    QTest::newRow("unknown organisation") << "redir/?id_operator=5" << 404 << ""
                                          << "";
    QTest::newRow("nothing asked") << "redir/" << 404 << ""
                                   << "";
}

void TestServiceHttp::sitePages() {
    QFETCH(QString, query);
    QFETCH(int, status);
    QFETCH(QString, shows);
    QFETCH(QString, hides);
    ServiceFixture f;
    importLocations(f);
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"),
                     QStringLiteral("Anna Secret"));
    upload(f, QStringLiteral("anna"),
           {diveLine({{2, QStringLiteral("1")}, {7, QStringLiteral("Cozumel")}})});
    query.replace(QStringLiteral("LOC"),
                  QString::number(locationId(f, QStringLiteral("Cozumel Reefs"))));
    const HttpAnswer page = f.get(query);
    QCOMPARE(page.status, status);
    QCOMPARE(page.header("Content-Type"), QByteArray("text/html; charset=UTF-8"));
    const QString html = QString::fromUtf8(page.body);
    QVERIFY2(html.contains(shows), qPrintable(html));
    QVERIFY(hides.isEmpty() || !html.contains(hides));
}

void TestServiceHttp::oversizedBodyIsRefused() {
    ServiceFixture f(4096);
    f.registerMember(QStringLiteral("anna"), kPass, QStringLiteral("anna@example.org"));
    QStringList many;
    for (int i = 1; i <= 40; ++i) {
        many << diveLine({{2, QString::number(i)}});
    }
    QCOMPARE(upload(f, QStringLiteral("anna"), many).status, 413);
    QCOMPARE(count(f, QStringLiteral("SELECT COUNT(*) FROM dives")), 0);
    QCOMPARE(upload(f, QStringLiteral("anna"), many.mid(0, 2)).status, 200);
}

void TestServiceHttp::connectionStaysOpenOnlyWhenAsked() {
    ServiceFixture f;
    const QByteArray get =
        "GET /serv0.9/info/update.xml.php?version=0.7.15b&param_idioma= HTTP/1.0\r\n";
    QTcpSocket plain;
    plain.connectToHost(QHostAddress::LocalHost, f.port);
    QVERIFY(plain.waitForConnected(5000));
    plain.write(get + "\r\n");
    QCOMPARE(readAnswer(plain).status, 200);
    QVERIFY(closedByServer(plain));

    QTcpSocket kept;
    kept.connectToHost(QHostAddress::LocalHost, f.port);
    QVERIFY(kept.waitForConnected(5000));
    kept.write(get + "Connection: keep-alive\r\n\r\n");
    const HttpAnswer first = readAnswer(kept);
    QCOMPARE(first.header("Connection"), QByteArray("keep-alive"));
    kept.write(get + "Connection: keep-alive\r\n\r\n");
    QCOMPARE(readAnswer(kept).status, 200);
}

QTEST_GUILESS_MAIN(TestServiceHttp)
#include "test_service_http.moc"
