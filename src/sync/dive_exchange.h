#pragma once

#include "sync/dive_answer.h"

#include <QSet>
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

// Uploads every dive; returns the answer's lines. The records are written once, into the
// request's body, and `stopped` is asked before each dive (the run lets the events run there);
// when it says so nothing is sent and there are no lines. Throws AppError when the request
// fails. The request has the dive upload's longer time limits (TdmComm::RequestKind::DiveUpload):
// the service answers only when it has gone through the whole log.
AnswerLines upload(Tdm_rdp& tables, const std::function<bool()>& stopped);

}  // namespace DiveExchange
