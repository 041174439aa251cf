#include "ui/db/controls/look_cache.h"

#include <QApplication>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QScrollBar>
#include <QStyleOptionFrame>
#include <QStyleOptionSlider>
#include <functional>

namespace {

// What every look depends on besides its own parts.
QString commonKey(const char* kind, const QStyleOption& option, qreal ratio) {
    return QStringLiteral("nereva-%1-%2x%3-%4-%5-%6-%7-%8")
        .arg(QLatin1String(kind))
        .arg(option.rect.width())
        .arg(option.rect.height())
        .arg(uint(option.state))
        .arg(int(option.direction))
        .arg(option.palette.cacheKey())
        .arg(int(option.palette.currentColorGroup()))
        .arg(ratio);
}

// The look under `key`, painted by `paint` at the origin over `background` when not cached yet.
QPixmap cachedLook(const QString& key, const QSize& size, qreal ratio, const QColor& background,
                   const std::function<void(QPainter&)>& paint) {
    QPixmap look;
    if (!QPixmapCache::find(key, &look)) {
        look = QPixmap(size * ratio);
        look.setDevicePixelRatio(ratio);
        look.fill(background);
        QPainter painter(&look);
        paint(painter);
        painter.end();
        QPixmapCache::insert(key, look);
    }
    return look;
}

}  // namespace

void LookCache::on(QWidget* widget) {
    static QPointer<LookCache> shared;
    if (!shared) {
        shared = new LookCache;
        shared->setParent(qApp);
    }
    widget->setStyle(shared);
}

LookCache::LookCache() : QProxyStyle(QApplication::style()->name()) {}

// A scroll bar's copy covers it; the style's own polish may say otherwise.
void LookCache::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    if (qobject_cast<QScrollBar*>(widget)) {
        widget->setAttribute(Qt::WA_OpaquePaintEvent);
    }
}

// An edit's frame is copied with its transparent corners over what lies behind it.
void LookCache::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                              QPainter* painter, const QWidget* widget) const {
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (element != PE_PanelLineEdit || !frame || frame->rect.isEmpty()) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const qreal ratio = painter->device()->devicePixelRatio();
    const QString key = commonKey("edit", *frame, ratio) + QStringLiteral("-%1-%2-%3")
                                                               .arg(frame->lineWidth)
                                                               .arg(frame->midLineWidth)
                                                               .arg(uint(frame->features));
    QStyleOptionFrame atOrigin = *frame;
    atOrigin.rect.moveTo(0, 0);
    const QPixmap look =
        cachedLook(key, frame->rect.size(), ratio, Qt::transparent, [&](QPainter& lookPainter) {
            QProxyStyle::drawPrimitive(element, &atOrigin, &lookPainter, widget);
        });
    painter->drawPixmap(frame->rect.topLeft(), look);
}

// A scroll bar is copied whole: the style covers all of it, so the copy is opaque and drawn as
// a plain copy of pixels. The slider is part of the look as placed in pixels.
void LookCache::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
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
    const QString key =
        commonKey("scrollbar", *bar, ratio) + QStringLiteral("-%1-%2-%3,%4,%5x%6-%7%8")
                                                  .arg(uint(bar->subControls))
                                                  .arg(uint(bar->activeSubControls))
                                                  .arg(slider.x())
                                                  .arg(slider.y())
                                                  .arg(slider.width())
                                                  .arg(slider.height())
                                                  .arg(int(bar->sliderPosition <= bar->minimum))
                                                  .arg(int(bar->sliderPosition >= bar->maximum));
    const QPixmap look =
        cachedLook(key, bar->rect.size(), ratio, bar->palette.color(QPalette::Window),
                   [&](QPainter& lookPainter) {
                       QProxyStyle::drawComplexControl(control, &atOrigin, &lookPainter, widget);
                   });
    painter->drawPixmap(bar->rect.topLeft(), look);
}
