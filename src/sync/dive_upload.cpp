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
constexpr char kSeconds[] = ":00";
constexpr char kLineEnd[] = "\r\n";
constexpr char kFieldSeparator[] = "##";
// Bytes of a dive with notes, conditions and equipment (about 600); more only costs a move of
// the buffer.
constexpr int kRecordSizeGuess = 640;

// Text whose characters are all in ISO-8859-1, one byte each.
void appendLatin1(QByteArray& out, QStringView text) {
    const qsizetype at = out.size();
    out.resize(at + text.size());
    char* byte = out.data() + at;
    for (const QChar c : text) {
        *byte++ = char(c.unicode());
    }
}

// Decimal digits, at least `width` of them (zeros in front).
void appendNumber(QByteArray& out, qint64 number, int width = 0) {
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    for (qsizetype pad = width - (end - digits); pad > 0; --pad) {
        out += '0';
    }
    out.append(digits, end - digits);
}

// "yyyy-MM-dd".
void appendDate(QByteArray& out, const QDate& date) {
    appendNumber(out, date.year(), 4);
    out += '-';
    appendNumber(out, date.month(), 2);
    out += '-';
    appendNumber(out, date.day(), 2);
}

// "hh:mm".
void appendTime(QByteArray& out, const QTime& time) {
    appendNumber(out, time.hour(), 2);
    out += ':';
    appendNumber(out, time.minute(), 2);
}

// The text form of a stored value: null is empty, numbers in plain decimals, texts escaped
// (which leaves nothing outside ISO-8859-1).
void appendText(QByteArray& out, const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::UnknownType:
            return;
        case QMetaType::Int:
            appendNumber(out, value.toInt());
            return;
        case QMetaType::Double:
            appendLatin1(out, SyncFields::decimal(value.toDouble()));
            return;
        default:
            appendLatin1(out, SyncFields::encode(value.toString()));
    }
}

void appendValue(QByteArray& out, const QVariant& value, Form form) {
    switch (form) {
        case Form::DateTime: {
            const QDateTime at = value.isValid() ? value.toDateTime() : kZeroDateTime;
            appendDate(out, at.date());
            out += ' ';
            appendTime(out, at.time());
            return;
        }
        case Form::Date:
            appendDate(out, value.isValid() ? value.toDate() : kZeroDateTime.date());
            return;
        case Form::TimeOfDay:
            appendTime(out, value.isValid() ? value.toTime() : kZeroDateTime.time());
            out += kSeconds;
            return;
        case Form::Duration:
            appendText(out, value);
            out += kSeconds;
            return;
        case Form::Text:
            appendText(out, value);
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

qsizetype DiveUpload::sizeGuess() const {
    return qsizetype(tables_.cds_dives->recordCount()) * kRecordSizeGuess;
}

void DiveUpload::write(QByteArray& out, const std::function<bool()>& stopped) {
    Table* dives = tables_.cds_dives;
    for (Table* table : {tables_.cds_conditions, tables_.cds_equipment, dives}) {
        settle(table);
    }
    dives->first();
    conditions_ = std::make_unique<DiveDetailRows>(*tables_.cds_conditions);
    equipment_ = std::make_unique<DiveDetailRows>(*tables_.cds_equipment);
    for (int row = 0; row < dives->recordCount(); ++row) {
        if (stopped && stopped()) {
            break;
        }
        appendRecord(out, row);
        out += kLineEnd;
    }
}

void DiveUpload::appendRecord(QByteArray& out, int diveRow) const {
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
            out += kFieldSeparator;
        }
        appendValue(out, value, source.form);
    }
}
