#include "interchange/log_reader.h"

#include "interchange/subsurface_reader.h"
#include "interchange/uddf_reader.h"

#include <QFile>

namespace LogReader {

std::optional<LogFile> read(const QString& path, const ReadProgress& progress) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw IoError(QStringLiteral("Cannot read \"%1\": %2.").arg(path, file.errorString()));
    }
    return read(&file, file.size(), progress);
}

std::optional<LogFile> read(QIODevice* device, qint64 size, const ReadProgress& progress) {
    try {
        XmlInput input(device, size, progress);
        if (!input.next()) {
            input.fail(QStringLiteral("the file holds no XML element."));
        }
        const QStringView root = input.name();
        if (root == u"uddf") {
            return UddfReader::read(input);
        }
        if (root == u"divelog" || root == u"dives") {
            return SubsurfaceReader::read(input);
        }
        input.fail(QStringLiteral("<%1> starts neither a UDDF file nor a Subsurface log.")
                       .arg(root.toString()));
    } catch (const ReadCancelled&) {
        return std::nullopt;
    }
}

}  // namespace LogReader
