// Measures synchronisation on generated logs of 1,000, 10,000 and 50,000 dives (the shared
// benchmark log) against an in-process service on a thread of its own that echoes the upload,
// so its work is not the program's.
//
// The whole run: the Synchronize command of a shown main window opens the dialog, Start runs
// every task (member, deletion queue, dives, reference data) as a first synchronisation, and the
// dialog is closed; a 1 ms heartbeat timer on the user-interface thread gives the longest time
// the thread held the event loop (nothing repainted, Cancel could not be clicked) from the
// command to its end, and the wall time of the run.
//
// The dives task in pieces: building the upload's body (processor time), the request (wall
// time, with the service's own work), writing the answer back, first matched by local number (a
// first synchronisation) and then by service number (later ones: a new time stamp per dive), and
// writing the tables. Build and apply are processor times.
//
// Every figure is the minimum / median of fresh processes (5 unless told); within one process
// the pieces that can be repeated take the best of three.
//
//   bench_sync [--runs R] [dives...]   the table (default 1000 10000 50000)
//   bench_sync --run N                 (internal) one whole run of N dives in this process
//   bench_sync --pieces N              (internal) the pieces of N dives in this process
#include "../bench_support.h"
#include "app/settings/tdm_const.h"
#include "bench_log.h"
#include "cache/tdm_local_data.h"
#include "fake_service.h"
#include "net/service_endpoints.h"
#include "net/tdm_comm.h"
#include "store/tdm_rdp.h"
#include "sync/dive_answer.h"
#include "sync/dive_upload.h"
#include "sync/time_slices.h"
#include "sync/ui/synchronize_command.h"
#include "sync/ui/tfrm_syncro.h"
#include "ui/forms/dialogs.h"
#include "ui/main/tfrm_principal.h"
#include "ui_tfrm_syncro.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

namespace {

constexpr int kDefaultRuns = 5;
constexpr int kRepeats = 3;
constexpr int kHeartbeatMs = 1;

double seconds(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e9;
}

// Processor time of this thread: the other programs on the machine count less than in wall time.
double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// The offscreen platform's notice has no logging category of its own.
void quietHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (!message.contains(QLatin1String("propagateSizeHints"))) {
        std::fprintf(stderr, "%d: %s\n", int(type), qPrintable(message));
    }
}

// The service on a thread of its own: every script the run asks for, the dives echoed with a
// service number for new dives and a new time stamp per request.
class Service {
public:
    Service() {
        thread_.start();
        anchor_.moveToThread(&thread_);
        inThread([this] {
            service_ = new FakeService;
            service_->keepRequests = false;
            service_->answer("personal.xml.php", "<member><name>Ana</name></member>");
            service_->answer("delete.php", "OK");
            service_->on("dives.php", [this](const FakeService::Request& request) {
                uploadBytes_ = request.formValue().size();
                ++stamp_;
                return FakeService::Reply{
                    200, echoDives(request.formValue(), 1000,
                                   QByteArray("5/1/2024 10:") + QByteArray::number(10 + stamp_))};
            });
            service_->answer("localdata.xml.php", "<reference><countries/></reference>");
            service_->answer("locations.xml.php", "<list/>");
            service_->answer("contactlist.xml.php", "<list/>");
        });
    }
    ~Service() {
        inThread([this] { delete service_; });
        thread_.quit();
        thread_.wait();
    }
    QString root() const { return service_->root(); }
    qint64 uploadBytes() const { return uploadBytes_; }

private:
    void inThread(const std::function<void()>& work) {
        QMetaObject::invokeMethod(&anchor_, work, Qt::BlockingQueuedConnection);
    }

    QThread thread_;
    QObject anchor_;
    FakeService* service_ = nullptr;
    std::atomic<qint64> uploadBytes_{0};
    int stamp_ = 0;
};

// A generated log of `count` dives in a fresh data folder, a member with a service account, the
// transport pointed at `service`.
struct Log {
    QTemporaryDir folder;
    std::unique_ptr<Tdm_const> settings = std::make_unique<Tdm_const>();
    std::unique_ptr<TdmLocalData> cache = std::make_unique<TdmLocalData>();
    std::unique_ptr<Tdm_rdp> tables = std::make_unique<Tdm_rdp>();
    TdmComm comm;

