#include "ui/lookup/tfrm_select_location.h"

#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "cache/tdm_local_data.h"
#include "dictionary/tdm_idioma.h"
#include "net/service_endpoints.h"
#include "net/tinet_detect.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"
#include "ui/lookup/location_tree.h"
#include "ui/lookup/lookup_request.h"
#include "ui/lookup/lookup_tree_model.h"
#include "ui/lookup/lookup_widgets.h"
#include "ui/main/main_icons.h"
#include "ui_tfrm_select_location.h"

#include <QKeyEvent>
#include <QTimer>

namespace {

constexpr int kIconSize = 32;
constexpr int kTreeDelay = 100;
const int kResultWidths[] = {170, 115, 115};

XmlElement cachedLocations() {
    return dmLocalData->XMLLocations.doc.documentElement();
}

XmlElement cachedCountries() {
    return dmLocalData->XMLLocalData.doc.documentElement().firstChildElement(
        QStringLiteral("countries"));
}

}  // namespace

TFrmSelectLocation::TFrmSelectLocation(QWidget* owner, const TINetDetect* detector,
                                       DataSource* dives)
    : QDialog(owner),
      ui(new Ui::TFrmSelectLocation),
      Timer1(new QTimer(this)),
      detector_(detector),
      model_(new LookupTreeModel(this)) {
    ui->setupUi(this);
    setUpControls(dives);
    FormCreate();
    connectHandlers();
}

TFrmSelectLocation::~TFrmSelectLocation() {
    delete ui;
}

void TFrmSelectLocation::setUpControls(DataSource* dives) {
    Timer1->setInterval(kTreeDelay);
    Timer1->setSingleShot(true);
    ui->tlist->setModel(model_);
    keepSelectionVisible(ui->tlist);
    for (int column = 0; column < 3; ++column) {
        ui->tlist_search->setColumnWidth(column, kResultWidths[column]);
    }
    ui->info_country->bind(dives, QStringLiteral("pais"));
    ui->info_state->bind(dives, QStringLiteral("estado"));
}

void TFrmSelectLocation::FormCreate() {
    AssingLenguage(this);
    ui->ck_sites_view->setChecked(dm_const->ViewRegionSites);
    ui->Image1->setPixmap(MainIcons::synchronize().pixmap(kIconSize, kIconSize));
    ui->PageControl1->setTabVisible(ui->PageControl1->indexOf(ui->ts_search), online());
    ReloadTree = true;
    loadCountries();
    info_countryChange();
}

// Every handler that can fail runs as a command: a failure reaches the standard error box.
void TFrmSelectLocation::connectHandlers() {
    const auto command = [this](void (TFrmSelectLocation::*handler)()) {
        return asCommand(this, this, handler);
    };
    connect(Timer1, &QTimer::timeout, this, command(&TFrmSelectLocation::Timer1Timer));
    connect(ui->PageControl1, &QTabWidget::currentChanged, this,
            command(&TFrmSelectLocation::PageControl1Change));
    connect(ui->tlist->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TFrmSelectLocation::tlistGetSelectedIndex);
    connect(ui->tlist, &QTreeView::doubleClicked, this,
            command(&TFrmSelectLocation::bt_selectClick));
    connect(ui->bt_select, &QPushButton::clicked, this,
            command(&TFrmSelectLocation::bt_selectClick));
    connect(ui->Button2, &QPushButton::clicked, this, &TFrmSelectLocation::Button2Click);
    connect(ui->ck_sites_view, &QCheckBox::clicked, this, &TFrmSelectLocation::ck_sites_viewClick);
    connect(ui->bt_search, &QPushButton::clicked, this,
            command(&TFrmSelectLocation::bt_searchClick));
    connect(ui->bt_Add, &QPushButton::clicked, this, command(&TFrmSelectLocation::bt_AddClick));
    onHeaderClick(ui->tlist_search, [this](int column) { tlist_searchColumnClick(column); });
    connect(ui->info_country, &QComboBox::editTextChanged, this,
            &TFrmSelectLocation::info_countryChange);
    for (QLineEdit* edit : {ui->ed_location, ui->ed_site}) {
        connect(edit, &QLineEdit::textEdited, this, &TFrmSelectLocation::ed_locationKeyPress);
    }
}

