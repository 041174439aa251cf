#include "test_support.h"
#include "ui/db/controls/look_cache.h"

#include <QLineEdit>
#include <QTest>
#include <functional>

class TestLookCache : public QObject {
    Q_OBJECT
private slots:
    void editsLookAsTheStylePaintsThem();
};

namespace {

// The edit as it is painted, with the keyboard focus or without.
QImage lookOf(QLineEdit* edit, QWidget* elsewhere, bool focused) {
    focused ? edit->setFocus() : elsewhere->setFocus();
    QApplication::processEvents();
    return edit->grab().toImage();
}

}  // namespace

// An edit's frame is copied from what the style painted for that look: it must be the style's
// painting, pixel for pixel, in every state and size, and a change of look must not show an
// older copy.
void TestLookCache::editsLookAsTheStylePaintsThem() {
    TestSupport::TempFolders folders;
    QApplication::setCursorFlashTime(0);  // a steady cursor in the focused edit
    QWidget window;
    window.setFocusPolicy(Qt::StrongFocus);
    auto* plain = new QLineEdit(QStringLiteral("Palancar"), &window);
    auto* cached = new QLineEdit(QStringLiteral("Palancar"), &window);
    LookCache::on(cached);
    plain->setGeometry(10, 10, 120, 22);
    cached->setGeometry(10, 50, 120, 22);
    window.resize(200, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const std::function<void(QLineEdit*)> steps[] = {
        [](QLineEdit*) {},
        [](QLineEdit* edit) { edit->setReadOnly(true); },
        [](QLineEdit* edit) {
            QPalette palette = edit->palette();
            palette.setColor(QPalette::Base, palette.color(QPalette::Button));
            edit->setPalette(palette);
        },
        [](QLineEdit* edit) { edit->resize(60, 30); },
        [](QLineEdit* edit) { edit->setFrame(false); },
        [](QLineEdit* edit) { edit->setEnabled(false); },
    };
    int step = 0;
    for (const auto& change : steps) {
        change(plain);
        change(cached);
        for (bool focused : {false, true}) {
            QVERIFY2(lookOf(cached, &window, focused) == lookOf(plain, &window, focused),
                     qPrintable(QStringLiteral("after change %1").arg(step)));
        }
        ++step;
    }
}

NEREVA_TEST_MAIN(TestLookCache)
#include "test_look_cache.moc"
