#include "interchange/dive_fields.h"

#include "interchange/units.h"
#include "store/dive_log_tables.h"

#include <QHash>
#include <QRegularExpression>
#include <cmath>

namespace DiveFields {
namespace {

using Units::Kind;

constexpr int kTeamMembers = 5;
constexpr double kAtmosphere = 101325;

// The longest text of every string field of the three dive tables.
int textSize(const QString& field) {
    static const QHash<QString, int> sizes = [] {
        QHash<QString, int> result;
        for (const auto& definition :
             {DiveLogTables::dives(), DiveLogTables::conditions(), DiveLogTables::equipment()}) {
            for (const FieldDef& def : definition.fields) {
                if (def.type == FieldType::String) {
                    result.insert(def.name, def.size);
                }
            }
        }
        return result;
    }();
    return sizes.value(field, -1);
}

class RowBuilder {
public:
    RowBuilder(FieldValues& values, ExchangeCounts& counts) : values_(values), counts_(counts) {}

    void text(const char* field, const QString& text) {
        if (text.isEmpty()) {
            return;
        }
        const QString name = QString::fromLatin1(field);
        const int size = textSize(name);
        if (size >= 0 && text.size() > size) {
            ++counts_.adjusted;
            values_.append({name, text.left(size).trimmed()});
        } else {
            values_.append({name, text});
        }
    }
    void code(const char* field, int code) {
        if (code != 0) {
            values_.append({QString::fromLatin1(field), code});
        }
    }
    void measure(const char* field, const std::optional<double>& si, Kind kind, int unit) {
        if (si) {
            values_.append({QString::fromLatin1(field), Units::fromSi(kind, unit, *si)});
        }
    }
    void clock(const char* field, const std::optional<int>& seconds) {
        if (seconds) {
            values_.append({QString::fromLatin1(field), clockText(*seconds)});
        }
    }
    void value(const char* field, const QVariant& value) {
        values_.append({QString::fromLatin1(field), value});
    }

private:
    FieldValues& values_;
    ExchangeCounts& counts_;
};

void diveRow(const ExchangeDive& dive, FieldValues& values, ExchangeCounts& counts) {
    RowBuilder row(values, counts);
    row.value("Date", dive.date);
    if (dive.start.isValid()) {
        row.value("Time_Start", QTime(dive.start.hour(), dive.start.minute(), dive.start.second()));
    }
    row.text("Location", dive.location);
    row.text("Site", dive.site);
    row.text("pais", dive.country);
    row.text("estado", dive.state);
    row.code("Dive_Media", dive.media);
    row.code("Site_type", dive.siteType);
    row.code("Access_Type", dive.access);
    row.code("Activity", dive.activity);
    if (dive.latitude && dive.longitude) {
        row.text("coordinates", coordinatesText(*dive.latitude, *dive.longitude));
    }
    row.code("dive_rating", dive.rating);
    row.text("operator", dive.operatorName);
    row.text("instructor", dive.instructor);
    QStringList people;
    for (const QString& name : dive.buddies) {
        if (!name.trimmed().isEmpty()) {
            people << name.trimmed();
        }
    }
    row.text("buddy", people.value(0));
    for (int member = 1; member < people.size(); ++member) {
        if (member > kTeamMembers) {
            ++counts.leftOut;
            continue;
        }
        row.text(QStringLiteral("team%1").arg(member).toLatin1().constData(), people[member]);
    }
}

void conditionsRow(const ExchangeDive& dive, const DiveUnits& units, FieldValues& values,
                   ExchangeCounts& counts) {
    RowBuilder row(values, counts);
    row.clock("dive_si", dive.surfaceInterval);
    row.measure("altitude", dive.altitude, Kind::Distance, units.distance);
    row.value("altitude_unit", units.distance);
    row.measure("depth", dive.averageDepth, Kind::Distance, units.distance);
    row.measure("max_depth", dive.maxDepth, Kind::Distance, units.distance);
    row.value("depth_unit", units.distance);
    row.clock("bottom_time", dive.duration);
    row.text("observations", dive.notes);
    row.measure("cond_visibility", dive.visibility, Kind::Distance, units.distance);
    row.value("cond_visibility_unit", units.distance);
    row.code("cond_cold", dive.cold ? 1 : 0);
    row.measure("cond_temp_air", dive.airTemperature, Kind::Temperature, units.temperature);
    row.measure("cond_temp_bottom", dive.bottomTemperature, Kind::Temperature, units.temperature);
    row.value("cond_temp_unit", units.temperature);
    row.code("cond_Current", dive.current);
}

void equipmentRow(const ExchangeDive& dive, const DiveUnits& units, FieldValues& values,
                  ExchangeCounts& counts) {
    RowBuilder row(values, counts);
    row.measure("pres_in", dive.tankBegin, Kind::Pressure, units.pressure);
    if (dive.tankEnd || dive.tankUsed) {
        row.measure("pres_out", dive.tankEnd ? dive.tankEnd : dive.tankUsed, Kind::Pressure,
                    units.pressure);
        row.value("pres_end_used", dive.tankEnd ? 0 : 1);
    }
    row.measure("pres_max", dive.tankWorking, Kind::Pressure, units.pressure);
    row.value("pres_unit", units.pressure);
    row.text("Dc_Vendor", dive.computerVendor);
    row.text("Dc_Model", dive.computerModel);
    if (dive.lead) {
        row.measure("lead_weight", dive.lead, Kind::Weight, units.weight);
        row.value("lead_unit", units.weight);
    }
    row.code("gas_mix", dive.gas);
    if (dive.tankVolume) {
        row.measure("cil_size", dive.tankVolume, Kind::Volume, units.volume);
        row.value("cil_size_unit", units.volume);
    }
}

std::optional<double> number(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        return std::nullopt;
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? std::optional<double>(number) : std::nullopt;
}

std::optional<double> measure(const FieldReader& row, const char* field, Kind kind, int unit) {
    const std::optional<double> value = number(row(QString::fromLatin1(field)));
    return value ? std::optional<double>(Units::toSi(kind, unit, *value)) : std::nullopt;
}

int code(const FieldReader& row, const char* field) {
    return int(number(row(QString::fromLatin1(field))).value_or(0));
}

QString text(const FieldReader& row, const char* field) {
    return row(QString::fromLatin1(field)).toString().trimmed();
}

int unitCode(const FieldReader& row, const char* field) {
    return code(row, field) == Units::kImperial ? Units::kImperial : Units::kMetric;
}

// Cubic feet are the tank's gas at its working pressure; the water volume needs that pressure.
std::optional<double> tankVolume(const FieldReader& equipment, const DiveUnits& units,
                                 const std::optional<double>& working) {
    const std::optional<double> size = measure(equipment, "cil_size", Kind::Volume, units.volume);
    if (!size || units.volume != Units::kImperial) {
        return size;
    }
    return working && *working > 0 ? std::optional<double>(*size * kAtmosphere / *working)
                                   : std::nullopt;
}

}  // namespace

DiveUnits importUnits(int unitDist, int unitTemp, int unitPres) {
    DiveUnits units;
    units.distance = Units::chosen(unitDist);
    units.temperature = Units::chosen(unitTemp);
    units.pressure = Units::chosen(unitPres);
    units.volume = Units::kMetric;
    units.weight = units.distance;
    return units;
}

DiveRows rowsOf(const ExchangeDive& dive, const DiveUnits& units, ExchangeCounts& counts) {
    DiveRows rows;
    diveRow(dive, rows.dive, counts);
    conditionsRow(dive, units, rows.conditions, counts);
    equipmentRow(dive, units, rows.equipment, counts);
    return rows;
}

double sampleDepth(const ExchangeSample& sample, int distanceUnit) {
    return Units::fromSi(Kind::Distance, distanceUnit, sample.depth);
}

DiveUnits unitsOf(const FieldReader& conditions, const FieldReader& equipment) {
    DiveUnits units;
    units.distance = unitCode(conditions, "depth_unit");
    units.temperature = unitCode(conditions, "cond_temp_unit");
    units.pressure = unitCode(equipment, "pres_unit");
    units.volume = unitCode(equipment, "cil_size_unit");
    units.weight = unitCode(equipment, "lead_unit");
    return units;
}

ExchangeDive diveOf(const FieldReader& dive, const FieldReader& conditions,
                    const FieldReader& equipment) {
    ExchangeDive result;
    const DiveUnits units = unitsOf(conditions, equipment);
    result.date = dive(QStringLiteral("Date")).toDate();
    result.start = dive(QStringLiteral("Time_Start")).toTime();
    result.location = text(dive, "Location");
    result.site = text(dive, "Site");
    result.country = text(dive, "pais");
    result.state = text(dive, "estado");
    double latitude = 0;
    double longitude = 0;
    if (coordinatesOf(text(dive, "coordinates"), latitude, longitude)) {
        result.latitude = latitude;
        result.longitude = longitude;
    }
    result.media = code(dive, "Dive_Media");
    result.siteType = code(dive, "Site_type");
    result.access = code(dive, "Access_Type");
    result.activity = code(dive, "Activity");
    result.rating = qBound(0, code(dive, "dive_rating"), 5);
    result.operatorName = text(dive, "operator");
    result.instructor = text(dive, "instructor");
    for (const char* field : {"buddy", "team1", "team2", "team3", "team4", "team5"}) {
        const QString name = text(dive, field);
        if (!name.isEmpty()) {
            result.buddies << name;
        }
    }

    result.altitude =
        measure(conditions, "altitude", Kind::Distance, unitCode(conditions, "altitude_unit"));
    result.averageDepth = measure(conditions, "depth", Kind::Distance, units.distance);
    result.maxDepth = measure(conditions, "max_depth", Kind::Distance, units.distance);
    result.duration = clockSeconds(text(conditions, "bottom_time"));
    result.surfaceInterval = clockSeconds(text(conditions, "dive_si"));
    result.visibility = measure(conditions, "cond_visibility", Kind::Distance,
                                unitCode(conditions, "cond_visibility_unit"));
    result.airTemperature =
        measure(conditions, "cond_temp_air", Kind::Temperature, units.temperature);
    result.bottomTemperature =
        measure(conditions, "cond_temp_bottom", Kind::Temperature, units.temperature);
    result.current = code(conditions, "cond_Current");
    result.cold = code(conditions, "cond_cold") == 1;
    result.notes = conditions(QStringLiteral("observations")).toString();

    result.tankBegin = measure(equipment, "pres_in", Kind::Pressure, units.pressure);
    const std::optional<double> out =
        measure(equipment, "pres_out", Kind::Pressure, units.pressure);
    (code(equipment, "pres_end_used") == 1 ? result.tankUsed : result.tankEnd) = out;
    result.tankWorking = measure(equipment, "pres_max", Kind::Pressure, units.pressure);
    result.tankVolume = tankVolume(equipment, units, result.tankWorking);
    result.lead = measure(equipment, "lead_weight", Kind::Weight, units.weight);
    result.gas = code(equipment, "gas_mix");
    result.computerVendor = text(equipment, "Dc_Vendor");
    result.computerModel = text(equipment, "Dc_Model");
    return result;
}

ExchangeSample sampleOf(double depth, int time, int alarm, int distanceUnit) {
    ExchangeSample sample;
    sample.depth = Units::toSi(Kind::Distance, distanceUnit, depth);
    sample.time = time;
    sample.alarm = qint16(alarm);
    return sample;
}

QString clockText(int seconds) {
    const int minutes = qRound(seconds / 60.0);
    return QStringLiteral("%1:%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

std::optional<int> clockSeconds(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,2})\\s*:\\s*(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch() || match.captured(2).toInt() > 59) {
        return std::nullopt;
    }
    return match.captured(1).toInt() * 3600 + match.captured(2).toInt() * 60;
}

QString coordinatesText(double latitude, double longitude) {
    const auto half = [](double degrees, char positive, char negative) {
        const int seconds = qRound(std::abs(degrees) * 3600);
        return QStringLiteral("%1:%2:%3%4")
            .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'))
            .arg(QLatin1Char(degrees < 0 ? negative : positive));
    };
    return half(latitude, 'N', 'S') + QLatin1Char('-') + half(longitude, 'E', 'W');
}

bool coordinatesOf(const QString& text, double& latitude, double& longitude) {
    static const QRegularExpression pattern(QStringLiteral(
        "^[\\s_]*(\\d{1,3}):(\\d{2}):(\\d{2})\\s*([NSns])\\s*-[\\s_]*(\\d{1,3}):(\\d{2}):(\\d{2})"
        "\\s*([EWew])\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return false;
    }
    const auto degrees = [&match](int first) {
        const double value = match.captured(first).toInt() +
                             match.captured(first + 1).toInt() / 60.0 +
                             match.captured(first + 2).toInt() / 3600.0;
        const QChar side = match.captured(first + 3).at(0).toUpper();
        return side == u'S' || side == u'W' ? -value : value;
    };
    latitude = degrees(1);
    longitude = degrees(5);
    return std::abs(latitude) <= 90 && std::abs(longitude) <= 180;
}

}  // namespace DiveFields
