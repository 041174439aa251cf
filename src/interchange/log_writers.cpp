#include "interchange/log_writers.h"

#include "app/settings/app_error.h"
#include "app/settings/xml_chars.h"
#include "interchange/log_snapshot.h"
#include "interchange/uddf_terms.h"

#include <QDateTime>
#include <QHash>
#include <QIODevice>
#include <QLocale>
#include <QSaveFile>
#include <map>

namespace {

constexpr qsizetype kFlushAt = 1 << 20;
const char kNamespace[] = "http://www.streit.cc/uddf/3.2/";
const char kVersion[] = "3.2.3";

QString number(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// Output in large blocks; a device that does not take them is an error naming it.
class Output {
public:
    explicit Output(QIODevice* device) : device_(device) {}
    ~Output() = default;

    void append(const QByteArray& bytes) {
        buffer_.append(bytes);
        if (buffer_.size() >= kFlushAt) {
            flush();
        }
    }
    void append(const char* text) {
        append(QByteArray::fromRawData(text, qsizetype(qstrlen(text))));
    }
    void flush() {
        if (!buffer_.isEmpty() && device_->write(buffer_) != buffer_.size()) {
            throw IoError(QStringLiteral("Cannot write the file: %1.").arg(device_->errorString()));
        }
        buffer_.clear();
    }

private:
    QIODevice* device_;
    QByteArray buffer_;
};

// A small XML writer: the nesting it keeps indented, texts escaped and stripped of what XML
// cannot hold.
class XmlOut {
public:
    explicit XmlOut(QIODevice* device) : out_(device) {
        out_.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    }

    static QByteArray escaped(const QString& text, bool attribute) {
        QString result;
        result.reserve(text.size());
        for (const char32_t c : text.toUcs4()) {
            if (!XmlChars::isXmlChar(c)) {
                continue;
            }
            switch (c) {
                case U'&':
                    result += QLatin1String("&amp;");
                    break;
                case U'<':
                    result += QLatin1String("&lt;");
                    break;
                case U'>':
                    result += QLatin1String("&gt;");
                    break;
                case U'"':
                    result += attribute ? QLatin1String("&quot;") : QLatin1String("\"");
                    break;
                case U'\r':
                    result += QLatin1String("&#13;");  // kept as a character, not a line end
                    break;
                default:
                    result += QString::fromUcs4(&c, 1);
            }
        }
        return result.toUtf8();
    }

    using Attributes = std::initializer_list<std::pair<const char*, QString>>;

    void open(const char* name, Attributes attributes = {}) {
        indent();
        QByteArray tag = QByteArray("<") + name;
        for (const auto& [attribute, value] : attributes) {
            tag += QByteArray(" ") + attribute + "=\"" + escaped(value, true) + "\"";
        }
        out_.append(tag + ">\n");
        ++depth_;
    }
    void open(const char* name, const char* attribute, const QString& value) {
        open(name, {{attribute, value}});
    }
    void close(const char* name) {
        --depth_;
        indent();
        out_.append(QByteArray("</") + name + ">\n");
    }
    void text(const char* name, const QString& value) {
        indent();
        out_.append(QByteArray("<") + name + ">" + escaped(value, false) + "</" + name + ">\n");
    }
    void text(const char* name, const std::optional<double>& value) {
        if (value) {
            text(name, number(*value));
        }
    }
    void link(const QString& ref) { empty("link", "ref", ref); }
    void empty(const char* name, const char* attribute, const QString& value) {
        indent();
        out_.append(QByteArray("<") + name + " " + attribute + "=\"" + escaped(value, true) +
                    "\"/>\n");
    }
    // One waypoint on one line: profiles are by far the largest part of a log.
    void waypoint(const ExchangeSample& sample) {
        QByteArray line(depth_ * 2, ' ');
        line += "<waypoint>";
        if (const QString alarm = ProfileAlarm::name(sample.alarm); !alarm.isEmpty()) {
            line += "<alarm>" + alarm.toLatin1() + "</alarm>";
        }
        line += "<depth>" + number(sample.depth).toLatin1() + "</depth><divetime>" +
                QByteArray::number(sample.time) + "</divetime></waypoint>\n";
        out_.append(line);
    }
    void finish() { out_.flush(); }

private:
    void indent() { out_.append(QByteArray(depth_ * 2, ' ')); }

    Output out_;
    int depth_ = 0;
};

// "Ana Maria Lopez": first names "Ana Maria", last name "Lopez".
std::pair<QString, QString> splitName(const QString& name) {
    const QString trimmed = name.trimmed();
    const qsizetype blank = trimmed.lastIndexOf(u' ');
    return blank < 0 ? std::make_pair(trimmed, QString())
                     : std::make_pair(trimmed.left(blank).trimmed(), trimmed.mid(blank + 1));
}

QString mixName(int gas) {
    static const char* const kNames[] = {"", "air", "oxygen", "EAN32", "EAN36", "heliox"};
    return QString::fromLatin1(kNames[gas]);
}

bool hasPlace(const ExchangeDive& dive) {
    return !dive.location.isEmpty() || !dive.site.isEmpty() || !dive.country.isEmpty() ||
           !dive.state.isEmpty() || dive.latitude || dive.media != 0 || dive.siteType != 0;
}

QString placeKey(const ExchangeDive& dive) {
    const QChar separator(0x1F);
    return QStringList{dive.location,
                       dive.site,
                       dive.country,
                       dive.state,
                       dive.latitude ? number(*dive.latitude) : QString(),
                       dive.longitude ? number(*dive.longitude) : QString(),
                       QString::number(dive.media),
                       QString::number(dive.siteType)}
        .join(separator);
}

QString computerKey(const ExchangeDive& dive) {
    return dive.computerVendor + QChar(0x1F) + dive.computerModel;
}

// The things dives link to, each written once with an id of its own.
class Catalogue {
public:
    explicit Catalogue(const LogSnapshot& log) {
        for (int i = 0; i < log.count(); ++i) {
            const ExchangeDive dive = log.dive(i, false);
            if (hasPlace(dive)) {
                add(sites_, placeKey(dive), "site", dive, &siteDives_);
            }
            for (const QString& buddy : dive.buddies) {
                add(buddies_, buddy, "buddy", dive, nullptr);
            }
            if (!dive.operatorName.isEmpty()) {
                add(bases_, dive.operatorName, "base", dive, nullptr);
            }
            if (!dive.computerModel.isEmpty() || !dive.computerVendor.isEmpty()) {
                add(computers_, computerKey(dive), "dc", dive, &computerDives_);
            }
            if (UddfTerms::mixOfGas(dive.gas)) {
                add(mixes_, QString::number(dive.gas), "mix", dive, nullptr);
            }
        }
    }

    void writeDiver(XmlOut& xml, const QString& ownerName) const {
        xml.open("diver");
        xml.open("owner", "id", QStringLiteral("owner"));
        writePersonal(xml, ownerName);
        if (!computers_.empty()) {
            xml.open("equipment");
            for (const auto& [key, id] : ordered(computers_)) {
                const ExchangeDive& dive = computerDives_.at(key);
                xml.open("divecomputer", "id", id);
                xml.text("name",
                         dive.computerModel.isEmpty() ? dive.computerVendor : dive.computerModel);
                if (!dive.computerVendor.isEmpty()) {
                    xml.open("manufacturer", "id", id + QStringLiteral("maker"));
                    xml.text("name", dive.computerVendor);
                    xml.close("manufacturer");
                }
                xml.text("model", dive.computerModel);
                xml.close("divecomputer");
            }
            xml.close("equipment");
        }
        xml.close("owner");
        for (const auto& [name, id] : ordered(buddies_)) {
            xml.open("buddy", "id", id);
            writePersonal(xml, name);
            xml.close("buddy");
        }
        xml.close("diver");
    }

    void writeSites(XmlOut& xml) const {
        if (sites_.empty() && bases_.empty()) {
            return;
        }
        xml.open("divesite");
        for (const auto& [name, id] : ordered(bases_)) {
            xml.open("divebase", "id", id);
            xml.text("name", name);
            xml.close("divebase");
        }
        for (const auto& [key, id] : ordered(sites_)) {
            writeSite(xml, id, siteDives_.at(key));
        }
        xml.close("divesite");
    }

    void writeMixes(XmlOut& xml) const {
        if (mixes_.empty()) {
            return;
        }
        xml.open("gasdefinitions");
        for (const auto& [gas, id] : ordered(mixes_)) {
            const UddfTerms::MixFractions mix = *UddfTerms::mixOfGas(gas.toInt());
            xml.open("mix", "id", id);
            xml.text("name", mixName(gas.toInt()));
            xml.text("o2", number(mix.o2));
            xml.text("he", number(mix.he));
            xml.close("mix");
        }
        xml.close("gasdefinitions");
    }

    // The links of a dive's information before the dive: site, dive base, buddies.
    QStringList links(const ExchangeDive& dive) const {
        QStringList refs;
        if (hasPlace(dive)) {
            refs << sites_.value(placeKey(dive));
        }
        if (!dive.operatorName.isEmpty()) {
            refs << bases_.value(dive.operatorName);
        }
        for (const QString& buddy : dive.buddies) {
            refs << buddies_.value(buddy);
        }
        return refs;
    }
    QString computer(const ExchangeDive& dive) const { return computers_.value(computerKey(dive)); }
    QString mix(int gas) const { return mixes_.value(QString::number(gas)); }

private:
    using Ids = QHash<QString, QString>;

    static void add(Ids& ids, const QString& key, const char* prefix, const ExchangeDive& dive,
                    std::map<QString, ExchangeDive>* first) {
        if (ids.contains(key)) {
            return;
        }
        ids.insert(key, QString::fromLatin1(prefix) + QString::number(ids.size() + 1));
        if (first) {
            first->emplace(key, dive);
        }
    }
    // By id number, so the file lists them in the order the log first names them.
    static std::vector<std::pair<QString, QString>> ordered(const Ids& ids) {
        std::vector<std::pair<QString, QString>> result;
        for (auto it = ids.cbegin(); it != ids.cend(); ++it) {
            result.emplace_back(it.key(), it.value());
        }
        const auto numberOf = [](const QString& id) {
            qsizetype digits = id.size();
            while (digits > 0 && id[digits - 1].isDigit()) {
                --digits;
            }
            return id.mid(digits).toInt();
        };
        std::sort(result.begin(), result.end(), [&](const auto& a, const auto& b) {
            return numberOf(a.second) < numberOf(b.second);
        });
        return result;
    }

    static void writePersonal(XmlOut& xml, const QString& name) {
        const auto [first, last] = splitName(name);
        xml.open("personal");
        xml.text("firstname", first);
        xml.text("lastname", last);
        xml.close("personal");
    }

    static void writeSite(XmlOut& xml, const QString& id, const ExchangeDive& dive) {
        xml.open("site", "id", id);
        xml.text("name", dive.site.isEmpty() ? dive.location : dive.site);
        const QString environment = UddfTerms::environmentWord(dive.siteType, dive.media);
        if (!environment.isEmpty()) {
            xml.text("environment", environment);
        }
        xml.open("geography");
        xml.text("location", dive.location);
        if (!dive.country.isEmpty() || !dive.state.isEmpty()) {
            xml.open("address");
            xml.text("country", dive.country);
            if (!dive.state.isEmpty()) {
                xml.text("province", dive.state);
            }
            xml.close("address");
        }
        xml.text("latitude", dive.latitude);
        xml.text("longitude", dive.longitude);
        xml.close("geography");
        if (const std::optional<double> density = UddfTerms::densityOf(dive.media)) {
            xml.open("sitedata");
            xml.text("density", density);
            xml.close("sitedata");
        }
        xml.close("site");
    }

    Ids sites_;
    Ids buddies_;
    Ids bases_;
    Ids computers_;
    Ids mixes_;
    std::map<QString, ExchangeDive> siteDives_;      // the first dive at each site
    std::map<QString, ExchangeDive> computerDives_;  // the first dive with each computer
};

void writeBefore(XmlOut& xml, const Catalogue& catalogue, const ExchangeDive& dive, int number) {
    xml.open("informationbeforedive");
    for (const QString& ref : catalogue.links(dive)) {
        xml.link(ref);
    }
    xml.text("divenumber", QString::number(number));
    xml.text("datetime", QDateTime(dive.date, dive.start.isValid() ? dive.start : QTime(0, 0))
                             .toString(Qt::ISODate));
    xml.text("airtemperature", dive.airTemperature);
    if (dive.surfaceInterval) {
        xml.open("surfaceintervalbeforedive");
        xml.text("passedtime", QString::number(*dive.surfaceInterval));
        xml.close("surfaceintervalbeforedive");
    }
    xml.text("altitude", dive.altitude);
    const QString computer = catalogue.computer(dive);
    if (dive.lead || !computer.isEmpty()) {
        xml.open("equipmentused");
        xml.text("leadquantity", dive.lead);
        if (!computer.isEmpty()) {
            xml.link(computer);
        }
        xml.close("equipmentused");
    }
    if (const QString platform = UddfTerms::platform(dive.access); !platform.isEmpty()) {
        xml.text("platform", platform);
    }
    if (const QString purpose = UddfTerms::purpose(dive.activity); !purpose.isEmpty()) {
        xml.text("purpose", purpose);
    }
    xml.close("informationbeforedive");
}

// A tank's begin pressure is required by the schema; 0 stands for "not known".
void writeTank(XmlOut& xml, const Catalogue& catalogue, const ExchangeDive& dive) {
    const QString mix = catalogue.mix(dive.gas);
    if (mix.isEmpty() && !dive.tankVolume && !dive.tankBegin && !dive.tankEnd) {
        return;
    }
    xml.open("tankdata");
    if (!mix.isEmpty()) {
        xml.link(mix);
    }
    xml.text("tankvolume", dive.tankVolume);
    xml.text("tankpressurebegin", dive.tankBegin.value_or(0));
    xml.text("tankpressureend", dive.tankEnd);
    xml.close("tankdata");
}

// The schema requires the greatest depth and the duration; 0 stands for "not known".
void writeAfter(XmlOut& xml, const ExchangeDive& dive) {
    xml.open("informationafterdive");
    xml.text("lowesttemperature", dive.bottomTemperature);
    xml.text("greatestdepth", dive.maxDepth.value_or(0));
    xml.text("averagedepth", dive.averageDepth);
    xml.text("visibility", dive.visibility);
    if (const QString current = UddfTerms::currentWord(dive.current); !current.isEmpty()) {
        xml.text("current", current);
    }
    xml.text("pressuredrop", dive.tankUsed);
    if (dive.cold) {
        xml.text("thermalcomfort", QStringLiteral("cold"));
    }
    if (!dive.notes.isEmpty()) {
        xml.open("notes");
        for (const QString& paragraph : dive.notes.split(u'\n')) {
            xml.text("para", paragraph);
        }
        xml.close("notes");
    }
    if (dive.rating > 0) {
        xml.open("rating");
        xml.text("ratingvalue", QString::number(dive.rating * 2));
        xml.close("rating");
    }
    xml.text("diveduration", double(dive.duration.value_or(0)));
    xml.close("informationafterdive");
}

void writeDive(XmlOut& xml, const Catalogue& catalogue, const ExchangeDive& dive, int number) {
    xml.open("dive", "id", QStringLiteral("dive%1").arg(number));
    writeBefore(xml, catalogue, dive, number);
    writeTank(xml, catalogue, dive);
    if (!dive.samples.empty()) {
        xml.open("samples");
        for (const ExchangeSample& sample : dive.samples) {
            xml.waypoint(sample);
        }
        xml.close("samples");
    }
    writeAfter(xml, dive);
    xml.close("dive");
}

QByteArray csvField(const QString& text) {
    const bool quote =
        text.contains(u',') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r');
    if (!quote) {
        return text.toUtf8();
    }
    return "\"" + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")).toUtf8() + "\"";
}

QByteArray csvLine(const QStringList& fields) {
    QByteArray line;
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        line += csvField(fields[i]);
    }
    return line + "\r\n";
}

template <typename Writer>
bool save(const QString& path, Writer write) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw IoError(QStringLiteral("Cannot write \"%1\": %2.").arg(path, file.errorString()));
    }
    bool finished = false;
    try {
        finished = write(&file);
    } catch (const IoError&) {
        file.cancelWriting();
        throw IoError(QStringLiteral("Cannot write \"%1\": %2.").arg(path, file.errorString()));
    }
    if (!finished) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        throw IoError(QStringLiteral("Cannot write \"%1\": %2.").arg(path, file.errorString()));
    }
    return true;
}

}  // namespace

