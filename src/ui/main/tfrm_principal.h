#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QVector>
#include <functional>

namespace Ui {
class TFrm_Principal;
}
class DataSource;
class DbGridModel;
class DiveCommands;
class DiveEditor;
class QLabel;
class QMenu;
class TINetDetect;

// The main window: the dive list on the left, the dive editor on the right, the menus and tool
// bars of every command, the dock place of the units tool and a status bar telling whether the
// machine is online and who the member is. Its layout is kept in the settings file.
class TFrm_Principal : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrm_Principal(QWidget* parent = nullptr);
    ~TFrm_Principal() override;

    // Creation handler: caption, connection detector, translation, the stored layout (or the
    // first-run size for the screen) and the editor page. Start-up calls it right after the
    // constructor and shows the window afterwards, also when it threw (AppError from the step
    // that failed; the steps before it have run).
    void FormCreate();
    // The same, choosing the first-run size for `screen` (the desktop the window opens on), where
    // a stored place that lies on no screen is brought back too.
    void FormCreate(const QRect& screen);

    // The designed controls and actions (include "ui/main/tfrm_principal_controls.h").
    Ui::TFrm_Principal* const ui;
    DataSource* ds_dives;
    DataSource* ds_equip;
    DataSource* ds_conditions;
    TINetDetect* INetDetector1;
    QMenu* pup_certi;  // the certification icon's pop-up menu
    // The rows of DbgDives; setDataSource(nullptr) detaches the grid from ds_dives (while a
    // synchronisation rewrites the tables) and setDataSource(ds_dives) attaches it again.
    DbGridModel* divesGridModel() const;
    // The dive editor's pages and their controls.
    DiveEditor* editor() const;
    // The commands on the current dive, connected to the actions, buttons and name edits.
    DiveCommands* diveCommands() const;
    // The member's service user name; empty while there is no member record.
    QString memberUserName() const;

    // Windows that live above this module; start-up sets them. Each opens its window modally
    // with `owner` as the owner.
    std::function<void(QWidget* owner)> openAbout;
    std::function<void(QWidget* owner)> openEnvironmentOptions;

    QString statusText(int panel) const;
    int statusWidth(int panel) const;

    // Layout kept in the settings file.
    int leftPanelWidth() const;
    void setLeftPanelWidth(int width);
    // Height of the dive list above the docked units tool.
    int divesListHeight() const;
    void setDivesListHeight(int height);
    // The diver's choice that the location band starts a new row; it also does while the
    // editor is too narrow for both bands on one row.
    bool locationBreak() const;
    void setLocationBreak(bool newRow);

    // The units tool: a floating window that the menu shows and hides, or docked into
    // pnl_UnitConvert_Dock. Null until start-up creates it.
    void setUnitsTool(QWidget* tool);
    QWidget* unitsTool() const;
    // Docks the tool and, with `show`, shows it in the tool panel; otherwise both stay hidden
    // until the menu shows them.
    void dockUnitsTool(QWidget* tool, bool show = true);
    // pnl_UnitConvert_DockUnDock: the tool floats where it stood and the tool panel goes.
    void undockUnitsTool();
    bool unitsToolDocked() const;
    // Dragging onto the dive list panel docks the tool; the panel takes nothing else.
    bool pnl_dives_treeDockOver(const QObject* dragged) const;
    void pnl_dives_treeDockDrop(QObject* dragged);

    // Handlers.
    void INetDetector1Changed();
    // The member's status panel and the commands that need a member, for the last connection
    // state and the member record as it is now; also run whenever the member record changes.
    void showMemberState();
    void DivesTree1Click();
    void UnitsConvertTool1Click();
    void EnvironmentOptions1Click();
    void help2Click();
    void About1Click();
    // Close handler: writes the layout and posts pending edits; false when an edit holds text
    // its field cannot take or could not be posted (the window then stays open so the diver can
    // correct it).
    bool FormClose();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpDivesGrid();
    void setUpStatusBar();
    void setUpActions();
    void connectHandlers();
    void setStatus(int panel, const QString& text, int width = -1);
    void restoreWindowPlace(const QRect& screen);
    void chooseEditorPage();
    void writeLayout();
    void postPendingEdits();
    void keepDivesListHeight(int height);  // without resizing the panels
    void arrangeHeaderBands();
    void showToolPanel();
    void hideToolPanel();

    QVector<QLabel*> statusPanels_;
    DbGridModel* divesGridModel_;
    DiveEditor* editor_;
    DiveCommands* diveCommands_;
    int leftPanelWidth_ = 0;
    int divesListHeight_ = 0;  // 0: none chosen yet, the tool panel keeps its design height
    bool locationBreak_ = false;
    QPointer<QWidget> unitsTool_;
    Qt::WindowFlags unitsToolFlags_;  // the tool's flags while floating
};

extern TFrm_Principal* Frm_Principal;
