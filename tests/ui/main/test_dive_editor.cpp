#include "main_fixture.h"
#include "ui/db/controls/db_check_box.h"
#include "ui/db/controls/db_edit.h"
#include "ui/db/controls/db_list_control.h"
#include "ui/db/controls/edit_mask.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <functional>

namespace {

using Values = QList<QPair<QString, QVariant>>;

// A dive with its conditions and equipment rows, appended to the log and left current.
void addDive(MainFixture& f, const Values& dive, const Values& conditions = {},
             const Values& equipment = {}) {
    const auto appendRow = [](Table* table, const Values& values) {
        table->append();
        for (const auto& [field, value] : values) {
            table->setValue(field, value);
        }
        table->post();
    };
    appendRow(f.tables->cds_dives, dive);
    appendRow(f.tables->cds_conditions, conditions);
    appendRow(f.tables->cds_equipment, equipment);
}

QWidget* control(TFrm_Principal* window, const QString& name) {
    auto* found = window->findChild<QWidget*>(name);
    if (!found) {
        qWarning("no control %s", qPrintable(name));
    }
    return found;
}

template <class Kind>
Kind* control(TFrm_Principal* window, const QString& name) {
    return qobject_cast<Kind*>(control(window, name));
}

Table* tableNamed(MainFixture& f, const QString& name) {
    if (name == QLatin1String("dives")) {
        return f.tables->cds_dives;
    }
    return name == QLatin1String("conditions") ? f.tables->cds_conditions : f.tables->cds_equipment;
}

DataSource* sourceNamed(TFrm_Principal* window, const QString& name) {
    if (name == QLatin1String("dives")) {
        return window->ds_dives;
    }
    return name == QLatin1String("conditions") ? window->ds_conditions : window->ds_equip;
}

// What the diver does with a drop-down list: open it and pick item `index`.
void choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Types `keys` into an edit from its first position, as after a click at its start.
void typeInto(QLineEdit* edit, const QString& keys) {
    edit->setFocus();
    edit->setCursorPosition(0);
    QTest::keyClicks(edit, keys);
}

// The control a test row is about: its tag up to the first blank.
QString controlOfRow() {
    return QString::fromLatin1(QTest::currentDataTag()).section(QLatin1Char(' '), 0, 0);
}

// Shows the page holding `widget`, as the diver sees it.
void showPageOf(TFrm_Principal* window, QWidget* widget) {
    Ui::TFrm_Principal* ui = window->ui;
    const bool simple = ui->PageSimple->isAncestorOf(widget);
    ui->PageSimple->setVisible(simple);
    ui->PageAdvanced->setVisible(!simple);
    for (int page = 0; page < ui->PageAdvanced->count(); ++page) {
        if (ui->PageAdvanced->widget(page)->isAncestorOf(widget)) {
            ui->PageAdvanced->setCurrentIndex(page);
        }
    }
}

QString bindingKind(QWidget* widget) {
    if (qobject_cast<DbEdit*>(widget)) {
        return QStringLiteral("edit");
    }
    if (qobject_cast<DbValueSelector*>(widget)) {
        return QStringLiteral("selector");
    }
    if (qobject_cast<DbComboBox*>(widget)) {
        return QStringLiteral("plain");
    }
    return qobject_cast<DbCheckBox*>(widget) ? QStringLiteral("check") : QStringLiteral("other");
}

const QString kTimeMask = QStringLiteral("!00:00;1;_");

const QByteArray kLanguage =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<language><config><code>en</code></config>"
    "<dictionary><media_type>Environment</media_type><salt_water>Salt Water</salt_water>"
    "<dive_verification>Dive Verification</dive_verification><beach>Beach</beach>"
    "<notes>Notes</notes><twin_tank>Twin Tank</twin_tank><diven>Dive No.</diven>"
    "<invite_user>Invite User</invite_user><general_information>General</general_information>"
    "</dictionary></language>\n";

}  // namespace

class TestDiveEditor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void controlsAndBindings_data();
    void controlsAndBindings();
    void checkBoxGroups_data();
    void checkBoxGroups();
    void buttonsPanelsAndLabels_data();
    void buttonsPanelsAndLabels();
    void header();
    void shownValues_data();
    void shownValues();
    void itemLists_data();
    void itemLists();
    void choosingStoresTheValue_data();
    void choosingStoresTheValue();
    void followsTheCurrentDive();
    void typingWritesIntoTheTable_data();
    void typingWritesIntoTheTable();
    void textTheFieldCannotTakeKeepsTheDive();
    void locationTypingLimit();
    void selectorsOnOneField_data();
    void selectorsOnOneField();
    void saltWaterCheckBox();
    void captionsTranslated();
    void inviteButtonFollowsItsAction();
    void certificationIconMenu();
    void tabOrderFollowsTheColumns();
    void pagesFitTheSmallFirstRunWindow();
    void locationBandWrapsWhenNarrow();
};

void TestDiveEditor::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
}

