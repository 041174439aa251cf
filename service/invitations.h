#pragma once

#include "service/options.h"

#include <QString>

class Database;

// Invitations by e-mail address: each is recorded (so the invited diver, once registered,
// joins the inviter's contacts) and sent through the configured mail command, or written as a
// message file into the outbox folder when there is none.
class Invitations {
public:
    enum class Result { Sent, Invalid, TooMany };

    Invitations(Database& db, const ServiceOptions& options) : db_(db), options_(options) {}

    // At most kPerDay invitations per member in 24 hours.
    Result invite(int memberId, const QString& inviter, const QString& email);

    static constexpr int kPerDay = 20;
    // How long the mail command may take.
    static constexpr int kMailSeconds = 30;

    // The message as it is handed to the mail command or written to the outbox.
    QByteArray message(const QString& inviter, const QString& email) const;

private:
    void deliver(const QByteArray& message, int invitation);
    void writeToOutbox(const QByteArray& message, int invitation);
    // Waits for the command: an invitation it could not take is answered as a failed request.
    void runMailCommand(const QByteArray& message);

    Database& db_;
    const ServiceOptions& options_;
};
