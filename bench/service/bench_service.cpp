// The service on loopback: member and location searches per second and their 99th percentile
// latency under wrk, and dives.php (a whole synchronisation) for members with 1,000, 10,000 and
// 50,000 dives: the shared benchmark log, uploaded as the desktop builds it, first as new dives
// and then, with the answer written back, as a later synchronisation. Over SQLite in a
// temporary folder, or over the PostgreSQL database named by NEREVA_TEST_DATABASE
// (tests/service/with_postgres.sh starts one).
#include "bench_log.h"
#include "bench_tables.h"
#include "service/database.h"
#include "service/passwords.h"
#include "service_requests.h"
#include "store/tdm_rdp.h"
#include "sync/dive_answer.h"
#include "sync/dive_upload.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace ServiceRequests;

namespace {

constexpr int kRuns = 5;
constexpr int kSeconds = 5;
constexpr int kMembers = 10000;
constexpr int kLocations = 5000;
const QString kPassword = QStringLiteral("benchpw");

void print(const QString& line) {
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

struct Figures {
    double min = 0;
    double median = 0;
};

Figures figures(QList<double> values) {
    std::sort(values.begin(), values.end());
    return {values.first(), values[values.size() / 2]};
}

void seedMembers(Database& db) {
    const QString hash = Passwords::hash(kPassword);
    const QStringList first = {QStringLiteral("Ana"),   QStringLiteral("Tom"),
                               QStringLiteral("Keiko"), QStringLiteral("Lars"),
                               QStringLiteral("Maria"), QStringLiteral("Omar")};
    const QStringList last = {QStringLiteral("Martinez"), QStringLiteral("Baker"),
                              QStringLiteral("Sato"),     QStringLiteral("Berg"),
                              QStringLiteral("Rossi"),    QStringLiteral("Haddad")};
    QList<QVariantList> rows;
    for (int i = 0; i < kMembers; ++i) {
        const QString user = QStringLiteral("diver%1").arg(i, 5, 10, QLatin1Char('0'));
        const QString name =
            first[i % first.size()] + u' ' + last[(i / 7) % last.size()] + QString::number(i);
        const QString email = user + QStringLiteral("@example.org");
        rows << QVariantList{user,
                             hash,
                             email,
                             email,
                             name,
                             name.toCaseFolded(),
                             QStringLiteral("Mexico"),
                             i % 3,
                             1,
                             QStringLiteral("2024-01-01 00:00:00")};
    }
    rows << QVariantList{QStringLiteral("bencher"),
                         hash,
                         QStringLiteral("bench@example.org"),
                         QStringLiteral("bench@example.org"),
                         QStringLiteral("Bench"),
                         QStringLiteral("bench"),
                         QString(),
                         0,
                         0,
                         QStringLiteral("2024-01-01 00:00:00")};
    db.insertRows(
        QStringLiteral("members"),
        {QStringLiteral("user_name"), QStringLiteral("password_hash"), QStringLiteral("email"),
         QStringLiteral("email_key"), QStringLiteral("name"), QStringLiteral("name_key"),
         QStringLiteral("country"), QStringLiteral("pub_personal"), QStringLiteral("pub_dives"),
         QStringLiteral("created_at")},
        rows);
}

void seedLocations(Database& db) {
    const QStringList countries = {QStringLiteral("Mexico"), QStringLiteral("Egypt"),
                                   QStringLiteral("Indonesia"), QStringLiteral("Australia"),
                                   QStringLiteral("Belize")};
    QList<QVariantList> rows;
    for (int i = 0; i < kLocations; ++i) {
        const QString name = QStringLiteral("Reef %1 Bay").arg(i, 4, 10, QLatin1Char('0'));
        const QString country = countries[i % countries.size()];
        rows << QVariantList{name,
                             name,
                             name,
                             country,
                             QStringLiteral("State %1").arg(i % 40),
                             QString(),
                             QStringLiteral("Region %1").arg(i % 12),
                             name.toCaseFolded(),
                             country.toCaseFolded()};
    }
    QList<QVariantList> sites;
    db.insertRows(
        QStringLiteral("locations"),
        {QStringLiteral("name"), QStringLiteral("smallname"), QStringLiteral("regionname"),
         QStringLiteral("country"), QStringLiteral("state"), QStringLiteral("county"),
         QStringLiteral("region"), QStringLiteral("name_key"), QStringLiteral("country_key")},
        rows, QStringLiteral("id"), [&sites](const QSqlQuery& q) {
            for (int s = 1; s <= 3; ++s) {
                sites << QVariantList{q.value(0).toInt(), QStringLiteral("Site %1").arg(s)};
            }
        });
    db.insertRows(QStringLiteral("sites"), {QStringLiteral("location_id"), QStringLiteral("name")},
                  sites);
}

// CPU time of this process (the service's threads) in milliseconds.
double cpuMilliseconds() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    stat.open(QIODevice::ReadOnly);
    const QList<QByteArray> fields = stat.readAll().split(')').last().split(' ');
    // After the command's closing parenthesis: state is field 1, utime 12 and stime 13.
    return (fields.value(12).toDouble() + fields.value(13).toDouble()) * 1000.0 /
           double(sysconf(_SC_CLK_TCK));
}

// wrk's script: every request another search, with the bench member's credentials.
QString wrkScript(const QStringList& paths) {
    QString script =
        QStringLiteral("wrk.headers[\"Authorization\"] = \"Basic %1\"\nlocal paths = {\n")
            .arg(QString::fromLatin1(QByteArray("bencher:" + kPassword.toLatin1()).toBase64()));
    for (const QString& path : paths) {
        script += QStringLiteral("  \"%1\",\n").arg(path);
    }
    script += QStringLiteral(
        "}\nlocal i = 0\nrequest = function()\n  i = i % #paths + 1\n"
        "  return wrk.format(\"GET\", paths[i])\nend\n");
    return script;
}

double milliseconds(const QString& value, const QString& unit) {
    const double number = value.toDouble();
    return unit == QLatin1String("us")  ? number / 1000
           : unit == QLatin1String("s") ? number * 1000
                                        : number;
}

// Requests per second and the 99th percentile in milliseconds, over kRuns runs of wrk.
void searchBench(const QString& title, quint16 port, const QStringList& paths) {
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("search.lua"));
    QFile file(script);
    file.open(QIODevice::WriteOnly);
    file.write(wrkScript(paths).toUtf8());
    file.close();
    QList<double> rates;
    QList<double> p99s;
    QList<double> cpu;
    for (int run = 0; run < kRuns; ++run) {
        const double cpuBefore = cpuMilliseconds();
        QProcess wrk;
        wrk.start(QStringLiteral("wrk"),
                  {QStringLiteral("-t2"), QStringLiteral("-c16"),
                   QStringLiteral("-d%1s").arg(kSeconds), QStringLiteral("--latency"),
                   QStringLiteral("-s"), script, QStringLiteral("http://127.0.0.1:%1").arg(port)});
        wrk.waitForFinished((kSeconds + 30) * 1000);
        const QString out = QString::fromUtf8(wrk.readAllStandardOutput());
        const auto rate =
            QRegularExpression(QStringLiteral("Requests/sec:\\s+([\\d.]+)")).match(out);
        const auto p99 =
            QRegularExpression(QStringLiteral("\\s99%\\s+([\\d.]+)(us|ms|s)")).match(out);
        const auto errors =
            QRegularExpression(QStringLiteral("Non-2xx or 3xx responses: (\\d+)")).match(out);
        if (!rate.hasMatch() || !p99.hasMatch() || errors.hasMatch()) {
            print(QStringLiteral("wrk said: ") + out);
            return;
        }
        rates << rate.captured(1).toDouble();
        p99s << milliseconds(p99.captured(1), p99.captured(2));
        cpu << (cpuMilliseconds() - cpuBefore) * 1000.0 / (rates.last() * kSeconds);
    }
    const Figures r = figures(rates);
    const Figures p = figures(p99s);
    print(QStringLiteral("%1  %2  %3  %4  %5  %6")
              .arg(title, -18)
              .arg(r.min, 10, 'f', 0)
              .arg(r.median, 10, 'f', 0)
              .arg(p.min, 9, 'f', 2)
              .arg(p.median, 9, 'f', 2)
              .arg(figures(cpu).median, 12, 'f', 0));
}

