#include "store/record.h"

#include <QDateTime>

#include <sys/mman.h>
#include <unistd.h>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace {

constexpr qint64 kMsecsPerDay = 86400000;

int cellSize(FieldType type) {
    switch (type) {
        case FieldType::SmallInt:
            return 2;
        case FieldType::Integer:
        case FieldType::AutoInc:
        case FieldType::Date:
        case FieldType::Time:
            return 4;
        case FieldType::Float:
        case FieldType::DateTime:
        case FieldType::String:
        case FieldType::Memo:
            return 8;
    }
    return 8;
}

bool isText(FieldType type) {
    return type == FieldType::String || type == FieldType::Memo;
}

template <typename T>
int compareValues(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// A huge page: the size of the largest arenas, and their alignment, so the system can back
// each with one.
constexpr size_t kHugePage = size_t(2) << 20;
constexpr size_t kSmallestArena = size_t(64) << 10;

}  // namespace

// One large block of rows, its header at its start. Holds one count per live row, and one for
// the allocator while it still fills the block.
class RowArena {
public:
    static RowArena* create(size_t size) {
        const bool huge = size == kHugePage;
        // A huge page needs twice the size mapped, to cut an aligned block out of it.
        const size_t span = huge ? 2 * size : size;
        void* mapped =
            mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) {
            return nullptr;
        }
        auto* start = static_cast<char*>(mapped);
        char* block = start;
        if (huge) {
            block = reinterpret_cast<char*>((reinterpret_cast<quintptr>(start) + size - 1) &
                                            ~quintptr(size - 1));
            if (block > start) {
                munmap(start, size_t(block - start));
            }
            const size_t tail = size_t(start + span - (block + size));
            if (tail > 0) {
                munmap(block + size, tail);
            }
            madvise(block, size, MADV_HUGEPAGE);
        }
        // Filling the page tables in one call spares a fault per page; older systems refuse
        // it, and the pages then come at their first touch.
        madvise(block, size, MADV_POPULATE_WRITE);
        return new (block) RowArena(size);
    }

    void* allocate(size_t bytes) {
        const size_t at = (used_ + 7) & ~size_t(7);
        if (at + bytes > size_) {
            return nullptr;
        }
        used_ = at + bytes;
        holds_.fetch_add(1, std::memory_order_relaxed);
        return reinterpret_cast<char*>(this) + at;
    }
    // Gives the pages no row will take back to the system (the huge page is split for it).
    void trim() {
        const size_t page = size_t(sysconf(_SC_PAGESIZE));
        const size_t end = (used_ + page - 1) & ~(page - 1);
        if (end < size_) {
            madvise(reinterpret_cast<char*>(this) + end, size_ - end, MADV_DONTNEED);
        }
        used_ = size_;  // nothing more is taken from here
    }
    void release() {
        if (holds_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            const size_t size = size_;
            this->~RowArena();
            munmap(this, size);
        }
    }

private:
    explicit RowArena(size_t size) : size_(size) {}
    std::atomic<int> holds_{1};
    size_t size_;
    size_t used_ = sizeof(RowArena);
};

RowAllocator::RowAllocator(size_t expectedBytes)
    : arenaSize_(expectedBytes >= kHugePage
                     ? kHugePage
                     : qMax(kSmallestArena,
                            (expectedBytes + kSmallestArena - 1) & ~(kSmallestArena - 1))) {}

RowAllocator::~RowAllocator() {
    if (current_) {
        current_->trim();
        current_->release();
    }
}

void* RowAllocator::allocate(size_t size, RowArena** arena) {
    *arena = nullptr;
    if (size > arenaSize_ / 8) {
        return nullptr;  // rather a heap block of its own than most of an arena
    }
    void* memory = current_ ? current_->allocate(size) : nullptr;
    if (!memory) {
        if (current_) {
            current_->release();
        }
        current_ = RowArena::create(arenaSize_);
        memory = current_ ? current_->allocate(size) : nullptr;
    }
    if (memory) {
        *arena = current_;
    }
    return memory;
}

void Row::release() {
    if (block_ && block_->ref.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        RowArena* arena = block_->arena;
        block_->~Block();
        if (arena) {
            arena->release();
        } else {
            ::operator delete(block_);
        }
    }
    block_ = nullptr;
}

RecordLayout::RecordLayout(FieldDefs fields) : fields_(std::move(fields)) {
    int offset = nullBytes();
    for (int i = 0; i < fields_.size(); ++i) {
        offsets_.append(offset);
        offset += cellSize(fields_[i].type);
        byLowerName_.insert(fields_[i].name.toLower(), i);
        if (fields_[i].type == FieldType::AutoInc) {
            autoIncField_ = i;
        }
    }
    fixedSize_ = (offset + 7) & ~7;
}

int RecordLayout::indexOf(QStringView name) const {
    return byLowerName_.value(name.toString().toLower(), -1);
}

qint64 RecordLayout::integer(const Row& row, int field) const {
    switch (fields_[field].type) {
        case FieldType::SmallInt:
            return cell<qint16>(row, field);
        case FieldType::DateTime:
            return cell<qint64>(row, field);
        default:
            return cell<qint32>(row, field);
    }
}

double RecordLayout::real(const Row& row, int field) const {
    return cell<double>(row, field);
}

QStringView RecordLayout::text(const Row& row, int field) const {
    const auto offset = cell<quint32>(row, field);
    quint32 length;
    std::memcpy(&length, row.bytes() + offsets_[field] + 4, 4);
    const auto* base = reinterpret_cast<const char16_t*>(row.bytes() + fixedSize_);
    return QStringView(base + offset, qsizetype(length));
}

