#include "test_support.h"
#include "ui/db/controls/backdrop.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <functional>

namespace {

// An edit and a list in a group box on a tab page, the way the dive editor holds its fields:
// the tab page and the group box each paint a background of their own behind them.
struct Form {
    QWidget window;
    QTabWidget* tabs = new QTabWidget(&window);
    QWidget* page = new QWidget;
    QGroupBox* box = new QGroupBox(QStringLiteral("Conditions"), page);
    QLineEdit* edit = new QLineEdit(QStringLiteral("Palancar"), box);
    QComboBox* list = new QComboBox(box);

    explicit Form(bool withBackdrops) {
        tabs->addTab(page, QStringLiteral("Simple"));
        tabs->setGeometry(5, 5, 300, 200);
        box->setGeometry(10, 10, 260, 140);
        edit->setGeometry(20, 30, 120, 22);
        list->setGeometry(20, 70, 120, 24);
        list->addItems({QStringLiteral("bar"), QStringLiteral("psi")});
        if (withBackdrops) {
            Backdrop::under(edit);
            Backdrop::under(list);
        }
        window.resize(320, 220);
        window.show();
    }

    // The window as it is on the screen (what the repaints left there).
    QImage onScreen() {
        QCoreApplication::processEvents();
        return window.screen()->grabWindow(window.winId()).toImage();
    }
};

}  // namespace

class TestBackdrop : public QObject {
    Q_OBJECT
private slots:
    void paintsWhatTheParentsShowBehind();
    void aChangeRepaintsOnlyTheControl();
};

// Whatever happens to the controls and their parents, the screen shows what it shows with
// transparent controls.
void TestBackdrop::paintsWhatTheParentsShowBehind() {
    TestSupport::TempFolders folders;
    Form plain(false);
    Form opaque(true);
    QVERIFY(QTest::qWaitForWindowExposed(&plain.window));
    QVERIFY(QTest::qWaitForWindowExposed(&opaque.window));
    const std::function<void(Form&)> steps[] = {
        [](Form&) {},
        [](Form& f) { f.edit->setText(QStringLiteral("Santa Rosa Wall")); },
        [](Form& f) { f.list->setCurrentIndex(1); },
        [](Form& f) { f.edit->setEnabled(false); },
        [](Form& f) { f.edit->move(130, 30); },
        [](Form& f) { f.box->resize(200, 150); },
        [](Form& f) { f.box->setEnabled(false); },
        [](Form& f) {
            QPalette palette = f.box->palette();
            palette.setColor(QPalette::Window, Qt::darkCyan);
            f.box->setPalette(palette);
            f.box->setAutoFillBackground(true);
        },
    };
    int step = 0;
    for (const auto& change : steps) {
        change(plain);
        change(opaque);
        QVERIFY2(opaque.onScreen() == plain.onScreen(),
                 qPrintable(QStringLiteral("after change %1").arg(step)));
        ++step;
    }
}

// A control that changes is repainted alone, its parents not (the style's polish, which clears
// the opaque mark of lists, does not bring them back).
void TestBackdrop::aChangeRepaintsOnlyTheControl() {
    TestSupport::TempFolders folders;
    Form form(true);
    QVERIFY(QTest::qWaitForWindowExposed(&form.window));
    form.onScreen();
    TestSupport::EventCounter box(form.box, QEvent::Paint);
    TestSupport::EventCounter page(form.page, QEvent::Paint);
    TestSupport::EventCounter edit(form.edit, QEvent::Paint);
    TestSupport::EventCounter list(form.list, QEvent::Paint);
    form.edit->setText(QStringLiteral("Columbia Deep"));
    form.list->setCurrentIndex(1);
    form.onScreen();
    QVERIFY(edit.count > 0);
    QVERIFY(list.count > 0);
    QCOMPARE(box.count, 0);
    QCOMPARE(page.count, 0);
}

NEREVA_TEST_MAIN(TestBackdrop)
#include "test_backdrop.moc"
