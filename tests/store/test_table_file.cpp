#include "app/settings/app_error.h"
#include "app/settings/regional_formats.h"
#include "store/dive_log_tables.h"
#include "store/table.h"
#include "store/table_data.h"
#include "store/table_file.h"
#include "test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QXmlStreamReader>
#include <cmath>
#include <limits>
#include <memory>

using TestSupport::readFile;
using TestSupport::writeFile;

namespace {

// One field of every type.
const FieldDefs kAllTypes = {
    {"s", FieldType::String, 40}, {"m", FieldType::Memo, 0},    {"si", FieldType::SmallInt, 0},
    {"i", FieldType::Integer, 0}, {"a", FieldType::AutoInc, 0}, {"f", FieldType::Float, 0},
    {"d", FieldType::Date, 0},    {"t", FieldType::Time, 0},    {"dt", FieldType::DateTime, 0},
};

std::unique_ptr<Table> sampleTable(const QString& fileName) {
    auto table = std::make_unique<Table>("cds_sample", kAllTypes, QStringList{"a"});
    table->setFileName(fileName);
    return table;
}

// Same value and same null-ness (an empty string is not null).
bool sameValue(const QVariant& a, const QVariant& b) {
    if (a.isValid() != b.isValid()) {
        return false;
    }
    if (a.typeId() == QMetaType::Double && b.typeId() == QMetaType::Double) {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return (std::isnan(x) && std::isnan(y)) || (x == y && std::signbit(x) == std::signbit(y));
    }
    return a == b;
}

QString describe(const QVariant& value) {
    return value.isValid() ? QStringLiteral("%1 (%2)").arg(value.toString(), value.typeName())
                           : QStringLiteral("null");
}

QByteArray sampleRows() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<table name=\"cds_sample\" autoinc=\"3\">\n"
           "<row a=\"1\" s=\"one\"/>\n<row a=\"2\" si=\"7\"/>\n</table>\n";
}

// True while `pid` holds a file open inside `folder`: the temporary file of a write.
bool writingInto(qint64 pid, const QString& folder) {
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System)) {
        if (fd.symLinkTarget().startsWith(folder + QLatin1Char('/'))) {
            return true;
        }
    }
    return false;
}

}  // namespace

class TestTableFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void roundTripsEveryFieldType_data();
    void roundTripsEveryFieldType();
    void writesWellFormedXml();
    void keepsRowsOrderAndAutoIncrement();
    void readsHandWrittenVariants();
    void refusesDamagedFiles_data();
    void refusesDamagedFiles();
    void recoversTextXmlCannotCarry_data();
    void recoversTextXmlCannotCarry();
    void neverWritesWhatXmlCannotCarry();
    void neverWritesAFileItCouldNotRead();
    void closeWithoutChangesWritesNothing();
    void aKilledWriterLeavesTheOldFile();
};

void TestTableFile::initTestCase() {
    RegionalFormats::force();
}

void TestTableFile::roundTripsEveryFieldType_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    const QVariant null;
    QTest::newRow("null string") << "s" << null;
    QTest::newRow("empty string") << "s" << QVariant(QString(""));
    QTest::newRow("blanks kept") << "s" << QVariant("  two  blanks ");
    QTest::newRow("markup characters") << "s" << QVariant("a<b>&c\"d'e&amp;");
    QTest::newRow("beyond Latin-1") << "s" << QVariant(QString::fromUtf8("Ærø – 海 😀 ĳ"));
    QTest::newRow("null memo") << "m" << null;
    QTest::newRow("memo with line breaks")
        << "m" << QVariant("first\r\nsecond\nthird\rfourth\tTab\n\n");
    QTest::newRow("memo with controls XML carries")
        << "m" << QVariant(QString::fromUtf16(u"del\x7F nel\x85 x"));
    QTest::newRow("long memo") << "m" << QVariant(QString(100000, u'm'));
    QTest::newRow("smallint max") << "si" << QVariant(32767);
    QTest::newRow("smallint min") << "si" << QVariant(-32768);
    QTest::newRow("smallint zero") << "si" << QVariant(0);
    QTest::newRow("integer max") << "i" << QVariant(std::numeric_limits<int>::max());
    QTest::newRow("integer min") << "i" << QVariant(std::numeric_limits<int>::min());
    QTest::newRow("float 0.1") << "f" << QVariant(0.1);
    QTest::newRow("float 1e-7") << "f" << QVariant(1e-7);
    QTest::newRow("negative float") << "f" << QVariant(-273.15);
    QTest::newRow("huge float") << "f" << QVariant(1.7976931348623157e308);
    QTest::newRow("tiny float") << "f" << QVariant(4.9e-324);
    QTest::newRow("negative zero") << "f" << QVariant(-0.0);
    QTest::newRow("date") << "d" << QVariant(QDate(2024, 2, 29));
    QTest::newRow("zero date") << "d" << QVariant(QDate(1899, 12, 30));
    QTest::newRow("first date") << "d" << QVariant(QDate(1, 1, 1));
    QTest::newRow("last date") << "d" << QVariant(QDate(9999, 12, 31));
    QTest::newRow("midnight") << "t" << QVariant(QTime(0, 0));
    QTest::newRow("time with milliseconds") << "t" << QVariant(QTime(23, 59, 59, 999));
    QTest::newRow("date-time") << "dt" << QVariant(QDateTime(QDate(2006, 5, 1), QTime(14, 5, 9)));
    QTest::newRow("date-time at midnight")
        << "dt" << QVariant(QDateTime(QDate(1999, 12, 31), QTime(0, 0)));
    QTest::newRow("old date-time") << "dt" << QVariant(QDateTime(QDate(1800, 1, 2), QTime(1, 2)));
}

