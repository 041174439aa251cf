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
// nothing arrives for the idle limit or the answer is not complete by the deadline,
// AnswerTooLargeError for an answer past its size bounds, RequestCanceledError after
// cancelRequest(), ConversionError for a proxy port that is not a number (while a proxy host is
// set), EncodingError for text outside ISO-8859-1. A proxy that refuses the tunnel of an
// "https://" address fails with SocketError.
//
// The bounds of each request (limits()) come from desktop.ini, section "InternetConnection",
// read afresh at every call: "Timeout", the dive upload's idle limit in seconds (the service
// answers only when it has gone through the whole log), and "MaxAnswerSize", the largest answer
// taken, in megabytes.
//
// Needs `dm_const`; `dm_rdp` is optional (no tables module means empty credentials).
class TdmComm {
public:
    enum class RequestKind { Ordinary, DiveUpload };

    static constexpr int kDefaultIdleTimeout = 60 * 1000;
    static constexpr int kDefaultDeadline = 5 * 60 * 1000;
    static constexpr int kDefaultUploadTimeoutSeconds = 10 * 60;
    static constexpr int kMaxUploadTimeoutSeconds = 24 * 60 * 60;
    // The dive upload's deadline, in idle limits: time for the answer to come once it starts.
    static constexpr int kUploadDeadlineFactor = 3;
    static constexpr int kDefaultMaxAnswerMegabytes = 256;
    static constexpr int kMaxAnswerMegabytesBound = 64 * 1024;

    TdmComm();
    ~TdmComm();

    TdmComm(const TdmComm&) = delete;
    TdmComm& operator=(const TdmComm&) = delete;

    // GET; blanks in the address become "%20", nothing else is encoded.
    QByteArray HttpGet(const QString& url);
    // POST of name=value lines as an application/x-www-form-urlencoded form.
    QByteArray HttpStrPost(const QString& url, const QStringList& fields);
    // POST of a multipart/form-data body whose one field "formfield1" holds `value` unchanged.
    QByteArray HttpMultiPartPost(const QString& url, const QString& value,
                                 RequestKind kind = RequestKind::Ordinary);
    // The same with a body the caller has written (its value already ISO-8859-1 bytes); it is
    // streamed to the connection as it stands.
    QByteArray HttpMultiPartPost(const QString& url, MultipartBody body,
                                 RequestKind kind = RequestKind::Ordinary);

    // Rebuilds the client from the current credentials and proxy settings; refused while a
    // request waits, since that request still uses the client.
    void UpdateNMHTTP1();

    // The bounds a request of `kind` gets when it starts now.
    HttpLimits limits(RequestKind kind) const;
    // Gives up the request waiting now, if any: it fails with RequestCanceledError.
    void cancelRequest();

    // The idle limit and deadline of requests other than the dive upload (shortened by tests).
    int idleTimeout() const { return idleTimeout_; }
    void setIdleTimeout(int milliseconds) { idleTimeout_ = milliseconds; }
    void setDeadline(int milliseconds) { deadline_ = milliseconds; }
    bool requestRunning() const { return requestRunning_; }

    std::unique_ptr<HttpClient> NMHTTP1;

private:
    QByteArray send(const QString& url, const HttpRequest& request, RequestKind kind);

    int idleTimeout_ = kDefaultIdleTimeout;
    int deadline_ = kDefaultDeadline;
    bool requestRunning_ = false;
};

// The one instance, created at start-up with the tables module.
extern TdmComm* dmComm;
