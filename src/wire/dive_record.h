#pragma once

#include <QString>
#include <QVector>

// The layout of a dive record on the wire: 121 values in a fixed order, from the dive (1-46),
// its conditions row (47-82) and its equipment row (83-121). The answer uses the same layout
// with depth_unit/max_depth (51/52) and cond_xWaves/cond_xSurge (78/79) swapped; dates, times
// and the ":00" durations go up in ISO forms and come back in the regional formats (see Form).
namespace DiveRecord {

constexpr int kValues = 121;
constexpr int kAnswerSlots = 130;  // an answer line's values beyond these are ignored

enum class Source { Dive, Conditions, Equipment };

// How a value travels. The upload writes null dates and times as the zero date-time and a null
// duration as ":00"; those null forms, and the answer's forms of them, read back as null.
enum class Form {
    Text,       // the field's text form both ways
    DateTime,   // up "yyyy-MM-dd hh:mm" (null: 1899-12-30 00:00), back regional
    Date,       // up "yyyy-MM-dd" (null: 1899-12-30), back regional
    TimeOfDay,  // up "hh:mm" followed by ":00" (null: 00:00:00), back "hh:mm:ss"
    Duration,   // up the "hh:mm" text followed by ":00" (":00" alone for null), back "hh:mm:ss"
};

struct Position {
    Source source;
    QString uploadField;
    Form form;
    // The field the answer's value at this place is stored into; empty: not stored
    // (position 2, the local number, only finds the dive).
    QString answerField;
};

// Position 1 is element 0.
const QVector<Position>& layout();

// What an answer value at a place of `form` stands for: empty (null) for a null form, the
// "hh:mm" of a duration (empty unless the value starts with a real one), any other value as
// it is.
QString answerText(Form form, const QString& value);
// Whether `value` is one of the texts `form` writes or answers for null.
bool isNullForm(Form form, const QString& value);

}  // namespace DiveRecord
