#include "ui/db/controls/data_aware.h"

#include "app/settings/app_error.h"
#include "store/data_source.h"
#include "store/table.h"
#include "ui/db/controls/backdrop.h"
#include "ui/forms/dialogs.h"

#include <QApplication>
#include <QList>
#include <QScopedValueRollback>
#include <QWidget>
#include <algorithm>

DataAware::DataAware(QWidget* control) : control_(control) {
    Backdrop::under(control);
}

DataAware::~DataAware() = default;

void DataAware::bind(DataSource* source, const QString& field) {
    QObject::disconnect(dataConnection_);
    QObject::disconnect(stateConnection_);
    source_ = source;
    field_ = field;
    if (source) {
        dataConnection_ = QObject::connect(source, &DataSource::dataChange, &context_,
                                           [this](const QString& f) { onDataChange(f); });
        stateConnection_ = QObject::connect(source, &DataSource::stateChange, &context_,
                                            [this] { onStateChange(); });
    }
    showField();
}

void DataAware::setReadOnlyState(bool readOnly, bool grey) {
    setGrey(grey);
    setReadOnlyKeepingColour(readOnly);
}

void DataAware::setReadOnlyKeepingColour(bool readOnly) {
    if (readOnly != readOnly_) {
        readOnly_ = readOnly;
        applyReadOnly(readOnly);
    }
}

void DataAware::setGrey(bool grey) {
    if (!greyApplied_ || grey != grey_) {
        grey_ = grey;
        greyApplied_ = true;
        applyGrey(grey);
    }
}

void DataAware::applyGrey(bool grey) {
    setPaletteColour(
        control_, QPalette::Base,
        QApplication::palette(control_).color(grey ? QPalette::Button : QPalette::Base));
}

namespace {

// One shared palette for each look the fields show: the style keeps what it painted under the
// palette's key, and every changed copy of a palette has a new key.
QPalette sharedLook(const QPalette& palette) {
    static QList<QPalette> looks;
    auto known = std::find(looks.cbegin(), looks.cend(), palette);
    if (known == looks.cend()) {
        constexpr int kMostLooks = 8;
        if (looks.size() == kMostLooks) {
            looks.removeFirst();
        }
        looks.append(palette);
        known = looks.cend() - 1;
    }
    QPalette look = *known;
    look.setCurrentColorGroup(palette.currentColorGroup());
    return look;
}

}  // namespace

QPalette DataAware::fieldPalette(QPalette palette) const {
    if (grey_) {
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    }
    return sharedLook(palette);
}

QColor DataAware::fieldColour() const {
    return fieldPalette(control_->palette()).color(QPalette::Base);
}

void DataAware::setPaletteColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
    QPalette palette = widget->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        if (palette.color(group, role) != colour) {
            palette.setColor(role, colour);
            widget->setPalette(palette);
            return;
        }
    }
}

bool DataAware::canWrite() const {
    return !readOnly_ && source_ && source_->enabled() && table() && fieldDef();
}

Table* DataAware::table() const {
    Table* t = source_ ? source_->dataSet() : nullptr;
    return t && t->active() ? t : nullptr;
}

const FieldDef* DataAware::fieldDef() const {
    const Table* t = source_ ? source_->dataSet() : nullptr;
    const int index = t ? t->fieldIndex(field_) : -1;
    return index < 0 ? nullptr : &t->fields()[index];
}

QString DataAware::fieldText() const {
    const Table* t = table();
    if (!t || !fieldDef()) {
        return QString();
    }
    const bool hasRecord = t->state() != Table::State::Browse || t->recordCount() > 0;
    return hasRecord ? t->asString(field_) : QString();
}

bool DataAware::writeText(const QString& text, QString* error) {
    if (!canWrite()) {
        return false;
    }
    QScopedValueRollback<bool> guard(writing_, true);
    try {
        table()->setAsString(field_, text);
        return true;
    } catch (const AppError& e) {
        if (error) {
            *error = e.message();
        }
        return false;
    }
}

void DataAware::writeChoice(const QString& text) {
    QString error;
    if (text != fieldText() && !writeText(text, &error) && !error.isEmpty()) {
        Dialogs::showError(control_, error);
    }
    showField();
}

void DataAware::onDataChange(const QString& field) {
    if (!writing_ && (field.isEmpty() || field.compare(field_, Qt::CaseInsensitive) == 0)) {
        showField();
    }
}

void DataAware::onStateChange() {
    if (!writing_) {
        showField();
    }
}
