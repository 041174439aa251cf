#include "app/settings/regional_formats.h"
#include "store/data_source.h"
#include "store/table.h"
#include "ui/db/controls/db_check_box.h"
#include "ui/db/controls/db_edit.h"
#include "ui/db/controls/db_list_control.h"
#include "ui/db/controls/db_memo.h"
#include "ui/db/controls/value_domains.h"
#include "ui/forms/dialogs.h"

#include "test_support.h"

#include <QAbstractItemView>
#include <QVBoxLayout>

Q_DECLARE_METATYPE(CheckValues)

namespace {

FieldDefs testFields() {
    return {{"name", FieldType::String, 10}, {"code", FieldType::SmallInt, 0},
            {"Date", FieldType::Date, 0},    {"bottom_time", FieldType::String, 5},
            {"suit", FieldType::String, 3},  {"notes", FieldType::Memo, 0},
            {"depth", FieldType::Float, 0},  {"start", FieldType::Time, 0}};
}

// A small table with a data source and a shown window to put controls in.
class Log {
public:
    Log() {
        table.createDataSet();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }

    void addRow(const QString& name, const QString& code) {
        table.append();
        table.setAsString("name", name);
        table.setAsString("code", code);
        table.post();
    }

    template <class Control>
    Control* add(const QString& field) {
        auto* control = new Control(&window);
        layout->addWidget(control);
        control->bind(&source, field);
        control->show();
        return control;
    }

    // A row whose state the test can check afterwards: browsing, nothing pending.
    bool untouched() const { return table.state() == Table::State::Browse && !table.modified(); }

    Table table{"dives", testFields(), {}};
    DataSource source{&table};
    QWidget window;
    QVBoxLayout* layout = new QVBoxLayout(&window);
};

void typeInto(QWidget* control, const QString& keys) {
    control->setFocus();
    QTest::keyClicks(control, keys);
}

// What the list does when the user picks an item from its pop-up.
void choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

}  // namespace

class TestDbControls : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void editWritesWhileTypingAndOthersFollow();
    void editKeepsCursorWhileTyping();
    void editTypingANumberIsNotDisturbed();
    void textTheFieldCannotTakeIsNotStored_data();
    void textTheFieldCannotTakeIsNotStored();
    void validTextAfterAnInvalidOneIsStored();
    void editFollowsTheRecordWithoutWriting();
    void loadedTextShowsItsStart();
    void editMaxLengthIsTheStringSize();
    void maskedTypingStoresLiterals_data();
    void maskedTypingStoresLiterals();
    void maskedEditShowsRecord();
    void clearedDateStoresNull();
    void selectorShowsItemOfValue_data();
    void selectorShowsItemOfValue();
    void choosingAnItemStoresItsValue_data();
    void choosingAnItemStoresItsValue();
    void choosingWithTheKeyboardStores();
    void twoSelectorsOnOneFieldFollowAtOnce();
    void translatingItemsWritesNothing();
    void textWithoutItemClearsField();
    void refusedChoiceIsReportedAndUndone();
    void plainSelectorStoresTextUnchanged();
    void checkBoxStoresItsValues_data();
    void checkBoxStoresItsValues();
    void memoWritesAndFollows();
    void memoCutsTypingAtMaxLength();
    void memoWithoutReturnsLeavesEnterToTheWindow();
    void readOnlyColours();
    void fieldsArePaintedInTheirColour();
    void readOnlyControlsDoNotWrite();
};

void TestDbControls::initTestCase() {
    RegionalFormats::force();
    const QPalette standard = QApplication::palette();
    QVERIFY(standard.color(QPalette::Base) != standard.color(QPalette::Button));
}

void TestDbControls::editWritesWhileTypingAndOthersFollow() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "0");
    DbEdit* typed = log.add<DbEdit>("name");
    DbEdit* other = log.add<DbEdit>("NAME");
    typeInto(typed, "a");
    QCOMPARE(log.table.asString("name"), QString("a"));
    QCOMPARE(other->text(), QString("a"));
    typeInto(typed, "bc");
    QCOMPARE(log.table.asString("name"), QString("abc"));
    QCOMPARE(other->text(), QString("abc"));
    QCOMPARE(typed->text(), QString("abc"));
}

