#pragma once

#include <QString>
#include <QVector>

// The layout of a dive record on the wire: 121 values in a fixed order, from the dive (1-46),
// its conditions row (47-82) and its equipment row (83-121). The answer uses the same layout
// with depth_unit/max_depth (51/52) and cond_xWaves/cond_xSurge (78/79) swapped; dates, times
// and the ":00" durations go up in ISO forms and come back in the regional formats.
namespace DiveRecord {

constexpr int kValues = 121;
constexpr int kAnswerSlots = 130;  // an answer line's values beyond these are ignored

enum class Source { Dive, Conditions, Equipment };

enum class UploadForm {
    Text,             // the field's text form
    IsoDateTime,      // "yyyy-MM-dd hh:mm"; null as the zero date-time 1899-12-30 00:00
    IsoDate,          // "yyyy-MM-dd"; null as 1899-12-30
    IsoTimeSeconds,   // "hh:mm" followed by ":00"; null as 00:00:00
    DurationSeconds,  // the text followed by ":00" (":00" alone for null)
};

struct Position {
    Source source;
    QString uploadField;
    UploadForm uploadForm;
    // The field the answer's value at this place is stored into; empty: not stored
    // (position 2, the local number, only finds the dive).
    QString answerField;
    bool answerFirstFive;  // only the first five characters ("hh:mm" of "hh:mm:ss") are kept
};

// Position 1 is element 0.
const QVector<Position>& layout();

}  // namespace DiveRecord
