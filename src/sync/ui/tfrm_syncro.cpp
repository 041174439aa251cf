#include "sync/ui/tfrm_syncro.h"

#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"
#include "ui/main/main_icons.h"
#include "ui_tfrm_syncro.h"

#include <QHeaderView>

namespace {

constexpr int kTaskColumn = 0;
constexpr int kStatusColumn = 1;
constexpr int kTaskColumnWidth = 210;
constexpr int kStatusColumnWidth = 90;
constexpr int kIconSize = 32;

}  // namespace

TFrm_Syncro::TFrm_Syncro(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TFrm_Syncro>()),
      run_({[this](SyncTask task, TaskStatus status) {
                taskRow(task)->setText(kStatusColumn, SyncRun::statusText(status));
            },
            [this](const QString& text) { ui->Label1->setText(text); },
            [this](int value, int maximum) {
                ui->ProgressBar1->setMaximum(maximum);
                ui->ProgressBar1->setValue(value);
            }}) {
    ui->setupUi(this);
    setFixedSize(sizeHint());
    connect(ui->bt_Start, &QPushButton::clicked, this, &TFrm_Syncro::bt_StartClick);
    connect(ui->bt_Cancel, &QPushButton::clicked, this, &TFrm_Syncro::bt_CancelClick);
    FormCreate();
}

TFrm_Syncro::~TFrm_Syncro() = default;

void TFrm_Syncro::FormCreate() {
    AssingLenguage(this);
    ui->Label2->setText(ui->Label2->text() + QLatin1Char(':'));
    ui->ImgIcon->setPixmap(MainIcons::synchronize().pixmap(kIconSize, kIconSize));
    QHeaderView* header = ui->listTask->header();
    header->setSectionsClickable(false);
    header->resizeSection(kTaskColumn, kTaskColumnWidth);
    header->resizeSection(kStatusColumn, kStatusColumnWidth);
    for (const SyncTask task : {SyncTask::Member, SyncTask::Dives, SyncTask::Reference}) {
        auto* row = new QTreeWidgetItem(ui->listTask);
        row->setText(kTaskColumn, SyncRun::word(SyncRun::taskKey(task)));
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        row->setCheckState(kTaskColumn, Qt::Checked);
    }
    done_ = false;
}

QTreeWidgetItem* TFrm_Syncro::taskRow(SyncTask task) const {
    return ui->listTask->topLevelItem(int(task));
}

void TFrm_Syncro::bt_StartClick() {
    if (done_) {
        accept();
        return;
    }
    startRun();
    showOutcome();
}

// The rows' check boxes as they are now decide; toggling them during the run changes nothing.
void TFrm_Syncro::startRun() {
    for (const SyncTask task : {SyncTask::Member, SyncTask::Dives, SyncTask::Reference}) {
        run_.setChecked(task, taskRow(task)->checkState(kTaskColumn) == Qt::Checked);
    }
    ui->listTask->setCursor(Qt::WaitCursor);
    ui->bt_Start->setEnabled(false);
    run_.run();
    ui->listTask->unsetCursor();
    ui->bt_Start->setEnabled(true);
}

void TFrm_Syncro::showOutcome() {
    if (!run_.Aborted()) {
        done_ = true;
        ui->bt_Start->setText(SyncRun::word(QStringLiteral("finish")));
        ui->bt_Cancel->setEnabled(false);
    }
    if (run_.skippedDives() > 0) {
        Dialogs::message(this, {windowTitle(), SyncRun::skippedDivesMessage(run_.skippedDives()),
                                QMessageBox::Warning, QMessageBox::Ok});
    }
}

void TFrm_Syncro::bt_CancelClick() {
    if (run_.running()) {
        run_.cancel();
    } else {
        QDialog::reject();
    }
}

void TFrm_Syncro::reject() {
    bt_CancelClick();
}
