#include "interchange/subsurface_reader.h"

#include "interchange/uddf_terms.h"
#include "interchange/units.h"
#include "interchange/value_checks.h"
#include "interchange/xml_input.h"

#include <QHash>
#include <algorithm>

namespace {

enum class Level : quint8 { Other, Site, Dive, Computer, LaterComputer };

struct Site {
    QString name;
    QString country;
    QString state;
    std::optional<double> latitude;
    std::optional<double> longitude;
};

struct Event {
    int time;
    int alarm;
};

// Taxonomy categories of a site's <geo> entries.
constexpr int kCountryCategory = 2;
constexpr int kStateCategory = 3;

// Event names that are alarms, by a part of the name.
struct AlarmName {
    const char* part;
    const char* alarm;
};
constexpr AlarmName kAlarmNames[] = {
    {"ascent", "ascent"}, {"deco", "deco"}, {"ceiling", "deco"},    {"violation", "error"},
    {"error", "error"},   {"rbt", "rbt"},   {"surface", "surface"}, {"cns", "error"}};

int alarmOfEvent(QStringView name) {
    for (const AlarmName& entry : kAlarmNames) {
        if (name.contains(QLatin1StringView(entry.part), Qt::CaseInsensitive)) {
            return ProfileAlarm::code(QString::fromLatin1(entry.alarm));
        }
    }
    return 0;
}

// "43:15 min", "1:02:03", "75 min": seconds.
std::optional<double> clock(QStringView text) {
    text = text.trimmed();
    if (text.endsWith(u"min")) {
        text = text.chopped(3).trimmed();
    }
    if (text.isEmpty()) {
        return std::nullopt;
    }
    double seconds = 0;
    const QList<QStringView> parts = text.split(u':');
    if (parts.size() > 3) {
        return std::nullopt;
    }
    for (QStringView part : parts) {
        bool ok = false;
        const double value = part.toDouble(&ok);
        if (!ok) {
            return std::nullopt;
        }
        seconds = seconds * 60 + value;
    }
    return parts.size() == 1 ? seconds * 60 : seconds;
}

class Reader {
public:
    explicit Reader(XmlInput& input) : in_(input) {}

    LogFile read() {
        const QString version = in_.attribute("version").toString();
        file_.format = QStringLiteral("Subsurface XML %1")
                           .arg(version.isEmpty() ? QStringLiteral("1") : version);
        file_.program = QStringLiteral("Subsurface");
        levels_.push_back(Level::Other);
        while (!levels_.empty() && in_.next()) {
            if (in_.atStart()) {
                start();
            } else {
                end(levels_.back());
                levels_.pop_back();
            }
        }
        while (in_.next()) {
        }
        finish();
        file_.counts = checks_.counts;
        return std::move(file_);
    }

private:
    bool inside(Level level) const {
        return std::find(levels_.cbegin(), levels_.cend(), level) != levels_.cend();
    }
    bool readingDive() const { return dive_ && !inside(Level::LaterComputer); }

    // A measure with its unit; counted and left out when the unit is not one of `units`.
    std::optional<double> measure(QStringView text, Units::Kind kind) {
        text = text.trimmed();
        if (text.isEmpty()) {
            return std::nullopt;
        }
        qsizetype split = text.size();
        while (split > 0 && !text[split - 1].isDigit() && text[split - 1] != u'.') {
            --split;
        }
        const std::optional<double> value = checks_.number(text.left(split));
        const QStringView unit = text.mid(split).trimmed();
        if (!value) {
            return std::nullopt;
        }
        const std::optional<int> code = unitCode(kind, unit);
        if (!code) {
            ++checks_.counts.leftOut;
            return std::nullopt;
        }
        return Units::toSi(kind, *code, *value);
    }

