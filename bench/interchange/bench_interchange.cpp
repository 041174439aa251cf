// Measures bringing a large log in and out and moving through it with the depth profile shown:
// a generated UDDF file of 10,000 dives with 1,000 samples each is imported, exported as UDDF
// and CSV, and every dive is visited with the DC Profile view following. Each measurement runs
// in a fresh process, five times; the table gives the minimum and the median.
//
//   bench_interchange [dives] [samples] [runs]
//   bench_interchange --generate <file> [dives] [samples]  only writes the file
//   bench_interchange --child import|export|move <file>   (internal) one run, as key=value
#include "interchange/log_import.h"
#include "interchange/log_snapshot.h"
#include "interchange/log_writers.h"
#include "store/data_source.h"
#include "store/table_data.h"
#include "store/tdm_rdp.h"
#include "ui/main/dive_profile_view.h"

#include <unistd.h>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

double seconds(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e9;
}

// A memory figure of /proc/self/status ("VmHWM": the peak since the last reset, "VmRSS"), in
// megabytes.
double megabytes(const QByteArray& key) {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key + ':')) {
            return line.mid(key.size() + 1).trimmed().split(' ').first().toDouble() / 1024.0;
        }
    }
    return 0;
}

void resetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly)) {
        refs.write("5");
    }
}

void print(const char* key, double value) {
    std::printf("%s=%.9g\n", key, value);
}

// --- the generated file

void writeDive(QByteArray& out, int i, int samples) {
    const QDate date = QDate(2000, 1, 1).addDays(i / 3);
    const int maxDepth = 18 + i % 25;
    out += "<dive id='d" + QByteArray::number(i) + "'><informationbeforedive><link ref='site" +
           QByteArray::number(i % 100) + "'/><link ref='buddy" + QByteArray::number(i % 20) +
           "'/><datetime>" + date.toString(Qt::ISODate).toLatin1() + "T" +
           QByteArray::number(8 + (i % 3) * 4).rightJustified(2, '0') +
           ":15:00</datetime><airtemperature>300.15</airtemperature></informationbeforedive>"
           "<tankdata><link ref='air'/><tankvolume>0.012</tankvolume><tankpressurebegin>2e7"
           "</tankpressurebegin><tankpressureend>5e6</tankpressureend></tankdata><samples>\n";
    for (int s = 0; s < samples; ++s) {
        const double phase = double(s) / samples;
        double depth = maxDepth * std::min({1.0, phase * 12, (1 - phase) * 8});
        depth += 0.8 * std::sin(s / 17.0);
        out += "<waypoint>";
        if (s % 250 == 125) {
            out += "<alarm>ascent</alarm>";
        }
        out += "<depth>" + QByteArray::number(std::max(0.0, depth), 'f', 2) + "</depth><divetime>" +
               QByteArray::number(s * 4) + "</divetime></waypoint>\n";
    }
    out += "</samples><informationafterdive><greatestdepth>" + QByteArray::number(maxDepth + 0.8) +
           "</greatestdepth><diveduration>" + QByteArray::number(samples * 4) +
           "</diveduration><notes><para>Generated dive " + QByteArray::number(i) +
           "</para></notes></informationafterdive></dive>\n";
}

bool generate(const QString& path, int dives, int samples) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray out =
        "<?xml version='1.0' encoding='UTF-8'?>\n<uddf version='3.2.0' "
        "xmlns='http://www.streit.cc/uddf/3.2/'><generator><name>bench</name>"
        "</generator><diver><owner id='me'><personal><firstname>A</firstname>"
        "<lastname>B</lastname></personal></owner>";
    for (int b = 0; b < 20; ++b) {
        out += "<buddy id='buddy" + QByteArray::number(b) + "'><personal><firstname>Buddy" +
               QByteArray::number(b) + "</firstname><lastname>Diver</lastname></personal></buddy>";
    }
    out += "</diver><divesite>";
    for (int s = 0; s < 100; ++s) {
        out += "<site id='site" + QByteArray::number(s) + "'><name>Site " + QByteArray::number(s) +
               "</name><geography><location>Location " + QByteArray::number(s / 10) +
               "</location></geography></site>";
    }
    out +=
        "</divesite><gasdefinitions><mix id='air'><name>air</name><o2>0.21</o2></mix>"
        "</gasdefinitions><profiledata><repetitiongroup id='g'>\n";
    for (int i = 0; i < dives; ++i) {
        writeDive(out, i, samples);
        if (out.size() > (8 << 20)) {
            file.write(out);
            out.clear();
        }
    }
    out += "</repetitiongroup></profiledata></uddf>\n";
    file.write(out);
    return file.error() == QFile::NoError;
}

