#include "app/settings/atomic_file.h"

#include "app/settings/app_error.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
}

void writeFileAtomically(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw IoError(QStringLiteral("Cannot write file \"%1\": %2").arg(path, file.errorString()));
    }
    file.setPermissions(kOwnerOnly);
    if (file.write(data) != data.size() || !file.flush() || !file.commit()) {
        throw IoError(QStringLiteral("Cannot write file \"%1\": %2").arg(path, file.errorString()));
    }
}

bool makePrivateFolder(const QString& path) {
    if (!QFileInfo(path).isDir() && !QDir().mkdir(path)) {
        return false;
    }
    // Also an existing folder, for example one restored from a backup with looser modes.
    QFile::setPermissions(path, kOwnerOnly | QFileDevice::ExeOwner);
    return true;
}
