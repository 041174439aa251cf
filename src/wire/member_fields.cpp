#include "wire/member_fields.h"

namespace MemberFields {

const QVector<RequestValue>& request() {
    static const QVector<RequestValue> values = {
        {Source::Field, QStringLiteral("name")},
        {Source::Field, QStringLiteral("address")},
        {Source::Field, QStringLiteral("city")},
        {Source::Field, QStringLiteral("state")},
        {Source::Field, QStringLiteral("country")},
        {Source::Field, QStringLiteral("inet_email")},
        {Source::LanguageCode, {}},
        {Source::AdvancedView, {}},
        {Source::Field, QStringLiteral("per_pub_personal")},
        {Source::Field, QStringLiteral("per_pub_dives")},
        {Source::Field, QStringLiteral("per_send1")},
        {Source::Field, QStringLiteral("per_send2")},
        {Source::Field, QStringLiteral("per_send3")},
        {Source::Field, QStringLiteral("per_send4")},
    };
    return values;
}

const QVector<AnswerElement>& answer() {
    static const QVector<AnswerElement> elements = {
        {QStringLiteral("name"), QStringLiteral("name")},
        {QStringLiteral("address"), QStringLiteral("address")},
        {QStringLiteral("city"), QStringLiteral("city")},
        {QStringLiteral("state"), QStringLiteral("state")},
        {QStringLiteral("country"), QStringLiteral("country")},
        {QStringLiteral("email"), QStringLiteral("inet_email")},
        {QStringLiteral("pub_personal"), QStringLiteral("per_pub_personal")},
        {QStringLiteral("pub_dives"), QStringLiteral("per_pub_dives")},
        {QStringLiteral("per_send1"), QStringLiteral("per_send1")},
        {QStringLiteral("per_send2"), QStringLiteral("per_send2")},
        {QStringLiteral("per_send3"), QStringLiteral("per_send3")},
        {QStringLiteral("per_send4"), QStringLiteral("per_send4")},
    };
    return elements;
}

}  // namespace MemberFields
