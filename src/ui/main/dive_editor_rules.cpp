#include "ui/main/dive_editor_rules.h"

#include "net/tinet_detect.h"
#include "store/tdm_rdp.h"
#include "ui/db/controls/data_aware.h"
#include "ui/main/fixed_place.h"
#include "ui/main/guarded_command.h"
#include "ui/main/tfrm_principal.h"

#include <QAction>
#include <QLineEdit>
#include <QProgressBar>
#include <QSet>
#include <QWidget>
#include <climits>

namespace {

// What the lock and the certification leave of the dive.
struct Protection {
    bool editable = true;    // the core data may change
    bool notLocked = true;   // everything else may change
    bool coreGrey = false;   // colour of the core fields
    bool otherGrey = false;  // colour of the other fields
};

Protection protectionOf(const DiveFacts& dive) {
    Protection p;
    if (dive.locked == 1) {
        p = {false, false, true, true};
    }
    if (dive.certifyBy == 1) {
        p.editable = false;
        p.coreGrey = true;
    }
    return p;
}

const QStringList kLinkButtons = {
    "bt_valid_location", "bt_valid_op",    "bt_valid_scho",  "bt_valid_bu",    "bt_valid_inst",
    "bt_valid_team1",    "bt_valid_team2", "bt_valid_team3", "bt_valid_team4", "bt_valid_team5"};

// Core fields: read-only unless editable, in core-colour.
// clang-format off
const QStringList kCoreFields = {
    "dive_date", "Dive_Media", "Activity", "Simple_Activity", "Activity2", "dive_time_start",
    "Simple_time_start", "dive_depth", "Simple_Depth", "Simple_Depth_unit", "dive_max_depth",
    "dive_depth_unit", "dive_depth_stop_unit", "dive_altitude", "dive_altitude_unit",
    "Simple_altitude", "Simple_altitude_unit", "dive_depth_stop", "dive_stop", "dive_bottomtime",
    "Simple_BottomTime"};
// clang-format on

// Other fields: read-only when locked, in other-colour. The end-or-used selector follows the
// lock like the pressures beside it.
// clang-format off
const QStringList kOtherFields = {
    "Dive_Rating", "Simple_Dive_Rating", "dive_sup_interval", "Simple_sup_interval",
    "dive_GPStart", "dive_GPEnd", "visibility", "visibilityMax", "visibility_unit",
    "Simple_visibility", "Simple_visibility_Unit", "dbvWin", "dbvWout", "dbvSurf", "dbvCurrent",
    "dbvCurrent_dir", "Simple_Current", "dbvWind", "dbvWind_dir", "Simple_Weather", "temp_air",
    "temp_surf", "temp_bottom", "temp_unit1", "temp_unit2", "temp_unit3", "Simple_temp",
    "Simple_temp_unit", "equip_cil_type", "equip_cil_size", "equip_cil_unit", "dbvGasMix",
    "dbeMaxPress", "equip_pres_unit3", "dbePressOut", "equip_pres_unit2", "dbePressIn",
    "equip_pres_unit", "equip_end_used", "Device_Model", "Device_Vendor"};
// clang-format on

// Check boxes among the other fields: they switch read-only and keep their colour.
const QStringList kOtherChecks = {"dbckCold", "Simple_ckCold", "ck_waves", "ck_surge",
                                  "equip_twin"};

const QStringList kEquipmentGroups = {"pl_equip2", "pl_equip3", "Simlpe_pl_equip"};

const QStringList kTypeSelectors = {"Dive_type", "Dive_type2",       "Simple_Dive_type",
                                    "Site_type", "Simple_Site_type", "Access_Type"};

const QStringList kTypeLabels = {"lb_Dive_type", "lb_site_type", "lb_access"};

class StateBuilder {
public:
    void field(const QString& name, bool readOnly, bool grey) {
        state_[name].readOnly = readOnly;
        state_[name].grey = grey;
    }
    // A name edit: free is editable and white, fixed read-only and grey.
    void nameEdit(const QString& name, bool free) { field(name, !free, !free); }
    void readOnlyOnly(const QString& name, bool readOnly) { state_[name].readOnly = readOnly; }
    void enable(const QString& name, bool enabled) { state_[name].enabled = enabled; }
    void show(const QString& name, bool visible) { state_[name].visible = visible; }
    void check(const QString& name, bool checked) { state_[name].checked = checked; }
    void setText(const QString& name, const QString& text) { state_[name].text = text; }
    EditorState take() { return std::move(state_); }

private:
    EditorState state_;
};

void diveNumber(StateBuilder& s, const DiveFacts& dive) {
    s.setText("dive_ed_id_dive", dive.position > 0 ? QString::number(dive.position) : QString());
}

void iconsAndLock(StateBuilder& s, const DiveFacts& dive) {
    s.show("img_cert", dive.certifyBy == 1);
    s.show("img_cert_buddy", dive.certifyBy == 2);
    s.check("Ac_Lock", dive.locked == 1);
}

void chooseButtons(StateBuilder& s, const DiveFacts& dive, const Protection& p) {
    for (const char* button : {"bt_chk_location", "dive_site1", "bt_chk_op", "bt_chk_scho"}) {
        s.enable(button, p.editable);
    }
    s.enable("bt_chk_buddy", p.notLocked);
    for (int team = 1; team <= 5; ++team) {
        s.enable(QStringLiteral("bt_chk_Team%1").arg(team), p.notLocked);
    }
    s.enable("bt_chk_inst", p.notLocked && dive.xTeamLeader == 0);
}

void linkButtons(StateBuilder& s, const DiveFacts& dive, const Protection& p, bool online) {
    const int numbers[] = {dive.idLocation,   dive.idOperator, dive.idSchool,  dive.idBuddy,
                           dive.idInstructor, dive.idTeam[0],  dive.idTeam[1], dive.idTeam[2],
                           dive.idTeam[3],    dive.idTeam[4]};
    for (int i = 0; i < kLinkButtons.size(); ++i) {
        s.show(kLinkButtons[i], online && numbers[i] > 0);
    }
    s.show("dive_invite_buddy", online && dive.idBuddy == 0 && !dive.buddy.isEmpty());
    s.enable("Pictures1", online && dive.idDive > 0 && p.notLocked);
}

void linkedNames(StateBuilder& s, const DiveFacts& dive, const Protection& p) {
    // The simple page's names follow the same rule: a linked name is typed over on neither.
    s.nameEdit("dive_operator", dive.idOperator < 1 && p.editable);
    s.nameEdit("Simple_dive_operator", dive.idOperator < 1 && p.editable);
    s.nameEdit("dive_school", dive.idSchool < 1 && p.editable);
    const bool locationFree = dive.idLocation < 1 && p.editable;
    s.nameEdit("dive_location", locationFree);
    s.nameEdit("dive_site", locationFree || (dive.idSite < 1 && p.editable));
    s.nameEdit("dive_buddy", dive.idBuddy < 1 && p.notLocked);
    s.nameEdit("Simple_dive_buddy", dive.idBuddy < 1 && p.notLocked);
    s.readOnlyOnly("ck_xLeader", !p.editable);
    s.nameEdit("dive_instructor", dive.idInstructor < 1 && p.notLocked && dive.xTeamLeader != 1);
    for (int team = 1; team <= 5; ++team) {
        s.nameEdit(QStringLiteral("dive_team%1").arg(team),
                   dive.idTeam[team - 1] < 1 && p.notLocked);
    }
}

// A hyperbaric chamber has no dive or site type: the simple page's selectors are fixed too.
void types(StateBuilder& s, const DiveFacts& dive, const Protection& p) {
    const bool chamber = p.editable && dive.diveMedia == 3;
    for (const QString& selector : kTypeSelectors) {
        s.field(selector, chamber || !p.editable, chamber || p.coreGrey);
    }
    for (const QString& label : kTypeLabels) {
        s.enable(label, !chamber);
    }
}

void commands(StateBuilder& s, const Protection& p) {
    s.enable("Ac_Dive_Update", !p.editable);
    s.enable("Ac_Delete_Dive", p.editable);
    for (const char* command : {"Ac_Lock", "Print1", "AdvancedInformation1", "GeneralNotes1"}) {
        s.enable(command, true);
    }
}

void fields(StateBuilder& s, const DiveFacts& dive, const Protection& p) {
    for (const QString& field : kCoreFields) {
        s.field(field, !p.editable, p.coreGrey);
    }
    s.enable("bt_date", p.editable);
    s.readOnlyOnly("Simple_Saltwater", !p.editable);
    for (const QString& field : kOtherFields) {
        s.field(field, !p.notLocked, p.otherGrey);
    }
    for (const QString& check : kOtherChecks) {
        s.readOnlyOnly(check, !p.notLocked);
    }
    for (const QString& group : kEquipmentGroups) {
        s.enable(group, p.notLocked);
    }
    s.show("bt_deco_stops", dive.diveDeco == 1);
}

void currentDive(StateBuilder& s, const DiveFacts& dive, bool online) {
    const Protection p = protectionOf(dive);
    iconsAndLock(s, dive);
    chooseButtons(s, dive, p);
    linkButtons(s, dive, p, online);
    linkedNames(s, dive, p);
    types(s, dive, p);
    commands(s, p);
    fields(s, dive, p);
}

// Nothing is left to act on: besides the icons and the commands on the dive, the update
// command (it would start a new dive), the lock mark, the link buttons and Pictures go too.
// Every control is read-only and every button that would write disabled, as for a locked
// dive: typing into an empty log would start a dive or a detail row no dive shows.
void noDive(StateBuilder& s) {
    const Protection nothing{false, false, true, true};
    const DiveFacts none;
    chooseButtons(s, none, nothing);
    linkedNames(s, none, nothing);
    types(s, none, nothing);
    fields(s, none, nothing);
    s.show("img_cert", false);
    s.show("img_cert_buddy", false);
    for (const char* command : {"Ac_Delete_Dive", "Print1", "AdvancedInformation1", "GeneralNotes1",
                                "dive_site1", "Ac_Lock", "Ac_Dive_Update", "Pictures1"}) {
        s.enable(command, false);
    }
    s.check("Ac_Lock", false);
    for (const QString& button : kLinkButtons) {
        s.show(button, false);
    }
    s.show("dive_invite_buddy", false);
}

int fieldOf(const Table& dives, const char* field) {
    return dives.asInteger(QLatin1String(field));
}

// Read-only and colour of a data-aware control; read-only alone keeps the colour it has.
bool applyReadOnly(QWidget* widget, const ControlState& s) {
    auto* control = dynamic_cast<DataAware*>(widget);
    if (!control) {
        return false;
    }
    const bool readOnly = s.readOnly.value_or(s.grey.value_or(false));
    s.grey ? control->setReadOnlyState(readOnly, *s.grey)
           : control->setReadOnlyKeepingColour(readOnly);
    return true;
}

// What setEnabled() and setVisible() set, whatever the parents are.
bool enabledByItself(const QWidget* widget) {
    return !widget->testAttribute(Qt::WA_ForceDisabled);
}

bool applyToWidget(QWidget* widget, const ControlState& s) {
    bool applied = !s.checked;
    if (s.readOnly || s.grey) {
        applied = applyReadOnly(widget, s) && applied;
    }
    if (s.enabled && enabledByItself(widget) != *s.enabled) {
        widget->setEnabled(*s.enabled);
    }
    if (s.visible && widget->isHidden() == *s.visible) {
        widget->setVisible(*s.visible);
    }
    if (s.text) {
        auto* edit = qobject_cast<QLineEdit*>(widget);
        applied = edit && applied;
        if (edit && edit->text() != *s.text) {
            edit->setText(*s.text);
        }
    }
    return applied;
}

bool applyToAction(QAction* action, const ControlState& s) {
    if (s.enabled && action->isEnabled() != *s.enabled) {
        action->setEnabled(*s.enabled);
    }
    if (s.visible && action->isVisible() != *s.visible) {
        action->setVisible(*s.visible);
    }
    if (s.checked && action->isChecked() != *s.checked) {
        action->setChecked(*s.checked);
    }
    return !s.readOnly && !s.grey && !s.text;
}

bool applyTo(QObject* object, const ControlState& s) {
    if (object->isWidgetType()) {
        return applyToWidget(static_cast<QWidget*>(object), s);
    }
    auto* action = qobject_cast<QAction*>(object);
    return action && applyToAction(action, s);
}

// The names of the controls the rules show and hide, on a dive or on an empty log.
QSet<QString> namesShownAndHidden() {
    DiveFacts aDive;
    aDive.hasDive = true;
    QSet<QString> names;
    for (const DiveFacts& facts : {DiveFacts{}, aDive}) {
        const EditorState state = evaluateDiveRules(facts, true);
        for (auto it = state.cbegin(); it != state.cend(); ++it) {
            if (it->visible) {
                names.insert(it.key());
            }
        }
    }
    return names;
}

// Rounds to a whole number within 0 ... INT_MAX.
int wholeNonNegative(double value) {
    return value > 0 ? qRound(qMin(value, double(INT_MAX))) : 0;
}

bool busy() {
    return dm_rdp && dm_rdp->busy();
}

// Raises `Busy` for its lifetime and puts back the value it had.
class BusyRaised {
public:
    explicit BusyRaised(Tdm_rdp& tables) : tables_(tables), was_(tables.busy()) {
        tables_.setBusy(true);
    }
    ~BusyRaised() { tables_.setBusy(was_); }
    BusyRaised(const BusyRaised&) = delete;
    BusyRaised& operator=(const BusyRaised&) = delete;

private:
    Tdm_rdp& tables_;
    bool was_;
};

// Defaults fill what is missing; a value the dive holds (a decompression dive, a night dive)
// is never cleared.
void zeroWhereNull(Table& dives, const QStringList& fields) {
    for (const QString& field : fields) {
        if (dives.isNull(field)) {
            dives.setValue(field, 0);
        }
    }
}

}  // namespace

