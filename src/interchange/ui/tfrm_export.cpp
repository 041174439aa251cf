#include "interchange/ui/tfrm_export.h"

#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "interchange/log_snapshot.h"
#include "interchange/log_writers.h"
#include "interchange/ui/interchange_words.h"
#include "store/tdm_rdp.h"
#include "ui/db/db_grid_model.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"
#include "ui_tfrm_export.h"

#include <QApplication>
#include <QHeaderView>
#include <QIdentityProxyModel>

using InterchangeWords::word;

namespace {

constexpr int kPumpEveryMs = 50;
constexpr int kTitlePadding = 16;
const QString kDiveKey = QStringLiteral("id_local_dive");

QString ownerName() {
    Table* member = dm_rdp->cds_info;
    return member->active() && member->recordCount() > 0 ? member->asString(QStringLiteral("name"))
                                                         : QString();
}

// The dive list's columns with translated titles and start times to the minute.
class DiveListTitles : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const char* const kKeys[] = {"date", "time_start", "location", "site"};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < 4) {
            return word(QString::fromLatin1(kKeys[section]));
        }
        return QIdentityProxyModel::headerData(section, orientation, role);
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const QVariant value = QIdentityProxyModel::data(index, role);
        return index.column() == 1 && role == Qt::DisplayRole ? value.toString().left(5) : value;
    }
};

}  // namespace

TFrmExport::TFrmExport(QWidget* owner, int currentDive)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TFrmExport>()),
      dives_(new DataSource(dm_rdp->cds_dives, this)),
      model_(new DbGridModel({{QStringLiteral("Date"), 80, Qt::AlignRight | Qt::AlignVCenter},
                              {QStringLiteral("Time_Start"), 60},
                              {QStringLiteral("Location"), 200},
                              {QStringLiteral("Site"), 140}},
                             this)) {
    ui->setupUi(this);
    model_->setDataSource(dives_);
    auto* titles = new DiveListTitles(this);
    titles->setSourceModel(model_);
    ui->lv_dives->setModel(titles);
    connect(ui->rb_selected, &QRadioButton::toggled, ui->lv_dives, &QWidget::setEnabled);
    connect(ui->bt_export, &QPushButton::clicked, this, &TFrmExport::bt_exportClick);
    connect(ui->bt_close, &QPushButton::clicked, this, &TFrmExport::bt_closeClick);
    FormCreate(currentDive);
}

TFrmExport::~TFrmExport() = default;

void TFrmExport::FormCreate(int currentDive) {
    AssingLenguage(this);
    InterchangeWords::translateRadioButtons(this);
    InterchangeWords::keepPlaceWhenHidden(ui->pb_progress);
    ui->pb_progress->hide();
    QHeaderView* header = ui->lv_dives->horizontalHeader();
    for (int column = 0; column < model_->columns().size(); ++column) {
        const int title = header->fontMetrics().horizontalAdvance(
            ui->lv_dives->model()->headerData(column, Qt::Horizontal).toString());
        header->resizeSection(column,
                              std::max(model_->columns()[column].width, title + kTitlePadding));
    }
    QHeaderView* rows = ui->lv_dives->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(ui->lv_dives->fontMetrics().height() + 6);
    const Table* dives = dm_rdp->cds_dives;
    const int idField = dives->fieldIndex(kDiveKey);
    for (int row = 0; row < dives->recordCount(); ++row) {
        if (dives->valueAt(row, idField).toInt() == currentDive) {
            ui->lv_dives->selectRow(row);
            ui->lv_dives->scrollTo(ui->lv_dives->model()->index(row, 0));
            break;
        }
    }
}

QSet<int> TFrmExport::chosenDives() const {
    QSet<int> chosen;
    if (!ui->rb_selected->isChecked()) {
        return chosen;
    }
    const Table* dives = dm_rdp->cds_dives;
    const int idField = dives->fieldIndex(kDiveKey);
    for (const QModelIndex& row : ui->lv_dives->selectionModel()->selectedRows()) {
        chosen.insert(dives->valueAt(row.row(), idField).toInt());
    }
    return chosen;
}

bool TFrmExport::exportTo(const QString& path) {
    const LogSnapshot log(*dm_rdp, chosenDives());
    working_ = true;
    stopAsked_ = false;
    sinceEvents_.start();
    ui->bt_export->setEnabled(false);
    ui->pb_progress->setValue(0);
    ui->pb_progress->show();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const WriteProgress progress = [this](int done, int total) {
        if (sinceEvents_.elapsed() >= kPumpEveryMs) {
            ui->pb_progress->setMaximum(total);
            ui->pb_progress->setValue(done);
            QApplication::processEvents();
            sinceEvents_.restart();
        }
        return !stopAsked_;
    };
    bool finished = false;
    try {
        finished = ui->rb_csv->isChecked()
                       ? LogWriters::saveCsv(log, path, progress)
                       : LogWriters::saveUddf(
                             log, {dm_const ? dm_const->AppVersion : QString(), ownerName()}, path,
                             progress);
    } catch (const AppError& error) {
        Dialogs::showError(this, error.message());
    }
    QApplication::restoreOverrideCursor();
    ui->pb_progress->hide();
    working_ = false;
    ui->bt_export->setEnabled(true);
    written_ = finished ? log.count() : 0;
    return finished;
}

void TFrmExport::bt_exportClick() {
    if (ui->rb_selected->isChecked() && chosenDives().isEmpty()) {
        Dialogs::message(this, {QString(), word(QStringLiteral("txt_select_dives")),
                                QMessageBox::Information, QMessageBox::Ok});
        return;
    }
    const bool csv = ui->rb_csv->isChecked();
    const QString path = InterchangeWords::chooseFile(
        this, QFileDialog::AcceptSave, word(QStringLiteral("export_dives")),
        csv ? QStringLiteral("CSV (*.csv)") : QStringLiteral("UDDF (*.uddf)"),
        csv ? QStringLiteral("csv") : QStringLiteral("uddf"));
    if (path.isEmpty() || !exportTo(path)) {
        return;
    }
    Dialogs::message(this, {QString(),
                            QString::number(written_) + QLatin1Char(' ') +
                                word(QStringLiteral("txt_dives_exported")) + u'\n' + path,
                            QMessageBox::Information, QMessageBox::Ok});
    accept();
}

void TFrmExport::bt_closeClick() {
    reject();
}

void TFrmExport::reject() {
    if (working_) {
        stopAsked_ = true;
        return;
    }
    QDialog::reject();
}
