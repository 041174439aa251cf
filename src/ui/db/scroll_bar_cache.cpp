#include "ui/db/scroll_bar_cache.h"

#include <QApplication>
#include <QPainter>
#include <QPixmapCache>
#include <QStyleOptionSlider>
#include <QWidget>

namespace {

// Everything the style's painting of a scroll bar follows; the slider as placed in pixels.
QString lookOf(const QStyleOptionSlider& bar, const QRect& slider, qreal ratio) {
    return QStringLiteral("nereva-scrollbar-%1x%2-%3-%4-%5-%6-%7-%8,%9,%10x%11-%12%13-%14")
        .arg(bar.rect.width())
        .arg(bar.rect.height())
        .arg(uint(bar.state))
        .arg(uint(bar.subControls))
        .arg(uint(bar.activeSubControls))
        .arg(int(bar.direction))
        .arg(bar.palette.cacheKey())
        .arg(slider.x())
        .arg(slider.y())
        .arg(slider.width())
        .arg(slider.height())
        .arg(int(bar.sliderPosition <= bar.minimum))
        .arg(int(bar.sliderPosition >= bar.maximum))
        .arg(ratio);
}

}  // namespace

void ScrollBarCache::on(QWidget* bar) {
    bar->setStyle(new ScrollBarCache(bar));
}

// What is drawn covers the bar; the style's own polish may say otherwise.
void ScrollBarCache::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    widget->setAttribute(Qt::WA_OpaquePaintEvent);
}

ScrollBarCache::ScrollBarCache(QWidget* bar) : QProxyStyle(QApplication::style()->name()) {
    setParent(bar);
}

// The bar is painted over the window colour: the style covers all of it, so the copy is opaque
// and drawn as a plain copy of pixels.
void ScrollBarCache::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                        QPainter* painter, const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || !bar || bar->rect.isEmpty()) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const qreal ratio = painter->device()->devicePixelRatio();
    QStyleOptionSlider atOrigin = *bar;
    atOrigin.rect.moveTo(0, 0);
    const QRect slider = subControlRect(CC_ScrollBar, &atOrigin, SC_ScrollBarSlider, widget);
    const QString key = lookOf(*bar, slider, ratio);
    QPixmap look;
    if (!QPixmapCache::find(key, &look)) {
        look = QPixmap(bar->rect.size() * ratio);
        look.setDevicePixelRatio(ratio);
        look.fill(bar->palette.color(QPalette::Window));
        QPainter lookPainter(&look);
        QProxyStyle::drawComplexControl(control, &atOrigin, &lookPainter, widget);
        lookPainter.end();
        QPixmapCache::insert(key, look);
    }
    painter->drawPixmap(bar->rect.topLeft(), look);
}
