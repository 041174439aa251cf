#include "ui/main/tfrm_notes.h"

#include "store/data_source.h"
#include "store/table.h"
#include "ui/forms/assing_lenguage.h"
#include "ui_tfrm_notes.h"

TFrmNotes::TFrmNotes(QWidget* owner, DataSource* conditions, DataSource* dives)
    : QDialog(owner), ui(std::make_unique<Ui::TFrmNotes>()), dives_(dives) {
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    ui->dbmnotes->setMaxLength(kMaxNotesLength);
    ui->dbmnotes->setWantReturns(false);
    ui->dbmnotes->bind(conditions, QStringLiteral("observations"));
    connect(ui->Button1, &QPushButton::clicked, this, &TFrmNotes::Button1Click);
    FormCreate();
}

TFrmNotes::~TFrmNotes() = default;

void TFrmNotes::FormCreate() {
    AssingLenguage(this);
    if (dives_->dataSet()->asInteger(QStringLiteral("locked")) == 1) {
        ui->dbmnotes->setReadOnlyState(true);
    }
}

void TFrmNotes::Button1Click() {
    accept();
}
