#include "dictionary/tdm_idioma.h"

#include "app/settings/app_error.h"
#include "app/settings/atomic_file.h"
#include "app/settings/program_folders.h"
#include "app/settings/tdm_const.h"
#include "dictionary/dictionary_languages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <algorithm>
#include <optional>

TdmIdioma* dmIdioma = nullptr;

namespace {

const QString kLoadError = QStringLiteral("No es posible cargar el diccionario del idioma!");
const QString kTagsFile = QStringLiteral("tags.xml");
// The sections under "dictionary", in look-up order, after the entries directly under it.
const QStringList kSections = {QStringLiteral("items"), QStringLiteral("texts"),
                               QStringLiteral("messages"), QStringLiteral("actions")};

bool isNameStartChar(uint c) {
    return c == ':' || c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameChar(uint c) {
    return isNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// The key of a "<key></key>" line.
QStringView keyOfLine(const QString& line) {
    return QStringView(line).mid(1, line.indexOf(QLatin1Char('>')) - 1);
}

bool keyOrder(const QString& a, const QString& b) {
    return keyOfLine(a).compare(keyOfLine(b), Qt::CaseInsensitive) < 0;
}

// The folders of the program's own dictionaries: the executable's folder (a build), then the
// installation's data folder.
QStringList programFolders() {
    QStringList folders;
    if (QCoreApplication::instance()) {
        folders << QCoreApplication::applicationDirPath() << installedDataFolder();
    }
    return folders;
}

// The language chosen in the options, else the system's.
QString wantedLanguage() {
    return startLanguage(dm_const ? dm_const->Language : QString(), QLocale::system());
}

}  // namespace

bool folderAcceptsFiles(const QString& folder) {
    if (folder.isEmpty()) {
        return false;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".nereva-probe-XXXXXX")));
    return probe.open();
}

TdmIdioma::TdmIdioma() = default;

TdmIdioma::~TdmIdioma() {
    DataModuleDestroy();
    if (dmIdioma == this) {
        dmIdioma = nullptr;
    }
}

void TdmIdioma::DataModuleCreate() {
    missingKeys_.clear();
    bool broken = false;
    for (const QString& path :
         dictionaryPaths(QDir::currentPath(), programFolders(), wantedLanguage())) {
        try {
            if (load(path)) {
                break;
            }
        } catch (const AppError&) {
            broken = true;  // told once the installed dictionary has been tried
        }
    }
    if (broken || !active_) {
        throw AppError(kLoadError);
    }
}

bool TdmIdioma::load(const QString& path) {
    QFile file(path);
    if (!file.exists()) {
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        throw AppError(file.errorString());
    }
    // Parsed from the bytes, so the file's own declaration decides the encoding.
    XMLDocument = XmlDocument::parse(file.readAll(), QStringLiteral("The file \"%1\"").arg(path));
    const XmlElement root = XMLDocument.documentElement();
    DictionaryNode = root.firstChildElement(QStringLiteral("dictionary"));
    ConfigNode = root.firstChildElement(QStringLiteral("config"));
    languageCode_ = ConfigNode.firstChildElement(QStringLiteral("code")).text();
    fileName_ = path;
    active_ = true;
    return true;
}

void TdmIdioma::DataModuleDestroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    const QString path = tagsFileName();
    if (path.isEmpty()) {
        return;
    }
    try {
        writeFileAtomically(path, tagsText());
        tagsWrittenTo_ = path;
    } catch (const AppError&) {
        // The program is ending: the list of missing keys is only a help for translators.
    }
}

QString TdmIdioma::GetWord(const QString& key) {
    if (!active_) {
        return key;
    }
    const QString normal = normalizeKey(key);
    const std::optional<QString> text = lookUp(normal);
    if (!text) {
        return QString();
    }
    if (text->isEmpty()) {
        recordMissing(normal);
        return QString();
    }
    QString word = *text;
    word.remove(QLatin1Char('\t'));
    return word;
}

// The first non-empty text of the five places; empty when none has one; nothing when the key
// cannot name an entry or the entry found holds elements instead of text.
std::optional<QString> TdmIdioma::lookUp(const QString& key) const {
    if (!isValidElementName(key)) {
        return std::nullopt;
    }
    QList<XmlElement> places{DictionaryNode};
    for (const QString& section : kSections) {
        places << DictionaryNode.firstChildElement(section);
    }
    for (const XmlElement& place : places) {
        const XmlElement entry = place.firstChildElement(key);
        if (!entry.firstChildElement().isNull()) {
            return std::nullopt;
        }
        const QString text = entry.text();
        if (!text.isEmpty()) {
            return text;
        }
    }
    return QString();
}

void TdmIdioma::recordMissing(const QString& key) {
    const QString line = QStringLiteral("<%1></%1>").arg(key);
    const auto at = std::lower_bound(missingKeys_.begin(), missingKeys_.end(), line, keyOrder);
    if (at == missingKeys_.end() || keyOrder(line, *at)) {
        missingKeys_.insert(at, line);
    }
}

QString TdmIdioma::ValidKey(const QString& text) {
    if (text.startsWith(QLatin1Char('<')) && text.endsWith(QLatin1Char('>')) && text.size() > 1) {
        return GetWord(text.mid(1, text.size() - 2));
    }
    return QString();
}

bool TdmIdioma::active() const {
    return active_;
}

const QString& TdmIdioma::LanguageCode() const {
    return languageCode_;
}

const QStringList& TdmIdioma::MissingKeys() const {
    return missingKeys_;
}

QString TdmIdioma::tagsFileName() const {
    if (!tagsWrittenTo_.isEmpty()) {
        return tagsWrittenTo_;
    }
    // An empty current path means the working folder is gone; a relative name would then
    // resolve against the file system root.
    const QString work = QDir::currentPath();
    if (folderAcceptsFiles(work)) {
        return QDir(work).filePath(kTagsFile);
    }
    if (dm_const && folderAcceptsFiles(dm_const->AppDataDir)) {
        return QDir(dm_const->AppDataDir).filePath(kTagsFile);
    }
    return QString();
}

QByteArray TdmIdioma::tagsText() const {
    QByteArray text;
    for (const QString& line : missingKeys_) {
        text += line.toUtf8() + "\r\n";
    }
    return text;
}

QString TdmIdioma::normalizeKey(const QString& key) {
    QString normal;
    normal.reserve(key.size());
    for (QChar c : key) {
        if (c == QLatin1Char('&')) {
            continue;
        }
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) {
            c = QChar(c.unicode() + ('a' - 'A'));
        } else if (c == QLatin1Char(' ')) {
            c = QLatin1Char('_');
        }
        normal += c;
    }
    return normal;
}

bool TdmIdioma::isValidElementName(const QString& name) {
    const QList<uint> points = name.toUcs4();
    if (points.isEmpty() || !isNameStartChar(points.first())) {
        return false;
    }
    return std::all_of(points.begin(), points.end(), isNameChar);
}
