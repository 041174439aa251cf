#include "wire/field_list.h"

namespace {

const QString kFieldSeparator = QStringLiteral("##");

// Leading and trailing blanks and control characters off.
QString trimmed(QStringView piece) {
    qsizetype begin = 0;
    qsizetype end = piece.size();
    while (begin < end && piece[begin] <= u' ') {
        ++begin;
    }
    while (end > begin && piece[end - 1] <= u' ') {
        --end;
    }
    return piece.mid(begin, end - begin).toString();
}

}  // namespace

void SplitFields(const QString& text, QStringList& fields) {
    for (QString& slot : fields) {
        slot.clear();
    }
    QStringView rest(text);
    qsizetype slot = 0;
    do {
        const qsizetype at = rest.indexOf(kFieldSeparator);
        const QStringView piece = at < 0 ? rest : rest.left(at);
        rest = at < 0 ? QStringView() : rest.mid(at + kFieldSeparator.size());
        if (slot < fields.size()) {
            fields[slot] = trimmed(piece);
        }
        ++slot;
    } while (!rest.isEmpty());
}
