#include "profile_fixture.h"
#include "ui/profile/tfrm_certificate.h"
#include "ui/profile/tfrm_diver_info.h"

#include <QAction>
#include <QSignalSpy>

namespace {

const QByteArray kReference =
    "<data><countries>"
    "<country><name>Mexico</name><states><state><name>Yucatan</name></state>"
    "<state><name>Quintana Roo</name></state></states></country>"
    "<country><name>Egypt</name><states><state><name>South Sinai</name></state></states>"
    "</country>"
    "<country><name>Mexico</name><states><state><name>Baja California</name></state>"
    "</states></country>"
    "</countries></data>";

// The texts of the certificate list, row by row, columns joined by "|".
QStringList listTexts(const TFrm_Diver_info& dialog) {
    QStringList rows;
    QTreeWidget* list = dialog.form()->lv_cert;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList columns;
        for (int column = 0; column < list->columnCount(); ++column) {
            columns << list->topLevelItem(i)->text(column);
        }
        rows << columns.join(QLatin1Char('|'));
    }
    return rows;
}

QStringList comboItems(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

void select(TFrm_Diver_info& dialog, int row) {
    dialog.form()->lv_cert->setCurrentItem(dialog.form()->lv_cert->topLevelItem(row));
}

// Answers the certificate editor: types `text` at the end of one of its edits, closes with
// `result`.
std::function<int(QDialog*)> typingInEditor(DbEdit* Ui::TFrmCertificate::*edit, const QString& text,
                                            int result) {
    return [edit, text, result](QDialog* window) {
        auto* editor = qobject_cast<TFrmCertificate*>(window);
        editor->show();
        QLineEdit* target = editor->form()->*edit;
        target->end(false);
        typeInto(target, text);
        return result;
    };
}

struct InfoFixture : ProfileFixture {
    QAction registerMember{QStringLiteral("register")};

    InfoFixture() {
        setReference(kReference);
        registerMember.setEnabled(false);
    }

    Table* member() const { return tables->cds_info; }
    Table* certificates() const { return tables->cds_certif; }

    std::unique_ptr<TFrm_Diver_info> open() {
        auto dialog = std::make_unique<TFrm_Diver_info>(nullptr, &registerMember);
        dialog->show();
        return dialog;
    }
};

}  // namespace

class TestDiverInfo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void opensTranslatedOnTheFirstPages();
    void fieldsTypedReachTheMemberRecord_data();
    void fieldsTypedReachTheMemberRecord();
    void permissionsStoreTheirValues();
    void okPostsCancelAndCloseBoxDiscard_data();
    void okPostsCancelAndCloseBoxDiscard();
    void okWithoutChangesPostsNothing();
    void countryListsEveryMatchingCountrysStates();
    void certificateListTexts();
    void selectionRule_data();
    void selectionRule();
    void editUnchangedNeitherPostsNorRefreshes();
    void editClosedWithOkOrCancel_data();
    void editClosedWithOkOrCancel();
    void doubleClickEditsOnlyWhenEditIsEnabled();
    void addWithOkAndWithCancel();
    void deleteAsksFirst();
    void registerButtonFollowsTheCommand();
};

void TestDiverInfo::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestDiverInfo::opensTranslatedOnTheFirstPages() {
    InfoFixture f;
    auto dialog = f.open();
    Ui::TFrm_Diver_info* ui = dialog->form();
    QCOMPARE(dialog->windowTitle(), f.word("member_information"));
    QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(ui->PageControl1->currentWidget(), ui->ts_general);
    QCOMPARE(ui->PageControl2->currentWidget(), ui->ts_member);
    QCOMPARE(ui->PageControl1->tabText(1), f.word("Certifications"));
    QCOMPARE(ui->lv_cert->headerItem()->text(3), f.word("Organization"));
    QCOMPARE(ui->bt_cancel->text(), f.word("Cancel"));
    QCOMPARE(ui->DBCheckBox3->text(), QString(" Permiso de envio 3"));
    QCOMPARE(
        comboItems(ui->CBpubPersonal),
        QStringList({f.word("Only_user"), f.word("Name_location"), f.word("Contact_information")}));
    QCOMPARE(ui->CBpubPersonal->values(), QStringList({"0", "1", "2"}));
    QVERIFY(!ui->bt_edit->isEnabled());
    QVERIFY(!ui->bt_delete->isEnabled());
    QVERIFY(ui->Button1->isEnabled());
    QVERIFY(!ui->bt_forgot->isEnabled());
    QCOMPARE(ui->dbe_pass->echoMode(), QLineEdit::Password);
    const QStringList contact = {"info_db_name", "dbeEmail",   "DBEdit2",
                                 "DBEdit3",      "info_state", "info_country"};
    QCOMPARE(tabOrder(dialog.get(), contact), contact);
}

