#include "sync/member_exchange.h"

#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "cache/tdm_local_data.h"
#include "dictionary/tdm_idioma.h"
#include "net/service_endpoints.h"
#include "net/tdm_comm.h"
#include "store/tdm_rdp.h"
#include "sync/field_fit.h"
#include "wire/member_fields.h"
#include "wire/sync_fields.h"

namespace MemberExchange {
namespace {

// The text of one place of the request's field list.
QString requestValue(const MemberFields::RequestValue& value) {
    switch (value.source) {
        case MemberFields::Source::LanguageCode:
            return dmIdioma ? dmIdioma->LanguageCode() : QString();
        case MemberFields::Source::AdvancedView:
            return dm_const->ViewAdvancedDives ? QStringLiteral("-1") : QStringLiteral("0");
        case MemberFields::Source::Field:
            break;
    }
    return dm_rdp->cds_info->asString(value.field);
}

// Closes the answer document however the step ends.
struct AnswerClosed {
    ~AnswerClosed() { dmLocalData->closeAnswer(); }
};

// An answer without any of the record's elements (an error document, say) is no member record:
// taken as one it would blank the record, and the next run would send the blanks up.
void requireMemberRecord(const XmlElement& record) {
    for (const MemberFields::AnswerElement& answer : MemberFields::answer()) {
        if (!record.firstChildElement(answer.element).isNull()) {
            return;
        }
    }
    throw AppError(QStringLiteral("The service's answer holds no member record."));
}

}  // namespace

QString requestBody() {
    Table* member = dm_rdp->cds_info;
    member->first();
    QStringList values;
    for (const MemberFields::RequestValue& value : MemberFields::request()) {
        values << requestValue(value);
    }
    return SyncFields::joinRecord(values) + QStringLiteral("\r\n");
}

void applyAnswer(const XmlElement& record) {
    requireMemberRecord(record);
    Table* member = dm_rdp->cds_info;
    member->first();
    member->edit();
    try {
        for (const MemberFields::AnswerElement& answer : MemberFields::answer()) {
            const QString& field = answer.field;
            const QString text =
                SyncFields::decode(TdmLocalData::childText(record, answer.element));
            member->setAsString(field,
                                fittedToField(member->fields()[member->fieldIndex(field)], text));
        }
        member->post();
    } catch (const AppError&) {
        member->cancel();
        throw;
    }
}

void run() {
    const QString body = requestBody();
    dmLocalData->closeAnswer();
    const QByteArray answer = dmComm->HttpMultiPartPost(ServiceEndpoints::personal(), body);
    const AnswerClosed closed;
    dmLocalData->parseAnswer(answer);
    applyAnswer(dmLocalData->XMLGet.documentElement());
}

}  // namespace MemberExchange
