#include "lookup_fixture.h"
#include "ui/lookup/lookup_tree_model.h"
#include "ui/lookup/tfrm_select_location.h"

#include <QHeaderView>
#include <QTimer>

namespace {

using CacheText::Location;

LookupFixture::Cache reefCache() {
    LookupFixture::Cache cache;
    cache.locations = CacheText::document({
        CacheText::location({"1",
                             "Cozumel",
                             "Mexico",
                             "Quintana Roo",
                             "Cozumel",
                             "Caribbean",
                             {{11, "Palancar"}, {12, "Columbia"}},
                             "Cozumel, Quintana Roo",
                             "Caribbean: Cozumel"}),
        CacheText::location({"2",
                             "Espiritu Santo",
                             "Mexico",
                             "Baja California Sur",
                             "La Paz",
                             "Sea of Cortez",
                             {},
                             "Espiritu Santo, La Paz",
                             "Sea of Cortez: Espiritu Santo"}),
    });
    cache.localData =
        CacheText::localData({CacheText::country("Mexico", {"Quintana Roo", "Yucatan"}),
                              CacheText::country("Peru", {"Lima"}),
                              CacheText::country("Mexico", {"Baja California Sur"})},
                             {});
    return cache;
}

// What the service's directory answers: a search lists entries, "param_id=" gives one.
QByteArray searchAnswer() {
    return CacheText::document(
        {CacheText::location({"2", "Espiritu Santo", "Mexico", "Baja California Sur", "", "", {}}),
         CacheText::location({"3", "blue hole", "Belize", "", "", "", {}}),
         CacheText::location({"4", "Arch", "Egypt", "South Sinai", "", "", {}})},
        QStringLiteral("locations"));
}

QByteArray entryAnswer(const QString& id, const QString& smallName) {
    return CacheText::document(
        {CacheText::location({id, smallName, "Belize", "", "", "Caribbean", {{31, "Lighthouse"}}})},
        QStringLiteral("locations"));
}

struct LocationFixture : LookupFixture {
    std::unique_ptr<TFrmSelectLocation> dialog;

    explicit LocationFixture(const Cache& cache = reefCache()) : LookupFixture(cache) {}

    TFrmSelectLocation& open(int idLocation, int idSite, const QString& location = {},
                             const QString& site = {}) {
        dialog = std::make_unique<TFrmSelectLocation>(nullptr, detector.get(), &dives);
        dialog->IdLocation = idLocation;
        dialog->IdSite = idSite;
        dialog->LocationName = location;
        dialog->SiteName = site;
        dialog->show();
        return *dialog;
    }

    Ui::TFrmSelectLocation* ui() const { return dialog->ui; }

    // Builds the tree now instead of 100 ms later.
    void buildTree() {
        QVERIFY(dialog->Timer1->isActive());
        dialog->Timer1Timer();
    }

    // The index of the node at `path` (texts from the top, joined by "/").
    QModelIndex find(const QString& path) const {
        const QAbstractItemModel* model = ui()->tlist->model();
        QModelIndex at;
        for (const QString& text : path.split(QLatin1Char('/'))) {
            QModelIndex next;
            for (int row = 0; row < model->rowCount(at) && !next.isValid(); ++row) {
                if (model->index(row, 0, at).data().toString() == text) {
                    next = model->index(row, 0, at);
                }
            }
            if (!next.isValid()) {
                qWarning("no node %s", qPrintable(path));
                return {};
            }
            at = next;
        }
        return at;
    }

    QString selectedPath() const {
        const QModelIndexList selected = ui()->tlist->selectionModel()->selectedIndexes();
        QStringList texts;
        for (QModelIndex at = selected.value(0); at.isValid(); at = at.parent()) {
            texts.prepend(at.data().toString());
        }
        return texts.join(QLatin1Char('/'));
    }

    void selectNode(const QString& path) {
        ui()->tlist->setCurrentIndex(find(path));
        ui()->tlist->scrollTo(find(path));
    }

    bool closedWith(int result) const { return !dialog->isVisible() && dialog->result() == result; }