DiveFacts factsOf(const Table* dives) {
    DiveFacts facts;
    if (!dives || !dives->active()) {
        return facts;
    }
    facts.hasDive = dives->recordCount() > 0 || dives->state() == Table::State::Insert;
    if (!facts.hasDive) {
        return facts;
    }
    facts.position = dives->recNo();
    facts.locked = fieldOf(*dives, "locked");
    facts.certifyBy = fieldOf(*dives, "certify_by");
    facts.idLocation = fieldOf(*dives, "id_Location");
    facts.idSite = fieldOf(*dives, "id_site");
    facts.idOperator = fieldOf(*dives, "id_operator");
    facts.idSchool = fieldOf(*dives, "id_school");
    facts.idBuddy = fieldOf(*dives, "id_buddy");
    facts.buddy = dives->asString(QStringLiteral("buddy"));
    facts.idInstructor = fieldOf(*dives, "id_instructor");
    facts.xTeamLeader = fieldOf(*dives, "xTeam_Leader");
    for (int team = 1; team <= 5; ++team) {
        facts.idTeam[team - 1] = dives->asInteger(QStringLiteral("id_team%1").arg(team));
    }
    facts.diveMedia = fieldOf(*dives, "Dive_Media");
    facts.diveDeco = fieldOf(*dives, "Dive_Deco");
    facts.idDive = fieldOf(*dives, "id_dive");
    return facts;
}

