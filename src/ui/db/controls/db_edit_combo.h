#pragma once

#include "ui/db/controls/data_aware.h"

#include <QComboBox>

// Editable drop-down bound to a text field: the list only offers choices, the field holds
// whatever is typed or picked (also text the list does not hold). Typing writes at once, like
// an edit; picking an item writes its text, and so does leaving the edit on an item the inline
// completion filled in. Changing the list from code keeps the field's text in the edit and
// writes nothing. At most the field's string size can be typed.
class DbEditCombo : public QComboBox, public DataAware {
    Q_OBJECT
public:
    explicit DbEditCombo(QWidget* parent = nullptr);

    // Replaces the list; the edit keeps showing the field.
    void setChoices(const QStringList& choices);

protected:
    void showField() override;
    void applyReadOnly(bool readOnly) override;

private:
    void storeShown();
};
