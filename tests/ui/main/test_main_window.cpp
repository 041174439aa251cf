#include "main_fixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QToolBar>

namespace {

QStringList layoutOf(const QList<QAction*>& actions) {
    QStringList names;
    for (const QAction* action : actions) {
        names << (action->isSeparator() ? QStringLiteral("-")
                  : action->menu()      ? action->menu()->objectName()
                                        : action->objectName());
    }
    return names;
}

QAction* action(TFrm_Principal* window, const QString& name) {
    auto* found = window->findChild<QAction*>(name);
    if (!found) {
        qWarning("no action %s", qPrintable(name));
    }
    return found;
}

const QByteArray kLanguage =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<language><config><code>en</code></config>"
    "<dictionary><system>System</system><dive_details>Dive details</dive_details>"
    "<actions><synchronize>Synchronize</synchronize></actions>"
    "<texts><general_information>General</general_information></texts>"
    "</dictionary></language>\n";

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void commandsAndTheirStartState_data();
    void commandsAndTheirStartState();
    void menusAndToolBars_data();
    void menusAndToolBars();
    void menuItemsFollowTheirActions();
    void captionTitleAndTranslation();
    void editorPageFollowsThePreference_data();
    void editorPageFollowsThePreference();
    void divesGridShowsTheLog();
    void selectingARowMovesTheDetailTables();
    void connectionStatus_data();
    void connectionStatus();
    void detectorStartsAfterCreation();
    void divesBarToggle();
    void help_data();
    void help();
    void hooksOpenTheirWindows();
    void environmentOptionsRestartsTheDetector();
    void unitsToolFloating();
    void unitsToolDocked();
};

void TestMainWindow::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestMainWindow::commandsAndTheirStartState_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("checked");
    auto row = [](const char* name, const char* caption, const char* shortcut, bool enabled,
                  bool checkable = false, bool checked = false) {
        QTest::newRow(name) << QString(name) << QString(caption) << QString(shortcut) << enabled
                            << checkable << checked;
    };
    row("Ac_Syncronize", "<synchronize>", "", false);
    row("Ac_Print_Dive", "<Print>", "", true);
    row("Ac_Add_Dive", "<Add>", "", true);
    row("Ac_Dive_Update", "<Update>", "", false);
    row("Ac_Delete_Dive", "<Delete>", "", false);
    row("Ac_Lock", "<Lock>", "", false, true);
    row("Ac_Register_Member", "<Register_Member>", "", false);
    row("Ac_ViewDiverProfile", "<View_Diver_Profile>", "", false);
    row("Ac_Invite_User", "<Invite_User>", "", false);
    row("Syncronize1", "<synchronize>", "Ctrl+E", false);
    row("Import1", "<Import>", "", true);
    row("Export1", "<Export>", "", true);
    // An empty log: the editor's rules disable printing.
    row("Print1", "<Print>", "", false);
    row("Exit1", "<Exit>", "", true);
    row("Add1", "<Add>", "Ctrl+A", true);
    row("AcDiveUpdate1", "<Update>", "", false);
    row("dive_site1", "<dive_site>", "", false);
    row("AdvancedInformation1", "<Advanced_Information>", "", false);
    row("GeneralNotes1", "<General_Notes>", "Ctrl+N", false);
    row("Pictures1", "<Pictures>", "", false);
    row("Delete1", "<Delete>", "Ctrl+X", false);
    row("Lock1", "<Lock>", "Ctrl+L", false, true);
    row("Reports1", "<reports>", "", true);
    row("DivesTree1", "<Dives_Bar>", "", true, true, true);
    row("UnitsConvertTool1", "<convert_tool>", "", true, true);
    row("EnvironmentOptions1", "<Environment_Options>", "", true);
    row("DiverInfo1", "<Member_Information>", "Ctrl+M", true);
    row("RegisterNewMember1", "<Register_Member>", "", false);
    row("ViewDiverProfile1", "<View_Diver_Profile>", "", false);
    row("BuddysList1", "<Contact_List>", "Ctrl+C", true);
    row("Invite1", "<Invite_User>", "", false);
    row("help2", "<help>", "", true);
    row("About1", "<About>", "", true);
    row("Checkforupdates1", "<check_updates>", "", false);
    row("AcDiveUpdate2", "<Update>", "", false);
}

