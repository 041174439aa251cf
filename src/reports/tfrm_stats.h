#pragma once

#include "reports/dive_statistics.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmStats;
}

// The statistics window: the number of dives and the total bottom time on its first page, the
// records of the log and its dives per year on the second, all computed afresh each time the
// window is shown, in one pass over the log. The current dive stays where it was.
class TFrmStats : public QDialog {
    Q_OBJECT
public:
    explicit TFrmStats(QWidget* owner = nullptr);
    ~TFrmStats() override;

    // Computes and shows the totals and records (raising Busy meanwhile).
    void FormShow();
    void Button1Click();

    const DiveStatistics& statistics() const { return statistics_; }
    Ui::TFrmStats* form() const { return ui.get(); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void showTotals();
    void showRecords();

    std::unique_ptr<Ui::TFrmStats> ui;
    DiveStatistics statistics_;
};
