#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class Database;

// The member record as the synchronisation exchanges it: the text of each field of the
// desktop's member table that travels (empty for none), by the field's name.
struct MemberRecord {
    int id = 0;
    QString user;
    QHash<QString, QString> fields;

    QString field(const QString& name) const { return fields.value(name); }
    int number(const QString& name) const { return fields.value(name).toInt(); }
};

// What other members may see of a member: the user name always, name and country with
// publication 1 ("name and location") or 2, the e-mail address only with 2 ("contact
// information").
struct ContactRecord {
    int id = 0;
    QString user, name, email, country;
};

enum class RegistrationResult { Failed = 0, Registered = 1, Taken = 2, Invalid = 3 };

struct Registration {
    QString user, password, email, name, language;
};

struct ContactSearch {
    QString name, user, email;
    bool any = false;  // OR instead of AND
};

// Members: registration, credentials, the member record and the directory of members.
class MemberStore {
public:
    explicit MemberStore(Database& db) : db_(db) {}

    // User name: 4 to 20 letters, digits, ".", "_" or "-" (kept in lower case); password: 4
    // to 40 characters; an e-mail address. Taken: the user name or the address (any case) is
    // already a member's. A new member is put on the contact list of every member who invited
    // the address, and they on the new member's.
    RegistrationResult registerMember(const Registration& registration, int* memberId = nullptr);

    // The member whose user name and password these are.
    std::optional<int> authenticate(const QString& user, const QString& password);

    MemberRecord record(int memberId);
    // The values of the desktop's member field list, in its order. An e-mail address that is
    // not one, or that is another member's, keeps the stored address. False (nothing changed)
    // for a list of another length.
    bool updateRecord(int memberId, const QStringList& values);

    // At most 100 members other than `self`, by user name. A name or address only finds the
    // members who publish it; with no criterion nothing is found.
    QList<ContactRecord> search(const ContactSearch& search, int self);
    std::optional<ContactRecord> contact(int memberId);
    // The member's contacts: the members named in the member's dives and those who joined
    // after the member's invitation.
    QList<ContactRecord> contacts(int memberId);
    // Adds the members (those that exist, not the member) to the member's contacts.
    void addContacts(int memberId, const QList<int>& contactIds);

    std::optional<int> idOfUser(const QString& user);
    bool exists(int memberId);

private:
    bool taken(const QString& user, const QString& emailKey);
    // `email` when it can be the member's address, else the stored one.
    QString acceptedEmail(int memberId, const QString& email, int maxLength);
    int insertMember(const Registration& r, const QString& user, const QString& email,
                     const QString& passwordHash);

    Database& db_;
};

// The member's view of another member, given that member's publication choice.
ContactRecord publishedView(int id, const QString& user, const QString& name, const QString& email,
                            const QString& country, int pubPersonal);
