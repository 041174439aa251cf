#include "service/members.h"

#include "service/database.h"
#include "service/passwords.h"
#include "service/service_error.h"
#include "service/text_rules.h"
#include "wire/member_fields.h"

#include <QSqlQuery>

namespace {

constexpr int kSearchLimit = 100;
constexpr int kNameLength = 40;
constexpr int kLanguageLength = 10;
const QString kEmailField = QStringLiteral("inet_email");

// Where the service keeps a value of the member field list: its column, and the length the
// desktop's field holds (0 for a number).
struct Column {
    QString column;
    int maxLength;
};

Column columnOf(const MemberFields::RequestValue& value) {
    static const QHash<QString, Column> byField = {
        {QStringLiteral("name"), {QStringLiteral("name"), kNameLength}},
        {QStringLiteral("address"), {QStringLiteral("address"), 100}},
        {QStringLiteral("city"), {QStringLiteral("city"), 40}},
        {QStringLiteral("state"), {QStringLiteral("state"), 40}},
        {QStringLiteral("country"), {QStringLiteral("country"), 40}},
        {kEmailField, {QStringLiteral("email"), 254}},
        {QStringLiteral("per_pub_personal"), {QStringLiteral("pub_personal"), 0}},
        {QStringLiteral("per_pub_dives"), {QStringLiteral("pub_dives"), 0}},
        {QStringLiteral("per_send1"), {QStringLiteral("per_send1"), 0}},
        {QStringLiteral("per_send2"), {QStringLiteral("per_send2"), 0}},
        {QStringLiteral("per_send3"), {QStringLiteral("per_send3"), 0}},
        {QStringLiteral("per_send4"), {QStringLiteral("per_send4"), 0}},
    };
    switch (value.source) {
        case MemberFields::Source::LanguageCode:
            return {QStringLiteral("language"), kLanguageLength};
        case MemberFields::Source::AdvancedView:
            return {QStringLiteral("view_advanced"), 0};
        case MemberFields::Source::Field:
            break;
    }
    Q_ASSERT(byField.contains(value.field));
    return byField.value(value.field);
}

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
    QStringList fields;
    QStringList columns = {QStringLiteral("user_name")};
    for (const MemberFields::RequestValue& value : MemberFields::request()) {
        if (value.source == MemberFields::Source::Field) {
            fields << value.field;
            columns << columnOf(value).column;
        }
    }
    QSqlQuery& q = db_.run(QStringLiteral("SELECT %1 FROM members WHERE id = ?")
                               .arg(columns.join(QStringLiteral(", "))),
                           {memberId});
    if (!q.next()) {
        throw ServiceError(QStringLiteral("Member %1 is gone.").arg(memberId));
    }
    MemberRecord r;
    r.id = memberId;
    r.user = q.value(0).toString();
    for (int i = 0; i < fields.size(); ++i) {
        const QVariant value = q.value(i + 1);
        r.fields.insert(fields[i], value.isNull() ? QString() : value.toString());
    }
    return r;
}

bool MemberStore::updateRecord(int memberId, const QStringList& values) {
    const QVector<MemberFields::RequestValue>& places = MemberFields::request();
    if (values.size() != places.size()) {
        return false;
    }
    Transaction transaction(db_);
    QStringList assignments;
    QVariantList bound;
    for (int i = 0; i < places.size(); ++i) {
        const Column column = columnOf(places[i]);
        assignments << column.column + QStringLiteral(" = ?");
        if (column.maxLength == 0) {
            bound << boundInt(listNumber(values[i]));
        } else if (places[i].field == kEmailField) {
            const QString email = acceptedEmail(memberId, values[i].trimmed(), column.maxLength);
            bound << email;
            assignments << QStringLiteral("email_key = ?");
            bound << email.toLower();
        } else {
            const QString text = TextRules::oneLine(values[i], column.maxLength);
            bound << text;
            if (column.column == QLatin1String("name")) {
                assignments << QStringLiteral("name_key = ?");
                bound << TextRules::searchKey(text);
            }
        }
    }
    bound << memberId;
    db_.run(QStringLiteral("UPDATE members SET %1 WHERE id = ?")
                .arg(assignments.join(QStringLiteral(", "))),
            bound);
    transaction.commit();
    return true;
}

QString MemberStore::acceptedEmail(int memberId, const QString& email, int maxLength) {
    QSqlQuery& other =
        db_.run(QStringLiteral("SELECT COUNT(*) FROM members WHERE email_key = ? AND id <> ?"),
                {email.toLower(), memberId});
    const bool taken = other.next() && other.value(0).toInt() > 0;
    if (taken || !TextRules::isEmailAddress(email) || email.size() > maxLength) {
        return record(memberId).field(kEmailField);
    }
    return email;
}

QList<ContactRecord> MemberStore::search(const ContactSearch& search, int self) {
    // Each criterion names the publication it needs, so a search never tells who holds an
    // unpublished name or address.
    QStringList criteria;
    QVariantList bound;
    const auto add = [&](const QString& needle, const char* column, int publication) {
        if (needle.trimmed().isEmpty()) {
            return;
        }
        const Database::Condition condition =
            db_.contains(QStringLiteral("members"), QStringLiteral("m"),
                         QString::fromLatin1(column), TextRules::searchKey(needle));
        criteria << (publication == 0 ? condition.sql
                                      : QStringLiteral("(%1 AND m.pub_personal >= %2)")
                                            .arg(condition.sql)
                                            .arg(publication));
        bound << condition.value;
    };
    add(search.user, "user_name", 0);  // every member shows the user name
    add(search.name, "name_key", 1);
    add(search.email, "email_key", 2);
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
