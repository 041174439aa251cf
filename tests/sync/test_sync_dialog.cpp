#include "net/tinet_detect.h"
#include "sync/time_slices.h"
#include "sync/ui/synchronize_command.h"
#include "sync/ui/tfrm_syncro.h"
#include "sync_fixture.h"
#include "ui/db/db_grid_model.h"
#include "ui/forms/dialogs.h"
#include "ui/main/tfrm_principal.h"
#include "ui_tfrm_syncro.h"

#include <QHeaderView>
#include <QTableView>

namespace {

const QList<SyncTask> kTasks = {SyncTask::Member, SyncTask::Dives, SyncTask::Reference};
const QByteArrayList kFullRun = {"personal.xml.php",  "delete.php",        "dives.php",
                                 "localdata.xml.php", "locations.xml.php", "contactlist.xml.php"};

QString word(const char* key) {
    return SyncRun::word(QString::fromLatin1(key));
}

// A member with a service account, three dives, a deletion queue and a service that answers
// every request as it should.
struct RunFixture : SyncFixture {
    QStringList messages;

    RunFixture() : SyncFixture(shippedDictionary()) {
        setMember({{"inet_user", "ana"}, {"inet_pass", "secret"}});
        addDive(QDate(2023, 1, 1), QTime(9, 0), {{"Location", "One"}});
        addDive(QDate(2023, 1, 2), QTime(9, 0), {{"Location", "Two"}});
        addDive(QDate(2023, 1, 3), QTime(9, 0), {{"Location", "Three"}});
        TestSupport::writeFile(DeletionQueue::fileName(), "17##");
        service.answer("personal.xml.php", "<member><name>Ana</name></member>");
        service.answer("delete.php", "OK");
        service.on("dives.php", [](const FakeService::Request& request) {
            return FakeService::Reply{200, echoDives(request.formValue())};
        });
        service.answer("localdata.xml.php", "<reference><countries/></reference>");
        service.answer("locations.xml.php", "<list><l><id>1</id><name>One</name></l></list>");
        service.answer("contactlist.xml.php", "<list/>");
        Dialogs::setMessageHandler([this](const Dialogs::Prompt& prompt) {
            messages << prompt.text;
            return QMessageBox::Ok;
        });
    }
    ~RunFixture() { Dialogs::setMessageHandler({}); }
};

QStringList statuses(const TFrm_Syncro& dialog) {
    QStringList texts;
    for (const SyncTask task : kTasks) {
        texts << dialog.taskRow(task)->text(1);
    }
    return texts;
}

void uncheck(TFrm_Syncro& dialog, SyncTask task) {
    dialog.taskRow(task)->setCheckState(0, Qt::Unchecked);
}

// Long work lets the events run between every two of its steps.
struct EveryStepSliced {
    EveryStepSliced() { TimeSlices::setSliceMs(0); }
    ~EveryStepSliced() { TimeSlices::setSliceMs(TimeSlices::kDefaultSliceMs); }
};

// Clicks the dialog's Cancel button as soon as the events run after `signal` of `sender`.
template <typename Sender, typename Signal>
void cancelSoonAfter(TFrm_Syncro& dialog, Sender* sender, Signal signal) {
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = QObject::connect(sender, signal, &dialog, [&dialog, once] {
        QObject::disconnect(*once);
        QTimer::singleShot(0, &dialog, [&dialog] { dialog.form()->bt_Cancel->click(); });
    });
}

}  // namespace

class TestSyncDialog : public QObject {
    Q_OBJECT
private slots:
    void layoutAndCaptions();
    void wholeRun();
    void runWithTasksUnchecked();
    void memberTaskFailureStopsTheRun();
    void failedDeletionKeepsTheQueueAndTheDiveAway();
    void cancelDuringTheMemberRequest();
    void cancelGivesUpTheRequestInFlight_data();
    void cancelGivesUpTheRequestInFlight();
    void cancelDuringTheDiveUpload_data();
    void cancelDuringTheDiveUpload();
    void cancelWhileTheUploadIsBuilt();
    void cancelWhileTheAnswerIsAppliedAppliesItWhole();
    void diveLinesThatCannotBeWrittenAreReported();
    void cancelWithoutARunCloses();
    void commandNeedsAMember();
    void commandDetachesAndReattachesTheDiveList();
};

