// Measures the tables module on generated logs of 1,000, 10,000 and 50,000 dives (the shared
// benchmark log): writing the whole log, loading it in a fresh process (against a bare
// QXmlStreamReader pass over the same files, in the first run), walking the dives with their
// detail rows, memory per dive, and what an edit costs once it is posted: the bytes the process
// writes until it is on the disk, the time from the post to the disk (with the default delay
// before the save), and how long the user-interface thread is held by the post and by the save
// that follows. Twelve edits of a dive's site and twelve of a dive's notes (the conditions
// table) per run; each figure is the minimum / median over fresh runs (5 unless told) of the
// run's median.
//
//   bench_store [--runs R] [dives...]   the table (default 1000 10000 50000)
//   bench_store --load N [--bare]       (internal) the measurements of one fresh process
#include "../bench_support.h"
#include "app/settings/tdm_const.h"
#include "bench_log.h"
#include "store/tdm_rdp.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kDefaultRuns = 5;
constexpr int kEdits = 12;
constexpr int kSaveDelayMs = 100;  // the tables module's own

double seconds(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e9;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Bytes this process has handed to write calls so far (all threads).
qint64 bytesWritten() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : io.readAll().split('\n')) {
        if (line.startsWith("wchar:")) {
            return line.mid(6).trimmed().toLongLong();
        }
    }
    return 0;
}

void printValue(const char* key, double value) {
    std::printf("%s=%.9g\n", key, value);
}

// --- measurements in a fresh process

struct BarePass {
    qint64 rows = 0;
    qint64 values = 0;
};

BarePass bareXmlPass(const QString& folder) {
    BarePass pass;
    for (const QFileInfo& info : QDir(folder).entryInfoList({"*.xml"}, QDir::Files)) {
        QFile file(info.filePath());
        file.open(QIODevice::ReadOnly);
        QXmlStreamReader xml(file.readAll());
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement) {
                ++pass.rows;
                pass.values += xml.attributes().size();
            }
        }
    }
    return pass;
}

struct EditFigures {
    std::vector<double> bytes, disk, post, hold;
};

// One edit of `field` in the dive at `recNo`, posted, saved after the module's delay (timed on
// this thread) and waited for until it is on the disk.
void measureEdit(Tdm_rdp& module, Table& table, const QString& field, const QString& value,
                 int recNo, EditFigures& figures) {
    module.cds_dives->setRecNo(recNo);
    table.edit();
    table.setValue(field, value);
    const qint64 before = bytesWritten();
    QElapsedTimer clock;
    clock.start();
    table.post();
    figures.post.push_back(seconds(clock));
    QEventLoop loop;
    QObject::connect(&module, &Tdm_rdp::tableSaved, &loop, [&](Table* saved) {
        if (saved == &table && !table.hasUnsavedChanges()) {
            loop.quit();
        }
    });
    QTimer::singleShot(kSaveDelayMs, &loop, [&] {
        QElapsedTimer hold;
        hold.start();
        module.saveChangedTables();
        figures.hold.push_back(seconds(hold));
    });
    loop.exec();
    figures.disk.push_back(seconds(clock));
    figures.bytes.push_back(double(bytesWritten() - before));
}

void printEdits(const char* prefix, const EditFigures& figures) {
    const auto key = [prefix](const char* what) { return QByteArray(prefix) + what; };
    printValue(key("Bytes"), median(figures.bytes));
    printValue(key("Disk"), median(figures.disk));
    printValue(key("DiskMax"), *std::max_element(figures.disk.begin(), figures.disk.end()));
    printValue(key("Post"), median(figures.post));
    printValue(key("Hold"), median(figures.hold));
}

int measureInThisProcess(int count, bool bare) {
    Tdm_const settings;
    settings.DataModuleCreate();
    dm_const = &settings;
    const qint64 before = BenchSupport::statusBytes("VmRSS:");
    QElapsedTimer clock;
    clock.start();
    {
        Tdm_rdp module;
        module.setSaveDelay(1000000);  // the saves are started by the measurement, timed
        module.DataModuleCreate();
        printValue("load", seconds(clock));
        printValue("memory", double(BenchSupport::statusBytes("VmRSS:") - before) / count);
        printValue("peak", double(BenchSupport::statusBytes("VmHWM:")));
        if (module.cds_dives->recordCount() != count) {
            std::fprintf(stderr, "loaded %d dives, not %d\n", module.cds_dives->recordCount(),
                         count);
            return 1;
        }
        if (bare) {
            clock.restart();
            const BarePass pass = bareXmlPass(settings.DbDir);
            printValue("bare", seconds(clock));
            printValue("values", double(pass.values));
        }

        Table& dives = *module.cds_dives;
        clock.restart();
        double sink = 0;
        for (dives.first(); !dives.eof(); dives.next()) {
            sink += module.cds_conditions->asFloat("max_depth") +
                    module.cds_equipment->asFloat("pres_out") + dives.asInteger("dive_rating");
        }
        printValue("walk", seconds(clock));
        clock.restart();
        for (dives.first(); !dives.eof(); dives.next()) {
        }
        printValue("move", seconds(clock) / count);
        printValue("sink", sink > 0);

        EditFigures site;
        EditFigures notes;
        // Each run writes other values: an edit that changes nothing posts nothing.
        const qint64 run = QCoreApplication::applicationPid();
        for (int i = 0; i < kEdits; ++i) {
            const int recNo = 1 + (count / 2 + i * 37) % count;
            measureEdit(module, dives, "Site", QStringLiteral("Site %1 of run %2").arg(i).arg(run),
                        recNo, site);
            measureEdit(module, *module.cds_conditions, "observations",
                        QStringLiteral("Notes %1 of run %2: a turtle at the wall.").arg(i).arg(run),
                        recNo, notes);
        }
        printEdits("site", site);
        printEdits("notes", notes);
    }
    dm_const = nullptr;
    return 0;
}

