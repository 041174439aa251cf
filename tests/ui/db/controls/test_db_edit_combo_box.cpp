#include "store/data_source.h"
#include "store/table.h"
#include "test_support.h"
#include "ui/db/controls/db_edit_combo_box.h"

#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// One text field of 12 characters in a shown window, with the drop-down bound to it.
struct Box {
    Table table{"places", {{"country", FieldType::String, 12}}, {}};
    DataSource source{&table};
    QWidget window;
    DbEditComboBox* box = new DbEditComboBox(&window);
    QLineEdit* other = new QLineEdit(&window);

    explicit Box(const QString& stored) {
        table.createDataSet();
        table.append();
        table.setAsString("country", stored);
        table.post();
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(box);
        layout->addWidget(other);
        box->bind(&source, "country");
        box->addItems({"Mexico", "Egypt", "Malta"});
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    QString stored() const { return table.asString("country"); }
};

}  // namespace

class TestDbEditComboBox : public QObject {
    Q_OBJECT
private slots:
    void showsTheFieldWhateverTheList();
    void typedTextIsStoredAsTyped();
    void pickedItemIsStored();
    void completedTextIsStoredOnLeaving();
    void followsTheRecord();
};

void TestDbEditComboBox::showsTheFieldWhateverTheList() {
    Box b("Atlantis");
    QCOMPARE(b.box->currentText(), QString("Atlantis"));
    b.box->clear();
    QCOMPARE(b.box->currentText(), QString("Atlantis"));
    b.box->addItems({"Egypt"});
    QCOMPARE(b.box->currentText(), QString("Atlantis"));
    QCOMPARE(b.table.state(), Table::State::Browse);
    QCOMPARE(b.box->lineEdit()->maxLength(), 12);
}

void TestDbEditComboBox::typedTextIsStoredAsTyped() {
    Box b("");
    b.box->lineEdit()->setFocus();
    QTest::keyClicks(b.box->lineEdit(), "Xanadu");
    QCOMPARE(b.stored(), QString("Xanadu"));
    QCOMPARE(b.table.state(), Table::State::Edit);
}

void TestDbEditComboBox::pickedItemIsStored() {
    Box b("Mexico");
    b.box->setCurrentIndex(1);
    emit b.box->activated(1);
    QCOMPARE(b.stored(), QString("Egypt"));
}

// Typing the start of an item completes it in the edit; leaving keeps what is shown.
void TestDbEditComboBox::completedTextIsStoredOnLeaving() {
    Box b("");
    b.box->lineEdit()->setFocus();
    QTest::keyClicks(b.box->lineEdit(), "Eg");
    QCOMPARE(b.box->currentText(), QString("Egypt"));
    b.other->setFocus();
    QCOMPARE(b.stored(), QString("Egypt"));
}

void TestDbEditComboBox::followsTheRecord() {
    Box b("Mexico");
    b.table.edit();
    b.table.setAsString("country", "Malta");
    QCOMPARE(b.box->currentText(), QString("Malta"));
    b.table.cancel();
    QCOMPARE(b.box->currentText(), QString("Mexico"));
}

NEREVA_TEST_MAIN(TestDbEditComboBox)
#include "test_db_edit_combo_box.moc"
