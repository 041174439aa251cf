#include "app/settings/tdm_const.h"
#include "dictionary/tdm_idioma.h"
#include "net/http_errors.h"
#include "net/service_endpoints.h"
#include "test_support.h"

#include <functional>
#include <memory>

Q_DECLARE_METATYPE(std::function<QString()>)

namespace {

using Address = std::function<QString()>;

const QString kSite = QStringLiteral("http://svc.example/");
const QString kInfo = QStringLiteral("http://svc.example/serv0.9/info/");
const QString kSyncro = QStringLiteral("http://svc.example/serv0.9/syncro/");
const QString kRegister = QStringLiteral("http://svc.example/serv0.9/register/");

// The roots of the settings module and, when a code is given, a dictionary in that language.
struct Roots {
    TestSupport::TempFolders folders;
    Tdm_const settings;
    std::unique_ptr<TdmIdioma> dictionary;

    explicit Roots(const QString& languageCode) {
        settings.AppVersion = QStringLiteral("0.7.15b");
        settings.BaseUrl = kSite;
        settings.UrlInfo = kInfo;
        settings.UrlSyncro = kSyncro;
        settings.UrlRegister = kRegister;
        dm_const = &settings;
        if (languageCode.isNull()) {
            return;
        }
        TestSupport::writeFile(QStringLiteral("language.xml"),
                               "<language><config><code>" + languageCode.toLatin1() +
                                   "</code></config><dictionary/></language>");
        dictionary = std::make_unique<TdmIdioma>();
        dictionary->DataModuleCreate();
        dmIdioma = dictionary.get();
    }
    ~Roots() {
        dmIdioma = nullptr;
        dm_const = nullptr;
    }
};

}  // namespace

class TestHttpEndpoints : public QObject {
    Q_OBJECT
private slots:
    void everyRequestHasItsAddress_data();
    void everyRequestHasItsAddress();
    void withoutDictionaryTheLanguageIsEmpty();
    void typedTextCannotChangeTheAddress_data();
    void typedTextCannotChangeTheAddress();
    void textOutsideLatin1Throws();
};

void TestHttpEndpoints::everyRequestHasItsAddress_data() {
    using namespace ServiceEndpoints;
    QTest::addColumn<Address>("address");
    QTest::addColumn<QString>("expected");
    QTest::newRow("member record") << Address(personal) << kSyncro + "personal.xml.php";
    QTest::newRow("deletions") << Address(deleteDives) << kSyncro + "delete.php";
    QTest::newRow("dives") << Address(dives) << kSyncro + "dives.php";
    QTest::newRow("reference data")
        << Address(localData) << kInfo + "localdata.xml.php?param_idioma=es";
    QTest::newRow("member's locations")
        << Address(memberLocations) << kInfo + "locations.xml.php?param_idioma=es";
    QTest::newRow("member's contacts") << Address(memberContacts) << kInfo + "contactlist.xml.php?";
    QTest::newRow("location search")
        << Address([] { return searchLocations("Blue Hole", "Costa Rica"); })
        << kInfo +
               "locations.xml.php?param_idioma=es&param_name=Blue%20Hole"
               "&param_country=Costa%20Rica";
    QTest::newRow("one location") << Address([] { return location(42); })
                                  << kInfo + "locations.xml.php?param_id=42";
    QTest::newRow("contact search, no operator chosen")
        << Address(
               [] { return searchContacts(QStringLiteral("José"), "diver_1", -1, "a.b@x.org"); })
        << kInfo +
               "contactlist.xml.php?param_name=Jos%E9&param_user=diver_1&param_op=-1"
               "&param_email=a.b%40x.org";
    QTest::newRow("contact search, all empty")
        << Address([] { return searchContacts({}, {}, 0, {}); })
        << kInfo + "contactlist.xml.php?param_name=&param_user=&param_op=0&param_email=";
    QTest::newRow("one contact") << Address([] { return contact("17"); })
                                 << kInfo + "contactlist.xml.php?param_id=17";
    QTest::newRow("registration") << Address(registration) << kRegister;
    QTest::newRow("invitation") << Address([] { return invitation("new.diver@x.org"); })
                                << kRegister + "invite.php?param_email=new.diver%40x.org";
    QTest::newRow("update check") << Address(updateCheck)
                                  << kInfo + "update.xml.php?version=0.7.15b&param_idioma=es";
    QTest::newRow("site") << Address(siteRoot) << kSite;
    QTest::newRow("help page") << Address(helpPage) << kSite + "redir/?help=1";
    QTest::newRow("profile page") << Address([] { return memberProfilePage("diver"); })
                                  << kSite + "redir/?user=diver";
    QTest::newRow("location page") << Address([] { return locationPage("12", "3"); })
                                   << kSite + "redir/?id_location=12&id_site=3";
    QTest::newRow("operator page")
        << Address([] { return organizationPage("8"); }) << kSite + "redir/?id_operator=8";
    QTest::newRow("member page") << Address([] { return memberPage("77"); })
                                 << kSite + "redir/?id_user=77";
}

void TestHttpEndpoints::everyRequestHasItsAddress() {
    QFETCH(Address, address);
    QFETCH(QString, expected);
    Roots roots(QStringLiteral("es"));
    QCOMPARE(address(), expected);
}

void TestHttpEndpoints::withoutDictionaryTheLanguageIsEmpty() {
    Roots roots{QString()};
    QCOMPARE(ServiceEndpoints::localData(), kInfo + "localdata.xml.php?param_idioma=");
    QCOMPARE(ServiceEndpoints::memberLocations(), kInfo + "locations.xml.php?param_idioma=");
    QCOMPARE(ServiceEndpoints::updateCheck(),
             kInfo + "update.xml.php?version=0.7.15b&param_idioma=");
}

void TestHttpEndpoints::typedTextCannotChangeTheAddress_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("parameter smuggled in") << "reef&param_id=5"
                                           << "reef%26param_id%3D5";
    QTest::newRow("fragment and escape") << "50% #1"
                                         << "50%25%20%231";
    QTest::newRow("path and line end") << "../x\r\n"
                                       << "..%2Fx%0D%0A";
    QTest::newRow("unreserved kept") << "a-b.c_d~e"
                                     << "a-b.c_d~e";
}

void TestHttpEndpoints::typedTextCannotChangeTheAddress() {
    QFETCH(QString, typed);
    QFETCH(QString, encoded);
    Roots roots(QStringLiteral("en"));
    QCOMPARE(ServiceEndpoints::invitation(typed), kRegister + "invite.php?param_email=" + encoded);
}

void TestHttpEndpoints::textOutsideLatin1Throws() {
    Roots roots(QStringLiteral("en"));
    QVERIFY_THROWS_EXCEPTION(EncodingError,
                             ServiceEndpoints::searchLocations(QStringLiteral("Łeba"), {}));
}

NEREVA_TEST_MAIN(TestHttpEndpoints)
#include "test_http_endpoints.moc"