// Every data-aware control of the editor: its kind, its data source and field, and its mask.
void TestDiveEditor::controlsAndBindings_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("mask");
    const auto row = [](const char* name, const char* kind, const char* table, const char* field,
                        const QString& mask = {}) {
        QTest::newRow(name) << kind << table << field << mask;
    };
    // clang-format off
    row("dive_date", "edit", "dives", "Date", "!90/90/0000;1; ");
    row("dive_location", "edit", "dives", "Location");
    row("dive_site", "edit", "dives", "Site");
    // General information
    row("Dive_Media", "selector", "dives", "Dive_Media");
    row("Activity", "selector", "dives", "Activity");
    row("Activity2", "selector", "dives", "Activity2");
    row("Dive_Rating", "plain", "dives", "dive_rating");
    row("Site_type", "selector", "dives", "Site_type");
    row("Dive_type", "selector", "dives", "Dive_Type");
    row("Dive_type2", "selector", "dives", "Dive_type2");
    row("Access_Type", "selector", "dives", "Access_Type");
    row("dive_operator", "edit", "dives", "operator");
    row("dive_school", "edit", "dives", "school");
    row("ck_xLeader", "check", "dives", "xTeam_Leader");
    row("dive_instructor", "edit", "dives", "instructor");
    row("dive_buddy", "edit", "dives", "buddy");
    row("dive_team1", "edit", "dives", "team1");
    row("dive_team2", "edit", "dives", "team2");
    row("dive_team3", "edit", "dives", "team3");
    row("dive_team4", "edit", "dives", "team4");
    row("dive_team5", "edit", "dives", "team5");
    // Conditions
    row("dive_depth", "edit", "conditions", "depth");
    row("dive_max_depth", "edit", "conditions", "max_depth");
    row("dive_depth_unit", "selector", "conditions", "depth_unit");
    row("dive_bottomtime", "edit", "conditions", "bottom_time", kTimeMask);
    row("dive_depth_stop", "edit", "conditions", "stop_depth");
    row("dive_depth_stop_unit", "selector", "conditions", "depth_unit");
    row("dive_stop", "edit", "conditions", "stop", kTimeMask);
    row("dive_time_start", "edit", "dives", "Time_Start");
    row("dive_sup_interval", "edit", "conditions", "dive_si", kTimeMask);
    row("dive_altitude", "edit", "conditions", "altitude");
    row("dive_altitude_unit", "selector", "conditions", "altitude_unit");
    row("dive_GPStart", "edit", "conditions", "GP_in");
    row("dive_GPEnd", "edit", "conditions", "GP_out");
    row("visibility", "edit", "conditions", "cond_visibility");
    row("visibilityMax", "edit", "conditions", "cond_visibility_Max");
    row("visibility_unit", "selector", "conditions", "cond_visibility_unit");
    row("dbvWin", "selector", "conditions", "cond_tiempo_in");
    row("dbvWout", "selector", "conditions", "cond_tiempo_out");
    row("dbvSurf", "selector", "conditions", "cond_Surf");
    row("dbvCurrent", "selector", "conditions", "cond_Current");
    row("dbvCurrent_dir", "edit", "conditions", "cond_Current_dir");
    row("dbvWind", "selector", "conditions", "cond_wind");
    row("dbvWind_dir", "edit", "conditions", "cond_wind_dir");
    row("temp_air", "edit", "conditions", "cond_temp_air");
    row("temp_surf", "edit", "conditions", "cond_temp_surf");
    row("temp_bottom", "edit", "conditions", "cond_temp_bottom");
    row("temp_unit1", "selector", "conditions", "cond_temp_unit");
    row("temp_unit2", "selector", "conditions", "cond_temp_unit");
    row("temp_unit3", "selector", "conditions", "cond_temp_unit");
    row("ck_waves", "check", "conditions", "cond_xWaves");
    row("ck_surge", "check", "conditions", "cond_xSurge");
    row("dbckCold", "check", "conditions", "cond_cold");
    // Equipment
    row("equip_twin", "check", "equipment", "cil_twin");
    row("equip_cil_type", "selector", "equipment", "cil_type");
    row("equip_cil_size", "edit", "equipment", "cil_size");
    row("equip_cil_unit", "selector", "equipment", "cil_size_unit");
    row("dbeMaxPress", "edit", "equipment", "pres_max");
    row("equip_pres_unit3", "selector", "equipment", "pres_unit");
    row("dbePressIn", "edit", "equipment", "pres_in");
    row("equip_pres_unit", "selector", "equipment", "pres_unit");
    row("equip_end_used", "selector", "equipment", "pres_end_used");
    row("dbePressOut", "edit", "equipment", "pres_out");
    row("equip_pres_unit2", "selector", "equipment", "pres_unit");
    row("dbvGasMix", "selector", "equipment", "gas_mix");
    row("DBMaskEdit2", "edit", "equipment", "suit_medida", "!0/9;1; ");
    row("DBValComboBox1", "selector", "equipment", "suit_unit");
    row("DBEdit4", "edit", "equipment", "lead_weight");
    row("DBValComboBox10", "selector", "equipment", "lead_unit");
    row("DBValComboBox2", "selector", "equipment", "lead_estado");
    // Dive computer
    row("Device_Vendor", "edit", "equipment", "Dc_Vendor");
    row("Device_Model", "edit", "equipment", "Dc_Model");
    // Simple page
    row("Simple_Activity", "selector", "dives", "Activity");
    row("Simple_Site_type", "selector", "dives", "Site_type");
    row("Simple_dive_operator", "edit", "dives", "operator");
    row("Simple_dive_buddy", "edit", "dives", "buddy");
    row("Simple_Dive_type", "selector", "dives", "Dive_Type");
    row("Simple_Dive_Rating", "plain", "dives", "dive_rating");
    row("Simple_Depth", "edit", "conditions", "max_depth");
    row("Simple_Depth_unit", "selector", "conditions", "depth_unit");
    row("Simple_BottomTime", "edit", "conditions", "bottom_time", kTimeMask);
    row("Simple_altitude", "edit", "conditions", "altitude");
    row("Simple_altitude_unit", "selector", "conditions", "altitude_unit");
    row("Simple_visibility", "edit", "conditions", "cond_visibility");
    row("Simple_visibility_Unit", "selector", "conditions", "cond_visibility_unit");
    row("Simple_Weather", "selector", "conditions", "cond_tiempo_in");
    row("Simple_Saltwater", "check", "dives", "Dive_Media");
    row("Simple_time_start", "edit", "dives", "Time_Start");
    row("Simple_sup_interval", "edit", "conditions", "dive_si", kTimeMask);
    row("Simple_temp", "edit", "conditions", "cond_temp_surf");
    row("Simple_temp_unit", "selector", "conditions", "cond_temp_unit");
    row("Simple_Current", "selector", "conditions", "cond_Current");
    row("Simple_ckCold", "check", "conditions", "cond_cold");
    row("DBEdit17", "edit", "equipment", "pres_in");
    row("DBValComboBox23", "selector", "equipment", "pres_unit");
    row("DBEdit18", "edit", "equipment", "pres_out");
    row("DBValComboBox24", "selector", "equipment", "pres_unit");
    row("DBEdit19", "edit", "equipment", "lead_weight");
    row("DBValComboBox20", "selector", "equipment", "lead_unit");
    // clang-format on
}

