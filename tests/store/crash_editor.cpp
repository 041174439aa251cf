// Helper for the crash test: opens the log of $XDG_DATA_HOME as the program does and edits its
// dives without end (updates, new dives, deletions, now and then a bulk change or a save of
// everything), until it is killed. It reports on standard output, one line each:
//   ready                          the tables are open
//   U|I <change> <id> <site>       a dive posted with that site, as change number <change>
//   D <change> <id>                a dive deleted
//   S <change>                     every change up to <change> is on the disk
//   B                              a bulk change or a save of the whole table begins
// Usage: store_crash_editor SEED
#include "app/settings/tdm_const.h"
#include "store/tdm_rdp.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTimer>
#include <cstdio>

namespace {

class Editor {
public:
    Editor(Tdm_rdp& tables, quint32 seed) : tables_(tables), random_(seed), seed_(seed) {}

    void step() {
        const int roll = int(random_.bounded(100));
        if (roll < 3) {
            bulkChange();
        } else if (roll < 5) {
            announceBulk();
            tables_.saveAll();
            reportSaved();
        } else if (roll < 15) {
            insertDive();
        } else if (roll < 22) {
            deleteDive();
        } else {
            updateDive();
        }
    }
    void reportSaved() {
        std::printf("S %llu\n", static_cast<unsigned long long>(dives().savedChangeCount()));
        std::fflush(stdout);
    }

private:
    Table& dives() { return *tables_.cds_dives; }
    QString nextSite() { return QStringLiteral("s%1-%2").arg(seed_).arg(++sites_); }

    void report(char kind) {
        std::printf("%c %llu %d %s\n", kind, static_cast<unsigned long long>(dives().changeCount()),
                    dives().asInteger("id_local_dive"), qPrintable(dives().asString("Site")));
        std::fflush(stdout);
    }
    bool toRandomDive() {
        if (dives().recordCount() == 0) {
            return false;
        }
        dives().setRecNo(1 + int(random_.bounded(dives().recordCount())));
        return true;
    }
    void updateDive() {
        if (!toRandomDive()) {
            return;
        }
        dives().edit();
        dives().setValue("Site", nextSite());
        if (random_.bounded(4) == 0) {  // moves the dive in the order
            dives().setValue("Date", QDate(2000, 1, 1).addDays(random_.bounded(4000)));
        }
        dives().post();
        report('U');
    }
    void insertDive() {
        dives().append();
        dives().setValue("Date", QDate(2000, 1, 1).addDays(random_.bounded(4000)));
        dives().setValue("Site", nextSite());
        dives().post();
        report('I');
    }
    void deleteDive() {
        if (!toRandomDive()) {
            return;
        }
        const int id = dives().asInteger("id_local_dive");
        dives().remove();
        std::printf("D %llu %d\n", static_cast<unsigned long long>(dives().changeCount()), id);
        std::fflush(stdout);
    }
    // As a synchronisation's write-back: many rows under Busy, then the file written whole.
    void announceBulk() {
        std::printf("B\n");
        std::fflush(stdout);
    }
    void bulkChange() {
        announceBulk();
        tables_.setBusy(true);
        for (int i = 0; i < 100; ++i) {
            updateDive();
        }
        tables_.setBusy(false);
    }

    Tdm_rdp& tables_;
    QRandomGenerator random_;
    quint32 seed_;
    int sites_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: store_crash_editor SEED\n");
        return 2;
    }
    Tdm_const settings;
    settings.DataModuleCreate();
    dm_const = &settings;
    Tdm_rdp tables;
    tables.setSaveDelay(5);
    tables.DataModuleCreate();
    Editor editor(tables, quint32(std::atoi(argv[1])));
    QObject::connect(&tables, &Tdm_rdp::tableSaved, &app, [&](Table* table) {
        if (table == tables.cds_dives) {
            editor.reportSaved();
        }
    });
    std::printf("ready\n");
    std::fflush(stdout);
    QTimer steps;
    QObject::connect(&steps, &QTimer::timeout, &app, [&] { editor.step(); });
    steps.start(1);
    return QCoreApplication::exec();
}
