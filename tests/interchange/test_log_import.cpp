// Bringing dives into the tables and writing them out again: units, duplicates, the bulk
// change, stopping between dives, UDDF out and back in field by field, schema validation and
// CSV.
#include "interchange/log_import.h"
#include "interchange/log_snapshot.h"
#include "interchange/log_writers.h"
#include "module_set.h"
#include "store/table_data.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

namespace {

QString sourcePath(const QString& relative) {
    return QDir(QString::fromLocal8Bit(qgetenv("NEREVA_SOURCE_DIR"))).filePath(relative);
}

LogFile readLog(const QString& dataFile) {
    std::optional<LogFile> log = LogReader::read(sourcePath("tests/data/" + dataFile));
    if (!log) {
        throw AppError(QStringLiteral("stopped"));
    }
    return std::move(*log);
}

DiveFields::DiveUnits unitsOf(int code) {
    return DiveFields::importUnits(code, code, code);
}

// Sets fields of the current row of `table` (a new row when it shows none).
void setFields(Table* table, const QList<QPair<const char*, QVariant>>& values,
               bool newRow = false) {
    if (newRow || table->recordCount() == 0) {
        table->append();
    } else {
        table->edit();
    }
    for (const auto& [field, value] : values) {
        table->setValue(QString::fromLatin1(field), value);
    }
    table->post();
}

void addDive(Tdm_rdp& tables, const QDate& date, const QTime& time,
             const QList<QPair<const char*, QVariant>>& more = {}) {
    QList<QPair<const char*, QVariant>> values = {{"Date", date}, {"Time_Start", time}};
    values += more;
    setFields(tables.cds_dives, values, true);
}

void addSamples(Tdm_rdp& tables, const QList<std::tuple<int, double, int>>& samples) {
    for (const auto& [time, depth, alarm] : samples) {
        QList<QPair<const char*, QVariant>> values = {{"time", time}, {"depth", depth}};
        if (alarm) {
            values.append({"alarm", alarm});
        }
        setFields(tables.cds_profile, values, true);
    }
}

QVariant field(Table* table, const char* name) {
    return table->value(QString::fromLatin1(name));
}

// The fields a dive keeps through UDDF, in the units it was written in.
const char* const kDiveFields[] = {"Date",      "Time_Start",  "Location",    "Site",
                                   "pais",      "estado",      "coordinates", "Dive_Media",
                                   "Site_type", "Access_Type", "Activity",    "dive_rating",
                                   "operator",  "buddy",       "team1",       "team2"};
const char* const kConditionFields[] = {
    "dive_si",    "altitude",      "altitude_unit",    "depth",           "max_depth",
    "depth_unit", "bottom_time",   "observations",     "cond_visibility", "cond_visibility_unit",
    "cond_cold",  "cond_temp_air", "cond_temp_bottom", "cond_temp_unit",  "cond_Current"};
const char* const kEquipmentFields[] = {"pres_in",   "pres_out", "pres_end_used", "pres_unit",
                                        "Dc_Vendor", "Dc_Model", "lead_weight",   "lead_unit",
                                        "gas_mix",   "cil_size", "cil_size_unit"};

// Two dives in `unit` with every carried field filled, the first with a profile.
void fillLog(Tdm_rdp& tables, int unit) {
    const bool feet = unit == 2;
    addDive(tables, QDate(2024, 3, 2), QTime(9, 30, 0),
            {{"Location", QString::fromUtf8("Cozumel, Quintana Roo")},
             {"Site", QString::fromUtf8("Palancar Reef & \"Horseshoe\"")},
             {"pais", "Mexico"},
             {"estado", "Quintana Roo"},
             {"coordinates", "20:18:05N-87:01:48W"},
             {"Dive_Media", 1},
             {"Site_type", 5},
             {"Access_Type", 1},
             {"Activity", 6},
             {"dive_rating", 4},
             {"operator", "Aldora Divers"},
             {"buddy", QString::fromUtf8("María José Núñez")},
             {"team1", "Jon Park"},
             {"team2", "Lena"}});
    setFields(tables.cds_conditions,
              {{"dive_si", "01:30"},
               {"altitude", feet ? 12.5 : 3.8},
               {"altitude_unit", unit},
               {"depth", feet ? 47.3 : 14.42},
               {"max_depth", feet ? 98.7 : 30.08},
               {"depth_unit", unit},
               {"bottom_time", "00:48"},
               {"observations", QString::fromUtf8("Turtles <3 & an eagle ray\nSecond line, ✓")},
               {"cond_visibility", feet ? 82.0 : 25.0},
               {"cond_visibility_unit", unit},
               {"cond_cold", 1},
               {"cond_temp_air", feet ? 84.2 : 29.0},
               {"cond_temp_bottom", feet ? 79.0 : 26.1},
               {"cond_temp_unit", unit},
               {"cond_Current", 3}});
    setFields(tables.cds_equipment, {{"pres_in", feet ? 3000.0 : 200.0},
                                     {"pres_out", feet ? 700.0 : 50.5},
                                     {"pres_end_used", 0},
                                     {"pres_unit", unit},
                                     {"Dc_Vendor", "Suunto"},
                                     {"Dc_Model", "D5"},
                                     {"lead_weight", feet ? 14.0 : 6.5},
                                     {"lead_unit", unit},
                                     {"gas_mix", 3},
                                     {"cil_size", 11.1},
                                     {"cil_size_unit", 1}});
    addSamples(tables, {{0, 0.0, 0},
                        {20, feet ? 15.75 : 4.8, 0},
                        {600, feet ? 98.7 : 30.08, 3},
                        {2400, feet ? 16.4 : 5.0, 1},
                        {2880, 0.0, 9}});
    addDive(tables, QDate(2024, 3, 2), QTime(14, 10, 0),
            {{"Location", QString::fromUtf8("Cozumel, Quintana Roo")},
             {"Site", "Columbia Wall"},
             {"Access_Type", 2},
             {"Activity", 7},
             {"dive_rating", 5},
             {"buddy", "Jon Park"}});
    setFields(tables.cds_conditions, {{"dive_si", "03:05"},
                                      {"altitude_unit", unit},
                                      {"max_depth", feet ? 60.0 : 18.3},
                                      {"depth_unit", unit},
                                      {"cond_visibility_unit", unit},
                                      {"bottom_time", "01:02"},
                                      {"cond_temp_air", feet ? 86.0 : 30.0},
                                      {"cond_temp_unit", unit},
                                      {"cond_Current", 5}});
    setFields(tables.cds_equipment, {{"pres_in", feet ? 2900.0 : 210.0},
                                     {"pres_out", feet ? 2100.0 : 140.0},
                                     {"pres_end_used", 1},
                                     {"pres_unit", unit},
                                     {"gas_mix", 1}});
}

// Writes the tables' dives to `path` as UDDF.
void exportUddf(Tdm_rdp& tables, const QString& path, const QSet<int>& only = {}) {
    const LogSnapshot log(tables, only);
    QVERIFY(LogWriters::saveUddf(log, {QStringLiteral("1.0"), QStringLiteral("Ana Diaz")}, path));
}

QStringList parseCsvRow(const QByteArray& bytes, qsizetype& at) {
    QStringList fields;
    QString field;
    bool quoted = false;
    const QString text = QString::fromUtf8(bytes.mid(at));
    qsizetype i = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << field;
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            ++i;
            break;
        } else {
            field += c;
        }
    }
    fields << field;
    at += text.left(i + 1).toUtf8().size();
    return fields;
}

