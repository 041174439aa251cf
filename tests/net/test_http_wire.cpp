#include "net/http_errors.h"
#include "net/http_request.h"
#include "net/http_response.h"
#include "test_support.h"

#include <functional>

namespace {

const HttpIdentity kIdentity{QStringLiteral("UA"), QStringLiteral("u"), QStringLiteral("p")};

QByteArray hostLine(const QString& url) {
    const QByteArray request =
        HttpWire::requestHead(HttpRequest::get(), HttpWire::parseAddress(url), false, kIdentity);
    const qsizetype start = request.indexOf("\r\nHost: ") + 2;
    return request.mid(start, request.indexOf("\r\n", start) - start);
}

// Small bounds, so an answer past them is short enough to write out.
HttpLimits smallLimits() {
    HttpLimits limits;
    limits.maxHeaderBytes = 256;
    limits.maxHeaders = 4;
    limits.maxBodyBytes = 1000;
    return limits;
}

QByteArray chunked(const QList<int>& sizes, const QByteArray& trailers = {}) {
    QByteArray answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (const int size : sizes) {
        answer += QByteArray::number(size, 16) + "\r\n" + QByteArray(size, 'c') + "\r\n";
    }
    return answer + "0\r\n" + trailers + "\r\n";
}

// The answer read in one piece, or fed one byte at a time.
HttpResponseReader readAll(const QByteArray& answer, bool byteByByte,
                           const HttpLimits& limits = {}) {
    HttpResponseReader reader(limits);
    if (!byteByByte) {
        reader.feed(answer);
        return reader;
    }
    for (const char byte : answer) {
        reader.feed(QByteArray(1, byte));
    }
    return reader;
}

}  // namespace

class TestHttpWire : public QObject {
    Q_OBJECT
private slots:
    void addressesAreSplit_data();
    void addressesAreSplit();
    void unusableAddressesThrow_data();
    void unusableAddressesThrow();
    void controlCharactersCannotEndTheRequestLine();
    void hostNamesThePortUnlessItIsTheDefault_data();
    void hostNamesThePortUnlessItIsTheDefault();
    void formLinesAreEncodedAfterTheFirstEquals_data();
    void formLinesAreEncodedAfterTheFirstEquals();
    void boundaryIsTheLocalTime();
    void answersAreReadInAnyPieces_data();
    void answersAreReadInAnyPieces();
    void bytesAfterTheAnswerAreIgnored();
    void headersAreFoundWithoutRegardToCase();
    void malformedAnswersThrow_data();
    void malformedAnswersThrow();
    void endOfConnection_data();
    void endOfConnection();
    void answersWithinTheirBoundsAreRead_data();
    void answersWithinTheirBoundsAreRead();
    void answersPastTheirBoundsThrow_data();
    void answersPastTheirBoundsThrow();
};

void TestHttpWire::addressesAreSplit_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("tls");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("absolute");
    QTest::newRow("http") << "http://h.example/a/b.php?x=1&y=2" << false << "h.example" << 80
                          << QByteArray("/a/b.php?x=1&y=2")
                          << QByteArray("http://h.example/a/b.php?x=1&y=2");
    QTest::newRow("https default port") << "https://h.example/x" << true << "h.example" << 443
                                        << QByteArray("/x") << QByteArray("https://h.example/x");
    QTest::newRow("scheme in capitals, own port, no path")
        << "HTTP://H.example:81" << false << "H.example" << 81 << QByteArray("/")
        << QByteArray("HTTP://H.example:81");
    QTest::newRow("query right after the host")
        << "http://h?x=1" << false << "h" << 80 << QByteArray("/?x=1")
        << QByteArray("http://h?x=1");
    QTest::newRow("no scheme is http") << "h.example/p" << false << "h.example" << 80
                                       << QByteArray("/p") << QByteArray("http://h.example/p");
    QTest::newRow("IPv6 literal") << "http://[::1]:8080/p" << false << "::1" << 8080
                                  << QByteArray("/p") << QByteArray("http://[::1]:8080/p");
    QTest::newRow("values kept as written")
        << QStringLiteral("http://h/a.php?n=a#b&c=José") << false << "h" << 80
        << QByteArray("/a.php?n=a#b&c=Jos\xE9") << QByteArray("http://h/a.php?n=a#b&c=Jos\xE9");
}

