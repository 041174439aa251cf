// Measures the reference data cache on generated locations.xml files of about 6, 20 and 61 MB:
// opening the store (parse into the tree) in a fresh process with its peak memory, merging a
// downloaded container of 10,000 locations (half of them already stored), and writing the
// store back. Each size runs in several fresh processes; the table gives min and median.
//
//   bench_cache                 runs everything and prints a table
//   bench_cache --run FILE      (internal) one fresh process, as key=value
#include "../bench_support.h"
#include "cache/tdm_local_data.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

const int kLocations[] = {10000, 33000, 100000};
constexpr int kRuns = 5;
constexpr int kMerged = 10000;

double seconds(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e9;
}

QByteArray location(int id, const char* suffix) {
    QByteArray xml = "<location><id>" + QByteArray::number(id) + "</id><name>Location number " +
                     QByteArray::number(id) + suffix + ", Quintana Roo</name><smallname>Loc " +
                     QByteArray::number(id) + "</smallname><regionname>Caribbean - Location " +
                     QByteArray::number(id) + "</regionname><country>Mexico</country><state>" +
                     "Quintana Roo</state><county>Cozumel</county><region>Caribbean</region>"
                     "<sites>";
    for (int site = 0; site < 5; ++site) {
        xml += "<site><id>" + QByteArray::number(id * 10 + site) + "</id><name>Site " +
               QByteArray::number(site) + " of location " + QByteArray::number(id) +
               "</name></site>";
    }
    return xml + "</sites></location>";
}

QByteArray store(int count) {
    QByteArray xml = kLatin1XmlDeclaration;
    xml += "<init>";
    for (int i = 0; i < count; ++i) {
        xml += location(i, "");
    }
    return xml + "</init>";
}

// Half of the merged locations are stored already, half are new.
QByteArray download(int stored) {
    QByteArray xml = "<locations>";
    for (int i = 0; i < kMerged; ++i) {
        xml += location(i % 2 ? stored - 1 - i : stored + i, " (updated)");
    }
    return xml + "</locations>";
}

void printValue(const char* key, double value) {
    std::printf("%s=%.9g\n", key, value);
}

int runOnce(const QString& fileName) {
    const qint64 before = BenchSupport::statusBytes("VmRSS:");
    XmlStore locations;
    QElapsedTimer clock;
    clock.start();
    TdmLocalData::ActiveXML(locations, fileName);
    printValue("open", seconds(clock));
    printValue("peak", double(BenchSupport::statusBytes("VmHWM:") - before));
    printValue("held", double(BenchSupport::statusBytes("VmRSS:") - before));
    const int stored = locations.doc.documentElement().childElementCount();
    TdmLocalData cache;
    cache.parseAnswer(download(stored));
    clock.restart();
    TdmLocalData::AddXMLNode(locations, cache.XMLGet.documentElement());
    printValue("merge", seconds(clock));
    if (locations.doc.documentElement().childElementCount() != stored + kMerged / 2) {
        std::fprintf(stderr, "the merge lost or doubled records: %d stored, %d after\n", stored,
                     locations.doc.documentElement().childElementCount());
        return 1;
    }
    locations.fileName += QStringLiteral(".saved");  // every run starts from the same file
    clock.restart();
    TdmLocalData::save(locations);
    printValue("save", seconds(clock));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--run") == 0) {
        return runOnce(QString::fromLocal8Bit(argv[2]));
    }
    std::printf("locations.xml, %d fresh processes per size (min / median)\n", kRuns);
    std::printf("%10s %8s %17s %17s %13s %15s %15s\n", "locations", "MB", "open s",
                "peak MB (x file)", "held MB", "merge 10k s", "save s");
    for (const int count : kLocations) {
        QTemporaryDir folder;
        const QString fileName = folder.filePath(QStringLiteral("locations.xml"));
        QFile file(fileName);
        const QByteArray bytes = store(count);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            return 1;
        }
        file.close();
        QMap<QString, QList<double>> runs;
        for (int run = 0; run < kRuns; ++run) {
            const QMap<QString, double> values = BenchSupport::freshRun({"--run", fileName});
            if (values.isEmpty()) {
                return 1;
            }
            for (auto it = values.cbegin(); it != values.cend(); ++it) {
                runs[it.key()] << it.value();
            }
        }
        const double mb = double(bytes.size()) / 1e6;
        const BenchSupport::Spread open = BenchSupport::spread(runs["open"]);
        const BenchSupport::Spread peak = BenchSupport::spread(runs["peak"]);
        const BenchSupport::Spread held = BenchSupport::spread(runs["held"]);
        const BenchSupport::Spread merge = BenchSupport::spread(runs["merge"]);
        const BenchSupport::Spread save = BenchSupport::spread(runs["save"]);
        std::printf(
            "%10d %8.1f %8.2f / %6.2f %6.0f (%4.1fx) %6.0f / %4.0f %6.3f / %6.3f %6.2f / %6.2f\n",
            count, mb, open.min, open.median, peak.median / 1e6, peak.median / 1e6 / mb,
            held.min / 1e6, held.median / 1e6, merge.min, merge.median, save.min, save.median);
    }
    return 0;
}
