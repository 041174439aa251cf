#include "interchange/log_import.h"

#include "app/settings/app_error.h"
#include "store/quiet_tables.h"
#include "store/table_data.h"
#include "store/tdm_rdp.h"

#include <QSet>
#include <algorithm>

namespace {

const QString kDate = QStringLiteral("Date");
const QString kTimeStart = QStringLiteral("Time_Start");
const QString kDepth = QStringLiteral("depth");
const QString kTime = QStringLiteral("time");
const QString kAlarm = QStringLiteral("alarm");

// The unit field each measure of a merged row depends on.
QString unitFieldOf(const QString& field) {
    static const QHash<QString, QString> units = {
        {QStringLiteral("altitude"), QStringLiteral("altitude_unit")},
        {QStringLiteral("depth"), QStringLiteral("depth_unit")},
        {QStringLiteral("max_depth"), QStringLiteral("depth_unit")},
        {QStringLiteral("cond_visibility"), QStringLiteral("cond_visibility_unit")},
        {QStringLiteral("cond_temp_air"), QStringLiteral("cond_temp_unit")},
        {QStringLiteral("cond_temp_bottom"), QStringLiteral("cond_temp_unit")},
        {QStringLiteral("pres_in"), QStringLiteral("pres_unit")},
        {QStringLiteral("pres_out"), QStringLiteral("pres_unit")},
        {QStringLiteral("pres_max"), QStringLiteral("pres_unit")},
        {QStringLiteral("lead_weight"), QStringLiteral("lead_unit")},
        {QStringLiteral("cil_size"), QStringLiteral("cil_size_unit")},
    };
    return units.value(field);
}

bool isEmptyField(const Table& table, const QString& field) {
    const QVariant value = table.value(field);
    return !value.isValid() || value.toString().trimmed().isEmpty();
}

void addRow(Table& table, const DiveFields::FieldValues& values) {
    table.insert();
    for (const DiveFields::FieldValue& value : values) {
        table.setValue(value.field, value.value);
    }
    table.post();
}

// Fills the empty fields of the current row (a new row when there is none). A measure goes in
// only where its unit field is empty or names the unit it was converted to.
void fillRow(Table& table, const DiveFields::FieldValues& values) {
    if (table.recordCount() == 0) {
        addRow(table, values);
        return;
    }
    QHash<QString, QVariant> unitsUsed;
    for (const DiveFields::FieldValue& value : values) {
        if (value.field.endsWith(QLatin1String("_unit"))) {
            unitsUsed.insert(value.field, value.value);
        }
    }
    for (const DiveFields::FieldValue& value : values) {
        const QString unitField = unitFieldOf(value.field);
        const bool unitAgrees = unitField.isEmpty() || isEmptyField(table, unitField) ||
                                table.asInteger(unitField) == unitsUsed.value(unitField).toInt();
        if (unitAgrees && isEmptyField(table, value.field)) {
            table.setValue(value.field, value.value);
        }
    }
    table.post();
}

void cancelEdits(const QList<Table*>& tables) {
    for (Table* table : tables) {
        table->cancel();
    }
}

}  // namespace

LogImport::LogImport(Tdm_rdp& tables, LogFile file, const DiveFields::DiveUnits& units)
    : tables_(tables), file_(std::move(file)), units_(units) {
    markDuplicates();
}

qint64 LogImport::keyOf(const QDate& date, const QTime& time) {
    const int minute = time.isValid() ? time.hour() * 60 + time.minute() : -1;
    return date.toJulianDay() * 1441 + minute + 1;
}

void LogImport::markDuplicates() {
    const auto dives = tables_.cds_dives->snapshot();
    const int dateField = dives->layout->indexOf(kDate);
    const int timeField = dives->layout->indexOf(kTimeStart);
    for (const Row& row : dives->rows) {
        const QDate date = dives->layout->value(row, dateField).toDate();
        if (date.isValid()) {
            known_.insert(keyOf(date, dives->layout->value(row, timeField).toTime()), row.id());
        }
    }
    QSet<qint64> seen;
    duplicate_.reserve(file_.dives.size());
    for (const ExchangeDive& dive : file_.dives) {
        const qint64 key = keyOf(dive.date, dive.start);
        duplicate_.push_back(known_.contains(key) || seen.contains(key));
        seen.insert(key);
    }
}

int LogImport::duplicateCount() const {
    return int(std::count(duplicate_.cbegin(), duplicate_.cend(), true));
}

ImportSummary LogImport::apply(DuplicateChoice choice,
                               const std::function<bool(int, int)>& progress) {
    ImportSummary summary;
    summary.counts = file_.counts;
    summary.divesLeftOut = file_.divesLeftOut;
    const bool wasBusy = tables_.busy();
    tables_.setBusy(true);
    {
        const QuietTables quiet({tables_.cds_dives, tables_.cds_conditions, tables_.cds_equipment,
                                 tables_.cds_profile});
        const int total = int(file_.dives.size());
        for (int i = 0; i < total; ++i) {
            if (progress && !progress(i, total)) {
                summary.stopped = true;
                summary.notReached = total - i;
                break;
            }
            const ExchangeDive& dive = file_.dives[i];
            importDive(dive, keyOf(dive.date, dive.start), choice, summary);
        }
        // Lowered before the held notifications go out, so that the windows' change handlers
        // act on them.
        tables_.setBusy(wasBusy);
    }
    return summary;
}

