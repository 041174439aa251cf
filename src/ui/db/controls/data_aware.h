#pragma once

#include "store/data_source.h"

#include <QMetaObject>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QString>

class QWidget;
class Table;
struct FieldDef;

// What every data-aware control shares: the binding to one field of a data source, the
// repaint on every change notification that may concern the field, the write of user edits,
// and the read-only look (button-face colour when read-only, window colour when editable).
//
// A control writes only what the user did; it never writes while it is being repainted from
// the record, and the notifications its own write causes do not repaint it (so typing is not
// disturbed), while every other control on the same field follows at once.
class DataAware {
public:
    DataAware(const DataAware&) = delete;
    DataAware& operator=(const DataAware&) = delete;

    void bind(DataSource* source, const QString& field);
    DataSource* dataSource() const { return source_; }
    const QString& dataField() const { return field_; }

    // These change the control only where it differs from what it shows: moving from dive to
    // dive sets them on every control, and a palette change costs a repaint and more.
    // Read-only, in the button-face colour; editable, in the window colour.
    void setReadOnlyState(bool readOnly) { setReadOnlyState(readOnly, readOnly); }
    // Read-only, and the button-face colour when `grey`.
    void setReadOnlyState(bool readOnly, bool grey);
    // Read-only alone; the colour stays as it is.
    void setReadOnlyKeepingColour(bool readOnly);
    bool readOnlyState() const { return readOnly_; }
    // The colour the field is painted in: the button face while grey, else the window colour.
    QColor fieldColour() const;

    // Whether a user edit can reach the table now: bound, editable, the data source enabled
    // and its table open.
    bool canWrite() const;

protected:
    explicit DataAware(QWidget* control);
    virtual ~DataAware();

    // Shows the field's current value.
    virtual void showField() = 0;
    // The widget's own read-only switch, besides the colour.
    virtual void applyReadOnly(bool readOnly) = 0;

    // Shows the field in the button-face colour or not. By default through the widget's
    // palette; a control that paints its field itself from fieldPalette() just repaints (a
    // palette change costs far more: the palette handed on, the style's painting not reused).
    virtual void applyGrey(bool grey);
    // `palette` with the field's colour as the control shows it (one shared palette per look,
    // so that the style's cache of painted looks serves it).
    QPalette fieldPalette(QPalette palette) const;

    // Gives `role` the colour `colour` in every state of `widget` (active, inactive, disabled);
    // the palette changes only when it shows another.
    static void setPaletteColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour);

    // The context for the control's own connections: it goes with this part of the control,
    // before the widget's destructor deletes children that might still signal.
    QObject* context() { return &context_; }
    // The bound table when it is open, else null.
    Table* table() const;
    // The bound field's definition; null when unbound or unknown.
    const FieldDef* fieldDef() const;
    // The field of the current record as text; empty when there is none (or it is null).
    QString fieldText() const;
    // Writes `text` (empty stores null). False when the table refuses it, with the reason in
    // `error`; nothing is written when canWrite() is false.
    bool writeText(const QString& text, QString* error = nullptr);
    // For choices: writes only a value that differs from the field's (so choosing the same
    // item again starts no edit); a refusal is shown in the error box; the record is then
    // shown again.
    void writeChoice(const QString& text);

private:
    void setGrey(bool grey);
    void onDataChange(const QString& field);
    void onStateChange();

    QWidget* control_;
    QObject context_;
    QPointer<DataSource> source_;
    QString field_;
    QMetaObject::Connection dataConnection_;
    QMetaObject::Connection stateConnection_;
    bool readOnly_ = false;
    bool grey_ = false;
    bool greyApplied_ = false;
    bool writing_ = false;
};
