#include "service/text_rules.h"

#include <QDateTime>

namespace TextRules {

QString searchKey(const QString& text) {
    return text.trimmed().toCaseFolded();
}

bool isEmailAddress(const QString& text) {
    const qsizetype at = text.indexOf(u'@');
    if (at < 1 || at != text.lastIndexOf(u'@') || text.size() > 254) {
        return false;
    }
    for (const QChar c : text) {
        if (c.isSpace() || c.category() == QChar::Other_Control) {
            return false;
        }
    }
    const QString domain = text.mid(at + 1);
    const qsizetype dot = domain.lastIndexOf(u'.');
    return dot > 0 && dot < domain.size() - 1 && !domain.startsWith(u'.') &&
           !domain.contains(QStringLiteral(".."));
}

QString oneLine(const QString& text, int maxLength) {
    QString line;
    line.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() != QChar::Other_Control) {
            line += c;
        }
    }
    return line.trimmed().left(maxLength);
}

int separators(const QString& line) {
    const QString separator = QStringLiteral("##");
    int count = 0;
    for (qsizetype at = line.indexOf(separator); at >= 0; at = line.indexOf(separator, at + 2)) {
        ++count;
    }
    return count;
}

QString utcNow() {
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

}  // namespace TextRules
