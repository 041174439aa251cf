#pragma once

#include <QDialog>
#include <QList>
#include <memory>

namespace Ui {
class TDlg_Register_User;
}
class QLineEdit;

// The two-page wizard that signs a diver up with the service: an introduction, then the form
// (name, e-mail address, user name, password twice) that Next sends to the registration
// address. Once the service accepts, Next turns into Finish, which stores the user name,
// password, e-mail address and name in the member record; closing earlier stores nothing.
// The wizard's stage is carried by its controls (which page shows, what is enabled).
class TDlg_Register_User : public QDialog {
    Q_OBJECT
public:
    explicit TDlg_Register_User(QWidget* owner);
    ~TDlg_Register_User() override;

    Ui::TDlg_Register_User* form() const { return ui.get(); }

    // Intro: shows the form. Form: sends it. Registered: stores the member and closes.
    void bt_nextClick();
    void bt_backClick();
    void bt_cancelClick();
    // The input rule, run on every change of a form field.
    void ed_passChange();

private:
    void FormCreate();
    void send();
    void finish();
    QList<QLineEdit*> formFields() const;
    void setFormFieldsEnabled(bool enabled);

    std::unique_ptr<Ui::TDlg_Register_User> ui;
};
