#include "ui/profile/tfrm_invite.h"

#include "app/settings/app_error.h"
#include "net/service_endpoints.h"
#include "net/tdm_comm.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"
#include "ui/profile/letter_case.h"
#include "ui/profile/profile_rules.h"
#include "ui/profile/profile_support.h"
#include "ui_tfrm_invite.h"

TFrmInvite::TFrmInvite(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TFrmInvite>()) {
    ui->setupUi(this);
    setLetterCase(ui->edEmail, LetterCase::Lower);
    connect(ui->edEmail, &QLineEdit::textChanged, this, &TFrmInvite::edEmailChange);
    connect(ui->btSend, &QPushButton::clicked, this, &TFrmInvite::btSendClick);
    connect(ui->btCancel, &QPushButton::clicked, this, &TFrmInvite::btCancelClick);
    FormCreate();
}

TFrmInvite::~TFrmInvite() = default;

void TFrmInvite::FormCreate() {
    AssingLenguage(this);
    setFixedSize(sizeHint().expandedTo(size()));
}

void TFrmInvite::edEmailChange() {
    ui->btSend->setEnabled(!ui->edEmail->text().isEmpty());
}

// The address goes percent-encoded, so no typed "&" or "#" changes the request.
void TFrmInvite::btSendClick() {
    if (!ui->edEmail->isEnabled()) {
        accept();
        return;
    }
    ui->btSend->setEnabled(false);
    try {
        const QByteArray answer =
            dmComm->HttpGet(ServiceEndpoints::invitation(ui->edEmail->text()));
        if (Invitation::accepted(answer)) {
            ui->btSend->setText(ProfileSupport::word(QStringLiteral("finish")));
            ui->edEmail->setEnabled(false);
            ui->btCancel->setEnabled(false);
        } else {
            Dialogs::message(this, {QString(), QStringLiteral("This email address is incorrect."),
                                    QMessageBox::Warning, QMessageBox::Ok});
        }
    } catch (const AppError&) {
        // A failed request is not reported: the address stays for another try.
    }
    ui->btSend->setEnabled(true);
}

void TFrmInvite::btCancelClick() {
    reject();
}
