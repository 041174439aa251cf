#pragma once

#include <QProxyStyle>

// The application's style, with each look of a scroll bar painted once and then copied: a long
// list's bar is repainted on every move through it, and moving by a row seldom moves its slider
// by a pixel, while the style draws its gradients anew each time.
class ScrollBarCache : public QProxyStyle {
    Q_OBJECT
public:
    // Gives `bar` a cache of its own (the cache belongs to the bar).
    static void on(QWidget* bar);

    using QProxyStyle::polish;
    void polish(QWidget* widget) override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;

private:
    explicit ScrollBarCache(QWidget* bar);
};
