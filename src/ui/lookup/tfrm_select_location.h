#pragma once

#include <QDialog>
#include <QString>
#include <memory>

namespace Ui {
class TFrmSelectLocation;
}
class DataSource;
class XmlElement;
class LookupTreeModel;
class QTimer;
class TINetDetect;

// Where a dive took place: a location and below it a site, chosen from the tree of cached
// locations (grouped by country, state and county, or by region), found in the service's
// location directory and added to the cache (only while online), or typed as a new site with
// the dive's country and state. The caller sets the four ids and names, shows the dialog
// modally and reads them back; the new-site page edits the dive's country and state directly.
class TFrmSelectLocation : public QDialog {
    Q_OBJECT
public:
    // `detector` tells whether the search page is offered and a search may go out; `dives` is
    // the data source of the current dive.
    TFrmSelectLocation(QWidget* owner, const TINetDetect* detector, DataSource* dives);
    ~TFrmSelectLocation() override;

    // In: the dive's "id_Location", "id_site", "Location" and "Site". Out: the chosen location
    // and site; both ids 0 after Cancel and for a new site (then NewLocation is true).
    int IdLocation = 0;
    int IdSite = 0;
    QString LocationName;
    QString SiteName;
    bool NewLocation = false;

    Ui::TFrmSelectLocation* const ui;
    QTimer* const Timer1;  // one-shot deferral of the tree build
    // Whether the tree is built again the next time the local page shows.
    bool reloadTree() const { return ReloadTree; }
    const LookupTreeModel* treeModel() const { return model_; }

    void FormShow();
    void ts_localShow();
    void ts_searchShow();
    void ts_newShow();
    void Timer1Timer();
    // Selection feedback: Select, the site label and edit follow the selected node's kind.
    void tlistGetSelectedIndex();
    void bt_selectClick();
    void Button2Click();
    void ck_sites_viewClick();
    void bt_searchClick();
    void bt_AddClick();
    void tlist_searchColumnClick(int column);
    void info_countryChange();
    void ed_locationKeyPress();

protected:
    void showEvent(QShowEvent* event) override;
    // Escape acts as Cancel.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void setUpControls(DataSource* dives);
    void connectHandlers();
    void loadCountries();
    void showPage(QWidget* page);
    void PageControl1Change();
    int selectedNode() const;
    void chooseTreeNode(int node);
    void addResultRows(const XmlElement& answer);
    bool online() const;

    const TINetDetect* detector_;
    LookupTreeModel* model_;
    bool ReloadTree = true;
    int SortColumn = 0;
};
