#pragma once

#include <QObject>

class TFrm_Principal;

// The main window's commands that open the directory look-ups: choosing the dive's location
// (bt_chk_location, menu dive_site1), operator and school, buddy, instructor and team members
// (the editor's "..." buttons), and the contact list (menu BuddysList1). Each dialog is owned by
// the main window and shown modally; what it returns is written into the current dive through
// the dive commands' write-back functions. The window creates none of this: start-up connects
// it, as these dialogs live above the main window's library.
class LookupCommands : public QObject {
    Q_OBJECT
public:
    explicit LookupCommands(TFrm_Principal& window);

    void Ac_SelectLocationExecute();
    void bt_chk_opClick();
    void bt_chk_schoClick();
    void bt_chk_buddyClick();
    void bt_chk_instClick();
    // Team member `teamNumber` (the button's tag, 1 to 5).
    void bt_chk_Team1Click(int teamNumber);
    void BuddysList1Click();

private:
    void connectCommands();
    // The contact the buddy selection returns for a field whose current id is `contactId`.
    struct Choice {
        int contactId;
        QString name;
    };
    Choice chooseContact(int contactId, int role);
    int diveNumber(const QString& field) const;

    TFrm_Principal& window_;
};
