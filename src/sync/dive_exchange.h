#pragma once

#include <QSet>
#include <QStringList>
#include <functional>

class Tdm_rdp;

// The requests of the dives task: the deletion queue, and the upload of every dive whose answer
// DiveAnswer writes back.
namespace DiveExchange {

// Posts the deletion queue as the form field "del" when a queue file exists, and removes the
// file once the service has it (an empty queue sends nothing and goes). A failed request keeps
// the queue for the next run: the service ignores numbers it does not know, so sending them
// again is safe. Failures are not reported.
void sendDeletionQueue();
// The service numbers of the dives deleted here that the service has not been told of yet.
QSet<int> queuedDeletions();

// Uploads every dive; returns the answer's lines. Stops before sending (returning nothing) when
// `stopped` says so while the records are built. Throws AppError when the request fails. The
// request has the dive upload's longer time limits (TdmComm::RequestKind::DiveUpload): the
// service answers only when it has gone through the whole log.
QStringList upload(Tdm_rdp& tables, const std::function<bool()>& stopped);

}  // namespace DiveExchange
