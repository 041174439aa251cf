#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "app/settings/write_failures.h"
#include "settings_folder.h"
#include "store/dive_log_tables.h"
#include "store/table_data.h"
#include "store/tdm_rdp.h"
#include "test_support.h"
#include "wire/field_list.h"

#include <QDir>
#include <QSignalSpy>
#include <memory>

using TestSupport::readFile;
using TestSupport::writeFile;

namespace {

QString describe(const FieldDef& field) {
    switch (field.type) {
        case FieldType::String:
            return QStringLiteral("%1 string(%2)").arg(field.name).arg(field.size);
        case FieldType::SmallInt:
            return field.name + " smallint";
        case FieldType::Integer:
            return field.name + " integer";
        case FieldType::AutoInc:
            return field.name + " autoinc";
        case FieldType::Float:
            return field.name + " float";
        case FieldType::Date:
            return field.name + " date";
        case FieldType::Time:
            return field.name + " time";
        case FieldType::DateTime:
            return field.name + " datetime";
        case FieldType::Memo:
            return field.name + " memo";
    }
    return {};
}

QString smallInts(const QStringList& names) {
    return names.join(" smallint, ") + " smallint";
}

// The settings module in a fresh data folder; the tables module is started by start().
struct Fixture : SettingsFolder {
    std::unique_ptr<Tdm_rdp> start(bool create = true) {
        auto module = std::make_unique<Tdm_rdp>();
        module->setSaveDelay(20);
        if (create) {
            module->DataModuleCreate();
        }
        return module;
    }
    // Dives on the disk (the file and its journal), read by a table of their own.
    int divesInFile() const {
        const auto definition = DiveLogTables::dives();
        Table dives(definition.tableName, definition.fields, definition.orderBy);
        dives.setFileName(file("dives"));
        return int(dives.readFiles().rows.size());  // an open table would write the file
    }
};

// The Add command: a dive dated `date` with its conditions and equipment rows.
int addDive(Tdm_rdp& module, const QDate& date, const QTime& start = QTime()) {
    module.cds_dives->insert();
    module.cds_dives->setValue("Date", date);
    module.cds_dives->setValue("Time_Start", start);
    module.cds_dives->post();
    module.cds_conditions->edit();
    module.cds_conditions->setValue("depth_unit", 2);
    module.cds_conditions->post();
    module.cds_equipment->edit();
    module.cds_equipment->setValue("pres_unit", 1);
    module.cds_equipment->post();
    return module.cds_dives->asInteger("id_local_dive");
}

// The Delete command after its confirmation.
void deleteDive(Tdm_rdp& module) {
    const QString idDive = module.cds_dives->asString("id_dive");
    while (module.cds_profile->recordCount() > 0) {
        module.cds_profile->remove();
    }
    for (Table* detail : {module.cds_equipment, module.cds_conditions}) {
        if (detail->recordCount() > 0) {
            detail->remove();
        }
    }
    if (module.cds_dives->recordCount() > 0) {
        module.cds_dives->remove();
    }
    if (!idDive.isEmpty()) {
        DeletionQueue::append(idDive.toInt());
    }
}

void addProfileSample(Tdm_rdp& module, double depth) {
    module.cds_profile->append();
    module.cds_profile->setValue("depth", depth);
    module.cds_profile->post();
}

int rowsInTable(const Table* table) {
    return table->snapshot()->rows.size();
}

int savesOf(const QSignalSpy& spy, const Table* table) {
    int count = 0;
    for (const QList<QVariant>& call : spy) {
        count += call.at(0).value<Table*>() == table;
    }
    return count;
}

}  // namespace

class TestTdmRdp : public QObject {
    Q_OBJECT
private slots:
    void fieldDefinitions_data();
    void fieldDefinitions();
    void filesOrdersAndLinks();
    void firstStartWritesOnlyTablesWithChanges();
    void diveWithItsDetailRows();
    void autoIncrementIsNeverReusedAcrossRestarts();
    void detailRowsLeftByACrashAreNotAdopted();
    void damagedFileStopsTheOpening_data();
    void damagedFileStopsTheOpening();
    void postsReachTheFileSoonInOneWrite();
    void noWriteWhileBusyThenOne();
    void destructionWritesWhatIsLeft();
    void saveAllWritesNow();
    void aFailedWriteIsReportedAndRetried();
    void aFolderThatBecomesUnwritableIsToldOnceAndTheChangesKept();
    void splitFields_data();
    void splitFields();
    void deletionQueueAppends();
    void deletionQueueKeepsWhatItCannotRead();
};

