#include "bench_log.h"

#include "store/tdm_rdp.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

namespace {

const char* const kLocations[] = {"Cozumel, Quintana Roo", "Blue Hole, Dahab", "Great Barrier Reef",
                                  "Lake Malawi", "Scapa Flow, Orkney"};
const char* const kSites[] = {"Palancar Reef", "The Arch", "Cod Hole", "Thumbi West",
                              "SMS Markgraf"};
const char* const kPeople[] = {"Ana Martinez", "Tom Baker", "Keiko Tanaka", "Jonas Berg",
                               "Lucia Ferrer"};
const char* const kNotes[] = {
    "Turtle at the wall, strong current on the way back.\nSaw two eagle rays near the drop-off.",
    "Easy drift along the reef; a moray under the big coral head and a school of jacks above.",
    "Wreck penetration to the engine room, torch needed. Silt out at the stern: keep off the "
    "bottom.\nSafety stop 3 min at 5 m.",
    "Night dive: octopus hunting, a sleeping parrotfish in its mucus bubble, plankton glowing.",
    "Training dive #4 of the course: mask clearing, free ascent, compass navigation."};

void fillDive(Table& dives, int i) {
    dives.setValue("Date", QDate(1995, 1, 1).addDays(i / 2));
    dives.setValue("Time_Start", QTime(9 + (i % 2) * 5, (i * 7) % 60));
    if (i % 10 < 7) {
        dives.setValue("id_dive", 100000 + i);
        dives.setValue("last_update", QDateTime(QDate(2024, 1, 1), QTime(12, i % 60)));
        dives.setValue("certify_by", i % 3);
    }
    dives.setValue("locked", i % 20 == 19 ? 1 : 0);
    dives.setValue("Location", kLocations[i % 5]);
    dives.setValue("Site", kSites[i % 5]);
    if (i % 4 != 3) {
        dives.setValue("id_Location", 1000 + i % 5);
        dives.setValue("id_site", 5000 + i % 5);
    }
    dives.setValue("pais", "Mexico");
    for (const char* field : {"Dive_Media", "Dive_Type", "Dive_type2", "Site_type", "Dive_Deco",
                              "Dive_Nivel", "Access_Type", "Activity", "Activity2", "dive_day",
                              "dive_night", "dive_sunrise", "dive_sunset", "xTeam_Leader"}) {
        dives.setValue(field, (i + int(qstrlen(field))) % 3);
    }
    dives.setValue("dive_rating", 1 + i % 5);
    dives.setValue("operator", "Blue Water Divers");
    dives.setValue("id_operator", i % 3 ? 300 + i % 7 : 0);
    dives.setValue("buddy", kPeople[i % 5]);
    dives.setValue("id_buddy", i % 2 ? 2000 + i % 5 : 0);
    dives.setValue("instructor", kPeople[(i + 2) % 5]);
    dives.setValue("id_instructor", i % 5 == 0 ? 2100 + i % 5 : 0);
    if (i % 4 == 0) {
        dives.setValue("team1", kPeople[(i + 1) % 5]);
        dives.setValue("id_team1", 2200 + i % 5);
        dives.setValue("team2", kPeople[(i + 3) % 5]);
    }
}

void fillConditions(Table& conditions, int i) {
    conditions.setValue("dive_si", i % 2 ? "01:30" : "00:45");
    conditions.setValue("altitude", 0);
    conditions.setValue("depth", 12.5 + i % 10);
    conditions.setValue("max_depth", 18.0 + i % 20);
    conditions.setValue("bottom_time", QStringLiteral("00:%1").arg(30 + i % 29));
    conditions.setValue("stop_depth", 5);
    conditions.setValue("stop", "00:03");
    conditions.setValue("GP_in", "A");
    conditions.setValue("GP_out", "F");
    conditions.setValue("observations", QString::fromLatin1(kNotes[i % 5]));
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
    conditions.setValue("cond_wind_dir", "E");
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

}  // namespace

namespace BenchLog {

void generate(Tdm_rdp& tables, int count) {
    tables.setBusy(true);
    Table& dives = *tables.cds_dives;
    dives.disableControls();
    for (int i = 0; i < count; ++i) {
        dives.append();
        fillDive(dives, i);
        dives.post();
        tables.cds_conditions->append();
        fillConditions(*tables.cds_conditions, i);
        tables.cds_conditions->post();
        tables.cds_equipment->append();
        fillEquipment(*tables.cds_equipment, i);
        tables.cds_equipment->post();
    }
    dives.enableControls();
    tables.setBusy(false);
}

}  // namespace BenchLog
