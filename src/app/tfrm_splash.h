#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>

namespace Ui {
class TFrmSplash;
}

// The window shown while the modules are created; it closes itself a second after the message
// loop starts.
class TFrmSplash : public QWidget {
    Q_OBJECT
public:
    TFrmSplash();
    ~TFrmSplash() override;

    // Shows a progress text and repaints at once (the message loop is not running yet).
    void setLoading(const QString& text);
    QString loadingText() const;
    // Arms the one-shot timer that restores the cursor and destroys the window.
    void enableTimer();

    QTimer Timer1;

private:
    void Timer1Timer();

    std::unique_ptr<Ui::TFrmSplash> ui;
    bool timerFired_ = false;  // the hourglass has been taken back
};
