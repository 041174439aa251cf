#include "lookup_fixture.h"
#include "ui/lookup/tfrm_buddy_list.h"

#include <QHeaderView>
#include <QTimer>

namespace {

LookupCache contactCache(const QStringList& extra = {}) {
    LookupCache cache;
    cache.contacts = CacheText::document(
        QStringList{
            CacheText::contact("501", "maria Lopez", "mlopez", "maria@example.org", "Mexico"),
            CacheText::contact("502", "Łukasz Wróbel", "lwrobel", "lukasz@example.pl", "Poland"),
            CacheText::contact("503", "Jiří Novák", "jnovak", "jiri@example.cz",
                               "Czech Republic")} +
        extra);
    return cache;
}

QByteArray contactAnswer(const QString& id, const QString& name) {
    return CacheText::document(
        {CacheText::contact(id, name, "user" + id, id + "@example.org", "Peru")},
        QStringLiteral("contacts"));
}

struct ContactFixture : LookupFixture {
    std::unique_ptr<TFrmBuddyList> window;

    explicit ContactFixture(const LookupCache& cache = contactCache()) : LookupFixture(cache) {
        setMember(QStringLiteral("ana"));
    }

    TFrmBuddyList& open(int focusId = 0) {
        window = std::make_unique<TFrmBuddyList>(nullptr, detector.get());
        window->FocusId = focusId;
        window->show();
        if (window->Timer1->isActive()) {
            window->Timer1Timer();
        }
        return *window;
    }

    Ui::TFrmBuddyList* ui() const { return window->ui; }

    void selectRow(const QString& name) {
        const auto rows = ui()->tlist->findItems(name, Qt::MatchExactly);
        QCOMPARE(rows.size(), 1);
        ui()->tlist->setCurrentItem(rows.first());
    }

    QString selectedName() const {
        const auto rows = ui()->tlist->selectedItems();
        return rows.isEmpty() ? QString() : rows.first()->text(0);
    }

    QStringList details() const {
        return {ui()->edUser->text(), ui()->edNombre->text(), ui()->edEmail->text(),
                ui()->edCountry->text()};
    }

    bool searchOffered() const {
        return ui()->PageControl1->isTabVisible(ui()->PageControl1->indexOf(ui()->ts_search));
    }
};

}  // namespace

class TestContactList : public QObject {
    Q_OBJECT
private slots:
    void searchAndRefreshNeedTheServiceAndAnAccount_data();
    void searchAndRefreshNeedTheServiceAndAnAccount();
    void loadsOnceVisibleAndSelectsTheFocusContact_data();
    void loadsOnceVisibleAndSelectsTheFocusContact();
    void refreshReplacesTheCachedContact();
    void failedRefreshChangesNothingAndSaysNothing();
    void deleteRemovesTheContactHereOnlyAfterYes();
    void contactPageOpensOnlyOnline();
    void searchSendsEveryBoxAndTheOperator_data();
    void searchSendsEveryBoxAndTheOperator();
    void failedSearchLeavesNoRowsOfAnEarlierOne();
    void addMergesTheTickedContacts();
    void addingOnlyCachedContactsSaysNothing();
    void listsSortAscendingByTheClickedColumn();
};

void TestContactList::searchAndRefreshNeedTheServiceAndAnAccount_data() {
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("member");
    QTest::addColumn<bool>("offered");

    QTest::newRow("online member") << true << "ana" << true;
    QTest::newRow("offline") << false << "ana" << false;
    QTest::newRow("no service account") << true << "" << false;
}

void TestContactList::searchAndRefreshNeedTheServiceAndAnAccount() {
    QFETCH(bool, online);
    QFETCH(QString, member);
    QFETCH(bool, offered);
    ContactFixture f;
    f.setOnline(online);
    f.setMember(member);
    f.open();
    QCOMPARE(f.searchOffered(), offered);
    QVERIFY(!f.ui()->btUpdate->isEnabled());
    QVERIFY(!f.ui()->bt_Delete->isEnabled());
    QVERIFY(f.ui()->bt_valid_user->isHidden());
    f.selectRow(QStringLiteral("Jiří Novák"));
    QCOMPARE(f.ui()->btUpdate->isEnabled(), offered);
    QVERIFY(f.ui()->bt_Delete->isEnabled());
    QCOMPARE(f.ui()->bt_valid_user->isVisible(), online);
}

