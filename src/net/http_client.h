#pragma once

#include "net/http_limits.h"
#include "net/http_request.h"

#include <QByteArray>
#include <QString>

// An HTTP proxy; an empty host means a direct connection.
struct HttpProxy {
    QString host;
    quint16 port = 0;
    bool used() const { return !host.isEmpty(); }
};

// One blocking HTTP/1.x client over a fresh connection per request. "https://" addresses go
// over TLS with the peer's certificate verified (through a proxy by a CONNECT tunnel, so the
// proxy never sees the request); the request bytes are the same as in clear.
//
// While it waits, a nested event loop runs: windows repaint and take clicks, and a server in
// the same thread can answer. The request fails when nothing arrives for the idle limit, when
// the answer is not complete by the deadline, when the answer passes its size bounds, or when
// cancel() is called meanwhile.
class HttpClient {
public:
    HttpClient(HttpIdentity identity, HttpProxy proxy);
    ~HttpClient();

    // Sends `request` to `url` (blanks and control characters escaped first) and returns the
    // body of a 2xx answer as received. Throws HttpError for any other status, SocketError
    // (TimeoutError, AnswerTooLargeError) when the exchange fails, RequestCanceledError after
    // cancel(), AppError/ConversionError/EncodingError for an address that cannot be sent
    // (before connecting).
    QByteArray send(const QString& url, const HttpRequest& request,
                    const HttpLimits& limits = {}) const;
    // Gives up the request waiting now (called from an event handled while it waits).
    void cancel() const;

    const HttpIdentity& identity() const { return identity_; }
    const HttpProxy& proxy() const { return proxy_; }

private:
    class Exchange;

    HttpIdentity identity_;
    HttpProxy proxy_;
    mutable Exchange* waiting_ = nullptr;
};
