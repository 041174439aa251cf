#include "interchange/ui/interchange_commands.h"

#include "interchange/ui/interchange_words.h"
#include "interchange/ui/tfrm_export.h"
#include "interchange/ui/tfrm_import.h"
#include "store/tdm_rdp.h"
#include "ui/db/db_grid_model.h"
#include "ui/forms/dialogs.h"
#include "ui/main/tfrm_principal.h"

void runImportCommand(TFrm_Principal& window) {
    if (!InterchangeWords::postPendingEdits(&window)) {
        return;
    }
    TFrmImport dialog(&window);
    dialog.beforeChange = [&window] { window.divesGridModel()->setDataSource(nullptr); };
    dialog.afterChange = [&window](Table::Bookmark firstAdded) {
        window.divesGridModel()->setDataSource(window.ds_dives);
        Table* dives = dm_rdp->cds_dives;
        if (firstAdded != 0 && dives->bookmarkValid(firstAdded)) {
            dives->gotoBookmark(firstAdded);
        }
    };
    Dialogs::execModal(&dialog);
}

void runExportCommand(TFrm_Principal& window) {
    if (!InterchangeWords::postPendingEdits(&window)) {
        return;
    }
    Table* dives = dm_rdp->cds_dives;
    const int current = dives->active() && dives->recordCount() > 0
                            ? dives->asInteger(QStringLiteral("id_local_dive"))
                            : 0;
    TFrmExport dialog(&window, current);
    Dialogs::execModal(&dialog);
}
