#include "ui/main/tdlg_date.h"

#include "app/settings/regional_formats.h"
#include "dictionary/tdm_idioma.h"
#include "store/data_source.h"
#include "store/table.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/main/guarded_command.h"
#include "ui_tdlg_date.h"

namespace {
const QString kDateField = QStringLiteral("Date");
}

TDlg_date::TDlg_date(QWidget* owner, DataSource* dives)
    : QDialog(owner), ui(std::make_unique<Ui::TDlg_date>()), dives_(dives) {
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    const auto ok = [this] { runCommand(this, [this] { Button1Click(); }); };
    connect(ui->Button1, &QPushButton::clicked, this, ok);
    // The calendar keeps Enter to itself; it means OK as for the default button.
    connect(ui->Date_pick, &QCalendarWidget::activated, this, ok);
    connect(ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

TDlg_date::~TDlg_date() = default;

void TDlg_date::FormCreate() {
    AssingLenguage(this);
    // Month and day names in the dictionary's language; dates still go in as the program's
    // short dates.
    if (dmIdioma && !dmIdioma->LanguageCode().isEmpty()) {
        ui->Date_pick->setLocale(QLocale(dmIdioma->LanguageCode()));
    }
    const Table* dive = dives_->dataSet();
    if (!dive->isNull(kDateField)) {
        ui->Date_pick->setSelectedDate(dive->value(kDateField).toDate());
    }
}

// The date goes in as short-date text, which the date field turns back into the day.
void TDlg_date::Button1Click() {
    Table* dive = dives_->dataSet();
    dive->edit();
    dive->setAsString(kDateField, RegionalFormats::formatDate(ui->Date_pick->selectedDate()));
    dive->post();
    accept();
}
