#include "app/tfrm_config.h"

#include "app/settings/tdm_const.h"
#include "ui/forms/assing_lenguage.h"
#include "ui_tfrm_config.h"

namespace {

// A stored code outside the list selects nothing.
void selectCode(QComboBox* list, int code) {
    list->setCurrentIndex(code >= 0 && code < list->count() ? code : -1);
}

}  // namespace

TFrm_config::TFrm_config(QWidget* owner) : QDialog(owner), ui(std::make_unique<Ui::TFrm_config>()) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(345, 269);
    connect(ui->bt_ok, &QPushButton::clicked, this, &TFrm_config::bt_okClick);
    connect(ui->bt_cancel, &QPushButton::clicked, this, &TFrm_config::bt_cancelClick);
    FormCreate();
}

TFrm_config::~TFrm_config() = default;

void TFrm_config::FormCreate() {
    AssingLenguage(this);
    ui->proxy_host->setText(dm_const->ProxyHost);
    ui->proxy_port->setText(dm_const->ProxyPort);
    ui->ck_sites_view->setChecked(dm_const->ViewRegionSites);
    ui->ck_adv->setChecked(dm_const->ViewAdvancedDives);
    ui->ck_con_dialup->setChecked(dm_const->DialupConnection);
    ui->ck_con_dsl->setChecked(!dm_const->DialupConnection);
    selectCode(ui->units_dist, dm_const->Unit_Dist);
    selectCode(ui->units_temp, dm_const->Unit_Temp);
    selectCode(ui->units_pres, dm_const->Unit_Pres);
    ui->PageControl1->setCurrentIndex(0);
}

void TFrm_config::bt_okClick() {
    dm_const->ProxyHost = ui->proxy_host->text();
    dm_const->ProxyPort = ui->proxy_port->text();
    dm_const->ViewRegionSites = ui->ck_sites_view->isChecked();
    dm_const->ViewAdvancedDives = ui->ck_adv->isChecked();
    dm_const->DialupConnection = ui->ck_con_dialup->isChecked();
    dm_const->Unit_Dist = ui->units_dist->currentIndex();
    dm_const->Unit_Temp = ui->units_temp->currentIndex();
    dm_const->Unit_Pres = ui->units_pres->currentIndex();
    accept();
}

void TFrm_config::bt_cancelClick() {
    reject();
}
