#include "app/tfrm_splash.h"

#include "ui/forms/logo.h"
#include "ui_tfrm_splash.h"

#include <QApplication>
#include <QScreen>

TFrmSplash::TFrmSplash() : ui(std::make_unique<Ui::TFrmSplash>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::SplashScreen | Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(329, 208);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setStyleSheet(QStringLiteral("TFrmSplash { border: 1px solid palette(dark); }"));
    ui->imgLogo->setPixmap(Logo::picture());
    ui->imgLogo->setStyleSheet(QStringLiteral("background: %1;").arg(Logo::kBandColour.name()));
    ui->pnlCaptionBand->setStyleSheet(QStringLiteral("background: palette(highlight);"));
    ui->lbName->setText(QGuiApplication::applicationDisplayName());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Timer1.setSingleShot(true);
    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, &TFrmSplash::Timer1Timer);
}

TFrmSplash::~TFrmSplash() {
    if (!timerFired_) {
        QApplication::restoreOverrideCursor();
    }
}

void TFrmSplash::setLoading(const QString& text) {
    ui->lbloading->setText(text);
    repaint();
}

QString TFrmSplash::loadingText() const {
    return ui->lbloading->text();
}

void TFrmSplash::enableTimer() {
    Timer1.start();
}

void TFrmSplash::Timer1Timer() {
    timerFired_ = true;
    QApplication::restoreOverrideCursor();
    close();
}
