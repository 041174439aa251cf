// Measures the dives task on generated logs of 1,000, 10,000 and 50,000 dives against an
// in-process service that echoes the upload: building the upload, the request itself (wall
// time, with the service's own work), and writing the answer back, first matched by local
// number (a first synchronisation: every dive gets its service number) and then by service
// number (later ones: a new time stamp per dive), and writing the tables as the run does before
// the reference task (wall time, file in the page cache). Build and apply are processor times; each
// figure is the best of five fresh processes (and, within one, of three runs where it can be
// repeated). Prints the times, how they grow from 10,000 to 50,000
// dives, and the bytes sent per dive.
//
//   bench_sync       all three sizes, each in a fresh process, as a table
//   bench_sync N     one log of N dives in this process (also for a profiler): the figures in
//                    one line
#include "app/settings/tdm_const.h"
#include "cache/tdm_local_data.h"
#include "fake_service.h"
#include "net/service_endpoints.h"
#include "net/tdm_comm.h"
#include "store/tdm_rdp.h"
#include "sync/dive_answer.h"
#include "sync/dive_upload.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

const int kSizes[] = {1000, 10000, 50000};

const char* const kLocations[] = {"Cozumel, Quintana Roo", "Blue Hole, Dahab", "Great Barrier Reef",
                                  "Lake Malawi", "Scapa Flow, Orkney"};
const char* const kBuddies[] = {"Ana Martinez", "Tom Baker", "Keiko Tanaka", "Jonas Berg"};

double seconds(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e9;
}

void fillDive(Table& dives, int i) {
    dives.setValue("Date", QDate(1995, 1, 1).addDays(i / 2));
    dives.setValue("Time_Start", QTime(9 + (i % 2) * 5, (i * 7) % 60));
    dives.setValue("Location", kLocations[i % 5]);
    dives.setValue("id_Location", 1000 + i % 5);
    dives.setValue("Site", QStringLiteral("Site %1").arg(i % 40));
    for (const char* field : {"Dive_Media", "Dive_Type", "Activity", "dive_rating", "dive_day"}) {
        dives.setValue(field, 1 + i % 3);
    }
    dives.setValue("operator", "Blue Dive Center");
    dives.setValue("buddy", kBuddies[i % 4]);
    dives.setValue("id_buddy", 200 + i % 4);
}

void fillConditions(Table& conditions, int i) {
    conditions.setValue("dive_si", "01:30");
    conditions.setValue("depth", 8.5 + i % 10);
    conditions.setValue("max_depth", 12.0 + i % 25);
    conditions.setValue("depth_unit", 1);
    conditions.setValue("bottom_time", QStringLiteral("00:%1").arg(30 + i % 29));
    conditions.setValue("cond_visibility", 10.0 + i % 20);
    conditions.setValue("cond_temp_surf", 24.5);
    conditions.setValue("cond_temp_unit", 1);
    conditions.setValue("observations",
                        i % 3 == 0 ? QStringLiteral("Turtle at the #2 wall.\nGood visibility.")
                                   : QStringLiteral("Easy drift along the reef."));
}

void fillEquipment(Table& equipment, int i) {
    equipment.setValue("pres_in", 200.0);
    equipment.setValue("pres_out", 50.0 + i % 30);
    equipment.setValue("pres_unit", 1);
    equipment.setValue("Dc_Vendor", "Suunto");
    equipment.setValue("lead_weight", 6.0);
    equipment.setValue("pro_wet", 1);
    equipment.setValue("misc_comp", 1);
    equipment.setValue("cil_size", 12.0);
}

// A log of `count` dives in a fresh data folder, the transport pointed at `service`.
struct Log {
    QTemporaryDir folder;
    std::unique_ptr<Tdm_const> settings = std::make_unique<Tdm_const>();
    std::unique_ptr<Tdm_rdp> tables = std::make_unique<Tdm_rdp>();
    TdmComm comm;

    Log(int count, const FakeService& service) {
        qputenv("XDG_DATA_HOME", folder.path().toLocal8Bit());
        dm_const = settings.get();
        settings->DataModuleCreate();
        settings->AppTitle = QStringLiteral("NEREVA Desktop");
        settings->UrlSyncro = service.root() + QStringLiteral("serv0.9/syncro/");
        dm_rdp = tables.get();
        tables->DataModuleCreate();
        dmComm = &comm;
        for (int i = 0; i < count; ++i) {
            tables->cds_dives->append();
            fillDive(*tables->cds_dives, i);
            tables->cds_dives->post();
            for (Table* detail : {tables->cds_conditions, tables->cds_equipment}) {
                detail->append();
                detail == tables->cds_conditions ? fillConditions(*detail, i)
                                                 : fillEquipment(*detail, i);
                detail->post();
            }
        }
        tables->setBusy(true);  // as in a run: nothing is written until it ends
    }
    ~Log() {
        tables->setBusy(false);
        dmComm = nullptr;
        dm_rdp = nullptr;
        tables.reset();
        dm_const = nullptr;
        settings.reset();
    }
};

struct Figures {
    double build = 0;
    double request = 0;
    double firstApply = 0;
    double laterApply = 0;
    double save = 0;
    double bytesPerDive = 0;
    int skipped = 0;
};

// Processor time of this thread: the other programs on the machine count less than in wall time.
double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

const int kRepeats = 3;
const int kFreshRuns = 5;

double buildTime(Log& log, QString& body) {
    double best = 1e9;
    for (int i = 0; i < kRepeats; ++i) {
        const double start = cpuSeconds();
        body = DiveUpload(*log.tables).body();
        best = std::min(best, cpuSeconds() - start);
    }
    return best;
}

