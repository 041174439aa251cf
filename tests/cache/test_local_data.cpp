#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "app/settings/write_failures.h"
#include "cache/tdm_local_data.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QStringEncoder>

using TestSupport::readFile;
using TestSupport::writeFile;

namespace {

const QByteArray kDeclaration = R"(<?xml version="1.0" encoding="iso-8859-1" standalone="no"?>)";
const QStringList kStoreFiles = {"localdata.xml", "contactlist.xml", "locations.xml"};

// The settings module the cache takes its folder from, installed for one test.
class Settings {
public:
    Settings() {
        settings_.DataModuleCreate();
        dm_const = &settings_;
    }
    ~Settings() { dm_const = nullptr; }
    QString path(const QString& name) const { return settings_.AppDataDir + name; }

private:
    Tdm_const settings_;
};

// Records written as "id:name" separated by blanks; an id of "-" leaves the "id" child out.
QByteArray recordsXml(const QString& records) {
    QByteArray xml;
    for (const QString& record : records.split(' ', Qt::SkipEmptyParts)) {
        const QString id = record.section(':', 0, 0);
        xml += "<loc>";
        if (id != "-") {
            xml += "<id>" + id.toUtf8() + "</id>";
        }
        xml += "<name>" + record.section(':', 1).toUtf8() + "</name></loc>";
    }
    return xml;
}

// "[...]" is a container of records, anything else one record.
QByteArray incomingXml(const QString& incoming) {
    if (incoming.startsWith('[')) {
        return "<answer>" + recordsXml(incoming.mid(1, incoming.size() - 2)) + "</answer>";
    }
    return recordsXml(incoming);
}

// The store's records in the notation of recordsXml.
QString summary(const XmlStore& store) {
    QStringList records;
    const XmlElement root = store.doc.documentElement();
    for (XmlElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        const bool hasId = !e.firstChildElement("id").isNull();
        records << (hasId ? TdmLocalData::childText(e, "id") : "-") + ':' +
                       TdmLocalData::childText(e, "name");
    }
    return records.join(' ');
}

XmlStore openStore(const QByteArray& content, const QString& fileName = "store.xml") {
    writeFile(fileName, content);
    XmlStore store;
    TdmLocalData::ActiveXML(store, fileName);
    return store;
}

QByteArray storeWith(const QString& records) {
    return kDeclaration + "<init>" + recordsXml(records) + "</init>";
}

}  // namespace

class TestLocalData : public QObject {
    Q_OBJECT
private slots:
    void firstStartCreatesTheTemplates();
    void unchangedStoresAreNotWritten();
    void merge_data();
    void merge();
    void mergeCopiesTheWholeRecord();
    void missingChildReadsEmpty();
    void fileChangesOnlyWhenWritten_data();
    void fileChangesOnlyWhenWritten();
    void replaceRootTakesTheAnswersRoot();
    void latin1RoundTrip_data();
    void latin1RoundTrip();
    void latin1BytesAreExact();
    void cdataFromAnAnswerIsKept();
    void characterXmlCannotHoldDoesNotBreakTheFile();
    void nameLatin1CannotHoldIsRefused();
    void answersParseUnderTheirOwnEncoding_data();
    void answersParseUnderTheirOwnEncoding();
    void malformedAnswerIsRefused_data();
    void malformedAnswerIsRefused();
    void parsedContent_data();
    void parsedContent();
    void hostileDocumentsAreRefused_data();
    void hostileDocumentsAreRefused();
    void deepTreesAreCopiedAndWrittenWithoutRecursion();
    void lastChildElementFollowsEdits();
    void aStoreThatCannotBeWrittenIsToldOnceAndKept();
    void malformedStoreFileStaysClosedAndUntouched_data();
    void malformedStoreFileStaysClosedAndUntouched();
    void closeWritesTheOtherStoresWhenOneFails();
};

void TestLocalData::firstStartCreatesTheTemplates() {
    TestSupport::TempFolders folders;
    Settings settings;
    QCOMPARE(TdmLocalData::kTemplate,
             QByteArray(R"(<?xml version="1.0" encoding="iso-8859-1" standalone="no"?>)"
                        "<init></init>"));
    {
        TdmLocalData cache;
        cache.DataModuleCreate();
        for (const XmlStore* store :
             {&cache.XMLLocalData, &cache.XMLContactList, &cache.XMLLocations}) {
            QVERIFY(store->active);
            QCOMPARE(store->doc.documentElement().tagName(), QString("init"));
        }
        QCOMPARE(cache.XMLLocations.fileName, settings.path("locations.xml"));
    }
    for (const QString& name : kStoreFiles) {
        QCOMPARE(readFile(settings.path(name)), TdmLocalData::kTemplate);
    }
}

