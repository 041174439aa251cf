#include "lookup_fixture.h"
#include "ui/lookup/contact_list.h"
#include "ui/lookup/tfrm_buddy_list.h"
#include "ui/lookup/tfrm_select_buddy.h"

#include <QTimer>

namespace {

LookupCache contactCache(const QStringList& extra = {}) {
    LookupCache cache;
    cache.contacts = CacheText::document(
        QStringList{CacheText::contact("501", "Maria Lopez", "mlopez"),
                    CacheText::contact("502", "Αλέξανδρος Παπαδόπουλος", "alexpap"),
                    CacheText::contact("503", "Jiří Novák", "jnovak")} +
        extra);
    return cache;
}

struct BuddyFixture : LookupFixture {
    std::unique_ptr<TFrmSelectBuddy> dialog;

    explicit BuddyFixture(const LookupCache& cache = contactCache()) : LookupFixture(cache) {}

    TFrmSelectBuddy& open(int contactId, int role = 0) {
        dialog = std::make_unique<TFrmSelectBuddy>(nullptr, detector.get());
        dialog->ContactId = contactId;
        dialog->Role = role;
        dialog->show();
        loadList();
        return *dialog;
    }

    void loadList() {
        QVERIFY(dialog->Timer1->isActive());
        QCOMPARE(dialog->Timer1->interval(), 100);
        dialog->Timer1Timer();
    }

    Ui::TFrmSelectBuddy* ui() const { return dialog->ui; }

    void highlight(const QString& name) {
        const auto rows = ui()->tSelect->findItems(name, Qt::MatchExactly);
        QCOMPARE(rows.size(), 1);
        ui()->tSelect->setCurrentItem(rows.first());
    }

    QString highlighted() const {
        const auto rows = ui()->tSelect->selectedItems();
        return rows.isEmpty() ? QString() : rows.first()->text(0);
    }
};

}  // namespace

class TestSelectBuddy : public QObject {
    Q_OBJECT
private slots:
    void opensOnTheFieldsContact_data();
    void opensOnTheFieldsContact();
    void titleNamesTheRole_data();
    void titleNamesTheRole();
    void closingReturns_data();
    void closingReturns();
    void aContactIdThatIsNoNumberCannotBeChosen();
    void detailsOpensTheContactListOnTheHighlightedContactThenReloads();
};

void TestSelectBuddy::opensOnTheFieldsContact_data() {
    QTest::addColumn<int>("contactId");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QString>("selected");

    QTest::newRow("a cached contact") << 502 << QStringList{} << "Αλέξανδρος Παπαδόπουλος";
    QTest::newRow("no contact") << 0 << QStringList{} << "";
    QTest::newRow("one not cached") << 777 << QStringList{} << "";
    QTest::newRow("a contact whose id is 0")
        << 0 << QStringList{CacheText::contact("0", "Zero")} << "Zero";
}

void TestSelectBuddy::opensOnTheFieldsContact() {
    QFETCH(int, contactId);
    QFETCH(QStringList, extra);
    QFETCH(QString, selected);
    BuddyFixture f(contactCache(extra));
    f.open(contactId);
    QCOMPARE(f.ui()->tSelect->topLevelItemCount(), 3 + extra.size());
    QCOMPARE(LookupFixture::texts(f.ui()->tSelect, 1).mid(0, 3),
             (QStringList{"mlopez", "alexpap", "jnovak"}));
    QCOMPARE(f.highlighted(), selected);
    QCOMPARE(f.ui()->bt_select->isEnabled(), !selected.isEmpty());
    QCOMPARE(f.ui()->Details1->isEnabled(), !selected.isEmpty());
    QCOMPARE(f.ui()->tSelect->columnWidth(0), 145);
    QVERIFY(f.ui()->tSelect->actions().contains(f.ui()->Details1));
}

void TestSelectBuddy::titleNamesTheRole_data() {
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("title");
    QTest::newRow("buddy or team member") << 0 << "Buddy";
    QTest::newRow("instructor") << int(TFrmSelectBuddy::kInstructor) << "Instructor";
}

