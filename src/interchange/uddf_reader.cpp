#include "interchange/uddf_reader.h"

#include "interchange/uddf_terms.h"
#include "interchange/value_checks.h"
#include "interchange/xml_input.h"

#include <QHash>
#include <algorithm>
#include <iterator>

namespace {

enum class Tag : quint8 {
    Other,
    Address,
    Airtemperature,
    Alarm,
    Altitude,
    Averagedepth,
    Buddy,
    Country,
    Current,
    Datetime,
    Density,
    Depth,
    Dive,
    Divebase,
    Divecomputer,
    Diveduration,
    Diver,
    Divesite,
    Divetime,
    Environment,
    Equipment,
    Equipmentused,
    Firstname,
    Gasdefinitions,
    Generator,
    Geography,
    Greatestdepth,
    He,
    Infinity,
    Informationafterdive,
    Informationbeforedive,
    Lastname,
    Latitude,
    Leadquantity,
    Link,
    Location,
    Longitude,
    Lowesttemperature,
    Manufacturer,
    Middlename,
    Mix,
    Model,
    Name,
    Notes,
    O2,
    Owner,
    Para,
    Passedtime,
    Personal,
    Platform,
    Pressuredrop,
    Profiledata,
    Province,
    Purpose,
    Rating,
    Ratingvalue,
    Repetitiongroup,
    Samples,
    Site,
    Sitedata,
    Surfaceintervalbeforedive,
    Switchmix,
    Tankdata,
    Tankpressure,
    Tankpressurebegin,
    Tankpressureend,
    Tankvolume,
    Temperature,
    Thermalcomfort,
    Uddf,
    Visibility,
    Waypoint,
};

struct TagName {
    QLatin1StringView name;
    Tag tag;
};

// Sorted by name, for a binary search without building strings.
constexpr TagName kTags[] = {
    {QLatin1StringView("address"), Tag::Address},
    {QLatin1StringView("airtemperature"), Tag::Airtemperature},
    {QLatin1StringView("alarm"), Tag::Alarm},
    {QLatin1StringView("altitude"), Tag::Altitude},
    {QLatin1StringView("averagedepth"), Tag::Averagedepth},
    {QLatin1StringView("buddy"), Tag::Buddy},
    {QLatin1StringView("country"), Tag::Country},
    {QLatin1StringView("current"), Tag::Current},
    {QLatin1StringView("datetime"), Tag::Datetime},
    {QLatin1StringView("density"), Tag::Density},
    {QLatin1StringView("depth"), Tag::Depth},
    {QLatin1StringView("dive"), Tag::Dive},
    {QLatin1StringView("divebase"), Tag::Divebase},
    {QLatin1StringView("divecomputer"), Tag::Divecomputer},
    {QLatin1StringView("diveduration"), Tag::Diveduration},
    {QLatin1StringView("diver"), Tag::Diver},
    {QLatin1StringView("divesite"), Tag::Divesite},
    {QLatin1StringView("divetime"), Tag::Divetime},
    {QLatin1StringView("environment"), Tag::Environment},
    {QLatin1StringView("equipment"), Tag::Equipment},
    {QLatin1StringView("equipmentused"), Tag::Equipmentused},
    {QLatin1StringView("firstname"), Tag::Firstname},
    {QLatin1StringView("gasdefinitions"), Tag::Gasdefinitions},
    {QLatin1StringView("generator"), Tag::Generator},
    {QLatin1StringView("geography"), Tag::Geography},
    {QLatin1StringView("greatestdepth"), Tag::Greatestdepth},
    {QLatin1StringView("he"), Tag::He},
    {QLatin1StringView("infinity"), Tag::Infinity},
    {QLatin1StringView("informationafterdive"), Tag::Informationafterdive},
    {QLatin1StringView("informationbeforedive"), Tag::Informationbeforedive},
    {QLatin1StringView("lastname"), Tag::Lastname},
    {QLatin1StringView("latitude"), Tag::Latitude},
    {QLatin1StringView("leadquantity"), Tag::Leadquantity},
    {QLatin1StringView("link"), Tag::Link},
    {QLatin1StringView("location"), Tag::Location},
    {QLatin1StringView("longitude"), Tag::Longitude},
    {QLatin1StringView("lowesttemperature"), Tag::Lowesttemperature},
    {QLatin1StringView("manufacturer"), Tag::Manufacturer},
    {QLatin1StringView("middlename"), Tag::Middlename},
    {QLatin1StringView("mix"), Tag::Mix},
    {QLatin1StringView("model"), Tag::Model},
    {QLatin1StringView("name"), Tag::Name},
    {QLatin1StringView("notes"), Tag::Notes},
    {QLatin1StringView("o2"), Tag::O2},
    {QLatin1StringView("owner"), Tag::Owner},
    {QLatin1StringView("para"), Tag::Para},
    {QLatin1StringView("passedtime"), Tag::Passedtime},
    {QLatin1StringView("personal"), Tag::Personal},
    {QLatin1StringView("platform"), Tag::Platform},
    {QLatin1StringView("pressuredrop"), Tag::Pressuredrop},
    {QLatin1StringView("profiledata"), Tag::Profiledata},
    {QLatin1StringView("province"), Tag::Province},
    {QLatin1StringView("purpose"), Tag::Purpose},
    {QLatin1StringView("rating"), Tag::Rating},
    {QLatin1StringView("ratingvalue"), Tag::Ratingvalue},
    {QLatin1StringView("repetitiongroup"), Tag::Repetitiongroup},
    {QLatin1StringView("samples"), Tag::Samples},
    {QLatin1StringView("site"), Tag::Site},
    {QLatin1StringView("sitedata"), Tag::Sitedata},
    {QLatin1StringView("surfaceintervalbeforedive"), Tag::Surfaceintervalbeforedive},
    {QLatin1StringView("switchmix"), Tag::Switchmix},
    {QLatin1StringView("tankdata"), Tag::Tankdata},
    {QLatin1StringView("tankpressure"), Tag::Tankpressure},
    {QLatin1StringView("tankpressurebegin"), Tag::Tankpressurebegin},
    {QLatin1StringView("tankpressureend"), Tag::Tankpressureend},
    {QLatin1StringView("tankvolume"), Tag::Tankvolume},
    {QLatin1StringView("temperature"), Tag::Temperature},
    {QLatin1StringView("thermalcomfort"), Tag::Thermalcomfort},
    {QLatin1StringView("uddf"), Tag::Uddf},
    {QLatin1StringView("visibility"), Tag::Visibility},
    {QLatin1StringView("waypoint"), Tag::Waypoint},
};

Tag tagOf(QStringView name) {
    const auto found = std::lower_bound(
        std::begin(kTags), std::end(kTags), name,
        [](const TagName& entry, QStringView key) { return key.compare(entry.name) > 0; });
    return found != std::end(kTags) && name.compare(found->name) == 0 ? found->tag : Tag::Other;
}

struct Site {
    QString name;
    QString location;
    QString country;
    QString province;
    std::optional<double> latitude;
    std::optional<double> longitude;
    std::optional<double> altitude;
    QString environment;
    std::optional<double> density;
};

struct Person {
    QString first;
    QString middle;
    QString last;
    bool owner = false;

