#include "ui/profile/tfrm_diver_info.h"

#include "store/tdm_rdp.h"
#include "ui/db/controls/value_domains.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"
#include "ui/lookup/lookup_request.h"
#include "ui/main/guarded_command.h"
#include "ui/profile/letter_case.h"
#include "ui/profile/profile_icons.h"
#include "ui/profile/profile_rules.h"
#include "ui/profile/profile_support.h"
#include "ui/profile/tfrm_certificate.h"
#include "ui_tfrm_diver_info.h"

#include <QAction>
#include <QHeaderView>

using ProfileSupport::editing;
using ProfileSupport::word;

namespace {

enum Column { DateColumn, CategoryColumn, AgencyColumn, OrganizationColumn };
constexpr int kColumnWidths[] = {90, 80, 80, 110};
constexpr int kBookmarkRole = Qt::UserRole;
constexpr int kMemberIconSize = 32;
constexpr int kContactPictureSize = 64;

// Shown item -> stored value of the two publication permissions.
const ValueDomain kPersonalPublication{
    {QStringLiteral("<Only_user>"), QStringLiteral("<Name_location>"),
     QStringLiteral("<Contact_information>")},
    {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}};
const ValueDomain kDivesPublication{
    {QStringLiteral("<Only_number_dives>"), QStringLiteral("<Simple_dives>"),
     QStringLiteral("<Advanced_information>")},
    {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}};

QString categoryText(const Table& certificates) {
    if (certificates.isNull(QStringLiteral("category"))) {
        return {};
    }
    const QString key =
        CertificateList::categoryKey(certificates.asInteger(QStringLiteral("category")));
    return key.isEmpty() ? QString() : word(key);
}

}  // namespace

TFrm_Diver_info::TFrm_Diver_info(QWidget* owner, QAction* registerMember)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                         Qt::WindowStaysOnTopHint),
      ui(std::make_unique<Ui::TFrm_Diver_info>()),
      registerMember_(registerMember) {
    ui->setupUi(this);
    bindFields();
    connectHandlers();
    FormCreate();
    setFixedSize(sizeHint().expandedTo(size()));
}

TFrm_Diver_info::~TFrm_Diver_info() = default;

Table* TFrm_Diver_info::member() const {
    return dm_rdp->cds_info;
}

Table* TFrm_Diver_info::certificates() const {
    return dm_rdp->cds_certif;
}

void TFrm_Diver_info::bindFields() {
    DataSource* info = dm_rdp->ds_info;
    ui->info_db_name->bind(info, QStringLiteral("name"));
    ui->dbeEmail->bind(info, QStringLiteral("inet_email"));
    ui->DBEdit2->bind(info, QStringLiteral("address"));
    ui->DBEdit3->bind(info, QStringLiteral("city"));
    ui->info_state->bind(info, QStringLiteral("state"));
    ui->info_country->bind(info, QStringLiteral("country"));
    setLetterCase(ui->dbe_user, LetterCase::Lower);
    setLetterCase(ui->dbe_pass, LetterCase::Lower);
    ui->dbe_user->bind(info, QStringLiteral("inet_user"));
    ui->dbe_pass->bind(info, QStringLiteral("inet_pass"));
    ui->CBpubPersonal->setItems(kPersonalPublication.items, kPersonalPublication.values);
    ui->CBpubPersonal->bind(info, QStringLiteral("per_pub_personal"));
    ui->DBValComboBox2->setItems(kDivesPublication.items, kDivesPublication.values);
    ui->DBValComboBox2->bind(info, QStringLiteral("per_pub_dives"));
    ui->DBCheckBox1->bind(info, QStringLiteral("per_send1"));
    ui->DBCheckBox2->bind(info, QStringLiteral("per_send2"));
    ui->DBCheckBox3->bind(info, QStringLiteral("per_send3"));
    ui->DBCheckBox4->bind(info, QStringLiteral("per_send4"));
}

void TFrm_Diver_info::connectHandlers() {
    auto command = [this](auto handler) {
        return [this, handler] { runCommand(this, [this, handler] { (this->*handler)(); }); };
    };
    connect(ui->info_country, &QComboBox::editTextChanged, this,
            command(&TFrm_Diver_info::info_countryChange));
    connect(ui->lv_cert, &QTreeWidget::itemSelectionChanged, this, [this] {
        QTreeWidgetItem* item = ui->lv_cert->selectedItems().value(0);
        runCommand(this, [this, item] { lv_certSelectItem(item, item != nullptr); });
    });
    connect(ui->lv_cert, &QTreeWidget::itemDoubleClicked, this,
            command(&TFrm_Diver_info::lv_certDblClick));
    connect(ui->bt_edit, &QPushButton::clicked, this, command(&TFrm_Diver_info::bt_editClick));
    connect(ui->Button1, &QPushButton::clicked, this, command(&TFrm_Diver_info::Button1Click));
    connect(ui->bt_delete, &QPushButton::clicked, this, command(&TFrm_Diver_info::bt_deleteClick));
    connect(ui->bt_ok, &QPushButton::clicked, this, command(&TFrm_Diver_info::bt_okClick));
    connect(ui->bt_cancel, &QPushButton::clicked, this, &TFrm_Diver_info::reject);
    for (DbEdit* edit : {ui->dbe_user, ui->dbe_pass}) {
        connect(edit, &QLineEdit::textChanged, this, &TFrm_Diver_info::dbe_userChange);
    }
    connect(ui->bt_registro, &QPushButton::clicked, this, &TFrm_Diver_info::bt_registroClick2);
    connect(ui->PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        if (ui->PageControl1->widget(index) == ui->TabSheet1) {
            TabSheet1Show();
        }
    });
}

