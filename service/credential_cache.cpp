#include "service/credential_cache.h"

#include <QDateTime>
#include <QHash>
#include <QMessageAuthenticationCode>
#include <QMutex>
#include <QRandomGenerator>

namespace {

constexpr qint64 kLifetimeMs = 15 * 60 * 1000;
constexpr qsizetype kMaxEntries = 20000;

struct Entry {
    int memberId;
    qint64 expires;
};

struct Cache {
    QMutex mutex;
    QByteArray secret;
    QHash<QByteArray, Entry> entries;

    Cache() : secret(32, '\0') {
        QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(secret.data()),
                                              int(secret.size() / sizeof(quint32)));
    }
    QByteArray key(const QString& user, const QString& password) const {
        return QMessageAuthenticationCode::hash(user.toUtf8() + '\0' + password.toUtf8(), secret,
                                                QCryptographicHash::Sha256);
    }
};

Cache& cache() {
    static Cache c;
    return c;
}

}  // namespace

namespace CredentialCache {

std::optional<int> find(const QString& user, const QString& password) {
    Cache& c = cache();
    const QByteArray key = c.key(user, password);
    const QMutexLocker lock(&c.mutex);
    const auto found = c.entries.constFind(key);
    if (found == c.entries.cend() || found->expires < QDateTime::currentMSecsSinceEpoch()) {
        return std::nullopt;
    }
    return found->memberId;
}

void remember(const QString& user, const QString& password, int memberId) {
    Cache& c = cache();
    const QByteArray key = c.key(user, password);
    const QMutexLocker lock(&c.mutex);
    if (c.entries.size() >= kMaxEntries) {
        c.entries.clear();
    }
    c.entries.insert(key, {memberId, QDateTime::currentMSecsSinceEpoch() + kLifetimeMs});
}

}  // namespace CredentialCache
