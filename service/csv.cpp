#include "service/csv.h"

QList<QStringList> parseCsv(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    const auto endRow = [&] {
        if (fieldStarted || !row.isEmpty()) {
            row << field;
            rows << row;
        }
        row.clear();
        field.clear();
        fieldStarted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
            fieldStarted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
            fieldStarted = true;
        } else if (c == u'\n' || c == u'\r') {
            endRow();
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
                ++i;
            }
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    endRow();
    return rows;
}
