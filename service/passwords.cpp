#include "service/passwords.h"

#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

namespace {

const QString kScheme = QStringLiteral("pbkdf2-sha256");
// About a tenth of a second here; the number is stored with each digest, so it can grow.
constexpr int kIterations = 100000;
constexpr int kSaltBytes = 16;
constexpr int kDigestBytes = 32;

QByteArray derive(const QString& password, const QByteArray& salt, int iterations) {
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt,
                                              iterations, kDigestBytes);
}

// Compares without stopping at the first difference.
bool sameBytes(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size()) {
        return false;
    }
    unsigned char difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i) {
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    }
    return difference == 0;
}

}  // namespace

namespace Passwords {

QString hash(const QString& password) {
    QByteArray salt(kSaltBytes, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()),
                                          kSaltBytes / int(sizeof(quint32)));
    return QStringList{kScheme, QString::number(kIterations), QString::fromLatin1(salt.toBase64()),
                       QString::fromLatin1(derive(password, salt, kIterations).toBase64())}
        .join(u'$');
}

bool verify(const QString& password, const QString& stored) {
    const QStringList parts = stored.split(u'$');
    if (parts.size() != 4 || parts[0] != kScheme) {
        return false;
    }
    bool ok = false;
    const int iterations = parts[1].toInt(&ok);
    if (!ok || iterations < 1) {
        return false;
    }
    const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
    const QByteArray digest = QByteArray::fromBase64(parts[3].toLatin1());
    return sameBytes(derive(password, salt, iterations), digest);
}

}  // namespace Passwords
