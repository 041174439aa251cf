#include "../ui/main/main_fixture.h"
#include "report_fixture.h"
#include "reports/dive_statistics.h"
#include "reports/report_commands.h"
#include "reports/tfrm_stats.h"
#include "reports/year_chart.h"
#include "ui_tfrm_stats.h"

namespace {

const QString kNoConditions = QStringLiteral("<no conditions row>");

DiveStatistics statisticsOf(Tdm_rdp& tables) {
    return computeDiveStatistics(*tables.cds_dives, *tables.cds_conditions);
}

}  // namespace

class TestStatistics : public QObject {
    Q_OBJECT
private slots:
    void totals_data();
    void totals();
    void records();
    void emptyLogHasNoRecords();
    void windowShowsBothPagesAndKeepsTheDive();
    void reportsMenuOpensTheWindow();
};

void TestStatistics::totals_data() {
    QTest::addColumn<QStringList>("bottomTimes");
    QTest::addColumn<QString>("total");
    QTest::newRow("carried into hours") << QStringList{"00:45", "00:30", "01:50"} << "3h 05'";
    QTest::newRow("one long dive") << QStringList{"99:59"} << "99h 59'";
    QTest::newRow("200 minutes") << QStringList{"00:50", "00:50", "00:50", "00:50"} << "3h 20'";
    QTest::newRow("minutes past 59 count") << QStringList{"00:75"} << "1h 15'";
    QTest::newRow("hours without limit") << QStringList(12, "99:59") << "1199h 48'";
    QTest::newRow("ten dives, four timed")
        << QStringList{"00:10", "", "00:20", kNoConditions, "", "00:30", "", "", "00:40", ""}
        << "1h 40'";
    QTest::newRow("not hh:nn adds nothing")
        << QStringList{"1:05", "45", "ab:cd", "  :  ", "0:100", "01:05"} << "1h 05'";
    QTest::newRow("empty log") << QStringList{} << "0h 00'";
}

void TestStatistics::totals() {
    QFETCH(QStringList, bottomTimes);
    QFETCH(QString, total);
    ReportFixture f;
    for (const QString& time : bottomTimes) {
        if (time == kNoConditions) {
            TestSupport::addDive(f.tables, {{"Location", "x"}}, {}, {}, false);
        } else {
            f.addDive({{"Location", "x"}}, {{"bottom_time", time}});
        }
    }
    const DiveStatistics stats = statisticsOf(f.tables);
    QCOMPARE(stats.dives, int(bottomTimes.size()));
    QCOMPARE(bottomTimeText(stats.bottomMinutes), total);
}

void TestStatistics::records() {
    ReportFixture f;
    f.addDive({{"Location", ""}}, {}, {});  // no date: counts, but is neither first nor latest
    f.addDive({{"Date", QDate(2019, 5, 1)},
               {"Location", "Cozumel"},
               {"Site", "Palancar"},
               {"pais", "México"}},
              {{"max_depth", 30},
               {"depth_unit", 1},
               {"bottom_time", "00:50"},
               {"cond_temp_bottom", 27},
               {"cond_temp_unit", 1}});
    f.addDive({{"Date", QDate(2021, 2, 10)},
               {"Location", " cozumel "},
               {"Site", "Columbia"},
               {"pais", "MÉXICO"}},
              {{"max_depth", 100},
               {"depth_unit", 2},
               {"bottom_time", "01:05"},
               {"cond_temp_bottom", 50},
               {"cond_temp_unit", 2}});
    f.addDive({{"Date", QDate(2021, 8, 1)}, {"Location", "Dahab"}, {"pais", "Egypt"}},
              {{"depth", 12},
               {"depth_unit", 1},
               {"bottom_time", "1:30"},
               {"cond_temp_surf", 29},
               {"cond_temp_unit", 1}});
    const DiveStatistics stats = statisticsOf(f.tables);
    QCOMPARE(stats.dives, 4);
    QCOMPARE(bottomTimeText(stats.bottomMinutes), QString("1h 55'"));
    // 100 ft is 30.48 m, deeper than 30 m.
    QCOMPARE(stats.deepest.shown, QString("100 ft"));
    QCOMPARE(stats.deepest.date, QDate(2021, 2, 10));
    QCOMPARE(stats.deepest.place, QString("cozumel, Columbia"));
    QCOMPARE(stats.longest.shown, QString("1h 05'"));
    QCOMPARE(stats.longest.date, QDate(2021, 2, 10));
    // 50 °F is 10 °C; the surface temperature stands in for a missing bottom one.
    QCOMPARE(stats.coldest.shown, QString("50 °F"));
    QCOMPARE(stats.warmest.shown, QString("29 °C"));
    QCOMPARE(stats.warmest.place, QString("Dahab"));
    QCOMPARE(stats.first.date, QDate(2019, 5, 1));
    QCOMPARE(stats.first.place, QString("Cozumel, Palancar"));
    QCOMPARE(stats.latest.date, QDate(2021, 8, 1));
    QCOMPARE(stats.locations, 2);
    QCOMPARE(stats.countries, 2);
    QCOMPARE(stats.divesPerYear, (QMap<int, int>{{2019, 1}, {2021, 2}}));
}

