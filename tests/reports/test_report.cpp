#include "../ui/main/main_fixture.h"
#include "report_fixture.h"
#include "reports/page_view.h"
#include "reports/report_commands.h"
#include "reports/tfrm_report.h"
#include "reports/tfrm_report_preview.h"

#include <QPrinter>
#include <QSpinBox>

using DivePage::Slot;

namespace {

// The report printed to a PDF file in the working folder, as the preview saves it.
QString printPdf(int fromPage = 0, int toPage = 0) {
    TFrmReport report;
    report.FormCreate();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString file = QDir::current().filePath(QStringLiteral("report.pdf"));
    printer.setOutputFileName(file);
    if (fromPage > 0) {
        printer.setFromTo(fromPage, toPage);
    }
    report.print(printer);
    return file;
}

DivePage::Texts firstPage() {
    TFrmReport report;
    report.FormCreate();
    return report.pageTexts(0);
}

QString word(const char* key) {
    return ReportFixture::word(key);
}

// A dive with every place of the page filled in.
void addFullDive(ReportFixture& f) {
    f.addDive({{"Date", QDate(2024, 3, 2)},
               {"Time_Start", QTime(9, 30)},
               {"Location", "Cozumel"},
               {"Site", "Palancar Reef"},
               {"Dive_Media", 1},
               {"Activity", 7},
               {"Activity2", 6},
               {"Site_type", 5},
               {"Dive_Type", 3},
               {"Dive_type2", 1},
               {"Access_Type", 1},
               {"Dive_Nivel", 1},
               {"Dive_Deco", 1},
               {"dive_rating", 4},
               {"coordinates", "20:18:00N-87:01:00W"},
               {"operator", "Aldora Divers"},
               {"school", "Blue Academy"},
               {"buddy", "Maria Lopez"},
               {"instructor", "Ana Torres"},
               {"team1", "Jon Park"},
               {"team2", "Lena Fischer"},
               {"team3", "Ravi Shah"},
               {"team4", "Ola Berg"},
               {"team5", "Kim Roy"},
               {"dive_day", 1}},
              {{"observations", "Turtle at the wall"},
               {"depth", 14.2},
               {"max_depth", 24.5},
               {"depth_unit", 1},
               {"bottom_time", "00:48"},
               {"dive_si", "01:30"},
               {"stop_depth", 5},
               {"stop", "00:03"},
               {"altitude", 120},
               {"altitude_unit", 1},
               {"GP_in", "A"},
               {"GP_out", "K"},
               {"cond_visibility", 25},
               {"cond_visibility_Max", 30},
               {"cond_visibility_unit", 1},
               {"cond_tiempo_in", 1},
               {"cond_tiempo_out", 2},
               {"cond_Surf", 2},
               {"cond_Current", 3},
               {"cond_Current_dir", "N"},
               {"cond_wind", 4},
               {"cond_wind_dir", "NE"},
               {"cond_temp_air", 31},
               {"cond_temp_surf", 28},
               {"cond_temp_bottom", 26},
               {"cond_temp_unit", 1},
               {"cond_xWaves", 1},
               {"cond_xSurge", 0},
               {"cond_cold", 1}},
              {{"pres_in", 200},
               {"pres_out", 50},
               {"pres_unit", 1},
               {"suit_medida", "5"},
               {"suit_unit", 1},
               {"lead_weight", 6},
               {"lead_unit", 1},
               {"Dc_Vendor", "Suunto"},
               {"Dc_Model", "D5"}});
}

}  // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void threeDivesPrintOnePageEach();
    void pageRangePrintsThosePages();
    void pageShowsEveryCaptionAndValue_data();
    void pageShowsEveryCaptionAndValue();
    void noTextRunsIntoAnother_data();
    void noTextRunsIntoAnother();
    void unitsAndRatingFollowTheirValues();
    void computedTexts_data();
    void computedTexts();
    void certificationMarkOnlyForCertifiedDives();
    void emptyLogPrintsOnePage();
    void printingCanBeStopped();
    void printCommandPreviewsAndKeepsTheCurrentDive();
    void previewKeepsOnlyAFewPages();
};

