#pragma once

#include "ui/db/controls/data_aware.h"

#include <QPlainTextEdit>

// Multi-line edit bound to a memo field; every user edit is written at once.
class DbMemo : public QPlainTextEdit, public DataAware {
    Q_OBJECT
public:
    explicit DbMemo(QWidget* parent = nullptr);

    // Longest text the user can enter; 0 for no limit.
    void setMaxLength(int length) { maxLength_ = length; }
    int maxLength() const { return maxLength_; }
    // When false, Enter alone is left to the window (its default button) and Ctrl+Enter
    // breaks the line.
    void setWantReturns(bool want) { wantReturns_ = want; }

protected:
    void showField() override;
    void applyReadOnly(bool readOnly) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void storeTyped();
    void cutToMaxLength();

    int insertStart_ = 0;  // where the last edit's inserted text begins and ends
    int insertEnd_ = 0;
    int maxLength_ = 0;
    bool wantReturns_ = true;
    bool showing_ = false;
};
