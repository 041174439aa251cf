#include "ui/db/controls/db_edit_combo.h"

#include "store/field_def.h"

#include <QAbstractItemModel>
#include <QLineEdit>

namespace {
constexpr int kUnlimitedLength = 32767;  // QLineEdit's own default
}

DbEditCombo::DbEditCombo(QWidget* parent) : QComboBox(parent), DataAware(this) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(lineEdit(), &QLineEdit::textEdited, context(), [this] { storeShown(); });
    connect(this, &QComboBox::activated, context(), [this] { storeShown(); });
    // The list picks its first item when it is filled or loses the shown one: show the record.
    connect(model(), &QAbstractItemModel::rowsInserted, context(), [this] { showField(); });
    connect(model(), &QAbstractItemModel::rowsRemoved, context(), [this] { showField(); });
    connect(model(), &QAbstractItemModel::modelReset, context(), [this] { showField(); });
}

void DbEditCombo::setChoices(const QStringList& choices) {
    clear();
    addItems(choices);
    showField();
}

void DbEditCombo::showField() {
    const FieldDef* def = fieldDef();
    const bool sized = def && def->type == FieldType::String && def->size > 0;
    lineEdit()->setMaxLength(sized ? def->size : kUnlimitedLength);
    const QString value = fieldText();
    if (currentText() != value) {
        setCurrentIndex(findText(value, Qt::MatchExactly));
        setEditText(value);
    }
}

void DbEditCombo::applyReadOnly(bool readOnly) {
    lineEdit()->setReadOnly(readOnly);
}

void DbEditCombo::storeShown() {
    if (canWrite() && currentText() != fieldText()) {
        writeText(currentText());
    }
}
