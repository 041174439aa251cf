#include "dictionary/dictionary_languages.h"

#include <QDir>
#include <algorithm>

namespace {

const QString kDictionaryFile = QStringLiteral("language.xml");

}  // namespace

const QList<ShippedLanguage>& shippedLanguages() {
    static const QList<ShippedLanguage> languages = {
        {kEnglish, QStringLiteral("English")},
        {QStringLiteral("es"), QStringLiteral("Español")},
    };
    return languages;
}

bool isLanguageCode(const QString& code) {
    if (code.size() < 2 || code.size() > 3) {
        return false;
    }
    return std::all_of(code.begin(), code.end(),
                       [](QChar c) { return c >= QLatin1Char('a') && c <= QLatin1Char('z'); });
}

QString startLanguage(const QString& chosen, const QLocale& system) {
    if (isLanguageCode(chosen)) {
        return chosen;
    }
    const QString own = QLocale::languageToCode(system.language(), QLocale::ISO639Part1);
    return isLanguageCode(own) ? own : kEnglish;
}

QStringList dictionaryPaths(const QString& work, const QStringList& programFolders,
                            const QString& code) {
    QStringList paths;
    if (!work.isEmpty()) {
        paths << QDir(work).filePath(kDictionaryFile);
    }
    if (code != kEnglish && isLanguageCode(code)) {
        for (const QString& folder : programFolders) {
            paths << QDir(folder).filePath(code + QLatin1Char('/') + kDictionaryFile);
        }
    }
    for (const QString& folder : programFolders) {
        paths << QDir(folder).filePath(kDictionaryFile);
    }
    paths.removeDuplicates();
    return paths;
}
