#include "interchange/ui/tfrm_import.h"

#include "app/settings/regional_formats.h"
#include "app/settings/tdm_const.h"
#include "interchange/dive_fields.h"
#include "interchange/ui/interchange_words.h"
#include "interchange/units.h"
#include "store/tdm_rdp.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"
#include "ui_tfrm_import.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>

using InterchangeWords::word;

namespace {

constexpr int kPumpEveryMs = 50;
constexpr int kProgressSteps = 1000;

enum Column {
    DateColumn,
    TimeColumn,
    LocationColumn,
    SiteColumn,
    DepthColumn,
    DurationColumn,
    SamplesColumn,
    StatusColumn,
    ColumnCount
};

const char* const kColumnKeys[] = {"date",      "time_start",  "location", "site",
                                   "max_depth", "bottom_time", "samples",  "status"};
// The widest text each fixed column shows besides its title.
const char* const kWidestTexts[] = {"12/28/2024", "00:00", "",      "",
                                    "1000.0 ft",  "00:00", "99999", ""};
constexpr int kSiteWidth = 120;
constexpr int kCellPadding = 14;

DiveFields::DiveUnits importUnits() {
    return dm_const ? DiveFields::importUnits(dm_const->Unit_Dist, dm_const->Unit_Temp,
                                              dm_const->Unit_Pres)
                    : DiveFields::importUnits(0, 0, 0);
}

}  // namespace

// The dives of the file read, one row each, as they would go in.
class ImportPreviewModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void show(const LogImport* import, int distanceUnit) {
        beginResetModel();
        import_ = import;
        distanceUnit_ = distanceUnit;
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() || !import_ ? 0 : int(import_->file().dives.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : ColumnCount;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            return word(QString::fromLatin1(kColumnKeys[section]));
        }
        return {};
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!import_ || !index.isValid()) {
            return {};
        }
        if (role == Qt::TextAlignmentRole) {
            const bool number = index.column() == DepthColumn || index.column() == SamplesColumn ||
                                index.column() == DateColumn;
            return int((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        }
        if (role == Qt::ForegroundRole && import_->isDuplicate(index.row())) {
            return QApplication::palette().color(QPalette::PlaceholderText);
        }
        return role == Qt::DisplayRole ? text(index) : QVariant();
    }

private:
    QString text(const QModelIndex& index) const {
        const ExchangeDive& dive = import_->file().dives[index.row()];
        switch (index.column()) {
            case DateColumn:
                return RegionalFormats::formatDate(dive.date);
            case TimeColumn:
                return dive.start.toString(QStringLiteral("hh:mm"));
            case LocationColumn:
                return dive.location;
            case SiteColumn:
                return dive.site;
            case DepthColumn:
                return dive.maxDepth ? depthText(*dive.maxDepth) : QString();
            case DurationColumn:
                return dive.duration ? DiveFields::clockText(*dive.duration) : QString();
            case SamplesColumn:
                return QString::number(dive.samples.size());
            default:
                return word(import_->isDuplicate(index.row()) ? QStringLiteral("in_log")
                                                              : QStringLiteral("new_dive"));
        }
    }
    QString depthText(double metres) const {
        const double depth = Units::fromSi(Units::Kind::Distance, distanceUnit_, metres);
        return QString::number(depth, 'f', 1) +
               (distanceUnit_ == Units::kImperial ? QStringLiteral(" ft") : QStringLiteral(" m"));
    }

    const LogImport* import_ = nullptr;
    int distanceUnit_ = Units::kMetric;
};

TFrmImport::TFrmImport(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TFrmImport>()),
      model_(new ImportPreviewModel(this)) {
    ui->setupUi(this);
    ui->lv_preview->setModel(model_);
    connect(ui->bt_file, &QPushButton::clicked, this, &TFrmImport::bt_fileClick);
    connect(ui->bt_import, &QPushButton::clicked, this, &TFrmImport::bt_importClick);
    connect(ui->bt_close, &QPushButton::clicked, this, &TFrmImport::bt_closeClick);
    FormCreate();
}

TFrmImport::~TFrmImport() = default;

