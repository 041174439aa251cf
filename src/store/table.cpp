#include "store/table.h"

#include "app/settings/app_error.h"
#include "app/settings/atomic_file.h"
#include "app/settings/regional_formats.h"
#include "app/settings/xml_chars.h"
#include "store/table_data.h"
#include "store/table_file.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

bool isText(FieldType type) {
    return type == FieldType::String || type == FieldType::Memo;
}

bool isWhole(FieldType type) {
    return type == FieldType::SmallInt || type == FieldType::Integer || type == FieldType::AutoInc;
}

const QDate kZeroDate(1899, 12, 30);

// No value at all, or a date or time that is not valid: stores null.
bool isNullValue(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QDate:
            return !value.toDate().isValid();
        case QMetaType::QTime:
            return !value.toTime().isValid();
        case QMetaType::QDateTime:
            return !value.toDateTime().isValid();
        default:
            return !value.isValid() || value.isNull();
    }
}

bool isTextVariant(const QVariant& value) {
    return value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray ||
           value.typeId() == QMetaType::QChar;
}

}  // namespace

struct Table::Impl {
    Table* q;
    QString name;
    std::shared_ptr<const RecordLayout> layout;
    QVector<int> orderFields;
    QVector<int> sortKeys;  // the link field first for a detail table, then orderFields
    QString fileName;
    QString unreadableFile;  // a file whose load failed: this table never writes it

    State state = State::Inactive;
    QVector<Row> rows;  // every row, in sort order
    int viewBegin = 0;  // the visible rows: rows[viewBegin, viewEnd)
    int viewEnd = 0;
    int cur = -1;  // current row within the view; -1 exactly when the view is empty
    bool eof = true;
    bool bof = true;

    QVector<QVariant> buffer;  // the pending edit
    bool modified = false;
    quint64 editRowId = 0;

    QPointer<Table> master;
    int linkField = -1;        // in this table
    int masterLinkField = -1;  // in the master
    QVariant followedKey;
    Row keyProbe;  // a row holding only followedKey, for searching
    QVector<QPointer<Table>> details;

    qint64 nextAutoInc = 1;
    quint64 nextRowId = 1;
    quint64 changes = 0;  // never reset, so a late report of an old write is recognised
    quint64 saved = 0;

    int disabled = 0;
    bool pendingRows = false;
    bool pendingState = false;

    bool active() const { return state != State::Inactive; }
    bool editing() const { return state == State::Edit || state == State::Insert; }
    int count() const { return viewEnd - viewBegin; }
    const Row& currentRow() const { return rows[viewBegin + cur]; }
    const FieldDef& def(int field) const { return layout->field(field); }

    AppError error(const QString& what) const {
        return AppError(QStringLiteral("Table %1: %2").arg(name, what));
    }
    AppError fieldError(int field, const QString& what) const {
        return AppError(QStringLiteral("Table %1, field %2: %3").arg(name, def(field).name, what));
    }
    void requireActive() const {
        if (!active()) {
            throw error(QStringLiteral("the table is not open."));
        }
    }
    int fieldOrThrow(const QString& field) const {
        const int index = layout->indexOf(field);
        if (index < 0) {
            throw error(QStringLiteral("there is no field named \"%1\".").arg(field));
        }
        return index;
    }

    // --- notifications

    void notifyRows() {
        if (disabled) {
            pendingRows = true;
        } else {
            emit q->rowsChanged();
        }
    }
    void notifyState() {
        if (disabled) {
            pendingState = true;
        } else {
            emit q->stateChanged();
        }
    }
    void notifyField(int field) {
        if (!disabled) {
            emit q->dataChanged(def(field).name);
        }
    }
    // The current record changed: details follow first, so listeners see them up to date.
    void recordChanged() {
        followDetails();
        if (!disabled) {
            emit q->dataChanged(QString());
        }
    }
    void followDetails() {
        for (const QPointer<Table>& detail : details) {
            if (detail) {
                detail->d->followMaster();
            }
        }
    }