void LogImport::importDive(const ExchangeDive& dive, qint64 key, DuplicateChoice choice,
                           ImportSummary& summary) {
    const Table::Bookmark existing = known_.value(key, 0);
    if (existing != 0 && choice == DuplicateChoice::Skip) {
        ++summary.duplicatesSkipped;
        return;
    }
    ExchangeCounts counts;
    try {
        if (existing != 0) {
            if (mergeInto(existing, dive, counts)) {
                ++summary.merged;
            } else {
                ++summary.lockedSkipped;
            }
        } else {
            const Table::Bookmark added = addDive(dive, counts);
            known_.insert(key, added);
            summary.firstAdded = summary.firstAdded ? summary.firstAdded : added;
            ++summary.imported;
        }
        summary.counts += counts;
    } catch (const AppError&) {
        ++summary.refused;
    }
}

Table::Bookmark LogImport::addDive(const ExchangeDive& dive, ExchangeCounts& counts) {
    const DiveFields::DiveRows rows = DiveFields::rowsOf(dive, units_, counts);
    Table& dives = *tables_.cds_dives;
    try {
        addRow(dives, rows.dive);
    } catch (const AppError&) {
        dives.cancel();
        throw;
    }
    const Table::Bookmark added = dives.bookmark();
    try {
        addRow(*tables_.cds_conditions, rows.conditions);
        addRow(*tables_.cds_equipment, rows.equipment);
        addSamples(dive, units_.distance);
    } catch (const AppError&) {
        removeCurrentDive();
        throw;
    }
    return added;
}

// Whatever of the current dive was written goes again, so that no half dive stays.
void LogImport::removeCurrentDive() {
    for (Table* detail : {tables_.cds_profile, tables_.cds_equipment, tables_.cds_conditions}) {
        detail->cancel();
        while (detail->recordCount() > 0) {
            detail->remove();
        }
    }
    tables_.cds_dives->remove();
}

void LogImport::addSamples(const ExchangeDive& dive, int distanceUnit) {
    Table& profile = *tables_.cds_profile;
    for (const ExchangeSample& sample : dive.samples) {
        profile.insert();
        profile.setValue(kDepth, DiveFields::sampleDepth(sample, distanceUnit));
        profile.setValue(kTime, sample.time);
        if (sample.alarm != 0) {
            profile.setValue(kAlarm, sample.alarm);
        }
        profile.post();
    }
}

bool LogImport::isProtected() const {
    const Table& dives = *tables_.cds_dives;
    return dives.asInteger(QStringLiteral("locked")) == 1 ||
           dives.asInteger(QStringLiteral("certify_by")) == 1;
}

bool LogImport::mergeInto(Table::Bookmark target, const ExchangeDive& dive,
                          ExchangeCounts& counts) {
    tables_.cds_dives->gotoBookmark(target);
    if (isProtected()) {
        return false;
    }
    Table& conditions = *tables_.cds_conditions;
    Table& equipment = *tables_.cds_equipment;
    const auto field = [](const Table& table) {
        return [&table](const QString& name) {
            return table.recordCount() > 0 ? table.value(name) : QVariant();
        };
    };
    // The dive's own units where it names them.
    const DiveFields::DiveUnits existing = DiveFields::unitsOf(field(conditions), field(equipment));
    const auto unit = [](const Table& table, const char* unitField, int own, int imported) {
        const bool named =
            table.recordCount() > 0 && !isEmptyField(table, QString::fromLatin1(unitField));
        return named ? own : imported;
    };
    DiveFields::DiveUnits units;
    units.distance = unit(conditions, "depth_unit", existing.distance, units_.distance);
    units.temperature =
        unit(conditions, "cond_temp_unit", existing.temperature, units_.temperature);
    units.pressure = unit(equipment, "pres_unit", existing.pressure, units_.pressure);
    units.volume = unit(equipment, "cil_size_unit", existing.volume, units_.volume);
    units.weight = unit(equipment, "lead_unit", existing.weight, units_.weight);
    const DiveFields::DiveRows rows = DiveFields::rowsOf(dive, units, counts);
    try {
        fillRow(*tables_.cds_dives, rows.dive);
        fillRow(conditions, rows.conditions);
        fillRow(equipment, rows.equipment);
        if (tables_.cds_profile->recordCount() == 0) {
            addSamples(dive, units.distance);
        }
    } catch (const AppError&) {
        cancelEdits({tables_.cds_dives, &conditions, &equipment, tables_.cds_profile});
        throw;
    }
    return true;
}
