#include "app/tfrm_config.h"

#include "app/settings/tdm_const.h"
#include "dictionary/dictionary_languages.h"
#include "dictionary/tdm_idioma.h"
#include "ui/forms/assing_lenguage.h"
#include "ui_tfrm_config.h"

namespace {

// A stored code outside the list selects nothing.
void selectCode(QComboBox* list, int code) {
    list->setCurrentIndex(code >= 0 && code < list->count() ? code : -1);
}

// The language the list shows: the one chosen before, else the one the program speaks now.
QString shownLanguage() {
    if (isLanguageCode(dm_const->Language)) {
        return dm_const->Language;
    }
    return dmIdioma ? dmIdioma->LanguageCode() : QString();
}

}  // namespace

TFrm_config::TFrm_config(QWidget* owner) : QDialog(owner), ui(std::make_unique<Ui::TFrm_config>()) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    connect(ui->bt_ok, &QPushButton::clicked, this, &TFrm_config::bt_okClick);
    connect(ui->bt_cancel, &QPushButton::clicked, this, &TFrm_config::bt_cancelClick);
    FormCreate();
    // The designed size, grown where a translation's texts need more room.
    setFixedSize(sizeHint().expandedTo(QSize(345, 269)));
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
    fillLanguages();
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
    storeLanguage();
    accept();
}

void TFrm_config::fillLanguages() {
    for (const ShippedLanguage& language : shippedLanguages()) {
        ui->cb_language->addItem(language.name, language.code);
    }
    shownLanguage_ = shownLanguage();
    ui->cb_language->setCurrentIndex(ui->cb_language->findData(shownLanguage_));
}

// Only a change is stored, so a diver who never picks a language keeps following the system's.
void TFrm_config::storeLanguage() {
    const QString chosen = ui->cb_language->currentData().toString();
    if (!chosen.isEmpty() && chosen != shownLanguage_) {
        dm_const->Language = chosen;
    }
}

void TFrm_config::bt_cancelClick() {
    reject();
}
