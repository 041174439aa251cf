#include "app/settings/program_folders.h"

#include <QCoreApplication>
#include <QDir>

QString installedDataFolder() {
    if (!QCoreApplication::instance()) {
        return QString();
    }
    return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                               .filePath(QStringLiteral(NEREVA_DATA_FROM_PROGRAM)));
}