void TestDiveEditor::controlsAndBindings() {
    QFETCH(QString, kind);
    QFETCH(QString, table);
    QFETCH(QString, field);
    QFETCH(QString, mask);
    MainFixture f;
    TFrm_Principal* window = f.open();
    QWidget* widget = control(window, controlOfRow());
    QVERIFY(widget);
    QCOMPARE(bindingKind(widget), kind);
    auto* bound = dynamic_cast<DataAware*>(widget);
    QCOMPARE(bound->dataSource(), sourceNamed(window, table));
    QCOMPARE(bound->dataField(), field);
    if (auto* edit = qobject_cast<DbEdit*>(widget)) {
        QLineEdit expected;
        expected.setInputMask(mask.isEmpty() ? QString() : EditMask::parse(mask).qtInputMask());
        QCOMPARE(edit->inputMask(), expected.inputMask());
    }
    if (auto* list = qobject_cast<QComboBox*>(widget)) {
        QVERIFY2(list->count() > 0, "a selector without items");
    }
}

// The check boxes of a group, by field, with their captions.
void TestDiveEditor::checkBoxGroups_data() {
    QTest::addColumn<QString>("group");
    QTest::addColumn<QStringList>("fieldsAndCaptions");
    QTest::newRow("exposure protection")
        << "pl_equip2"
        << QStringList{"pro_booties=<booties>", "pro_dry=<dry_suit>",   "pro_gloves=<gloves>",
                       "pro_hood=<hood>",       "pro_jacket=<jacket>",  "pro_pants=<pants>",
                       "pro_short=<shorty>",    "pro_skin=<skin_suit>", "pro_socks=<socks>",
                       "pro_wet=<wetsuit>"};
    QTest::newRow("equipment used") << "pl_equip3" << QStringList{"misc_air=<Alternate_Air>",
                                                                  "misc_buoy=<Buoy>",
                                                                  "misc_cam=<Photo_Camera>",
                                                                  "misc_comm=<Comm_device>",
                                                                  "misc_comp=<computer>",
                                                                  "misc_compass=<Compass>",
                                                                  "misc_detector=<metal_detector>",
                                                                  "misc_gun=<Spear_Gun>",
                                                                  "misc_knife=<Knife>",
                                                                  "misc_light=<lantern>",
                                                                  "misc_scooter=<vehicle>",
                                                                  "misc_video=<Video_Camera>"};
    QTest::newRow("simple equipment") << "Simlpe_pl_equip"
                                      << QStringList{"pro_booties=<Booties>", "pro_gloves=<Gloves>",
                                                     "pro_hood=<Hood>", "pro_wet=<Wetsuit>"};
}

void TestDiveEditor::checkBoxGroups() {
    QFETCH(QString, group);
    QFETCH(QStringList, fieldsAndCaptions);
    MainFixture f;
    TFrm_Principal* window = f.open();
    QStringList found;
    for (DbCheckBox* box : control(window, group)->findChildren<DbCheckBox*>()) {
        QCOMPARE(box->dataSource(), window->ds_equip);
        found << box->dataField() + QLatin1Char('=') + box->text();
    }
    found.sort();
    QCOMPARE(found, fieldsAndCaptions);
}

// The controls without a field: kind, caption, shown or hidden at first, enabled, team tag.
void TestDiveEditor::buttonsPanelsAndLabels_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("tag");
    const auto row = [](const QString& name, const char* kind, const QString& caption,
                        bool shown = true, bool enabled = true, int tag = 0) {
        QTest::newRow(qPrintable(name)) << kind << caption << shown << enabled << tag;
    };
    // Over an empty log the editor's rules disable what would write (and, offline, hide the
    // invitation and both icons).
    // clang-format off
    row("bt_date", "QToolButton", "...", true, false);
    row("bt_chk_location", "QToolButton", "...", true, false);
    row("bt_chk_op", "QToolButton", "...", true, false);
    row("bt_chk_scho", "QToolButton", "...", true, false);
    row("bt_chk_inst", "QToolButton", "...", true, false);
    row("bt_chk_buddy", "QToolButton", "...", true, false);
    for (const char* link : {"bt_valid_location", "bt_valid_op", "bt_valid_scho", "bt_valid_inst",
                             "bt_valid_bu"}) {
        row(link, "QToolButton", "", false);
    }
    for (int team = 1; team <= 5; ++team) {
        row(QStringLiteral("dive_team%1").arg(team), "QLineEdit", "", true, true, team);
        row(QStringLiteral("bt_chk_Team%1").arg(team), "QToolButton", "...", true, false, team);
        row(QStringLiteral("bt_valid_team%1").arg(team), "QToolButton", "", false, true, team);
    }
    row("bt_Advanced", "QPushButton", "<advanced>");
    row("bt_Notes", "QPushButton", "<notes>");
    row("Button8", "QPushButton", "<Notes>");
    row("dive_invite_buddy", "QPushButton", "<invite_user>", false, false);
    row("bt_deco_stops", "QToolButton", "...", false);
    row("bt_gp", "QToolButton", "...", true, false);
    row("lb_site_type", "QLabel", "<site_type>");
    row("lb_Dive_type", "QLabel", "<dive_Type>");
    row("lb_access", "QLabel", "<access>");
    row("lb_gp", "QLabel", "<gp>");
    row("lb_vendor", "QLabel", "Vendor");
    row("lb_model", "QLabel", "Model");
    row("pl_general1", "QGroupBox", "");
    row("pl_general2", "QGroupBox", "<dive_verification>");
    row("pl_cond1", "QGroupBox", "");
    row("pl_cond2", "QGroupBox", "<external_conditions>");
    row("pl_equip1", "QGroupBox", "");
    row("pl_equip2", "QGroupBox", "<exposure_protection>", true, false);
    row("pl_equip3", "QGroupBox", "<equipment_used>", true, false);
    row("pl_general3", "QGroupBox", "<General_Information>");
    row("pl_cond3", "QGroupBox", "<dive_conditions>");
    row("Simlpe_pl_equip", "QGroupBox", "<equipment>", true, false);
    row("ProgressBar1", "QProgressBar", "");
    row("DC_Panel_Dock", "QFrame", "");
    row("pnlCert", "QFrame", "", false);
    row("img_cert", "QLabel", "", false);
    row("img_cert_buddy", "QLabel", "", false);
    // clang-format on
}