// --- one run in this process

std::unique_ptr<Tdm_rdp> emptyTables() {
    auto tables = std::make_unique<Tdm_rdp>();
    for (Table* table : tables->tables()) {
        table->createDataSet();
    }
    return tables;
}

LogFile readAll(const QString& path) {
    return std::move(*LogReader::read(path));
}

std::unique_ptr<Tdm_rdp> importAll(LogFile file) {
    auto tables = emptyTables();
    LogImport(*tables, std::move(file), DiveFields::importUnits(1, 1, 1))
        .apply(DuplicateChoice::Skip);
    return tables;
}

int runImport(const QString& path) {
    resetPeak();
    QElapsedTimer clock;
    clock.start();
    LogFile file = readAll(path);
    print("read", seconds(clock));
    auto tables = emptyTables();
    clock.restart();
    const ImportSummary summary =
        LogImport(*tables, std::move(file), DiveFields::importUnits(1, 1, 1))
            .apply(DuplicateChoice::Skip);
    print("apply", seconds(clock));
    print("dives", summary.imported);
    print("samples", double(tables->cds_profile->snapshot()->rows.size()));
    print("peak", megabytes("VmHWM"));
    return 0;
}

int runExport(const QString& path, const QString& folder) {
    const auto tables = importAll(readAll(path));
    resetPeak();
    const double loaded = megabytes("VmRSS");
    QElapsedTimer clock;
    clock.start();
    const LogSnapshot log(*tables);
    LogWriters::saveUddf(log, {QStringLiteral("bench"), QStringLiteral("A B")},
                         folder + "/out.uddf");
    print("uddf", seconds(clock));
    print("uddfMB", double(QFileInfo(folder + "/out.uddf").size()) / 1e6);
    clock.restart();
    LogWriters::saveCsv(log, folder + "/out.csv");
    print("csv", seconds(clock));
    print("peak", megabytes("VmHWM") - loaded);
    return 0;
}

// Every dive visited once with the profile view following (the view reads the dive's rows
// when the cursor moves); then a sample of moves with the view painted too.
double secondsPerMove(Table& dives) {
    dives.first();
    QElapsedTimer clock;
    clock.start();
    int moves = 0;
    for (; !dives.eof(); dives.next()) {
        ++moves;
    }
    return seconds(clock) / moves;
}

void measureMoves(Tdm_rdp& tables, const char* prefix) {
    Table& dives = *tables.cds_dives;
    print(QByteArray(prefix).append("Bare").constData(), secondsPerMove(dives));
    DataSource conditions(tables.cds_conditions);
    DiveProfileView view(tables.cds_profile, &conditions);
    view.resize(600, 260);
    print(QByteArray(prefix).append("Move").constData(), secondsPerMove(dives));
    QElapsedTimer clock;
    dives.first();
    clock.start();
    constexpr int kPainted = 500;
    for (int i = 0; i < kPainted; ++i) {
        dives.moveBy(int(std::max(1, dives.recordCount() / kPainted)));
        view.grab();
    }
    print(QByteArray(prefix).append("Paint").constData(), seconds(clock) / kPainted);
    print(QByteArray(prefix).append("Points").constData(), view.points().size());
}

int runMove(const QString& path) {
    LogFile file = readAll(path);
    LogFile withoutSamples = file;
    for (ExchangeDive& dive : withoutSamples.dives) {
        dive.samples = {};
    }
    measureMoves(*importAll(std::move(withoutSamples)), "empty");
    measureMoves(*importAll(std::move(file)), "full");
    return 0;
}