void TestReport::threeDivesPrintOnePageEach() {
    ReportFixture f;
    f.setMemberName("Pat Diver");
    f.addDive({{"Date", QDate(2024, 5, 1)}, {"Location", "Third place"}});
    f.addDive({{"Date", QDate(2023, 1, 9)}, {"Location", "First place"}});
    f.addDive({{"Date", QDate(2023, 7, 4)}, {"Location", "Second place"}});
    const QString pdf = printPdf();
    QCOMPARE(Pdf::info(pdf, "Pages"), QString("3"));
    QCOMPARE(Pdf::info(pdf, "Page size"), QString("612 x 792 pts (letter)"));
    const QStringList places = {"First place", "Second place", "Third place"};
    for (int page = 1; page <= 3; ++page) {
        const QString text = Pdf::pageText(pdf, page);
        QVERIFY2(text.contains(Pdf::row({word("diven"), QString::number(page), "/", "3"})),
                 qPrintable(text));
        QVERIFY(text.contains(places[page - 1]));
        for (int other = 0; other < 3; ++other) {
            QCOMPARE(text.contains(places[other]), other == page - 1);
        }
        QVERIFY(text.contains("Pat Diver"));
        QVERIFY(text.contains(word("dive_details")));
        // The footer: title, page number, date of printing.
        QVERIFY2(text.contains(QRegularExpression("NEREVA Desktop\\s+" + QString::number(page) +
                                                  "\\s+\\d+/\\d+/\\d{4}")),
                 qPrintable(text));
    }
}

void TestReport::pageRangePrintsThosePages() {
    ReportFixture f;
    for (int day = 1; day <= 4; ++day) {
        f.addDive({{"Date", QDate(2024, 1, day)}, {"Location", QString("Place %1").arg(day)}});
    }
    const QString pdf = printPdf(2, 3);
    QCOMPARE(Pdf::info(pdf, "Pages"), QString("2"));
    QVERIFY(Pdf::pageText(pdf, 1).contains(Pdf::row({"Place 2"})));
    QVERIFY(Pdf::pageText(pdf, 1).contains(Pdf::row({word("diven"), "2", "/", "4"})));
    QVERIFY(Pdf::pageText(pdf, 2).contains("Place 3"));
}

void TestReport::pageShowsEveryCaptionAndValue_data() {
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QString();
    // Longer captions, which must keep clear of the values beside them.
    QTest::newRow("Spanish") << "es";
}

void TestReport::pageShowsEveryCaptionAndValue() {
    QFETCH(QString, language);
    ReportFixture f(language);
    addFullDive(f);
    const QString text = Pdf::pageText(printPdf(), 1);
    QStringList missing;
    for (const QString& key : DivePage::captionKeys()) {
        if (!text.contains(dmIdioma->GetWord(key))) {
            missing << key;
        }
    }
    const QStringList literals = {"Waves",          "Surge",        "Cold/ Stress",
                                  "Pressure Start", "Pressure End", "Thickness ('')",
                                  "Weight  / Lead", "DC Vendor",    "Model"};
    const QStringList values = {"Cozumel",
                                "Palancar Reef",
                                "02/03/2024",
                                "09:30:00",
                                "Aldora Divers",
                                "Blue Academy",
                                "Maria Lopez",
                                "Ana Torres",
                                "Jon Park",
                                "Lena Fischer",
                                "Ravi Shah",
                                "Ola Berg",
                                "Kim Roy",
                                "20:18:00N-87:01:00W",
                                "Turtle at the wall",
                                "00:48",
                                "01:30",
                                "00:03",
                                "120",
                                "Suunto",
                                "D5",
                                word("salt_water"),
                                word("recreational"),
                                word("photography"),
                                word("sea"),
                                word("reef"),
                                word("drift"),
                                word("boat"),
                                word("multiple_ascent"),
                                word("decompression"),
                                word("clear"),
                                word("cloudy")};
    for (const QString& expected : literals + values) {
        if (!text.contains(Pdf::row({expected}))) {
            missing << expected;
        }
    }
    // Rows whose boxes stand side by side.
    const QList<QStringList> rows = {
        {word("Depth"), "14.2", "24.5", "m", word("Visivility_Range"), "25", "30", "m"},
        {word("Activity"), word("recreational"), word("Dive_Type"), word("reef"), word("School")},
        {word("Bottom_time"), "00:48", word("Sup_Interval"), "01:30", word("weather_Start")},
        {word("Air"), "31", "°C"},
        {word("Surface"), "28", "°C"},
        {word("bottom"), "26", "°C"},
        {word("gp"), "A", "K", word("surf"), word("calm")},
        {word("current"), word("moderate"), "N", "Waves", "X"},
        {word("wind"), word("strong"), "NE", "Surge"},
        {"Cold/ Stress", "X"},
        {"Pressure Start", "200", "bar", "Pressure End", "50", "bar"},
        {"Thickness ('')", "5", "mm"},
        {"Weight  / Lead", "6", "kg"},
    };
    for (const QStringList& row : rows) {
        if (!text.contains(Pdf::row(row))) {
            missing << row.join(" ");
        }
    }
    QVERIFY2(!text.contains(Pdf::row({"Surge", "X"})), "Surge is not set");
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(" | ") + "\n" + text));
}

