#pragma once

#include <QProxyStyle>

// The application's style, with the looks that are repainted most painted once and then
// copied: a long list's scroll bar (repainted on every move through the list, while moving by a
// row seldom moves its slider by a pixel) and an edit's frame (every edit of the dive editor
// shows another value on every move), which the style draws anew each time with gradients and
// smoothed curves.
class LookCache : public QProxyStyle {
    Q_OBJECT
public:
    // Gives `widget` the style (one for the whole application).
    static void on(QWidget* widget);

    using QProxyStyle::polish;
    void polish(QWidget* widget) override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;

private:
    LookCache();
};