    // --- order and view

    bool less(const Row& a, const Row& b) const {
        for (int key : sortKeys) {
            const int c = layout->compare(a, b, key);
            if (c != 0) {
                return c < 0;
            }
        }
        return false;
    }
    void sortRows() {
        const auto lessRow = [this](const Row& a, const Row& b) { return less(a, b); };
        if (!std::is_sorted(rows.cbegin(), rows.cend(), lessRow)) {
            std::stable_sort(rows.begin(), rows.end(), lessRow);
        }
    }
    bool fitsAt(int index, const Row& row) const {
        return (index == 0 || !less(row, rows[index - 1])) &&
               (index + 1 >= rows.size() || !less(rows[index + 1], row));
    }
    void refreshView() {
        if (linkField < 0) {
            viewBegin = 0;
            viewEnd = int(rows.size());
            return;
        }
        if (!keyProbe.isValid()) {
            viewBegin = viewEnd = 0;
            return;
        }
        const auto range = std::equal_range(
            rows.cbegin(), rows.cend(), keyProbe,
            [this](const Row& a, const Row& b) { return layout->compare(a, b, linkField) < 0; });
        viewBegin = int(range.first - rows.cbegin());
        viewEnd = int(range.second - rows.cbegin());
    }
    void clampCursor() {
        cur = count() == 0 ? -1 : qBound(0, cur, count() - 1);
        if (cur < 0) {
            eof = bof = true;
        }
    }
    QVariant masterKey() const {
        const Impl* m = master ? master->d.get() : nullptr;
        if (!m || !m->active()) {
            return {};
        }
        if (m->editing()) {
            return m->buffer[masterLinkField];
        }
        return m->cur < 0 ? QVariant() : m->layout->value(m->currentRow(), masterLinkField);
    }
    void setKey(const QVariant& key) {
        followedKey = key;
        keyProbe = Row();
        if (key.isValid()) {
            RowBuilder builder(*layout);
            builder.setValue(linkField, key);
            keyProbe = builder.build(0);
        }
    }
    void followMaster() {
        if (!active()) {
            return;
        }
        const QVariant key = masterKey();
        if (key == followedKey) {
            return;
        }
        checkBrowseMode();
        setKey(key);
        refreshView();
        toFirst();
        notifyRows();
        recordChanged();
    }
    void toFirst() {
        cur = count() > 0 ? 0 : -1;
        bof = true;
        eof = count() == 0;
    }
    int indexOfRow(quint64 id) const {
        for (int i = viewBegin; i < viewEnd; ++i) {
            if (rows[i].id() == id) {
                return i - viewBegin;
            }
        }
        return -1;
    }

    // --- life cycle