// A CSV file as rows of fields (RFC 4180), after its byte order mark.
QList<QStringList> readCsv(const QString& path) {
    QByteArray bytes = TestSupport::readFile(path);
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
    }
    QList<QStringList> rows;
    qsizetype at = 0;
    while (at < bytes.size()) {
        rows << parseCsvRow(bytes, at);
    }
    return rows;
}

}  // namespace

class TestLogImport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void newLocalDivesInTheChosenUnits_data();
    void newLocalDivesInTheChosenUnits();
    void duplicatesSkipped();
    void duplicatesMerged();
    void oneBulkChange();
    void stopLeavesWholeDives();
    void refusedDiveLeavesNothing();
    void roundTrip_data();
    void roundTrip();
    void exportValidatesAgainstSchema();
    void exportOfSelectedDives();
    void csvReadsBack();

private:
    std::unique_ptr<TestSupport::TempFolders> folders_;
    std::unique_ptr<ModuleSet> modules_;
};

void TestLogImport::init() {
    folders_ = std::make_unique<TestSupport::TempFolders>();
    modules_ = std::make_unique<ModuleSet>();
    modules_->tables->setSaveDelay(10);
}

void TestLogImport::cleanup() {
    modules_.reset();
    folders_.reset();
}

void TestLogImport::newLocalDivesInTheChosenUnits_data() {
    QTest::addColumn<int>("unit");
    QTest::addColumn<double>("maxDepth");
    QTest::addColumn<double>("bottomTemperature");
    QTest::addColumn<double>("pressureIn");
    QTest::addColumn<double>("lead");
    QTest::addColumn<double>("secondSampleDepth");
    // The Subsurface file: 11.23 m, 279.15 K (lowest sample), 200 bar, 13 kg, 2.64 m.
    QTest::newRow("metric") << 1 << 11.23 << 6.0 << 200.0 << 13.0 << 2.64;
    QTest::newRow("imperial") << 2 << 36.84383202 << 42.8 << 2900.754755 << 28.66009408
                              << 8.661417323;
    QTest::newRow("no unit chosen: metric") << 0 << 11.23 << 6.0 << 200.0 << 13.0 << 2.64;
}

