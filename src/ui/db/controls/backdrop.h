#pragma once

#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <vector>

class QWidget;

// Paints a widget as an opaque one: before each of its paints, what its parents show behind it
// is drawn first; that is captured once, and again when the widget or a parent moves, resizes
// or changes its palette or enabled state. Meant for controls that no other widget overlaps
// (the data-aware controls of every window). Qt then repaints only the widget when it changes, not
// every parent behind it: moving to the next dive changes most of the editor's controls, and
// repainting the group boxes and pages behind them cost more than the controls themselves.
class Backdrop : public QObject {
    Q_OBJECT
public:
    // Gives `widget` a backdrop of its own (once; the backdrop belongs to the widget).
    static void under(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What the parents' painting behind the widget depends on.
    struct Ancestor {
        QWidget* widget = nullptr;
        QPoint position;
        QSize size;
        qint64 palette = 0;
        bool enabled = true;
        bool operator==(const Ancestor& other) const;
    };

    explicit Backdrop(QWidget* widget);
    std::vector<Ancestor> ancestors() const;
    void capture(const std::vector<Ancestor>& chain);
    void paint(const QRegion& region);

    QWidget* widget_;
    QPixmap pixmap_;
    std::vector<Ancestor> capturedFor_;
    qreal capturedRatio_ = 0;
    bool activeWhenCaptured_ = false;
};
