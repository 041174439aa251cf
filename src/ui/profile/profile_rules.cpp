#include "ui/profile/profile_rules.h"

#include "cache/tdm_local_data.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

// The child elements of `parent`, in document order.
QList<XmlElement> children(const XmlElement& parent) {
    QList<XmlElement> list;
    for (XmlElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        list << e;
    }
    return list;
}

QString nameOf(const XmlElement& record) {
    return TdmLocalData::childText(record, QStringLiteral("name"));
}

// The names under root/<list>/*/<sublist>/* of every entry named `name`; `ownText` reads each
// sub-entry's own text instead of its "name".
QStringList namesOfMatching(const XmlElement& root, const QString& list, const QString& name,
                            const QString& sublist, bool ownText) {
    QStringList names;
    for (const XmlElement& entry : children(root.firstChildElement(list))) {
        if (nameOf(entry) != name) {
            continue;
        }
        for (const XmlElement& sub : children(entry.firstChildElement(sublist))) {
            names << (ownText ? sub.text() : nameOf(sub));
        }
    }
    return names;
}

QStringList namesOf(const XmlElement& root, const QString& list) {
    QStringList names;
    for (const XmlElement& entry : children(root.firstChildElement(list))) {
        names << nameOf(entry);
    }
    return names;
}

}  // namespace

namespace ReferenceLists {

QStringList countries(const XmlElement& root) {
    return namesOf(root, QStringLiteral("countries"));
}

QStringList states(const XmlElement& root, const QString& country) {
    return namesOfMatching(root, QStringLiteral("countries"), country, QStringLiteral("states"),
                           false);
}

QStringList agencies(const XmlElement& root) {
    QStringList names = namesOf(root, QStringLiteral("agencies"));
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

QStringList levels(const XmlElement& root, const QString& agency) {
    return namesOfMatching(root, QStringLiteral("agencies"), agency, QStringLiteral("levels"),
                           true);
}

}  // namespace ReferenceLists

XmlElement referenceRoot() {
    if (!dmLocalData || !dmLocalData->XMLLocalData.active) {
        return {};
    }
    return dmLocalData->XMLLocalData.doc.documentElement();
}

namespace CertificateList {

QString dateText(const QDate& date) {
    return date.isValid() ? QLatin1Char(' ') + date.toString(QStringLiteral("yyyy/MM/dd"))
                          : QString();
}

QString categoryKey(int category) {
    static const QStringList keys = {QStringLiteral("certification"), QStringLiteral("speciality"),
                                     QStringLiteral("seminar"), QStringLiteral("conference")};
    return keys.value(category);
}

}  // namespace CertificateList

namespace Registration {

RegistrationAnswer readAnswer(const QString& answer) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = answer.split(lineBreak);
    // A first line of exactly seven characters reads as 0.
    const QString first = lines.value(0) + QLatin1Char('0');
    RegistrationAnswer read;
    if (first.size() < 8) {
        return read;
    }
    switch (first.at(7).unicode()) {
        case '0':
            read.result = RegistrationResult::ConnectionError;
            break;
        case '1':
            read.result = RegistrationResult::Registered;
            read.registeredUser = lines.value(1);
            break;
        case '2':
            read.result = RegistrationResult::AlreadyRegistered;
            break;
        case '3':
            read.result = RegistrationResult::Refused;
            break;
        default:
            break;
    }
    return read;
}

QString message(RegistrationResult result) {
    switch (result) {
        case RegistrationResult::ConnectionError:
            return QStringLiteral("Internet connection error.\nPlease check it.");
        case RegistrationResult::Registered:
            return QStringLiteral("The Member username has been succesfully registered.");
        case RegistrationResult::AlreadyRegistered:
            return QStringLiteral(
                "The email or username you choosed is already registered.\nPlease choose another "
                "one.");
        case RegistrationResult::Refused:
            return QStringLiteral(
                "The username or password is wrong,\nor email address is incorrect.\nPlease check "
                "it.");
        case RegistrationResult::None:
            break;
    }
    return {};
}

bool inputComplete(const QString& email, const QString& user, const QString& password,
                   const QString& confirmation) {
    return password == confirmation && password.size() >= 4 && user.size() >= 4 &&
           email.size() >= 5;
}

QStringList requestFields(const QString& user, const QString& password, const QString& email,
                          const QString& name, const QString& languageCode) {
    return {QStringLiteral("param_user=") + user, QStringLiteral("param_pass=") + password,
            QStringLiteral("param_email=") + email, QStringLiteral("param_name=") + name,
            QStringLiteral("param_idioma=") + languageCode};
}

bool sendsInClear(const QString& url) {
    return !url.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
}

}  // namespace Registration

namespace Invitation {

bool accepted(const QByteArray& answer) {
    return answer == "OK";
}

}  // namespace Invitation
