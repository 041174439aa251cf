#include "sync/dive_answer.h"
#include "sync/dive_exchange.h"
#include "sync/dive_index.h"
#include "sync_fixture.h"

#include <QRandomGenerator>

namespace {

const QDate kDay(2023, 7, 9);

// A dive with every field that travels set to a value of its own, so a value in the wrong place
// shows.
struct FullDive {
    QVariantMap dive{{"id_dive", 4711},
                     {"last_update", QDateTime(QDate(2024, 3, 5), QTime(14, 7))},
                     {"certify_by", 1},
                     {"Location", "Cozumel"},
                     {"id_Location", 12},
                     {"Site", "Palancar"},
                     {"id_site", 34},
                     {"pais", "Mexico"},
                     {"estado", "Quintana Roo"},
                     {"Dive_Media", 1},
                     {"Dive_Type", 2},
                     {"Dive_type2", 3},
                     {"Dive_Nivel", 4},
                     {"Dive_Deco", 5},
                     {"Site_type", 6},
                     {"Access_Type", 7},
                     {"Activity", 8},
                     {"Activity2", 9},
                     {"coordinates", "20.3N 87.0W"},
                     {"dive_rating", 4},
                     {"dive_day", 11},
                     {"dive_night", 12},
                     {"dive_sunrise", 13},
                     {"dive_sunset", 14},
                     {"xTeam_Leader", 15},
                     {"operator", "Blue Dive"},
                     {"id_operator", 21},
                     {"school", "Sea School"},
                     {"id_school", 22},
                     {"buddy", "Tom Baker"},
                     {"id_buddy", 23},
                     {"instructor", "Keiko Tanaka"},
                     {"id_instructor", 24},
                     {"team1", "Team One"},
                     {"id_team1", 31},
                     {"team2", "Team Two"},
                     {"id_team2", 32},
                     {"team3", "Team Three"},
                     {"id_team3", 33},
                     {"team4", "Team Four"},
                     {"id_team4", 34},
                     {"team5", "Team Five"},
                     {"id_team5", 35},
                     {"locked", 1}};
    QVariantMap conditions{{"dive_si", "01:30"},
                           {"altitude", 120.5},
                           {"altitude_unit", 1},
                           {"depth", 12.25},
                           {"max_depth", 18.5},
                           {"depth_unit", 2},
                           {"bottom_time", "00:45"},
                           {"stop_depth", 5.0},
                           {"stop", "00:03"},
                           {"stop_gas_mix", 41},
                           {"stop_depth1", 6.0},
                           {"stop1", "00:04"},
                           {"stop_gas_mix1", 42},
                           {"stop_depth2", 9.5},
                           {"stop2", "00:05"},
                           {"stop_gas_mix2", 43},
                           {"GP_in", "A"},
                           {"GP_out", "C"},
                           {"cond_visibility", 10.0},
                           {"cond_visibility_Max", 15.0},
                           {"cond_visibility_unit", 51},
                           {"cond_tiempo_in", 52},
                           {"cond_tiempo_out", 53},
                           {"cond_cold", 54},
                           {"cond_temp_air", 28.5},
                           {"cond_temp_surf", 27.0},
                           {"cond_temp_bottom", 25.5},
                           {"cond_temp_unit", 55},
                           {"cond_Surf", 56},
                           {"cond_Current", 57},
                           {"cond_Current_dir", "NE"},
                           {"cond_xWaves", 58},
                           {"cond_xSurge", 59},
                           {"cond_wind", 60},
                           {"cond_wind_dir", "SW"},
                           {"observations", "Turtles"}};
    QVariantMap equipment{{"pres_in", 200.0},      {"pres_out", 50.0},   {"pres_max", 232.0},
                          {"pres_end_used", 61},   {"pres_unit", 62},    {"gas_mix", 63},
                          {"Dc_Vendor", "Suunto"}, {"Dc_Model", "D5"},   {"suit_medida", "5/3"},
                          {"suit_unit", 64},       {"lead_estado", 65},  {"lead_weight", 6.5},
                          {"lead_unit", 66},       {"pro_wet", 71},      {"pro_dry", 72},
                          {"pro_jacket", 73},      {"pro_pants", 74},    {"pro_short", 75},
                          {"pro_hood", 76},        {"pro_gloves", 77},   {"pro_booties", 78},
                          {"pro_skin", 79},        {"pro_socks", 80},    {"misc_knife", 81},
                          {"misc_comp", 82},       {"misc_compass", 83}, {"misc_cam", 84},
                          {"misc_light", 85},      {"misc_air", 86},     {"misc_buoy", 87},
                          {"misc_video", 88},      {"misc_scooter", 89}, {"misc_detector", 90},
                          {"misc_comm", 91},       {"misc_gun", 92},     {"cil_size", 12.2},
                          {"cil_type", 93},        {"cil_twin", 94},     {"cil_size_unit", 95}};
};

// The upload's records as the service received them, each split into its values.
QList<QStringList> uploadedRecords(const FakeService& service) {
    QList<QStringList> records;
    const FakeService::Request* upload = service.last("dives.php");
    if (!upload) {
        return records;
    }
    const QByteArray value = upload->formValue();
    for (const QByteArray& line : value.split('\n')) {
        if (!line.trimmed().isEmpty()) {
            records << QString::fromLatin1(line.chopped(line.endsWith('\r') ? 1 : 0)).split("##");
        }
    }
    return records;
}

void uploadWithEmptyAnswer(SyncFixture& f) {
    f.service.answer("dives.php", QByteArray());
    DiveExchange::upload(*f.tables, {});
}

// The walk from the first row: the first row whose id_dive is `idDive` (never 0), else the row
// whose id_local_dive is `local` when the service has not numbered it (id_dive null or 0).
int walkFind(Table* dives, int idDive, int local) {
    const int idField = dives->fieldIndex("id_dive");
    const int localField = dives->fieldIndex("id_local_dive");
    for (int row = 0; idDive != 0 && row < dives->recordCount(); ++row) {
        if (dives->valueAt(row, idField).toInt() == idDive) {
            return row;
        }
    }
    for (int row = 0; row < dives->recordCount(); ++row) {
        if (dives->valueAt(row, localField).toInt() == local) {
            return dives->valueAt(row, idField).toInt() == 0 ? row : -1;
        }
    }
    return -1;
}

}  // namespace

