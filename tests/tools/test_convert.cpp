#include "../ui/main/main_fixture.h"
#include "tools/tfrm_convert.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {

// What the diver does: clicks into the edit, then types.
void typeInto(TFrm_Convert& tool, int number, const QString& text) {
    QLineEdit* edit = tool.edit(number);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(edit, &focusIn);
    QTest::keyClicks(edit, text);
}

// The tool as start-up makes it, over the fixture's main window.
std::unique_ptr<TFrm_Convert> createTool(MainFixture& f) {
    auto tool = std::make_unique<TFrm_Convert>(f.window.get());
    tool->FormCreate();
    return tool;
}

}  // namespace

class TestConvert : public QObject {
    Q_OBJECT
private slots:
    void conversions_data();
    void conversions();
    void loneMinusIsRefusedUntilTheNumberIsWhole();
    void emptyEditClearsItsPartner();
    void changesMadeByTheToolAreNotConvertedBack();
    void tabOrderRunsFromTheLastMetricEdit();
    void keysWrittenAtDestruction_data();
    void keysWrittenAtDestruction();
    void creationRestoresPlaceAndDocking_data();
    void creationRestoresPlaceAndDocking();
    void dockedToolCannotBeClosed();
    void dragOntoTheDiveListDocks();
};

void TestConvert::conversions_data() {
    QTest::addColumn<int>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("partner");
    QTest::addColumn<QString>("shown");
    QTest::newRow("feet to metres") << 1 << "10" << 2 << "3.05";
    QTest::newRow("metres to feet") << 2 << "3" << 1 << "9.84";
    QTest::newRow("psi to bar, factor 14.5") << 3 << "100" << 4 << "6.90";
    QTest::newRow("bar to psi") << 4 << "200" << 3 << "2900.00";
    QTest::newRow("fahrenheit to celsius") << 5 << "50" << 6 << "10.00";
    QTest::newRow("celsius to fahrenheit") << 6 << "37.5" << 5 << "99.50";
    QTest::newRow("pounds to kilograms, factor 2.205") << 7 << "10" << 8 << "4.54";
    QTest::newRow("kilograms to pounds") << 8 << "2" << 7 << "4.41";
    QTest::newRow("no grouping") << 2 << "1000000" << 1 << "3280839.90";
    QTest::newRow("eleven whole digits in exponent form")
        << 1 << "100000000000" << 2 << "3.048000000E+10";
}

void TestConvert::conversions() {
    QFETCH(int, edit);
    QFETCH(QString, typed);
    QFETCH(int, partner);
    QFETCH(QString, shown);
    MainFixture f;
    f.open();
    auto tool = createTool(f);
    typeInto(*tool, edit, typed);
    QCOMPARE(tool->edit(partner)->text(), shown);
    QCOMPARE(tool->edit(edit)->text(), typed);  // not converted back
    QCOMPARE(f.messages, QStringList());
}

void TestConvert::loneMinusIsRefusedUntilTheNumberIsWhole() {
    MainFixture f;
    f.open();
    auto tool = createTool(f);
    typeInto(*tool, 5, "50");
    QCOMPARE(tool->edit(6)->text(), QString("10.00"));
    tool->edit(6)->clear();
    typeInto(*tool, 6, "-");
    QCOMPARE(f.messages, QStringList{"'-' is not a valid floating point value"});
    QCOMPARE(tool->edit(5)->text(), QString("50"));  // the partner keeps its value
    QCOMPARE(tool->edit(6)->text(), QString("-"));
    QTest::keyClicks(tool->edit(6), "40");
    QCOMPARE(tool->edit(5)->text(), QString("-40.00"));
    QCOMPARE(f.messages.size(), 1);
    // A foreign decimal separator is refused too, on every key that leaves no number.
    typeInto(*tool, 1, "1,5");
    QCOMPARE(f.messages.mid(1), (QStringList{"'1,' is not a valid floating point value",
                                             "'1,5' is not a valid floating point value"}));
    QCOMPARE(tool->edit(2)->text(), QString("0.30"));
}

void TestConvert::emptyEditClearsItsPartner() {
    MainFixture f;
    f.open();
    auto tool = createTool(f);
    typeInto(*tool, 7, "10");
    QTest::keyClick(tool->edit(7), Qt::Key_Backspace);
    QCOMPARE(tool->edit(8)->text(), QString("0.45"));
    QTest::keyClick(tool->edit(7), Qt::Key_Backspace);
    QCOMPARE(tool->edit(8)->text(), QString());
    QCOMPARE(f.messages, QStringList());
}

void TestConvert::changesMadeByTheToolAreNotConvertedBack() {
    MainFixture f;
    f.open();
    auto tool = createTool(f);
    QCOMPARE(tool->ActiveColumn(), TFrm_Convert::Column::Left);
    // While the left column is active, a change on the right converts nothing.
    tool->edit(2)->setText("5");
    QCOMPARE(tool->edit(1)->text(), QString());
    typeInto(*tool, 2, "0");
    QCOMPARE(tool->ActiveColumn(), TFrm_Convert::Column::Right);
    QCOMPARE(tool->edit(1)->text(), QString("164.04"));  // 50 m
    tool->edit(1)->setText("1");
    QCOMPARE(tool->edit(2)->text(), QString("50"));
}