void TestSelectBuddy::titleNamesTheRole() {
    QFETCH(int, role);
    QFETCH(QString, title);
    BuddyFixture f;
    f.open(0, role);
    QCOMPARE(f.ui()->lb_titulo->text(), title);
    QCOMPARE(f.dialog->windowTitle(), f.word("contact_list"));
}

void TestSelectBuddy::closingReturns_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("highlight");
    QTest::addColumn<int>("contactId");
    QTest::addColumn<QString>("contactName");

    QTest::newRow("select") << "select"
                            << "Jiří Novák" << 503 << "Jiří Novák";
    QTest::newRow("double click") << "double"
                                  << "Maria Lopez" << 501 << "Maria Lopez";
    QTest::newRow("select without a highlighted row") << "select"
                                                      << "" << 502 << "";
    QTest::newRow("clear") << "clear"
                           << "Jiří Novák" << -1 << "";
    QTest::newRow("cancel") << "cancel"
                            << "Jiří Novák" << 502 << "";
}

void TestSelectBuddy::closingReturns() {
    QFETCH(QString, action);
    QFETCH(QString, highlight);
    QFETCH(int, contactId);
    QFETCH(QString, contactName);
    BuddyFixture f;
    TFrmSelectBuddy& dialog = f.open(502);
    if (highlight.isEmpty()) {
        f.ui()->tSelect->clearSelection();
    } else {
        f.highlight(highlight);
    }
    if (action == QLatin1String("select")) {
        f.ui()->bt_select->setEnabled(true);  // the handler's own rule, whatever the button
        f.ui()->bt_select->click();
    } else if (action == QLatin1String("double")) {
        emit f.ui()->tSelect->itemDoubleClicked(f.ui()->tSelect->currentItem(), 0);
    } else if (action == QLatin1String("clear")) {
        f.ui()->btClear->click();
    } else {
        f.ui()->Button2->click();
    }
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.ContactId, contactId);
    QCOMPARE(dialog.ContactName, contactName);
}

void TestSelectBuddy::aContactIdThatIsNoNumberCannotBeChosen() {
    BuddyFixture f(contactCache({CacheText::contact("x7", "Odd")}));
    TFrmSelectBuddy& dialog = f.open(501);
    f.highlight(QStringLiteral("Odd"));
    f.ui()->bt_select->click();
    QCOMPARE(f.prompts.size(), 1);
    QCOMPARE(f.prompts[0].text, QStringLiteral("'x7' is not a valid integer value"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.ContactId, 501);
    QVERIFY(dialog.ContactName.isEmpty());
}

// The reload selects the caller's contact again, not the one highlighted before.
void TestSelectBuddy::detailsOpensTheContactListOnTheHighlightedContactThenReloads() {
    BuddyFixture f;
    TFrmSelectBuddy& dialog = f.open(501);
    f.highlight(QStringLiteral("Jiří Novák"));
    QList<QVariantList> opened;
    Dialogs::setModalHandler([&](QDialog* window) {
        auto* list = qobject_cast<TFrmBuddyList*>(window);
        opened << QVariantList{list != nullptr, window->parentWidget() == &dialog,
                               list ? list->FocusId : -1};
        // The diver removes a contact there.
        ContactList::removeFirst(dmLocalData->XMLContactList, QStringLiteral("502"));
        return int(QDialog::Accepted);
    });
    f.ui()->Details1->trigger();
    QCOMPARE(opened, (QList<QVariantList>{{true, true, 503}}));
    f.loadList();
    QCOMPARE(LookupFixture::texts(f.ui()->tSelect), (QStringList{"Maria Lopez", "Jiří Novák"}));
    QCOMPARE(f.highlighted(), QStringLiteral("Maria Lopez"));
    QVERIFY(dialog.isVisible());
}

NEREVA_TEST_MAIN(TestSelectBuddy)
#include "test_select_buddy.moc"
