// Reading the logs other programs write: real files from four programs, and small files that
// each hold one of the faults real files have.
#include "interchange/log_reader.h"
#include "test_support.h"

#include <QBuffer>
#include <QDir>

namespace {

QString dataPath(const QString& file) {
    return QDir(QString::fromLocal8Bit(qgetenv("NEREVA_SOURCE_DIR")))
        .filePath(QStringLiteral("tests/data/") + file);
}

LogFile readBytes(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    std::optional<LogFile> file = LogReader::read(&buffer, bytes.size());
    if (!file) {
        throw AppError(QStringLiteral("stopped"));
    }
    return std::move(*file);
}

// A UDDF 3.2 file around `profile` (the dives) and `definitions` (sites, diver, gases).
QByteArray uddf(
    const QByteArray& definitions, const QByteArray& profile,
    const QByteArray& root = R"(<uddf xmlns="http://www.streit.cc/uddf/3.2/" version="3.2.1">)") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + root +
           "<generator><name>Test</name></generator>" + definitions + "<profiledata>" + profile +
           "</profiledata></uddf>";
}

QByteArray dive(const QByteArray& before, const QByteArray& rest = {},
                const QByteArray& after = "<greatestdepth>20</greatestdepth>") {
    return "<repetitiongroup id='g'><dive id='d'><informationbeforedive>" + before +
           "</informationbeforedive>" + rest + "<informationafterdive>" + after +
           "</informationafterdive></dive></repetitiongroup>";
}

const QByteArray kDate = "<datetime>2023-05-01T10:15:00</datetime>";

}  // namespace

class TestLogReader : public QObject {
    Q_OBJECT
private slots:
    void realFiles_data();
    void realFiles();
    void subsurfaceLogs();
    void namespacesOrNone_data();
    void namespacesOrNone();
    void linksResolvedWherever();
    void repetitionGroups();
    void wrongUnitsAndRanges_data();
    void wrongUnitsAndRanges();
    void samples();
    void encodings_data();
    void encodings();
    void refusedFiles_data();
    void refusedFiles();
    void newerMinorVersion();
    void stoppedThroughProgress();
};

// One row per program: what its file holds and the first dive of it.
void TestLogReader::realFiles_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("dives");
    QTest::addColumn<int>("divesLeftOut");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("site");
    QTest::addColumn<QString>("buddies");
    QTest::addColumn<double>("maxDepth");
    QTest::addColumn<int>("duration");
    QTest::addColumn<int>("samples");

    // Subsurface's UDDF export: the owner's one computer is not linked, the tank volume is in
    // litres where cubic metres belong.
    QTest::newRow("Subsurface UDDF 3.2.0")
        << "subsurface-export-3.2.0.uddf"
        << "UDDF 3.2.0"
        << "Subsurface Divelog" << 1 << 0 << QDateTime(QDate(2024, 6, 27), QTime(15, 45, 44))
        << QString::fromUtf8("Kaukajärvi, Bandidosin ranta") << ""
        << "Dive buddy Senior" << 11.23 << 1620 << 86;
    // Kenozooid: UDDF 3.0 namespace, two dives in one repetition group, links to sites and
    // buddies declared before the profile.
    QTest::newRow("Kenozooid UDDF 3.0.0")
        << "kenozooid-3.0.0.uddf"
        << "UDDF 3.0.0"
        << "kenozooid" << 2 << 0 << QDateTime(QDate(2009, 10, 22), QTime(15, 32, 43))
        << "Scapa Flow"
        << "SMS Konig"
        << "John Koval" << 30.3 << 3857 << 40;
    // AP DiveSight: UDDF 3.3.0 without a namespace, a first "dive" without a date.
    QTest::newRow("AP DiveSight UDDF 3.3.0")
        << "apd-divesight-3.3.0.uddf"
        << "UDDF 3.3.0"
        << "AP DiveSight" << 1 << 1 << QDateTime(QDate(2022, 4, 24), QTime(10, 30, 58))
        << "Poor Knights Islands"
        << "Northern Arch"
        << "Buddy Diver" << 60.4 << 6240 << 28;
}