void TestSyncDialog::layoutAndCaptions() {
    RunFixture f;
    TFrm_Syncro dialog(nullptr);
    Ui::TFrm_Syncro* ui = dialog.form();
    QCOMPARE(dialog.windowTitle(), word("Synchronize"));
    QCOMPARE(ui->Label2->text(), word("task") + ":");
    QCOMPARE(ui->listTask->headerItem()->text(0), word("Task"));
    QCOMPARE(ui->listTask->headerItem()->text(1), word("Status"));
    QCOMPARE(ui->listTask->header()->sectionSize(0), 210);
    QCOMPARE(ui->listTask->header()->sectionSize(1), 90);
    QCOMPARE(ui->bt_Start->text(), word("Start"));
    QCOMPARE(ui->bt_Cancel->text(), word("Cancel"));
    QVERIFY(ui->bt_Start->isDefault());
    QVERIFY(!ui->ImgIcon->pixmap().isNull());
    QCOMPARE(ui->listTask->topLevelItemCount(), 3);
    const QStringList captions = {word("sync_send_info"), word("sync_dives"),
                                  word("sync_databases")};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(dialog.taskRow(kTasks[i])->text(0), captions[i]);
        QCOMPARE(dialog.taskRow(kTasks[i])->checkState(0), Qt::Checked);
    }
    QCOMPARE(statuses(dialog), (QStringList{"", "", ""}));
    QVERIFY(!dialog.Done());
}

// Busy stays raised for the whole run, and the tables are written before the reference task
// (which may fail in ways no step can catch); the progress bar moves a step per task and one
// per answer line; the same row position is current again.
void TestSyncDialog::wholeRun() {
    RunFixture f;
    f.tables->saveAll();
    const QString divesFile = f.tables->cds_dives->fileName();
    const QByteArray divesBefore = TestSupport::readFile(divesFile);
    f.tables->cds_dives->setRecNo(2);
    TFrm_Syncro dialog(nullptr);
    QProgressBar* progress = dialog.form()->ProgressBar1;
    QList<bool> busy;
    int progressAtReference = -1;
    bool divesSaved = false;
    const FakeService::Handler echo = [](const FakeService::Request& request) {
        return FakeService::Reply{200, echoDives(request.formValue())};
    };
    f.service.on("dives.php", [&](const FakeService::Request& request) {
        busy << f.tables->busy();
        return echo(request);
    });
    f.service.on("localdata.xml.php", [&](const FakeService::Request&) {
        busy << f.tables->busy();
        progressAtReference = progress->value();
        divesSaved = !f.tables->cds_dives->hasUnsavedChanges() &&
                     !f.tables->cds_info->hasUnsavedChanges() &&
                     TestSupport::readFile(divesFile).contains("1002");
        return FakeService::Reply{200, "<reference/>"};
    });
    dialog.form()->bt_Start->click();
    QCOMPARE(f.service.scripts(), kFullRun);
    QCOMPARE(busy, (QList<bool>{true, true}));
    QVERIFY(!f.tables->busy());
    QCOMPARE(statuses(dialog),
             (QStringList{word("completed"), word("completed"), word("completed")}));
    QCOMPARE(dialog.form()->Label1->text(), word("finished"));
    QCOMPARE(dialog.form()->bt_Start->text(), word("finish"));
    QVERIFY(dialog.form()->bt_Start->isEnabled());
    QVERIFY(!dialog.form()->bt_Cancel->isEnabled());
    QVERIFY(dialog.Done());
    QCOMPARE(progress->maximum(), 3 + 3);
    QCOMPARE(progress->value(), progress->maximum());
    QCOMPARE(progressAtReference, 1 + 3 + 1);
    QVERIFY(divesSaved);
    QCOMPARE(f.tables->cds_dives->recNo(), 2);
    QCOMPARE(f.tables->cds_dives->asInteger("id_dive"), 1002);
    QVERIFY(f.messages.isEmpty());
    QVERIFY(!DeletionQueue::exists());
    QTRY_VERIFY(TestSupport::readFile(divesFile) != divesBefore);

    dialog.form()->bt_Start->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(f.service.requests.size(), kFullRun.size());
}