QStringList memberSearches() {
    QStringList paths;
    for (int i = 0; i < 64; ++i) {
        // "r0151" finds diver01510 to diver01519.
        paths << QStringLiteral(
                     "/serv0.9/info/"
                     "contactlist.xml.php?param_name=&param_user=r%1&param_op=-1&param_email=")
                     .arg(i * 151 % 1000, 4, 10, QLatin1Char('0'));
    }
    return paths;
}

QStringList locationSearches() {
    QStringList paths;
    for (int i = 0; i < 64; ++i) {
        // "reef 037" finds Reef 0370 Bay to Reef 0379 Bay.
        paths << QStringLiteral(
                     "/serv0.9/info/"
                     "locations.xml.php?param_idioma=en&param_name=reef%20%1&param_country=")
                     .arg(i * 37 % 500, 3, 10, QLatin1Char('0'));
    }
    return paths;
}

// The shared benchmark log of `count` dives in the desktop's tables, in a data folder of its own.
struct DesktopLog : BenchTables {
    explicit DesktopLog(int count) {
        BenchLog::generate(*tables, count);
        forgetServiceNumbers();
    }

    // The log's numbers are another service's: this one starts from a log it has never seen.
    void forgetServiceNumbers() {
        Table* dives = tables->cds_dives;
        dives->disableControls();
        for (dives->first(); !dives->eof(); dives->next()) {
            dives->edit();
            for (const char* field : {"id_dive", "last_update", "certify_by"}) {
                dives->setNull(QString::fromLatin1(field));
            }
            dives->post();
        }
        dives->enableControls();
    }

