#pragma once

#include "interchange/exchange_dive.h"

#include <QStringView>
#include <optional>

// The plausible range of every measure read from a file. A value outside it is clamped when
// it is near (a depth a little above the surface), read in the unit it was evidently written
// in (degrees Celsius where kelvin belong, bar where pascal belong, litres where cubic metres
// belong, percent where a fraction belongs) or else left out; each is counted.
class ValueChecks {
public:
    ExchangeCounts counts;

    // The number in `text`; empty text is no value, text that is no number is counted.
    std::optional<double> number(QStringView text);

    // Each takes a value in its SI unit.
    std::optional<double> depth(std::optional<double> metres);
    // A greatest depth or a duration of 0 says "not known".
    std::optional<double> greatestDepth(std::optional<double> metres);
    std::optional<double> temperature(std::optional<double> kelvin);
    // 0 or less says "not known".
    std::optional<double> pressure(std::optional<double> pascal);
    std::optional<double> tankVolume(std::optional<double> cubicMetres);
    std::optional<double> visibility(std::optional<double> metres);
    std::optional<double> altitude(std::optional<double> metres);
    std::optional<double> lead(std::optional<double> kilograms);
    std::optional<double> latitude(std::optional<double> degrees);
    std::optional<double> longitude(std::optional<double> degrees);
    std::optional<int> duration(std::optional<double> seconds);
    std::optional<int> surfaceInterval(std::optional<double> seconds);
    // A gas fraction (0 to 1).
    std::optional<double> fraction(std::optional<double> value);
    // A rating out of `scale` (1 to scale); 0 or less is none.
    int rating(std::optional<double> value, int scale);
    // A sample at `seconds` (0 to the 32,767 seconds the profile holds) and `metres`.
    bool sample(std::optional<double> seconds, std::optional<double> metres, ExchangeSample& out);

private:
    std::optional<double> within(std::optional<double> value, double low, double high);
    std::optional<double> adjusted(double value);
};