void TestReport::noTextRunsIntoAnother_data() {
    pageShowsEveryCaptionAndValue_data();
}

// However long a language's captions, no word of the page is drawn over another.
void TestReport::noTextRunsIntoAnother() {
    QFETCH(QString, language);
    ReportFixture f(language);
    addFullDive(f);
    const QList<Pdf::Word> words = Pdf::pageWords(printPdf(), 1);
    QVERIFY(words.size() > 100);
    QStringList overlaps;
    for (int i = 0; i < words.size(); ++i) {
        for (int j = i + 1; j < words.size(); ++j) {
            const QRectF shared = words[i].box.intersected(words[j].box);
            // Boxes of neighbouring lines may touch by a hair; text drawn over text does more.
            if (shared.width() > 0.5 && shared.height() > 2) {
                overlaps << words[i].text + " / " + words[j].text;
            }
        }
    }
    QVERIFY2(overlaps.isEmpty(), qPrintable(overlaps.join(", ")));
}

void TestReport::unitsAndRatingFollowTheirValues() {
    ReportFixture f;
    f.addDive({{"Date", QDate(2024, 3, 2)}, {"dive_rating", 4}},
              {{"depth", 40}, {"max_depth", 60}, {"stop_depth", 15}, {"depth_unit", 2}});
    const QString text = Pdf::pageText(printPdf(), 1);
    QVERIFY2(text.contains(Pdf::row({word("Depth"), "40", "60", "ft"})), qPrintable(text));
    QVERIFY2(text.contains(Pdf::row({word("Depth_Stop"), "15", "ft"})), qPrintable(text));
    QVERIFY2(text.contains(Pdf::row({word("Rating"), "4", "/ 5"})), qPrintable(text));
}

// Expected texts name dictionary words as "{key}".
void TestReport::computedTexts_data() {
    QTest::addColumn<QVariantMap>("dive");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("expected");
    QTest::newRow("day and sunset") << QVariantMap{{"dive_day", 1}, {"dive_sunset", 1}}
                                    << int(DivePage::LightText) << "{day} {sunset} ";
    QTest::newRow("every light") << QVariantMap{{"dive_day", 1},
                                                {"dive_night", 1},
                                                {"dive_sunrise", 1},
                                                {"dive_sunset", 1}}
                                 << int(DivePage::LightText) << "{day} {night} {sunrise} {sunset} ";
    QTest::newRow("no light") << QVariantMap{{"dive_night", 0}} << int(DivePage::LightText) << "";
    QTest::newRow("code without item")
        << QVariantMap{{"Dive_Type", 8}} << int(DivePage::DiveTypeText) << "";
    QTest::newRow("empty media") << QVariantMap{} << int(DivePage::MediaText) << "";
    QTest::newRow("advanced site type 8")
        << QVariantMap{{"Site_type", 8}} << int(DivePage::SiteTypeText) << "{quarry}";
    QTest::newRow("empty ascent reads 0")
        << QVariantMap{} << int(DivePage::AscentText) << "{single_ascent}";
    QTest::newRow("decompression")
        << QVariantMap{{"Dive_Deco", 1}} << int(DivePage::DecoText) << "{decompression}";
    QTest::newRow("certified") << QVariantMap{{"certify_by", 1}} << int(DivePage::Certified) << "1";
    QTest::newRow("confirmed by the buddy")
        << QVariantMap{{"certify_by", 2}} << int(DivePage::Certified) << "1";
    QTest::newRow("modified by the diver")
        << QVariantMap{{"certify_by", -1}} << int(DivePage::Certified) << "";
}

void TestReport::computedTexts() {
    QFETCH(QVariantMap, dive);
    QFETCH(int, slot);
    QFETCH(QString, expected);
    ReportFixture f;
    f.addDive(dive);
    static const QRegularExpression key("\\{(\\w+)\\}");
    for (QRegularExpressionMatch m = key.match(expected); m.hasMatch(); m = key.match(expected)) {
        expected.replace(m.capturedStart(), m.capturedLength(), dmIdioma->GetWord(m.captured(1)));
    }
    QCOMPARE(firstPage()[slot], expected);
}

void TestReport::certificationMarkOnlyForCertifiedDives() {
    ReportFixture f;
    const int certifyBy[] = {2, 0, -1, 1};
    for (int i = 0; i < 4; ++i) {
        f.addDive({{"Date", QDate(2024, 1, i + 1)}, {"certify_by", certifyBy[i]}});
    }
    const QString pdf = printPdf();
    // The logo is on every page; the mark beside it only on certified dives' pages.
    QCOMPARE(Pdf::pictures(pdf, 1), 2);
    QCOMPARE(Pdf::pictures(pdf, 2), 1);
    QCOMPARE(Pdf::pictures(pdf, 3), 1);
    QCOMPARE(Pdf::pictures(pdf, 4), 2);
}

