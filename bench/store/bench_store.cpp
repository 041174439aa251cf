// Measures the tables module on generated logs of 1,000, 10,000 and 50,000 dives: saving,
// loading in a fresh process against a bare QXmlStreamReader pass over the same files,
// walking the dives with their detail rows, memory per dive, and what the save after one
// edit costs the user-interface thread.
//
//   bench_store            runs everything and prints a table
//   bench_store --load N   (internal) the measurements of one fresh process, as key=value
#include "app/settings/tdm_const.h"
#include "store/tdm_rdp.h"

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cstdio>

namespace {

const int kSizes[] = {1000, 10000, 50000};

double seconds(const QElapsedTimer& clock) {
    return double(clock.nsecsElapsed()) / 1e9;
}

qint64 residentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// --- generating a log

const char* const kLocations[] = {"Cozumel, Quintana Roo", "Blue Hole, Dahab", "Great Barrier Reef",
                                  "Lake Malawi", "Scapa Flow, Orkney"};
const char* const kSites[] = {"Palancar Reef", "The Arch", "Cod Hole", "Thumbi West",
                              "SMS Markgraf"};
const char* const kBuddies[] = {"Ana Martinez", "Tom Baker", "Keiko Tanaka", "Jonas Berg"};

void fillDive(Table& dives, int i) {
    dives.setValue("Date", QDate(1995, 1, 1).addDays(i / 2));
    dives.setValue("Time_Start", QTime(9 + (i % 2) * 5, (i * 7) % 60));
    if (i % 10 < 7) {
        dives.setValue("id_dive", 100000 + i);
        dives.setValue("last_update", QDateTime(QDate(2024, 1, 1), QTime(12, i % 60)));
        dives.setValue("certify_by", i % 3);
    }
    dives.setValue("locked", 0);
    dives.setValue("Location", kLocations[i % 5]);
    dives.setValue("id_Location", 1000 + i % 5);
    dives.setValue("Site", kSites[i % 5]);
    dives.setValue("id_site", 5000 + i % 5);
    for (const char* field : {"Dive_Media", "Dive_Type", "Dive_type2", "Site_type", "Dive_Deco",
                              "Dive_Nivel", "Access_Type", "Activity", "Activity2", "dive_day",
                              "dive_night", "dive_sunrise", "dive_sunset", "xTeam_Leader"}) {
        dives.setValue(field, (i + int(qstrlen(field))) % 3);
    }
    dives.setValue("dive_rating", 1 + i % 5);
    dives.setValue("operator", "Blue Water Divers");
    dives.setValue("id_operator", 300 + i % 7);
    dives.setValue("buddy", kBuddies[i % 4]);
    dives.setValue("id_buddy", 2000 + i % 4);
    if (i % 4 == 0) {
        dives.setValue("team1", kBuddies[(i + 1) % 4]);
    }
}

void fillConditions(Table& conditions, int i) {
    if (i % 2) {
        conditions.setValue("dive_si", "01:30");
    }
    conditions.setValue("altitude", 0);
    conditions.setValue("depth", 12.5 + i % 10);
    conditions.setValue("max_depth", 18.0 + i % 20);
    conditions.setValue("bottom_time", "00:45");
    conditions.setValue("GP_in", "A");
    conditions.setValue("GP_out", "F");
    if (i % 3 == 0) {
        conditions.setValue("observations",
                            QStringLiteral("Turtle at the wall, strong current on the way back.\n"
                                           "Dive %1 of the trip; saw two eagle rays.")
                                .arg(i));
    }
    conditions.setValue("cond_visibility", 15);
    conditions.setValue("cond_visibility_Max", 25);
    conditions.setValue("cond_temp_air", 28.5);
    conditions.setValue("cond_temp_surf", 26);
    conditions.setValue("cond_temp_bottom", 24.5);
    for (const char* field :
         {"altitude_unit", "depth_unit", "cond_visibility_unit", "cond_temp_unit", "cond_tiempo_in",
          "cond_tiempo_out", "cond_cold", "cond_Surf", "cond_Current", "cond_wind", "cond_xWaves",
          "cond_xSurge"}) {
        conditions.setValue(field, 1 + i % 2);
    }
    conditions.setValue("cond_Current_dir", "NE");
}

void fillEquipment(Table& equipment, int i) {
    equipment.setValue("pres_in", 200);
    equipment.setValue("pres_out", 50 + i % 30);
    equipment.setValue("pres_end_used", 0);
    equipment.setValue("pres_max", 232);
    equipment.setValue("pres_unit", 1);
    equipment.setValue("Dc_Vendor", "Suunto");
    equipment.setValue("Dc_Model", "D5");
    equipment.setValue("suit_medida", "5/3");
    equipment.setValue("lead_weight", 6 + i % 4);
    for (const char* field : {"suit_unit", "lead_estado", "lead_unit", "gas_mix", "pro_wet",
                              "pro_hood", "pro_gloves", "pro_booties", "misc_comp", "misc_compass",
                              "misc_light", "misc_buoy", "cil_type", "cil_size_unit"}) {
        equipment.setValue(field, 1);
    }
    equipment.setValue("cil_size", 12);
}

void generate(Tdm_rdp& module, int count) {
    module.setBusy(true);
    module.cds_dives->disableControls();
    for (int i = 0; i < count; ++i) {
        module.cds_dives->append();
        fillDive(*module.cds_dives, i);
        module.cds_dives->post();
        module.cds_conditions->edit();
        fillConditions(*module.cds_conditions, i);
        module.cds_conditions->post();
        module.cds_equipment->edit();
        fillEquipment(*module.cds_equipment, i);
        module.cds_equipment->post();
    }
    module.cds_dives->enableControls();
    module.setBusy(false);
}

// --- measurements in a fresh process

struct BarePass {
    qint64 rows = 0;
    qint64 values = 0;
};

BarePass bareXmlPass(const QString& folder) {
    BarePass pass;
    for (const QFileInfo& info : QDir(folder).entryInfoList({"*.xml"}, QDir::Files)) {
        QFile file(info.filePath());
        file.open(QIODevice::ReadOnly);
        QXmlStreamReader xml(file.readAll());
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement) {
                ++pass.rows;
                pass.values += xml.attributes().size();
            }
        }
    }
    return pass;
}

