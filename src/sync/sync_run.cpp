#include "sync/sync_run.h"

#include "app/settings/app_error.h"
#include "dictionary/tdm_idioma.h"
#include "net/tdm_comm.h"
#include "store/tdm_rdp.h"
#include "sync/dive_answer.h"
#include "sync/dive_exchange.h"
#include "sync/member_exchange.h"
#include "sync/reference_download.h"

#include <QEventLoop>
#include <algorithm>

namespace {

const QString kCancel = QStringLiteral("CANCEL");

// The open tables with changes that have not reached their files.
QList<Table*> unsavedTables(const Tdm_rdp& tables) {
    QList<Table*> unsaved;
    for (Table* table : tables.tables()) {
        if (table->active() && table->hasUnsavedChanges() && !table->fileName().isEmpty()) {
            unsaved << table;
        }
    }
    return unsaved;
}

}  // namespace

SyncRun::SyncRun(Listener listener) : listener_(std::move(listener)) {}

void SyncRun::setChecked(SyncTask task, bool checked) {
    checked_[int(task)] = checked;
}

bool SyncRun::checked(SyncTask task) const {
    return checked_[int(task)];
}

QString SyncRun::taskKey(SyncTask task) {
    switch (task) {
        case SyncTask::Member:
            return QStringLiteral("sync_send_info");
        case SyncTask::Dives:
            return QStringLiteral("sync_dives");
        case SyncTask::Reference:
            break;
    }
    return QStringLiteral("sync_databases");
}

QString SyncRun::statusKey(TaskStatus status) {
    switch (status) {
        case TaskStatus::Pending:
            return QStringLiteral("pending");
        case TaskStatus::Executing:
            return QStringLiteral("executing");
        case TaskStatus::Completed:
            return QStringLiteral("completed");
        case TaskStatus::Failed:
            return QStringLiteral("failed");
        case TaskStatus::Canceled:
            return QStringLiteral("canceled");
        case TaskStatus::None:
            break;
    }
    return {};
}

QString SyncRun::word(const QString& key) {
    return dmIdioma ? dmIdioma->GetWord(key) : key;
}

QString SyncRun::statusText(TaskStatus status) {
    return status == TaskStatus::None ? QString() : word(statusKey(status));
}

QString SyncRun::skippedDivesMessage(int count) {
    return QString::number(count) + QLatin1Char(' ') +
           word(QStringLiteral("txt_dives_not_written"));
}

// The request waiting now is given up too: its answer, whenever it would come, is not applied.
void SyncRun::cancel() {
    if (running_) {
        aborted_ = true;
        stopReason_ = kCancel;
        if (dmComm) {
            dmComm->cancelRequest();
        }
        if (waitingForWriters_) {
            waitingForWriters_->quit();  // what is being written still reaches the files
        }
    }
}

void SyncRun::run() {
    const int diveRecNo = begin();
    try {
        runTasks();
    } catch (const std::exception&) {
        // A table that cannot be walked, memory that runs out: the run stops as by a failure.
        aborted_ = true;
        ruleUnsettledTasks();
    }
    tellOutcome();
    finish(diveRecNo);
}

// Returns the dives table's row position, to be restored at the end.
int SyncRun::begin() {
    running_ = true;
    for (int task = 0; task < kSyncTasks; ++task) {
        setStatus(SyncTask(task), checked_[task] ? TaskStatus::Pending : TaskStatus::None);
    }
    dm_rdp->setBusy(true);
    stopReason_.clear();
    aborted_ = false;
    skippedDives_ = 0;
    tasksRuled_ = 0;
    progress_ = 0;
    progressMaximum_ = int(std::count(checked_.cbegin(), checked_.cend(), true));
    step(0);
    setText(word(QStringLiteral("connecting")) + QStringLiteral("..."));
    return dm_rdp->cds_dives->recNo();
}

void SyncRun::tellOutcome() {
    if (aborted_) {
        setText(
            word(canceled() ? QStringLiteral("canceled") : QStringLiteral("connection_failure")));
    } else {
        setText(word(QStringLiteral("finished")));
        step(progressMaximum_ - progress_);
    }
}

void SyncRun::runTasks() {
    runMemberTask();
    if (!aborted_) {
        DiveExchange::sendDeletionQueue();
    }
    if (checked(SyncTask::Dives) && !aborted_) {
        runDivesTask();
    }
    applyStatusRule(SyncTask::Dives);
    saveTables();
    if (checked(SyncTask::Reference) && !aborted_) {
        runReferenceTask();
    }
    applyStatusRule(SyncTask::Reference);
}

