#include "app/settings/regional_formats.h"
#include "store/data_source.h"
#include "store/table.h"
#include "test_support.h"
#include "ui/db/db_grid_cursor_link.h"
#include "ui/db/db_grid_model.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>

namespace {

// A small dives table shown by a two-column grid, as the main window shows it.
struct GridFixture {
    Table table{QStringLiteral("dives"),
                {{QStringLiteral("id_local_dive"), FieldType::AutoInc},
                 {QStringLiteral("Date"), FieldType::Date},
                 {QStringLiteral("Time_Start"), FieldType::Time},
                 {QStringLiteral("Location"), FieldType::String, 80}},
                {QStringLiteral("Date"), QStringLiteral("Time_Start")}};
    DataSource source{&table};
    DbGridModel model{
        {{QStringLiteral("Date"), 65, Qt::AlignRight | Qt::AlignVCenter, Qt::AlignCenter},
         {QStringLiteral("location"), 200}}};

    GridFixture() {
        table.createDataSet();
        if (!table.active()) {
            table.open();
        }
        model.setDataSource(&source);
    }

    void add(const QDate& date, const QString& location, const QTime& start = QTime(10, 0)) {
        table.append();
        table.setValue(QStringLiteral("Date"), date);
        table.setValue(QStringLiteral("Time_Start"), start);
        table.setValue(QStringLiteral("Location"), location);
        table.post();
    }

    void addFive() {
        add(QDate(2021, 6, 1), QStringLiteral("Cozumel"));
        add(QDate(2020, 1, 5), QStringLiteral("Dahab"));
        add(QDate(2022, 3, 9), QStringLiteral("Bonaire"));
        add(QDate(2020, 1, 5), QStringLiteral("Dahab night"), QTime(20, 0));
        add(QDate(2023, 12, 24), QStringLiteral("Roatan"));
    }

    // `count` dives on consecutive days, each at its own reef.
    void addReefs(int count) {
        for (int i = 0; i < count; ++i) {
            add(QDate(2020, 1, 1).addDays(i), QStringLiteral("Reef %1").arg(i));
        }
    }

    QString cell(int row, int column) const {
        return model.data(model.index(row, column), Qt::DisplayRole).toString();
    }
};

}  // namespace

class TestDbGrid : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void titlesAreFieldNamesAndDateIsRightAligned();
    void rowsAreInTableOrder();
    void rowCountFollowsInsertAndDelete();
    void fieldChangeRepaintsTheCurrentRow();
    void gridFollowsTableMoves();
    void tableFollowsGridSelection();
    void aMoveIsNotEchoedBack();
    void currentRowStaysInSightOnResize();
    void movingRepaintsNoTitleAndTheBarAsTheStyleDoes();
    void detachedGridShowsNoRows();
    void closedTableShowsNoRows();
};

void TestDbGrid::initTestCase() {
    RegionalFormats::force();
}

void TestDbGrid::titlesAreFieldNamesAndDateIsRightAligned() {
    TestSupport::TempFolders folders;
    GridFixture f;
    f.add(QDate(2020, 1, 5), QStringLiteral("Dahab"));
    QCOMPARE(f.model.columnCount(), 2);
    QCOMPARE(f.model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("Date"));
    QCOMPARE(f.model.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
             QStringLiteral("location"));
    QCOMPARE(f.model.headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::Alignment(Qt::AlignCenter));
    QCOMPARE(f.model.data(f.model.index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>(),
             Qt::AlignRight | Qt::AlignVCenter);
    QVERIFY(f.model.data(f.model.index(0, 1), Qt::TextAlignmentRole).value<Qt::Alignment>() &
            Qt::AlignLeft);
    QCOMPARE(f.cell(0, 0), QStringLiteral("1/5/2020"));
    // The column named in another case still finds its field.
    QCOMPARE(f.cell(0, 1), QStringLiteral("Dahab"));
}

void TestDbGrid::rowsAreInTableOrder() {
    TestSupport::TempFolders folders;
    GridFixture f;
    f.addFive();
    QCOMPARE(f.model.rowCount(), 5);
    const QStringList expected = {"Dahab", "Dahab night", "Cozumel", "Bonaire", "Roatan"};
    for (int row = 0; row < expected.size(); ++row) {
        QCOMPARE(f.cell(row, 1), expected[row]);
        QCOMPARE(f.cell(row, 0), f.table.displayText(row, f.table.fieldIndex("Date")));
    }
}

void TestDbGrid::rowCountFollowsInsertAndDelete() {
    TestSupport::TempFolders folders;
    GridFixture f;
    QCOMPARE(f.model.rowCount(), 0);
    f.addFive();
    QCOMPARE(f.model.rowCount(), 5);
    f.add(QDate(2019, 2, 2), QStringLiteral("Sipadan"));
    QCOMPARE(f.model.rowCount(), 6);
    QCOMPARE(f.cell(0, 1), QStringLiteral("Sipadan"));
    f.table.first();
    f.table.remove();
    QCOMPARE(f.model.rowCount(), 5);
    QCOMPARE(f.cell(0, 1), QStringLiteral("Dahab"));
    while (f.table.recordCount() > 0) {
        f.table.remove();
    }
    QCOMPARE(f.model.rowCount(), 0);
}

void TestDbGrid::fieldChangeRepaintsTheCurrentRow() {
    TestSupport::TempFolders folders;
    GridFixture f;
    f.addFive();
    f.table.setRecNo(3);
    QSignalSpy changed(&f.model, &QAbstractItemModel::dataChanged);
    f.table.edit();
    f.table.setValue(QStringLiteral("Location"), QStringLiteral("Klein Bonaire"));
    QVERIFY(!changed.isEmpty());
    const auto topLeft = changed.last().at(0).value<QModelIndex>();
    const auto bottomRight = changed.last().at(1).value<QModelIndex>();
    QCOMPARE(topLeft.row(), 2);
    QCOMPARE(bottomRight.row(), 2);
    QCOMPARE(bottomRight.column(), 1);
    f.table.post();
    QCOMPARE(f.cell(2, 1), QStringLiteral("Klein Bonaire"));
}

void TestDbGrid::gridFollowsTableMoves() {
    TestSupport::TempFolders folders;
    GridFixture f;
    f.addFive();
    QTableView view;
    new DbGridCursorLink(&view, &f.model);
    f.table.setRecNo(4);
    QCOMPARE(view.currentIndex().row(), 3);
    QVERIFY(view.selectionModel()->isRowSelected(3, {}));
    QCOMPARE(view.selectionModel()->selectedRows().size(), 1);
    f.table.first();
    QCOMPARE(view.currentIndex().row(), 0);
    f.table.last();
    QCOMPARE(view.currentIndex().row(), 4);
    // A new dive sorted into the middle becomes the current row there.
    f.add(QDate(2021, 1, 1), QStringLiteral("Sipadan"));
    QCOMPARE(f.table.recNo(), 3);
    QCOMPARE(view.currentIndex().row(), 2);
}

void TestDbGrid::tableFollowsGridSelection() {
    TestSupport::TempFolders folders;
    GridFixture f;
    f.addFive();
    QTableView view;
    new DbGridCursorLink(&view, &f.model);
    view.resize(400, 300);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                      view.visualRect(f.model.index(2, 1)).center());
    QCOMPARE(f.table.recNo(), 3);
    QCOMPARE(f.table.asString(QStringLiteral("Location")), QStringLiteral("Cozumel"));
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(f.table.recNo(), 4);
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(f.table.recNo(), 5);
    QCOMPARE(view.currentIndex().row(), 4);
}

