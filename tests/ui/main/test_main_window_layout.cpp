#include "main_fixture.h"
#include "ui/main/principal_rules.h"

#include <QGridLayout>
#include <QSplitter>

namespace {

void writePosition(MainFixture& f, const QMap<QString, int>& keys) {
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        f.ini().writeInteger(QStringLiteral("Position"), it.key(), it.value());
    }
}

int bandRow(Ui::TFrm_Principal* ui, QWidget* band) {
    auto* grid = qobject_cast<QGridLayout*>(ui->barDetails->layout());
    int row = -1, column = -1, rows = 0, columns = 0;
    grid->getItemPosition(grid->indexOf(band), &row, &column, &rows, &columns);
    return row;
}

}  // namespace

class TestMainWindowLayout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void firstRunSize_data();
    void firstRunSize();
    void statusBarPanels();
    void secondWindowRestoresPlace();
    void placeOnTheScreens_data();
    void placeOnTheScreens();
    void storedPlaceOffEveryScreenComesBack();
    void closingMaximisedKeepsTheNormalPlace();
    void panelKeysRoundTrip();
    void hiddenLeftPanelKeepsItsWidth();
    void divesListHeightWithTheToolPanel();
    void closingPostsPendingEdits();
    void noSettingsFile();
};

void TestMainWindowLayout::initTestCase() {
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestMainWindowLayout::firstRunSize_data() {
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("expected");
    QTest::addColumn<int>("leftPanel");
    QTest::newRow("800") << QRect(0, 0, 800, 600) << QRect(25, 50, 750, 500) << 200;
    QTest::newRow("1024") << QRect(0, 0, 1024, 768) << QRect(37, 84, 950, 600) << 300;
    QTest::newRow("1920 beside") << QRect(1024, 0, 1920, 1080) << QRect(1509, 240, 950, 600) << 300;
}

void TestMainWindowLayout::firstRunSize() {
    QFETCH(QRect, screen);
    QFETCH(QRect, expected);
    QFETCH(int, leftPanel);
    MainFixture f;
    TFrm_Principal* window = f.open(screen);
    QCOMPARE(window->pos(), expected.topLeft());
    QCOMPARE(window->size(), expected.size());
    QCOMPARE(window->leftPanelWidth(), leftPanel);
    QVERIFY(!window->isMaximized());
    window->show();
    QApplication::processEvents();
    QCOMPARE(window->ui->pnl_dives_tree->width(), leftPanel);
    // The first close stores the place.
    f.closeWindow();
    QCOMPARE(f.position("Principal_State"), 1);
    QCOMPARE(f.position("Principal_x"), expected.x());
    QCOMPARE(f.position("Principal_w"), expected.width());
    QCOMPARE(f.position("Dives_tree_w"), leftPanel);
}

void TestMainWindowLayout::statusBarPanels() {
    MainFixture f;
    TFrm_Principal* window = f.openShown();
    // Panel 0 follows the stored left panel width (180 by default), the others are fixed.
    QCOMPARE(window->statusWidth(0), 185);
    QCOMPARE(window->statusWidth(1), 80);
    QCOMPARE(window->statusWidth(2), 130);
    QCOMPARE(window->statusWidth(3), 50);
    QCOMPARE(window->statusText(0), QString());
    QCOMPARE(window->statusText(3), QString());
}

void TestMainWindowLayout::secondWindowRestoresPlace() {
    MainFixture f;
    TFrm_Principal* first = f.openShown();
    first->move(40, 50);
    first->resize(700, 450);
    f.closeWindow();
    QCOMPARE(f.position("Principal_x"), 40);
    QCOMPARE(f.position("Principal_y"), 50);
    QCOMPARE(f.position("Principal_w"), 700);
    QCOMPARE(f.position("Principal_h"), 450);
    QCOMPARE(f.position("Principal_State"), 1);
    TFrm_Principal* second = f.open(QRect(0, 0, 800, 600));
    QCOMPARE(second->pos(), QPoint(40, 50));
    QCOMPARE(second->size(), QSize(700, 450));
    QVERIFY(!second->isMaximized());
    // A stored place wins over the first-run left panel width too.
    QCOMPARE(second->leftPanelWidth(), 300);
}

void TestMainWindowLayout::placeOnTheScreens_data() {
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QRect>("placed");
    const QRect home(0, 0, 1024, 768);
    QTest::newRow("on the screen") << QRect(40, 50, 700, 450) << QRect(40, 50, 700, 450);
    QTest::newRow("on the second screen")
        << QRect(1200, 100, 700, 450) << QRect(1200, 100, 700, 450);
    QTest::newRow("partly off, title bar on a screen")
        << QRect(-300, 600, 700, 450) << QRect(-300, 600, 700, 450);
    QTest::newRow("beyond the second screen")
        << QRect(5000, 4000, 700, 450) << QRect(162, 159, 700, 450);
    QTest::newRow("title bar above every screen")
        << QRect(100, -500, 700, 450) << QRect(162, 159, 700, 450);
    QTest::newRow("a corner to grab is too small")
        << QRect(-690, 100, 700, 450) << QRect(162, 159, 700, 450);
    QTest::newRow("larger than the screen, off it")
        << QRect(-3000, 0, 2000, 1500) << QRect(0, 0, 1024, 768);
}

// A place stored on a screen since removed (or a larger desktop) brings the window back onto
// the screen it opens on; a place any screen shows enough of to drag it stays.
void TestMainWindowLayout::placeOnTheScreens() {
    QFETCH(QRect, stored);
    QFETCH(QRect, placed);
    const QRect home(0, 0, 1024, 768);
    QCOMPARE(windowPlaceOnScreens(stored, {home, QRect(1024, 0, 1280, 1024)}, home), placed);
}

void TestMainWindowLayout::storedPlaceOffEveryScreenComesBack() {
    MainFixture f;
    writePosition(f, {{"Principal_x", 5000},
                      {"Principal_y", 4000},
                      {"Principal_w", 700},
                      {"Principal_h", 450},
                      {"Principal_State", 1}});
    TFrm_Principal* window = f.open(QRect(0, 0, 1024, 768));
    QCOMPARE(window->pos(), QPoint(162, 159));
    QCOMPARE(window->size(), QSize(700, 450));
    f.closeWindow();
    QCOMPARE(f.position("Principal_x"), 162);
    QCOMPARE(f.position("Principal_y"), 159);
}

void TestMainWindowLayout::closingMaximisedKeepsTheNormalPlace() {
    MainFixture f;
    writePosition(f, {{"Principal_x", 60},
                      {"Principal_y", 70},
                      {"Principal_w", 640},
                      {"Principal_h", 480},
                      {"Principal_State", 1}});
    TFrm_Principal* window = f.openShown();
    QCOMPARE(window->pos(), QPoint(60, 70));
    window->showMaximized();
    QApplication::processEvents();
    f.closeWindow();
    QCOMPARE(f.position("Principal_State"), 0);
    QCOMPARE(f.position("Principal_x"), 60);
    QCOMPARE(f.position("Principal_y"), 70);
    QCOMPARE(f.position("Principal_w"), 640);
    QCOMPARE(f.position("Principal_h"), 480);
    // The next start puts the window at its normal place, then maximises it.
    TFrm_Principal* next = f.open();
    QVERIFY(next->isMaximized());
    next->show();
    next->showNormal();
    QApplication::processEvents();
    QCOMPARE(next->size(), QSize(640, 480));
    QCOMPARE(next->pos(), QPoint(60, 70));
}

void TestMainWindowLayout::panelKeysRoundTrip() {
    MainFixture f;
    writePosition(f, {{"Dives_tree_w", 240},
                      {"Dives_h", 150},
                      {"Location_break", 1},
                      {"Principal_x", 10},
                      {"Principal_y", 10},
                      {"Principal_w", 900},
                      {"Principal_h", 650},
                      {"Principal_State", 1}});
    TFrm_Principal* window = f.openShown();
    Ui::TFrm_Principal* ui = window->ui;
    QCOMPARE(window->leftPanelWidth(), 240);
    QCOMPARE(ui->pnl_dives_tree->width(), 240);
    QCOMPARE(window->statusWidth(0), 245);
    QCOMPARE(window->divesListHeight(), 150);
    QVERIFY(window->locationBreak());
    QCOMPARE(bandRow(ui, ui->pnlLocations), 1);
    // A wider window gives the room to the editor; the dive list keeps its width.
    window->resize(1000, 650);
    QApplication::processEvents();
    QCOMPARE(ui->pnl_dives_tree->width(), 240);
    window->setLocationBreak(false);
    QCOMPARE(bandRow(ui, ui->pnlLocations), 0);
    window->setLeftPanelWidth(220);
    f.closeWindow();
    QCOMPARE(f.position("Dives_tree_w"), 220);
    QCOMPARE(f.position("Dives_h"), 150);
    QCOMPARE(f.position("Location_break"), 0);
    TFrm_Principal* next = f.open();
    QCOMPARE(next->leftPanelWidth(), 220);
    QVERIFY(!next->locationBreak());
}

void TestMainWindowLayout::hiddenLeftPanelKeepsItsWidth() {
    MainFixture f;
    writePosition(f, {{"Dives_tree_w", 260}, {"Principal_x", 0}});
    TFrm_Principal* window = f.openShown();
    window->ui->DivesTree1->trigger();
    QVERIFY(window->ui->pnl_dives_tree->isHidden());
    f.closeWindow();
    QCOMPARE(f.position("Dives_tree_w"), 260);
}

void TestMainWindowLayout::divesListHeightWithTheToolPanel() {
    MainFixture f;
    writePosition(f, {{"Principal_x", 0},
                      {"Principal_y", 0},
                      {"Principal_w", 900},
                      {"Principal_h", 700},
                      {"Principal_State", 1}});
    TFrm_Principal* window = f.openShown();
    Ui::TFrm_Principal* ui = window->ui;
    QWidget* tool = new QWidget;
    window->dockUnitsTool(tool);
    QApplication::processEvents();
    // Without a stored height the dive list keeps 80 pixels and the tool panel takes the rest.
    QCOMPARE(ui->pnl_dives->height(), 80);
    QCOMPARE(window->divesListHeight(), 80);
    QVERIFY(ui->pnl_UnitConvert->height() > 186);
    window->setDivesListHeight(200);
    QApplication::processEvents();
    QCOMPARE(ui->pnl_dives->height(), 200);
    f.closeWindow();
    QCOMPARE(f.position("Dives_h"), 200);
    TFrm_Principal* next = f.openShown();
    auto* again = new QWidget;
    next->dockUnitsTool(again);
    QApplication::processEvents();
    QCOMPARE(next->ui->pnl_dives->height(), 200);
}

void TestMainWindowLayout::closingPostsPendingEdits() {
    MainFixture f;
    f.addDive(QDate(2024, 3, 2), QStringLiteral("Cozumel"));
    TFrm_Principal* window = f.openShown();
    Table* dives = window->ds_dives->dataSet();
    dives->edit();
    dives->setValue(QStringLiteral("Location"), QStringLiteral("Palancar"));
    Table* equipment = window->ds_equip->dataSet();
    equipment->edit();  // no row yet: starts the dive's equipment row
    equipment->setValue(QStringLiteral("pres_in"), 200.0);
    f.closeWindow();
    QCOMPARE(dives->state(), Table::State::Browse);
    QCOMPARE(equipment->state(), Table::State::Browse);
    QCOMPARE(equipment->recordCount(), 1);
    QCOMPARE(equipment->asInteger(QStringLiteral("pres_in")), 200);
    dives->first();
    QCOMPARE(dives->asString(QStringLiteral("Location")), QStringLiteral("Palancar"));
    QVERIFY(f.messages.isEmpty());
}

void TestMainWindowLayout::noSettingsFile() {
    MainFixture f;
    f.settings->IniFile.reset();
    TFrm_Principal* window = f.open(QRect(0, 0, 800, 600));
    QCOMPARE(window->size(), QSize(750, 500));
    QCOMPARE(window->leftPanelWidth(), 200);
    QCOMPARE(window->statusWidth(0), 185);
    window->show();
    QVERIFY(window->close());
}

NEREVA_TEST_MAIN(TestMainWindowLayout)
#include "test_main_window_layout.moc"