void TestMainWindow::commandsAndTheirStartState() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(bool, enabled);
    QFETCH(bool, checkable);
    QFETCH(bool, checked);
    MainFixture f;
    TFrm_Principal* window = f.open();
    QAction* command = action(window, name);
    QVERIFY(command);
    QCOMPARE(command->text(), caption);
    QCOMPARE(command->shortcut(), QKeySequence(shortcut));
    QCOMPARE(command->isEnabled(), enabled);
    QCOMPARE(command->isCheckable(), checkable);
    QCOMPARE(command->isChecked(), checked);
}

void TestMainWindow::menusAndToolBars_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("items");
    QTest::newRow("menu bar") << "MainMenu1"
                              << ""
                              << "system1,dive1,View1,Tools1,Community1,Help1";
    QTest::newRow("system") << "system1"
                            << "<system>"
                            << "Syncronize1,Import1,Export1,-,Print1,-,Exit1";
    QTest::newRow("dive") << "dive1"
                          << "<dive>"
                          << "Add1,AcDiveUpdate1,-,dive_site1,AdvancedInformation1,"
                             "GeneralNotes1,Pictures1,-,Delete1,-,Lock1";
    QTest::newRow("View") << "View1"
                          << "<View>"
                          << "Reports1,-,DivesTree1";
    QTest::newRow("Tools") << "Tools1"
                           << "<Tools>"
                           << "UnitsConvertTool1,-,EnvironmentOptions1";
    QTest::newRow("Community") << "Community1"
                               << "<Community>"
                               << "DiverInfo1,-,RegisterNewMember1,ViewDiverProfile1,-,"
                                  "BuddysList1,Invite1";
    QTest::newRow("Help") << "Help1"
                          << "<Help>"
                          << "help2,-,About1,-,Checkforupdates1";
    QTest::newRow("certification pop-up") << "pup_certi"
                                          << ""
                                          << "AcDiveUpdate2";
    QTest::newRow("ToolBar2") << "ToolBar2"
                              << ""
                              << "Ac_Syncronize,-,Ac_Print_Dive";
    QTest::newRow("ToolBar1") << "ToolBar1"
                              << ""
                              << "Ac_Add_Dive,Ac_Delete_Dive,-,Ac_Lock";
    QTest::newRow("ToolBar3") << "ToolBar3"
                              << ""
                              << "DiverInfo1,EnvironmentOptions1";
}

void TestMainWindow::menusAndToolBars() {
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(QString, items);
    MainFixture f;
    TFrm_Principal* window = f.open();
    auto* holder = window->findChild<QWidget*>(name);
    QVERIFY(holder);
    QCOMPARE(layoutOf(holder->actions()).join(','), items);
    if (auto* menu = qobject_cast<QMenu*>(holder); menu && !title.isEmpty()) {
        QCOMPARE(menu->title(), title);
    }
    if (auto* bar = qobject_cast<QToolBar*>(holder)) {
        QCOMPARE(window->toolBarArea(bar), Qt::TopToolBarArea);
        QVERIFY(!window->toolBarBreak(bar));
        for (QAction* command : bar->actions()) {
            QVERIFY(command->isSeparator() || !command->icon().isNull());
        }
    }
}

void TestMainWindow::menuItemsFollowTheirActions() {
    MainFixture f;
    TFrm_Principal* window = f.open();
    Ui::TFrm_Principal* ui = window->ui;
    ui->Ac_Syncronize->setEnabled(true);
    QVERIFY(ui->Syncronize1->isEnabled());
    ui->Ac_Lock->setEnabled(true);
    ui->Ac_Lock->setChecked(true);
    QVERIFY(ui->Lock1->isChecked());
    QSignalSpy added(ui->Ac_Add_Dive, &QAction::triggered);
    ui->Add1->trigger();
    QCOMPARE(added.size(), 1);
    // Choosing the lock item runs the lock action once; both show the action's mark.
    QSignalSpy locked(ui->Ac_Lock, &QAction::triggered);
    ui->Lock1->trigger();
    QCOMPARE(locked.size(), 1);
    QCOMPARE(ui->Lock1->isChecked(), ui->Ac_Lock->isChecked());
    // A menu item switched off on its own leaves its action (and tool button) alone.
    ui->Print1->setEnabled(false);
    QVERIFY(ui->Ac_Print_Dive->isEnabled());
    QSignalSpy updated(ui->Ac_Dive_Update, &QAction::triggered);
    ui->Ac_Dive_Update->setEnabled(true);
    QVERIFY(ui->AcDiveUpdate2->isEnabled());
    ui->AcDiveUpdate2->trigger();
    QCOMPARE(updated.size(), 1);
}