    void search(const QString& name, const QString& country) {
        ui()->search_name->setText(name);
        ui()->search_country->setEditText(country);
        ui()->bt_search->click();
    }
};

}  // namespace

class TestSelectLocation : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheLocalTreeOnceVisibleAfter100ms();
    void opensOnTheNewSitePageWithoutALocation_data();
    void opensOnTheNewSitePageWithoutALocation();
    void selectionFeedbackFollowsTheNodeKind_data();
    void selectionFeedbackFollowsTheNodeKind();
    void selectReturnsTheNodeAndTheCachedName_data();
    void selectReturnsTheNodeAndTheCachedName();
    void newSitePageReturnsTheTypedNames();
    void cancelAndEscapeClearTheIdsTheTitleBarDoesNot();
    void groupingSwitchRebuildsAndIsKept();
    void emptyCacheGivesAnEmptyTreeAndTheNewSitePageStillWorks();
    void countryChoiceListsItsStatesAndWritesTheDive();
    void searchPageOnlyWhenOnlineAtCreation();
    void searchSendsNothing_data();
    void searchSendsNothing();
    void searchValuesArriveAsOneParameterEach();
    void failedSearchLeavesNoRowsOfAnEarlierOne_data();
    void failedSearchLeavesNoRowsOfAnEarlierOne();
    void resultsSortAscendingByTheClickedColumn();
    void addMergesTheTickedLocations();
    void addingOnlyCachedLocationsSaysNothing();
};

void TestSelectLocation::opensOnTheLocalTreeOnceVisibleAfter100ms() {
    LocationFixture f;
    TFrmSelectLocation& dialog = f.open(1, 12, "Old name", "Columbia wall");
    QCOMPARE(f.ui()->PageControl1->currentWidget(), f.ui()->ts_local);
    QCOMPARE(f.ui()->ed_site1->text(), QStringLiteral("Columbia wall"));
    QVERIFY(dialog.Timer1->isActive());
    QCOMPARE(dialog.Timer1->interval(), 100);
    QVERIFY(dialog.Timer1->isSingleShot());
    QCOMPARE(dialog.treeModel()->rowCount(), 0);
    QVERIFY(!f.ui()->bt_select->isEnabled());

    QTRY_COMPARE(dialog.treeModel()->rowCount(), 1);
    QVERIFY(!dialog.reloadTree());
    QCOMPARE(f.selectedPath(), QStringLiteral("Mexico/Quintana Roo/Cozumel/Cozumel/Columbia"));
    QVERIFY(f.ui()->bt_select->isEnabled());
    QVERIFY(f.ui()->tlist->isExpanded(f.find("Mexico/Quintana Roo/Cozumel/Cozumel")));
}

void TestSelectLocation::opensOnTheNewSitePageWithoutALocation_data() {
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("site");
    QTest::addColumn<bool>("selectEnabled");

    QTest::newRow("names") << "Isla Mujeres"
                           << "Manchones" << true;
    QTest::newRow("site only") << ""
                               << "Manchones" << true;
    QTest::newRow("no names") << ""
                              << "" << false;
}

void TestSelectLocation::opensOnTheNewSitePageWithoutALocation() {
    QFETCH(QString, location);
    QFETCH(QString, site);
    QFETCH(bool, selectEnabled);
    LocationFixture f;
    TFrmSelectLocation& dialog = f.open(0, 5, location, site);
    QCOMPARE(f.ui()->PageControl1->currentWidget(), f.ui()->ts_new);
    QCOMPARE(f.ui()->ed_location->text(), location);
    QCOMPARE(f.ui()->ed_site->text(), site);
    QCOMPARE(f.ui()->bt_select->isEnabled(), selectEnabled);
    QVERIFY(!dialog.Timer1->isActive());  // the tree waits for its page
    QVERIFY(dialog.reloadTree());

    QTest::keyClick(f.ui()->ed_site, Qt::Key_X);
    QVERIFY(f.ui()->bt_select->isEnabled());
    f.ui()->PageControl1->setCurrentWidget(f.ui()->ts_local);
    QVERIFY(dialog.Timer1->isActive());
}