void TestDbControls::editKeepsCursorWhileTyping() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("abcd", "0");
    DbEdit* edit = log.add<DbEdit>("name");
    edit->setFocus();
    edit->setCursorPosition(2);
    QTest::keyClicks(edit, "XY");
    QCOMPARE(log.table.asString("name"), QString("abXYcd"));
    QCOMPARE(edit->cursorPosition(), 4);
}

void TestDbControls::editTypingANumberIsNotDisturbed() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "0");
    DbEdit* edit = log.add<DbEdit>("depth");
    DbEdit* other = log.add<DbEdit>("depth");
    typeInto(edit, "12.");
    QCOMPARE(edit->text(), QString("12."));
    QCOMPARE(other->text(), QString("12"));
    QTest::keyClicks(edit, "50");
    QCOMPARE(log.table.asFloat("depth"), 12.5);
    QCOMPARE(edit->text(), QString("12.50"));
    other->setFocus();  // leaving the edit shows the record's own form
    QCOMPARE(edit->text(), QString("12.5"));
}

void TestDbControls::textTheFieldCannotTakeIsNotStored_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("message");
    const QString date = "!90/90/0000;1; ";
    const QString time = "!00:00;1;_";
    QTest::newRow("decimal comma") << "depth"
                                   << ""
                                   << "3"
                                   << "12,5"
                                   << "'12,5' is not a valid floating point value";
    QTest::newRow("not a number") << "depth"
                                  << ""
                                  << ""
                                  << "x"
                                  << "'x' is not a valid floating point value";
    QTest::newRow("fraction of a whole number") << "code"
                                                << ""
                                                << "2"
                                                << "1.5"
                                                << "'1.5' is not a valid integer value";
    QTest::newRow("time without colon") << "start"
                                        << ""
                                        << ""
                                        << "0930"
                                        << "'0930' is not a valid time";
    QTest::newRow("no such day") << "Date" << date << "3/1/2024"
                                 << "02302024"
                                 << "'02/30/2024' is not a valid date";
    QTest::newRow("no such month") << "Date" << date << "3/1/2024"
                                   << "13452024"
                                   << "'13/45/2024' is not a valid date";
    QTest::newRow("year zero") << "Date" << date << "3/1/2024"
                               << "03010000"
                               << "'03/01/0000' is not a valid date";
    QTest::newRow("incomplete date") << "Date" << date << "3/1/2024"
                                     << "0301"
                                     << "'03/01/' is not a valid date";
    QTest::newRow("minutes past 59") << "bottom_time" << time << "00:48"
                                     << "0061"
                                     << "'00:61' is not a valid time";
    QTest::newRow("incomplete duration") << "bottom_time" << time << "00:48"
                                         << "010"
                                         << "'01:0_' is not a valid time";
}

// Typed text is stored only while all of it can be; leaving the edit with text that cannot
// be says why and brings the focus back with the text intact; Escape gives the value back.
void TestDbControls::textTheFieldCannotTakeIsNotStored() {
    QFETCH(QString, field);
    QFETCH(QString, mask);
    QFETCH(QString, before);
    QFETCH(QString, keys);
    QFETCH(QString, message);
    TestSupport::TempFolders folders;
    Log log;
    QStringList shown;
    Dialogs::setMessageHandler([&](const Dialogs::Prompt& prompt) {
        shown << prompt.text;
        return QMessageBox::Ok;
    });
    log.addRow("", "0");
    log.table.setAsString(field, before);
    log.table.post();
    DbEdit* edit = log.add<DbEdit>(field);
    edit->setEditMask(mask);
    DbEdit* other = log.add<DbEdit>("name");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, keys);
    const QString typed = edit->displayText();
    QCOMPARE(log.table.asString(field), before);  // not even the part that was valid ("12")
    QVERIFY(!edit->inputValid());
    QCOMPARE(edit->inputError(), message);
    other->setFocus();
    QTRY_COMPARE(shown, QStringList{message});
    QVERIFY(edit->hasFocus());
    QCOMPARE(edit->displayText(), typed);
    QCOMPARE(log.table.asString(field), before);
    QVERIFY(!DbEdit::confirmPendingInput());  // what would use the record asks first
    QCOMPARE(shown.size(), 2);
    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(edit->inputValid());
    QCOMPARE(edit->displayText(),
             mask.isEmpty() ? before : EditMask::parse(mask).shownText(before));
    other->setFocus();
    QApplication::processEvents();
    QVERIFY(other->hasFocus());
    QCOMPARE(shown.size(), 2);
    QVERIFY(DbEdit::confirmPendingInput());
    Dialogs::setMessageHandler(nullptr);
}

