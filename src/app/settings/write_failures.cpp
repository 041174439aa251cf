#include "app/settings/write_failures.h"

#include <QFileInfo>
#include <QSet>

namespace WriteFailures {
namespace {

QSet<QString>& failingFiles() {
    static QSet<QString> files;
    return files;
}

std::function<void(const QString&)>& reporter() {
    static std::function<void(const QString&)> show;
    return show;
}

QString identity(const QString& fileName) {
    return QFileInfo(fileName).absoluteFilePath();
}

}  // namespace

void failed(const QString& fileName, const QString& message) {
    const QString file = identity(fileName);
    if (failingFiles().contains(file)) {
        return;
    }
    failingFiles().insert(file);
    if (reporter()) {
        reporter()(message);
    }
}

void succeeded(const QString& fileName) {
    failingFiles().remove(identity(fileName));
}

bool failing(const QString& fileName) {
    return failingFiles().contains(identity(fileName));
}

void setReporter(std::function<void(const QString&)> show) {
    reporter() = std::move(show);
}

}  // namespace WriteFailures
