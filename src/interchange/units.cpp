#include "interchange/units.h"

#include <cmath>

namespace Units {
namespace {

constexpr double kFoot = 0.3048;
constexpr double kZeroCelsius = 273.15;
constexpr double kBar = 1e5;
constexpr double kPsi = 6894.757293168361;
constexpr double kLitre = 1e-3;
constexpr double kCubicFoot = 0.028316846592;
constexpr double kPound = 0.45359237;

// SI value of one unit of `kind` in `unit` (temperatures aside).
double factor(Kind kind, bool imperial) {
    switch (kind) {
        case Kind::Distance:
            return imperial ? kFoot : 1.0;
        case Kind::Pressure:
            return imperial ? kPsi : kBar;
        case Kind::Volume:
            return imperial ? kCubicFoot : kLitre;
        default:
            return imperial ? kPound : 1.0;
    }
}

}  // namespace

// Rounding in arithmetic rather than through text: a value rounded once rounds to itself, and
// a value converted away and back lands within far less than a unit of its tenth digit, so it
// rounds back to the same number.
double tidy(double value) {
    if (!std::isfinite(value) || value == 0) {
        return value;
    }
    const double scale = std::pow(10.0, 9 - std::floor(std::log10(std::abs(value))));
    return std::round(value * scale) / scale;
}

double fromSi(Kind kind, int unit, double si) {
    const bool imperial = unit == kImperial;
    if (kind == Kind::Temperature) {
        const double celsius = si - kZeroCelsius;
        return tidy(imperial ? celsius * 9.0 / 5.0 + 32.0 : celsius);
    }
    return tidy(si / factor(kind, imperial));
}

double toSi(Kind kind, int unit, double value) {
    const bool imperial = unit == kImperial;
    if (kind == Kind::Temperature) {
        return (imperial ? (value - 32.0) * 5.0 / 9.0 : value) + kZeroCelsius;
    }
    return value * factor(kind, imperial);
}

int chosen(int setting) {
    return setting == kImperial ? kImperial : kMetric;
}

}  // namespace Units
