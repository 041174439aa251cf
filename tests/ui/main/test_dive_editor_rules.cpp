#include "main_fixture.h"
#include "ui/db/controls/db_check_box.h"
#include "ui/db/controls/db_edit.h"
#include "ui/main/dive_editor_rules.h"
#include "ui/main/fixed_place.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <climits>
#include <functional>

Q_DECLARE_METATYPE(DiveFacts)

namespace {

// A control's state in a few words: "ro grey", "rw white", "ro" (read-only, colour kept),
// "on"/"off", "shown"/"hidden", "checked"/"unchecked", "'text'"; "untouched" when absent.
QString describe(const EditorState& state, const QString& name) {
    if (!state.contains(name)) {
        return QStringLiteral("untouched");
    }
    const ControlState& s = state[name];
    QStringList parts;
    auto add = [&parts](const std::optional<bool>& part, const char* yes, const char* no) {
        if (part) {
            parts << QString::fromLatin1(*part ? yes : no);
        }
    };
    add(s.readOnly, "ro", "rw");
    add(s.grey, "grey", "white");
    add(s.enabled, "on", "off");
    add(s.visible, "shown", "hidden");
    add(s.checked, "checked", "unchecked");
    if (s.text) {
        parts << QLatin1Char('\'') + *s.text + QLatin1Char('\'');
    }
    return parts.join(QLatin1Char(' '));
}

// The third dive of the log, not locked, not certified, no linked names; `change` adjusts it.
DiveFacts dive(const std::function<void(DiveFacts&)>& change = {}) {
    DiveFacts facts;
    facts.hasDive = true;
    facts.position = 3;
    if (change) {
        change(facts);
    }
    return facts;
}

// clang-format off
const QStringList kCommandsOfAPlainDive = {
    "Ac_Delete_Dive=on", "Ac_Dive_Update=off", "Ac_Lock=on unchecked", "Print1=on",
    "AdvancedInformation1=on", "GeneralNotes1=on", "img_cert=hidden", "img_cert_buddy=hidden",
    "pnlCert=hidden", "dive_ed_id_dive='3'"};

const QStringList kEverythingEditable = {
    "dive_date=rw white", "bt_date=on", "Dive_Media=rw white", "Simple_Saltwater=rw",
    "Activity2=rw white", "dive_time_start=rw white", "Simple_BottomTime=rw white",
    "dive_location=rw white", "dive_site=rw white", "dive_operator=rw white",
    "Simple_dive_operator=rw white", "dive_school=rw white", "Dive_type=rw white",
    "Simple_Dive_type=rw white", "Simple_Site_type=rw white", "Access_Type=rw white",
    "lb_Dive_type=on", "lb_access=on", "ck_xLeader=rw", "Dive_Rating=rw white",
    "dbvWind_dir=rw white", "equip_end_used=rw white", "Device_Vendor=rw white", "ck_waves=rw",
    "equip_twin=rw", "Simple_ckCold=rw", "pl_equip2=on", "pl_equip3=on", "Simlpe_pl_equip=on",
    "dive_buddy=rw white", "Simple_dive_buddy=rw white", "dive_instructor=rw white",
    "dive_team5=rw white", "bt_chk_location=on", "dive_site1=on", "bt_chk_op=on", "bt_chk_scho=on",
    "bt_chk_buddy=on", "bt_chk_Team3=on", "bt_chk_inst=on", "bt_deco_stops=hidden"};

const QStringList kLocked = {
    "dive_date=ro grey", "bt_date=off", "Dive_Media=ro grey", "Simple_Saltwater=ro",
    "Simple_Depth_unit=ro grey", "dive_location=ro grey", "dive_site=ro grey",
    "dive_operator=ro grey", "Simple_dive_operator=ro grey", "Dive_type=ro grey",
    "Simple_Site_type=ro grey", "lb_site_type=on", "ck_xLeader=ro", "Dive_Rating=ro grey",
    "Simple_sup_interval=ro grey", "temp_unit3=ro grey", "dbePressIn=ro grey",
    "equip_end_used=ro grey", "Device_Model=ro grey", "dbckCold=ro", "ck_surge=ro",
    "equip_twin=ro", "pl_equip2=off", "pl_equip3=off", "Simlpe_pl_equip=off", "dive_buddy=ro grey",
    "Simple_dive_buddy=ro grey", "dive_instructor=ro grey", "dive_team1=ro grey",
    "bt_chk_location=off", "dive_site1=off", "bt_chk_op=off", "bt_chk_scho=off",
    "bt_chk_buddy=off", "bt_chk_Team5=off", "bt_chk_inst=off", "Ac_Lock=on checked",
    "Ac_Dive_Update=on", "Ac_Delete_Dive=off", "Print1=on", "GeneralNotes1=on", "Pictures1=off"};

// Certified: the core is fixed, the rest stays open.
const QStringList kCertified = {
    "img_cert=shown", "img_cert_buddy=hidden", "pnlCert=shown", "dive_date=ro grey", "bt_date=off",
    "dive_time_start=ro grey", "dive_max_depth=ro grey", "dive_altitude=ro grey",
    "Activity=ro grey", "Dive_Media=ro grey", "Simple_Saltwater=ro", "dive_location=ro grey",
    "dive_site=ro grey", "dive_operator=ro grey", "Simple_dive_operator=ro grey",
    "dive_school=ro grey", "Dive_type=ro grey", "Dive_type2=ro grey", "Simple_Dive_type=ro grey",
    "Access_Type=ro grey", "lb_Dive_type=on", "ck_xLeader=ro", "Dive_Rating=rw white",
    "visibility=rw white", "dbvGasMix=rw white", "equip_cil_size=rw white", "ck_waves=rw",
    "pl_equip2=on", "Simlpe_pl_equip=on", "dive_buddy=rw white", "Simple_dive_buddy=rw white",
    "dive_instructor=rw white", "dive_team1=rw white", "bt_chk_location=off", "dive_site1=off",
    "bt_chk_op=off", "bt_chk_scho=off", "bt_chk_buddy=on", "bt_chk_inst=on", "bt_chk_Team2=on",
    "Ac_Delete_Dive=off", "Ac_Dive_Update=on", "Ac_Lock=on unchecked", "Print1=on"};
// clang-format on

QStringList operator+(QStringList a, const char* b) {
    a << QString::fromLatin1(b);
    return a;
}

// Dives of each kind: between them (online and offline) the rules touch every control they know.
QList<DiveFacts> diveKinds() {
    auto linked = [](DiveFacts& d) {
        d.idLocation = d.idSite = d.idOperator = d.idSchool = d.idBuddy = d.idInstructor = 4;
        d.idTeam = {1, 2, 3, 4, 5};
        d.idDive = 9;
    };
    return {DiveFacts{}, dive(), dive(linked), dive([&](DiveFacts& d) {
                linked(d);
                d.locked = 1;
                d.certifyBy = 1;
                d.diveDeco = 1;
            }),
            dive([](DiveFacts& d) { d.diveMedia = 3; })};
}

void addDive(Tdm_rdp& tables, const QMap<QString, QVariant>& values) {
    Table* dives = tables.cds_dives;
    dives->append();
    dives->setValue(QStringLiteral("Date"), QDate(2024, 5, 1 + dives->recordCount()));
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        dives->setValue(it.key(), it.value());
    }
    dives->post();
}

