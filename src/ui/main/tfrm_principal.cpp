#include "ui/main/tfrm_principal.h"

#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "dictionary/tdm_idioma.h"
#include "net/tinet_detect.h"
#include "store/tdm_rdp.h"
#include "ui/db/controls/db_edit.h"
#include "ui/db/db_grid_cursor_link.h"
#include "ui/db/db_grid_model.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"
#include "ui/main/action_link.h"
#include "ui/main/dive_commands.h"
#include "ui/main/dive_editor.h"
#include "ui/main/dive_editor_rules.h"
#include "ui/main/guarded_command.h"
#include "ui/main/main_icons.h"
#include "ui/main/principal_rules.h"
#include "ui/main/tool_bar_states.h"
#include "ui_tfrm_principal.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

TFrm_Principal* Frm_Principal = nullptr;

namespace {

const QString kPosition = QStringLiteral("Position");
constexpr int kToolPanelHeight = 186;
constexpr int kDivesListHeight = 80;
constexpr int kStatusWidths[] = {130, 80, 130, 50};
constexpr int kFirstPollInterval = 50;
constexpr int kPollInterval = 6000;
constexpr int kCellPadding = 6;
// Width beyond their least that the location and site names need to share a row with the dive
// number band.
constexpr int kNameRoom = 80;
const QString kHeaderStyle = QStringLiteral(
    "QLabel { background-color: palette(midlight); border: 1px solid palette(mid);"
    " padding-left: 4px; font-weight: bold; }");

Table* tableOf(Table* Tdm_rdp::*table) {
    return dm_rdp ? dm_rdp->*table : nullptr;
}

// The settings file, when the settings module could open one.
TIniFile* settingsFile() {
    return dm_const ? dm_const->IniFile.get() : nullptr;
}

int readPosition(const QString& key, int def) {
    TIniFile* ini = settingsFile();
    return ini ? ini->readInteger(kPosition, key, def) : def;
}

QString word(const QString& key) {
    return dmIdioma ? dmIdioma->GetWord(key) : key;
}

bool dialupConnection(bool current) {
    return dm_const ? dm_const->DialupConnection : current;
}

}  // namespace

TFrm_Principal::TFrm_Principal(QWidget* parent)
    : QMainWindow(parent),
      ui(new Ui::TFrm_Principal),
      ds_dives(new DataSource(tableOf(&Tdm_rdp::cds_dives), this)),
      ds_equip(new DataSource(tableOf(&Tdm_rdp::cds_equipment), this)),
      ds_conditions(new DataSource(tableOf(&Tdm_rdp::cds_conditions), this)),
      INetDetector1(new TINetDetect(this)),
      pup_certi(nullptr),
      divesGridModel_(nullptr),
      editor_(nullptr),
      diveCommands_(nullptr) {
    ui->setupUi(this);
    ds_dives->setObjectName(QStringLiteral("ds_dives"));
    ds_equip->setObjectName(QStringLiteral("ds_equip"));
    ds_conditions->setObjectName(QStringLiteral("ds_conditions"));
    INetDetector1->setObjectName(QStringLiteral("INetDetector1"));
    INetDetector1->DialUp = true;
    INetDetector1->setDispatchInterval(kFirstPollInterval);
    ui->pnl_UnitConvert->hide();
    ui->PageControl1->tabBar()->hide();
    for (QLabel* header : {ui->Panel16, ui->Panel11, ui->Panel15}) {
        header->setStyleSheet(kHeaderStyle);
    }
    setUpDivesGrid();
    setUpStatusBar();
    setUpActions();
    editor_ = new DiveEditor(ui, {ds_dives, ds_conditions, ds_equip}, pup_certi, this);
    diveCommands_ = new DiveCommands(*this);
    ui->barDetails->installEventFilter(this);
    ui->pnl_dives_tree->setAcceptDrops(true);
    ui->pnl_dives_tree->installEventFilter(this);
    connectHandlers();
    attachDiveEditorRules(*this);
}

TFrm_Principal::~TFrm_Principal() {
    if (Frm_Principal == this) {
        Frm_Principal = nullptr;
    }
    delete ui;
}

DbGridModel* TFrm_Principal::divesGridModel() const {
    return divesGridModel_;
}

DiveEditor* TFrm_Principal::editor() const {
    return editor_;
}

DiveCommands* TFrm_Principal::diveCommands() const {
    return diveCommands_;
}

QString TFrm_Principal::memberUserName() const {
    Table* info = tableOf(&Tdm_rdp::cds_info);
    if (!info || !info->active() || info->recordCount() == 0) {
        return {};
    }
    return info->asString(QStringLiteral("inet_user"));
}

