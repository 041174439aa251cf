#include "main_fixture.h"
#include "store/table_data.h"
#include "ui/db/controls/data_aware.h"
#include "ui/db/controls/db_check_box.h"
#include "ui/db/controls/db_edit.h"
#include "ui/db/controls/db_list_control.h"
#include "ui/db/controls/db_memo.h"
#include "ui/main/dive_commands.h"
#include "ui/main/tdlg_date.h"

#include <QCalendarWidget>
#include <QDir>
#include <QMouseEvent>
#include <QVariantMap>
#include <functional>

namespace {

const QByteArray kLanguage =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<language><config><code>en</code></config>"
    "<dictionary><texts><txt_want_delete_dive>Delete this dive?</txt_want_delete_dive></texts>"
    "</dictionary></language>\n";

const QString kUpdateQuestion =
    QStringLiteral("Are you sure you want to modify your Dive Information?");

// The main window over a log of dives; message boxes are answered with `answer`, modal
// windows by `onModal` (by default they close with Rejected), and both are recorded with the
// windows' owners.
struct CommandsFixture : MainFixture {
    QList<Dialogs::Prompt> prompts;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    QList<QWidget*> modalOwners;
    std::function<int(QDialog*)> onModal;

    explicit CommandsFixture(bool advancedPage = true) : MainFixture(kLanguage) {
        settings->ViewAdvancedDives = advancedPage;
        Dialogs::setMessageHandler([this](const Dialogs::Prompt& prompt) {
            prompts << prompt;
            messages << prompt.text;
            return prompt.buttons.testFlag(answer) ? answer : QMessageBox::Ok;
        });
        Dialogs::setModalHandler([this](QDialog* dialog) {
            modalWindows << QString::fromLatin1(dialog->metaObject()->className());
            modalOwners << dialog->parentWidget();
            return onModal ? onModal(dialog) : int(QDialog::Rejected);
        });
    }

    Table* dives() const { return tables->cds_dives; }
    Table* conditions() const { return tables->cds_conditions; }
    Table* equipment() const { return tables->cds_equipment; }
    Table* profile() const { return tables->cds_profile; }

    // A dive with its conditions and equipment rows and `samples` profile rows; it stays
    // current.
    void addDive(const QVariantMap& fields, int samples = 0) {
        dives()->append();
        for (auto it = fields.begin(); it != fields.end(); ++it) {
            dives()->setValue(it.key(), it.value());
        }
        dives()->post();
        for (Table* detail : {conditions(), equipment()}) {
            detail->append();
            detail->post();
        }
        for (int sample = 0; sample < samples; ++sample) {
            profile()->append();
            profile()->setValue(QStringLiteral("depth"), 3.0 * sample);
            profile()->post();
        }
    }

    // Makes the dive on `date` current.
    void select(const QDate& date) {
        for (dives()->first(); !dives()->eof(); dives()->next()) {
            if (dives()->value(QStringLiteral("Date")).toDate() == date) {
                return;
            }
        }
        QFAIL("no such dive");
    }

    bool browsing(Table* table) const {
        return table->state() == Table::State::Browse && !table->modified();
    }

    template <class Control>
    Control* control(const char* name) const {
        auto* found = window->findChild<Control*>(QLatin1String(name));
        if (!found) {
            qWarning("no control %s", name);
        }
        return found;
    }

    // What the diver does to an edit.
    void doubleClick(const char* name) {
        QWidget* edit = control<QWidget>(name);
        const QPointF at(4, 4);
        QMouseEvent press(QEvent::MouseButtonDblClick, at, edit->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(edit, &press);
    }

    void goOnline(bool online) {
        setOnline(online);
        window->INetDetector1->DialUp = true;  // the window took it from the settings
        window->INetDetector1->poll();
        QCOMPARE(window->INetDetector1->Online(), online);
    }
};

QVariantMap fieldsOf(const Table* table, const QStringList& names) {
    QVariantMap values;
    for (const QString& name : names) {
        values.insert(name, table->value(name));
    }
    return values;
}

int readOnlyOf(QWidget* control) {
    auto* aware = dynamic_cast<DataAware*>(control);
    return aware ? aware->readOnlyState() : -1;
}

}  // namespace

class TestDiveCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void addTakesTheDefaultUnitsAndOpensTheDatePicker_data();
    void addTakesTheDefaultUnitsAndOpensTheDatePicker();
    void addFailureIsShownInTheErrorBox();
    void addAndDeleteNeedEveryTableOpen_data();
    void addAndDeleteNeedEveryTableOpen();
    void deleteRemovesTheDiveAndQueuesASynchronisedOne_data();
    void deleteRemovesTheDiveAndQueuesASynchronisedOne();
    void deleteAnsweredNoPostsThePendingEditOnly();
    void deleteReportsAQueueThatCannotBeWritten();
    void lockTwiceUnlocks();
    void updateAsksBeforeModifyingACertifiedDive_data();
    void updateAsksBeforeModifyingACertifiedDive();
    void doubleClickUnlinksAName_data();
    void doubleClickUnlinksAName();
    void unlinkedNameLosesItsLinkButton();
    void doubleClickOnAnEmptyLogStartsNoDive();
    void buddyAndInstructorWriteBack_data();
    void buddyAndInstructorWriteBack();
    void teamWriteBack_data();
    void teamWriteBack();
    void dateCommand_data();
    void dateCommand();
    void advancedWindowFollowsLockAndCertification_data();
    void advancedWindowFollowsLockAndCertification();
    void subDialogsNeedADive();
    void notesFollowTheLock_data();
    void notesFollowTheLock();
    void stopsOpenOnTheConditionsRow();
    void webPagesOnlyOnline_data();
    void webPagesOnlyOnline();
    void memberProfilePage_data();
    void memberProfilePage();
};