EditorState evaluateDiveRules(const DiveFacts& dive, bool online) {
    StateBuilder s;
    diveNumber(s, dive);
    if (dive.hasDive) {
        currentDive(s, dive, online);
    } else {
        noDive(s);
    }
    EditorState state = s.take();
    state.insert("pnlCert", certStripState(state.value("img_cert").visible.value_or(false),
                                           state.value("img_cert_buddy").visible.value_or(false)));
    return state;
}

ControlState certStripState(bool certShown, bool buddyShown) {
    ControlState strip;
    strip.visible = certShown || buddyShown;
    return strip;
}

void applyEditingDefaults(Tdm_rdp& tables) {
    Table* dives = tables.cds_dives;
    if (!dives || !dives->active() || dives->state() != Table::State::Edit) {
        return;
    }
    BusyRaised raised(tables);
    zeroWhereNull(*dives, {"Dive_Nivel", "Dive_Deco"});
    if (dives->isNull(QStringLiteral("Access_Type"))) {
        zeroWhereNull(*dives, {"Access_Type", "dive_day", "dive_night", "dive_sunrise",
                               "dive_sunset", "xTeam_Leader"});
    }
}

// Found in one walk over the window (a search per name costs more than all the rest); a widget
// wins over an action of its name.
EditorControls::EditorControls(QWidget* window) {
    for (QObject* object : window->findChildren<QObject*>()) {
        const bool candidate = object->isWidgetType() || qobject_cast<QAction*>(object);
        if (!candidate || object->objectName().isEmpty()) {
            continue;
        }
        QPointer<QObject>& slot = objects_[object->objectName()];
        if (!slot || (object->isWidgetType() && !slot->isWidgetType())) {
            slot = object;
        }
    }
}

