#include "app/startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Startup startup;
    if (!startup.start()) {
        return 0;
    }
    return startup.run();
}
