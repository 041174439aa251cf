#pragma once

#include <QDialog>

namespace Ui {
class TFrmBuddyList;
}
class XmlElement;
class QTimer;
class TINetDetect;

// The contact list: the cached contacts with their details, refreshed one at a time from the
// service, removed from the local list, and the contact's page on the web site; while online
// and with a service account, a search of the service's members whose ticked results are
// added to the list. It changes only the cached contact list.
class TFrmBuddyList : public QDialog {
    Q_OBJECT
public:
    // `detector` tells whether the service may be asked.
    TFrmBuddyList(QWidget* owner, const TINetDetect* detector);
    ~TFrmBuddyList() override;

    // The contact whose row is selected when the list loads; set before showing.
    int FocusId = 0;

    Ui::TFrmBuddyList* const ui;
    QTimer* const Timer1;  // one-shot deferral of the list load
    // Whether the list loads again the next time the local page shows.
    bool reloadList() const { return ReloadList; }

    void ts_localShow();
    void Timer1Timer();
    void tlistSelectItem();
    void btUpdateClick();
    void bt_DeleteClick();
    void bt_valid_userClick();
    void bt_searchClick();
    void bt_AddClick();
    void tlistColumnClick(int column);
    void tlist_searchColumnClick(int column);
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void setUpControls();
    void connectHandlers();
    bool online() const;
    bool searchOffered() const;
    void showDetails(const XmlElement& contact);
    void clearDetails();
    void addResultRows(const XmlElement& answer);

    const TINetDetect* detector_;
    bool ReloadList = true;
    int SortColumn = 0;
};
