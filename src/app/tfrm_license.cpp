#include "app/tfrm_license.h"

#include "ui/forms/logo.h"
#include "app/settings/tdm_const.h"
#include "dictionary/tdm_idioma.h"
#include "ui/forms/assing_lenguage.h"
#include "ui_tfrm_license.h"

#include <QMouseEvent>

TFrm_License::TFrm_License(QWidget* owner)
    : QDialog(owner), ui(std::make_unique<Ui::TFrm_License>()) {
    ui->setupUi(this);
    setFixedSize(400, 323);
    ui->imgLogo->setPixmap(Logo::picture());
    ui->imgLogo->setStyleSheet(QStringLiteral("background: %1;").arg(Logo::kBandColour.name()));
    ui->pnlCaptionBand->setStyleSheet(QStringLiteral("background: palette(highlight);"));
    ui->Label2->setStyleSheet(QStringLiteral("color: palette(link); text-decoration: underline;"));
    ui->Label2->installEventFilter(this);
    connect(ui->Button1, &QPushButton::clicked, this, &QDialog::accept);
    FormCreate();
}

TFrm_License::~TFrm_License() = default;

void TFrm_License::FormCreate() {
    AssingLenguage(this);
    ui->lb_version->setText(dm_const->AppVersion + QStringLiteral(" (") + dm_const->ServiceVersion +
                            QLatin1Char(')'));
    const QString title = QGuiApplication::applicationDisplayName();
    setWindowTitle(dmIdioma->GetWord(QStringLiteral("about")) + QLatin1Char(' ') + title);
    ui->lbName->setText(title);
    ui->Label2->setText(dm_const->BaseUrl);
}

QLabel* TFrm_License::versionLabel() const {
    return ui->lb_version;
}

QLabel* TFrm_License::linkLabel() const {
    return ui->Label2;
}

bool TFrm_License::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->Label2 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label2Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFrm_License::Label2Click() {
    dm_const->GetUrl(dm_const->BaseUrl);
}
