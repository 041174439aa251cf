#include "sync/dive_upload.h"

#include "app/settings/regional_formats.h"
#include "store/tdm_rdp.h"
#include "sync/quiet_tables.h"
#include "sync/sync_fields.h"

namespace {

using DiveRecord::UploadForm;

// Null dates and times go up as the zero date-time.
const QDateTime kZeroDateTime(QDate(1899, 12, 30), QTime(0, 0));
const QString kSeconds = QStringLiteral(":00");
const QString kLineEnd = QStringLiteral("\r\n");
const QString kFieldSeparator = QStringLiteral("##");

// The text form of a stored value: null is empty, numbers with the decimal point.
QString textOf(const QVariant& value) {
    if (!value.isValid()) {
        return {};
    }
    if (value.typeId() == QMetaType::Double) {
        return RegionalFormats::formatFloat(value.toDouble());
    }
    return value.toString();
}

QString formatted(const QVariant& value, UploadForm form) {
    switch (form) {
        case UploadForm::IsoDateTime:
            return (value.isValid() ? value.toDateTime() : kZeroDateTime)
                .toString(QStringLiteral("yyyy-MM-dd hh:mm"));
        case UploadForm::IsoDate:
            return (value.isValid() ? value.toDate() : kZeroDateTime.date())
                .toString(QStringLiteral("yyyy-MM-dd"));
        case UploadForm::IsoTimeSeconds:
            return (value.isValid() ? value.toTime() : kZeroDateTime.time())
                       .toString(QStringLiteral("hh:mm")) +
                   kSeconds;
        case UploadForm::DurationSeconds:
            return SyncFields::encode(textOf(value)) + kSeconds;
        case UploadForm::Text:
            break;
    }
    return SyncFields::encode(textOf(value));
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

}  // namespace

DiveUpload::DiveUpload(Tdm_rdp& tables) : tables_(tables), dives_(tables.cds_dives) {
    for (const DiveRecord::Position& position : DiveRecord::layout()) {
        Table* table = tableOf(tables, position.source);
        sources_.append({table, table->fieldIndex(position.uploadField), position.uploadForm});
    }
}

QStringList DiveUpload::records(const std::function<bool()>& stopped) {
    const QuietTables quiet({dives_, tables_.cds_conditions, tables_.cds_equipment});
    QStringList lines;
    lines.reserve(dives_->recordCount());
    for (dives_->first(); !dives_->eof(); dives_->next()) {
        if (stopped && stopped()) {
            break;
        }
        lines.append(currentRecord());
    }
    return lines;
}

// The dive's own values are read from its row; a detail table shows the current dive's row
// first, or none (its values are then null).
QString DiveUpload::currentRecord() const {
    const int diveRow = dives_->recNo() - 1;
    QString line;
    line.reserve(512);
    for (int i = 0; i < sources_.size(); ++i) {
        const Source& source = sources_[i];
        const bool isDive = source.table == dives_;
        const int row = isDive ? diveRow : 0;
        const QVariant value = isDive || source.table->recordCount() > 0
                                   ? source.table->valueAt(row, source.field)
                                   : QVariant();
        if (i > 0) {
            line += kFieldSeparator;
        }
        line += formatted(value, source.form);
    }
    return line;
}

QString DiveUpload::body(const QStringList& records) {
    QString text;
    qsizetype size = 0;
    for (const QString& record : records) {
        size += record.size() + kLineEnd.size();
    }
    text.reserve(size);
    for (const QString& record : records) {
        text += record;
        text += kLineEnd;
    }
    return text;
}
