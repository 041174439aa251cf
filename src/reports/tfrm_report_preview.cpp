#include "reports/tfrm_report_preview.h"

#include "app/settings/app_error.h"
#include "dictionary/tdm_idioma.h"
#include "reports/page_view.h"
#include "reports/tfrm_report.h"
#include "ui/forms/assing_lenguage.h"
#include "ui/forms/dialogs.h"
#include "ui/main/guarded_command.h"
#include "ui_tfrm_report_preview.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QStandardPaths>

namespace {

// Zoom choices after the two fits, in percent of the paper's size on screen.
constexpr int kZoomPercents[] = {50, 75, 100, 150, 200};
constexpr int kFirstZoomPercent = 2;
constexpr int kProgressDelayMs = 400;

QString word(const QString& key) {
    return dmIdioma ? dmIdioma->GetWord(key) : key;
}

// A triangle pointing left or right, with a bar at its tip for the first and last page.
QIcon navigationIcon(bool forward, bool toEnd) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (!forward) {
        p.translate(16, 0);
        p.scale(-1, 1);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 60));
    const qreal tip = toEnd ? 11 : 12;
    p.drawPolygon(QPolygonF({{toEnd ? 3.0 : 4.0, 3}, {tip, 8}, {toEnd ? 3.0 : 4.0, 13}}));
    if (toEnd) {
        p.drawRect(QRectF(11.5, 3, 2, 10));
    }
    return QIcon(pixmap);
}

// The progress of a run of pages; the diver may stop it.
class PageProgress {
public:
    explicit PageProgress(QWidget* owner)
        : dialog_(word(QStringLiteral("printing")), word(QStringLiteral("cancel")), 0, 1, owner) {
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(kProgressDelayMs);
        dialog_.setAutoReset(false);
        dialog_.setWindowTitle(owner->windowTitle());
    }
    TFrmReport::Progress callback() {
        return [this](int done, int count) {
            dialog_.setMaximum(count);
            dialog_.setValue(done);
            dialog_.setLabelText(QStringLiteral("%1 %2 / %3")
                                     .arg(word(QStringLiteral("printing")))
                                     .arg(done)
                                     .arg(count));
            return !dialog_.wasCanceled();
        };
    }

private:
    QProgressDialog dialog_;
};

}  // namespace

TFrmReportPreview::TFrmReportPreview(QWidget* owner, const TFrmReport& report)
    : QDialog(owner), ui(std::make_unique<Ui::TFrmReportPreview>()), report_(report) {
    ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    ui->bt_first->setIcon(navigationIcon(false, true));
    ui->bt_prior->setIcon(navigationIcon(false, false));
    ui->bt_next->setIcon(navigationIcon(true, false));
    ui->bt_last->setIcon(navigationIcon(true, true));
    const int count = report.pageCount();
    ui->ed_page->setRange(1, count);
    ui->lb_page_count->setText(QStringLiteral("/ %1").arg(count));
    ui->pages->setPages(
        count, {DivePage::kPaperWidth, DivePage::kPaperHeight},
        QMarginsF(DivePage::kMargin, DivePage::kMargin, DivePage::kMargin, DivePage::kMargin),
        [&report](QPainter& painter, int page, double dpi) {
            report.paintPage(painter, page, dpi);
        });
    connectHandlers();
    FormCreate();
}

TFrmReportPreview::~TFrmReportPreview() = default;

PageView* TFrmReportPreview::pages() const {
    return ui->pages;
}

void TFrmReportPreview::FormCreate() {
    AssingLenguage(this);
    setWindowTitle(report_.title());
    ui->bt_first->setToolTip(word(QStringLiteral("first_page")));
    ui->bt_prior->setToolTip(word(QStringLiteral("prior_page")));
    ui->bt_next->setToolTip(word(QStringLiteral("next_page")));
    ui->bt_last->setToolTip(word(QStringLiteral("last_page")));
    // A page as wide as it can be and as tall as the screen allows.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        resize(qMin(width(), room.width() * 9 / 10), qMin(height(), room.height() * 9 / 10));
    }
}

void TFrmReportPreview::connectHandlers() {
    PageView* view = ui->pages;
    connect(ui->bt_first, &QToolButton::clicked, this, [view] { view->showPage(0); });
    connect(ui->bt_prior, &QToolButton::clicked, this,
            [view] { view->showPage(view->currentPage() - 1); });
    connect(ui->bt_next, &QToolButton::clicked, this,
            [view] { view->showPage(view->currentPage() + 1); });
    connect(ui->bt_last, &QToolButton::clicked, this,
            [view] { view->showPage(view->pageCount() - 1); });
    connect(ui->ed_page, &QSpinBox::valueChanged, this, [view](int page) {
        if (view->currentPage() != page - 1) {
            view->showPage(page - 1);
        }
    });
    connect(view, &PageView::currentPageChanged, this, &TFrmReportPreview::showCurrentPage);
    connect(ui->cb_zoom, &QComboBox::activated, this, &TFrmReportPreview::cb_zoomChange);
    connect(ui->bt_print, &QPushButton::clicked, this,
            [this] { runCommand(this, [this] { bt_printClick(); }); });
    connect(ui->bt_pdf, &QPushButton::clicked, this,
            [this] { runCommand(this, [this] { bt_pdfClick(); }); });
    connect(ui->bt_close, &QPushButton::clicked, this, &QDialog::accept);
}

void TFrmReportPreview::showCurrentPage(int page) {
    const QSignalBlocker blocker(ui->ed_page);
    ui->ed_page->setValue(page + 1);
}

void TFrmReportPreview::cb_zoomChange(int index) {
    if (index == 0 || index == 1) {
        ui->pages->setFit(index == 0 ? PageView::Fit::Width : PageView::Fit::Page);
        return;
    }
    const int percent = kZoomPercents[index - kFirstZoomPercent];
    ui->pages->setDpi(logicalDpiY() * percent / 100.0);
}

void TFrmReportPreview::bt_printClick() {
    QPrinter printer(QPrinter::HighResolution);
    report_.setUpPrinter(printer);
    QPrintDialog dialog(&printer, this);
    dialog.setMinMax(1, report_.pageCount());
    if (Dialogs::execModal(&dialog) == QDialog::Accepted) {
        printPages(printer);
    }
}

void TFrmReportPreview::bt_pdfClick() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QFileDialog dialog(this, word(QStringLiteral("save_as_pdf")),
                       QDir(folder).filePath(report_.title() + QStringLiteral(".pdf")),
                       QStringLiteral("PDF (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    if (Dialogs::execModal(&dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        savePdf(dialog.selectedFiles().constFirst());
    }
}

bool TFrmReportPreview::savePdf(const QString& fileName) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    const bool done = printPages(printer);
    if (!done) {
        QFile::remove(fileName);
    }
    return done;
}

bool TFrmReportPreview::printPages(QPrinter& printer) {
    PageProgress progress(this);
    return report_.print(printer, progress.callback());
}
