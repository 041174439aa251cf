#pragma once

#include <QtGlobal>

// The bounds of one request, so that a broken or hostile server can neither hold the program
// nor fill its memory; each bound that is passed fails the request with its own message.
struct HttpLimits {
    int idleMs = 60 * 1000;          // the longest wait for the next byte
    int deadlineMs = 5 * 60 * 1000;  // the longest whole exchange, however steadily bytes come
    qint64 maxBodyBytes = qint64(256) << 20;
    // Status lines, header lines and trailers together, interim answers and stray line ends
    // included.
    qint64 maxHeaderBytes = 64 * 1024;
    int maxHeaders = 100;  // header lines of one answer
};
