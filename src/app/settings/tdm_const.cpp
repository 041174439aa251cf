#include "app/settings/tdm_const.h"

#include "app/settings/app_error.h"
#include "app/settings/atomic_file.h"
#include "app/settings/regional_formats.h"

#include <QDir>
#include <QStandardPaths>

Tdm_const* dm_const = nullptr;

const QString Tdm_const::kDefaultBaseUrl = QStringLiteral("https://www.nereva.net/");

namespace {

const QString kPreferences = QStringLiteral("Preferences");
const QString kInternet = QStringLiteral("InternetConnection");
const QString kDefaults = QStringLiteral("Defaults");
const QString kLanguage = QStringLiteral("Language");
// The program's own folder inside the user's data folder.
const QString kDataFolderName = QStringLiteral("nereva-desktop");

std::function<void(const QString&)>& urlOpener() {
    static std::function<void(const QString&)> opener;
    return opener;
}

// The user's data folder ($XDG_DATA_HOME or ~/.local/share), created when missing; empty when
// none can be had.
QString userDataFolder() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty() || !QDir().mkpath(base)) {
        return {};
    }
    return base;
}

}  // namespace

Tdm_const::Tdm_const() = default;

Tdm_const::~Tdm_const() {
    if (IniFile) {
        writePreferences();  // a file that cannot take them is reported by the settings file
        IniFile->flushToDisk();
    }
}

void Tdm_const::DataModuleCreate() {
    DataVersion = QStringLiteral("0.7");
    AppVersion = DataVersion + QStringLiteral(".15b");
    ServiceVersion = QStringLiteral("0.9");
    setAddresses(kDefaultBaseUrl);
    FieldSeparator = QStringLiteral("##");
    RegionalFormats::force();
    resolveDataFolders();
    IniFile = std::make_unique<TIniFile>(AppDataDir + QStringLiteral("desktop.ini"));
    QString base = IniFile->readString(kInternet, QStringLiteral("BaseUrl"), kDefaultBaseUrl);
    if (!base.endsWith(QLatin1Char('/'))) {
        base += QLatin1Char('/');
    }
    setAddresses(base);
    readPreferences();
}

void Tdm_const::setAddresses(const QString& baseUrl) {
    BaseUrl = baseUrl;
    const QString root = BaseUrl + QStringLiteral("serv") + ServiceVersion;
    UrlSyncro = root + QStringLiteral("/syncro/");
    UrlRegister = root + QStringLiteral("/register/");
    UrlInfo = root + QStringLiteral("/info/");
}

void Tdm_const::resolveDataFolders() {
    const QString base = userDataFolder();
    AppDataDir.clear();
    if (!base.isEmpty()) {
        AppDataDir = base + QLatin1Char('/') + kDataFolderName + QLatin1Char('/');
        if (!makePrivateFolder(AppDataDir)) {
            throw IoError(QStringLiteral("Unable to create directory \"%1\".").arg(AppDataDir));
        }
    }
    DbDir = AppDataDir + QStringLiteral("DB") + DataVersion + QLatin1Char('/');
    if (!makePrivateFolder(DbDir)) {
        throw IoError(QStringLiteral("Unable to create directory \"%1\".").arg(DbDir));
    }
}

void Tdm_const::readPreferences() {
    try {
        ViewRegionSites = IniFile->readBool(kPreferences, QStringLiteral("ViewRegionSites"), false);
        ViewAdvancedDives =
            IniFile->readBool(kPreferences, QStringLiteral("ViewAdvancedDives"), false);
        ProxyHost = IniFile->readString(kInternet, QStringLiteral("ProxyHost"), QString());
        ProxyPort = IniFile->readString(kInternet, QStringLiteral("ProxyPort"), QString());
        DialupConnection = IniFile->readBool(kInternet, QStringLiteral("DialupConnection"), false);
        Unit_Dist = IniFile->readInteger(kDefaults, QStringLiteral("Unit_Dist"), 0);
        Unit_Temp = IniFile->readInteger(kDefaults, QStringLiteral("Unit_Temp"), 0);
        Unit_Pres = IniFile->readInteger(kDefaults, QStringLiteral("Unit_Pres"), 0);
        Language = IniFile->readString(kPreferences, kLanguage, QString());
    } catch (const AppError&) {
        // A preference that cannot be read keeps its initial value, and so do the rest.
    }
}

void Tdm_const::writePreferences() {
    IniFile->writeBool(kPreferences, QStringLiteral("ViewRegionSites"), ViewRegionSites);
    IniFile->writeBool(kPreferences, QStringLiteral("ViewAdvancedDives"), ViewAdvancedDives);
    IniFile->writeString(kInternet, QStringLiteral("ProxyHost"), ProxyHost);
    IniFile->writeString(kInternet, QStringLiteral("ProxyPort"), ProxyPort);
    IniFile->writeBool(kInternet, QStringLiteral("DialupConnection"), DialupConnection);
    IniFile->writeInteger(kDefaults, QStringLiteral("Unit_Dist"), Unit_Dist);
    IniFile->writeInteger(kDefaults, QStringLiteral("Unit_Temp"), Unit_Temp);
    IniFile->writeInteger(kDefaults, QStringLiteral("Unit_Pres"), Unit_Pres);
    if (!Language.isEmpty()) {  // until a language is chosen, the system's is followed
        IniFile->writeString(kPreferences, kLanguage, Language);
    }
}

void Tdm_const::GetUrl(const QString& url) const {
    if (urlOpener()) {
        urlOpener()(url);
    }
}

void Tdm_const::setUrlOpener(std::function<void(const QString&)> opener) {
    urlOpener() = std::move(opener);
}
