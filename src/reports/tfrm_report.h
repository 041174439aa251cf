#pragma once

#include "reports/dive_page.h"

#include <QDateTime>
#include <QObject>
#include <functional>
#include <memory>
#include <vector>

class DiveDetailRows;
class QPainter;
class QPrinter;
class QWidget;
class TableData;
struct ValueDomain;

// The dive log as a book of printed pages, one per dive in the table's order (a log without
// dives still gives one page with its header and footer). It reads the log as it stands when
// created, without moving any table, so pages are produced one at a time, in any order, and
// none is kept once painted: the preview paints only what it shows and printing streams the
// pages to the printer.
class TFrmReport : public QObject {
    Q_OBJECT
public:
    // Called with the pages done and the page count; false stops the printing.
    using Progress = std::function<bool(int done, int count)>;

    explicit TFrmReport(QObject* owner = nullptr);
    ~TFrmReport() override;

    // Creation handler: reads the member's name and the log, translates the captions and the
    // value lists, and takes the title ("dive_details") and the time of printing.
    void FormCreate();

    const QString& title() const { return title_; }
    int pageCount() const;
    // QuickRep2StartPage: everything page `page` (0-based) prints.
    DivePage::Texts pageTexts(int page) const;
    // Paints page `page` on a device of `dpi` dots per inch, from the top left of its printable
    // area.
    void paintPage(QPainter& painter, int page, double dpi) const;

    // US Letter, portrait, 10 mm margins, the title as the document's name.
    void setUpPrinter(QPrinter& printer) const;
    // Prints the pages the printer's range asks for (all when none is set), one after the
    // other. False when `progress` stopped it. Throws AppError when the printer cannot start.
    bool print(QPrinter& printer, const Progress& progress = {}) const;

private:
    struct Field;
    void readLog();
    void translate();
    void fillFields(DivePage::Texts& texts, int row) const;
    QString lightText(int row) const;

    QString title_;
    QString memberName_;
    QString appTitle_;
    QDateTime printedAt_;
    DivePage::Resources resources_;
    std::shared_ptr<const TableData> dives_;
    std::unique_ptr<DiveDetailRows> conditions_;
    std::unique_ptr<DiveDetailRows> equipment_;
    std::vector<Field> fields_;
    int certifyBy_ = -1;
    int lightFields_[4] = {-1, -1, -1, -1};
    QString lightWords_[4];
};
