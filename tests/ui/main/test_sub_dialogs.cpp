#include "main_fixture.h"
#include "ui/db/controls/db_check_box.h"
#include "ui/db/controls/db_edit.h"
#include "ui/db/controls/db_list_control.h"
#include "ui/db/controls/db_memo.h"
#include "ui/db/controls/edit_mask.h"
#include "ui/main/tdlg_date.h"
#include "ui/main/tdlg_download.h"
#include "ui/main/tfrm_drive_advanced.h"
#include "ui/main/tfrm_notes.h"
#include "ui/main/tfrm_stops.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>
#include <QVariantMap>
#include <functional>

namespace {

const QByteArray kLanguage =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<language><config><code>en</code></config>"
    "<dictionary><ok>Fine</ok><cancel>Drop</cancel><decompression_stops>Stops</decompression_stops>"
    "<gas_mix>Gas</gas_mix><items><air>Plain air</air></items>"
    "<advanced_information>More</advanced_information><ascent>Ascent kind</ascent>"
    "<single_ascent>One ascent</single_ascent><day>By day</day><notes>Notes</notes>"
    "<texts><txt_notes>Write here</txt_notes><please_wait>Hold on</please_wait></texts>"
    "<date>Dive date</date><synchronizing>Fetching</synchronizing>"
    "</dictionary></language>\n";

// The modules over fresh folders, one dive with its conditions row, and an owner window.
struct SubDialogFixture : MainFixture {
    QWidget owner;

    explicit SubDialogFixture(const QVariantMap& dive = {}, const QByteArray& language = {})
        : MainFixture(language) {
        Table* dives = tables->cds_dives;
        dives->append();
        for (auto it = dive.begin(); it != dive.end(); ++it) {
            dives->setValue(it.key(), it.value());
        }
        dives->post();
        tables->cds_conditions->append();
        tables->cds_conditions->post();
        owner.show();
    }

    Table* dives() const { return tables->cds_dives; }
    Table* conditions() const { return tables->cds_conditions; }
    bool browsing(Table* table) const {
        return table->state() == Table::State::Browse && !table->modified();
    }
};

// A designed control of `window` by its name.
template <class Control>
Control* control(const QWidget* window, const char* name) {
    auto* found = window->findChild<Control*>(QLatin1String(name));
    if (!found) {
        qWarning("no control %s", name);
    }
    return found;
}

void typeInto(QWidget* control, const QString& keys) {
    control->setFocus();
    QTest::keyClicks(control, keys);
}

// What the list does when the user picks an item from its pop-up.
void choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
}

bool greyed(const QWidget* control) {
    const auto* field = dynamic_cast<const DataAware*>(control);
    const QColor shown = field ? field->fieldColour() : control->palette().color(QPalette::Base);
    return shown == QApplication::palette(control).color(QPalette::Button);
}

}  // namespace

class TestSubDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void dateOpensOnTheDivesDate_data();
    void dateOpensOnTheDivesDate();
    void dateOkStoresTheDayAndPosts_data();
    void dateOkStoresTheDayAndPosts();
    void dateNamesMonthsInTheDictionarysLanguage();
    void dateCancelWritesNothing_data();
    void dateCancelWritesNothing();
    void advancedAccessFollowsLockAndCertification_data();
    void advancedAccessFollowsLockAndCertification();
    void advancedEditsAndPostsTheDiveAtOpening_data();
    void advancedEditsAndPostsTheDiveAtOpening();
    void advancedControlsStoreTheirFields();
    void coordinatesStoreWithSeparators_data();
    void coordinatesStoreWithSeparators();
    void coordinatesShowStoredText();
    void stopsStoreTheirFields_data();
    void stopsStoreTheirFields();
    void stopsGasListsAndMasks();
    void stopsKeepATimeThatCannotBeStored();
    void stopsIgnoreTheLock();
    void notesFollowTheLock_data();
    void notesFollowTheLock();
    void notesEnterBreaksNoLine();
    void pleaseWaitRefusesUserClose();
    void windowsAreTranslatedToolWindows_data();
    void windowsAreTranslatedToolWindows();
};