namespace LogWriters {

bool writeUddf(const LogSnapshot& log, const UddfHeader& header, QIODevice* device,
               const WriteProgress& progress) {
    const Catalogue catalogue(log);
    XmlOut xml(device);
    xml.open("uddf", {{"xmlns", QString::fromLatin1(kNamespace)},
                      {"version", QString::fromLatin1(kVersion)}});
    xml.open("generator");
    xml.text("name", QStringLiteral("NEREVA Desktop"));
    xml.text("type", QStringLiteral("logbook"));
    xml.text("version", header.programVersion);
    xml.text("datetime", QDateTime::currentDateTime().toString(Qt::ISODate));
    xml.close("generator");
    catalogue.writeDiver(xml, header.ownerName);
    catalogue.writeSites(xml);
    catalogue.writeMixes(xml);
    if (log.count() > 0) {
        xml.open("profiledata");
        QDate groupDate;
        int groups = 0;
        for (int i = 0; i < log.count(); ++i) {
            if (progress && !progress(i, log.count())) {
                return false;
            }
            const ExchangeDive dive = log.dive(i);
            if (!dive.date.isValid()) {
                continue;  // UDDF has no dive without a date
            }
            if (groups == 0 || dive.date != groupDate) {
                if (groups > 0) {
                    xml.close("repetitiongroup");
                }
                xml.open("repetitiongroup", "id", QStringLiteral("group%1").arg(++groups));
                groupDate = dive.date;
            }
            writeDive(xml, catalogue, dive, i + 1);
        }
        if (groups > 0) {
            xml.close("repetitiongroup");
        }
        xml.close("profiledata");
    }
    xml.close("uddf");
    xml.finish();
    return true;
}

bool writeCsv(const LogSnapshot& log, QIODevice* device, const WriteProgress& progress) {
    Output out(device);
    out.append("\xEF\xBB\xBF");
    out.append(csvLine(log.fieldNames()));
    for (int i = 0; i < log.count(); ++i) {
        if (progress && !progress(i, log.count())) {
            return false;
        }
        out.append(csvLine(log.fieldTexts(i)));
    }
    out.flush();
    return true;
}

bool saveUddf(const LogSnapshot& log, const UddfHeader& header, const QString& path,
              const WriteProgress& progress) {
    return save(path, [&](QIODevice* device) { return writeUddf(log, header, device, progress); });
}

bool saveCsv(const LogSnapshot& log, const QString& path, const WriteProgress& progress) {
    return save(path, [&](QIODevice* device) { return writeCsv(log, device, progress); });
}

}  // namespace LogWriters