void TestTdmRdp::fieldDefinitions_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QString>("fields");
    QTest::newRow("cds_info")
        << "cds_info"
        << "name string(40), address string(100), city string(40), state string(40), "
           "country string(40), inet_user string(20), inet_pass string(20), "
           "inet_email string(40), " +
               smallInts({"per_pub_personal", "per_pub_dives", "per_send1", "per_send2",
                          "per_send3", "per_send4"});
    QTest::newRow("cds_certif")
        << "cds_certif"
        << "id_certificate smallint, category smallint, certify_by smallint, "
           "cert_no string(40), date date, agency string(40), id_operator smallint, "
           "operator string(40), level string(40), id_level smallint, instructor string(40), "
           "inst_cert_no string(40), id_instructor smallint";
    QTest::newRow("cds_dives")
        << "cds_dives"
        << "id_dive integer, id_local_dive autoinc, last_update datetime, locked smallint, "
           "Date date, Time_Start time, Location string(80), id_Location integer, "
           "Site string(40), id_site integer, pais string(40), estado string(40), " +
               smallInts({"Dive_Media", "Dive_Type", "Dive_type2", "Site_type", "Dive_Deco",
                          "Dive_Nivel", "Access_Type", "Activity", "Activity2"}) +
               ", coordinates string(20), " +
               smallInts({"dive_rating", "dive_day", "dive_night", "dive_sunrise", "dive_sunset"}) +
               ", operator string(40), id_operator smallint, school string(40), "
               "id_school smallint, instructor string(40), id_instructor smallint, "
               "certify_by smallint, id_buddy smallint, buddy string(60), "
               "xTeam_Leader smallint, id_team1 smallint, team1 string(60), "
               "id_team2 smallint, team2 string(60), id_team3 smallint, team3 string(60), "
               "id_team4 smallint, team4 string(60), id_team5 smallint, team5 string(60)";
    QTest::newRow("cds_conditions")
        << "cds_conditions"
        << "id_local_dive integer, dive_si string(5), altitude float, altitude_unit smallint, "
           "depth float, max_depth float, depth_unit smallint, bottom_time string(5), "
           "stop_depth float, stop_depth1 float, stop_depth2 float, stop string(5), "
           "stop1 string(5), stop2 string(5), stop_gas_mix smallint, stop_gas_mix1 smallint, "
           "stop_gas_mix2 smallint, GP_in string(1), GP_out string(1), observations memo, "
           "cond_visibility float, cond_visibility_Max float, cond_visibility_unit smallint, "
           "cond_tiempo_in smallint, cond_tiempo_out smallint, cond_cold smallint, "
           "cond_temp_air float, cond_temp_surf float, cond_temp_bottom float, "
           "cond_temp_unit smallint, cond_Surf smallint, cond_Current smallint, "
           "cond_Current_dir string(3), cond_wind smallint, cond_wind_dir string(3), "
           "cond_xWaves smallint, cond_xSurge smallint";
    QTest::newRow("cds_equipment")
        << "cds_equipment"
        << "id_local_dive integer, pres_in float, pres_out float, pres_end_used smallint, "
           "pres_max float, pres_unit smallint, Dc_Vendor string(20), Dc_Model string(20), "
           "suit_medida string(3), suit_unit smallint, lead_estado smallint, "
           "lead_weight float, lead_unit smallint, gas_mix smallint, " +
               smallInts({"pro_wet",      "pro_dry",    "pro_jacket",   "pro_pants",
                          "pro_short",    "pro_hood",   "pro_gloves",   "pro_booties",
                          "pro_skin",     "pro_socks",  "misc_knife",   "misc_comp",
                          "misc_compass", "misc_cam",   "misc_light",   "misc_air",
                          "misc_buoy",    "misc_video", "misc_scooter", "misc_detector",
                          "misc_comm",    "misc_gun"}) +
               ", cil_size float, cil_type smallint, cil_twin smallint, cil_size_unit smallint";
    QTest::newRow("cds_profile")
        << "cds_profile"
        << "id_local_dive integer, depth float, time smallint, alarm smallint";
}