class TestDiveExchange : public QObject {
    Q_OBJECT
private slots:
    void uploadOfAFullDive_data();
    void uploadOfAFullDive();
    void uploadOfANeverSynchronisedDiveWithoutDetails();
    void uploadSendsEveryDiveInOrder();
    void uploadPostsPendingEdits();
    void uploadWaitsForASlowService();
    void uploadTakesTheFirstDetailRows();
    void uploadWritesNumbersInPlainDecimals_data();
    void uploadWritesNumbersInPlainDecimals();
    void answerLinesAsReceived_data();
    void answerLinesAsReceived();
    void answerFindsItsDive_data();
    void answerFindsItsDive();
    void answerAddsANewDiveWithItsRows();
    void answerPlacesAndForms();
    void answerNullForms_data();
    void answerNullForms();
    void emptyValuesRoundTripAsEmpty();
    void valuesLongerThanTheirFieldsAreCut_data();
    void valuesLongerThanTheirFieldsAreCut();
    void lineThatCannotBeAppliedIsSkipped_data();
    void lineThatCannotBeAppliedIsSkipped();
    void valuesBeyondTheSlotsAreIgnored();
    void duplicateServiceNumbersTakeTheFirstDive();
    void indexFindsWhatTheWalkFinds();
    void notesRoundTripThroughAnEchoingService();
    void controlCharactersInAnAnswerKeepTheLogReadable();
};

void TestDiveExchange::uploadOfAFullDive_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("expected");
    const QStringList expected = {
        "4711", "1", "2024-03-05 14:07", "1", "2023-07-09", "08:05:00", "Cozumel", "12", "Palancar",
        "34", "Mexico", "Quintana Roo", "1", "2", "3", "4", "5", "6", "7", "8", "9", "20.3N 87.0W",
        "4", "11", "12", "14", "13", "15", "Blue Dive", "21", "Sea School", "22", "Tom Baker", "23",
        "Keiko Tanaka", "24", "Team One", "31", "Team Two", "32", "Team Three", "33", "Team Four",
        "34", "Team Five", "35",
        // conditions, 47-82
        "01:30:00", "120.5", "1", "12.25", "2", "18.5", "00:45:00", "5", "00:03:00", "41", "6",
        "00:04:00", "42", "9.5", "00:05:00", "43", "A", "C", "10", "15", "51", "52", "53", "54",
        "28.5", "27", "25.5", "55", "56", "57", "NE", "58", "59", "60", "SW", "Turtles",
        // equipment, 83-121
        "200", "50", "232", "61", "62", "63", "Suunto", "D5", "5/3", "64", "65", "6.5", "66", "71",
        "72", "73", "74", "75", "76", "77", "78", "79", "80", "81", "82", "83", "84", "85", "86",
        "87", "88", "89", "90", "91", "92", "12.2", "93", "94", "95"};
    QCOMPARE(expected.size(), DiveRecord::kValues);
    for (int i = 0; i < expected.size(); ++i) {
        const DiveRecord::Position& position = DiveRecord::layout()[i];
        QTest::addRow("%d %s", i + 1, qPrintable(position.uploadField)) << i + 1 << expected[i];
    }
}

void TestDiveExchange::uploadOfAFullDive() {
    QFETCH(int, position);
    QFETCH(QString, expected);
    // One upload serves every row of the table.
    static const QList<QStringList> records = [] {
        SyncFixture f;
        const FullDive full;
        f.addDive(kDay, QTime(8, 5), full.dive, full.conditions, full.equipment);
        uploadWithEmptyAnswer(f);
        return uploadedRecords(f.service);
    }();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records[0].size(), DiveRecord::kValues);
    QCOMPARE(records[0][position - 1], expected);
}

