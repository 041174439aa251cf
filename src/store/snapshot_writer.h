#pragma once

#include <QMutex>
#include <QObject>
#include <QString>
#include <QWaitCondition>
#include <memory>

class QThreadPool;
class TableData;

// Writes the snapshots of one table file on a worker thread: one write at a time, and of the
// snapshots handed in meanwhile only the newest is written. Reports from the worker arrive as
// queued signals in the thread that owns the writer.
class SnapshotWriter : public QObject {
    Q_OBJECT
public:
    SnapshotWriter(QThreadPool* pool, QObject* parent = nullptr);
    ~SnapshotWriter() override;  // waits for a running write

    void submit(std::shared_ptr<const TableData> data, const QString& fileName);
    // Drops a snapshot still waiting, waits until no write runs, and returns the change count
    // of the newest snapshot that reached the file (0 when none did).
    quint64 finish();

signals:
    void written(quint64 changeCount);
    void failed(const QString& message);

private:
    void drain();  // runs on the worker

    QThreadPool* pool_;
    QMutex mutex_;
    QWaitCondition idle_;
    std::shared_ptr<const TableData> waiting_;
    QString waitingFile_;
    bool running_ = false;
    quint64 writtenCount_ = 0;
};
