#pragma once

#include "app/settings/app_error.h"
#include "store/table_data.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVector>

// The journal of a table file: the rows posted and deleted since the file was last written,
// appended one record per change, so an edit costs what it changed rather than the whole file.
// The file holds the number of the last change it has; loading reads the file and applies the
// journal's records with higher numbers, in order.
//
// The journal starts with a header line; each record is its payload's length and CRC-32 (both
// 32-bit little-endian) followed by the payload: the change's number (64 bits), its kind ('I',
// 'U', 'D'), the row's index before the change (32 bits, -1 for a new row), the CRC-32 of the
// row it replaces or deletes as the file writes it (0 for a new row), then the new row as the
// file writes it (nothing for a deletion).
namespace TableJournal {

// "dives.xml" -> "dives.journal", beside it.
QString fileNameFor(const QString& tableFileName);

QByteArray header();
// The failure for a journal that cannot be used; names the file.
AppError damaged(const QString& fileName, const QString& what);
QByteArray encode(const RecordLayout& layout, const RowChange& change);
quint32 rowChecksum(const RecordLayout& layout, const Row& row);

struct Record {
    quint64 sequence;
    RowChange::Kind kind;
    int index;
    quint32 beforeChecksum;
    QByteArrayView row;  // into the bytes read
};

struct Contents {
    QVector<Record> records;
    qsizetype validBytes = 0;  // the header and the whole records: where the next one goes
};

// The records of a journal's bytes. A damaged end (the last record cut short or garbled, or
// zeros where it should be: a write the program or the machine did not finish) ends the
// records; any other damage throws AppError naming `fileName`.
Contents read(QByteArrayView bytes, const QString& fileName);

// Appends records to a journal file and empties it once the table file holds them. Opens the
// file at its first use, cutting off a damaged end. Throws IoError naming the file on any
// failure; a failed append leaves the file as it was where it can. Used by one thread at a time.
class Appender {
public:
    explicit Appender(const QString& fileName);
    ~Appender();
    Appender(const Appender&) = delete;
    Appender& operator=(const Appender&) = delete;

    // Writes the encoded records and flushes them to the disk.
    void append(const QByteArray& records);
    // Leaves the header alone (no file: none is made), flushed to the disk.
    void clear();
    // Lets go of the file; the next use opens it again.
    void close();
    qint64 size() const;  // of the journal's records and header; 0 before the first use
    const QString& fileName() const { return fileName_; }

private:
    void open();
    bool stillInPlace() const;
    [[noreturn]] void fail(const QString& what) const;

    QString fileName_;
    int fd_ = -1;
    qint64 size_ = 0;
};

}  // namespace TableJournal
