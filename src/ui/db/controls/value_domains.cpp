#include "ui/db/controls/value_domains.h"

namespace {

// The codes first..last as text.
QStringList codes(int first, int last) {
    QStringList list;
    for (int code = first; code <= last; ++code) {
        list << QString::number(code);
    }
    return list;
}

// Every word as a dictionary key "<word>".
QStringList keys(const QStringList& words) {
    QStringList list;
    for (const QString& word : words) {
        list << QLatin1Char('<') + word + QLatin1Char('>');
    }
    return list;
}

// A list whose first item is empty and stores 0, then the keys coded 1, 2, ... and further
// codes up to `lastCode` that no item shows.
ValueDomain withEmptyFirst(const QStringList& words, int lastCode) {
    return {QStringList{QString()} + keys(words), codes(0, lastCode)};
}

ValueDomain withEmptyFirst(const QStringList& words) {
    return withEmptyFirst(words, int(words.size()));
}

// The keys coded from `firstCode` on, without an empty item.
ValueDomain keysFrom(int firstCode, const QStringList& words) {
    return {keys(words), codes(firstCode, firstCode + int(words.size()) - 1)};
}

const QStringList kWeather{"clear", "cloudy", "Misty", "Rain", "Heavy_rain", "Stormy", "snow"};
const QStringList kStrength{"none", "calm", "moderate", "strong", "heavy"};
const QStringList kGas{"Air", "Oxigen", "NitroxI", "NitroxII", "Heliox", "Other_mix"};
const QStringList kSiteTypes{"Cave", "Cavern", "Cenotes", "Lake", "Sea", "Springs", "River"};

}  // namespace

namespace ValueDomains {

ValueDomain environment() {
    return keysFrom(1, {"salt_water", "fresh_water", "hiperbaric_chamber"});
}

ValueDomain diveType() {
    return withEmptyFirst({"Beach", "Ice", "Reef", "Sandbar", "Wall", "Wreck"}, 10);
}

ValueDomain secondDiveType() {
    return withEmptyFirst({"Drift", "Deep_Dive", "Low_Temperature", "Low_Visibility", "Night_Dive"},
                          10);
}

ValueDomain siteType() {
    return withEmptyFirst(kSiteTypes + QStringList{"quarry", "pool"}, 10);
}

ValueDomain simpleSiteType() {
    return withEmptyFirst(kSiteTypes + QStringList{"pool", "quarry"}, 10);
}

ValueDomain access() {
    return withEmptyFirst({"Boat", "Shore", "Pond"});
}

ValueDomain activity() {
    return withEmptyFirst(
        {"Aclimation", "Checkout", "Education", "Exploration", "Instruction", "Photography",
         "Recreational", "Research", "search_item", "Training", "Videosub", "Work"},
        15);
}

QStringList ratingItems() {
    return codes(1, 5);
}

ValueDomain distanceUnit() {
    return withEmptyFirst({"m", "ft"});
}

ValueDomain temperatureUnit() {
    // Not words: no dictionary key can hold the degree sign, so these stand as they are.
    return {{QString(), QStringLiteral("°C"), QStringLiteral("°F")}, codes(0, 2)};
}

ValueDomain pressureUnit() {
    return withEmptyFirst({"bar", "psi"});
}

ValueDomain weather() {
    return withEmptyFirst(kWeather);
}

ValueDomain simpleWeather() {
    return keysFrom(1, kWeather);
}

ValueDomain strength() {
    return withEmptyFirst(kStrength);
}

ValueDomain simpleStrength() {
    return keysFrom(1, kStrength);
}

ValueDomain gas() {
    return keysFrom(1, kGas);
}

ValueDomain gasWithBlank() {
    ValueDomain domain = gas();
    domain.items << QString();
    return domain;
}

ValueDomain tankMaterial() {
    return {{QStringLiteral("Aluminium"), QStringLiteral("Steel")}, codes(1, 2)};
}

ValueDomain volumeUnit() {
    return withEmptyFirst({"lts", "ft3"});
}

ValueDomain endOrUsed() {
    return keysFrom(0, {"end", "used"});
}

ValueDomain thicknessUnit() {
    return withEmptyFirst({"mm", "inch"});
}

ValueDomain weightUnit() {
    return withEmptyFirst({"kg", "lb"});
}

ValueDomain ballast() {
    return withEmptyFirst({"less", "ideal", "much"});
}

ValueDomain ascent() {
    return keysFrom(0, {"single_ascent", "multiple_ascent"});
}

ValueDomain decompression() {
    return keysFrom(0, {"non_stop", "decompression"});
}

CheckValues flag() {
    return {QStringLiteral("1"), QStringLiteral("0")};
}

CheckValues saltWater() {
    return {QStringLiteral("1"), QStringLiteral("2")};
}

}  // namespace ValueDomains
