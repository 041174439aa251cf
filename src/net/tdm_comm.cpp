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
    return send(url, HttpRequest::get());
}

QByteArray TdmComm::HttpStrPost(const QString& url, const QStringList& fields) {
    UpdateNMHTTP1();
    return send(url, HttpRequest::formPost(HttpWire::encodeForm(fields)));
}

QByteArray TdmComm::HttpMultiPartPost(const QString& url, const QString& value) {
    UpdateNMHTTP1();
    const QByteArray boundary = HttpWire::multipartBoundary(QDateTime::currentDateTime());
    return send(url, HttpRequest::multipartPost(
                         boundary, HttpWire::multipartBody(boundary, WireText::toBytes(value))));
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
    NMHTTP1 = std::make_unique<HttpClient>(std::move(identity), proxyFromSettings(), idleTimeout_);
}

QByteArray TdmComm::send(const QString& url, const HttpRequest& request) {
    RunningFlag running(requestRunning_);
    return NMHTTP1->send(url, request);
}
