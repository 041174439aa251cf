#pragma once

#include <functional>

class QWidget;

// Runs a command started from a menu, tool bar or button; a failure that reaches it is shown
// in the standard error box with its own message (failures must not leave a Qt slot).
void runCommand(QWidget* owner, const std::function<void()>& command);

// The same for a command that uses the current record: it does not start while an edit holds
// text its field cannot take (that edit says why and keeps the focus).
void runRecordCommand(QWidget* owner, const std::function<void()>& command);
