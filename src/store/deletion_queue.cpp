#include "app/settings/app_error.h"
#include "app/settings/atomic_file.h"
#include "app/settings/tdm_const.h"
#include "store/tdm_rdp.h"

#include <QFile>

namespace DeletionQueue {
namespace {

const QByteArray kFieldSeparator = QByteArrayLiteral("##");

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        throw IoError(QStringLiteral("Cannot read file \"%1\": %2").arg(path, file.errorString()));
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw IoError(QStringLiteral("Cannot read file \"%1\": %2").arg(path, file.errorString()));
    }
    return bytes;
}

}  // namespace

QString fileName() {
    return (dm_const ? dm_const->AppDataDir : QString()) + QStringLiteral("delete.cds");
}

void append(int idDive) {
    const QString path = fileName();
    QByteArray line = readBytes(path);
    // The queue is one line: a line break left by another writer would hide the new entry.
    while (line.endsWith('\n') || line.endsWith('\r')) {
        line.chop(1);
    }
    writeFileAtomically(path, line + QByteArray::number(idDive) + kFieldSeparator);
}

bool exists() {
    return QFile::exists(fileName());
}

QString read() {
    return QString::fromLatin1(readBytes(fileName()));
}

void remove() {
    QFile::remove(fileName());
}

}  // namespace DeletionQueue
