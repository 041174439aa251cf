#include "main_fixture.h"
#include "ui/profile/profile_commands.h"
#include "ui/profile/profile_forms.h"
#include "ui/profile/tfrm_diver_info.h"

#include <QToolBar>

namespace {

// The main window as start-up connects it, with the member commands.
struct CommandsFixture : MainFixture {
    TFrm_Principal* openConnected(bool online) {
        setOnline(online);
        TFrm_Principal* opened = openShown();
        connectProfileCommands(*opened);
        opened->INetDetector1->poll();
        return opened;
    }
};

}  // namespace

class TestProfileCommands : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void commandsOpenTheirWindows_data();
    void commandsOpenTheirWindows();
    void memberRecordChangeShowsAtOnce();
};

void TestProfileCommands::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestProfileCommands::commandsOpenTheirWindows_data() {
    QTest::addColumn<QString>("started");
    QTest::addColumn<QString>("window");
    QTest::newRow("member information") << "DiverInfo1"
                                        << "TFrm_Diver_info";
    QTest::newRow("member information, Ctrl+M") << "Ctrl+M"
                                                << "TFrm_Diver_info";
    QTest::newRow("member information, tool bar") << "ToolBar3"
                                                  << "TFrm_Diver_info";
    QTest::newRow("register") << "Ac_Register_Member"
                              << "TDlg_Register_User";
    QTest::newRow("invite") << "Ac_Invite_User"
                            << "TFrmInvite";
    QTest::newRow("the dive editor's invite button") << "dive_invite_buddy"
                                                     << "TFrmInvite";
}

void TestProfileCommands::commandsOpenTheirWindows() {
    QFETCH(QString, started);
    CommandsFixture f;
    f.setMember(QStringLiteral("bluefin"));
    TFrm_Principal* window = f.openConnected(true);
    Ui::TFrm_Principal* ui = window->ui;
    if (started == "Ctrl+M") {
        QTest::keyClick(window, Qt::Key_M, Qt::ControlModifier);
    } else if (started == "ToolBar3") {
        qobject_cast<QAbstractButton*>(ui->ToolBar3->widgetForAction(ui->DiverInfo1))->click();
    } else if (started == "dive_invite_buddy") {
        window->editor()->general()->dive_invite_buddy->click();
    } else {
        window->findChild<QAction*>(started)->trigger();
    }
    QTEST(f.modalWindows.join(','), "window");
}

// Entered in the member window and confirmed with OK: the status bar names the member and the
// commands that need one are enabled, without waiting for the next poll.
void TestProfileCommands::memberRecordChangeShowsAtOnce() {
    CommandsFixture f;
    TFrm_Principal* window = f.openConnected(true);
    Ui::TFrm_Principal* ui = window->ui;
    QCOMPARE(window->statusText(2), QString(" Not Registered"));
    QVERIFY(!ui->Ac_Invite_User->isEnabled());
    QVERIFY(ui->Ac_Syncronize->isEnabled());
    Dialogs::setModalHandler([](QDialog* dialog) {
        auto* info = qobject_cast<TFrm_Diver_info*>(dialog);
        info->show();
        info->form()->dbe_user->setFocus();
        QTest::keyClicks(info->form()->dbe_user, "BlueFin");
        info->form()->bt_ok->click();
        return info->result();
    });
    ui->DiverInfo1->trigger();
    QCOMPARE(window->statusText(2), QString(" bluefin"));
    QVERIFY(ui->Ac_Invite_User->isEnabled());
    QVERIFY(ui->Ac_ViewDiverProfile->isEnabled());
    QCOMPARE(window->statusText(1), QString(" Online"));

    f.tables->cds_info->edit();
    f.tables->cds_info->setValue("inet_user", QString());
    f.tables->cds_info->post();
    QCOMPARE(window->statusText(2), QString(" Not Registered"));
    QVERIFY(!ui->Ac_Invite_User->isEnabled());
}

NEREVA_TEST_MAIN(TestProfileCommands)
#include "test_profile_commands.moc"
