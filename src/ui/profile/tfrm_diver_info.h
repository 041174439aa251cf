#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui {
class TFrm_Diver_info;
}
class QAction;
class QTreeWidgetItem;
class Table;

// The member record and the list of certificates, edited in place in the member and
// certificates tables. OK posts the member record, Cancel (also Escape and the close box)
// discards its pending changes; each certificate change is posted or cancelled as its editor
// closes. The register button runs the main window's member registration command.
class TFrm_Diver_info : public QDialog {
    Q_OBJECT
public:
    // `registerMember`: the command the register button runs (may be null).
    TFrm_Diver_info(QWidget* owner, QAction* registerMember);
    ~TFrm_Diver_info() override;

    Ui::TFrm_Diver_info* form() const { return ui.get(); }

    void info_countryChange();
    // `item` is selected or deselected (null: nothing is selected any more).
    void lv_certSelectItem(QTreeWidgetItem* item, bool selected);
    void lv_certDblClick();
    void bt_editClick();
    void Button1Click();
    void bt_deleteClick();
    void bt_okClick();
    void bt_cancelClick();
    void dbe_userChange();
    void bt_registroClick2();
    void TabSheet1Show();
    // Escape and the close box: as Cancel, so no edit is left pending behind the window.
    void reject() override;

private:
    void FormCreate();
    void connectHandlers();
    void bindFields();
    void LoadCertificateList();
    void fitColumns();
    // Shows the certificate editor modally on the current certificate row.
    int showCertificateEditor();
    Table* member() const;
    Table* certificates() const;

    std::unique_ptr<Ui::TFrm_Diver_info> ui;
    QPointer<QAction> registerMember_;
};