void addEquipment(Tdm_rdp& tables, double presIn, double presOut) {
    Table* equipment = tables.cds_equipment;
    equipment->append();
    equipment->setValue(QStringLiteral("pres_in"), presIn);
    equipment->setValue(QStringLiteral("pres_out"), presOut);
    equipment->post();
}

// The colour a control's field is painted in.
QColor baseOf(const QWidget* widget) {
    const auto* control = dynamic_cast<const DataAware*>(widget);
    return control ? control->fieldColour() : widget->palette().color(QPalette::Base);
}

QColor standard(QPalette::ColorRole role) {
    return QApplication::palette().color(role);
}

QWidget* widgetIn(QWidget* window, const char* name) {
    return window->findChild<QWidget*>(QLatin1String(name));
}

// A data-aware control as the diver sees it: "ro grey", "rw white", ...; "missing" when the
// window has no such control.
QString lookOf(QWidget* window, const char* name) {
    QWidget* widget = widgetIn(window, name);
    auto* control = dynamic_cast<DataAware*>(widget);
    if (!control) {
        return QStringLiteral("missing");
    }
    const bool grey = baseOf(widget) == standard(QPalette::Button);
    return QString::fromLatin1(control->readOnlyState() ? "ro " : "rw ") +
           QString::fromLatin1(grey ? "grey" : "white");
}

QString shownOf(QWidget* window, const char* name) {
    const QWidget* widget = widgetIn(window, name);
    return !widget ? QStringLiteral("missing")
                   : QString::fromLatin1(widget->isHidden() ? "hidden" : "shown");
}

QString enabledOf(QWidget* window, const char* name) {
    const QWidget* widget = widgetIn(window, name);
    return !widget ? QStringLiteral("missing")
                   : QString::fromLatin1(widget->isEnabled() ? "on" : "off");
}

// "name: what" so that a failing comparison in a loop tells which control it was.
QString named(const char* name, const QString& what) {
    return QString::fromLatin1(name) + QStringLiteral(": ") + what;
}

QString named(const char* name, const char* what) {
    return named(name, QString::fromLatin1(what));
}

// One dive of every kind the rules tell apart, online: plain, linked names, locked, certified,
// confirmed by the buddy, in a chamber, with decompression stops, a buddy to invite.
void addDivesOfEveryKind(MainFixture& f) {
    f.setOnline(true);
    const QList<QMap<QString, QVariant>> kinds = {
        {},
        {{"id_dive", 7},
         {"id_Location", 3},
         {"id_site", 4},
         {"id_operator", 5},
         {"id_buddy", 6},
         {"id_team2", 8}},
        {{"locked", 1}, {"id_dive", 9}},
        {{"certify_by", 1}, {"id_dive", 10}, {"id_instructor", 2}},
        {{"certify_by", 2}, {"id_dive", 11}},
        {{"Dive_Media", 3}},
        {{"Dive_Deco", 1}, {"xTeam_Leader", 1}},
        {{"buddy", "Tom Baker"}}};
    for (const auto& kind : kinds) {
        addDive(*f.tables, kind);
    }
}

// Every named control and command of the window as the diver meets it.
QStringList everythingShown(QWidget* window) {
    QStringList shown;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->objectName().isEmpty() || widget->objectName().startsWith("qt_")) {
            continue;
        }
        QString look = widget->isHidden() ? "hidden" : "shown";
        look += widget->testAttribute(Qt::WA_ForceDisabled) ? " off" : " on";
        if (auto* control = dynamic_cast<DataAware*>(widget)) {
            look += control->readOnlyState() ? " ro" : " rw";
            look += ' ' + control->fieldColour().name();
        }
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            look += " '" + edit->text() + "'";
        }
        shown << widget->objectName() + '=' + look;
    }
    for (QAction* action : window->findChildren<QAction*>()) {
        shown << action->objectName() + '=' + (action->isEnabled() ? "on" : "off") +
                     (action->isChecked() ? " checked" : "");
    }
    shown.sort();
    return shown;
}

// Counts the events of `types` that reach the widgets of one window.
class EventCount : public QObject {
public:
    EventCount(QWidget* window, QSet<QEvent::Type> types)
        : window_(window), types_(std::move(types)) {
        qApp->installEventFilter(this);
    }
    ~EventCount() override { qApp->removeEventFilter(this); }
    QStringList seen;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched->isWidgetType() && types_.contains(event->type()) &&
            static_cast<QWidget*>(watched)->window() == window_) {
            seen << watched->objectName() + QLatin1Char(':') + QString::number(event->type());
        }
        return false;
    }

private:
    QWidget* window_;
    QSet<QEvent::Type> types_;
};

QString textOf(QWidget* window, const char* name) {
    const auto* edit = window->findChild<QLineEdit*>(QLatin1String(name));
    return edit ? edit->text() : QStringLiteral("missing");
}

}  // namespace