void TFrm_Principal::setUpDivesGrid() {
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    divesGridModel_ = new DbGridModel({{QStringLiteral("Date"), 65, right, Qt::AlignCenter},
                                       {QStringLiteral("Location"), 200, left, left}},
                                      this);
    divesGridModel_->setDataSource(ds_dives);
    QTableView* grid = ui->DbgDives;
    DbGridCursorLink* link = setUpDbGrid(grid, divesGridModel_);
    link->onMoveRefused = [this](const QString& message) { Dialogs::showError(this, message); };
    link->beforeMove = &DbEdit::confirmPendingInput;
    // 65 pixels held a date in the small design font; a larger font gets the room it needs.
    const int widestDate = grid->fontMetrics().horizontalAdvance(QStringLiteral("12/28/2024"));
    grid->setColumnWidth(0, qMax(grid->columnWidth(0), widestDate + 2 * kCellPadding));
}

void TFrm_Principal::setUpStatusBar() {
    for (int width : kStatusWidths) {
        auto* panel = new QLabel(ui->status_bottom);
        panel->setFixedWidth(width);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        ui->status_bottom->addWidget(panel);
        statusPanels_ << panel;
    }
}

void TFrm_Principal::setUpActions() {
    ui->Ac_Syncronize->setIcon(MainIcons::synchronize());
    ui->Ac_Print_Dive->setIcon(MainIcons::print());
    ui->Ac_Add_Dive->setIcon(MainIcons::addDive());
    ui->Ac_Delete_Dive->setIcon(MainIcons::deleteDive());
    ui->Ac_Lock->setIcon(MainIcons::lock());
    ui->DiverInfo1->setIcon(MainIcons::memberInformation());
    ui->EnvironmentOptions1->setIcon(MainIcons::environmentOptions());
    ui->bt_UnitsConvHide->setIcon(MainIcons::hidePanel());
    ui->bt_UnitsConvHide->setIconSize(QSize(12, 12));
    linkToAction(ui->Syncronize1, ui->Ac_Syncronize);
    linkToAction(ui->Print1, ui->Ac_Print_Dive);
    linkToAction(ui->Add1, ui->Ac_Add_Dive);
    linkToAction(ui->AcDiveUpdate1, ui->Ac_Dive_Update);
    linkToAction(ui->Delete1, ui->Ac_Delete_Dive);
    linkToAction(ui->Lock1, ui->Ac_Lock);
    linkToAction(ui->RegisterNewMember1, ui->Ac_Register_Member);
    linkToAction(ui->ViewDiverProfile1, ui->Ac_ViewDiverProfile);
    linkToAction(ui->Invite1, ui->Ac_Invite_User);
    pup_certi = new QMenu(this);
    pup_certi->setObjectName(QStringLiteral("pup_certi"));
    pup_certi->addAction(ui->AcDiveUpdate2);
    linkToAction(ui->AcDiveUpdate2, ui->Ac_Dive_Update);
    for (QToolBar* bar : {ui->ToolBar1, ui->ToolBar2, ui->ToolBar3}) {
        followActionStatesLightly(bar);
    }
}

void TFrm_Principal::connectHandlers() {
    auto handle = [this](QAction* action, void (TFrm_Principal::*handler)()) {
        connect(action, &QAction::triggered, this,
                [this, handler] { runCommand(this, [this, handler] { (this->*handler)(); }); });
    };
    handle(ui->DivesTree1, &TFrm_Principal::DivesTree1Click);
    handle(ui->UnitsConvertTool1, &TFrm_Principal::UnitsConvertTool1Click);
    handle(ui->EnvironmentOptions1, &TFrm_Principal::EnvironmentOptions1Click);
    handle(ui->help2, &TFrm_Principal::help2Click);
    handle(ui->About1, &TFrm_Principal::About1Click);
    connect(ui->Exit1, &QAction::triggered, this, &QWidget::close);
    connect(ui->bt_UnitsConvHide, &QToolButton::clicked, this,
            [this] { runCommand(this, [this] { UnitsConvertTool1Click(); }); });
    connect(INetDetector1, &TINetDetect::OnChanged, this,
            [this] { runCommand(this, [this] { INetDetector1Changed(); }); });
    // A user name entered or registered shows at once, with the commands it enables.
    if (Table* member = tableOf(&Tdm_rdp::cds_info)) {
        connect(member, &Table::dataChanged, this, [this](const QString& field) {
            if (field.isEmpty()) {
                showMemberState();
            }
        });
    }
    connect(ui->Splitter1, &QSplitter::splitterMoved, this,
            [this] { leftPanelWidth_ = ui->Splitter1->sizes().value(0); });
    connect(ui->Splitter3, &QSplitter::splitterMoved, this,
            [this] { keepDivesListHeight(ui->Splitter3->sizes().value(0)); });
}

