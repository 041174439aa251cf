#pragma once

#include "cache/xml_tree.h"

#include <QString>

// The member task: the member record goes up as one field list and comes back as the service
// holds it (user name, password, language and view preference are never taken back).
namespace MemberExchange {

// The 14 values of the member record joined by "##", followed by CR LF.
QString requestBody();
// Writes the answer's record into the member row (a value longer than its field is cut to it);
// throws AppError, leaving the row as it was, when the answer holds none of the record's
// elements or a value cannot be stored.
void applyAnswer(const XmlElement& record);
// Sends the record and applies the answer; throws AppError when the request fails, the answer
// is not XML or a value cannot be stored.
void run();

}  // namespace MemberExchange
