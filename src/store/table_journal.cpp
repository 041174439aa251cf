#include "store/table_journal.h"

#include "app/settings/app_error.h"
#include "store/table_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TableJournal {
namespace {

const QByteArray kHeader = QByteArrayLiteral("NEREVA table journal 1\n");
constexpr qsizetype kFrameBytes = 8;     // length and checksum
constexpr qsizetype kFixedPayload = 17;  // number, kind, index, checksum of the row replaced
constexpr quint32 kLargestPayload = 256u << 20;

std::array<quint32, 256> crcTable() {
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[i] = c;
    }
    return table;
}

quint32 crc32(QByteArrayView bytes) {
    static const std::array<quint32, 256> table = crcTable();
    quint32 c = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        c = table[(c ^ uchar(byte)) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

template <typename T>
void put(QByteArray& out, T value) {
    for (size_t i = 0; i < sizeof(T); ++i) {
        out.append(char((quint64(value) >> (8 * i)) & 0xFF));
    }
}

template <typename T>
T get(const char* at) {
    quint64 value = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
        value |= quint64(uchar(at[i])) << (8 * i);
    }
    return T(value);
}

bool allZero(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; });
}

bool knownKind(char kind) {
    return kind == char(RowChange::Kind::Insert) || kind == char(RowChange::Kind::Update) ||
           kind == char(RowChange::Kind::Delete);
}

}  // namespace

AppError damaged(const QString& fileName, const QString& what) {
    return AppError(QStringLiteral("Cannot read table journal \"%1\": %2. Neither it nor its "
                                   "table file is changed.")
                        .arg(fileName, what));
}

QString fileNameFor(const QString& tableFileName) {
    const QFileInfo info(tableFileName);
    const QString base = tableFileName.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive)
                             ? tableFileName.chopped(4)
                             : tableFileName;
    return info.fileName().isEmpty() ? QString() : base + QStringLiteral(".journal");
}

QByteArray header() {
    return kHeader;
}

quint32 rowChecksum(const RecordLayout& layout, const Row& row) {
    return crc32(TableFile::serialiseRow(layout, row));
}

QByteArray encode(const RecordLayout& layout, const RowChange& change) {
    QByteArray payload;
    const QByteArray row = change.after.isValid() && change.kind != RowChange::Kind::Delete
                               ? TableFile::serialiseRow(layout, change.after)
                               : QByteArray();
    payload.reserve(kFixedPayload + row.size());
    put<quint64>(payload, change.sequence);
    payload.append(char(change.kind));
    put<qint32>(payload, change.index);
    put<quint32>(payload, change.before.isValid() ? rowChecksum(layout, change.before) : 0);
    payload.append(row);
    QByteArray record;
    record.reserve(kFrameBytes + payload.size());
    put<quint32>(record, quint32(payload.size()));
    put<quint32>(record, crc32(payload));
    record.append(payload);
    return record;
}

Contents read(QByteArrayView bytes, const QString& fileName) {
    Contents contents;
    if (bytes.size() < kHeader.size()) {
        // A journal whose header was never completely written holds nothing yet.
        if (!QByteArrayView(kHeader).startsWith(bytes)) {
            throw damaged(fileName, QStringLiteral("it is not a table journal"));
        }
        return contents;
    }
    if (!bytes.startsWith(kHeader)) {
        throw damaged(fileName, QStringLiteral("it is not a table journal"));
    }
    qsizetype at = kHeader.size();
    contents.validBytes = at;
    while (at < bytes.size()) {
        const QByteArrayView rest = bytes.sliced(at);
        if (rest.size() < kFrameBytes) {
            break;  // the end of a record cut short
        }
        const quint32 length = get<quint32>(rest.data());
        const quint32 checksum = get<quint32>(rest.data() + 4);
        if (length < kFixedPayload || length > kLargestPayload) {
            if (allZero(rest)) {
                break;  // zeros the machine left where records were to go
            }
            throw damaged(fileName, QStringLiteral("record %1 (at byte %2) is damaged")
                                        .arg(contents.records.size() + 1)
                                        .arg(at));
        }
        if (qint64(length) + kFrameBytes > rest.size()) {
            break;  // the last record, cut short
        }
        const QByteArrayView payload = rest.sliced(kFrameBytes, length);
        if (crc32(payload) != checksum || !knownKind(payload[8])) {
            if (qint64(length) + kFrameBytes == rest.size() || allZero(rest)) {
                break;  // the last record garbled
            }
            throw damaged(fileName, QStringLiteral("record %1 (at byte %2) is damaged")
                                        .arg(contents.records.size() + 1)
                                        .arg(at));
        }
        const char* p = payload.data();
        contents.records.append({get<quint64>(p), RowChange::Kind(p[8]), get<qint32>(p + 9),
                                 get<quint32>(p + 13), payload.sliced(kFixedPayload)});
        at += kFrameBytes + length;
        contents.validBytes = at;
    }
    return contents;
}

Appender::Appender(const QString& fileName) : fileName_(fileName) {}

Appender::~Appender() {
    close();
}

void Appender::fail(const QString& what) const {
    throw IoError(QStringLiteral("Cannot write file \"%1\": %2").arg(fileName_, what));
}

// Whether the open file is still the one under the journal's name (the folder may have been
// moved or the file deleted meanwhile: its records would go nowhere).
bool Appender::stillInPlace() const {
    struct stat named {};
    struct stat held {};
    return ::stat(QFile::encodeName(fileName_).constData(), &named) == 0 &&
           ::fstat(fd_, &held) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino;
}

void Appender::open() {
    if (fd_ >= 0 && stillInPlace()) {
        return;
    }
    close();
    fd_ = ::open(QFile::encodeName(fileName_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        fail(QString::fromLocal8Bit(std::strerror(errno)));
    }
    QFile file;
    QByteArray bytes;
    if (file.open(fd_, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        bytes = file.readAll();
    }
    qint64 valid = 0;
    try {
        valid = read(bytes, fileName_).validBytes;
    } catch (const AppError& e) {
        close();  // a damaged journal is never written to
        fail(e.message());
    }
    if (valid == 0) {
        if (::ftruncate(fd_, 0) != 0 ||
            ::pwrite(fd_, kHeader.constData(), size_t(kHeader.size()), 0) != kHeader.size()) {
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            close();
            fail(reason);
        }
        valid = kHeader.size();
    } else if (valid < bytes.size() && ::ftruncate(fd_, valid) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        close();
        fail(reason);
    }
    size_ = valid;
}

void Appender::append(const QByteArray& records) {
    open();
    qsizetype written = 0;
    while (written < records.size()) {
        const ssize_t n = ::pwrite(fd_, records.constData() + written,
                                   size_t(records.size() - written), size_ + written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const QString reason = QString::fromLocal8Bit(std::strerror(n < 0 ? errno : ENOSPC));
            if (::ftruncate(fd_, size_) != 0) {
                close();  // opening again finds where the whole records end
            }
            fail(reason);
        }
        written += n;
    }
    if (::fdatasync(fd_) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        close();
        fail(reason);
    }
    size_ += written;
}

void Appender::clear() {
    if (!QFileInfo::exists(fileName_)) {
        close();
        return;
    }
    open();
    if (size_ == kHeader.size()) {
        return;
    }
    if (::ftruncate(fd_, kHeader.size()) != 0 || ::fdatasync(fd_) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        close();
        fail(reason);
    }
    size_ = kHeader.size();
}

void Appender::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    size_ = 0;
}

qint64 Appender::size() const {
    return size_;
}

}  // namespace TableJournal
