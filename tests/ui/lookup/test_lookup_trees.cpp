#include "app/settings/app_error.h"
#include "app/settings/regional_formats.h"
#include "cache/tdm_local_data.h"
#include "cache_text.h"
#include "test_support.h"
#include "ui/lookup/contact_list.h"
#include "ui/lookup/location_tree.h"
#include "ui/lookup/organization_tree.h"

namespace {

using CacheText::Location;
using CacheText::Organization;

XmlDocument parsed(const QByteArray& text) {
    return XmlDocument::parse(text, QStringLiteral("The fixture"));
}

XmlDocument locationsDocument(const QList<Location>& locations) {
    QStringList records;
    for (const Location& location : locations) {
        records << CacheText::location(location);
    }
    return parsed(CacheText::document(records));
}

XmlDocument organizationsDocument(const QList<Organization>& organizations,
                                  const QStringList& more = {}) {
    QStringList records;
    for (const Organization& organization : organizations) {
        records << CacheText::organization(organization);
    }
    return parsed(CacheText::localData({}, records + more));
}

XmlElement organizationsOf(const XmlDocument& localData) {
    return localData.documentElement().firstChildElement(QStringLiteral("organizations"));
}

const char* kindName(LookupTree::Kind kind) {
    switch (kind) {
        case LookupTree::Kind::Grouping:
            return "group";
        case LookupTree::Kind::Entry:
            return "entry";
        case LookupTree::Kind::Child:
            return "child";
    }
    return "?";
}

// The tree in tree order, one line per node: its depth as indentation, text, tag and kind.
void describe(const LookupTree& tree, int parent, int depth, QStringList& lines) {
    for (int node : tree.children(parent)) {
        lines << QString(depth * 2, QLatin1Char(' ')) +
                     QStringLiteral("%1 #%2 %3")
                         .arg(tree.node(node).text)
                         .arg(tree.node(node).tag)
                         .arg(QLatin1String(kindName(tree.kind(node))));
        describe(tree, node, depth + 1, lines);
    }
}

QStringList describe(const LookupTree& tree) {
    QStringList lines;
    describe(tree, LookupTree::kTop, 0, lines);
    return lines;
}

// Where a node stands: its texts from the top, joined by "/".
QString pathOf(const LookupTree& tree, int node) {
    QStringList texts;
    for (int at = node; at != LookupTree::kTop; at = tree.node(at).parent) {
        texts.prepend(tree.node(at).text);
    }
    return texts.join(QLatin1Char('/'));
}

const QList<Location> kReefs = {
    {"1",
     "Cozumel",
     "Mexico",
     "Quintana Roo",
     "Cozumel",
     "Caribbean",
     {{11, "Palancar"}, {12, "Columbia"}}},
    {"2", "Espiritu Santo", "Mexico", "Baja California Sur", "La Paz", "Sea of Cortez", {}},
    {"3", "Blue Hole", "Belize", "", "", "Caribbean", {{31, "Lighthouse"}}},
};

}  // namespace

class TestLookupTrees : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void locationTree_data();
    void locationTree();
    void aFirstNodeOfATextTakesLaterEntriesAsTheScanDoes();
    void anIdThatIsNoNumberStopsTheBuildThere_data();
    void anIdThatIsNoNumberStopsTheBuildThere();
    void preselection_data();
    void preselection();
    void locationNameOnSelect_data();
    void locationNameOnSelect();
    void organizationTree_data();
    void organizationTree();
    void organizationPreselection();
    void listOrder_data();
    void listOrder();
    void contactEntriesRemovedAndReplacedByTheFirstWithTheirId();
};

void TestLookupTrees::initTestCase() {
    RegionalFormats::force();  // the locale the program collates in
}

