#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmInvite;
}

// Invites a friend to the service by e-mail address. Send asks the service, which checks the
// address and sends the invitation; once it accepts, the address is fixed and Send, now
// captioned Finish, closes the window. A refused address is said so; a request that fails is
// not, and the address stays for another try.
class TFrmInvite : public QDialog {
    Q_OBJECT
public:
    explicit TFrmInvite(QWidget* owner);
    ~TFrmInvite() override;

    Ui::TFrmInvite* form() const { return ui.get(); }

    void edEmailChange();
    void btSendClick();
    void btCancelClick();

private:
    void FormCreate();

    std::unique_ptr<Ui::TFrmInvite> ui;
};
