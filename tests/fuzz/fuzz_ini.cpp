// The settings file reader and writer: any desktop.ini reads; a value written reads back, from
// the file as well as from memory.
#include "app/settings/ini_file.h"
#include "fuzz_support.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

using FuzzSupport::require;

namespace {

QString fileName() {
    static QTemporaryDir folder;
    return folder.filePath(QStringLiteral("desktop.ini"));
}

// Writes the file with a time stamp of its own, so the settings file sees a new file each time.
void writeFile(const QString& path, const QByteArray& bytes) {
    static qint64 stamp = 0;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        FuzzSupport::broken("the input file is written");
    }
    file.setFileTime(QDateTime::fromMSecsSinceEpoch(++stamp * 1000, Qt::UTC),
                     QFileDevice::FileModificationTime);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fileName();
    writeFile(path, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    TIniFile ini(path);
    ini.readString(QStringLiteral("InternetConnection"), QStringLiteral("BaseUrl"), QString());
    ini.readBool(QStringLiteral("Preferences"), QStringLiteral("ViewRegionSites"), false);
    ini.readInteger(QStringLiteral("Defaults"), QStringLiteral("Unit_Dist"), 0);
    ini.writeInteger(QStringLiteral("Position"), QStringLiteral("Dives_h"), 42);
    require(ini.readInteger(QStringLiteral("position"), QStringLiteral("DIVES_H"), 0) == 42,
            "a written value reads back");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QFile written(path);
    require(written.open(QIODevice::ReadOnly), "the written file opens");
    writeFile(path, written.readAll());  // read afresh from the bytes on disk
    require(
        TIniFile(path).readInteger(QStringLiteral("Position"), QStringLiteral("Dives_h"), 0) == 42,
        "a written value reads back from the file");
    return 0;
}
