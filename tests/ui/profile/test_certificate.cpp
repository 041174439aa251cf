#include "profile_fixture.h"
#include "ui/lookup/tfrm_select_operator.h"
#include "ui/profile/tfrm_certificate.h"

#include <QLocale>

namespace {

const QByteArray kReference =
    "<data><agencies>"
    "<agency><name>SSI</name><levels><level>Open Water</level><level>Nitrox</level></levels>"
    "</agency>"
    "<agency><name>PADI</name><levels><level>Open Water Diver</level>"
    "<level>Rescue Diver</level></levels></agency>"
    "<agency><name>Padi</name><levels><level>Not this one</level></levels></agency>"
    "<agency><name>CMAS</name></agency>"
    "</agencies></data>";

QStringList comboItems(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

struct CertificateFixture : ProfileFixture {
    CertificateFixture() { setReference(kReference); }

    Table* row() const { return tables->cds_certif; }

    // The editor on a new certificate row with these values, as the member window opens it.
    std::unique_ptr<TFrmCertificate> open(const QVariantMap& values) {
        addCertificate(values);
        auto editor = std::make_unique<TFrmCertificate>(nullptr, tables->ds_certif);
        editor->show();
        return editor;
    }
};

bool readOnlyLook(const DbEdit* edit) {
    return edit->isReadOnly() &&
           edit->fieldColour() == QApplication::palette(edit).color(QPalette::Button);
}

}  // namespace

class TestCertificate : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void editGroupControlsAndLists();
    void certifiedOpensAsSheet_data();
    void certifiedOpensAsSheet();
    void lettersTurnedToUpperCase();
    void dateWrittenOnlyWhenChanged();
    void organisationFromTheDirectoryIsFreedByDoubleClick();
    void unlockAsksThenShowsTheEditGroup();
    void schoolChosenFromTheDirectory_data();
    void schoolChosenFromTheDirectory();
};

void TestCertificate::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestCertificate::editGroupControlsAndLists() {
    CertificateFixture f;
    auto editor = f.open({{"category", 2}, {"agency", "PADI"}, {"level", "Instructor"}});
    Ui::TFrmCertificate* ui = editor->form();
    QCOMPARE(editor->windowTitle(), f.word("Certificate"));
    QVERIFY(ui->pn_cert->isHidden());
    QVERIFY(!ui->pnl_driver_info->isHidden());
    QCOMPARE(comboItems(ui->CBCategory), QStringList({f.word("Certification"), f.word("Speciality"),
                                                      f.word("Seminar"), f.word("Conference")}));
    QCOMPARE(ui->CBCategory->values(), QStringList({"0", "1", "2", "3"}));
    QCOMPARE(ui->CBCategory->currentText(), f.word("Seminar"));
    QCOMPARE(comboItems(ui->info_agency), QStringList({"CMAS", "PADI", "Padi", "SSI"}));
    QCOMPARE(comboItems(ui->info_level), QStringList({"Open Water Diver", "Rescue Diver"}));
    QCOMPARE(ui->info_agency->currentText(), QString("PADI"));
    QCOMPARE(ui->info_level->currentText(), QString("Instructor"));
    QVERIFY(!ui->info_db_site->isReadOnly());
    QCOMPARE(f.row()->state(), Table::State::Browse);

    const QStringList order = {"info_db_cert", "info_dtp_expdate", "info_agency",
                               "info_level",   "info_db_inst",     "info_db_ins_cert",
                               "info_db_site", "bt_chk_op",        "CBCategory"};
    QCOMPARE(tabOrder(editor.get(), order), order);
}

void TestCertificate::certifiedOpensAsSheet_data() {
    QTest::addColumn<int>("certifyBy");
    QTest::addColumn<bool>("sheet");
    QTest::newRow("certified") << 1 << true;
    QTest::newRow("confirmed") << 2 << true;
    QTest::newRow("not certified") << 0 << false;
    QTest::newRow("modified by the diver") << -1 << false;
}