void TestSubDialogs::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestSubDialogs::dateOpensOnTheDivesDate_data() {
    QTest::addColumn<QVariant>("date");
    QTest::addColumn<QDate>("shown");
    QTest::newRow("dated dive") << QVariant(QDate(2024, 8, 17)) << QDate(2024, 8, 17);
    QTest::newRow("dive without a date") << QVariant() << QDate(2002, 2, 17);
}

void TestSubDialogs::dateOpensOnTheDivesDate() {
    QFETCH(QVariant, date);
    QFETCH(QDate, shown);
    SubDialogFixture f({{"Date", date}});
    TDlg_date dialog(&f.owner, f.tables->ds_dives);
    QCOMPARE(control<QCalendarWidget>(&dialog, "Date_pick")->selectedDate(), shown);
    QVERIFY(f.browsing(f.dives()));
}

// The calendar speaks the dictionary's language; the day still goes in as the same date.
void TestSubDialogs::dateNamesMonthsInTheDictionarysLanguage() {
    SubDialogFixture f({{"Date", QDate(2024, 8, 17)}},
                       "<?xml version=\"1.0\"?><language><config><code>es</code></config>"
                       "<dictionary/></language>");
    TDlg_date dialog(&f.owner, f.tables->ds_dives);
    auto* calendar = control<QCalendarWidget>(&dialog, "Date_pick");
    QCOMPARE(calendar->locale().language(), QLocale::Spanish);
    calendar->setSelectedDate(QDate(2024, 12, 1));
    dialog.Button1Click();
    QCOMPARE(f.dives()->value("Date").toDate(), QDate(2024, 12, 1));
}

void TestSubDialogs::dateOkStoresTheDayAndPosts_data() {
    QTest::addColumn<QVariant>("date");
    QTest::addColumn<QDate>("picked");  // null: the one shown at opening
    QTest::addColumn<QDate>("stored");
    QTest::addColumn<bool>("enter");  // the Enter key instead of the OK button
    QTest::newRow("other day picked")
        << QVariant(QDate(2024, 8, 17)) << QDate(2025, 1, 5) << QDate(2025, 1, 5) << false;
    QTest::newRow("undated dive keeps the first day")
        << QVariant() << QDate() << QDate(2002, 2, 17) << false;
    QTest::newRow("two-digit month and day")
        << QVariant(QDate(2024, 1, 1)) << QDate(2023, 12, 31) << QDate(2023, 12, 31) << false;
    QTest::newRow("enter key") << QVariant(QDate(2024, 8, 17)) << QDate(2024, 8, 20)
                               << QDate(2024, 8, 20) << true;
}

void TestSubDialogs::dateOkStoresTheDayAndPosts() {
    QFETCH(QVariant, date);
    QFETCH(QDate, picked);
    QFETCH(QDate, stored);
    QFETCH(bool, enter);
    SubDialogFixture f({{"Date", date}});
    const quint64 changes = f.dives()->changeCount();
    TDlg_date dialog(&f.owner, f.tables->ds_dives);
    dialog.show();
    auto* calendar = control<QCalendarWidget>(&dialog, "Date_pick");
    if (picked.isValid()) {
        calendar->setSelectedDate(picked);
    }
    if (enter) {
        calendar->setFocus();
        QTest::keyClick(calendar->focusWidget(), Qt::Key_Return);
    } else {
        QTest::mouseClick(control<QPushButton>(&dialog, "Button1"), Qt::LeftButton);
    }
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(f.dives()->value("Date").toDate(), stored);
    QVERIFY(f.browsing(f.dives()));
    QCOMPARE(f.dives()->changeCount(), changes + 1);
    QVERIFY(f.messages.isEmpty());
}

void TestSubDialogs::dateCancelWritesNothing_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("cancel button") << false;
    QTest::newRow("escape key") << true;
}

