#pragma once

#include <QString>
#include <QVector>
#include <optional>

// An edit mask written in the layout's mask syntax, e.g. "!90/90/0000;1; ":
//   0 required digit, 9 optional digit, # optional digit or sign, L/l letter, A/a letter or
//   digit, C/c any character (upper case required, lower case optional); "\" makes the next
//   character literal; ">" upper case, "<" lower case, "<>" no case change; "_" a literal
//   blank; "/" and ":" the date and time separators; a "!" anywhere pads unfilled optional
//   positions at the front of their group instead of the back. After the mask: ";1" keeps the
//   literal characters in the stored text (";0" drops them), then ";" and the blank character.
//
// Qt's input masks use other letters for the same ideas (9 required digit, 0 optional, A
// letter...) and cannot pad at the front, so the translation keeps a per-position model and
// converts between what the edit shows and what the field stores itself.
class EditMask {
public:
    static EditMask parse(const QString& mask);

    // The equivalent mask for QLineEdit::setInputMask, blank character included.
    const QString& qtInputMask() const { return qtMask_; }
    bool keepsLiterals() const { return keepLiterals_; }
    bool padsFront() const { return padFront_; }
    QChar blank() const { return blank_; }
    int length() const { return slots_.size(); }
    // True when the mask has literals and every one is the time separator (an "hh:mm" text).
    bool holdsTime() const;

    // The text to store for what the edit shows (QLineEdit::displayText(): one character per
    // position, blanks included). Empty when nothing is filled in (the field becomes null);
    // nullopt when the text cannot be stored: a group holds fewer characters than its required
    // positions, or the number after a colon (minutes, seconds) is 60 or more.
    std::optional<QString> storedText(const QString& shown) const;
    // What the edit shows for a stored text: each group's characters placed in the group,
    // at its back when the mask pads at the front.
    QString shownText(const QString& stored) const;

private:
    struct Slot {
        QChar literal;  // null for an input position
        bool required = false;
    };
    // A run of input positions between literals.
    struct Group {
        int first = 0;
        int count = 0;
        int required = 0;
        bool afterColon = false;
    };

    void addInput(QChar qtChar, bool required);
    void addLiteral(QChar c);
    void buildGroups();
    QString filledChars(const QString& shown, const Group& group) const;
    bool groupStorable(const QString& chars, const Group& group) const;
    void placeGroup(QString& shown, const Group& group, const QString& chars) const;
    QString shownWithLiterals(const QString& stored) const;
    QString shownWithoutLiterals(const QString& stored) const;

    QVector<Slot> slots_;
    QVector<Group> groups_;
    QString qtMask_;
    bool keepLiterals_ = true;
    bool padFront_ = false;
    QChar blank_ = u'_';
};