void TestDiveEditor::buttonsPanelsAndLabels() {
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(bool, shown);
    QFETCH(bool, enabled);
    QFETCH(int, tag);
    MainFixture f;
    TFrm_Principal* window = f.open();
    QWidget* widget = control(window, controlOfRow());
    QVERIFY(widget);
    QVERIFY2(widget->inherits(qPrintable(kind)), widget->metaObject()->className());
    QString text;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        text = button->text();
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        text = label->text();
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        text = group->title();
    }
    if (!qobject_cast<QLineEdit*>(widget)) {
        QCOMPARE(text, caption);
    }
    QCOMPARE(!widget->isHidden(), shown);
    QCOMPARE(widget->isEnabled(), enabled);
    QCOMPARE(widget->property("tag").toInt(), tag);
    if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
        QVERIFY(!bar->isTextVisible());
    }
}

void TestDiveEditor::header() {
    MainFixture f;
    addDive(f, {{"Date", QDate(2024, 3, 2)}, {"Location", "Cozumel"}, {"Site", "Palancar"}});
    TFrm_Principal* window = f.open();
    auto* number = control<QLineEdit>(window, "dive_ed_id_dive");
    QVERIFY(number);
    QVERIFY(!dynamic_cast<DataAware*>(static_cast<QWidget*>(number)));
    QVERIFY(number->isReadOnly());
    // The rules number the dive by its place in the list.
    QCOMPARE(number->text(), QStringLiteral("1"));
    QCOMPARE(number->palette().color(QPalette::Base), number->palette().color(QPalette::Button));
    QCOMPARE(control<QLineEdit>(window, "dive_date")->displayText(), QStringLiteral(" 3/ 2/2024"));
    QCOMPARE(control<QLineEdit>(window, "dive_location")->text(), QStringLiteral("Cozumel"));
    QCOMPARE(control<QLineEdit>(window, "dive_site")->text(), QStringLiteral("Palancar"));
    // Hints beside the fields whose form is not obvious.
    QCOMPARE(control(window, "dive_bottomtime")->toolTip(), QStringLiteral("hh:mm"));
    QCOMPARE(control(window, "dive_sup_interval")->toolTip(), QStringLiteral("hh:mm"));
    QCOMPARE(control(window, "dbvCurrent_dir")->toolTip(), QStringLiteral("direction"));
    QCOMPARE(control(window, "dbvWind_dir")->toolTip(), QStringLiteral("direction"));
}

// What a selector shows for a stored code (untranslated: no dictionary is loaded).
void TestDiveEditor::shownValues_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("shown");
    const auto row = [](const char* name, const char* table, const char* field,
                        const QVariant& value, int index, const char* shown) {
        QTest::newRow(name) << table << field << value << index << shown;
    };
    // clang-format off
    row("Site_type", "dives", "Site_type", 8, 8, "<quarry>");
    row("Simple_Site_type", "dives", "Site_type", 8, 8, "<pool>");
    row("Simple_Site_type 9", "dives", "Site_type", 9, 9, "<quarry>");
    row("Site_type 10", "dives", "Site_type", 10, -1, "");
    row("Dive_type 8", "dives", "Dive_Type", 8, -1, "");
    row("Dive_type 0", "dives", "Dive_Type", 0, 0, "");
    row("Dive_type2", "dives", "Dive_type2", 5, 5, "<Night_Dive>");
    row("Dive_Media", "dives", "Dive_Media", 3, 2, "<hiperbaric_chamber>");
    row("Dive_Media 0", "dives", "Dive_Media", 0, -1, "");
    row("Activity2", "dives", "Activity2", 12, 12, "<Work>");
    row("Access_Type", "dives", "Access_Type", 3, 3, "<Pond>");
    row("Dive_Rating", "dives", "dive_rating", 4, 3, "4");
    row("Simple_Weather", "conditions", "cond_tiempo_in", 1, 0, "<clear>");
    row("dbvWout", "conditions", "cond_tiempo_out", 7, 7, "<snow>");
    row("Simple_Current", "conditions", "cond_Current", 5, 4, "<heavy>");
    row("dbvSurf", "conditions", "cond_Surf", 1, 1, "<none>");
    row("temp_unit2", "conditions", "cond_temp_unit", 2, 2, "°F");
    row("visibility_unit", "conditions", "cond_visibility_unit", 2, 2, "<ft>");
    row("equip_cil_type", "equipment", "cil_type", 2, 1, "Steel");
    row("equip_cil_unit", "equipment", "cil_size_unit", 2, 2, "<ft3>");
    row("equip_end_used", "equipment", "pres_end_used", 0, 0, "<end>");
    row("equip_end_used 1", "equipment", "pres_end_used", 1, 1, "<used>");
    row("dbvGasMix", "equipment", "gas_mix", 3, 2, "<NitroxI>");
    row("DBValComboBox1", "equipment", "suit_unit", 2, 2, "<inch>");
    row("DBValComboBox20", "equipment", "lead_unit", 2, 2, "<lb>");
    row("DBValComboBox2", "equipment", "lead_estado", 3, 3, "<much>");
    row("DBValComboBox23", "equipment", "pres_unit", 2, 2, "<psi>");
    // clang-format on
}