void TestTdmRdp::fieldDefinitions() {
    QFETCH(QString, table);
    QFETCH(QString, fields);
    Fixture fixture;
    auto module = fixture.start(false);
    Table* found = nullptr;
    for (Table* t : module->tables()) {
        if (t->name() == table) {
            found = t;
        }
    }
    QVERIFY(found);
    QStringList described;
    for (const FieldDef& field : found->fields()) {
        described << describe(field);
    }
    QCOMPARE(described.join(", "), fields);
}

void TestTdmRdp::filesOrdersAndLinks() {
    Fixture fixture;
    auto module = fixture.start();
    QStringList names;
    QStringList files;
    for (Table* table : module->tables()) {
        names << table->name();
        files << QFileInfo(table->fileName()).fileName();
        QCOMPARE(QFileInfo(table->fileName()).absolutePath() + "/", fixture.settings.DbDir);
        QVERIFY(table->active());
    }
    QCOMPARE(names, QStringList({"cds_dives", "cds_info", "cds_certif", "cds_conditions",
                                 "cds_equipment", "cds_profile"}));
    QCOMPARE(files, QStringList({"dives.xml", "member.xml", "certificates.xml", "conditions.xml",
                                 "equipment.xml", "profile.xml"}));
    for (Table* detail : {module->cds_conditions, module->cds_equipment, module->cds_profile}) {
        QCOMPARE(detail->master(), module->cds_dives);
    }
    QCOMPARE(module->ds_dives->dataSet(), module->cds_dives);
    QCOMPARE(module->ds_equipment->dataSet(), module->cds_equipment);
    QVERIFY(!module->busy());

    for (const QDate& date : {QDate(2024, 3, 1), QDate(2023, 1, 1), QDate(2023, 6, 1)}) {
        module->cds_certif->append();
        module->cds_certif->setValue("date", date);
        module->cds_certif->post();
    }
    module->cds_certif->first();
    QCOMPARE(module->cds_certif->asString("date"), QString("1/1/2023"));
}

void TestTdmRdp::firstStartWritesOnlyTablesWithChanges() {
    Fixture fixture;
    fixture.start().reset();
    QVERIFY(QDir(fixture.settings.DbDir).entryList(QDir::Files).isEmpty());
    {
        auto module = fixture.start();
        addDive(*module, QDate(2024, 1, 1));
    }
    QCOMPARE(QDir(fixture.settings.DbDir).entryList(QDir::Files),
             QStringList({"conditions.xml", "dives.xml", "equipment.xml"}));
}

void TestTdmRdp::diveWithItsDetailRows() {
    Fixture fixture;
    {
        auto module = fixture.start();
        addDive(*module, QDate(2024, 3, 2), QTime(9, 30));
        addProfileSample(*module, 5);
        addProfileSample(*module, 12);
        const int second = addDive(*module, QDate(2024, 3, 2), QTime(14, 10));
        module->cds_conditions->setValue("max_depth", 30.5);
        module->cds_conditions->post();
        addDive(*module, QDate(2024, 3, 3));

        module->cds_dives->first();
        QCOMPARE(module->cds_profile->recordCount(), 2);
        QCOMPARE(module->cds_conditions->recordCount(), 1);
        QCOMPARE(module->cds_equipment->asInteger("pres_unit"), 1);
        module->cds_dives->next();
        QCOMPARE(module->cds_dives->asInteger("id_local_dive"), second);
        QCOMPARE(module->cds_conditions->asFloat("max_depth"), 30.5);
        QCOMPARE(module->cds_profile->recordCount(), 0);
        module->cds_dives->first();
        deleteDive(*module);
        QCOMPARE(module->cds_dives->asInteger("id_local_dive"), second);  // the next dive
        QCOMPARE(rowsInTable(module->cds_profile), 0);
        QCOMPARE(rowsInTable(module->cds_conditions), 2);
        QCOMPARE(rowsInTable(module->cds_equipment), 2);
    }
    auto module = fixture.start();
    QCOMPARE(module->cds_dives->recordCount(), 2);
    QCOMPARE(module->cds_dives->asInteger("id_local_dive"), 2);
    QCOMPARE(module->cds_conditions->asFloat("max_depth"), 30.5);
    QCOMPARE(module->cds_conditions->asInteger("depth_unit"), 2);
    QVERIFY(!DeletionQueue::exists());  // none of them was synchronised
}

