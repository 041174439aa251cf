#include "wire/dive_record.h"

#include <QStringList>

namespace DiveRecord {
namespace {

QStringList names(const char* list) {
    return QString::fromLatin1(list).split(u' ', Qt::SkipEmptyParts);
}

void addPlain(QVector<Position>& positions, Source source, const char* fields) {
    for (const QString& field : names(fields)) {
        positions.append({source, field, Form::Text, field});
    }
}

void addDuration(QVector<Position>& positions, const char* field) {
    const QString name = QString::fromLatin1(field);
    positions.append({Source::Conditions, name, Form::Duration, name});
}

// Sent as `sent`, answered into `answered`.
void addSwapped(QVector<Position>& positions, Source source, const char* sent,
                const char* answered) {
    positions.append(
        {source, QString::fromLatin1(sent), Form::Text, QString::fromLatin1(answered)});
}

void addDiveValues(QVector<Position>& p) {
    const Source dive = Source::Dive;
    addPlain(p, dive, "id_dive");
    p.append({dive, QStringLiteral("id_local_dive"), Form::Text, QString()});
    p.append({dive, QStringLiteral("last_update"), Form::DateTime, QStringLiteral("last_update")});
    addPlain(p, dive, "certify_by");
    p.append({dive, QStringLiteral("Date"), Form::Date, QStringLiteral("Date")});
    p.append({dive, QStringLiteral("Time_Start"), Form::TimeOfDay, QStringLiteral("Time_Start")});
    addPlain(p, dive,
             "Location id_Location Site id_site pais estado "
             "Dive_Media Dive_Type Dive_type2 Dive_Nivel Dive_Deco "
             "Site_type Access_Type Activity Activity2 coordinates "
             "dive_rating dive_day dive_night dive_sunset dive_sunrise "
             "xTeam_Leader operator id_operator school id_school buddy id_buddy instructor "
             "id_instructor team1 id_team1 team2 id_team2 team3 id_team3 team4 id_team4 team5 "
             "id_team5");
}

void addConditionValues(QVector<Position>& p) {
    const Source conditions = Source::Conditions;
    addDuration(p, "dive_si");
    addPlain(p, conditions, "altitude altitude_unit depth");
    addSwapped(p, conditions, "depth_unit", "max_depth");
    addSwapped(p, conditions, "max_depth", "depth_unit");
    addDuration(p, "bottom_time");
    addPlain(p, conditions, "stop_depth");
    addDuration(p, "stop");
    addPlain(p, conditions, "stop_gas_mix stop_depth1");
    addDuration(p, "stop1");
    addPlain(p, conditions, "stop_gas_mix1 stop_depth2");
    addDuration(p, "stop2");
    addPlain(p, conditions,
             "stop_gas_mix2 GP_in GP_out cond_visibility cond_visibility_Max "
             "cond_visibility_unit cond_tiempo_in cond_tiempo_out cond_cold cond_temp_air "
             "cond_temp_surf cond_temp_bottom cond_temp_unit cond_Surf cond_Current "
             "cond_Current_dir");
    addSwapped(p, conditions, "cond_xWaves", "cond_xSurge");
    addSwapped(p, conditions, "cond_xSurge", "cond_xWaves");
    addPlain(p, conditions, "cond_wind cond_wind_dir observations");
}

void addEquipmentValues(QVector<Position>& p) {
    addPlain(p, Source::Equipment,
             "pres_in pres_out pres_max pres_end_used pres_unit gas_mix Dc_Vendor Dc_Model "
             "suit_medida suit_unit lead_estado lead_weight lead_unit "
             "pro_wet pro_dry pro_jacket pro_pants pro_short pro_hood pro_gloves pro_booties "
             "pro_skin pro_socks "
             "misc_knife misc_comp misc_compass misc_cam misc_light misc_air misc_buoy "
             "misc_video misc_scooter misc_detector misc_comm misc_gun "
             "cil_size cil_type cil_twin cil_size_unit");
}

QVector<Position> makeLayout() {
    QVector<Position> positions;
    addDiveValues(positions);
    addConditionValues(positions);
    addEquipmentValues(positions);
    Q_ASSERT(positions.size() == kValues);
    return positions;
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Two digits of hours, a colon and two digits of minutes below 60, as the editor enters them.
bool startsWithDuration(const QString& value) {
    return value.size() >= 5 && isDigit(value[0]) && isDigit(value[1]) && value[2] == u':' &&
           value[3] >= u'0' && value[3] <= u'5' && isDigit(value[4]);
}

}  // namespace

const QVector<Position>& layout() {
    static const QVector<Position> positions = makeLayout();
    return positions;
}

bool isNullForm(Form form, const QString& value) {
    static const QStringList zeroDates = {QStringLiteral("12/30/1899"),
                                          QStringLiteral("1899-12-30")};
    static const QStringList zeroDateTimes = {
        QStringLiteral("12/30/1899"),          QStringLiteral("12/30/1899 00:00"),
        QStringLiteral("12/30/1899 00:00:00"), QStringLiteral("1899-12-30"),
        QStringLiteral("1899-12-30 00:00"),    QStringLiteral("1899-12-30 00:00:00")};
    static const QStringList zeroTimes = {QStringLiteral("00:00:00"), QStringLiteral("00:00")};
    switch (form) {
        case Form::DateTime:
            return zeroDateTimes.contains(value);
        case Form::Date:
            return zeroDates.contains(value);
        case Form::TimeOfDay:
            return zeroTimes.contains(value);
        case Form::Duration:
            return !startsWithDuration(value);
        case Form::Text:
            break;
    }
    return false;
}

QString answerText(Form form, const QString& value) {
    if (isNullForm(form, value)) {
        return {};
    }
    return form == Form::Duration ? value.left(5) : value;
}

}  // namespace DiveRecord
