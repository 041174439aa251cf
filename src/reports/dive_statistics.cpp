#include "reports/dive_statistics.h"

#include "app/settings/regional_formats.h"
#include "reports/value_texts.h"
#include "store/dive_detail_rows.h"
#include "store/table.h"
#include "store/table_data.h"

#include <unordered_map>
#include <vector>

namespace {

constexpr double kMetresPerFoot = 0.3048;
constexpr int kImperial = 2;

int digit(QChar c) {
    return c >= u'0' && c <= u'9' ? c.unicode() - u'0' : -1;
}

// The fields a pass reads, looked up once.
struct Fields {
    explicit Fields(const RecordLayout& dives, const DiveDetailRows& conditions)
        : local(dives.indexOf(u"id_local_dive")),
          date(dives.indexOf(u"Date")),
          location(dives.indexOf(u"Location")),
          site(dives.indexOf(u"Site")),
          country(dives.indexOf(u"pais")),
          bottomTime(conditions.field(u"bottom_time")),
          maxDepth(conditions.field(u"max_depth")),
          depth(conditions.field(u"depth")),
          depthUnit(conditions.field(u"depth_unit")),
          tempBottom(conditions.field(u"cond_temp_bottom")),
          tempSurface(conditions.field(u"cond_temp_surf")),
          tempUnit(conditions.field(u"cond_temp_unit")) {}
    int local, date, location, site, country;
    int bottomTime, maxDepth, depth, depthUnit, tempBottom, tempSurface, tempUnit;
};

// The first of two fields that is not null.
int firstSet(const RecordLayout& layout, const Row& row, int preferred, int other) {
    if (!layout.isNull(row, preferred)) {
        return preferred;
    }
    return layout.isNull(row, other) ? -1 : other;
}

void keepHigher(DiveStatistics::Mark& mark, int row, double value) {
    if (mark.row < 0 || value > mark.value) {
        mark = {row, value, {}, {}, {}};
    }
}

void keepLower(DiveStatistics::Mark& mark, int row, double value) {
    if (mark.row < 0 || value < mark.value) {
        mark = {row, value, {}, {}, {}};
    }
}

// Names counted once regardless of case and surrounding blanks. A name seen before costs a
// hash of its folded characters and a comparison, no copy: most logs repeat a few places.
class DistinctNames {
public:
    void add(QStringView name) {
        name = name.trimmed();
        if (name.isEmpty()) {
            return;
        }
        std::vector<QString>& bucket = buckets_[foldedHash(name)];
        for (const QString& seen : bucket) {
            if (name.compare(seen, Qt::CaseInsensitive) == 0) {
                return;
            }
        }
        bucket.push_back(name.toString());
        ++count_;
    }
    int count() const { return count_; }

private:
    // Over code points folded as the case-insensitive comparison folds them.
    static size_t foldedHash(QStringView name) {
        size_t hash = 14695981039346656037ull;
        for (qsizetype i = 0; i < name.size(); ++i) {
            char32_t code = name[i].unicode();
            if (QChar::isHighSurrogate(code) && i + 1 < name.size() &&
                name[i + 1].isLowSurrogate()) {
                code = QChar::surrogateToUcs4(name[i], name[i + 1]);
                ++i;
            }
            hash = (hash ^ QChar::toCaseFolded(code)) * 1099511628211ull;
        }
        return hash;
    }

    std::unordered_map<size_t, std::vector<QString>> buckets_;
    int count_ = 0;
};

// The number and unit word of a field as logged.
QString withUnit(const QVariant& value, int unitCode, const ValueDomain& units) {
    const QString unit = ValueTexts::shownText(units, unitCode);
    const QString number = RegionalFormats::formatValue(value);
    return unit.isEmpty() ? number : number + QLatin1Char(' ') + unit;
}

class Pass {
public:
    Pass(const Table& dives, const Table& conditions)
        : data_(dives.snapshot()),
          layout_(*data_->layout),
          conditions_(conditions),
          f_(layout_, conditions_) {}

    DiveStatistics run() {
        stats_.dives = int(data_->rows.size());
        for (int i = 0; i < data_->rows.size(); ++i) {
            visit(i, data_->rows[i]);
        }
        stats_.locations = locations_.count();
        stats_.countries = countries_.count();
        describeMarks();
        return stats_;
    }

private:
    void visit(int i, const Row& dive) {
        if (!layout_.isNull(dive, f_.date)) {
            if (stats_.first.row < 0) {
                stats_.first.row = i;
            }
            stats_.latest.row = i;
            ++stats_.divesPerYear[yearOf(layout_.integer(dive, f_.date))];
        }
        locations_.add(layout_.text(dive, f_.location));
        countries_.add(layout_.text(dive, f_.country));
        const Row* conditions = layout_.isNull(dive, f_.local)
                                    ? nullptr
                                    : conditions_.of(int(layout_.integer(dive, f_.local)));
        if (conditions) {
            visitConditions(i, *conditions);
        }
    }