class TestDiveEditorRules : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void rulesForADive_data();
    void rulesForADive();
    void lockedDiveFreezesEveryControl();
    void editableDivesKeepEveryControlOpen_data();
    void editableDivesKeepEveryControlOpen();
    void factsOfTheCurrentRow();
    void factsOfAClosedOrEmptyTable();
    void editingDefaults_data();
    void editingDefaults();
    void editingDefaultsOnlyWhileEditing();
    void editingDefaultsRaiseBusy();
    void pressureBar_data();
    void pressureBar();
    void applyingToControls();
    void readOnlyAloneKeepsTheColour();
    void everyNameTheRulesSetIsInTheWindow();
    void lockedDiveInTheWindow();
    void emptyLogTakesNoTyping();
    void certifiedDiveShowsTheStrip();
    void editingADiveInTheWindowSetsItsDefaults();
    void pressureBarInTheWindow();
    void busyLeavesOnlyTheStrip();
    void connectionChangeReevaluates();
    void attachingTwiceKeepsOneSetOfRules();
    void walkingThroughTheLogLooksAsAFreshWindow();
    void aDiveChangeMovesNothing();
    void divesOfOneKindRepaintNoColour();
    void aFixedPlaceFollowsItsWidgetsSize();
};

void TestDiveEditorRules::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
}

// Pure rules ----------------------------------------------------------------------------------

void TestDiveEditorRules::rulesForADive_data() {
    QTest::addColumn<DiveFacts>("facts");
    QTest::addColumn<bool>("online");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty log")
        << DiveFacts{} << true
        << QStringList{
               "dive_ed_id_dive=''", "Ac_Delete_Dive=off", "Print1=off", "AdvancedInformation1=off",
               "GeneralNotes1=off", "dive_site1=off", "Ac_Lock=off unchecked", "Ac_Dive_Update=off",
               "Pictures1=off", "img_cert=hidden", "img_cert_buddy=hidden", "pnlCert=hidden",
               "bt_valid_bu=hidden", "bt_valid_team3=hidden", "dive_invite_buddy=hidden",
               // nothing to type into: no dive, nor a detail row that no dive shows
               "dive_date=ro grey", "bt_date=off", "bt_deco_stops=hidden", "dive_location=ro grey",
               "dive_site=ro grey", "dive_max_depth=ro grey", "visibility=ro grey",
               "dbePressIn=ro grey", "Simple_dive_buddy=ro grey", "Simple_dive_operator=ro grey",
               "dive_team2=ro grey", "Dive_type=ro grey", "Simple_Saltwater=ro", "ck_waves=ro",
               "pl_equip2=off", "Simlpe_pl_equip=off", "bt_chk_location=off", "bt_chk_op=off",
               "bt_chk_buddy=off", "bt_chk_inst=off", "bt_chk_Team4=off"};
    QTest::newRow("plain dive") << dive() << true
                                << kEverythingEditable + kCommandsOfAPlainDive + "Pictures1=off" +
                                       "bt_valid_location=hidden" + "dive_invite_buddy=hidden";
    QTest::newRow("new dive being inserted")
        << dive([](DiveFacts& d) { d.position = 0; }) << true
        << kEverythingEditable + "dive_ed_id_dive=''" + "Ac_Delete_Dive=on";
    QTest::newRow("locked") << dive([](DiveFacts& d) {
        d.locked = 1;
        d.idDive = 12;
    }) << true << kLocked + "img_cert=hidden" + "pnlCert=hidden";
    QTest::newRow("locked and certified") << dive([](DiveFacts& d) {
        d.locked = 1;
        d.certifyBy = 1;
    }) << true << kLocked + "img_cert=shown" + "pnlCert=shown";
    QTest::newRow("certified") << dive([](DiveFacts& d) {
        d.certifyBy = 1;
        d.idDive = 40;
    }) << true << kCertified + "Pictures1=on";
    QTest::newRow("certified hyperbaric chamber: the types are simply fixed")
        << dive([](DiveFacts& d) {
               d.certifyBy = 1;
               d.diveMedia = 3;
           })
        << true << kCertified + "lb_site_type=on" + "lb_access=on";
    QTest::newRow("confirmed by the buddy")
        << dive([](DiveFacts& d) { d.certifyBy = 2; }) << true
        << kEverythingEditable + "img_cert=hidden" + "img_cert_buddy=shown" + "pnlCert=shown" +
               "Ac_Delete_Dive=on" + "Ac_Dive_Update=off";
    QTest::newRow("certified dive being modified")
        << dive([](DiveFacts& d) { d.certifyBy = -1; }) << true
        << kEverythingEditable + kCommandsOfAPlainDive;
    QTest::newRow("hyperbaric chamber")
        << dive([](DiveFacts& d) { d.diveMedia = 3; }) << true
        << QStringList{
               "Dive_type=ro grey",   "Dive_type2=ro grey",       "Site_type=ro grey",
               "Access_Type=ro grey", "Simple_Dive_type=ro grey", "Simple_Site_type=ro grey",
               "lb_Dive_type=off",    "lb_site_type=off",         "lb_access=off",
               "Dive_Media=rw white", "Activity=rw white",        "Ac_Delete_Dive=on"};
    QTest::newRow("salt water: types open") << dive([](DiveFacts& d) { d.diveMedia = 1; }) << true
                                            << QStringList{"Dive_type=rw white", "lb_access=on"};
    QTest::newRow("decompression dive") << dive([](DiveFacts& d) { d.diveDeco = 1; }) << true
                                        << QStringList{"bt_deco_stops=shown", "dive_stop=rw white"};
    QTest::newRow("linked operator")
        << dive([](DiveFacts& d) { d.idOperator = 5; }) << true
        << QStringList{"dive_operator=ro grey",        "bt_valid_op=shown",
                       "Simple_dive_operator=ro grey", "bt_chk_op=on",
                       "dive_school=rw white",         "bt_valid_scho=hidden"};
    QTest::newRow("linked school") << dive([](DiveFacts& d) { d.idSchool = 6; }) << true
                                   << QStringList{"dive_school=ro grey", "bt_valid_scho=shown",
                                                  "dive_operator=rw white", "bt_chk_scho=on"};
    QTest::newRow("linked location, typed site")
        << dive([](DiveFacts& d) { d.idLocation = 7; }) << true
        << QStringList{"dive_location=ro grey", "dive_site=rw white", "bt_valid_location=shown",
                       "bt_chk_location=on"};
    QTest::newRow("linked location and site") << dive([](DiveFacts& d) {
        d.idLocation = 7;
        d.idSite = 9;
    }) << true << QStringList{"dive_location=ro grey", "dive_site=ro grey"};
    QTest::newRow("typed location frees its site")
        << dive([](DiveFacts& d) { d.idSite = 9; }) << true
        << QStringList{"dive_location=rw white", "dive_site=rw white", "bt_valid_location=hidden"};
    QTest::newRow("linked buddy") << dive([](DiveFacts& d) {
        d.idBuddy = 12;
        d.buddy = QStringLiteral("Ann");
    }) << true
                                  << QStringList{"dive_buddy=ro grey", "Simple_dive_buddy=ro grey",
                                                 "bt_valid_bu=shown", "dive_invite_buddy=hidden",
                                                 "bt_chk_buddy=on"};
    QTest::newRow("typed buddy online: invite")
        << dive([](DiveFacts& d) { d.buddy = QStringLiteral("Ann"); }) << true
        << QStringList{"dive_buddy=rw white", "bt_valid_bu=hidden", "dive_invite_buddy=shown"};
    QTest::newRow("typed buddy offline: no invite")
        << dive([](DiveFacts& d) { d.buddy = QStringLiteral("Ann"); }) << false
        << QStringList{"dive_buddy=rw white", "dive_invite_buddy=hidden"};
    QTest::newRow("no buddy: no invite")
        << dive() << true << QStringList{"dive_invite_buddy=hidden"};
    QTest::newRow("linked team members") << dive([](DiveFacts& d) {
        d.idTeam = {0, 21, 0, 0, 25};
    }) << true << QStringList{"dive_team1=rw white",  "dive_team2=ro grey",
                              "dive_team5=ro grey",   "bt_valid_team1=hidden",
                              "bt_valid_team2=shown", "bt_valid_team5=shown",
                              "bt_chk_Team2=on"};
    QTest::newRow("linked instructor")
        << dive([](DiveFacts& d) { d.idInstructor = 8; }) << true
        << QStringList{"dive_instructor=ro grey", "bt_valid_inst=shown", "bt_chk_inst=on"};
    QTest::newRow("the diver led the dive")
        << dive([](DiveFacts& d) { d.xTeamLeader = 1; }) << true
        << QStringList{"dive_instructor=ro grey", "bt_chk_inst=off", "bt_valid_inst=hidden",
                       "ck_xLeader=rw"};
    QTest::newRow("the diver led the dive, instructor linked") << dive([](DiveFacts& d) {
        d.xTeamLeader = 1;
        d.idInstructor = 8;
    }) << true << QStringList{"dive_instructor=ro grey", "bt_chk_inst=off", "bt_valid_inst=shown"};
    QTest::newRow("synchronised dive online")
        << dive([](DiveFacts& d) { d.idDive = 40; }) << true << QStringList{"Pictures1=on"};
    QTest::newRow("synchronised linked dive offline") << dive([](DiveFacts& d) {
        d.idDive = 40;
        d.idLocation = d.idOperator = d.idSchool = d.idBuddy = d.idInstructor = 3;
        d.idTeam = {1, 2, 3, 4, 5};
    }) << false << QStringList{"Pictures1=off",         "bt_valid_location=hidden",
                               "bt_valid_op=hidden",    "bt_valid_scho=hidden",
                               "bt_valid_bu=hidden",    "bt_valid_inst=hidden",
                               "bt_valid_team1=hidden", "bt_valid_team4=hidden",
                               "dive_operator=ro grey", "dive_team3=ro grey"};
}

