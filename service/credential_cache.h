#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QString>
#include <optional>

// Credentials already checked, so that the slow password digest runs once per member and
// quarter of an hour rather than once per request. Entries are keyed by a keyed digest of the
// user name and password (the password itself is never kept); one cache serves all the
// threads of a service.
class CredentialCache {
public:
    CredentialCache();

    std::optional<int> find(const QString& user, const QString& password);
    void remember(const QString& user, const QString& password, int memberId);

private:
    struct Entry {
        int memberId;
        qint64 expires;
    };
    QByteArray key(const QString& user, const QString& password) const;

    QMutex mutex_;
    QByteArray secret_;
    QHash<QByteArray, Entry> entries_;
};