// Creation ------------------------------------------------------------------------------------

void TFrm_Principal::FormCreate() {
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    FormCreate(shown ? shown->geometry() : QRect(0, 0, 1024, 768));
}

void TFrm_Principal::FormCreate(const QRect& screen) {
    if (dm_const) {
        setWindowTitle(dm_const->AppTitle + QLatin1Char(' ') + dm_const->AppVersion);
    }
    INetDetector1->DialUp = dialupConnection(INetDetector1->DialUp);
    INetDetector1->setEnabled(true);
    AssingLenguage(this);
    setLeftPanelWidth(readPosition(QStringLiteral("Dives_tree_w"), 180));
    setStatus(0, statusText(0), leftPanelWidth() + 5);
    setDivesListHeight(readPosition(QStringLiteral("Dives_h"), kDivesListHeight));
    TIniFile* ini = settingsFile();
    setLocationBreak(ini && ini->readBool(kPosition, QStringLiteral("Location_break"), false));
    restoreWindowPlace(screen);
    ui->TsDiveDetail->hide();
    ui->pnl_titulo->setText(word(QStringLiteral("dive_details")));
    ui->pnl_titulo->show();
    chooseEditorPage();
    ui->TsDiveDetail->show();
}

void TFrm_Principal::restoreWindowPlace(const QRect& screen) {
    const int left = readPosition(QStringLiteral("Principal_x"), -1);
    if (left == -1) {
        const FirstRunLayout first = firstRunLayout(screen.width());
        resize(first.windowSize);
        setLeftPanelWidth(first.leftPanelWidth);
        move(screen.x() + (screen.width() - first.windowSize.width()) / 2,
             screen.y() + (screen.height() - first.windowSize.height()) / 2);
        return;
    }
    const int top = readPosition(QStringLiteral("Principal_y"), y());
    const int width = readPosition(QStringLiteral("Principal_w"), this->width());
    const int height = readPosition(QStringLiteral("Principal_h"), this->height());
    QVector<QRect> screens{screen};
    for (const QScreen* each : QGuiApplication::screens()) {
        screens << each->geometry();
    }
    const QRect place = windowPlaceOnScreens(QRect(left, top, width, height), screens, screen);
    move(place.topLeft());
    resize(place.size());
    const bool normal = readPosition(QStringLiteral("Principal_State"), 0) != 0;
    setWindowState(normal ? windowState() & ~Qt::WindowMaximized
                          : windowState() | Qt::WindowMaximized);
}

void TFrm_Principal::chooseEditorPage() {
    const bool advanced = dm_const && dm_const->ViewAdvancedDives;
    if (advanced) {
        ui->PageSimple->hide();
        ui->PageAdvanced->show();
        ui->PageAdvanced->setCurrentWidget(ui->ts_general);
    } else {
        ui->PageAdvanced->hide();
        ui->PageSimple->show();
    }
}

// Close ---------------------------------------------------------------------------------------

