// Measures the directory look-ups over a large cache: 10,000 locations with 50,000 sites (in
// 120 countries, 4 states and 3 counties each, and 40 regions) and 5,000 contacts. Times, each
// the minimum and median of 7 runs in one process:
//   - the location tree built by country, alone and as the dialog's timer builds and shows it
//     (with the preselected site found, selected and scrolled to);
//   - the same tree regrouped by region from the check box;
//   - the preselection alone (the site of the last location in tree order);
//   - the contact list loaded into the contact list window and into the buddy selection.
// Each figure is given as processor time and as wall time.
#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "cache/tdm_local_data.h"
#include "cache_text.h"
#include "dictionary/tdm_idioma.h"
#include "ui/lookup/location_tree.h"
#include "ui/lookup/lookup_controls.h"
#include "ui/lookup/lookup_tree_model.h"
#include "ui/lookup/tfrm_buddy_list.h"
#include "ui/lookup/tfrm_select_buddy.h"
#include "ui/lookup/tfrm_select_location.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

namespace {

constexpr int kLocations = 10000;
constexpr int kSitesPerLocation = 5;
constexpr int kContacts = 5000;
constexpr int kCountries = 120;
constexpr int kRegions = 40;
constexpr int kRuns = 7;

QByteArray locations() {
    QStringList records;
    records.reserve(kLocations);
    int siteId = 100000;
    for (int i = 0; i < kLocations; ++i) {
        CacheText::Location location{QString::number(1 + i),
                                     QStringLiteral("Dive area %1").arg(i),
                                     QStringLiteral("Country %1").arg(i % kCountries),
                                     QStringLiteral("State %1").arg(i / kCountries % 4),
                                     QStringLiteral("County %1").arg(i / kCountries / 4 % 3),
                                     QStringLiteral("Region %1").arg(i % kRegions),
                                     {}};
        for (int s = 0; s < kSitesPerLocation; ++s) {
            location.sites.append({siteId++, QStringLiteral("Site %1 of %2").arg(s).arg(i)});
        }
        records << CacheText::location(location);
    }
    return CacheText::document(records);
}

QByteArray contacts() {
    QStringList records;
    for (int i = 0; i < kContacts; ++i) {
        records << CacheText::contact(
            QString::number(1000 + i), QStringLiteral("Дайвер Ñandú %1").arg(i),
            QStringLiteral("user%1").arg(i), QStringLiteral("user%1@example.org").arg(i), "Peru");
    }
    return CacheText::document(records);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Wall and processor time; the machine is shared, so the processor time is the steadier figure.
void report(const char* what, const std::function<void()>& run) {
    QVector<double> wall;
    QVector<double> cpu;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer clock;
        clock.start();
        const double cpuStart = cpuMilliseconds();
        run();
        cpu << cpuMilliseconds() - cpuStart;
        wall << clock.nsecsElapsed() / 1e6;
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-52s %8.1f %8.1f   %8.1f %8.1f\n", what, cpu.first(), cpu[kRuns / 2],
                wall.first(), wall[kRuns / 2]);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    Tdm_const settings;
    dm_const = &settings;
    settings.DataModuleCreate();
    TdmIdioma dictionary;  // the dialogs' titles; untranslated when no dictionary is found
    dmIdioma = &dictionary;
    try {
        dictionary.DataModuleCreate();
    } catch (const AppError&) {
    }
    writeFile(settings.AppDataDir + QStringLiteral("locations.xml"), locations());
    writeFile(settings.AppDataDir + QStringLiteral("contactlist.xml"), contacts());
    TdmLocalData cache;
    dmLocalData = &cache;
    cache.DataModuleCreate();
    const XmlElement root = cache.XMLLocations.doc.documentElement();
    // The site of the last location of the file: it lands late in tree order as well.
    const int lastLocation = kLocations;
    const int lastSite = 100000 + kLocations * kSitesPerLocation - 1;

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf("%d locations, %d sites, %d contacts; %d runs each, milliseconds\n", kLocations,
                kLocations * kSitesPerLocation, kContacts, kRuns);
    std::printf("%-52s %8s %8s   %8s %8s\n", "", "cpu min", "median", "wall min", "median");
    LookupTree tree;
    report("location tree by country (no window)", [&] { LocationTree::build(root, false, tree); });
    std::printf("  %d nodes\n", tree.size());
    report("location tree by region (no window)", [&] { LocationTree::build(root, true, tree); });
    LocationTree::build(root, false, tree);
    int found = -1;
    report("preselection of a site (no window)",
           [&] { found = LocationTree::preselection(tree, lastLocation, lastSite); });
    if (found < 0 || tree.node(found).tag != lastSite) {
        std::fprintf(stderr, "preselection missed\n");
        return 1;
    }

    settings.ViewRegionSites = false;
    TFrmSelectLocation location(nullptr, nullptr, nullptr);
    location.IdLocation = lastLocation;
    location.IdSite = lastSite;
    location.show();
    report("dialog: tree built, site selected and shown", [&] {
        location.Timer1Timer();
        QApplication::processEvents();
    });
    report("dialog: regrouped by region from the check box", [&] {
        location.ui->ck_sites_view->click();
        location.Timer1Timer();
        QApplication::processEvents();
    });

    TFrmBuddyList list(nullptr, nullptr);
    list.FocusId = 1000 + kContacts - 1;
    list.show();
    report("contact list window: list loaded, last contact focused", [&] {
        list.Timer1Timer();
        QApplication::processEvents();
    });
    TFrmSelectBuddy buddy(nullptr, nullptr);
    buddy.ContactId = 1000 + kContacts - 1;
    buddy.show();
    report("buddy selection: list loaded, contact selected", [&] {
        buddy.Timer1Timer();
        QApplication::processEvents();
    });
    dmLocalData = nullptr;
    dmIdioma = nullptr;
    dm_const = nullptr;
    return 0;
}