void TestMainWindow::captionTitleAndTranslation() {
    MainFixture f(kLanguage);
    TFrm_Principal* window = f.open();
    QCOMPARE(window->windowTitle(), QStringLiteral("NEREVA Desktop 0.7.15b"));
    QCOMPARE(window->ui->pnl_titulo->text(), QStringLiteral("Dive details"));
    QCOMPARE(window->ui->system1->title(), QStringLiteral("System"));
    QCOMPARE(window->ui->Ac_Syncronize->text(), QStringLiteral("Synchronize"));
    QCOMPARE(window->ui->Syncronize1->text(), QStringLiteral("Synchronize"));
    QCOMPARE(window->ui->PageAdvanced->tabText(0), QStringLiteral("General"));
    QCOMPARE(window->ui->PageAdvanced->tabText(3), QStringLiteral("DC Profile"));
    // A key the dictionary lacks keeps its bracketed form; grid titles are never translated.
    QCOMPARE(window->ui->Panel16->text(), QStringLiteral("<Dives_List>"));
    QCOMPARE(window->ui->DbgDives->model()->headerData(1, Qt::Horizontal).toString(),
             QStringLiteral("Location"));
}

void TestMainWindow::editorPageFollowsThePreference_data() {
    QTest::addColumn<bool>("advanced");
    QTest::newRow("simple") << false;
    QTest::newRow("advanced") << true;
}

void TestMainWindow::editorPageFollowsThePreference() {
    QFETCH(bool, advanced);
    MainFixture f;
    f.settings->ViewAdvancedDives = advanced;
    Ui::TFrm_Principal* ui = f.openShown()->ui;
    QCOMPARE(ui->PageAdvanced->isVisible(), advanced);
    QCOMPARE(ui->PageSimple->isVisible(), !advanced);
    QVERIFY(ui->TsDiveDetail->isVisible());
    QVERIFY(ui->PageControl1->tabBar()->isHidden());
    QCOMPARE(ui->PageAdvanced->currentWidget(), ui->ts_general);
    const QStringList pages = {"ts_general", "ts_conditions", "ts_gear", "ts_DcProfile"};
    for (int i = 0; i < pages.size(); ++i) {
        QCOMPARE(ui->PageAdvanced->widget(i)->objectName(), pages[i]);
    }
}

void TestMainWindow::divesGridShowsTheLog() {
    MainFixture f;
    f.addDive(QDate(2024, 8, 17), QStringLiteral("Dahab"));
    f.addDive(QDate(2024, 3, 2), QStringLiteral("Cozumel"));
    QTableView* grid = f.openShown()->ui->DbgDives;
    QAbstractItemModel* model = grid->model();
    QCOMPARE(model->rowCount(), 2);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Date"));
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("3/2/2024"));
    QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("Cozumel"));
    // At least the design width, and wide enough for any date in the grid's font.
    QVERIFY(grid->columnWidth(0) >= 65);
    QVERIFY(grid->columnWidth(0) > grid->fontMetrics().horizontalAdvance("12/28/2024"));
    QCOMPARE(grid->columnWidth(1), 200);
    QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(grid->frameShape(), QFrame::NoFrame);
    QCOMPARE(grid->palette().color(QPalette::Inactive, QPalette::Highlight),
             grid->palette().color(QPalette::Active, QPalette::Highlight));
    f.addDive(QDate(2025, 1, 5), QStringLiteral("Great Barrier Reef"));
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(grid->currentIndex().row(), 2);
}

void TestMainWindow::selectingARowMovesTheDetailTables() {
    MainFixture f;
    f.addDive(QDate(2024, 3, 2), QStringLiteral("Cozumel"));
    f.addDive(QDate(2024, 8, 17), QStringLiteral("Dahab"));
    f.addDive(QDate(2025, 1, 5), QStringLiteral("Roatan"));
    TFrm_Principal* window = f.openShown();
    QTableView* grid = window->ui->DbgDives;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                      grid->visualRect(grid->model()->index(1, 1)).center());
    QCOMPARE(f.tables->cds_dives->recNo(), 2);
    QCOMPARE(window->ds_conditions->dataSet()->asString(QStringLiteral("bottom_time")),
             QStringLiteral("Dahab"));
    QCOMPARE(window->ds_dives->dataSet(), f.tables->cds_dives);
    QCOMPARE(window->ds_equip->dataSet(), f.tables->cds_equipment);
    f.tables->cds_dives->first();
    QCOMPARE(grid->currentIndex().row(), 0);
}