void TestTdmRdp::autoIncrementIsNeverReusedAcrossRestarts() {
    Fixture fixture;
    {
        auto module = fixture.start();
        for (int day = 1; day <= 3; ++day) {
            addDive(*module, QDate(2024, 1, day));
        }
        module->cds_dives->last();
        deleteDive(*module);  // the dive numbered 3
    }
    {
        auto module = fixture.start();
        QCOMPARE(addDive(*module, QDate(2024, 2, 1)), 4);
        while (module->cds_dives->recordCount() > 0) {
            deleteDive(*module);
        }
    }
    auto module = fixture.start();
    QCOMPARE(addDive(*module, QDate(2024, 2, 1)), 5);
}

void TestTdmRdp::detailRowsLeftByACrashAreNotAdopted() {
    Fixture fixture;
    // The conditions of dive 9 reached the disk, the dive itself did not.
    writeFile(fixture.file("conditions"),
              "<table name=\"cds_conditions\"><row id_local_dive=\"9\" depth=\"3\"/></table>");
    auto module = fixture.start();
    QCOMPARE(module->cds_dives->nextAutoIncrement(), 10);
    module->cds_dives->append();
    module->cds_dives->post();
    QCOMPARE(module->cds_conditions->recordCount(), 0);
}

void TestTdmRdp::damagedFileStopsTheOpening_data() {
    QTest::addColumn<QString>("damaged");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("dives") << "dives" << QStringList();
    QTest::newRow("member") << "member" << QStringList({"cds_dives"});
    QTest::newRow("conditions") << "conditions"
                                << QStringList({"cds_dives", "cds_info", "cds_certif"});
    QTest::newRow("profile") << "profile"
                             << QStringList({"cds_dives", "cds_info", "cds_certif",
                                             "cds_conditions", "cds_equipment"});
}

void TestTdmRdp::damagedFileStopsTheOpening() {
    QFETCH(QString, damaged);
    QFETCH(QStringList, opened);
    Fixture fixture;
    const QByteArray bytes = "<table name=\"cds_x\"><row";
    writeFile(fixture.file(damaged), bytes);
    {
        auto module = fixture.start(false);
        try {
            module->DataModuleCreate();
            QFAIL("no error");
        } catch (const AppError& e) {
            QVERIFY2(e.message().contains(fixture.file(damaged)), qPrintable(e.message()));
        }
        QVERIFY(!module->busy());
        QStringList active;
        for (Table* table : module->tables()) {
            if (table->active()) {
                active << table->name();
            }
        }
        QCOMPARE(active, opened);
        if (module->cds_dives->active()) {
            module->cds_dives->append();
            module->cds_dives->post();
        }
        module->saveChangedTables();
        module->saveAll();
    }
    QCOMPARE(readFile(fixture.file(damaged)), bytes);
    if (damaged != "dives") {
        QCOMPARE(QFile::exists(fixture.file("dives")), !opened.isEmpty());
    }
}

void TestTdmRdp::postsReachTheFileSoonInOneWrite() {
    Fixture fixture;
    auto module = fixture.start();
    QSignalSpy saved(module.get(), &Tdm_rdp::tableSaved);
    for (int day = 1; day <= 5; ++day) {
        module->cds_dives->append();
        module->cds_dives->setValue("Date", QDate(2024, 1, day));
        module->cds_dives->post();
    }
    QTRY_COMPARE(savesOf(saved, module->cds_dives), 1);
    QCOMPARE(fixture.divesInFile(), 5);  // on the disk while the program still runs
    QTest::qWait(100);
    QCOMPARE(saved.count(), 1);
    QVERIFY(!module->cds_dives->hasUnsavedChanges());
}

