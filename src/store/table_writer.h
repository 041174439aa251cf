#pragma once

#include "store/table_data.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QVector>
#include <QWaitCondition>
#include <deque>
#include <memory>

class QThreadPool;

namespace TableJournal {
class Appender;
}

// Writes one table's changes on a worker thread, one job at a time, in the order handed in:
// journal records appended and flushed, or the whole table file written (after which the
// journal is emptied). A table file handed in holds everything handed in before it, so the
// jobs still waiting before it are dropped. After a failure the journal takes no more records
// until a table file has been written: it must never skip a change. Reports from the worker
// arrive as queued signals in the thread that owns the writer.
class TableWriter : public QObject {
    Q_OBJECT
public:
    explicit TableWriter(QThreadPool* pool, QObject* parent = nullptr);
    ~TableWriter() override;  // waits for a running job

    void append(std::shared_ptr<const RecordLayout> layout, QVector<RowChange> changes,
                const QString& journalFileName);
    void writeFile(std::shared_ptr<const TableData> data, const QString& fileName,
                   const QString& journalFileName);
    // Drops the jobs still waiting, waits until none runs, lets go of the journal file, and
    // returns the number of the last change that reached the disk (0 when none did). Reports
    // sent before carry an older generation().
    quint64 finish();
    quint64 generation() const;

signals:
    // The changes up to `changeCount` are on the disk; `inFile` when the table file holds them.
    // `journalBytes` is the journal's size afterwards.
    void written(quint64 changeCount, bool inFile, qint64 journalBytes, quint64 generation);
    void failed(const QString& message, quint64 generation);

private:
    struct Job {
        std::shared_ptr<const RecordLayout> layout;  // records
        QVector<RowChange> changes;
        std::shared_ptr<const TableData> data;  // a table file
        QString fileName;
        QString journalFileName;
    };
    void submit(Job job);
    void drain();  // runs on the worker
    quint64 run(const Job& job, qint64* journalBytes);
    TableJournal::Appender& journal(const QString& fileName);

    QThreadPool* pool_;
    mutable QMutex mutex_;
    QWaitCondition idle_;
    std::deque<Job> waiting_;
    bool running_ = false;
    bool broken_ = false;  // a job failed: records wait for a table file
    quint64 writtenCount_ = 0;
    quint64 generation_ = 0;
    std::unique_ptr<TableJournal::Appender> journal_;  // used by the worker only
};
