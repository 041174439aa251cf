#include "ui/main/guarded_command.h"

#include "app/settings/app_error.h"
#include "ui/db/controls/db_edit.h"
#include "ui/forms/dialogs.h"

void runCommand(QWidget* owner, const std::function<void()>& command) {
    try {
        command();
    } catch (const AppError& error) {
        Dialogs::showError(owner, error.message());
    }
}

void runRecordCommand(QWidget* owner, const std::function<void()>& command) {
    if (DbEdit::confirmPendingInput()) {
        runCommand(owner, command);
    }
}