void TestSyncDialog::runWithTasksUnchecked() {
    RunFixture f;
    TFrm_Syncro dialog(nullptr);
    for (const SyncTask task : kTasks) {
        uncheck(dialog, task);
    }
    dialog.form()->bt_Start->click();
    QCOMPARE(f.service.scripts(), QByteArrayList{"delete.php"});
    QCOMPARE(statuses(dialog), (QStringList{"", "", ""}));
    QCOMPARE(dialog.form()->Label1->text(), word("finished"));
    QVERIFY(dialog.Done());

    RunFixture second;
    TFrm_Syncro other(nullptr);
    uncheck(other, SyncTask::Member);
    uncheck(other, SyncTask::Reference);
    other.form()->bt_Start->click();
    QCOMPARE(second.service.scripts(), (QByteArrayList{"delete.php", "dives.php"}));
    QCOMPARE(statuses(other), (QStringList{"", word("completed"), ""}));
}

void TestSyncDialog::memberTaskFailureStopsTheRun() {
    RunFixture f;
    f.service.answer("personal.xml.php", "Unauthorized", 401);
    TFrm_Syncro dialog(nullptr);
    uncheck(dialog, SyncTask::Reference);
    dialog.form()->bt_Start->click();
    QCOMPARE(f.service.scripts(), QByteArrayList{"personal.xml.php"});
    QCOMPARE(statuses(dialog), (QStringList{word("failed"), word("failed"), word("failed")}));
    QCOMPARE(dialog.form()->Label1->text(), word("connection_failure"));
    QCOMPARE(dialog.form()->bt_Start->text(), word("Start"));
    QVERIFY(dialog.form()->bt_Start->isEnabled());
    QVERIFY(dialog.form()->bt_Cancel->isEnabled());
    QVERIFY(!dialog.Done());
    QVERIFY(DeletionQueue::exists());
    QVERIFY(!f.tables->busy());
}

// The service still holds the dive deleted here and sends it back; the queue stays for the next
// run, and the dive does not come back meanwhile.
void TestSyncDialog::failedDeletionKeepsTheQueueAndTheDiveAway() {
    RunFixture f;
    f.service.answer("delete.php", "Service Unavailable", 503);
    f.service.on("dives.php", [](const FakeService::Request& request) {
        return FakeService::Reply{
            200, echoDives(request.formValue()) +
                     answerLine({{1, "17"}, {2, "40"}, {5, "12/1/2022"}, {7, "Deleted here"}})
                         .toLatin1()};
    });
    TFrm_Syncro dialog(nullptr);
    dialog.form()->bt_Start->click();
    QCOMPARE(f.service.scripts(), kFullRun);
    QCOMPARE(dialog.form()->Label1->text(), word("finished"));
    QCOMPARE(f.tables->cds_dives->recordCount(), 3);
    QCOMPARE(f.diveValue(3, "id_dive"), QStringLiteral("1003"));
    QVERIFY(f.messages.isEmpty());
    QCOMPARE(TestSupport::readFile(DeletionQueue::fileName()), QByteArray("17##"));
}

// The request is given up: its answer is not written, and nothing after it is sent.
void TestSyncDialog::cancelDuringTheMemberRequest() {
    RunFixture f;
    TFrm_Syncro dialog(nullptr);
    f.service.on("personal.xml.php", [&](const FakeService::Request&) {
        dialog.form()->bt_Cancel->click();
        return FakeService::Reply{200, "<member><name>From the web</name></member>"};
    });
    dialog.form()->bt_Start->click();
    QCOMPARE(f.service.scripts(), QByteArrayList{"personal.xml.php"});
    QCOMPARE(statuses(dialog), (QStringList{word("canceled"), word("canceled"), word("canceled")}));
    QCOMPARE(dialog.form()->Label1->text(), word("canceled"));
    f.tables->cds_info->first();
    QCOMPARE(f.tables->cds_info->asString("name"), QString());
    QVERIFY(DeletionQueue::exists());
}

void TestSyncDialog::cancelGivesUpTheRequestInFlight_data() {
    QTest::addColumn<int>("step");              // in the full run's order of requests
    QTest::addColumn<QStringList>("statuses");  // dictionary keys
    const QString completed = QStringLiteral("completed");
    const QString canceled = QStringLiteral("canceled");
    QTest::newRow("member record") << 0 << QStringList{canceled, canceled, canceled};
    QTest::newRow("deletion queue") << 1 << QStringList{completed, canceled, canceled};
    QTest::newRow("dive upload") << 2 << QStringList{completed, canceled, canceled};
    QTest::newRow("reference data") << 3 << QStringList{completed, completed, canceled};
}