    TableData load() {
        const QFileInfo info(fileName);
        QFile file(fileName);
        if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
            unreadableFile = fileName;
            throw AppError(QStringLiteral("Cannot read table file \"%1\": %2.")
                               .arg(fileName, info.isDir() ? QStringLiteral("it is a folder")
                                                           : file.errorString()));
        }
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            unreadableFile = fileName;
            throw AppError(QStringLiteral("Cannot read table file \"%1\": %2.")
                               .arg(fileName, file.errorString()));
        }
        try {
            return TableFile::parse(bytes, layout, name, fileName);
        } catch (const AppError&) {
            unreadableFile = fileName;
            throw;
        }
    }
    void becomeActive(TableData data) {
        rows = std::move(data.rows);
        nextAutoInc = data.nextAutoInc;
        nextRowId = quint64(rows.size()) + 1;
        sortRows();
        saved = changes;
        state = State::Browse;
        if (linkField >= 0) {
            setKey(masterKey());
        }
        refreshView();
        toFirst();
        notifyState();
        notifyRows();
        recordChanged();
    }
    void becomeInactive() {
        state = State::Inactive;
        rows.clear();
        buffer.clear();
        modified = false;
        setKey(QVariant());
        viewBegin = viewEnd = 0;
        cur = -1;
        eof = bof = true;
        saved = changes;
        notifyState();
        notifyRows();
        recordChanged();
    }

    // --- editing

    void checkBrowseMode() {
        if (editing()) {
            if (modified) {
                q->post();
            } else {
                q->cancel();
            }
        }
    }
    void startEdit(State newState) {
        state = newState;
        modified = false;
        notifyState();
    }
    Row buildRow(quint64 id) const {
        RowBuilder builder(*layout);
        for (int field = 0; field < layout->count(); ++field) {
            builder.setValue(field, buffer[field]);
        }
        return builder.build(id);
    }
    void assignAutoIncrement() {
        const int field = layout->autoIncField();
        if (field < 0) {
            return;
        }
        if (nextAutoInc > std::numeric_limits<qint32>::max()) {
            throw fieldError(field, QStringLiteral("no auto-increment values are left."));
        }
        buffer[field] = int(nextAutoInc++);
    }
    // Where the row being edited is; found by its identity, not by trusting the cursor.
    int editedIndex() const {
        if (cur >= 0 && currentRow().id() == editRowId) {
            return viewBegin + cur;
        }
        const auto found = std::find_if(rows.cbegin(), rows.cend(),
                                        [this](const Row& row) { return row.id() == editRowId; });
        if (found == rows.cend()) {
            throw error(QStringLiteral("the record being edited no longer exists."));
        }
        return int(found - rows.cbegin());
    }
    // Puts a posted row in its place; returns whether the order of the rows changed.
    bool placeRow(Row row, bool isNew) {
        int index = isNew ? -1 : editedIndex();
        if (!isNew && fitsAt(index, row)) {
            rows[index] = std::move(row);
            return false;
        }
        if (!isNew) {
            rows.remove(index);
        }
        const auto at = std::upper_bound(rows.cbegin(), rows.cend(), row,
                                         [this](const Row& a, const Row& b) { return less(a, b); });
        index = int(at - rows.cbegin());
        rows.insert(index, std::move(row));
        refreshView();
        cur = index - viewBegin;
        clampCursor();
        return true;
    }
    void changed() {
        ++changes;
        emit q->changesPosted();
    }

    // --- values

    AppError notA(int field, const QVariant& value, const char* kind) const {
        return fieldError(field,
                          QStringLiteral("\"%1\" is not a valid %2.")
                              .arg(RegionalFormats::formatValue(value), QLatin1String(kind)));
    }
    qint64 wholeNumber(int field, const QVariant& value) const {
        bool ok = false;
        if (isTextVariant(value)) {
            const qint64 number = value.toString().trimmed().toLongLong(&ok);
            if (!ok) {
                throw notA(field, value, "integer value");
            }
            return number;
        }
        const double number = value.toDouble(&ok);
        if (!ok || std::floor(number) != number || std::abs(number) > 9.0e15) {
            throw notA(field, value, "integer value");
        }
        return qint64(number);
    }
    QVariant checkedRange(int field, qint64 number) const {
        const bool small = def(field).type == FieldType::SmallInt;
        const qint64 low =
            small ? std::numeric_limits<qint16>::min() : std::numeric_limits<qint32>::min();
        const qint64 high =
            small ? std::numeric_limits<qint16>::max() : std::numeric_limits<qint32>::max();
        if (number < low || number > high) {
            throw fieldError(
                field,
                QStringLiteral("%1 is out of range (%2 to %3).").arg(number).arg(low).arg(high));
        }
        return int(number);
    }
    double realNumber(int field, const QVariant& value) const {
        bool ok = false;
        const std::optional<double> number = isTextVariant(value)
                                                 ? RegionalFormats::parseFloat(value.toString())
                                                 : std::optional<double>(value.toDouble(&ok));
        if (!number || (!isTextVariant(value) && !ok)) {
            throw notA(field, value, "floating point value");
        }
        return *number;
    }
    QVariant dateValue(int field, const QVariant& value) const {
        QDate date;
        if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime) {
            date = value.toDate();
        } else if (isTextVariant(value)) {
            date = RegionalFormats::parseDate(value.toString()).value_or(QDate());
        }
        if (!date.isValid() || !julianDayFits(date.toJulianDay())) {
            throw notA(field, value, "date");
        }
        return date;
    }
    QVariant timeValue(int field, const QVariant& value) const {
        QTime time;
        if (value.typeId() == QMetaType::QTime || value.typeId() == QMetaType::QDateTime) {
            time = value.toTime();
        } else if (isTextVariant(value)) {
            time = RegionalFormats::parseTime(value.toString()).value_or(QTime());
        }
        if (!time.isValid()) {
            throw notA(field, value, "time");
        }
        return time;
    }
    QVariant dateTimeValue(int field, const QVariant& value) const {
        QDateTime dateTime;
        if (value.typeId() == QMetaType::QDateTime) {
            dateTime = value.toDateTime();
        } else if (value.typeId() == QMetaType::QDate) {
            dateTime = QDateTime(value.toDate(), QTime(0, 0));
        } else if (isTextVariant(value)) {
            dateTime = RegionalFormats::parseDateTime(value.toString()).value_or(QDateTime());
        }
        if (!dateTime.isValid() || !julianDayFits(dateTime.date().toJulianDay())) {
            throw notA(field, value, "date and time");
        }
        return dateTime;
    }
    // The value in the field's own type (see the class comment), or throws naming the field.
    QVariant canonical(int field, const QVariant& value) const {
        const FieldType type = def(field).type;
        if (isNullValue(value)) {
            return {};
        }
        if (isText(type)) {
            // Whatever the source (typing, an answer, an import), the file must be able to
            // carry the text: the control characters it cannot are dropped here.
            const QString text = XmlChars::withoutForbidden(RegionalFormats::formatValue(value));
            if (type == FieldType::String && text.size() > def(field).size) {
                throw fieldError(field,
                                 QStringLiteral("the text has %1 characters; at most %2 fit.")
                                     .arg(text.size())
                                     .arg(def(field).size));
            }
            return text;
        }
        if (isTextVariant(value) && value.toString().trimmed().isEmpty()) {
            return {};
        }
        if (isWhole(type)) {
            return checkedRange(field, wholeNumber(field, value));
        }
        switch (type) {
            case FieldType::Float:
                return realNumber(field, value);
            case FieldType::Date:
                return dateValue(field, value);
            case FieldType::Time:
                return timeValue(field, value);
            default:
                return dateTimeValue(field, value);
        }
    }
};

