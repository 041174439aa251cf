#include "reports/page_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

constexpr int kGap = 14;
constexpr double kMinDpi = 20;
constexpr double kMaxDpi = 300;
constexpr int kKeptKilobytes = 32 * 1024;
const QColor kBackground(128, 128, 128);

}  // namespace

PageView::PageView(QWidget* parent) : QAbstractScrollArea(parent) {
    kept_.setMaxCost(kKeptKilobytes);
    viewport()->setAutoFillBackground(false);
    verticalScrollBar()->setSingleStep(40);
}

void PageView::setPages(int count, const QSizeF& paper, const QMarginsF& margins,
                        PagePainter painter) {
    count_ = count;
    paper_ = paper;
    margins_ = margins;
    painter_ = std::move(painter);
    kept_.clear();
    applyFit();
    updateScrollBars();
    viewport()->update();
}

QSize PageView::pageSize() const {
    return QSize(qRound(paper_.width() / 25.4 * dpi_), qRound(paper_.height() / 25.4 * dpi_));
}

int PageView::pageStride() const {
    return pageSize().height() + kGap;
}

int PageView::currentPage() const {
    if (count_ == 0) {
        return 0;
    }
    return qBound(0, (verticalScrollBar()->value() + kGap) / pageStride(), count_ - 1);
}

void PageView::showPage(int page) {
    verticalScrollBar()->setValue(qBound(0, page, qMax(0, count_ - 1)) * pageStride());
}

void PageView::setDpi(double dpi) {
    fit_ = Fit::None;
    const int page = currentPage();
    dpi_ = qBound(kMinDpi, dpi, kMaxDpi);
    kept_.clear();
    updateScrollBars();
    showPage(page);
    viewport()->update();
}

void PageView::setFit(Fit fit) {
    fit_ = fit;
    const int page = currentPage();
    applyFit();
    updateScrollBars();
    showPage(page);
    viewport()->update();
}

void PageView::applyFit() {
    if (fit_ == Fit::None || paper_.isEmpty()) {
        return;
    }
    const QSize room = viewport()->size() - QSize(2 * kGap, 2 * kGap);
    double dpi = room.width() / (paper_.width() / 25.4);
    if (fit_ == Fit::Page) {
        dpi = qMin(dpi, room.height() / (paper_.height() / 25.4));
    }
    dpi = qBound(kMinDpi, dpi, kMaxDpi);
    if (!qFuzzyCompare(dpi, dpi_)) {
        dpi_ = dpi;
        kept_.clear();
    }
}

void PageView::updateScrollBars() {
    const QSize page = pageSize();
    const int height = count_ * pageStride() + kGap;
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, qMax(0, height - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, qMax(0, page.width() + 2 * kGap - viewport()->width()));
}

const QImage& PageView::pageImage(int page) {
    if (QImage* kept = kept_.object(page)) {
        return *kept;
    }
    QImage image(pageSize(), QImage::Format_RGB32);
    // Fonts are sized by the image's resolution, so the page scales as a whole.
    const int dotsPerMeter = qRound(dpi_ / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.translate(margins_.left() / 25.4 * dpi_, margins_.top() / 25.4 * dpi_);
        if (painter_) {
            painter_(painter, page, dpi_);
        }
    }
    const int cost = qMax(1, int(image.sizeInBytes() / 1024));
    if (cost > kept_.maxCost()) {
        // Larger than all the kept pages may be: shown, not kept.
        uncached_ = std::move(image);
        return uncached_;
    }
    kept_.insert(page, new QImage(std::move(image)), cost);
    return *kept_.object(page);
}

void PageView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), kBackground);
    if (count_ == 0) {
        return;
    }
    const QSize page = pageSize();
    const int left =
        qMax(kGap, (viewport()->width() - page.width()) / 2) - horizontalScrollBar()->value();
    const int top = verticalScrollBar()->value();
    const int first = qMax(0, (top - kGap) / pageStride());
    for (int i = first; i < count_; ++i) {
        const int y = kGap + i * pageStride() - top;
        if (y > viewport()->height()) {
            break;
        }
        const QRect place(QPoint(left, y), page);
        if (place.intersects(event->rect())) {
            painter.fillRect(place.translated(3, 3), QColor(0, 0, 0, 90));
            painter.drawImage(place.topLeft(), pageImage(i));
        }
    }
}

void PageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    const int page = currentPage();
    applyFit();
    updateScrollBars();
    if (fit_ != Fit::None) {
        showPage(page);
    }
}

void PageView::scrollContentsBy(int, int) {
    viewport()->update();
    const int current = currentPage();
    if (current != lastCurrent_) {
        lastCurrent_ = current;
        emit currentPageChanged(current);
    }
}
