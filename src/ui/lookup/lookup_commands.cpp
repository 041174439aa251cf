#include "ui/lookup/lookup_commands.h"

#include "store/tdm_rdp.h"
#include "ui/forms/dialogs.h"
#include "ui/lookup/lookup_widgets.h"
#include "ui/lookup/organization_tree.h"
#include "ui/lookup/tfrm_buddy_list.h"
#include "ui/lookup/tfrm_select_buddy.h"
#include "ui/lookup/tfrm_select_location.h"
#include "ui/lookup/tfrm_select_operator.h"
#include "ui/main/dive_commands.h"
#include "ui/main/guarded_command.h"
#include "ui/main/tfrm_principal.h"
#include "ui/main/tfrm_principal_controls.h"

LookupCommands::LookupCommands(TFrm_Principal& window) : QObject(&window), window_(window) {
    connectCommands();
}

void LookupCommands::connectCommands() {
    // The choices write into the current dive, so none starts while an edit holds text its
    // field cannot take.
    const auto command = [this](void (LookupCommands::*handler)()) {
        return [this, handler] {
            runRecordCommand(&window_, [this, handler] { (this->*handler)(); });
        };
    };
    Ui::TFrm_Principal* ui = window_.ui;
    Ui::DiveEditorGeneral* general = window_.editor()->general();
    connect(ui->bt_chk_location, &QToolButton::clicked, this,
            command(&LookupCommands::Ac_SelectLocationExecute));
    connect(ui->dive_site1, &QAction::triggered, this,
            command(&LookupCommands::Ac_SelectLocationExecute));
    connect(general->bt_chk_op, &QToolButton::clicked, this,
            command(&LookupCommands::bt_chk_opClick));
    connect(general->bt_chk_scho, &QToolButton::clicked, this,
            command(&LookupCommands::bt_chk_schoClick));
    connect(general->bt_chk_buddy, &QToolButton::clicked, this,
            command(&LookupCommands::bt_chk_buddyClick));
    connect(general->bt_chk_inst, &QToolButton::clicked, this,
            command(&LookupCommands::bt_chk_instClick));
    for (QToolButton* team : {general->bt_chk_Team1, general->bt_chk_Team2, general->bt_chk_Team3,
                              general->bt_chk_Team4, general->bt_chk_Team5}) {
        const int teamNumber = team->property("tag").toInt();
        connect(team, &QToolButton::clicked, this, [this, teamNumber] {
            runRecordCommand(&window_, [this, teamNumber] { bt_chk_Team1Click(teamNumber); });
        });
    }
    connect(ui->BuddysList1, &QAction::triggered, this,
            asCommand(&window_, this, &LookupCommands::BuddysList1Click));
}

int LookupCommands::diveNumber(const QString& field) const {
    return dm_rdp->cds_dives->asInteger(field);
}

void LookupCommands::Ac_SelectLocationExecute() {
    const Table& dives = *dm_rdp->cds_dives;
    TFrmSelectLocation dialog(&window_, window_.INetDetector1, window_.ds_dives);
    dialog.IdLocation = dives.asInteger(QStringLiteral("id_Location"));
    dialog.IdSite = dives.asInteger(QStringLiteral("id_site"));
    dialog.LocationName = dives.asString(QStringLiteral("Location"));
    dialog.SiteName = dives.asString(QStringLiteral("Site"));
    Dialogs::execModal(&dialog);
    applyChosenLocation(*dm_rdp, dialog.IdLocation, dialog.LocationName, dialog.IdSite,
                        dialog.SiteName, dialog.NewLocation);
}

void LookupCommands::bt_chk_opClick() {
    const auto chosen = chooseOrganization(&window_, OrganizationTree::kOperators,
                                           diveNumber(QStringLiteral("id_operator")),
                                           dm_rdp->cds_dives->asString(QStringLiteral("operator")));
    if (chosen) {
        applyChosenOperator(*dm_rdp, chosen->id, chosen->name);
    }
}

void LookupCommands::bt_chk_schoClick() {
    const auto chosen = chooseOrganization(&window_, OrganizationTree::kSchools,
                                           diveNumber(QStringLiteral("id_school")),
                                           dm_rdp->cds_dives->asString(QStringLiteral("school")));
    if (chosen) {
        applyChosenSchool(*dm_rdp, chosen->id, chosen->name);
    }
}

LookupCommands::Choice LookupCommands::chooseContact(int contactId, int role) {
    TFrmSelectBuddy dialog(&window_, window_.INetDetector1);
    dialog.ContactId = contactId;
    dialog.Role = role;
    Dialogs::execModal(&dialog);
    return {dialog.ContactId, dialog.ContactName};
}

void LookupCommands::bt_chk_buddyClick() {
    const Choice chosen = chooseContact(diveNumber(QStringLiteral("id_buddy")), 0);
    applyChosenBuddy(*dm_rdp, chosen.contactId, chosen.name);
}

void LookupCommands::bt_chk_instClick() {
    const Choice chosen =
        chooseContact(diveNumber(QStringLiteral("id_instructor")), TFrmSelectBuddy::kInstructor);
    applyChosenInstructor(*dm_rdp, chosen.contactId, chosen.name);
}

void LookupCommands::bt_chk_Team1Click(int teamNumber) {
    const Choice chosen = chooseContact(diveNumber(QStringLiteral("id_team%1").arg(teamNumber)), 0);
    applyChosenTeamMember(*dm_rdp, teamNumber, chosen.contactId, chosen.name);
}

void LookupCommands::BuddysList1Click() {
    TFrmBuddyList contactList(&window_, window_.INetDetector1);
    Dialogs::execModal(&contactList);
}