void TestSubDialogs::dateCancelWritesNothing() {
    QFETCH(bool, escape);
    SubDialogFixture f({{"Date", QDate(2024, 8, 17)}});
    const quint64 changes = f.dives()->changeCount();
    TDlg_date dialog(&f.owner, f.tables->ds_dives);
    dialog.show();
    auto* calendar = control<QCalendarWidget>(&dialog, "Date_pick");
    calendar->setSelectedDate(QDate(2025, 1, 5));
    if (escape) {
        calendar->setFocus();
        QTest::keyClick(calendar->focusWidget(), Qt::Key_Escape);
    } else {
        QTest::mouseClick(control<QPushButton>(&dialog, "Button2"), Qt::LeftButton);
    }
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(f.dives()->value("Date").toDate(), QDate(2024, 8, 17));
    QVERIFY(f.browsing(f.dives()));
    QCOMPARE(f.dives()->changeCount(), changes);
}

void TestSubDialogs::advancedAccessFollowsLockAndCertification_data() {
    QTest::addColumn<QVariant>("locked");
    QTest::addColumn<QVariant>("certifyBy");
    QTest::addColumn<bool>("typesEditable");
    QTest::addColumn<bool>("lightsEditable");
    QTest::addColumn<bool>("coordinatesEditable");
    const QVariant null;
    QTest::newRow("plain dive") << null << null << true << true << true;
    QTest::newRow("unlocked") << QVariant(0) << QVariant(0) << true << true << true;
    QTest::newRow("locked") << QVariant(1) << null << false << false << false;
    QTest::newRow("certified") << null << QVariant(1) << false << true << true;
    QTest::newRow("locked and certified") << QVariant(1) << QVariant(1) << false << false << false;
    QTest::newRow("confirmed by the buddy") << null << QVariant(2) << true << true << true;
    QTest::newRow("certified, being modified") << null << QVariant(-1) << true << true << true;
}

void TestSubDialogs::advancedAccessFollowsLockAndCertification() {
    QFETCH(QVariant, locked);
    QFETCH(QVariant, certifyBy);
    QFETCH(bool, typesEditable);
    QFETCH(bool, lightsEditable);
    QFETCH(bool, coordinatesEditable);
    SubDialogFixture f({{"locked", locked}, {"certify_by", certifyBy}, {"Dive_Nivel", 0}});
    TFrmDriveAdvanced window(&f.owner, f.tables->ds_dives);
    auto* ascent = control<DbValueSelector>(&window, "Dive_Nivel");
    for (const char* name : {"Dive_Nivel", "Dive_Deco"}) {
        auto* types = control<DbValueSelector>(&window, name);
        QCOMPARE(types->readOnlyState(), !typesEditable);
        QCOMPARE(greyed(types), !typesEditable);
    }
    for (const char* name : {"ck_dive_day", "ck_dive_night", "ck_dive_sunrise", "ck_dive_sunset"}) {
        QCOMPARE(control<DbCheckBox>(&window, name)->isEnabled(), lightsEditable);
    }
    auto* coordinates = control<DbEdit>(&window, "coordinates");
    QCOMPARE(coordinates->isReadOnly(), !coordinatesEditable);
    QCOMPARE(greyed(coordinates), !coordinatesEditable);

    window.show();
    ascent->setFocus();
    QTest::keyClick(ascent, Qt::Key_Down);
    QCOMPARE(f.dives()->asString("Dive_Nivel"), QString(typesEditable ? "1" : "0"));
}

// The editor fills in defaults when the dive goes into edit mode; opening the window must give
// it that chance and post the result, whatever the dive's lock.
void TestSubDialogs::advancedEditsAndPostsTheDiveAtOpening_data() {
    QTest::addColumn<QVariant>("locked");
    QTest::addColumn<bool>("pendingEdit");
    QTest::newRow("browsing") << QVariant() << false;
    QTest::newRow("locked") << QVariant(1) << false;
    QTest::newRow("pending edit") << QVariant() << true;
}

