#pragma once

#include <QApplication>
#include <QEvent>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

namespace TestSupport {

// Sets the process up for a windowless test run: offscreen platform, a private runtime folder,
// and the offscreen plugin's noise filtered out. Call before the application object exists.
void prepareProcess();
// Filters the offscreen platform's noise out of the current message handler.
void installQuietHandler();

// A fresh data folder ($XDG_DATA_HOME) and working folder for one test; the previous working
// folder and data folder come back when it goes.
class TempFolders {
public:
    TempFolders();
    ~TempFolders();
    TempFolders(const TempFolders&) = delete;
    TempFolders& operator=(const TempFolders&) = delete;

    QString root() const { return dir_.path(); }
    QString dataHome() const;  // what $XDG_DATA_HOME points to
    QString work() const;      // the current folder while this object lives
    QString appData() const;   // the program's own data folder, with a trailing "/"

private:
    QTemporaryDir dir_;
    QString oldCwd_;
    QByteArray oldDataHome_;
};

// Counts the events of one type that an object receives while the counter lives.
class EventCounter : public QObject {
public:
    EventCounter(QObject* watched, QEvent::Type type) : type_(type) {
        watched->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == type_ ? 1 : 0;
        return false;
    }

private:
    QEvent::Type type_;
};

// Reads a whole file as bytes; empty when it does not exist.
QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& data);

}  // namespace TestSupport

// main() for a Qt Test object that needs an application object.
#define NEREVA_TEST_MAIN(TestObject)          \
    int main(int argc, char** argv) {         \
        TestSupport::prepareProcess();        \
        QApplication app(argc, argv);         \
        TestObject tc;                        \
        return QTest::qExec(&tc, argc, argv); \
    }
