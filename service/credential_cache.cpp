#include "service/credential_cache.h"

#include <QDateTime>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

namespace {

constexpr qint64 kLifetimeMs = 15 * 60 * 1000;
constexpr qsizetype kMaxEntries = 20000;

}  // namespace

CredentialCache::CredentialCache() : secret_(32, '\0') {
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(secret_.data()),
                                          int(secret_.size() / sizeof(quint32)));
}

QByteArray CredentialCache::key(const QString& user, const QString& password) const {
    return QMessageAuthenticationCode::hash(user.toUtf8() + '\0' + password.toUtf8(), secret_,
                                            QCryptographicHash::Sha256);
}

std::optional<int> CredentialCache::find(const QString& user, const QString& password) {
    const QByteArray k = key(user, password);
    const QMutexLocker lock(&mutex_);
    const auto found = entries_.constFind(k);
    if (found == entries_.cend() || found->expires < QDateTime::currentMSecsSinceEpoch()) {
        return std::nullopt;
    }
    return found->memberId;
}

void CredentialCache::remember(const QString& user, const QString& password, int memberId) {
    const QByteArray k = key(user, password);
    const QMutexLocker lock(&mutex_);
    if (entries_.size() >= kMaxEntries) {
        entries_.clear();
    }
    entries_.insert(k, {memberId, QDateTime::currentMSecsSinceEpoch() + kLifetimeMs});
}