void TestDiveEditorRules::rulesForADive() {
    QFETCH(DiveFacts, facts);
    QFETCH(bool, online);
    QFETCH(QStringList, expected);
    const EditorState state = evaluateDiveRules(facts, online);
    for (const QString& entry : expected) {
        const QString name = entry.section(QLatin1Char('='), 0, 0);
        const QString want = entry.section(QLatin1Char('='), 1);
        if (describe(state, name) != want) {
            QFAIL(qPrintable(
                QStringLiteral("%1: %2, expected %3").arg(name, describe(state, name), want)));
        }
    }
}

// A locked dive: whatever the rules touch is read-only (and grey when it has a colour) or
// disabled, except the commands that still make sense.
void TestDiveEditorRules::lockedDiveFreezesEveryControl() {
    const QStringList stillOn = {"Ac_Lock",       "Print1",         "AdvancedInformation1",
                                 "GeneralNotes1", "Ac_Dive_Update", "lb_Dive_type",
                                 "lb_site_type",  "lb_access"};
    const EditorState state = evaluateDiveRules(dive([](DiveFacts& d) {
                                                    d.locked = 1;
                                                    d.idDive = 3;
                                                }),
                                                true);
    int readOnly = 0;
    for (auto it = state.cbegin(); it != state.cend(); ++it) {
        const ControlState& s = it.value();
        QVERIFY2(!s.readOnly || *s.readOnly, qPrintable(it.key()));
        QVERIFY2(!s.grey || *s.grey, qPrintable(it.key()));
        QVERIFY2(!s.enabled || *s.enabled == stillOn.contains(it.key()), qPrintable(it.key()));
        readOnly += s.readOnly ? 1 : 0;
    }
    QVERIFY(readOnly > 60);
}

void TestDiveEditorRules::editableDivesKeepEveryControlOpen_data() {
    QTest::addColumn<DiveFacts>("facts");
    QTest::addColumn<bool>("online");
    QTest::newRow("plain") << dive() << true;
    QTest::newRow("offline") << dive() << false;
    QTest::newRow("confirmed by the buddy") << dive([](DiveFacts& d) { d.certifyBy = 2; }) << true;
    QTest::newRow("modified certified") << dive([](DiveFacts& d) { d.certifyBy = -1; }) << true;
    QTest::newRow("decompression") << dive([](DiveFacts& d) { d.diveDeco = 1; }) << true;
    QTest::newRow("locked 2: only 1 locks") << dive([](DiveFacts& d) { d.locked = 2; }) << true;
}

void TestDiveEditorRules::editableDivesKeepEveryControlOpen() {
    QFETCH(DiveFacts, facts);
    QFETCH(bool, online);
    const EditorState state = evaluateDiveRules(facts, online);
    for (auto it = state.cbegin(); it != state.cend(); ++it) {
        QVERIFY2(!it.value().readOnly.value_or(false), qPrintable(it.key()));
        QVERIFY2(!it.value().grey.value_or(false), qPrintable(it.key()));
    }
    QCOMPARE(describe(state, "Ac_Delete_Dive"), QStringLiteral("on"));
    QCOMPARE(describe(state, "Ac_Dive_Update"), QStringLiteral("off"));
}

// Facts -------------------------------------------------------------------------------------

