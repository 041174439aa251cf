#include "service/dive_line.h"

#include "service/text_rules.h"

#include "app/settings/regional_formats.h"
#include "wire/dive_record.h"
#include "wire/field_list.h"
#include "wire/sync_fields.h"

#include <QDate>
#include <QStringList>

namespace {

using DiveRecord::Form;

const QString kSeparator = QStringLiteral("##");
const QString kSeconds = QStringLiteral(":00");
const QString kZeroDate = QStringLiteral("1899-12-30");
constexpr int kFirstStored = 4;  // positions 1 to 4 are the service's own

int indexOfUpload(const QString& field) {
    const QVector<DiveRecord::Position>& layout = DiveRecord::layout();
    for (int i = 0; i < layout.size(); ++i) {
        if (layout[i].uploadField == field) {
            return i;
        }
    }
    Q_ASSERT_X(false, "indexOfUpload", qPrintable(field));
    return -1;
}

// For each answer place, the upload place that carries its field.
QVector<int> makeAnswerSources() {
    const QVector<DiveRecord::Position>& layout = DiveRecord::layout();
    QVector<int> sources(layout.size(), -1);
    for (int i = 0; i < layout.size(); ++i) {
        if (!layout[i].answerField.isEmpty()) {
            sources[i] = indexOfUpload(layout[i].answerField);
        }
    }
    return sources;
}

struct Places {
    QVector<int> answerSources = makeAnswerSources();
    int idDive = indexOfUpload(QStringLiteral("id_dive"));
    int localId = indexOfUpload(QStringLiteral("id_local_dive"));
    int certifyBy = indexOfUpload(QStringLiteral("certify_by"));
    int date = indexOfUpload(QStringLiteral("Date"));
    int time = indexOfUpload(QStringLiteral("Time_Start"));
    int location = indexOfUpload(QStringLiteral("id_Location"));
    QVector<int> people = {
        indexOfUpload(QStringLiteral("id_buddy")), indexOfUpload(QStringLiteral("id_instructor")),
        indexOfUpload(QStringLiteral("id_team1")), indexOfUpload(QStringLiteral("id_team2")),
        indexOfUpload(QStringLiteral("id_team3")), indexOfUpload(QStringLiteral("id_team4")),
        indexOfUpload(QStringLiteral("id_team5")),
    };
};

const Places& places() {
    static const Places p;
    return p;
}

// Whole numbers only; empty reads as 0.
bool readNumber(const QString& text, int& number) {
    if (text.isEmpty()) {
        number = 0;
        return true;
    }
    bool ok = false;
    number = text.toInt(&ok, 10);
    return ok;
}

int numberOrZero(const QString& text) {
    int number = 0;
    return readNumber(text, number) ? number : 0;
}

bool readDate(const QString& text, QString& date) {
    const QDate parsed = QDate::fromString(text, Qt::ISODate);
    if (!parsed.isValid()) {
        return false;
    }
    date = text == kZeroDate ? QString() : parsed.toString(Qt::ISODate);
    return true;
}

// The answer's form of an uploaded value.
QString answerForm(const QString& value, Form form) {
    switch (form) {
        case Form::Date: {
            const QDate date = QDate::fromString(value, Qt::ISODate);
            return value == kZeroDate || !date.isValid() ? QString()
                                                         : RegionalFormats::formatDate(date);
        }
        case Form::Duration:
            return value.endsWith(kSeconds) ? value.chopped(kSeconds.size()) : value;
        case Form::DateTime:
        case Form::TimeOfDay:
        case Form::Text:
            break;
    }
    return value;
}

QString answerValues(const QStringList& values) {
    const QVector<DiveRecord::Position>& layout = DiveRecord::layout();
    const QVector<int>& sources = places().answerSources;
    QString joined;
    joined.reserve(values.size() * 4);
    for (int i = kFirstStored; i < layout.size(); ++i) {
        if (i > kFirstStored) {
            joined += kSeparator;
        }
        const int source = sources[i];
        joined += SyncFields::encode(answerForm(values[source], layout[source].form));
    }
    return joined;
}

}  // namespace

namespace DiveLine {

std::optional<UploadedDive> parseUpload(const QString& line) {
    if (TextRules::separators(line) != DiveRecord::kValues - 1) {
        return std::nullopt;
    }
    QStringList values(DiveRecord::kValues);
    SyncFields::splitRecord(line, values);
    const Places& p = places();
    UploadedDive dive;
    if (!readNumber(values[p.idDive], dive.idDive) || values[p.localId].isEmpty() ||
        !readNumber(values[p.localId], dive.localId) || !readDate(values[p.date], dive.date) ||
        !RegionalFormats::parseTime(values[p.time])) {
        return std::nullopt;
    }
    dive.idDive = qMax(dive.idDive, 0);
    dive.time = values[p.time];
    dive.certifyBy = numberOrZero(values[p.certifyBy]);
    dive.locationId = numberOrZero(values[p.location]);
    for (const int place : p.people) {
        const int member = numberOrZero(values[place]);
        if (member > 0 && !dive.people.contains(member)) {
            dive.people.append(member);
        }
    }
    dive.answerValues = answerValues(values);
    return dive;
}

void appendAnswer(QByteArray& out, int idDive, int localId, const QString& lastUpdate,
                  int certifyBy, const QString& answerValues) {
    out += QByteArray::number(idDive);
    out += "##";
    out += QByteArray::number(localId);
    out += "##";
    out += regionalDate(lastUpdate).toLatin1();
    out += "##";
    out += QByteArray::number(certifyBy);
    out += "##";
    out += answerValues.toLatin1();
}

QHash<QString, QString> fieldValues(const QString& answerValues) {
    const QVector<DiveRecord::Position>& layout = DiveRecord::layout();
    QStringList values(layout.size() - kFirstStored);
    SplitFields(answerValues, values);
    QHash<QString, QString> fields;
    for (int i = kFirstStored; i < layout.size(); ++i) {
        fields.insert(layout[i].answerField, SyncFields::decode(values[i - kFirstStored]));
    }
    return fields;
}

QString regionalDate(const QString& iso) {
    if (iso.size() < 10) {
        return {};
    }
    const int year = QStringView(iso).left(4).toInt();
    const int month = QStringView(iso).mid(5, 2).toInt();
    const int day = QStringView(iso).mid(8, 2).toInt();
    QString text = QString::number(month) + u'/' + QString::number(day) + u'/' +
                   QString::number(year).rightJustified(4, u'0');
    const QStringView time = QStringView(iso).mid(11);
    if (!time.isEmpty() && time != QLatin1String("00:00:00")) {
        text += u' ';
        text += time;
    }
    return text;
}

}  // namespace DiveLine