void TestHttpWire::addressesAreSplit() {
    QFETCH(QString, url);
    QFETCH(bool, tls);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, absolute);
    const HttpAddress address = HttpWire::parseAddress(url);
    QCOMPARE(address.tls, tls);
    QCOMPARE(address.host, host);
    QCOMPARE(int(address.port), port);
    QCOMPARE(address.target, target);
    QCOMPARE(address.absolute, absolute);
}

void TestHttpWire::unusableAddressesThrow_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("kind");
    QTest::newRow("other scheme") << "ftp://h/x"
                                  << "address";
    QTest::newRow("no host") << "http:///x"
                             << "address";
    QTest::newRow("port only") << "http://:80/x"
                               << "address";
    QTest::newRow("port not a number") << "http://h:8o/x"
                                       << "conversion";
    QTest::newRow("port zero") << "http://h:0/x"
                               << "conversion";
    QTest::newRow("port too large") << "http://h:65536/x"
                                    << "conversion";
    QTest::newRow("text outside Latin-1") << QStringLiteral("http://h/x?n=Łódź") << "encoding";
}

void TestHttpWire::unusableAddressesThrow() {
    QFETCH(QString, url);
    QFETCH(QString, kind);
    try {
        HttpWire::parseAddress(url);
        QFAIL("the address was accepted");
    } catch (const ConversionError&) {
        QCOMPARE(kind, QStringLiteral("conversion"));
    } catch (const EncodingError&) {
        QCOMPARE(kind, QStringLiteral("encoding"));
    } catch (const AppError&) {
        QCOMPARE(kind, QStringLiteral("address"));
    }
}

void TestHttpWire::controlCharactersCannotEndTheRequestLine() {
    const QString url = HttpWire::escapeAddress(
        QStringLiteral("http://h/a.php?n=x y\r\nX-Injected: 1\r\n\r\nGET /\t%41"));
    QCOMPARE(url, QStringLiteral("http://h/a.php?n=x%20y%0D%0AX-Injected:%201%0D%0A%0D%0AGET%20/"
                                 "%09%41"));
    const QByteArray request =
        HttpWire::requestHead(HttpRequest::get(), HttpWire::parseAddress(url), false, kIdentity);
    // The request line, five header lines and the empty line.
    QCOMPARE(request.count("\r\n"), 7);
}

void TestHttpWire::hostNamesThePortUnlessItIsTheDefault_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<QByteArray>("host");
    QTest::newRow("http on 80") << "http://h.example:80/" << QByteArray("Host: h.example");
    QTest::newRow("http on 8080") << "http://h.example:8080/" << QByteArray("Host: h.example:8080");
    QTest::newRow("http on 443") << "http://h.example:443/" << QByteArray("Host: h.example:443");
    QTest::newRow("https default") << "https://h.example/" << QByteArray("Host: h.example");
    QTest::newRow("https on 80") << "https://h.example:80/" << QByteArray("Host: h.example:80");
    QTest::newRow("IPv6 in brackets") << "http://[::1]:81/" << QByteArray("Host: [::1]:81");
}

void TestHttpWire::hostNamesThePortUnlessItIsTheDefault() {
    QFETCH(QString, url);
    QFETCH(QByteArray, host);
    QCOMPARE(hostLine(url), host);
}

void TestHttpWire::formLinesAreEncodedAfterTheFirstEquals_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("every other byte escaped")
        << QStringList{"v=a-b_c.d~e!*'()/?:@+,;$"}
        << QByteArray("v=a%2Db%5Fc%2Ed%7Ee%21%2A%27%28%29%2F%3F%3A%40%2B%2C%3B%24");
    QTest::newRow("only the first = splits") << QStringList{"a=b=c"} << QByteArray("a=b%3Dc");
    QTest::newRow("names and lines without = as they are")
        << QStringList{"na me=x y", "plain"} << QByteArray("na me=x+y&plain&");
    QTest::newRow("control characters in a value")
        << QStringList{"m=a\tb\r\n"} << QByteArray("m=a%09b%0D%0A");
    QTest::newRow("a value of blanks") << QStringList{"a=1", "b=  "} << QByteArray("a=1&b=++&");
    QTest::newRow("one line with trailing blanks in its name")
        << QStringList{"del  "} << QByteArray("del");
}

void TestHttpWire::formLinesAreEncodedAfterTheFirstEquals() {
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, body);
    QCOMPARE(HttpWire::encodeForm(fields), body);
}

