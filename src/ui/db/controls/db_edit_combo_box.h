#pragma once

#include "ui/db/controls/db_list_control.h"

// Combo box bound to a text field whose value is typed or chosen from the list: what the user
// types or chooses is stored unchanged (at most the field's string size), and a value that no
// item shows is still shown as text.
class DbEditComboBox : public DbComboBox {
    Q_OBJECT
public:
    explicit DbEditComboBox(QWidget* parent = nullptr);

protected:
    void showField() override;
    void applyReadOnly(bool readOnly) override;
    // Its line edit paints the field: through the palette.
    void applyGrey(bool grey) override { DataAware::applyGrey(grey); }
    // The line edit shows the text; the list's own label would be drawn beneath it.
    void paintEvent(QPaintEvent* event) override;
};