void TestCertificate::certifiedOpensAsSheet() {
    QFETCH(int, certifyBy);
    QFETCH(bool, sheet);
    CertificateFixture f;
    auto editor = f.open({{"certify_by", certifyBy},
                          {"date", QDate(2005, 3, 14)},
                          {"cert_no", "0503AB"},
                          {"agency", "PADI"},
                          {"level", "Rescue Diver"},
                          {"operator", "Blue Water"},
                          {"id_operator", 12},
                          {"instructor", "Ana Torres"},
                          {"inst_cert_no", "PADI-44"}});
    Ui::TFrmCertificate* ui = editor->form();
    QCOMPARE(ui->pn_cert->isHidden(), !sheet);
    QCOMPARE(ui->pnl_driver_info->isHidden(), sheet);
    if (sheet) {
        QCOMPARE(QStringList({ui->lb_cert_no->text(), ui->lb_exp_date->text(),
                              ui->lb_sheet_agency->text(), ui->lb_sheet_level->text(),
                              ui->lb_sheet_organization->text(), ui->lb_sheet_instructor->text(),
                              ui->lb_sheet_inst_cert_no->text()}),
                 QStringList({"0503AB", "March 14, 2005", "PADI", "Rescue Diver", "Blue Water",
                              "Ana Torres", "PADI-44"}));
        QCOMPARE(ui->cap_exp_date->text(), QString("Exp. Date"));
        QCOMPARE(ui->info_agency->count(), 0);  // the lists are not loaded for a sheet
    }
    const quint64 before = f.row()->changeCount();
    ui->bt_ok->click();
    QCOMPARE(editor->result(), int(QDialog::Accepted));
    QCOMPARE(f.row()->state(), Table::State::Browse);
    QCOMPARE(f.row()->changeCount(), before);
}

void TestCertificate::lettersTurnedToUpperCase() {
    CertificateFixture f;
    auto editor = f.open({{"agency", "CMAS"}});
    Ui::TFrmCertificate* ui = editor->form();
    typeInto(ui->info_db_cert, "ab-12c");
    typeInto(ui->info_db_ins_cert, "padi-9x");
    ui->info_agency->lineEdit()->selectAll();
    typeInto(ui->info_agency->lineEdit(), "padi");
    QCOMPARE(ui->info_agency->currentText(), QString("PADI"));
    QCOMPARE(f.row()->asString("agency"), QString("PADI"));
    QCOMPARE(f.row()->asString("cert_no"), QString("AB-12C"));
    QCOMPARE(f.row()->asString("inst_cert_no"), QString("PADI-9X"));
    QCOMPARE(comboItems(ui->info_level), QStringList({"Open Water Diver", "Rescue Diver"}));
    typeInto(ui->info_level->lineEdit(), "Own level");
    QCOMPARE(f.row()->asString("level"), QString("Own level"));
    // The row stays in edit for the opener.
    QCOMPARE(f.row()->state(), Table::State::Edit);
}

void TestCertificate::dateWrittenOnlyWhenChanged() {
    CertificateFixture f;
    auto dated = f.open({{"date", QDate(2005, 3, 14)}});
    QCOMPARE(dated->form()->info_dtp_expdate->date(), QDate(2005, 3, 14));
    QCOMPARE(f.row()->state(), Table::State::Browse);
    dated->form()->info_dtp_expdate->setDate(QDate(2006, 7, 8));
    QCOMPARE(f.row()->state(), Table::State::Edit);
    QCOMPARE(f.row()->value("date").toDate(), QDate(2006, 7, 8));
    f.row()->post();

    auto undated = f.open({{"agency", "SSI"}});
    QCOMPARE(undated->form()->info_dtp_expdate->date(), QDate::currentDate());
    QCOMPARE(f.row()->state(), Table::State::Browse);
    QVERIFY(f.row()->isNull("date"));
}