void TestHttpWire::boundaryIsTheLocalTime() {
    const QDateTime evening(QDate(2024, 3, 7), QTime(21, 5, 2, 7));
    QCOMPARE(HttpWire::multipartBoundary(evening), QByteArray("--------030724210502007"));
    QCOMPARE(HttpWire::multipartBoundary(evening).size(), 23);
}

void TestHttpWire::answersAreReadInAnyPieces_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("Content-Length") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabc")
                                    << 200 << QByteArray("abc");
    QTest::newRow("chunked, hexadecimal sizes")
        << QByteArray(
               "HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\nA\r\n0123456789\r\n"
               "1 ; name=value\r\nX\r\n0\r\n\r\n")
        << 200 << QByteArray("0123456789X");
    QTest::newRow("chunked wins over Content-Length")
        << QByteArray(
               "HTTP/1.1 200 OK\r\nContent-Length: 99\r\nTransfer-Encoding: chunked\r\n\r\n"
               "2\r\nab\r\n0\r\n\r\n")
        << 200 << QByteArray("ab");
    QTest::newRow("several interim answers")
        << QByteArray(
               "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 102 Processing\r\nX: 1\r\n\r\n"
               "HTTP/1.1 201 Created\r\nContent-Length: 2\r\n\r\nok")
        << 201 << QByteArray("ok");
    QTest::newRow("bare LF line ends")
        << QByteArray("HTTP/1.0 404 Not Found\nContent-Length: 4\n\nnone") << 404
        << QByteArray("none");
    QTest::newRow("empty Content-Length body")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n") << 200 << QByteArray();
}

void TestHttpWire::answersAreReadInAnyPieces() {
    QFETCH(QByteArray, answer);
    QFETCH(int, code);
    QFETCH(QByteArray, body);
    for (const bool byteByByte : {false, true}) {
        const HttpResponseReader reader = readAll(answer, byteByByte);
        QVERIFY(reader.complete());
        QCOMPARE(reader.statusCode(), code);
        QCOMPARE(reader.body(), body);
    }
}

void TestHttpWire::bytesAfterTheAnswerAreIgnored() {
    HttpResponseReader reader;
    QVERIFY(reader.feed("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nokHTTP/1.1 500 Oops\r\n"));
    QVERIFY(reader.feed("more"));
    QCOMPARE(reader.statusLine(), QByteArray("HTTP/1.1 200 OK"));
    QCOMPARE(reader.body(), QByteArray("ok"));
}

void TestHttpWire::headersAreFoundWithoutRegardToCase() {
    HttpResponseReader reader;
    reader.feed(
        "HTTP/1.1 302 Found\r\nlocation: /a\r\nLOCATION:  /b \r\nContent-Length: 0\r\n\r\n");
    QCOMPARE(reader.header("Location"), QByteArray("/b"));
    QCOMPARE(reader.header("Set-Cookie"), QByteArray());
}

void TestHttpWire::malformedAnswersThrow_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("not a status line") << QByteArray("<html>hello</html>\r\n");
    QTest::newRow("status not a number") << QByteArray("HTTP/1.1 2x0 OK\r\n");
    QTest::newRow("status of two digits") << QByteArray("HTTP/1.1 20 OK\r\n");
    QTest::newRow("header without colon") << QByteArray("HTTP/1.1 200 OK\r\nbroken\r\n");
    QTest::newRow("Content-Length not a number")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: ten\r\n\r\n");
    QTest::newRow("negative Content-Length")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n");
    QTest::newRow("chunk size not hexadecimal")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n");
    QTest::newRow("chunk longer than its size")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nabc\r\n");
    QTest::newRow("endless header line")
        << QByteArray("HTTP/1.1 200 OK\r\nX: ") + QByteArray(70 * 1024, 'x');
}

void TestHttpWire::malformedAnswersThrow() {
    QFETCH(QByteArray, answer);
    HttpResponseReader reader;
    QVERIFY_THROWS_EXCEPTION(SocketError, reader.feed(answer));
}