void TFrm_Principal::closeEvent(QCloseEvent* event) {
    if (FormClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

bool TFrm_Principal::FormClose() {
    if (!DbEdit::confirmPendingInput()) {
        return false;
    }
    runCommand(this, [this] { writeLayout(); });
    try {
        postPendingEdits();
    } catch (const AppError& error) {
        Dialogs::showError(this, error.message());
        return false;
    }
    return true;
}

void TFrm_Principal::writeLayout() {
    TIniFile* ini = settingsFile();
    if (!ini) {
        return;
    }
    ini->writeInteger(kPosition, QStringLiteral("Dives_tree_w"), leftPanelWidth());
    ini->writeInteger(kPosition, QStringLiteral("Dives_h"), divesListHeight());
    ini->writeBool(kPosition, QStringLiteral("Location_break"), locationBreak());
    if (isMaximized()) {
        ini->writeInteger(kPosition, QStringLiteral("Principal_State"), 0);
        return;
    }
    ini->writeInteger(kPosition, QStringLiteral("Principal_State"), 1);
    ini->writeInteger(kPosition, QStringLiteral("Principal_x"), x());
    ini->writeInteger(kPosition, QStringLiteral("Principal_y"), y());
    ini->writeInteger(kPosition, QStringLiteral("Principal_h"), height());
    ini->writeInteger(kPosition, QStringLiteral("Principal_w"), width());
}

// The dive first, then the detail rows the editor may hold in edit, so that nothing typed is
// lost when the tables close.
void TFrm_Principal::postPendingEdits() {
    Table* dives = ds_dives->dataSet();
    if (dives && dives->active() &&
        (dives->state() == Table::State::Edit || dives->state() == Table::State::Insert)) {
        dives->post();
    }
    for (DataSource* detail : {ds_conditions, ds_equip}) {
        Table* table = detail->dataSet();
        if (table && table->active() && table->modified()) {
            table->post();
        }
    }
}

// Connection state ----------------------------------------------------------------------------

void TFrm_Principal::INetDetector1Changed() {
    INetDetector1->setDispatchInterval(kPollInterval);
    INetDetector1->DialUp = dialupConnection(INetDetector1->DialUp);
    const ConnectionView view = connectionView(INetDetector1->Online(), memberUserName());
    setStatus(1, view.connectionText);
    for (QAction* command :
         {ui->Ac_Syncronize, ui->Ac_Register_Member, ui->Checkforupdates1, ui->help2}) {
        command->setEnabled(view.onlineCommands);
    }
    showMemberState();
}

void TFrm_Principal::showMemberState() {
    const ConnectionView view = connectionView(INetDetector1->Online(), memberUserName());
    setStatus(2, view.memberText);
    ui->Ac_ViewDiverProfile->setEnabled(view.memberCommands);
    ui->Ac_Invite_User->setEnabled(view.memberCommands);
}

// Status bar ----------------------------------------------------------------------------------

QString TFrm_Principal::statusText(int panel) const {
    return statusPanels_.value(panel) ? statusPanels_[panel]->text() : QString();
}

int TFrm_Principal::statusWidth(int panel) const {
    return statusPanels_.value(panel) ? statusPanels_[panel]->width() : 0;
}

void TFrm_Principal::setStatus(int panel, const QString& text, int width) {
    QLabel* label = statusPanels_.value(panel);
    if (!label) {
        return;
    }
    label->setText(text);
    if (width >= 0) {
        label->setFixedWidth(width);
    }
}

// Commands ------------------------------------------------------------------------------------

void TFrm_Principal::DivesTree1Click() {
    const bool show = ui->pnl_dives_tree->isHidden();
    ui->pnl_dives_tree->setVisible(show);
    if (show) {
        setLeftPanelWidth(leftPanelWidth_);
    }
    ui->DivesTree1->setChecked(show);
}

void TFrm_Principal::EnvironmentOptions1Click() {
    if (openEnvironmentOptions) {
        openEnvironmentOptions(this);
    }
    INetDetector1->setEnabled(false);
    INetDetector1->setDispatchInterval(kFirstPollInterval);
    INetDetector1->setEnabled(true);
    INetDetector1->DialUp = dialupConnection(INetDetector1->DialUp);
}

void TFrm_Principal::help2Click() {
    if (INetDetector1->Online() && dm_const) {
        dm_const->GetUrl(dm_const->BaseUrl + QStringLiteral("redir/?help=1"));
    }
}

void TFrm_Principal::About1Click() {
    if (openAbout) {
        openAbout(this);
    }
}

// Layout --------------------------------------------------------------------------------------

int TFrm_Principal::leftPanelWidth() const {
    return leftPanelWidth_;
}

// The editor side stretches, so the left panel keeps exactly this width when the window is
// resized.
void TFrm_Principal::setLeftPanelWidth(int width) {
    leftPanelWidth_ = width;
    ui->Splitter1->setSizes({width, qMax(1, ui->Splitter1->width() - width)});
}

int TFrm_Principal::divesListHeight() const {
    if (!ui->pnl_UnitConvert->isHidden()) {
        return ui->Splitter3->sizes().value(0);
    }
    if (divesListHeight_ > 0) {
        return divesListHeight_;
    }
    const int designHeight =
        ui->Splitter3->height() - kToolPanelHeight - ui->Splitter3->handleWidth();
    return qMax(ui->pnl_dives->minimumHeight(), designHeight);
}

// With a chosen height the dive list keeps it and the tool panel takes the rest; without one
// the tool panel keeps its design height and the list takes the rest.
void TFrm_Principal::setDivesListHeight(int height) {
    keepDivesListHeight(height);
    if (!ui->pnl_UnitConvert->isHidden()) {
        showToolPanel();
    }
}

void TFrm_Principal::keepDivesListHeight(int height) {
    divesListHeight_ = qMax(0, height);
    const bool listFixed = divesListHeight_ > 0;
    ui->Splitter3->setStretchFactor(0, listFixed ? 0 : 1);
    ui->Splitter3->setStretchFactor(1, listFixed ? 1 : 0);
}

bool TFrm_Principal::locationBreak() const {
    return locationBreak_;
}

void TFrm_Principal::setLocationBreak(bool newRow) {
    locationBreak_ = newRow;
    arrangeHeaderBands();
}

// The location band starts a row of its own when the diver chose so, and also while one row
// would leave the location and site names too little room; it takes the width the dive number
// band leaves.
void TFrm_Principal::arrangeHeaderBands() {
    auto* bands = qobject_cast<QGridLayout*>(ui->barDetails->layout());
    const QMargins margins = bands->contentsMargins();
    const int room = ui->barDetails->contentsRect().width() - margins.left() - margins.right();
    const int oneRow = ui->pnlDiveNum->sizeHint().width() + bands->horizontalSpacing() +
                       ui->pnlLocations->minimumSizeHint().width() + 2 * kNameRoom;
    const bool newRow = locationBreak_ || room < oneRow;
    const int index = bands->indexOf(ui->pnlLocations);
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    bands->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    if (index >= 0 && (row == 1) == newRow) {
        return;
    }
    bands->removeWidget(ui->pnlLocations);
    if (newRow) {
        bands->addWidget(ui->pnlLocations, 1, 0, 1, 2);
    } else {
        bands->addWidget(ui->pnlLocations, 0, 1);
    }
    bands->setColumnStretch(1, 1);
}

bool TFrm_Principal::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->barDetails && event->type() == QEvent::Resize) {
        arrangeHeaderBands();
    }
    if (watched == ui->pnl_dives_tree) {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* over = static_cast<QDragMoveEvent*>(event);
                pnl_dives_treeDockOver(over->source()) ? over->acceptProposedAction()
                                                       : over->ignore();
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                if (pnl_dives_treeDockOver(drop->source())) {
                    pnl_dives_treeDockDrop(drop->source());
                    drop->acceptProposedAction();
                }
                return true;
            }
            default:
                break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// Units tool ----------------------------------------------------------------------------------

void TFrm_Principal::setUnitsTool(QWidget* tool) {
    unitsTool_ = tool;
}

QWidget* TFrm_Principal::unitsTool() const {
    return unitsTool_;
}

bool TFrm_Principal::unitsToolDocked() const {
    return unitsTool_ && unitsTool_->parentWidget() == ui->pnl_UnitConvert_Dock;
}

void TFrm_Principal::dockUnitsTool(QWidget* tool, bool show) {
    if (!tool) {
        return;
    }
    unitsTool_ = tool;
    if (!unitsToolDocked()) {
        unitsToolFlags_ = tool->windowFlags() | Qt::Window;
        ui->pnl_UnitConvert_Dock->layout()->addWidget(tool);
    }
    if (!show) {
        tool->hide();
        return;
    }
    showToolPanel();
    tool->show();
    ui->UnitsConvertTool1->setChecked(true);
}

bool TFrm_Principal::pnl_dives_treeDockOver(const QObject* dragged) const {
    return dragged && dragged == unitsTool_;
}

void TFrm_Principal::pnl_dives_treeDockDrop(QObject* dragged) {
    if (pnl_dives_treeDockOver(dragged)) {
        dockUnitsTool(unitsTool_);
        ui->pnl_UnitConvert->repaint();
    }
}

void TFrm_Principal::undockUnitsTool() {
    if (!unitsToolDocked()) {
        return;
    }
    const QPoint place = unitsTool_->mapToGlobal(QPoint(0, 0));
    ui->pnl_UnitConvert_Dock->layout()->removeWidget(unitsTool_);
    unitsTool_->setParent(nullptr, unitsToolFlags_);
    unitsTool_->move(place);
    unitsTool_->show();
    hideToolPanel();
}

void TFrm_Principal::UnitsConvertTool1Click() {
    if (!unitsTool_) {
        ui->UnitsConvertTool1->setChecked(false);
        return;
    }
    if (unitsTool_->isVisible()) {
        unitsTool_->hide();
        hideToolPanel();
        ui->UnitsConvertTool1->setChecked(false);
        return;
    }
    if (unitsToolDocked()) {
        showToolPanel();
    }
    unitsTool_->show();
    ui->UnitsConvertTool1->setChecked(true);
}

void TFrm_Principal::showToolPanel() {
    ui->pnl_UnitConvert->show();
    const int list = divesListHeight_ > 0 ? divesListHeight_
                                          : qMax(1, ui->Splitter3->height() - kToolPanelHeight);
    ui->Splitter3->setSizes({list, kToolPanelHeight});
}

void TFrm_Principal::hideToolPanel() {
    ui->pnl_UnitConvert->hide();
}