// Mending the text stores it; a record shown again replaces what could not be stored.
void TestDbControls::validTextAfterAnInvalidOneIsStored() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "0");
    log.table.setAsString("depth", "3");
    log.table.post();
    DbEdit* edit = log.add<DbEdit>("depth");
    edit->end(false);
    typeInto(edit, "x");
    QVERIFY(!edit->inputValid());
    QCOMPARE(log.table.asFloat("depth"), 3.0);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, "5");
    QVERIFY(edit->inputValid());
    QCOMPARE(log.table.asFloat("depth"), 35.0);
    QCOMPARE(edit->palette().color(QPalette::Text),
             QApplication::palette(edit).color(QPalette::Text));
    QTest::keyClicks(edit, "y");
    QVERIFY(!edit->inputValid());
    log.table.setValue("depth", 7.0);
    QCOMPARE(edit->text(), QString("7"));
    QVERIFY(edit->inputValid());
    QVERIFY(DbEdit::confirmPendingInput());
}

void TestDbControls::editFollowsTheRecordWithoutWriting() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("first", "1");
    log.addRow("second", "2");
    DbEdit* edit = log.add<DbEdit>("name");
    QCOMPARE(edit->text(), QString("second"));
    log.table.first();
    QCOMPARE(edit->text(), QString("first"));
    QVERIFY(log.untouched());
    log.table.setAsString("name", "changed");
    QCOMPARE(edit->text(), QString("changed"));
    log.table.cancel();
    QCOMPARE(edit->text(), QString("first"));
    QVERIFY(log.untouched());
}

// A narrow edit scrolls to keep its cursor in sight: a loaded value puts it at the start, so a
// long name shows its beginning, not its end.
void TestDbControls::loadedTextShowsItsStart() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("Blue Water", "0");
    DbEdit* edit = log.add<DbEdit>("name");
    edit->setFixedWidth(30);
    QCOMPARE(edit->cursorPosition(), 0);
    log.addRow("Deep Blue", "1");
    QCOMPARE(edit->text(), QString("Deep Blue"));
    QCOMPARE(edit->cursorPosition(), 0);
}

void TestDbControls::editMaxLengthIsTheStringSize() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "0");
    DbEdit* name = log.add<DbEdit>("name");
    DbEdit* depth = log.add<DbEdit>("depth");
    QCOMPARE(name->maxLength(), 10);
    QCOMPARE(depth->maxLength(), 32767);
    typeInto(name, "abcdefghijkl");
    QCOMPARE(log.table.asString("name"), QString("abcdefghij"));
}

void TestDbControls::maskedTypingStoresLiterals_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("stored");
    const QString time = "!00:00;1;_";
    const QString date = "!90/90/0000;1; ";
    const QString suit = "!0/9;1; ";
    QTest::newRow("bottom time") << time << "bottom_time"
                                 << "0105"
                                 << "01:05";
    QTest::newRow("bottom time incomplete") << time << "bottom_time"
                                            << "010"
                                            << "";
    QTest::newRow("thickness") << suit << "suit"
                               << "31"
                               << "3/1";
    QTest::newRow("thickness first digit") << suit << "suit"
                                           << "7"
                                           << "7/";
    QTest::newRow("date with separators") << date << "Date"
                                          << "3/1/2024"
                                          << "3/1/2024";
    QTest::newRow("date all digits") << date << "Date"
                                     << "03012024"
                                     << "3/1/2024";
    QTest::newRow("date two-digit parts") << date << "Date"
                                          << "12252024"
                                          << "12/25/2024";
}

void TestDbControls::maskedTypingStoresLiterals() {
    QFETCH(QString, mask);
    QFETCH(QString, field);
    QFETCH(QString, keys);
    QFETCH(QString, stored);
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "0");
    DbEdit* edit = log.add<DbEdit>(field);
    edit->setEditMask(mask);
    edit->setCursorPosition(0);
    typeInto(edit, keys);
    QCOMPARE(log.table.asString(field), stored);
}

