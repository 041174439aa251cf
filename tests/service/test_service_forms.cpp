#include "service/csv.h"
#include "service/web_form.h"

#include <QTest>

namespace {

// A multipart body the way the desktop's transport writes it.
QByteArray desktopMultipart(const QByteArray& boundary, const QByteArray& value) {
    return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"formfield1\"\r\n\r\n" +
           value + "\r\n\r\n--" + boundary + "--\r\n";
}

}  // namespace

class TestServiceForms : public QObject {
    Q_OBJECT
private slots:
    void multipartValue_data();
    void multipartValue();
    void pairs_data();
    void pairs();
    void basicCredentials_data();
    void basicCredentials();
    void csvRows_data();
    void csvRows();
};

void TestServiceForms::multipartValue_data() {
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("value");
    const QByteArray boundary = "--------070923103000123";
    const QByteArray type = "multipart/form-data; boundary=" + boundary;
    QTest::newRow("desktop's body: the value ends with its own CR LF")
        << type << desktopMultipart(boundary, "a##b\r\nc##d\r\n") << true
        << QByteArray("a##b\r\nc##d\r\n\r\n");
    QTest::newRow("value holding the boundary text without a line break before it")
        << type << desktopMultipart(boundary, "x--" + boundary + "y") << true
        << QByteArray("x--" + boundary + "y\r\n");
    QTest::newRow("quoted boundary")
        << QByteArray("multipart/form-data; boundary=\"" + boundary + "\"")
        << desktopMultipart(boundary, "v") << true << QByteArray("v\r\n");
    QTest::newRow("the field after another part")
        << type
        << "--" + boundary + "\r\nContent-Disposition: form-data; name=\"other\"\r\n\r\nno\r\n" +
               desktopMultipart(boundary, "yes")
        << true << QByteArray("yes\r\n");
    QTest::newRow("cut off before the closing delimiter")
        << type << desktopMultipart(boundary, "a##b").chopped(8) << false << QByteArray();
    QTest::newRow("another field only")
        << type << desktopMultipart(boundary, "v").replace("formfield1", "formfield2") << false
        << QByteArray();
    QTest::newRow("form body") << QByteArray("application/x-www-form-urlencoded")
                               << QByteArray("formfield1=v") << false << QByteArray();
}

void TestServiceForms::multipartValue() {
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, body);
    QFETCH(bool, found);
    QFETCH(QByteArray, value);
    const std::optional<QByteArray> read = WebForm::multipartValue(contentType, body, "formfield1");
    QCOMPARE(read.has_value(), found);
    if (found) {
        QCOMPARE(*read, value);
    }
}

void TestServiceForms::pairs_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("form");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::newRow("deletion queue") << QByteArray("del=17%23%23203%23%23") << true << "del"
                                    << "17##203##";
    QTest::newRow("ISO-8859-1 byte and blank")
        << QByteArray("param_name=Ana+Mart%EDnez&param_idioma=es&") << true << "param_name"
        << QStringLiteral("Ana Martínez");
    QTest::newRow("plus in an address stays")
        << QByteArray("param_email=a+b%40x.org") << false << "param_email"
        << "a+b@x.org";
    QTest::newRow("encoded equals and ampersand") << QByteArray("v=a%3Db%26c&w=1") << true << "v"
                                                  << "a=b&c";
    QTest::newRow("percent without digits stays") << QByteArray("v=100%&w=%4") << true << "w"
                                                  << "%4";
    QTest::newRow("first of repeated names") << QByteArray("v=1&v=2") << true << "v"
                                             << "1";
    QTest::newRow("name without value") << QByteArray("param_id&x=1") << false << "param_id"
                                        << "";
}

void TestServiceForms::pairs() {
    QFETCH(QByteArray, text);
    QFETCH(bool, form);
    QFETCH(QString, name);
    QFETCH(QString, value);
    const QHash<QString, QString> pairs = WebForm::parsePairs(text, form);
    QVERIFY(pairs.contains(name));
    QCOMPARE(pairs.value(name), value);
}

void TestServiceForms::basicCredentials_data() {
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::newRow("user and password") << "Basic " + QByteArray("anna:reef42").toBase64() << "anna"
                                       << "reef42";
    QTest::newRow("colon in the password") << "basic " + QByteArray("anna:a:b").toBase64() << "anna"
                                           << "a:b";
    QTest::newRow("ISO-8859-1 password")
        << "Basic " + QByteArray("anna:m\xf6we").toBase64() << "anna" << QStringLiteral("möwe");
    QTest::newRow("both empty, as a newcomer sends them") << QByteArray("Basic Og==") << ""
                                                          << "";
    QTest::newRow("another scheme") << QByteArray("Bearer abc") << ""
                                    << "";
    QTest::newRow("not base64") << QByteArray("Basic ***") << ""
                                << "";
    QTest::newRow("no colon") << "Basic " + QByteArray("anna").toBase64() << ""
                              << "";
}

void TestServiceForms::basicCredentials() {
    QFETCH(QByteArray, header);
    QFETCH(QString, user);
    QFETCH(QString, password);
    const WebForm::Credentials credentials = WebForm::basicCredentials(header);
    QCOMPARE(credentials.user, user);
    QCOMPARE(credentials.password, password);
}

void TestServiceForms::csvRows_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::newRow("quoted comma, doubled quote, line break inside quotes")
        << QByteArray("a,\"Blue Hole, Dahab\",\"say \"\"hi\"\"\",\"two\nlines\"\n")
        << QList<QStringList>{{"a", "Blue Hole, Dahab", "say \"hi\"", "two\nlines"}};
    QTest::newRow("byte order mark, CR LF, empty lines, UTF-8")
        << QByteArray("\xef\xbb\xbfname,site\r\n\r\nMéxico,\r\n")
        << QList<QStringList>{{"name", "site"}, {QStringLiteral("México"), ""}};
    QTest::newRow("last line without line break")
        << QByteArray("x,y\nz") << QList<QStringList>{{"x", "y"}, {"z"}};
}

void TestServiceForms::csvRows() {
    QFETCH(QByteArray, text);
    QFETCH(QList<QStringList>, rows);
    QCOMPARE(parseCsv(text), rows);
}

QTEST_APPLESS_MAIN(TestServiceForms)
#include "test_service_forms.moc"
