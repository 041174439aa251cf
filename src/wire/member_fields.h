#pragma once

#include <QString>
#include <QVector>

// The member record as the synchronisation exchanges it: the 14 places of the request's field
// list and the 12 elements of the answer, each with the member table's field it carries.
namespace MemberFields {

// What a place of the request's field list holds.
enum class Source {
    Field,         // a field of the member table
    LanguageCode,  // the dictionary's language code (empty without a dictionary)
    AdvancedView,  // the advanced view preference: "-1" for true, "0" for false
};

struct RequestValue {
    Source source;
    QString field;  // the member table's field, for Source::Field
};

// The request's places in order (position 1 is element 0).
const QVector<RequestValue>& request();

struct AnswerElement {
    QString element;  // a child of the answer's root
    QString field;    // the member table's field it replaces
};

// The answer's elements; the user name, password, language and view preference are never taken
// back from it.
const QVector<AnswerElement>& answer();

}  // namespace MemberFields