    static std::optional<int> unitCode(Units::Kind kind, QStringView unit) {
        struct UnitName {
            Units::Kind kind;
            const char* name;
            int code;
        };
        static const UnitName kNames[] = {
            {Units::Kind::Distance, "m", Units::kMetric},
            {Units::Kind::Distance, "ft", Units::kImperial},
            {Units::Kind::Temperature, "C", Units::kMetric},
            {Units::Kind::Temperature, "F", Units::kImperial},
            {Units::Kind::Pressure, "bar", Units::kMetric},
            {Units::Kind::Pressure, "psi", Units::kImperial},
            {Units::Kind::Volume, "l", Units::kMetric},
            {Units::Kind::Volume, "cuft", Units::kImperial},
            {Units::Kind::Weight, "kg", Units::kMetric},
            {Units::Kind::Weight, "lbs", Units::kImperial},
            {Units::Kind::Weight, "lb", Units::kImperial},
        };
        if (unit.isEmpty()) {
            return Units::kMetric;
        }
        for (const UnitName& name : kNames) {
            if (name.kind == kind && unit == QLatin1StringView(name.name)) {
                return name.code;
            }
        }
        return std::nullopt;
    }

    std::optional<double> percent(QStringView text) {
        text = text.trimmed();
        if (text.endsWith(u'%')) {
            const std::optional<double> value = checks_.number(text.chopped(1));
            return value ? checks_.fraction(*value / 100) : std::nullopt;
        }
        return checks_.fraction(checks_.number(text));
    }

    void gps(QStringView text, std::optional<double>& latitude, std::optional<double>& longitude) {
        const QList<QStringView> parts = text.trimmed().split(u' ', Qt::SkipEmptyParts);
        if (parts.size() == 2) {
            latitude = checks_.latitude(checks_.number(parts[0]));
            longitude = checks_.longitude(checks_.number(parts[1]));
        } else if (!parts.isEmpty()) {
            ++checks_.counts.leftOut;
        }
    }

    // --- elements

    void start() {
        const QStringView name = in_.name();
        Level level = Level::Other;
        if (name == u"site" && !dive_) {
            level = Level::Site;
            startSite();
        } else if (name == u"geo" && inside(Level::Site)) {
            geo();
        } else if (name == u"dive" && !dive_) {
            level = Level::Dive;
            startDive();
        } else if (name == u"divecomputer" && dive_) {
            level = ++computers_ == 1 ? Level::Computer : Level::LaterComputer;
            if (level == Level::Computer) {
                computer(in_.attribute("model"));
            }
        } else if (readingDive() && readsText(name)) {
            return;
        } else if (readingDive()) {
            diveElement(name);
        }
        levels_.push_back(level);
    }

    void end(Level level) {
        if (level == Level::Site) {
            sites_.insert(siteId_, site_);
        } else if (level == Level::Dive) {
            endDive();
        }
    }

    void startSite() {
        site_ = Site{};
        siteId_ = in_.attribute("uuid").toString().trimmed();
        site_.name = in_.attribute("name").toString().trimmed();
        gps(in_.attribute("gps"), site_.latitude, site_.longitude);
    }

    void geo() {
        const std::optional<double> category = XmlValues::number(in_.attribute("cat"));
        const QString value = in_.attribute("value").toString().trimmed();
        if (category == kCountryCategory) {
            site_.country = value;
        } else if (category == kStateCategory) {
            site_.state = value;
        }
    }

    void startDive() {
        dive_.emplace();
        computers_ = 0;
        events_.clear();
        cylinderChosen_ = false;
        lastDepth_.reset();
        ExchangeDive& dive = *dive_;
        dive.date = XmlValues::date(in_.attribute("date"));
        dive.start = XmlValues::time(in_.attribute("time"));
        dive.duration = checks_.duration(clock(in_.attribute("duration")));
        dive.rating = checks_.rating(checks_.number(in_.attribute("rating")), 5);
        siteRef_ = in_.attribute("divesiteid").toString().trimmed();
        const QString tags = in_.attribute("tags").toString();
        for (const QString& tag : tags.split(u',', Qt::SkipEmptyParts)) {
            if (tag.trimmed() == u"boat") {
                dive.access = 1;
            } else if (tag.trimmed() == u"shore") {
                dive.access = 2;
            }
        }
    }

