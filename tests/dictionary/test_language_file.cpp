#include "dictionary/tdm_idioma.h"
#include "test_support.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>

namespace {

QString sourcePath(const QString& relative) {
    return QDir(QString::fromLocal8Bit(qgetenv("NEREVA_SOURCE_DIR"))).filePath(relative);
}

const QString kShipped = QStringLiteral("resources/language.xml");
const QStringList kSections = {"items", "texts", "messages", "actions"};

// The keys listed in required_keys.txt, as the program writes them.
QStringList requiredKeys() {
    const QString text =
        QString::fromUtf8(TestSupport::readFile(sourcePath("tests/dictionary/required_keys.txt")));
    QStringList keys;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#'))) {
            keys << line;
        }
    }
    return keys;
}

QDomElement shippedDictionaryNode(QDomDocument& document) {
    QString error;
    int line = 0;
    if (!document.setContent(TestSupport::readFile(sourcePath(kShipped)), &error, &line)) {
        qWarning("language.xml line %d: %s", line, qPrintable(error));
    }
    return document.documentElement().firstChildElement("dictionary");
}

// Every entry of the dictionary, wherever it stands.
QList<QDomElement> entries(const QDomElement& dictionary) {
    QList<QDomElement> found;
    for (QDomElement e = dictionary.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        if (!kSections.contains(e.tagName())) {
            found << e;
            continue;
        }
        for (QDomElement entry = e.firstChildElement(); !entry.isNull();
             entry = entry.nextSiblingElement()) {
            found << entry;
        }
    }
    return found;
}

}  // namespace

class TestLanguageFile : public QObject {
    Q_OBJECT
private slots:
    void isWellFormedEnglish();
    void everyEntryIsOneTranslationUnderItsKey();
    void holdsEveryKeyTheProgramUses();
};

void TestLanguageFile::isWellFormedEnglish() {
    QDomDocument document;
    QVERIFY(!shippedDictionaryNode(document).isNull());
    QCOMPARE(
        document.documentElement().firstChildElement("config").firstChildElement("code").text(),
        QString("en"));
}

void TestLanguageFile::everyEntryIsOneTranslationUnderItsKey() {
    QDomDocument document;
    const QList<QDomElement> all = entries(shippedDictionaryNode(document));
    QVERIFY(all.size() > 100);
    QStringList faults;
    QSet<QString> seen;
    for (const QDomElement& entry : all) {
        const QString key = entry.tagName();
        if (TdmIdioma::normalizeKey(key) != key) {
            faults << key + ": not a normalised key";
        }
        if (!entry.firstChildElement().isNull()) {
            faults << key + ": holds elements";
        }
        if (entry.text().remove(QLatin1Char('\t')).trimmed().isEmpty()) {
            faults << key + ": empty";
        }
        if (seen.contains(key)) {
            faults << key + ": defined twice, the later one is never read";
        }
        seen.insert(key);
    }
    QCOMPARE(faults, QStringList());
}

void TestLanguageFile::holdsEveryKeyTheProgramUses() {
    TestSupport::TempFolders folders;
    QVERIFY(QFile::copy(sourcePath(kShipped), "language.xml"));
    TdmIdioma dictionary;
    dictionary.DataModuleCreate();
    const QStringList keys = requiredKeys();
    QVERIFY(keys.size() > 100);
    QStringList untranslated;
    for (const QString& key : keys) {
        if (dictionary.GetWord(key).isEmpty()) {
            untranslated << key;
        }
    }
    QCOMPARE(untranslated, QStringList());
    QCOMPARE(dictionary.MissingKeys(), QStringList());
}

NEREVA_TEST_MAIN(TestLanguageFile)
#include "test_language_file.moc"
