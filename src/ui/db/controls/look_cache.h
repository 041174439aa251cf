#pragma once

#include <QHash>
#include <QProxyStyle>

class QStyleOptionSlider;

// The application's style, with the looks that are repainted most painted once and then
// copied: a list's scroll bar (repainted on every move through the list) and an edit's frame (every
// edit of the dive editor shows another value on every move), which the style draws anew each time
// with gradients and smoothed curves.
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
    bool drawBarInParts(const QStyleOptionSlider& bar, const QString& key, const QPoint& at,
                        QPainter* painter, const QWidget* widget) const;
    void drawWholeBar(const QStyleOptionSlider& bar, const QString& key, const QPoint& at,
                      QPainter* painter, const QWidget* widget) const;
    QRect evenPartOf(const QString& grooveKey, const QPixmap& groove, Qt::Orientation orientation,
                     const QRect& track) const;

    mutable QHash<QString, QRect> evenParts_;
};