void TestCertificate::organisationFromTheDirectoryIsFreedByDoubleClick() {
    CertificateFixture f;
    auto editor = f.open({{"operator", "Blue Water"}, {"id_operator", 5}});
    DbEdit* site = editor->form()->info_db_site;
    QVERIFY(readOnlyLook(site));
    QTest::mouseDClick(site, Qt::LeftButton);
    QVERIFY(!site->isReadOnly());
    QCOMPARE(site->fieldColour(), QApplication::palette(site).color(QPalette::Base));
    QCOMPARE(f.row()->state(), Table::State::Edit);
    QCOMPARE(f.row()->asInteger("id_operator"), 0);
    QCOMPARE(f.row()->asString("operator"), QString("Blue Water"));
    site->selectAll();
    typeInto(site, "Reef Club");
    QCOMPARE(f.row()->asString("operator"), QString("Reef Club"));
}

void TestCertificate::unlockAsksThenShowsTheEditGroup() {
    CertificateFixture f;
    auto editor = f.open(
        {{"certify_by", 1}, {"agency", "SSI"}, {"operator", "Blue Water"}, {"id_operator", 12}});
    Ui::TFrmCertificate* ui = editor->form();
    f.answer = QMessageBox::No;
    ui->bt_unlock->click();
    QCOMPARE(f.messageTexts(),
             QStringList({"Are you sure you want to modify your Diver Certificate?"}));
    QCOMPARE(f.messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(!ui->pn_cert->isHidden());
    QCOMPARE(f.row()->state(), Table::State::Browse);
    QCOMPARE(f.row()->asInteger("certify_by"), 1);

    f.answer = QMessageBox::Yes;
    ui->bt_unlock->click();
    QVERIFY(ui->pn_cert->isHidden());
    QVERIFY(!ui->pnl_driver_info->isHidden());
    QCOMPARE(f.row()->state(), Table::State::Edit);
    QCOMPARE(f.row()->asInteger("certify_by"), -1);
    QCOMPARE(f.row()->asInteger("id_operator"), 0);
    QVERIFY(!ui->info_db_site->isReadOnly());
    QCOMPARE(comboItems(ui->info_level), QStringList({"Open Water", "Nitrox"}));
}

void TestCertificate::schoolChosenFromTheDirectory_data() {
    QTest::addColumn<int>("chosenId");
    QTest::addColumn<QString>("chosenName");
    QTest::addColumn<int>("storedId");
    QTest::addColumn<QString>("storedName");
    QTest::addColumn<bool>("readOnly");
    QTest::newRow("a school chosen") << 31 << "Reef Academy" << 31 << "Reef Academy" << true;
    QTest::newRow("closed without a choice") << 0 << "" << 0 << "Typed School" << false;
}

// The selection opens on schools, starting from the certificate's organisation.
void TestCertificate::schoolChosenFromTheDirectory() {
    QFETCH(int, chosenId);
    QFETCH(QString, chosenName);
    CertificateFixture f;
    auto editor = f.open({{"operator", "Typed School"}, {"id_operator", 0}});
    QList<QVariantList> asked;
    f.onModal = [&](QDialog* dialog) {
        auto* selection = qobject_cast<TFrmSelectOperator*>(dialog);
        asked << QVariantList{selection->OrganizationKind, selection->OrganizationId,
                              selection->OrganizationName};
        selection->OrganizationId = chosenId;
        selection->OrganizationName = chosenName;
        return int(chosenName.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
    };
    editor->form()->bt_chk_op->click();
    QCOMPARE(asked, QList<QVariantList>({{4, 0, QString("Typed School")}}));
    QTEST(f.row()->asInteger("id_operator"), "storedId");
    QTEST(f.row()->asString("operator"), "storedName");
    QTEST(editor->form()->info_db_site->isReadOnly(), "readOnly");
    QCOMPARE(f.row()->state(), chosenName.isEmpty() ? Table::State::Browse : Table::State::Edit);
}

NEREVA_TEST_MAIN(TestCertificate)
#include "test_certificate.moc"