void TestDiveExchange::uploadOfANeverSynchronisedDiveWithoutDetails() {
    SyncFixture f;
    f.addDive(QDate(), QTime(), {{"Location", "Home reef"}}, {}, {}, false);
    uploadWithEmptyAnswer(f);
    const QList<QStringList> records = uploadedRecords(f.service);
    QCOMPARE(records.size(), 1);
    const QStringList& values = records[0];
    QCOMPARE(values.size(), DiveRecord::kValues);
    QCOMPARE(values[0], QString());
    QCOMPARE(values[1], QStringLiteral("1"));
    QCOMPARE(values[2], QStringLiteral("1899-12-30 00:00"));
    QCOMPARE(values[4], QStringLiteral("1899-12-30"));
    QCOMPARE(values[5], QStringLiteral("00:00:00"));
    QCOMPARE(values[6], QStringLiteral("Home reef"));
    for (int position = 47; position <= 121; ++position) {
        const bool duration = QList<int>{47, 53, 55, 58, 61}.contains(position);
        QCOMPARE(values[position - 1], duration ? QStringLiteral(":00") : QString());
    }
}

void TestDiveExchange::uploadSendsEveryDiveInOrder() {
    SyncFixture f;
    f.addDive(kDay.addDays(1), QTime(9, 0), {{"Location", "Second"}, {"locked", 1}});
    f.addDive(kDay, QTime(15, 0), {{"Location", "First, later"}, {"certify_by", 1}});
    f.addDive(kDay, QTime(8, 0), {{"Location", "First"}});
    uploadWithEmptyAnswer(f);
    const QByteArray value = f.service.last("dives.php")->formValue();
    QVERIFY(value.endsWith("\r\n"));
    QCOMPARE(value.count("\r\n"), 3);
    const QList<QStringList> records = uploadedRecords(f.service);
    QCOMPARE(records.size(), 3);
    QCOMPARE(records[0][6], QStringLiteral("First"));
    QCOMPARE(records[1][6], QStringLiteral("First, later"));
    QCOMPARE(records[2][6], QStringLiteral("Second"));
}

// Edits the diver left open count, as when the walk moves off their rows.
void TestDiveExchange::uploadPostsPendingEdits() {
    SyncFixture f;
    f.addDive(kDay, QTime(8, 0), {{"Location", "Before"}}, {{"bottom_time", "00:30"}});
    f.tables->cds_conditions->setValue("bottom_time", "00:50");
    f.tables->cds_dives->setValue("Location", "After");
    uploadWithEmptyAnswer(f);
    const QList<QStringList> records = uploadedRecords(f.service);
    QCOMPARE(records.size(), 1);
    QCOMPARE(records[0][6], QStringLiteral("After"));
    QCOMPARE(records[0][52], QStringLiteral("00:50:00"));
    QCOMPARE(f.tables->cds_dives->state(), Table::State::Browse);
    QCOMPARE(f.tables->cds_conditions->state(), Table::State::Browse);
    QCOMPARE(f.diveValue(1, "bottom_time"), QStringLiteral("00:50"));
}

// The service answers only when it has gone through the whole log: the upload waits as long as
// desktop.ini's Timeout says, however short the other requests' limit.
void TestDiveExchange::uploadWaitsForASlowService() {
    SyncFixture f;
    f.settings->IniFile->writeInteger("InternetConnection", "Timeout", 2);
    f.comm.setIdleTimeout(300);
    f.addDive(kDay, QTime(8, 0));
    f.service.on("dives.php", [](const FakeService::Request& request) {
        return FakeService::Reply{200, echoDives(request.formValue()), 900};
    });
    QCOMPARE(DiveAnswer(*f.tables).apply(DiveExchange::upload(*f.tables, {})).applied, 1);
    QCOMPARE(f.diveValue(1, "id_dive"), QStringLiteral("1001"));
}

// A log may hold a dive with two conditions or equipment rows; the editor and the answer use the
// first, and so does the upload.
void TestDiveExchange::uploadTakesTheFirstDetailRows() {
    SyncFixture f;
    f.addDive(kDay, QTime(8, 0), {}, {{"bottom_time", "00:40"}}, {{"pres_in", 200.0}});
    f.addDive(kDay, QTime(9, 0), {}, {{"bottom_time", "00:30"}}, {{"pres_in", 210.0}});
    QVERIFY(f.gotoDive(1));
    const QList<QPair<Table*, QVariantMap>> laterRows = {
        {f.tables->cds_conditions, {{"bottom_time", "00:55"}}},
        {f.tables->cds_equipment, {{"pres_in", 150.0}}}};
    for (const auto& [detail, values] : laterRows) {
        detail->append();
        SyncFixture::writeAll(detail, values);
        detail->post();
    }
    QCOMPARE(f.tables->cds_conditions->recordCount(), 2);
    f.tables->cds_conditions->first();
    f.tables->cds_equipment->first();
    QCOMPARE(f.tables->cds_conditions->asString("bottom_time"), QStringLiteral("00:40"));
    QCOMPARE(f.tables->cds_equipment->asString("pres_in"), QStringLiteral("200"));
    uploadWithEmptyAnswer(f);
    const QList<QStringList> records = uploadedRecords(f.service);
    QCOMPARE(records.size(), 2);
    QCOMPARE(records[0][52], QStringLiteral("00:40:00"));
    QCOMPARE(records[0][82], QStringLiteral("200"));
    QCOMPARE(records[1][52], QStringLiteral("00:30:00"));
    QCOMPARE(records[1][82], QStringLiteral("210"));
}