    Log(int count, const Service& service) {
        qputenv("XDG_DATA_HOME", folder.path().toLocal8Bit());
        dm_const = settings.get();
        settings->DataModuleCreate();
        settings->AppTitle = QStringLiteral("NEREVA Desktop");
        settings->BaseUrl = service.root();
        settings->UrlSyncro = service.root() + QStringLiteral("serv0.9/syncro/");
        settings->UrlInfo = service.root() + QStringLiteral("serv0.9/info/");
        dmLocalData = cache.get();
        cache->DataModuleCreate();
        dm_rdp = tables.get();
        tables->DataModuleCreate();
        dmComm = &comm;
        BenchLog::generate(*tables, count);
        Table* member = tables->cds_info;
        member->first();
        member->edit();
        member->setValue(QStringLiteral("inet_user"), QStringLiteral("ana"));
        member->setValue(QStringLiteral("inet_pass"), QStringLiteral("secret"));
        member->post();
        tables->saveAll();
    }
    ~Log() {
        dmComm = nullptr;
        dm_rdp = nullptr;
        tables.reset();
        dmLocalData = nullptr;
        cache.reset();
        dm_const = nullptr;
        settings.reset();
    }
};

// The longest time between two ticks of a timer on this thread.
class Heartbeat {
public:
    Heartbeat() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(kHeartbeatMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    }
    void start() {
        longestNs_ = 0;
        clock_.start();
        timer_.start();
    }
    double stopMs() {
        tick();
        timer_.stop();
        return double(longestNs_) / 1e6;
    }

private:
    void tick() {
        longestNs_ = std::max(longestNs_, clock_.nsecsElapsed());
        clock_.restart();
    }
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longestNs_ = 0;
};

// --- the whole run with its dialog

// Prints: longest hold (ms), run wall time (s), the run's outcome text.
int measureRun(int count) {
    Service service;
    Log log(count, service);
    log.comm.setIdleTimeout(10 * 60 * 1000);
    TFrm_Principal window;
    window.FormCreate(QRect(0, 0, 1920, 1080));
    window.show();
    QApplication::processEvents();
    Dialogs::setMessageHandler([](const Dialogs::Prompt& prompt) {
        std::fprintf(stderr, "message: %s\n", qPrintable(prompt.text));
        return QMessageBox::Ok;
    });
    double runSeconds = 0;
    QString outcome;
    Dialogs::setModalHandler([&](QDialog* dialog) {
        auto* sync = static_cast<TFrm_Syncro*>(dialog);
        sync->show();
        QElapsedTimer clock;
        clock.start();
        sync->form()->bt_Start->click();
        runSeconds = seconds(clock);
        outcome = sync->form()->Label1->text();
        sync->form()->bt_Start->click();  // finish: closes the dialog
        return sync->result();
    });
    Heartbeat heartbeat;
    heartbeat.start();
    Ac_SyncronizeExecute(window);
    QApplication::processEvents();
    const double hold = heartbeat.stopMs();
    Dialogs::setModalHandler({});
    Dialogs::setMessageHandler({});
    std::printf("%.2f %.3f %s\n", hold, runSeconds, qPrintable(outcome));
    return outcome == QLatin1String("finished") ? 0 : 1;
}

// --- the dives task in pieces

struct Pieces {
    double build = 0;
    double request = 0;
    double firstApply = 0;
    double laterApply = 0;
    double save = 0;
    double bytesPerDive = 0;
    int skipped = 0;
};

// The multipart body with every record, written as the run writes it.
MultipartBody build(Log& log) {
    DiveUpload records(*log.tables);
    MultipartBody body(QDateTime::currentDateTime(), records.sizeGuess());
    records.write(body.buffer());
    return body;
}

double buildTime(Log& log, MultipartBody& body) {
    double best = 1e9;
    for (int i = 0; i < kRepeats; ++i) {
        const double start = cpuSeconds();
        body = build(log);
        best = std::min(best, cpuSeconds() - start);
    }
    return best;
}

// Sends the upload; the wall time includes the service's own work on it.
AnswerLines request(Log& log, MultipartBody body, double& time) {
    QElapsedTimer clock;
    clock.start();
    AnswerLines answer(log.comm.HttpMultiPartPost(ServiceEndpoints::dives(), std::move(body),
                                                  TdmComm::RequestKind::DiveUpload));
    time = seconds(clock);
    return answer;
}

// As the run applies it, in slices between which the events run.
double applyTime(Log& log, AnswerLines answer, int& skipped) {
    const double start = cpuSeconds();
    TimeSlices slices;
    const AnswerOutcome outcome =
        DiveAnswer(*log.tables, [&] { slices.yield(); }).apply(std::move(answer));
    skipped += outcome.skipped;
    return cpuSeconds() - start;
}

double saveTime(Log& log) {
    QElapsedTimer clock;
    clock.start();
    log.tables->saveAll();
    return seconds(clock);
}