void TestDiveEditor::shownValues() {
    QFETCH(QString, table);
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QFETCH(int, index);
    QFETCH(QString, shown);
    MainFixture f;
    addDive(f, {{"Date", QDate(2024, 3, 2)}});
    TFrm_Principal* window = f.open();
    Table* rows = tableNamed(f, table);
    rows->edit();
    rows->setValue(field, value);
    rows->post();
    auto* box = control<QComboBox>(window, controlOfRow());
    QVERIFY(box);
    QCOMPARE(box->currentIndex(), index);
    QCOMPARE(box->currentText(), shown);
}

void TestDiveEditor::itemLists_data() {
    QTest::addColumn<QStringList>("items");
    const QStringList weather{"<clear>",      "<cloudy>", "<Misty>", "<Rain>",
                              "<Heavy_rain>", "<Stormy>", "<snow>"};
    const QStringList strength{"<none>", "<calm>", "<moderate>", "<strong>", "<heavy>"};
    QTest::newRow("Simple_Weather") << weather;
    QTest::newRow("dbvWin") << QStringList{""} + weather;
    QTest::newRow("Simple_Current") << strength;
    QTest::newRow("dbvCurrent") << QStringList{""} + strength;
    QTest::newRow("dbvGasMix") << QStringList{"<Air>",    "<Oxigen>",    "<NitroxI>", "<NitroxII>",
                                              "<Heliox>", "<Other_mix>", ""};
    QTest::newRow("Dive_Media") << QStringList{"<salt_water>", "<fresh_water>",
                                               "<hiperbaric_chamber>"};
    QTest::newRow("Dive_Rating") << QStringList{"1", "2", "3", "4", "5"};
    QTest::newRow("Simple_Dive_Rating") << QStringList{"1", "2", "3", "4", "5"};
    QTest::newRow("equip_cil_type") << QStringList{"Aluminium", "Steel"};
    QTest::newRow("temp_unit1") << QStringList{"", "°C", "°F"};
    QTest::newRow("Simple_temp_unit") << QStringList{"", "°C", "°F"};
    QTest::newRow("dive_depth_unit") << QStringList{"", "<m>", "<ft>"};
    QTest::newRow("equip_end_used") << QStringList{"<end>", "<used>"};
}

void TestDiveEditor::itemLists() {
    QFETCH(QStringList, items);
    MainFixture f;
    auto* box = control<QComboBox>(f.open(), controlOfRow());
    QVERIFY(box);
    QStringList shown;
    for (int i = 0; i < box->count(); ++i) {
        shown << box->itemText(i);
    }
    QCOMPARE(shown, items);
}

// Choosing an item stores its code; the blank seventh gas stores null and shows nothing.
void TestDiveEditor::choosingStoresTheValue_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QVariant>("stored");
    const auto row = [](const char* name, const char* table, const char* field, const char* item,
                        const QVariant& stored) {
        QTest::newRow(name) << table << field << item << stored;
    };
    row("Simple_Site_type", "dives", "Site_type", "<pool>", 8);
    row("Site_type", "dives", "Site_type", "<pool>", 9);
    row("Dive_type", "dives", "Dive_Type", "", 0);
    row("Dive_Media", "dives", "Dive_Media", "<fresh_water>", 2);
    row("Dive_Rating", "dives", "dive_rating", "5", 5);
    row("Simple_Weather", "conditions", "cond_tiempo_in", "<clear>", 1);
    row("dbvGasMix blank", "equipment", "gas_mix", "", QVariant());
    row("dbvGasMix other", "equipment", "gas_mix", "<Other_mix>", 6);
    row("equip_end_used", "equipment", "pres_end_used", "<end>", 0);
}

void TestDiveEditor::choosingStoresTheValue() {
    QFETCH(QString, table);
    QFETCH(QString, field);
    QFETCH(QString, item);
    QFETCH(QVariant, stored);
    MainFixture f;
    addDive(f, {{"Date", QDate(2024, 3, 2)}, {"Dive_Type", 8}, {"Dive_Media", 1}},
            {{"cond_tiempo_in", 4}}, {{"gas_mix", 3}, {"pres_end_used", 1}});
    TFrm_Principal* window = f.open();
    auto* box = control<QComboBox>(window, controlOfRow());
    QVERIFY(box);
    const int index = box->findText(item, Qt::MatchExactly);
    QVERIFY(index >= 0);
    choose(box, index);
    Table* rows = tableNamed(f, table);
    if (stored.isValid()) {
        QCOMPARE(rows->asInteger(field), stored.toInt());
        QVERIFY(!rows->isNull(field));
        QCOMPARE(box->currentIndex(), index);
    } else {
        QVERIFY(rows->isNull(field));
        QCOMPARE(box->currentIndex(), -1);
    }
}