void TestMainWindow::connectionStatus_data() {
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("connectionText");
    QTest::addColumn<QString>("memberText");
    QTest::addColumn<bool>("memberCommands");
    QTest::newRow("offline, no member") << false << ""
                                        << ""
                                        << " Not Registered" << false;
    QTest::newRow("online, no member") << true << ""
                                       << " Online"
                                       << " Not Registered" << false;
    QTest::newRow("online, member") << true << "diver7"
                                    << " Online"
                                    << " diver7" << true;
    QTest::newRow("offline, member") << false << "diver7"
                                     << ""
                                     << " diver7" << false;
}

void TestMainWindow::connectionStatus() {
    QFETCH(bool, online);
    QFETCH(QString, user);
    QFETCH(QString, connectionText);
    QFETCH(QString, memberText);
    QFETCH(bool, memberCommands);
    MainFixture f;
    if (!user.isEmpty()) {
        f.setMember(user);
    }
    f.setOnline(online);
    TFrm_Principal* window = f.open();
    Ui::TFrm_Principal* ui = window->ui;
    // Before the first notification the design state holds.
    QCOMPARE(window->statusText(1), QString());
    QCOMPARE(window->statusText(2), QString());
    window->INetDetector1->poll();
    QCOMPARE(window->statusText(1), connectionText);
    QCOMPARE(window->statusText(2), memberText);
    for (QAction* command :
         {ui->Ac_Syncronize, ui->Ac_Register_Member, ui->Checkforupdates1, ui->help2}) {
        QCOMPARE(command->isEnabled(), online);
    }
    QCOMPARE(ui->Syncronize1->isEnabled(), online);
    QCOMPARE(ui->Ac_ViewDiverProfile->isEnabled(), memberCommands);
    QCOMPARE(ui->Ac_Invite_User->isEnabled(), memberCommands);
    QCOMPARE(ui->Invite1->isEnabled(), memberCommands);
    QCOMPARE(window->INetDetector1->DispatchInterval(), 6000);
    QVERIFY(window->INetDetector1->DialUp);
    // A change of the setting reaches the detector at the next notification.
    f.settings->DialupConnection = false;
    window->INetDetector1->poll();
    QVERIFY(!window->INetDetector1->DialUp);
}

void TestMainWindow::detectorStartsAfterCreation() {
    MainFixture f;
    f.setOnline(true);
    f.settings->DialupConnection = false;
    TFrm_Principal window;
    QVERIFY(!window.INetDetector1->Enabled());
    QVERIFY(window.INetDetector1->DialUp);
    QCOMPARE(window.INetDetector1->DispatchInterval(), 50);
    window.FormCreate(QRect(0, 0, 1024, 768));
    QVERIFY(window.INetDetector1->Enabled());
    QVERIFY(!window.INetDetector1->DialUp);
    QTRY_COMPARE_WITH_TIMEOUT(window.statusText(1), QStringLiteral(" Online"), 2000);
    QVERIFY(window.ui->Ac_Syncronize->isEnabled());
}

void TestMainWindow::divesBarToggle() {
    MainFixture f;
    TFrm_Principal* window = f.openShown();
    Ui::TFrm_Principal* ui = window->ui;
    QSplitterHandle* handle = ui->Splitter1->handle(1);
    QVERIFY(ui->pnl_dives_tree->isVisible());
    QVERIFY(handle->isVisible());
    ui->DivesTree1->trigger();
    QApplication::processEvents();
    QVERIFY(!ui->pnl_dives_tree->isVisible());
    QVERIFY(!handle->isVisible());
    QVERIFY(!ui->DivesTree1->isChecked());
    QVERIFY(ui->PageControl1->isVisible());
    ui->DivesTree1->trigger();
    QApplication::processEvents();
    QVERIFY(ui->pnl_dives_tree->isVisible());
    QVERIFY(handle->isVisible());
    QVERIFY(ui->DivesTree1->isChecked());
    QCOMPARE(ui->pnl_dives_tree->width(), 300);
}

void TestMainWindow::help_data() {
    QTest::addColumn<bool>("online");
    QTest::newRow("online") << true;
    QTest::newRow("offline") << false;
}

