#pragma once

#include "service_fixture.h"
#include "wire/dive_record.h"
#include "wire/sync_fields.h"

#include <QMap>
#include <QStringList>

// Addresses and records of the desktop's requests, for the service's tests.
namespace ServiceRequests {

inline const QString kSync = QStringLiteral("serv0.9/syncro/");
inline const QString kInfo = QStringLiteral("serv0.9/info/");
inline const QString kRegister = QStringLiteral("serv0.9/register/");

// The upload places (1-based) whose values get ":00" appended.
inline const QList<int> kDurations = {47, 53, 55, 58, 61};

// A dive record as the desktop uploads it: 121 values, a never-synchronised dive of 9 July 2023
// at 10:30 unless `values` (by 1-based place, unescaped) say otherwise.
inline QString diveLine(const QMap<int, QString>& values) {
    QStringList fields(DiveRecord::kValues);
    fields[2] = QStringLiteral("1899-12-30 00:00");
    fields[4] = QStringLiteral("2023-07-09");
    fields[5] = QStringLiteral("10:30:00");
    for (const int place : kDurations) {
        fields[place - 1] = QStringLiteral(":00");
    }
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        fields[it.key() - 1] = it.value();
    }
    return SyncFields::joinRecord(fields);
}

// Records each followed by CR LF, as the upload's value.
inline QString uploadBody(const QStringList& lines) {
    QString body;
    for (const QString& line : lines) {
        body += line + QStringLiteral("\r\n");
    }
    return body;
}

// The answer's dive lines, each split into its 130 slots and unescaped as the desktop does.
inline QList<QStringList> answerDives(const HttpAnswer& answer) {
    QList<QStringList> dives;
    for (const QString& line : answer.text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        QStringList values(DiveRecord::kAnswerSlots);
        SyncFields::splitRecord(line, values);
        dives << values;
    }
    return dives;
}

// The texts of `child` of every record under `root` (records found `depth` levels down).
inline QStringList childTexts(const QDomElement& parent, const QString& child) {
    QStringList texts;
    for (QDomElement record = parent.firstChildElement(); !record.isNull();
         record = record.nextSiblingElement()) {
        texts << record.firstChildElement(child).text();
    }
    return texts;
}

}  // namespace ServiceRequests
