#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmCertificate;
}
class DataSource;
class Table;

// One certificate of the diver, edited in place in the current row of the certificates table,
// which the opener has positioned or put into insert state; OK and Cancel only close with their
// result, posting or cancelling the row is the opener's. A certified certificate (certify_by
// above 0) shows as a read-only sheet, whose button unlocks it for editing after the diver
// confirms.
class TFrmCertificate : public QDialog {
    Q_OBJECT
public:
    TFrmCertificate(QWidget* owner, DataSource* certificates);
    ~TFrmCertificate() override;

    Ui::TFrmCertificate* form() const { return ui.get(); }

    void info_agencyChange();
    void info_dtp_expdateChange();
    void bt_chk_opClick();
    void info_db_siteDblClick();
    // Asks, then turns a certified certificate into one the diver changed, and shows the edit
    // group.
    void bt_unlockClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void bindFields();
    void connectHandlers();
    void showSheet();
    void showEditGroup();
    void fitWindow();
    Table* row() const;

    std::unique_ptr<Ui::TFrmCertificate> ui;
    DataSource* certificates_;
};