void TestMainWindow::help() {
    QFETCH(bool, online);
    MainFixture f;
    f.setOnline(online);
    TFrm_Principal* window = f.open();
    window->INetDetector1->poll();
    window->help2Click();
    const QStringList expected =
        online ? QStringList{f.settings->BaseUrl + "redir/?help=1"} : QStringList();
    QCOMPARE(f.openedUrls, expected);
}

void TestMainWindow::hooksOpenTheirWindows() {
    MainFixture f;
    TFrm_Principal* window = f.open();
    QList<QWidget*> owners;
    window->openAbout = [&](QWidget* owner) { owners << owner; };
    window->ui->About1->trigger();
    QCOMPARE(owners, QList<QWidget*>{window});
    // Without hooks the commands do nothing.
    window->openAbout = nullptr;
    window->ui->About1->trigger();
    window->ui->EnvironmentOptions1->trigger();
    QVERIFY(f.messages.isEmpty());
    // A failure inside a command is shown in the error box.
    window->openAbout = [](QWidget*) { throw AppError(QStringLiteral("no about")); };
    window->ui->About1->trigger();
    QCOMPARE(f.messages, QStringList{"no about"});
    window->show();
    window->ui->Exit1->trigger();
    QVERIFY(!window->isVisible());
    QCOMPARE(f.position("Principal_State"), 1);  // Exit closes through the close handler
}

void TestMainWindow::environmentOptionsRestartsTheDetector() {
    MainFixture f;
    TFrm_Principal* window = f.open();
    window->INetDetector1->poll();
    QCOMPARE(window->INetDetector1->DispatchInterval(), 6000);
    bool detectorWasRunning = false;
    window->openEnvironmentOptions = [&](QWidget* owner) {
        QCOMPARE(owner, window);
        detectorWasRunning = window->INetDetector1->Enabled();
        f.settings->DialupConnection = true;
    };
    window->ui->EnvironmentOptions1->trigger();
    QVERIFY(detectorWasRunning);
    QVERIFY(window->INetDetector1->Enabled());
    QVERIFY(window->INetDetector1->timerActive());
    QCOMPARE(window->INetDetector1->DispatchInterval(), 50);
    QVERIFY(window->INetDetector1->DialUp);
}

void TestMainWindow::unitsToolFloating() {
    MainFixture f;
    TFrm_Principal* window = f.openShown();
    Ui::TFrm_Principal* ui = window->ui;
    ui->UnitsConvertTool1->trigger();  // no tool yet
    QVERIFY(!ui->UnitsConvertTool1->isChecked());
    QWidget tool;
    window->setUnitsTool(&tool);
    ui->UnitsConvertTool1->trigger();
    QVERIFY(tool.isVisible());
    QVERIFY(ui->UnitsConvertTool1->isChecked());
    QVERIFY(ui->pnl_UnitConvert->isHidden());
    ui->UnitsConvertTool1->trigger();
    QVERIFY(!tool.isVisible());
    QVERIFY(!ui->UnitsConvertTool1->isChecked());
}

void TestMainWindow::unitsToolDocked() {
    MainFixture f;
    TFrm_Principal* window = f.openShown();
    Ui::TFrm_Principal* ui = window->ui;
    auto* tool = new QWidget;
    tool->setMinimumSize(100, 60);
    window->dockUnitsTool(tool);
    QApplication::processEvents();
    QVERIFY(window->unitsToolDocked());
    QCOMPARE(tool->parentWidget(), ui->pnl_UnitConvert_Dock);
    QVERIFY(ui->pnl_UnitConvert->isVisible());
    QVERIFY(ui->Splitter3->handle(1)->isVisible());
    QCOMPARE(ui->pnl_dives->height(), 80);  // the list's default height; the tool takes the rest
    QVERIFY(tool->isVisible());
    QVERIFY(ui->UnitsConvertTool1->isChecked());
    QTest::mouseClick(ui->bt_UnitsConvHide, Qt::LeftButton);
    QVERIFY(!tool->isVisible());
    QVERIFY(!ui->pnl_UnitConvert->isVisible());
    QVERIFY(!ui->UnitsConvertTool1->isChecked());
    ui->UnitsConvertTool1->trigger();
    QVERIFY(tool->isVisible());
    QVERIFY(ui->pnl_UnitConvert->isVisible());
    window->undockUnitsTool();
    QVERIFY(!window->unitsToolDocked());
    QVERIFY(tool->isWindow());
    QVERIFY(tool->isVisible());
    QVERIFY(!ui->pnl_UnitConvert->isVisible());
    delete tool;
    QVERIFY(!window->unitsTool());
}

NEREVA_TEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
