#pragma once

#include "service/database.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// The real nereva-service program on a free port of 127.0.0.1, over a SQLite file in a
// temporary folder, or over the PostgreSQL database named by NEREVA_TEST_DATABASE (emptied
// first by the caller with emptyTestDatabase()). Its log (standard error) is kept.
class ServiceProcess {
public:
    explicit ServiceProcess(const QStringList& options = {}) {
        QStringList arguments = {QStringLiteral("--data"),    dir.path(),
                                 QStringLiteral("--port"),    QStringLiteral("0"),
                                 QStringLiteral("--threads"), QStringLiteral("2")};
        arguments << databaseArguments() << options;
        process.start(QStringLiteral(NEREVA_SERVICE_BINARY), arguments);
        const QRegularExpression listening(QStringLiteral("listening on \\S+ port (\\d+)"));
        QElapsedTimer waited;
        waited.start();
        while (port == 0 && waited.elapsed() < 60000 && process.state() != QProcess::NotRunning) {
            process.waitForReadyRead(200);
            log_ += process.readAllStandardError();
            const QRegularExpressionMatch match = listening.match(QString::fromUtf8(log_));
            if (match.hasMatch()) {
                port = match.captured(1).toUShort();
            }
        }
    }
    ~ServiceProcess() {
        process.terminate();
        process.waitForFinished(10000);
    }

    QString root() const { return QStringLiteral("http://127.0.0.1:%1/").arg(port); }

    // The log so far.
    QByteArray log() {
        QTest::qWait(200);  // the last request's line is written after its answer
        log_ += process.readAllStandardError();
        return log_;
    }

    // Runs an administrator's command over the same data; returns its standard output.
    QByteArray admin(const QStringList& command) const {
        QProcess tool;
        tool.start(
            QStringLiteral(NEREVA_SERVICE_BINARY),
            QStringList{QStringLiteral("--data"), dir.path()} << databaseArguments() << command);
        tool.waitForFinished(60000);
        return tool.readAllStandardOutput();
    }

    // Empties the PostgreSQL database named by NEREVA_TEST_DATABASE, if any, so that a service
    // started next begins from nothing.
    static void emptyTestDatabase() {
        const QString url = qEnvironmentVariable("NEREVA_TEST_DATABASE");
        if (url.isEmpty()) {
            return;
        }
        Database db(DatabaseConfig::fromUrl(url, QDir::tempPath()), QStringLiteral("empty"));
        db.execute(QStringLiteral("DROP SCHEMA public CASCADE"));
        db.execute(QStringLiteral("CREATE SCHEMA public"));
    }

    static QStringList databaseArguments() {
        const QString url = qEnvironmentVariable("NEREVA_TEST_DATABASE");
        return url.isEmpty() ? QStringList() : QStringList{QStringLiteral("--database"), url};
    }

    QTemporaryDir dir;
    QProcess process;
    quint16 port = 0;

private:
    QByteArray log_;
};