void TestLogReader::realFiles() {
    QFETCH(QString, file);
    const std::optional<LogFile> log = LogReader::read(dataPath(file));
    QVERIFY(log);
    QTEST(log->format, "format");
    QTEST(log->program, "program");
    QTEST(int(log->dives.size()), "dives");
    QTEST(log->divesLeftOut, "divesLeftOut");
    const ExchangeDive& first = log->dives.front();
    QTEST(QDateTime(first.date, first.start), "start");
    QTEST(first.location, "location");
    QTEST(first.site, "site");
    QTEST(first.buddies.join(u'|'), "buddies");
    QTEST(first.maxDepth.value_or(-1), "maxDepth");
    QTEST(first.duration.value_or(-1), "duration");
    QTEST(int(first.samples.size()), "samples");
}

void TestLogReader::subsurfaceLogs() {
    const std::optional<LogFile> v2 = LogReader::read(dataPath("subsurface-v2.ssrf"));
    QVERIFY(v2);
    QCOMPARE(v2->format, QStringLiteral("Subsurface XML 2"));
    QCOMPARE(int(v2->dives.size()), 5);
    const ExchangeDive& owd = v2->dives[0];
    QCOMPARE(owd.location, QStringLiteral("Sund Rock, Hoodsport, WA, USA"));
    QCOMPARE(owd.instructor, QStringLiteral("Jeff"));
    QCOMPARE(owd.notes, QStringLiteral("First OWD dive\nunbelievably cold"));
    QCOMPARE(owd.duration.value_or(0), 14 * 60 + 30);
    QCOMPARE(owd.airTemperature.value_or(0), 9.0 + 273.15);
    QCOMPARE(owd.tankVolume.value_or(0), 0.013399);
    QCOMPARE(owd.samples[1].time, 60);
    QCOMPARE(owd.samples[1].depth, 2.44);
    QCOMPARE(v2->dives[2].latitude.value_or(0), 7.132557);  // <location gps=...> in the dive
    QVERIFY(v2->dives[2].computerModel.isEmpty());          // "manually added dive"

    const std::optional<LogFile> v3 = LogReader::read(dataPath("subsurface-v3.ssrf"));
    QVERIFY(v3);
    QCOMPARE(v3->format, QStringLiteral("Subsurface XML 3"));
    QCOMPARE(int(v3->dives.size()), 4);
    const ExchangeDive& palau = v3->dives[1];                 // two computers: the first one's data
    QCOMPARE(palau.location, QStringLiteral("Blue Corner"));  // a site linked by uuid
    QCOMPARE(palau.longitude.value_or(0), 134.221393);
    QCOMPARE(palau.computerVendor, QStringLiteral("Uemis"));
    QCOMPARE(palau.computerModel, QStringLiteral("Zurich"));
    QCOMPARE(palau.access, 1);  // tagged "boat"
    QCOMPARE(palau.rating, 5);
    QCOMPARE(palau.gas, 3);  // 30 % oxygen
    QCOMPARE(int(palau.samples.size()), 24);
    const auto alarm = std::find_if(palau.samples.cbegin(), palau.samples.cend(),
                                    [](const ExchangeSample& s) { return s.alarm != 0; });
    QVERIFY(alarm != palau.samples.cend());  // "Safety Stop Violation" at 54:28
    QCOMPARE(alarm->alarm, ProfileAlarm::code(u"error"));
    QVERIFY(alarm->time >= 54 * 60 + 28);
    // The second cylinder with pressures of the test-event dive has no place.
    QCOMPARE(v3->counts.leftOut, 1);
    QCOMPARE(v3->dives[2].tankBegin.value_or(0), 100e5);
    const ExchangeDive& yellow = v3->dives[3];
    QCOMPARE(yellow.lead.value_or(0), 4.536 + 0.907);  // two weight systems
    QCOMPARE(yellow.access, 2);                        // "shore, teaching"
    QCOMPARE(yellow.bottomTemperature.value_or(0), 5.0 + 273.15);
}