void TFrmSelectLocation::loadCountries() {
    QStringList names;
    for (XmlElement country = cachedCountries().firstChildElement(); !country.isNull();
         country = country.nextSiblingElement()) {
        names << TdmLocalData::childText(country, QStringLiteral("name"));
    }
    ui->info_country->addItems(names);
    ui->search_country->addItems(names);
    ui->search_country->setCurrentIndex(-1);
}

bool TFrmSelectLocation::online() const {
    return detector_ && detector_->Online();
}

// Showing and pages ------------------------------------------------------------------------

void TFrmSelectLocation::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        runCommand(this, [this] { FormShow(); });
    }
}

void TFrmSelectLocation::FormShow() {
    if (IdLocation != 0) {
        ui->ed_site1->setText(SiteName);
        showPage(ui->ts_local);
    } else {
        ui->ed_location->setText(LocationName);
        ui->ed_site->setText(SiteName);
        showPage(ui->ts_new);
    }
}

// A page that is already current shows again.
void TFrmSelectLocation::showPage(QWidget* page) {
    if (ui->PageControl1->currentWidget() == page) {
        PageControl1Change();
    } else {
        ui->PageControl1->setCurrentWidget(page);
    }
}

void TFrmSelectLocation::PageControl1Change() {
    QWidget* page = ui->PageControl1->currentWidget();
    if (page == ui->ts_local) {
        ts_localShow();
    } else if (page == ui->ts_search) {
        ts_searchShow();
    } else if (page == ui->ts_new) {
        ts_newShow();
    }
}

void TFrmSelectLocation::ts_localShow() {
    ui->bt_select->setDefault(true);
    if (ReloadTree) {
        Timer1->start();
    }
}

void TFrmSelectLocation::ts_searchShow() {
    ui->bt_select->setEnabled(false);
    ui->bt_search->setDefault(true);
}

void TFrmSelectLocation::ts_newShow() {
    ui->tlist->selectionModel()->clearSelection();
    ui->bt_select->setDefault(true);
    ui->bt_select->setEnabled(!ui->ed_location->text().isEmpty() || !ui->ed_site->text().isEmpty());
}

void TFrmSelectLocation::ed_locationKeyPress() {
    ui->bt_select->setEnabled(true);
}

// The tree -------------------------------------------------------------------------------------

void TFrmSelectLocation::Timer1Timer() {
    ReloadTree = false;
    Timer1->stop();
    const WaitCursor hourglass;
    const bool byRegion = dm_const->ViewRegionSites;
    model_->rebuild(
        [byRegion](LookupTree& tree) { LocationTree::build(cachedLocations(), byRegion, tree); });
    // The selection feedback enables Select again for a selected location or site.
    ui->bt_select->setEnabled(false);
    const int node = LocationTree::preselection(model_->tree(), IdLocation, IdSite);
    if (node >= 0) {
        ui->tlist->setCurrentIndex(model_->indexOf(node));
        ui->tlist->scrollTo(model_->indexOf(node));
    }
}

int TFrmSelectLocation::selectedNode() const {
    const QModelIndexList selected = ui->tlist->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : LookupTreeModel::nodeOf(selected.first());
}

void TFrmSelectLocation::tlistGetSelectedIndex() {
    const int node = selectedNode();
    if (node < 0) {
        return;
    }
    const LookupTree::Kind kind = model_->tree().kind(node);
    if (kind == LookupTree::Kind::Grouping) {
        ui->bt_select->setEnabled(false);
        return;
    }
    ui->bt_select->setEnabled(true);
    // A location without a site takes a typed site name the service does not list.
    const bool typedSite = kind == LookupTree::Kind::Entry;
    ui->ed_site1->setEnabled(typedSite);
    ui->lb_site1->setEnabled(typedSite);
    if (!typedSite) {
        ui->ed_site1->setText(model_->tree().node(node).text);
    }
}

void TFrmSelectLocation::ck_sites_viewClick() {
    dm_const->ViewRegionSites = ui->ck_sites_view->isChecked();
    Timer1->start();
}

// Select and Cancel ----------------------------------------------------------------------------