// Moving to another dive shows it with its own detail rows, and moving back shows the first.
void TestDiveEditor::followsTheCurrentDive() {
    MainFixture f;
    addDive(f, {{"Date", QDate(2024, 3, 2)}, {"Location", "Cozumel"}, {"Activity", 7}},
            {{"bottom_time", "00:48"}, {"cond_tiempo_in", 2}}, {{"pres_in", 200}, {"pro_wet", 1}});
    addDive(f, {{"Date", QDate(2024, 8, 17)}, {"Location", "Dahab"}, {"Activity", 6}},
            {{"bottom_time", "01:05"}}, {{"pres_in", 3000}, {"pro_wet", 0}});
    TFrm_Principal* window = f.open();
    Table* dives = f.tables->cds_dives;
    const auto shows = [window](const QStringList& expected) {
        const QStringList actual = {
            control<QLineEdit>(window, "dive_location")->text(),
            control<QComboBox>(window, "Activity")->currentText(),
            control<QComboBox>(window, "Simple_Activity")->currentText(),
            control<QLineEdit>(window, "dive_bottomtime")->text(),
            control<QComboBox>(window, "dbvWin")->currentText(),
            control<QLineEdit>(window, "dbePressIn")->text(),
            control<QLineEdit>(window, "DBEdit17")->text(),
            control<QCheckBox>(window, "Simple_ck_pro_wet")->isChecked() ? "wet" : "dry"};
        return actual == expected ? QString() : actual.join(QLatin1Char('|'));
    };
    const QStringList first{
        "Cozumel", "<Recreational>", "<Recreational>", "00:48", "<cloudy>", "200", "200", "wet"};
    const QStringList second{"Dahab", "<Photography>", "<Photography>", "01:05",
                             "",      "3000",          "3000",          "dry"};
    QCOMPARE(shows(second), QString());
    dives->first();
    QCOMPARE(shows(first), QString());
    dives->next();
    QCOMPARE(shows(second), QString());
}

// Typing goes straight into the shared tables, masks keep their literals.
void TestDiveEditor::typingWritesIntoTheTable_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("stored");
    const auto row = [](const char* name, const char* keys, const char* table, const char* field,
                        const char* stored) {
        QTest::newRow(name) << keys << table << field << stored;
    };
    row("dive_location", "Blue Hole", "dives", "Location", "Blue Hole");
    row("dive_date", "03022024", "dives", "Date", "3/2/2024");
    row("dive_bottomtime", "0105", "conditions", "bottom_time", "01:05");
    row("Simple_BottomTime", "0048", "conditions", "bottom_time", "00:48");
    row("dive_sup_interval", "0130", "conditions", "dive_si", "01:30");
    row("dive_stop", "0003", "conditions", "stop", "00:03");
    row("DBMaskEdit2", "31", "equipment", "suit_medida", "3/1");
    row("dive_max_depth", "30.5", "conditions", "max_depth", "30.5");
    row("dbvWind_dir", "NE", "conditions", "cond_wind_dir", "NE");
    row("Device_Vendor", "Suunto", "equipment", "Dc_Vendor", "Suunto");
    row("DBEdit18", "50", "equipment", "pres_out", "50");
    row("dive_team3", "Jon Park", "dives", "team3", "Jon Park");
}

void TestDiveEditor::typingWritesIntoTheTable() {
    QFETCH(QString, keys);
    QFETCH(QString, table);
    QFETCH(QString, field);
    QFETCH(QString, stored);
    MainFixture f;
    addDive(f, {{"Date", QDate(2024, 1, 1)}});
    TFrm_Principal* window = f.openShown();
    auto* edit = control<QLineEdit>(window, controlOfRow());
    QVERIFY(edit);
    showPageOf(window, edit);
    edit->clear();
    typeInto(edit, keys);
    QCOMPARE(tableNamed(f, table)->asString(field), stored);
}

// Text a field cannot take keeps the diver on the dive: no move to another dive, no command on
// it and no closing of the window until it is mended or given up with Escape.
void TestDiveEditor::textTheFieldCannotTakeKeepsTheDive() {
    MainFixture f;
    addDive(f, {{"Date", QDate(2024, 1, 1)}}, {{"max_depth", 18}});
    addDive(f, {{"Date", QDate(2024, 2, 1)}}, {{"max_depth", 30}});
    TFrm_Principal* window = f.openShown();
    Ui::TFrm_Principal* ui = window->ui;
    Table* dives = f.tables->cds_dives;
    auto* depth = control<QLineEdit>(window, "dive_max_depth");
    showPageOf(window, depth);
    depth->clear();
    typeInto(depth, "12,5");
    const QString message = "'12,5' is not a valid floating point value";
    const std::function<void()> attempts[] = {
        [ui] { ui->DbgDives->selectRow(0); }, [ui] { ui->Ac_Lock->trigger(); },
        [ui] { ui->Ac_Add_Dive->trigger(); }, [ui] { ui->Ac_Delete_Dive->trigger(); },
        [window] { QVERIFY(!window->close()); }};
    for (const auto& attempt : attempts) {
        const int shown = f.messages.size();
        attempt();
        QCOMPARE(f.messages.mid(shown), QStringList{message});
        QCOMPARE(dives->recordCount(), 2);
        QCOMPARE(dives->recNo(), 2);
        QVERIFY(dives->isNull("locked"));
        QCOMPARE(f.tables->cds_conditions->asFloat("max_depth"), 30.0);
        QCOMPARE(depth->text(), QString("12,5"));
        QVERIFY(depth->hasFocus());
    }
    QVERIFY(f.modalWindows.isEmpty());
    QVERIFY(window->isVisible());
    QTest::keyClick(depth, Qt::Key_Escape);
    QCOMPARE(depth->text(), QString("30"));
    ui->DbgDives->selectRow(0);
    QCOMPARE(dives->recNo(), 1);
    QCOMPARE(depth->text(), QString("18"));
}