void TestDiveCommands::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
}

// Add -----------------------------------------------------------------------------------------

void TestDiveCommands::addTakesTheDefaultUnitsAndOpensTheDatePicker_data() {
    QTest::addColumn<int>("dist");
    QTest::addColumn<int>("temp");
    QTest::addColumn<int>("pres");
    QTest::addColumn<QDate>("picked");  // invalid: the picker is cancelled
    QTest::addColumn<int>("position");  // of the new dive among 1/1/2000 and 1/1/2100
    QTest::newRow("feet, Celsius, bar; cancelled") << 2 << 1 << 1 << QDate() << 2;
    QTest::newRow("metric, Fahrenheit, psi; picked") << 1 << 2 << 2 << QDate(1990, 6, 15) << 1;
    QTest::newRow("no units") << 0 << 0 << 0 << QDate() << 2;
}

void TestDiveCommands::addTakesTheDefaultUnitsAndOpensTheDatePicker() {
    QFETCH(int, dist);
    QFETCH(int, temp);
    QFETCH(int, pres);
    QFETCH(QDate, picked);
    QFETCH(int, position);
    CommandsFixture f;
    f.settings->Unit_Dist = dist;
    f.settings->Unit_Temp = temp;
    f.settings->Unit_Pres = pres;
    f.addDive({{"Date", QDate(2000, 1, 1)}});
    f.addDive({{"Date", QDate(2100, 1, 1)}});
    TFrm_Principal* window = f.open();
    f.onModal = [picked](QDialog* dialog) {
        if (!picked.isValid()) {
            return int(QDialog::Rejected);
        }
        dialog->findChild<QCalendarWidget*>(QStringLiteral("Date_pick"))->setSelectedDate(picked);
        qobject_cast<TDlg_date*>(dialog)->Button1Click();
        return dialog->result();
    };

    window->ui->Ac_Add_Dive->trigger();

    QCOMPARE(f.modalWindows, QStringList{"TDlg_date"});
    QCOMPARE(f.modalOwners, QList<QWidget*>{window});
    QCOMPARE(f.dives()->recordCount(), 3);
    QCOMPARE(f.dives()->recNo(), position);
    QCOMPARE(f.dives()->value("Date").toDate(), picked.isValid() ? picked : QDate::currentDate());
    for (const char* untouched : {"id_dive", "Location", "locked", "certify_by", "Time_Start"}) {
        QVERIFY2(f.dives()->isNull(untouched), untouched);
    }
    QCOMPARE(f.conditions()->recordCount(), 1);
    const QVariantMap units{{"depth_unit", dist},
                            {"altitude_unit", dist},
                            {"cond_visibility_unit", dist},
                            {"cond_temp_unit", temp}};
    QCOMPARE(fieldsOf(f.conditions(), units.keys()), units);
    QVERIFY(f.conditions()->isNull("max_depth"));
    QCOMPARE(f.equipment()->recordCount(), 1);
    QCOMPARE(f.equipment()->value("pres_unit"), QVariant(pres));
    QCOMPARE(f.equipment()->value("id_local_dive"), f.dives()->value("id_local_dive"));
    for (Table* table : {f.dives(), f.conditions(), f.equipment()}) {
        QVERIFY2(f.browsing(table), qPrintable(table->name()));
    }
    QVERIFY(f.messages.isEmpty());
}

void TestDiveCommands::addFailureIsShownInTheErrorBox() {
    CommandsFixture f;
    f.settings->Unit_Pres = 70000;  // no small integer
    TFrm_Principal* window = f.open();
    window->ui->Ac_Add_Dive->trigger();
    QCOMPARE(f.prompts.size(), 1);
    QCOMPARE(f.prompts[0].icon, QMessageBox::Critical);
    QVERIFY(f.prompts[0].text.contains("pres_unit"));
    // The dive and its conditions row were added before the failure; no date picker opened.
    QCOMPARE(f.dives()->recordCount(), 1);
    QCOMPARE(f.conditions()->recordCount(), 1);
    QVERIFY(f.modalWindows.isEmpty());
}

// A table that could not be read stays closed: adding or deleting a dive would then leave a
// dive without its rows or rows without their dive. Nothing changes and the table is named.
void TestDiveCommands::addAndDeleteNeedEveryTableOpen_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("closed");
    for (const char* closed : {"conditions", "equipment"}) {
        QTest::newRow(qPrintable(QStringLiteral("add without %1").arg(closed)))
            << "Ac_Add_Dive" << closed;
    }
    for (const char* closed : {"conditions", "equipment", "profile"}) {
        QTest::newRow(qPrintable(QStringLiteral("delete without %1").arg(closed)))
            << "Ac_Delete_Dive" << closed;
    }
}