// Sends the upload (freed before the answer is applied, as in a run); the wall time includes
// the service's own work on it.
QStringList request(Log& log, QString body, double& time) {
    QElapsedTimer clock;
    clock.start();
    const QByteArray answer = log.comm.HttpMultiPartPost(ServiceEndpoints::dives(), body,
                                                         TdmComm::RequestKind::DiveUpload);
    time = seconds(clock);
    return DiveAnswer::lines(QString::fromLatin1(answer));
}

// As the run applies it: window messages are processed once per answer line.
double applyTime(Log& log, const QStringList& answer, int& skipped) {
    const double start = cpuSeconds();
    const AnswerOutcome outcome =
        DiveAnswer(*log.tables).apply(answer, [] { QCoreApplication::processEvents(); });
    skipped += outcome.skipped;
    return cpuSeconds() - start;
}

// The tables written whole, as the run writes them once the dives are in.
double saveTime(Log& log) {
    QElapsedTimer clock;
    clock.start();
    log.tables->saveAll();
    return seconds(clock);
}

// A first synchronisation (every dive found by its local number and given its service number,
// with a time stamp), then later ones (found by service number, a new time stamp each).
Figures measure(int count) {
    FakeService service;
    service.keepRequests = false;
    qint64 uploadBytes = 0;
    int stamp = 0;
    service.on("dives.php", [&](const FakeService::Request& request) {
        uploadBytes = request.formValue().size();
        ++stamp;
        return FakeService::Reply{
            200, echoDives(request.formValue(), 1000,
                           QByteArray("5/1/2024 10:") + QByteArray::number(10 + stamp))};
    });
    Log log(count, service);
    Figures figures;
    QString body;
    figures.build = buildTime(log, body);
    figures.firstApply =
        applyTime(log, request(log, std::move(body), figures.request), figures.skipped);
    figures.bytesPerDive = double(uploadBytes) / count;  // the multipart value
    figures.save = saveTime(log);
    figures.laterApply = 1e9;
    for (int i = 0; i < kRepeats; ++i) {
        double requestTime = 0;
        const QStringList answer = request(log, DiveUpload(*log.tables).body(), requestTime);
        figures.request = std::min(figures.request, requestTime);
        figures.laterApply = std::min(figures.laterApply, applyTime(log, answer, figures.skipped));
    }
    return figures;
}

// The figures of one size in a fresh process, so no size runs on a heap the others left.
bool measureOnce(int count, Figures& figures) {
    QProcess fresh;
    fresh.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    fresh.start(QCoreApplication::applicationFilePath(), {QString::number(count)});
    if (!fresh.waitForFinished(-1) || fresh.exitCode() != 0) {
        return false;
    }
    const QList<QByteArray> values = fresh.readAllStandardOutput().trimmed().split(' ');
    if (values.size() != 7) {
        return false;
    }
    figures = {values[0].toDouble(), values[1].toDouble(), values[2].toDouble(),
               values[3].toDouble(), values[4].toDouble(), values[5].toDouble(),
               values[6].toInt()};
    return true;
}

// Keeps the smaller of each figure.
Figures best(const Figures& a, const Figures& b) {
    return {std::min(a.build, b.build),
            std::min(a.request, b.request),
            std::min(a.firstApply, b.firstApply),
            std::min(a.laterApply, b.laterApply),
            std::min(a.save, b.save),
            b.bytesPerDive,
            std::max(a.skipped, b.skipped)};
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 1) {
        const Figures f = measure(QByteArray(argv[1]).toInt());
        std::printf("%.4f %.4f %.4f %.4f %.4f %.1f %d\n", f.build, f.request, f.firstApply,
                    f.laterApply, f.save, f.bytesPerDive, f.skipped);
        return 0;
    }
    std::printf("%8s %11s %13s %16s %16s %10s %11s\n", "dives", "build (s)", "request (s)",
                "first apply (s)", "later apply (s)", "save (s)", "bytes/dive");
    // The sizes take turns, so a busy spell of the shared machine does not fall on one of them
    // alone; each figure is the best of the fresh processes.
    QList<Figures> all(std::size(kSizes));
    for (int run = 0; run < kFreshRuns; ++run) {
        for (int i = 0; i < int(std::size(kSizes)); ++i) {
            Figures f;
            if (!measureOnce(kSizes[i], f)) {
                std::fprintf(stderr, "the measurement of %d dives failed\n", kSizes[i]);
                return 1;
            }
            all[i] = run == 0 ? f : best(all[i], f);
        }
    }
    for (int i = 0; i < int(std::size(kSizes)); ++i) {
        const Figures& f = all[i];
        std::printf("%8d %11.3f %13.3f %16.3f %16.3f %10.3f %11.0f%s\n", kSizes[i], f.build,
                    f.request, f.firstApply, f.laterApply, f.save, f.bytesPerDive,
                    f.skipped ? "  (lines skipped!)" : "");
    }
    const Figures& ten = all[1];
    const Figures& fifty = all[2];
    std::printf(
        "\n50,000 / 10,000 dives: build %.2fx, request %.2fx, first apply %.2fx, "
        "later apply %.2fx, save %.2fx (linear: 5x)\n",
        fifty.build / ten.build, fifty.request / ten.request, fifty.firstApply / ten.firstApply,
        fifty.laterApply / ten.laterApply, fifty.save / ten.save);
    return 0;
}