void TestSubDialogs::advancedEditsAndPostsTheDiveAtOpening() {
    QFETCH(QVariant, locked);
    QFETCH(bool, pendingEdit);
    SubDialogFixture f({{"locked", locked}, {"Location", "Cozumel"}});
    if (pendingEdit) {
        f.dives()->setValue("Location", "Dahab");
    }
    const quint64 changes = f.dives()->changeCount();
    QList<Table::State> states;
    connect(f.dives(), &Table::stateChanged, &f.owner, [&] {
        states << f.dives()->state();
        if (f.dives()->state() == Table::State::Edit && f.dives()->isNull("Dive_Nivel")) {
            f.dives()->setValue("Dive_Nivel", 0);
        }
    });
    TFrmDriveAdvanced window(&f.owner, f.tables->ds_dives);
    const QList<Table::State> expected =
        pendingEdit ? QList{Table::State::Browse} : QList{Table::State::Edit, Table::State::Browse};
    QCOMPARE(states, expected);
    QVERIFY(f.browsing(f.dives()));
    QCOMPARE(f.dives()->changeCount(), changes + 1);
    QCOMPARE(f.dives()->asString("Location"), QString(pendingEdit ? "Dahab" : "Cozumel"));
    QCOMPARE(f.dives()->asString("Dive_Nivel"), QString(pendingEdit ? "" : "0"));
}

void TestSubDialogs::advancedControlsStoreTheirFields() {
    SubDialogFixture f({{"Dive_Nivel", 0}, {"Dive_Deco", 0}, {"dive_day", 1}});
    TFrmDriveAdvanced window(&f.owner, f.tables->ds_dives);
    window.show();
    auto* ascent = control<DbValueSelector>(&window, "Dive_Nivel");
    auto* decompression = control<DbValueSelector>(&window, "Dive_Deco");
    QCOMPARE(ascent->currentText(), QString("<single_ascent>"));
    QCOMPARE(decompression->currentText(), QString("<non_stop>"));
    QVERIFY(control<DbCheckBox>(&window, "ck_dive_day")->isChecked());
    choose(ascent, 1);
    choose(decompression, 1);
    for (const char* name : {"ck_dive_night", "ck_dive_sunset", "ck_dive_day"}) {
        auto* box = control<DbCheckBox>(&window, name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));  // the box
    }
    const QStringList fields{"Dive_Nivel", "Dive_Deco",    "dive_day",
                             "dive_night", "dive_sunrise", "dive_sunset"};
    QStringList stored;
    for (const QString& field : fields) {
        stored << f.dives()->asString(field);
    }
    QCOMPARE(stored, QStringList({"1", "1", "0", "1", "", "1"}));
    QCOMPARE(f.dives()->state(), Table::State::Edit);  // posting is the editor's business
    QTest::mouseClick(control<QPushButton>(&window, "btOK"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

void TestSubDialogs::coordinatesStoreWithSeparators_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("stored");
    QTest::newRow("three-digit longitude") << "193000N1451520E"
                                           << "19:30:00N-145:15:20E";
    QTest::newRow("longitude 180") << "000000S1800000W"
                                   << "00:00:00S-180:00:00W";
    QTest::newRow("longitude with leading zero") << "053010S0871520W"
                                                 << "05:30:10S-087:15:20W";
    QTest::newRow("two-digit longitude ended by its colon") << "193000N87:1520W"
                                                            << "19:30:00N-87:15:20W";
    QTest::newRow("incomplete keeps the field") << "193000N14515"
                                                << "";
    QTest::newRow("minutes past 59 keep the field") << "196000N1451520E"
                                                    << "";
}

void TestSubDialogs::coordinatesStoreWithSeparators() {
    QFETCH(QString, keys);
    QFETCH(QString, stored);
    SubDialogFixture f;
    TFrmDriveAdvanced window(&f.owner, f.tables->ds_dives);
    window.show();
    auto* coordinates = control<DbEdit>(&window, "coordinates");
    coordinates->setFocus();
    coordinates->setCursorPosition(0);
    QTest::keyClicks(coordinates, keys);
    QCOMPARE(f.dives()->asString("coordinates"), stored);
    QVERIFY(stored.size() <= 20);  // the field's size
}

// Texts written before longitudes took three digits still show and keep their value.
void TestSubDialogs::coordinatesShowStoredText() {
    SubDialogFixture f({{"coordinates", "5:10:20S-87:15:20W"}});
    TFrmDriveAdvanced window(&f.owner, f.tables->ds_dives);
    auto* coordinates = control<DbEdit>(&window, "coordinates");
    QCOMPARE(coordinates->displayText(), QString("_5:10:20S-_87:15:20W"));
    const EditMask mask = EditMask::parse(TFrmDriveAdvanced::kCoordinatesMask);
    QCOMPARE(mask.storedText(coordinates->displayText()).value_or("?"),
             QString("5:10:20S-87:15:20W"));
}

void TestSubDialogs::stopsStoreTheirFields_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("input");  // keys for an edit, the item index for a list
    QTest::addColumn<QString>("stored");
    QTest::newRow("first depth") << "stop_depth"
                                 << "stop_depth"
                                 << "4.5"
                                 << "4.5";
    QTest::newRow("second depth") << "stop_depth1"
                                  << "stop_depth1"
                                  << "6"
                                  << "6";
    QTest::newRow("third depth") << "stop_depth2"
                                 << "stop_depth2"
                                 << "12.25"
                                 << "12.25";
    QTest::newRow("first time") << "stop"
                                << "stop"
                                << "0130"
                                << "01:30";
    QTest::newRow("second time") << "stop1"
                                 << "stop1"
                                 << "0005"
                                 << "00:05";
    QTest::newRow("third time") << "stop2"
                                << "stop2"
                                << "1200"
                                << "12:00";
    QTest::newRow("incomplete time") << "stop"
                                     << "stop"
                                     << "013"
                                     << "";
    QTest::newRow("time past 59 minutes") << "stop1"
                                          << "stop1"
                                          << "0075"
                                          << "";
    QTest::newRow("first gas air") << "stop_gas_mix"
                                   << "stop_gas_mix"
                                   << "0"
                                   << "1";
    QTest::newRow("second gas heliox") << "stop_gas_mix1"
                                       << "stop_gas_mix1"
                                       << "4"
                                       << "5";
    QTest::newRow("third gas other") << "stop_gas_mix2"
                                     << "stop_gas_mix2"
                                     << "5"
                                     << "6";
    QTest::newRow("blank gas stores nothing") << "stop_gas_mix"
                                              << "stop_gas_mix"
                                              << "6"
                                              << "";
}