void TestDiveEditorRules::factsOfTheCurrentRow() {
    MainFixture f;
    addDive(*f.tables, {});
    addDive(*f.tables, {{"locked", 1},
                        {"certify_by", 2},
                        {"id_Location", 3},
                        {"id_site", 4},
                        {"id_operator", 5},
                        {"id_school", 6},
                        {"id_buddy", 7},
                        {"buddy", "Ann"},
                        {"id_instructor", 8},
                        {"xTeam_Leader", 1},
                        {"id_team1", 11},
                        {"id_team3", 13},
                        {"id_team5", 15},
                        {"Dive_Media", 3},
                        {"Dive_Deco", 1},
                        {"id_dive", 90}});
    Table* dives = f.tables->cds_dives;
    dives->setRecNo(2);
    const DiveFacts facts = factsOf(dives);
    QVERIFY(facts.hasDive);
    QCOMPARE(facts.position, 2);
    QCOMPARE(facts.locked, 1);
    QCOMPARE(facts.certifyBy, 2);
    QCOMPARE(facts.idLocation, 3);
    QCOMPARE(facts.idSite, 4);
    QCOMPARE(facts.idOperator, 5);
    QCOMPARE(facts.idSchool, 6);
    QCOMPARE(facts.idBuddy, 7);
    QCOMPARE(facts.buddy, QStringLiteral("Ann"));
    QCOMPARE(facts.idInstructor, 8);
    QCOMPARE(facts.xTeamLeader, 1);
    QCOMPARE(facts.idTeam, (std::array<int, 5>{11, 0, 13, 0, 15}));
    QCOMPARE(facts.diveMedia, 3);
    QCOMPARE(facts.diveDeco, 1);
    QCOMPARE(facts.idDive, 90);

    dives->setRecNo(1);  // null fields read as 0
    const DiveFacts plain = factsOf(dives);
    QCOMPARE(plain.position, 1);
    QCOMPARE(plain.locked, 0);
    QCOMPARE(plain.certifyBy, 0);
    QCOMPARE(plain.buddy, QString());
    QCOMPARE(plain.idDive, 0);

    dives->append();  // a new dive has no place in the list yet
    const DiveFacts inserting = factsOf(dives);
    QVERIFY(inserting.hasDive);
    QCOMPARE(inserting.position, 0);
}

void TestDiveEditorRules::factsOfAClosedOrEmptyTable() {
    MainFixture f;
    QVERIFY(!factsOf(nullptr).hasDive);
    QVERIFY(!factsOf(f.tables->cds_dives).hasDive);
    addDive(*f.tables, {{"locked", 1}});
    f.tables->cds_dives->close();
    const DiveFacts closed = factsOf(f.tables->cds_dives);
    QVERIFY(!closed.hasDive);
    QCOMPARE(closed.locked, 0);
}

// Defaults while editing --------------------------------------------------------------------

void TestDiveEditorRules::editingDefaults_data() {
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<QVariantMap>("expected");  // null: QVariant()
    const QVariant null;
    QTest::newRow("all null") << QVariantMap{}
                              << QVariantMap{{"Dive_Nivel", 0},  {"Dive_Deco", 0},
                                             {"Access_Type", 0}, {"dive_day", 0},
                                             {"dive_night", 0},  {"dive_sunrise", 0},
                                             {"dive_sunset", 0}, {"xTeam_Leader", 0}};
    QTest::newRow("access set: its flags stay null")
        << QVariantMap{{"Access_Type", 2}, {"Dive_Nivel", 1}}
        << QVariantMap{{"Dive_Nivel", 1},  {"Dive_Deco", 0},     {"Access_Type", 2},
                       {"dive_day", null}, {"dive_night", null}, {"xTeam_Leader", null}};
    // Defaults fill what is missing; a flag the dive holds is never cleared.
    QTest::newRow("stored flags kept")
        << QVariantMap{{"Dive_Deco", 1}, {"dive_night", 1}, {"xTeam_Leader", 1}}
        << QVariantMap{{"Dive_Nivel", 0},  {"Dive_Deco", 1},   {"Access_Type", 0},
                       {"dive_day", 0},    {"dive_night", 1},  {"dive_sunrise", 0},
                       {"dive_sunset", 0}, {"xTeam_Leader", 1}};
}

void TestDiveEditorRules::editingDefaults() {
    QFETCH(QVariantMap, stored);
    QFETCH(QVariantMap, expected);
    MainFixture f;
    addDive(*f.tables, stored);
    Table* dives = f.tables->cds_dives;
    dives->edit();
    applyEditingDefaults(*f.tables);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QCOMPARE(dives->value(it.key()), it.value());
    }
    QVERIFY(!f.tables->busy());
}

void TestDiveEditorRules::editingDefaultsOnlyWhileEditing() {
    MainFixture f;
    Table* dives = f.tables->cds_dives;
    applyEditingDefaults(*f.tables);  // empty log: nothing to edit, no insert started
    QCOMPARE(dives->state(), Table::State::Browse);
    addDive(*f.tables, {});
    applyEditingDefaults(*f.tables);  // browsing
    QVERIFY(dives->isNull(QStringLiteral("Access_Type")));
    QCOMPARE(dives->state(), Table::State::Browse);
    dives->append();  // a new dive keeps its nulls
    applyEditingDefaults(*f.tables);
    QVERIFY(dives->isNull(QStringLiteral("Access_Type")));
    QVERIFY(dives->isNull(QStringLiteral("Dive_Nivel")));
}

void TestDiveEditorRules::editingDefaultsRaiseBusy() {
    MainFixture f;
    addDive(*f.tables, {});
    Table* dives = f.tables->cds_dives;
    dives->edit();
    QStringList seen;
    QObject listener;
    connect(dives, &Table::dataChanged, &listener, [&](const QString& field) {
        seen << field + (f.tables->busy() ? QStringLiteral(" busy") : QStringLiteral(" idle"));
    });
    applyEditingDefaults(*f.tables);
    QCOMPARE(seen.size(), 8);
    QVERIFY2(seen.filter(QStringLiteral(" idle")).isEmpty(), qPrintable(seen.join(',')));
    QVERIFY(!f.tables->busy());
    seen.clear();
    applyEditingDefaults(*f.tables);  // nothing null any more: no writes
    QVERIFY(seen.isEmpty());
}

// Pressure bar --------------------------------------------------------------------------------

