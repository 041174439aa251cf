#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QVariant>
#include <optional>

// The regional formats forced for the whole process: every conversion between text and dates,
// times or numbers goes through these, whatever the user's locale says.
namespace RegionalFormats {

inline constexpr QChar kDateSeparator = u'/';
inline constexpr QChar kTimeSeparator = u':';
inline constexpr QChar kDecimalSeparator = u'.';
inline constexpr QChar kThousandsSeparator = u',';
inline constexpr int kCurrencyDecimals = 2;

// Makes the forced formats the process default (QLocale::setDefault).
void force();

// Short date "m/d/yyyy": month and day without leading zeros.
QString formatDate(const QDate& date);
// Accepts m/d/yyyy with one or two digits for month and day (blanks around parts ignored);
// a two-digit year is taken as 19xx/20xx by the usual 50-year window.
std::optional<QDate> parseDate(const QString& text);

// Time of day "hh:nn:ss".
QString formatTime(const QTime& time);
// Accepts h:nn or h:nn:ss (with optional .zzz).
std::optional<QTime> parseTime(const QString& text);

// Date and time joined by a blank; the time is left out at midnight, as a short date-time text.
QString formatDateTime(const QDateTime& dateTime);
std::optional<QDateTime> parseDateTime(const QString& text);

// A value's text in these formats: dates, times, date-times and floats as above, anything else
// as its own text.
QString formatValue(const QVariant& value);

// Shortest text that reads back as the same double, "." as decimal separator, no grouping.
QString formatFloat(double value);
std::optional<double> parseFloat(const QString& text);

}  // namespace RegionalFormats