void TestConvert::tabOrderRunsFromTheLastMetricEdit() {
    MainFixture f;
    f.open();
    auto tool = createTool(f);
    QStringList order;
    QWidget* at = tool->edit(8);
    for (int i = 0; i < 8; ++i) {
        do {
            at = at->nextInFocusChain();
        } while (!(at->focusPolicy() & Qt::TabFocus));
        order << at->objectName();
    }
    QCOMPARE(order, (QStringList{"Edit6", "Edit4", "Edit2", "Edit1", "Edit3", "Edit5", "Edit7",
                                 "bt_close"}));
}

void TestConvert::keysWrittenAtDestruction_data() {
    QTest::addColumn<bool>("docked");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("dock");
    QTest::newRow("floating") << false << "120"
                              << "80"
                              << "0";
    QTest::newRow("docked keeps the place it floated at") << true << "33"
                                                          << "44"
                                                          << "-1";
}

void TestConvert::keysWrittenAtDestruction() {
    QFETCH(bool, docked);
    QFETCH(QString, left);
    QFETCH(QString, top);
    QFETCH(QString, dock);
    MainFixture f;
    f.openShown();
    f.ini().writeString("Position", "Convert_x", "33");
    f.ini().writeString("Position", "Convert_y", "44");
    {
        auto tool = createTool(f);
        tool->move(120, 80);
        if (docked) {
            f.window->dockUnitsTool(tool.get());
        }
    }
    QCOMPARE(f.ini().readString("Position", "Convert_x", "?"), left);
    QCOMPARE(f.ini().readString("Position", "Convert_y", "?"), top);
    QCOMPARE(f.ini().readString("Dock", "Convert", "?"), dock);
}

void TestConvert::creationRestoresPlaceAndDocking_data() {
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("dock");
    QTest::addColumn<QPoint>("place");
    QTest::addColumn<bool>("docked");
    QTest::newRow("stored place") << "150"
                                  << "0" << QPoint(150, 90) << false;
    QTest::newRow("left edge 0 ignores the top") << "0"
                                                 << "0" << QPoint(7, 7) << false;
    QTest::newRow("docked") << "150"
                            << "-1" << QPoint(150, 90) << true;
    QTest::newRow("docked, as a word") << "0"
                                       << "True" << QPoint(7, 7) << true;
}

void TestConvert::creationRestoresPlaceAndDocking() {
    QFETCH(QString, left);
    QFETCH(QString, dock);
    QFETCH(QPoint, place);
    QFETCH(bool, docked);
    MainFixture f;
    TFrm_Principal* window = f.openShown();
    f.ini().writeString("Position", "Convert_x", left);
    f.ini().writeString("Position", "Convert_y", "90");
    f.ini().writeString("Dock", "Convert", dock);
    auto tool = std::make_unique<TFrm_Convert>(window);
    tool->move(7, 7);
    tool->FormCreate();
    QCOMPARE(window->unitsTool(), tool.get());
    QCOMPARE(tool->docked(), docked);
    if (!docked) {
        QCOMPARE(tool->pos(), place);
        return;
    }
    // Docked, but shown only when the menu asks for it.
    QVERIFY(!tool->isVisible());
    QVERIFY(!window->ui->pnl_UnitConvert->isVisible());
    window->ui->UnitsConvertTool1->trigger();
    QVERIFY(tool->isVisible());
    QVERIFY(window->ui->pnl_UnitConvert->isVisible());
    QVERIFY(!tool->findChild<QPushButton*>("bt_close")->isVisible());
}

void TestConvert::dockedToolCannotBeClosed() {
    MainFixture f;
    TFrm_Principal* window = f.openShown();
    auto tool = createTool(f);
    window->ui->UnitsConvertTool1->trigger();
    QVERIFY(tool->isVisible());
    QVERIFY(tool->findChild<QPushButton*>("bt_close")->isVisible());
    window->dockUnitsTool(tool.get());
    QVERIFY(!tool->close());
    QVERIFY(tool->isVisible());
    window->undockUnitsTool();
    QVERIFY(tool->findChild<QPushButton*>("bt_close")->isVisible());
    QTest::mouseClick(tool->findChild<QPushButton*>("bt_close"), Qt::LeftButton);
    QVERIFY(!tool->isVisible());
    QVERIFY(!window->ui->UnitsConvertTool1->isChecked());
    QCOMPARE(tool.get(), window->unitsTool());  // hidden, not destroyed
}

void TestConvert::dragOntoTheDiveListDocks() {
    MainFixture f;
    TFrm_Principal* window = f.openShown();
    auto tool = createTool(f);
    QWidget stranger;
    QVERIFY(!window->pnl_dives_treeDockOver(&stranger));
    QVERIFY(!window->pnl_dives_treeDockOver(nullptr));
    QVERIFY(window->pnl_dives_treeDockOver(tool.get()));
    window->pnl_dives_treeDockDrop(&stranger);
    QVERIFY(!tool->docked());
    window->pnl_dives_treeDockDrop(tool.get());
    QVERIFY(tool->docked());
    QVERIFY(window->ui->pnl_UnitConvert->isVisible());
    QVERIFY(window->ui->UnitsConvertTool1->isChecked());
}

NEREVA_TEST_MAIN(TestConvert)
#include "test_convert.moc"