void TestLocalData::unchangedStoresAreNotWritten() {
    TestSupport::TempFolders folders;
    Settings settings;
    TdmLocalData cache;
    cache.DataModuleCreate();
    // Another copy of the program wrote the file meanwhile: an unchanged store leaves it.
    writeFile(settings.path("locations.xml"), storeWith("1:a"));
    cache.DataModuleDestroy();
    QCOMPARE(readFile(settings.path("locations.xml")), storeWith("1:a"));
}

void TestLocalData::merge_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("incoming");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("replaced");
    const auto row = [](const char* name, const char* stored, const char* incoming,
                        const char* expected, bool replaced) {
        QTest::newRow(name) << QString(stored) << QString(incoming) << QString(expected)
                            << replaced;
    };
    row("replace second of three", "1:a 2:b 3:c", "2:new", "1:a 3:c 2:new", true);
    row("new record appended", "1:a 2:b", "4:d", "1:a 2:b 4:d", false);
    row("into empty store", "", "4:d", "4:d", false);
    row("container, new one last", "1:a 2:b 3:c", "[2:x 9:y]", "1:a 3:c 2:x 9:y", false);
    row("container, stored one last", "1:a 2:b 3:c", "[9:y 2:x]", "1:a 3:c 9:y 2:x", true);
    row("same id twice: only the first removed", "1:a 2:b 1:c", "1:new", "2:b 1:c 1:new", true);
    row("ids compare exactly", "A:a 01:b", "[a:x 1:y]", "A:a 01:b a:x 1:y", false);
    // Its children are the records: the fields of a record without "id" land in the root.
    row("node without id is a container", "1:a 2:b", "-:x", "1:a 2:b -:", false);
    row("record without id replaces the first without id", "1:a -:b -:c", "[-:x]", "1:a -:c -:x",
        true);
    row("empty container", "1:a", "[]", "1:a", false);
    row("container repeating an id", "1:a 2:b", "[1:x 1:y]", "2:b 1:y", true);
}

void TestLocalData::merge() {
    QFETCH(QString, stored);
    QFETCH(QString, incoming);
    QFETCH(QString, expected);
    QFETCH(bool, replaced);
    TestSupport::TempFolders folders;
    XmlStore store = openStore(storeWith(stored));
    TdmLocalData cache;
    cache.parseAnswer(incomingXml(incoming));
    QCOMPARE(TdmLocalData::AddXMLNode(store, cache.XMLGet.documentElement()), replaced);
    QCOMPARE(summary(store), expected);
    QCOMPARE(store.changed, stored != expected);
}

void TestLocalData::mergeCopiesTheWholeRecord() {
    TestSupport::TempFolders folders;
    XmlStore store = openStore(TdmLocalData::kTemplate);
    TdmLocalData cache;
    cache.parseAnswer(
        "<answer><loc><id>5</id><name>Reef</name>"
        "<sites><site><id>7</id><name>North wall</name></site></sites></loc></answer>");
    TdmLocalData::AddXMLNode(store, cache.XMLGet.documentElement());
    // The answer keeps its records; the store holds copies that outlive it.
    QCOMPARE(cache.XMLGet.documentElement().childElementCount(), 1);
    cache.closeAnswer();
    const XmlElement site = store.doc.documentElement()
                                .firstChildElement()
                                .firstChildElement("sites")
                                .firstChildElement();
    QCOMPARE(TdmLocalData::childText(site, "name"), QString("North wall"));
}

void TestLocalData::missingChildReadsEmpty() {
    TestSupport::TempFolders folders;
    XmlStore store = openStore(storeWith("-:x"));
    XmlElement record = store.doc.documentElement().firstChildElement();
    QCOMPARE(TdmLocalData::childText(record, "country"), QString());
    QVERIFY(record.firstChildElement("country").isNull());
    const XmlElement made = TdmLocalData::child(record, "country");
    QCOMPARE(made.tagName(), QString("country"));
    QCOMPARE(made.text(), QString());
    QVERIFY(TdmLocalData::child(record, "country") == made);
    QCOMPARE(record.childElementCount(), 2);
    QVERIFY(TdmLocalData::child(XmlElement(), "name").isNull());
    QCOMPARE(TdmLocalData::childText(XmlElement(), "name"), QString());
}