void SyncRun::runMemberTask() {
    if (checked(SyncTask::Member)) {
        setStatus(SyncTask::Member, TaskStatus::Executing);
        try {
            MemberExchange::run();
        } catch (const AppError&) {
            aborted_ = true;
        }
        step();
    }
    if (!aborted_ && checked(SyncTask::Member)) {
        setText(word(taskKey(SyncTask::Member)));
    }
    applyStatusRule(SyncTask::Member);
}

void SyncRun::runDivesTask() {
    setStatus(SyncTask::Dives, TaskStatus::Executing);
    setText(word(taskKey(SyncTask::Dives)));
    AnswerLines lines;
    try {
        lines = DiveExchange::upload(*dm_rdp, [this] {
            slices_.yield();
            return aborted_;
        });
    } catch (const AppError&) {
        aborted_ = true;
    }
    if (!aborted_) {
        applyDiveAnswer(std::move(lines));
    }
    step();
}

void SyncRun::applyDiveAnswer(AnswerLines lines) {
    progressMaximum_ += lines.nonEmptyCount();
    step(0);
    DiveAnswer answer(*dm_rdp, [this] { slices_.yield(); });
    answer.withhold(DiveExchange::queuedDeletions());
    const AnswerOutcome outcome = answer.apply(std::move(lines), [this] { step(); });
    skippedDives_ = outcome.skipped;
}

// What the member and dives tasks wrote goes to the files now: the reference task works on
// documents from the service, and nothing it meets may cost the dives written back. The tables'
// writer threads write them while the events run; Cancel stops the wait, not the writing. A
// table that cannot be written is reported through the tables module's saveFailed, and its
// changes stay pending for the next save.
void SyncRun::saveTables() {
    QList<Table*> unsaved = unsavedTables(*dm_rdp);
    if (unsaved.isEmpty()) {
        return;
    }
    QEventLoop loop;
    const auto settled = [&](Table* table, bool failed) {
        if (failed || !table->hasUnsavedChanges()) {
            unsaved.removeAll(table);
        }
        if (unsaved.isEmpty()) {
            loop.quit();
        }
    };
    QObject::connect(dm_rdp, &Tdm_rdp::tableSaved, &loop,
                     [&](Table* table) { settled(table, false); });
    QObject::connect(dm_rdp, &Tdm_rdp::saveFailed, &loop,
                     [&](Table* table) { settled(table, true); });
    // The writers take their snapshots only while Busy is down; nothing runs in between.
    dm_rdp->setBusy(false);
    dm_rdp->saveChangedTables();
    dm_rdp->setBusy(true);
    waitingForWriters_ = &loop;
    loop.exec();
    waitingForWriters_ = nullptr;
}

void SyncRun::runReferenceTask() {
    setStatus(SyncTask::Reference, TaskStatus::Executing);
    setText(word(taskKey(SyncTask::Reference)));
    ReferenceDownload::run([this] { return aborted_; });
    step();
}

// After a stop, every later row shows the stop, checked or not.
void SyncRun::applyStatusRule(SyncTask task) {
    tasksRuled_ = std::max(tasksRuled_, int(task) + 1);
    if (aborted_) {
        setStatus(task, canceled() ? TaskStatus::Canceled : TaskStatus::Failed);
    } else {
        setStatus(task, checked(task) ? TaskStatus::Completed : TaskStatus::None);
    }
}

// The tasks the run did not reach.
void SyncRun::ruleUnsettledTasks() {
    for (int task = tasksRuled_; task < kSyncTasks; ++task) {
        applyStatusRule(SyncTask(task));
    }
}

void SyncRun::setStatus(SyncTask task, TaskStatus status) {
    statuses_[int(task)] = status;
    if (listener_.statusChanged) {
        listener_.statusChanged(task, status);
    }
}

void SyncRun::setText(const QString& text) {
    text_ = text;
    if (listener_.textChanged) {
        listener_.textChanged(text);
    }
}

void SyncRun::step(int steps) {
    progress_ += steps;
    if (listener_.progressChanged) {
        listener_.progressChanged(progress_, std::max(progressMaximum_, 1));
    }
}

// The same row position is current again, with Busy lowered in between so the windows follow
// the move.
void SyncRun::finish(int diveRecNo) {
    Table* dives = dm_rdp->cds_dives;
    try {
        dives->first();
    } catch (const AppError&) {
        // A closed table has no position to restore.
    }
    dm_rdp->setBusy(false);
    try {
        dives->moveBy(diveRecNo - 1);
    } catch (const AppError&) {
        // As above.
    }
    running_ = false;
}
