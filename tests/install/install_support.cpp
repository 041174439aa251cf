#include "install_support.h"

#include <QDir>
#include <QDirIterator>

namespace InstallSupport {

Finished run(const QString& program, const QStringList& arguments, const QString& folder,
             const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!folder.isEmpty()) {
        process.setWorkingDirectory(folder);
    }
    process.start(program, arguments);
    Finished finished;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        finished.err = process.errorString().toUtf8();
        return finished;
    }
    finished.out = process.readAllStandardOutput();
    finished.err = process.readAllStandardError();
    if (process.exitStatus() == QProcess::NormalExit) {
        finished.code = process.exitCode();
    }
    return finished;
}

Finished installInto(const QString& prefix) {
    return run(QStringLiteral(NEREVA_CMAKE),
               {QStringLiteral("--install"), QStringLiteral(NEREVA_BUILD_DIR),
                QStringLiteral("--prefix"), prefix});
}

QStringList expectedFiles() {
    const QString icon = QStringLiteral("share/icons/hicolor/%1/apps/net.nereva.Desktop.%2");
    QStringList files{QStringLiteral("bin/nereva-desktop"),
                      QStringLiteral("share/applications/net.nereva.Desktop.desktop"),
                      QStringLiteral("share/metainfo/net.nereva.Desktop.metainfo.xml"),
                      QStringLiteral("share/nereva-desktop/language.xml"),
                      QStringLiteral("share/nereva-desktop/es/language.xml"),
                      icon.arg(QStringLiteral("scalable"), QStringLiteral("svg"))};
    for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
        files << icon.arg(QStringLiteral("%1x%1").arg(size), QStringLiteral("png"));
    }
    files.sort();
    return files;
}

QStringList filesUnder(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << QDir(folder).relativeFilePath(it.next());
    }
    files.sort();
    return files;
}

}  // namespace InstallSupport