void TestDiverInfo::fieldsTypedReachTheMemberRecord_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("stored");
    QTest::newRow("name") << "info_db_name"
                          << "Ana Diaz"
                          << "name"
                          << "Ana Diaz";
    QTest::newRow("e-mail") << "dbeEmail"
                            << "Ana@Example.org"
                            << "inet_email"
                            << "Ana@Example.org";
    QTest::newRow("address") << "DBEdit2"
                             << "Calle 10"
                             << "address"
                             << "Calle 10";
    QTest::newRow("city") << "DBEdit3"
                          << "Merida"
                          << "city"
                          << "Merida";
    QTest::newRow("state typed") << "info_state"
                                 << "Nowhere"
                                 << "state"
                                 << "Nowhere";
    QTest::newRow("country typed") << "info_country"
                                   << "Atlantis"
                                   << "country"
                                   << "Atlantis";
    QTest::newRow("user name") << "dbe_user"
                               << "BlueFin"
                               << "inet_user"
                               << "bluefin";
    QTest::newRow("password") << "dbe_pass"
                              << "SeCret9"
                              << "inet_pass"
                              << "secret9";
}

// Also on an empty member table: the first keystroke starts the one record.
void TestDiverInfo::fieldsTypedReachTheMemberRecord() {
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(QString, field);
    InfoFixture f;
    auto dialog = f.open();
    QWidget* target = dialog->findChild<QWidget*>(control);
    auto* box = qobject_cast<QComboBox*>(target);
    typeInto(box ? box->lineEdit() : target, typed);
    QCOMPARE(f.member()->state(), Table::State::Insert);
    dialog->form()->bt_ok->click();
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(f.member()->state(), Table::State::Browse);
    QCOMPARE(f.member()->recordCount(), 1);
    QTEST(f.member()->asString(field), "stored");
}

void TestDiverInfo::permissionsStoreTheirValues() {
    InfoFixture f;
    f.setMember({{"per_pub_personal", 2}, {"per_send2", 1}});
    auto dialog = f.open();
    Ui::TFrm_Diver_info* ui = dialog->form();
    QCOMPARE(ui->CBpubPersonal->currentText(), f.word("Contact_information"));
    QVERIFY(ui->DBCheckBox2->isChecked());
    ui->DBValComboBox2->setCurrentIndex(1);
    emit ui->DBValComboBox2->activated(1);
    ui->DBCheckBox2->click();
    ui->DBCheckBox4->click();
    ui->bt_ok->click();
    QCOMPARE(f.member()->asString("per_pub_dives"), QString("1"));
    QCOMPARE(f.member()->asString("per_send2"), QString("0"));
    QCOMPARE(f.member()->asString("per_send4"), QString("1"));
    QCOMPARE(f.member()->asString("per_pub_personal"), QString("2"));
}

void TestDiverInfo::okPostsCancelAndCloseBoxDiscard_data() {
    QTest::addColumn<QString>("closedBy");
    QTest::addColumn<QString>("name");
    QTest::newRow("OK") << "ok"
                        << "Ana Maria";
    QTest::newRow("Cancel") << "cancel"
                            << "Ana";
    QTest::newRow("Escape") << "escape"
                            << "Ana";
    QTest::newRow("close box") << "close"
                               << "Ana";
}

void TestDiverInfo::okPostsCancelAndCloseBoxDiscard() {
    QFETCH(QString, closedBy);
    InfoFixture f;
    f.setMember({{"name", "Ana"}});
    auto dialog = f.open();
    QLineEdit* name = dialog->form()->info_db_name;
    name->setCursorPosition(3);
    typeInto(name, " Maria");
    QCOMPARE(f.member()->state(), Table::State::Edit);
    if (closedBy == "ok") {
        dialog->form()->bt_ok->click();
    } else if (closedBy == "cancel") {
        dialog->form()->bt_cancel->click();
    } else if (closedBy == "escape") {
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
    } else {
        dialog->close();
    }
    QVERIFY(!dialog->isVisible());
    QCOMPARE(f.member()->state(), Table::State::Browse);
    QTEST(f.member()->asString("name"), "name");
}

void TestDiverInfo::okWithoutChangesPostsNothing() {
    InfoFixture f;
    f.setMember({{"name", "Ana"}, {"country", "Mexico"}, {"state", "Yucatan"}});
    const quint64 before = f.member()->changeCount();
    auto dialog = f.open();
    dialog->form()->PageControl1->setCurrentIndex(2);
    dialog->form()->bt_ok->click();
    QCOMPARE(f.member()->changeCount(), before);
    QCOMPARE(f.member()->state(), Table::State::Browse);
}

