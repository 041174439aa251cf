#include "profile_fixture.h"
#include "ui/profile/tfrm_invite.h"

namespace {

struct InviteFixture : ProfileFixture {
    std::unique_ptr<TFrmInvite> open() {
        auto window = std::make_unique<TFrmInvite>(nullptr);
        window->show();
        return window;
    }
};

}  // namespace

class TestInvite : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void sendNeedsAnAddress();
    void answers_data();
    void answers();
    void addressSentInLowerCaseAndEncoded();
    void finishClosesWithoutASecondRequest();
};

void TestInvite::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestInvite::sendNeedsAnAddress() {
    InviteFixture f;
    auto window = f.open();
    Ui::TFrmInvite* ui = window->form();
    QCOMPARE(window->windowTitle(), QString());
    QCOMPARE(ui->btSend->text(), f.word("Send"));
    QCOMPARE(ui->Label3->text(), QString("Enter your friend valid email address"));
    QVERIFY(!ui->btSend->isEnabled());
    typeInto(ui->edEmail, "a");
    QVERIFY(ui->btSend->isEnabled());
    ui->edEmail->backspace();
    QVERIFY(!ui->btSend->isEnabled());
}

void TestInvite::answers_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<QStringList>("messages");
    const QStringList refused = {"This email address is incorrect."};
    QTest::newRow("OK") << 200 << QByteArray("OK") << true << QStringList();
    QTest::newRow("ok") << 200 << QByteArray("ok") << false << refused;
    QTest::newRow("OK and a line break") << 200 << QByteArray("OK\r\n") << false << refused;
    QTest::newRow("failed request") << 500 << QByteArray("OK") << false << QStringList();
}

void TestInvite::answers() {
    QFETCH(int, status);
    QFETCH(QByteArray, answer);
    QFETCH(bool, sent);
    InviteFixture f;
    f.service.answer("invite.php", answer, status);
    auto window = f.open();
    Ui::TFrmInvite* ui = window->form();
    typeInto(ui->edEmail, "jon@example.org");
    ui->btSend->click();
    QCOMPARE(f.service.requests.size(), 1);
    QTEST(f.messageTexts(), "messages");
    if (!f.messages.isEmpty()) {
        QCOMPARE(f.messages[0].icon, QMessageBox::Warning);
    }
    QVERIFY(ui->btSend->isEnabled());
    QCOMPARE(ui->edEmail->isEnabled(), !sent);
    QCOMPARE(ui->btCancel->isEnabled(), !sent);
    QCOMPARE(ui->btSend->text(), sent ? f.word("finish") : f.word("Send"));
    QCOMPARE(ui->edEmail->text(), QString("jon@example.org"));
    QVERIFY(window->isVisible());
}

// Capital letters never reach the service, and no typed character adds a parameter.
void TestInvite::addressSentInLowerCaseAndEncoded() {
    InviteFixture f;
    f.service.answer("invite.php", "OK");
    auto window = f.open();
    typeInto(window->form()->edEmail, "Jon+Park&x=1 @Example.ORG");
    QCOMPARE(window->form()->edEmail->text(), QString("jon+park&x=1 @example.org"));
    window->form()->btSend->click();
    QCOMPARE(f.service.requests.size(), 1);
    const FakeService::Request& request = f.service.requests[0];
    QCOMPARE(request.method, QByteArray("GET"));
    QCOMPARE(
        request.target,
        QByteArray("/serv0.9/register/invite.php?param_email=jon%2Bpark%26x%3D1%20%40example.org"));
}

void TestInvite::finishClosesWithoutASecondRequest() {
    InviteFixture f;
    f.service.answer("invite.php", "OK");
    auto window = f.open();
    typeInto(window->form()->edEmail, "jon@example.org");
    window->form()->btSend->click();
    window->form()->btSend->click();
    QCOMPARE(f.service.requests.size(), 1);
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Accepted));
}

NEREVA_TEST_MAIN(TestInvite)
#include "test_invite.moc"