void TestLocalData::fileChangesOnlyWhenWritten_data() {
    QTest::addColumn<bool>("saveEarly");
    QTest::newRow("written at close") << false;
    QTest::newRow("saved right after the merge") << true;
}

void TestLocalData::fileChangesOnlyWhenWritten() {
    QFETCH(bool, saveEarly);
    TestSupport::TempFolders folders;
    Settings settings;
    const QString file = settings.path("contactlist.xml");
    writeFile(file, storeWith("1:a 2:b"));
    const QByteArray merged = kDeclaration +
                              "<init><loc><id>2</id><name>b</name></loc>"
                              "<loc><id>1</id><name>Zo\xEB</name></loc></init>";
    {
        TdmLocalData cache;
        cache.DataModuleCreate();
        cache.parseAnswer("<answer><loc><id>1</id><name>Zoë</name></loc></answer>");
        TdmLocalData::AddXMLNode(cache.XMLContactList, cache.XMLGet.documentElement());
        QCOMPARE(readFile(file), storeWith("1:a 2:b"));
        if (saveEarly) {
            TdmLocalData::save(cache.XMLContactList);
            QCOMPARE(readFile(file), merged);
            QVERIFY(!cache.XMLContactList.changed);
        }
    }
    QCOMPARE(readFile(file), merged);
    QCOMPARE(QFileInfo(file).permissions() & 0x0077, QFile::Permissions());
}

void TestLocalData::replaceRootTakesTheAnswersRoot() {
    TestSupport::TempFolders folders;
    XmlStore store = openStore(storeWith("1:a"));
    TdmLocalData cache;
    cache.parseAnswer(R"(<?xml version="1.0" encoding="utf-8"?>)"
                      "<data><countries><country><name>España</name></country></countries>"
                      "</data>");
    TdmLocalData::replaceRoot(store, cache.XMLGet.documentElement());
    cache.closeAnswer();
    QVERIFY(store.changed);
    TdmLocalData::save(store);
    QCOMPARE(readFile("store.xml"), kDeclaration +
                                        "<data><countries><country><name>Espa\xF1"
                                        "a</name></country></countries>"
                                        "</data>");
}

void TestLocalData::latin1RoundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("Latin-1") << "Zoë";
    QTest::newRow("Central European") << "Łódź";
    QTest::newRow("CJK") << "海";
    QTest::newRow("emoji") << "🐠 dive";
    QTest::newRow("markup characters") << R"(a & b <c> "d" 'e' ]]>)";
    QTest::newRow("white space") << " tab\there\nline\r\nend ";
    QTest::newRow("mixed") << "Zoë, Łódź & 海 🐠";
    QTest::newRow("only blanks") << "  ";
    QTest::newRow("only a line break") << "\n";
}

void TestLocalData::latin1RoundTrip() {
    QFETCH(QString, text);
    TestSupport::TempFolders folders;
    XmlStore store = openStore(TdmLocalData::kTemplate);
    XmlElement record = store.doc.createElement("contact");
    TdmLocalData::child(record, "id").setText("1");
    TdmLocalData::child(record, "name").setText(text);
    record.setAttribute("note", text);
    TdmLocalData::AddXMLNode(store, record);
    TdmLocalData::save(store);

    const QByteArray bytes = readFile("store.xml");
    QVERIFY(bytes.startsWith(kDeclaration));
    QVERIFY2(!bytes.mid(kDeclaration.size()).contains('?'), bytes.constData());
    const XmlStore reread = openStore(bytes, "copy.xml");
    const XmlElement back = reread.doc.documentElement().firstChildElement();
    QCOMPARE(TdmLocalData::childText(back, "name"), text);
    QCOMPARE(back.attribute("note"), text);
}

void TestLocalData::latin1BytesAreExact() {
    const XmlDocument doc =
        XmlDocument::parse("<init><c><name>Zoë Łódź 海 🐠 &amp;</name><x/></c></init>", "test");
    QCOMPARE(toLatin1Xml(doc), kDeclaration +
                                   "<init><c><name>Zo\xEB &#321;\xF3"
                                   "d&#378; &#28023; &#128032; &amp;</name><x></x>"
                                   "</c></init>");
}