void TestContactList::loadsOnceVisibleAndSelectsTheFocusContact_data() {
    QTest::addColumn<int>("focusId");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QStringList>("details");

    QTest::newRow("a cached contact")
        << 502 << QStringList{} << "Łukasz Wróbel"
        << QStringList{"lwrobel", "Łukasz Wróbel", "lukasz@example.pl", "Poland"};
    QTest::newRow("none") << 0 << QStringList{} << "" << QStringList{"", "", "", ""};
    QTest::newRow("a contact whose id is 0")
        << 0 << QStringList{CacheText::contact("0", "Zero", "zero")} << "Zero"
        << QStringList{"zero", "Zero", "", ""};
}

void TestContactList::loadsOnceVisibleAndSelectsTheFocusContact() {
    QFETCH(int, focusId);
    QFETCH(QStringList, extra);
    QFETCH(QString, selected);
    QFETCH(QStringList, details);
    ContactFixture f(contactCache(extra));
    f.window = std::make_unique<TFrmBuddyList>(nullptr, f.detector.get());
    f.window->FocusId = focusId;
    QCOMPARE(f.ui()->PageControl1->currentWidget(), f.ui()->ts_local);
    f.window->show();
    QVERIFY(f.window->Timer1->isActive());
    QCOMPARE(f.window->Timer1->interval(), 100);
    QCOMPARE(f.ui()->tlist->topLevelItemCount(), 0);
    QTRY_COMPARE(f.ui()->tlist->topLevelItemCount(), 3 + extra.size());
    QVERIFY(!f.window->reloadList());
    QCOMPARE(f.selectedName(), selected);
    QCOMPARE(f.details(), details);
    QCOMPARE(f.ui()->tlist->columnWidth(0), 150);
    QVERIFY(!f.ui()->tlist->topLevelItem(0)->icon(0).isNull());
}

// The answer's entry takes the cached one's place at the end of the list.
void TestContactList::refreshReplacesTheCachedContact() {
    ContactFixture f;
    f.service.answer("contactlist.xml.php", contactAnswer("502", "Łukasz Wróbel-Nowak"));
    TFrmBuddyList& window = f.open(502);
    f.ui()->btUpdate->click();
    QCOMPARE(f.queries("contactlist.xml.php"),
             (QList<QList<QPair<QString, QString>>>{{{"param_id", "502"}}}));
    QCOMPARE(f.details(),
             (QStringList{"user502", "Łukasz Wróbel-Nowak", "502@example.org", "Peru"}));
    QCOMPARE(f.selectedName(), QStringLiteral("Łukasz Wróbel-Nowak"));
    QCOMPARE(LookupFixture::cachedIds(dmLocalData->XMLContactList),
             (QStringList{"501", "503", "502"}));
    QCOMPARE(TdmLocalData::childText(
                 dmLocalData->XMLContactList.doc.documentElement().lastChildElement(),
                 QStringLiteral("name")),
             QStringLiteral("Łukasz Wróbel-Nowak"));
    QVERIFY(f.prompts.isEmpty());
    QVERIFY(window.findChildren<TDlgDownload*>().isEmpty());
}

void TestContactList::failedRefreshChangesNothingAndSaysNothing() {
    ContactFixture f;
    f.service.answer("contactlist.xml.php", "<contacts><contact>", 200);
    f.open(502);
    const QByteArray before = toLatin1Xml(dmLocalData->XMLContactList.doc);
    f.ui()->btUpdate->click();
    f.service.answer("contactlist.xml.php", "", 500);
    f.ui()->btUpdate->click();
    QCOMPARE(f.service.requests.size(), 2);
    QCOMPARE(toLatin1Xml(dmLocalData->XMLContactList.doc), before);
    QCOMPARE(f.selectedName(), QStringLiteral("Łukasz Wróbel"));
    QCOMPARE(f.details().value(1), QStringLiteral("Łukasz Wróbel"));
    QVERIFY(f.prompts.isEmpty());
}