void TestSelectLocation::selectionFeedbackFollowsTheNodeKind_data() {
    QTest::addColumn<QString>("node");
    QTest::addColumn<bool>("selectEnabled");
    QTest::addColumn<bool>("siteEditable");
    QTest::addColumn<QString>("siteText");

    // The site edit keeps the state the preselected location gave it.
    QTest::newRow("grouping") << "Mexico/Quintana Roo" << false << true << "typed";
    QTest::newRow("location") << "Mexico/Baja California Sur/La Paz/Espiritu Santo" << true << true
                              << "typed";
    QTest::newRow("site") << "Mexico/Quintana Roo/Cozumel/Cozumel/Palancar" << true << false
                          << "Palancar";
}

void TestSelectLocation::selectionFeedbackFollowsTheNodeKind() {
    QFETCH(QString, node);
    QFETCH(bool, selectEnabled);
    QFETCH(bool, siteEditable);
    QFETCH(QString, siteText);
    LocationFixture f;
    f.open(2, 0, QString(), "typed");
    f.buildTree();
    QCOMPARE(f.selectedPath(), QStringLiteral("Mexico/Baja California Sur/La Paz/Espiritu Santo"));
    QVERIFY(f.ui()->ed_site1->isEnabled());
    f.selectNode(node);
    QCOMPARE(f.ui()->bt_select->isEnabled(), selectEnabled);
    QCOMPARE(f.ui()->ed_site1->isEnabled(), siteEditable);
    QCOMPARE(f.ui()->lb_site1->isEnabled(), f.ui()->ed_site1->isEnabled());
    QCOMPARE(f.ui()->ed_site1->text(), siteText);
}

void TestSelectLocation::selectReturnsTheNodeAndTheCachedName_data() {
    QTest::addColumn<bool>("byRegion");
    QTest::addColumn<int>("idLocation");  // passed in
    QTest::addColumn<QString>("node");
    QTest::addColumn<QString>("typedSite");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<QVariantList>("result");  // IdLocation, IdSite, LocationName, SiteName

    QTest::newRow("site, by country")
        << false << 2 << "Mexico/Quintana Roo/Cozumel/Cozumel/Columbia"
        << "" << true << QVariantList{1, 12, "Cozumel, Quintana Roo", "Columbia"};
    QTest::newRow("site, by region: the regionname")
        << true << 2 << "Caribbean/Cozumel/Palancar"
        << "" << true << QVariantList{1, 11, "Caribbean: Cozumel", "Palancar"};
    QTest::newRow("location with a typed site")
        << false << 1 << "Mexico/Baja California Sur/La Paz/Espiritu Santo"
        << "El Bajo" << true << QVariantList{2, 0, "Espiritu Santo, La Paz", "El Bajo"};
    QTest::newRow("grouping node: ids kept, name refreshed")
        << false << 2 << "Mexico"
        << "ignored" << true << QVariantList{2, 7, "Espiritu Santo, La Paz", "Passed site"};
    QTest::newRow("grouping node of a dive without a location stays open")
        << false << 0 << "Mexico"
        << "" << false << QVariantList{0, 7, "Passed", "Passed site"};
}

void TestSelectLocation::selectReturnsTheNodeAndTheCachedName() {
    QFETCH(bool, byRegion);
    QFETCH(int, idLocation);
    QFETCH(QString, node);
    QFETCH(QString, typedSite);
    QFETCH(bool, closes);
    QFETCH(QVariantList, result);
    LocationFixture f;
    f.modules.settings->ViewRegionSites = byRegion;
    TFrmSelectLocation& dialog =
        f.open(idLocation, 7, idLocation ? QStringLiteral("Old") : QStringLiteral("Passed"),
               QStringLiteral("Passed site"));
    f.ui()->PageControl1->setCurrentWidget(f.ui()->ts_local);
    f.buildTree();
    f.selectNode(node);
    if (f.ui()->ed_site1->isEnabled()) {
        f.ui()->ed_site1->setText(typedSite);
    }
    emit f.ui()->tlist->doubleClicked(f.find(node));
    QCOMPARE(f.closedWith(QDialog::Accepted), closes);
    QCOMPARE((QVariantList{dialog.IdLocation, dialog.IdSite, dialog.LocationName, dialog.SiteName}),
             result);
    QVERIFY(!dialog.NewLocation);
}

