#include "app/settings/atomic_file.h"

#include "app/settings/app_error.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

[[noreturn]] void cannotWrite(const QString& path, const QString& reason) {
    throw IoError(QStringLiteral("Cannot write file \"%1\": %2").arg(path, reason));
}

bool syncPath(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// QSaveFile always flushes the file; this one leaves that to the system.
void writeWithoutSync(const QString& path, const QByteArray& data) {
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open()) {
        cannotWrite(path, file.errorString());
    }
    const QString temporary = file.fileName();
    const bool written = file.write(data) == data.size() && file.flush();
    const QString reason = file.errorString();
    file.close();
    if (!written) {
        QFile::remove(temporary);
        cannotWrite(path, reason);
    }
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(path).constData()) != 0) {
        const QString error = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(temporary);
        cannotWrite(path, error);
    }
}

}  // namespace

void writeFileAtomically(const QString& path, const QByteArray& data, FileSync sync) {
    if (sync == FileSync::None) {
        writeWithoutSync(path, data);
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        cannotWrite(path, file.errorString());
    }
    file.setPermissions(kOwnerOnly);
    if (file.write(data) != data.size() || !file.flush() || !file.commit()) {
        cannotWrite(path, file.errorString());
    }
    if (sync == FileSync::FileAndFolder && !syncPath(QFileInfo(path).absolutePath())) {
        cannotWrite(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
}

bool syncFile(const QString& path) {
    return syncPath(path);
}

bool makePrivateFolder(const QString& path) {
    if (!QFileInfo(path).isDir() && !QDir().mkdir(path)) {
        return false;
    }
    // Also an existing folder, for example one restored from a backup with looser modes.
    QFile::setPermissions(path, kOwnerOnly | QFileDevice::ExeOwner);
    return true;
}
