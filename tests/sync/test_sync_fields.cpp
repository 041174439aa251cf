#include "store/tdm_rdp.h"
#include "test_support.h"
#include "wire/sync_fields.h"

// The escape that keeps a value from splitting or shifting a record on the wire.
class TestSyncFields : public QObject {
    Q_OBJECT
private slots:
    void plainValuesGoOutUnchanged_data();
    void plainValuesGoOutUnchanged();
    void escapedValuesRoundTrip_data();
    void escapedValuesRoundTrip();
    void decodingLeavesOtherBackslashes_data();
    void decodingLeavesOtherBackslashes();
    void decodingDropsWhatXmlCannotCarry_data();
    void decodingDropsWhatXmlCannotCarry();
    void recordKeepsItsPlaces();
};

void TestSyncFields::plainValuesGoOutUnchanged_data() {
    QTest::addColumn<QString>("value");
    QTest::newRow("empty") << QString();
    QTest::newRow("name") << QStringLiteral("Ana Martinez");
    QTest::newRow("latin-1") << QStringLiteral("Cañón, Señora Muñoz");
    QTest::newRow("blanks and tab") << QStringLiteral("  a\tb  ");
    QTest::newRow("decimal") << QStringLiteral("18.5");
    QTest::newRow("time") << QStringLiteral("01:05:00");
}

void TestSyncFields::plainValuesGoOutUnchanged() {
    QFETCH(QString, value);
    QCOMPARE(SyncFields::encode(value), value);
    QCOMPARE(SyncFields::decode(value), value);
}

void TestSyncFields::escapedValuesRoundTrip_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("hash") << QStringLiteral("Reef #3") << QStringLiteral("Reef \\h3");
    QTest::newRow("separator") << QStringLiteral("a##b") << QStringLiteral("a\\h\\hb");
    QTest::newRow("trailing hash") << QStringLiteral("a#") << QStringLiteral("a\\h");
    QTest::newRow("leading hash") << QStringLiteral("#a") << QStringLiteral("\\ha");
    QTest::newRow("backslash") << QStringLiteral("C:\\new") << QStringLiteral("C:\\\\new");
    QTest::newRow("escape look-alike") << QStringLiteral("\\h") << QStringLiteral("\\\\h");
    QTest::newRow("line breaks") << QStringLiteral("one\ntwo\r\nthree\r")
                                 << QStringLiteral("one\\ntwo\\r\\nthree\\r");
    QTest::newRow("ending in a line break")
        << QStringLiteral("note\n") << QStringLiteral("note\\n");
    QTest::newRow("outside latin-1")
        << QStringLiteral("5 € · 潜水") << QStringLiteral("5 \\u20AC · \\u6F5C\\u6C34");
    QTest::newRow("notes") << QStringLiteral("Saw ## turtles\nDepth #2 \\ 18 m\n\n")
                           << QStringLiteral("Saw \\h\\h turtles\\nDepth \\h2 \\\\ 18 m\\n\\n");
}

void TestSyncFields::escapedValuesRoundTrip() {
    QFETCH(QString, value);
    QFETCH(QString, encoded);
    QCOMPARE(SyncFields::encode(value), encoded);
    QVERIFY(!encoded.contains(u'#'));
    QVERIFY(!encoded.contains(u'\n') && !encoded.contains(u'\r'));
    QVERIFY(
        std::all_of(encoded.cbegin(), encoded.cend(), [](QChar c) { return c.unicode() <= 0xFF; }));
    QCOMPARE(SyncFields::decode(encoded), value);
}

// Text typed on the web site may hold backslashes the desktop never escaped.
void TestSyncFields::decodingLeavesOtherBackslashes_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("other letter") << QStringLiteral("a\\b");
    QTest::newRow("trailing") << QStringLiteral("ends in \\");
    QTest::newRow("short unicode") << QStringLiteral("\\u20A");
    QTest::newRow("not hexadecimal") << QStringLiteral("\\u20G0");
    QTest::newRow("latin-1 code") << QStringLiteral("\\u00E9");
}

void TestSyncFields::decodingLeavesOtherBackslashes() {
    QFETCH(QString, text);
    QCOMPARE(SyncFields::decode(text), text);
}

// An answer value goes into the tables, whose files are XML: a character XML cannot carry would
// make the file unreadable, so it never gets there.
void TestSyncFields::decodingDropsWhatXmlCannotCarry_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("decoded");
    const QChar nul(0);
    QTest::newRow("NUL") << QStringLiteral("Reef") + nul + QStringLiteral("Name")
                         << QStringLiteral("ReefName");
    QTest::newRow("C0 controls") << QStringLiteral(
                                        "a\x01\x08\x0B\x0C\x0E\x1F\\h\x02"
                                        "b")
                                 << QStringLiteral("a#b");
    QTest::newRow("tab and line breaks kept")
        << QStringLiteral("a\tb\nc\rd\x7F") << QStringLiteral("a\tb\nc\rd\x7F");
    QTest::newRow("escaped non-characters")
        << QStringLiteral("x\\uFFFE\\uFFFFy") << QStringLiteral("xy");
    QTest::newRow("escaped lone surrogates")
        << QStringLiteral("a\\uD800b\\uDC00") << QStringLiteral("ab");
    QTest::newRow("escaped surrogate pair kept")
        << QStringLiteral("\\uD83D\\uDE00 fish") << QStringLiteral("\U0001F600 fish");
}

void TestSyncFields::decodingDropsWhatXmlCannotCarry() {
    QFETCH(QString, text);
    QFETCH(QString, decoded);
    QCOMPARE(SyncFields::decode(text), decoded);
}

void TestSyncFields::recordKeepsItsPlaces() {
    const QStringList values = {QStringLiteral("12"), QStringLiteral("a##b"), QString(),
                                QStringLiteral("line\r\nbreak#"), QStringLiteral("#")};
    const QString line = SyncFields::joinRecord(values);
    QVERIFY(!line.contains(u'\n'));
    QCOMPARE(line.split(QStringLiteral("##")).size(), values.size());
    QStringList expected = values;
    expected << QString() << QString();
    QStringList split(7);
    SyncFields::splitRecord(line, split);
    QCOMPARE(split, expected);
}

NEREVA_TEST_MAIN(TestSyncFields)
#include "test_sync_fields.moc"
