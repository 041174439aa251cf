#include "ui/main/pending_edit_offer.h"

#include "dictionary/tdm_idioma.h"
#include "store/pending_edit.h"
#include "store/tdm_rdp.h"
#include "ui/forms/dialogs.h"

void offerPendingEdit(QWidget* parent) {
    if (!dm_rdp) {
        return;
    }
    const QVector<PendingEdit::Entry> entries = PendingEdit::read(*dm_rdp);
    bool restore = false;
    if (!entries.isEmpty()) {
        const QString key = QStringLiteral("txt_restore_pending_edit");
        QString text = dmIdioma ? dmIdioma->GetWord(key) : key;
        const QString dive = PendingEdit::describe(*dm_rdp, entries);
        if (!dive.isEmpty()) {
            text += QStringLiteral("\n\n") + dive;
        }
        restore = Dialogs::message(
                      parent,
                      {QString(), text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No},
                      QMessageBox::Yes) == QMessageBox::Yes;
    }
    if (restore) {
        PendingEdit::restore(*dm_rdp, entries);
    } else {
        PendingEdit::remove();
    }
    dm_rdp->keepPendingEdits();
}