void TestDiveExchange::uploadWritesNumbersInPlainDecimals_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("sent");
    QTest::newRow("hundred thousand") << 100000.0 << "100000";
    QTest::newRow("ten thousandth") << 0.0001 << "0.0001";
    QTest::newRow("large") << 1.5e21 << "1500000000000000000000";
    QTest::newRow("tiny negative") << -2.5e-7 << "-0.00000025";
    QTest::newRow("shortest digits") << 0.1 + 0.2 << "0.30000000000000004";
    QTest::newRow("whole") << 232.0 << "232";
    QTest::newRow("zero") << 0.0 << "0";
}

// The service reads plain decimals: no exponent, "." as the decimal point, no grouping.
void TestDiveExchange::uploadWritesNumbersInPlainDecimals() {
    QFETCH(double, value);
    QFETCH(QString, sent);
    SyncFixture f;
    f.addDive(kDay, QTime(8, 0), {}, {{"altitude", value}}, {{"pres_max", value}});
    uploadWithEmptyAnswer(f);
    const QList<QStringList> records = uploadedRecords(f.service);
    QCOMPARE(records.size(), 1);
    QCOMPARE(records[0][47], sent);
    QCOMPARE(records[0][84], sent);
}

void TestDiveExchange::answerLinesAsReceived_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("CR LF, CR and LF end lines")
        << QByteArray("a\r\nb\rc\nd") << QStringList{"a", "b", "c", "d"};
    QTest::newRow("empty lines kept, a last line end adds none")
        << QByteArray("a\r\n\r\n\nb\r\n") << QStringList{"a", "", "", "b"};
    QTest::newRow("CR at the very end") << QByteArray("a\r") << QStringList{"a"};
    QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("nothing") << QByteArray() << QStringList{};
    QTest::newRow("ISO-8859-1 bytes")
        << QByteArray("Jos\xE9##N\xFA\xF1" "ez") << QStringList{QStringLiteral("José##Núñez")};
}

// The answer is read line by line from its bytes, as the whole text split at its line ends.
void TestDiveExchange::answerLinesAsReceived() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    const AnswerLines counted(bytes);
    const int nonEmpty = int(
        std::count_if(lines.cbegin(), lines.cend(), [](const QString& l) { return !l.isEmpty(); }));
    QCOMPARE(counted.nonEmptyCount(), nonEmpty);
    AnswerLines answer(bytes);
    QStringList read;
    for (QString line; answer.next(line);) {
        read << line;
    }
    QCOMPARE(read, lines);
    QCOMPARE(answer.nonEmptyCount(), 0);
}

void TestDiveExchange::answerFindsItsDive_data() {
    QTest::addColumn<int>("idDive");
    QTest::addColumn<int>("local");
    QTest::addColumn<int>("found");  // the local number of the dive the line changes; 0: a new one
    QTest::newRow("service number") << 502 << 2 << 2;
    QTest::newRow("service number before local number") << 501 << 3 << 1;
    QTest::newRow("local number, which takes the service number") << 777 << 3 << 3;
    // A dive entered on another computer carries that computer's local number.
    QTest::newRow("local number of a dive the service numbered otherwise") << 777 << 1 << 0;
    QTest::newRow("service number 0 matches no dive") << 0 << 99 << 0;
    QTest::newRow("service number 0, local number") << 0 << 3 << 3;
}

void TestDiveExchange::answerFindsItsDive() {
    QFETCH(int, idDive);
    QFETCH(int, local);
    QFETCH(int, found);
    SyncFixture f;
    f.addDive(kDay, QTime(8, 0), {{"id_dive", 501}, {"Location", "A"}});
    f.addDive(kDay, QTime(9, 0), {{"id_dive", 502}, {"Location", "B"}});
    f.addDive(kDay, QTime(10, 0), {{"Location", "Not yet sent"}});
    const AnswerOutcome outcome =
        DiveAnswer(*f.tables).apply({answerLine({{1, QString::number(idDive)},
                                                 {2, QString::number(local)},
                                                 {5, "7/9/2023"},
                                                 {7, "Moved"}})});
    QCOMPARE(outcome.applied, 1);
    QCOMPARE(f.tables->cds_dives->recordCount(), found == 0 ? 4 : 3);
    const QStringList before = {"A", "B", "Not yet sent"};
    for (int dive = 1; dive <= 3; ++dive) {
        QCOMPARE(f.diveValue(dive, "Location"), dive == found ? "Moved" : before[dive - 1]);
    }
    if (found == 0) {
        found = 4;
        QCOMPARE(f.diveValue(found, "Location"), QStringLiteral("Moved"));
    }
    QCOMPARE(f.diveValue(found, "id_dive"), QString::number(idDive));
}

