// The depth profile on the DC Profile page: it follows the current dive, reads its rows in time
// order and in the dive's depth unit, marks the deepest point and the alarms, and shows a quiet
// line for a dive without a profile.
#include "main_fixture.h"
#include "ui/main/dive_profile_view.h"

namespace {

const QColor kDeepestMark(200, 40, 40);
const QColor kAlarmMark(235, 140, 0);

void addSample(Tdm_rdp& tables, int time, double depth, int alarm = 0) {
    Table* profile = tables.cds_profile;
    profile->append();
    profile->setValue(QStringLiteral("time"), time);
    profile->setValue(QStringLiteral("depth"), depth);
    if (alarm) {
        profile->setValue(QStringLiteral("alarm"), alarm);
    }
    profile->post();
}

// Pixels of `image` within a small distance of `color`.
int pixelsLike(const QImage& image, const QColor& color) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - color.red()) < 12 &&
                std::abs(pixel.green() - color.green()) < 12 &&
                std::abs(pixel.blue() - color.blue()) < 12) {
                ++count;
            }
        }
    }
    return count;
}

}  // namespace

class TestDiveProfileView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void followsTheCurrentDive();
    void marksTheDeepestPointAndAlarms();
};

void TestDiveProfileView::followsTheCurrentDive() {
    MainFixture f;
    f.addDive(QDate(2024, 3, 2), QStringLiteral("Cozumel"));
    f.tables->cds_conditions->edit();
    f.tables->cds_conditions->setValue(QStringLiteral("depth_unit"), 2);
    f.tables->cds_conditions->post();
    addSample(*f.tables, 600, 98.4, 3);  // rows need not be in time order
    addSample(*f.tables, 0, 0);
    addSample(*f.tables, 1800, 12.0);
    f.addDive(QDate(2024, 3, 3), QStringLiteral("Dahab"));
    addSample(*f.tables, 0, 0);
    addSample(*f.tables, 60, 30.5);
    f.addDive(QDate(2024, 3, 4), QStringLiteral("Without a profile"));
    TFrm_Principal* window = f.open();
    auto* view = window->findChild<DiveProfileView*>();
    QVERIFY(view);
    QCOMPARE(view->parentWidget()->objectName(), QStringLiteral("DC_Panel_Dock"));

    Table* dives = f.tables->cds_dives;
    dives->first();
    QCOMPARE(view->points().size(), 3);
    QCOMPARE(view->points()[0].time, 0);
    QCOMPARE(view->points()[1].time, 600);
    QCOMPARE(view->deepest(), 1);
    QCOMPARE(view->points()[1].alarm, 3);
    QCOMPARE(view->depthUnit(), QStringLiteral("ft"));

    dives->next();
    QCOMPARE(view->points().size(), 2);
    QCOMPARE(view->points()[view->deepest()].depth, 30.5);
    QCOMPARE(view->depthUnit(), QStringLiteral("m"));

    dives->next();
    QVERIFY(view->points().isEmpty());
    QCOMPARE(view->deepest(), -1);

    dives->first();
    QCOMPARE(view->points().size(), 3);
    // The unit follows an edit of the dive's conditions.
    f.tables->cds_conditions->edit();
    f.tables->cds_conditions->setValue(QStringLiteral("depth_unit"), 1);
    f.tables->cds_conditions->post();
    QCOMPARE(view->depthUnit(), QStringLiteral("m"));
}

void TestDiveProfileView::marksTheDeepestPointAndAlarms() {
    MainFixture f;
    f.addDive(QDate(2024, 3, 2), QStringLiteral("Cozumel"));
    for (const auto& [time, depth, alarm] :
         {std::tuple{0, 0.0, 0}, {120, 12.0, 0}, {600, 28.0, 0}, {1500, 14.0, 1}, {2400, 0.0, 0}}) {
        addSample(*f.tables, time, depth, alarm);
    }
    f.addDive(QDate(2024, 3, 3), QStringLiteral("No profile"));
    TFrm_Principal* window = f.open();
    auto* view = window->findChild<DiveProfileView*>();
    view->resize(420, 220);

    f.tables->cds_dives->first();
    const QImage drawn = view->grab().toImage();
    QVERIFY(pixelsLike(drawn, kDeepestMark) > 10);
    QVERIFY(pixelsLike(drawn, kAlarmMark) > 5);

    f.tables->cds_dives->next();
    const QImage empty = view->grab().toImage();
    QCOMPARE(pixelsLike(empty, kDeepestMark), 0);
    QCOMPARE(pixelsLike(empty, kAlarmMark), 0);
}

NEREVA_TEST_MAIN(TestDiveProfileView)
#include "test_dive_profile_view.moc"