void TestSelectLocation::newSitePageReturnsTheTypedNames() {
    LocationFixture f;
    TFrmSelectLocation& dialog = f.open(1, 11, "Cozumel", "Palancar");
    f.buildTree();
    f.ui()->PageControl1->setCurrentWidget(f.ui()->ts_new);
    QVERIFY(f.ui()->tlist->selectionModel()->selectedIndexes().isEmpty());
    QVERIFY(!f.ui()->bt_select->isEnabled());  // both edits are empty
    QTest::keyClicks(f.ui()->ed_location, "Isla Mujeres");
    QTest::keyClicks(f.ui()->ed_site, "Manchones");
    f.ui()->bt_select->click();
    QVERIFY(f.closedWith(QDialog::Accepted));
    QCOMPARE((QVariantList{dialog.IdLocation, dialog.IdSite, dialog.LocationName, dialog.SiteName,
                           dialog.NewLocation}),
             (QVariantList{0, 0, "Isla Mujeres", "Manchones", true}));
}

void TestSelectLocation::cancelAndEscapeClearTheIdsTheTitleBarDoesNot() {
    LocationFixture f;
    TFrmSelectLocation& cancelled = f.open(1, 11, "Cozumel", "Palancar");
    f.ui()->Button2->click();
    QVERIFY(!cancelled.isVisible());
    QCOMPARE((QList<int>{cancelled.IdLocation, cancelled.IdSite}), (QList<int>{0, 0}));

    TFrmSelectLocation& escaped = f.open(1, 11, "Cozumel", "Palancar");
    QTest::keyClick(&escaped, Qt::Key_Escape);
    QVERIFY(!escaped.isVisible());
    QCOMPARE((QList<int>{escaped.IdLocation, escaped.IdSite}), (QList<int>{0, 0}));

    TFrmSelectLocation& closed = f.open(1, 11, "Cozumel", "Palancar");
    closed.close();
    QVERIFY(!closed.isVisible());
    QCOMPARE((QList<int>{closed.IdLocation, closed.IdSite}), (QList<int>{1, 11}));
}

void TestSelectLocation::groupingSwitchRebuildsAndIsKept() {
    LocationFixture f;
    TFrmSelectLocation& dialog = f.open(1, 11, "Cozumel", "Palancar");
    f.buildTree();
    QVERIFY(!f.ui()->ck_sites_view->isChecked());
    f.ui()->ck_sites_view->click();
    QVERIFY(f.modules.settings->ViewRegionSites);
    f.buildTree();
    QCOMPARE(f.selectedPath(), QStringLiteral("Caribbean/Cozumel/Palancar"));
    QCOMPARE(dialog.treeModel()->rowCount(), 2);

    // The next dialog starts with the grouping chosen here.
    f.open(1, 0);
    QVERIFY(f.ui()->ck_sites_view->isChecked());
    f.buildTree();
    QCOMPARE(f.selectedPath(), QStringLiteral("Caribbean/Cozumel"));
}

void TestSelectLocation::emptyCacheGivesAnEmptyTreeAndTheNewSitePageStillWorks() {
    LocationFixture f(LookupFixture::Cache{});
    TFrmSelectLocation& dialog = f.open(4, 0, "Somewhere", "");
    f.buildTree();
    QCOMPARE(dialog.treeModel()->rowCount(), 0);
    QVERIFY(!f.ui()->bt_select->isEnabled());
    QCOMPARE(f.ui()->info_country->count(), 0);
    f.ui()->PageControl1->setCurrentWidget(f.ui()->ts_new);
    QTest::keyClicks(f.ui()->ed_location, "Lake");
    f.ui()->bt_select->click();
    QVERIFY(f.closedWith(QDialog::Accepted));
    QVERIFY(dialog.NewLocation);
    QCOMPARE(dialog.LocationName, QStringLiteral("Lake"));
}

