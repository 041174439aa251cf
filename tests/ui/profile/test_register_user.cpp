#include "profile_fixture.h"
#include "ui/profile/tdlg_register_user.h"

Q_DECLARE_METATYPE(QMessageBox::Icon)

namespace {

const QString kConnectionError = QStringLiteral("Internet connection error.\nPlease check it.");

struct WizardFixture : ProfileFixture {
    std::unique_ptr<TDlg_Register_User> open() {
        auto wizard = std::make_unique<TDlg_Register_User>(nullptr);
        wizard->show();
        return wizard;
    }

    // The form page filled in as a diver types it.
    std::unique_ptr<TDlg_Register_User> openFilled(const QString& email = "ann@lee.org") {
        auto wizard = open();
        wizard->bt_nextClick();
        Ui::TDlg_Register_User* ui = wizard->form();
        typeInto(ui->ed_name, "Ann Lee");
        typeInto(ui->ed_email, email);
        typeInto(ui->ed_user, "Diver");
        typeInto(ui->ed_pass, "pass1");
        typeInto(ui->ed_pass2, "pass1");
        return wizard;
    }

    QList<QLineEdit*> formFields(const TDlg_Register_User& wizard) const {
        Ui::TDlg_Register_User* ui = wizard.form();
        return {ui->ed_name, ui->ed_email, ui->ed_user, ui->ed_pass, ui->ed_pass2};
    }
};

}  // namespace

class TestRegisterUser : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void introFormAndBack();
    void inputRuleOnEveryField();
    void lettersTurnedToLowerCase();
    void resultsAndStages_data();
    void resultsAndStages();
    void requestOnTheWire();
    void finishStoresTheMemberAndCloses();
    void closingBeforeFinishStoresNothing();
    void unencryptedPasswordLine_data();
    void unencryptedPasswordLine();
};

void TestRegisterUser::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestRegisterUser::introFormAndBack() {
    WizardFixture f;
    auto wizard = f.open();
    Ui::TDlg_Register_User* ui = wizard->form();
    QCOMPARE(wizard->windowTitle(), f.word("register_member"));
    QVERIFY(!ui->pnl_intro->isHidden());
    QVERIFY(ui->Panel1->isHidden());
    QVERIFY(ui->bt_next->isEnabled());
    QVERIFY(!ui->bt_back->isEnabled());
    QVERIFY(ui->bt_cancel->isEnabled());
    QCOMPARE(ui->ed_pass->echoMode(), QLineEdit::Password);
    QCOMPARE(ui->ed_user->maxLength(), 20);

    ui->bt_next->click();
    QVERIFY(!ui->Panel1->isHidden());
    QVERIFY(ui->bt_back->isEnabled());
    QVERIFY(!ui->bt_next->isEnabled());
    QVERIFY(f.service.requests.isEmpty());

    ui->bt_back->click();
    QVERIFY(ui->Panel1->isHidden());
    QVERIFY(!ui->bt_back->isEnabled());
    QVERIFY(ui->bt_next->isEnabled());
    QCOMPARE(ui->bt_next->text(), f.word("next"));
}

void TestRegisterUser::inputRuleOnEveryField() {
    WizardFixture f;
    auto wizard = f.open();
    wizard->bt_nextClick();
    Ui::TDlg_Register_User* ui = wizard->form();
    typeInto(ui->ed_user, "dive");
    typeInto(ui->ed_pass, "abc");
    typeInto(ui->ed_pass2, "abc");
    typeInto(ui->ed_email, "a@b.c");
    QVERIFY(!ui->bt_next->isEnabled());  // a password of three characters
    typeInto(ui->ed_pass, "d");
    QVERIFY(!ui->bt_next->isEnabled());  // the confirmation differs
    typeInto(ui->ed_pass2, "d");
    QVERIFY(ui->bt_next->isEnabled());
    ui->ed_email->backspace();
    QVERIFY(!ui->bt_next->isEnabled());
    typeInto(ui->ed_email, "o");  // the e-mail address typed last
    QVERIFY(ui->bt_next->isEnabled());
    typeInto(ui->ed_name, "Ann");
    QVERIFY(ui->bt_next->isEnabled());
}

