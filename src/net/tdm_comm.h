#pragma once

#include "net/http_client.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

// The HTTP transport: every exchange with the service is one of three blocking calls. Each call
// rebuilds the client from the member's current credentials (`inet_user`, `inet_pass` of
// `cds_info`, empty without a member record) and the proxy settings of `dm_const`, so a change
// applies to the very next request; nothing is kept between calls.
//
// Text goes on the wire as ISO-8859-1 (see WireText); answers come back as the bytes received.
// Calls wait in a nested event loop, so the interface stays alive: callers disable their own
// commands meanwhile, and a call started while another waits fails with RequestRunningError
// without touching the one in progress.
//
// Failures are exceptions, never shown here: HttpError for a status other than 2xx (carrying
// the code, status line and body), SocketError when the connection fails, TimeoutError when
// nothing arrives for idleTimeout(), ConversionError for a proxy port that is not a number
// (while a proxy host is set), EncodingError for text outside ISO-8859-1. A proxy that refuses
// the tunnel of an "https://" address fails with SocketError.
//
// Needs `dm_const`; `dm_rdp` is optional (no tables module means empty credentials).
class TdmComm {
public:
    static constexpr int kDefaultIdleTimeout = 60 * 1000;

    TdmComm();
    ~TdmComm();

    TdmComm(const TdmComm&) = delete;
    TdmComm& operator=(const TdmComm&) = delete;

    // GET; blanks in the address become "%20", nothing else is encoded.
    QByteArray HttpGet(const QString& url);
    // POST of name=value lines as an application/x-www-form-urlencoded form.
    QByteArray HttpStrPost(const QString& url, const QStringList& fields);
    // POST of a multipart/form-data body whose one field "formfield1" holds `value` unchanged.
    QByteArray HttpMultiPartPost(const QString& url, const QString& value);

    // Rebuilds the client from the current credentials and proxy settings; refused while a
    // request waits, since that request still uses the client.
    void UpdateNMHTTP1();

    int idleTimeout() const { return idleTimeout_; }
    void setIdleTimeout(int milliseconds) { idleTimeout_ = milliseconds; }
    bool requestRunning() const { return requestRunning_; }

    std::unique_ptr<HttpClient> NMHTTP1;

private:
    QByteArray send(const QString& url, const HttpRequest& request);

    int idleTimeout_ = kDefaultIdleTimeout;
    bool requestRunning_ = false;
};

// The one instance, created at start-up with the tables module.
extern TdmComm* dmComm;