// The service takes its time over one request; Cancel does not wait for it, nothing of its
// answer is applied, and nothing after it is sent.
void TestSyncDialog::cancelGivesUpTheRequestInFlight() {
    QFETCH(int, step);
    QFETCH(QStringList, statuses);
    RunFixture f;
    const QByteArray script = kFullRun[step];
    f.service.on(script, [script](const FakeService::Request& request) {
        const QByteArray body = script == "dives.php" ? echoDives(request.formValue())
                                                      : "<member><name>Web</name></member>";
        return FakeService::Reply{200, body, 3000};
    });
    const QByteArray referenceBefore = toLatin1Xml(f.cache->XMLLocalData.doc);
    TFrm_Syncro dialog(nullptr);
    QTimer clicker;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        if (f.service.requests.size() == step + 1) {
            clicker.stop();
            dialog.form()->bt_Cancel->click();
        }
    });
    clicker.start(20);
    dialog.form()->bt_Start->click();
    QCOMPARE(f.service.scripts(), kFullRun.mid(0, step + 1));
    QCOMPARE(f.service.answered, step);
    for (QString& status : statuses) {
        status = SyncRun::word(status);
    }
    QCOMPARE(::statuses(dialog), statuses);
    QCOMPARE(dialog.form()->Label1->text(), word("canceled"));
    QVERIFY(!f.tables->busy());
    f.tables->cds_info->first();
    QCOMPARE(f.tables->cds_info->asString("name"), step == 0 ? QString() : QStringLiteral("Ana"));
    QCOMPARE(DeletionQueue::exists(), step <= 1);
    QCOMPARE(f.diveValue(1, "id_dive"), step <= 2 ? QString() : QStringLiteral("1001"));
    QCOMPARE(toLatin1Xml(f.cache->XMLLocalData.doc), referenceBefore);
}

void TestSyncDialog::cancelDuringTheDiveUpload_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("Cancel button") << false;
    QTest::newRow("Escape or close box") << true;
}

// The upload completes but its answer is not applied; the rest is skipped; a new Start runs
// again.
void TestSyncDialog::cancelDuringTheDiveUpload() {
    QFETCH(bool, escape);
    RunFixture f;
    TFrm_Syncro dialog(nullptr);
    dialog.show();
    f.service.on("dives.php", [&](const FakeService::Request& request) {
        escape ? dialog.reject() : dialog.form()->bt_Cancel->click();
        return FakeService::Reply{200, echoDives(request.formValue())};
    });
    dialog.form()->bt_Start->click();
    QCOMPARE(f.service.scripts(), (QByteArrayList{"personal.xml.php", "delete.php", "dives.php"}));
    QVERIFY(dialog.isVisible());
    QCOMPARE(statuses(dialog),
             (QStringList{word("completed"), word("canceled"), word("canceled")}));
    QCOMPARE(dialog.form()->Label1->text(), word("canceled"));
    QVERIFY(dialog.form()->bt_Start->isEnabled());
    QVERIFY(!dialog.Done());
    f.tables->cds_dives->first();
    QVERIFY(f.tables->cds_dives->isNull("id_dive"));

    f.service.on("dives.php", [](const FakeService::Request& request) {
        return FakeService::Reply{200, echoDives(request.formValue())};
    });
    dialog.form()->bt_Start->click();
    QCOMPARE(dialog.form()->Label1->text(), word("finished"));
    f.tables->cds_dives->first();
    QCOMPARE(f.tables->cds_dives->asInteger("id_dive"), 1001);
}

// The click lands while the records are being written (the dives task has started, its request
// not): nothing is sent, the tables stay as they were.
void TestSyncDialog::cancelWhileTheUploadIsBuilt() {
    RunFixture f;
    const EveryStepSliced sliced;
    TFrm_Syncro dialog(nullptr);
    dialog.show();
    const QString divesCaption = word("sync_dives");
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (dialog.form()->Label1->text() == divesCaption) {
            watcher.stop();
            dialog.form()->bt_Cancel->click();
        }
    });
    watcher.start(0);
    dialog.form()->bt_Start->click();
    QCOMPARE(f.service.scripts(), (QByteArrayList{"personal.xml.php", "delete.php"}));
    QCOMPARE(statuses(dialog),
             (QStringList{word("completed"), word("canceled"), word("canceled")}));
    QCOMPARE(dialog.form()->Label1->text(), word("canceled"));
    for (const int local : {1, 2, 3}) {
        QCOMPARE(f.diveValue(local, "id_dive"), QString());
    }
    QVERIFY(!f.tables->busy());
}