void TestLocalData::cdataFromAnAnswerIsKept() {
    TestSupport::TempFolders folders;
    XmlStore store = openStore(TdmLocalData::kTemplate);
    TdmLocalData cache;
    cache.parseAnswer("<r><loc><id>1</id><name><![CDATA[a<b & 海]]></name></loc></r>");
    TdmLocalData::AddXMLNode(store, cache.XMLGet.documentElement());
    TdmLocalData::save(store);
    const XmlStore reread = openStore(readFile("store.xml"), "copy.xml");
    QCOMPARE(summary(reread), QString("1:a<b & 海"));
}

void TestLocalData::characterXmlCannotHoldDoesNotBreakTheFile() {
    TestSupport::TempFolders folders;
    XmlStore store = openStore(TdmLocalData::kTemplate);
    XmlElement record = store.doc.createElement("contact");
    TdmLocalData::child(record, "id").setText("1");
    TdmLocalData::child(record, "name").setText("a\x01z");
    TdmLocalData::AddXMLNode(store, record);
    TdmLocalData::save(store);
    const XmlStore reread = openStore(readFile("store.xml"), "copy.xml");
    QCOMPARE(summary(reread), QString("1:a\uFFFDz"));
}

void TestLocalData::nameLatin1CannotHoldIsRefused() {
    TestSupport::TempFolders folders;
    XmlStore store = openStore(storeWith("1:a"));
    TdmLocalData cache;
    cache.parseAnswer("<r><海><id>2</id></海></r>");
    TdmLocalData::AddXMLNode(store, cache.XMLGet.documentElement());
    QVERIFY_THROWS_EXCEPTION(AppError, TdmLocalData::save(store));
    QCOMPARE(readFile("store.xml"), storeWith("1:a"));
}

void TestLocalData::answersParseUnderTheirOwnEncoding_data() {
    const QString text = "Zoë Łódź 海";
    const QByteArray body = "<r><name>" + text.toUtf8() + "</name></r>";
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("UTF-8 declared") << R"(<?xml version="1.0" encoding="UTF-8"?>)" + body;
    QTest::newRow("no declaration") << body;
    QTest::newRow("ISO-8859-1 declared")
        << QByteArray(R"(<?xml version="1.0" encoding="ISO-8859-1"?>)"
                      "<r><name>Zo\xEB &#321;\xF3"
                      "d&#378; &#28023;</name></r>");
    QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    QTest::newRow("UTF-16 with byte order mark") << QByteArray(
        utf16(R"(<?xml version="1.0" encoding="UTF-16"?><r><name>)" + text + "</name></r>"));
}

void TestLocalData::answersParseUnderTheirOwnEncoding() {
    QFETCH(QByteArray, answer);
    TdmLocalData cache;
    cache.parseAnswer(answer);
    QCOMPARE(TdmLocalData::childText(cache.XMLGet.documentElement(), "name"),
             QString("Zoë Łódź 海"));
}

void TestLocalData::malformedAnswerIsRefused_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("plain text") << QByteArray("Internal Server Error");
    QTest::newRow("unclosed") << QByteArray("<r><loc><id>1</id>");
    QTest::newRow("mismatched") << QByteArray("<r><loc></r></loc>");
    QTest::newRow("two roots") << QByteArray("<r></r><r></r>");
    QTest::newRow("unknown entity") << QByteArray("<r>&nbsp;</r>");
    QTest::newRow("control character") << QByteArray("<r>a\x01</r>");
    QTest::newRow("reference to NUL") << QByteArray("<r>&#0;</r>");
    QTest::newRow("invalid UTF-8") << QByteArray("<r>\xC3\x28</r>");
    QTest::newRow("end tag of a longer name") << QByteArray("<ab></a>");
    QTest::newRow("end tag of a shorter name") << QByteArray("<a></ab>");
    QTest::newRow("attribute twice") << QByteArray("<r a='1' a='2'/>");
    QTest::newRow("unclosed comment") << QByteArray("<r><!-- x</r>");
    QTest::newRow("declaration not at the start") << QByteArray(" <?xml version='1.0'?><r/>");
    QTest::newRow("unsupported encoding")
        << QByteArray("<?xml version='1.0' encoding='x-no-such'?><r/>");
    QTest::newRow("cut in a reference") << QByteArray("<r>&amp</r>");
}

