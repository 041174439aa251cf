// Measures the printed log and the statistics on generated logs:
//   - the report written to PDF for 1,000 and 5,000 dives: wall time, peak memory while the
//     pages are produced (above what the loaded log takes), bytes per page;
//   - the same 5,000 pages through QPrintPreviewWidget, which records every page before it
//     shows one (what the preview would cost if it kept all pages), once;
//   - our preview over 5,000 pages: opening it and stepping through 500 of them, peak memory;
//   - the statistics over 50,000 dives: the pass alone, and the window with both pages
//     computed and filled in.
// Every figure comes from a fresh process (so its peak memory is its own); each is run five
// times and printed as min / median, as wall time and as the process's processor time (on a
// shared machine the wall time also counts other processes' turns). Peak memory is what the
// process's resident size rose to above the loaded log.
//
//   bench_reports                 every measurement, as a table
//   bench_reports pdf N           one measurement in this process: one line of figures
//   bench_reports qtpreview N
//   bench_reports preview N
//   bench_reports pass N
//   bench_reports stats N
#include "bench_tables.h"
#include "reports/dive_statistics.h"
#include "reports/page_view.h"
#include "reports/tfrm_report.h"
#include "reports/tfrm_report_preview.h"
#include "reports/tfrm_stats.h"
#include "store/tdm_rdp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kRuns = 5;
const char* const kLocations[] = {"Cozumel", "Blue Hole, Dahab", "Great Barrier Reef",
                                  "Lake Malawi", "Scapa Flow"};
const char* const kCountries[] = {"Mexico", "Egypt", "Australia", "Malawi", "Scotland"};
const char* const kNames[] = {"Ana Martinez", "Tom Baker", "Keiko Tanaka", "Jonas Berg"};

// Kilobytes of a line of /proc/self/status ("VmRSS", "VmHWM").
long statusKb(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(int(qstrlen(key)) + 1).trimmed().split(' ').first().toLong();
        }
    }
    return 0;
}

// Starts a new peak: the process's peak resident size becomes its current one.
void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

void set(Table& table, const QList<QPair<const char*, QVariant>>& values) {
    for (const auto& [field, value] : values) {
        table.setValue(QString::fromLatin1(field), value);
    }
}

void addDive(Tdm_rdp& tables, int i) {
    Table& dives = *tables.cds_dives;
    dives.append();
    set(dives, {{"Date", QDate(1990, 1, 1).addDays(i / 2)},
                {"Time_Start", QTime(9 + (i % 2) * 5, (i * 7) % 60)},
                {"Location", kLocations[i % 5]},
                {"pais", kCountries[i % 5]},
                {"Site", QStringLiteral("Site %1").arg(i % 40)},
                {"Dive_Media", 1 + i % 3},
                {"Dive_Type", 1 + i % 6},
                {"Activity", 1 + i % 12},
                {"Site_type", 1 + i % 9},
                {"Access_Type", 1 + i % 3},
                {"dive_rating", 1 + i % 5},
                {"dive_day", 1},
                {"operator", "Blue Dive Center"},
                {"buddy", kNames[i % 4]},
                {"instructor", kNames[(i + 1) % 4]},
                {"team1", kNames[(i + 2) % 4]},
                {"certify_by", i % 4 == 0 ? 1 : 0}});
    dives.post();
    Table& conditions = *tables.cds_conditions;
    conditions.append();
    set(conditions, {{"dive_si", "01:30"},
                     {"depth", 8.5 + i % 10},
                     {"max_depth", 12.0 + i % 25},
                     {"depth_unit", 1 + i % 2},
                     {"bottom_time", QStringLiteral("00:%1").arg(30 + i % 29)},
                     {"cond_visibility", 10.0 + i % 20},
                     {"cond_visibility_unit", 1},
                     {"cond_tiempo_in", 1 + i % 7},
                     {"cond_Current", 1 + i % 5},
                     {"cond_temp_surf", 24.5},
                     {"cond_temp_bottom", 18.0 + i % 10},
                     {"cond_temp_unit", 1},
                     {"observations", i % 3 == 0 ? "Turtle at the wall.\nGood visibility."
                                                 : "Easy drift along the reef."}});
    conditions.post();
    Table& equipment = *tables.cds_equipment;
    equipment.append();
    set(equipment, {{"pres_in", 200.0},
                    {"pres_out", 50.0 + i % 30},
                    {"pres_unit", 1},
                    {"lead_weight", 6.0},
                    {"lead_unit", 1},
                    {"Dc_Vendor", "Suunto"},
                    {"Dc_Model", "D5"}});
    equipment.post();
}

// A log of `count` dives in a fresh data folder.
struct Log : BenchTables {
    explicit Log(int count) {
        tables->setBusy(true);  // no saves while the log is built
        for (int i = 0; i < count; ++i) {
            addDive(*tables, i);
        }
        tables->setBusy(false);
        tables->saveAll();  // no save left to run while a measurement goes
        tables->cds_dives->first();
    }
};