void TFrmSelectLocation::bt_selectClick() {
    dm_const->ViewRegionSites = ui->ck_sites_view->isChecked();
    const int node = selectedNode();
    if (node >= 0) {
        chooseTreeNode(node);
    } else if (ui->PageControl1->currentWidget() == ui->ts_new) {
        IdLocation = 0;
        LocationName = ui->ed_location->text();
        IdSite = 0;
        SiteName = ui->ed_site->text();
        NewLocation = true;
        accept();
    }
}

// A grouping node leaves the ids as they are; the dialog closes whenever a location id is set.
void TFrmSelectLocation::chooseTreeNode(int node) {
    const LookupTree& tree = model_->tree();
    switch (tree.kind(node)) {
        case LookupTree::Kind::Child:
            IdLocation = tree.parentTag(node);
            IdSite = tree.node(node).tag;
            SiteName = tree.node(node).text;
            break;
        case LookupTree::Kind::Entry:
            IdLocation = tree.node(node).tag;
            IdSite = 0;
            SiteName = ui->ed_site1->text();
            break;
        case LookupTree::Kind::Grouping:
            break;
    }
    if (IdLocation != 0) {
        LocationName = LocationTree::locationName(cachedLocations(), IdLocation,
                                                  dm_const->ViewRegionSites, LocationName);
        accept();
    }
}

void TFrmSelectLocation::Button2Click() {
    IdLocation = 0;
    IdSite = 0;
    reject();
}

void TFrmSelectLocation::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        ui->Button2->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

// Search and add ---------------------------------------------------------------------------------

// A failed search is not reported; the list then shows only what the answer held before the
// failure, never the rows of an earlier search.
void TFrmSelectLocation::bt_searchClick() {
    const QString name = ui->search_name->text();
    const QString country = ui->search_country->currentText();
    if (name.isEmpty() && country.isEmpty()) {
        return;
    }
    const WaitCursor hourglass;
    if (!online()) {
        return;
    }
    ui->tlist_search->clear();
    try {
        readServiceAnswer(
            ServiceEndpoints::searchLocations(name, country),
            [this](const XmlElement& answer) { addResultRows(answer); }, this);
    } catch (const AppError&) {
        // Silent, as the list shows.
    }
}

// Each row's id is the entry's integer "id"; an entry without one ends the list there.
void TFrmSelectLocation::addResultRows(const XmlElement& answer) {
    const QStringList columns{QStringLiteral("smallname"), QStringLiteral("country"),
                              QStringLiteral("state")};
    for (XmlElement entry = answer.firstChildElement(); !entry.isNull();
         entry = entry.nextSiblingElement()) {
        LookupTree::tagOf(TdmLocalData::childText(entry, QStringLiteral("id")));
        ListRow* row = entryRow(entry, columns);
        row->setCheckState(0, Qt::Unchecked);
        ui->tlist_search->addTopLevelItem(row);
    }
}

void TFrmSelectLocation::bt_AddClick() {
    const int added = addTickedEntries(
        ui->tlist_search,
        [](const QTreeWidgetItem* row) {
            return ServiceEndpoints::location(LookupTree::tagOf(rowId(row)));
        },
        dmLocalData->XMLLocations);
    if (added > 0) {
        ReloadTree = true;
    }
    showAddedCount(this, added, QStringLiteral("txt_locations_add"));
}

void TFrmSelectLocation::tlist_searchColumnClick(int column) {
    SortColumn = column;
    sortList(ui->tlist_search, SortColumn);
}

// The new-site page ----------------------------------------------------------------------------

void TFrmSelectLocation::info_countryChange() {
    const WaitCursor hourglass;
    const QString country = ui->info_country->currentText();
    QStringList states;
    for (XmlElement entry = cachedCountries().firstChildElement(); !entry.isNull();
         entry = entry.nextSiblingElement()) {
        if (TdmLocalData::childText(entry, QStringLiteral("name")) != country) {
            continue;
        }
        const XmlElement stateList = entry.firstChildElement(QStringLiteral("states"));
        for (XmlElement state = stateList.firstChildElement(); !state.isNull();
             state = state.nextSiblingElement()) {
            states << TdmLocalData::childText(state, QStringLiteral("name"));
        }
    }
    ui->info_state->clear();
    ui->info_state->addItems(states);
}
