#pragma once

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
// the same thread can answer. Nothing arriving for `idleTimeoutMs` fails the request.
class HttpClient {
public:
    HttpClient(HttpIdentity identity, HttpProxy proxy, int idleTimeoutMs);

    // Sends `request` to `url` (blanks and control characters escaped first) and returns the
    // body of a 2xx answer as received. Throws HttpError for any other status, SocketError
    // (TimeoutError) when the exchange fails, AppError/ConversionError/EncodingError for an
    // address that cannot be sent (before connecting).
    QByteArray send(const QString& url, const HttpRequest& request) const;

    const HttpIdentity& identity() const { return identity_; }
    const HttpProxy& proxy() const { return proxy_; }

private:
    HttpIdentity identity_;
    HttpProxy proxy_;
    int idleTimeoutMs_;
};