void TestLogImport::newLocalDivesInTheChosenUnits() {
    QFETCH(int, unit);
    Tdm_rdp& tables = *modules_->tables;
    LogImport import(tables, readLog("subsurface-export-3.2.0.uddf"), unitsOf(unit));
    QCOMPARE(import.duplicateCount(), 0);
    const ImportSummary summary = import.apply(DuplicateChoice::Skip);
    QCOMPARE(summary.imported, 1);
    QCOMPARE(summary.counts.adjusted, 1);  // the tank volume in litres
    QVERIFY(summary.firstAdded != 0);

    Table* dives = tables.cds_dives;
    QCOMPARE(dives->recordCount(), 1);
    dives->first();
    QVERIFY(dives->isNull("id_dive"));  // a local dive
    QCOMPARE(field(dives, "Date").toDate(), QDate(2024, 6, 27));
    QCOMPARE(field(dives, "Time_Start").toTime(), QTime(15, 45, 44));
    QCOMPARE(field(dives, "Location").toString(),
             QString::fromUtf8("Kaukajärvi, Bandidosin ranta"));
    QCOMPARE(field(dives, "buddy").toString(), QStringLiteral("Dive buddy Senior"));
    QCOMPARE(field(dives, "coordinates").toString(), QStringLiteral("61:28:31N-23:54:20E"));
    QCOMPARE(field(dives, "dive_rating").toInt(), 3);

    const int expectedUnit = unit == 2 ? 2 : 1;
    Table* conditions = tables.cds_conditions;
    QCOMPARE(conditions->recordCount(), 1);
    QCOMPARE(field(conditions, "depth_unit").toInt(), expectedUnit);
    QCOMPARE(field(conditions, "cond_temp_unit").toInt(), expectedUnit);
    QTEST(field(conditions, "max_depth").toDouble(), "maxDepth");
    QTEST(field(conditions, "cond_temp_bottom").toDouble(), "bottomTemperature");
    QCOMPARE(field(conditions, "bottom_time").toString(), QStringLiteral("00:27"));
    QVERIFY(field(conditions, "observations").toString().startsWith("Ohhoh"));

    Table* equipment = tables.cds_equipment;
    QCOMPARE(field(equipment, "pres_unit").toInt(), expectedUnit);
    QTEST(field(equipment, "pres_in").toDouble(), "pressureIn");
    QCOMPARE(field(equipment, "pres_end_used").toInt(), 0);
    QTEST(field(equipment, "lead_weight").toDouble(), "lead");
    QCOMPARE(field(equipment, "lead_unit").toInt(), expectedUnit);
    QCOMPARE(field(equipment, "cil_size").toDouble(), 15.0);
    QCOMPARE(field(equipment, "cil_size_unit").toInt(), 1);
    QCOMPARE(field(equipment, "gas_mix").toInt(), 1);
    QCOMPARE(field(equipment, "Dc_Model").toString(), QStringLiteral("Suunto D6i"));

    Table* profile = tables.cds_profile;
    QCOMPARE(profile->recordCount(), 86);
    QCOMPARE(profile->valueAt(0, profile->fieldIndex("alarm")).toInt(), 9);  // surface
    QCOMPARE(profile->valueAt(1, profile->fieldIndex("time")).toInt(), 20);
    QTEST(profile->valueAt(1, profile->fieldIndex("depth")).toDouble(), "secondSampleDepth");
    QVERIFY(!profile->valueAt(1, profile->fieldIndex("alarm")).isValid());
}

