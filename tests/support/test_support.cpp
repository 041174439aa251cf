#include "test_support.h"

#include <QDir>
#include <QFile>

namespace TestSupport {
namespace {

QtMessageHandler previousHandler = nullptr;

void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // The offscreen platform's notes about what it cannot do say nothing about the program.
    if (message.startsWith(QLatin1String("This plugin does not support"))) {
        return;
    }
    if (previousHandler) {
        previousHandler(type, context, message);
    }
}

}  // namespace

void prepareProcess() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    installQuietHandler();
}

void installQuietHandler() {
    // Qt Test installs its own handler when the run starts; wrap whichever is current.
    const QtMessageHandler current = qInstallMessageHandler(quietHandler);
    if (current != quietHandler) {
        previousHandler = current;
    }
}

TempFolders::TempFolders() : oldCwd_(QDir::currentPath()), oldDataHome_(qgetenv("XDG_DATA_HOME")) {
    QDir(root()).mkpath(QStringLiteral("data"));
    QDir(root()).mkpath(QStringLiteral("work"));
    qputenv("XDG_DATA_HOME", dataHome().toLocal8Bit());
    QDir::setCurrent(work());
    installQuietHandler();
}

TempFolders::~TempFolders() {
    QDir::setCurrent(oldCwd_);
    qputenv("XDG_DATA_HOME", oldDataHome_);
}

QString TempFolders::dataHome() const {
    return root() + QStringLiteral("/data");
}

QString TempFolders::work() const {
    return root() + QStringLiteral("/work");
}

QString TempFolders::appData() const {
    return dataHome() + QStringLiteral("/nereva-desktop/");
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(data);
}

}  // namespace TestSupport