QVariant RecordLayout::value(const Row& row, int field) const {
    if (isNull(row, field)) {
        return {};
    }
    switch (fields_[field].type) {
        case FieldType::SmallInt:
        case FieldType::Integer:
        case FieldType::AutoInc:
            return int(integer(row, field));
        case FieldType::Float:
            return real(row, field);
        case FieldType::Date:
            return QDate::fromJulianDay(integer(row, field));
        case FieldType::Time:
            return QTime::fromMSecsSinceStartOfDay(int(integer(row, field)));
        case FieldType::DateTime: {
            const qint64 msecs = integer(row, field);
            const qint64 day =
                msecs >= 0 ? msecs / kMsecsPerDay : -((-msecs - 1) / kMsecsPerDay) - 1;
            return QDateTime(QDate::fromJulianDay(day),
                             QTime::fromMSecsSinceStartOfDay(int(msecs - day * kMsecsPerDay)));
        }
        case FieldType::String:
        case FieldType::Memo:
            return text(row, field).toString();
    }
    return {};
}

int RecordLayout::compare(const Row& a, const Row& b, int field) const {
    const bool nullA = isNull(a, field);
    const bool nullB = isNull(b, field);
    if (nullA || nullB) {
        return int(nullB) - int(nullA);
    }
    const FieldType type = fields_[field].type;
    if (type == FieldType::Float) {
        return compareValues(real(a, field), real(b, field));
    }
    if (isText(type)) {
        return text(a, field).compare(text(b, field));
    }
    return compareValues(integer(a, field), integer(b, field));
}

RowBuilder::RowBuilder(const RecordLayout& layout) : layout_(layout) {
    fixed_.resize(layout_.fixedSize_);
    reset();
}

void RowBuilder::reset() {
    std::memset(fixed_.data(), 0, fixed_.size());
    std::memset(fixed_.data(), 0xff, layout_.nullBytes());
    text_.clear();
}

void RowBuilder::markSet(int field) {
    fixed_[field >> 3] &= uchar(~(1u << (field & 7)));
}

bool RowBuilder::isSet(int field) const {
    return !(fixed_[field >> 3] & (1u << (field & 7)));
}

void RowBuilder::setInteger(int field, qint64 value) {
    uchar* at = fixed_.data() + layout_.offsets_[field];
    switch (layout_.fields_[field].type) {
        case FieldType::SmallInt: {
            const auto v = qint16(value);
            std::memcpy(at, &v, sizeof v);
            break;
        }
        case FieldType::DateTime:
            std::memcpy(at, &value, sizeof value);
            break;
        default: {
            const auto v = qint32(value);
            std::memcpy(at, &v, sizeof v);
            break;
        }
    }
    markSet(field);
}

void RowBuilder::setReal(int field, double value) {
    std::memcpy(fixed_.data() + layout_.offsets_[field], &value, sizeof value);
    markSet(field);
}

char16_t* RowBuilder::reserveText(int maxLength) {
    reservedAt_ = text_.size();
    text_.resize(reservedAt_ + maxLength);
    return text_.data() + reservedAt_;
}

void RowBuilder::commitText(int field, int length) {
    text_.resize(reservedAt_ + length);
    const auto offset = quint32(reservedAt_);
    const auto size = quint32(length);
    uchar* at = fixed_.data() + layout_.offsets_[field];
    std::memcpy(at, &offset, 4);
    std::memcpy(at + 4, &size, 4);
    markSet(field);
}

void RowBuilder::setText(int field, QStringView text) {
    char16_t* out = reserveText(int(text.size()));
    if (!text.isEmpty()) {
        std::memcpy(out, text.utf16(), size_t(text.size()) * sizeof(char16_t));
    }
    commitText(field, int(text.size()));
}

void RowBuilder::setValue(int field, const QVariant& value) {
    if (value.isNull()) {
        return;
    }
    switch (layout_.fields_[field].type) {
        case FieldType::SmallInt:
        case FieldType::Integer:
        case FieldType::AutoInc:
            setInteger(field, value.toInt());
            break;
        case FieldType::Float:
            setReal(field, value.toDouble());
            break;
        case FieldType::Date:
            setInteger(field, value.toDate().toJulianDay());
            break;
        case FieldType::Time:
            setInteger(field, value.toTime().msecsSinceStartOfDay());
            break;
        case FieldType::DateTime: {
            const QDateTime dateTime = value.toDateTime();
            setInteger(field, dateTime.date().toJulianDay() * kMsecsPerDay +
                                  dateTime.time().msecsSinceStartOfDay());
            break;
        }
        case FieldType::String:
        case FieldType::Memo:
            setText(field, value.toString());
            break;
    }
}

Row RowBuilder::build(quint64 id, RowAllocator* allocator) const {
    const size_t size =
        sizeof(Row::Block) + size_t(fixed_.size()) + size_t(text_.size()) * sizeof(char16_t);
    RowArena* arena = nullptr;
    void* memory = allocator ? allocator->allocate(size, &arena) : nullptr;
    if (!memory) {
        memory = ::operator new(size);
    }
    auto* block = new (memory) Row::Block{{1}, arena, id};
    auto* bytes = reinterpret_cast<uchar*>(block + 1);
    std::memcpy(bytes, fixed_.data(), size_t(fixed_.size()));
    if (!text_.isEmpty()) {
        std::memcpy(bytes + fixed_.size(), text_.data(), size_t(text_.size()) * sizeof(char16_t));
    }
    return Row(block);
}
