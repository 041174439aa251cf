#pragma once

#include "sync/dive_answer.h"
#include "sync/time_slices.h"

#include <QString>
#include <array>
#include <functional>

class QEventLoop;

enum class SyncTask { Member, Dives, Reference };
enum class TaskStatus { None, Pending, Executing, Completed, Failed, Canceled };

constexpr int kSyncTasks = 3;

// One synchronisation run over the checked tasks, in this order: the member task, the deletion
// queue, the dives task and the reference task. Busy is raised for the whole run; the tables
// are written before the reference task and again after the run. A failed member request or
// dive upload stops the run; so does cancel(), which gives up the request in flight (nothing of
// its answer is applied) and is noticed at the next check: before each dive of the upload being
// built (nothing is sent then), before the dives and the reference tasks. Once the dive answer
// has come, all of its lines are applied even when Cancel is clicked meanwhile, so the log
// holds the whole answer; the run then ends canceled without the reference task.
//
// The run keeps the event loop turning all along: the requests and the tables' writer threads
// are waited for in it, and the upload is built and the answer applied in short slices between
// which the pending events run, so the window repaints and Cancel can be clicked at any moment.
class SyncRun {
public:
    // What a window shows of the run; each is told as it changes.
    struct Listener {
        std::function<void(SyncTask task, TaskStatus status)> statusChanged;
        std::function<void(const QString& text)> textChanged;  // translated
        // A step per checked task and one per line of the dive answer (counted when it comes).
        std::function<void(int value, int maximum)> progressChanged;
    };

    explicit SyncRun(Listener listener = {});

    void setChecked(SyncTask task, bool checked);
    bool checked(SyncTask task) const;

    // Runs the checked tasks. Afterwards the dives table is back at the row position it had
    // (after added dives, possibly another dive) and Busy is lowered.
    void run();
    // Stops the run in progress at its next check.
    void cancel();

    bool running() const { return running_; }
    // The run has been stopped, by a failure or by the user.
    bool Aborted() const { return aborted_; }
    // Empty, or "CANCEL" when the user stopped the run.
    const QString& StopReason() const { return stopReason_; }
    bool canceled() const { return stopReason_ == QLatin1String("CANCEL"); }
    TaskStatus status(SyncTask task) const { return statuses_[int(task)]; }
    const QString& text() const { return text_; }
    // Lines of the last dive answer that could not be written back.
    int skippedDives() const { return skippedDives_; }

    // The dictionary keys of the task captions and statuses (empty for None).
    static QString taskKey(SyncTask task);
    static QString statusKey(TaskStatus status);
    // The translation of `key` (the key itself without a dictionary module).
    static QString word(const QString& key);
    // What a task row's status column shows (empty for None).
    static QString statusText(TaskStatus status);
    // What the user is told when `count` dives of the answer could not be written back.
    static QString skippedDivesMessage(int count);

private:
    int begin();
    void runTasks();
    void runMemberTask();
    void runDivesTask();
    void applyDiveAnswer(AnswerLines lines);
    void saveTables();
    void runReferenceTask();
    void setStatus(SyncTask task, TaskStatus status);
    void applyStatusRule(SyncTask task);
    void ruleUnsettledTasks();
    void setText(const QString& text);
    void step(int steps = 1);
    void tellOutcome();
    void finish(int diveRecNo);

    Listener listener_;
    std::array<bool, kSyncTasks> checked_{{true, true, true}};
    std::array<TaskStatus, kSyncTasks> statuses_{};
    QString text_;
    QString stopReason_;
    bool aborted_ = false;
    bool running_ = false;
    int skippedDives_ = 0;
    int tasksRuled_ = 0;  // the tasks before this one show their outcome
    int progress_ = 0;
    int progressMaximum_ = 0;
    TimeSlices slices_;
    QEventLoop* waitingForWriters_ = nullptr;  // while the tables are being written
};