// Every country entry of that name counts, not only the first.
void TestSelectLocation::countryChoiceListsItsStatesAndWritesTheDive() {
    LocationFixture f;
    Table* dive = f.modules.tables->cds_dives;
    dive->edit();
    dive->setValue(QStringLiteral("pais"), QStringLiteral("Peru"));
    dive->setValue(QStringLiteral("estado"), QStringLiteral("Cusco"));
    dive->post();
    f.open(0, 0);
    QCOMPARE(f.ui()->info_country->currentText(), QStringLiteral("Peru"));
    QCOMPARE(f.ui()->info_state->currentText(), QStringLiteral("Cusco"));  // not listed, kept
    const auto items = [](QComboBox* box) {
        QStringList all;
        for (int i = 0; i < box->count(); ++i) {
            all << box->itemText(i);
        }
        return all;
    };
    QCOMPARE(items(f.ui()->info_country), (QStringList{"Mexico", "Peru", "Mexico"}));
    QCOMPARE(items(f.ui()->search_country), items(f.ui()->info_country));
    QCOMPARE(items(f.ui()->info_state), QStringList{"Lima"});

    emit f.ui()->info_country->activated(0);  // the diver chooses Mexico
    QCOMPARE(items(f.ui()->info_state),
             (QStringList{"Quintana Roo", "Yucatan", "Baja California Sur"}));
    QCOMPARE(dive->asString(QStringLiteral("pais")), QStringLiteral("Mexico"));
    QTest::keyClicks(f.ui()->info_state->lineEdit(), "X");
    QCOMPARE(dive->asString(QStringLiteral("estado")), QStringLiteral("CuscoX"));
    QCOMPARE(dive->state(), Table::State::Edit);  // posting is the caller's
}

void TestSelectLocation::searchPageOnlyWhenOnlineAtCreation() {
    LocationFixture f;
    const auto searchVisible = [&f] {
        return f.ui()->PageControl1->isTabVisible(f.ui()->PageControl1->indexOf(f.ui()->ts_search));
    };
    f.open(0, 0);
    QVERIFY(searchVisible());
    f.setOnline(false);
    QVERIFY(searchVisible());  // decided at creation
    f.open(0, 0);
    QVERIFY(!searchVisible());
}

void TestSelectLocation::searchSendsNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("country");
    QTest::addColumn<bool>("online");

    QTest::newRow("both boxes empty") << ""
                                      << "" << true;
    QTest::newRow("offline") << "reef"
                             << "Belize" << false;
}

void TestSelectLocation::searchSendsNothing() {
    QFETCH(QString, name);
    QFETCH(QString, country);
    QFETCH(bool, online);
    LocationFixture f;
    f.service.answer("locations.xml.php", searchAnswer());
    f.open(0, 0);
    f.ui()->PageControl1->setCurrentWidget(f.ui()->ts_search);
    f.search(QStringLiteral("first"), QString());
    QCOMPARE(f.service.requests.size(), 1);
    f.setOnline(online);
    f.search(name, country);
    QCOMPARE(f.service.requests.size(), 1);
    QCOMPARE(LookupFixture::texts(f.ui()->tlist_search),
             (QStringList{"Espiritu Santo", "blue hole", "Arch"}));
}