void TestReport::emptyLogPrintsOnePage() {
    ReportFixture f;
    f.setMemberName("Pat Diver");
    const QString pdf = printPdf();
    QCOMPARE(Pdf::info(pdf, "Pages"), QString("1"));
    const QString text = Pdf::pageText(pdf, 1);
    QVERIFY(text.contains("Pat Diver"));
    QVERIFY(text.contains(word("dive_details")));
    QVERIFY(text.contains(QRegularExpression("NEREVA Desktop\\s+1\\s")));
    QVERIFY2(!text.contains(word("diven")), "no detail band");
    QVERIFY(!text.contains(word("Location")));
}

void TestReport::printingCanBeStopped() {
    ReportFixture f;
    for (int day = 1; day <= 5; ++day) {
        f.addDive({{"Date", QDate(2024, 1, day)}});
    }
    TFrmReport report;
    report.FormCreate();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QDir::current().filePath("stopped.pdf"));
    QList<int> seen;
    const bool finished = report.print(printer, [&seen](int done, int count) {
        seen << done;
        return count == 5 && done < 2;
    });
    QVERIFY(!finished);
    QCOMPARE(seen, (QList<int>{1, 2}));
}

void TestReport::printCommandPreviewsAndKeepsTheCurrentDive() {
    MainFixture f(ReportFixture::shippedDictionary());
    for (int day = 1; day <= 3; ++day) {
        TestSupport::addDive(
            *f.tables, {{"Date", QDate(2024, 1, day)}, {"Location", QString("Place %1").arg(day)}});
    }
    TFrm_Principal* window = f.openShown();
    connectReportCommands(*window);
    Table* dives = f.tables->cds_dives;
    dives->first();
    dives->next();
    // An edit in progress is printed as typed and posted.
    dives->edit();
    dives->setValue("Location", "Edited place");
    const QString pdf = QDir::current().filePath("preview.pdf");
    int pages = 0;
    bool busyWhileShown = false;
    Dialogs::setModalHandler([&](QDialog* dialog) {
        auto* preview = qobject_cast<TFrmReportPreview*>(dialog);
        if (!preview) {
            return int(QDialog::Rejected);
        }
        busyWhileShown = dm_rdp->busy();
        pages = preview->pages()->pageCount();
        preview->savePdf(pdf);
        return int(QDialog::Accepted);
    });
    window->ui->Ac_Print_Dive->trigger();
    QCOMPARE(f.messages, QStringList{"Este reporte se encuentra en construcción"});
    QVERIFY(busyWhileShown);
    QVERIFY(!dm_rdp->busy());
    QCOMPARE(pages, 3);
    QCOMPARE(dives->recNo(), 2);
    QCOMPARE(dives->state(), Table::State::Browse);
    QCOMPARE(dives->asString("Location"), QString("Edited place"));
    QCOMPARE(Pdf::info(pdf, "Pages"), QString("3"));
    QVERIFY(Pdf::pageText(pdf, 2).contains("Edited place"));
    // The menu item runs the same command.
    f.messages.clear();
    window->ui->Print1->trigger();
    QCOMPARE(f.messages.size(), 1);
}

void TestReport::previewKeepsOnlyAFewPages() {
    ReportFixture f;
    constexpr int kDives = 300;
    for (int i = 0; i < kDives; ++i) {
        f.addDive({{"Date", QDate(2020, 1, 1).addDays(i)}, {"Location", QString("P%1").arg(i)}});
    }
    TFrmReport report;
    report.FormCreate();
    TFrmReportPreview preview(nullptr, report);
    preview.resize(700, 800);
    preview.show();
    PageView* pages = preview.pages();
    QCOMPARE(pages->pageCount(), kDives);
    int mostKept = 0;
    for (int page = 0; page < kDives; page += 3) {
        pages->showPage(page);
        pages->viewport()->grab();
        mostKept = qMax(mostKept, pages->keptPages());
        QCOMPARE(pages->currentPage(), page);
    }
    QVERIFY2(mostKept > 0 && mostKept < 40, qPrintable(QString::number(mostKept)));
    pages->showPage(41);
    QApplication::processEvents();
    auto* spin = preview.findChild<QSpinBox*>("ed_page");
    QCOMPARE(spin->value(), 42);
    spin->setValue(7);
    QCOMPARE(pages->currentPage(), 6);
}

NEREVA_TEST_MAIN(TestReport)
#include "test_report.moc"