    void computer(QStringView model) {
        model = model.trimmed();
        if (model.isEmpty() || model == u"manually added dive" || model == u"planned dive") {
            return;
        }
        const qsizetype blank = model.indexOf(u' ');
        if (model.startsWith(u"Heinrichs Weikamp ")) {
            dive_->computerVendor = QStringLiteral("Heinrichs Weikamp");
            dive_->computerModel = model.mid(18).toString();
        } else if (blank > 0) {
            dive_->computerVendor = model.left(blank).toString();
            dive_->computerModel = model.mid(blank + 1).toString();
        } else {
            dive_->computerModel = model.toString();
        }
    }

    bool readsText(QStringView name) {
        ExchangeDive& dive = *dive_;
        if (name == u"location") {
            gps(in_.attribute("gps"), dive.latitude, dive.longitude);
            dive.location = in_.text();
        } else if (name == u"buddy") {
            for (const QString& buddy : in_.text().split(u',', Qt::SkipEmptyParts)) {
                dive.buddies << buddy.trimmed();
            }
        } else if (name == u"divemaster") {
            dive.instructor = in_.text();
        } else if (name == u"notes") {
            dive.notes = in_.text();
        } else {
            return false;
        }
        return true;
    }

    void diveElement(QStringView name) {
        ExchangeDive& dive = *dive_;
        if (name == u"depth") {
            dive.maxDepth =
                checks_.greatestDepth(measure(in_.attribute("max"), Units::Kind::Distance));
            dive.averageDepth =
                checks_.depth(measure(in_.attribute("mean"), Units::Kind::Distance));
        } else if (name == u"temperature") {
            dive.airTemperature =
                checks_.temperature(measure(in_.attribute("air"), Units::Kind::Temperature));
            dive.bottomTemperature =
                checks_.temperature(measure(in_.attribute("water"), Units::Kind::Temperature));
        } else if (name == u"water") {
            const std::optional<double> salinity =
                checks_.number(in_.attribute("salinity").toString().remove(QStringLiteral("g/l")));
            if (salinity) {
                dive.media = UddfTerms::mediaOfDensity(*salinity);
            }
        } else if (name == u"cylinder") {
            cylinder();
        } else if (name == u"weightsystem") {
            const std::optional<double> weight =
                checks_.lead(measure(in_.attribute("weight"), Units::Kind::Weight));
            if (weight) {
                dive.lead = dive.lead.value_or(0) + *weight;
            }
        } else if (name == u"sample") {
            sample();
        } else if (name == u"event") {
            event();
        }
    }

    // The first cylinder with pressures (or else the first) is the dive's tank.
    void cylinder() {
        ExchangeDive& dive = *dive_;
        const std::optional<double> begin =
            checks_.pressure(measure(in_.attribute("start"), Units::Kind::Pressure));
        const std::optional<double> end =
            checks_.pressure(measure(in_.attribute("end"), Units::Kind::Pressure));
        const bool hasPressure = begin || end;
        if (cylinderChosen_ && (dive.tankBegin || dive.tankEnd || !hasPressure)) {
            if (hasPressure) {
                ++checks_.counts.leftOut;
            }
            return;
        }
        cylinderChosen_ = true;
        dive.tankBegin = begin;
        dive.tankEnd = end;
        dive.tankVolume = checks_.tankVolume(measure(in_.attribute("size"), Units::Kind::Volume));
        dive.tankWorking =
            checks_.pressure(measure(in_.attribute("workpressure"), Units::Kind::Pressure));
        const std::optional<double> o2 = percent(in_.attribute("o2"));
        const std::optional<double> he = percent(in_.attribute("he"));
        dive.gas = UddfTerms::gasOfMix(o2.value_or(0.21), he.value_or(0));
    }

