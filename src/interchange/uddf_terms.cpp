#include "interchange/uddf_terms.h"

#include "interchange/exchange_dive.h"

#include <cmath>

namespace UddfTerms {
namespace {

struct Term {
    const char* word;
    int code;
};

// Words that read as a code; the first word of each code is the one written.
constexpr Term kPlatforms[] = {{"charter-boat", 1}, {"small-boat", 1},  {"live-aboard", 1},
                               {"barge", 1},        {"beach-shore", 2}, {"pier", 2},
                               {"landside", 2}};
constexpr Term kPurposes[] = {{"sightseeing", 7},
                              {"learning", 3},
                              {"learning", 10},
                              {"teaching", 5},
                              {"research", 8},
                              {"photography-videography", 6},
                              {"photography-videography", 11},
                              {"proficiency", 2},
                              {"work", 12},
                              {"other", 1},
                              {"other", 4},
                              {"other", 9}};
constexpr Term kCurrents[] = {{"no-current", 1},        {"mild-current", 2},
                              {"very-mild-current", 2}, {"moderate-current", 3},
                              {"hard-current", 4},      {"very-hard-current", 5}};
constexpr Term kEnvironments[] = {{"cave-cavern", 1},  {"cave-cavern", 2}, {"cave-cavern", 3},
                                  {"lake-quarry", 4},  {"ocean-sea", 5},   {"river-spring", 6},
                                  {"river-spring", 7}, {"lake-quarry", 8}, {"pool", 9}};

// Codes the reading of a word gives (where a word stands for several codes, the first).
constexpr Term kEnvironmentCodes[] = {
    {"cave-cavern", 1}, {"lake-quarry", 4}, {"ocean-sea", 5}, {"river-spring", 7}, {"pool", 9}};

constexpr double kSaltWaterDensity = 1025;
constexpr double kFreshWaterDensity = 1000;
constexpr double kSaltFrom = 1010;

template <size_t N>
int codeOf(const Term (&terms)[N], QStringView word) {
    word = word.trimmed();
    for (const Term& term : terms) {
        if (word.compare(QLatin1StringView(term.word), Qt::CaseInsensitive) == 0) {
            return term.code;
        }
    }
    return 0;
}

template <size_t N>
QString wordOf(const Term (&terms)[N], int code) {
    for (const Term& term : terms) {
        if (term.code == code) {
            return QString::fromLatin1(term.word);
        }
    }
    return {};
}

}  // namespace

int access(QStringView platform) {
    return codeOf(kPlatforms, platform);
}

QString platform(int access) {
    return wordOf(kPlatforms, access);
}

int activity(QStringView purpose) {
    return purpose.trimmed() == u"other" ? 0 : codeOf(kPurposes, purpose);
}

QString purpose(int activity) {
    return wordOf(kPurposes, activity);
}

int current(QStringView current) {
    return codeOf(kCurrents, current);
}

QString currentWord(int current) {
    return wordOf(kCurrents, current);
}

bool cold(QStringView thermalComfort) {
    thermalComfort = thermalComfort.trimmed();
    return thermalComfort == u"cold" || thermalComfort == u"very-cold";
}

void environment(QStringView environment, int& siteType, int& media) {
    environment = environment.trimmed();
    if (environment == u"hyperbaric-chamber") {
        media = kChamber;
        return;
    }
    if (const int code = codeOf(kEnvironmentCodes, environment)) {
        siteType = code;
    }
}

QString environmentWord(int siteType, int media) {
    return media == kChamber ? QStringLiteral("hyperbaric-chamber")
                             : wordOf(kEnvironments, siteType);
}

int mediaOfDensity(double kilogramsPerCubicMetre) {
    return kilogramsPerCubicMetre >= kSaltFrom ? 1 : 2;
}

std::optional<double> densityOf(int media) {
    if (media == 1) {
        return kSaltWaterDensity;
    }
    if (media == 2) {
        return kFreshWaterDensity;
    }
    return std::nullopt;
}

int gasOfMix(double o2, double he) {
    if (he > 0.001) {
        return 5;
    }
    if (o2 >= 0.99) {
        return 2;
    }
    if (std::abs(o2 - 0.21) < 0.006) {
        return 1;
    }
    if (o2 > 0.21 && o2 < 0.34) {
        return 3;
    }
    if (o2 >= 0.34 && o2 <= 0.40) {
        return 4;
    }
    return 6;
}

std::optional<MixFractions> mixOfGas(int gas) {
    switch (gas) {
        case 1:
            return MixFractions{0.21, 0};
        case 2:
            return MixFractions{1.0, 0};
        case 3:
            return MixFractions{0.32, 0};
        case 4:
            return MixFractions{0.36, 0};
        case 5:
            return MixFractions{0.21, 0.79};
        default:
            return std::nullopt;
    }
}

}  // namespace UddfTerms

namespace ProfileAlarm {

int code(QStringView name) {
    name = name.trimmed();
    for (int i = 0; i < kCount; ++i) {
        if (name.compare(QLatin1StringView(kNames[i]), Qt::CaseInsensitive) == 0) {
            return i + 1;
        }
    }
    return 0;
}

QString name(int code) {
    return code >= 1 && code <= kCount ? QString::fromLatin1(kNames[code - 1]) : QString();
}

}  // namespace ProfileAlarm
