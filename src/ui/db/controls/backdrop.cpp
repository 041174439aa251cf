#include "ui/db/controls/backdrop.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

bool Backdrop::Ancestor::operator==(const Ancestor& other) const {
    return widget == other.widget && position == other.position && size == other.size &&
           palette == other.palette && enabled == other.enabled;
}

void Backdrop::under(QWidget* widget) {
    if (widget && !widget->findChild<Backdrop*>(QString(), Qt::FindDirectChildrenOnly)) {
        new Backdrop(widget);
    }
}

Backdrop::Backdrop(QWidget* widget) : QObject(widget), widget_(widget) {
    widget->setAttribute(Qt::WA_OpaquePaintEvent);
    widget->installEventFilter(this);
}

bool Backdrop::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget_ && event->type() == QEvent::Paint) {
        paint(static_cast<QPaintEvent*>(event)->region());
    }
    return false;
}

// The widget's own place and size, then each parent's place, size, palette and enabled state up
// to the window: what the parents' painting behind the widget follows. The widget's own look
// (its colour follows the dive) is not part of it.
std::vector<Backdrop::Ancestor> Backdrop::ancestors() const {
    std::vector<Ancestor> chain;
    chain.push_back({widget_, widget_->pos(), widget_->size(), 0, true});
    for (QWidget* parent = widget_->parentWidget(); parent;
         parent = parent->isWindow() ? nullptr : parent->parentWidget()) {
        chain.push_back({parent, parent->pos(), parent->size(), parent->palette().cacheKey(),
                         parent->isEnabled()});
    }
    return chain;
}

// Each parent of `chain` is painted alone, the window first, as Qt paints them behind a
// transparent widget.
void Backdrop::capture(const std::vector<Ancestor>& chain) {
    const qreal ratio = widget_->devicePixelRatioF();
    QPixmap pixmap(widget_->size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(widget_->window()->palette().color(QPalette::Window));  // opaque: a plain copy
    for (auto it = chain.rbegin(); it + 1 != chain.rend(); ++it) {
        QWidget* parent = it->widget;
        const QRect area(widget_->mapTo(parent, QPoint()), widget_->size());
        parent->render(&pixmap, QPoint(), QRegion(area),
                       parent->isWindow() ? QWidget::DrawWindowBackground : QWidget::RenderFlags());
    }
    pixmap_ = pixmap;
}

void Backdrop::paint(const QRegion& region) {
    // A style's polish may clear it (Fusion does for lists, buttons and bars).
    if (!widget_->testAttribute(Qt::WA_OpaquePaintEvent)) {
        widget_->setAttribute(Qt::WA_OpaquePaintEvent);
    }
    std::vector<Ancestor> now = ancestors();
    const bool active = widget_->isActiveWindow();
    if (pixmap_.isNull() || now != capturedFor_ || active != activeWhenCaptured_ ||
        widget_->devicePixelRatioF() != capturedRatio_) {
        capture(now);
        capturedFor_ = std::move(now);
        activeWhenCaptured_ = active;
        capturedRatio_ = widget_->devicePixelRatioF();
    }
    QPainter painter(widget_);
    painter.setClipRegion(region);
    painter.drawPixmap(0, 0, pixmap_);
}
