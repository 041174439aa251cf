#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QDialog;
class QWidget;

// The one seam through which the program shows message boxes and modal windows, so that tests
// can answer them.
namespace Dialogs {

struct Prompt {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

// Shows a modal message box and returns the button chosen.
QMessageBox::StandardButton message(
    QWidget* parent, const Prompt& prompt,
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
// The standard error box for a failure that reached the top of a command: its own message,
// error icon, one OK button.
void showError(QWidget* parent, const QString& text);
// Captions the box's standard buttons (OK, Cancel, Yes, No, Retry, Discard) from the
// dictionary, like every other caption; a missing key leaves Qt's own caption.
void translateButtons(QMessageBox& box);
// Shows a window modally and returns its result.
int execModal(QDialog* dialog);

// Test seams: while set, these answer instead of a real window.
using MessageHandler = std::function<QMessageBox::StandardButton(const Prompt&)>;
using ModalHandler = std::function<int(QDialog*)>;
void setMessageHandler(MessageHandler handler);
void setModalHandler(ModalHandler handler);

}  // namespace Dialogs
