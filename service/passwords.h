#pragma once

#include <QByteArray>
#include <QString>

// Passwords are kept only as salted PBKDF2-HMAC-SHA256 digests:
// "pbkdf2-sha256$<iterations>$<salt, base64>$<digest, base64>".
namespace Passwords {

QString hash(const QString& password);
// False for a wrong password and for a stored text that is no digest of this kind.
bool verify(const QString& password, const QString& stored);

}  // namespace Passwords