double milliseconds(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e6;
}

// The processor time of the whole process so far; on a shared machine the wall time also
// counts the other processes' turns.
double processorMilliseconds() {
    timespec used;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return double(used.tv_sec) * 1e3 + double(used.tv_nsec) / 1e6;
}

// One measurement; prints "wall-ms processor-ms peak-kB extra" on one line.
int measure(const QString& what, int count) {
    Log log(count);
    const QString pdf = log.folder.filePath(QStringLiteral("report.pdf"));
    const long before = statusKb("VmRSS:");
    resetPeak();
    const double processorBefore = processorMilliseconds();
    QElapsedTimer clock;
    clock.start();
    double extra = 0;
    if (what == QLatin1String("pdf")) {
        TFrmReport report;
        report.FormCreate();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        report.print(printer);
        extra = double(QFile(pdf).size()) / report.pageCount();
    } else if (what == QLatin1String("qtpreview")) {
        TFrmReport report;
        report.FormCreate();
        QPrinter printer(QPrinter::HighResolution);
        QPrintPreviewWidget widget(&printer);
        QObject::connect(&widget, &QPrintPreviewWidget::paintRequested,
                         [&report](QPrinter* target) { report.print(*target); });
        widget.updatePreview();
        extra = widget.pageCount();
    } else if (what == QLatin1String("preview")) {
        TFrmReport report;
        report.FormCreate();
        TFrmReportPreview preview(nullptr, report);
        preview.resize(800, 900);
        preview.show();
        PageView* pages = preview.pages();
        for (int page = 0; page < 500; ++page) {
            pages->showPage(page * (pages->pageCount() / 500));
            pages->viewport()->grab();
        }
        extra = pages->keptPages();
    } else if (what == QLatin1String("pass")) {
        extra = computeDiveStatistics(*dm_rdp->cds_dives, *dm_rdp->cds_conditions).dives;
    } else {
        TFrmStats stats;
        stats.FormShow();
        extra = stats.statistics().dives;
    }
    const double ms = milliseconds(clock);
    const double processor = processorMilliseconds() - processorBefore;
    std::printf("%.1f %.1f %ld %.0f\n", ms, processor, qMax(0L, statusKb("VmHWM:") - before),
                extra);
    return 0;
}

struct Figures {
    QList<double> ms;
    QList<double> processorMs;
    QList<double> peakMb;
    double extra = 0;
};

Figures runChildren(const QString& what, int count, int runs) {
    Figures figures;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {what, QString::number(count)});
        child.waitForFinished(-1);
        const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
        if (parts.size() < 4) {
            std::fprintf(stderr, "%s %d failed\n", qPrintable(what), count);
            continue;
        }
        figures.ms << parts[0].toDouble();
        figures.processorMs << parts[1].toDouble();
        figures.peakMb << parts[2].toDouble() / 1024;
        figures.extra = parts[3].toDouble();
    }
    return figures;
}

QString minMedian(QList<double> values, const char* format) {
    if (values.isEmpty()) {
        return QStringLiteral("-");
    }
    std::sort(values.begin(), values.end());
    return QString::asprintf(format, values.first()) + QStringLiteral(" / ") +
           QString::asprintf(format, values[values.size() / 2]);
}

void printTable() {
    std::printf("%-34s %6s %4s %18s %18s %16s\n", "measurement (min / median)", "N", "runs",
                "wall ms", "processor ms", "peak MB");
    const struct {
        const char* what;
        int count;
        int runs;
        const char* label;
        const char* extra;
    } rows[] = {
        {"pdf", 1000, kRuns, "report to PDF", "bytes per page"},
        {"pdf", 5000, kRuns, "report to PDF", "bytes per page"},
        {"preview", 5000, kRuns, "our preview, 500 pages viewed", "pages kept"},
        {"qtpreview", 5000, 1, "QPrintPreviewWidget (all pages)", "pages recorded"},
        {"pass", 50000, kRuns, "statistics pass alone", "dives"},
        {"stats", 50000, kRuns, "statistics window, both pages", "dives"},
    };
    for (const auto& row : rows) {
        const Figures f = runChildren(QString::fromLatin1(row.what), row.count, row.runs);
        std::printf("%-34s %6d %4d %18s %18s %16s  %s %.0f\n", row.label, row.count,
                    int(f.ms.size()), qPrintable(minMedian(f.ms, "%.0f")),
                    qPrintable(minMedian(f.processorMs, "%.0f")),
                    qPrintable(minMedian(f.peakMb, "%.1f")), row.extra, f.extra);
        std::fflush(stdout);
    }
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc >= 3) {
        return measure(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]).toInt());
    }
    printTable();
    return 0;
}
