#include "sync/dive_upload.h"

#include "store/dive_detail_rows.h"
#include "store/table_data.h"
#include "store/tdm_rdp.h"
#include "wire/sync_fields.h"

#include <charconv>

namespace {

using DiveRecord::Form;

// Null dates and times go up as the zero date-time.
const QDateTime kZeroDateTime(QDate(1899, 12, 30), QTime(0, 0));
const QString kSeconds = QStringLiteral(":00");
const QString kLineEnd = QStringLiteral("\r\n");
const QString kFieldSeparator = QStringLiteral("##");
constexpr int kRecordSizeGuess = 480;

// Decimal digits, at least `width` of them (zeros in front).
void appendNumber(QString& line, qint64 number, int width = 0) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    for (qsizetype pad = width - (end - digits); pad > 0; --pad) {
        line += u'0';
    }
    line += QLatin1String(digits, end - digits);
}

// "yyyy-MM-dd".
void appendDate(QString& line, const QDate& date) {
    appendNumber(line, date.year(), 4);
    line += u'-';
    appendNumber(line, date.month(), 2);
    line += u'-';
    appendNumber(line, date.day(), 2);
}

// "hh:mm".
void appendTime(QString& line, const QTime& time) {
    appendNumber(line, time.hour(), 2);
    line += u':';
    appendNumber(line, time.minute(), 2);
}

// The text form of a stored value: null is empty, numbers in plain decimals.
void appendText(QString& line, const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::UnknownType:
            return;
        case QMetaType::Int:
            appendNumber(line, value.toInt());
            return;
        case QMetaType::Double:
            line += SyncFields::decimal(value.toDouble());
            return;
        default:
            line += SyncFields::encode(value.toString());
    }
}

void appendValue(QString& line, const QVariant& value, Form form) {
    switch (form) {
        case Form::DateTime: {
            const QDateTime at = value.isValid() ? value.toDateTime() : kZeroDateTime;
            appendDate(line, at.date());
            line += u' ';
            appendTime(line, at.time());
            return;
        }
        case Form::Date:
            appendDate(line, value.isValid() ? value.toDate() : kZeroDateTime.date());
            return;
        case Form::TimeOfDay:
            appendTime(line, value.isValid() ? value.toTime() : kZeroDateTime.time());
            line += kSeconds;
            return;
        case Form::Duration:
            appendText(line, value);
            line += kSeconds;
            return;
        case Form::Text:
            appendText(line, value);
    }
}

Table* tableOf(Tdm_rdp& tables, DiveRecord::Source source) {
    switch (source) {
        case DiveRecord::Source::Conditions:
            return tables.cds_conditions;
        case DiveRecord::Source::Equipment:
            return tables.cds_equipment;
        case DiveRecord::Source::Dive:
            break;
    }
    return tables.cds_dives;
}

// Ends a pending edit the way moving to another row does.
void settle(Table* table) {
    if (table->state() == Table::State::Edit || table->state() == Table::State::Insert) {
        table->modified() ? table->post() : table->cancel();
    }
}

const QString kDiveKey = QStringLiteral("id_local_dive");

}  // namespace

DiveUpload::DiveUpload(Tdm_rdp& tables)
    : tables_(tables), localField_(tables.cds_dives->fieldIndex(kDiveKey)) {
    for (const DiveRecord::Position& position : DiveRecord::layout()) {
        const Table* table = tableOf(tables, position.source);
        sources_.append({position.source, table->fieldIndex(position.uploadField), position.form});
    }
}

DiveUpload::~DiveUpload() = default;

QString DiveUpload::body(const std::function<bool()>& stopped) {
    Table* dives = tables_.cds_dives;
    for (Table* table : {tables_.cds_conditions, tables_.cds_equipment, dives}) {
        settle(table);
    }
    dives->first();
    conditions_ = std::make_unique<DiveDetailRows>(*tables_.cds_conditions);
    equipment_ = std::make_unique<DiveDetailRows>(*tables_.cds_equipment);
    QString text;
    text.reserve(qsizetype(dives->recordCount()) * kRecordSizeGuess);
    for (int row = 0; row < dives->recordCount(); ++row) {
        if (stopped && stopped()) {
            break;
        }
        appendRecord(text, row);
        text += kLineEnd;
    }
    return text;
}

void DiveUpload::appendRecord(QString& text, int diveRow) const {
    const Table* dives = tables_.cds_dives;
    const int local = dives->valueAt(diveRow, localField_).toInt();
    const Row* conditions = conditions_->of(local);
    const Row* equipment = equipment_->of(local);
    for (int i = 0; i < sources_.size(); ++i) {
        const Source& source = sources_[i];
        QVariant value;
        switch (source.table) {
            case DiveRecord::Source::Dive:
                value = dives->valueAt(diveRow, source.field);
                break;
            case DiveRecord::Source::Conditions:
                value = conditions_->value(conditions, source.field);
                break;
            case DiveRecord::Source::Equipment:
                value = equipment_->value(equipment, source.field);
                break;
        }
        if (i > 0) {
            text += kFieldSeparator;
        }
        appendValue(text, value, source.form);
    }
}
