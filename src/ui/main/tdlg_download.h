#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TDlgDownload;
}

// The please-wait window of a request that blocks the user interface. The caller shows it
// (without blocking) just before the request and destroys it when the request returns or
// fails, e.g. as a local object around the request. The user cannot close it: it has no
// title-bar buttons and ignores Escape and close requests; only closeByProgram() closes it.
class TDlgDownload : public QDialog {
    Q_OBJECT
public:
    explicit TDlgDownload(QWidget* owner);
    ~TDlgDownload() override;

    void closeByProgram();

    // Painted at once when shown, as the request that follows leaves no time for it.
    void setVisible(bool visible) override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormShow();

    std::unique_ptr<Ui::TDlgDownload> ui;
    bool closingByProgram_ = false;
};