void TestDbControls::maskedEditShowsRecord() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "0");
    log.table.setValue("Date", QDate(2024, 3, 1));
    log.table.setAsString("bottom_time", "01:05");
    log.table.post();
    DbEdit* date = log.add<DbEdit>("Date");
    date->setEditMask("!90/90/0000;1; ");
    DbEdit* time = log.add<DbEdit>("bottom_time");
    time->setEditMask("!00:00;1;_");
    QCOMPARE(date->displayText(), QString(" 3/ 1/2024"));
    QVERIFY(date->hasAcceptableInput());
    QCOMPARE(time->displayText(), QString("01:05"));
    log.addRow("", "0");
    QCOMPARE(date->displayText(), QString("  /  /    "));
    QCOMPARE(time->displayText(), QString("__:__"));
}

void TestDbControls::clearedDateStoresNull() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "0");
    log.table.setValue("Date", QDate(2024, 3, 1));
    log.table.post();
    DbEdit* date = log.add<DbEdit>("Date");
    date->setEditMask("!90/90/0000;1; ");
    date->setFocus();
    date->selectAll();
    QTest::keyClick(date, Qt::Key_Backspace);
    QVERIFY(log.table.isNull("Date"));
    QVERIFY(date->inputValid());
}

void TestDbControls::selectorShowsItemOfValue_data() {
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("index");
    const ValueDomain type = ValueDomains::diveType();
    QTest::newRow("value with item") << type.items << type.values << "3" << 3;
    QTest::newRow("empty first item") << type.items << type.values << "0" << 0;
    QTest::newRow("value without item") << type.items << type.values << "8" << -1;
    QTest::newRow("unknown code") << type.items << type.values << "99" << -1;
    QTest::newRow("null") << type.items << type.values << "" << -1;
    QTest::newRow("first of equal values")
        << QStringList{"a", "b"} << QStringList{"1", "1"} << "1" << 0;
}

void TestDbControls::selectorShowsItemOfValue() {
    QFETCH(QStringList, items);
    QFETCH(QStringList, values);
    QFETCH(QString, field);
    QFETCH(int, index);
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", field);
    auto* selector = log.add<DbValueSelector>("code");
    selector->setItems(items, values);
    QCOMPARE(selector->currentIndex(), index);
    QVERIFY(log.untouched());
}

void TestDbControls::choosingAnItemStoresItsValue_data() {
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("stored");
    const ValueDomain type = ValueDomains::diveType();
    const ValueDomain gas = ValueDomains::gasWithBlank();
    QTest::newRow("item") << type.items << type.values << 6 << "6";
    QTest::newRow("empty first item stores 0") << type.items << type.values << 0 << "0";
    QTest::newRow("gas") << gas.items << gas.values << 2 << "3";
    QTest::newRow("gas item without value stores null") << gas.items << gas.values << 6 << "";
}

void TestDbControls::choosingAnItemStoresItsValue() {
    QFETCH(QStringList, items);
    QFETCH(QStringList, values);
    QFETCH(int, index);
    QFETCH(QString, stored);
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "8");
    auto* selector = log.add<DbValueSelector>("code");
    selector->setItems(items, values);
    choose(selector, index);
    QCOMPARE(log.table.asString("code"), stored);
    QCOMPARE(log.table.isNull("code"), stored.isEmpty());
}

void TestDbControls::choosingWithTheKeyboardStores() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "1");
    auto* selector = log.add<DbValueSelector>("code");
    const ValueDomain unit = ValueDomains::distanceUnit();
    selector->setItems(unit.items, unit.values);
    selector->setFocus();
    QTest::keyClick(selector, Qt::Key_Down);
    QCOMPARE(log.table.asString("code"), QString("2"));
}

void TestDbControls::twoSelectorsOnOneFieldFollowAtOnce() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "1");
    const ValueDomain unit = ValueDomains::distanceUnit();
    auto* depthUnit = log.add<DbValueSelector>("code");
    auto* stopUnit = log.add<DbValueSelector>("code");
    depthUnit->setItems(unit.items, unit.values);
    stopUnit->setItems(unit.items, unit.values);
    QCOMPARE(stopUnit->currentIndex(), 1);
    choose(depthUnit, 2);
    QCOMPARE(stopUnit->currentIndex(), 2);
    choose(stopUnit, 0);
    QCOMPARE(depthUnit->currentIndex(), 0);
    QCOMPARE(log.table.asString("code"), QString("0"));
}

