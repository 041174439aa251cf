#pragma once

#include <functional>

class QWidget;

// Runs a command started from a menu, tool bar or button; a failure that reaches it is shown
// in the standard error box with its own message (failures must not leave a Qt slot).
void runCommand(QWidget* owner, const std::function<void()>& command);