void TestDiveEditorRules::pressureBar_data() {
    QTest::addColumn<double>("presIn");
    QTest::addColumn<double>("presOut");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("value");
    QTest::newRow("a quarter left") << 200.0 << 50.0 << 200 << 50;
    QTest::newRow("whole numbers") << 206.6 << 49.4 << 207 << 49;
    QTest::newRow("psi") << 3000.0 << 500.0 << 3000 << 500;
    QTest::newRow("no pressures") << 0.0 << 0.0 << 0 << 0;
    QTest::newRow("end above start: full") << 200.0 << 230.0 << 200 << 200;
    QTest::newRow("negative") << -10.0 << -5.0 << 0 << 0;
    QTest::newRow("beyond a whole number") << 1e12 << 1e11 << INT_MAX << INT_MAX;
}

void TestDiveEditorRules::pressureBar() {
    QFETCH(double, presIn);
    QFETCH(double, presOut);
    QFETCH(int, maximum);
    QFETCH(int, value);
    const PressureBar bar = pressureBarOf(presIn, presOut);
    QCOMPARE(bar.maximum, maximum);
    QCOMPARE(bar.value, value);
}

// Applying to controls ------------------------------------------------------------------------

void TestDiveEditorRules::applyingToControls() {
    QWidget window;
    auto* date = new DbEdit(&window);
    date->setObjectName("dive_date");
    auto* waves = new DbCheckBox(&window);
    waves->setObjectName("ck_waves");
    auto* group = new QGroupBox(&window);
    group->setObjectName("pl_equip2");
    auto* label = new QLabel(&window);
    label->setObjectName("lb_access");
    auto* link = new QToolButton(&window);
    link->setObjectName("bt_valid_bu");
    link->hide();
    auto* number = new QLineEdit(&window);
    number->setObjectName("dive_ed_id_dive");
    auto* plain = new QLineEdit(&window);
    plain->setObjectName("plain_edit");
    auto* lock = new QAction(&window);
    lock->setObjectName("Ac_Lock");
    lock->setCheckable(true);
    lock->setEnabled(false);

    EditorState state;
    state["dive_date"].readOnly = true;
    state["dive_date"].grey = true;
    state["ck_waves"].readOnly = true;
    state["pl_equip2"].enabled = false;
    state["lb_access"].enabled = false;
    state["bt_valid_bu"].visible = true;
    state["dive_ed_id_dive"].text = QStringLiteral("7");
    state["Ac_Lock"].enabled = true;
    state["Ac_Lock"].checked = true;
    state["plain_edit"].readOnly = true;  // not data-aware
    state["nowhere"].enabled = true;
    state["Ac_Lock_text"].text = QStringLiteral("x");
    QStringList unapplied = applyEditorState(&window, state);
    unapplied.sort();
    QCOMPARE(unapplied, (QStringList{"Ac_Lock_text", "nowhere", "plain_edit"}));

    QVERIFY(date->readOnlyState());
    QVERIFY(date->isReadOnly());
    QCOMPARE(baseOf(date), standard(QPalette::Button));
    QVERIFY(waves->readOnlyState());
    QCOMPARE(baseOf(waves), standard(QPalette::Base));
    QVERIFY(!group->isEnabled());
    QVERIFY(!label->isEnabled());
    QVERIFY(!link->isHidden());
    QCOMPARE(number->text(), QStringLiteral("7"));
    QVERIFY(!plain->isReadOnly());
    QVERIFY(lock->isEnabled());
    QVERIFY(lock->isChecked());

    state.clear();
    state["dive_date"].readOnly = false;
    state["dive_date"].grey = false;
    state["bt_valid_bu"].visible = false;
    QVERIFY(applyEditorState(&window, state).isEmpty());
    QVERIFY(!date->readOnlyState());
    QCOMPARE(baseOf(date), standard(QPalette::Base));
    QVERIFY(link->isHidden());
}

// A control the rules switch read-only without a colour keeps the colour it has.
void TestDiveEditorRules::readOnlyAloneKeepsTheColour() {
    QWidget window;
    auto* edit = new DbEdit(&window);
    edit->setObjectName("edit");
    edit->setReadOnlyState(true);
    EditorState state;
    state["edit"].readOnly = false;
    QVERIFY(applyEditorState(&window, state).isEmpty());
    QVERIFY(!edit->readOnlyState());
    QCOMPARE(baseOf(edit), standard(QPalette::Button));
    state["edit"].readOnly = true;
    state["edit"].grey = false;  // editable colour, yet read-only
    applyEditorState(&window, state);
    QVERIFY(edit->readOnlyState());
    QCOMPARE(baseOf(edit), standard(QPalette::Base));
}

// The main window -----------------------------------------------------------------------------

void TestDiveEditorRules::everyNameTheRulesSetIsInTheWindow() {
    MainFixture f;
    TFrm_Principal* window = f.open();
    for (const DiveFacts& facts : diveKinds()) {
        for (bool online : {true, false}) {
            const QStringList unapplied =
                applyEditorState(window, evaluateDiveRules(facts, online));
            QVERIFY2(unapplied.isEmpty(), qPrintable(unapplied.join(QLatin1Char(' '))));
        }
    }
}

void TestDiveEditorRules::lockedDiveInTheWindow() {
    MainFixture f;
    addDive(*f.tables, {{"locked", 1}, {"id_dive", 5}});
    TFrm_Principal* window = f.open();
    attachDiveEditorRules(*window);
    for (const char* name : {"dive_date", "dive_location", "Dive_type", "Dive_Rating", "visibility",
                             "dbePressIn", "Simple_dive_buddy", "Simple_Depth"}) {
        QCOMPARE(named(name, lookOf(window, name)), named(name, "ro grey"));
    }
    for (const char* name : {"ck_waves", "Simple_Saltwater", "ck_xLeader"}) {
        QCOMPARE(named(name, lookOf(window, name).left(2)), named(name, "ro"));
    }
    for (const char* name :
         {"pl_equip2", "pl_equip3", "Simlpe_pl_equip", "bt_chk_buddy", "bt_date"}) {
        QCOMPARE(named(name, enabledOf(window, name)), named(name, "off"));
    }
    QVERIFY(window->ui->Ac_Lock->isChecked());
    QVERIFY(window->ui->Lock1->isChecked());
    QVERIFY(window->ui->Ac_Dive_Update->isEnabled());
    QVERIFY(window->ui->AcDiveUpdate1->isEnabled());
    QVERIFY(!window->ui->Delete1->isEnabled());
    QVERIFY(!window->ui->Pictures1->isEnabled());
    QCOMPARE(textOf(window, "dive_ed_id_dive"), QStringLiteral("1"));

    Table* dives = f.tables->cds_dives;  // unlocking opens everything again
    dives->setValue(QStringLiteral("locked"), 0);
    dives->post();
    QCOMPARE(lookOf(window, "dive_date"), QStringLiteral("rw white"));
    QCOMPARE(lookOf(window, "dbePressIn"), QStringLiteral("rw white"));
    QCOMPARE(enabledOf(window, "pl_equip2"), QStringLiteral("on"));
    QVERIFY(!window->ui->Ac_Lock->isChecked());
    QVERIFY(window->ui->Delete1->isEnabled());
}

