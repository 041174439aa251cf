#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class QWidget;
class Table;
class Tdm_rdp;
class TFrm_Principal;

// What the dive editor's state rules read of the current dive. A null field reads as 0.
struct DiveFacts {
    bool hasDive = false;  // the log has rows or a new dive is being inserted
    int position = 0;      // 1-based place in the list order; 0 when no row is current
    int locked = 0;
    int certifyBy = 0;
    int idLocation = 0;
    int idSite = 0;
    int idOperator = 0;
    int idSchool = 0;
    int idBuddy = 0;
    QString buddy;
    int idInstructor = 0;
    int xTeamLeader = 0;
    std::array<int, 5> idTeam{};  // id_team1 ... id_team5
    int diveMedia = 0;
    int diveDeco = 0;
    int idDive = 0;
};

// What the rules set on one control, menu item or command; a part left empty is not touched.
struct ControlState {
    std::optional<bool> readOnly;
    std::optional<bool> grey;  // button-face colour (read-only look); false: window colour
    std::optional<bool> enabled;
    std::optional<bool> visible;
    std::optional<bool> checked;
    std::optional<QString> text;
};

// Object name -> state; a control the rules leave alone is absent.
using EditorState = QHash<QString, ControlState>;

// The current row of the dives table; no dive when the table is missing or closed.
DiveFacts factsOf(const Table* dives);

// The dive number, the editable states and colours, the buttons, icons and commands for `dive`
// and the connection state, and the certification strip following its icons.
EditorState evaluateDiveRules(const DiveFacts& dive, bool online);

// The certification strip `pnlCert` is shown exactly when one of its icons is.
ControlState certStripState(bool certShown, bool buddyShown);

// Gives a dive being edited (not a new one being inserted) its default flags where they are
// null, with `Busy` raised meanwhile so that the change handlers answer the writes at once.
void applyEditingDefaults(Tdm_rdp& tables);

// The named widgets and actions of one window, found once, to which editor states are applied.
class EditorControls {
public:
    explicit EditorControls(QWidget* window);

    // Applies `state`: data-aware controls switch read-only and colour through setReadOnlyState
    // (read-only alone keeps their colour). Every part is set only where it differs from what
    // the control shows. Returns the names that could not be applied (no such object, or a part
    // the object cannot take).
    QStringList apply(const EditorState& state) const;
    // The widget of that name; null when there is none.
    QWidget* widget(const QString& name) const;
    // The controls the rules show and hide each get a fixed place (see FixedPlace), so that a
    // change of dive never moves, resizes or re-lays out anything else in the window.
    void holdShownAndHiddenInPlaces() const;

private:
    QHash<QString, QPointer<QObject>> objects_;
};

// Applies `state` to the named widgets and actions of `window` once (see EditorControls).
QStringList applyEditorState(QWidget* window, const EditorState& state);

// The pressure bar: the remaining pressure against the start pressure, in whole numbers, the
// value kept within 0 ... maximum.
struct PressureBar {
    int maximum = 0;
    int value = 0;
};
PressureBar pressureBarOf(double presIn, double presOut);

// The main window's change handlers of the dive editor.
class DiveEditorRules : public QObject {
    Q_OBJECT
public:
    explicit DiveEditorRules(TFrm_Principal& window);

    // Every change of ds_dives (record, field, state) and of the connection state.
    void ds_divesDataChange(const QString& field);
    // Every change of ds_equip: the pressure bar `ProgressBar1`.
    void ds_equipDataChange(const QString& field);

private:
    bool shown(const char* name) const;

    TFrm_Principal& window_;
    EditorControls controls_;
};

// Connects the rules to the window's data sources and detector and runs them once. The rules
// belong to the window; attaching again returns the rules already attached.
DiveEditorRules* attachDiveEditorRules(TFrm_Principal& window);