void TestDbControls::translatingItemsWritesNothing() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "2");
    const ValueDomain access = ValueDomains::access();
    auto* selector = log.add<DbValueSelector>("code");
    selector->setItems(access.items, access.values);
    // As the window translation does it: data source off, signals blocked, texts in place.
    log.source.setEnabled(false);
    {
        const QSignalBlocker blocker(selector);
        for (int i = 0; i < selector->count(); ++i) {
            selector->setItemText(i, QString("word %1").arg(i));
        }
    }
    log.source.setEnabled(true);
    QVERIFY(log.untouched());
    QCOMPARE(log.table.asString("code"), QString("2"));
    QCOMPARE(selector->currentIndex(), 2);
    QCOMPARE(selector->currentText(), QString("word 2"));
    QCOMPARE(selector->values(), access.values);
    choose(selector, 3);
    QCOMPARE(log.table.asString("code"), QString("3"));
}

void TestDbControls::textWithoutItemClearsField() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "1");
    const ValueDomain unit = ValueDomains::distanceUnit();
    auto* selector = log.add<DbValueSelector>("code");
    selector->setItems(unit.items, unit.values);
    selector->chooseText("<ft>");
    QCOMPARE(log.table.asString("code"), QString("2"));
    selector->chooseText("yards");
    QVERIFY(log.table.isNull("code"));
    QCOMPARE(selector->currentIndex(), -1);
}

void TestDbControls::refusedChoiceIsReportedAndUndone() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "1");
    QStringList shown;
    Dialogs::setMessageHandler([&](const Dialogs::Prompt& prompt) {
        shown << prompt.text;
        return QMessageBox::Ok;
    });
    auto* selector = log.add<DbValueSelector>("code");
    selector->setItems({"one", "too big"}, {"1", "70000"});
    choose(selector, 1);
    Dialogs::setMessageHandler(nullptr);
    QCOMPARE(shown.size(), 1);
    QCOMPARE(log.table.asString("code"), QString("1"));
    QCOMPARE(selector->currentIndex(), 0);
}

void TestDbControls::plainSelectorStoresTextUnchanged() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "3");
    auto* rating = log.add<DbComboBox>("code");
    rating->addItems(ValueDomains::ratingItems());
    QCOMPARE(rating->currentText(), QString("3"));
    choose(rating, 4);
    QCOMPARE(log.table.asString("code"), QString("5"));
    log.table.setAsString("code", "7");
    QCOMPARE(rating->currentIndex(), -1);
}

void TestDbControls::checkBoxStoresItsValues_data() {
    QTest::addColumn<CheckValues>("values");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("afterClick");
    const CheckValues salt = ValueDomains::saltWater();
    const CheckValues flag = ValueDomains::flag();
    QTest::newRow("salt water checked") << salt << "1" << true << "2";
    QTest::newRow("fresh water unchecked") << salt << "2" << false << "1";
    QTest::newRow("chamber matches neither") << salt << "3" << false << "1";
    QTest::newRow("salt water null") << salt << "" << false << "1";
    QTest::newRow("flag set") << flag << "1" << true << "0";
    QTest::newRow("flag clear") << flag << "0" << false << "1";
}

void TestDbControls::checkBoxStoresItsValues() {
    QFETCH(CheckValues, values);
    QFETCH(QString, field);
    QFETCH(bool, checked);
    QFETCH(QString, afterClick);
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", field);
    auto* box = log.add<DbCheckBox>("code");
    box->setCheckValues(values.checked, values.unchecked);
    QCOMPARE(box->isChecked(), checked);
    QVERIFY(log.untouched());
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    QCOMPARE(log.table.asString("code"), afterClick);
    QCOMPARE(box->isChecked(), !checked);
}