// A typed "&", "#", "+" or "=" stays inside its value; blanks go as "%20".
void TestSelectLocation::searchValuesArriveAsOneParameterEach() {
    LocationFixture f;
    TFrmSelectLocation& dialog = f.open(0, 0);
    f.answerWatchingPleaseWait("locations.xml.php", &dialog, searchAnswer());
    f.ui()->PageControl1->setCurrentWidget(f.ui()->ts_search);
    QVERIFY(!f.ui()->bt_select->isEnabled());
    f.search(QStringLiteral("Reef & #1"), QStringLiteral("Trinidad=Tobago+"));
    QCOMPARE(f.service.requests.size(), 1);
    QCOMPARE(
        f.service.requests[0].target,
        QByteArray("/serv0.9/info/locations.xml.php?param_idioma=en&param_name=Reef%20%26%20%231"
                   "&param_country=Trinidad%3DTobago%2B"));
    using Items = QList<QPair<QString, QString>>;
    QCOMPARE(f.queries("locations.xml.php").value(0),
             (Items{{"param_idioma", "en"},
                    {"param_name", "Reef & #1"},
                    {"param_country", "Trinidad=Tobago+"}}));
    QCOMPARE(f.pleaseWaitSeen, QList<bool>{true});
    QVERIFY(dialog.findChildren<TDlgDownload*>().isEmpty());

    QTreeWidget* results = f.ui()->tlist_search;
    QCOMPARE(LookupFixture::texts(results), (QStringList{"Espiritu Santo", "blue hole", "Arch"}));
    QCOMPARE(LookupFixture::texts(results, 1), (QStringList{"Mexico", "Belize", "Egypt"}));
    QCOMPARE(LookupFixture::texts(results, 2),
             (QStringList{"Baja California Sur", "", "South Sinai"}));
    QCOMPARE(LookupFixture::ticks(results), (QList<bool>{false, false, false}));
    QCOMPARE(results->columnWidth(0), 170);
    QCOMPARE(results->columnWidth(1), 115);
}

void TestSelectLocation::failedSearchLeavesNoRowsOfAnEarlierOne_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("rows");

    QTest::newRow("HTTP error") << 500 << QByteArray("<locations/>") << QStringList{};
    QTest::newRow("not XML") << 200 << QByteArray("<locations><location>") << QStringList{};
    // Rows read before an entry whose id is no number stay.
    QTest::newRow("an id that is no number")
        << 200
        << CacheText::document({CacheText::location({"8", "Eight", "Peru", "", "", "", {}}),
                                CacheText::location({"x", "Bad", "Peru", "", "", "", {}})})
        << QStringList{"Eight"};
    // Hostile answers are refused whole: no row, no crash, the window stays up.
    QTest::newRow("nested 120,000 deep") << 200
                                         << "<locations>" + QByteArray("<a>").repeated(120000) +
                                                QByteArray("</a>").repeated(120000) + "</locations>"
                                         << QStringList{};
    QTest::newRow("document type with an entity")
        << 200
        << QByteArray(
               "<!DOCTYPE locations [<!ENTITY e \"Eight\">]><locations><location>"
               "<id>8</id><smallname>&e;</smallname><country>Peru</country>"
               "</location></locations>")
        << QStringList{};
}

void TestSelectLocation::failedSearchLeavesNoRowsOfAnEarlierOne() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QStringList, rows);
    LocationFixture f;
    TFrmSelectLocation& dialog = f.open(0, 0);
    f.service.answer("locations.xml.php", searchAnswer());
    f.search(QStringLiteral("reef"), QString());
    QCOMPARE(f.ui()->tlist_search->topLevelItemCount(), 3);

    f.answerWatchingPleaseWait("locations.xml.php", &dialog, body, status);
    f.search(QStringLiteral("wall"), QString());
    QCOMPARE(f.service.requests.size(), 2);
    QCOMPARE(LookupFixture::texts(f.ui()->tlist_search), rows);
    QCOMPARE(f.pleaseWaitSeen, QList<bool>{true});
    QVERIFY(dialog.findChildren<TDlgDownload*>().isEmpty());
    QVERIFY(f.prompts.isEmpty());
    QVERIFY(dialog.isVisible());
}

void TestSelectLocation::resultsSortAscendingByTheClickedColumn() {
    LocationFixture f;
    f.open(0, 0);
    f.service.answer("locations.xml.php", searchAnswer());
    f.search(QStringLiteral("any"), QString());
    QTreeWidget* results = f.ui()->tlist_search;
    QHeaderView* header = results->header();
    QVERIFY(header->sectionsClickable());
    for (int click = 0; click < 2; ++click) {  // the same column again: still ascending
        emit header->sectionClicked(0);
        QCOMPARE(LookupFixture::texts(results),
                 (QStringList{"Arch", "blue hole", "Espiritu Santo"}));
    }
    emit header->sectionClicked(2);
    QCOMPARE(LookupFixture::texts(results, 2),
             (QStringList{"", "Baja California Sur", "South Sinai"}));
}

