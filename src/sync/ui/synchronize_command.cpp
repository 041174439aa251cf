#include "sync/ui/synchronize_command.h"

#include "app/settings/app_error.h"
#include "store/tdm_rdp.h"
#include "sync/sync_run.h"
#include "sync/ui/tfrm_syncro.h"
#include "ui/db/db_grid_model.h"
#include "ui/forms/dialogs.h"
#include "ui/main/tfrm_principal.h"

namespace {

// Empty also when the member table could not be opened.
QString memberUserName() {
    Table* member = dm_rdp->cds_info;
    return member->active() ? member->asString(QStringLiteral("inet_user")) : QString();
}

}  // namespace

void Ac_SyncronizeExecute(TFrm_Principal& window) {
    if (memberUserName().isEmpty()) {
        Dialogs::message(&window, {QString(), SyncRun::word(QStringLiteral("txt_no_member")),
                                   QMessageBox::Information, QMessageBox::Ok});
        return;
    }
    window.divesGridModel()->setDataSource(nullptr);
    try {
        TFrm_Syncro dialog(&window);
        Dialogs::execModal(&dialog);
    } catch (const AppError&) {
        // Swallowed: what the run wrote stays, and the list is attached again below.
    }
    window.divesGridModel()->setDataSource(window.ds_dives);
}
