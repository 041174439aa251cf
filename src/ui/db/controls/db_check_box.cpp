#include "ui/db/controls/db_check_box.h"

DbCheckBox::DbCheckBox(QWidget* parent) : DbCheckBox(QString(), parent) {}

DbCheckBox::DbCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent), DataAware(this) {
    connect(this, &QCheckBox::clicked, context(),
            [this](bool on) { writeChoice(on ? checked_ : unchecked_); });
}

void DbCheckBox::setCheckValues(const QString& checked, const QString& unchecked) {
    checked_ = checked;
    unchecked_ = unchecked;
    showField();
}

void DbCheckBox::showField() {
    setChecked(fieldText() == checked_);
}

void DbCheckBox::nextCheckState() {
    if (!readOnlyState()) {
        QCheckBox::nextCheckState();
    }
}
