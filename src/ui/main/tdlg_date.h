#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TDlg_date;
}
class DataSource;

// Picks the date of the current dive on a month calendar, which opens on the dive's date (on
// 17 February 2002 for a dive without one). OK writes the picked day into the
// dive and posts it, then closes with the Accepted result; Cancel closes with Rejected and
// writes nothing. The caller posts the dive afterwards if it is still being edited.
class TDlg_date : public QDialog {
    Q_OBJECT
public:
    // `dives`: the data source of the current dive.
    TDlg_date(QWidget* owner, DataSource* dives);
    ~TDlg_date() override;

    // Throws AppError when the date cannot be stored or the dive not posted (the window then
    // stays open).
    void Button1Click();

private:
    void FormCreate();

    std::unique_ptr<Ui::TDlg_date> ui;
    DataSource* dives_;
};
