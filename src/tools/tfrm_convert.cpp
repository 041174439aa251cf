#include "tools/tfrm_convert.h"

#include "app/settings/ini_file.h"
#include "app/settings/regional_formats.h"
#include "app/settings/tdm_const.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"
#include "ui/main/tfrm_principal.h"
#include "ui/main/tfrm_principal_controls.h"
#include "ui_tfrm_convert.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <cmath>

TFrm_Convert* Frm_Convert = nullptr;

namespace {

const QString kPosition = QStringLiteral("Position");
const QString kDock = QStringLiteral("Dock");
const QString kLeftKey = QStringLiteral("Convert_x");
const QString kTopKey = QStringLiteral("Convert_y");
const QString kDockKey = QStringLiteral("Convert");
const QString kDockDrag = QStringLiteral("application/x-nereva-units-tool");

constexpr double kMetresPerFoot = 0.3048;
constexpr double kPsiPerBar = 14.5;
constexpr double kPoundsPerKilogram = 2.205;
constexpr double kExponentFrom = 1e10;  // eleven whole digits

// The tool's own settings-file object on the program's settings file; none without one.
std::unique_ptr<TIniFile> settingsFile() {
    if (!dm_const || !dm_const->IniFile) {
        return nullptr;
    }
    return std::make_unique<TIniFile>(dm_const->IniFile->fileName());
}

// "-1" and other non-zero numbers, or the word true, are true.
bool textToBool(const QString& text) {
    bool isNumber = false;
    const int number = text.trimmed().toInt(&isNumber);
    if (isNumber) {
        return number != 0;
    }
    return text.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

TFrm_Convert::Column columnOf(int number) {
    return number % 2 == 1 ? TFrm_Convert::Column::Left : TFrm_Convert::Column::Right;
}

}  // namespace

TFrm_Convert::TFrm_Convert(TFrm_Principal* mainWindow)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint),
      ui(std::make_unique<Ui::TFrm_Convert>()),
      mainWindow_(mainWindow) {
    ui->setupUi(this);
    // The program ends with the main window, even while this one floats.
    setAttribute(Qt::WA_QuitOnClose, false);
    for (int number = 1; number <= 8; ++number) {
        QLineEdit* box = edit(number);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textChanged, this, [this, number] { EditChange(number); });
    }
    connect(ui->bt_close, &QPushButton::clicked, this, &TFrm_Convert::bt_closeClick);
    if (mainWindow_) {
        mainWindow_->setUnitsTool(this);
    }
}

TFrm_Convert::~TFrm_Convert() {
    try {
        FormDestroy();
    } catch (const std::exception&) {
        // The program is ending; a settings file that cannot be written loses the place only.
    }
    if (Frm_Convert == this) {
        Frm_Convert = nullptr;
    }
}

QLineEdit* TFrm_Convert::edit(int number) const {
    QLineEdit* const edits[] = {ui->Edit1, ui->Edit2, ui->Edit3, ui->Edit4,
                                ui->Edit5, ui->Edit6, ui->Edit7, ui->Edit8};
    return edits[number - 1];
}

bool TFrm_Convert::docked() const {
    return mainWindow_ && parentWidget() && parentWidget() == mainWindow_->ui->pnl_UnitConvert_Dock;
}

// Creation and destruction ------------------------------------------------------------------

void TFrm_Convert::FormCreate() {
    AssingLenguage(this);
    const std::unique_ptr<TIniFile> ini = settingsFile();
    if (!ini) {
        return;
    }
    const int left = ini->readString(kPosition, kLeftKey, QStringLiteral("0")).toInt();
    if (left > 0) {
        move(left, ini->readString(kPosition, kTopKey, QStringLiteral("0")).toInt());
    }
    if (textToBool(ini->readString(kDock, kDockKey, QStringLiteral("0"))) && mainWindow_) {
        mainWindow_->dockUnitsTool(this, false);
    }
}