void TestLogImport::duplicatesSkipped() {
    Tdm_rdp& tables = *modules_->tables;
    LogImport first(tables, readLog("kenozooid-3.0.0.uddf"), unitsOf(1));
    QCOMPARE(first.apply(DuplicateChoice::Skip).imported, 2);
    const int samples = tables.cds_profile->snapshot()->rows.size();

    // The same dives again, one of them typed by hand with the start to the minute only.
    tables.cds_dives->first();
    tables.cds_dives->next();
    setFields(tables.cds_dives, {{"Time_Start", QTime(6, 2)}});
    LogImport again(tables, readLog("kenozooid-3.0.0.uddf"), unitsOf(1));
    QCOMPARE(again.duplicateCount(), 2);
    const ImportSummary summary = again.apply(DuplicateChoice::Skip);
    QCOMPARE(summary.imported, 0);
    QCOMPARE(summary.duplicatesSkipped, 2);
    QCOMPARE(tables.cds_dives->recordCount(), 2);
    QCOMPARE(int(tables.cds_profile->snapshot()->rows.size()), samples);

    // A file repeating a dive of its own imports it once.
    LogFile twice = readLog("subsurface-export-3.2.0.uddf");
    twice.dives.push_back(twice.dives.front());
    LogImport repeated(tables, std::move(twice), unitsOf(1));
    QVERIFY(!repeated.isDuplicate(0));
    QVERIFY(repeated.isDuplicate(1));
    const ImportSummary once = repeated.apply(DuplicateChoice::Skip);
    QCOMPARE(once.imported, 1);
    QCOMPARE(once.duplicatesSkipped, 1);
}

// Merging fills what the dive lacks, in the dive's own units, and never touches a locked or
// certified dive.
void TestLogImport::duplicatesMerged() {
    Tdm_rdp& tables = *modules_->tables;
    addDive(tables, QDate(2024, 6, 27), QTime(15, 45), {{"Location", "Kaukajarvi (typed)"}});
    setFields(tables.cds_conditions, {{"max_depth", 40.0}, {"depth_unit", 2}});
    addDive(tables, QDate(2009, 10, 22), QTime(15, 32), {{"locked", 1}});

    LogFile file = readLog("subsurface-export-3.2.0.uddf");
    LogFile keno = readLog("kenozooid-3.0.0.uddf");
    file.dives.push_back(keno.dives.front());
    LogImport import(tables, std::move(file), unitsOf(1));
    const ImportSummary summary = import.apply(DuplicateChoice::Merge);
    QCOMPARE(summary.merged, 1);
    QCOMPARE(summary.lockedSkipped, 1);
    QCOMPARE(summary.imported, 0);

    Table* dives = tables.cds_dives;
    dives->last();
    QCOMPARE(field(dives, "Location").toString(), QStringLiteral("Kaukajarvi (typed)"));
    QCOMPARE(field(dives, "buddy").toString(), QStringLiteral("Dive buddy Senior"));
    QCOMPARE(field(tables.cds_conditions, "max_depth").toDouble(), 40.0);
    // The average depth goes in in feet, the unit the dive names.
    QCOMPARE(field(tables.cds_conditions, "depth").toDouble(), 21.02362205);
    QCOMPARE(tables.cds_profile->recordCount(), 86);
    QCOMPARE(tables.cds_profile->valueAt(1, tables.cds_profile->fieldIndex("depth")).toDouble(),
             8.661417323);
    QCOMPARE(field(tables.cds_equipment, "pres_unit").toInt(), 1);

    dives->first();
    QVERIFY(field(dives, "buddy").isNull());
    QCOMPARE(tables.cds_profile->recordCount(), 0);
}