void TestDiveCommands::addAndDeleteNeedEveryTableOpen() {
    QFETCH(QString, command);
    QFETCH(QString, closed);
    CommandsFixture f;
    f.addDive({{"Date", QDate(2020, 1, 1)}, {"id_dive", 17}}, 2);
    f.addDive({{"Date", QDate(2020, 2, 1)}, {"id_dive", 18}}, 2);
    TFrm_Principal* window = f.open();
    const QList<Table*> tables{f.dives(), f.conditions(), f.equipment(), f.profile()};
    Table* missing = nullptr;
    for (Table* table : tables) {
        if (table->name() == "cds_" + closed) {
            missing = table;
        }
    }
    QVERIFY(missing);
    missing->close();
    const auto rowsOf = [](const Table* table) { return int(table->snapshot()->rows.size()); };
    QList<int> before;
    for (Table* table : tables) {
        before << rowsOf(table);
    }
    window->findChild<QAction*>(command)->trigger();
    QCOMPARE(f.messages, QStringList{"Table cds_" + closed + ": the table is not open."});
    QCOMPARE(f.prompts[0].icon, QMessageBox::Critical);
    for (int i = 0; i < tables.size(); ++i) {
        QCOMPARE(rowsOf(tables[i]), before[i]);
        QVERIFY(tables[i] == missing || f.browsing(tables[i]));
    }
    QCOMPARE(f.dives()->value("Date").toDate(), QDate(2020, 2, 1));
    QVERIFY(f.modalWindows.isEmpty());
    QVERIFY(!DeletionQueue::exists());
}

// Delete --------------------------------------------------------------------------------------

void TestDiveCommands::deleteRemovesTheDiveAndQueuesASynchronisedOne_data() {
    QTest::addColumn<QVariant>("idDive");
    QTest::addColumn<QByteArray>("queueBefore");  // empty: no queue file
    QTest::addColumn<QByteArray>("queueAfter");   // empty: no queue file
    QTest::addColumn<QDate>("deleted");
    QTest::addColumn<QDate>("current");
    const QDate first(2020, 1, 1), middle(2020, 2, 1), last(2020, 3, 1);
    QTest::newRow("synchronised, first queue entry")
        << QVariant(17) << QByteArray() << QByteArray("17##") << middle << last;
    QTest::newRow("synchronised, queue growing")
        << QVariant(17) << QByteArray("203##") << QByteArray("203##17##") << middle << last;
    QTest::newRow("never synchronised")
        << QVariant() << QByteArray() << QByteArray() << middle << last;
    QTest::newRow("never synchronised, queue kept")
        << QVariant() << QByteArray("203##") << QByteArray("203##") << first << middle;
    QTest::newRow("service number 0 is none")
        << QVariant(0) << QByteArray() << QByteArray() << middle << last;
    QTest::newRow("the last dive: the one before becomes current")
        << QVariant(5) << QByteArray() << QByteArray("5##") << last << middle;
}