void TFrm_Convert::FormDestroy() {
    const std::unique_ptr<TIniFile> ini = settingsFile();
    if (!ini) {
        return;
    }
    const bool isDocked = docked();
    if (!isDocked) {
        ini->writeString(kPosition, kLeftKey, QString::number(x()));
        ini->writeString(kPosition, kTopKey, QString::number(y()));
    }
    ini->writeString(kDock, kDockKey, isDocked ? QStringLiteral("-1") : QStringLiteral("0"));
}

// Showing, closing, docking ----------------------------------------------------------------------

void TFrm_Convert::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TFrm_Convert::FormShow() {
    ui->bt_close->setVisible(parentWidget() == nullptr);
}

void TFrm_Convert::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ParentChange) {
        FormShow();
    }
}

bool TFrm_Convert::FormCloseQuery() const {
    return !docked();
}

// Closing a floating tool only hides it; the main window's menu no longer shows it checked.
void TFrm_Convert::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    if (mainWindow_) {
        mainWindow_->ui->UnitsConvertTool1->setChecked(false);
    }
}

void TFrm_Convert::bt_closeClick() {
    close();
}

void TFrm_Convert::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    pressedAt_ = event->position().toPoint();
    QWidget::mousePressEvent(event);
}

void TFrm_Convert::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_ && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - pressedAt_).manhattanLength() >=
            QApplication::startDragDistance()) {
        pressed_ = false;
        startDockDrag();
    }
}

// Dropped on the dive list, the main window docks the tool; dropped anywhere else, the tool
// floats there.
void TFrm_Convert::startDockDrag() {
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    data->setData(kDockDrag, QByteArray());
    drag->setMimeData(data);
    drag->setPixmap(grab());
    drag->setHotSpot(pressedAt_);
    if (drag->exec(Qt::MoveAction) != Qt::IgnoreAction) {
        return;
    }
    if (docked()) {
        mainWindow_->undockUnitsTool();
    }
    move(QCursor::pos() - pressedAt_);
}

// Converting -------------------------------------------------------------------------------------

bool TFrm_Convert::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        for (int number = 1; number <= 8; ++number) {
            if (watched == edit(number)) {
                EditEnter(number);
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TFrm_Convert::EditEnter(int number) {
    activeColumn_ = columnOf(number);
}

void TFrm_Convert::EditChange(int number) {
    if (activeColumn_ != columnOf(number)) {
        return;  // the tool itself wrote this edit
    }
    const Column column = columnOf(number);
    QLineEdit* partner = edit(column == Column::Left ? number + 1 : number - 1);
    const QString text = edit(number)->text();
    if (text.isEmpty()) {
        partner->clear();
        return;
    }
    const std::optional<double> value = RegionalFormats::parseFloat(text);
    if (!value || !std::isfinite(*value)) {
        Dialogs::showError(this,
                           QStringLiteral("'%1' is not a valid floating point value").arg(text));
        return;
    }
    partner->setText(formatConverted(convert((number - 1) / 2, column, *value)));
}

double TFrm_Convert::convert(int row, Column column, double value) {
    const bool toMetric = column == Column::Left;
    switch (row) {
        case 0:
            return toMetric ? value * kMetresPerFoot : value / kMetresPerFoot;
        case 1:
            return toMetric ? value / kPsiPerBar : value * kPsiPerBar;
        case 2:
            return toMetric ? (value - 32) * 5 / 9 : value * 9 / 5 + 32;
        default:
            return toMetric ? value / kPoundsPerKilogram : value * kPoundsPerKilogram;
    }
}

QString TFrm_Convert::formatConverted(double value) {
    if (std::abs(value) >= kExponentFrom) {
        return QString::number(value, 'E', 9);
    }
    const QString text = QString::number(value, 'f', 2);
    return text == QLatin1String("-0.00") ? QStringLiteral("0.00") : text;
}
