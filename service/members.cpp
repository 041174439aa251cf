#include "service/members.h"

#include "service/database.h"
#include "service/passwords.h"
#include "service/service_error.h"
#include "service/text_rules.h"

#include <QSqlQuery>

namespace {

constexpr int kSearchLimit = 100;
constexpr int kMemberValues = 14;

// The lengths the desktop's member fields hold.
constexpr int kNameLength = 40;
constexpr int kAddressLength = 100;
constexpr int kPlaceLength = 40;
constexpr int kLanguageLength = 10;
constexpr int kEmailLength = 254;

bool validUserName(const QString& user) {
    if (user.size() < 4 || user.size() > 20) {
        return false;
    }
    for (const QChar c : user) {
        const bool allowed = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'.' ||
                             c == u'_' || c == u'-';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

bool validPassword(const QString& password) {
    return password.size() >= 4 && password.size() <= 40 &&
           std::none_of(password.cbegin(), password.cend(),
                        [](QChar c) { return c.category() == QChar::Other_Control; });
}

std::optional<int> optionalInt(const QVariant& value) {
    return value.isNull() ? std::nullopt : std::optional<int>(value.toInt());
}

QVariant boundInt(const std::optional<int>& value) {
    return nullableInt(!value.has_value(), value.value_or(0));
}

// A permission or publication value of the field list: a whole number, or none when empty or
// unreadable.
std::optional<int> listNumber(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

const char* const kContactColumns = "m.id, m.user_name, m.name, m.email, m.country, m.pub_personal";

ContactRecord contactFrom(const QSqlQuery& q) {
    return publishedView(q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(),
                         q.value(3).toString(), q.value(4).toString(), q.value(5).toInt());
}

}  // namespace

ContactRecord publishedView(int id, const QString& user, const QString& name, const QString& email,
                            const QString& country, int pubPersonal) {
    ContactRecord contact;
    contact.id = id;
    contact.user = user;
    if (pubPersonal >= 1) {
        contact.name = name;
        contact.country = country;
    }
    if (pubPersonal >= 2) {
        contact.email = email;
    }
    return contact;
}

RegistrationResult MemberStore::registerMember(const Registration& r, int* memberId) {
    const QString user = r.user.trimmed().toLower();
    const QString email = r.email.trimmed();
    if (!validUserName(user) || !validPassword(r.password) || !TextRules::isEmailAddress(email)) {
        return RegistrationResult::Invalid;
    }
    if (taken(user, email.toLower())) {
        return RegistrationResult::Taken;
    }
    const QString passwordHash = Passwords::hash(r.password);  // slow: outside the transaction
    int id = 0;
    try {
        id = insertMember(r, user, email, passwordHash);
    } catch (const ServiceError&) {
        // Another registration took the name or address meanwhile.
        if (taken(user, email.toLower())) {
            return RegistrationResult::Taken;
        }
        throw;
    }
    if (memberId) {
        *memberId = id;
    }
    return RegistrationResult::Registered;
}

bool MemberStore::taken(const QString& user, const QString& emailKey) {
    QSqlQuery& q =
        db_.run(QStringLiteral("SELECT COUNT(*) FROM members WHERE user_name = ? OR email_key = ?"),
                {user, emailKey});
    return q.next() && q.value(0).toInt() > 0;
}

int MemberStore::insertMember(const Registration& r, const QString& user, const QString& email,
                              const QString& passwordHash) {
    const QString emailKey = email.toLower();
    const QString name = TextRules::oneLine(r.name, kNameLength);
    Transaction transaction(db_);
    QSqlQuery& inserted = db_.run(
        QStringLiteral("INSERT INTO members (user_name, password_hash, email, email_key, name, "
                       "name_key, language, pub_personal, pub_dives, created_at) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, 0, 0, ?) RETURNING id"),
        {user, passwordHash, email, emailKey, name, TextRules::searchKey(name),
         TextRules::oneLine(r.language, kLanguageLength), TextRules::utcNow()});
    if (!inserted.next()) {
        throw ServiceError(QStringLiteral("The new member has no number."));
    }
    const int id = inserted.value(0).toInt();
    QList<int> inviters;
    QSqlQuery& invited =
        db_.run(QStringLiteral("SELECT DISTINCT member_id FROM invitations WHERE email_key = ?"),
                {emailKey});
    while (invited.next()) {
        inviters << invited.value(0).toInt();
    }
    for (const int inviter : inviters) {
        addContacts(inviter, {id});
        addContacts(id, {inviter});
    }
    transaction.commit();
    return id;
}

std::optional<int> MemberStore::authenticate(const QString& user, const QString& password) {
    QSqlQuery& q = db_.run(
        QStringLiteral("SELECT id, password_hash FROM members WHERE user_name = ?"), {user});
    if (!q.next()) {
        return std::nullopt;
    }
    const int id = q.value(0).toInt();
    const QString stored = q.value(1).toString();
    q.finish();
    return Passwords::verify(password, stored) ? std::optional<int>(id) : std::nullopt;
}

MemberRecord MemberStore::record(int memberId) {
    QSqlQuery& q = db_.run(
        QStringLiteral("SELECT user_name, name, address, city, state, country, email, language, "
                       "view_advanced, pub_personal, pub_dives, per_send1, per_send2, per_send3, "
                       "per_send4 FROM members WHERE id = ?"),
        {memberId});
    if (!q.next()) {
        throw ServiceError(QStringLiteral("Member %1 is gone.").arg(memberId));
    }
    MemberRecord r;
    r.id = memberId;
    r.user = q.value(0).toString();
    r.name = q.value(1).toString();
    r.address = q.value(2).toString();
    r.city = q.value(3).toString();
    r.state = q.value(4).toString();
    r.country = q.value(5).toString();
    r.email = q.value(6).toString();
    r.language = q.value(7).toString();
    r.viewAdvanced = optionalInt(q.value(8));
    r.pubPersonal = optionalInt(q.value(9));
    r.pubDives = optionalInt(q.value(10));
    for (int i = 0; i < 4; ++i) {
        r.permissions[i] = optionalInt(q.value(11 + i));
    }
    return r;
}

bool MemberStore::updateRecord(int memberId, const QStringList& values) {
    if (values.size() != kMemberValues) {
        return false;
    }
    Transaction transaction(db_);
    QString email = values[5].trimmed();
    QSqlQuery& other =
        db_.run(QStringLiteral("SELECT COUNT(*) FROM members WHERE email_key = ? AND id <> ?"),
                {email.toLower(), memberId});
    const bool taken = other.next() && other.value(0).toInt() > 0;
    if (taken || !TextRules::isEmailAddress(email) || email.size() > kEmailLength) {
        email = record(memberId).email;
    }
    const QString name = TextRules::oneLine(values[0], kNameLength);
    QVariantList bound = {name,
                          TextRules::searchKey(name),
                          TextRules::oneLine(values[1], kAddressLength),
                          TextRules::oneLine(values[2], kPlaceLength),
                          TextRules::oneLine(values[3], kPlaceLength),
                          TextRules::oneLine(values[4], kPlaceLength),
                          email,
                          email.toLower(),
                          TextRules::oneLine(values[6], kLanguageLength)};
    for (int i = 7; i < kMemberValues; ++i) {
        bound << boundInt(listNumber(values[i]));
    }
    bound << memberId;
    db_.run(QStringLiteral("UPDATE members SET name = ?, name_key = ?, address = ?, city = ?, "
                           "state = ?, country = ?, email = ?, email_key = ?, language = ?, "
                           "view_advanced = ?, pub_personal = ?, pub_dives = ?, per_send1 = ?, "
                           "per_send2 = ?, per_send3 = ?, per_send4 = ? WHERE id = ?"),
            bound);
    transaction.commit();
    return true;
}

QList<ContactRecord> MemberStore::search(const ContactSearch& search, int self) {
    // Each criterion names the publication it needs, so a search never tells who holds an
    // unpublished name or address.
    QStringList criteria;
    QVariantList bound;
    if (!search.user.trimmed().isEmpty()) {
        criteria << db_.contains(QStringLiteral("m.user_name"));
        bound << db_.containsValue(TextRules::searchKey(search.user));
    }
    if (!search.name.trimmed().isEmpty()) {
        criteria << QStringLiteral("(%1 AND m.pub_personal >= 1)")
                        .arg(db_.contains(QStringLiteral("m.name_key")));
        bound << db_.containsValue(TextRules::searchKey(search.name));
    }
    if (!search.email.trimmed().isEmpty()) {
        criteria << QStringLiteral("(%1 AND m.pub_personal >= 2)")
                        .arg(db_.contains(QStringLiteral("m.email_key")));
        bound << db_.containsValue(TextRules::searchKey(search.email));
    }
    if (criteria.isEmpty()) {
        return {};
    }
    const QString where =
        criteria.join(search.any ? QStringLiteral(" OR ") : QStringLiteral(" AND "));
    bound << self;
    QSqlQuery& q = db_.run(QStringLiteral("SELECT %1 FROM members m WHERE (%2) AND m.id <> ? "
                                          "ORDER BY m.user_name LIMIT %3")
                               .arg(QLatin1String(kContactColumns), where)
                               .arg(kSearchLimit),
                           bound);
    QList<ContactRecord> found;
    while (q.next()) {
        found << contactFrom(q);
    }
    return found;
}

std::optional<ContactRecord> MemberStore::contact(int memberId) {
    QSqlQuery& q = db_.run(QStringLiteral("SELECT %1 FROM members m WHERE m.id = ?")
                               .arg(QLatin1String(kContactColumns)),
                           {memberId});
    return q.next() ? std::optional<ContactRecord>(contactFrom(q)) : std::nullopt;
}

QList<ContactRecord> MemberStore::contacts(int memberId) {
    QSqlQuery& q = db_.run(QStringLiteral("SELECT %1 FROM member_contacts c JOIN members m ON "
                                          "m.id = c.contact_id WHERE c.member_id = ? ORDER BY m.id")
                               .arg(QLatin1String(kContactColumns)),
                           {memberId});
    QList<ContactRecord> found;
    while (q.next()) {
        found << contactFrom(q);
    }
    return found;
}

void MemberStore::addContacts(int memberId, const QList<int>& contactIds) {
    for (const int contact : contactIds) {
        if (contact == memberId) {
            continue;
        }
        db_.run(QStringLiteral("INSERT INTO member_contacts (member_id, contact_id) "
                               "SELECT ?, id FROM members WHERE id = ? ON CONFLICT DO NOTHING"),
                {memberId, contact});
    }
}

std::optional<int> MemberStore::idOfUser(const QString& user) {
    QSqlQuery& q =
        db_.run(QStringLiteral("SELECT id FROM members WHERE user_name = ?"), {user.toLower()});
    return q.next() ? std::optional<int>(q.value(0).toInt()) : std::nullopt;
}

bool MemberStore::exists(int memberId) {
    QSqlQuery& q = db_.run(QStringLiteral("SELECT 1 FROM members WHERE id = ?"), {memberId});
    return q.next();
}