QStringList EditorControls::apply(const EditorState& state) const {
    QStringList unapplied;
    for (auto it = state.cbegin(); it != state.cend(); ++it) {
        QObject* object = objects_.value(it.key());
        if (!object || !applyTo(object, it.value())) {
            unapplied << it.key();
        }
    }
    return unapplied;
}

QWidget* EditorControls::widget(const QString& name) const {
    QObject* object = objects_.value(name);
    return object && object->isWidgetType() ? static_cast<QWidget*>(object) : nullptr;
}

void EditorControls::holdShownAndHiddenInPlaces() const {
    for (const QString& name : namesShownAndHidden()) {
        FixedPlace::around(widget(name));
    }
}

QStringList applyEditorState(QWidget* window, const EditorState& state) {
    return EditorControls(window).apply(state);
}

PressureBar pressureBarOf(double presIn, double presOut) {
    PressureBar bar;
    bar.maximum = wholeNonNegative(presIn);
    bar.value = qMin(wholeNonNegative(presOut), bar.maximum);
    return bar;
}

DiveEditorRules::DiveEditorRules(TFrm_Principal& window)
    : QObject(&window), window_(window), controls_(&window) {
    controls_.holdShownAndHiddenInPlaces();
}

bool DiveEditorRules::shown(const char* name) const {
    const QWidget* widget = controls_.widget(QLatin1String(name));
    return widget && !widget->isHidden();
}

