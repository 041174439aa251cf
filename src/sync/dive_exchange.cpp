#include "sync/dive_exchange.h"

#include "app/settings/app_error.h"
#include "net/service_endpoints.h"
#include "net/tdm_comm.h"
#include "store/tdm_rdp.h"
#include "sync/dive_answer.h"
#include "sync/dive_upload.h"

namespace DiveExchange {

void sendDeletionQueue() {
    if (!DeletionQueue::exists()) {
        return;
    }
    try {
        QStringList lines = DiveAnswer::lines(DeletionQueue::read());
        while (!lines.isEmpty() && lines.last().isEmpty()) {
            lines.removeLast();
        }
        if (!lines.isEmpty()) {
            lines.first().prepend(QStringLiteral("del="));
            dmComm->HttpStrPost(ServiceEndpoints::deleteDives(), lines);
        }
    } catch (const AppError&) {
        return;  // sent again by the next run
    }
    DeletionQueue::remove();
}

QSet<int> queuedDeletions() {
    QSet<int> numbers;
    if (!DeletionQueue::exists()) {
        return numbers;
    }
    try {
        for (const QString& entry :
             DeletionQueue::read().split(QStringLiteral("##"), Qt::SkipEmptyParts)) {
            bool ok = false;
            const int number = entry.trimmed().toInt(&ok);
            if (ok) {
                numbers.insert(number);
            }
        }
    } catch (const AppError&) {
        // A queue that cannot be read withholds nothing.
    }
    return numbers;
}

AnswerLines upload(Tdm_rdp& tables, const std::function<bool()>& stopped) {
    DiveUpload records(tables);
    MultipartBody body(QDateTime::currentDateTime(), records.sizeGuess());
    records.write(body.buffer(), stopped);
    if (stopped && stopped()) {
        return {};
    }
    return AnswerLines(dmComm->HttpMultiPartPost(ServiceEndpoints::dives(), std::move(body),
                                                 TdmComm::RequestKind::DiveUpload));
}

}  // namespace DiveExchange
