#include "ui/main/tdlg_download.h"

#include "ui/forms/assing_lenguage.h"
#include "ui/main/main_icons.h"
#include "ui_tdlg_download.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QScopedValueRollback>

namespace {
constexpr int kIconSize = 32;
}

TDlgDownload::TDlgDownload(QWidget* owner)
    : QDialog(owner), ui(std::make_unique<Ui::TDlgDownload>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    FormCreate();
}

TDlgDownload::~TDlgDownload() = default;

void TDlgDownload::FormCreate() {
    AssingLenguage(this);
    ui->Image1->setPixmap(MainIcons::synchronize().pixmap(kIconSize, kIconSize));
    repaint();
}

void TDlgDownload::setVisible(bool visible) {
    QDialog::setVisible(visible);
    if (visible) {
        FormShow();
    }
}

void TDlgDownload::FormShow() {
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TDlgDownload::closeByProgram() {
    QScopedValueRollback<bool> closing(closingByProgram_, true);
    close();
}

void TDlgDownload::reject() {
    if (closingByProgram_) {
        QDialog::reject();
    }
}

void TDlgDownload::closeEvent(QCloseEvent* event) {
    if (closingByProgram_) {
        QDialog::closeEvent(event);
    } else {
        event->ignore();
    }
}
