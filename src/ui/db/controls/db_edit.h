#pragma once

#include "ui/db/controls/data_aware.h"
#include "ui/db/controls/edit_mask.h"

#include <QLineEdit>
#include <optional>

// Text edit bound to a field: shows it as text and writes every user edit at once through the
// field's text conversion, so other controls on the field follow while the user types. At most
// the field's string size can be typed. With an edit mask the stored text keeps or drops the
// mask's literals as the mask says; a blank masked edit stores null.
//
// Text the field cannot take (an incomplete mask, a date that does not exist, a number that
// is none) is not written: the record keeps its previous value and the edit is marked invalid
// (red text once the user leaves it) until a valid text is typed or the record is shown again.
class DbEdit : public QLineEdit, public DataAware {
    Q_OBJECT
public:
    explicit DbEdit(QWidget* parent = nullptr);

    // A mask in the layout's syntax, e.g. "!00:00;1;_"; empty for none.
    void setEditMask(const QString& mask);
    bool inputValid() const { return valid_; }

protected:
    void showField() override;
    void applyReadOnly(bool readOnly) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void storeTyped();
    std::optional<QString> typedValue() const;
    void setValid(bool valid);
    void updateValidLook();

    std::optional<EditMask> mask_;
    bool valid_ = true;
};
