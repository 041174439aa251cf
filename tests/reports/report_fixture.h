#pragma once

#include "dive_rows.h"
#include "module_set.h"
#include "test_support.h"

#include <QProcess>
#include <QRectF>
#include <QRegularExpression>

// The tables, settings and shipped dictionary over fresh folders, with tools to read back a PDF.
struct ReportFixture {
    // `language`: the folder of a further language's dictionary under resources/; empty for
    // English.
    explicit ReportFixture(const QString& language = QString())
        : modules{shippedDictionary(language)} {}

    TestSupport::TempFolders folders;
    ModuleSet modules;
    Tdm_rdp& tables = *modules.tables;

    static QByteArray shippedDictionary(const QString& language = QString()) {
        const QString folder = language.isEmpty() ? QString() : language + QLatin1Char('/');
        return TestSupport::readFile(qEnvironmentVariable("NEREVA_SOURCE_DIR") +
                                     QStringLiteral("/resources/") + folder +
                                     QStringLiteral("language.xml"));
    }

    static QString word(const char* key) { return dmIdioma->GetWord(QString::fromLatin1(key)); }

    int addDive(const QVariantMap& dive, const QVariantMap& conditions = {},
                const QVariantMap& equipment = {}) {
        return TestSupport::addDive(tables, dive, conditions, equipment);
    }

    void setMemberName(const QString& name) {
        Table* member = tables.cds_info;
        member->recordCount() == 0 ? member->append() : member->edit();
        member->setValue(QStringLiteral("name"), name);
        member->post();
    }
};

namespace Pdf {

inline QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of one page (1-based) as laid out on it, with the font's ligatures ("fi" in
// "superficie") spelt out.
inline QString pageText(const QString& file, int page) {
    const QString n = QString::number(page);
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), n,
                                             QStringLiteral("-l"), n, file, QStringLiteral("-")})
        .replace(QChar(0xFB01), QStringLiteral("fi"))
        .replace(QChar(0xFB02), QStringLiteral("fl"));
}

// A word of a page and where it stands, in points.
struct Word {
    QString text;
    QRectF box;
};

// The words of one page (1-based) with their boxes, as `pdftotext -bbox` finds them.
inline QList<Word> pageWords(const QString& file, int page) {
    const QString n = QString::number(page);
    const QString html =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"), n,
                                          QStringLiteral("-l"), n, file, QStringLiteral("-")});
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<Word> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        words.append(
            {m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                   QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return words;
}

// A line of pdfinfo's answer ("Pages", "Page size", ...), without its name.
inline QString info(const QString& file, const QString& key) {
    const QString text = run(QStringLiteral("pdfinfo"), {file});
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(key + QLatin1Char(':'))) {
            return line.mid(key.size() + 1).trimmed();
        }
    }
    return {};
}

// How many pictures page `page` shows (masks of pictures not counted).
inline int pictures(const QString& file, int page) {
    const QString n = QString::number(page);
    const QString text =
        run(QStringLiteral("pdfimages"),
            {QStringLiteral("-list"), QStringLiteral("-f"), n, QStringLiteral("-l"), n, file});
    int count = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QStringList columns = line.simplified().split(QLatin1Char(' '));
        if (columns.size() > 2 && columns[2] == QLatin1String("image")) {
            ++count;
        }
    }
    return count;
}

// Boxes of one row, separated by any run of blanks as `pdftotext -layout` puts them; blanks
// inside a box may be narrowed or dropped by the text extraction.
inline QRegularExpression row(const QStringList& words) {
    QStringList escaped;
    for (const QString& w : words) {
        QStringList parts;
        for (const QString& part : w.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            parts << QRegularExpression::escape(part);
        }
        escaped << parts.join(QStringLiteral("\\s*"));
    }
    return QRegularExpression(escaped.join(QStringLiteral("\\s+")));
}

}  // namespace Pdf