    void sample() {
        const std::optional<double> time = clock(in_.attribute("time"));
        std::optional<double> depth = measure(in_.attribute("depth"), Units::Kind::Distance);
        if (!depth) {
            depth = lastDepth_;  // Subsurface leaves out a depth that did not change
        }
        ExchangeSample sample;
        if (checks_.sample(time, depth, sample)) {
            dive_->samples.push_back(sample);
            lastDepth_ = depth;
        }
        const std::optional<double> temperature =
            checks_.temperature(measure(in_.attribute("temp"), Units::Kind::Temperature));
        if (temperature && !dive_->bottomTemperature) {
            lowestTemperature_ = std::min(lowestTemperature_.value_or(*temperature), *temperature);
        }
        QStringView pressureText = in_.attribute("pressure");
        if (pressureText.isEmpty()) {
            pressureText = in_.attribute("pressure0");
        }
        const std::optional<double> pressure =
            checks_.pressure(measure(pressureText, Units::Kind::Pressure));
        if (pressure) {
            if (!firstPressure_) {
                firstPressure_ = pressure;
            }
            lastPressure_ = pressure;
        }
    }

    void event() {
        const int alarm = alarmOfEvent(in_.attribute("name"));
        const std::optional<double> time = clock(in_.attribute("time"));
        if (alarm != 0 && time) {
            events_.push_back({qRound(*time), alarm});
        }
    }

    void endDive() {
        ExchangeDive dive = std::move(*dive_);
        dive_.reset();
        if (!dive.date.isValid()) {
            ++file_.divesLeftOut;
            return;
        }
        placeAlarms(dive);
        fillFromSamples(dive);
        dives_.push_back({std::move(dive), siteRef_});
        lowestTemperature_.reset();
        firstPressure_.reset();
        lastPressure_.reset();
    }

    // Each alarm on the first sample at or after it; one more than a sample holds is left out.
    void placeAlarms(ExchangeDive& dive) {
        for (const Event& event : events_) {
            if (dive.samples.empty()) {
                ++checks_.counts.leftOut;
                continue;
            }
            auto at = std::find_if(dive.samples.begin(), dive.samples.end(),
                                   [&](const ExchangeSample& s) { return s.time >= event.time; });
            ExchangeSample& sample = at == dive.samples.end() ? dive.samples.back() : *at;
            if (sample.alarm != 0) {
                ++checks_.counts.leftOut;
            } else {
                sample.alarm = qint16(event.alarm);
            }
        }
    }

    void fillFromSamples(ExchangeDive& dive) {
        if (!dive.bottomTemperature) {
            dive.bottomTemperature = lowestTemperature_;
        }
        if (!dive.tankBegin && !dive.tankEnd && firstPressure_ != lastPressure_) {
            dive.tankBegin = firstPressure_;
            dive.tankEnd = lastPressure_;
        }
        if (dive.samples.empty()) {
            return;
        }
        if (!dive.maxDepth) {
            double deepest = 0;
            for (const ExchangeSample& sample : dive.samples) {
                deepest = std::max(deepest, sample.depth);
            }
            dive.maxDepth = deepest > 0 ? std::optional<double>(deepest) : std::nullopt;
        }
        if (!dive.duration && dive.samples.back().time > 0) {
            dive.duration = dive.samples.back().time;
        }
    }

    void finish() {
        file_.dives.reserve(dives_.size());
        for (auto& [dive, siteRef] : dives_) {
            if (!siteRef.isEmpty()) {
                if (sites_.contains(siteRef)) {
                    const Site site = sites_.value(siteRef);
                    dive.location = site.name;
                    dive.country = site.country;
                    dive.state = site.state;
                    dive.latitude = site.latitude;
                    dive.longitude = site.longitude;
                } else {
                    ++checks_.counts.leftOut;
                }
            }
            file_.dives.push_back(std::move(dive));
        }
    }

    XmlInput& in_;
    ValueChecks checks_;
    LogFile file_;
    std::vector<Level> levels_;

    Site site_;
    QString siteId_;
    QHash<QString, Site> sites_;

    std::optional<ExchangeDive> dive_;
    QString siteRef_;
    int computers_ = 0;
    bool cylinderChosen_ = false;
    std::vector<Event> events_;
    std::optional<double> lastDepth_;
    std::optional<double> lowestTemperature_;
    std::optional<double> firstPressure_;
    std::optional<double> lastPressure_;
    std::vector<std::pair<ExchangeDive, QString>> dives_;
};

}  // namespace

namespace SubsurfaceReader {

LogFile read(XmlInput& input) {
    return Reader(input).read();
}

}  // namespace SubsurfaceReader
