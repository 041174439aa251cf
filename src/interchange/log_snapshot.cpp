#include "interchange/log_snapshot.h"

#include "app/settings/regional_formats.h"
#include "interchange/dive_fields.h"
#include "store/table_data.h"
#include "store/tdm_rdp.h"

#include <algorithm>
#include <limits>

namespace {

const QString kDiveKey = QStringLiteral("id_local_dive");

}  // namespace

// A detail table's rows, kept in the order of their dive key.
struct LogSnapshot::Detail {
    std::shared_ptr<const TableData> data;
    int keyField;

    explicit Detail(const Table* table)
        : data(table->snapshot()), keyField(data->layout->indexOf(kDiveKey)) {}

    qint64 keyOf(const Row& row) const {
        return data->layout->isNull(row, keyField) ? std::numeric_limits<qint64>::min()
                                                   : data->layout->integer(row, keyField);
    }
    // The rows of dive `id`, [first, last).
    std::pair<int, int> range(int id) const {
        const auto less = [this](const Row& row, qint64 key) { return keyOf(row) < key; };
        const auto greater = [this](qint64 key, const Row& row) { return key < keyOf(row); };
        const auto first =
            std::lower_bound(data->rows.cbegin(), data->rows.cend(), qint64(id), less);
        const auto last = std::upper_bound(first, data->rows.cend(), qint64(id), greater);
        return {int(first - data->rows.cbegin()), int(last - data->rows.cbegin())};
    }
    DiveFields::FieldReader reader(int id) const {
        const auto [first, last] = range(id);
        if (first == last) {
            return [](const QString&) { return QVariant(); };
        }
        const Row* row = &data->rows[first];
        return [this, row](const QString& field) {
            const int index = data->layout->indexOf(field);
            return index < 0 ? QVariant() : data->layout->value(*row, index);
        };
    }
};

LogSnapshot::LogSnapshot(const Tdm_rdp& tables, const QSet<int>& only)
    : dives_(tables.cds_dives->snapshot()),
      conditions_(std::make_unique<Detail>(tables.cds_conditions)),
      equipment_(std::make_unique<Detail>(tables.cds_equipment)),
      profile_(std::make_unique<Detail>(tables.cds_profile)),
      idField_(dives_->layout->indexOf(kDiveKey)) {
    for (int row = 0; row < dives_->rows.size(); ++row) {
        if (only.isEmpty() ||
            only.contains(int(dives_->layout->integer(dives_->rows[row], idField_)))) {
            rows_.push_back(row);
        }
    }
}

LogSnapshot::~LogSnapshot() = default;

int LogSnapshot::diveId(int index) const {
    return int(dives_->layout->integer(dives_->rows[rows_[index]], idField_));
}

ExchangeDive LogSnapshot::dive(int index, bool withSamples) const {
    const Row& row = dives_->rows[rows_[index]];
    const auto diveReader = [this, &row](const QString& field) {
        const int at = dives_->layout->indexOf(field);
        return at < 0 ? QVariant() : dives_->layout->value(row, at);
    };
    const int id = diveId(index);
    const DiveFields::FieldReader conditions = conditions_->reader(id);
    ExchangeDive dive = DiveFields::diveOf(diveReader, conditions, equipment_->reader(id));
    if (!withSamples) {
        return dive;
    }
    const int distance = DiveFields::unitsOf(conditions, equipment_->reader(id)).distance;
    const RecordLayout& layout = *profile_->data->layout;
    const int depthField = layout.indexOf(QStringLiteral("depth"));
    const int timeField = layout.indexOf(QStringLiteral("time"));
    const int alarmField = layout.indexOf(QStringLiteral("alarm"));
    const auto [first, last] = profile_->range(id);
    dive.samples.reserve(last - first);
    for (int i = first; i < last; ++i) {
        const Row& sample = profile_->data->rows[i];
        if (layout.isNull(sample, depthField) || layout.isNull(sample, timeField)) {
            continue;  // a row without a depth or a time is no point of the profile
        }
        const int alarm =
            layout.isNull(sample, alarmField) ? 0 : int(layout.integer(sample, alarmField));
        dive.samples.push_back(DiveFields::sampleOf(layout.real(sample, depthField),
                                                    int(layout.integer(sample, timeField)), alarm,
                                                    distance));
    }
    return dive;
}

QStringList LogSnapshot::fieldNames() const {
    QStringList names;
    for (const auto* layout :
         {dives_->layout.get(), conditions_->data->layout.get(), equipment_->data->layout.get()}) {
        for (const FieldDef& field : layout->fields()) {
            if (layout == dives_->layout.get() || field.name != kDiveKey) {
                names << field.name;
            }
        }
    }
    return names;
}

QStringList LogSnapshot::fieldTexts(int index) const {
    QStringList texts;
    const RecordLayout& dives = *dives_->layout;
    const Row& row = dives_->rows[rows_[index]];
    for (int field = 0; field < dives.count(); ++field) {
        texts << RegionalFormats::formatValue(dives.value(row, field));
    }
    const int id = diveId(index);
    for (const Detail* detail : {conditions_.get(), equipment_.get()}) {
        const RecordLayout& layout = *detail->data->layout;
        const auto [first, last] = detail->range(id);
        for (int field = 0; field < layout.count(); ++field) {
            if (field != detail->keyField) {
                texts << (first < last ? RegionalFormats::formatValue(
                                             layout.value(detail->data->rows[first], field))
                                       : QString());
            }
        }
    }
    return texts;
}
