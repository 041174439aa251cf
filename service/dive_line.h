#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

// One dive as an upload line gives it, with the values the service keeps of it.
struct UploadedDive {
    int idDive = 0;   // 0: the line names no service number
    int localId = 0;  // the desktop's own number of the dive
    int certifyBy = 0;
    QString date;  // "yyyy-MM-dd"; empty for the zero date (a dive without date)
    QString time;  // "hh:mm:ss"
    int locationId = 0;
    QList<int> people;  // member numbers of the buddy, the instructor and the team, when set
    // Positions 5 to 121 as the answer gives them back (dates in the regional form, the
    // durations without the ":00" the upload added, the swapped places swapped), each value
    // escaped, joined by "##".
    QString answerValues;
};

// The dive record of the synchronisation as the service reads and writes it.
namespace DiveLine {

// None for a malformed line: not 121 values, a service or local number that is not a whole
// number, a date or start time that cannot be read.
std::optional<UploadedDive> parseUpload(const QString& line);

// Appends the answer line of a stored dive (no line end), in ISO-8859-1: escaped values hold
// nothing else. `lastUpdate` is the service's time
// stamp "yyyy-MM-dd hh:mm:ss", written in the regional form.
void appendAnswer(QByteArray& out, int idDive, int localId, const QString& lastUpdate,
                  int certifyBy, const QString& answerValues);

// The stored answer values by the field each is written into, unescaped (for the web pages).
QHash<QString, QString> fieldValues(const QString& answerValues);

// "yyyy-MM-dd" or "yyyy-MM-dd hh:mm:ss" as "m/d/yyyy" or "m/d/yyyy hh:mm:ss" (the time left
// out at midnight); empty for empty.
QString regionalDate(const QString& iso);

}  // namespace DiveLine
