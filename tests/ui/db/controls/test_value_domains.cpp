#include "ui/db/controls/value_domains.h"

#include "test_support.h"

#include <functional>

Q_DECLARE_METATYPE(std::function<ValueDomain()>)

namespace {
QStringList numbers(int first, int last) {
    QStringList list;
    for (int n = first; n <= last; ++n) {
        list << QString::number(n);
    }
    return list;
}
}  // namespace

// The domains as the dive editor's table of codes gives them, written out by hand.
class TestValueDomains : public QObject {
    Q_OBJECT
private slots:
    void domainsAsTheTableGivesThem_data();
    void domainsAsTheTableGivesThem();
    void emptyFirstItemStoresZero();
    void checkValues();
};

void TestValueDomains::domainsAsTheTableGivesThem_data() {
    using namespace ValueDomains;
    QTest::addColumn<std::function<ValueDomain()>>("domain");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("environment") << std::function(environment)
                                 << QStringList{"<salt_water>", "<fresh_water>",
                                                "<hiperbaric_chamber>"}
                                 << numbers(1, 3);
    QTest::newRow("dive type, values 7 to 10 without item")
        << std::function(diveType)
        << QStringList{"", "<Beach>", "<Ice>", "<Reef>", "<Sandbar>", "<Wall>", "<Wreck>"}
        << numbers(0, 10);
    QTest::newRow("second dive type")
        << std::function(secondDiveType) << QStringList{"",
                                                        "<Drift>",
                                                        "<Deep_Dive>",
                                                        "<Low_Temperature>",
                                                        "<Low_Visibility>",
                                                        "<Night_Dive>"}
        << numbers(0, 10);
    const QStringList sites{"",       "<Cave>", "<Cavern>",  "<Cenotes>",
                            "<Lake>", "<Sea>",  "<Springs>", "<River>"};
    QTest::newRow("site type, advanced page")
        << std::function(siteType) << sites + QStringList{"<quarry>", "<pool>"} << numbers(0, 10);
    QTest::newRow("site type, simple page")
        << std::function(simpleSiteType) << sites + QStringList{"<pool>", "<quarry>"}
        << numbers(0, 10);
    QTest::newRow("access") << std::function(access)
                            << QStringList{"", "<Boat>", "<Shore>", "<Pond>"} << numbers(0, 3);
    QTest::newRow("activity, values 13 to 15 without item") << std::function(activity)
                                                            << QStringList{"",
                                                                           "<Aclimation>",
                                                                           "<Checkout>",
                                                                           "<Education>",
                                                                           "<Exploration>",
                                                                           "<Instruction>",
                                                                           "<Photography>",
                                                                           "<Recreational>",
                                                                           "<Research>",
                                                                           "<search_item>",
                                                                           "<Training>",
                                                                           "<Videosub>",
                                                                           "<Work>"}
                                                            << numbers(0, 15);
    QTest::newRow("temperature unit, literal")
        << std::function(temperatureUnit) << QStringList{"", "°C", "°F"} << numbers(0, 2);
    QTest::newRow("distance unit")
        << std::function(distanceUnit) << QStringList{"", "<m>", "<ft>"} << numbers(0, 2);
    QTest::newRow("weather") << std::function(weather)
                             << QStringList{"",       "<clear>",      "<cloudy>", "<Misty>",
                                            "<Rain>", "<Heavy_rain>", "<Stormy>", "<snow>"}
                             << numbers(0, 7);
    QTest::newRow("simple weather, no empty item")
        << std::function(simpleWeather)
        << QStringList{"<clear>",      "<cloudy>", "<Misty>", "<Rain>",
                       "<Heavy_rain>", "<Stormy>", "<snow>"}
        << numbers(1, 7);
    QTest::newRow("simple current, no empty item")
        << std::function(simpleStrength)
        << QStringList{"<none>", "<calm>", "<moderate>", "<strong>", "<heavy>"} << numbers(1, 5);
    QTest::newRow("gas with a seventh item without value")
        << std::function(gasWithBlank)
        << QStringList{"<Air>",    "<Oxigen>",    "<NitroxI>", "<NitroxII>",
                       "<Heliox>", "<Other_mix>", ""}
        << numbers(1, 6);
    QTest::newRow("tank material, literal")
        << std::function(tankMaterial) << QStringList{"Aluminium", "Steel"} << numbers(1, 2);
    QTest::newRow("end or used") << std::function(endOrUsed) << QStringList{"<end>", "<used>"}
                                 << numbers(0, 1);
    QTest::newRow("ballast") << std::function(ballast)
                             << QStringList{"", "<less>", "<ideal>", "<much>"} << numbers(0, 3);
}

void TestValueDomains::domainsAsTheTableGivesThem() {
    QFETCH(std::function<ValueDomain()>, domain);
    QFETCH(QStringList, items);
    QFETCH(QStringList, values);
    const ValueDomain d = domain();
    QCOMPARE(d.items, items);
    QCOMPARE(d.values, values);
}

void TestValueDomains::emptyFirstItemStoresZero() {
    using namespace ValueDomains;
    for (const ValueDomain& d :
         {diveType(), secondDiveType(), siteType(), simpleSiteType(), access(), activity(),
          distanceUnit(), temperatureUnit(), pressureUnit(), weather(), strength(), volumeUnit(),
          thicknessUnit(), weightUnit(), ballast()}) {
        QCOMPARE(d.items.first(), QString());
        QCOMPARE(d.values.first(), QString("0"));
    }
    QCOMPARE(ratingItems(), numbers(1, 5));
}

void TestValueDomains::checkValues() {
    QCOMPARE(ValueDomains::flag().checked, QString("1"));
    QCOMPARE(ValueDomains::flag().unchecked, QString("0"));
    QCOMPARE(ValueDomains::saltWater().checked, QString("1"));
    QCOMPARE(ValueDomains::saltWater().unchecked, QString("2"));
}

NEREVA_TEST_MAIN(TestValueDomains)
#include "test_value_domains.moc"