void TestDiverInfo::countryListsEveryMatchingCountrysStates() {
    InfoFixture f;
    f.setMember({{"country", "Mexico"}, {"state", "Oaxaca"}});
    auto dialog = f.open();
    Ui::TFrm_Diver_info* ui = dialog->form();
    QCOMPARE(comboItems(ui->info_country), QStringList({"Mexico", "Egypt", "Mexico"}));
    QCOMPARE(comboItems(ui->info_state),
             QStringList({"Yucatan", "Quintana Roo", "Baja California"}));
    QCOMPARE(ui->info_state->currentText(), QString("Oaxaca"));
    QCOMPARE(ui->info_country->currentText(), QString("Mexico"));

    ui->info_country->setCurrentIndex(1);
    emit ui->info_country->activated(1);
    QCOMPARE(comboItems(ui->info_state), QStringList({"South Sinai"}));
    QCOMPARE(f.member()->asString("country"), QString("Egypt"));
    QCOMPARE(f.member()->asString("state"), QString("Oaxaca"));
    QCOMPARE(ui->info_state->currentText(), QString("Oaxaca"));

    ui->info_country->lineEdit()->selectAll();
    typeInto(ui->info_country->lineEdit(), "Egyp");
    QCOMPARE(comboItems(ui->info_state), QStringList());
    QCOMPARE(f.member()->asString("country"), QString("Egyp"));
}

void TestDiverInfo::certificateListTexts() {
    InfoFixture f;
    f.addCertificate({{"date", QDate(2005, 3, 14)},
                      {"category", 1},
                      {"agency", "PADI"},
                      {"operator", "Blue Water"}});
    f.addCertificate({{"category", 4}, {"agency", "SSI"}});
    f.addCertificate({{"date", QDate(2010, 1, 2)}, {"category", 0}, {"operator", "Reef"}});
    auto dialog = f.open();
    QCOMPARE(listTexts(*dialog),
             QStringList({"||SSI|", " 2005/03/14|" + f.word("speciality") + "|PADI|Blue Water",
                          " 2010/01/02|" + f.word("certification") + "||Reef"}));
}

void TestDiverInfo::selectionRule_data() {
    QTest::addColumn<int>("certifyBy");
    QTest::addColumn<bool>("deletable");
    QTest::newRow("certified") << 1 << false;
    QTest::newRow("confirmed by the buddy") << 2 << true;
    QTest::newRow("modified by the diver") << -1 << true;
    QTest::newRow("not certified") << 0 << true;
}

void TestDiverInfo::selectionRule() {
    QFETCH(int, certifyBy);
    QFETCH(bool, deletable);
    InfoFixture f;
    f.addCertificate({{"date", QDate(2001, 1, 1)}, {"agency", "FIRST"}});
    f.addCertificate(
        {{"date", QDate(2002, 2, 2)}, {"agency", "SECOND"}, {"certify_by", certifyBy}});
    auto dialog = f.open();
    Ui::TFrm_Diver_info* ui = dialog->form();
    select(*dialog, 1);
    QCOMPARE(f.certificates()->asString("agency"), QString("SECOND"));
    QVERIFY(ui->bt_edit->isEnabled());
    QCOMPARE(ui->bt_delete->isEnabled(), deletable);
    select(*dialog, 0);
    QCOMPARE(f.certificates()->asString("agency"), QString("FIRST"));
    QVERIFY(ui->bt_delete->isEnabled());
    ui->lv_cert->clearSelection();
    QVERIFY(!ui->bt_edit->isEnabled());
    QVERIFY(!ui->bt_delete->isEnabled());
}

void TestDiverInfo::editUnchangedNeitherPostsNorRefreshes() {
    InfoFixture f;
    f.addCertificate({{"date", QDate(2001, 1, 1)}, {"agency", "PADI"}, {"certify_by", 1}});
    auto dialog = f.open();
    select(*dialog, 0);
    QTreeWidgetItem* item = dialog->form()->lv_cert->topLevelItem(0);
    const quint64 before = f.certificates()->changeCount();
    QStringList opened;
    f.onModal = [&](QDialog* window) {
        opened << QString::fromLatin1(window->metaObject()->className());
        return int(QDialog::Accepted);
    };
    dialog->form()->bt_edit->click();
    QCOMPARE(opened, QStringList({"TFrmCertificate"}));
    QCOMPARE(f.certificates()->changeCount(), before);
    QCOMPARE(dialog->form()->lv_cert->topLevelItem(0), item);
    QVERIFY(item->isSelected());
    QVERIFY(dialog->form()->bt_edit->isEnabled());
}

void TestDiverInfo::editClosedWithOkOrCancel_data() {
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("stored");
    QTest::newRow("OK posts and refreshes") << int(QDialog::Accepted) << "Old School";
    QTest::newRow("Cancel discards") << int(QDialog::Rejected) << "Old";
}

