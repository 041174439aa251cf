#include "ui/main/tool_bar_states.h"

#include <QAction>
#include <QActionEvent>
#include <QHash>
#include <QMenu>
#include <QPair>
#include <QToolBar>
#include <QToolButton>

namespace {

// Everything of an action a button shows but its enabled state and check mark.
struct ActionLook {
    QString text;
    QString iconText;
    QString toolTip;
    QString statusTip;
    QString whatsThis;
    qint64 icon = 0;
    QFont font;
    bool visible = true;
    bool checkable = false;
    const QObject* menu = nullptr;

    explicit ActionLook(const QAction* action)
        : text(action->text()),
          iconText(action->iconText()),
          toolTip(action->toolTip()),
          statusTip(action->statusTip()),
          whatsThis(action->whatsThis()),
          icon(action->icon().cacheKey()),
          font(action->font()),
          visible(action->isVisible()),
          checkable(action->isCheckable()),
          menu(action->menu()) {}

    bool operator==(const ActionLook& other) const {
        return text == other.text && iconText == other.iconText && toolTip == other.toolTip &&
               statusTip == other.statusTip && whatsThis == other.whatsThis && icon == other.icon &&
               font == other.font && visible == other.visible && checkable == other.checkable &&
               menu == other.menu;
    }
};

class StateFollower : public QObject {
public:
    explicit StateFollower(QToolBar* bar) : QObject(bar) {
        bar->installEventFilter(this);
        for (QAction* action : bar->actions()) {
            looks_.insert({bar, action}, ActionLook(action));
            if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
                button->installEventFilter(this);
                looks_.insert({button, action}, ActionLook(action));
            }
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ActionChanged) {
            return false;
        }
        QAction* action = static_cast<QActionEvent*>(event)->action();
        auto known = looks_.find({watched, action});
        if (known == looks_.end()) {
            return false;
        }
        const ActionLook now(action);
        if (!(now == *known)) {
            *known = now;  // the bar and the button take the whole action
            return false;
        }
        if (auto* button = qobject_cast<QToolButton*>(watched)) {
            button->setEnabled(action->isEnabled());
            button->setChecked(action->isChecked());
        }
        return true;
    }

private:
    // What the bar and each of its buttons last took of each action.
    QHash<QPair<const QObject*, const QAction*>, ActionLook> looks_;
};

}  // namespace

void followActionStatesLightly(QToolBar* bar) {
    new StateFollower(bar);
}