void TestLookupTrees::locationTree_data() {
    QTest::addColumn<QList<Location>>("locations");
    QTest::addColumn<bool>("byRegion");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("by country, state and county") << kReefs << false
                                                  << QStringList{"Belize #0 group",
                                                                 "  Blue Hole #3 entry",
                                                                 "    Lighthouse #31 child",
                                                                 "Mexico #0 group",
                                                                 "  Baja California Sur #0 group",
                                                                 "    La Paz #0 group",
                                                                 "      Espiritu Santo #2 entry",
                                                                 "  Quintana Roo #0 group",
                                                                 "    Cozumel #0 group",
                                                                 "      Cozumel #1 entry",
                                                                 "        Columbia #12 child",
                                                                 "        Palancar #11 child"};
    QTest::newRow("by region") << kReefs << true
                               << QStringList{
                                      "Caribbean #0 group",       "  Blue Hole #3 entry",
                                      "    Lighthouse #31 child", "  Cozumel #1 entry",
                                      "    Columbia #12 child",   "    Palancar #11 child",
                                      "Sea of Cortez #0 group",   "  Espiritu Santo #2 entry"};
    QTest::newRow("an empty state ignores the county")
        << QList<Location>{{"4", "Cenote", "Mexico", "", "Tulum", "Yucatan", {}}} << false
        << QStringList{"Mexico #0 group", "  Cenote #4 entry"};
    QTest::newRow("an empty country ignores state and county")
        << QList<Location>{{"5", "Open Water", "", "Somewhere", "Nowhere", "", {}}} << false
        << QStringList{"Open Water #5 entry"};
    QTest::newRow("countries that differ in case stay apart")
        << QList<Location>{{"6", "A", "Mexico", "", "", "", {}},
                           {"7", "B", "mexico", "", "", "", {}},
                           {"8", "C", "Mexico", "", "", "", {}}}
        << false
        << QStringList{"mexico #0 group", "  B #7 entry", "Mexico #0 group", "  A #6 entry",
                       "  C #8 entry"};
    QTest::newRow("an empty region gathers under an empty node")
        << QList<Location>{{"9", "Reef", "Mexico", "", "", "", {}},
                           {"10", "Wreck", "Peru", "", "", "", {}},
                           {"11", "Wall", "Peru", "", "", "Pacific", {}}}
        << true
        << QStringList{" #0 group", "  Reef #9 entry", "  Wreck #10 entry", "Pacific #0 group",
                       "  Wall #11 entry"};
    QTest::newRow("sorted by the locale's collation, not by character code")
        << QList<Location>{{"1", "x", "Peru", "", "", "", {}},
                           {"2", "x", "Österreich", "", "", "", {}},
                           {"3", "x", "Oman", "", "", "", {}}}
        << false << QStringList{"Oman #0 group", "  x #3 entry",  "Österreich #0 group",
                                "  x #2 entry",  "Peru #0 group", "  x #1 entry"};
    QTest::newRow("an entry without an id adds only its grouping nodes")
        << QList<Location>{{"", "Ghost", "Chile", "Valparaiso", "", "", {{5, "Site"}}}} << false
        << QStringList{"Chile #0 group", "  Valparaiso #0 group"};
}

void TestLookupTrees::locationTree() {
    QFETCH(QList<Location>, locations);
    QFETCH(bool, byRegion);
    QFETCH(QStringList, expected);
    const XmlDocument cache = locationsDocument(locations);
    LookupTree tree;
    LocationTree::build(cache.documentElement(), byRegion, tree);
    QCOMPARE(describe(tree), expected);
}

// A scan in tree order takes the first node under the parent with the text, whatever its kind:
// the first location named like a state that comes later takes that state's entries as its
// children, which then count as sites.
void TestLookupTrees::aFirstNodeOfATextTakesLaterEntriesAsTheScanDoes() {
    const XmlDocument cache = locationsDocument({
        {"1", "Yucatan", "Mexico", "", "", "", {}},
        {"5", "Yucatan", "Mexico", "", "", "", {}},
        {"2", "Cenote", "Mexico", "Yucatan", "", "", {}},
        {"3", "Reef", "Mexico", "Quintana Roo", "", "", {}},
        {"4", "Wall", "Mexico", "Quintana Roo", "", "", {}},
    });
    LookupTree tree;
    LocationTree::build(cache.documentElement(), false, tree);
    QCOMPARE(describe(tree),
             (QStringList{"Mexico #0 group", "  Quintana Roo #0 group", "    Reef #3 entry",
                          "    Wall #4 entry", "  Yucatan #1 entry", "    Cenote #2 child",
                          "  Yucatan #5 entry"}));
}

void TestLookupTrees::anIdThatIsNoNumberStopsTheBuildThere_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("kept");

    const QString reef = CacheText::location({"1", "Reef", "Peru", "", "", "", {}});
    QTest::newRow("location id")
        << QStringList{reef, CacheText::location({"x1", "Bad", "Chile", "", "", "", {}}),
                       CacheText::location({"3", "Later", "Peru", "", "", "", {}})}
        << "'x1' is not a valid integer value"
        << QStringList{"Chile #0 group", "Peru #0 group", "  Reef #1 entry"};
    QTest::newRow("site id")
        << QStringList{reef,
                       CacheText::record("location",
                                         {{"id", "2"}, {"smallname", "Wall"}, {"country", "Peru"}},
                                         "<sites><site><id>5</id><name>First</name></site>"
                                         "<site><id>7.5</id><name>Bad</name></site></sites>")}
        << "'7.5' is not a valid integer value"
        << QStringList{"Peru #0 group", "  Reef #1 entry", "  Wall #2 entry", "    First #5 child"};
}

