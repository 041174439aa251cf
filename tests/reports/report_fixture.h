#pragma once

#include "dive_rows.h"
#include "module_set.h"
#include "test_support.h"

#include <QProcess>
#include <QRegularExpression>

// The tables, settings and shipped dictionary over fresh folders, with tools to read back a PDF.
struct ReportFixture {
    TestSupport::TempFolders folders;
    ModuleSet modules{shippedDictionary()};
    Tdm_rdp& tables = *modules.tables;

    static QByteArray shippedDictionary() {
        return TestSupport::readFile(qEnvironmentVariable("NEREVA_SOURCE_DIR") +
                                     QStringLiteral("/resources/language.xml"));
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

// The text of one page (1-based) as laid out on it.
inline QString pageText(const QString& file, int page) {
    const QString n = QString::number(page);
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), n,
                                             QStringLiteral("-l"), n, file, QStringLiteral("-")});
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
