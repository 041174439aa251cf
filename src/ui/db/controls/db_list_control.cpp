#include "ui/db/controls/db_list_control.h"

#include <QAbstractItemModel>
#include <QKeyEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QWheelEvent>

DbListControl::DbListControl(QWidget* parent) : QComboBox(parent), DataAware(this) {
    connect(this, &QComboBox::activated, context(),
            [this](int index) { writeChoice(valueForIndex(index)); });
    // Items added or removed after binding: show the record's item again.
    connect(model(), &QAbstractItemModel::rowsInserted, context(), [this] { showField(); });
    connect(model(), &QAbstractItemModel::rowsRemoved, context(), [this] { showField(); });
    setReadOnlyState(false);
}

void DbListControl::showPopup() {
    if (!readOnlyState()) {
        QComboBox::showPopup();
    }
}

void DbListControl::showField() {
    setCurrentIndex(indexForText(fieldText()));
}

void DbListControl::applyReadOnly(bool) {
    update();
}

void DbListControl::applyGrey(bool) {
    update();
}

// The field's colour is the list's own: its pop-up keeps the window colours (handing the palette
// on to the pop-up's widgets costs more than the rest of the change, and the colour changes with
// every dive that is certified or locked and the next that is not).
void DbListControl::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        QWidget::changeEvent(event);
        return;
    }
    QComboBox::changeEvent(event);
}

// A closed list is a button to most styles (Fusion paints it in a lightened button colour,
// almost white): its frame is drawn as an editable list's instead, whose field takes the
// palette's base colour like an edit, then the chosen item's text on it.
void DbListControl::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.palette = fieldPalette(option.palette);
    option.editable = true;
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.editable = false;
    option.palette.setColor(QPalette::ButtonText, palette().color(QPalette::Text));
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void DbListControl::keyPressEvent(QKeyEvent* event) {
    if (readOnlyState()) {
        event->ignore();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void DbListControl::wheelEvent(QWheelEvent* event) {
    if (readOnlyState()) {
        event->ignore();
        return;
    }
    QComboBox::wheelEvent(event);
}

DbValueSelector::DbValueSelector(QWidget* parent) : DbListControl(parent) {}

void DbValueSelector::setItems(const QStringList& items, const QStringList& values) {
    clear();
    addItems(items);
    values_ = values;
    showField();
}

void DbValueSelector::chooseText(const QString& text) {
    const int index = findText(text, Qt::MatchExactly);
    writeChoice(index < 0 ? QString() : valueForIndex(index));
}

int DbValueSelector::indexForText(const QString& text) const {
    if (text.isEmpty()) {
        return -1;
    }
    const int index = values_.indexOf(text);
    return index < count() ? index : -1;
}

QString DbValueSelector::valueForIndex(int index) const {
    return index >= 0 && index < values_.size() ? values_[index] : QString();
}

DbComboBox::DbComboBox(QWidget* parent) : DbListControl(parent) {}

int DbComboBox::indexForText(const QString& text) const {
    return text.isEmpty() ? -1 : findText(text, Qt::MatchExactly);
}

QString DbComboBox::valueForIndex(int index) const {
    return itemText(index);
}
