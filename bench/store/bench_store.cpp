// Measures the tables module on generated logs of 1,000, 10,000 and 50,000 dives (the shared
// benchmark log): saving, loading in a fresh process against a bare QXmlStreamReader pass over
// the same files, walking the dives with their detail rows, memory per dive, and what the save
// after one edit costs the user-interface thread.
//
//   bench_store            runs everything and prints a table
//   bench_store --load N   (internal) the measurements of one fresh process, as key=value
#include "app/settings/tdm_const.h"
#include "bench_log.h"
#include "store/tdm_rdp.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cstdio>

namespace {

const int kSizes[] = {1000, 10000, 50000};

double seconds(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e9;
}

qint64 residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
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

void waitForSave(Tdm_rdp& module, Table* table) {
    QEventLoop loop;
    QObject::connect(&module, &Tdm_rdp::tableSaved, &loop, [&](Table* saved) {
        if (saved == table) {
            loop.quit();
        }
    });
    loop.exec();
}

void printValue(const char* key, double value) {
    std::printf("%s=%.9g\n", key, value);
}

int measureInThisProcess(int count) {
    Tdm_const settings;
    settings.DataModuleCreate();
    dm_const = &settings;
    const qint64 before = residentBytes();
    QElapsedTimer clock;
    clock.start();
    {
        Tdm_rdp module;
        module.DataModuleCreate();
        printValue("load", seconds(clock));
        printValue("memory", double(residentBytes() - before) / count);
        if (module.cds_dives->recordCount() != count) {
            std::fprintf(stderr, "loaded %d dives, not %d\n", module.cds_dives->recordCount(),
                         count);
            return 1;
        }

        clock.restart();
        const BarePass pass = bareXmlPass(settings.DbDir);
        printValue("bare", seconds(clock));
        printValue("values", double(pass.values));

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

        dives.setRecNo(count / 2);
        dives.edit();
        dives.setValue("Site", "Edited site");
        clock.restart();
        dives.post();
        printValue("post", seconds(clock));
        QElapsedTimer hold;
        hold.start();
        module.saveChangedTables();  // what the save timer runs
        printValue("hold", seconds(hold));
        // The next post while the writer still holds the snapshot copies the row list once.
        dives.next();
        dives.setValue("Site", "Edited during the write");
        QElapsedTimer during;
        during.start();
        dives.post();
        printValue("postDuringWrite", seconds(during));
        waitForSave(module, &dives);
        printValue("disk", seconds(clock));
    }
    dm_const = nullptr;
    return 0;
}

// --- the driver

struct Figures {
    int dives = 0;
    double generate = 0;
    double save = 0;
    double megabytes = 0;
    QMap<QString, double> fresh;  // from the fresh process
};

double folderMegabytes(const QString& folder) {
    qint64 bytes = 0;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files)) {
        bytes += info.size();
    }
    return double(bytes) / 1e6;
}

bool measure(int count, Figures& figures) {
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

    QProcess fresh;
    fresh.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    fresh.start(QCoreApplication::applicationFilePath(), {"--load", QString::number(count)});
    if (!fresh.waitForFinished(-1) || fresh.exitCode() != 0) {
        return false;
    }
    for (const QByteArray& line : fresh.readAllStandardOutput().split('\n')) {
        const int equals = line.indexOf('=');
        if (equals > 0) {
            figures.fresh[QString::fromLatin1(line.left(equals))] = line.mid(equals + 1).toDouble();
        }
    }
    return true;
}

void printTable(const QList<Figures>& all) {
    std::printf(
        "\nTables module, generated logs (dives with conditions and equipment rows), "
        "%ld cores\n\n",
        sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("%8s %9s %8s %8s %8s %8s %7s %9s %8s %8s %7s %8s %8s %8s\n", "dives", "values",
                "files MB", "gen. s", "save s", "load s", "bare s", "load/bare", "walk ms",
                "move us", "B/dive", "post ms", "hold ms", "post2 ms");
    for (const Figures& f : all) {
        const auto& r = f.fresh;
        std::printf(
            "%8d %9.0f %8.1f %8.2f %8.3f %8.3f %7.3f %9.2f %8.1f %8.2f %7.0f %8.3f "
            "%8.3f %8.3f\n",
            f.dives, r["values"], f.megabytes, f.generate, f.save, r["load"], r["bare"],
            r["load"] / r["bare"], r["walk"] * 1e3, r["move"] * 1e6, r["memory"], r["post"] * 1e3,
            r["hold"] * 1e3, r["postDuringWrite"] * 1e3);
    }
    std::printf(
        "\nload: new module opening all tables in a fresh process (files in the page "
        "cache); bare: one QXmlStreamReader pass over the same files (rows and "
        "attributes counted); walk: every dive with a conditions and an equipment field "
        "read; move: one next() with the three detail tables following; B/dive: "
        "resident memory after loading / dives; post: posting one edit of one dive; "
        "hold: the save that follows, on the UI thread; post2: the next post while that "
        "save is being written.\n\n");
    for (const Figures& f : all) {
        std::printf("%d dives: edit posted to file on disk in %.0f ms\n", f.dives,
                    f.fresh["disk"] * 1e3);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == "--load") {
        return measureInThisProcess(args[2].toInt());
    }
    QList<Figures> all;
    for (int count : kSizes) {
        Figures figures;
        if (!measure(count, figures)) {
            std::fprintf(stderr, "the measuring process failed at %d dives\n", count);
            return 1;
        }
        all << figures;
    }
    printTable(all);
    return 0;
}
