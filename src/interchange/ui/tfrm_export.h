#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QSet>
#include <memory>

namespace Ui {
class TFrmExport;
}
class DataSource;
class DbGridModel;

// The export window: the format (UDDF for other dive logs, CSV for spreadsheets) and the dives
// (the whole log, or those selected in its list, the current dive selected to begin with).
// Export asks for the file, writes it with a progress bar (Cancel stops and writes nothing),
// says how many dives went out and closes.
class TFrmExport : public QDialog {
    Q_OBJECT
public:
    // `currentDive`: the id_local_dive of the dive the main window shows (0 for none).
    TFrmExport(QWidget* owner, int currentDive);
    ~TFrmExport() override;

    Ui::TFrmExport* form() const { return ui.get(); }
    // The id_local_dive of the dives chosen; empty for the whole log.
    QSet<int> chosenDives() const;
    // Writes the chosen dives to `path` in the chosen format; false when stopped or failed
    // (the failure shown).
    bool exportTo(const QString& path);
    int written() const { return written_; }

    void bt_exportClick();
    void bt_closeClick();
    void reject() override;

private:
    void FormCreate(int currentDive);

    std::unique_ptr<Ui::TFrmExport> ui;
    DataSource* dives_;
    DbGridModel* model_;
    int written_ = 0;
    bool working_ = false;
    bool stopAsked_ = false;
    QElapsedTimer sinceEvents_;
};
