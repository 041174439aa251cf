#pragma once

#include "store/field_def.h"

#include <QHash>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>
#include <QVariant>
#include <atomic>
#include <cstring>
#include <limits>

// A row is one immutable heap block shared by handles: a header, a null bit per field, the
// fixed-width cells and, behind them, the UTF-16 text of the string fields. Editing builds a
// new block, so a copy of a table's row list is a cheap and thread-safe snapshot.
class Row {
public:
    Row() = default;
    Row(const Row& other) noexcept : block_(other.block_) { retain(); }
    Row(Row&& other) noexcept : block_(other.block_) { other.block_ = nullptr; }
    Row& operator=(Row other) noexcept {
        std::swap(block_, other.block_);
        return *this;
    }
    ~Row() { release(); }

    bool isValid() const { return block_ != nullptr; }
    // Stays the same across edits of the row; what bookmarks remember.
    quint64 id() const { return block_->id; }

private:
    friend class RecordLayout;
    friend class RowBuilder;
    struct Block {
        std::atomic<int> ref;
        quint64 id;
    };
    explicit Row(Block* block) : block_(block) {}
    const uchar* bytes() const { return reinterpret_cast<const uchar*>(block_ + 1); }
    void retain() const {
        if (block_) {
            block_->ref.fetch_add(1, std::memory_order_relaxed);
        }
    }
    void release();

    Block* block_ = nullptr;
};

// Where each field of a table lives inside a row block, and typed access to the cells.
// Integers, dates (Julian day), times (ms of the day) and date-times (ms since Julian day 0)
// are stored as numbers; strings as offset and length into the row's text.
class RecordLayout {
public:
    explicit RecordLayout(FieldDefs fields);

    const FieldDefs& fields() const { return fields_; }
    int count() const { return fields_.size(); }
    const FieldDef& field(int index) const { return fields_[index]; }
    int indexOf(QStringView name) const;  // without regard to case; -1 when unknown
    int autoIncField() const { return autoIncField_; }

    bool isNull(const Row& row, int field) const {
        return row.bytes()[field >> 3] & (1u << (field & 7));
    }
    qint64 integer(const Row& row, int field) const;  // smallint, integer, date, time, date-time
    double real(const Row& row, int field) const;
    QStringView text(const Row& row, int field) const;
    // The field as its canonical QVariant (see Table); null for a null field.
    QVariant value(const Row& row, int field) const;
    // Orders two rows by one field; null sorts first.
    int compare(const Row& a, const Row& b, int field) const;

private:
    friend class RowBuilder;
    int nullBytes() const { return (count() + 7) / 8; }
    template <typename T>
    T cell(const Row& row, int field) const {
        T value;
        std::memcpy(&value, row.bytes() + offsets_[field], sizeof(T));
        return value;
    }

    FieldDefs fields_;
    QVector<int> offsets_;
    QHash<QString, int> byLowerName_;
    int fixedSize_ = 0;  // null bits and cells, rounded up to keep the text aligned
    int autoIncField_ = -1;
};

// Dates, also those of date-time fields, are kept within 32-bit Julian day numbers (about
// 5.8 million years either way); the store refuses dates beyond.
inline bool julianDayFits(qint64 julianDay) {
    return julianDay >= std::numeric_limits<qint32>::min() &&
           julianDay <= std::numeric_limits<qint32>::max();
}

// Collects the values of one row and makes its block. Reusable: reset() between rows.
class RowBuilder {
public:
    explicit RowBuilder(const RecordLayout& layout);

    void reset();                              // every field null
    void setInteger(int field, qint64 value);  // stored in the width of the field's type
    void setReal(int field, double value);
    void setText(int field, QStringView text);
    // Makes room for `maxLength` UTF-16 units of `field`'s text; commitText() sets the length.
    char16_t* reserveText(int maxLength);
    void commitText(int field, int length);
    // A canonical QVariant of the field's type, or null.
    void setValue(int field, const QVariant& value);
    bool isSet(int field) const;
    Row build(quint64 id) const;

private:
    void markSet(int field);

    const RecordLayout& layout_;
    QVarLengthArray<uchar, 512> fixed_;
    QVarLengthArray<char16_t, 1024> text_;
    qsizetype reservedAt_ = 0;
};