void TestDiveExchange::answerAddsANewDiveWithItsRows() {
    SyncFixture f;
    f.addDive(kDay, QTime(8, 0), {{"id_dive", 501}});
    DiveAnswer(*f.tables).apply({answerLine({{1, "888"},
                                             {2, "9999"},
                                             {5, "1/2/2024"},
                                             {6, "10:30:00"},
                                             {7, "Web site dive"},
                                             {53, "00:40:00"},
                                             {82, "Entered on the web"},
                                             {83, "210"}})});
    Table* dives = f.tables->cds_dives;
    QCOMPARE(dives->recordCount(), 2);
    dives->last();
    QCOMPARE(dives->asString("Location"), QStringLiteral("Web site dive"));
    QCOMPARE(dives->asInteger("id_dive"), 888);
    QVERIFY(dives->asInteger("id_local_dive") != 9999);
    QCOMPARE(dives->value("Time_Start").toTime(), QTime(10, 30));
    QCOMPARE(f.tables->cds_conditions->recordCount(), 1);
    QCOMPARE(f.tables->cds_conditions->asString("bottom_time"), QStringLiteral("00:40"));
    QCOMPARE(f.tables->cds_conditions->asString("observations"),
             QStringLiteral("Entered on the web"));
    QCOMPARE(f.tables->cds_equipment->recordCount(), 1);
    QCOMPARE(f.tables->cds_equipment->asFloat("pres_in"), 210.0);
}

void TestDiveExchange::answerPlacesAndForms() {
    SyncFixture f;
    const int local = f.addDive(kDay, QTime(8, 0), {}, {}, {}, false);
    DiveAnswer(*f.tables).apply({answerLine({{1, "600"},
                                             {2, QString::number(local)},
                                             {3, "3/5/2024 14:07"},
                                             {4, "2"},
                                             {5, "12/31/2023"},
                                             {6, "08:05:00"},
                                             {47, "00:30:00"},
                                             {51, "30.5"},
                                             {52, "2"},
                                             {53, "01:05:00"},
                                             {55, "00:03:00"},
                                             {78, "1"},
                                             {79, "0"},
                                             {82, "Line one\\nLine two \\h3"},
                                             {84, "49.5"}})});
    QCOMPARE(f.diveValue(local, "last_update"), QStringLiteral("3/5/2024 14:07:00"));
    QCOMPARE(f.diveValue(local, "certify_by"), QStringLiteral("2"));
    QCOMPARE(f.diveValue(local, "Date"), QStringLiteral("12/31/2023"));
    QCOMPARE(f.diveValue(local, "Time_Start"), QStringLiteral("08:05:00"));
    QCOMPARE(f.diveValue(local, "dive_si"), QStringLiteral("00:30"));
    QCOMPARE(f.diveValue(local, "max_depth"), QStringLiteral("30.5"));
    QCOMPARE(f.diveValue(local, "depth_unit"), QStringLiteral("2"));
    QCOMPARE(f.diveValue(local, "bottom_time"), QStringLiteral("01:05"));
    QCOMPARE(f.diveValue(local, "stop"), QStringLiteral("00:03"));
    QCOMPARE(f.diveValue(local, "cond_xSurge"), QStringLiteral("1"));
    QCOMPARE(f.diveValue(local, "cond_xWaves"), QStringLiteral("0"));
    QCOMPARE(f.diveValue(local, "observations"), QStringLiteral("Line one\nLine two #3"));
    QCOMPARE(f.diveValue(local, "pres_out"), QStringLiteral("49.5"));
}

void TestDiveExchange::answerNullForms_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QVariant>("before");  // the dive's value before the answer
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("stored");  // empty: null
    const QVariant none;
    const QVariant stamp = QDateTime(QDate(2024, 3, 5), QTime(14, 7));
    QTest::newRow("time stamp, zero date") << 3 << stamp << "12/30/1899"
                                           << "";
    QTest::newRow("time stamp, zero date-time") << 3 << stamp << "12/30/1899 00:00"
                                                << "";
    QTest::newRow("time stamp, as uploaded") << 3 << stamp << "1899-12-30 00:00"
                                             << "";
    QTest::newRow("time stamp, real") << 3 << none << "3/5/2024 14:07"
                                      << "3/5/2024 14:07:00";
    QTest::newRow("date, zero date") << 5 << QVariant(kDay) << "12/30/1899"
                                     << "";
    QTest::newRow("date, as uploaded") << 5 << QVariant(kDay) << "1899-12-30"
                                       << "";
    QTest::newRow("start time, null form") << 6 << QVariant(QTime(8, 0)) << "00:00:00"
                                           << "";
    QTest::newRow("start time, a real midnight kept") << 6 << QVariant(QTime(0, 0)) << "00:00:00"
                                                      << "00:00:00";
    QTest::newRow("surface interval, null form") << 47 << QVariant("01:30") << ":00"
                                                 << "";
    QTest::newRow("bottom time, null form") << 53 << QVariant("00:45") << ":00"
                                            << "";
    QTest::newRow("bottom time, grown null form") << 53 << QVariant("00:45") << ":00:0:00"
                                                  << "";
    QTest::newRow("stop, minutes out of range") << 55 << none << "00:61:00"
                                                << "";
    QTest::newRow("stop, not hh:nn") << 58 << none << "5:00:00"
                                     << "";
    QTest::newRow("stop, zero length is real") << 61 << none << "00:00:00"
                                               << "00:00";
    QTest::newRow("bottom time, real") << 53 << none << "01:05:00"
                                       << "01:05";
}