void TestContactList::deleteRemovesTheContactHereOnlyAfterYes() {
    ContactFixture f;
    f.open(502);
    f.answer = QMessageBox::No;
    f.ui()->bt_Delete->click();
    QCOMPARE(f.prompts.size(), 1);
    QCOMPARE(f.prompts[0].text, f.word("txt_want_delete_contact"));
    QCOMPARE(f.prompts[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(LookupFixture::cachedIds(dmLocalData->XMLContactList),
             (QStringList{"501", "502", "503"}));

    f.answer = QMessageBox::Yes;
    f.ui()->bt_Delete->click();
    QCOMPARE(LookupFixture::cachedIds(dmLocalData->XMLContactList), (QStringList{"501", "503"}));
    QCOMPARE(LookupFixture::texts(f.ui()->tlist), (QStringList{"maria Lopez", "Jiří Novák"}));
    QCOMPARE(f.details(), (QStringList{"", "", "", ""}));
    QVERIFY(!f.ui()->bt_Delete->isEnabled());
    QVERIFY(!f.ui()->btUpdate->isEnabled());
    QVERIFY(f.service.requests.isEmpty());
}

void TestContactList::contactPageOpensOnlyOnline() {
    ContactFixture f;
    f.open(503);
    f.ui()->bt_valid_user->click();
    QCOMPARE(f.openedUrls, QStringList{f.service.root() + "redir/?id_user=503"});
    f.setOnline(false);
    f.ui()->bt_valid_user->click();
    QCOMPARE(f.openedUrls.size(), 1);
}

void TestContactList::searchSendsEveryBoxAndTheOperator_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("op");

    QTest::newRow("none chosen") << -1 << "-1";
    QTest::newRow("AND") << 0 << "0";
    QTest::newRow("OR") << 1 << "1";
}

void TestContactList::searchSendsEveryBoxAndTheOperator() {
    QFETCH(int, choice);
    QFETCH(QString, op);
    ContactFixture f;
    TFrmBuddyList& window = f.open();
    f.answerWatchingPleaseWait(
        "contactlist.xml.php", &window,
        CacheText::document(
            {CacheText::contact("601", "Nguyễn Thị Lan", "nguyenlan", "lan@example.vn", "Vietnam"),
             CacheText::contact("602", "Ana", "ana2", "", "Spain")}));
    f.ui()->PageControl1->setCurrentWidget(f.ui()->ts_search);
    QCOMPARE(f.ui()->search_and->currentIndex(), -1);
    QCOMPARE(f.ui()->search_and->itemText(0), f.word("AND"));
    f.ui()->search_and->setCurrentIndex(choice);
    f.ui()->search_name->setText(QStringLiteral("Ana & Jon"));
    f.ui()->search_user->setText(QStringLiteral("a#b"));
    f.ui()->bt_search->click();
    using Items = QList<QPair<QString, QString>>;
    QCOMPARE(f.queries("contactlist.xml.php"), (QList<Items>{{{"param_name", "Ana & Jon"},
                                                              {"param_user", "a#b"},
                                                              {"param_op", op},
                                                              {"param_email", ""}}}));
    QCOMPARE(f.pleaseWaitSeen, QList<bool>{true});
    QVERIFY(window.findChildren<TDlgDownload*>().isEmpty());
    QTreeWidget* results = f.ui()->tlist_search;
    QCOMPARE(LookupFixture::texts(results), (QStringList{"Nguyễn Thị Lan", "Ana"}));
    QCOMPARE(LookupFixture::texts(results, 1), (QStringList{"nguyenlan", "ana2"}));
    QCOMPARE(LookupFixture::texts(results, 2), (QStringList{"lan@example.vn", ""}));
    QCOMPARE(LookupFixture::texts(results, 3), (QStringList{"Vietnam", "Spain"}));
    QCOMPARE(results->columnCount(), 4);

    // Empty boxes are sent too.
    f.ui()->search_name->clear();
    f.ui()->search_user->clear();
    f.ui()->bt_search->click();
    QCOMPARE(
        f.queries("contactlist.xml.php").value(1),
        (Items{{"param_name", ""}, {"param_user", ""}, {"param_op", op}, {"param_email", ""}}));
}

void TestContactList::failedSearchLeavesNoRowsOfAnEarlierOne() {
    ContactFixture f;
    TFrmBuddyList& window = f.open();
    f.service.answer("contactlist.xml.php", contactAnswer("601", "Lan"));
    f.ui()->bt_search->click();
    QCOMPARE(f.ui()->tlist_search->topLevelItemCount(), 1);
    f.answerWatchingPleaseWait("contactlist.xml.php", &window, "", 503);
    f.ui()->bt_search->click();
    QCOMPARE(f.ui()->tlist_search->topLevelItemCount(), 0);
    QCOMPARE(f.pleaseWaitSeen, QList<bool>{true});
    QVERIFY(window.findChildren<TDlgDownload*>().isEmpty());
    QVERIFY(f.prompts.isEmpty());

    f.setOnline(false);  // offline: nothing goes, the list stays
    f.ui()->bt_search->click();
    QCOMPARE(f.service.requests.size(), 2);
}

void TestContactList::addMergesTheTickedContacts() {
    ContactFixture f;
    TFrmBuddyList& window = f.open();
    f.service.on("contactlist.xml.php", [](const FakeService::Request& request) {
        const QByteArray query = request.query();
        if (query == "param_id=502") {
            return FakeService::Reply{200, contactAnswer("502", "Łukasz W.")};
        }
        if (query == "param_id=601") {
            return FakeService::Reply{200, contactAnswer("601", "Андрей Смирнов")};
        }
        if (query.startsWith("param_id=")) {
            return FakeService::Reply{500, ""};
        }
        return FakeService::Reply{200,
                                  CacheText::document({CacheText::contact("502", "Łukasz W."),
                                                       CacheText::contact("601", "Андрей Смирнов"),
                                                       CacheText::contact("602", "Fails")})};
    });
    f.ui()->PageControl1->setCurrentWidget(f.ui()->ts_search);
    f.ui()->bt_search->click();
    LookupFixture::tick(f.ui()->tlist_search, {0, 1, 2});
    f.service.requests.clear();
    f.ui()->bt_Add->click();
    QCOMPARE(f.queries("contactlist.xml.php").size(), 3);
    QCOMPARE(LookupFixture::cachedIds(dmLocalData->XMLContactList),
             (QStringList{"501", "503", "502", "601"}));
    QCOMPARE(LookupFixture::ticks(f.ui()->tlist_search), (QList<bool>{false, false, false}));
    QCOMPARE(f.prompts.size(), 1);
    QCOMPARE(f.prompts[0].text, "1 " + f.word("txt_users_add"));
    QVERIFY(window.reloadList());

    f.ui()->PageControl1->setCurrentWidget(f.ui()->ts_local);
    QVERIFY(window.Timer1->isActive());
    window.Timer1Timer();
    QCOMPARE(LookupFixture::texts(f.ui()->tlist),
             (QStringList{"maria Lopez", "Jiří Novák", "Łukasz W.", "Андрей Смирнов"}));
}

void TestContactList::addingOnlyCachedContactsSaysNothing() {
    ContactFixture f;
    TFrmBuddyList& window = f.open();
    f.service.answer("contactlist.xml.php", contactAnswer("503", "Jiří"));
    f.ui()->bt_search->click();
    LookupFixture::tick(f.ui()->tlist_search, {0});
    f.ui()->bt_Add->click();
    QCOMPARE(LookupFixture::cachedIds(dmLocalData->XMLContactList),
             (QStringList{"501", "502", "503"}));
    QVERIFY(f.prompts.isEmpty());
    QVERIFY(!window.reloadList());
    f.ui()->PageControl1->setCurrentWidget(f.ui()->ts_search);
    f.ui()->PageControl1->setCurrentWidget(f.ui()->ts_local);
    QVERIFY(!window.Timer1->isActive());
}

void TestContactList::listsSortAscendingByTheClickedColumn() {
    ContactFixture f;
    f.open();
    emit f.ui()->tlist->header()->sectionClicked(0);
    QCOMPARE(LookupFixture::texts(f.ui()->tlist),
             (QStringList{"Jiří Novák", "maria Lopez", "Łukasz Wróbel"}));
    f.service.answer("contactlist.xml.php",
                     CacheText::document({CacheText::contact("1", "B", "zed"),
                                          CacheText::contact("2", "A", "Yak")}));
    f.ui()->bt_search->click();
    emit f.ui()->tlist_search->header()->sectionClicked(1);
    QCOMPARE(LookupFixture::texts(f.ui()->tlist_search, 1), (QStringList{"Yak", "zed"}));
}

NEREVA_TEST_MAIN(TestContactList)
#include "test_contact_list.moc"
