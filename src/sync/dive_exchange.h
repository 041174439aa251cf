#pragma once

#include <QStringList>
#include <functional>

class Tdm_rdp;

// The requests of the dives task: the deletion queue, and the upload of every dive whose answer
// DiveAnswer writes back.
namespace DiveExchange {

// Posts the deletion queue as the form field "del" when a queue file exists, and removes the
// file whatever happened; an empty queue sends nothing. Failures are not reported.
void sendDeletionQueue();

// Uploads every dive; returns the answer's lines. Stops before sending (returning nothing) when
// `stopped` says so while the records are built. Throws AppError when the request fails.
QStringList upload(Tdm_rdp& tables, const std::function<bool()>& stopped);

}  // namespace DiveExchange
