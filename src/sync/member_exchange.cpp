#include "sync/member_exchange.h"

#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "cache/tdm_local_data.h"
#include "dictionary/tdm_idioma.h"
#include "net/service_endpoints.h"
#include "net/tdm_comm.h"
#include "store/tdm_rdp.h"
#include "sync/field_fit.h"
#include "wire/sync_fields.h"

namespace MemberExchange {
namespace {

struct AnswerField {
    const char* element;
    const char* field;
};

// Elements of the answer and the member fields they replace.
constexpr AnswerField kAnswerFields[] = {
    {"name", "name"},
    {"address", "address"},
    {"city", "city"},
    {"state", "state"},
    {"country", "country"},
    {"email", "inet_email"},
    {"pub_personal", "per_pub_personal"},
    {"pub_dives", "per_pub_dives"},
    {"per_send1", "per_send1"},
    {"per_send2", "per_send2"},
    {"per_send3", "per_send3"},
    {"per_send4", "per_send4"},
};

QString field(const char* name) {
    return dm_rdp->cds_info->asString(QString::fromLatin1(name));
}

// Closes the answer document however the step ends.
struct AnswerClosed {
    ~AnswerClosed() { dmLocalData->closeAnswer(); }
};

// An answer without any of the record's elements (an error document, say) is no member record:
// taken as one it would blank the record, and the next run would send the blanks up.
void requireMemberRecord(const QDomElement& record) {
    for (const AnswerField& answer : kAnswerFields) {
        if (!record.firstChildElement(QString::fromLatin1(answer.element)).isNull()) {
            return;
        }
    }
    throw AppError(QStringLiteral("The service's answer holds no member record."));
}

}  // namespace

QString requestBody() {
    Table* member = dm_rdp->cds_info;
    member->first();
    const QStringList values = {
        field("name"),
        field("address"),
        field("city"),
        field("state"),
        field("country"),
        field("inet_email"),
        dmIdioma ? dmIdioma->LanguageCode() : QString(),
        dm_const->ViewAdvancedDives ? QStringLiteral("-1") : QStringLiteral("0"),
        field("per_pub_personal"),
        field("per_pub_dives"),
        field("per_send1"),
        field("per_send2"),
        field("per_send3"),
        field("per_send4"),
    };
    return SyncFields::joinRecord(values) + QStringLiteral("\r\n");
}

void applyAnswer(const QDomElement& record) {
    requireMemberRecord(record);
    Table* member = dm_rdp->cds_info;
    member->first();
    member->edit();
    try {
        for (const AnswerField& answer : kAnswerFields) {
            const QString field = QString::fromLatin1(answer.field);
            const QString text = SyncFields::decode(
                TdmLocalData::childText(record, QString::fromLatin1(answer.element)));
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
