// The HTTP answer reader fed in pieces of random sizes: whatever the bytes, the reader ends the
// same way as when it gets them all at once (same answer, or a failure either way).
#include "app/settings/app_error.h"
#include "fuzz_support.h"
#include "net/http_response.h"

using FuzzSupport::require;

namespace {

struct Outcome {
    bool failed = false;
    bool complete = false;
    int status = 0;
    QByteArray statusLine;
    QByteArray body;
    QByteArray length;

    bool operator==(const Outcome& o) const {
        return failed == o.failed && complete == o.complete && status == o.status &&
               statusLine == o.statusLine && body == o.body && length == o.length;
    }
};

// Feeds `stream` in pieces of 1 to 64 bytes drawn from `seed` (the whole at once when 0),
// then ends the connection.
Outcome read(const QByteArray& stream, quint32 seed) {
    HttpResponseReader reader;
    Outcome outcome;
    try {
        qsizetype at = 0;
        bool done = false;
        while (!done && at < stream.size()) {
            seed = seed * 1103515245u + 12345u;
            const qsizetype piece = seed == 0 ? stream.size() : 1 + (seed >> 16) % 64;
            done = reader.feed(stream.mid(at, piece));
            at += piece;
        }
        if (!done) {
            reader.finishAtClose();
        }
    } catch (const AppError&) {
        outcome.failed = true;
        return outcome;
    }
    outcome.complete = reader.complete();
    outcome.status = reader.statusCode();
    outcome.statusLine = reader.statusLine();
    outcome.body = reader.body();
    outcome.length = reader.header("Content-Length");
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const quint32 seed = quint32(data[0]) << 8 | data[1];
    const QByteArray stream(reinterpret_cast<const char*>(data) + 2, qsizetype(size - 2));
    require(read(stream, 0) == read(stream, seed | 1),
            "an answer read in pieces reads as the whole");
    return 0;
}