    QString fullName() const {
        QStringList parts;
        for (const QString& part : {first, middle, last}) {
            if (!part.isEmpty()) {
                parts << part;
            }
        }
        return parts.join(u' ');
    }
};

struct Computer {
    QString name;
    QString vendor;
    QString model;
};

struct Mix {
    std::optional<double> o2;
    std::optional<double> he;
};

struct Tank {
    QString mix;
    std::optional<double> volume;
    std::optional<double> begin;
    std::optional<double> end;

    bool hasPressure() const { return begin || end; }
};

struct Waypoint {
    std::optional<double> depth;
    std::optional<double> time;
    std::optional<double> temperature;
    std::optional<double> tankPressure;
    int alarm = 0;
};

struct PendingDive {
    ExchangeDive dive;
    QStringList links;
    std::vector<Tank> tanks;
    QStringList notes;
    QString firstSwitchMix;
    std::optional<double> lowestTemperature;
    std::optional<double> firstTankPressure;
    std::optional<double> lastTankPressure;
    std::optional<double> lastDepth;
    std::optional<double> pressureDrop;
};

class Reader {
public:
    explicit Reader(XmlInput& input) : in_(input) {}

    LogFile read() {
        readVersion();
        tags_.push_back(Tag::Uddf);
        while (!tags_.empty() && in_.next()) {
            if (in_.atStart()) {
                start(tagOf(in_.name()));
            } else {
                end(tags_.back());
                tags_.pop_back();
            }
        }
        while (in_.next()) {
        }
        finish();
        file_.counts = checks_.counts;
        return std::move(file_);
    }

private:
    void readVersion() {
        const QString version = in_.attribute("version").toString();
        if (!version.isEmpty() && !version.startsWith(QLatin1String("3."))) {
            in_.fail(QStringLiteral("UDDF version %1 is not read; versions 3.0 and later are.")
                         .arg(version));
        }
        file_.format = QStringLiteral("UDDF %1").arg(version).trimmed();
    }