void TFrm_Diver_info::FormCreate() {
    AssingLenguage(this);
    ui->Image1->setPixmap(ProfileIcons::contactCard().pixmap(kContactPictureSize));
    ui->Image2->setPixmap(ProfileIcons::member().pixmap(kMemberIconSize));
    ui->lv_cert->header()->setSectionsClickable(false);
    ui->PageControl2->setCurrentWidget(ui->ts_member);
    ui->PageControl1->setCurrentWidget(ui->ts_general);
    ProfileSupport::setChoices(ui->info_country, ReferenceLists::countries(referenceRoot()));
    info_countryChange();
    LoadCertificateList();
}

// The state list follows the country as it is typed or picked; the stored state stays.
void TFrm_Diver_info::info_countryChange() {
    WaitCursor hourglass;
    ProfileSupport::setChoices(
        ui->info_state, ReferenceLists::states(referenceRoot(), ui->info_country->currentText()));
}

// Clearing the list selects nothing, so Edit and Delete wait for a new selection (they act on
// the table's current row, which the refill leaves on the last certificate).
void TFrm_Diver_info::LoadCertificateList() {
    ui->lv_cert->clear();
    lv_certSelectItem(nullptr, false);
    Table* rows = certificates();
    const QIcon icon = ProfileIcons::certificate();
    for (rows->first(); !rows->eof(); rows->next()) {
        auto* item = new QTreeWidgetItem(ui->lv_cert);
        item->setIcon(DateColumn, icon);
        item->setText(DateColumn,
                      CertificateList::dateText(rows->value(QStringLiteral("date")).toDate()));
        item->setText(CategoryColumn, categoryText(*rows));
        item->setText(AgencyColumn, rows->asString(QStringLiteral("agency")));
        item->setText(OrganizationColumn, rows->asString(QStringLiteral("operator")));
        item->setData(DateColumn, kBookmarkRole, QVariant::fromValue(rows->bookmark()));
    }
    fitColumns();
}

// The design widths, or what the texts need in a larger font.
void TFrm_Diver_info::fitColumns() {
    for (int column = DateColumn; column <= OrganizationColumn; ++column) {
        ui->lv_cert->resizeColumnToContents(column);
        ui->lv_cert->setColumnWidth(column,
                                    qMax(kColumnWidths[column], ui->lv_cert->columnWidth(column)));
    }
}

void TFrm_Diver_info::lv_certSelectItem(QTreeWidgetItem* item, bool selected) {
    Table* rows = certificates();
    if (selected && item) {
        rows->gotoBookmark(item->data(DateColumn, kBookmarkRole).value<Table::Bookmark>());
    }
    const bool certified = rows->asInteger(QStringLiteral("certify_by")) == 1;
    ui->bt_delete->setEnabled(selected && !certified);
    ui->bt_edit->setEnabled(selected);
}

void TFrm_Diver_info::lv_certDblClick() {
    if (ui->bt_edit->isEnabled()) {
        bt_editClick();
    }
}

int TFrm_Diver_info::showCertificateEditor() {
    TFrmCertificate editor(this, dm_rdp->ds_certif);
    return Dialogs::execModal(&editor);
}

// An editor closed with OK on an unchanged row leaves it as it was, list included.
void TFrm_Diver_info::bt_editClick() {
    if (showCertificateEditor() != QDialog::Accepted) {
        certificates()->cancel();
        return;
    }
    if (editing(certificates())) {
        certificates()->post();
        LoadCertificateList();
    }
}

void TFrm_Diver_info::Button1Click() {
    Table* rows = certificates();
    rows->append();
    rows->setValue(QStringLiteral("date"), QDate::currentDate());
    if (showCertificateEditor() != QDialog::Accepted) {
        rows->cancel();
        return;
    }
    rows->post();
    LoadCertificateList();
}

void TFrm_Diver_info::bt_deleteClick() {
    const Dialogs::Prompt prompt{QString(), word(QStringLiteral("txt_want_delete_certificate")),
                                 QMessageBox::Question, QMessageBox::Yes | QMessageBox::No};
    if (Dialogs::message(this, prompt) != QMessageBox::Yes) {
        return;
    }
    certificates()->remove();
    LoadCertificateList();
}

void TFrm_Diver_info::bt_okClick() {
    if (editing(member())) {
        member()->post();
    }
    accept();
}

void TFrm_Diver_info::bt_cancelClick() {
    member()->cancel();
    QDialog::reject();
}

void TFrm_Diver_info::reject() {
    runCommand(this, [this] { bt_cancelClick(); });
}

void TFrm_Diver_info::dbe_userChange() {
    ui->bt_registro->setEnabled(true);
}

void TFrm_Diver_info::bt_registroClick2() {
    if (registerMember_) {
        registerMember_->trigger();
    }
}

void TFrm_Diver_info::TabSheet1Show() {
    ui->bt_registro->setEnabled(registerMember_ && registerMember_->isEnabled());
}