void TestDbGrid::aMoveIsNotEchoedBack() {
    TestSupport::TempFolders folders;
    GridFixture f;
    f.addFive();
    QTableView view;
    new DbGridCursorLink(&view, &f.model);
    QSignalSpy tableMoves(&f.table, &Table::dataChanged);
    QSignalSpy gridMoves(view.selectionModel(), &QItemSelectionModel::currentRowChanged);
    view.setCurrentIndex(f.model.index(1, 0));
    QCOMPARE(f.table.recNo(), 2);
    QCOMPARE(tableMoves.size(), 1);
    QCOMPARE(gridMoves.size(), 1);
    f.table.setRecNo(5);
    QCOMPARE(gridMoves.size(), 2);
    QCOMPARE(tableMoves.size(), 2);
}

void TestDbGrid::currentRowStaysInSightOnResize() {
    TestSupport::TempFolders folders;
    GridFixture f;
    f.addReefs(60);
    QTableView view;
    new DbGridCursorLink(&view, &f.model);
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    f.table.setRecNo(45);
    QVERIFY(view.viewport()->rect().contains(view.visualRect(f.model.index(44, 0))));
    view.scrollTo(f.model.index(44, 0), QAbstractItemView::PositionAtBottom);
    view.resize(300, 120);
    QApplication::processEvents();
    QVERIFY(view.viewport()->rect().contains(view.visualRect(f.model.index(44, 0))));
}

// The bar is painted from copies of what the style painted for its look (its slider's copy drawn
// at other places too): they must give the style's painting, pixel for pixel, wherever the
// slider is, at the ends of the bar too.
void TestDbGrid::movingRepaintsNoTitleAndTheBarAsTheStyleDoes() {
    TestSupport::TempFolders folders;
    GridFixture f;
    f.addReefs(300);
    QTableView view;
    setUpDbGrid(&view, &f.model);
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QScrollBar plain(Qt::Vertical);
    QScrollBar* bar = view.verticalScrollBar();
    plain.resize(bar->size());
    TestSupport::EventCounter titles(view.horizontalHeader()->viewport(), QEvent::Paint);
    for (int row : {2, 100, 150, 151, 200, 299}) {
        f.table.setRecNo(row + 1);
        QApplication::processEvents();
        plain.setRange(bar->minimum(), bar->maximum());
        plain.setPageStep(bar->pageStep());
        plain.setValue(bar->value());
        QCOMPARE(bar->grab().toImage(), plain.grab().toImage());
    }
    QVERIFY(bar->testAttribute(Qt::WA_OpaquePaintEvent));
    QCOMPARE(titles.count, 0);
}

void TestDbGrid::detachedGridShowsNoRows() {
    TestSupport::TempFolders folders;
    GridFixture f;
    f.addFive();
    QTableView view;
    new DbGridCursorLink(&view, &f.model);
    f.model.setDataSource(nullptr);
    QCOMPARE(f.model.rowCount(), 0);
    // While detached the grid does not follow the table at all.
    f.add(QDate(2019, 2, 2), QStringLiteral("Sipadan"));
    f.table.setRecNo(4);
    QCOMPARE(f.model.rowCount(), 0);
    f.model.setDataSource(&f.source);
    QCOMPARE(f.model.rowCount(), 6);
    QCOMPARE(view.currentIndex().row(), 3);
}

void TestDbGrid::closedTableShowsNoRows() {
    TestSupport::TempFolders folders;
    GridFixture f;
    f.table.setFileName(QStringLiteral("dives.xml"));
    f.addFive();
    f.table.close();
    QCOMPARE(f.model.rowCount(), 0);
    QCOMPARE(f.cell(0, 1), QString());
    f.table.open();
    QCOMPARE(f.model.rowCount(), 5);
}

NEREVA_TEST_MAIN(TestDbGrid)
#include "test_db_grid.moc"
