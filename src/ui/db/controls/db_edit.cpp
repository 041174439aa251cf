#include "ui/db/controls/db_edit.h"

#include "app/settings/regional_formats.h"
#include "store/field_def.h"
#include "ui/db/controls/look_cache.h"
#include "ui/forms/dialogs.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyleOptionFrame>
#include <QTabWidget>
#include <QTimer>

namespace {

constexpr int kUnlimitedLength = 32767;  // QLineEdit's own default

// The edits whose text cannot be stored, in the order they became so.
QList<DbEdit*>& invalidEdits() {
    static QList<DbEdit*> edits;
    return edits;
}

QString notValid(const QString& text, const char* what) {
    return QStringLiteral("'%1' is not a valid %2").arg(text, QLatin1String(what));
}

bool isWholeNumber(const QString& text) {
    bool ok = false;
    text.trimmed().toLongLong(&ok);
    return ok;
}

// The conversion message for `stored` in a field of `type`, naming the text as `shown`; empty
// when it converts.
QString conversionError(FieldType type, const QString& stored, const QString& shown) {
    switch (type) {
        case FieldType::Float:
            return RegionalFormats::parseFloat(stored) ? QString()
                                                       : notValid(shown, "floating point value");
        case FieldType::SmallInt:
        case FieldType::Integer:
        case FieldType::AutoInc:
            return isWholeNumber(stored) ? QString() : notValid(shown, "integer value");
        case FieldType::Date:
            return RegionalFormats::parseDate(stored) ? QString() : notValid(shown, "date");
        case FieldType::Time:
            return RegionalFormats::parseTime(stored) ? QString() : notValid(shown, "time");
        case FieldType::DateTime:
            return RegionalFormats::parseDateTime(stored) ? QString()
                                                          : notValid(shown, "date and time");
        case FieldType::String:
        case FieldType::Memo:
            return QString();
    }
    return QString();
}

// The message for masked text that does not fill its mask.
QString maskError(FieldType type, const EditMask& mask, const QString& shown) {
    if (type == FieldType::Date) {
        return notValid(shown, "date");
    }
    if (type == FieldType::Time || mask.holdsTime()) {
        return notValid(shown, "time");
    }
    return QStringLiteral("Invalid input value. Use escape key to abandon changes");
}

// Focus moves the user makes inside a window; not the window losing the focus to another one
// (the error box itself among them) or to a pop-up.
bool leavesTheEdit(Qt::FocusReason reason) {
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
           reason != Qt::MenuBarFocusReason;
}

// Brings the pages holding `widget` to the front.
void revealInTabs(QWidget* widget) {
    for (QWidget* page = widget; page; page = page->parentWidget()) {
        QWidget* stack = page->parentWidget();
        auto* tabs = qobject_cast<QTabWidget*>(stack ? stack->parentWidget() : nullptr);
        if (tabs && tabs->indexOf(page) >= 0) {
            tabs->setCurrentWidget(page);
        }
    }
}

}  // namespace

DbEdit::DbEdit(QWidget* parent) : QLineEdit(parent), DataAware(this) {
    LookCache::on(this);
    connect(this, &QLineEdit::textEdited, context(), [this] { storeTyped(); });
}

DbEdit::~DbEdit() {
    invalidEdits().removeAll(this);
}

bool DbEdit::confirmPendingInput() {
    if (invalidEdits().isEmpty()) {
        return true;
    }
    invalidEdits().constFirst()->reportInvalidInput();
    return false;
}

void DbEdit::setEditMask(const QString& mask) {
    mask_.reset();
    if (!mask.isEmpty()) {
        mask_ = EditMask::parse(mask);
    }
    setInputMask(mask_ ? mask_->qtInputMask() : QString());
    showField();
}

void DbEdit::showField() {
    const FieldDef* def = fieldDef();
    const bool sized = def && def->type == FieldType::String && def->size > 0;
    const int length = sized ? def->size : kUnlimitedLength;
    if (maxLength() != length) {
        setMaxLength(length);  // which sets the text again, the cursor at its end
    }
    shownValue_ = fieldText();
    const QString shown = mask_ ? mask_->shownText(shownValue_) : shownValue_;
    if ((mask_ ? displayText() : text()) != shown) {
        setText(shown);
        setCursorPosition(0);  // a long name in a narrow edit shows its start
    }
    setValid(true);
}

void DbEdit::applyGrey(bool) {
    update();
}

void DbEdit::initStyleOption(QStyleOptionFrame* option) const {
    QLineEdit::initStyleOption(option);
    option->palette = fieldPalette(option->palette);
}

void DbEdit::applyReadOnly(bool readOnly) {
    setReadOnly(readOnly);
}

void DbEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (valid_) {
        showField();  // the record's own form of what was typed
    } else if (leavesTheEdit(event->reason()) && !reportQueued_) {
        // Reported once the event that moved the focus is done, unless something that would
        // use the record (a click on another row) asked first.
        reportQueued_ = true;
        QTimer::singleShot(0, context(), [this] {
            if (reportQueued_ && !valid_) {
                reportInvalidInput();
            }
            reportQueued_ = false;
        });
    }
    updateValidLook();
}

void DbEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && !valid_) {
        showField();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

std::optional<QString> DbEdit::storableText() {
    const FieldDef* def = fieldDef();
    const FieldType type = def ? def->type : FieldType::String;
    const QString shown = mask_ ? displayText().trimmed() : text();
    const std::optional<QString> stored =
        mask_ ? mask_->storedText(displayText()) : std::optional<QString>(text());
    if (!stored) {
        error_ = maskError(type, *mask_, shown);
        return std::nullopt;
    }
    error_ = stored->isEmpty() ? QString() : conversionError(type, *stored, shown);
    return error_.isEmpty() ? stored : std::nullopt;
}

void DbEdit::storeTyped() {
    if (!canWrite()) {
        return;
    }
    const std::optional<QString> value = storableText();
    if (value && writeText(*value, &error_)) {
        setValid(true);
        return;
    }
    setValid(false);
    restoreShownValue();
}

// What was stored while the text was still valid (the 12 of "12,5") goes again.
void DbEdit::restoreShownValue() {
    if (fieldText() != shownValue_) {
        writeText(shownValue_);
    }
}

void DbEdit::reportInvalidInput() {
    reportQueued_ = false;
    revealInTabs(this);
    Dialogs::showError(window(), error_);
    setFocus(Qt::OtherFocusReason);
}

void DbEdit::setValid(bool valid) {
    valid_ = valid;
    invalidEdits().removeAll(this);
    if (!valid) {
        invalidEdits().append(this);
    } else {
        error_.clear();
    }
    updateValidLook();
}

// Every showing of the field passes here: the palette changes only when the colour does.
void DbEdit::updateValidLook() {
    const bool shownInvalid = !valid_ && !hasFocus();
    if (shownInvalid == shownInvalid_) {
        return;
    }
    shownInvalid_ = shownInvalid;
    setPaletteColour(
        this, QPalette::Text,
        shownInvalid ? QColor(Qt::red) : QApplication::palette(this).color(QPalette::Text));
}
