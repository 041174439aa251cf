#pragma once

#include <QSize>
#include <QSizePolicy>
#include <QWidget>

// Holds one widget in a place of the widget's own size, laid out by hand. Qt's layouts carry
// every show, hide or re-layout of a widget up to its window; in a fixed place, showing or
// hiding the widget, or changes inside it that leave its size as it was, re-lay out and repaint
// nothing around it. A hidden widget leaves its place empty.
class FixedPlace : public QWidget {
public:
    // Puts a place where `widget` stands in its parent's layout (or in a layout nested in it)
    // and moves `widget` into it, shown or hidden as it was. Null when `widget` is in no layout.
    static FixedPlace* around(QWidget* widget);

    QWidget* held() const { return held_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    FixedPlace(QWidget* widget, QWidget* parent);
    // Passes a change of the held widget's size on to the layout around the place.
    void followHeldSize();

    QWidget* held_;
    QSize hint_;
    QSize minimumHint_;
    QSizePolicy policy_;
};
