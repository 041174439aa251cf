#include "store/snapshot_writer.h"

#include "app/settings/app_error.h"
#include "store/table.h"
#include "store/table_data.h"

#include <QThreadPool>

SnapshotWriter::SnapshotWriter(QThreadPool* pool, QObject* parent) : QObject(parent), pool_(pool) {}

SnapshotWriter::~SnapshotWriter() {
    finish();
}

void SnapshotWriter::submit(std::shared_ptr<const TableData> data, const QString& fileName) {
    QMutexLocker lock(&mutex_);
    waiting_ = std::move(data);
    waitingFile_ = fileName;
    if (!running_) {
        running_ = true;
        pool_->start([this] { drain(); });
    }
}

quint64 SnapshotWriter::finish() {
    QMutexLocker lock(&mutex_);
    waiting_.reset();
    while (running_) {
        idle_.wait(&mutex_);
    }
    return writtenCount_;
}

void SnapshotWriter::drain() {
    for (;;) {
        std::shared_ptr<const TableData> data;
        QString fileName;
        {
            QMutexLocker lock(&mutex_);
            if (!waiting_) {
                running_ = false;
                idle_.wakeAll();
                return;
            }
            data = std::move(waiting_);
            fileName = waitingFile_;
        }
        try {
            Table::writeSnapshot(*data, fileName);
            {
                QMutexLocker lock(&mutex_);
                writtenCount_ = qMax(writtenCount_, data->changeCount);
            }
            emit written(data->changeCount);
        } catch (const AppError& e) {
            emit failed(e.message());
        }
    }
}