int child(const QStringList& args) {
    const QString what = args[2];
    const QString path = args[3];
    if (what == "import") {
        return runImport(path);
    }
    if (what == "export") {
        QTemporaryDir folder;
        return runExport(path, folder.path());
    }
    return runMove(path);
}

// --- the driver

using Run = QMap<QString, double>;

bool runChild(const QString& what, const QString& path, Run& run) {
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), {"--child", what, path});
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        return false;
    }
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        const int equals = line.indexOf('=');
        if (equals > 0) {
            run[QString::fromLatin1(line.left(equals))] = line.mid(equals + 1).toDouble();
        }
    }
    return true;
}

struct Spread {
    double min;
    double median;
};

Spread spread(const QList<Run>& runs, const QString& key) {
    QList<double> values;
    for (const Run& run : runs) {
        values << run.value(key);
    }
    std::sort(values.begin(), values.end());
    const int n = int(values.size());
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {values.first(), median};
}

void printRow(const QList<Run>& runs, const char* label, const QString& key, double scale,
              const char* unit) {
    const Spread s = spread(runs, key);
    std::printf("  %-46s %12.3f %12.3f  %s\n", label, s.min * scale, s.median * scale, unit);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");  // the profile view is painted off screen
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == "--child") {
        return child(args);
    }
    if (args.size() >= 3 && args[1] == "--generate") {
        return generate(args[2], args.value(3, "10000").toInt(), args.value(4, "1000").toInt()) ? 0
                                                                                                : 1;
    }
    const int dives = args.value(1, "10000").toInt();
    const int samples = args.value(2, "1000").toInt();
    const int runs = args.value(3, "5").toInt();
    QTemporaryDir folder;
    const QString path = folder.filePath("log.uddf");
    QElapsedTimer clock;
    clock.start();
    if (!generate(path, dives, samples)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf(
        "Generated %d dives x %d samples: %.0f MB UDDF in %.1f s; %ld cores, %d runs each\n", dives,
        samples, QFileInfo(path).size() / 1e6, seconds(clock), sysconf(_SC_NPROCESSORS_ONLN), runs);
    QMap<QString, QList<Run>> all;
    for (const QString what : {"import", "export", "move"}) {
        for (int i = 0; i < runs; ++i) {
            Run run;
            if (!runChild(what, path, run)) {
                std::fprintf(stderr, "the %s run failed\n", qPrintable(what));
                return 1;
            }
            all[what] << run;
        }
    }
    const QList<Run>& import = all["import"];
    std::printf("\n  %-46s %12s %12s\n", "", "min", "median");
    std::printf("Import (%0.f dives, %0.f samples)\n", import[0]["dives"], import[0]["samples"]);
    printRow(import, "read and check the file", "read", 1, "s");
    printRow(import, "write into the tables (one bulk change)", "apply", 1, "s");
    printRow(import, "peak resident memory", "peak", 1, "MB");
    const QList<Run>& out = all["export"];
    std::printf("Export (%.0f MB UDDF)\n", out[0]["uddfMB"]);
    printRow(out, "UDDF 3.2", "uddf", 1, "s");
    printRow(out, "CSV", "csv", 1, "s");
    printRow(out, "peak resident memory beyond the loaded log", "peak", 1, "MB");
    const QList<Run>& move = all["move"];
    std::printf("Moving between dives, DC Profile view following\n");
    printRow(move, "next dive without the view, no profile rows", "emptyBare", 1e6, "us");
    printRow(move, "next dive without the view, all samples", "fullBare", 1e6, "us");
    printRow(move, "next dive, no profile rows in the log", "emptyMove", 1e6, "us");
    printRow(move, "next dive, all samples in the log", "fullMove", 1e6, "us");
    printRow(move, "next dive and paint, no profile rows", "emptyPaint", 1e3, "ms");
    printRow(move, "next dive and paint, all samples", "fullPaint", 1e3, "ms");
    return 0;
}
