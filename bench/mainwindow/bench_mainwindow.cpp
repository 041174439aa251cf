// Times the program's start and its main window over generated logs (the shared benchmark log:
// notes, conditions and equipment on every dive):
//   start     from the moment the process is started to the main window painted and the event
//             loop idle, the program's own start-up (splash, settings, dictionary, cache,
//             tables, transport, main window) over files in the page cache;
//   scroll    scrolling the dive list to its end and painting it;
//   next-dive moving to the next dive with the Down key in the dive list and letting the event
//             loop finish what follows (details, editor rules, layout, the editor's repaint):
//             the median and the longest of 200 moves from the first dive, and the median
//             processor time of the thread per move (the work without the waits for a
//             processor that other programs on the machine cause);
//   moved     how many times a control of the window was moved or resized during those moves
//             (a re-layout of the window shows there);
//   peak      the process's peak resident memory when the started window is idle.
// Each size is generated first, then measured by fresh runs of this program (5 unless told),
// on a 1920 x 1080 offscreen screen; the figures are the minimum and the median of the runs.
//
// Usage: bench_mainwindow [--runs R] [dives...]     (default: 1000 10000 50000)
#include "../bench_support.h"
#include "app/settings/tdm_const.h"
#include "app/startup.h"
#include "bench_log.h"
#include "store/tdm_rdp.h"
#include "ui/forms/dialogs.h"
#include "ui/main/tfrm_principal.h"
#include "ui/main/tfrm_principal_controls.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kMoves = 200;
constexpr int kDefaultRuns = 5;
// After start-up the splash closes itself a second later and the connection detector settles;
// the moves are timed after that.
constexpr int kSettleMs = 1500;
const char* const kScreen =
    R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1920, "height": 1080,
                     "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})";

// The offscreen platform's notices have no logging category of their own.
void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (!message.contains(QLatin1String("propagateSizeHints")) &&
        !message.contains(QLatin1String("does not support raise()"))) {
        std::fprintf(stderr, "%d: %s\n", int(type), qPrintable(message));
    }
}

qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Processor time of this thread: a move's own work, without the waits for a processor that the
// other programs on the machine cause.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

double elapsedMs(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e6;
}

// --- generating a log (in the data folder of the environment)

int generate(int count) {
    Tdm_const settings;
    settings.DataModuleCreate();
    dm_const = &settings;
    {
        Tdm_rdp tables;
        dm_rdp = &tables;
        tables.DataModuleCreate();
        BenchLog::generate(tables, count);
        tables.saveAll();
        dm_rdp = nullptr;
    }
    dm_const = nullptr;
    return 0;
}

// --- one measuring run

// Counts what the main window paints, moves and resizes.
class WindowWatch : public QObject {
public:
    bool painted = false;
    int moved = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType() || !Frm_Principal) {
            return false;
        }
        const auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() != Frm_Principal) {
            return false;
        }
        if (event->type() == QEvent::Paint) {
            painted = true;
        } else if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
            ++moved;
        }
        return false;
    }
};

void drainEvents() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
    }
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Prints: start, scroll, next-dive median, next-dive max, next-dive processor time median,
// moved, followed, peak memory.
void measureMoves(WindowWatch& watch, double start, double peak) {
    QTableView* grid = Frm_Principal->ui->DbgDives;
    QElapsedTimer clock;
    clock.start();
    grid->scrollToBottom();
    grid->viewport()->repaint();
    const double scroll = elapsedMs(clock);
    grid->setFocus();
    QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::ControlModifier);
    QApplication::sendEvent(grid, &home);
    drainEvents();
    watch.moved = 0;
    std::vector<double> moves;
    std::vector<double> cpu;
    for (int i = 0; i < kMoves; ++i) {
        clock.restart();
        const double cpuStart = threadCpuMs();
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(grid, &down);
        drainEvents();
        moves.push_back(elapsedMs(clock));
        cpu.push_back(threadCpuMs() - cpuStart);
    }
    const bool followed = dm_rdp->cds_dives->recNo() == kMoves + 1 &&
                          dm_rdp->cds_conditions->recordCount() == 1 &&
                          dm_rdp->cds_equipment->recordCount() == 1;
    std::printf("%.1f %.2f %.3f %.3f %.3f %d %d %.1f\n", start, scroll, median(moves),
                *std::max_element(moves.begin(), moves.end()), median(cpu), watch.moved,
                int(followed), peak);
    std::fflush(stdout);
}