void TestLogReader::namespacesOrNone_data() {
    QTest::addColumn<QByteArray>("root");
    QTest::newRow("default namespace")
        << QByteArray(R"(<uddf xmlns="http://www.streit.cc/uddf/3.2/" version="3.2.0">)");
    QTest::newRow("no namespace") << QByteArray(R"(<uddf version="3.2.0">)");
    QTest::newRow("3.1 namespace")
        << QByteArray(R"(<uddf xmlns="http://www.streit.cc/uddf/3.1/" version="3.1.0">)");
}

void TestLogReader::namespacesOrNone() {
    QFETCH(QByteArray, root);
    const LogFile log = readBytes(uddf({}, dive(kDate), root));
    QCOMPARE(int(log.dives.size()), 1);
    QCOMPARE(log.dives[0].maxDepth.value_or(0), 20.0);

    // A prefix on every element reads the same.
    const QByteArray prefixed =
        R"(<u:uddf xmlns:u="http://www.streit.cc/uddf/3.2/" version="3.2.0"><u:profiledata>)"
        R"(<u:repetitiongroup id="g"><u:dive id="d"><u:informationbeforedive>)"
        R"(<u:datetime>2023-05-01T10:15:00</u:datetime></u:informationbeforedive>)"
        R"(<u:informationafterdive><u:greatestdepth>21.5</u:greatestdepth>)"
        R"(</u:informationafterdive></u:dive></u:repetitiongroup></u:profiledata></u:uddf>)";
    QCOMPARE(readBytes(prefixed).dives.at(0).maxDepth.value_or(0), 21.5);
}

// Sites, buddies, dive bases and gases may come after the dives that link them; a link to
// nothing is counted.
void TestLogReader::linksResolvedWherever() {
    const QByteArray profile =
        dive(kDate +
                 "<link ref='s1'/><link ref='b2'/><link ref='b1'/><link ref='base'/>"
                 "<link ref='nowhere'/>",
             "<tankdata><link ref='ean32'/><tankpressurebegin>20000000</tankpressurebegin>"
             "</tankdata>");
    const QByteArray definitions =
        "<diver><owner id='me'><personal><firstname>Ana</firstname><lastname>Diaz</lastname>"
        "</personal></owner>"
        "<buddy id='b1'><personal><firstname>Jo</firstname><middlename>K</middlename>"
        "<lastname>Park</lastname></personal></buddy>"
        "<buddy id='b2'><personal><firstname>Lena</firstname><lastname>Fischer</lastname>"
        "</personal></buddy></diver>"
        "<divesite><divebase id='base'><name>Aldora Divers</name></divebase>"
        "<site id='s1'><name>Palancar Reef</name><environment>ocean-sea</environment>"
        "<geography><location>Cozumel</location><address><country>Mexico</country>"
        "<province>Quintana Roo</province></address><latitude>20.3</latitude>"
        "<longitude>-87.03</longitude></geography><sitedata><density>1025</density></sitedata>"
        "</site></divesite>"
        "<gasdefinitions><mix id='ean32'><name>EAN32</name><o2>0.32</o2></mix></gasdefinitions>";
    // Definitions after the profile data.
    const QByteArray bytes =
        "<uddf version='3.2.0'><generator><name>T</name></generator>"
        "<profiledata>" +
        profile + "</profiledata>" + definitions + "</uddf>";
    const LogFile log = readBytes(bytes);
    const ExchangeDive& d = log.dives.at(0);
    QCOMPARE(d.location, QStringLiteral("Cozumel"));
    QCOMPARE(d.site, QStringLiteral("Palancar Reef"));
    QCOMPARE(d.country, QStringLiteral("Mexico"));
    QCOMPARE(d.state, QStringLiteral("Quintana Roo"));
    QCOMPARE(d.latitude.value_or(0), 20.3);
    QCOMPARE(d.siteType, 5);
    QCOMPARE(d.media, 1);
    QCOMPARE(d.buddies, QStringList({"Lena Fischer", "Jo K Park"}));  // in link order
    QCOMPARE(d.operatorName, QStringLiteral("Aldora Divers"));
    QCOMPARE(d.gas, 3);
    QCOMPARE(d.tankBegin.value_or(0), 2e7);
    QCOMPARE(log.counts.leftOut, 1);
}

void TestLogReader::repetitionGroups() {
    const QByteArray profile =
        "<repetitiongroup id='g1'>"
        "<dive id='a'><informationbeforedive><datetime>2023-05-01T09:00:00</datetime>"
        "</informationbeforedive><informationafterdive><greatestdepth>30</greatestdepth>"
        "</informationafterdive></dive>"
        "<dive id='b'><informationbeforedive><datetime>2023-05-01T13:00:00</datetime>"
        "<surfaceintervalbeforedive><passedtime>12600</passedtime></surfaceintervalbeforedive>"
        "</informationbeforedive><informationafterdive><greatestdepth>18</greatestdepth>"
        "</informationafterdive></dive></repetitiongroup>"
        "<repetitiongroup id='g2'><dive id='c'><informationbeforedive>"
        "<datetime>2023-05-02T09:00:00</datetime><surfaceintervalbeforedive><infinity/>"
        "</surfaceintervalbeforedive></informationbeforedive><informationafterdive>"
        "<greatestdepth>25</greatestdepth></informationafterdive></dive></repetitiongroup>";
    const LogFile log = readBytes(uddf({}, profile));
    QCOMPARE(int(log.dives.size()), 3);
    QCOMPARE(log.dives[1].surfaceInterval.value_or(0), 12600);
    QVERIFY(!log.dives[2].surfaceInterval);
    QCOMPARE(log.dives[2].maxDepth.value_or(0), 25.0);
}

// Values written in the wrong unit are read in the unit they evidently are in; values out of
// any range are left out; both counted.
void TestLogReader::wrongUnitsAndRanges_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("rest");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("measure");
    QTest::addColumn<double>("expected");  // -1: left out
    QTest::addColumn<int>("adjusted");
    QTest::addColumn<int>("leftOut");

    const QByteArray depth = "<greatestdepth>20</greatestdepth>";
    QTest::newRow("temperature in kelvin") << kDate + "<airtemperature>300.15</airtemperature>"
                                           << QByteArray() << depth << "air" << 300.15 << 0 << 0;
    QTest::newRow("temperature in Celsius") << kDate + "<airtemperature>24.5</airtemperature>"
                                            << QByteArray() << depth << "air" << 297.65 << 1 << 0;
    QTest::newRow("temperature of nothing") << kDate + "<airtemperature>1200</airtemperature>"
                                            << QByteArray() << depth << "air" << -1.0 << 0 << 1;
    QTest::newRow("pressure in bar")
        << kDate << QByteArray("<tankdata><tankpressurebegin>200</tankpressurebegin></tankdata>")
        << depth << "begin" << 2e7 << 1 << 0;
    QTest::newRow("tank in litres")
        << kDate
        << QByteArray(
               "<tankdata><tankvolume>12</tankvolume><tankpressurebegin>2e7"
               "</tankpressurebegin></tankdata>")
        << depth << "volume" << 0.012 << 1 << 0;
    QTest::newRow("depth below any dive")
        << kDate << QByteArray() << QByteArray("<greatestdepth>5000</greatestdepth>") << "max"
        << -1.0 << 0 << 1;
    QTest::newRow("depth a little above the surface")
        << kDate << QByteArray()
        << QByteArray("<greatestdepth>20</greatestdepth><averagedepth>-0.2</averagedepth>")
        << "average" << 0.0 << 1 << 0;
    QTest::newRow("depth that is no number")
        << kDate << QByteArray() << QByteArray("<greatestdepth>deep</greatestdepth>") << "max"
        << -1.0 << 0 << 1;
    QTest::newRow("decimal comma")
        << kDate << QByteArray() << QByteArray("<greatestdepth>18,5</greatestdepth>") << "max"
        << 18.5 << 0 << 0;
    QTest::newRow("rating above ten")
        << kDate << QByteArray() << depth + "<rating><ratingvalue>12</ratingvalue></rating>"
        << "rating" << 5.0 << 1 << 0;
    QTest::newRow("oxygen in percent")
        << kDate
        << QByteArray(
               "<tankdata><link ref='m'/><tankpressurebegin>2e7</tankpressurebegin>"
               "</tankdata>")
        << depth << "gas" << 4.0 << 1 << 0;
    QTest::newRow("visibility beyond sight")
        << kDate << QByteArray() << depth + "<visibility>4000</visibility>"
        << "visibility" << -1.0 << 0 << 1;
}

void TestLogReader::wrongUnitsAndRanges() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, rest);
    QFETCH(QByteArray, after);
    QFETCH(QString, measure);
    const QByteArray gases = measure == "gas"
                                 ? "<gasdefinitions><mix id='m'><name>x</name><o2>36</o2></mix>"
                                   "</gasdefinitions>"
                                 : QByteArray();
    const LogFile log = readBytes(uddf(gases, dive(before, rest, after)));
    const ExchangeDive& d = log.dives.at(0);
    const QHash<QString, double> measures = {
        {"air", d.airTemperature.value_or(-1)},
        {"begin", d.tankBegin.value_or(-1)},
        {"volume", d.tankVolume.value_or(-1)},
        {"max", d.maxDepth.value_or(-1)},
        {"average", d.averageDepth.value_or(-1)},
        {"rating", double(d.rating)},
        {"gas", double(d.gas)},
        {"visibility", d.visibility.value_or(-1)},
    };
    QTEST(measures.value(measure), "expected");
    QTEST(log.counts.adjusted, "adjusted");
    QTEST(log.counts.leftOut, "leftOut");
}

