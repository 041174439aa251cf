#pragma once

#include <QDate>
#include <QMap>
#include <QString>
#include <QStringView>
#include <optional>

class Table;

// Totals and records over the whole dive log, computed in one pass over snapshots of the dives
// and their conditions, without moving either table's cursor.
struct DiveStatistics {
    // A dive that stands out, as the diver logged it.
    struct Mark {
        int row = -1;      // the dive's row in table order; -1 when no dive qualifies
        double value = 0;  // what was compared: metres, minutes or degrees Celsius
        QString shown;     // the logged value with its unit ("30.5 m", "1h 05'", "27 °C")
        QDate date;
        QString place;  // location and site
    };

    int dives = 0;
    qint64 bottomMinutes = 0;  // over the dives whose bottom time reads "hh:nn"
    Mark deepest;              // by maximum depth, else average depth; feet count as 0.3048 m
    Mark longest;              // by bottom time
    Mark coldest;  // by bottom temperature, else surface temperature; °F counted in °C
    Mark warmest;
    Mark first;  // the first and the latest dive that has a date
    Mark latest;
    int locations = 0;  // distinct location names, regardless of case
    int countries = 0;  // distinct countries, regardless of case
    QMap<int, int> divesPerYear;
};

DiveStatistics computeDiveStatistics(const Table& dives, const Table& conditions);

// The minutes of a bottom time written "hh:nn" (two digits, a colon, two digits; minutes
// above 59 count as they stand); nothing for any other text.
std::optional<int> bottomTimeMinutes(QStringView text);
// Hours without leading zeros, "h ", minutes as two digits, "'": 185 minutes is "3h 05'".
QString bottomTimeText(qint64 minutes);
