#include "comm_fixture.h"
#include "http_test_server.h"
#include "net/http_errors.h"

#include <QProcess>
#include <QSslKey>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// A certificate for 127.0.0.1 made by the local openssl for this run; null when none can be.
struct SelfSigned {
    QSslCertificate certificate;
    QSslKey key;

    SelfSigned() {
        const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
        QTemporaryDir dir;
        if (openssl.isEmpty() || !dir.isValid()) {
            return;
        }
        const QString keyFile = dir.filePath(QStringLiteral("key.pem"));
        const QString certificateFile = dir.filePath(QStringLiteral("cert.pem"));
        QProcess process;
        process.start(openssl,
                      {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                       "-nodes", "-keyout", keyFile, "-out", certificateFile, "-days", "2", "-subj",
                       "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"});
        if (!process.waitForFinished(60 * 1000) || process.exitCode() != 0) {
            return;
        }
        key = QSslKey(TestSupport::readFile(keyFile), QSsl::Ec);
        const QList<QSslCertificate> read =
            QSslCertificate::fromData(TestSupport::readFile(certificateFile));
        certificate = read.isEmpty() ? QSslCertificate() : read.first();
    }
    bool valid() const { return !certificate.isNull() && !key.isNull(); }

    void serve(HttpTestServer& server) const {
        server.useTls = true;
        server.tls = QSslConfiguration::defaultConfiguration();
        server.tls.setLocalCertificate(certificate);
        server.tls.setPrivateKey(key);
    }
};

// Trusts one more certificate for as long as it lives.
class TrustedRoot {
public:
    explicit TrustedRoot(const QSslCertificate& certificate)
        : previous_(QSslConfiguration::defaultConfiguration()) {
        QSslConfiguration trusting = previous_;
        trusting.addCaCertificate(certificate);
        QSslConfiguration::setDefaultConfiguration(trusting);
    }
    ~TrustedRoot() { QSslConfiguration::setDefaultConfiguration(previous_); }
    TrustedRoot(const TrustedRoot&) = delete;
    TrustedRoot& operator=(const TrustedRoot&) = delete;

private:
    QSslConfiguration previous_;
};

}  // namespace

class TestHttpTls : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void unverifiedCertificateFailsBeforeAnythingIsSent();
    void verifiedServerGetsTheSameRequestBytes();

private:
    SelfSigned selfSigned_;
};

void TestHttpTls::initTestCase() {
    if (!QSslSocket::supportsSsl()) {
        QSKIP("no TLS backend");
    }
    if (!selfSigned_.valid()) {
        QSKIP("no openssl to make a test certificate");
    }
}

void TestHttpTls::unverifiedCertificateFailsBeforeAnythingIsSent() {
    CommFixture f;
    f.setMember(QStringLiteral("diver"), QStringLiteral("secret"));
    HttpTestServer server;
    selfSigned_.serve(server);
    QVERIFY_THROWS_EXCEPTION(
        SocketError,
        f.comm.HttpStrPost(QStringLiteral("https://%1/serv0.9/register/").arg(server.authority()),
                           {"param_user=diver", "param_pass=secret"}));
    QTest::qWait(50);
    QCOMPARE(server.lastRequest(), QByteArray());
}

void TestHttpTls::verifiedServerGetsTheSameRequestBytes() {
    CommFixture f;
    f.setMember(QStringLiteral("diver"), QStringLiteral("secret"));
    HttpTestServer server;
    selfSigned_.serve(server);
    TrustedRoot trusted(selfSigned_.certificate);
    const QByteArray body =
        f.comm.HttpGet(QStringLiteral("https://%1/serv0.9/info/contactlist.xml.php?param_name=A B")
                           .arg(server.authority()));
    QCOMPARE(body, QByteArray("OK"));
    QCOMPARE(server.lastRequest(),
             QByteArray("GET /serv0.9/info/contactlist.xml.php?param_name=A%20B HTTP/1.1\r\n"
                        "Content-Type: text/html\r\n"
                        "Host: ") +
                 server.authority().toLatin1() +
                 "\r\n"
                 "Accept: text/html, */*\r\n"
                 "User-Agent: Mozilla/3.0 (compatible; NEREVA Desktop 0.7.15b)\r\n"
                 "Authorization: Basic ZGl2ZXI6c2VjcmV0\r\n\r\n");
}

NEREVA_TEST_MAIN(TestHttpTls)
#include "test_http_tls.moc"