    // The dives.php value as the desktop builds it.
    QByteArray upload() {
        DiveUpload upload(*tables);
        QByteArray value;
        value.reserve(upload.sizeGuess());
        upload.write(value);
        return value;
    }
    // The answer written back as the desktop writes it: the dives get the service's numbers.
    void apply(const QByteArray& answer) { DiveAnswer(*tables).apply(AnswerLines(answer)); }
};

HttpAnswer postDives(quint16 port, const QString& user, const QByteArray& value) {
    MultipartBody body(QDateTime::currentDateTime(), value.size());
    body.buffer() += value;
    const QByteArray boundary = body.boundary();
    const QByteArray bytes = body.finish();
    return sendRaw(port,
                   "POST /serv0.9/syncro/dives.php HTTP/1.0\r\nConnection: keep-alive\r\n"
                   "Content-Type: multipart/form-data; boundary=" +
                       boundary + "\r\nContent-Length: " + QByteArray::number(bytes.size()) +
                       "\r\nAuthorization: Basic " +
                       QByteArray(user.toLatin1() + ':' + kPassword.toLatin1()).toBase64() +
                       "\r\n\r\n" + bytes);
}

void registerSyncMember(Database& db, const QString& user) {
    const QString email = user + QStringLiteral("@example.org");
    db.run(QStringLiteral(
               "INSERT INTO members (user_name, password_hash, email, email_key, created_at) "
               "VALUES (?, ?, ?, ?, ?)"),
           {user, Passwords::hash(kPassword), email, email, QStringLiteral("2024-01-01 00:00:00")});
}