// An empty log takes no typing: it would start a dive, or a conditions or equipment row that no
// dive shows. The first dive opens the controls.
void TestDiveEditorRules::emptyLogTakesNoTyping() {
    MainFixture f;
    TFrm_Principal* window = f.openShown();
    const char* edits[] = {"dive_location", "dive_max_depth",    "Simple_visibility",
                           "DBEdit17",      "Simple_dive_buddy", "dbvWind_dir"};
    for (const char* name : edits) {
        auto* edit = window->findChild<QLineEdit*>(QLatin1String(name));
        edit->setFocus();
        QTest::keyClicks(edit, "12");
    }
    for (Table* table : {f.tables->cds_dives, f.tables->cds_conditions, f.tables->cds_equipment}) {
        QCOMPARE(table->recordCount(), 0);
        QCOMPARE(table->state(), Table::State::Browse);
    }
    for (const char* name : {"bt_date", "bt_chk_location", "bt_chk_Team1", "Simlpe_pl_equip"}) {
        QCOMPARE(named(name, enabledOf(window, name)), named(name, "off"));
    }
    QVERIFY(!window->findChild<QWidget*>("bt_deco_stops")->isVisibleTo(window));
    f.addDive(QDate(2024, 3, 2), QStringLiteral("Cozumel"));
    for (const char* name : edits) {
        QCOMPARE(named(name, lookOf(window, name)), named(name, "rw white"));
    }
    QCOMPARE(enabledOf(window, "bt_date"), QStringLiteral("on"));
}

void TestDiveEditorRules::certifiedDiveShowsTheStrip() {
    MainFixture f;
    addDive(*f.tables, {{"certify_by", 1}});
    addDive(*f.tables, {});
    TFrm_Principal* window = f.open();
    attachDiveEditorRules(*window);
    Table* dives = f.tables->cds_dives;
    dives->first();
    QCOMPARE(shownOf(window, "img_cert"), QStringLiteral("shown"));
    QCOMPARE(shownOf(window, "pnlCert"), QStringLiteral("shown"));
    QCOMPARE(lookOf(window, "dive_site"), QStringLiteral("ro grey"));
    QCOMPARE(lookOf(window, "Dive_Rating"), QStringLiteral("rw white"));
    QVERIFY(!window->ui->Ac_Delete_Dive->isEnabled());
    QVERIFY(window->ui->AcDiveUpdate2->isEnabled());  // the icon's pop-up menu
    dives->next();
    QCOMPARE(shownOf(window, "img_cert"), QStringLiteral("hidden"));
    QCOMPARE(shownOf(window, "pnlCert"), QStringLiteral("hidden"));
    QCOMPARE(lookOf(window, "dive_site"), QStringLiteral("rw white"));
    QCOMPARE(textOf(window, "dive_ed_id_dive"), QStringLiteral("2"));
    dives->remove();
    dives->remove();  // the empty log
    QCOMPARE(textOf(window, "dive_ed_id_dive"), QString());
    QVERIFY(!window->ui->Ac_Lock->isEnabled());
    QVERIFY(!window->ui->Print1->isEnabled());
    QVERIFY(!window->ui->dive_site1->isEnabled());
    QVERIFY(!window->ui->Ac_Dive_Update->isEnabled());
}

// Starting to edit a dive gives its null flags their defaults, through the change handler.
void TestDiveEditorRules::editingADiveInTheWindowSetsItsDefaults() {
    MainFixture f;
    addDive(*f.tables, {{"dive_night", 1}});
    TFrm_Principal* window = f.open();
    attachDiveEditorRules(*window);
    auto* location = window->findChild<DbEdit*>(QStringLiteral("dive_location"));
    QVERIFY(location);
    QTest::keyClicks(location, QStringLiteral("Dahab"));
    Table* dives = f.tables->cds_dives;
    QCOMPARE(dives->state(), Table::State::Edit);
    QCOMPARE(dives->asString(QStringLiteral("Location")), QStringLiteral("Dahab"));
    for (const char* field : {"Access_Type", "dive_day", "dive_sunrise", "dive_sunset",
                              "xTeam_Leader", "Dive_Nivel", "Dive_Deco"}) {
        QCOMPARE(dives->value(QLatin1String(field)), QVariant(0));
    }
    QCOMPARE(dives->value(QStringLiteral("dive_night")), QVariant(1));
    QVERIFY(!f.tables->busy());
}

void TestDiveEditorRules::pressureBarInTheWindow() {
    MainFixture f;
    addDive(*f.tables, {});
    addEquipment(*f.tables, 200, 50);
    addDive(*f.tables, {});  // no equipment row
    TFrm_Principal* window = f.open();
    attachDiveEditorRules(*window);
    auto* bar = window->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    QVERIFY(bar);
    f.tables->cds_dives->first();
    QCOMPARE(bar->maximum(), 200);
    QCOMPARE(bar->value(), 50);
    f.tables->cds_equipment->setValue(QStringLiteral("pres_out"), 120.0);
    QCOMPARE(bar->value(), 120);
    f.tables->cds_equipment->post();
    f.tables->cds_dives->next();  // nothing measured: empty, not a busy indicator
    QCOMPARE(bar->value(), 0);
    QVERIFY(bar->maximum() > bar->minimum());
}