void TestLogReader::samples() {
    const QByteArray waypoints =
        "<samples>"
        "<waypoint><depth>0</depth><divetime>0</divetime></waypoint>"
        "<waypoint><depth>12.5</depth><divetime>60.4</divetime><alarm>ascent</alarm>"
        "<alarm>deco</alarm></waypoint>"
        "<waypoint><divetime>120</divetime><alarm>surface</alarm></waypoint>"  // depth kept
        "<waypoint><depth>14</depth><divetime>180</divetime><alarm>sneezing</alarm></waypoint>"
        "<waypoint><depth>9</depth></waypoint>"                            // no time
        "<waypoint><depth>3</depth><divetime>40000</divetime></waypoint>"  // past 32,767 s
        "<waypoint><depth>-0.4</depth><divetime>240</divetime>"
        "<temperature>281.5</temperature></waypoint>"
        "</samples>";
    // A planned profile is no record of the dive.
    const QByteArray planned =
        "<plannedprofile><waypoint><depth>40</depth><divetime>10</divetime></waypoint>"
        "</plannedprofile>";
    const LogFile log = readBytes(uddf({}, dive(kDate + planned, waypoints, "")));
    const ExchangeDive& d = log.dives.at(0);
    QCOMPARE(int(d.samples.size()), 5);
    QCOMPARE(d.samples[1].time, 60);
    QCOMPARE(d.samples[1].depth, 12.5);
    QCOMPARE(d.samples[1].alarm, ProfileAlarm::code(u"ascent"));
    QCOMPARE(d.samples[2].depth, 12.5);
    QCOMPARE(d.samples[2].alarm, ProfileAlarm::code(u"surface"));
    QCOMPARE(d.samples[3].alarm, qint16(0));
    QCOMPARE(d.samples[4].depth, 0.0);
    // The second alarm of a waypoint, the unknown alarm, the sample without a time and the
    // one past the profile's reach are left out; the depth above the surface is clamped.
    QCOMPARE(log.counts.leftOut, 4);
    QCOMPARE(log.counts.adjusted, 1);
    // Without a greatest depth and duration the samples give them.
    QCOMPARE(d.maxDepth.value_or(0), 14.0);
    QCOMPARE(d.duration.value_or(0), 240);
    QCOMPARE(d.bottomTemperature.value_or(0), 281.5);
}