// The null forms the upload writes, and their answer forms, come back as null; a duration is
// stored only when it is a real hh:nn.
void TestDiveExchange::answerNullForms() {
    QFETCH(int, position);
    QFETCH(QVariant, before);
    QFETCH(QString, answer);
    QFETCH(QString, stored);
    SyncFixture f;
    const DiveRecord::Position& place = DiveRecord::layout()[position - 1];
    const QVariantMap values{{place.answerField, before}};
    const bool onDive = place.source == DiveRecord::Source::Dive;
    const int local = f.addDive(kDay, QTime(8, 0), onDive ? values : QVariantMap(),
                                onDive ? QVariantMap() : values);
    QMap<int, QString> line{{1, "600"}, {2, QString::number(local)}, {5, "7/9/2023"}};
    line[position] = answer;
    const AnswerOutcome outcome = DiveAnswer(*f.tables).apply({answerLine(line)});
    QCOMPARE(outcome.applied, 1);
    QCOMPARE(f.diveValue(local, "id_dive"), QStringLiteral("600"));
    QCOMPARE(f.diveValue(local, place.answerField), stored);
}

// A dive whose dates, times and durations are empty keeps them empty through any number of
// round trips with a service that stores and echoes what it gets.
void TestDiveExchange::emptyValuesRoundTripAsEmpty() {
    SyncFixture f;
    f.addDive(QDate(), QTime(), {{"Location", "Home reef"}}, {{"depth", 5.0}});
    f.service.on("dives.php", [](const FakeService::Request& request) {
        return FakeService::Reply{200, echoDives(request.formValue())};
    });
    for (int round = 1; round <= 3; ++round) {
        const AnswerOutcome outcome =
            DiveAnswer(*f.tables).apply(DiveExchange::upload(*f.tables, {}));
        QCOMPARE(outcome.applied, 1);
        QCOMPARE(f.tables->cds_dives->recordCount(), 1);
        const QStringList sent = uploadedRecords(f.service).value(0);
        QCOMPARE(sent.value(2), QStringLiteral("1899-12-30 00:00"));
        QCOMPARE(sent.value(52), QStringLiteral(":00"));
        for (const char* field : {"last_update", "Date", "Time_Start", "dive_si", "bottom_time",
                                  "stop", "stop1", "stop2"}) {
            QVERIFY2(f.tables->cds_dives->recordCount() == 1 && f.diveValue(1, field).isEmpty(),
                     qPrintable(QStringLiteral("round %1: %2 reads \"%3\"")
                                    .arg(round)
                                    .arg(QLatin1String(field), f.diveValue(1, field))));
        }
        QCOMPARE(f.diveValue(1, "depth"), QStringLiteral("5"));
        QCOMPARE(f.diveValue(1, "id_dive"), QStringLiteral("1001"));
    }
}

void TestDiveExchange::valuesLongerThanTheirFieldsAreCut_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("stored");
    const QString longName = QStringLiteral("Arrecife ") + QString(80, u'x');
    QTest::newRow("location, 80 characters") << 7 << longName << longName.left(80);
    QTest::newRow("group letter, 1") << 63 << "AB"
                                     << "A";
    QTest::newRow("wind direction, 3") << 81 << "NNE by E"
                                       << "NNE";
    QTest::newRow("notes are not cut") << 82 << QString(5000, u'n') << QString(5000, u'n');
}

// As the tables' own text conversion would: the value is cut to its field and the line applies.
void TestDiveExchange::valuesLongerThanTheirFieldsAreCut() {
    QFETCH(int, position);
    QFETCH(QString, value);
    QFETCH(QString, stored);
    SyncFixture f;
    const int local = f.addDive(kDay, QTime(8, 0), {{"id_dive", 501}});
    const AnswerOutcome outcome = DiveAnswer(*f.tables).apply(
        {answerLine({{1, "501"}, {2, "1"}, {5, "7/9/2023"}, {7, "Reef"}, {position, value}})});
    QCOMPARE(outcome.applied, 1);
    QCOMPARE(f.diveValue(local, DiveRecord::layout()[position - 1].answerField), stored);
    if (position != 7) {
        QCOMPARE(f.diveValue(local, "Location"), QStringLiteral("Reef"));
    }
}