void waitForSave(Tdm_rdp& module, Table* table) {
    QEventLoop loop;
    QObject::connect(&module, &Tdm_rdp::tableSaved, &loop, [&](Table* saved) {
        if (saved == table) {
            loop.quit();
        }
    });
    loop.exec();
}

void printValue(const char* key, double value) {
    std::printf("%s=%.9g\n", key, value);
}

int measureInThisProcess(int count) {
    Tdm_const settings;
    settings.DataModuleCreate();
    dm_const = &settings;
    const qint64 before = residentBytes();
    QElapsedTimer clock;
    clock.start();
    {
        Tdm_rdp module;
        module.DataModuleCreate();
        printValue("load", seconds(clock));
        printValue("memory", double(residentBytes() - before) / count);
        if (module.cds_dives->recordCount() != count) {
            std::fprintf(stderr, "loaded %d dives, not %d\n", module.cds_dives->recordCount(),
                         count);
            return 1;
        }

        clock.restart();
        const BarePass pass = bareXmlPass(settings.DbDir);
        printValue("bare", seconds(clock));
        printValue("values", double(pass.values));

        Table& dives = *module.cds_dives;
        clock.restart();
        double sink = 0;
        for (dives.first(); !dives.eof(); dives.next()) {
            sink += module.cds_conditions->asFloat("max_depth") +
                    module.cds_equipment->asFloat("pres_out") + dives.asInteger("dive_rating");
        }
        printValue("walk", seconds(clock));
        clock.restart();
        for (dives.first(); !dives.eof(); dives.next()) {
        }
        printValue("move", seconds(clock) / count);
        printValue("sink", sink > 0);

        dives.setRecNo(count / 2);
        dives.edit();
        dives.setValue("Site", "Edited site");
        clock.restart();
        dives.post();
        printValue("post", seconds(clock));
        QElapsedTimer hold;
        hold.start();
        module.saveChangedTables();  // what the save timer runs
        printValue("hold", seconds(hold));
        // The next post while the writer still holds the snapshot copies the row list once.
        dives.next();
        dives.setValue("Site", "Edited during the write");
        QElapsedTimer during;
        during.start();
        dives.post();
        printValue("postDuringWrite", seconds(during));
        waitForSave(module, &dives);
        printValue("disk", seconds(clock));
    }
    dm_const = nullptr;
    return 0;
}

