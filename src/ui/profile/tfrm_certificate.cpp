#include "ui/profile/tfrm_certificate.h"

#include "app/settings/regional_formats.h"
#include "store/data_source.h"
#include "store/table.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"
#include "ui/lookup/lookup_request.h"
#include "ui/lookup/organization_tree.h"
#include "ui/lookup/tfrm_select_operator.h"
#include "ui/main/guarded_command.h"
#include "ui/profile/letter_case.h"
#include "ui/profile/profile_icons.h"
#include "ui/profile/profile_rules.h"
#include "ui/profile/profile_support.h"
#include "ui_tfrm_certificate.h"

#include <QEvent>
#include <QLocale>

namespace {

const QString kDate = QStringLiteral("date");
const QString kOperator = QStringLiteral("operator");
const QString kIdOperator = QStringLiteral("id_operator");
const QString kCertifyBy = QStringLiteral("certify_by");
constexpr int kSheetIconSize = 48;
constexpr QSize kDesignSize(449, 243);

const QStringList kCategoryItems = {QStringLiteral("<Certification>"),
                                    QStringLiteral("<Speciality>"), QStringLiteral("<Seminar>"),
                                    QStringLiteral("<Conference>")};
const QStringList kCategoryValues = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                     QStringLiteral("3")};

}  // namespace

TFrmCertificate::TFrmCertificate(QWidget* owner, DataSource* certificates)
    : QDialog(owner, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui::TFrmCertificate>()),
      certificates_(certificates) {
    ui->setupUi(this);
    QPalette sheet = ui->pn_cert->palette();
    sheet.setColor(QPalette::Window, Qt::white);
    ui->pn_cert->setPalette(sheet);
    ui->img_cert->setPixmap(ProfileIcons::certificate().pixmap(kSheetIconSize));
    // A certificate without a date opens on today.
    ui->info_dtp_expdate->setDate(QDate::currentDate());
    bindFields();
    FormCreate();
    connectHandlers();
}

TFrmCertificate::~TFrmCertificate() = default;

Table* TFrmCertificate::row() const {
    return certificates_->dataSet();
}

void TFrmCertificate::bindFields() {
    ui->CBCategory->setItems(kCategoryItems, kCategoryValues);
    ui->CBCategory->bind(certificates_, QStringLiteral("category"));
    setLetterCase(ui->info_db_cert, LetterCase::Upper);
    ui->info_db_cert->bind(certificates_, QStringLiteral("cert_no"));
    setLetterCase(ui->info_agency, LetterCase::Upper);
    ui->info_agency->bind(certificates_, QStringLiteral("agency"));
    ui->info_level->bind(certificates_, QStringLiteral("level"));
    ui->info_db_site->bind(certificates_, kOperator);
    ui->info_db_inst->bind(certificates_, QStringLiteral("instructor"));
    setLetterCase(ui->info_db_ins_cert, LetterCase::Upper);
    ui->info_db_ins_cert->bind(certificates_, QStringLiteral("inst_cert_no"));
}

// Connected after the opening, so that setting the controls up writes nothing.
void TFrmCertificate::connectHandlers() {
    auto command = [this](void (TFrmCertificate::*handler)()) {
        return [this, handler] { runCommand(this, [this, handler] { (this->*handler)(); }); };
    };
    connect(ui->info_agency, &QComboBox::editTextChanged, this,
            command(&TFrmCertificate::info_agencyChange));
    connect(ui->info_dtp_expdate, &QDateEdit::dateChanged, this,
            command(&TFrmCertificate::info_dtp_expdateChange));
    connect(ui->bt_chk_op, &QPushButton::clicked, this, command(&TFrmCertificate::bt_chk_opClick));
    connect(ui->bt_unlock, &QPushButton::clicked, this, command(&TFrmCertificate::bt_unlockClick));
    connect(ui->bt_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->bt_cancel, &QPushButton::clicked, this, &QDialog::reject);
    ui->info_db_site->installEventFilter(this);
}

void TFrmCertificate::FormCreate() {
    AssingLenguage(this);
    if (!row()->isNull(kDate)) {
        ui->info_dtp_expdate->setDate(row()->value(kDate).toDate());
    }
    if (row()->asInteger(kCertifyBy) > 0) {
        showSheet();
    } else {
        showEditGroup();
    }
}

void TFrmCertificate::showSheet() {
    ui->pnl_driver_info->hide();
    ui->pn_cert->show();
    const Table* r = row();
    ui->lb_cert_no->setText(r->asString(QStringLiteral("cert_no")));
    ui->lb_exp_date->setText(
        QLocale().toString(ui->info_dtp_expdate->date(), QStringLiteral("MMMM d, yyyy")));
    ui->lb_sheet_agency->setText(r->asString(QStringLiteral("agency")));
    ui->lb_sheet_level->setText(r->asString(QStringLiteral("level")));
    ui->lb_sheet_organization->setText(r->asString(kOperator));
    ui->lb_sheet_instructor->setText(r->asString(QStringLiteral("instructor")));
    ui->lb_sheet_inst_cert_no->setText(r->asString(QStringLiteral("inst_cert_no")));
    fitWindow();
}

// The sheet and the edit group share one place; the window fits the one shown.
void TFrmCertificate::fitWindow() {
    setFixedSize(layout()->sizeHint().expandedTo(kDesignSize));
}

void TFrmCertificate::showEditGroup() {
    ui->pn_cert->hide();
    ui->pnl_driver_info->show();
    ui->info_db_site->setReadOnlyState(row()->asInteger(kIdOperator) > 0);
    ProfileSupport::setChoices(ui->info_agency, ReferenceLists::agencies(referenceRoot()));
    info_agencyChange();
    fitWindow();
}

// The level list follows the agency as it is typed or picked; the stored level stays.
void TFrmCertificate::info_agencyChange() {
    WaitCursor hourglass;
    ProfileSupport::setChoices(
        ui->info_level, ReferenceLists::levels(referenceRoot(), ui->info_agency->currentText()));
}

void TFrmCertificate::info_dtp_expdateChange() {
    row()->edit();
    row()->setAsString(kDate, RegionalFormats::formatDate(ui->info_dtp_expdate->date()));
}

void TFrmCertificate::bt_chk_opClick() {
    const std::optional<ChosenOrganization> chosen =
        chooseOrganization(this, OrganizationTree::kSchools, row()->asInteger(kIdOperator),
                           row()->asString(kOperator));
    if (!chosen) {
        return;
    }
    row()->edit();
    row()->setValue(kIdOperator, chosen->id);
    row()->setValue(kOperator, chosen->name);
    ui->info_db_site->setReadOnlyState(true);
}

// The name stays and can be typed over; it no longer names a directory entry.
void TFrmCertificate::info_db_siteDblClick() {
    ui->info_db_site->setReadOnlyState(false);
    row()->edit();
    row()->setValue(kIdOperator, 0);
}

void TFrmCertificate::bt_unlockClick() {
    const Dialogs::Prompt prompt{
        QString(), QStringLiteral("Are you sure you want to modify your Diver Certificate?"),
        QMessageBox::Question, QMessageBox::Yes | QMessageBox::No};
    if (Dialogs::message(this, prompt) != QMessageBox::Yes) {
        return;
    }
    row()->edit();
    row()->setValue(kCertifyBy, -1);
    row()->setValue(kIdOperator, 0);
    showEditGroup();
}

bool TFrmCertificate::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->info_db_site && event->type() == QEvent::MouseButtonDblClick) {
        runCommand(this, [this] { info_db_siteDblClick(); });
    }
    return QDialog::eventFilter(watched, event);
}
