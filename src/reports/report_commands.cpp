#include "reports/report_commands.h"

#include "reports/log_walk.h"
#include "reports/tfrm_report.h"
#include "reports/tfrm_report_preview.h"
#include "reports/tfrm_stats.h"
#include "store/tdm_rdp.h"
#include "ui/forms/dialogs.h"
#include "ui/forms/wait_cursor.h"
#include "ui/main/guarded_command.h"
#include "ui/main/tfrm_principal.h"
#include "ui/main/tfrm_principal_controls.h"

namespace {

const QString kUnderConstruction = QStringLiteral("Este reporte se encuentra en construcción");

}  // namespace

void Ac_Print_DiveExecute(TFrm_Principal& window) {
    Dialogs::message(&window,
                     {QString(), kUnderConstruction, QMessageBox::Information, QMessageBox::Ok});
    if (!dm_rdp) {
        return;
    }
    // The report reads the log without moving the dive table, so the current dive stays.
    LogWalk walk(*dm_rdp);
    TFrmReport report(&window);
    {
        WaitCursor wait;
        report.FormCreate();
    }
    TFrmReportPreview preview(&window, report);
    Dialogs::execModal(&preview);
}

void openStatistics(TFrm_Principal& window) {
    TFrmStats stats(&window);
    Dialogs::execModal(&stats);
}

void connectReportCommands(TFrm_Principal& window) {
    QObject::connect(window.ui->Ac_Print_Dive, &QAction::triggered, &window, [&window] {
        runRecordCommand(&window, [&window] { Ac_Print_DiveExecute(window); });
    });
    QObject::connect(window.ui->Reports1, &QAction::triggered, &window,
                     [&window] { runCommand(&window, [&window] { openStatistics(window); }); });
}
