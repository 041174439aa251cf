#pragma once

#include "interchange/exchange_dive.h"

#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>

// Where each part of an exchanged dive lives in the tables, and the conversion between SI
// units and the unit codes of the dive.
namespace DiveFields {

// The unit codes of one dive.
struct DiveUnits {
    int distance = 1;     // depth_unit, altitude_unit, cond_visibility_unit
    int temperature = 1;  // cond_temp_unit
    int pressure = 1;     // pres_unit
    int volume = 1;       // cil_size_unit
    int weight = 1;       // lead_unit
};

// The units of an imported dive: the settings for new dives (metric where a setting names
// none); tanks in litres; weights in pounds in an imperial log, kilograms otherwise.
DiveUnits importUnits(int unitDist, int unitTemp, int unitPres);

struct FieldValue {
    QString field;
    QVariant value;
};
using FieldValues = QVector<FieldValue>;

// The values of a dive's three rows (unknown parts left out, the unit fields always set).
struct DiveRows {
    FieldValues dive;
    FieldValues conditions;
    FieldValues equipment;
};

// `dive` in `units`; texts longer than their field are shortened, and buddies beyond the
// fifth team member left out (both counted).
DiveRows rowsOf(const ExchangeDive& dive, const DiveUnits& units, ExchangeCounts& counts);

// A sample's depth in the dive's distance unit.
double sampleDepth(const ExchangeSample& sample, int distanceUnit);

// A field's value by name (null when unknown or the row is missing).
using FieldReader = std::function<QVariant(const QString& field)>;

// The dive as its rows hold it, measures back in SI units (without samples; see sampleOf).
// A measure whose unit code is 0 is read as metric.
ExchangeDive diveOf(const FieldReader& dive, const FieldReader& conditions,
                    const FieldReader& equipment);
// The units the rows name (0 read as metric).
DiveUnits unitsOf(const FieldReader& conditions, const FieldReader& equipment);
ExchangeSample sampleOf(double depth, int time, int alarm, int distanceUnit);

// "hh:mm" and seconds, both ways; empty for a text that is no time.
QString clockText(int seconds);
std::optional<int> clockSeconds(const QString& text);
// Coordinates as the advanced dialog writes them: "dd:mm:ssN-ddd:mm:ssE".
QString coordinatesText(double latitude, double longitude);
bool coordinatesOf(const QString& text, double& latitude, double& longitude);

}  // namespace DiveFields
