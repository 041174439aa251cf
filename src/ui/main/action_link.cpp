#include "ui/main/action_link.h"

#include <QAbstractButton>
#include <QAction>

namespace {

void copyFromAction(QAction* item, const QAction* action) {
    item->setText(action->text());
    item->setIcon(action->icon());
    item->setCheckable(action->isCheckable());
    item->setChecked(action->isChecked());
    item->setEnabled(action->isEnabled());
}

}  // namespace

void linkToAction(QAction* item, QAction* action) {
    copyFromAction(item, action);
    QObject::connect(action, &QAction::changed, item,
                     [item, action] { copyFromAction(item, action); });
    QObject::connect(item, &QAction::triggered, action, [item, action] {
        action->trigger();
        item->setChecked(action->isChecked());  // a check-style item toggled itself first
    });
}

void linkButtonToAction(QAbstractButton* button, QAction* action) {
    button->setEnabled(action->isEnabled());
    QObject::connect(action, &QAction::changed, button,
                     [button, action] { button->setEnabled(action->isEnabled()); });
    QObject::connect(button, &QAbstractButton::clicked, action, [action] { action->trigger(); });
}