    Tag parent(int up = 0) const {
        const int at = int(tags_.size()) - 1 - up;
        return at >= 0 ? tags_[at] : Tag::Other;
    }
    bool inside(Tag tag) const {
        return std::find(tags_.cbegin(), tags_.cend(), tag) != tags_.cend();
    }
    std::optional<double> number() { return checks_.number(in_.text()); }

    // --- the start of an element: a text we keep, or a level we enter

    void start(Tag tag) {
        if (readsText(tag)) {
            return;
        }
        switch (tag) {
            case Tag::Owner:
            case Tag::Buddy:
                tag = parent() == Tag::Diver ? tag : Tag::Other;
                person_ = Person{};
                person_.owner = tag == Tag::Owner;
                break;
            case Tag::Site:
            case Tag::Divebase:
                tag = parent() == Tag::Divesite ? tag : Tag::Other;
                site_ = Site{};
                break;
            case Tag::Divecomputer:
                tag = parent() == Tag::Equipment && parent(1) == Tag::Owner ? tag : Tag::Other;
                computer_ = Computer{};
                break;
            case Tag::Mix:
                tag = parent() == Tag::Gasdefinitions ? tag : Tag::Other;
                mix_ = Mix{};
                break;
            case Tag::Dive:
                tag = inside(Tag::Profiledata) && !dive_ ? tag : Tag::Other;
                if (tag == Tag::Dive) {
                    dive_.emplace();
                }
                break;
            case Tag::Tankdata:
                tag = parent() == Tag::Dive ? tag : Tag::Other;
                if (tag == Tag::Tankdata) {
                    dive_->tanks.emplace_back();
                }
                break;
            case Tag::Waypoint:
                tag = parent() == Tag::Samples ? tag : Tag::Other;  // not a planned profile
                waypoint_ = Waypoint{};
                break;
            case Tag::Link:
                link(in_.attribute("ref").toString());
                break;
            case Tag::Switchmix:
                if (dive_ && parent() == Tag::Waypoint && dive_->firstSwitchMix.isEmpty()) {
                    dive_->firstSwitchMix = in_.attribute("ref").toString();
                }
                break;
            default:
                break;
        }
        if (holdsId(tag)) {
            ids_.push_back(in_.attribute("id").toString());
        }
        tags_.push_back(tag);
    }

    static bool holdsId(Tag tag) {
        return tag == Tag::Owner || tag == Tag::Buddy || tag == Tag::Site || tag == Tag::Divebase ||
               tag == Tag::Divecomputer || tag == Tag::Mix;
    }

    void link(const QString& ref) {
        if (!dive_ || ref.isEmpty()) {
            return;
        }
        if (parent() == Tag::Tankdata && !dive_->tanks.empty()) {
            dive_->tanks.back().mix = ref;
        } else if (!inside(Tag::Samples)) {
            dive_->links << ref;
        }
    }

    // Reads the text of the elements whose text is kept; true when `tag` was one.
    bool readsText(Tag tag) {
        if (tag == Tag::Name || tag == Tag::Model) {
            return readName(tag);
        }
        if (dive_ && inside(Tag::Dive)) {
            return readDiveText(tag);
        }
        return readSiteText(tag) || readPersonText(tag) || readMixText(tag);
    }

    bool readName(Tag tag) {
        const Tag owner = parent();
        if (tag == Tag::Model) {
            if (owner != Tag::Divecomputer) {
                return false;
            }
            computer_.model = in_.text();
            return true;
        }
        if (owner == Tag::Generator && parent(1) == Tag::Uddf) {
            file_.program = in_.text();
        } else if (owner == Tag::Site || owner == Tag::Divebase) {
            site_.name = in_.text();
        } else if (owner == Tag::Divecomputer) {
            computer_.name = in_.text();
        } else if (owner == Tag::Manufacturer && parent(1) == Tag::Divecomputer) {
            computer_.vendor = in_.text();
        } else {
            return false;
        }
        return true;
    }

