#include "store/table_writer.h"

#include "app/settings/app_error.h"
#include "store/table.h"
#include "store/table_journal.h"

#include <QThreadPool>

TableWriter::TableWriter(QThreadPool* pool, QObject* parent) : QObject(parent), pool_(pool) {}

TableWriter::~TableWriter() {
    finish();
}

void TableWriter::append(std::shared_ptr<const RecordLayout> layout, QVector<RowChange> changes,
                         const QString& journalFileName) {
    submit({std::move(layout), std::move(changes), nullptr, QString(), journalFileName});
}

void TableWriter::writeFile(std::shared_ptr<const TableData> data, const QString& fileName,
                            const QString& journalFileName) {
    submit({nullptr, {}, std::move(data), fileName, journalFileName});
}

void TableWriter::submit(Job job) {
    QMutexLocker lock(&mutex_);
    if (job.data) {
        waiting_.clear();
    }
    waiting_.push_back(std::move(job));
    if (!running_) {
        running_ = true;
        pool_->start([this] { drain(); });
    }
}

quint64 TableWriter::finish() {
    QMutexLocker lock(&mutex_);
    waiting_.clear();
    while (running_) {
        idle_.wait(&mutex_);
    }
    journal_.reset();
    broken_ = false;
    ++generation_;
    return writtenCount_;
}

quint64 TableWriter::generation() const {
    QMutexLocker lock(&mutex_);
    return generation_;
}

TableJournal::Appender& TableWriter::journal(const QString& fileName) {
    if (!journal_ || journal_->fileName() != fileName) {
        journal_ = std::make_unique<TableJournal::Appender>(fileName);
    }
    return *journal_;
}

quint64 TableWriter::run(const Job& job, qint64* journalBytes) {
    if (job.data) {
        Table::writeSnapshot(*job.data, job.fileName);
        TableJournal::Appender& appender = journal(job.journalFileName);
        appender.clear();
        *journalBytes = appender.size();
        return job.data->changeCount;
    }
    QByteArray records;
    for (const RowChange& change : job.changes) {
        records += TableJournal::encode(*job.layout, change);
    }
    TableJournal::Appender& appender = journal(job.journalFileName);
    appender.append(records);
    *journalBytes = appender.size();
    return job.changes.isEmpty() ? 0 : job.changes.constLast().sequence;
}

void TableWriter::drain() {
    for (;;) {
        Job job;
        quint64 generation = 0;
        {
            QMutexLocker lock(&mutex_);
            while (!waiting_.empty() && broken_ && !waiting_.front().data) {
                waiting_.pop_front();
            }
            if (waiting_.empty()) {
                running_ = false;
                idle_.wakeAll();
                return;
            }
            job = std::move(waiting_.front());
            waiting_.pop_front();
            generation = generation_;
        }
        try {
            qint64 journalBytes = 0;
            const quint64 count = run(job, &journalBytes);
            {
                QMutexLocker lock(&mutex_);
                writtenCount_ = qMax(writtenCount_, count);
                broken_ = false;
            }
            emit written(count, bool(job.data), journalBytes, generation);
        } catch (const AppError& e) {
            {
                QMutexLocker lock(&mutex_);
                broken_ = true;
            }
            emit failed(e.message(), generation);
        }
    }
}