void TestDbControls::memoWritesAndFollows() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "0");
    log.addRow("", "0");
    log.table.setAsString("notes", "second\nnotes");
    log.table.post();
    auto* memo = log.add<DbMemo>("notes");
    auto* other = log.add<DbMemo>("notes");
    QCOMPARE(memo->toPlainText(), QString("second\nnotes"));
    log.table.first();
    QCOMPARE(memo->toPlainText(), QString());
    QVERIFY(log.untouched());
    typeInto(memo, "calm");
    QCOMPARE(log.table.asString("notes"), QString("calm"));
    QCOMPARE(other->toPlainText(), QString("calm"));
}

void TestDbControls::memoCutsTypingAtMaxLength() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "0");
    log.table.setAsString("notes", "abef");
    log.table.post();
    auto* memo = log.add<DbMemo>("notes");
    memo->setMaxLength(6);
    memo->setFocus();
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(2);
    memo->setTextCursor(cursor);
    QTest::keyClicks(memo, "cdXY");
    QCOMPARE(log.table.asString("notes"), QString("abcdef"));
}

void TestDbControls::memoWithoutReturnsLeavesEnterToTheWindow() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "0");
    auto* memo = log.add<DbMemo>("notes");
    memo->setWantReturns(false);
    typeInto(memo, "a");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClick(memo, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClicks(memo, "b");
    QCOMPARE(log.table.asString("notes"), QString("a\nb"));
}

void TestDbControls::readOnlyColours() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "0");
    const QList<DataAware*> controls{log.add<DbEdit>("name"), log.add<DbMemo>("notes"),
                                     log.add<DbValueSelector>("code"), log.add<DbComboBox>("code"),
                                     log.add<DbCheckBox>("code")};
    for (DataAware* control : controls) {
        auto* widget = dynamic_cast<QWidget*>(control);
        const QPalette standard = QApplication::palette(widget);
        QCOMPARE(control->fieldColour(), standard.color(QPalette::Base));
        control->setReadOnlyState(true);
        QCOMPARE(control->fieldColour(), standard.color(QPalette::Button));
        control->setReadOnlyState(false);
        QCOMPARE(control->fieldColour(), standard.color(QPalette::Base));
    }
}

// A field is painted in the window colour while editable and in the button-face colour while
// read-only; a closed list's field too (the style alone paints a list as an almost white button).
void TestDbControls::fieldsArePaintedInTheirColour() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("", "0");  // no text over the fields: a code without an item, an empty name
    auto* selector = log.add<DbValueSelector>("code");
    selector->setItems({"one", "two"}, {"1", "2"});
    auto* rating = log.add<DbComboBox>("name");
    rating->addItems(ValueDomains::ratingItems());
    auto* edit = log.add<DbEdit>("name");
    for (QWidget* field : QList<QWidget*>{selector, rating, edit}) {
        auto* control = dynamic_cast<DataAware*>(field);
        const QPalette standard = QApplication::palette(field);
        const QPoint inField(field->width() / 3, field->height() / 2);
        for (bool readOnly : {true, false}) {
            control->setReadOnlyState(readOnly);
            const QColor painted = field->grab().toImage().pixelColor(inField);
            QCOMPARE(painted, standard.color(readOnly ? QPalette::Button : QPalette::Base));
        }
    }
}

void TestDbControls::readOnlyControlsDoNotWrite() {
    TestSupport::TempFolders folders;
    Log log;
    log.addRow("kept", "1");
    auto* edit = log.add<DbEdit>("name");
    auto* memo = log.add<DbMemo>("notes");
    auto* selector = log.add<DbValueSelector>("code");
    const ValueDomain unit = ValueDomains::distanceUnit();
    selector->setItems(unit.items, unit.values);
    auto* box = log.add<DbCheckBox>("code");
    for (DataAware* control : QList<DataAware*>{edit, memo, selector, box}) {
        control->setReadOnlyState(true);
    }
    typeInto(edit, "x");
    typeInto(memo, "x");
    selector->setFocus();
    QTest::keyClick(selector, Qt::Key_Down);
    selector->showPopup();
    QVERIFY(!selector->view()->isVisible());
    choose(selector, 2);  // even a choice that gets through is not stored
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    QVERIFY(box->isChecked());
    QCOMPARE(selector->currentIndex(), 1);
    QCOMPARE(edit->text(), QString("kept"));
    QVERIFY(log.untouched());
    QCOMPARE(log.table.asString("code"), QString("1"));
}

NEREVA_TEST_MAIN(TestDbControls)
#include "test_db_controls.moc"