// One bulk change: Busy while it runs, nothing written then, each table written once after.
void TestLogImport::oneBulkChange() {
    Tdm_rdp& tables = *modules_->tables;
    QSignalSpy saved(&tables, &Tdm_rdp::tableSaved);
    QSignalSpy divesChanged(tables.cds_dives, &Table::dataChanged);
    LogImport import(tables, readLog("subsurface-v3.ssrf"), unitsOf(1));
    QList<int> told;
    bool busyThroughout = true;
    import.apply(DuplicateChoice::Skip, [&](int done, int total) -> bool {
        told << done << total;
    busyThroughout = busyThroughout && tables.busy();
    QTest::qWait(20);  // the save timer would have run by now
    return true;
});
QCOMPARE(told, QList<int>({0, 4, 1, 4, 2, 4, 3, 4}));
QVERIFY(busyThroughout);
QVERIFY(!tables.busy());
QCOMPARE(saved.count(), 0);
QCOMPARE(divesChanged.count(), 1);  // one notification when the change is done
QTRY_COMPARE(saved.count(), 4);     // dives, conditions, equipment, profile
QTest::qWait(50);
QCOMPARE(saved.count(), 4);
QVERIFY(QFileInfo::exists(dm_const->DbDir + "profile.xml"));
}

void TestLogImport::stopLeavesWholeDives() {
    Tdm_rdp& tables = *modules_->tables;
    LogImport import(tables, readLog("subsurface-v3.ssrf"), unitsOf(1));
    const ImportSummary summary =
        import.apply(DuplicateChoice::Skip, [](int done, int) { return done < 2; });
    QVERIFY(summary.stopped);
    QCOMPARE(summary.imported, 2);
    QCOMPARE(summary.notReached, 2);
    QCOMPARE(tables.cds_dives->recordCount(), 2);
    // Every sample of the two dives, and none of the others.
    const std::vector<ExchangeDive>& read = import.file().dives;
    QCOMPARE(int(tables.cds_profile->snapshot()->rows.size()),
             int(read[0].samples.size() + read[1].samples.size()));
    QCOMPARE(int(tables.cds_conditions->snapshot()->rows.size()), 2);
    QCOMPARE(int(tables.cds_equipment->snapshot()->rows.size()), 2);
}

// A dive the tables refuse half way (here a sample) leaves nothing of it; the others go in.
void TestLogImport::refusedDiveLeavesNothing() {
    Tdm_rdp& tables = *modules_->tables;
    LogFile file = readLog("kenozooid-3.0.0.uddf");
    file.dives[0].samples[5].alarm = -1;
    file.dives[0].activity = 70000;  // past a smallint: refused before anything is written
    file.dives[1].samples[30].alarm = 32767;
    file.dives[1].samples[31].time = 40000;
    LogFile good = readLog("subsurface-export-3.2.0.uddf");
    file.dives.push_back(good.dives.front());
    LogImport import(tables, std::move(file), unitsOf(1));
    const ImportSummary summary = import.apply(DuplicateChoice::Skip);
    QCOMPARE(summary.refused, 2);
    QCOMPARE(summary.imported, 1);
    QCOMPARE(tables.cds_dives->recordCount(), 1);
    QCOMPARE(int(tables.cds_conditions->snapshot()->rows.size()), 1);
    QCOMPARE(int(tables.cds_equipment->snapshot()->rows.size()), 1);
    QCOMPARE(int(tables.cds_profile->snapshot()->rows.size()), 86);
    QVERIFY(!tables.cds_dives->modified());
}

void TestLogImport::roundTrip_data() {
    QTest::addColumn<int>("unit");
    QTest::newRow("metric") << 1;
    QTest::newRow("imperial") << 2;
}

// Out as UDDF and back into an empty log: every carried field and sample the same.
void TestLogImport::roundTrip() {
    QFETCH(int, unit);
    Tdm_rdp& source = *modules_->tables;
    fillLog(source, unit);
    const QString path = folders_->root() + "/log.uddf";
    exportUddf(source, path);

    const auto readBack = LogReader::read(path);
    QVERIFY(readBack);
    QCOMPARE(readBack->counts.adjusted, 0);
    QCOMPARE(readBack->counts.leftOut, 0);
    Tdm_rdp target;
    for (Table* table : target.tables()) {
        table->createDataSet();
    }
    LogImport import(target, *readBack, unitsOf(unit));
    QCOMPARE(import.apply(DuplicateChoice::Skip).imported, 2);

    source.cds_dives->first();
    target.cds_dives->first();
    for (int dive = 0; dive < 2; ++dive) {
        const QList<QPair<Table*, Table*>> pairs = {{source.cds_dives, target.cds_dives},
                                                    {source.cds_conditions, target.cds_conditions},
                                                    {source.cds_equipment, target.cds_equipment}};
        const QList<QList<const char*>> fields = {
            QList<const char*>(std::begin(kDiveFields), std::end(kDiveFields)),
            QList<const char*>(std::begin(kConditionFields), std::end(kConditionFields)),
            QList<const char*>(std::begin(kEquipmentFields), std::end(kEquipmentFields))};
        for (int t = 0; t < pairs.size(); ++t) {
            for (const char* name : fields[t]) {
                const QVariant before = field(pairs[t].first, name);
                const QVariant after = field(pairs[t].second, name);
                QVERIFY2(before.isValid() == after.isValid() && before == after,
                         qPrintable(QStringLiteral("dive %1, %2: %3 became %4")
                                        .arg(dive)
                                        .arg(name, before.toString(), after.toString())));
            }
        }
        Table* a = source.cds_profile;
        Table* b = target.cds_profile;
        QCOMPARE(b->recordCount(), a->recordCount());
        for (int row = 0; row < a->recordCount(); ++row) {
            for (const char* name : {"time", "depth", "alarm"}) {
                QCOMPARE(b->valueAt(row, b->fieldIndex(name)),
                         a->valueAt(row, a->fieldIndex(name)));
            }
        }
        source.cds_dives->next();
        target.cds_dives->next();
    }
}

