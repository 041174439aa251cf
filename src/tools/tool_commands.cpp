#include "tools/tool_commands.h"

#include "tools/tfrm_update.h"
#include "ui/forms/dialogs.h"
#include "ui/main/guarded_command.h"
#include "ui/main/tfrm_principal.h"
#include "ui/main/tfrm_principal_controls.h"

void openUpdateCheck(TFrm_Principal& window) {
    TFrmUpdate update(&window);
    Dialogs::execModal(&update);
}

void connectToolCommands(TFrm_Principal& window) {
    QObject::connect(window.ui->Checkforupdates1, &QAction::triggered, &window,
                     [&window] { runCommand(&window, [&window] { openUpdateCheck(window); }); });
}