Table::Table(const QString& name, FieldDefs fields, QStringList orderBy, QObject* parent)
    : QObject(parent), d(std::make_unique<Impl>()) {
    d->q = this;
    d->name = name;
    d->layout = std::make_shared<const RecordLayout>(std::move(fields));
    for (const QString& field : orderBy) {
        d->orderFields.append(d->fieldOrThrow(field));
    }
    d->sortKeys = d->orderFields;
}

Table::~Table() {
    try {
        close();
    } catch (const AppError&) {
        // Nobody is left to tell; the owner saves and reports before destroying tables.
    }
}

const QString& Table::name() const {
    return d->name;
}

const FieldDefs& Table::fields() const {
    return d->layout->fields();
}

int Table::fieldIndex(const QString& field) const {
    return d->layout->indexOf(field);
}

void Table::setFileName(const QString& fileName) {
    d->fileName = fileName;
}

const QString& Table::fileName() const {
    return d->fileName;
}

void Table::createDataSet() {
    if (!d->unreadableFile.isEmpty() && d->unreadableFile == d->fileName) {
        throw d->error(QStringLiteral("the file \"%1\" could not be read; it is left as it is.")
                           .arg(d->fileName));
    }
    close();
    d->becomeActive(TableData());
}

void Table::open() {
    if (d->active()) {
        return;
    }
    const bool fromFile = !d->fileName.isEmpty() && QFileInfo::exists(d->fileName);
    TableData data = fromFile ? d->load() : TableData();
    d->unreadableFile.clear();
    d->becomeActive(std::move(data));
}