    bool readSiteText(Tag tag) {
        if (!inside(Tag::Site)) {
            return false;
        }
        switch (tag) {
            case Tag::Location:
                site_.location = in_.text();
                return true;
            case Tag::Country:
                site_.country = in_.text();
                return true;
            case Tag::Province:
                site_.province = in_.text();
                return true;
            case Tag::Latitude:
                site_.latitude = checks_.latitude(number());
                return true;
            case Tag::Longitude:
                site_.longitude = checks_.longitude(number());
                return true;
            case Tag::Altitude:
                if (parent() != Tag::Geography) {
                    return false;
                }
                site_.altitude = checks_.altitude(number());
                return true;
            case Tag::Environment:
                site_.environment = in_.text();
                return true;
            case Tag::Density:
                site_.density = parent() == Tag::Sitedata ? number() : site_.density;
                return true;
            default:
                return false;
        }
    }

    bool readPersonText(Tag tag) {
        if (parent() != Tag::Personal || (parent(1) != Tag::Owner && parent(1) != Tag::Buddy)) {
            return false;
        }
        switch (tag) {
            case Tag::Firstname:
                person_.first = in_.text();
                return true;
            case Tag::Middlename:
                person_.middle = in_.text();
                return true;
            case Tag::Lastname:
                person_.last = in_.text();
                return true;
            default:
                return false;
        }
    }

    bool readMixText(Tag tag) {
        if (parent() != Tag::Mix || (tag != Tag::O2 && tag != Tag::He)) {
            return false;
        }
        (tag == Tag::O2 ? mix_.o2 : mix_.he) = checks_.fraction(number());
        return true;
    }

    bool readDiveText(Tag tag) {
        switch (parent()) {
            case Tag::Informationbeforedive:
                return readBefore(tag);
            case Tag::Informationafterdive:
                return readAfter(tag);
            case Tag::Surfaceintervalbeforedive:
                if (tag == Tag::Passedtime) {
                    dive_->dive.surfaceInterval = checks_.surfaceInterval(number());
                    return true;
                }
                return false;
            case Tag::Equipmentused:
                if (tag == Tag::Leadquantity) {
                    dive_->dive.lead = checks_.lead(number());
                    return true;
                }
                return false;
            case Tag::Notes:
                if (tag == Tag::Para && parent(1) == Tag::Informationafterdive) {
                    dive_->notes << in_.text();
                    return true;
                }
                return false;
            case Tag::Rating:
                if (tag == Tag::Ratingvalue && parent(1) == Tag::Informationafterdive) {
                    dive_->dive.rating = (checks_.rating(number(), 10) + 1) / 2;
                    return true;
                }
                return false;
            case Tag::Tankdata:
                return readTank(tag);
            case Tag::Waypoint:
                return readWaypoint(tag);
            default:
                return false;
        }
    }

    bool readBefore(Tag tag) {
        ExchangeDive& dive = dive_->dive;
        switch (tag) {
            case Tag::Datetime: {
                const QString text = in_.text();
                dive.date = XmlValues::date(text);
                dive.start = XmlValues::time(text);
                return true;
            }
            case Tag::Airtemperature:
                dive.airTemperature = checks_.temperature(number());
                return true;
            case Tag::Altitude:
                dive.altitude = checks_.altitude(number());
                return true;
            case Tag::Platform:
                dive.access = UddfTerms::access(in_.text());
                return true;
            case Tag::Purpose:
                dive.activity = UddfTerms::activity(in_.text());
                return true;
            default:
                return false;
        }
    }

    bool readAfter(Tag tag) {
        ExchangeDive& dive = dive_->dive;
        switch (tag) {
            case Tag::Greatestdepth:
                dive.maxDepth = checks_.greatestDepth(number());
                return true;
            case Tag::Averagedepth:
                dive.averageDepth = checks_.depth(number());
                return true;
            case Tag::Diveduration:
                dive.duration = checks_.duration(number());
                return true;
            case Tag::Visibility:
                dive.visibility = checks_.visibility(number());
                return true;
            case Tag::Lowesttemperature:
                dive.bottomTemperature = checks_.temperature(number());
                return true;
            case Tag::Current:
                dive.current = UddfTerms::current(in_.text());
                return true;
            case Tag::Thermalcomfort:
                dive.cold = UddfTerms::cold(in_.text());
                return true;
            case Tag::Pressuredrop:
                dive_->pressureDrop = checks_.pressure(number());
                return true;
            default:
                return false;
        }
    }

