#pragma once

#include <QAbstractScrollArea>
#include <QCache>
#include <QImage>
#include <QMarginsF>
#include <QSizeF>
#include <functional>

// The pages of a document one under the other, scrolled like a long sheet. Only the pages in
// sight are painted, each from its own number when it comes into view; a few painted pages are
// kept for scrolling back, so a document of thousands of pages costs what a handful does.
class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Paints `page` (0-based) from the top left of its printable area on a device of `dpi`.
    using PagePainter = std::function<void(QPainter& painter, int page, double dpi)>;
    enum class Fit { None, Width, Page };

    explicit PageView(QWidget* parent = nullptr);

    // Paper and margins in millimetres.
    void setPages(int count, const QSizeF& paper, const QMarginsF& margins, PagePainter painter);
    int pageCount() const { return count_; }

    // The page at the top of the view (0-based), and moving to the top of a page.
    int currentPage() const;
    void showPage(int page);

    // The page's scale in dots per inch on screen.
    double dpi() const { return dpi_; }
    void setDpi(double dpi);  // stops fitting
    void setFit(Fit fit);
    Fit fit() const { return fit_; }
    // How many painted pages are kept.
    int keptPages() const { return kept_.count(); }

signals:
    void currentPageChanged(int page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    QSize pageSize() const;  // in pixels at the current scale
    int pageStride() const;  // a page and the gap under it
    const QImage& pageImage(int page);
    void applyFit();
    void updateScrollBars();

    int count_ = 0;
    QSizeF paper_;
    QMarginsF margins_;
    PagePainter painter_;
    double dpi_ = 96;
    Fit fit_ = Fit::Width;
    int lastCurrent_ = -1;
    QCache<int, QImage> kept_;
    QImage uncached_;
};
