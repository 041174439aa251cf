#include "service/dives.h"

#include "service/database.h"
#include "service/dive_line.h"
#include "service/members.h"
#include "service/service_error.h"
#include "service/text_rules.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <algorithm>
#include <vector>

namespace {

struct StoredDive {
    int id = 0;
    int localId = 0;
    QString date;
    QString time;
    int certifyBy = 0;
    int locationId = 0;
    QString lastUpdate;
    QString answerValues;
};

// A dive sent again without the number its first upload got.
QString resendKey(int localId, const QString& date, const QString& time) {
    return QString::number(localId) + u'|' + date + u'|' + time;
}

// The diver may give up a certification (-1) or a buddy's confirmation (0); only the service
// grants them (1, 2).
int acceptedCertification(int stored, int uploaded) {
    return (uploaded == -1 || uploaded == 0) ? uploaded : stored;
}

// Calls `each` with every line of the body (ISO-8859-1) that is not blank. Lines end at CR, LF
// or CR LF; the body is read a line at a time, so a large upload is never copied whole.
template <typename Each>
void forEachLine(const QByteArray& body, Each each) {
    qsizetype start = 0;
    while (start < body.size()) {
        qsizetype end = start;
        while (end < body.size() && body[end] != '\n' && body[end] != '\r') {
            ++end;
        }
        const QByteArrayView line = QByteArrayView(body).sliced(start, end - start);
        if (!line.trimmed().isEmpty()) {
            each(QString::fromLatin1(line));
        }
        start = end + 1;
    }
}

class UploadRun {
public:
    UploadRun(Database& db, int memberId) : db_(db), memberId_(memberId) {}

    void load() {
        if (db_.dialect() == Dialect::Postgres) {
            // One upload of a member at a time; SQLite's write lock already does this.
            db_.run(QStringLiteral("SELECT id FROM members WHERE id = ? FOR UPDATE"), {memberId_});
        }
        QSqlQuery& q = db_.run(
            QStringLiteral("SELECT id, local_id, dive_date, dive_time, certify_by, location_id, "
                           "last_update, answer_values FROM dives WHERE member_id = ?"),
            {memberId_});
        while (q.next()) {
            StoredDive dive{q.value(0).toInt(),    q.value(1).toInt(),   q.value(2).toString(),
                            q.value(3).toString(), q.value(4).toInt(),   q.value(5).toInt(),
                            q.value(6).toString(), q.value(7).toString()};
            remember(std::move(dive));
        }
    }

    void apply(const UploadedDive& line, UploadOutcome& outcome) {
        int index = line.idDive > 0 ? byId_.value(line.idDive, -1) : -1;
        if (index < 0) {
            index = byResendKey_.value(resendKey(line.localId, line.date, line.time), -1);
        }
        if (index < 0) {
            create(line);
            ++outcome.created;
        } else if (update(dives_[index], line)) {
            ++outcome.updated;
        }
        people_.unite(QSet<int>(line.people.cbegin(), line.people.cend()));
        if (line.locationId > 0) {
            locations_.insert(line.locationId);
        }
    }

    void writeNewDives() {
        QList<QVariantList> rows;
        for (const StoredDive& dive : dives_) {
            if (dive.id == 0) {
                rows << QVariantList{memberId_,       dive.localId,     dive.date,
                                     dive.time,       dive.certifyBy,   dive.locationId,
                                     dive.lastUpdate, dive.answerValues};
            }
        }
        db_.insertRows(
            QStringLiteral("dives"),
            {QStringLiteral("member_id"), QStringLiteral("local_id"), QStringLiteral("dive_date"),
             QStringLiteral("dive_time"), QStringLiteral("certify_by"),
             QStringLiteral("location_id"), QStringLiteral("last_update"),
             QStringLiteral("answer_values")},
            rows, QStringLiteral("id, local_id, dive_date, dive_time"), [this](const QSqlQuery& q) {
                // New dives differ in their resend key: the numbers go by it.
                const int index = byResendKey_.value(
                    resendKey(q.value(1).toInt(), q.value(2).toString(), q.value(3).toString()),
                    -1);
                if (index >= 0 && dives_[index].id == 0) {
                    dives_[index].id = q.value(0).toInt();
                    byId_.insert(dives_[index].id, index);
                }
            });
        for (const StoredDive& dive : dives_) {
            if (dive.id == 0) {
                throw ServiceError(QStringLiteral("A new dive got no number."));
            }
        }
    }

    void linkPeopleAndPlaces(MemberStore& members) {
        members.addContacts(memberId_, people_.values());
        for (const int location : std::as_const(locations_)) {
            db_.run(
                QStringLiteral("INSERT INTO member_locations (member_id, location_id) "
                               "SELECT ?, id FROM locations WHERE id = ? ON CONFLICT DO NOTHING"),
                {memberId_, location});
        }
    }

