#include "ui/db/controls/look_cache.h"

#include <QApplication>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QScrollBar>
#include <QStyleOptionFrame>
#include <QStyleOptionSlider>
#include <cmath>
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

// A scroll bar is copied, not drawn: its groove and buttons once, its slider once for each
// length over the groove where the groove is the same along the bar (a move by a row mostly
// moves the slider), else the whole bar once for each place of the slider. The style covers the
// whole bar, so the copies are opaque and drawn as plain copies of pixels.
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
    const QString key =
        commonKey("scrollbar", *bar, ratio) + QStringLiteral("-%1-%2-%3%4")
                                                  .arg(uint(bar->subControls))
                                                  .arg(uint(bar->activeSubControls))
                                                  .arg(int(bar->sliderPosition <= bar->minimum))
                                                  .arg(int(bar->sliderPosition >= bar->maximum));
    const QPoint at = bar->rect.topLeft();
    if (!drawBarInParts(atOrigin, key, at, painter, widget)) {
        drawWholeBar(atOrigin, key, at, painter, widget);
    }
}

bool LookCache::drawBarInParts(const QStyleOptionSlider& bar, const QString& key, const QPoint& at,
                               QPainter* painter, const QWidget* widget) const {
    const qreal ratio = painter->device()->devicePixelRatio();
    const QRect slider = subControlRect(CC_ScrollBar, &bar, SC_ScrollBarSlider, widget);
    const QRect track = subControlRect(CC_ScrollBar, &bar, SC_ScrollBarGroove, widget);
    // The slider with what the style may draw just beside it.
    constexpr int kMargin = 3;
    const QRect around =
        bar.orientation == Qt::Vertical
            ? QRect(0, slider.top() - kMargin, bar.rect.width(), slider.height() + 2 * kMargin)
            : QRect(slider.left() - kMargin, 0, slider.width() + 2 * kMargin, bar.rect.height());
    if (!(bar.subControls & SC_ScrollBarSlider) || !track.contains(around)) {
        return false;
    }
    QStyleOptionSlider rest = bar;
    rest.subControls &= ~SC_ScrollBarSlider;
    const QString grooveKey = key + QStringLiteral("-groove");
    const QColor window = bar.palette.color(QPalette::Window);
    const QPixmap groove =
        cachedLook(grooveKey, bar.rect.size(), ratio, window, [&](QPainter& lookPainter) {
            QProxyStyle::drawComplexControl(CC_ScrollBar, &rest, &lookPainter, widget);
        });
    if (!evenPartOf(grooveKey, groove, bar.orientation, track).contains(around)) {
        return false;
    }
    QStyleOptionSlider sliderOnly = bar;
    sliderOnly.subControls = SC_ScrollBarSlider;
    const QString sliderKey =
        key + QStringLiteral("-slider-%1").arg(slider.width() * 100000 + slider.height());
    const QPixmap sliderLook =
        cachedLook(sliderKey, around.size(), ratio, window, [&](QPainter& lookPainter) {
            lookPainter.translate(-around.topLeft());
            lookPainter.drawPixmap(0, 0, groove);
            QProxyStyle::drawComplexControl(CC_ScrollBar, &sliderOnly, &lookPainter, widget);
        });
    painter->drawPixmap(at, groove);
    painter->drawPixmap(at + around.topLeft(), sliderLook);
    return true;
}

void LookCache::drawWholeBar(const QStyleOptionSlider& bar, const QString& key, const QPoint& at,
                             QPainter* painter, const QWidget* widget) const {
    const qreal ratio = painter->device()->devicePixelRatio();
    const QRect slider = subControlRect(CC_ScrollBar, &bar, SC_ScrollBarSlider, widget);
    const QString wholeKey = key + QStringLiteral("-whole-%1,%2,%3x%4")
                                       .arg(slider.x())
                                       .arg(slider.y())
                                       .arg(slider.width())
                                       .arg(slider.height());
    const QPixmap look =
        cachedLook(wholeKey, bar.rect.size(), ratio, bar.palette.color(QPalette::Window),
                   [&](QPainter& lookPainter) {
                       QProxyStyle::drawComplexControl(CC_ScrollBar, &bar, &lookPainter, widget);
                   });
    painter->drawPixmap(at, look);
}

// The part of `track` around its middle where every line across the bar is the same
// (remembered for each look of the groove); empty when there is none.
QRect LookCache::evenPartOf(const QString& grooveKey, const QPixmap& groove,
                            Qt::Orientation orientation, const QRect& track) const {
    auto known = evenParts_.constFind(grooveKey);
    if (known != evenParts_.cend()) {
        return *known;
    }
    const QImage image = groove.toImage();
    const qreal ratio = groove.devicePixelRatio();
    const bool vertical = orientation == Qt::Vertical;
    // Lines along the bar, in device pixels.
    const int first = int((vertical ? track.top() : track.left()) * ratio);
    const int last = int((vertical ? track.bottom() + 1 : track.right() + 1) * ratio) - 1;
    const int across = vertical ? image.width() : image.height();
    auto line = [&](int at) {
        QList<QRgb> pixels;
        for (int i = 0; i < across; ++i) {
            pixels << (vertical ? image.pixel(i, at) : image.pixel(at, i));
        }
        return pixels;
    };
    const int middle = (first + last) / 2;
    const QList<QRgb> reference = line(middle);
    int from = middle;
    int to = middle;
    while (from > first && line(from - 1) == reference) {
        --from;
    }
    while (to < last && line(to + 1) == reference) {
        ++to;
    }
    // Whole logical pixels inside the even lines.
    const int start = int(std::ceil(from / ratio));
    const int end = int(std::floor((to + 1) / ratio));
    QRect even = vertical ? QRect(0, start, track.width(), end - start)
                          : QRect(start, 0, end - start, track.height());
    constexpr int kMostGrooves = 256;
    if (evenParts_.size() == kMostGrooves) {
        evenParts_.clear();
    }
    evenParts_.insert(grooveKey, even);
    return even;
}
