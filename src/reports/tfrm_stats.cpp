#include "reports/tfrm_stats.h"

#include "app/settings/regional_formats.h"
#include "reports/log_walk.h"
#include "store/tdm_rdp.h"
#include "ui/forms/assing_lenguage.h"
#include "ui_tfrm_stats.h"

#include <QLineEdit>
#include <QShowEvent>

namespace {

QString dateAndPlace(const DiveStatistics::Mark& mark) {
    QStringList parts;
    if (mark.date.isValid()) {
        parts << RegionalFormats::formatDate(mark.date);
    }
    if (!mark.place.isEmpty()) {
        parts << mark.place;
    }
    return parts.join(QStringLiteral(", "));
}

}  // namespace

TFrmStats::TFrmStats(QWidget* owner) : QDialog(owner), ui(std::make_unique<Ui::TFrmStats>()) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    for (QLineEdit* box : {ui->ndives, ui->ttime}) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        box->setPalette(palette);
    }
    connect(ui->Button1, &QPushButton::clicked, this, &TFrmStats::Button1Click);
    FormCreate();
}

TFrmStats::~TFrmStats() = default;

void TFrmStats::FormCreate() {
    AssingLenguage(this);
}

void TFrmStats::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TFrmStats::FormShow() {
    if (!dm_rdp) {
        return;
    }
    {
        LogWalk walk(*dm_rdp);
        statistics_ = computeDiveStatistics(*dm_rdp->cds_dives, *dm_rdp->cds_conditions);
    }
    showTotals();
    showRecords();
}

void TFrmStats::showTotals() {
    ui->ttime->setText(bottomTimeText(statistics_.bottomMinutes));
    ui->ndives->setText(QString::number(statistics_.dives));
}

void TFrmStats::showRecords() {
    const struct {
        const DiveStatistics::Mark& mark;
        QLabel* value;
        QLabel* place;
    } marks[] = {
        {statistics_.deepest, ui->deepest_value, ui->deepest_place},
        {statistics_.longest, ui->longest_value, ui->longest_place},
        {statistics_.coldest, ui->coldest_value, ui->coldest_place},
        {statistics_.warmest, ui->warmest_value, ui->warmest_place},
        {statistics_.first, ui->first_dive_value, ui->first_dive_place},
        {statistics_.latest, ui->latest_dive_value, ui->latest_dive_place},
    };
    for (const auto& m : marks) {
        // First and latest dive show their date as the value.
        const bool dated = m.mark.shown.isEmpty() && m.mark.date.isValid();
        m.value->setText(dated ? RegionalFormats::formatDate(m.mark.date) : m.mark.shown);
        m.place->setText(dated ? m.mark.place : dateAndPlace(m.mark));
    }
    ui->locations_value->setText(QString::number(statistics_.locations));
    ui->countries_value->setText(QString::number(statistics_.countries));
    ui->chart_years->setCounts(statistics_.divesPerYear);
}

void TFrmStats::Button1Click() {
    accept();
}