// The nodes built before the failure stay, sorted.
void TestLookupTrees::anIdThatIsNoNumberStopsTheBuildThere() {
    QFETCH(QStringList, entries);
    QFETCH(QString, message);
    QFETCH(QStringList, kept);
    const XmlDocument cache = parsed(CacheText::document(entries));
    LookupTree tree;
    try {
        LocationTree::build(cache.documentElement(), false, tree);
        QFAIL("the build went through");
    } catch (const AppError& e) {
        QCOMPARE(e.message(), message);
    }
    QCOMPARE(describe(tree), kept);
}

void TestLookupTrees::preselection_data() {
    QTest::addColumn<int>("idLocation");
    QTest::addColumn<int>("idSite");
    QTest::addColumn<QString>("selected");

    QTest::newRow("site") << 1 << 12 << "Mexico/Quintana Roo/Cozumel/Cozumel/Columbia";
    QTest::newRow("location without a site")
        << 2 << 0 << "Mexico/Baja California Sur/La Paz/Espiritu Santo";
    QTest::newRow("a site id not cached selects nothing, not its location") << 1 << 99 << "";
    QTest::newRow("no ids") << 0 << 0 << "";
    // The same id twice: the last in tree order (Chile sorts before Peru), not in the file.
    QTest::newRow("last in tree order") << 7 << 0 << "Peru/Lima";
    // Under a location whose id is not positive a site counts as a location, yet only a
    // parent tag of exactly 0 preselects.
    QTest::newRow("parent tag exactly 0") << 40 << 0 << "Ecuador/Galapagos";
    QTest::newRow("a site needs a parent tag above 0") << 0 << 41 << "";
}

void TestLookupTrees::preselection() {
    QFETCH(int, idLocation);
    QFETCH(int, idSite);
    QFETCH(QString, selected);
    QList<Location> locations = kReefs;
    locations << Location{"7", "Lima", "Peru", "", "", "", {}}
              << Location{"7", "Santiago", "Chile", "", "", "", {}}
              << Location{"-2", "Odd", "Cuba", "", "", "", {{40, "Holguin"}, {41, "Jardines"}}}
              << Location{"40", "Galapagos", "Ecuador", "", "", "", {}};
    const XmlDocument cache = locationsDocument(locations);
    LookupTree tree;
    LocationTree::build(cache.documentElement(), false, tree);
    const int node = LocationTree::preselection(tree, idLocation, idSite);
    QCOMPARE(node < 0 ? QString() : pathOf(tree, node), selected);
}

void TestLookupTrees::locationNameOnSelect_data() {
    QTest::addColumn<int>("idLocation");
    QTest::addColumn<bool>("byRegion");
    QTest::addColumn<QString>("passedIn");
    QTest::addColumn<QString>("name");

    QTest::newRow("grouped by country: name") << 1 << false << "old"
                                              << "Cozumel, Quintana Roo";
    QTest::newRow("grouped by region: regionname") << 1 << true << "old"
                                                   << "Caribbean: Cozumel";
    QTest::newRow("the last entry with the id wins") << 2 << false << "old"
                                                     << "Second";
    QTest::newRow("no entry with the id keeps the name") << 9 << false << "old"
                                                         << "old";
    QTest::newRow("no entry and no name: the scan ends at the list's end") << 9 << true << ""
                                                                           << "";
    QTest::newRow("an entry without the name keeps it") << 3 << true << "old"
                                                        << "old";
}

void TestLookupTrees::locationNameOnSelect() {
    QFETCH(int, idLocation);
    QFETCH(bool, byRegion);
    QFETCH(QString, passedIn);
    QFETCH(QString, name);
    const auto entry = [](const char* id, const char* name, const char* regionName) {
        return CacheText::record("location",
                                 {{"id", id}, {"name", name}, {"regionname", regionName}});
    };
    const XmlDocument cache = parsed(CacheText::document({
        entry("1", "Cozumel, Quintana Roo", "Caribbean: Cozumel"),
        entry("2", "First", "R1"),
        entry("2", "Second", "R2"),
        entry("3", "Named", ""),
    }));
    QCOMPARE(LocationTree::locationName(cache.documentElement(), idLocation, byRegion, passedIn),
             name);
}

void TestLookupTrees::organizationTree_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("operators") << OrganizationTree::kOperators
                               << QStringList{"Both #3 entry",
                                              "Mexico #0 group",
                                              "  Cozumel Divers #1 entry",
                                              "  Quintana Roo #0 group",
                                              "    Cozumel #0 group",
                                              "      Aldora #2 entry"};
    QTest::newRow("schools") << OrganizationTree::kSchools
                             << QStringList{"Both #3 entry", "Peru #0 group", "  Lima #0 group",
                                            "    Academy #4 entry"};
}

