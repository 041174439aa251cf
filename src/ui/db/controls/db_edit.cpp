#include "ui/db/controls/db_edit.h"

#include "store/field_def.h"

#include <QApplication>

namespace {
constexpr int kUnlimitedLength = 32767;  // QLineEdit's own default
}

DbEdit::DbEdit(QWidget* parent) : QLineEdit(parent), DataAware(this) {
    connect(this, &QLineEdit::textEdited, context(), [this] { storeTyped(); });
}

void DbEdit::setEditMask(const QString& mask) {
    mask_.reset();
    if (!mask.isEmpty()) {
        mask_ = EditMask::parse(mask);
    }
    setInputMask(mask_ ? mask_->qtInputMask() : QString());
    showField();
}

void DbEdit::showField() {
    const FieldDef* def = fieldDef();
    const bool sized = def && def->type == FieldType::String && def->size > 0;
    setMaxLength(sized ? def->size : kUnlimitedLength);
    const QString value = fieldText();
    const QString shown = mask_ ? mask_->shownText(value) : value;
    if ((mask_ ? displayText() : text()) != shown) {
        setText(shown);
    }
    setValid(true);
}

void DbEdit::applyReadOnly(bool readOnly) {
    setReadOnly(readOnly);
}

void DbEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (valid_) {
        showField();  // the record's own form of what was typed
    }
    updateValidLook();
}

std::optional<QString> DbEdit::typedValue() const {
    return mask_ ? mask_->storedText(displayText()) : std::optional<QString>(text());
}

void DbEdit::storeTyped() {
    if (!canWrite()) {
        return;
    }
    const std::optional<QString> value = typedValue();
    setValid(value && writeText(*value));
}

void DbEdit::setValid(bool valid) {
    valid_ = valid;
    updateValidLook();
}

void DbEdit::updateValidLook() {
    const bool shownInvalid = !valid_ && !hasFocus();
    QPalette p = palette();
    p.setColor(QPalette::Text,
               shownInvalid ? QColor(Qt::red) : QApplication::palette(this).color(QPalette::Text));
    setPalette(p);
}