void TestDiverInfo::editClosedWithOkOrCancel() {
    QFETCH(int, result);
    InfoFixture f;
    f.addCertificate({{"date", QDate(2001, 1, 1)}, {"agency", "PADI"}, {"operator", "Old"}});
    auto dialog = f.open();
    select(*dialog, 0);
    f.onModal = typingInEditor(&Ui::TFrmCertificate::info_db_site, " School", result);
    dialog->form()->bt_edit->click();
    QCOMPARE(f.certificates()->state(), Table::State::Browse);
    QTEST(f.certificates()->asString("operator"), "stored");
    QTEST(listTexts(*dialog).value(0).section('|', 3), "stored");
}

void TestDiverInfo::doubleClickEditsOnlyWhenEditIsEnabled() {
    InfoFixture f;
    f.addCertificate({{"date", QDate(2001, 1, 1)}, {"agency", "PADI"}});
    auto dialog = f.open();
    int opened = 0;
    f.onModal = [&](QDialog*) { return ++opened, int(QDialog::Rejected); };
    dialog->lv_certDblClick();
    QCOMPARE(opened, 0);
    select(*dialog, 0);
    QTreeWidget* list = dialog->form()->lv_cert;
    emit list->itemDoubleClicked(list->topLevelItem(0), 0);
    QCOMPARE(opened, 1);
}

void TestDiverInfo::addWithOkAndWithCancel() {
    InfoFixture f;
    f.addCertificate({{"date", QDate(2001, 1, 1)}, {"agency", "PADI"}});
    auto dialog = f.open();
    f.onModal = typingInEditor(&Ui::TFrmCertificate::info_db_cert, "ab-12", QDialog::Rejected);
    dialog->form()->Button1->click();
    QCOMPARE(f.certificates()->recordCount(), 1);
    QCOMPARE(f.certificates()->state(), Table::State::Browse);
    QCOMPARE(listTexts(*dialog).size(), 1);

    f.onModal = typingInEditor(&Ui::TFrmCertificate::info_db_cert, "ab-12", QDialog::Accepted);
    dialog->form()->Button1->click();
    QCOMPARE(f.certificates()->recordCount(), 2);
    QCOMPARE(f.certificates()->state(), Table::State::Browse);
    QCOMPARE(listTexts(*dialog).size(), 2);
    f.certificates()->last();
    QCOMPARE(f.certificates()->value("date").toDate(), QDate::currentDate());
    QCOMPARE(f.certificates()->asString("cert_no"), QString("AB-12"));
}

void TestDiverInfo::deleteAsksFirst() {
    InfoFixture f;
    f.addCertificate({{"date", QDate(2001, 1, 1)}, {"agency", "FIRST"}, {"certify_by", 2}});
    f.addCertificate({{"date", QDate(2002, 1, 1)}, {"agency", "SECOND"}});
    auto dialog = f.open();
    select(*dialog, 0);
    f.answer = QMessageBox::No;
    dialog->form()->bt_delete->click();
    QCOMPARE(f.certificates()->recordCount(), 2);
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(f.messages[0].text, f.word("txt_want_delete_certificate"));
    QCOMPARE(f.messages[0].buttons, QMessageBox::Yes | QMessageBox::No);

    f.answer = QMessageBox::Yes;
    dialog->form()->bt_delete->click();
    QCOMPARE(f.certificates()->recordCount(), 1);
    f.certificates()->first();
    QCOMPARE(f.certificates()->asString("agency"), QString("SECOND"));
    QCOMPARE(listTexts(*dialog), QStringList({" 2002/01/01||SECOND|"}));
    QVERIFY(!dialog->form()->bt_delete->isEnabled());
    QVERIFY(!dialog->form()->bt_edit->isEnabled());
}

void TestDiverInfo::registerButtonFollowsTheCommand() {
    InfoFixture f;
    QSignalSpy triggered(&f.registerMember, &QAction::triggered);
    auto dialog = f.open();
    Ui::TFrm_Diver_info* ui = dialog->form();
    ui->PageControl1->setCurrentWidget(ui->TabSheet1);
    QVERIFY(!ui->bt_registro->isEnabled());
    typeInto(ui->dbe_user, "x");
    QVERIFY(ui->bt_registro->isEnabled());
    ui->bt_registro->click();
    QCOMPARE(triggered.count(), 0);  // the command itself is disabled

    f.registerMember.setEnabled(true);
    ui->PageControl1->setCurrentWidget(ui->ts_general);
    ui->PageControl1->setCurrentWidget(ui->TabSheet1);
    QVERIFY(ui->bt_registro->isEnabled());
    ui->bt_registro->click();
    QCOMPARE(triggered.count(), 1);
}

NEREVA_TEST_MAIN(TestDiverInfo)
#include "test_diver_info.moc"