void TestLocalData::malformedAnswerIsRefused() {
    QFETCH(QByteArray, answer);
    TdmLocalData cache;
    cache.parseAnswer("<r><loc><id>1</id></loc></r>");
    QVERIFY_THROWS_EXCEPTION(AppError, cache.parseAnswer(answer));
    QVERIFY(cache.XMLGet.documentElement().isNull());
}

// What a parsed answer holds, shown as the store file the writer makes of it.
void TestLocalData::parsedContent_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("blank text between elements dropped")
        << QByteArray("<r>\n  <a> x </a>\n  <b>  </b>\n</r>")
        << QByteArray("<r><a> x </a><b></b></r>");
    QTest::newRow("blank CDATA kept")
        << QByteArray("<r><![CDATA[  ]]></r>") << QByteArray("<r>&#32; </r>");
    QTest::newRow("comments and instructions dropped")
        << QByteArray("<?pi x?><!-- c --><r><!-- in -->a<?p?>b</r><!-- after -->")
        << QByteArray("<r>ab</r>");
    QTest::newRow("references") << QByteArray(
                                       "<r>&lt;&amp;&gt;&quot;&apos;&#65;&#x42;&#x1F420;</r>")
                                << QByteArray("<r>&lt;&amp;&gt;\"'AB&#128032;</r>");
    QTest::newRow("line ends normalised")
        << QByteArray("<r>a\r\nb\rc</r>") << QByteArray("<r>a\nb\nc</r>");
    QTest::newRow("attributes") << QByteArray("<r x = \"1&amp;\ta\" y='2'/>")
                                << QByteArray("<r x=\"1&amp; a\" y=\"2\"></r>");
    QTest::newRow("text on both sides of a child")
        << QByteArray("<r>a<c>b</c>d</r>") << QByteArray("<r>ad<c>b</c></r>");
    QTest::newRow("ISO-8859-1 bytes")
        << QByteArray("<?xml version='1.0' encoding='ISO-8859-1'?><r>Zo\xEB</r>")
        << QByteArray("<r>Zo\xEB</r>");
    QTest::newRow("U+FEFF inside is a character, not a byte order mark")
        << QByteArray("<r a='\xEF\xBB\xBFx'>t<c/>\xEF\xBB\xBFu</r>")
        << QByteArray("<r a=\"&#65279;x\">t&#65279;u<c></c></r>");
    QTest::newRow("byte order mark")
        << QByteArray("\xEF\xBB\xBF<r>\xC3\xAB</r>") << QByteArray("<r>\xEB</r>");
}

void TestLocalData::parsedContent() {
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, written);
    TdmLocalData cache;
    cache.parseAnswer(answer);
    QCOMPARE(toLatin1Xml(cache.XMLGet), kDeclaration + written);
}

QByteArray nested(int depth) {
    return QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
}

void TestLocalData::hostileDocumentsAreRefused_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("failure");
    const QByteArray laughs =
        "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
        "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]><r>&c;&c;&c;&c;&c;&c;</r>";
    QTest::newRow("nested 120,000 deep") << nested(120000) << "levels deep";
    QTest::newRow("one level beyond the bound")
        << nested(XmlDocument::kMaxDepth + 1) << "levels deep";
    QTest::newRow("an empty element beyond the bound")
        << QByteArray("<a>").repeated(XmlDocument::kMaxDepth) + "<b/>" +
               QByteArray("</a>").repeated(XmlDocument::kMaxDepth)
        << "levels deep";
    QTest::newRow("entities multiplying") << laughs << "document type";
    QTest::newRow("one large entity referenced many times")
        << "<!DOCTYPE r [<!ENTITY e \"" + QByteArray(4000, 'x') + "\">]><r>" +
               QByteArray("<v>&e;</v>").repeated(1000) + "</r>"
        << "document type";
    QTest::newRow("document type without entities")
        << QByteArray("<!DOCTYPE r><r/>") << "document type";
}

