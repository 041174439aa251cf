#include "net/service_endpoints.h"

#include "app/settings/tdm_const.h"
#include "dictionary/tdm_idioma.h"
#include "net/wire_text.h"

namespace {

bool staysInAddress(char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

QString languageParameter() {
    return ServiceEndpoints::encodeValue(dmIdioma ? dmIdioma->LanguageCode() : QString());
}

QString sitePage(const QString& query) {
    return dm_const->BaseUrl + QStringLiteral("redir/?") + query;
}

}  // namespace

namespace ServiceEndpoints {

QString encodeValue(const QString& value) {
    QByteArray encoded;
    for (const char byte : WireText::toBytes(value)) {
        if (staysInAddress(byte)) {
            encoded.append(byte);
        } else {
            encoded.append(WireText::percentByte(byte));
        }
    }
    return QString::fromLatin1(encoded);
}

QString personal() {
    return dm_const->UrlSyncro + QStringLiteral("personal.xml.php");
}

QString deleteDives() {
    return dm_const->UrlSyncro + QStringLiteral("delete.php");
}

QString dives() {
    return dm_const->UrlSyncro + QStringLiteral("dives.php");
}

QString localData() {
    return dm_const->UrlInfo + QStringLiteral("localdata.xml.php?param_idioma=") +
           languageParameter();
}

QString memberLocations() {
    return dm_const->UrlInfo + QStringLiteral("locations.xml.php?param_idioma=") +
           languageParameter();
}

QString memberContacts() {
    return dm_const->UrlInfo + QStringLiteral("contactlist.xml.php?");
}

QString searchLocations(const QString& name, const QString& country) {
    return dm_const->UrlInfo + QStringLiteral("locations.xml.php?param_idioma=") +
           languageParameter() + QStringLiteral("&param_name=") + encodeValue(name) +
           QStringLiteral("&param_country=") + encodeValue(country);
}

QString location(int id) {
    return dm_const->UrlInfo + QStringLiteral("locations.xml.php?param_id=") + QString::number(id);
}

QString searchContacts(const QString& name, const QString& user, int op, const QString& email) {
    return dm_const->UrlInfo + QStringLiteral("contactlist.xml.php?param_name=") +
           encodeValue(name) + QStringLiteral("&param_user=") + encodeValue(user) +
           QStringLiteral("&param_op=") + QString::number(op) + QStringLiteral("&param_email=") +
           encodeValue(email);
}

QString contact(const QString& id) {
    return dm_const->UrlInfo + QStringLiteral("contactlist.xml.php?param_id=") + encodeValue(id);
}

QString registration() {
    return dm_const->UrlRegister;
}

QString invitation(const QString& email) {
    return dm_const->UrlRegister + QStringLiteral("invite.php?param_email=") + encodeValue(email);
}

QString updateCheck() {
    return dm_const->UrlInfo + QStringLiteral("update.xml.php?version=") + dm_const->AppVersion +
           QStringLiteral("&param_idioma=") + languageParameter();
}

QString siteRoot() {
    return dm_const->BaseUrl;
}

QString helpPage() {
    return sitePage(QStringLiteral("help=1"));
}

QString memberProfilePage(const QString& user) {
    return sitePage(QStringLiteral("user=") + encodeValue(user));
}

QString locationPage(const QString& idLocation, const QString& idSite) {
    return sitePage(QStringLiteral("id_location=") + encodeValue(idLocation) +
                    QStringLiteral("&id_site=") + encodeValue(idSite));
}

QString organizationPage(const QString& idOrganization) {
    return sitePage(QStringLiteral("id_operator=") + encodeValue(idOrganization));
}

QString memberPage(const QString& idUser) {
    return sitePage(QStringLiteral("id_user=") + encodeValue(idUser));
}

}  // namespace ServiceEndpoints
