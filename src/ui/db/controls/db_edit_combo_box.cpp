#include "ui/db/controls/db_edit_combo_box.h"

#include "store/field_def.h"

#include <QLineEdit>

namespace {
constexpr int kUnlimitedLength = 32767;  // QLineEdit's own default
}

DbEditComboBox::DbEditComboBox(QWidget* parent) : DbComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Typing stores at once, without showing the record again (that would move the cursor).
    connect(lineEdit(), &QLineEdit::textEdited, context(),
            [this](const QString& text) { writeText(text); });
    setReadOnlyState(false);
}

void DbEditComboBox::showField() {
    const FieldDef* def = fieldDef();
    const bool sized = def && def->type == FieldType::String && def->size > 0;
    lineEdit()->setMaxLength(sized ? def->size : kUnlimitedLength);
    const QString value = fieldText();
    if (currentText() != value) {
        setCurrentIndex(findText(value, Qt::MatchExactly));
        setEditText(value);
    }
}

void DbEditComboBox::applyReadOnly(bool readOnly) {
    DbComboBox::applyReadOnly(readOnly);
    if (lineEdit()) {
        lineEdit()->setReadOnly(readOnly);
    }
}

void DbEditComboBox::paintEvent(QPaintEvent* event) {
    QComboBox::paintEvent(event);
}
