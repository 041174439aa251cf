#pragma once

// Conversions between SI units and the unit codes of the tables (0 none, 1 metric, 2
// imperial). A field whose unit code is 0 or unknown holds a metric value.
namespace Units {

inline constexpr int kMetric = 1;
inline constexpr int kImperial = 2;

enum class Kind {
    Distance,     // metres; metres or feet
    Temperature,  // kelvin; degrees Celsius or Fahrenheit
    Pressure,     // pascal; bar or psi
    Volume,       // cubic metres; litres or cubic feet
    Weight,       // kilograms; kilograms or pounds
};

// The value of a field with `unit` for an SI value, rounded to ten significant digits: enough
// for any measure a diver records, and what makes a value sent out and read back come back
// as the very same number.
double fromSi(Kind kind, int unit, double si);
double toSi(Kind kind, int unit, double value);

// `value` rounded to ten significant digits.
double tidy(double value);

// The unit code for new values: the setting when it names a unit, metric otherwise.
int chosen(int setting);

}  // namespace Units