    bool readTank(Tag tag) {
        if (dive_->tanks.empty()) {
            return false;
        }
        Tank& tank = dive_->tanks.back();
        switch (tag) {
            case Tag::Tankvolume:
                tank.volume = checks_.tankVolume(number());
                return true;
            case Tag::Tankpressurebegin:
                tank.begin = checks_.pressure(number());
                return true;
            case Tag::Tankpressureend:
                tank.end = checks_.pressure(number());
                return true;
            default:
                return false;
        }
    }

    bool readWaypoint(Tag tag) {
        switch (tag) {
            case Tag::Depth:
                waypoint_.depth = checks_.number(in_.text());
                return true;
            case Tag::Divetime:
                waypoint_.time = checks_.number(in_.text());
                return true;
            case Tag::Temperature:
                waypoint_.temperature = checks_.temperature(number());
                return true;
            case Tag::Tankpressure:
                waypoint_.tankPressure = checks_.pressure(number());
                return true;
            case Tag::Alarm: {
                const int code = ProfileAlarm::code(in_.text());
                if (code == 0 || waypoint_.alarm != 0) {
                    ++checks_.counts.leftOut;  // an unknown alarm, or one more than a row holds
                } else {
                    waypoint_.alarm = code;
                }
                return true;
            }
            default:
                return false;
        }
    }

    // --- the end of an element

    void end(Tag tag) {
        switch (tag) {
            case Tag::Owner:
            case Tag::Buddy:
                persons_.insert(takeId(), person_);
                break;
            case Tag::Site:
                sites_.insert(takeId(), site_);
                break;
            case Tag::Divebase:
                divebases_.insert(takeId(), site_.name);
                break;
            case Tag::Divecomputer: {
                const QString id = takeId();
                computers_.insert(id, computer_);
                ownerComputers_ << id;
                break;
            }
            case Tag::Mix:
                mixes_.insert(takeId(), mix_);
                break;
            case Tag::Waypoint:
                endWaypoint();
                break;
            case Tag::Dive:
                endDive();
                break;
            default:
                break;
        }
    }

    QString takeId() { return ids_.isEmpty() ? QString() : ids_.takeLast(); }

    void endWaypoint() {
        if (!dive_) {
            return;
        }
        PendingDive& pending = *dive_;
        std::optional<double> depth = waypoint_.depth;
        if (!depth) {
            depth = pending.lastDepth;  // a waypoint that only marks an event keeps the depth
        }
        ExchangeSample sample;
        if (checks_.sample(waypoint_.time, depth, sample)) {
            sample.alarm = qint16(waypoint_.alarm);
            pending.dive.samples.push_back(sample);
            pending.lastDepth = depth;
        }
        if (waypoint_.temperature &&
            (!pending.lowestTemperature || *waypoint_.temperature < *pending.lowestTemperature)) {
            pending.lowestTemperature = waypoint_.temperature;
        }
        if (waypoint_.tankPressure) {
            if (!pending.firstTankPressure) {
                pending.firstTankPressure = waypoint_.tankPressure;
            }
            pending.lastTankPressure = waypoint_.tankPressure;
        }
    }

    void endDive() {
        PendingDive pending = std::move(*dive_);
        dive_.reset();
        if (!pending.dive.date.isValid()) {
            ++file_.divesLeftOut;
            return;
        }
        pending.dive.notes = pending.notes.join(u'\n');
        dives_.push_back(std::move(pending));
    }

    // --- once the whole file is read

    void finish() {
        computerLinked_ = std::any_of(dives_.cbegin(), dives_.cend(), [this](const PendingDive& d) {
            return std::any_of(d.links.cbegin(), d.links.cend(),
                               [this](const QString& ref) { return computers_.contains(ref); });
        });
        file_.dives.reserve(dives_.size());
        for (PendingDive& pending : dives_) {
            resolveLinks(pending);
            chooseTank(pending);
            fillFromSamples(pending);
            file_.dives.push_back(std::move(pending.dive));
        }
    }

