#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class Database;

// What an upload did, for the log.
struct UploadOutcome {
    int lines = 0;
    int created = 0;
    int updated = 0;
    int skipped = 0;  // malformed lines
    int dives = 0;    // in the answer
    QByteArray answer;
};

// The members' dives. Each member's dives are theirs alone: a service number the member does
// not hold is treated as no number.
class DiveStore {
public:
    explicit DiveStore(Database& db) : db_(db) {}

    // Applies an upload (one record per line, ISO-8859-1) in one transaction and answers with every
    // dive the member holds, one line each, ordered by date and start time. A line with the
    // member's service number updates that dive. A line without one updates the member's dive with
    // the same local number, date and start time (the same upload sent again after its answer was
    // lost), else creates a dive. Malformed lines are skipped. The members and locations the
    // dives name join the member's contacts and locations.
    UploadOutcome upload(int memberId, const QByteArray& body);

    // Deletes the member's dives with these numbers (others' numbers are ignored); returns how
    // many went.
    int remove(int memberId, const QList<int>& ids);

    // The member's dives as the web pages show them: number, date, values by field.
    struct PageDive {
        int id = 0;
        QString date;
        QString answerValues;
    };
    QList<PageDive> pageDives(int memberId, int limit);
    int count(int memberId);

private:
    Database& db_;
};