void TestRegisterUser::lettersTurnedToLowerCase() {
    WizardFixture f;
    auto wizard = f.openFilled("Ann@Lee.ORG");
    Ui::TDlg_Register_User* ui = wizard->form();
    QCOMPARE(ui->ed_user->text(), QString("diver"));
    QCOMPARE(ui->ed_email->text(), QString("ann@lee.org"));
    QCOMPARE(ui->ed_name->text(), QString("Ann Lee"));
    typeInto(ui->ed_pass, "X");
    QCOMPARE(ui->ed_pass->text(), QString("pass1x"));
}

void TestRegisterUser::resultsAndStages_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<bool>("registered");
    QTest::addColumn<bool>("fieldsEnabled");
    QTest::addColumn<QString>("user");
    const auto info = QMessageBox::Information;
    QTest::newRow("0") << 200 << QByteArray("result=0") << kConnectionError << info << false << true
                       << "diver";
    QTest::newRow("seven characters")
        << 200 << QByteArray("result=") << kConnectionError << info << false << true << "diver";
    QTest::newRow("1 with the registered name")
        << 200 << QByteArray("status:1\r\ndiver77\r\n")
        << "The Member username has been succesfully registered." << info << true << false
        << "diver77";
    QTest::newRow("1 without a second line")
        << 200 << QByteArray("status:1") << "The Member username has been succesfully registered."
        << info << true << false << "diver";
    QTest::newRow("2") << 200 << QByteArray("result=2")
                       << "The email or username you choosed is already registered.\nPlease "
                          "choose another one."
                       << info << false << true << "diver";
    QTest::newRow("3") << 200 << QByteArray("result=3")
                       << "The username or password is wrong,\nor email address is "
                          "incorrect.\nPlease check it."
                       << info << false << true << "diver";
    QTest::newRow("other digit") << 200 << QByteArray("result=5") << "" << QMessageBox::NoIcon
                                 << false << false << "diver";
    QTest::newRow("short first line") << 200 << QByteArray("error\r\nresult=1") << ""
                                      << QMessageBox::NoIcon << false << false << "diver";
    QTest::newRow("failed request") << 500 << QByteArray("result=1") << kConnectionError
                                    << QMessageBox::Critical << false << true << "diver";
    QTest::newRow("empty answer") << 200 << QByteArray() << kConnectionError
                                  << QMessageBox::Critical << false << true << "diver";
}

void TestRegisterUser::resultsAndStages() {
    QFETCH(int, status);
    QFETCH(QByteArray, answer);
    QFETCH(QString, message);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(bool, registered);
    QFETCH(bool, fieldsEnabled);
    WizardFixture f;
    f.service.answer("", answer, status);
    auto wizard = f.openFilled();
    Ui::TDlg_Register_User* ui = wizard->form();
    ui->bt_next->click();

    QCOMPARE(f.service.requests.size(), 1);
    QCOMPARE(f.messageTexts(), message.isEmpty() ? QStringList() : QStringList(message));
    if (!message.isEmpty()) {
        QCOMPARE(f.messages[0].icon, icon);
        QCOMPARE(f.messages[0].buttons, QMessageBox::Ok);
    }
    QVERIFY(ui->bt_next->isEnabled());
    QVERIFY(!ui->bt_back->isEnabled());
    QVERIFY(ui->lb_next->isHidden());
    QCOMPARE(ui->bt_cancel->isEnabled(), !registered);
    QCOMPARE(ui->bt_next->text(), registered ? QString("Finish") : f.word("Next"));
    for (QLineEdit* field : f.formFields(*wizard)) {
        QCOMPARE(field->isEnabled(), fieldsEnabled);
    }
    QTEST(ui->ed_user->text(), "user");
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(f.tables->cds_info->recordCount(), 0);
}

