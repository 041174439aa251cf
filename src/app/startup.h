#pragma once

#include <QPointer>
#include <functional>
#include <memory>

class QApplication;
class TFrmSplash;
class Tdm_rdp;

// The program's start-up and shutdown: creates the long-lived modules in their fixed order behind
// the splash, and destroys them in reverse order at the end.
class Startup {
public:
    Startup();
    ~Startup();  // destroys the modules in reverse order of creation

    // Creates everything. False when the main window could not be created; the program then
    // ends without running the message loop.
    bool start();
    // Runs the message loop until the main window closes.
    int run();

    TFrmSplash* splash() const;

    // Test seam: how the tables module is built (the place where a table engine that cannot be
    // loaded fails).
    static void setTablesFactory(std::function<Tdm_rdp*()> factory);

private:
    void createSettings();
    void createDictionary();
    void createCache();
    void createGuardedModules();
    void connectMainWindow();
    void saveTablesBeforeExit();

    QPointer<TFrmSplash> splash_;
};
