#include "ui/main/tfrm_drive_advanced.h"

#include "store/data_source.h"
#include "store/table.h"
#include "ui/db/controls/db_edit.h"
#include "ui/db/controls/value_domains.h"
#include "ui/forms/assing_lenguage.h"
#include "ui_tfrm_drive_advanced.h"

const QString TFrmDriveAdvanced::kCoordinatesMask =
    QStringLiteral("!90\\:00\\:00L\\-990\\:00\\:00L;1;_");

DriveAdvancedAccess driveAdvancedAccess(int locked, int certifyBy) {
    DriveAdvancedAccess access;
    if (locked == 1) {
        access = {false, false, false};
    }
    if (certifyBy == 1) {
        access.typesEditable = false;
    }
    return access;
}

TFrmDriveAdvanced::TFrmDriveAdvanced(QWidget* owner, DataSource* dives)
    : QDialog(owner), ui(std::make_unique<Ui::TFrmDriveAdvanced>()), dives_(dives) {
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    bindControls(dives);
    connect(ui->btOK, &QPushButton::clicked, this, &TFrmDriveAdvanced::btOKClick);
    FormCreate();
}

TFrmDriveAdvanced::~TFrmDriveAdvanced() = default;

void TFrmDriveAdvanced::bindControls(DataSource* dives) {
    const ValueDomain ascent = ValueDomains::ascent();
    ui->Dive_Nivel->setItems(ascent.items, ascent.values);
    ui->Dive_Nivel->bind(dives, QStringLiteral("Dive_Nivel"));
    const ValueDomain decompression = ValueDomains::decompression();
    ui->Dive_Deco->setItems(decompression.items, decompression.values);
    ui->Dive_Deco->bind(dives, QStringLiteral("Dive_Deco"));
    ui->ck_dive_day->bind(dives, QStringLiteral("dive_day"));
    ui->ck_dive_night->bind(dives, QStringLiteral("dive_night"));
    ui->ck_dive_sunrise->bind(dives, QStringLiteral("dive_sunrise"));
    ui->ck_dive_sunset->bind(dives, QStringLiteral("dive_sunset"));
    ui->coordinates->bind(dives, QStringLiteral("coordinates"));
    ui->coordinates->setEditMask(kCoordinatesMask);
}

void TFrmDriveAdvanced::FormCreate() {
    Table* dive = dives_->dataSet();
    dive->edit();
    AssingLenguage(this);
    dive->post();
    applyAccess(driveAdvancedAccess(dive->asInteger(QStringLiteral("locked")),
                                    dive->asInteger(QStringLiteral("certify_by"))));
}

void TFrmDriveAdvanced::applyAccess(const DriveAdvancedAccess& access) {
    ui->Dive_Nivel->setReadOnlyState(!access.typesEditable);
    ui->Dive_Deco->setReadOnlyState(!access.typesEditable);
    for (DbCheckBox* light :
         {ui->ck_dive_day, ui->ck_dive_night, ui->ck_dive_sunrise, ui->ck_dive_sunset}) {
        light->setEnabled(access.lightsEditable);
    }
    ui->coordinates->setReadOnlyState(!access.coordinatesEditable);
}

// A stop time or coordinates that cannot be stored keep the window open.
void TFrmDriveAdvanced::btOKClick() {
    if (DbEdit::confirmPendingInput()) {
        accept();
    }
}
