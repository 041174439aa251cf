#include "ui/lookup/tfrm_select_buddy.h"

#include "cache/tdm_local_data.h"
#include "dictionary/tdm_idioma.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"
#include "ui/lookup/lookup_request.h"
#include "ui/lookup/lookup_tree.h"
#include "ui/lookup/lookup_widgets.h"
#include "ui/lookup/tfrm_buddy_list.h"
#include "ui/main/main_icons.h"
#include "ui_tfrm_select_buddy.h"

#include <QShowEvent>
#include <QTimer>

namespace {

constexpr int kListDelay = 100;
const int kColumnWidths[] = {145, 115};

}  // namespace

TFrmSelectBuddy::TFrmSelectBuddy(QWidget* owner, const TINetDetect* detector)
    : QDialog(owner), ui(new Ui::TFrmSelectBuddy), Timer1(new QTimer(this)), detector_(detector) {
    ui->setupUi(this);
    Timer1->setInterval(kListDelay);
    Timer1->setSingleShot(true);
    for (int column = 0; column < 2; ++column) {
        ui->tSelect->setColumnWidth(column, kColumnWidths[column]);
    }
    keepSelectionVisible(ui->tSelect);
    ui->tSelect->addAction(ui->Details1);
    FormCreate();
    connectHandlers();
}

TFrmSelectBuddy::~TFrmSelectBuddy() {
    delete ui;
}

void TFrmSelectBuddy::FormCreate() {
    AssingLenguage(this);
}

void TFrmSelectBuddy::connectHandlers() {
    const auto command = [this](void (TFrmSelectBuddy::*handler)()) {
        return asCommand(this, this, handler);
    };
    connect(Timer1, &QTimer::timeout, this, command(&TFrmSelectBuddy::Timer1Timer));
    connect(ui->tSelect, &QTreeWidget::itemSelectionChanged, this,
            &TFrmSelectBuddy::tSelectSelectItem);
    connect(ui->tSelect, &QTreeWidget::itemDoubleClicked, this,
            command(&TFrmSelectBuddy::bt_selectClick));
    connect(ui->bt_select, &QPushButton::clicked, this, command(&TFrmSelectBuddy::bt_selectClick));
    connect(ui->btClear, &QPushButton::clicked, this, &TFrmSelectBuddy::btClearClick);
    connect(ui->Button2, &QPushButton::clicked, this, &TFrmSelectBuddy::Button2Click);
    connect(ui->Details1, &QAction::triggered, this, command(&TFrmSelectBuddy::Details1Click));
    onHeaderClick(ui->tSelect, [this](int column) { tSelectColumnClick(column); });
}

void TFrmSelectBuddy::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TFrmSelectBuddy::FormShow() {
    ui->lb_titulo->setText(dmIdioma->GetWord(Role == kInstructor ? QStringLiteral("instructor")
                                                                 : QStringLiteral("buddy")));
    Timer1->start();
}

// The row of ContactId, the value the caller passed, is selected.
void TFrmSelectBuddy::Timer1Timer() {
    Timer1->stop();
    const WaitCursor hourglass;
    ui->tSelect->clear();
    QList<QTreeWidgetItem*> rows;
    const QIcon icon = MainIcons::contacts();
    const XmlElement contacts = dmLocalData->XMLContactList.doc.documentElement();
    for (XmlElement entry = contacts.firstChildElement(); !entry.isNull();
         entry = entry.nextSiblingElement()) {
        rows << entryRow(entry, {QStringLiteral("name"), QStringLiteral("user")}, icon);
    }
    ui->tSelect->addTopLevelItems(rows);
    if (QTreeWidgetItem* row = lastRowWithId(ui->tSelect, QString::number(ContactId))) {
        ui->tSelect->setCurrentItem(row);
    }
}

void TFrmSelectBuddy::tSelectSelectItem() {
    const bool selected = selectedRow(ui->tSelect) != nullptr;
    ui->bt_select->setEnabled(selected);
    ui->Details1->setEnabled(selected);
}

// A contact whose id is not a number cannot be chosen: the conversion error is shown and the
// dialog stays open.
void TFrmSelectBuddy::bt_selectClick() {
    if (const QTreeWidgetItem* row = selectedRow(ui->tSelect)) {
        ContactId = LookupTree::tagOf(rowId(row));
        ContactName = row->text(0);
    }
    accept();
}

void TFrmSelectBuddy::btClearClick() {
    ContactId = kCleared;
    accept();
}

void TFrmSelectBuddy::Button2Click() {
    reject();
}

// The contacts may have changed there, so the list loads again afterwards.
void TFrmSelectBuddy::Details1Click() {
    const QTreeWidgetItem* row = selectedRow(ui->tSelect);
    if (!row) {
        return;
    }
    TFrmBuddyList contactList(this, detector_);
    contactList.FocusId = LookupTree::tagOf(rowId(row));
    Dialogs::execModal(&contactList);
    Timer1->start();
}

void TFrmSelectBuddy::tSelectColumnClick(int column) {
    SortColumn = column;
    sortList(ui->tSelect, SortColumn);
}
