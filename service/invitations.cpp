#include "service/invitations.h"

#include "service/database.h"
#include "service/service_error.h"
#include "service/text_rules.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QSaveFile>
#include <QSqlQuery>

Invitations::Result Invitations::invite(int memberId, const QString& inviter,
                                        const QString& email) {
    const QString address = email.trimmed();
    if (!TextRules::isEmailAddress(address)) {
        return Result::Invalid;
    }
    const QString dayAgo =
        QDateTime::currentDateTimeUtc().addDays(-1).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    int invitation = 0;
    {
        Transaction transaction(db_);
        QSqlQuery& recent =
            db_.run(QStringLiteral(
                        "SELECT COUNT(*) FROM invitations WHERE member_id = ? AND created_at > ?"),
                    {memberId, dayAgo});
        if (recent.next() && recent.value(0).toInt() >= kPerDay) {
            return Result::TooMany;
        }
        QSqlQuery& inserted = db_.run(
            QStringLiteral("INSERT INTO invitations (member_id, email_key, created_at) VALUES "
                           "(?, ?, ?) RETURNING id"),
            {memberId, address.toLower(), TextRules::utcNow()});
        invitation = inserted.next() ? inserted.value(0).toInt() : 0;
        transaction.commit();
    }
    try {
        deliver(message(inviter, address), invitation);
    } catch (const ServiceError&) {
        // Not sent, so not counted: the diver may try again.
        db_.run(QStringLiteral("DELETE FROM invitations WHERE id = ?"), {invitation});
        throw;
    }
    return Result::Sent;
}

QByteArray Invitations::message(const QString& inviter, const QString& email) const {
    const QString date = QLocale::c().toString(QDateTime::currentDateTimeUtc(),
                                               QStringLiteral("ddd, dd MMM yyyy hh:mm:ss +0000"));
    const QString text =
        QStringLiteral(
            "From: %1\r\nTo: %2\r\nSubject: %3 invites you to NEREVA\r\nDate: %4\r\n"
            "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n"
            "Content-Transfer-Encoding: 8bit\r\n\r\n"
            "%3 would like to log dives with you on NEREVA, the dive log service.\r\n\r\n"
            "Register from NEREVA Desktop with this e-mail address (%2), and you and %3 will\r\n"
            "find each other on your buddy lists.\r\n\r\nThe service: %5\r\n")
            .arg(TextRules::oneLine(options_.mailFrom, 200), email, inviter, date,
                 options_.publicUrl());
    return text.toUtf8();
}

void Invitations::deliver(const QByteArray& message, int invitation) {
    if (options_.mailCommand.isEmpty()) {
        writeToOutbox(message, invitation);
    } else {
        runMailCommand(message);
    }
}

void Invitations::writeToOutbox(const QByteArray& message, int invitation) {
    const QDir outbox(options_.outboxDir());
    if (!outbox.mkpath(QStringLiteral("."))) {
        throw ServiceError(QStringLiteral("Cannot create %1").arg(outbox.path()));
    }
    const QString name =
        QStringLiteral("%1-%2.eml")
            .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-hhmmss")))
            .arg(invitation);
    QSaveFile file(outbox.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(message) != message.size() ||
        !file.commit()) {
        throw ServiceError(
            QStringLiteral("Cannot write %1: %2").arg(file.fileName(), file.errorString()));
    }
}

void Invitations::runMailCommand(const QByteArray& message) {
    QStringList command = QProcess::splitCommand(options_.mailCommand);
    QProcess process;
    process.start(command.takeFirst(), command);
    process.write(message);
    process.closeWriteChannel();
    if (!process.waitForFinished(kMailSeconds * 1000)) {
        process.kill();
        process.waitForFinished();
        throw ServiceError(
            QStringLiteral("The mail command did not finish: %1").arg(process.errorString()));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        throw ServiceError(QStringLiteral("The mail command failed (exit code %1): %2")
                               .arg(process.exitCode())
                               .arg(TextRules::oneLine(
                                   QString::fromLocal8Bit(process.readAllStandardError()), 200)));
    }
}
