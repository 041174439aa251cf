#include "service/service_log.h"

#include <QDateTime>
#include <QMutex>
#include <cstdio>

namespace ServiceLog {

void write(const QString& line) {
    static QMutex mutex;
    const QByteArray text =
        (QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs) + u' ' + line + u'\n')
            .toUtf8();
    const QMutexLocker lock(&mutex);
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    std::fflush(stderr);
}

}  // namespace ServiceLog
