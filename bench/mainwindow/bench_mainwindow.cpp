// Times the main window over large logs: loading the tables, creating and showing the window
// with the whole log, scrolling the dive list to its end, and moving to the next dive with the
// detail tables following. Each size is generated first, then measured by a fresh run of this
// program, so nothing of the generation is left in memory.
//
// Usage: bench_mainwindow [dives...]       (default: 1000 10000 50000)
#include "module_set.h"
#include "ui/main/tfrm_principal.h"
#include "ui/main/tfrm_principal_controls.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QProcess>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

namespace {

constexpr int kMoves = 200;

void fillConditions(Table* t, int i) {
    t->append();
    t->setValue("dive_si", QStringLiteral("01:%1").arg(i % 60, 2, 10, QLatin1Char('0')));
    t->setValue("altitude", 0.0);
    t->setValue("altitude_unit", 1);
    t->setValue("depth", 12.5 + i % 10);
    t->setValue("max_depth", 18.0 + i % 20);
    t->setValue("depth_unit", 1);
    t->setValue("bottom_time", QStringLiteral("00:%1").arg(30 + i % 29));
    t->setValue("observations", QStringLiteral("Turtles, a moray and a school of jacks."));
    t->setValue("cond_visibility", 15.0);
    t->setValue("cond_visibility_unit", 1);
    t->setValue("cond_tiempo_in", 1 + i % 7);
    t->setValue("cond_temp_surf", 27.0);
    t->setValue("cond_temp_bottom", 25.0);
    t->setValue("cond_temp_unit", 1);
    t->setValue("cond_Current", 1 + i % 5);
    t->post();
}

void fillEquipment(Table* t, int i) {
    t->append();
    t->setValue("pres_in", 200.0);
    t->setValue("pres_out", 50.0 + i % 30);
    t->setValue("pres_unit", 1);
    t->setValue("Dc_Vendor", QStringLiteral("Suunto"));
    t->setValue("Dc_Model", QStringLiteral("Zoop"));
    t->setValue("lead_weight", 6.0);
    t->setValue("lead_unit", 1);
    t->setValue("gas_mix", 1);
    t->setValue("pro_wet", 1);
    t->setValue("misc_comp", 1);
    t->setValue("cil_size", 12.0);
    t->setValue("cil_size_unit", 1);
    t->post();
}

void generate(int count) {
    ModuleSet modules;
    Tdm_rdp* db = modules.tables.get();
    db->setBusy(true);
    const QDate first(2000, 1, 1);
    for (int i = 0; i < count; ++i) {
        Table* dives = db->cds_dives;
        dives->append();
        dives->setValue("Date", first.addDays(i / 3));
        dives->setValue("Time_Start", QTime(8 + 3 * (i % 3), 30));
        dives->setValue("Location", QStringLiteral("Location %1").arg(i % 997));
        dives->setValue("Site", QStringLiteral("Site %1").arg(i % 89));
        dives->setValue("Dive_Media", 1);
        dives->setValue("Activity", 7);
        dives->setValue("dive_rating", 1 + i % 5);
        dives->setValue("buddy", QStringLiteral("Buddy %1").arg(i % 31));
        dives->post();
        fillConditions(db->cds_conditions, i);
        fillEquipment(db->cds_equipment, i);
    }
    db->setBusy(false);
    db->saveAll();
}

void processEvents() {
    QApplication::processEvents();
    QApplication::processEvents();
}

double elapsedMs(const QElapsedTimer& timer) {
    return timer.nsecsElapsed() / 1e6;
}

// Prints one result line: load, window, both, scroll to the end, one move.
int measure() {
    QElapsedTimer total;
    total.start();
    QElapsedTimer step;
    step.start();
    ModuleSet modules;
    const double load = elapsedMs(step);
    step.restart();
    TFrm_Principal window;
    window.FormCreate(QRect(0, 0, 1280, 1024));
    window.show();
    processEvents();
    const double shown = elapsedMs(step);
    const double both = elapsedMs(total);
    QTableView* grid = window.ui->DbgDives;
    step.restart();
    grid->scrollToBottom();
    grid->viewport()->repaint();
    const double scroll = elapsedMs(step);
    grid->setFocus();
    QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::ControlModifier);
    QApplication::sendEvent(grid, &home);
    processEvents();
    step.restart();
    for (int i = 0; i < kMoves; ++i) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(grid, &down);
        grid->viewport()->repaint();
    }
    const double move = elapsedMs(step) / kMoves;
    const bool followed = dm_rdp->cds_dives->recNo() == kMoves + 1 &&
                          dm_rdp->cds_conditions->recordCount() == 1 &&
                          dm_rdp->cds_equipment->recordCount() == 1;
    std::printf("%.0f %.0f %.0f %.1f %.3f %d\n", load, shown, both, scroll, move, followed);
    window.close();
    return followed ? 0 : 1;
}

void printRow(int count, const QString& line) {
    const QStringList v = line.trimmed().split(' ');
    if (v.size() < 6) {
        std::printf("%8d  measurement failed: %s\n", count, qPrintable(line));
        return;
    }
    std::printf("%8d %10s %11s %14s %15s %13s%s\n", count, qPrintable(v[0]), qPrintable(v[1]),
                qPrintable(v[2]), qPrintable(v[3]), qPrintable(v[4]),
                v[5] == "1" ? "" : "  (details did not follow!)");
    std::fflush(stdout);
}

int runAll(const QStringList& arguments) {
    QList<int> counts;
    for (const QString& a : arguments) {
        counts << a.toInt();
    }
    if (counts.isEmpty()) {
        counts = {1000, 10000, 50000};
    }
    std::printf("main window over N dives (each with conditions and equipment), times in ms\n");
    std::printf("%8s %10s %11s %14s %15s %13s\n", "dives", "load", "window+show", "load+window",
                "scroll-to-end", "next-dive");
    for (int count : counts) {
        QTemporaryDir folder;
        qputenv("XDG_DATA_HOME", folder.path().toLocal8Bit());
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {"--generate", QString::number(count)});
        child.waitForFinished(-1);
        child.start(QCoreApplication::applicationFilePath(), {"--measure"});
        child.waitForFinished(-1);
        printRow(count, QString::fromLocal8Bit(child.readAllStandardOutput()));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QStringList arguments = app.arguments().mid(1);
    if (arguments.value(0) == "--generate") {
        generate(arguments.value(1).toInt());
        return 0;
    }
    if (arguments.value(0) == "--measure") {
        return measure();
    }
    return runAll(arguments);
}
