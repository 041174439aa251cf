// Renders every window built so far to PNG files, offscreen, over a small sample log, so anyone
// can look at them without a display. Usage: render-windows <output folder>
#include "app/settings/tdm_const.h"
#include "app/startup.h"
#include "app/tfrm_config.h"
#include "app/tfrm_license.h"
#include "app/tfrm_splash.h"
#include "store/tdm_rdp.h"
#include "test_support.h"
#include "ui/main/tfrm_principal.h"
#include "ui_tfrm_config.h"

#include <QDir>
#include <QTabWidget>
#include <cstdio>

namespace {

QString outputFolder;

void save(QWidget* window, const QString& name) {
    window->show();
    QApplication::processEvents();
    const QString file = outputFolder + QLatin1Char('/') + name + QStringLiteral(".png");
    window->grab().save(file);
    std::printf("%s\n", qPrintable(file));
}

struct SampleDive {
    QDate date;
    QTime start;
    const char* location;
    const char* site;
    double maxDepth;
    const char* bottomTime;
};

void addSampleLog() {
    const SampleDive dives[] = {
        {QDate(2024, 3, 2), QTime(9, 30), "Cozumel", "Palancar Reef", 24.5, "00:48"},
        {QDate(2024, 3, 2), QTime(14, 10), "Cozumel", "Columbia Wall", 30, "00:41"},
        {QDate(2024, 8, 17), QTime(10, 0), "Blue Hole, Dahab", "The Arch", 28, "00:35"},
        {QDate(2025, 1, 5), QTime(8, 45), "Great Barrier Reef", "Cod Hole", 18, "00:55"},
    };
    Table* t = dm_rdp->cds_dives;
    for (const SampleDive& d : dives) {
        t->append();
        t->setValue("Date", d.date);
        t->setValue("Time_Start", d.start);
        t->setValue("Location", QString::fromUtf8(d.location));
        t->setValue("Site", QString::fromUtf8(d.site));
        t->post();
        dm_rdp->cds_conditions->append();
        dm_rdp->cds_conditions->setValue("max_depth", d.maxDepth);
        dm_rdp->cds_conditions->setValue("depth_unit", 1);
        dm_rdp->cds_conditions->setValue("bottom_time", QString::fromLatin1(d.bottomTime));
        dm_rdp->cds_conditions->post();
    }
    t->first();
}

void renderOptions() {
    TFrm_config options(Frm_Principal);
    QTabWidget* pages = options.form()->PageControl1;
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        save(&options, QStringLiteral("options-%1").arg(i + 1));
    }
}

}  // namespace

int main(int argc, char** argv) {
    TestSupport::prepareProcess();
    QApplication app(argc, argv);
    outputFolder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(outputFolder);
    outputFolder = QDir(outputFolder).absolutePath();
    const QString source = qEnvironmentVariable("NEREVA_SOURCE_DIR");
    TestSupport::TempFolders folders;
    QFile::copy(source + QStringLiteral("/resources/language.xml"), QStringLiteral("language.xml"));
    Startup startup;
    if (!startup.start()) {
        return 1;
    }
    save(startup.splash(), QStringLiteral("splash"));
    addSampleLog();
    save(Frm_Principal, QStringLiteral("main-window"));
    TFrm_License about(Frm_Principal);
    save(&about, QStringLiteral("about"));
    renderOptions();
    Frm_Principal->close();
    return 0;
}