// Answers and store files a broken or malicious service can produce fail their step with a
// clear message, quickly and without crashing.
void TestLocalData::hostileDocumentsAreRefused() {
    QFETCH(QByteArray, content);
    QFETCH(QString, failure);
    TestSupport::TempFolders folders;
    TdmLocalData cache;
    try {
        cache.parseAnswer(content);
        QFAIL("an answer was taken");
    } catch (const AppError& e) {
        QVERIFY2(e.message().contains(failure), qPrintable(e.message()));
        QVERIFY2(e.message().startsWith("The service's answer"), qPrintable(e.message()));
    }
    QVERIFY(cache.XMLGet.isNull());
    writeFile("store.xml", content);
    XmlStore store;
    try {
        TdmLocalData::ActiveXML(store, "store.xml");
        QFAIL("a store was opened");
    } catch (const AppError& e) {
        QVERIFY2(e.message().contains(failure), qPrintable(e.message()));
        QVERIFY2(e.message().contains("store.xml"), qPrintable(e.message()));
    }
    QVERIFY(!store.active);
    // The deepest answer taken is a record that, stored under the store's root, reopens.
    cache.parseAnswer("<loc><id>1</id>" + nested(TdmLocalData::kMaxAnswerDepth - 1) + "</loc>");
    XmlStore merged = openStore(TdmLocalData::kTemplate, "merged.xml");
    TdmLocalData::AddXMLNode(merged, cache.XMLGet.documentElement());
    TdmLocalData::save(merged);
    XmlStore reopened;
    TdmLocalData::ActiveXML(reopened, "merged.xml");
    QVERIFY(reopened.active);
    QVERIFY_THROWS_EXCEPTION(AppError,
                             cache.parseAnswer(nested(TdmLocalData::kMaxAnswerDepth + 1)));
}

// Code (not input) may build a tree of any depth: copying and writing it must not recurse.
void TestLocalData::deepTreesAreCopiedAndWrittenWithoutRecursion() {
    TestSupport::TempFolders folders;
    XmlDocument answer = XmlDocument::withRoot("r");
    XmlElement record = answer.documentElement().appendChild(answer.createElement("loc"));
    record.appendChild(answer.createElement("id")).setText("1");
    XmlElement at = record;
    for (int i = 0; i < 200000; ++i) {
        at = at.appendChild(answer.createElement("n"));
    }
    at.setText("bottom");
    XmlStore store = openStore(TdmLocalData::kTemplate);
    TdmLocalData::AddXMLNode(store, record);
    QCOMPARE(store.doc.documentElement().firstChildElement().text(), QString("1bottom"));
    TdmLocalData::save(store);
    const QByteArray bytes = readFile("store.xml");
    QVERIFY(bytes.endsWith(QByteArray("bottom") + QByteArray("</n>").repeated(200000) +
                           "</loc></init>"));
}

// The last child, by name or any, as removals and appends leave the children.
void TestLocalData::lastChildElementFollowsEdits() {
    XmlDocument doc = XmlDocument::parse("<r><a>1</a><b>2</b><a>3</a><c/></r>", "test");
    XmlElement root = doc.documentElement();
    QCOMPARE(root.lastChildElement().tagName(), QString("c"));
    QCOMPARE(root.lastChildElement("a").text(), QString("3"));
    QVERIFY(root.lastChildElement("b").nextSiblingElement("a") == root.lastChildElement("a"));
    QVERIFY(root.lastChildElement("none").isNull());
    QVERIFY(root.lastChildElement().lastChildElement().isNull());
    QVERIFY(XmlElement().lastChildElement().isNull());

    root.removeChild(root.lastChildElement("a"));
    QCOMPARE(root.lastChildElement("a").text(), QString("1"));
    root.removeChild(root.lastChildElement());
    QCOMPARE(root.lastChildElement().tagName(), QString("b"));
    XmlElement added = root.appendChild(doc.createElement("a"));
    added.setText("4");
    QVERIFY(root.lastChildElement() == added);
    QCOMPARE(root.lastChildElement("a").text(), QString("4"));
    root.removeChild(root.firstChildElement("a"));
    root.removeChild(root.firstChildElement("b"));
    root.removeChild(added);
    QVERIFY(root.lastChildElement().isNull());
}

