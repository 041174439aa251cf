#pragma once

#include "cache/xml_tree.h"

#include <QDate>
#include <QString>
#include <QStringList>

// What the member, certificate, registration and invitation windows compute without a window.

// The lists offered from the cached reference document (its root element): names in document
// order; a missing element gives an empty list.
namespace ReferenceLists {
QStringList countries(const XmlElement& root);
// The states of every country whose name is exactly `country` (case-sensitive), in order.
QStringList states(const XmlElement& root, const QString& country);
// Agency names, sorted without regard to case, as the agency drop-down keeps them.
QStringList agencies(const XmlElement& root);
// The levels of every agency whose name is exactly `agency`: each level element's own text.
QStringList levels(const XmlElement& root, const QString& agency);
}  // namespace ReferenceLists

// The root of the cached reference document; null when the cache is not open.
XmlElement referenceRoot();

namespace CertificateList {
// A blank and the date as yyyy/mm/dd; empty for no date.
QString dateText(const QDate& date);
// The dictionary key of a certificate's category; empty for a value without one.
QString categoryKey(int category);
}  // namespace CertificateList

// The first answer line's eighth character, read as the result of a registration.
enum class RegistrationResult {
    ConnectionError,    // 0, also a first line of exactly seven characters
    Registered,         // 1
    AlreadyRegistered,  // 2
    Refused,            // 3
    None,               // another character, or a first line shorter than seven
};

struct RegistrationAnswer {
    RegistrationResult result = RegistrationResult::None;
    // The user name as the service registered it: the second line, when there is one.
    QString registeredUser;
};

namespace Registration {
RegistrationAnswer readAnswer(const QString& answer);
// The information box's text for a result; empty for None.
QString message(RegistrationResult result);
// Next may send: the password equals its confirmation and has at least 4 characters, the user
// name at least 4, the e-mail address at least 5.
bool inputComplete(const QString& email, const QString& user, const QString& password,
                   const QString& confirmation);
// The form fields, in the order the service reads them.
QStringList requestFields(const QString& user, const QString& password, const QString& email,
                          const QString& name, const QString& languageCode);
// The password goes in the form body: only an https address keeps it from being read.
bool sendsInClear(const QString& url);
}  // namespace Registration

namespace Invitation {
// The service accepts an address with exactly "OK", nothing before or after.
bool accepted(const QByteArray& answer);
}  // namespace Invitation