void TestTableFile::roundTripsEveryFieldType() {
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    TestSupport::TempFolders folders;
    QVariantList written;
    {
        auto table = sampleTable("sample.xml");
        table->open();
        table->append();
        table->setValue(field, value);
        table->post();
        for (const FieldDef& def : table->fields()) {
            written << table->value(def.name);
        }
        table->close();
    }
    QVERIFY(QFile::exists("sample.xml"));
    auto table = sampleTable("sample.xml");
    table->open();
    QCOMPARE(table->recordCount(), 1);
    for (int i = 0; i < kAllTypes.size(); ++i) {
        const QVariant read = table->value(kAllTypes[i].name);
        QVERIFY2(sameValue(read, written[i]),
                 qPrintable(QStringLiteral("%1: wrote %2, read %3")
                                .arg(kAllTypes[i].name, describe(written[i]), describe(read))));
    }
    QVERIFY(sameValue(table->value(field), value));
}

void TestTableFile::writesWellFormedXml() {
    TestSupport::TempFolders folders;
    const QString text = QString::fromUtf8("Ærø & <海> \"😀\"\r\nline");
    {
        auto table = sampleTable("sample.xml");
        table->open();
        table->append();
        table->setValue("m", text);
        table->setValue("s", "");
        table->post();
        table->close();
    }
    QXmlStreamReader xml(readFile("sample.xml"));
    QStringList rows;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("table")) {
            QCOMPARE(xml.attributes().value("name"), QLatin1String("cds_sample"));
            QCOMPARE(xml.attributes().value("autoinc"), QLatin1String("2"));
            continue;
        }
        QCOMPARE(xml.name(), QLatin1String("row"));
        QCOMPARE(xml.attributes().value("m").toString(), text);
        QVERIFY(xml.attributes().hasAttribute("s"));   // empty but present
        QVERIFY(!xml.attributes().hasAttribute("f"));  // null: left out
        rows << xml.attributes().value("a").toString();
        xml.skipCurrentElement();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(rows, QStringList({"1"}));
}

void TestTableFile::keepsRowsOrderAndAutoIncrement() {
    TestSupport::TempFolders folders;
    {
        const auto definition = DiveLogTables::dives();
        Table dives(definition.tableName, definition.fields, definition.orderBy);
        dives.setFileName("dives.xml");
        dives.open();
        for (const QDate& date : {QDate(2024, 5, 3), QDate(2024, 5, 1), QDate(2024, 5, 2)}) {
            dives.append();
            dives.setValue("Date", date);
            dives.post();
        }
        dives.last();
        dives.remove();  // the dive numbered 1
        dives.close();
    }
    const auto definition = DiveLogTables::dives();
    Table dives(definition.tableName, definition.fields, definition.orderBy);
    dives.setFileName("dives.xml");
    dives.open();
    QCOMPARE(dives.recordCount(), 2);
    QCOMPARE(dives.asInteger("id_local_dive"), 2);
    QCOMPARE(dives.nextAutoIncrement(), 4);
}

void TestTableFile::readsHandWrittenVariants() {
    TestSupport::TempFolders folders;
    writeFile("sample.xml",
              "\xEF\xBB\xBF<?xml version='1.0'?>\n<!-- written by hand -->\n"
              "<table  name = 'CDS_SAMPLE' >\n"
              "  <row S='single &amp; &#x41;&#66;' a='5'\tunknown=\"x\"></row>\n"
              "  <!-- a comment between rows -->\n"
              "  <row\n a=\"2\" m=\"line\n  folded\"/>\n"
              "</table>");
    auto table = sampleTable("sample.xml");
    table->open();
    QCOMPARE(table->recordCount(), 2);
    QCOMPARE(table->asString("m"), QString("line   folded"));  // a literal line break is a blank
    table->next();
    QCOMPARE(table->asString("s"), QString("single & AB"));
    QCOMPARE(table->nextAutoIncrement(), 6);
}

