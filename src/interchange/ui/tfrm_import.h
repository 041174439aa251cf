#pragma once

#include "interchange/log_import.h"

#include <QDialog>
#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class TFrmImport;
}
class ImportPreviewModel;

// The import window (System > Import): the file chosen is read with a progress bar and shown
// dive by dive, each marked new or already in the log; the diver chooses whether dives already
// in the log are left as they are or completed, and imports. The outcome stays in the window.
// Close stops a reading or an import in progress (an import stops between dives) and otherwise
// closes the window.
class TFrmImport : public QDialog {
    Q_OBJECT
public:
    explicit TFrmImport(QWidget* owner);
    ~TFrmImport() override;

    Ui::TFrmImport* form() const { return ui.get(); }

    // Told right before the tables change and right after, with the first new dive (0 when
    // none was added); the main window detaches and attaches its list through them.
    std::function<void()> beforeChange;
    std::function<void(Table::Bookmark firstAdded)> afterChange;

    // Reads `path` and shows what it holds; a file that cannot be read is refused with its
    // fault (also in an error box), and a stopped reading shows nothing. False then.
    bool readFile(const QString& path);
    // The file read and not yet imported.
    const LogImport* pending() const { return summary_ ? nullptr : import_.get(); }
    const std::optional<ImportSummary>& summary() const { return summary_; }

    void bt_fileClick();
    void bt_importClick();
    void bt_closeClick();
    void reject() override;

private:
    void FormCreate();
    void setWorking(bool working);
    // Keeps the window alive during long work; false once the diver asked to stop.
    bool keepGoing(double done);

    std::unique_ptr<Ui::TFrmImport> ui;
    ImportPreviewModel* model_;
    std::unique_ptr<LogImport> import_;  // the file read; shown also after its import
    std::optional<ImportSummary> summary_;
    bool working_ = false;
    bool stopAsked_ = false;
    QElapsedTimer sinceEvents_;
};
