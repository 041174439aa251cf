#include "store/dive_log_tables.h"

namespace DiveLogTables {
namespace {

FieldDef text(const char* name, int size) {
    return {QString::fromLatin1(name), FieldType::String, size};
}

FieldDef typed(const char* name, FieldType type) {
    return {QString::fromLatin1(name), type, 0};
}

FieldDef small(const char* name) {
    return typed(name, FieldType::SmallInt);
}

void addSmallInts(FieldDefs& fields, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        fields.append(small(name));
    }
}

const QString kIdLocalDive = QStringLiteral("id_local_dive");

}  // namespace

Definition member() {
    FieldDefs fields = {text("name", 40),      text("address", 100),  text("city", 40),
                        text("state", 40),     text("country", 40),   text("inet_user", 20),
                        text("inet_pass", 20), text("inet_email", 40)};
    addSmallInts(fields, {"per_pub_personal", "per_pub_dives", "per_send1", "per_send2",
                          "per_send3", "per_send4"});
    return {QStringLiteral("cds_info"), QStringLiteral("member"), fields, {}};
}

Definition certificates() {
    const FieldDefs fields = {small("id_certificate"),
                              small("category"),
                              small("certify_by"),
                              text("cert_no", 40),
                              typed("date", FieldType::Date),
                              text("agency", 40),
                              small("id_operator"),
                              text("operator", 40),
                              text("level", 40),
                              small("id_level"),
                              text("instructor", 40),
                              text("inst_cert_no", 40),
                              small("id_instructor")};
    return {QStringLiteral("cds_certif"),
            QStringLiteral("certificates"),
            fields,
            {QStringLiteral("date")}};
}

Definition dives() {
    FieldDefs fields = {typed("id_dive", FieldType::Integer),
                        typed("id_local_dive", FieldType::AutoInc),
                        typed("last_update", FieldType::DateTime),
                        small("locked"),
                        typed("Date", FieldType::Date),
                        typed("Time_Start", FieldType::Time),
                        text("Location", 80),
                        typed("id_Location", FieldType::Integer),
                        text("Site", 40),
                        typed("id_site", FieldType::Integer),
                        text("pais", 40),
                        text("estado", 40)};
    addSmallInts(fields, {"Dive_Media", "Dive_Type", "Dive_type2", "Site_type", "Dive_Deco",
                          "Dive_Nivel", "Access_Type", "Activity", "Activity2"});
    fields.append(text("coordinates", 20));
    addSmallInts(fields, {"dive_rating", "dive_day", "dive_night", "dive_sunrise", "dive_sunset"});
    fields +=
        {text("operator", 40),   small("id_operator"),   text("school", 40),  small("id_school"),
         text("instructor", 40), small("id_instructor"), small("certify_by"), small("id_buddy"),
         text("buddy", 60),      small("xTeam_Leader")};
    for (int member = 1; member <= 5; ++member) {
        fields.append({QStringLiteral("id_team%1").arg(member), FieldType::SmallInt, 0});
        fields.append({QStringLiteral("team%1").arg(member), FieldType::String, 60});
    }
    return {QStringLiteral("cds_dives"),
            QStringLiteral("dives"),
            fields,
            {QStringLiteral("Date"), QStringLiteral("Time_Start")}};
}

Definition conditions() {
    FieldDefs fields = {typed("id_local_dive", FieldType::Integer),
                        text("dive_si", 5),
                        typed("altitude", FieldType::Float),
                        small("altitude_unit"),
                        typed("depth", FieldType::Float),
                        typed("max_depth", FieldType::Float),
                        small("depth_unit"),
                        text("bottom_time", 5),
                        typed("stop_depth", FieldType::Float),
                        typed("stop_depth1", FieldType::Float),
                        typed("stop_depth2", FieldType::Float),
                        text("stop", 5),
                        text("stop1", 5),
                        text("stop2", 5)};
    addSmallInts(fields, {"stop_gas_mix", "stop_gas_mix1", "stop_gas_mix2"});
    fields += {text("GP_in", 1), text("GP_out", 1), typed("observations", FieldType::Memo),
               typed("cond_visibility", FieldType::Float),
               typed("cond_visibility_Max", FieldType::Float)};
    addSmallInts(fields,
                 {"cond_visibility_unit", "cond_tiempo_in", "cond_tiempo_out", "cond_cold"});
    fields += {typed("cond_temp_air", FieldType::Float), typed("cond_temp_surf", FieldType::Float),
               typed("cond_temp_bottom", FieldType::Float)};
    addSmallInts(fields, {"cond_temp_unit", "cond_Surf", "cond_Current"});
    fields += {text("cond_Current_dir", 3), small("cond_wind"), text("cond_wind_dir", 3),
               small("cond_xWaves"), small("cond_xSurge")};
    return {QStringLiteral("cds_conditions"), QStringLiteral("conditions"), fields, {kIdLocalDive}};
}

Definition equipment() {
    FieldDefs fields = {typed("id_local_dive", FieldType::Integer),
                        typed("pres_in", FieldType::Float),
                        typed("pres_out", FieldType::Float),
                        small("pres_end_used"),
                        typed("pres_max", FieldType::Float),
                        small("pres_unit"),
                        text("Dc_Vendor", 20),
                        text("Dc_Model", 20),
                        text("suit_medida", 3),
                        small("suit_unit"),
                        small("lead_estado"),
                        typed("lead_weight", FieldType::Float),
                        small("lead_unit"),
                        small("gas_mix")};
    addSmallInts(fields, {"pro_wet", "pro_dry", "pro_jacket", "pro_pants", "pro_short", "pro_hood",
                          "pro_gloves", "pro_booties", "pro_skin", "pro_socks"});
    addSmallInts(fields, {"misc_knife", "misc_comp", "misc_compass", "misc_cam", "misc_light",
                          "misc_air", "misc_buoy", "misc_video", "misc_scooter", "misc_detector",
                          "misc_comm", "misc_gun"});
    fields += {typed("cil_size", FieldType::Float), small("cil_type"), small("cil_twin"),
               small("cil_size_unit")};
    return {QStringLiteral("cds_equipment"), QStringLiteral("equipment"), fields, {kIdLocalDive}};
}

Definition profile() {
    const FieldDefs fields = {typed("id_local_dive", FieldType::Integer),
                              typed("depth", FieldType::Float), small("time"), small("alarm")};
    return {QStringLiteral("cds_profile"), QStringLiteral("profile"), fields, {kIdLocalDive}};
}

}  // namespace DiveLogTables