void Table::close() {
    if (!d->active()) {
        return;
    }
    d->checkBrowseMode();
    save();
    d->becomeInactive();
}

bool Table::active() const {
    return d->active();
}

Table::State Table::state() const {
    return d->state;
}

bool Table::hasUnsavedChanges() const {
    return d->active() && d->changes != d->saved;
}

void Table::save() {
    if (!hasUnsavedChanges() || d->fileName.isEmpty()) {
        return;
    }
    const auto data = snapshot();
    writeSnapshot(*data, d->fileName);
    markSaved(data->changeCount);
}

void Table::setMaster(Table* master, const QString& linkField) {
    if (d->master) {
        d->master->d->details.removeAll(QPointer<Table>(this));
    }
    d->master = master;
    d->linkField = master ? d->fieldOrThrow(linkField) : -1;
    d->masterLinkField = master ? master->d->fieldOrThrow(linkField) : -1;
    d->sortKeys = d->orderFields;
    if (master) {
        d->sortKeys.removeAll(d->linkField);
        d->sortKeys.prepend(d->linkField);
        master->d->details.append(this);
    }
    if (d->active()) {
        d->checkBrowseMode();
        d->sortRows();
        d->setKey(d->masterKey());
        d->refreshView();
        d->toFirst();
        d->notifyRows();
        d->recordChanged();
    }
}

Table* Table::master() const {
    return d->master;
}

void Table::first() {
    d->requireActive();
    d->checkBrowseMode();
    d->toFirst();
    d->recordChanged();
}

void Table::last() {
    d->requireActive();
    d->checkBrowseMode();
    d->cur = d->count() - 1;
    d->eof = true;
    d->bof = d->count() == 0;
    d->recordChanged();
}

void Table::next() {
    moveBy(1);
}

void Table::prior() {
    moveBy(-1);
}

int Table::moveBy(int distance) {
    d->requireActive();
    d->checkBrowseMode();
    if (d->count() == 0 || distance == 0) {
        return 0;
    }
    const qint64 wanted = qint64(d->cur) + distance;
    const int target = int(qBound(qint64(0), wanted, qint64(d->count() - 1)));
    const int moved = target - d->cur;
    if (distance > 0) {
        d->eof = wanted > target;
        d->bof = d->bof && moved == 0;
    } else {
        d->bof = wanted < target;
        d->eof = d->eof && moved == 0;
    }
    if (moved != 0) {
        d->cur = target;
        d->recordChanged();
    }
    return moved;
}

bool Table::eof() const {
    return d->eof;
}

bool Table::bof() const {
    return d->bof;
}

int Table::recordCount() const {
    return d->active() ? d->count() : 0;
}

int Table::recNo() const {
    return d->active() && d->state != State::Insert ? d->cur + 1 : 0;
}

void Table::setRecNo(int recNo) {
    d->requireActive();
    d->checkBrowseMode();
    if (d->count() == 0) {
        return;
    }
    const int target = qBound(0, recNo - 1, d->count() - 1);
    d->eof = d->bof = false;
    if (target != d->cur) {
        d->cur = target;
        d->recordChanged();
    }
}

Table::Bookmark Table::bookmark() const {
    const bool onRow = d->active() && d->state != State::Insert && d->cur >= 0;
    return onRow ? d->currentRow().id() : 0;
}

bool Table::bookmarkValid(Bookmark bookmark) const {
    return bookmark != 0 && d->active() && d->indexOfRow(bookmark) >= 0;
}

void Table::gotoBookmark(Bookmark bookmark) {
    d->requireActive();
    d->checkBrowseMode();
    const int index = bookmark ? d->indexOfRow(bookmark) : -1;
    if (index < 0) {
        throw d->error(QStringLiteral("the remembered record no longer exists."));
    }
    d->eof = d->bof = false;
    if (index != d->cur) {
        d->cur = index;
        d->recordChanged();
    }
}

