#pragma once

#include "ui/db/controls/data_aware.h"
#include "ui/db/controls/edit_mask.h"

#include <QLineEdit>
#include <optional>

// Text edit bound to a field: shows it as text and writes every user edit at once through the
// field's text conversion, so other controls on the field follow while the user types. At most
// the field's string size can be typed. With an edit mask the stored text keeps or drops the
// mask's literals as the mask says; a blank masked edit stores null. A loaded value shows from
// its start.
//
// Only a whole text the field can take is stored. While the text cannot be stored (an
// incomplete mask, a date that does not exist, a number that is none) the record holds the
// value shown before the typing, and the user cannot leave the edit: moving the focus away
// shows the standard error box with the text's message and brings the focus back, the text
// intact. Escape gives the record's value back. Whatever else would use the record meanwhile
// (moving to another row, a command) asks confirmPendingInput() first.
class DbEdit : public QLineEdit, public DataAware {
    Q_OBJECT
public:
    explicit DbEdit(QWidget* parent = nullptr);
    ~DbEdit() override;

    // A mask in the layout's syntax, e.g. "!00:00;1;_"; empty for none.
    void setEditMask(const QString& mask);
    bool inputValid() const { return valid_; }
    // Why the text cannot be stored, e.g. "'12,5' is not a valid floating point value"; empty
    // while it can.
    const QString& inputError() const { return error_; }

    // True when no edit holds text its field cannot take. Otherwise that edit shows its
    // message in the error box, takes the focus back (its page brought to the front), and the
    // answer is false: the caller leaves the record alone.
    static bool confirmPendingInput();

protected:
    void showField() override;
    void applyReadOnly(bool readOnly) override;
    void applyGrey(bool grey) override;
    void initStyleOption(QStyleOptionFrame* option) const override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void storeTyped();
    // The text to store for what is typed; nullopt, with the reason in error_, when the field
    // cannot take it.
    std::optional<QString> storableText();
    void restoreShownValue();
    void reportInvalidInput();
    void setValid(bool valid);
    void updateValidLook();

    std::optional<EditMask> mask_;
    QString shownValue_;  // the field's value when the record was last shown
    QString error_;
    bool valid_ = true;
    bool shownInvalid_ = false;  // the text in red
    bool reportQueued_ = false;
};
