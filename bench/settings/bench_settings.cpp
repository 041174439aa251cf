// Measures start-up reads of desktop.ini files of about 2.4, 8 and 24 MB (a few known keys among
// a great many lines the program does not know): the settings module's creation with every key
// the windows read at start, in a fresh process with its peak memory, and one later write.
// Each size runs in several fresh processes; the table gives min and median.
//
//   bench_settings                 runs everything and prints a table
//   bench_settings --run FOLDER    (internal) one fresh process, as key=value
#include "../bench_support.h"
#include "app/settings/tdm_const.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

const int kMegabytes[] = {2, 8, 24};
constexpr int kRuns = 5;

// The keys the main window and the units tool read after the settings module's own.
const char* const kLayoutKeys[] = {
    "Dives_tree_w", "Dives_h",     "Location_break",  "Principal_x", "Principal_y",
    "Principal_w",  "Principal_h", "Principal_State", "Convert_x",   "Convert_y"};

double seconds(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e9;
}

// The known sections first, then lines nobody reads: keys of another program, comments and
// bytes that are not UTF-8, to about `megabytes` MB.
QByteArray iniText(int megabytes) {
    QByteArray text =
        "[Preferences]\r\nViewRegionSites=1\r\nViewAdvancedDives=0\r\n"
        "[InternetConnection]\r\nProxyHost=\r\nProxyPort=\r\nDialupConnection=0\r\n"
        "[Defaults]\r\nUnit_Dist=1\r\nUnit_Temp=1\r\nUnit_Pres=1\r\n"
        "[Position]\r\nDives_tree_w=180\r\nDives_h=80\r\nPrincipal_x=10\r\n";
    const qsizetype target = qsizetype(megabytes) * 1000000;
    for (int i = 0; text.size() < target; ++i) {
        if (i % 1000 == 0) {
            text += "[Other" + QByteArray::number(i) + "]\r\n";
        }
        text += "RecentFile" + QByteArray::number(i) + "=C:\\Dives\\log " + QByteArray::number(i) +
                ".xml\r\n; caf\xE9 \xFF\r\n";
    }
    return text;
}

void printValue(const char* key, double value) {
    std::printf("%s=%.9g\n", key, value);
}

int runOnce() {
    const qint64 before = BenchSupport::statusBytes("VmRSS:");
    QElapsedTimer clock;
    clock.start();
    Tdm_const settings;
    settings.DataModuleCreate();
    int sink = 0;
    for (const char* key : kLayoutKeys) {
        sink +=
            settings.IniFile->readInteger(QStringLiteral("Position"), QString::fromLatin1(key), -1);
    }
    printValue("start", seconds(clock));
    printValue("peak", double(BenchSupport::statusBytes("VmHWM:") - before));
    clock.restart();
    settings.IniFile->writeInteger(QStringLiteral("Position"), QStringLiteral("Dives_h"), 90);
    printValue("write", seconds(clock));
    printValue("sink", sink != 0 && settings.ViewRegionSites);
    return settings.ViewRegionSites ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 2 && qstrcmp(argv[1], "--run") == 0) {
        return runOnce();
    }
    std::printf("desktop.ini, %d fresh processes per size (min / median)\n", kRuns);
    std::printf("%8s %10s %19s %17s %19s\n", "MB", "lines", "start s", "peak MB (x file)",
                "write s");
    for (const int megabytes : kMegabytes) {
        QTemporaryDir home;
        const QString folder = home.filePath(QStringLiteral("nereva-desktop"));
        QDir().mkpath(folder);
        const QByteArray text = iniText(megabytes);
        QFile file(folder + QStringLiteral("/desktop.ini"));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
            return 1;
        }
        file.close();
        QMap<QString, QList<double>> runs;
        for (int run = 0; run < kRuns; ++run) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
            const QMap<QString, double> values = BenchSupport::freshRun({"--run"}, environment);
            if (values.isEmpty()) {
                return 1;
            }
            for (auto it = values.cbegin(); it != values.cend(); ++it) {
                runs[it.key()] << it.value();
            }
        }
        const double mb = double(text.size()) / 1e6;
        const auto start = BenchSupport::spread(runs["start"]);
        const auto peak = BenchSupport::spread(runs["peak"]);
        const auto write = BenchSupport::spread(runs["write"]);
        std::printf("%8.1f %10lld %8.3f / %8.3f %7.0f (%4.1fx) %8.3f / %8.3f\n", mb,
                    qint64(text.count('\n')), start.min, start.median, peak.median / 1e6,
                    peak.median / 1e6 / mb, write.min, write.median);
    }
    return 0;
}