void Table::insert() {
    d->requireActive();
    d->checkBrowseMode();
    d->buffer = QVector<QVariant>(d->layout->count());
    if (d->linkField >= 0) {
        d->buffer[d->linkField] = d->followedKey;
    }
    d->editRowId = 0;
    d->startEdit(State::Insert);
    d->recordChanged();
}

void Table::append() {
    insert();
}

void Table::edit() {
    d->requireActive();
    if (d->editing()) {
        return;
    }
    if (d->count() == 0) {
        insert();
        return;
    }
    d->buffer.resize(d->layout->count());
    for (int field = 0; field < d->layout->count(); ++field) {
        d->buffer[field] = d->layout->value(d->currentRow(), field);
    }
    d->editRowId = d->currentRow().id();
    d->startEdit(State::Edit);
}

void Table::post() {
    d->requireActive();
    if (!d->editing()) {
        return;
    }
    const bool isNew = d->state == State::Insert;
    if (!isNew && !d->modified) {
        cancel();
        return;
    }
    if (isNew) {
        d->assignAutoIncrement();
    }
    Row row = d->buildRow(isNew ? d->nextRowId++ : d->editRowId);
    const bool reordered = d->placeRow(std::move(row), isNew);
    d->state = State::Browse;
    d->buffer.clear();
    d->modified = false;
    d->eof = d->bof = false;
    d->changed();
    d->notifyState();
    if (reordered) {
        d->notifyRows();
    }
    d->recordChanged();
}

void Table::cancel() {
    if (!d->editing()) {
        return;
    }
    d->state = State::Browse;
    d->buffer.clear();
    d->modified = false;
    d->notifyState();
    d->recordChanged();
}

