#pragma once

#include <QString>

// Every address the program asks the service for, built from the roots of `dm_const` and the
// dictionary's language code, so no caller joins roots and parameters itself.
//
// Values typed by the user or read from cached documents are percent-encoded (ISO-8859-1
// bytes; letters, digits and "-._~" stay), so no typed "&", "#" or "=" can change the
// address; text outside ISO-8859-1 throws EncodingError.
namespace ServiceEndpoints {

// Synchronisation (posted).
QString personal();     // member record, multipart
QString deleteDives();  // deletion queue, form "del="
QString dives();        // every dive, multipart

// Reference data and directory look-ups (GET).
QString localData();        // the reference document in the dictionary's language
QString memberLocations();  // the member's locations in the dictionary's language
QString memberContacts();   // the member's contact list
QString searchLocations(const QString& name, const QString& country);
QString location(int id);
// `op` is 0 for AND, 1 for OR, -1 when none was chosen.
QString searchContacts(const QString& name, const QString& user, int op, const QString& email);
QString contact(const QString& id);

// Membership.
QString registration();  // posted form
QString invitation(const QString& email);

// The update check for this version in the dictionary's language.
QString updateCheck();

// Pages of the web site, opened in the browser.
QString siteRoot();
QString helpPage();
QString memberProfilePage(const QString& user);
QString locationPage(const QString& idLocation, const QString& idSite);
QString organizationPage(const QString& idOrganization);
QString memberPage(const QString& idUser);

// One value as it may stand in an address.
QString encodeValue(const QString& value);

}  // namespace ServiceEndpoints