int measurePieces(int count) {
    Service service;
    Log log(count, service);
    log.comm.setIdleTimeout(10 * 60 * 1000);
    log.tables->setBusy(true);  // as in a run: nothing is written until it ends
    Pieces f;
    MultipartBody body(QDateTime::currentDateTime());
    f.build = buildTime(log, body);
    f.firstApply = applyTime(log, request(log, std::move(body), f.request), f.skipped);
    f.bytesPerDive = double(service.uploadBytes()) / count;  // the multipart value
    f.save = saveTime(log);
    f.laterApply = 1e9;
    for (int i = 0; i < kRepeats; ++i) {
        double requestTime = 0;
        AnswerLines answer = request(log, build(log), requestTime);
        f.request = std::min(f.request, requestTime);
        f.laterApply = std::min(f.laterApply, applyTime(log, std::move(answer), f.skipped));
    }
    log.tables->setBusy(false);
    std::printf("%.4f %.4f %.4f %.4f %.4f %.1f %d\n", f.build, f.request, f.firstApply,
                f.laterApply, f.save, f.bytesPerDive, f.skipped);
    return 0;
}

// --- the driver

// The numbers one fresh process printed; empty when it failed.
QList<double> runFresh(const QString& mode, int count) {
    QProcess fresh;
    fresh.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    fresh.start(QCoreApplication::applicationFilePath(), {mode, QString::number(count)});
    if (!fresh.waitForFinished(-1) || fresh.exitStatus() != QProcess::NormalExit ||
        fresh.exitCode() != 0) {
        return {};
    }
    QList<double> values;
    for (const QByteArray& value : fresh.readAllStandardOutput().trimmed().split(' ')) {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (ok) {
            values << number;
        }
    }
    return values;
}

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// Column `column` of every run.
QList<double> column(const QList<QList<double>>& runs, int column) {
    QList<double> values;
    for (const QList<double>& run : runs) {
        values << run.value(column);
    }
    return values;
}

QString minAndMedian(const QList<double>& values, int decimals) {
    return QStringLiteral("%1 / %2")
        .arg(*std::min_element(values.cbegin(), values.cend()), 0, 'f', decimals)
        .arg(median(values), 0, 'f', decimals);
}

int runAll(const QStringList& arguments) {
    const auto [runs, sizes] = BenchSupport::runsAndSizes(arguments, kDefaultRuns);
    // The sizes take turns, so a busy spell of the shared machine does not fall on one alone.
    QList<QList<QList<double>>> whole(sizes.size());
    QList<QList<QList<double>>> pieces(sizes.size());
    for (int run = 0; run < runs; ++run) {
        for (int i = 0; i < sizes.size(); ++i) {
            const QList<double> w = runFresh(QStringLiteral("--run"), sizes[i]);
            const QList<double> p = runFresh(QStringLiteral("--pieces"), sizes[i]);
            if (w.size() < 2 || p.size() != 7) {
                std::fprintf(stderr, "the measurement of %d dives failed\n", sizes[i]);
                return 1;
            }
            whole[i] << w;
            pieces[i] << p;
        }
    }
    std::printf("synchronisation, min / median of %d fresh runs\n\n", runs);
    std::printf("%8s %17s %15s %13s %13s %15s %15s %13s %10s\n", "dives", "longest hold ms",
                "whole run s", "build s", "request s", "first apply s", "later apply s", "save s",
                "bytes/dive");
    for (int i = 0; i < sizes.size(); ++i) {
        std::printf("%8d %17s %15s %13s %13s %15s %15s %13s %10.0f%s\n", sizes[i],
                    qPrintable(minAndMedian(column(whole[i], 0), 1)),
                    qPrintable(minAndMedian(column(whole[i], 1), 2)),
                    qPrintable(minAndMedian(column(pieces[i], 0), 3)),
                    qPrintable(minAndMedian(column(pieces[i], 1), 3)),
                    qPrintable(minAndMedian(column(pieces[i], 2), 3)),
                    qPrintable(minAndMedian(column(pieces[i], 3), 3)),
                    qPrintable(minAndMedian(column(pieces[i], 4), 3)), pieces[i][0][5],
                    median(column(pieces[i], 6)) > 0 ? "  (lines skipped!)" : "");
    }
    const int ten = int(sizes.indexOf(10000));
    const int fifty = int(sizes.indexOf(50000));
    if (ten >= 0 && fifty >= 0) {
        std::printf("\n50,000 / 10,000 dives (medians): whole run %.2fx (linear: 5x)\n",
                    median(column(whole[fifty], 1)) / median(column(whole[ten], 1)));
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietHandler);
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.value(0) == "--run") {
        return measureRun(arguments.value(1).toInt());
    }
    if (arguments.value(0) == "--pieces") {
        return measurePieces(arguments.value(1).toInt());
    }
    return runAll(arguments);
}