void TestSubDialogs::stopsStoreTheirFields() {
    QFETCH(QString, control);
    QFETCH(QString, field);
    QFETCH(QString, input);
    QFETCH(QString, stored);
    SubDialogFixture f;
    if (control.startsWith("stop_gas")) {
        f.conditions()->setValue(field, 2);  // the blank item must clear a value
        f.conditions()->post();
    }
    TFrmStops window(&f.owner, f.tables->ds_conditions);
    window.show();
    QWidget* widget = window.findChild<QWidget*>(control);
    QVERIFY(widget);
    if (auto* list = qobject_cast<QComboBox*>(widget)) {
        choose(list, input.toInt());
    } else {
        typeInto(widget, input);
    }
    QCOMPARE(f.conditions()->asString(field), stored);
    QVERIFY(f.browsing(f.dives()));
}

void TestSubDialogs::stopsGasListsAndMasks() {
    SubDialogFixture f;
    f.conditions()->setAsString("stop2", "00:45");
    f.conditions()->setValue("stop_gas_mix2", 3);
    f.conditions()->post();
    TFrmStops window(&f.owner, f.tables->ds_conditions);
    const QStringList gases{"<Air>",      "<Oxigen>", "<NitroxI>",
                            "<NitroxII>", "<Heliox>", "<Other_mix>"};
    for (const char* name : {"stop_gas_mix", "stop_gas_mix1", "stop_gas_mix2"}) {
        auto* list = control<DbValueSelector>(&window, name);
        QStringList items;
        for (int i = 0; i < list->count(); ++i) {
            items << list->itemText(i);
        }
        QCOMPARE(items, name == QLatin1String("stop_gas_mix2") ? gases : gases + QStringList{""});
        QCOMPARE(list->values(), QStringList({"1", "2", "3", "4", "5", "6"}));
    }
    QCOMPARE(control<DbValueSelector>(&window, "stop_gas_mix2")->currentText(),
             QString("<NitroxI>"));
    QCOMPARE(control<DbEdit>(&window, "stop2")->displayText(), QString("00:45"));
    QCOMPARE(control<DbEdit>(&window, "stop")->displayText(), QString("  :  "));  // blanks
    QLineEdit timeMask;
    timeMask.setInputMask(EditMask::parse("!00:00;1; ").qtInputMask());
    for (const char* name : {"stop", "stop1", "stop2"}) {
        QCOMPARE(control<DbEdit>(&window, name)->toolTip(), QString("hh:mm"));
        QCOMPARE(control<DbEdit>(&window, name)->inputMask(), timeMask.inputMask());
    }
}

