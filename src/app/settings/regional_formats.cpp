#include "app/settings/regional_formats.h"

#include <QLocale>
#include <QRegularExpression>

namespace RegionalFormats {

void force() {
    QLocale locale(QLocale::English, QLocale::UnitedStates);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(locale);
}

QString formatDate(const QDate& date) {
    return QStringLiteral("%1/%2/%3")
        .arg(date.month())
        .arg(date.day())
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

std::optional<QDate> parseDate(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*(\d{1,2})\s*/\s*(\d{1,2})\s*/\s*(\d{1,4})\s*$)"));
    const auto m = re.match(text);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    int year = m.captured(3).toInt();
    if (m.captured(3).size() <= 2) {
        const int now = QDate::currentDate().year();
        year += now - now % 100;
        if (year > now + 50) {
            year -= 100;
        }
    }
    const QDate date(year, m.captured(1).toInt(), m.captured(2).toInt());
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

QString formatTime(const QTime& time) {
    return time.toString(QStringLiteral("hh:mm:ss"));
}

std::optional<QTime> parseTime(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*(\d{1,2}):(\d{1,2})(?::(\d{1,2})(?:\.(\d{1,3}))?)?\s*$)"));
    const auto m = re.match(text);
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    const QTime time(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                     m.captured(4).leftJustified(3, QLatin1Char('0')).toInt());
    return time.isValid() ? std::optional<QTime>(time) : std::nullopt;
}

QString formatDateTime(const QDateTime& dateTime) {
    const QString date = formatDate(dateTime.date());
    if (dateTime.time() == QTime(0, 0)) {
        return date;
    }
    return date + QLatin1Char(' ') + formatTime(dateTime.time());
}

std::optional<QDateTime> parseDateTime(const QString& text) {
    const QString t = text.trimmed();
    const int blank = t.indexOf(QLatin1Char(' '));
    const auto date = parseDate(blank < 0 ? t : t.left(blank));
    if (!date) {
        return std::nullopt;
    }
    if (blank < 0) {
        return QDateTime(*date, QTime(0, 0));
    }
    const auto time = parseTime(t.mid(blank + 1));
    if (!time) {
        return std::nullopt;
    }
    return QDateTime(*date, *time);
}

QString formatValue(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
            return formatFloat(value.toDouble());
        case QMetaType::QDate:
            return formatDate(value.toDate());
        case QMetaType::QTime:
            return formatTime(value.toTime());
        case QMetaType::QDateTime:
            return formatDateTime(value.toDateTime());
        default:
            return value.toString();
    }
}

QString formatFloat(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

std::optional<double> parseFloat(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

}  // namespace RegionalFormats