void TestTdmRdp::noWriteWhileBusyThenOne() {
    Fixture fixture;
    auto module = fixture.start();
    QSignalSpy saved(module.get(), &Tdm_rdp::tableSaved);
    module->setBusy(true);
    for (int day = 1; day <= 20; ++day) {
        addDive(*module, QDate(2024, 1, day));
        QTest::qWait(2);
    }
    QTest::qWait(100);
    QCOMPARE(saved.count(), 0);
    QVERIFY(!QFile::exists(fixture.file("dives")));
    module->setBusy(false);
    QTRY_COMPARE(saved.count(), 3);
    QTest::qWait(100);
    QCOMPARE(savesOf(saved, module->cds_dives), 1);
    QCOMPARE(savesOf(saved, module->cds_conditions), 1);
    QCOMPARE(savesOf(saved, module->cds_equipment), 1);
    QCOMPARE(fixture.divesInFile(), 20);
}

void TestTdmRdp::destructionWritesWhatIsLeft() {
    Fixture fixture;
    {
        auto module = fixture.start();
        addDive(*module, QDate(2024, 1, 1));
        module->saveChangedTables();  // a write on its way when the module goes
        addDive(*module, QDate(2024, 1, 2));
        module->cds_dives->edit();
        module->cds_dives->setValue("Site", "pending");
    }
    QCOMPARE(fixture.divesInFile(), 2);
    auto module = fixture.start();
    module->cds_dives->last();
    QCOMPARE(module->cds_dives->asString("Site"), QString("pending"));
}

void TestTdmRdp::saveAllWritesNow() {
    Fixture fixture;
    auto module = fixture.start();
    QSignalSpy saved(module.get(), &Tdm_rdp::tableSaved);
    module->cds_info->append();
    module->cds_info->setValue("inet_user", "diver");
    module->cds_info->post();
    module->saveAll();
    QCOMPARE(saved.count(), 1);
    QVERIFY(readFile(fixture.file("member")).contains("inet_user=\"diver\""));
}

void TestTdmRdp::aFailedWriteIsReportedAndRetried() {
    Fixture fixture;
    auto module = fixture.start();
    QSignalSpy failed(module.get(), &Tdm_rdp::saveFailed);
    QSignalSpy saved(module.get(), &Tdm_rdp::tableSaved);
    const QString journal = module->cds_dives->journalFileName();
    QVERIFY(QDir().mkdir(journal));  // a folder in the way of the journal
    module->cds_dives->append();
    module->cds_dives->post();
    QTRY_COMPARE(failed.count(), 1);
    QVERIFY(failed.at(0).at(1).toString().contains("dives.journal"));
    QVERIFY(module->cds_dives->hasUnsavedChanges());
    QVERIFY(QDir().rmdir(journal));
    module->cds_dives->append();
    module->cds_dives->post();
    QTRY_COMPARE(saved.count(), 1);
    // The journal missed a change, so the whole file took both.
    QVERIFY(readFile(fixture.file("dives")).contains("journal=\"2\""));
    QCOMPARE(fixture.divesInFile(), 2);
}