    void visitConditions(int i, const Row& row) {
        const RecordLayout& c = conditions_.layout();
        if (const std::optional<int> minutes = bottomTimeMinutes(c.text(row, f_.bottomTime))) {
            stats_.bottomMinutes += *minutes;
            keepHigher(stats_.longest, i, *minutes);
        }
        const int depth = firstSet(c, row, f_.maxDepth, f_.depth);
        if (depth >= 0) {
            const bool feet = c.integer(row, f_.depthUnit) == kImperial;
            keepHigher(stats_.deepest, i, c.real(row, depth) * (feet ? kMetresPerFoot : 1));
        }
        const int temp = firstSet(c, row, f_.tempBottom, f_.tempSurface);
        if (temp >= 0) {
            const bool fahrenheit = c.integer(row, f_.tempUnit) == kImperial;
            const double logged = c.real(row, temp);
            const double celsius = fahrenheit ? (logged - 32) * 5 / 9 : logged;
            keepLower(stats_.coldest, i, celsius);
            keepHigher(stats_.warmest, i, celsius);
        }
    }

    void describeMarks() {
        const ValueDomain distance = ValueTexts::translated(ValueDomains::distanceUnit());
        const ValueDomain temperature = ValueTexts::translated(ValueDomains::temperatureUnit());
        describe(stats_.deepest, [&](const Row& c) {
            const int depth = firstSet(conditions_.layout(), c, f_.maxDepth, f_.depth);
            return withUnit(conditions_.value(&c, depth), detailCode(c, f_.depthUnit), distance);
        });
        describe(stats_.longest,
                 [&](const Row&) { return bottomTimeText(qint64(stats_.longest.value)); });
        const auto temperatureText = [&](const Row& c) {
            const int temp = firstSet(conditions_.layout(), c, f_.tempBottom, f_.tempSurface);
            return withUnit(conditions_.value(&c, temp), detailCode(c, f_.tempUnit), temperature);
        };
        describe(stats_.coldest, temperatureText);
        describe(stats_.warmest, temperatureText);
        describe(stats_.first, nullptr);
        describe(stats_.latest, nullptr);
    }

    // Dives come in date order, so the year of the dive before mostly holds.
    int yearOf(qint64 julianDay) {
        if (julianDay < yearStart_ || julianDay >= yearEnd_) {
            year_ = QDate::fromJulianDay(julianDay).year();
            yearStart_ = QDate(year_, 1, 1).toJulianDay();
            yearEnd_ = QDate(year_ + 1, 1, 1).toJulianDay();
        }
        return year_;
    }

    int detailCode(const Row& row, int field) const {
        return int(conditions_.layout().integer(row, field));
    }

    template <typename Shown>
    void describe(DiveStatistics::Mark& mark, const Shown& shown) {
        if (mark.row < 0) {
            return;
        }
        const Row& dive = data_->rows[mark.row];
        if (!layout_.isNull(dive, f_.date)) {
            mark.date = QDate::fromJulianDay(layout_.integer(dive, f_.date));
        }
        QStringList place;
        for (int field : {f_.location, f_.site}) {
            const QStringView name = layout_.text(dive, field).trimmed();
            if (!name.isEmpty()) {
                place << name.toString();
            }
        }
        mark.place = place.join(QStringLiteral(", "));
        if constexpr (!std::is_same_v<Shown, std::nullptr_t>) {
            mark.shown = shown(*conditions_.of(int(layout_.integer(dive, f_.local))));
        }
    }

    std::shared_ptr<const TableData> data_;
    const RecordLayout& layout_;
    DiveDetailRows conditions_;
    Fields f_;
    DiveStatistics stats_;
    DistinctNames locations_;
    DistinctNames countries_;
    int year_ = 0;
    qint64 yearStart_ = 0;
    qint64 yearEnd_ = 0;  // the cached year covers [yearStart_, yearEnd_)
};

}  // namespace

DiveStatistics computeDiveStatistics(const Table& dives, const Table& conditions) {
    return Pass(dives, conditions).run();
}

std::optional<int> bottomTimeMinutes(QStringView text) {
    if (text.size() != 5 || text[2] != u':') {
        return std::nullopt;
    }
    const int digits[] = {digit(text[0]), digit(text[1]), digit(text[3]), digit(text[4])};
    for (int d : digits) {
        if (d < 0) {
            return std::nullopt;
        }
    }
    return (digits[0] * 10 + digits[1]) * 60 + digits[2] * 10 + digits[3];
}

QString bottomTimeText(qint64 minutes) {
    return QStringLiteral("%1h %2'").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}