void diveBench(Database& db, quint16 port, int dives) {
    const QString user = QStringLiteral("sync%1").arg(dives);
    registerSyncMember(db, user);
    DesktopLog log(dives);
    const QByteArray firstUpload = log.upload();
    QElapsedTimer timer;
    timer.start();
    const HttpAnswer created = postDives(port, user, firstUpload);
    const double firstMs = timer.nsecsElapsed() / 1e6;
    if (created.status != 200 || answerDives(created).size() != dives) {
        print(QStringLiteral("dives.php answered %1 with %2 dives")
                  .arg(created.status)
                  .arg(answerDives(created).size()));
        return;
    }
    log.apply(created.body);
    const QByteArray body = log.upload();
    QList<double> times;
    for (int run = 0; run < kRuns; ++run) {
        timer.restart();
        const HttpAnswer again = postDives(port, user, body);
        times << timer.nsecsElapsed() / 1e6;
        if (answerDives(again).size() != dives) {
            print(QStringLiteral("a synchronisation lost dives"));
            return;
        }
    }
    const Figures t = figures(times);
    print(QStringLiteral("%1  %2  %3  %4  %5  %6")
              .arg(dives, 7)
              .arg(body.size() / 1e6, 8, 'f', 1)
              .arg(firstMs, 11, 'f', 0)
              .arg(t.min, 9, 'f', 0)
              .arg(t.median, 9, 'f', 0)
              .arg(t.median * 1000 / dives, 12, 'f', 1));
}

void searchTable(quint16 port) {
    print(QStringLiteral("\nSearches: wrk -t2 -c16, %1 s a run, %2 runs").arg(kSeconds).arg(kRuns));
    print(QStringLiteral("%1  %2  %3  %4  %5  %6")
              .arg(QStringLiteral("search"), -18)
              .arg(QStringLiteral("req/s min"), 10)
              .arg(QStringLiteral("median"), 10)
              .arg(QStringLiteral("p99 ms min"), 9)
              .arg(QStringLiteral("median"), 9)
              .arg(QStringLiteral("service us/req"), 12));
    searchBench(QStringLiteral("member search"), port, memberSearches());
    searchBench(QStringLiteral("location search"), port, locationSearches());
}

void diveTable(ServiceFixture& service) {
    print(QStringLiteral("\ndives.php, the whole log sent and answered; %1 runs (ms)").arg(kRuns));
    print(QStringLiteral("%1  %2  %3  %4  %5  %6")
              .arg(QStringLiteral("dives"), 7)
              .arg(QStringLiteral("MB sent"), 8)
              .arg(QStringLiteral("first sync"), 11)
              .arg(QStringLiteral("min"), 9)
              .arg(QStringLiteral("median"), 9)
              .arg(QStringLiteral("us per dive"), 12));
    auto db = service.database();
    for (const int dives : {1000, 10000, 50000}) {
        diveBench(*db, service.port, dives);
    }
}

}  // namespace

// Arguments "searches" or "dives" run that table alone.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList parts = QCoreApplication::arguments().mid(1);
    const auto wanted = [&parts](const char* part) {
        return parts.isEmpty() || parts.contains(QLatin1String(part));
    };
    if (wanted("searches") && QStandardPaths::findExecutable(QStringLiteral("wrk")).isEmpty()) {
        print(QStringLiteral("wrk is missing (scripts/install-deps installs it)"));
        return 1;
    }
    ServiceFixture service(0, ServiceOptions().threads);  // empties a PostgreSQL database first
    const QString engine = service.options.database.isEmpty() ? QStringLiteral("SQLite")
                                                              : QStringLiteral("PostgreSQL");
    {
        auto db = service.database();
        seedMembers(*db);
        seedLocations(*db);
    }
    print(QStringLiteral("%1, %2 service threads, %3 members, %4 locations")
              .arg(engine)
              .arg(service.options.threads)
              .arg(kMembers)
              .arg(kLocations));
    if (wanted("searches")) {
        searchTable(service.port);
    }
    if (wanted("dives")) {
        diveTable(service);
    }
    return 0;
}