void TestLogReader::encodings_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray body =
        "<uddf version='3.2.0'><divesite><site id='s'><name>Cap d'Agde \xE9t\xE9"
        "</name></site></divesite><profiledata>" +
        dive(kDate + "<link ref='s'/>") + "</profiledata></uddf>";
    QTest::newRow("declared ISO-8859-1") << "<?xml version='1.0' encoding='ISO-8859-1'?>\n" + body;
    QTest::newRow("undeclared, not UTF-8") << QByteArray("\n") + body;
    QTest::newRow("declaration without encoding, not UTF-8") << "<?xml version='1.0'?>\n" + body;
    QByteArray utf8 = QString::fromLatin1(body).toUtf8();
    QTest::newRow("UTF-8") << "<?xml version='1.0' encoding='UTF-8'?>\n" + utf8;
    QTest::newRow("UTF-8 with a byte order mark") << "\xEF\xBB\xBF" + utf8;
}

void TestLogReader::encodings() {
    QFETCH(QByteArray, bytes);
    try {
        QCOMPARE(readBytes(bytes).dives.at(0).location, QString::fromUtf8("Cap d'Agde été"));
    } catch (const AppError& e) {
        QFAIL(qPrintable(e.message()));
    }
}

// A file that cannot be read is refused with the line of the fault.
void TestLogReader::refusedFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("unclosed element") << QByteArray(
                                             "<uddf version='3.2.0'>\n<profiledata>\n"
                                             "<repetitiongroup>\n</profiledata>\n</uddf>")
                                      << "Line 4:";
    QTest::newRow("cut short") << QByteArray("<uddf version='3.2.0'>\n<profiledata>\n")
                               << "Line 3:";
    QTest::newRow("document type declaration")
        << QByteArray(
               "<?xml version='1.0'?>\n<!DOCTYPE uddf [<!ENTITY a 'aaaa'>]>\n"
               "<uddf version='3.2.0'>&a;</uddf>")
        << "document type declaration";
    QTest::newRow("another format") << QByteArray("<gpx version='1.1'/>") << "<gpx>";
    QTest::newRow("UDDF 2") << QByteArray("<uddf version='2.2.0'/>") << "version 2.2.0";
    QTest::newRow("empty") << QByteArray() << "Line 1:";
    QTest::newRow("declared UTF-8, Latin-1 inside")
        << QByteArray(
               "<?xml version='1.0' encoding='UTF-8'?>\n<uddf version='3.2.0'>\n"
               "<generator><name>\xE9</name></generator></uddf>")
        << "Line 3:";
}

