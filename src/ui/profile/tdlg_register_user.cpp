#include "ui/profile/tdlg_register_user.h"

#include "app/settings/app_error.h"
#include "dictionary/tdm_idioma.h"
#include "net/service_endpoints.h"
#include "net/tdm_comm.h"
#include "net/wire_text.h"
#include "store/tdm_rdp.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"
#include "ui/lookup/lookup_request.h"
#include "ui/main/guarded_command.h"
#include "ui/profile/letter_case.h"
#include "ui/profile/profile_rules.h"
#include "ui/profile/profile_support.h"
#include "ui_tdlg_register_user.h"

#include <optional>

namespace {

// `text` cut to what the member table's field holds.
QString fitting(const Table& member, const QString& field, const QString& text) {
    return text.left(member.fields()[member.fieldIndex(field)].size);
}

void tell(QWidget* owner, QMessageBox::Icon icon, const QString& text) {
    Dialogs::message(owner, {QString(), text, icon, QMessageBox::Ok});
}

}  // namespace

TDlg_Register_User::TDlg_Register_User(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::WindowStaysOnTopHint),
      ui(std::make_unique<Ui::TDlg_Register_User>()) {
    ui->setupUi(this);
    for (QLineEdit* edit : {ui->ed_email, ui->ed_user, ui->ed_pass, ui->ed_pass2}) {
        setLetterCase(edit, LetterCase::Lower);
    }
    for (QLineEdit* edit : formFields()) {
        connect(edit, &QLineEdit::textChanged, this, &TDlg_Register_User::ed_passChange);
    }
    connect(ui->bt_next, &QPushButton::clicked, this,
            [this] { runCommand(this, [this] { bt_nextClick(); }); });
    connect(ui->bt_back, &QPushButton::clicked, this, &TDlg_Register_User::bt_backClick);
    connect(ui->bt_cancel, &QPushButton::clicked, this, &TDlg_Register_User::bt_cancelClick);
    FormCreate();
}

TDlg_Register_User::~TDlg_Register_User() = default;

void TDlg_Register_User::FormCreate() {
    AssingLenguage(this);
    ui->lb_unencrypted->setVisible(Registration::sendsInClear(ServiceEndpoints::registration()));
    // Both pages share one place: room for the larger.
    setFixedSize(sizeHint().expandedTo(size()));
    ui->Panel1->hide();
}

QList<QLineEdit*> TDlg_Register_User::formFields() const {
    return {ui->ed_name, ui->ed_email, ui->ed_user, ui->ed_pass, ui->ed_pass2};
}

void TDlg_Register_User::setFormFieldsEnabled(bool enabled) {
    for (QLineEdit* edit : formFields()) {
        edit->setEnabled(enabled);
    }
}

void TDlg_Register_User::ed_passChange() {
    ui->bt_next->setEnabled(Registration::inputComplete(ui->ed_email->text(), ui->ed_user->text(),
                                                        ui->ed_pass->text(), ui->ed_pass2->text()));
}

void TDlg_Register_User::bt_nextClick() {
    if (ui->bt_next->isEnabled() && !ui->bt_cancel->isEnabled()) {
        finish();
    } else if (ui->Panel1->isHidden()) {
        ui->pnl_intro->hide();
        ui->Panel1->show();
        ui->bt_back->setEnabled(true);
        ed_passChange();
    } else {
        send();
    }
}

void TDlg_Register_User::send() {
    ui->bt_next->setEnabled(false);
    ui->bt_back->setEnabled(false);
    ui->lb_next->hide();
    setFormFieldsEnabled(false);
    std::optional<WaitCursor> hourglass(std::in_place);
    const QStringList fields = Registration::requestFields(
        ui->ed_user->text(), ui->ed_pass->text(), ui->ed_email->text(), ui->ed_name->text(),
        dmIdioma ? dmIdioma->LanguageCode() : QString());
    QByteArray answer;
    try {
        answer = dmComm->HttpStrPost(ServiceEndpoints::registration(), fields);
    } catch (const AppError&) {
        answer.clear();  // reported below, as an empty answer is
    }
    if (answer.isEmpty()) {
        setFormFieldsEnabled(true);
        ui->bt_next->setEnabled(true);
        hourglass.reset();
        tell(this, QMessageBox::Critical,
             Registration::message(RegistrationResult::ConnectionError));
        return;
    }
    const RegistrationAnswer read = Registration::readAnswer(WireText::fromBytes(answer));
    hourglass.reset();
    if (read.result != RegistrationResult::None) {
        tell(this, QMessageBox::Information, Registration::message(read.result));
    }
    if (read.result == RegistrationResult::Registered) {
        ui->bt_next->setText(QStringLiteral("Finish"));
        ui->bt_cancel->setEnabled(false);
        if (!read.registeredUser.isEmpty()) {
            ui->ed_user->setText(read.registeredUser);
        }
    } else if (read.result != RegistrationResult::None) {
        setFormFieldsEnabled(true);
    }
    ui->bt_next->setEnabled(true);
    repaint();
}

void TDlg_Register_User::finish() {
    Table* member = dm_rdp->cds_info;
    member->edit();
    const struct {
        const char* field;
        QString text;
    } values[] = {{"inet_user", ui->ed_user->text()},
                  {"inet_pass", ui->ed_pass->text()},
                  {"inet_email", ui->ed_email->text()},
                  {"name", ui->ed_name->text()}};
    for (const auto& [field, text] : values) {
        const QString name = QString::fromLatin1(field);
        member->setAsString(name, fitting(*member, name, text));
    }
    member->post();
    accept();
}

void TDlg_Register_User::bt_backClick() {
    ui->Panel1->hide();
    ui->pnl_intro->show();
    ui->bt_back->setEnabled(false);
    ui->bt_next->setEnabled(true);
    ui->bt_next->setText(ProfileSupport::word(QStringLiteral("next")));
}

void TDlg_Register_User::bt_cancelClick() {
    reject();
}
