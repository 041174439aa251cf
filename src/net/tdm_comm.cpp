#include "net/tdm_comm.h"

#include "app/settings/tdm_const.h"
#include "net/http_errors.h"
#include "net/wire_text.h"
#include "store/tdm_rdp.h"

#include <QDateTime>

TdmComm* dmComm = nullptr;

namespace {

// A field of the member record as it reads now; empty without a member record.
QString memberField(const QString& field) {
    Table* member = dm_rdp ? dm_rdp->cds_info : nullptr;
    if (!member || !member->active()) {
        return {};
    }
    return member->asString(field);
}

HttpProxy proxyFromSettings() {
    if (dm_const->ProxyHost.isEmpty()) {
        return {};
    }
    return {dm_const->ProxyHost, HttpWire::portNumber(dm_const->ProxyPort)};
}

// A whole number from 1 to `highest` in desktop.ini's "InternetConnection" section; `byDefault`
// when the key is missing, not a number or not positive.
int connectionSetting(const QString& key, int byDefault, int highest) {
    if (!dm_const || !dm_const->IniFile) {
        return byDefault;
    }
    const int value =
        dm_const->IniFile->readInteger(QStringLiteral("InternetConnection"), key, byDefault);
    return value < 1 ? byDefault : qMin(value, highest);
}

// Lowers the running flag however the request ends.
class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& flag_;
};

}  // namespace

TdmComm::TdmComm() = default;
TdmComm::~TdmComm() = default;

QByteArray TdmComm::HttpGet(const QString& url) {
    UpdateNMHTTP1();
    return send(url, HttpRequest::get(), RequestKind::Ordinary);
}

QByteArray TdmComm::HttpStrPost(const QString& url, const QStringList& fields) {
    UpdateNMHTTP1();
    return send(url, HttpRequest::formPost(HttpWire::encodeForm(fields)), RequestKind::Ordinary);
}

QByteArray TdmComm::HttpMultiPartPost(const QString& url, const QString& value, RequestKind kind) {
    const QByteArray bytes = WireText::toBytes(value);
    MultipartBody body(QDateTime::currentDateTime(), bytes.size());
    body.buffer() += bytes;
    return HttpMultiPartPost(url, std::move(body), kind);
}

QByteArray TdmComm::HttpMultiPartPost(const QString& url, MultipartBody body, RequestKind kind) {
    UpdateNMHTTP1();
    const QByteArray boundary = body.boundary();
    return send(url, HttpRequest::multipartPost(boundary, body.finish()), kind);
}

void TdmComm::UpdateNMHTTP1() {
    if (requestRunning_) {
        throw RequestRunningError(
            QStringLiteral("Another request to the service is still waiting for its answer."));
    }
    NMHTTP1.reset();
    HttpIdentity identity{HttpWire::userAgent(dm_const->AppTitle, dm_const->AppVersion),
                          memberField(QStringLiteral("inet_user")),
                          memberField(QStringLiteral("inet_pass"))};
    NMHTTP1 = std::make_unique<HttpClient>(std::move(identity), proxyFromSettings());
}

HttpLimits TdmComm::limits(RequestKind kind) const {
    HttpLimits limits;
    limits.idleMs = idleTimeout_;
    limits.deadlineMs = deadline_;
    limits.maxBodyBytes =
        qint64(connectionSetting(QStringLiteral("MaxAnswerSize"), kDefaultMaxAnswerMegabytes,
                                 kMaxAnswerMegabytesBound))
        << 20;
    if (kind == RequestKind::DiveUpload) {
        limits.idleMs = connectionSetting(QStringLiteral("Timeout"), kDefaultUploadTimeoutSeconds,
                                          kMaxUploadTimeoutSeconds) *
                        1000;
        limits.deadlineMs = limits.idleMs * kUploadDeadlineFactor;
    }
    return limits;
}

void TdmComm::cancelRequest() {
    if (requestRunning_ && NMHTTP1) {
        NMHTTP1->cancel();
    }
}

QByteArray TdmComm::send(const QString& url, const HttpRequest& request, RequestKind kind) {
    const HttpLimits bounds = limits(kind);
    RunningFlag running(requestRunning_);
    return NMHTTP1->send(url, request, bounds);
}
