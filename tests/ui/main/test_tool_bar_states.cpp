#include "test_support.h"
#include "ui/main/tool_bar_states.h"

#include <QAction>
#include <QMainWindow>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

class TestToolBarStates : public QObject {
    Q_OBJECT
private slots:
    void buttonsFollowTheirActions();
};

// Enabled state and check mark reach the button without a new layout of the window; every other
// change of the action still reaches the button and the bar.
void TestToolBarStates::buttonsFollowTheirActions() {
    TestSupport::TempFolders folders;
    QMainWindow window;
    QToolBar* bar = window.addToolBar(QStringLiteral("Dive"));
    QAction* remove = bar->addAction(QStringLiteral("Delete"));
    QAction* lock = bar->addAction(QStringLiteral("Lock"));
    lock->setCheckable(true);
    followActionStatesLightly(bar);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* removeButton = qobject_cast<QToolButton*>(bar->widgetForAction(remove));
    auto* lockButton = qobject_cast<QToolButton*>(bar->widgetForAction(lock));
    TestSupport::EventCounter layouts(&window, QEvent::LayoutRequest);
    for (bool on : {false, true, false}) {
        remove->setEnabled(on);
        lock->setChecked(!on);
        QApplication::processEvents();
        QCOMPARE(removeButton->isEnabled(), on);
        QCOMPARE(lockButton->isChecked(), !on);
    }
    QCOMPARE(layouts.count, 0);
    remove->setText(QStringLiteral("Delete the dive"));
    lock->setVisible(false);
    QApplication::processEvents();
    QCOMPARE(removeButton->text(), QStringLiteral("Delete the dive"));
    QVERIFY(lockButton->isHidden());
    remove->setEnabled(true);
    QApplication::processEvents();
    QVERIFY(removeButton->isEnabled());
}

NEREVA_TEST_MAIN(TestToolBarStates)
#include "test_tool_bar_states.moc"
