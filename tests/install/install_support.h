#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace InstallSupport {

struct Finished {
    int code = -1;  // -1: did not start or did not end in time
    QByteArray out;
    QByteArray err;
    QString text() const { return QString::fromUtf8(out + err); }
};

// Runs a program to its end (two minutes at most) in `folder` (the current one when empty).
Finished run(const QString& program, const QStringList& arguments, const QString& folder = {},
             const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// Installs the build into `prefix` as `cmake --install` does.
Finished installInto(const QString& prefix);

// Every file an installation holds, relative to its prefix, sorted: the program, its
// dictionaries, the icon at every size, the menu entry and the software-centre metadata.
QStringList expectedFiles();

// The files under `folder`, relative to it, sorted.
QStringList filesUnder(const QString& folder);

}  // namespace InstallSupport