void TestLogReader::refusedFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    try {
        readBytes(bytes);
        QFAIL("the file was read");
    } catch (const AppError& e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
    }
}

// A newer minor version: what is understood is read, the rest passed over.
void TestLogReader::newerMinorVersion() {
    const QByteArray profile = dive(kDate + "<heartbeat><bpm>60</bpm></heartbeat>",
                                    "<samples><waypoint><depth>5</depth><divetime>10</divetime>"
                                    "<bodytemperature>310</bodytemperature></waypoint></samples>",
                                    "<greatestdepth>5</greatestdepth><mood>happy</mood>");
    const LogFile log = readBytes(uddf({}, profile, "<uddf version='3.4.1'>"));
    QCOMPARE(log.format, QStringLiteral("UDDF 3.4.1"));
    QCOMPARE(int(log.dives.at(0).samples.size()), 1);
    QCOMPARE(log.counts.leftOut, 0);
}

void TestLogReader::stoppedThroughProgress() {
    QByteArray profile;
    for (int i = 0; i < 3000; ++i) {
        profile += dive(QStringLiteral("<datetime>2020-01-01T%1:%2:00</datetime>")
                            .arg(i / 60 % 24, 2, 10, QLatin1Char('0'))
                            .arg(i % 60, 2, 10, QLatin1Char('0'))
                            .toLatin1());
    }
    const QByteArray bytes = uddf({}, profile);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QList<double> told;
    const std::optional<LogFile> read = LogReader::read(&buffer, bytes.size(), [&](double done) {
        told << done;
        return told.size() < 2;
    });
    QVERIFY(!read);
    QCOMPARE(told.size(), 2);
    QVERIFY(told[0] > 0 && told[0] < told[1] && told[1] < 1);
}

NEREVA_TEST_MAIN(TestLogReader)
#include "test_log_reader.moc"