void TestLocalData::aStoreThatCannotBeWrittenIsToldOnceAndKept() {
    TestSupport::TempFolders folders;
    QStringList told;
    WriteFailures::setReporter([&told](const QString& message) { told << message; });
    QDir().mkdir("data");
    writeFile("data/store.xml", TdmLocalData::kTemplate);
    XmlStore store;
    TdmLocalData::ActiveXML(store, "data/store.xml");
    TdmLocalData cache;
    cache.parseAnswer("<r><loc><id>2</id></loc></r>");
    TdmLocalData::AddXMLNode(store, cache.XMLGet.documentElement());
    // The folder goes and a file takes its name: no write succeeds, not even as root.
    QVERIFY(QDir().rename("data", "moved"));
    writeFile("data", "in the way");
    QVERIFY_THROWS_EXCEPTION(IoError, TdmLocalData::save(store));
    QVERIFY_THROWS_EXCEPTION(IoError, TdmLocalData::save(store));
    QCOMPARE(told.size(), 1);
    QVERIFY2(told[0].contains("data/store.xml"), qPrintable(told[0]));
    QVERIFY(store.changed);
    QFile::remove("data");
    QVERIFY(QDir().rename("moved", "data"));
    TdmLocalData::save(store);
    QCOMPARE(readFile("data/store.xml"), kDeclaration + "<init><loc><id>2</id></loc></init>");
    WriteFailures::setReporter(nullptr);
}

void TestLocalData::malformedStoreFileStaysClosedAndUntouched_data() {
    QTest::addColumn<int>("broken");
    QTest::newRow("localdata.xml") << 0;
    QTest::newRow("contactlist.xml") << 1;
    QTest::newRow("locations.xml") << 2;
}

void TestLocalData::malformedStoreFileStaysClosedAndUntouched() {
    QFETCH(int, broken);
    TestSupport::TempFolders folders;
    Settings settings;
    const QByteArray brokenContent = kDeclaration + "<init><loc><id>1</id></init>";
    writeFile(settings.path(kStoreFiles[broken]), brokenContent);
    {
        TdmLocalData cache;
        try {
            cache.DataModuleCreate();
            QFAIL("no failure");
        } catch (const AppError& e) {
            QVERIFY2(e.message().contains(settings.path(kStoreFiles[broken])),
                     qPrintable(e.message()));
        }
        XmlStore* stores[] = {&cache.XMLLocalData, &cache.XMLContactList, &cache.XMLLocations};
        cache.parseAnswer("<r><loc><id>2</id></loc></r>");
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(stores[i]->active, i < broken);
            if (i < broken) {
                TdmLocalData::AddXMLNode(*stores[i], cache.XMLGet.documentElement());
            } else {
                QVERIFY_THROWS_EXCEPTION(
                    AppError, TdmLocalData::AddXMLNode(*stores[i], cache.XMLGet.documentElement()));
                QVERIFY_THROWS_EXCEPTION(AppError, TdmLocalData::replaceRoot(
                                                       *stores[i], cache.XMLGet.documentElement()));
            }
        }
    }
    QCOMPARE(readFile(settings.path(kStoreFiles[broken])), brokenContent);
    for (int i = 0; i < 3; ++i) {
        const QString path = settings.path(kStoreFiles[i]);
        if (i < broken) {
            QCOMPARE(readFile(path), kDeclaration + "<init><loc><id>2</id></loc></init>");
        } else if (i > broken) {
            QVERIFY2(!QFileInfo::exists(path), qPrintable(path));
        }
    }
}

void TestLocalData::closeWritesTheOtherStoresWhenOneFails() {
    TestSupport::TempFolders folders;
    Settings settings;
    TdmLocalData cache;
    cache.DataModuleCreate();
    cache.parseAnswer("<r><loc><id>2</id></loc></r>");
    for (XmlStore* store : {&cache.XMLLocalData, &cache.XMLContactList, &cache.XMLLocations}) {
        TdmLocalData::AddXMLNode(*store, cache.XMLGet.documentElement());
    }
    // A folder where the contact list should be written: that write fails.
    QFile::remove(settings.path("contactlist.xml"));
    QVERIFY(QDir().mkdir(settings.path("contactlist.xml")));
    try {
        cache.DataModuleDestroy();
        QFAIL("no failure");
    } catch (const IoError& e) {
        QVERIFY2(e.message().contains("contactlist.xml"), qPrintable(e.message()));
    }
    const QByteArray merged = kDeclaration + "<init><loc><id>2</id></loc></init>";
    QCOMPARE(readFile(settings.path("localdata.xml")), merged);
    QCOMPARE(readFile(settings.path("locations.xml")), merged);
    QVERIFY(!cache.XMLContactList.active);
}

NEREVA_TEST_MAIN(TestLocalData)
#include "test_local_data.moc"