    QByteArray answer(int& count) {
        std::vector<const StoredDive*> order;
        order.reserve(dives_.size());
        for (const StoredDive& dive : dives_) {
            order.push_back(&dive);
        }
        std::sort(order.begin(), order.end(), [](const StoredDive* a, const StoredDive* b) {
            return std::tie(a->date, a->time, a->id) < std::tie(b->date, b->time, b->id);
        });
        QByteArray text;
        text.reserve(qsizetype(order.size()) *
                     (order.empty() ? 0 : order.front()->answerValues.size() + 48));
        for (const StoredDive* dive : order) {
            DiveLine::appendAnswer(text, dive->id, dive->localId, dive->lastUpdate, dive->certifyBy,
                                   dive->answerValues);
            text += "\r\n";
        }
        count = int(order.size());
        return text;
    }

private:
    void remember(StoredDive dive) {
        const int index = int(dives_.size());
        if (dive.id > 0) {
            byId_.insert(dive.id, index);
        }
        byResendKey_.insert(resendKey(dive.localId, dive.date, dive.time), index);
        dives_.push_back(std::move(dive));
    }

    // The dive gets its number when the new dives are written, together.
    void create(const UploadedDive& line) {
        remember(StoredDive{0, line.localId, line.date, line.time,
                            acceptedCertification(0, line.certifyBy), line.locationId, now(),
                            line.answerValues});
    }

    // True when the dive's values changed (its time stamp then moves on).
    bool update(StoredDive& dive, const UploadedDive& line) {
        const int certifyBy = acceptedCertification(dive.certifyBy, line.certifyBy);
        const bool changed = dive.answerValues != line.answerValues || dive.certifyBy != certifyBy;
        if (!changed && dive.localId == line.localId) {
            return false;
        }
        byResendKey_.remove(resendKey(dive.localId, dive.date, dive.time));
        dive.localId = line.localId;
        if (changed) {
            dive.date = line.date;
            dive.time = line.time;
            dive.certifyBy = certifyBy;
            dive.locationId = line.locationId;
            dive.lastUpdate = now();
            dive.answerValues = line.answerValues;
        }
        byResendKey_.insert(resendKey(dive.localId, dive.date, dive.time),
                            int(&dive - dives_.data()));
        if (dive.id == 0) {
            return changed;  // not written yet
        }
        db_.run(QStringLiteral("UPDATE dives SET local_id = ?, dive_date = ?, dive_time = ?, "
                               "certify_by = ?, location_id = ?, last_update = ?, "
                               "answer_values = ? WHERE id = ? AND member_id = ?"),
                {dive.localId, dive.date, dive.time, dive.certifyBy, dive.locationId,
                 dive.lastUpdate, dive.answerValues, dive.id, memberId_});
        return changed;
    }

    const QString& now() {
        if (now_.isEmpty()) {
            now_ = TextRules::utcNow();
        }
        return now_;
    }

    Database& db_;
    int memberId_;
    std::vector<StoredDive> dives_;
    QHash<int, int> byId_;
    QHash<QString, int> byResendKey_;
    QSet<int> people_;
    QSet<int> locations_;
    QString now_;
};

}  // namespace

UploadOutcome DiveStore::upload(int memberId, const QByteArray& body) {
    UploadOutcome outcome;
    QList<UploadedDive> parsed;
    forEachLine(body, [&](const QString& line) {
        ++outcome.lines;
        std::optional<UploadedDive> dive = DiveLine::parseUpload(line);
        if (dive) {
            parsed << std::move(*dive);
        } else {
            ++outcome.skipped;
        }
    });
    UploadRun run(db_, memberId);
    Transaction transaction(db_);
    run.load();
    for (const UploadedDive& dive : std::as_const(parsed)) {
        run.apply(dive, outcome);
    }
    run.writeNewDives();
    MemberStore members(db_);
    run.linkPeopleAndPlaces(members);
    transaction.commit();
    outcome.answer = run.answer(outcome.dives);
    return outcome;
}

int DiveStore::remove(int memberId, const QList<int>& ids) {
    if (ids.isEmpty()) {
        return 0;
    }
    int removed = 0;
    Transaction transaction(db_);
    for (const int id : ids) {
        QSqlQuery& q =
            db_.run(QStringLiteral("DELETE FROM dives WHERE id = ? AND member_id = ? RETURNING id"),
                    {id, memberId});
        while (q.next()) {
            ++removed;
        }
    }
    transaction.commit();
    return removed;
}

QList<DiveStore::PageDive> DiveStore::pageDives(int memberId, int limit) {
    QSqlQuery& q = db_.run(QStringLiteral("SELECT id, dive_date, answer_values FROM dives "
                                          "WHERE member_id = ? ORDER BY dive_date DESC, "
                                          "dive_time DESC, id DESC LIMIT ?"),
                           {memberId, limit});
    QList<PageDive> dives;
    while (q.next()) {
        dives << PageDive{q.value(0).toInt(), q.value(1).toString(), q.value(2).toString()};
    }
    return dives;
}

int DiveStore::count(int memberId) {
    QSqlQuery& q =
        db_.run(QStringLiteral("SELECT COUNT(*) FROM dives WHERE member_id = ?"), {memberId});
    return q.next() ? q.value(0).toInt() : 0;
}
