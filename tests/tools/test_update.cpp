#include "../sync/sync_fixture.h"
#include "../ui/main/main_fixture.h"
#include "tools/tfrm_update.h"
#include "tools/tool_commands.h"
#include "ui_tfrm_update.h"

#include <QTimer>

namespace {

const QByteArray kDictionary = R"(<?xml version="1.0" encoding="UTF-8"?>
<language><config><code>es</code></config><dictionary>
<check_updates>Buscar actualizaciones</check_updates><please_wait>Espere...</please_wait>
<text_last_version>Tiene la última versión.</text_last_version>
</dictionary></language>)";

const QByteArray kDeclaration = R"(<?xml version="1.0" encoding="iso-8859-1"?>)";

}  // namespace

class TestUpdate : public QObject {
    Q_OBJECT
private slots:
    void waitsThenChecksOnce();
    void answers_data();
    void answers();
    void serviceDownLeavesAnEmptyMessage();
    void requestCarriesVersionAndLanguage_data();
    void requestCarriesVersionAndLanguage();
    void helpMenuOpensTheWindow();
};

void TestUpdate::waitsThenChecksOnce() {
    SyncFixture f(kDictionary);
    f.service.answer("update.xml.php", kDeclaration + "<update/>");
    TFrmUpdate update;
    Ui::TFrmUpdate* ui = update.form();
    QCOMPARE(ui->lb_new_version->text(), QString("Buscar actualizaciones Espere..."));
    QVERIFY(update.Timer1->isActive());
    QVERIFY(update.Timer1->isSingleShot());
    QCOMPARE(update.Timer1->interval(), 1000);
    QVERIFY(!ui->Button1->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(f.service.requests.size(), 1, 5000);
    QCOMPARE(ui->lb_new_version->text(), QString("Tiene la última versión."));
    QTest::qWait(1200);
    QCOMPARE(f.service.requests.size(), 1);
}

void TestUpdate::answers_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("components");
    QTest::addColumn<QString>("message");  // "-" for a hidden message
    QTest::newRow("latest version")
        << 200 << kDeclaration + "<update/>" << QStringList() << "Tiene la última versión.";
    QTest::newRow("root with text only") << 200 << kDeclaration + "<update>none</update>"
                                         << QStringList() << "Tiene la última versión.";
    QTest::newRow("two components in order")
        << 200
        << kDeclaration +
               "<update><c><name>Desktop 0.8</name></c><c><name>Diccionario</name></c></update>"
        << QStringList{"Desktop 0.8", "Diccionario"} << "-";
    QTest::newRow("component without name")
        << 200 << kDeclaration + "<update><c><version>2</version></c></update>" << QStringList{""}
        << "-";
    QTest::newRow("error status") << 500 << QByteArray("<update><c><name>x</name></c></update>")
                                  << QStringList() << "";
    QTest::newRow("not XML") << 200 << QByteArray("<html><body>oops") << QStringList() << "";
    QTest::newRow("empty answer") << 200 << QByteArray() << QStringList() << "";
}

void TestUpdate::answers() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QStringList, components);
    QFETCH(QString, message);
    SyncFixture f(kDictionary);
    f.service.answer("update.xml.php", body, status);
    TFrmUpdate update;
    update.show();
    update.Timer1Timer();
    QVERIFY(!update.Timer1->isActive());
    QCOMPARE(update.componentNames(), components);
    Ui::TFrmUpdate* ui = update.form();
    for (int i = 0; i < ui->compoList->topLevelItemCount(); ++i) {
        QCOMPARE(ui->compoList->topLevelItem(i)->checkState(0), Qt::Unchecked);
    }
    if (message == "-") {
        QVERIFY(ui->lb_new_version->isHidden());
    } else {
        QVERIFY(!ui->lb_new_version->isHidden());
        QCOMPARE(ui->lb_new_version->text(), message);
    }
    QVERIFY(QApplication::overrideCursor() == nullptr);
}

void TestUpdate::serviceDownLeavesAnEmptyMessage() {
    SyncFixture f(kDictionary);
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    f.settings->UrlInfo = QString("http://127.0.0.1:%1/serv0.9/info/").arg(port);
    TFrmUpdate update;
    update.Timer1Timer();
    QCOMPARE(update.form()->lb_new_version->text(), QString());
    QCOMPARE(update.componentNames(), QStringList());
}

void TestUpdate::requestCarriesVersionAndLanguage_data() {
    QTest::addColumn<QByteArray>("dictionary");
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("with a dictionary")
        << kDictionary
        << QByteArray("/serv0.9/info/update.xml.php?version=0.7.15b&param_idioma=es");
    QTest::newRow("without one")
        << QByteArray() << QByteArray("/serv0.9/info/update.xml.php?version=0.7.15b&param_idioma=");
}

void TestUpdate::requestCarriesVersionAndLanguage() {
    QFETCH(QByteArray, dictionary);
    QFETCH(QByteArray, target);
    SyncFixture f(dictionary);
    f.service.answer("update.xml.php", kDeclaration + "<update/>");
    TFrmUpdate update;
    update.Timer1Timer();
    QCOMPARE(f.service.requests.size(), 1);
    QCOMPARE(f.service.requests[0].method, QByteArray("GET"));
    QCOMPARE(f.service.requests[0].target, target);
}

void TestUpdate::helpMenuOpensTheWindow() {
    MainFixture f;
    TFrm_Principal* window = f.openShown();
    connectToolCommands(*window);
    window->ui->Checkforupdates1->setEnabled(true);  // as when online
    window->ui->Checkforupdates1->trigger();
    QCOMPARE(f.modalWindows, QStringList{"TFrmUpdate"});
}

NEREVA_TEST_MAIN(TestUpdate)
#include "test_update.moc"
