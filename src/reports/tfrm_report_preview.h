#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmReportPreview;
}
class PageView;
class QPrinter;
class TFrmReport;

// The report's print preview: the pages one under the other, painted as they come into view;
// moving from page to page, zooming, printing and saving as PDF. Printing and saving produce
// the pages one after the other with a progress window that can stop them.
class TFrmReportPreview : public QDialog {
    Q_OBJECT
public:
    TFrmReportPreview(QWidget* owner, const TFrmReport& report);
    ~TFrmReportPreview() override;

    PageView* pages() const;

    // Asks for a printer, then prints the pages it was given.
    void bt_printClick();
    // Asks for a file name, then saves every page there as PDF.
    void bt_pdfClick();
    // Writes every page to `fileName` as PDF. False when the diver stopped it; the part written
    // is then removed. Throws AppError when the file cannot be written.
    bool savePdf(const QString& fileName);
    // Prints into `printer` with the progress window; false when stopped.
    bool printPages(QPrinter& printer);

private:
    void FormCreate();
    void connectHandlers();
    void showCurrentPage(int page);
    void cb_zoomChange(int index);

    std::unique_ptr<Ui::TFrmReportPreview> ui;
    const TFrmReport& report_;
};