void TestTdmRdp::aFolderThatBecomesUnwritableIsToldOnceAndTheChangesKept() {
    Fixture fixture;
    QStringList told;
    WriteFailures::setReporter([&told](const QString& message) { told << message; });
    auto module = fixture.start();
    addDive(*module, QDate(2024, 1, 1));
    QTRY_VERIFY(!module->cds_dives->hasUnsavedChanges());
    // The tables folder goes and a file takes its name: no write succeeds, not even as root.
    const QString folder = QDir::cleanPath(fixture.settings.DbDir);
    QVERIFY(QDir().rename(folder, folder + ".moved"));
    writeFile(folder, "in the way");
    QSignalSpy failed(module.get(), &Tdm_rdp::saveFailed);
    for (const char* site : {"R", "Re", "Ree", "Reef"}) {  // typed key by key
        module->cds_dives->edit();
        module->cds_dives->setValue("Site", site);
        module->cds_dives->post();
        QTRY_VERIFY(failed.count() > 0);
        failed.clear();
    }
    QCOMPARE(told.size(), 1);
    QVERIFY2(told[0].contains(module->cds_dives->journalFileName()), qPrintable(told[0]));
    QVERIFY(module->cds_dives->hasUnsavedChanges());
    QVERIFY_THROWS_EXCEPTION(IoError, module->saveAll());
    // The detail tables' files now fail too, each told once; the dives not again.
    QCOMPARE(told.filter("dives.").size(), 1);
    QCOMPARE(told.size(), QSet<QString>(told.begin(), told.end()).size());
    QFile::remove(folder);
    QVERIFY(QDir().rename(folder + ".moved", folder));
    addDive(*module, QDate(2024, 1, 2));
    QTRY_VERIFY(!module->cds_dives->hasUnsavedChanges());
    QCOMPARE(fixture.divesInFile(), 2);
    QVERIFY(!WriteFailures::failing(fixture.file("dives")));
    module.reset();
    auto again = fixture.start();
    again->cds_dives->first();
    QCOMPARE(again->cds_dives->asString("Site"), QString("Reef"));
    WriteFailures::setReporter(nullptr);
}

void TestTdmRdp::splitFields_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("size");
    QTest::addColumn<QStringList>("pieces");
    QTest::newRow("blanks and a final separator")
        << "  12 ##abc##" << 3 << QStringList({"12", "abc", ""});
    QTest::newRow("empty text") << "" << 2 << QStringList({"", ""});
    QTest::newRow("trailing separator") << "a##b##" << 2 << QStringList({"a", "b"});
    QTest::newRow("leading separator") << "##a" << 2 << QStringList({"", "a"});
    QTest::newRow("two in a row") << "a####b" << 3 << QStringList({"a", "", "b"});
    QTest::newRow("only separators") << "####" << 3 << QStringList({"", "", ""});
    QTest::newRow("a single hash is text") << "a#b##c" << 2 << QStringList({"a#b", "c"});
    QTest::newRow("three hashes") << "a###b" << 2 << QStringList({"a", "#b"});
    QTest::newRow("control characters trimmed")
        << "\t x y \r\n##\x01z" << 2 << QStringList({"x y", "z"});
    QTest::newRow("line break inside kept") << "one\ntwo##" << 1 << QStringList({"one\ntwo"});
    QTest::newRow("more pieces than slots") << "a##b##c##d" << 2 << QStringList({"a", "b"});
    QTest::newRow("no slots") << "a##b" << 0 << QStringList();
    QTest::newRow("slots beyond stay empty") << "x" << 4 << QStringList({"x", "", "", ""});
}

void TestTdmRdp::splitFields() {
    QFETCH(QString, text);
    QFETCH(int, size);
    QFETCH(QStringList, pieces);
    QStringList fields(size, QStringLiteral("old"));
    SplitFields(text, fields);
    QCOMPARE(fields, pieces);
}

void TestTdmRdp::deletionQueueAppends() {
    Fixture fixture;
    QCOMPARE(DeletionQueue::fileName(), fixture.settings.AppDataDir + "delete.cds");
    QVERIFY(!DeletionQueue::exists());
    DeletionQueue::append(17);
    DeletionQueue::append(203);
    QCOMPARE(readFile(DeletionQueue::fileName()), QByteArray("17##203##"));
    QCOMPARE(DeletionQueue::read(), QString("17##203##"));
    DeletionQueue::remove();
    QVERIFY(!DeletionQueue::exists());
    writeFile(DeletionQueue::fileName(), "5##\r\n");  // left with a line break by an old run
    DeletionQueue::append(6);
    QCOMPARE(readFile(DeletionQueue::fileName()), QByteArray("5##6##"));
}

void TestTdmRdp::deletionQueueKeepsWhatItCannotRead() {
    Fixture fixture;
    QVERIFY(QDir().mkdir(DeletionQueue::fileName()));
    QVERIFY_THROWS_EXCEPTION(IoError, DeletionQueue::append(17));
    QVERIFY(QFileInfo(DeletionQueue::fileName()).isDir());
}

NEREVA_TEST_MAIN(TestTdmRdp)
#include "test_tdm_rdp.moc"
