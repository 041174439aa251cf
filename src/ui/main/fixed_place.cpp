#include "ui/main/fixed_place.h"

#include <QEvent>
#include <QLayout>

FixedPlace::FixedPlace(QWidget* widget, QWidget* parent)
    : QWidget(parent),
      held_(widget),
      hint_(widget->sizeHint()),
      minimumHint_(widget->minimumSizeHint()),
      policy_(widget->sizePolicy()) {
    setObjectName(widget->objectName() + QStringLiteral("_place"));
    setSizePolicy(policy_);
    setMinimumSize(widget->minimumSize());
    setMaximumSize(widget->maximumSize());
}

FixedPlace* FixedPlace::around(QWidget* widget) {
    QWidget* parent = widget ? widget->parentWidget() : nullptr;
    QLayout* layout = parent ? parent->layout() : nullptr;
    if (!layout) {
        return nullptr;
    }
    auto* place = new FixedPlace(widget, parent);
    QLayoutItem* replaced = layout->replaceWidget(widget, place);
    if (!replaced) {
        delete place;
        return nullptr;
    }
    delete replaced;
    const bool explicitlyHidden = widget->testAttribute(Qt::WA_WState_ExplicitShowHide) &&
                                  widget->testAttribute(Qt::WA_WState_Hidden);
    const bool explicitlyShown = widget->testAttribute(Qt::WA_WState_ExplicitShowHide) &&
                                 !widget->testAttribute(Qt::WA_WState_Hidden);
    widget->setParent(place);
    widget->setGeometry(place->rect());
    if (explicitlyHidden) {
        widget->hide();
    } else if (explicitlyShown || parent->isVisible()) {
        widget->show();
    }
    return place;
}

QSize FixedPlace::sizeHint() const {
    return held_->sizeHint();
}

QSize FixedPlace::minimumSizeHint() const {
    return held_->minimumSizeHint();
}

// The held widget asks for a new layout through its parent, the place: the layout around it
// hears of it only when its size hints changed. The first show catches what changed while the
// window was still hidden (captions translated meanwhile).
bool FixedPlace::event(QEvent* event) {
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show) {
        followHeldSize();
    }
    return QWidget::event(event);
}

void FixedPlace::followHeldSize() {
    const QSize hint = held_->sizeHint();
    const QSize minimumHint = held_->minimumSizeHint();
    const QSizePolicy policy = held_->sizePolicy();
    if (hint == hint_ && minimumHint == minimumHint_ && policy == policy_) {
        return;
    }
    hint_ = hint;
    minimumHint_ = minimumHint;
    policy_ = policy;
    setSizePolicy(policy);
    updateGeometry();
}

void FixedPlace::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    held_->setGeometry(rect());
}