// Once the answer has come, Cancel no longer stops it: every line is applied, so the log holds
// the whole answer, and the run ends canceled before the reference task.
void TestSyncDialog::cancelWhileTheAnswerIsAppliedAppliesItWhole() {
    RunFixture f;
    const EveryStepSliced sliced;
    TFrm_Syncro dialog(nullptr);
    dialog.show();
    cancelSoonAfter(dialog, f.tables->cds_dives, &Table::changesPosted);
    dialog.form()->bt_Start->click();
    QCOMPARE(f.service.scripts(), (QByteArrayList{"personal.xml.php", "delete.php", "dives.php"}));
    QCOMPARE(statuses(dialog),
             (QStringList{word("completed"), word("canceled"), word("canceled")}));
    QCOMPARE(dialog.form()->Label1->text(), word("canceled"));
    QCOMPARE(f.diveValue(1, "id_dive"), QStringLiteral("1001"));
    QCOMPARE(f.diveValue(2, "id_dive"), QStringLiteral("1002"));
    QCOMPARE(f.diveValue(3, "id_dive"), QStringLiteral("1003"));
    QVERIFY(!f.tables->busy());
}

void TestSyncDialog::diveLinesThatCannotBeWrittenAreReported() {
    RunFixture f;
    f.service.on("dives.php", [](const FakeService::Request& request) {
        QByteArray answer = echoDives(request.formValue());
        answer.replace("1/2/2023", "2023-01-02");  // the second dive's date in the upload form
        return FakeService::Reply{200, answer};
    });
    TFrm_Syncro dialog(nullptr);
    dialog.form()->bt_Start->click();
    QCOMPARE(statuses(dialog),
             (QStringList{word("completed"), word("completed"), word("completed")}));
    QCOMPARE(f.messages, QStringList{QStringLiteral("1 ") + word("txt_dives_not_written")});
    QVERIFY(!word("txt_dives_not_written").isEmpty());
    QCOMPARE(f.diveValue(1, "id_dive"), QStringLiteral("1001"));
    QCOMPARE(f.diveValue(2, "id_dive"), QString());
    QCOMPARE(f.diveValue(3, "id_dive"), QStringLiteral("1003"));
}

void TestSyncDialog::cancelWithoutARunCloses() {
    RunFixture f;
    TFrm_Syncro dialog(nullptr);
    dialog.show();
    dialog.form()->bt_Cancel->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(f.service.requests.isEmpty());
}

void TestSyncDialog::commandNeedsAMember() {
    RunFixture f;
    f.setMember({{"inet_user", ""}});
    TINetDetect::setInterfaceLister([] { return QVector<NetInterfaceInfo>(); });
    TFrm_Principal window;
    bool opened = false;
    Dialogs::setModalHandler([&](QDialog*) {
        opened = true;
        return int(QDialog::Rejected);
    });
    Ac_SyncronizeExecute(window);
    Dialogs::setModalHandler({});
    TINetDetect::setInterfaceLister({});
    QVERIFY(!opened);
    QCOMPARE(f.messages, QStringList{word("txt_no_member")});
}

void TestSyncDialog::commandDetachesAndReattachesTheDiveList() {
    RunFixture f;
    TINetDetect::setInterfaceLister([] { return QVector<NetInterfaceInfo>(); });
    TFrm_Principal window;
    window.FormCreate(QRect(0, 0, 1024, 768));
    f.tables->cds_dives->setRecNo(3);
    DataSource* attachedDuringRun = window.ds_dives;
    Dialogs::setModalHandler([&](QDialog* dialog) {
        attachedDuringRun = window.divesGridModel()->dataSource();
        static_cast<TFrm_Syncro*>(dialog)->form()->bt_Start->click();
        return int(QDialog::Accepted);
    });
    Ac_SyncronizeExecute(window);
    Dialogs::setModalHandler({});
    TINetDetect::setInterfaceLister({});
    QCOMPARE(attachedDuringRun, nullptr);
    QCOMPARE(window.divesGridModel()->dataSource(), window.ds_dives);
    QCOMPARE(window.divesGridModel()->rowCount(), 3);
    QCOMPARE(f.tables->cds_dives->recNo(), 3);
    QCOMPARE(window.divesGridModel()->currentRow(), 2);
    QCOMPARE(f.service.scripts(), kFullRun);
}

NEREVA_TEST_MAIN(TestSyncDialog)
#include "test_sync_dialog.moc"