void TestLogImport::exportValidatesAgainstSchema() {
    const QString xmllint = QStandardPaths::findExecutable("xmllint");
    if (xmllint.isEmpty()) {
        QSKIP("xmllint is not installed (Debian package libxml2-utils)");
    }
    Tdm_rdp& tables = *modules_->tables;
    fillLog(tables, 1);
    // A dive with hardly anything known, and one from each file read.
    addDive(tables, QDate(2025, 1, 5), QTime());
    for (const char* file : {"subsurface-v3.ssrf", "apd-divesight-3.3.0.uddf"}) {
        LogImport(tables, readLog(file), unitsOf(2)).apply(DuplicateChoice::Skip);
    }
    const QString path = folders_->root() + "/log.uddf";
    exportUddf(tables, path);
    QProcess lint;
    lint.start(xmllint, {"--noout", "--schema", sourcePath("tests/data/uddf_3.2.3.xsd"), path});
    QVERIFY(lint.waitForFinished(60000));
    QVERIFY2(lint.exitCode() == 0, lint.readAllStandardError().constData());
}

void TestLogImport::exportOfSelectedDives() {
    Tdm_rdp& tables = *modules_->tables;
    fillLog(tables, 1);
    tables.cds_dives->last();
    const int second = field(tables.cds_dives, "id_local_dive").toInt();
    const QString path = folders_->root() + "/one.uddf";
    exportUddf(tables, path, {second});
    const auto read = LogReader::read(path);
    QVERIFY(read);
    QCOMPARE(int(read->dives.size()), 1);
    QCOMPARE(read->dives[0].site, QStringLiteral("Columbia Wall"));
    QVERIFY(read->dives[0].samples.empty());
    // Only what the chosen dive links to is written.
    QVERIFY(!TestSupport::readFile(path).contains("Aldora"));
}

void TestLogImport::csvReadsBack() {
    Tdm_rdp& tables = *modules_->tables;
    fillLog(tables, 1);
    addDive(tables, QDate(2025, 1, 5), QTime());  // no conditions or equipment row
    const QString path = folders_->root() + "/log.csv";
    const LogSnapshot log(tables);
    QVERIFY(LogWriters::saveCsv(log, path));
    const QList<QStringList> rows = readCsv(path);
    const int columns = tables.cds_dives->fields().size() + tables.cds_conditions->fields().size() -
                        1 + tables.cds_equipment->fields().size() - 1;
    QCOMPARE(rows.size(), 4);
    for (const QStringList& row : rows) {
        QCOMPARE(row.size(), columns);
    }
    QCOMPARE(rows[0].first(), QStringLiteral("id_dive"));
    const int site = rows[0].indexOf("Site");
    const int notes = rows[0].indexOf("observations");
    const int date = rows[0].indexOf("Date");
    QCOMPARE(rows[1][date], QStringLiteral("3/2/2024"));
    QCOMPARE(rows[1][site], QString::fromUtf8("Palancar Reef & \"Horseshoe\""));
    QCOMPARE(rows[1][notes], QString::fromUtf8("Turtles <3 & an eagle ray\nSecond line, ✓"));
    QCOMPARE(rows[3][notes], QString());
}

NEREVA_TEST_MAIN(TestLogImport)
#include "test_log_import.moc"