// OK does not close the window over a stop time that cannot be stored; it says why.
void TestSubDialogs::stopsKeepATimeThatCannotBeStored() {
    SubDialogFixture f;
    f.conditions()->setAsString("stop1", "00:45");
    f.conditions()->post();
    TFrmStops window(&f.owner, f.tables->ds_conditions);
    window.show();
    auto* time = control<DbEdit>(&window, "stop1");
    time->setFocus();
    time->selectAll();
    QTest::keyClicks(time, "0075");
    QTest::mouseClick(control<QPushButton>(&window, "Button1"), Qt::LeftButton);
    QCOMPARE(f.messages, QStringList{"'00:75' is not a valid time"});
    QVERIFY(window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QCOMPARE(f.conditions()->asString("stop1"), QString("00:45"));
    QTest::keyClick(time, Qt::Key_Backspace);
    QTest::keyClick(time, Qt::Key_Backspace);
    QTest::keyClicks(time, "30");
    QTest::mouseClick(control<QPushButton>(&window, "Button1"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QCOMPARE(f.conditions()->asString("stop1"), QString("00:30"));
    QCOMPARE(f.messages.size(), 1);
}

void TestSubDialogs::stopsIgnoreTheLock() {
    SubDialogFixture f({{"locked", 1}, {"certify_by", 1}});
    TFrmStops window(&f.owner, f.tables->ds_conditions);
    window.show();
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (auto* edit = qobject_cast<DbEdit*>(control)) {
            QVERIFY(!edit->isReadOnly());
        } else if (auto* list = qobject_cast<DbValueSelector*>(control)) {
            QVERIFY(!list->readOnlyState());
        }
    }
    typeInto(control<DbEdit>(&window, "stop_depth"), "3");
    QCOMPARE(f.conditions()->asString("stop_depth"), QString("3"));
}

void TestSubDialogs::notesFollowTheLock_data() {
    QTest::addColumn<QVariant>("locked");
    QTest::addColumn<bool>("editable");
    QTest::newRow("never locked") << QVariant() << true;
    QTest::newRow("unlocked") << QVariant(0) << true;
    QTest::newRow("locked") << QVariant(1) << false;
}

void TestSubDialogs::notesFollowTheLock() {
    QFETCH(QVariant, locked);
    QFETCH(bool, editable);
    SubDialogFixture f({{"locked", locked}, {"certify_by", 1}});
    f.conditions()->setValue("observations", "Turtle");
    f.conditions()->post();
    TFrmNotes window(&f.owner, f.tables->ds_conditions, f.tables->ds_dives);
    window.show();
    auto* notes = control<DbMemo>(&window, "dbmnotes");
    QCOMPARE(notes->toPlainText(), QString("Turtle"));
    QCOMPARE(notes->isReadOnly(), !editable);
    QCOMPARE(greyed(notes), !editable);
    QCOMPARE(notes->maxLength(), 500);
    notes->moveCursor(QTextCursor::End);
    typeInto(notes, " and ray");
    QCOMPARE(f.conditions()->asString("observations"),
             QString(editable ? "Turtle and ray" : "Turtle"));
}

void TestSubDialogs::notesEnterBreaksNoLine() {
    SubDialogFixture f;
    TFrmNotes window(&f.owner, f.tables->ds_conditions, f.tables->ds_dives);
    window.show();
    auto* notes = control<DbMemo>(&window, "dbmnotes");
    typeInto(notes, "Reef");
    QTest::keyClick(notes, Qt::Key_Return);
    QCOMPARE(f.conditions()->asString("observations"), QString("Reef"));
    QVERIFY(window.isVisible());
    QTest::mouseClick(control<QPushButton>(&window, "Button1"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

void TestSubDialogs::pleaseWaitRefusesUserClose() {
    SubDialogFixture f;
    TDlgDownload wait(&f.owner);
    const Qt::WindowFlags flags = wait.windowFlags();
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(control<QLabel>(&wait, "Image1")->pixmap().size(), QSize(32, 32));
    wait.show();
    QVERIFY(wait.isVisible());
    QVERIFY(!wait.close());
    QTest::keyClick(&wait, Qt::Key_Escape);
    QVERIFY(wait.isVisible());
    wait.closeByProgram();
    QVERIFY(!wait.isVisible());
}

void TestSubDialogs::windowsAreTranslatedToolWindows_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("caption");
    QTest::newRow("stops") << "TFrmStops"
                           << "Stops"
                           << "lb_gas_mix"
                           << "Gas";
    QTest::newRow("stops gas item") << "TFrmStops"
                                    << "Stops"
                                    << "stop_gas_mix2"
                                    << "Plain air";
    QTest::newRow("stops button") << "TFrmStops"
                                  << "Stops"
                                  << "Button1"
                                  << "Fine";
    QTest::newRow("advanced label") << "TFrmDriveAdvanced"
                                    << "More"
                                    << "lb_ascent"
                                    << "Ascent kind";
    QTest::newRow("advanced item") << "TFrmDriveAdvanced"
                                   << "More"
                                   << "Dive_Nivel"
                                   << "One ascent";
    QTest::newRow("advanced check") << "TFrmDriveAdvanced"
                                    << "More"
                                    << "ck_dive_day"
                                    << "By day";
    QTest::newRow("notes hint") << "TFrmNotes"
                                << "Notes"
                                << "lb_txt_notes"
                                << "Write here";
    QTest::newRow("date cancel") << "TDlg_date"
                                 << "Dive date"
                                 << "Button2"
                                 << "Drop";
    QTest::newRow("please wait") << "TDlgDownload"
                                 << "Fetching"
                                 << "lb_please_wait"
                                 << "Hold on";
}

void TestSubDialogs::windowsAreTranslatedToolWindows() {
    QFETCH(QString, window);
    QFETCH(QString, title);
    QFETCH(QString, control);
    QFETCH(QString, caption);
    SubDialogFixture f({{"Dive_Nivel", 0}}, kLanguage);
    DataSource* dives = f.tables->ds_dives;
    DataSource* conditions = f.tables->ds_conditions;
    const std::map<QString, std::function<QDialog*()>> make{
        {"TFrmStops", [&] { return new TFrmStops(&f.owner, conditions); }},
        {"TFrmDriveAdvanced", [&] { return new TFrmDriveAdvanced(&f.owner, dives); }},
        {"TFrmNotes", [&] { return new TFrmNotes(&f.owner, conditions, dives); }},
        {"TDlg_date", [&] { return new TDlg_date(&f.owner, dives); }},
        {"TDlgDownload", [&] { return new TDlgDownload(&f.owner); }},
    };
    std::unique_ptr<QDialog> dialog(make.at(window)());
    QCOMPARE(dialog->objectName(), window);
    QCOMPARE(dialog->windowTitle(), title);
    QCOMPARE(dialog->windowType(), Qt::Tool);
    QCOMPARE(dialog->parentWidget(), &f.owner);
    QWidget* widget = dialog->findChild<QWidget*>(control);
    QVERIFY(widget);
    QString shown;
    if (auto* list = qobject_cast<QComboBox*>(widget)) {
        shown = list->itemText(0);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        shown = button->text();
    } else {
        shown = qobject_cast<QLabel*>(widget)->text();
    }
    QCOMPARE(shown, caption);
}

NEREVA_TEST_MAIN(TestSubDialogs)
#include "test_sub_dialogs.moc"
