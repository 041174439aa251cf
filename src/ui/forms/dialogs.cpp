#include "ui/forms/dialogs.h"

#include "dictionary/tdm_idioma.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>

namespace Dialogs {
namespace {

MessageHandler& messageHandler() {
    static MessageHandler handler;
    return handler;
}

ModalHandler& modalHandler() {
    static ModalHandler handler;
    return handler;
}

}  // namespace

void translateButtons(QMessageBox& box) {
    static const std::pair<QMessageBox::StandardButton, const char*> kKeys[] = {
        {QMessageBox::Ok, "ok"}, {QMessageBox::Cancel, "cancel"}, {QMessageBox::Yes, "yes"},
        {QMessageBox::No, "no"}, {QMessageBox::Retry, "retry"},   {QMessageBox::Discard, "discard"},
    };
    if (!dmIdioma || !dmIdioma->active()) {
        return;
    }
    for (const auto& [standard, key] : kKeys) {
        if (QAbstractButton* button = box.button(standard)) {
            const QString text = dmIdioma->GetWord(QString::fromLatin1(key));
            if (!text.isEmpty()) {
                button->setText(text);
            }
        }
    }
}

QMessageBox::StandardButton message(QWidget* parent, const Prompt& prompt,
                                    QMessageBox::StandardButton defaultButton) {
    if (messageHandler()) {
        return messageHandler()(prompt);
    }
    QMessageBox box(prompt.icon,
                    prompt.title.isEmpty() ? qApp->applicationDisplayName() : prompt.title,
                    prompt.text, prompt.buttons, parent);
    translateButtons(box);
    if (defaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(defaultButton);
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void showError(QWidget* parent, const QString& text) {
    message(parent, {QString(), text, QMessageBox::Critical, QMessageBox::Ok});
}

int execModal(QDialog* dialog) {
    if (modalHandler()) {
        return modalHandler()(dialog);
    }
    return dialog->exec();
}

void setMessageHandler(MessageHandler handler) {
    messageHandler() = std::move(handler);
}

void setModalHandler(ModalHandler handler) {
    modalHandler() = std::move(handler);
}

}  // namespace Dialogs
