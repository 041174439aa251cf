#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <algorithm>

// What the benchmark programs share: memory figures of this process, and measurements taken in
// a fresh copy of the program that prints them as key=value lines.
namespace BenchSupport {

// A field of /proc/self/status in bytes ("VmRSS:" now, "VmHWM:" the peak).
inline qint64 statusBytes(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').value(0).toLongLong() * 1024;
        }
    }
    return 0;
}

// Runs this program again with `arguments` (and `environment`) and collects its key=value
// lines; empty when it failed.
inline QMap<QString, double> freshRun(
    const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess fresh;
    fresh.setProcessEnvironment(environment);
    fresh.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    fresh.start(QCoreApplication::applicationFilePath(), arguments);
    QMap<QString, double> values;
    if (!fresh.waitForFinished(-1) || fresh.exitCode() != 0) {
        return values;
    }
    for (const QByteArray& line : fresh.readAllStandardOutput().split('\n')) {
        const int equals = line.indexOf('=');
        if (equals > 0) {
            values[QString::fromLatin1(line.left(equals))] = line.mid(equals + 1).toDouble();
        }
    }
    return values;
}

// The common command line "[--runs R] [dives...]": how many fresh runs (at least 1) and the log
// sizes (1,000, 10,000 and 50,000 dives when none is given).
struct RunsAndSizes {
    int runs;
    QList<int> sizes;
};

inline RunsAndSizes runsAndSizes(QStringList arguments, int defaultRuns) {
    RunsAndSizes parsed{defaultRuns, {}};
    if (arguments.value(0) == QLatin1String("--runs")) {
        parsed.runs = qMax(1, arguments.value(1).toInt());
        arguments = arguments.mid(2);
    }
    for (const QString& size : arguments) {
        parsed.sizes << size.toInt();
    }
    if (parsed.sizes.isEmpty()) {
        parsed.sizes = {1000, 10000, 50000};
    }
    return parsed;
}

struct Spread {
    double min;
    double median;
};

inline Spread spread(QList<double> values) {
    std::sort(values.begin(), values.end());
    return {values.first(), values[values.size() / 2]};
}

}  // namespace BenchSupport