// --- the driver

struct Figures {
    int dives = 0;
    double generate = 0;
    double save = 0;
    double megabytes = 0;
    QMap<QString, double> fresh;  // from the fresh process
};

double folderMegabytes(const QString& folder) {
    qint64 bytes = 0;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files)) {
        bytes += info.size();
    }
    return double(bytes) / 1e6;
}

bool measure(int count, Figures& figures) {
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    Tdm_const settings;
    settings.DataModuleCreate();
    dm_const = &settings;
    figures.dives = count;
    {
        Tdm_rdp module;
        module.DataModuleCreate();
        QElapsedTimer clock;
        clock.start();
        generate(module, count);
        figures.generate = seconds(clock);
        clock.restart();
        module.saveAll();
        figures.save = seconds(clock);
    }
    dm_const = nullptr;
    figures.megabytes = folderMegabytes(settings.DbDir);

    QProcess fresh;
    fresh.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    fresh.start(QCoreApplication::applicationFilePath(), {"--load", QString::number(count)});
    if (!fresh.waitForFinished(-1) || fresh.exitCode() != 0) {
        return false;
    }
    for (const QByteArray& line : fresh.readAllStandardOutput().split('\n')) {
        const int equals = line.indexOf('=');
        if (equals > 0) {
            figures.fresh[QString::fromLatin1(line.left(equals))] = line.mid(equals + 1).toDouble();
        }
    }
    return true;
}

void printTable(const QList<Figures>& all) {
    std::printf(
        "\nTables module, generated logs (dives with conditions and equipment rows), "
        "%ld cores\n\n",
        sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("%8s %9s %8s %8s %8s %8s %7s %9s %8s %8s %7s %8s %8s %8s\n", "dives", "values",
                "files MB", "gen. s", "save s", "load s", "bare s", "load/bare", "walk ms",
                "move us", "B/dive", "post ms", "hold ms", "post2 ms");
    for (const Figures& f : all) {
        const auto& r = f.fresh;
        std::printf(
            "%8d %9.0f %8.1f %8.2f %8.3f %8.3f %7.3f %9.2f %8.1f %8.2f %7.0f %8.3f "
            "%8.3f %8.3f\n",
            f.dives, r["values"], f.megabytes, f.generate, f.save, r["load"], r["bare"],
            r["load"] / r["bare"], r["walk"] * 1e3, r["move"] * 1e6, r["memory"], r["post"] * 1e3,
            r["hold"] * 1e3, r["postDuringWrite"] * 1e3);
    }
    std::printf(
        "\nload: new module opening all tables in a fresh process (files in the page "
        "cache); bare: one QXmlStreamReader pass over the same files (rows and "
        "attributes counted); walk: every dive with a conditions and an equipment field "
        "read; move: one next() with the three detail tables following; B/dive: "
        "resident memory after loading / dives; post: posting one edit of one dive; "
        "hold: the save that follows, on the UI thread; post2: the next post while that "
        "save is being written.\n\n");
    for (const Figures& f : all) {
        std::printf("%d dives: edit posted to file on disk in %.0f ms\n", f.dives,
                    f.fresh["disk"] * 1e3);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == "--load") {
        return measureInThisProcess(args[2].toInt());
    }
    QList<Figures> all;
    for (int count : kSizes) {
        Figures figures;
        if (!measure(count, figures)) {
            std::fprintf(stderr, "the measuring process failed at %d dives\n", count);
            return 1;
        }
        all << figures;
    }
    printTable(all);
    return 0;
}