int measure(qint64 startedNs) {
    Dialogs::setMessageHandler([](const Dialogs::Prompt& prompt) {
        std::fprintf(stderr, "message: %s\n", qPrintable(prompt.text));
        return QMessageBox::Ok;
    });
    WindowWatch watch;
    qApp->installEventFilter(&watch);
    Startup startup;
    if (!startup.start()) {
        return 1;
    }
    double start = 0;
    double peak = 0;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    QMetaObject::Connection idle;
    idle = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [&] {
        if (!watch.painted) {
            return;
        }
        start = double(monotonicNs() - startedNs) / 1e6;
        peak = double(BenchSupport::statusBytes("VmHWM:")) / 1e6;
        QObject::disconnect(idle);
        QTimer::singleShot(kSettleMs, [&] {
            measureMoves(watch, start, peak);
            QApplication::quit();
        });
    });
    QApplication::exec();
    // Not closed through the window: the layout and the tables stay as generated.
    qApp->removeEventFilter(&watch);
    Dialogs::setMessageHandler({});
    return 0;
}

// --- the driver

struct Run {
    double start = 0, scroll = 0, moveMedian = 0, moveMax = 0, moveCpu = 0;
    int moved = 0;
    bool followed = false;
    double peak = 0;
};

bool parseRun(const QString& line, Run& run) {
    const QStringList v = line.trimmed().split(' ');
    if (v.size() != 8) {
        return false;
    }
    run = {v[0].toDouble(), v[1].toDouble(), v[2].toDouble(), v[3].toDouble(),
           v[4].toDouble(), v[5].toInt(),    v[6] == "1",     v[7].toDouble()};
    return true;
}

QString minAndMedian(const QList<Run>& runs, double Run::*figure, int decimals) {
    std::vector<double> values;
    for (const Run& run : runs) {
        values.push_back(run.*figure);
    }
    const double least = *std::min_element(values.begin(), values.end());
    return QStringLiteral("%1 / %2")
        .arg(least, 0, 'f', decimals)
        .arg(median(values), 0, 'f', decimals);
}

bool runChild(QProcess& child, const QStringList& arguments) {
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    return child.waitForFinished(-1) && child.exitStatus() == QProcess::NormalExit &&
           child.exitCode() == 0;
}

bool measureSize(int count, int runs, QList<Run>& results) {
    QTemporaryDir data;
    QTemporaryDir work;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QFile::copy(QStringLiteral(NEREVA_SOURCE_DIR "/resources/language.xml"),
                work.filePath(QStringLiteral("language.xml")));
    QProcess generator;
    generator.setWorkingDirectory(work.path());
    if (!runChild(generator, {"--generate", QString::number(count)})) {
        return false;
    }
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.setWorkingDirectory(work.path());
        const qint64 startedNs = monotonicNs();
        Run run;
        if (!runChild(child, {"--measure", QString::number(startedNs)}) ||
            !parseRun(QString::fromLocal8Bit(child.readAllStandardOutput()), run)) {
            return false;
        }
        results << run;
    }
    return true;
}

int runAll(const QStringList& arguments) {
    const auto [runs, counts] = BenchSupport::runsAndSizes(arguments, kDefaultRuns);
    std::printf(
        "main window over N dives (notes, conditions, equipment on every dive); "
        "min / median of %d fresh runs; times in ms\n",
        runs);
    std::printf("%8s %17s %15s %17s %17s %17s %9s %15s\n", "dives", "start", "scroll-to-end",
                "next-dive median", "next-dive max", "next-dive cpu", "moved", "peak MB");
    for (int count : counts) {
        QList<Run> results;
        if (!measureSize(count, runs, results)) {
            std::printf("%8d  measurement failed\n", count);
            continue;
        }
        const bool followed = std::all_of(results.cbegin(), results.cend(),
                                          [](const Run& run) { return run.followed; });
        std::vector<double> moved;
        for (const Run& run : results) {
            moved.push_back(run.moved);
        }
        std::printf("%8d %17s %15s %17s %17s %17s %9.0f %15s%s\n", count,
                    qPrintable(minAndMedian(results, &Run::start, 0)),
                    qPrintable(minAndMedian(results, &Run::scroll, 1)),
                    qPrintable(minAndMedian(results, &Run::moveMedian, 3)),
                    qPrintable(minAndMedian(results, &Run::moveMax, 2)),
                    qPrintable(minAndMedian(results, &Run::moveCpu, 3)), median(moved),
                    qPrintable(minAndMedian(results, &Run::peak, 1)),
                    followed ? "" : "  (details did not follow!)");
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietHandler);
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const QString screen = runtime.filePath(QStringLiteral("screen.json"));
    QFile file(screen);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(kScreen);
        file.close();
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screen.toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.value(0) == "--generate") {
        return generate(arguments.value(1).toInt());
    }
    if (arguments.value(0) == "--measure") {
        return measure(arguments.value(1).toLongLong());
    }
    return runAll(arguments);
}
