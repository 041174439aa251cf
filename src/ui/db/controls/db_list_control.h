#pragma once

#include "ui/db/controls/data_aware.h"

#include <QComboBox>

// Drop-down list bound to a field: writes only when the user chooses an item (changing item
// texts or the current index from code writes nothing). While read-only the list neither
// opens nor follows the keyboard or the wheel. It is painted like an edit with a button, its
// field in the window colour, or in the button-face colour while read-only, whatever the style
// makes of a closed list.
class DbListControl : public QComboBox, public DataAware {
    Q_OBJECT
public:
    explicit DbListControl(QWidget* parent = nullptr);

    void showPopup() override;

protected:
    // The item that shows the field's text; -1 for none.
    virtual int indexForText(const QString& text) const = 0;
    // What choosing item `index` stores; empty stores null.
    virtual QString valueForIndex(int index) const = 0;

    void showField() override;
    void applyReadOnly(bool readOnly) override;
    void applyGrey(bool grey) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
};

// Value selector: parallel lists of shown items and stored values. Shows the first item whose
// value equals the field's text (nothing for a value without an item, null included); choosing
// item i stores value i, or null for an item beyond the values. Items written "<key>" are
// translated in place with the window; the values never change.
class DbValueSelector : public DbListControl {
    Q_OBJECT
public:
    explicit DbValueSelector(QWidget* parent = nullptr);

    void setItems(const QStringList& items, const QStringList& values);
    const QStringList& values() const { return values_; }
    // Stores the value of the first item showing `text`; a text no item shows clears the field.
    void chooseText(const QString& text);

protected:
    int indexForText(const QString& text) const override;
    QString valueForIndex(int index) const override;

private:
    QStringList values_;
};

// Plain selector: the chosen item's text is stored unchanged; shows the item equal to the
// field's text.
class DbComboBox : public DbListControl {
    Q_OBJECT
public:
    explicit DbComboBox(QWidget* parent = nullptr);

protected:
    int indexForText(const QString& text) const override;
    QString valueForIndex(int index) const override;
};
