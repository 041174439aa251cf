#pragma once

#include "store/field_def.h"
#include "store/table_data.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

// A table of the dive log held in memory: rows kept in the order of `orderBy`, a cursor, edit
// states, bookmarks, an optional master it follows by a link field, and change notifications.
// The file behind it is XML, one element per row, with a journal of the changes since.
//
// Values are QVariants of the field's type (QString, int, double, QDate, QTime, QDateTime);
// a null QVariant is a null field. Field names are matched without regard to case. Errors
// (unknown field, value out of range, text too long, bad conversion, operation in the wrong
// state) throw AppError with a message naming the table and field.
class Table : public QObject {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Bookmark = quint64;  // 0 is no bookmark

    Table(const QString& name, FieldDefs fields, QStringList orderBy, QObject* parent = nullptr);
    ~Table() override;

    const QString& name() const;
    const FieldDefs& fields() const;
    std::shared_ptr<const RecordLayout> layout() const;
    int fieldIndex(const QString& field) const;  // -1 when unknown

    // Persistence. The table lives in its file and, beside it, the file's journal (see
    // TableJournal): the rows posted and deleted since the file was last written.
    //
    // open() loads the file when it exists, or starts empty, then applies the journal (throws
    // AppError naming the file when either cannot be read or parsed; the table then stays
    // closed, and this table never writes that file: createDataSet() on it throws too).
    // close() first posts a pending edit that holds changes, then writes the file when it does
    // not hold every change (a failed write throws and leaves the table open).
    void setFileName(const QString& fileName);
    const QString& fileName() const;
    QString journalFileName() const;
    bool filesExist() const;  // the table file or its journal
    void createDataSet();     // an empty table from the field definitions, not yet written
    void open();
    // open() in two steps, so several tables can be read at once: readFiles() reads the file
    // and its journal and touches nothing of the table (safe on any thread; throws as open()),
    // openWith() opens the table with what `read` returns (or fails as open() when it throws).
    TableData readFiles() const;
    void openWith(const std::function<TableData()>& read);
    void close();
    bool active() const;
    State state() const;
    // True while posted changes have not reached the disk (the file or its journal).
    bool hasUnsavedChanges() const;
    // Writes the table file now (in this thread) when it does not hold every change, and
    // empties the journal.
    void save();
    // The changes posted since the last call, for the journal. Kept only while the table has
    // a file name.
    PendingChanges takeChanges();

    // Master-detail: only rows whose `linkField` equals the master's current value are visible;
    // a new row takes the master's value; the view follows every move of the master.
    void setMaster(Table* master, const QString& linkField);
    Table* master() const;

    // Navigation over the visible rows in table order. Moving posts a pending edit that holds
    // changes and drops one that holds none.
    void first();
    void last();  // eof() is true afterwards, as after next() on the last row
    void next();
    void prior();
    int moveBy(int distance);  // returns the distance actually moved
    bool eof() const;          // after next() on the last row, or empty
    bool bof() const;
    int recordCount() const;
    int recNo() const;  // 1-based position of the current row, 0 when there is none
    void setRecNo(int recNo);
    Bookmark bookmark() const;
    bool bookmarkValid(Bookmark bookmark) const;
    void gotoBookmark(Bookmark bookmark);  // throws when the row no longer exists

    // Editing. edit() on an empty table starts an insert. post() re-sorts the row into place
    // and assigns an auto-increment field on a new row (never reusing a value, also across
    // restarts). remove() deletes the current row (a pending edit is dropped; during an insert
    // it cancels the insert).
    void insert();
    void append();
    void edit();
    void post();
    void cancel();
    void remove();
    bool modified() const;  // the pending edit holds changes
    Row editedRow() const;  // the pending edit as a row; none while not editing

    // Fields of the current row (the edit buffer while editing).
    QVariant value(const QString& field) const;
    bool isNull(const QString& field) const;
    QString asString(const QString& field) const;  // null reads as ""
    int asInteger(const QString& field) const;     // null reads as 0
    double asFloat(const QString& field) const;
    // A null field, like Time_Start's date part, reads as the zero date-time 12/30/1899 0:00.
    QDateTime asDateTime(const QString& field) const;
    // Writing needs the Edit or Insert state; a write in Browse state starts an edit.
    void setValue(const QString& field, const QVariant& value);
    void setAsString(const QString& field, const QString& text);  // "" stores null
    void setNull(const QString& field);

    // Reading any visible row without moving the cursor (0-based row in table order), for
    // grids and reports; the row being edited shows its pending values. Throws AppError for a
    // row or field out of range. While a new row is being inserted it is not among the rows
    // (recNo() is 0 then); its values are read with value().
    QVariant valueAt(int row, int fieldIndex) const;
    QString displayText(int row, int fieldIndex) const;

    // While controls are disabled, moves and edits send no notifications (detail tables still
    // follow); enabling sends one record-changed notification, after rowsChanged and
    // stateChanged when those happened meanwhile.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const;

    // An immutable copy of all rows (cheap: rows are shared), to be written off the UI thread.
    std::shared_ptr<const TableData> snapshot() const;
    // Serialises a snapshot to the file bytes and writes them atomically, flushed to the disk
    // with the folder entry. Thread-safe.
    static void writeSnapshot(const TableData& data, const QString& fileName);
    // Records that the changes up to `changeCount` reached the disk: the journal, or the file
    // itself when `inFile`.
    void markSaved(quint64 changeCount, bool inFile);
    quint64 changeCount() const;       // grows with every posted change or deletion
    quint64 savedChangeCount() const;  // the last change that reached the disk

    // The auto-increment value the next new row gets; kept in the file. A value used
    // elsewhere (for example by detail rows written before a crash) is never handed out.
    qint64 nextAutoIncrement() const;
    void reserveAutoIncrement(qint64 usedValue);

signals:
    // `field` is the changed field's name, or empty when the whole record changed (the cursor
    // moved, the rows were refreshed, the table opened or closed).
    void dataChanged(const QString& field);
    void stateChanged();
    // Rows were inserted, removed or reordered, or the visible set changed.
    void rowsChanged();
    // A change was posted or a row deleted: the file is out of date.
    void changesPosted();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
