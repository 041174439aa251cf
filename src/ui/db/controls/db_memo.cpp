#include "ui/db/controls/db_memo.h"

#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QTextCursor>
#include <QTextDocument>

DbMemo::DbMemo(QWidget* parent) : QPlainTextEdit(parent), DataAware(this) {
    connect(document(), &QTextDocument::contentsChange, context(),
            [this](int position, int, int added) {
                insertStart_ = position;
                insertEnd_ = position + added;
            });
    connect(this, &QPlainTextEdit::textChanged, context(), [this] { storeTyped(); });
}

void DbMemo::showField() {
    const QString value = fieldText();
    if (toPlainText() != value) {
        QScopedValueRollback<bool> guard(showing_, true);
        setPlainText(value);
    }
}

void DbMemo::applyReadOnly(bool readOnly) {
    setReadOnly(readOnly);
}

void DbMemo::keyPressEvent(QKeyEvent* event) {
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isReturn && !wantReturns_) {
        if (!(event->modifiers() & Qt::ControlModifier)) {
            event->ignore();
            return;
        }
        insertPlainText(QStringLiteral("\n"));
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void DbMemo::storeTyped() {
    if (showing_ || !canWrite()) {
        return;
    }
    cutToMaxLength();
    writeChoice(toPlainText());
}

void DbMemo::cutToMaxLength() {
    if (maxLength_ <= 0 || toPlainText().size() <= maxLength_) {
        return;
    }
    // Drops the end of what was just typed or pasted, so the text around it stays whole.
    const int excess = toPlainText().size() - maxLength_;
    QScopedValueRollback<bool> guard(showing_, true);
    QTextCursor cursor = textCursor();
    cursor.setPosition(qMax(insertStart_, insertEnd_ - excess));
    cursor.setPosition(insertEnd_, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}