// --- the driver

double folderMegabytes(const QString& folder) {
    qint64 bytes = 0;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files)) {
        bytes += info.size();
    }
    return double(bytes) / 1e6;
}

struct Figures {
    int dives = 0;
    double generate = 0;
    double save = 0;
    double megabytes = 0;
    QMap<QString, QList<double>> runs;  // each figure of every fresh run
};

bool measure(int count, int runs, Figures& figures) {
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    Tdm_const settings;
    settings.DataModuleCreate();
    dm_const = &settings;
    figures.dives = count;
    {
        Tdm_rdp module;
        module.DataModuleCreate();
        QElapsedTimer clock;
        clock.start();
        BenchLog::generate(module, count);
        figures.generate = seconds(clock);
        clock.restart();
        module.saveAll();
        figures.save = seconds(clock);
    }
    dm_const = nullptr;
    figures.megabytes = folderMegabytes(settings.DbDir);
    for (int run = 0; run < runs; ++run) {
        QStringList arguments{"--load", QString::number(count)};
        if (run == 0) {
            arguments << "--bare";
        }
        const QMap<QString, double> values = BenchSupport::freshRun(arguments);
        if (values.isEmpty()) {
            return false;
        }
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            figures.runs[it.key()] << it.value();
        }
    }
    return true;
}

// "min / median" of a figure over the runs, scaled.
QByteArray spreadOf(const Figures& f, const QString& key, double scale, int decimals) {
    const BenchSupport::Spread s = BenchSupport::spread(f.runs.value(key, {0}));
    return QStringLiteral("%1 / %2")
        .arg(s.min * scale, 0, 'f', decimals)
        .arg(s.median * scale, 0, 'f', decimals)
        .toLatin1();
}

void printTables(const QList<Figures>& all, int runs) {
    std::printf(
        "\nTables module, generated logs (dives with conditions and equipment rows), %ld cores; "
        "min / median of %d fresh runs\n\n",
        sysconf(_SC_NPROCESSORS_ONLN), runs);
    std::printf("%8s %9s %8s %7s %7s %15s %7s %7s %15s %8s %8s %8s\n", "dives", "values",
                "files MB", "gen. s", "save s", "load ms", "bare ms", "walk ms", "peak MB",
                "move us", "B/dive", "");
    for (const Figures& f : all) {
        const auto first = [&f](const char* key) { return f.runs.value(key).value(0); };
        std::printf("%8d %9.0f %8.1f %7.2f %7.3f %15s %7.0f %7.1f %15s %8.2f %8.0f\n", f.dives,
                    first("values"), f.megabytes, f.generate, f.save,
                    spreadOf(f, "load", 1e3, 0).constData(), first("bare") * 1e3,
                    first("walk") * 1e3, spreadOf(f, "peak", 1e-6, 1).constData(),
                    first("move") * 1e6, first("memory"));
    }
    std::printf("\nOne posted edit, until it is on the disk (median of %d edits per run)\n\n",
                kEdits);
    std::printf("%8s %-6s %17s %17s %17s %17s %17s\n", "dives", "edit", "bytes written",
                "post-to-disk ms", "slowest ms", "post ms", "save hold ms");
    for (const Figures& f : all) {
        for (const char* edit : {"site", "notes"}) {
            const auto key = [edit](const char* what) { return QString::fromLatin1(edit) + what; };
            std::printf("%8d %-6s %17s %17s %17s %17s %17s\n", f.dives, edit,
                        spreadOf(f, key("Bytes"), 1, 0).constData(),
                        spreadOf(f, key("Disk"), 1e3, 0).constData(),
                        spreadOf(f, key("DiskMax"), 1e3, 0).constData(),
                        spreadOf(f, key("Post"), 1e3, 3).constData(),
                        spreadOf(f, key("Hold"), 1e3, 3).constData());
        }
    }
    std::printf(
        "\nload: a new module opening all tables in a fresh process (files in the page cache); "
        "peak: the process's peak resident memory after loading; bare: one QXmlStreamReader "
        "pass over the same files; walk: every dive with a conditions and an equipment field "
        "read; move: one next() with the three detail tables following; B/dive: resident "
        "memory after loading / dives. site: a dive's site edited (dives table); notes: its "
        "notes (conditions table); bytes written: what the process wrote from the post until "
        "the change was on the disk; post-to-disk: from the post to the change on the disk, "
        "the %d ms delay before the save included; post, save hold: the user-interface "
        "thread held by the post and by the save that follows.\n",
        kSaveDelayMs);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == "--load") {
        return measureInThisProcess(args.value(1).toInt(), args.contains("--bare"));
    }
    const auto [runs, counts] = BenchSupport::runsAndSizes(args, kDefaultRuns);
    QList<Figures> all;
    for (int count : counts) {
        Figures figures;
        if (!measure(count, runs, figures)) {
            std::fprintf(stderr, "the measuring process failed at %d dives\n", count);
            return 1;
        }
        all << figures;
    }
    printTables(all, runs);
    return 0;
}