void Table::remove() {
    d->requireActive();
    if (d->state == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (d->count() == 0) {
        throw d->error(QStringLiteral("there is no record to delete."));
    }
    d->rows.remove(d->viewBegin + d->cur);
    d->refreshView();
    d->clampCursor();
    d->eof = d->bof = d->count() == 0;
    d->changed();
    d->notifyRows();
    d->recordChanged();
}

bool Table::modified() const {
    return d->editing() && d->modified;
}

QVariant Table::value(const QString& field) const {
    d->requireActive();
    const int index = d->fieldOrThrow(field);
    if (d->editing()) {
        return d->buffer[index];
    }
    return d->cur < 0 ? QVariant() : d->layout->value(d->currentRow(), index);
}

bool Table::isNull(const QString& field) const {
    return !value(field).isValid();
}

QString Table::asString(const QString& field) const {
    return RegionalFormats::formatValue(value(field));
}

int Table::asInteger(const QString& field) const {
    const QVariant v = value(field);
    const int index = d->fieldOrThrow(field);
    const FieldType type = d->def(index).type;
    if (!v.isValid()) {
        return 0;
    }
    if (isWhole(type)) {
        return v.toInt();
    }
    if (type == FieldType::Float) {
        return d->checkedRange(index, qRound64(v.toDouble())).toInt();
    }
    if (isText(type)) {
        return v.toString().trimmed().isEmpty()
                   ? 0
                   : d->checkedRange(index, d->wholeNumber(index, v)).toInt();
    }
    throw d->fieldError(index, QStringLiteral("a date or time cannot be read as a number."));
}

double Table::asFloat(const QString& field) const {
    const QVariant v = value(field);
    const int index = d->fieldOrThrow(field);
    const FieldType type = d->def(index).type;
    if (!v.isValid()) {
        return 0;
    }
    if (isWhole(type) || type == FieldType::Float) {
        return v.toDouble();
    }
    if (isText(type)) {
        return v.toString().trimmed().isEmpty() ? 0 : d->realNumber(index, v);
    }
    throw d->fieldError(index, QStringLiteral("a date or time cannot be read as a number."));
}

QDateTime Table::asDateTime(const QString& field) const {
    const QVariant v = value(field);
    const int index = d->fieldOrThrow(field);
    switch (d->def(index).type) {
        case FieldType::Date:
            return QDateTime(v.isValid() ? v.toDate() : kZeroDate, QTime(0, 0));
        case FieldType::Time:
            return QDateTime(kZeroDate, v.isValid() ? v.toTime() : QTime(0, 0));
        case FieldType::DateTime:
            return v.isValid() ? v.toDateTime() : QDateTime(kZeroDate, QTime(0, 0));
        case FieldType::String:
        case FieldType::Memo:
            if (v.toString().trimmed().isEmpty()) {
                return QDateTime(kZeroDate, QTime(0, 0));
            }
            return d->dateTimeValue(index, v).toDateTime();
        default:
            throw d->fieldError(index, QStringLiteral("a number cannot be read as a date."));
    }
}

void Table::setValue(const QString& field, const QVariant& value) {
    d->requireActive();
    const int index = d->fieldOrThrow(field);
    if (d->def(index).type == FieldType::AutoInc) {
        throw d->fieldError(index, QStringLiteral("the field is read-only."));
    }
    const QVariant stored = d->canonical(index, value);
    edit();
    if (!d->editing()) {  // a listener of the state change ended the edit
        throw d->error(QStringLiteral("the record is not being edited."));
    }
    QVariant& slot = d->buffer[index];
    if (slot.isValid() == stored.isValid() && slot == stored) {
        return;
    }
    slot = stored;
    d->modified = true;
    d->notifyField(index);
    for (const QPointer<Table>& detail : d->details) {
        if (detail && detail->d->masterLinkField == index) {
            detail->d->followMaster();
        }
    }
}

void Table::setAsString(const QString& field, const QString& text) {
    setValue(field, text.isEmpty() ? QVariant() : QVariant(text));
}

void Table::setNull(const QString& field) {
    setValue(field, QVariant());
}

QVariant Table::valueAt(int row, int fieldIndex) const {
    d->requireActive();
    if (row < 0 || row >= d->count() || fieldIndex < 0 || fieldIndex >= d->layout->count()) {
        throw d->error(QStringLiteral("there is no row %1, field %2.").arg(row).arg(fieldIndex));
    }
    if (d->state == State::Edit && row == d->cur) {
        return d->buffer[fieldIndex];
    }
    return d->layout->value(d->rows[d->viewBegin + row], fieldIndex);
}

QString Table::displayText(int row, int fieldIndex) const {
    return RegionalFormats::formatValue(valueAt(row, fieldIndex));
}

void Table::disableControls() {
    ++d->disabled;
}

void Table::enableControls() {
    if (d->disabled == 0 || --d->disabled > 0) {
        return;
    }
    if (std::exchange(d->pendingRows, false)) {
        emit rowsChanged();
    }
    if (std::exchange(d->pendingState, false)) {
        emit stateChanged();
    }
    emit dataChanged(QString());
}

bool Table::controlsDisabled() const {
    return d->disabled > 0;
}

std::shared_ptr<const TableData> Table::snapshot() const {
    auto data = std::make_shared<TableData>();
    data->tableName = d->name;
    data->layout = d->layout;
    data->rows = d->rows;
    data->nextAutoInc = d->nextAutoInc;
    data->changeCount = d->changes;
    return data;
}

void Table::writeSnapshot(const TableData& data, const QString& fileName) {
    writeFileAtomically(fileName, TableFile::serialise(data));
}

void Table::markSaved(quint64 changeCount) {
    d->saved = qMax(d->saved, changeCount);
}

quint64 Table::changeCount() const {
    return d->changes;
}

qint64 Table::nextAutoIncrement() const {
    return d->nextAutoInc;
}

void Table::reserveAutoIncrement(qint64 usedValue) {
    d->nextAutoInc = qMax(d->nextAutoInc, usedValue + 1);
}
