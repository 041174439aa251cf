#include "interchange/value_checks.h"

#include "interchange/xml_input.h"

#include <cmath>

namespace {

constexpr double kMaxDepth = 1000;
constexpr double kAboveSurface = -10;  // a gauge a little off near the surface
constexpr double kZeroCelsius = 273.15;
constexpr double kColdestWater = -50;
constexpr double kHottest = 100;
constexpr double kCelsiusGuessHigh = 60;
constexpr double kMaxPressure = 1e8;  // 1,000 bar
constexpr double kBarGuessHigh = 1000;
constexpr double kMaxTank = 0.1;  // 100 litres
constexpr double kLitreGuessHigh = 100;
constexpr double kMaxVisibility = 1000;
constexpr double kLowestAltitude = -500;
constexpr double kHighestAltitude = 9000;
constexpr double kMaxLead = 200;
constexpr double kMaxClock = 99 * 3600 + 59 * 60 + 59;  // what "hh:mm" holds
constexpr double kMaxSampleTime = 32767;                // what the profile's smallint holds

}  // namespace

std::optional<double> ValueChecks::number(QStringView text) {
    if (text.trimmed().isEmpty()) {
        return std::nullopt;
    }
    const std::optional<double> value = XmlValues::number(text);
    if (!value) {
        ++counts.leftOut;
    }
    return value;
}

std::optional<double> ValueChecks::within(std::optional<double> value, double low, double high) {
    if (value && (*value < low || *value > high)) {
        ++counts.leftOut;
        return std::nullopt;
    }
    return value;
}

std::optional<double> ValueChecks::adjusted(double value) {
    ++counts.adjusted;
    return value;
}

std::optional<double> ValueChecks::depth(std::optional<double> metres) {
    if (metres && *metres < 0 && *metres >= kAboveSurface) {
        return adjusted(0);
    }
    return within(metres, 0, kMaxDepth);
}

std::optional<double> ValueChecks::greatestDepth(std::optional<double> metres) {
    return metres && *metres == 0 ? std::nullopt : depth(metres);
}

std::optional<double> ValueChecks::temperature(std::optional<double> kelvin) {
    if (!kelvin) {
        return std::nullopt;
    }
    const double value = *kelvin;
    if (value >= kZeroCelsius + kColdestWater && value <= kZeroCelsius + kHottest) {
        return value;
    }
    if (value >= kColdestWater && value <= kCelsiusGuessHigh) {
        return adjusted(value + kZeroCelsius);
    }
    ++counts.leftOut;
    return std::nullopt;
}

std::optional<double> ValueChecks::pressure(std::optional<double> pascal) {
    if (!pascal || *pascal <= 0) {
        return std::nullopt;
    }
    if (*pascal <= kBarGuessHigh) {
        return adjusted(*pascal * 1e5);
    }
    return within(pascal, 0, kMaxPressure);
}

std::optional<double> ValueChecks::tankVolume(std::optional<double> cubicMetres) {
    if (!cubicMetres || *cubicMetres <= 0) {
        return std::nullopt;
    }
    if (*cubicMetres > kMaxTank && *cubicMetres <= kLitreGuessHigh) {
        return adjusted(*cubicMetres / 1000);
    }
    return within(cubicMetres, 0, kMaxTank);
}

std::optional<double> ValueChecks::visibility(std::optional<double> metres) {
    return within(metres, 0, kMaxVisibility);
}

std::optional<double> ValueChecks::altitude(std::optional<double> metres) {
    return within(metres, kLowestAltitude, kHighestAltitude);
}

std::optional<double> ValueChecks::lead(std::optional<double> kilograms) {
    return within(kilograms, 0, kMaxLead);
}

std::optional<double> ValueChecks::latitude(std::optional<double> degrees) {
    return within(degrees, -90, 90);
}

std::optional<double> ValueChecks::longitude(std::optional<double> degrees) {
    return within(degrees, -180, 180);
}

std::optional<int> ValueChecks::duration(std::optional<double> seconds) {
    if (!seconds || *seconds == 0) {
        return std::nullopt;
    }
    const std::optional<double> value = within(seconds, 0, kMaxClock);
    return value ? std::optional<int>(qRound(*value)) : std::nullopt;
}

std::optional<int> ValueChecks::surfaceInterval(std::optional<double> seconds) {
    const std::optional<double> value = within(seconds, 0, kMaxClock);
    return value ? std::optional<int>(qRound(*value)) : std::nullopt;
}

std::optional<double> ValueChecks::fraction(std::optional<double> value) {
    if (value && *value > 1 && *value <= 100) {
        return adjusted(*value / 100);
    }
    return within(value, 0, 1);
}

int ValueChecks::rating(std::optional<double> value, int scale) {
    if (!value || *value <= 0) {
        return 0;
    }
    const int rounded = qRound(*value);
    if (rounded < 1 || rounded > scale) {
        ++counts.adjusted;
        return qBound(1, rounded, scale);
    }
    return rounded;
}

bool ValueChecks::sample(std::optional<double> seconds, std::optional<double> metres,
                         ExchangeSample& out) {
    if (!seconds || !metres || *seconds < 0 || *seconds > kMaxSampleTime) {
        ++counts.leftOut;
        return false;
    }
    const std::optional<double> checked = depth(metres);
    if (!checked) {
        return false;
    }
    out.time = qRound(*seconds);
    out.depth = *checked;
    return true;
}