void TestDiveCommands::deleteRemovesTheDiveAndQueuesASynchronisedOne() {
    QFETCH(QVariant, idDive);
    QFETCH(QByteArray, queueBefore);
    QFETCH(QByteArray, queueAfter);
    QFETCH(QDate, deleted);
    QFETCH(QDate, current);
    CommandsFixture f;
    for (const QDate date : {QDate(2020, 1, 1), QDate(2020, 2, 1), QDate(2020, 3, 1)}) {
        QVariantMap fields{{"Date", date}};
        if (date == deleted) {
            fields.insert("id_dive", idDive);
        }
        f.addDive(fields, 3);
    }
    if (!queueBefore.isEmpty()) {
        TestSupport::writeFile(DeletionQueue::fileName(), queueBefore);
    }
    TFrm_Principal* window = f.open();
    f.select(deleted);
    const QVariant deletedKey = f.dives()->value("id_local_dive");

    window->ui->Ac_Delete_Dive->trigger();

    QCOMPARE(f.prompts.size(), 1);
    QCOMPARE(f.prompts[0].text, QStringLiteral("Delete this dive?"));
    QCOMPARE(f.prompts[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(f.prompts[0].icon, QMessageBox::Question);
    QCOMPARE(f.dives()->recordCount(), 2);
    QCOMPARE(f.dives()->value("Date").toDate(), current);
    for (Table* detail : {f.profile(), f.conditions(), f.equipment()}) {
        const int remaining = detail == f.profile() ? 6 : 2;
        const std::shared_ptr<const TableData> rows = detail->snapshot();
        QCOMPARE(int(rows->rows.size()), remaining);
        const int key = detail->fieldIndex("id_local_dive");
        for (const Row& row : rows->rows) {
            QVERIFY(rows->layout->value(row, key) != deletedKey);
        }
    }
    // The current dive still shows its own rows.
    QCOMPARE(f.profile()->recordCount(), 3);
    QCOMPARE(f.conditions()->recordCount(), 1);
    QCOMPARE(DeletionQueue::exists(), !queueAfter.isEmpty());
    QCOMPARE(TestSupport::readFile(DeletionQueue::fileName()), queueAfter);
}

void TestDiveCommands::deleteAnsweredNoPostsThePendingEditOnly() {
    CommandsFixture f;
    f.addDive({{"Date", QDate(2020, 1, 1)}, {"id_dive", 17}}, 2);
    TFrm_Principal* window = f.open();
    f.dives()->edit();
    f.dives()->setValue("Location", "Cozumel");
    f.answer = QMessageBox::No;
    window->ui->Ac_Delete_Dive->trigger();
    QCOMPARE(f.prompts.size(), 1);
    QVERIFY(f.browsing(f.dives()));
    QCOMPARE(f.dives()->recordCount(), 1);
    QCOMPARE(f.dives()->asString("Location"), QStringLiteral("Cozumel"));
    QCOMPARE(f.profile()->recordCount(), 2);
    QVERIFY(!DeletionQueue::exists());
}

void TestDiveCommands::deleteReportsAQueueThatCannotBeWritten() {
    CommandsFixture f;
    f.addDive({{"Date", QDate(2020, 1, 1)}, {"id_dive", 17}});
    QVERIFY(QDir().mkpath(DeletionQueue::fileName()));  // a folder where the queue belongs
    TFrm_Principal* window = f.open();
    window->ui->Ac_Delete_Dive->trigger();
    QCOMPARE(f.prompts.size(), 2);
    QCOMPARE(f.prompts[1].icon, QMessageBox::Critical);
    QVERIFY(f.prompts[1].text.contains("delete.cds"));
    QCOMPARE(f.dives()->recordCount(), 0);
}

// Lock and Update ------------------------------------------------------------------------------

void TestDiveCommands::lockTwiceUnlocks() {
    CommandsFixture f;
    f.addDive({{"Date", QDate(2020, 1, 1)}});
    TFrm_Principal* window = f.open();
    f.dives()->edit();
    f.dives()->setValue("Site", "Palancar");
    window->ui->Ac_Lock->trigger();
    QVERIFY(f.browsing(f.dives()));
    QCOMPARE(f.dives()->value("locked"), QVariant(1));
    QCOMPARE(f.dives()->asString("Site"), QStringLiteral("Palancar"));
    QVERIFY(window->ui->Ac_Lock->isChecked());
    QCOMPARE(readOnlyOf(window->ui->dive_site), 1);
    window->ui->Ac_Lock->trigger();
    QVERIFY(f.browsing(f.dives()));
    QCOMPARE(f.dives()->value("locked"), QVariant(0));
    QVERIFY(!window->ui->Ac_Lock->isChecked());
    QCOMPARE(readOnlyOf(window->ui->dive_site), 0);
}

void TestDiveCommands::updateAsksBeforeModifyingACertifiedDive_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("certifyBy");
    QTest::newRow("yes") << int(QMessageBox::Yes) << -1;
    QTest::newRow("no") << int(QMessageBox::No) << 1;
}

void TestDiveCommands::updateAsksBeforeModifyingACertifiedDive() {
    QFETCH(int, answer);
    QFETCH(int, certifyBy);
    CommandsFixture f;
    f.addDive({{"Date", QDate(2020, 1, 1)}, {"certify_by", 1}});
    TFrm_Principal* window = f.open();
    QVERIFY(window->ui->Ac_Dive_Update->isEnabled());
    f.answer = QMessageBox::StandardButton(answer);
    const quint64 changes = f.dives()->changeCount();
    window->ui->AcDiveUpdate2->trigger();  // the certification icon's menu
    QCOMPARE(f.prompts.size(), 1);
    QCOMPARE(f.prompts[0].text, kUpdateQuestion);
    QCOMPARE(f.prompts[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(f.dives()->value("certify_by"), QVariant(certifyBy));
    QVERIFY(f.browsing(f.dives()));
    const bool modified = certifyBy == -1;
    QCOMPARE(f.dives()->changeCount() > changes, modified);
    // A dive the diver modified is no longer protected.
    QCOMPARE(window->ui->Ac_Dive_Update->isEnabled(), !modified);
    QCOMPARE(window->ui->Ac_Delete_Dive->isEnabled(), modified);
    QCOMPARE(readOnlyOf(window->ui->dive_date), modified ? 0 : 1);
}

// Unlinking -----------------------------------------------------------------------------------

void TestDiveCommands::doubleClickUnlinksAName_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QVariantMap>("dive");
    QTest::addColumn<QVariantMap>("after");  // empty: nothing changes
    const QVariantMap location{{"id_Location", 5}, {"id_site", 7}, {"Location", "Cozumel"}};
    auto with = [](QVariantMap fields, const QVariantMap& more) {
        for (auto it = more.begin(); it != more.end(); ++it) {
            fields.insert(it.key(), it.value());
        }
        return fields;
    };
    const QVariantMap locked{{"locked", 1}};
    const QVariantMap certified{{"certify_by", 1}};
    const QVariantMap confirmed{{"certify_by", 2}};
    const QVariantMap modified{{"certify_by", -1}};

    QTest::newRow("location") << "dive_location" << location
                              << QVariantMap{{"id_Location", 0}, {"id_site", 0}};
    QTest::newRow("location, locked") << "dive_location" << with(location, locked) << QVariantMap();
    QTest::newRow("location, certified")
        << "dive_location" << with(location, certified) << QVariantMap();
    QTest::newRow("location, buddy-confirmed")
        << "dive_location" << with(location, confirmed)
        << QVariantMap{{"id_Location", 0}, {"id_site", 0}, {"certify_by", 2}};
    QTest::newRow("site") << "dive_site" << location
                          << QVariantMap{{"id_Location", 5}, {"id_site", 0}};
    QTest::newRow("site, buddy-confirmed")
        << "dive_site" << with(location, confirmed) << QVariantMap();
    QTest::newRow("site, modified by the diver")
        << "dive_site" << with(location, modified) << QVariantMap();
    QTest::newRow("site, locked") << "dive_site" << with(location, locked) << QVariantMap();

    const QVariantMap op{{"id_operator", 3}, {"operator", "Aldora"}};
    QTest::newRow("operator") << "dive_operator" << op << QVariantMap{{"id_operator", 0}};
    QTest::newRow("operator, simple page")
        << "Simple_dive_operator" << with(op, modified) << QVariantMap{{"id_operator", 0}};
    QTest::newRow("operator, certified") << "dive_operator" << with(op, certified) << QVariantMap();
    QTest::newRow("operator, locked")
        << "Simple_dive_operator" << with(op, locked) << QVariantMap();

    const QVariantMap school{{"id_school", 4}, {"school", "Blue"}};
    QTest::newRow("school") << "dive_school" << school << QVariantMap{{"id_school", 0}};
    QTest::newRow("school, certified") << "dive_school" << with(school, certified) << QVariantMap();

    const QVariantMap buddy{{"id_buddy", 9}, {"buddy", "Ann"}};
    QTest::newRow("buddy") << "dive_buddy" << buddy
                           << QVariantMap{{"id_buddy", 0}, {"certify_by", QVariant()}};
    QTest::newRow("buddy who confirmed the dive")
        << "dive_buddy" << with(buddy, confirmed)
        << QVariantMap{{"id_buddy", 0}, {"certify_by", 0}};
    QTest::newRow("buddy who confirmed the dive, simple page")
        << "Simple_dive_buddy" << with(buddy, confirmed)
        << QVariantMap{{"id_buddy", 0}, {"certify_by", 0}};
    QTest::newRow("buddy of a certified dive") << "dive_buddy" << with(buddy, certified)
                                               << QVariantMap{{"id_buddy", 0}, {"certify_by", 1}};
    QTest::newRow("buddy, locked")
        << "Simple_dive_buddy" << with(buddy, with(confirmed, locked)) << QVariantMap();

    const QVariantMap instructor{{"id_instructor", 6}, {"instructor", "Kim"}};
    QTest::newRow("instructor") << "dive_instructor" << with(instructor, certified)
                                << QVariantMap{{"id_instructor", 0}};
    QTest::newRow("instructor, diver led the dive")
        << "dive_instructor" << with(instructor, {{"xTeam_Leader", 1}}) << QVariantMap();
    QTest::newRow("instructor, locked")
        << "dive_instructor" << with(instructor, locked) << QVariantMap();

    const QVariantMap team{{"id_team2", 2}, {"id_team3", 8}, {"team3", "Lu"}, {"id_team5", 11}};
    QTest::newRow("team member 3")
        << "dive_team3" << with(team, certified)
        << QVariantMap{{"id_team2", 2}, {"id_team3", 0}, {"id_team5", 11}};
    QTest::newRow("team member 5")
        << "dive_team5" << team << QVariantMap{{"id_team3", 8}, {"id_team5", 0}};
    QTest::newRow("team member 3, locked") << "dive_team3" << with(team, locked) << QVariantMap();
}

void TestDiveCommands::doubleClickUnlinksAName() {
    QFETCH(QString, edit);
    QFETCH(QVariantMap, dive);
    QFETCH(QVariantMap, after);
    CommandsFixture f(!edit.startsWith("Simple_"));
    dive.insert("Date", QDate(2020, 1, 1));
    f.addDive(dive);
    f.open();
    QStringList names;
    for (const FieldDef& field : f.dives()->fields()) {
        names << field.name;
    }
    const QVariantMap before = fieldsOf(f.dives(), names);

    f.doubleClick(qPrintable(edit));

    QVERIFY(f.messages.isEmpty());
    if (after.isEmpty()) {
        QVERIFY(f.browsing(f.dives()));
        QCOMPARE(fieldsOf(f.dives(), before.keys()), before);
        return;
    }
    // Not posted, the name kept, the edit free for typing.
    QCOMPARE(f.dives()->state(), Table::State::Edit);
    QCOMPARE(fieldsOf(f.dives(), after.keys()), after);
    for (const char* name : {"Location", "operator", "school", "buddy", "instructor", "team3"}) {
        QCOMPARE(f.dives()->value(name), before.value(name));
    }
    QCOMPARE(readOnlyOf(f.control<QWidget>(qPrintable(edit))), 0);
}

void TestDiveCommands::unlinkedNameLosesItsLinkButton() {
    CommandsFixture f;
    f.addDive({{"Date", QDate(2020, 1, 1)}, {"id_buddy", 9}, {"buddy", "Ann"}});
    f.open();
    f.goOnline(true);
    auto* link = f.control<QWidget>("bt_valid_bu");
    QVERIFY(!link->isHidden());
    QCOMPARE(readOnlyOf(f.control<QWidget>("dive_buddy")), 1);
    f.doubleClick("dive_buddy");
    QVERIFY(link->isHidden());
    // The buddy typed by name can now be invited.
    QVERIFY(!f.control<QWidget>("dive_invite_buddy")->isHidden());
}

void TestDiveCommands::doubleClickOnAnEmptyLogStartsNoDive() {
    CommandsFixture f;
    f.open();
    for (const char* edit : {"dive_location", "dive_buddy", "dive_team1"}) {
        f.doubleClick(edit);
    }
    QCOMPARE(f.dives()->state(), Table::State::Browse);
    QCOMPARE(f.dives()->recordCount(), 0);
}

// Write-back of the buddy selection ------------------------------------------------------------

void TestDiveCommands::buddyAndInstructorWriteBack_data() {
    QTest::addColumn<bool>("instructor");
    QTest::addColumn<int>("chosenId");
    QTest::addColumn<QString>("chosenName");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("changed");
    for (const bool instructor : {false, true}) {
        const QByteArray role = instructor ? "instructor: " : "buddy: ";
        QTest::newRow(role + "chosen") << instructor << 7 << "Al" << 7 << "Al" << true;
        QTest::newRow(role + "typed contact") << instructor << 0 << "Bea" << 0 << "Bea" << true;
        QTest::newRow(role + "cleared") << instructor << -1 << "" << 0 << "" << true;
        QTest::newRow(role + "nothing chosen") << instructor << 0 << "" << 4 << "Old" << false;
        QTest::newRow(role + "closed on the stored one")
            << instructor << 4 << "" << 4 << "Old" << false;
    }
}

void TestDiveCommands::buddyAndInstructorWriteBack() {
    QFETCH(bool, instructor);
    QFETCH(int, chosenId);
    QFETCH(QString, chosenName);
    QFETCH(int, id);
    QFETCH(QString, name);
    QFETCH(bool, changed);
    CommandsFixture f;
    const QString idField = instructor ? "id_instructor" : "id_buddy";
    const QString nameField = instructor ? "instructor" : "buddy";
    const QString otherName = instructor ? "buddy" : "instructor";
    f.addDive({{"Date", QDate(2020, 1, 1)}, {idField, 4}, {nameField, "Old"}, {otherName, "X"}});
    const quint64 changes = f.dives()->changeCount();
    if (instructor) {
        applyChosenInstructor(*f.tables, chosenId, chosenName);
    } else {
        applyChosenBuddy(*f.tables, chosenId, chosenName);
    }
    QVERIFY(f.browsing(f.dives()));
    QCOMPARE(f.dives()->changeCount() > changes, changed);
    QCOMPARE(f.dives()->asInteger(idField), id);
    QCOMPARE(f.dives()->asString(nameField), name);
    QCOMPARE(f.dives()->asString(otherName), QStringLiteral("X"));
}

void TestDiveCommands::teamWriteBack_data() {
    QTest::addColumn<int>("team");
    QTest::addColumn<int>("storedId");
    QTest::addColumn<int>("chosenId");
    QTest::addColumn<QString>("chosenName");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("changed");
    QTest::newRow("empty place") << 1 << 0 << 12 << "Bo" << 12 << "Bo" << true;
    QTest::newRow("another member") << 3 << 12 << 13 << "Cy" << 13 << "Cy" << true;
    QTest::newRow("same member again") << 5 << 12 << 12 << "Bo" << 12 << "Old" << false;
    QTest::newRow("same number under another name")
        << 2 << 12 << 12 << "Bob" << 12 << "Old" << false;
    QTest::newRow("typed contact into an empty place")
        << 4 << 0 << 0 << "Dee" << 0 << "Old" << false;
    QTest::newRow("cleared") << 4 << 12 << -1 << "" << 0 << "" << true;
    QTest::newRow("nothing chosen") << 2 << 12 << 0 << "" << 12 << "Old" << false;
}

void TestDiveCommands::teamWriteBack() {
    QFETCH(int, team);
    QFETCH(int, storedId);
    QFETCH(int, chosenId);
    QFETCH(QString, chosenName);
    QFETCH(int, id);
    QFETCH(QString, name);
    QFETCH(bool, changed);
    CommandsFixture f;
    QVariantMap dive{{"Date", QDate(2020, 1, 1)}};
    for (int member = 1; member <= 5; ++member) {
        dive.insert(QStringLiteral("id_team%1").arg(member), member == team ? storedId : 90);
        dive.insert(QStringLiteral("team%1").arg(member), member == team ? "Old" : "Other");
    }
    f.addDive(dive);
    const quint64 changes = f.dives()->changeCount();
    applyChosenTeamMember(*f.tables, team, chosenId, chosenName);
    QVERIFY(f.browsing(f.dives()));
    QCOMPARE(f.dives()->changeCount() > changes, changed);
    for (int member = 1; member <= 5; ++member) {
        const bool chosen = member == team;
        QCOMPARE(f.dives()->asInteger(QStringLiteral("id_team%1").arg(member)), chosen ? id : 90);
        QCOMPARE(f.dives()->asString(QStringLiteral("team%1").arg(member)),
                 chosen ? name : QStringLiteral("Other"));
    }
}

// Sub-dialogs ---------------------------------------------------------------------------------

void TestDiveCommands::dateCommand_data() {
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QDate>("shown");  // the calendar when it opens
    QTest::addColumn<QDate>("after");
    const QDate stored(2020, 5, 6);
    QTest::newRow("ok") << QVariant(stored) << true << stored << QDate(2020, 5, 6);
    QTest::newRow("cancel") << QVariant(stored) << false << stored << stored;
    QTest::newRow("no date, ok") << QVariant() << true << QDate(2002, 2, 17) << QDate(2002, 2, 17);
    QTest::newRow("no date, cancel") << QVariant() << false << QDate(2002, 2, 17) << QDate();
}

void TestDiveCommands::dateCommand() {
    QFETCH(QVariant, stored);
    QFETCH(bool, ok);
    QFETCH(QDate, shown);
    QFETCH(QDate, after);
    CommandsFixture f;
    f.addDive({{"Date", stored}, {"Location", "Here"}});
    TFrm_Principal* window = f.open();
    QDate opened;
    f.onModal = [&](QDialog* dialog) {
        auto* calendar = dialog->findChild<QCalendarWidget*>(QStringLiteral("Date_pick"));
        opened = calendar->selectedDate();
        if (!ok) {
            return int(QDialog::Rejected);
        }
        // The diver is still typing in the dive when picking the date.
        f.dives()->setValue("Site", "There");
        qobject_cast<TDlg_date*>(dialog)->Button1Click();
        return dialog->result();
    };
    const quint64 changes = f.dives()->changeCount();
    window->ui->bt_date->click();
    QCOMPARE(f.modalWindows, QStringList{"TDlg_date"});
    QCOMPARE(opened, shown);
    QVERIFY(f.browsing(f.dives()));
    QCOMPARE(f.dives()->value("Date").toDate(), after);
    QCOMPARE(f.dives()->changeCount() > changes, ok);
    QCOMPARE(f.dives()->asString("Site"), ok ? QStringLiteral("There") : QString());
}

void TestDiveCommands::advancedWindowFollowsLockAndCertification_data() {
    QTest::addColumn<bool>("viaButton");
    QTest::addColumn<int>("locked");
    QTest::addColumn<int>("certifyBy");
    QTest::addColumn<bool>("types");
    QTest::addColumn<bool>("lights");
    QTest::newRow("free dive, button") << true << 0 << 0 << true << true;
    QTest::newRow("locked, menu") << false << 1 << 0 << false << false;
    QTest::newRow("certified, button") << true << 0 << 1 << false << true;
    QTest::newRow("locked and certified, menu") << false << 1 << 1 << false << false;
}

void TestDiveCommands::advancedWindowFollowsLockAndCertification() {
    QFETCH(bool, viaButton);
    QFETCH(int, locked);
    QFETCH(int, certifyBy);
    QFETCH(bool, types);
    QFETCH(bool, lights);
    CommandsFixture f;
    f.addDive({{"Date", QDate(2020, 1, 1)}, {"locked", locked}, {"certify_by", certifyBy}});
    TFrm_Principal* window = f.open();
    f.dives()->edit();
    f.dives()->setValue("Site", "Pending");
    QVariantMap seen;
    f.onModal = [&](QDialog* dialog) {
        seen["posted"] = f.browsing(f.dives());
        seen["sheet"] = window->ui->PageControl1->currentWidget() == window->ui->TsDiveDetail;
        seen["types"] = !dialog->findChild<DbValueSelector*>("Dive_Nivel")->readOnlyState() &&
                        !dialog->findChild<DbValueSelector*>("Dive_Deco")->readOnlyState();
        seen["lights"] = dialog->findChild<DbCheckBox*>("ck_dive_night")->isEnabled() &&
                         !dialog->findChild<DbEdit*>("coordinates")->readOnlyState();
        return int(QDialog::Accepted);
    };
    if (viaButton) {
        window->editor()->general()->bt_Advanced->click();
    } else {
        window->ui->AdvancedInformation1->trigger();
    }
    QCOMPARE(f.modalWindows, QStringList{"TFrmDriveAdvanced"});
    QCOMPARE(f.modalOwners, QList<QWidget*>{window});
    const QVariantMap expected{
        {"posted", true}, {"sheet", true}, {"types", types}, {"lights", lights}};
    QCOMPARE(seen, expected);
    QCOMPARE(f.dives()->asString("Site"), QStringLiteral("Pending"));
}

// With no dive the menu items are disabled, and so are the buttons acting through them: none
// of the windows starts a dive of its own.
void TestDiveCommands::subDialogsNeedADive() {
    CommandsFixture f(false);
    TFrm_Principal* window = f.open();
    window->editor()->general()->bt_Advanced->click();
    window->editor()->general()->bt_Notes->click();
    window->editor()->simple()->Button8->click();
    QVERIFY(f.modalWindows.isEmpty());
    QCOMPARE(f.dives()->recordCount(), 0);
    QCOMPARE(f.dives()->state(), Table::State::Browse);
}

void TestDiveCommands::notesFollowTheLock_data() {
    QTest::addColumn<QString>("via");
    QTest::addColumn<int>("locked");
    QTest::newRow("bt_Notes, locked") << "bt_Notes" << 1;
    QTest::newRow("Button8, locked") << "Button8" << 1;
    QTest::newRow("menu, unlocked") << "GeneralNotes1" << 0;
    QTest::newRow("Button8, unlocked") << "Button8" << 0;
}

void TestDiveCommands::notesFollowTheLock() {
    QFETCH(QString, via);
    QFETCH(int, locked);
    CommandsFixture f(via != "Button8");
    f.addDive({{"Date", QDate(2020, 1, 1)}, {"locked", locked}});
    f.conditions()->edit();
    f.conditions()->setValue("observations", "Turtles");
    f.conditions()->post();
    TFrm_Principal* window = f.open();
    int readOnly = -1;
    QString notes;
    f.onModal = [&](QDialog* dialog) {
        auto* memo = dialog->findChild<DbMemo*>("dbmnotes");
        readOnly = memo->readOnlyState();
        notes = memo->toPlainText();
        return int(QDialog::Accepted);
    };
    if (via == "GeneralNotes1") {
        window->ui->GeneralNotes1->trigger();
    } else {
        f.control<QPushButton>(qPrintable(via))->click();
    }
    QCOMPARE(f.modalWindows, QStringList{"TFrmNotes"});
    QCOMPARE(readOnly, locked);
    QCOMPARE(notes, QStringLiteral("Turtles"));
}

void TestDiveCommands::stopsOpenOnTheConditionsRow() {
    CommandsFixture f;
    f.addDive({{"Date", QDate(2020, 1, 1)}, {"Dive_Deco", 1}});
    f.conditions()->edit();
    f.conditions()->setValue("stop_depth1", 6.0);
    f.conditions()->post();
    TFrm_Principal* window = f.open();
    QString shown;
    f.onModal = [&](QDialog* dialog) {
        shown = dialog->findChild<DbEdit*>("stop_depth1")->text();
        return int(QDialog::Accepted);
    };
    window->editor()->conditions()->bt_deco_stops->click();
    QCOMPARE(f.modalWindows, QStringList{"TFrmStops"});
    QCOMPARE(f.modalOwners, QList<QWidget*>{window});
    QCOMPARE(shown, QStringLiteral("6"));
}

// Web pages -----------------------------------------------------------------------------------

void TestDiveCommands::webPagesOnlyOnline_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QVariantMap>("dive");
    QTest::addColumn<QString>("page");  // after BaseUrl
    const QVariantMap linked{{"id_Location", 41}, {"id_site", 7},   {"id_operator", 3},
                             {"id_school", 4},    {"id_buddy", 9},  {"id_instructor", 6},
                             {"id_team1", 21},    {"id_team4", 24}, {"id_team5", 25}};
    QTest::newRow("location") << "bt_valid_location" << linked << "redir/?id_location=41&id_site=7";
    QTest::newRow("location without a site")
        << "bt_valid_location" << QVariantMap{{"id_Location", 41}}
        << "redir/?id_location=41&id_site=";
    QTest::newRow("operator") << "bt_valid_op" << linked << "redir/?id_operator=3";
    QTest::newRow("school") << "bt_valid_scho" << linked << "redir/?id_operator=4";
    QTest::newRow("buddy") << "bt_valid_bu" << linked << "redir/?id_user=9";
    QTest::newRow("instructor") << "bt_valid_inst" << linked << "redir/?id_user=6";
    QTest::newRow("team member 1") << "bt_valid_team1" << linked << "redir/?id_user=21";
    QTest::newRow("team member 4") << "bt_valid_team4" << linked << "redir/?id_user=24";
    QTest::newRow("team member 5") << "bt_valid_team5" << linked << "redir/?id_user=25";
}

void TestDiveCommands::webPagesOnlyOnline() {
    QFETCH(QString, button);
    QFETCH(QVariantMap, dive);
    QFETCH(QString, page);
    CommandsFixture f;
    dive.insert("Date", QDate(2020, 1, 1));
    f.addDive(dive);
    f.open();
    auto* link = f.control<QAbstractButton>(qPrintable(button));
    // Offline the buttons are hidden, and a click that reaches one opens nothing.
    f.goOnline(false);
    link->click();
    QVERIFY(f.openedUrls.isEmpty());
    f.goOnline(true);
    QVERIFY(!link->isHidden());
    link->click();
    QCOMPARE(f.openedUrls, QStringList{f.settings->BaseUrl + page});
    QVERIFY(f.messages.isEmpty());
}

void TestDiveCommands::memberProfilePage_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("page");
    QTest::newRow("plain") << "diver7"
                           << "redir/?user=diver7";
    QTest::newRow("ampersand") << "a&b"
                               << "redir/?user=a%26b";
    QTest::newRow("slash, blank and equals") << "x/y z=1"
                                             << "redir/?user=x%2Fy%20z%3D1";
}

void TestDiveCommands::memberProfilePage() {
    QFETCH(QString, user);
    QFETCH(QString, page);
    CommandsFixture f;
    f.setMember(user);
    TFrm_Principal* window = f.open();
    f.goOnline(false);
    window->diveCommands()->Ac_ViewDiverProfileExecute();
    QVERIFY(f.openedUrls.isEmpty());
    f.goOnline(true);
    window->ui->Ac_ViewDiverProfile->trigger();
    QCOMPARE(f.openedUrls, QStringList{f.settings->BaseUrl + page});
}

NEREVA_TEST_MAIN(TestDiveCommands)
#include "test_dive_commands.moc"
