#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <optional>
#include <vector>

// One depth sample in SI units.
struct ExchangeSample {
    double depth = 0;  // metres
    qint32 time = 0;   // seconds from the start of the dive
    qint16 alarm = 0;  // ProfileAlarm code; 0 is none
};

// A dive on its way between a file and the tables: measures in SI units (metres, kelvin,
// pascal, seconds, cubic metres, kilograms) whatever unit the file or the dive used; coded
// choices already as the codes of the tables; an empty text or an empty optional is unknown.
struct ExchangeDive {
    QDate date;
    QTime start;

    QString location;
    QString site;
    QString country;
    QString state;
    std::optional<double> latitude;   // degrees, north positive
    std::optional<double> longitude;  // degrees, east positive
    std::optional<double> altitude;
    int media = 0;     // Dive_Media
    int siteType = 0;  // Site_type
    int access = 0;    // Access_Type
    int activity = 0;  // Activity
    int rating = 0;    // dive_rating, 1 to 5

    QString operatorName;
    QString instructor;
    QStringList buddies;  // the buddy first, then the team members

    std::optional<double> maxDepth;
    std::optional<double> averageDepth;
    std::optional<int> duration;         // bottom time
    std::optional<int> surfaceInterval;  // before the dive
    std::optional<double> visibility;
    std::optional<double> airTemperature;
    std::optional<double> bottomTemperature;
    int current = 0;  // cond_Current
    bool cold = false;
    QString notes;

    std::optional<double> tankBegin;
    std::optional<double> tankEnd;
    std::optional<double> tankUsed;  // pressure used, when the end pressure is not known
    std::optional<double> tankWorking;
    std::optional<double> tankVolume;  // water volume
    std::optional<double> lead;
    int gas = 0;  // gas_mix
    QString computerVendor;
    QString computerModel;

    std::vector<ExchangeSample> samples;
};

// What a reading or an import changed or dropped on the way in.
struct ExchangeCounts {
    int adjusted = 0;  // values clamped into range, read from a wrong unit, or shortened
    int leftOut = 0;   // values, samples and references that could not be carried

    ExchangeCounts& operator+=(const ExchangeCounts& other) {
        adjusted += other.adjusted;
        leftOut += other.leftOut;
        return *this;
    }
};

// The alarm codes kept in cds_profile.alarm: the alarms UDDF names, in the order it lists them.
namespace ProfileAlarm {
inline constexpr const char* kNames[] = {"ascent",       "breath", "deco",        "error",  "link",
                                         "microbubbles", "rbt",    "skincooling", "surface"};
inline constexpr int kCount = int(sizeof kNames / sizeof kNames[0]);
// 0 for a name that is not an alarm.
int code(QStringView name);
// Empty for 0 and codes out of range.
QString name(int code);
}  // namespace ProfileAlarm