void TestDiveExchange::lineThatCannotBeAppliedIsSkipped_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("value");
    QTest::newRow("ISO date") << 5 << "2023-07-10";
    QTest::newRow("service number not a number") << 1 << "abc";
    QTest::newRow("service number with decimals") << 1 << "12.5";
    QTest::newRow("no local number") << 2 << "";
    QTest::newRow("buddy number beyond smallint") << 34 << "40000";
    QTest::newRow("bad time") << 6 << "25:99:00";
    QTest::newRow("bad depth") << 50 << "12,5";
    QTest::newRow("bad equipment value") << 100 << "yes";
}

// The bad line changes nothing, not even its valid values; the lines around it apply.
void TestDiveExchange::lineThatCannotBeAppliedIsSkipped() {
    QFETCH(int, position);
    QFETCH(QString, value);
    SyncFixture f;
    const int first = f.addDive(kDay, QTime(8, 0), {{"id_dive", 501}, {"Location", "A"}});
    const int second = f.addDive(kDay, QTime(9, 0), {{"id_dive", 502}, {"Location", "B"}});
    const int third = f.addDive(kDay, QTime(10, 0), {{"id_dive", 503}, {"Location", "C"}});
    auto line = [](int id, int local, const QString& location) {
        return QMap<int, QString>{{1, QString::number(id)},
                                  {2, QString::number(local)},
                                  {5, "7/9/2023"},
                                  {7, location},
                                  {82, location + " notes"}};
    };
    QMap<int, QString> bad = line(502, second, "B changed");
    bad[position] = value;
    const AnswerOutcome outcome =
        DiveAnswer(*f.tables).apply({answerLine(line(501, first, "A changed")), answerLine(bad),
                                     QString(), answerLine(line(503, third, "C changed"))});
    QCOMPARE(outcome.lines, 3);
    QCOMPARE(outcome.applied, 2);
    QCOMPARE(outcome.skipped, 1);
    QCOMPARE(f.tables->cds_dives->recordCount(), 3);
    QCOMPARE(f.diveValue(first, "Location"), QStringLiteral("A changed"));
    QCOMPARE(f.diveValue(second, "Location"), QStringLiteral("B"));
    QCOMPARE(f.diveValue(second, "observations"), QString());
    QCOMPARE(f.diveValue(third, "Location"), QStringLiteral("C changed"));
    QCOMPARE(f.diveValue(third, "observations"), QStringLiteral("C changed notes"));
    QCOMPARE(f.tables->cds_dives->state(), Table::State::Browse);
    QCOMPARE(f.tables->cds_conditions->state(), Table::State::Browse);
    QCOMPARE(f.tables->cds_equipment->state(), Table::State::Browse);
}

void TestDiveExchange::valuesBeyondTheSlotsAreIgnored() {
    SyncFixture f;
    const int local = f.addDive(kDay, QTime(8, 0), {{"id_dive", 501}});
    QMap<int, QString> values{{1, "501"}, {2, QString::number(local)}, {5, "7/9/2023"}, {121, "2"}};
    for (int position = 122; position <= 140; ++position) {
        values[position] = QStringLiteral("not a value #%1").arg(position);
    }
    const AnswerOutcome outcome = DiveAnswer(*f.tables).apply({answerLine(values, 140)});
    QCOMPARE(outcome.applied, 1);
    QCOMPARE(f.diveValue(local, "cil_size_unit"), QStringLiteral("2"));
}

void TestDiveExchange::duplicateServiceNumbersTakeTheFirstDive() {
    SyncFixture f;
    const int later = f.addDive(kDay, QTime(11, 0), {{"id_dive", 700}, {"Location", "Later"}});
    const int earlier = f.addDive(kDay, QTime(9, 0), {{"id_dive", 700}, {"Location", "Earlier"}});
    // The first line moves the earlier dive behind the other; the second then finds the other.
    DiveAnswer(*f.tables).apply(
        {answerLine({{1, "700"}, {2, "1"}, {5, "7/9/2023"}, {6, "12:00:00"}, {7, "Moved"}}),
         answerLine({{1, "700"}, {2, "1"}, {5, "7/9/2023"}, {6, "11:00:00"}, {7, "Second"}})});
    QCOMPARE(f.diveValue(earlier, "Location"), QStringLiteral("Moved"));
    QCOMPARE(f.diveValue(later, "Location"), QStringLiteral("Second"));
}

