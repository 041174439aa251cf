#pragma once

#include "sync/sync_run.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TFrm_Syncro;
}
class QTreeWidgetItem;

// The synchronisation dialog: one checkable row per task with its status, a line telling what
// the run is doing, a progress bar, Start and Cancel. Start runs the checked tasks; after a run
// that was not stopped it turns into the button that closes the dialog. Cancel stops a run in
// progress, giving up the request in flight (Escape and the close box too), or closes the
// dialog when none is running.
class TFrm_Syncro : public QDialog {
    Q_OBJECT
public:
    explicit TFrm_Syncro(QWidget* owner);
    ~TFrm_Syncro() override;

    Ui::TFrm_Syncro* form() const { return ui.get(); }
    QTreeWidgetItem* taskRow(SyncTask task) const;
    const SyncRun& run() const { return run_; }
    bool Done() const { return done_; }

    void bt_StartClick();
    void bt_CancelClick();
    // Escape and the close box: as bt_Cancel.
    void reject() override;

private:
    void FormCreate();
    void startRun();
    void showOutcome();

    std::unique_ptr<Ui::TFrm_Syncro> ui;
    SyncRun run_;
    bool done_ = false;
};
