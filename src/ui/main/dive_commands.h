#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class QEvent;
class Table;
class Tdm_rdp;
class TFrm_Principal;

// The names of a dive that may be linked to an entry of the service's directories.
enum class LinkedName { Location, Site, Operator, School, Buddy, Instructor, TeamMember };

// What a double click on a linked name's edit does: the current dive's number of the entry
// (for `TeamMember`, that of team member `teamNumber`, 1 to 5) becomes 0 unless the dive's
// lock or certification keeps it, and a buddy who had confirmed the dive no longer counts as
// confirming it. The name stays, and the dive stays in edit (nothing is posted).
void unlinkName(Tdm_rdp& tables, LinkedName name, int teamNumber = 0);

// What the buddy selection writes back into the current dive after it closed with `contactId`
// and `name`: a chosen contact is stored and posted; no name with the clear result -1 unlinks
// and empties the role; no name otherwise changes nothing.
void applyChosenBuddy(Tdm_rdp& tables, int contactId, const QString& name);
// The same for the instructor.
void applyChosenInstructor(Tdm_rdp& tables, int contactId, const QString& name);
// The same for team member `teamNumber` (1 to 5), except that choosing the member already
// stored there changes nothing.
void applyChosenTeamMember(Tdm_rdp& tables, int teamNumber, int contactId, const QString& name);

// What the location selection writes back into the current dive: with a location id above 0
// or a new location typed, the location and site names and ids are stored and posted;
// otherwise nothing changes.
void applyChosenLocation(Tdm_rdp& tables, int idLocation, const QString& location, int idSite,
                         const QString& site, bool newLocation);
// What the operator selection writes back: a chosen organization (a name) is stored with its
// number and posted; no name changes nothing.
void applyChosenOperator(Tdm_rdp& tables, int organizationId, const QString& name);
// The same for the school.
void applyChosenSchool(Tdm_rdp& tables, int organizationId, const QString& name);

// The main window's commands on the current dive: add, update a certified dive, delete, lock,
// unlinking names by double click, the linked entries' web pages (only while online) and the
// dive's sub-dialogs. The window creates them; they connect themselves to its actions, buttons
// and name edits, change only the tables and leave the display to the editor's state rules.
// A failure reaches the standard error box, except where a command says otherwise.
class DiveCommands : public QObject {
    Q_OBJECT
public:
    explicit DiveCommands(TFrm_Principal& window);

    // A new dive dated today whose conditions and equipment rows take the default units of
    // the settings; the date picker opens at once. Adding and deleting need the dive tables
    // they touch open: otherwise nothing changes and the error box names the missing table.
    void Ac_Add_DiveExecute();
    // After the diver confirms, the certified dive counts as modified by the diver.
    void Ac_Dive_UpdateExecute();
    // After the diver confirms, the dive goes with its profile, equipment and conditions rows
    // (a failure on the way is not reported; what was deleted stays deleted); a synchronised
    // dive is queued for deletion at the service (a queue that cannot be written is reported).
    // The next dive becomes current.
    void Ac_Delete_DiveExecute();
    // Locks an unlocked dive and unlocks a locked one, after posting a pending edit.
    void Ac_LockExecute();

    // The date picker; after OK a dive still being edited is posted.
    void bt_dateClick();
    void bt_deco_stopsClick();
    void AdvancedInformation1Click();
    void GeneralNotes1Click();
    // The editor's buttons for the advanced window and the notes click their menu items, which
    // the state rules disable while there is no dive.
    void bt_AdvancedClick();
    void bt_NotesClick();  // bt_Notes and the simple page's Button8

    // Double clicks on the linked name edits unlink the name from its directory entry (see
    // unlinkName).
    void dive_locationDblClick();
    void dive_siteDblClick();
    void dive_operator2DblClick();  // dive_operator and Simple_dive_operator
    void dive_schoolDblClick();
    void dive_buddyDblClick();  // dive_buddy and Simple_dive_buddy
    void dive_instructorDblClick();
    void dive_team1DblClick(int teamNumber);  // the five team edits, by their tag

    // The web pages of the linked entries and of the member, opened only while online.
    void bt_valid_locationClick();
    void bt_valid_opClick();
    void bt_valid_schoClick();
    void bt_valid_buClick();
    void bt_valid_instClick();
    void bt_valid_teamClick(int teamNumber);
    void Ac_ViewDiverProfileExecute();

protected:
    // Double clicks on the linked name edits.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectActions();
    void connectButtons();
    void watchNameEdits();
    void watch(QObject* edit, std::function<void()> dblClick);
    void unlink(LinkedName name, int teamNumber = 0);
    template <class Sender, class Signal>
    void handle(Sender* sender, Signal signal, void (DiveCommands::*handler)());
    Table& dives() const;
    // `page` builds the address only when it is needed.
    void openPageWhenOnline(const std::function<QString()>& page);
    // The page of the entry whose number the dive holds in `field` (a null number as empty
    // text).
    void openNumberPage(QString (*page)(const QString& number), const QString& field);
    void showEditorSheet();

    TFrm_Principal& window_;
    QHash<QObject*, std::function<void()>> nameEdits_;  // edit -> its double-click handler
};
