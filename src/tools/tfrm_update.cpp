#include "tools/tfrm_update.h"

#include "app/settings/app_error.h"
#include "cache/tdm_local_data.h"
#include "dictionary/tdm_idioma.h"
#include "net/service_endpoints.h"
#include "net/tdm_comm.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/wait_cursor.h"
#include "ui_tfrm_update.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace {

constexpr int kCheckDelayMs = 1000;
constexpr int kColumnWidth = 270;

QString word(const QString& key) {
    return dmIdioma ? dmIdioma->GetWord(key) : key;
}

// A globe with an arrow coming down to it.
QPixmap updatePicture() {
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF globe(6, 10, 34, 34);
    QRadialGradient shade(globe.center() - QPointF(6, 6), 30);
    shade.setColorAt(0, QColor(150, 180, 245));
    shade.setColorAt(1, QColor(58, 94, 185));
    p.setPen(QPen(QColor(40, 70, 150), 1.2));
    p.setBrush(shade);
    p.drawEllipse(globe);
    p.setPen(QPen(QColor(255, 255, 255, 170), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(globe.adjusted(9, 0, -9, 0));
    p.drawLine(QPointF(globe.left(), globe.center().y()),
               QPointF(globe.right(), globe.center().y()));
    QPainterPath arrow;
    arrow.moveTo(33, 2);
    arrow.lineTo(41, 2);
    arrow.lineTo(41, 14);
    arrow.lineTo(46, 14);
    arrow.lineTo(37, 24);
    arrow.lineTo(28, 14);
    arrow.lineTo(33, 14);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(20, 110, 40), 1));
    p.setBrush(QColor(60, 175, 80));
    p.drawPath(arrow);
    return pixmap;
}

}  // namespace

TFrmUpdate::TFrmUpdate(QWidget* owner)
    : QDialog(owner), Timer1(new QTimer(this)), ui(std::make_unique<Ui::TFrmUpdate>()) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    ui->Image1->setPixmap(updatePicture());
    ui->compoList->setColumnWidth(0, kColumnWidth);
    // The window keeps its size when the list takes the message's place.
    QSizePolicy keepPlace = ui->lb_new_version->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    ui->lb_new_version->setSizePolicy(keepPlace);
    ui->Button2->setDefault(true);
    connect(ui->Button1, &QPushButton::clicked, this, &TFrmUpdate::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TFrmUpdate::Button2Click);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kCheckDelayMs);
    connect(Timer1, &QTimer::timeout, this, &TFrmUpdate::Timer1Timer);
    Timer1->start();
    FormCreate();
}

TFrmUpdate::~TFrmUpdate() = default;

void TFrmUpdate::FormCreate() {
    AssingLenguage(this);
    ui->lb_new_version->setText(word(QStringLiteral("check_updates")) + QLatin1Char(' ') +
                                word(QStringLiteral("please_wait")));
}

void TFrmUpdate::Timer1Timer() {
    Timer1->stop();
    WaitCursor wait;
    try {
        listComponents();
    } catch (const AppError&) {
        ui->compoList->clear();
        ui->lb_new_version->setText(QString());
    }
    if (dmLocalData) {
        dmLocalData->closeAnswer();
    }
}

void TFrmUpdate::listComponents() {
    if (!dmComm || !dmLocalData) {
        throw AppError(QStringLiteral("No connection to the service."));
    }
    dmLocalData->parseAnswer(dmComm->HttpGet(ServiceEndpoints::updateCheck()));
    ui->compoList->clear();
    const XmlElement root = dmLocalData->XMLGet.documentElement();
    if (root.isNull()) {
        throw AppError(QStringLiteral("The service's answer has no root element."));
    }
    if (root.firstChildElement().isNull()) {
        ui->lb_new_version->setText(word(QStringLiteral("text_last_version")));
        return;
    }
    for (XmlElement component = root.firstChildElement(); !component.isNull();
         component = component.nextSiblingElement()) {
        auto* row = new QTreeWidgetItem(ui->compoList);
        row->setText(0, TdmLocalData::childText(component, QStringLiteral("name")));
        row->setCheckState(0, Qt::Unchecked);
    }
    ui->lb_new_version->hide();
}

QStringList TFrmUpdate::componentNames() const {
    QStringList names;
    for (int i = 0; i < ui->compoList->topLevelItemCount(); ++i) {
        names << ui->compoList->topLevelItem(i)->text(0);
    }
    return names;
}

void TFrmUpdate::Button2Click() {
    reject();
}