// Each ticked row is fetched in list order and merged; a cached one is replaced (and moves to
// the end) without being counted, a failed one is skipped; every ticked row ends unticked.
void TestSelectLocation::addMergesTheTickedLocations() {
    LocationFixture f;
    TFrmSelectLocation& dialog = f.open(1, 0);
    f.buildTree();
    f.service.on("locations.xml.php", [](const FakeService::Request& request) {
        const QByteArray query = request.query();
        if (query == "param_id=1") {
            return FakeService::Reply{200, entryAnswer("1", "Cozumel again")};
        }
        if (query == "param_id=3") {
            return FakeService::Reply{200, entryAnswer("3", "Blue Hole")};
        }
        if (query == "param_id=5") {
            return FakeService::Reply{200, CacheText::document({}, "locations")};
        }
        if (query.startsWith("param_id=")) {
            return FakeService::Reply{404, "Not Found"};
        }
        return FakeService::Reply{
            200,
            CacheText::document({CacheText::location({"1", "Cozumel", "Mexico", "", "", "", {}}),
                                 CacheText::location({"3", "Blue Hole", "Belize", "", "", "", {}}),
                                 CacheText::location({"4", "Gone", "Peru", "", "", "", {}}),
                                 CacheText::location({"5", "Empty", "Peru", "", "", "", {}}),
                                 CacheText::location({"6", "Unticked", "Peru", "", "", "", {}})})};
    });
    f.ui()->PageControl1->setCurrentWidget(f.ui()->ts_search);
    f.search(QStringLiteral("any"), QString());
    f.service.requests.clear();
    LookupFixture::tick(f.ui()->tlist_search, {0, 1, 2, 3});
    f.ui()->bt_Add->click();

    QCOMPARE(f.service.scripts(), QByteArrayList(4, "locations.xml.php"));
    QStringList queries;
    for (const FakeService::Request& request : f.service.requests) {
        queries << QString::fromLatin1(request.query());
    }
    QCOMPARE(queries, (QStringList{"param_id=1", "param_id=3", "param_id=4", "param_id=5"}));
    QCOMPARE(LookupFixture::cachedIds(dmLocalData->XMLLocations), (QStringList{"2", "1", "3"}));
    QCOMPARE(LookupFixture::ticks(f.ui()->tlist_search),
             (QList<bool>{false, false, false, false, false}));
    QCOMPARE(f.prompts.size(), 1);
    QCOMPARE(f.prompts[0].text, "1 " + f.word("txt_locations_add"));
    QCOMPARE(f.prompts[0].icon, QMessageBox::Information);
    QCOMPARE(f.prompts[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(dialog.reloadTree());

    f.ui()->PageControl1->setCurrentWidget(f.ui()->ts_local);
    f.buildTree();
    QVERIFY(f.find("Belize/Blue Hole/Lighthouse").isValid());
    QVERIFY(f.find("Belize/Cozumel again").isValid());
    QCOMPARE(f.selectedPath(), QStringLiteral("Belize/Cozumel again"));
}

void TestSelectLocation::addingOnlyCachedLocationsSaysNothing() {
    LocationFixture f;
    TFrmSelectLocation& dialog = f.open(1, 0);
    f.buildTree();
    f.service.on("locations.xml.php", [](const FakeService::Request& request) {
        return FakeService::Reply{200, request.query().startsWith("param_id=")
                                           ? entryAnswer("2", "Espiritu Santo")
                                           : searchAnswer()};
    });
    f.search(QStringLiteral("any"), QString());
    LookupFixture::tick(f.ui()->tlist_search, {0});
    f.ui()->bt_Add->click();
    QCOMPARE(LookupFixture::cachedIds(dmLocalData->XMLLocations), (QStringList{"1", "2"}));
    QVERIFY(f.prompts.isEmpty());
    QVERIFY(!dialog.reloadTree());
}

NEREVA_TEST_MAIN(TestSelectLocation)
#include "test_select_location.moc"
