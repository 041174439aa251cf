#include "ui/main/tfrm_stops.h"

#include "ui/db/controls/db_edit.h"
#include "ui/db/controls/value_domains.h"
#include "ui/forms/assing_lenguage.h"
#include "ui_tfrm_stops.h"

namespace {

const QString kStopTimeMask = QStringLiteral("!00:00;1; ");

void bindStop(DbEdit* depth, DbEdit* time, DbValueSelector* gas, DataSource* conditions,
              const QString& suffix, const ValueDomain& gases) {
    depth->bind(conditions, QStringLiteral("stop_depth") + suffix);
    time->bind(conditions, QStringLiteral("stop") + suffix);
    time->setEditMask(kStopTimeMask);
    gas->setItems(gases.items, gases.values);
    gas->bind(conditions, QStringLiteral("stop_gas_mix") + suffix);
}

}  // namespace

TFrmStops::TFrmStops(QWidget* owner, DataSource* conditions)
    : QDialog(owner), ui(std::make_unique<Ui::TFrmStops>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    bindControls(conditions);
    connect(ui->Button1, &QPushButton::clicked, this, &TFrmStops::Button1Click);
    FormCreate();
}

TFrmStops::~TFrmStops() = default;

// Only the first two stops offer the blank gas: it stores nothing.
void TFrmStops::bindControls(DataSource* conditions) {
    const ValueDomain withBlank = ValueDomains::gasWithBlank();
    bindStop(ui->stop_depth, ui->stop, ui->stop_gas_mix, conditions, QString(), withBlank);
    bindStop(ui->stop_depth1, ui->stop1, ui->stop_gas_mix1, conditions, QStringLiteral("1"),
             withBlank);
    bindStop(ui->stop_depth2, ui->stop2, ui->stop_gas_mix2, conditions, QStringLiteral("2"),
             ValueDomains::gas());
}

void TFrmStops::FormCreate() {
    AssingLenguage(this);
}

// A stop time or coordinates that cannot be stored keep the window open.
void TFrmStops::Button1Click() {
    if (DbEdit::confirmPendingInput()) {
        accept();
    }
}