void DiveEditorRules::ds_divesDataChange(const QString&) {
    if (busy()) {
        controls_.apply({{QStringLiteral("pnlCert"),
                          certStripState(shown("img_cert"), shown("img_cert_buddy"))}});
        return;
    }
    if (dm_rdp) {
        applyEditingDefaults(*dm_rdp);
    }
    const DiveFacts dive = factsOf(window_.ds_dives->dataSet());
    controls_.apply(evaluateDiveRules(dive, window_.INetDetector1->Online()));
}

void DiveEditorRules::ds_equipDataChange(const QString&) {
    if (busy()) {
        return;
    }
    auto* progress = qobject_cast<QProgressBar*>(controls_.widget(QStringLiteral("ProgressBar1")));
    const Table* equipment = window_.ds_equip->dataSet();
    if (!progress) {
        return;
    }
    const bool readable = equipment && equipment->active();
    const PressureBar bar = readable ? pressureBarOf(equipment->asFloat(QStringLiteral("pres_in")),
                                                     equipment->asFloat(QStringLiteral("pres_out")))
                                     : PressureBar{};
    // An empty range would turn the bar into a busy indicator.
    progress->setRange(0, qMax(1, bar.maximum));
    progress->setValue(bar.value);
}

DiveEditorRules* attachDiveEditorRules(TFrm_Principal& window) {
    if (auto* attached =
            window.findChild<DiveEditorRules*>(QString(), Qt::FindDirectChildrenOnly)) {
        return attached;
    }
    auto* rules = new DiveEditorRules(window);
    auto dives = [rules, &window](const QString& field) {
        runCommand(&window, [rules, field] { rules->ds_divesDataChange(field); });
    };
    auto equipment = [rules, &window](const QString& field) {
        runCommand(&window, [rules, field] { rules->ds_equipDataChange(field); });
    };
    QObject::connect(window.ds_dives, &DataSource::dataChange, rules, dives);
    QObject::connect(window.ds_dives, &DataSource::stateChange, rules, [dives] { dives({}); });
    QObject::connect(window.INetDetector1, &TINetDetect::OnChanged, rules, [dives] { dives({}); });
    QObject::connect(window.ds_equip, &DataSource::dataChange, rules, equipment);
    dives({});
    equipment({});
    return rules;
}
