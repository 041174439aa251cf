#pragma once

#include "app/settings/ini_file.h"

#include <QString>
#include <functional>
#include <memory>

// The settings module: version strings, service addresses, data folders, the settings file and
// the user's preferences. It is the bottom of the house: Qt Core only, used by every module.
class Tdm_const {
public:
    Tdm_const();
    ~Tdm_const();  // writes the preferences back

    Tdm_const(const Tdm_const&) = delete;
    Tdm_const& operator=(const Tdm_const&) = delete;

    // Creation handler. Throws IoError when a folder cannot be created; the fields set before
    // the failure keep their values (the settings file may then stay unopened).
    void DataModuleCreate();

    // Opens `url` in the user's browser; nothing is reported.
    void GetUrl(const QString& url) const;
    // The seam behind GetUrl: the program installs the desktop opener, tests a recorder.
    static void setUrlOpener(std::function<void(const QString&)> opener);

    QString DataVersion;
    QString AppVersion;
    QString ServiceVersion;
    QString BaseUrl;
    QString UrlSyncro;
    QString UrlRegister;
    QString UrlInfo;
    QString FieldSeparator;
    QString AppTitle;
    QString AppDataDir;  // with a trailing "/", or empty: files by bare name in the current folder
    QString DbDir;
    std::unique_ptr<TIniFile> IniFile;  // null when the creation stopped before opening it

    bool ViewRegionSites = false;
    bool ViewAdvancedDives = false;
    QString ProxyHost;
    QString ProxyPort;
    bool DialupConnection = false;
    int Unit_Dist = 0;
    int Unit_Temp = 0;
    int Unit_Pres = 0;
    // The dictionary's language chosen in the options, taken at the next start; empty: the
    // system's.
    QString Language;

    static const QString kDefaultBaseUrl;

private:
    void setAddresses(const QString& baseUrl);
    void resolveDataFolders();
    void readPreferences();
    void writePreferences();
};

// The one instance, created first at start-up and destroyed last.
extern Tdm_const* dm_const;
