#include "ui/lookup/tfrm_buddy_list.h"

#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "cache/tdm_local_data.h"
#include "dictionary/tdm_idioma.h"
#include "net/service_endpoints.h"
#include "net/tinet_detect.h"
#include "store/tdm_rdp.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"
#include "ui/lookup/contact_list.h"
#include "ui/lookup/lookup_request.h"
#include "ui/lookup/lookup_widgets.h"
#include "ui/main/main_icons.h"
#include "ui_tfrm_buddy_list.h"

#include <QShowEvent>
#include <QTimer>

namespace {

constexpr int kListDelay = 100;
constexpr int kNameWidth = 150;
const int kResultWidths[] = {145, 115, 120, 90};

XmlElement cachedContacts() {
    return dmLocalData->XMLContactList.doc.documentElement();
}

// Empty also when the member table is not open: no service account.
QString memberUserName() {
    const Table* member = dm_rdp ? dm_rdp->cds_info : nullptr;
    return member && member->active() ? member->asString(QStringLiteral("inet_user")) : QString();
}

}  // namespace

TFrmBuddyList::TFrmBuddyList(QWidget* owner, const TINetDetect* detector)
    : QDialog(owner), ui(new Ui::TFrmBuddyList), Timer1(new QTimer(this)), detector_(detector) {
    ui->setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setUpControls();
    FormCreate();
    connectHandlers();
}

TFrmBuddyList::~TFrmBuddyList() {
    delete ui;
}

void TFrmBuddyList::setUpControls() {
    Timer1->setInterval(kListDelay);
    Timer1->setSingleShot(true);
    ui->tlist->setColumnWidth(0, kNameWidth);
    keepSelectionVisible(ui->tlist);
    for (int column = 0; column < 4; ++column) {
        ui->tlist_search->setColumnWidth(column, kResultWidths[column]);
    }
    for (QLineEdit* box : {ui->edUser, ui->edNombre, ui->edEmail, ui->edCountry}) {
        paintReadOnly(box);
    }
    ui->bt_valid_user->setIcon(MainIcons::webLink());
}

void TFrmBuddyList::FormCreate() {
    AssingLenguage(this);
    ui->search_and->setCurrentIndex(-1);
    ui->PageControl1->setTabVisible(ui->PageControl1->indexOf(ui->ts_search),
                                    online() && !memberUserName().isEmpty());
    ReloadList = true;
    ui->PageControl1->setCurrentWidget(ui->ts_local);
}

void TFrmBuddyList::connectHandlers() {
    const auto command = [this](void (TFrmBuddyList::*handler)()) {
        return asCommand(this, this, handler);
    };
    connect(Timer1, &QTimer::timeout, this, command(&TFrmBuddyList::Timer1Timer));
    connect(ui->PageControl1, &QTabWidget::currentChanged, this, [this] {
        if (ui->PageControl1->currentWidget() == ui->ts_local) {
            ts_localShow();
        }
    });
    connect(ui->tlist, &QTreeWidget::itemSelectionChanged, this, &TFrmBuddyList::tlistSelectItem);
    connect(ui->btUpdate, &QPushButton::clicked, this, command(&TFrmBuddyList::btUpdateClick));
    connect(ui->bt_Delete, &QPushButton::clicked, this, command(&TFrmBuddyList::bt_DeleteClick));
    connect(ui->bt_valid_user, &QToolButton::clicked, this,
            command(&TFrmBuddyList::bt_valid_userClick));
    connect(ui->bt_search, &QPushButton::clicked, this, command(&TFrmBuddyList::bt_searchClick));
    connect(ui->bt_Add, &QPushButton::clicked, this, command(&TFrmBuddyList::bt_AddClick));
    onHeaderClick(ui->tlist, [this](int column) { tlistColumnClick(column); });
    onHeaderClick(ui->tlist_search, [this](int column) { tlist_searchColumnClick(column); });
    connect(ui->Button2, &QPushButton::clicked, this, &TFrmBuddyList::Button2Click);
}

bool TFrmBuddyList::online() const {
    return detector_ && detector_->Online();
}

bool TFrmBuddyList::searchOffered() const {
    return ui->PageControl1->isTabVisible(ui->PageControl1->indexOf(ui->ts_search));
}

void TFrmBuddyList::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous() && ui->PageControl1->currentWidget() == ui->ts_local) {
        ts_localShow();
    }
}

void TFrmBuddyList::ts_localShow() {
    if (ReloadList) {
        Timer1->start();
    }
}

// The local list ---------------------------------------------------------------------------------

void TFrmBuddyList::Timer1Timer() {
    ReloadList = false;
    Timer1->stop();
    const WaitCursor hourglass;
    ui->tlist->clear();
    QList<QTreeWidgetItem*> rows;
    const QIcon icon = MainIcons::contacts();
    for (XmlElement entry = cachedContacts().firstChildElement(); !entry.isNull();
         entry = entry.nextSiblingElement()) {
        rows << entryRow(entry, {QStringLiteral("name")}, icon);
    }
    ui->tlist->addTopLevelItems(rows);
    if (QTreeWidgetItem* focus = lastRowWithId(ui->tlist, QString::number(FocusId))) {
        ui->tlist->setCurrentItem(focus);
    }
}