// The values are encoded by the transport, so a typed "&" or "=" adds no parameter.
void TestRegisterUser::requestOnTheWire() {
    WizardFixture f;
    f.service.answer("", "result=3");
    auto wizard = f.openFilled();
    typeInto(wizard->form()->ed_name, " & Co=1");
    wizard->form()->bt_next->click();
    QCOMPARE(f.service.requests.size(), 1);
    const FakeService::Request& request = f.service.requests[0];
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.target, QByteArray("/serv0.9/register/"));
    QVERIFY(request.raw.contains("\r\nContent-Type: application/x-www-form-urlencoded\r\n"));
    QCOMPARE(request.body,
             QByteArray("param_user=diver&param_pass=pass1&param_email=ann%40lee%2Eorg"
                        "&param_name=Ann+Lee+%26+Co%3D1&param_idioma=en&"));
}

void TestRegisterUser::finishStoresTheMemberAndCloses() {
    WizardFixture f;
    f.setMember({{"name", "Old Name"}, {"city", "Merida"}});
    f.service.answer("", "status:1\r\nann.lee\r\n");
    const QString longEmail = QString(45, QLatin1Char('a')) + "@x.org";
    auto wizard = f.openFilled(longEmail);
    Ui::TDlg_Register_User* ui = wizard->form();
    ui->bt_next->click();
    QCOMPARE(ui->bt_next->text(), QString("Finish"));
    ui->bt_next->click();
    QCOMPARE(wizard->result(), int(QDialog::Accepted));
    QVERIFY(!wizard->isVisible());
    QCOMPARE(f.service.requests.size(), 1);
    Table* member = f.tables->cds_info;
    QCOMPARE(member->state(), Table::State::Browse);
    QCOMPARE(member->recordCount(), 1);
    QCOMPARE(member->asString("inet_user"), QString("ann.lee"));
    QCOMPARE(member->asString("inet_pass"), QString("pass1"));
    QCOMPARE(member->asString("inet_email"), longEmail.left(40));
    QCOMPARE(member->asString("name"), QString("Ann Lee"));
    QCOMPARE(member->asString("city"), QString("Merida"));
}

// Even after the service registered the member: only Finish stores.
void TestRegisterUser::closingBeforeFinishStoresNothing() {
    WizardFixture f;
    f.service.answer("", "status:1\r\nann.lee\r\n");
    auto wizard = f.openFilled();
    wizard->form()->bt_next->click();
    wizard->close();
    QVERIFY(!wizard->isVisible());
    QCOMPARE(f.tables->cds_info->recordCount(), 0);

    auto cancelled = f.openFilled();
    cancelled->form()->bt_cancel->click();
    QCOMPARE(cancelled->result(), int(QDialog::Rejected));
    QCOMPARE(f.tables->cds_info->recordCount(), 0);
}

void TestRegisterUser::unencryptedPasswordLine_data() {
    QTest::addColumn<QString>("root");
    QTest::addColumn<bool>("shown");
    QTest::newRow("http") << "http://www.nereva.net/serv0.9/register/" << true;
    QTest::newRow("https") << "https://www.nereva.net/serv0.9/register/" << false;
}

void TestRegisterUser::unencryptedPasswordLine() {
    QFETCH(QString, root);
    QFETCH(bool, shown);
    WizardFixture f;
    f.settings->UrlRegister = root;
    auto wizard = f.open();
    wizard->bt_nextClick();
    QCOMPARE(wizard->form()->lb_unencrypted->isVisible(), shown);
    QCOMPARE(wizard->form()->lb_unencrypted->text(), f.word("txt_password_unencrypted"));
}

NEREVA_TEST_MAIN(TestRegisterUser)
#include "test_register_user.moc"