    void resolveLinks(PendingDive& pending) {
        ExchangeDive& dive = pending.dive;
        bool hasSite = false;
        for (const QString& ref : std::as_const(pending.links)) {
            if (sites_.contains(ref)) {
                if (!hasSite) {
                    placeDive(dive, sites_.value(ref));
                }
                hasSite = true;
            } else if (persons_.contains(ref)) {
                const Person person = persons_.value(ref);
                if (!person.owner) {
                    dive.buddies << person.fullName();
                }
            } else if (divebases_.contains(ref)) {
                dive.operatorName = divebases_.value(ref);
            } else if (computers_.contains(ref)) {
                useComputer(dive, computers_.value(ref));
            } else {
                ++checks_.counts.leftOut;  // a link to nothing the file holds
            }
        }
        // Several programs list the one dive computer of the owner without linking any dive to
        // it.
        if (!computerLinked_ && ownerComputers_.size() == 1) {
            useComputer(dive, computers_.value(ownerComputers_.first()));
        }
    }

    static void placeDive(ExchangeDive& dive, const Site& site) {
        dive.location = site.location.isEmpty() ? site.name : site.location;
        dive.site = site.name == dive.location ? QString() : site.name;
        dive.country = site.country;
        dive.state = site.province;
        dive.latitude = site.latitude;
        dive.longitude = site.longitude;
        if (!dive.altitude) {
            dive.altitude = site.altitude;
        }
        UddfTerms::environment(site.environment, dive.siteType, dive.media);
        if (site.density && dive.media != UddfTerms::kChamber) {
            dive.media = UddfTerms::mediaOfDensity(*site.density);
        }
    }

    static void useComputer(ExchangeDive& dive, const Computer& computer) {
        dive.computerVendor = computer.vendor;
        dive.computerModel = computer.model.isEmpty() ? computer.name : computer.model;
    }

    // The first tank with a pressure is the dive's tank; others with pressures are left out.
    void chooseTank(PendingDive& pending) {
        ExchangeDive& dive = pending.dive;
        const Tank* chosen = nullptr;
        for (const Tank& tank : pending.tanks) {
            if (!chosen || (!chosen->hasPressure() && tank.hasPressure())) {
                chosen = &tank;
            } else if (tank.hasPressure()) {
                ++checks_.counts.leftOut;
            }
        }
        const QString mixRef =
            chosen && !chosen->mix.isEmpty() ? chosen->mix : pending.firstSwitchMix;
        if (mixes_.contains(mixRef)) {
            const Mix mix = mixes_.value(mixRef);
            dive.gas = UddfTerms::gasOfMix(mix.o2.value_or(0.21), mix.he.value_or(0));
        } else if (!mixRef.isEmpty()) {
            ++checks_.counts.leftOut;
        }
        if (chosen) {
            dive.tankVolume = chosen->volume;
            dive.tankBegin = chosen->begin;
            dive.tankEnd = chosen->end;
        }
        if (!dive.tankBegin) {
            dive.tankBegin = pending.firstTankPressure;
        }
        if (!dive.tankEnd && pending.lastTankPressure != pending.firstTankPressure) {
            dive.tankEnd = pending.lastTankPressure;
        }
        if (!dive.tankEnd) {
            dive.tankUsed = pending.pressureDrop;
        }
    }

    static void fillFromSamples(PendingDive& pending) {
        ExchangeDive& dive = pending.dive;
        if (!dive.bottomTemperature) {
            dive.bottomTemperature = pending.lowestTemperature;
        }
        if (dive.samples.empty()) {
            return;
        }
        if (!dive.maxDepth) {
            const auto deepest = std::max_element(
                dive.samples.cbegin(), dive.samples.cend(),
                [](const ExchangeSample& a, const ExchangeSample& b) { return a.depth < b.depth; });
            dive.maxDepth =
                deepest->depth > 0 ? std::optional<double>(deepest->depth) : std::nullopt;
        }
        if (!dive.duration && dive.samples.back().time > 0) {
            dive.duration = dive.samples.back().time;
        }
    }

    XmlInput& in_;
    ValueChecks checks_;
    LogFile file_;
    std::vector<Tag> tags_;
    QStringList ids_;  // of the sites, persons, computers and mixes being read

    Site site_;
    Person person_;
    Computer computer_;
    Mix mix_;
    Waypoint waypoint_;
    std::optional<PendingDive> dive_;

    QHash<QString, Site> sites_;
    QHash<QString, Person> persons_;
    QHash<QString, QString> divebases_;
    QHash<QString, Computer> computers_;
    QStringList ownerComputers_;
    bool computerLinked_ = false;  // some dive of the file names its computer
    QHash<QString, Mix> mixes_;
    std::vector<PendingDive> dives_;
};

}  // namespace

namespace UddfReader {

LogFile read(XmlInput& input) {
    return Reader(input).read();
}

}  // namespace UddfReader
