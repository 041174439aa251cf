#include "ui/db/controls/edit_mask.h"

namespace {

// Characters that mean something in a Qt input mask and must be escaped to stand for
// themselves.
bool isQtMaskMeta(QChar c) {
    return QStringLiteral("AaNnXx90Dd#HhBb><!\\[]{}").contains(c);
}

struct InputKind {
    QChar qtChar;
    bool required;
};

std::optional<InputKind> inputKind(QChar c) {
    switch (c.unicode()) {
        case '0':
            return InputKind{u'9', true};
        case '9':
            return InputKind{u'0', false};
        case '#':
            return InputKind{u'#', false};
        case 'L':
            return InputKind{u'A', true};
        case 'l':
            return InputKind{u'a', false};
        case 'A':
            return InputKind{u'N', true};
        case 'a':
            return InputKind{u'n', false};
        case 'C':
            return InputKind{u'X', true};
        case 'c':
            return InputKind{u'x', false};
        default:
            return std::nullopt;
    }
}

// Where the mask itself ends in "mask;1;_": at its first ";" that no "\" escapes.
int endOfMaskBody(const QString& mask) {
    for (int i = 0; i < mask.size(); ++i) {
        if (mask[i] == u'\\') {
            ++i;
        } else if (mask[i] == u';') {
            return i;
        }
    }
    return mask.size();
}

// The digits at the start of `text`, e.g. the seconds of "56N".
QString leadingDigits(const QString& text) {
    int n = 0;
    while (n < text.size() && text[n].isDigit()) {
        ++n;
    }
    return text.left(n);
}

}  // namespace

EditMask EditMask::parse(const QString& mask) {
    EditMask m;
    const int end = endOfMaskBody(mask);
    const QString options = mask.mid(end + 1);
    if (!options.isEmpty()) {
        m.keepLiterals_ = options[0] != u'0';
    }
    if (options.size() >= 3 && options[1] == u';') {
        m.blank_ = options[2];
    }
    for (int i = 0; i < end; ++i) {
        const QChar c = mask[i];
        if (c == u'!') {
            m.padFront_ = true;
        } else if (c == u'<' && i + 1 < end && mask[i + 1] == u'>') {
            m.qtMask_ += u'!';
            ++i;
        } else if (c == u'<' || c == u'>') {
            m.qtMask_ += c;
        } else if (c == u'\\') {
            if (i + 1 < end) {
                m.addLiteral(mask[++i]);
            }
        } else if (const auto kind = inputKind(c)) {
            m.addInput(kind->qtChar, kind->required);
        } else {
            m.addLiteral(c == u'_' ? QChar(u' ') : c);
        }
    }
    m.qtMask_ += u';';
    m.qtMask_ += m.blank_;
    m.buildGroups();
    return m;
}

void EditMask::addInput(QChar qtChar, bool required) {
    slots_.append(Slot{QChar(), required});
    qtMask_ += qtChar;
}

void EditMask::addLiteral(QChar c) {
    slots_.append(Slot{c, false});
    if (isQtMaskMeta(c)) {
        qtMask_ += u'\\';
    }
    qtMask_ += c;
}

void EditMask::buildGroups() {
    for (int i = 0; i < slots_.size(); ++i) {
        if (!slots_[i].literal.isNull()) {
            continue;
        }
        if (i == 0 || !slots_[i - 1].literal.isNull()) {
            groups_.append(Group{i, 0, 0, i > 0 && slots_[i - 1].literal == u':'});
        }
        ++groups_.last().count;
        groups_.last().required += slots_[i].required ? 1 : 0;
    }
}

bool EditMask::holdsTime() const {
    bool anyLiteral = false;
    for (const Slot& slot : slots_) {
        if (!slot.literal.isNull()) {
            anyLiteral = true;
            if (slot.literal != u':') {
                return false;
            }
        }
    }
    return anyLiteral;
}

QString EditMask::filledChars(const QString& shown, const Group& group) const {
    QString chars;
    for (int i = group.first; i < group.first + group.count && i < shown.size(); ++i) {
        if (shown[i] != blank_) {
            chars += shown[i];
        }
    }
    return chars;
}

bool EditMask::groupStorable(const QString& chars, const Group& group) const {
    if (chars.size() < group.required) {
        return false;
    }
    const QString number = group.afterColon ? leadingDigits(chars) : QString();
    return number.isEmpty() || number.toInt() < 60;
}

std::optional<QString> EditMask::storedText(const QString& shown) const {
    QString stored;
    bool anyFilled = false;
    bool storable = true;
    int group = 0;
    for (int i = 0; i < slots_.size(); ++i) {
        if (!slots_[i].literal.isNull()) {
            if (keepLiterals_) {
                stored += slots_[i].literal;
            }
            continue;
        }
        const Group& g = groups_[group++];
        const QString chars = filledChars(shown, g);
        anyFilled = anyFilled || !chars.isEmpty();
        storable = storable && groupStorable(chars, g);
        stored += chars;
        i += g.count - 1;
    }
    if (!anyFilled) {
        return QString();
    }
    return storable ? std::optional<QString>(stored) : std::nullopt;
}

void EditMask::placeGroup(QString& shown, const Group& group, const QString& chars) const {
    const QString fitting = chars.left(group.count);
    const int offset = padFront_ ? group.count - fitting.size() : 0;
    for (int j = 0; j < fitting.size(); ++j) {
        shown[group.first + offset + j] = fitting[j];
    }
}

QString EditMask::shownText(const QString& stored) const {
    return keepLiterals_ ? shownWithLiterals(stored) : shownWithoutLiterals(stored);
}

QString EditMask::shownWithLiterals(const QString& stored) const {
    QString shown(slots_.size(), blank_);
    int k = 0;
    int group = 0;
    for (int i = 0; i < slots_.size(); ++i) {
        const QChar literal = slots_[i].literal;
        if (!literal.isNull()) {
            shown[i] = literal;
            if (k < stored.size() && stored[k] == literal) {
                ++k;
            }
            continue;
        }
        const Group& g = groups_[group++];
        const int next = g.first + g.count;
        const QChar end = next < slots_.size() ? slots_[next].literal : QChar();
        QString chars;
        while (k < stored.size() && (end.isNull() || stored[k] != end)) {
            chars += stored[k++];
        }
        placeGroup(shown, g, chars);
        i = next - 1;
    }
    return shown;
}

QString EditMask::shownWithoutLiterals(const QString& stored) const {
    QString shown(slots_.size(), blank_);
    QVector<int> positions;
    for (int i = 0; i < slots_.size(); ++i) {
        if (slots_[i].literal.isNull()) {
            positions.append(i);
        } else {
            shown[i] = slots_[i].literal;
        }
    }
    const QString fitting = stored.left(positions.size());
    const int offset = padFront_ ? positions.size() - fitting.size() : 0;
    for (int j = 0; j < fitting.size(); ++j) {
        shown[positions[offset + j]] = fitting[j];
    }
    return shown;
}