// Flags count only when exactly "1"; an empty country or state leaves out what lies below.
void TestLookupTrees::organizationTree() {
    QFETCH(int, kind);
    QFETCH(QStringList, expected);
    const XmlDocument cache = organizationsDocument(
        {
            {"1", "Cozumel Divers", true, false, "Mexico", "", "Cozumel"},
            {"2", "Aldora", true, false, "Mexico", "Quintana Roo", "Cozumel"},
            {"3", "Both", true, true, "", "Lima", "Miraflores"},
            {"4", "Academy", false, true, "Peru", "Lima", ""},
        },
        {CacheText::record("organization",
                           {{"id", "5"}, {"name", "Yes"}, {"operator", "yes"}, {"school", " 1"}})});
    LookupTree tree;
    OrganizationTree::build(organizationsOf(cache), kind, tree);
    QCOMPARE(describe(tree), expected);
}

void TestLookupTrees::organizationPreselection() {
    const XmlDocument cache = organizationsDocument({
        {"1", "Cozumel Divers", true, false, "Mexico", "", ""},
        {"4", "Academy", false, true, "Peru", "", ""},
        {"abc", "Broken", true, false, "Chile", "", ""},
        {"6", "Never built", true, false, "Chile", "", ""},
    });
    LookupTree tree;
    QVERIFY_THROWS_EXCEPTION(AppError, OrganizationTree::build(organizationsOf(cache), 1, tree));
    QCOMPARE(pathOf(tree, OrganizationTree::preselection(tree, 1)),
             QStringLiteral("Mexico/Cozumel Divers"));
    QCOMPARE(OrganizationTree::preselection(tree, 4), -1);  // a school, not an operator
    QCOMPARE(OrganizationTree::preselection(tree, 6), -1);  // after the failure
    QCOMPARE(OrganizationTree::preselection(tree, 0), -1);  // grouping nodes carry 0
}

void TestLookupTrees::listOrder_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");

    QTest::newRow("ASCII letters without case") << "reef"
                                                << "REEF" << 0;
    QTest::newRow("folded before comparing") << "Zeta"
                                             << "alpha" << 1;
    QTest::newRow("a prefix first") << "Reef"
                                    << "reefs" << -1;
    QTest::newRow("empty first") << ""
                                 << "a" << -1;
    QTest::newRow("letters fold up, so '_' after 'a'") << "a"
                                                       << "_" << -1;
    QTest::newRow("other characters by code") << "é"
                                              << "f" << 1;
    QTest::newRow("accented letters keep their case") << "É"
                                                      << "é" << -1;
}

void TestLookupTrees::listOrder() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    const int result = ContactList::compareListText(a, b);
    QCOMPARE((result > 0) - (result < 0), sign);
    const int reverse = ContactList::compareListText(b, a);
    QCOMPARE((reverse > 0) - (reverse < 0), -sign);
}

void TestLookupTrees::contactEntriesRemovedAndReplacedByTheFirstWithTheirId() {
    XmlStore store;
    store.doc = parsed(CacheText::document(
        {CacheText::contact("1", "Ana"), CacheText::contact("2", "Jon"),
         CacheText::contact("2", "Jon again"), CacheText::contact("3", "Lena")}));
    store.active = true;
    const auto names = [&store] {
        QStringList list;
        for (XmlElement e = store.doc.documentElement().firstChildElement(); !e.isNull();
             e = e.nextSiblingElement()) {
            list << TdmLocalData::childText(e, QStringLiteral("name"));
        }
        return list;
    };
    QCOMPARE(TdmLocalData::childText(
                 ContactList::lastWithId(store.doc.documentElement(), QStringLiteral("2")),
                 QStringLiteral("name")),
             QStringLiteral("Jon again"));

    const XmlDocument fresh = parsed(CacheText::document({CacheText::contact("2", "Jón Þór")}));
    QVERIFY(ContactList::replace(store, QStringLiteral("2"),
                                 fresh.documentElement().firstChildElement()));
    QCOMPARE(names(), (QStringList{"Ana", "Jon again", "Lena", "Jón Þór"}));
    QVERIFY(store.changed);

    store.changed = false;
    QVERIFY(!ContactList::replace(store, QStringLiteral("9"),
                                  fresh.documentElement().firstChildElement()));
    QVERIFY(!ContactList::removeFirst(store, QStringLiteral("9")));
    QCOMPARE(names(), (QStringList{"Ana", "Jon again", "Lena", "Jón Þór"}));
    QVERIFY(!store.changed);

    QVERIFY(ContactList::removeFirst(store, QStringLiteral("2")));
    QCOMPARE(names(), (QStringList{"Ana", "Lena", "Jón Þór"}));
}

NEREVA_TEST_MAIN(TestLookupTrees)
#include "test_lookup_trees.moc"