// Random rewrites of a small log with few dates and many repeated service numbers: after each
// one the index names the row the walk from the first row finds.
void TestDiveExchange::indexFindsWhatTheWalkFinds() {
    SyncFixture f;
    QRandomGenerator random(20240601);
    auto randomDate = [&] {
        return random.bounded(8) == 0 ? QVariant() : QVariant(kDay.addDays(random.bounded(4)));
    };
    auto randomTime = [&] {
        return random.bounded(6) == 0 ? QVariant() : QVariant(QTime(8 + random.bounded(3), 0));
    };
    auto randomId = [&] {
        return random.bounded(5) == 0 ? QVariant() : QVariant(random.bounded(12));
    };
    Table* dives = f.tables->cds_dives;
    for (int i = 0; i < 40; ++i) {
        dives->append();
        dives->setValue("Date", randomDate());
        dives->setValue("Time_Start", randomTime());
        dives->setValue("id_dive", randomId());
        dives->post();
    }
    DiveIndex index(*dives);
    for (int step = 0; step < 400; ++step) {
        const int idDive = random.bounded(14);
        const int local = random.bounded(50);
        const int row = walkFind(dives, idDive, local);
        QCOMPARE(index.find(idDive, local), row);
        row >= 0 ? (dives->setRecNo(row + 1), dives->edit()) : dives->insert();
        dives->setValue("Date", randomDate());
        dives->setValue("Time_Start", randomTime());
        dives->setValue("id_dive", randomId());
        dives->post();
        index.update(dives->recNo() - 1);
    }
}

void TestDiveExchange::notesRoundTripThroughAnEchoingService() {
    SyncFixture f;
    const QString notes = QStringLiteral("Saw ## turtles\nat the #3 reef \\ cave\r\n\r\nEnd €");
    const int first = f.addDive(kDay, QTime(8, 0), {{"Location", "Reef #1"}},
                                {{"observations", notes}, {"bottom_time", "00:45"}});
    const int second =
        f.addDive(kDay, QTime(9, 0), {{"Location", "C:\\dives"}}, {{"observations", "#"}});
    f.service.on("dives.php", [](const FakeService::Request& request) {
        return FakeService::Reply{200, echoDives(request.formValue())};
    });
    AnswerLines answer = DiveExchange::upload(*f.tables, {});
    const QList<QStringList> records = uploadedRecords(f.service);
    QCOMPARE(records.size(), 2);
    QCOMPARE(records[0].size(), DiveRecord::kValues);
    QCOMPARE(records[1].size(), DiveRecord::kValues);
    const AnswerOutcome outcome = DiveAnswer(*f.tables).apply(std::move(answer));
    QCOMPARE(outcome.applied, 2);
    QCOMPARE(f.tables->cds_dives->recordCount(), 2);
    QCOMPARE(f.diveValue(first, "observations"), notes);
    QCOMPARE(f.diveValue(first, "Location"), QStringLiteral("Reef #1"));
    QCOMPARE(f.diveValue(first, "bottom_time"), QStringLiteral("00:45"));
    QCOMPARE(f.diveValue(first, "id_dive"), QString::number(1000 + first));
    QCOMPARE(f.diveValue(second, "Location"), QStringLiteral("C:\\dives"));
    QCOMPARE(f.diveValue(second, "observations"), QStringLiteral("#"));
}

// One NUL byte in a dive answer once hid the whole log: the table file written with it could
// not be read back at the next start.
void TestDiveExchange::controlCharactersInAnAnswerKeepTheLogReadable() {
    SyncFixture f;
    f.addDive(kDay, QTime(8, 0), {{"id_dive", 501}, {"Location", "A"}});
    f.addDive(kDay, QTime(9, 0), {{"id_dive", 502}, {"Location", "B"}});
    const QChar nul(0);
    const QString changed = answerLine({{1, "501"},
                                        {2, "1"},
                                        {5, "7/9/2023"},
                                        {7, QStringLiteral("Reef") + nul + QStringLiteral("Name")},
                                        {82, QStringLiteral("Seen\x01\x1B[31m")}});
    const QString added = answerLine(
        {{1, "777"}, {2, "99"}, {5, "7/10/2023"}, {7, QStringLiteral("\x0C\x0BWeb\x08 dive")}});
    const QByteArray answer = (changed + "\r\n" + added + "\r\n").toLatin1();
    QVERIFY(answer.contains('\0'));
    f.service.answer("dives.php", answer);
    const AnswerOutcome outcome = DiveAnswer(*f.tables).apply(DiveExchange::upload(*f.tables, {}));
    QCOMPARE(outcome.applied, 2);
    f.tables->saveAll();

    Tdm_rdp reloaded;
    dm_rdp = &reloaded;
    reloaded.DataModuleCreate();
    dm_rdp = f.tables.get();
    Table* dives = reloaded.cds_dives;
    QCOMPARE(dives->recordCount(), 3);
    QStringList locations;
    for (dives->first(); !dives->eof(); dives->next()) {
        locations << dives->asString("Location");
    }
    QCOMPARE(locations, (QStringList{"ReefName", "B", "Web dive"}));
    dives->first();
    QCOMPARE(reloaded.cds_conditions->asString("observations"), QStringLiteral("Seen[31m"));
}

NEREVA_TEST_MAIN(TestDiveExchange)
#include "test_dive_exchange.moc"