void TFrmBuddyList::tlistSelectItem() {
    clearDetails();
    const QTreeWidgetItem* row = selectedRow(ui->tlist);
    const XmlElement contact =
        row ? ContactList::lastWithId(cachedContacts(), rowId(row)) : XmlElement();
    if (!contact.isNull()) {
        showDetails(contact);
    }
}

void TFrmBuddyList::showDetails(const XmlElement& contact) {
    ui->bt_Delete->setEnabled(true);
    ui->bt_valid_user->setVisible(online());
    ui->edNombre->setText(TdmLocalData::childText(contact, QStringLiteral("name")));
    ui->edUser->setText(TdmLocalData::childText(contact, QStringLiteral("user")));
    ui->edEmail->setText(TdmLocalData::childText(contact, QStringLiteral("email")));
    ui->edCountry->setText(TdmLocalData::childText(contact, QStringLiteral("country")));
    ui->btUpdate->setEnabled(searchOffered());
}

void TFrmBuddyList::clearDetails() {
    for (QLineEdit* box : {ui->edNombre, ui->edUser, ui->edEmail, ui->edCountry}) {
        box->clear();
    }
    ui->bt_Delete->setEnabled(false);
    ui->btUpdate->setEnabled(false);
    ui->bt_valid_user->setVisible(false);
}

// A failure is not reported; what was refreshed before it stays.
void TFrmBuddyList::btUpdateClick() {
    QTreeWidgetItem* row = selectedRow(ui->tlist);
    if (!row) {
        return;
    }
    const QString id = rowId(row);
    const WaitCursor hourglass;
    try {
        readServiceAnswer(ServiceEndpoints::contact(id), [&](const XmlElement& answer) {
            for (XmlElement entry = answer.firstChildElement(); !entry.isNull();
                 entry = entry.nextSiblingElement()) {
                showDetails(entry);
                row->setText(0, TdmLocalData::childText(entry, QStringLiteral("name")));
                ContactList::replace(dmLocalData->XMLContactList, id, answer.firstChildElement());
            }
        });
    } catch (const AppError&) {
        // Silent.
    }
}

// Only the local list changes; the service keeps the contact.
void TFrmBuddyList::bt_DeleteClick() {
    const QString question = dmIdioma->GetWord(QStringLiteral("txt_want_delete_contact"));
    if (Dialogs::message(this, {QString(), question, QMessageBox::Question,
                                QMessageBox::Yes | QMessageBox::No}) != QMessageBox::Yes) {
        return;
    }
    QTreeWidgetItem* row = selectedRow(ui->tlist);
    if (row && ContactList::removeFirst(dmLocalData->XMLContactList, rowId(row))) {
        // No other row becomes selected in its place.
        ui->tlist->selectionModel()->clear();
        delete row;
    }
}

void TFrmBuddyList::bt_valid_userClick() {
    const QTreeWidgetItem* row = selectedRow(ui->tlist);
    if (row && online()) {
        dm_const->GetUrl(ServiceEndpoints::memberPage(rowId(row)));
    }
}

void TFrmBuddyList::tlistColumnClick(int column) {
    SortColumn = column;
    sortList(ui->tlist, SortColumn);
}

// Search and add ---------------------------------------------------------------------------------

// The operator is 0 for AND, 1 for OR and -1 while none is chosen. A failed search is not
// reported; the list then shows only what the answer held, never the rows of an earlier
// search.
void TFrmBuddyList::bt_searchClick() {
    const WaitCursor hourglass;
    if (!online()) {
        return;
    }
    ui->tlist_search->clear();
    try {
        readServiceAnswer(
            ServiceEndpoints::searchContacts(ui->search_name->text(), ui->search_user->text(),
                                             ui->search_and->currentIndex(),
                                             ui->search_email->text()),
            [this](const XmlElement& answer) { addResultRows(answer); }, this);
    } catch (const AppError&) {
        // Silent, as the list shows.
    }
}

void TFrmBuddyList::addResultRows(const XmlElement& answer) {
    const QStringList columns{QStringLiteral("name"), QStringLiteral("user"),
                              QStringLiteral("email"), QStringLiteral("country")};
    for (XmlElement entry = answer.firstChildElement(); !entry.isNull();
         entry = entry.nextSiblingElement()) {
        ListRow* row = entryRow(entry, columns);
        row->setCheckState(0, Qt::Unchecked);
        ui->tlist_search->addTopLevelItem(row);
    }
}

void TFrmBuddyList::bt_AddClick() {
    const int added = addTickedEntries(
        ui->tlist_search,
        [](const QTreeWidgetItem* row) { return ServiceEndpoints::contact(rowId(row)); },
        dmLocalData->XMLContactList);
    if (added > 0) {
        ReloadList = true;
    }
    showAddedCount(this, added, QStringLiteral("txt_users_add"));
}

void TFrmBuddyList::tlist_searchColumnClick(int column) {
    SortColumn = column;
    sortList(ui->tlist_search, SortColumn);
}

void TFrmBuddyList::Button2Click() {
    accept();
}