void TestStatistics::emptyLogHasNoRecords() {
    ReportFixture f;
    f.addDive({{"Location", "Nowhere"}}, {{"bottom_time", "  :  "}});
    const DiveStatistics stats = statisticsOf(f.tables);
    for (const DiveStatistics::Mark* mark : {&stats.deepest, &stats.longest, &stats.coldest,
                                             &stats.warmest, &stats.first, &stats.latest}) {
        QCOMPARE(mark->row, -1);
    }
    QVERIFY(stats.divesPerYear.isEmpty());
    QCOMPARE(stats.locations, 1);
}

void TestStatistics::windowShowsBothPagesAndKeepsTheDive() {
    ReportFixture f;
    f.addDive({{"Date", QDate(2022, 6, 1)}, {"Location", "Reef"}},
              {{"bottom_time", "00:45"}, {"max_depth", 18}, {"depth_unit", 1}});
    f.addDive({{"Date", QDate(2023, 6, 1)}, {"Location", "Wall"}}, {{"bottom_time", "01:50"}});
    Table* dives = f.tables.cds_dives;
    dives->first();
    // A pending change is counted, as moving the table would post it.
    f.tables.cds_conditions->edit();
    f.tables.cds_conditions->setValue("bottom_time", "00:30");
    TFrmStats stats;
    stats.show();
    Ui::TFrmStats* ui = stats.form();
    QCOMPARE(ui->ndives->text(), QString("2"));
    QCOMPARE(ui->ttime->text(), QString("2h 20'"));
    QCOMPARE(ui->deepest_value->text(), QString("18 m"));
    QCOMPARE(ui->deepest_place->text(), QString("6/1/2022, Reef"));
    QCOMPARE(ui->longest_value->text(), QString("1h 50'"));
    QCOMPARE(ui->first_dive_value->text(), QString("6/1/2022"));
    QCOMPARE(ui->first_dive_place->text(), QString("Reef"));
    QCOMPARE(ui->latest_dive_place->text(), QString("Wall"));
    QCOMPARE(ui->locations_value->text(), QString("2"));
    QCOMPARE(ui->chart_years->counts(), (QMap<int, int>{{2022, 1}, {2023, 1}}));
    QCOMPARE(ui->PageControl1->tabText(0), ReportFixture::word("general"));
    QVERIFY(!dm_rdp->busy());
    QCOMPARE(dives->recNo(), 1);
    QCOMPARE(f.tables.cds_conditions->state(), Table::State::Browse);
    QCOMPARE(f.tables.cds_conditions->asString("bottom_time"), QString("00:30"));
}

void TestStatistics::reportsMenuOpensTheWindow() {
    MainFixture f;
    TFrm_Principal* window = f.openShown();
    connectReportCommands(*window);
    window->ui->Reports1->trigger();
    QCOMPARE(f.modalWindows, QStringList{"TFrmStats"});
}

NEREVA_TEST_MAIN(TestStatistics)
#include "test_statistics.moc"
