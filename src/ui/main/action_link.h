#pragma once

class QAction;

// Makes the menu item `item` a client of `action`: it shows the action's caption, picture and
// check mark and follows its enabled state whenever the action changes, and choosing it
// executes the action. The item keeps its own shortcut, and its enabled state can still be set
// on its own (the editor's state rules switch some menu items apart from their actions).
void linkToAction(QAction* item, QAction* action);

class QAbstractButton;

// Makes `button` a client of `action` that keeps its own caption: it is enabled exactly when
// the action is, and clicking it executes the action.
void linkButtonToAction(QAbstractButton* button, QAction* action);