void TestTableFile::refusesDamagedFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray head = "<table name=\"cds_sample\">";
    QTest::newRow("empty file") << QByteArray() << "ends too early";
    QTest::newRow("not xml") << QByteArray("garbage") << "expected";
    QTest::newRow("cut short") << sampleRows().left(sampleRows().size() - 12) << "ends too early";
    QTest::newRow("cut inside a value") << head + "<row s=\"abc"
                                        << "ends too early";
    QTest::newRow("another root") << QByteArray("<dives/>") << "root";
    QTest::newRow("another table") << QByteArray("<table name=\"cds_dives\"/>") << "cds_dives";
    QTest::newRow("no table name") << QByteArray("<table/>") << "not cds_sample";
    QTest::newRow("another element") << head + "<dive/></table>"
                                     << "<row>";
    QTest::newRow("letters in a number") << head + "<row si=\"12a\"/></table>"
                                         << "whole number";
    QTest::newRow("smallint out of range") << head + "<row si=\"40000\"/></table>"
                                           << "out of range";
    QTest::newRow("integer out of range") << head + "<row i=\"2147483648\"/></table>"
                                          << "out of range";
    QTest::newRow("bad float") << head + "<row f=\"1,5\"/></table>"
                               << "not a number";
    QTest::newRow("bad date") << head + "<row d=\"2024-02-30\"/></table>"
                              << "not a date";
    QTest::newRow("regional date") << head + "<row d=\"5/1/2006\"/></table>"
                                   << "not a date";
    QTest::newRow("bad time") << head + "<row t=\"24:00:00\"/></table>"
                              << "not a time";
    QTest::newRow("bad date-time") << head + "<row dt=\"2024-01-01 10:00:00\"/></table>"
                                   << "date-time";
    QTest::newRow("text too long") << head + "<row s=\"" + QByteArray(41, 'x') + "\"/></table>"
                                   << "longer than 40";
    QTest::newRow("invalid utf-8") << head + "<row s=\"\xC3\x28\"/></table>"
                                   << "UTF-8";
    QTest::newRow("unknown reference") << head + "<row s=\"&nbsp;\"/></table>"
                                       << "reference";
    QTest::newRow("field given twice") << head + "<row si=\"1\" si=\"2\"/></table>"
                                       << "twice";
    QTest::newRow("unquoted value") << head + "<row si=1/></table>"
                                    << "quoted";
    QTest::newRow("text after the end")
        << QByteArray("<table name=\"cds_sample\"/>x") << "after the end";
    QTest::newRow("document type")
        << QByteArray("<!DOCTYPE x><table name=\"cds_sample\"/>") << "document type";
    QTest::newRow("date-time beyond the store's years")
        << head + "<row dt=\"999999999-01-01T00:00:00\"/></table>"
        << "not a date-time";
    QTest::newRow("negative date-time beyond the store's years")
        << head + "<row dt=\"-999999999-12-31T23:59:59\"/></table>"
        << "not a date-time";
    QTest::newRow("date beyond the store's years") << head + "<row d=\"999999999-01-01\"/></table>"
                                                   << "not a date";
}

void TestTableFile::refusesDamagedFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    TestSupport::TempFolders folders;
    writeFile("sample.xml", bytes);
    auto table = sampleTable("sample.xml");
    try {
        table->open();
        QFAIL("opened a damaged file");
    } catch (const AppError& e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        QVERIFY2(e.message().contains("sample.xml"), qPrintable(e.message()));
    }
    QVERIFY(!table->active());
}

void TestTableFile::recoversTextXmlCannotCarry_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("NUL reference") << QByteArray("Blue&#0; Hole") << "Blue Hole";
    QTest::newRow("hexadecimal NUL reference") << QByteArray("a&#x0;b") << "ab";
    QTest::newRow("other control references") << QByteArray("&#1;a&#x1F;b&#11;") << "ab";
    QTest::newRow("non-character references") << QByteArray("a&#xFFFE;b&#65535;") << "ab";
    QTest::newRow("raw control bytes") << QByteArray(
                                              "a\x01\x02\x1F"
                                              "b")
                                       << "ab";
    QTest::newRow("raw non-character") << QByteArray(
                                              "a\xEF\xBF\xBF"
                                              "b")
                                       << "ab";
    QTest::newRow("tab and line end references stay") << QByteArray("a&#9;b&#10;c") << "a\tb\nc";
}