// At most 40 characters can be typed as a location, though the field holds 80; a longer name
// chosen from the directory still shows whole.
void TestDiveEditor::locationTypingLimit() {
    MainFixture f;
    const QString chosen(60, QLatin1Char('L'));
    addDive(f, {{"Date", QDate(2024, 1, 1)}, {"Location", chosen}});
    TFrm_Principal* window = f.openShown();
    auto* location = control<QLineEdit>(window, "dive_location");
    QCOMPARE(location->text(), chosen);
    location->clear();
    typeInto(location, QString(45, QLatin1Char('x')));
    QCOMPARE(f.tables->cds_dives->asString("Location"), QString(40, QLatin1Char('x')));
}

// Two or more selectors on one field: choosing in one shows the choice in all.
void TestDiveEditor::selectorsOnOneField_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QStringList>("followers");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("field");
    QTest::newRow("depth_unit") << "dive_depth_unit"
                                << QStringList{"dive_depth_stop_unit", "Simple_Depth_unit"}
                                << "conditions"
                                << "depth_unit";
    QTest::newRow("depth_unit from the stop")
        << "dive_depth_stop_unit" << QStringList{"dive_depth_unit"} << "conditions"
        << "depth_unit";
    QTest::newRow("pres_unit") << "equip_pres_unit2"
                               << QStringList{"equip_pres_unit", "equip_pres_unit3",
                                              "DBValComboBox23", "DBValComboBox24"}
                               << "equipment"
                               << "pres_unit";
    QTest::newRow("cond_temp_unit")
        << "temp_unit3" << QStringList{"temp_unit1", "temp_unit2", "Simple_temp_unit"}
        << "conditions"
        << "cond_temp_unit";
}

void TestDiveEditor::selectorsOnOneField() {
    QFETCH(QString, chosen);
    QFETCH(QStringList, followers);
    QFETCH(QString, table);
    QFETCH(QString, field);
    MainFixture f;
    addDive(f, {{"Date", QDate(2024, 1, 1)}}, {{"depth_unit", 1}, {"cond_temp_unit", 1}},
            {{"pres_unit", 1}});
    TFrm_Principal* window = f.open();
    choose(control<QComboBox>(window, chosen), 2);
    QCOMPARE(tableNamed(f, table)->asInteger(field), 2);
    for (const QString& name : followers) {
        QCOMPARE(control<QComboBox>(window, name)->currentIndex(), 2);
    }
}

// Salt water ticked stores 1, unticked stores 2 (fresh water) in the environment field.
void TestDiveEditor::saltWaterCheckBox() {
    MainFixture f;
    f.settings->ViewAdvancedDives = false;
    addDive(f, {{"Date", QDate(2024, 1, 1)}, {"Dive_Media", 1}});
    TFrm_Principal* window = f.openShown();
    auto* salt = control<QCheckBox>(window, "Simple_Saltwater");
    auto* media = control<QComboBox>(window, "Dive_Media");
    QVERIFY(salt->isChecked());
    QTest::mouseClick(salt, Qt::LeftButton);
    QCOMPARE(f.tables->cds_dives->asString("Dive_Media"), QStringLiteral("2"));
    QVERIFY(!salt->isChecked());
    QCOMPARE(media->currentText(), QStringLiteral("<fresh_water>"));
    QTest::mouseClick(salt, Qt::LeftButton);
    QCOMPARE(f.tables->cds_dives->asString("Dive_Media"), QStringLiteral("1"));
    // A hyperbaric chamber is no salt water.
    choose(media, 2);
    QVERIFY(!salt->isChecked());
}

void TestDiveEditor::captionsTranslated() {
    MainFixture f(kLanguage);
    addDive(f, {{"Date", QDate(2024, 1, 1)}, {"Dive_Media", 1}, {"Dive_Type", 1}});
    TFrm_Principal* window = f.open();
    QCOMPARE(control<QLabel>(window, "lb_media_type")->text(), QStringLiteral("Environment"));
    QCOMPARE(control<QLabel>(window, "lb_diven")->text(), QStringLiteral("Dive No."));
    QCOMPARE(control<QGroupBox>(window, "pl_general2")->title(),
             QStringLiteral("Dive Verification"));
    QCOMPARE(control<QCheckBox>(window, "Simple_Saltwater")->text(), QStringLiteral("Salt Water"));
    QCOMPARE(control<QCheckBox>(window, "equip_twin")->text(), QStringLiteral("Twin Tank"));
    QCOMPARE(control<QPushButton>(window, "Button8")->text(), QStringLiteral("Notes"));
    QCOMPARE(control<QPushButton>(window, "dive_invite_buddy")->text(),
             QStringLiteral("Invite User"));
    QCOMPARE(control<QGroupBox>(window, "pl_general3")->title(), QStringLiteral("General"));
    // List entries are translated in place and the record's choice stays shown and stored.
    auto* media = control<QComboBox>(window, "Dive_Media");
    QCOMPARE(media->currentText(), QStringLiteral("Salt Water"));
    QCOMPARE(control<QComboBox>(window, "Simple_Dive_type")->currentText(),
             QStringLiteral("Beach"));
    QCOMPARE(f.tables->cds_dives->state(), Table::State::Browse);
    QCOMPARE(f.tables->cds_dives->asInteger("Dive_Type"), 1);
    // Literal captions stay, a key the dictionary lacks keeps its brackets.
    QCOMPARE(control<QGroupBox>(window, "pl_device")->title(), QStringLiteral(" Device "));
    QCOMPARE(control<QLabel>(window, "lb_vendor")->text(), QStringLiteral("Vendor"));
    QCOMPARE(window->ui->PageAdvanced->tabText(3), QStringLiteral("DC Profile"));
    QCOMPARE(control<QComboBox>(window, "equip_cil_type")->itemText(0),
             QStringLiteral("Aluminium"));
    QCOMPARE(control<QLabel>(window, "lb_access")->text(), QStringLiteral("<access>"));
}