void TestHttpWire::endOfConnection_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("body runs to the end")
        << QByteArray("HTTP/1.0 200 OK\r\n\r\nall of it") << true << QByteArray("all of it");
    QTest::newRow("nothing at all") << QByteArray() << false << QByteArray();
    QTest::newRow("headers cut") << QByteArray("HTTP/1.1 200 OK\r\nConte") << false << QByteArray();
    QTest::newRow("body shorter than announced")
        << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nab") << false << QByteArray();
    QTest::newRow("last chunk missing")
        << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nab\r\n") << false
        << QByteArray();
}

void TestHttpWire::endOfConnection() {
    QFETCH(QByteArray, answer);
    QFETCH(bool, complete);
    QFETCH(QByteArray, body);
    HttpResponseReader reader;
    reader.feed(answer);
    if (complete) {
        reader.finishAtClose();
        QCOMPARE(reader.body(), body);
    } else {
        QVERIFY_THROWS_EXCEPTION(SocketError, reader.finishAtClose());
    }
}

void TestHttpWire::answersWithinTheirBoundsAreRead_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("bodySize");
    QTest::newRow("Content-Length at the bound")
        << "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + QByteArray(1000, 'b') << 1000;
    QTest::newRow("chunks up to the bound") << chunked({600, 400}) << 1000;
    QTest::newRow("as many headers as allowed")
        << QByteArray("HTTP/1.1 200 OK\r\nA: 1\r\nB: 2\r\nC: 3\r\nContent-Length: 2\r\n\r\nok")
        << 2;
    QTest::newRow("interim answer with headers")
        << QByteArray(
               "HTTP/1.1 100 Continue\r\nA: 1\r\nB: 2\r\nC: 3\r\nD: 4\r\n\r\n"
               "HTTP/1.1 200 OK\r\nA: 1\r\nContent-Length: 2\r\n\r\nok")
        << 2;
}

void TestHttpWire::answersWithinTheirBoundsAreRead() {
    QFETCH(QByteArray, answer);
    QFETCH(int, bodySize);
    for (const bool byteByByte : {false, true}) {
        const HttpResponseReader reader = readAll(answer, byteByByte, smallLimits());
        QVERIFY(reader.complete());
        QCOMPARE(reader.body().size(), bodySize);
    }
    HttpResponseReader toClose(smallLimits());
    toClose.feed("HTTP/1.0 200 OK\r\n\r\n" + QByteArray(1000, 'b'));
    toClose.finishAtClose();
    QCOMPARE(toClose.body().size(), 1000);
}

// Each fails as soon as the bound is passed, whatever pieces the bytes come in.
void TestHttpWire::answersPastTheirBoundsThrow_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("what");
    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    QTest::newRow("Content-Length 10^18") << ok + "Content-Length: 1000000000000000000\r\n\r\n"
                                          << "body";
    QTest::newRow("Content-Length one past") << ok + "Content-Length: 1001\r\n\r\n"
                                             << "body";
    QTest::newRow("body to the end of the connection")
        << "HTTP/1.0 200 OK\r\n\r\n" + QByteArray(1001, 'b') << "body";
    QTest::newRow("chunks past the bound") << chunked({600, 401}) << "body";
    QTest::newRow("one huge chunk")
        << ok + "Transfer-Encoding: chunked\r\n\r\n7FFFFFFFFFFFFFFF\r\nccc"
        << "body";
    QTest::newRow("too many headers")
        << ok + QByteArray("X-Filler: 1\r\n").repeated(5) << "header lines";
    QTest::newRow("long header block")
        << ok + "A: " + QByteArray(150, 'a') + "\r\nB: " + QByteArray(150, 'b') << "headers";
    QTest::newRow("endless blank lines") << QByteArray("\r\n").repeated(200) << "headers";
    QTest::newRow("endless interim answers")
        << QByteArray("HTTP/1.1 100 Continue\r\n\r\n").repeated(20) << "headers";
    QTest::newRow("endless trailers")
        << chunked({10}, QByteArray("X-Trailer: 1234567890\r\n").repeated(20)) << "headers";
}

void TestHttpWire::answersPastTheirBoundsThrow() {
    QFETCH(QByteArray, answer);
    QFETCH(QString, what);
    for (const bool byteByByte : {false, true}) {
        try {
            readAll(answer, byteByByte, smallLimits());
            QFAIL("the answer was taken");
        } catch (const AnswerTooLargeError& error) {
            QVERIFY2(error.message().contains(what), qPrintable(error.message()));
        }
    }
}

NEREVA_TEST_MAIN(TestHttpWire)
#include "test_http_wire.moc"
