#include "test_support.h"
#include "ui/profile/profile_rules.h"

Q_DECLARE_METATYPE(RegistrationResult)

namespace {

// Two entries named Mexico (both count), one country without states, one agency without
// levels and names in no particular order.
const char* const kReference =
    "<data><countries>"
    "<country><name>Mexico</name><states><state><name>Yucatan</name></state>"
    "<state><name>Quintana Roo</name></state></states></country>"
    "<country><name>Egypt</name></country>"
    "<country><name>Mexico</name><states><state><name>Baja California</name></state>"
    "</states></country>"
    "<country><name>mexico</name><states><state><name>Lower</name></state></states></country>"
    "</countries><agencies>"
    "<agency><name>SSI</name><levels><level>Open Water</level><level>Nitrox</level></levels>"
    "</agency>"
    "<agency><name>cmas</name></agency>"
    "<agency><name>PADI</name><levels><level>Rescue Diver</level></levels>"
    "</agency><agency><name>PADI</name><levels><level>Divemaster</level></levels></agency>"
    "</agencies></data>";

XmlElement root(XmlDocument& document, const char* xml) {
    document = XmlDocument::parse(QByteArray(xml), QStringLiteral("The reference fixture"));
    return document.documentElement();
}

}  // namespace

class TestProfileRules : public QObject {
    Q_OBJECT
private slots:
    void countriesAndStates();
    void agenciesAndLevels();
    void missingListsAreEmpty();
    void certificateListTexts_data();
    void certificateListTexts();
    void registrationAnswer_data();
    void registrationAnswer();
    void registrationInputRule_data();
    void registrationInputRule();
};

void TestProfileRules::countriesAndStates() {
    XmlDocument document;
    const XmlElement data = root(document, kReference);
    QCOMPARE(ReferenceLists::countries(data), QStringList({"Mexico", "Egypt", "Mexico", "mexico"}));
    QCOMPARE(ReferenceLists::states(data, "Mexico"),
             QStringList({"Yucatan", "Quintana Roo", "Baja California"}));
    QCOMPARE(ReferenceLists::states(data, "Egypt"), QStringList());
    QCOMPARE(ReferenceLists::states(data, "Atlantis"), QStringList());
}

void TestProfileRules::agenciesAndLevels() {
    XmlDocument document;
    const XmlElement data = root(document, kReference);
    QCOMPARE(ReferenceLists::agencies(data), QStringList({"cmas", "PADI", "PADI", "SSI"}));
    QCOMPARE(ReferenceLists::levels(data, "SSI"), QStringList({"Open Water", "Nitrox"}));
    // Every agency of that exact name contributes.
    QCOMPARE(ReferenceLists::levels(data, "PADI"), QStringList({"Rescue Diver", "Divemaster"}));
    QCOMPARE(ReferenceLists::levels(data, "CMAS"), QStringList());
    QCOMPARE(ReferenceLists::levels(data, "cmas"), QStringList());
}

void TestProfileRules::missingListsAreEmpty() {
    XmlDocument document;
    const XmlElement data = root(document, "<init/>");
    QCOMPARE(ReferenceLists::countries(data), QStringList());
    QCOMPARE(ReferenceLists::agencies(data), QStringList());
    QCOMPARE(ReferenceLists::states(XmlElement(), "Mexico"), QStringList());
    QCOMPARE(ReferenceLists::levels(XmlElement(), "PADI"), QStringList());
}

void TestProfileRules::certificateListTexts_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("dateText");
    QTest::addColumn<int>("category");
    QTest::addColumn<QString>("categoryKey");
    QTest::newRow("no date, certification") << QDate() << "" << 0 << "certification";
    QTest::newRow("14 March 2005, speciality")
        << QDate(2005, 3, 14) << " 2005/03/14" << 1 << "speciality";
    QTest::newRow("seminar") << QDate(1999, 12, 1) << " 1999/12/01" << 2 << "seminar";
    QTest::newRow("conference") << QDate(2024, 1, 31) << " 2024/01/31" << 3 << "conference";
    QTest::newRow("category 4") << QDate(2024, 1, 31) << " 2024/01/31" << 4 << "";
    QTest::newRow("negative category") << QDate() << "" << -1 << "";
}

void TestProfileRules::certificateListTexts() {
    QFETCH(QDate, date);
    QFETCH(int, category);
    QTEST(CertificateList::dateText(date), "dateText");
    QTEST(CertificateList::categoryKey(category), "categoryKey");
}

void TestProfileRules::registrationAnswer_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<RegistrationResult>("result");
    QTest::addColumn<QString>("registeredUser");
    QTest::newRow("0") << "result=0" << RegistrationResult::ConnectionError << "";
    QTest::newRow("seven characters") << "result=" << RegistrationResult::ConnectionError << "";
    QTest::newRow("1 with the name") << "status:1\r\nbluefin\r\n"
                                     << RegistrationResult::Registered << "bluefin";
    QTest::newRow("1 with a bare line feed")
        << "status:1\nbluefin" << RegistrationResult::Registered << "bluefin";
    QTest::newRow("1 alone") << "status:1" << RegistrationResult::Registered << "";
    QTest::newRow("only the eighth character counts")
        << "xxxxxxx1yz" << RegistrationResult::Registered << "";
    QTest::newRow("2") << "result=2" << RegistrationResult::AlreadyRegistered << "";
    QTest::newRow("3") << "result=3\r\nwhatever" << RegistrationResult::Refused << "";
    QTest::newRow("other digit") << "result=7" << RegistrationResult::None << "";
    QTest::newRow("a letter") << "result=x" << RegistrationResult::None << "";
    QTest::newRow("short first line") << "error\r\nresult=1" << RegistrationResult::None << "";
}

void TestProfileRules::registrationAnswer() {
    QFETCH(QString, answer);
    const RegistrationAnswer read = Registration::readAnswer(answer);
    QTEST(read.result, "result");
    QTEST(read.registeredUser, "registeredUser");
}

void TestProfileRules::registrationInputRule_data() {
    QTest::addColumn<QString>("email");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<bool>("complete");
    QTest::newRow("all four hold") << "a@b.c"
                                   << "dive"
                                   << "pass"
                                   << "pass" << true;
    QTest::newRow("password of three") << "a@b.c"
                                       << "dive"
                                       << "pas"
                                       << "pas" << false;
    QTest::newRow("confirmation differs") << "a@b.c"
                                          << "dive"
                                          << "pass"
                                          << "pasS" << false;
    QTest::newRow("user of three") << "a@b.c"
                                   << "div"
                                   << "pass"
                                   << "pass" << false;
    QTest::newRow("e-mail of four") << "a@bc"
                                    << "dive"
                                    << "pass"
                                    << "pass" << false;
    QTest::newRow("nothing typed") << ""
                                   << ""
                                   << ""
                                   << "" << false;
}

void TestProfileRules::registrationInputRule() {
    QFETCH(QString, email);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, confirmation);
    QTEST(Registration::inputComplete(email, user, password, confirmation), "complete");
}

NEREVA_TEST_MAIN(TestProfileRules)
#include "test_profile_rules.moc"
