#include "dive_rows.h"
#include "module_set.h"
#include "store/dive_detail_rows.h"

class TestDiveDetailRows : public QObject {
    Q_OBJECT
private slots:
    void findsTheRowTheDetailTableShows();
};

// A dive with two conditions rows (a log repaired by hand, say): the walk reads the row the
// editor shows, the first; a dive without rows reads null.
void TestDiveDetailRows::findsTheRowTheDetailTableShows() {
    TestSupport::TempFolders folders;
    ModuleSet modules;
    Tdm_rdp& tables = *modules.tables;
    const int first = TestSupport::addDive(tables, {{"Location", "A"}}, {{"bottom_time", "00:10"}});
    tables.cds_conditions->append();
    tables.cds_conditions->setValue("bottom_time", "00:20");
    tables.cds_conditions->post();
    const int bare = TestSupport::addDive(tables, {{"Location", "B"}}, {}, {}, false);
    TestSupport::addDive(tables, {{"Location", "C"}}, {{"bottom_time", "00:30"}});
    tables.cds_dives->first();
    tables.cds_conditions->first();
    const QString shown = tables.cds_conditions->asString("bottom_time");

    const DiveDetailRows rows(*tables.cds_conditions);
    const int field = rows.field(u"bottom_time");
    QCOMPARE(rows.value(rows.of(first), field).toString(), shown);
    QCOMPARE(shown, QString("00:10"));
    QVERIFY(rows.of(bare) == nullptr);
    QVERIFY(rows.value(rows.of(bare), field).isNull());
    QCOMPARE(rows.value(rows.of(first + 2), field).toString(), QString("00:30"));
}

NEREVA_TEST_MAIN(TestDiveDetailRows)
#include "test_dive_detail_rows.moc"