// While Busy the handler only keeps the strip in step with its icons.
void TestDiveEditorRules::busyLeavesOnlyTheStrip() {
    MainFixture f;
    addDive(*f.tables, {});
    addEquipment(*f.tables, 200, 50);
    TFrm_Principal* window = f.open();
    attachDiveEditorRules(*window);
    auto* bar = window->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    QVERIFY(bar);
    Table* dives = f.tables->cds_dives;
    f.tables->setBusy(true);
    dives->setValue(QStringLiteral("locked"), 1);
    f.tables->cds_equipment->setValue(QStringLiteral("pres_out"), 100.0);
    QCOMPARE(lookOf(window, "dive_date"), QStringLiteral("rw white"));
    QVERIFY(!window->ui->Ac_Lock->isChecked());
    QCOMPARE(bar->value(), 50);
    QVERIFY(dives->isNull(QStringLiteral("Dive_Nivel")));  // no defaults while busy
    QWidget* buddyIcon = widgetIn(window, "img_cert_buddy");
    QVERIFY(buddyIcon);
    buddyIcon->show();
    dives->setValue(QStringLiteral("locked"), 0);
    QCOMPARE(shownOf(window, "pnlCert"), QStringLiteral("shown"));
    buddyIcon->hide();
    dives->setValue(QStringLiteral("locked"), 1);
    QCOMPARE(shownOf(window, "pnlCert"), QStringLiteral("hidden"));

    f.tables->setBusy(false);
    dives->post();
    QCOMPARE(lookOf(window, "dive_date"), QStringLiteral("ro grey"));
    QVERIFY(window->ui->Ac_Lock->isChecked());
}

void TestDiveEditorRules::connectionChangeReevaluates() {
    MainFixture f;
    f.setOnline(false);
    addDive(*f.tables, {{"id_buddy", 12}, {"id_dive", 4}});
    TFrm_Principal* window = f.open();
    attachDiveEditorRules(*window);
    window->INetDetector1->poll();
    QCOMPARE(shownOf(window, "bt_valid_bu"), QStringLiteral("hidden"));
    QVERIFY(!window->ui->Pictures1->isEnabled());
    f.setOnline(true);
    window->INetDetector1->poll();
    QCOMPARE(shownOf(window, "bt_valid_bu"), QStringLiteral("shown"));
    QVERIFY(window->ui->Pictures1->isEnabled());
    f.setOnline(false);
    window->INetDetector1->poll();
    QCOMPARE(shownOf(window, "bt_valid_bu"), QStringLiteral("hidden"));
}

void TestDiveEditorRules::attachingTwiceKeepsOneSetOfRules() {
    MainFixture f;
    TFrm_Principal* window = f.open();
    DiveEditorRules* rules = attachDiveEditorRules(*window);
    QCOMPARE(attachDiveEditorRules(*window), rules);
    QCOMPARE(window->findChildren<DiveEditorRules*>().size(), 1);
}

// The rules change a control only where it differs from what it shows: after any dive before,
// each dive looks exactly as a window opened on it.
void TestDiveEditorRules::walkingThroughTheLogLooksAsAFreshWindow() {
    MainFixture f;
    addDivesOfEveryKind(f);
    TFrm_Principal* walker = f.open();
    walker->INetDetector1->poll();
    Table* dives = f.tables->cds_dives;
    const int count = dives->recordCount();
    QList<int> walk;
    for (int row = 1; row <= count; ++row) {
        walk << row;
    }
    for (int row = count - 1; row >= 1; --row) {
        walk << row;
    }
    walk << 8 << 3 << 6 << 1 << 4;
    for (const int row : walk) {
        dives->setRecNo(row);
        TFrm_Principal fresh;
        fresh.FormCreate(QRect(0, 0, 1024, 768));
        fresh.INetDetector1->poll();
        QCOMPARE(everythingShown(walker), everythingShown(&fresh));
    }
}

// Whatever shows and hides between dives keeps its place: no control of the window moves or
// changes size.
void TestDiveEditorRules::aDiveChangeMovesNothing() {
    MainFixture f;
    addDivesOfEveryKind(f);
    TFrm_Principal* window = f.openShown();
    window->INetDetector1->poll();
    Table* dives = f.tables->cds_dives;
    for (dives->first(); !dives->eof(); dives->next()) {
        QApplication::processEvents();  // each control shown once
    }
    const EventCount moves(window, {QEvent::Move, QEvent::Resize});
    for (int pass = 0; pass < 2; ++pass) {
        for (int row = 1; row <= dives->recordCount(); ++row) {
            dives->setRecNo(pass == 0 ? row : dives->recordCount() + 1 - row);
            QApplication::processEvents();
        }
    }
    QCOMPARE(moves.seen, QStringList());
    QVERIFY(window->ui->pnlCert->isHidden());
    dives->setRecNo(4);
    QVERIFY(!window->ui->pnlCert->isHidden());
}

// Between two locked dives, and two certified ones, no control changes colour, read-only state or
// enabled state: none is given a palette again (which repaints it and its children).
void TestDiveEditorRules::divesOfOneKindRepaintNoColour() {
    MainFixture f;
    for (const auto& kind : {QMap<QString, QVariant>{{"locked", 1}},
                             {{"locked", 1}},
                             {{"certify_by", 1}},
                             {{"certify_by", 1}}}) {
        addDive(*f.tables, kind);
    }
    TFrm_Principal* window = f.openShown();
    Table* dives = f.tables->cds_dives;
    for (const int pair : {1, 3}) {
        dives->setRecNo(pair);
        QApplication::processEvents();
        const EventCount palettes(
            window, {QEvent::PaletteChange, QEvent::ReadOnlyChange, QEvent::EnabledChange});
        dives->setRecNo(pair + 1);
        QApplication::processEvents();
        QCOMPARE(palettes.seen.join(" "), QString());
    }
}

// A widget in a fixed place: hiding it leaves its neighbour where it was; growing it (a longer
// caption) still gets it the room it asks for.
void TestDiveEditorRules::aFixedPlaceFollowsItsWidgetsSize() {
    QWidget window;
    auto* row = new QHBoxLayout(&window);
    auto* button = new QPushButton(QStringLiteral("Go"), &window);
    auto* neighbour = new QLineEdit(&window);
    row->addWidget(button);
    row->addWidget(neighbour);
    row->addStretch();
    QVERIFY(FixedPlace::around(button));
    window.show();
    QApplication::processEvents();
    const QRect before = neighbour->geometry();
    button->hide();
    QApplication::processEvents();
    QCOMPARE(neighbour->geometry(), before);
    button->show();
    button->setText(QStringLiteral("Go a much longer way"));
    QTRY_VERIFY(button->width() >= button->sizeHint().width());
    QVERIFY(neighbour->x() >= button->mapTo(&window, QPoint(button->width(), 0)).x());
}

NEREVA_TEST_MAIN(TestDiveEditorRules)
#include "test_dive_editor_rules.moc"