void TFrmImport::FormCreate() {
    AssingLenguage(this);
    InterchangeWords::translateRadioButtons(this);
    // Every column but the location fits its title and its widest text; the location takes
    // what is left.
    QHeaderView* header = ui->lv_preview->horizontalHeader();
    const QFontMetrics metrics = ui->lv_preview->fontMetrics();
    header->setStretchLastSection(false);
    for (int column = 0; column < ColumnCount; ++column) {
        const int title = header->fontMetrics().horizontalAdvance(
            model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
        const int widest =
            column == StatusColumn
                ? std::max(metrics.horizontalAdvance(word(QStringLiteral("new_dive"))),
                           metrics.horizontalAdvance(word(QStringLiteral("in_log"))))
                : metrics.horizontalAdvance(QLatin1String(kWidestTexts[column]));
        header->resizeSection(column, std::max(title, widest) + kCellPadding);
    }
    header->resizeSection(SiteColumn, kSiteWidth);
    header->setSectionResizeMode(LocationColumn, QHeaderView::Stretch);
    QHeaderView* rows = ui->lv_preview->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(ui->lv_preview->fontMetrics().height() + 6);
    ui->gb_duplicates->setEnabled(false);
    InterchangeWords::keepPlaceWhenHidden(ui->pb_progress);
    ui->pb_progress->hide();
}

void TFrmImport::bt_fileClick() {
    const QString path = InterchangeWords::chooseFile(
        this, QFileDialog::AcceptOpen, word(QStringLiteral("import_dives")),
        word(QStringLiteral("dive_logs")) + QStringLiteral(" (*.uddf *.udf *.xml *.ssrf)"));
    if (!path.isEmpty()) {
        readFile(path);
    }
}

bool TFrmImport::readFile(const QString& path) {
    model_->show(nullptr, Units::kMetric);
    import_.reset();
    summary_.reset();
    ui->ed_file->setText(path);
    ui->lb_summary->clear();
    ui->lb_found->setText(word(QStringLiteral("txt_reading_file")));
    setWorking(true);
    std::optional<LogFile> file;
    QString refusal;
    try {
        file = LogReader::read(path, [this](double done) { return keepGoing(done); });
    } catch (const AppError& error) {
        refusal = error.message();
    }
    setWorking(false);
    if (!refusal.isEmpty()) {
        ui->lb_found->setText(word(QStringLiteral("txt_file_refused")) + QLatin1Char(' ') +
                              refusal);
        Dialogs::showError(this, word(QStringLiteral("txt_file_refused")) + u'\n' + refusal);
        return false;
    }
    if (!file) {
        ui->lb_found->setText(word(QStringLiteral("txt_reading_stopped")));
        return false;
    }
    const DiveFields::DiveUnits units = importUnits();
    import_ = std::make_unique<LogImport>(*dm_rdp, std::move(*file), units);
    model_->show(import_.get(), units.distance);
    ui->lb_found->setText(InterchangeWords::foundText(import_->file(), import_->duplicateCount()));
    ui->gb_duplicates->setEnabled(import_->duplicateCount() > 0);
    ui->bt_import->setEnabled(!import_->file().dives.empty());
    return true;
}

void TFrmImport::bt_importClick() {
    if (!pending()) {
        return;
    }
    const DuplicateChoice choice =
        ui->rb_merge->isChecked() ? DuplicateChoice::Merge : DuplicateChoice::Skip;
    ui->lb_summary->setText(word(QStringLiteral("txt_importing")));
    setWorking(true);
    if (beforeChange) {
        beforeChange();
    }
    summary_ = import_->apply(choice, [this](int done, int total) {
        return keepGoing(total > 0 ? double(done) / total : 1.0);
    });
    if (afterChange) {
        afterChange(summary_->firstAdded);
    }
    setWorking(false);
    ui->lb_summary->setText(InterchangeWords::summaryText(*summary_));
    ui->bt_import->setEnabled(false);
    ui->gb_duplicates->setEnabled(false);
    ui->bt_close->setDefault(true);
}

void TFrmImport::bt_closeClick() {
    if (working_) {
        stopAsked_ = true;
        return;
    }
    accept();
}

void TFrmImport::reject() {
    if (working_) {
        stopAsked_ = true;
        return;
    }
    QDialog::reject();
}

void TFrmImport::setWorking(bool working) {
    working_ = working;
    stopAsked_ = false;
    ui->bt_file->setEnabled(!working);
    ui->bt_import->setEnabled(false);
    ui->bt_close->setText(word(working ? QStringLiteral("cancel") : QStringLiteral("close")));
    ui->pb_progress->setVisible(working);
    if (working) {
        ui->pb_progress->setValue(0);
        sinceEvents_.start();
        QApplication::setOverrideCursor(Qt::BusyCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
}

bool TFrmImport::keepGoing(double done) {
    if (sinceEvents_.elapsed() >= kPumpEveryMs) {
        ui->pb_progress->setValue(int(done * kProgressSteps));
        QApplication::processEvents();
        sinceEvents_.restart();
    }
    return !stopAsked_;
}
