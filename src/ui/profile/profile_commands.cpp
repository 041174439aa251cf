#include "ui/profile/profile_commands.h"

#include "ui/forms/dialogs.h"
#include "ui/main/guarded_command.h"
#include "ui/main/tfrm_principal.h"
#include "ui/main/tfrm_principal_controls.h"
#include "ui/profile/tdlg_register_user.h"
#include "ui/profile/tfrm_diver_info.h"
#include "ui/profile/tfrm_invite.h"

namespace {

template <typename Open>
void onTriggered(TFrm_Principal& window, QAction* action, Open open) {
    QObject::connect(action, &QAction::triggered, &window,
                     [&window, open] { runCommand(&window, [&window, open] { open(window); }); });
}

void DiverInfo1Click(TFrm_Principal& owner) {
    TFrm_Diver_info dialog(&owner, owner.ui->Ac_Register_Member);
    Dialogs::execModal(&dialog);
}

void Ac_Register_MemberExecute(TFrm_Principal& owner) {
    TDlg_Register_User wizard(&owner);
    Dialogs::execModal(&wizard);
}

void Ac_Invite_UserExecute(TFrm_Principal& owner) {
    TFrmInvite invitation(&owner);
    Dialogs::execModal(&invitation);
}

}  // namespace

void connectProfileCommands(TFrm_Principal& window) {
    onTriggered(window, window.ui->DiverInfo1, DiverInfo1Click);
    onTriggered(window, window.ui->Ac_Register_Member, Ac_Register_MemberExecute);
    onTriggered(window, window.ui->Ac_Invite_User, Ac_Invite_UserExecute);
}