void TestDiveEditor::inviteButtonFollowsItsAction() {
    MainFixture f;
    TFrm_Principal* window = f.open();
    QAction* invite = window->ui->Ac_Invite_User;
    auto* button = control<QPushButton>(window, "dive_invite_buddy");
    QSignalSpy triggered(invite, &QAction::triggered);
    QVERIFY(!button->isEnabled());
    invite->setEnabled(true);
    QVERIFY(button->isEnabled());
    button->click();
    QCOMPARE(triggered.size(), 1);
    invite->setEnabled(false);
    QVERIFY(!button->isEnabled());
}

// A right click on the certification icon offers the Update command.
void TestDiveEditor::certificationIconMenu() {
    MainFixture f;
    TFrm_Principal* window = f.openShown();
    QLabel* cert = window->ui->img_cert;
    QVERIFY(!cert->pixmap().isNull());
    QVERIFY(!window->ui->img_cert_buddy->pixmap().isNull());
    window->ui->pnlCert->show();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(4, 4),
                            cert->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(cert, &click);
    QVERIFY(window->pup_certi->isVisible());
    QVERIFY(window->pup_certi->actions().contains(window->ui->AcDiveUpdate2));
    window->pup_certi->close();
}

// Tab walks the header, then the general page's left column top to bottom, then its right.
void TestDiveEditor::tabOrderFollowsTheColumns() {
    MainFixture f;
    f.settings->ViewAdvancedDives = true;
    addDive(f, {{"Date", QDate(2024, 1, 1)}});
    TFrm_Principal* window = f.openShown();
    QStringList order;
    QWidget* at = control(window, "dive_date");
    for (int steps = 0; at && order.size() < 32 && steps < 2000; ++steps) {
        // The stops Qt's Tab key takes: a widget with a focus proxy hands its focus on.
        const bool stop = at->isVisible() && at->isEnabled() &&
                          (at->focusPolicy() & Qt::TabFocus) && !at->focusProxy();
        if (stop) {
            order << (at->inherits("QTabBar") ? QStringLiteral("(page tabs)") : at->objectName());
        }
        at = at->nextInFocusChain();
    }
    const QStringList expected = {
        "dive_date",    "bt_date",         "dive_location", "bt_chk_location", "dive_site",
        "(page tabs)",  "Dive_Media",      "Activity",      "Activity2",       "Dive_Rating",
        "bt_Advanced",  "Site_type",       "Dive_type",     "Dive_type2",      "Access_Type",
        "bt_Notes",     "dive_operator",   "bt_chk_op",     "dive_school",     "bt_chk_scho",
        "ck_xLeader",   "dive_instructor", "bt_chk_inst",   "dive_buddy",      "bt_chk_buddy",
        "dive_team1",   "bt_chk_Team1",    "dive_team2",    "bt_chk_Team2",    "dive_team3",
        "bt_chk_Team3", "dive_team4"};
    QCOMPARE(order, expected);
}

// In the 750 x 500 first-run window no page needs sideways scrolling, with the captions of
// the shipped dictionary.
void TestDiveEditor::pagesFitTheSmallFirstRunWindow() {
    MainFixture f(TestSupport::readFile(
        QDir(qEnvironmentVariable("NEREVA_SOURCE_DIR")).filePath("resources/language.xml")));
    f.settings->ViewAdvancedDives = true;
    TFrm_Principal* window = f.openShown(QRect(0, 0, 800, 600));
    QCOMPARE(window->size(), QSize(750, 500));
    Ui::TFrm_Principal* ui = window->ui;
    for (int page = 0; page < ui->PageAdvanced->count(); ++page) {
        ui->PageAdvanced->setCurrentIndex(page);
        QApplication::processEvents();
        for (QScrollArea* area : ui->PageAdvanced->widget(page)->findChildren<QScrollArea*>()) {
            QVERIFY2(!area->horizontalScrollBar()->isVisible(), qPrintable(area->objectName()));
        }
    }
    ui->PageAdvanced->hide();
    ui->PageSimple->show();
    QApplication::processEvents();
    QVERIFY(!ui->PageSimple->horizontalScrollBar()->isVisible());
}

// The location band takes a row of its own while the editor is too narrow for both bands; the
// diver's choice, which is what the settings keep, stays one row.
void TestDiveEditor::locationBandWrapsWhenNarrow() {
    MainFixture f;
    TFrm_Principal* window = f.openShown(QRect(0, 0, 800, 600));
    Ui::TFrm_Principal* ui = window->ui;
    auto* bands = qobject_cast<QGridLayout*>(ui->barDetails->layout());
    const auto locationRow = [bands, ui] {
        int row = -1, column = -1, rows = 0, columns = 0;
        bands->getItemPosition(bands->indexOf(ui->pnlLocations), &row, &column, &rows, &columns);
        return row;
    };
    QCOMPARE(locationRow(), 1);
    window->resize(1400, 700);
    QApplication::processEvents();
    QCOMPARE(locationRow(), 0);
    QVERIFY(ui->dive_site->width() >= 100);
    window->resize(750, 500);
    QApplication::processEvents();
    QCOMPARE(locationRow(), 1);
    QVERIFY(!window->locationBreak());
    f.closeWindow();
    QCOMPARE(f.position("Location_break"), 0);
}

NEREVA_TEST_MAIN(TestDiveEditor)
#include "test_dive_editor.moc"
