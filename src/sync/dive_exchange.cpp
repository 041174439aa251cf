#include "sync/dive_exchange.h"

#include "app/settings/app_error.h"
#include "net/service_endpoints.h"
#include "net/tdm_comm.h"
#include "net/wire_text.h"
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
        // The service learns of these deletions no more; the queue goes all the same.
    }
    DeletionQueue::remove();
}

QStringList upload(Tdm_rdp& tables, const std::function<bool()>& stopped) {
    const QString body = DiveUpload(tables).body(stopped);
    if (stopped && stopped()) {
        return {};
    }
    const QByteArray answer = dmComm->HttpMultiPartPost(ServiceEndpoints::dives(), body);
    return DiveAnswer::lines(WireText::fromBytes(answer));
}

}  // namespace DiveExchange