// A file an older version wrote with a NUL in it opens with the character left out, instead of
// hiding the whole table; the next write is clean.
void TestTableFile::recoversTextXmlCannotCarry() {
    QFETCH(QByteArray, value);
    QFETCH(QString, text);
    TestSupport::TempFolders folders;
    writeFile("sample.xml", "<table name=\"cds_sample\" autoinc=\"3\">\n<row a=\"1\" m=\"" + value +
                                "\"/>\n<row a=\"2\" s=\"second\"/>\n</table>\n");
    {
        auto table = sampleTable("sample.xml");
        table->open();
        QCOMPARE(table->recordCount(), 2);
        QCOMPARE(table->asString("m"), text);
        table->edit();
        table->setValue("si", 1);
        table->post();
        table->close();
    }
    QXmlStreamReader xml(readFile("sample.xml"));
    while (!xml.atEnd()) {
        xml.readNext();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
}

void TestTableFile::neverWritesWhatXmlCannotCarry() {
    TableData data;
    data.tableName = "cds_sample";
    data.layout = std::make_shared<const RecordLayout>(kAllTypes);
    RowBuilder row(*data.layout);
    const char16_t text[] = u"a\0b\x01\uFFFFc\td";
    row.setText(data.layout->indexOf(u"m"), QStringView(text, std::size(text) - 1));
    data.rows.append(row.build(1));
    const QByteArray bytes = TableFile::serialise(data);
    QVERIFY2(bytes.contains("m=\"abc&#9;d\""), bytes.constData());
    const TableData back = TableFile::parse(bytes, data.layout, "cds_sample", "sample.xml");
    QCOMPARE(back.layout->text(back.rows.at(0), data.layout->indexOf(u"m")), u"abc\td");
}

void TestTableFile::neverWritesAFileItCouldNotRead() {
    TestSupport::TempFolders folders;
    const QByteArray damaged = sampleRows().left(60);
    writeFile("sample.xml", damaged);
    {
        auto table = sampleTable("sample.xml");
        QVERIFY_THROWS_EXCEPTION(AppError, table->open());
        QVERIFY_THROWS_EXCEPTION(AppError, table->createDataSet());
        QVERIFY(!table->active());
        table->save();
        table->close();
    }
    QCOMPARE(readFile("sample.xml"), damaged);
    QDir().mkdir("folder.xml");  // a folder where the file should be
    auto table = sampleTable("folder.xml");
    QVERIFY_THROWS_EXCEPTION(AppError, table->open());
}

void TestTableFile::closeWithoutChangesWritesNothing() {
    TestSupport::TempFolders folders;
    writeFile("sample.xml", sampleRows());
    {
        auto table = sampleTable("sample.xml");
        table->open();
        table->edit();
        table->next();  // an edit without changes is dropped
        QVERIFY(!table->hasUnsavedChanges());
        table->close();
    }
    QCOMPARE(readFile("sample.xml"), sampleRows());  // byte for byte as written by hand
    auto table = sampleTable("created.xml");
    table->createDataSet();
    table->close();
    QVERIFY(!QFile::exists("created.xml"));
}

void TestTableFile::aKilledWriterLeavesTheOldFile() {
    TestSupport::TempFolders folders;
    const QString fileName = QDir::current().absoluteFilePath("dives.xml");
    {
        const auto definition = DiveLogTables::dives();
        Table dives(definition.tableName, definition.fields, definition.orderBy);
        dives.setFileName(fileName);
        dives.open();
        dives.append();
        dives.setValue("Location", "the old file");
        dives.post();
        dives.close();
    }
    const QByteArray old = readFile(fileName);
    QProcess writer;
    writer.start(STORE_CRASH_WRITER, {fileName, "60000"});
    QVERIFY(writer.waitForStarted());
    QVERIFY(writer.waitForReadyRead(120000));
    QCOMPARE(writer.readLine(), QByteArray("ready\n"));
    writer.write("\n");  // one write, killed while its file is open
    QVERIFY(writer.waitForBytesWritten());
    bool caught = false;
    QElapsedTimer clock;
    clock.start();
    while (!caught && writer.state() == QProcess::Running && clock.elapsed() < 120000) {
        caught = writingInto(writer.processId(), QDir::currentPath());
    }
    writer.kill();
    QVERIFY(writer.waitForFinished());
    QVERIFY2(caught, "the writer was not seen writing");
    QVERIFY(!writer.readAll().contains("written"));
    QCOMPARE(readFile(fileName), old);
    const auto definition = DiveLogTables::dives();
    Table dives(definition.tableName, definition.fields, definition.orderBy);
    dives.setFileName(fileName);
    dives.open();
    QCOMPARE(dives.asString("Location"), QString("the old file"));
}

NEREVA_TEST_MAIN(TestTableFile)
#include "test_table_file.moc"
