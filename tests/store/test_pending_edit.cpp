#include "app/settings/tdm_const.h"
#include "settings_folder.h"
#include "store/pending_edit.h"
#include "store/tdm_rdp.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

using TestSupport::readFile;
using TestSupport::writeFile;

namespace {

// The settings module in a fresh data folder, a tables module keeping its pending edits, and
// three dives on the disk.
struct Fixture : SettingsFolder {
    std::unique_ptr<Tdm_rdp> tables;

    Fixture() {
        start();
        for (int day = 1; day <= 3; ++day) {
            tables->cds_dives->append();
            tables->cds_dives->setValue("Date", QDate(2024, 5, day));
            tables->cds_dives->setValue("Site", QStringLiteral("Reef %1").arg(day));
            tables->cds_dives->post();
            tables->cds_conditions->append();
            tables->cds_conditions->setValue("observations", "calm");
            tables->cds_conditions->post();
        }
        tables->saveAll();
    }
    ~Fixture() { tables.reset(); }

    // As start-up does, the last run's pending edit is looked at before it is kept again.
    void start(bool keep = true) {
        tables = std::make_unique<Tdm_rdp>();
        tables->setSaveDelay(5);
        tables->DataModuleCreate();
        if (keep) {
            tables->keepPendingEdits();
            tables->findChild<PendingEditKeeper*>()->setDelay(20);
        }
    }
    // Types into the second dive and its notes, and waits until the pending edit is kept.
    void typeIntoSecondDive() {
        tables->cds_dives->setRecNo(2);
        tables->cds_dives->setValue("Site", "typed site");
        tables->cds_conditions->setValue("observations", "typed notes");
        QTRY_VERIFY(QFile::exists(PendingEdit::fileName()));
    }
    // The program ends without closing its tables: the files stay as they are on the disk.
    void crash() {
        QMap<QString, QByteArray> files;
        const QDir folder(settings.DbDir);
        for (const QString& name : folder.entryList(QDir::Files)) {
            files.insert(name, readFile(folder.filePath(name)));
        }
        tables.reset();
        for (const QString& name : folder.entryList(QDir::Files)) {
            QFile::remove(folder.filePath(name));
        }
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            writeFile(folder.filePath(it.key()), it.value());
        }
    }
};

}  // namespace

class TestPendingEdit : public QObject {
    Q_OBJECT
private slots:
    void keptWhileTypedGoneOncePostedOrCancelled_data();
    void keptWhileTypedGoneOncePostedOrCancelled();
    void restoredIntoItsDiveWithoutPosting();
    void nothingToOfferWhenNothingWouldChange_data();
    void nothingToOfferWhenNothingWouldChange();
};

void TestPendingEdit::keptWhileTypedGoneOncePostedOrCancelled_data() {
    QTest::addColumn<bool>("post");
    QTest::newRow("posted") << true;
    QTest::newRow("cancelled") << false;
}

void TestPendingEdit::keptWhileTypedGoneOncePostedOrCancelled() {
    QFETCH(bool, post);
    Fixture f;
    f.typeIntoSecondDive();
    const QByteArray kept = readFile(PendingEdit::fileName());
    QVERIFY(kept.contains("Site=\"typed site\""));
    QVERIFY(kept.contains("observations=\"typed notes\""));
    QVERIFY(!f.tables->cds_dives->hasUnsavedChanges());  // nothing was posted
    for (Table* table : {f.tables->cds_conditions, f.tables->cds_dives}) {
        if (post) {
            table->post();
        } else {
            table->cancel();
        }
    }
    QTRY_VERIFY(!QFile::exists(PendingEdit::fileName()));
    if (post) {
        QVERIFY(!f.tables->cds_dives->hasUnsavedChanges());  // gone only once on the disk
    }
}

void TestPendingEdit::restoredIntoItsDiveWithoutPosting() {
    Fixture f;
    f.typeIntoSecondDive();
    f.crash();
    f.start(false);
    // A dive added before the edited one moves it to another place in the list.
    f.tables->cds_dives->append();
    f.tables->cds_dives->setValue("Date", QDate(2024, 4, 1));
    f.tables->cds_dives->post();
    QTRY_VERIFY(!f.tables->cds_dives->hasUnsavedChanges());
    const QByteArray journal = readFile(f.tables->cds_dives->journalFileName());

    const QVector<PendingEdit::Entry> entries = PendingEdit::read(*f.tables);
    QCOMPARE(entries.size(), 2);
    QCOMPARE(PendingEdit::describe(*f.tables, entries), QString("5/2/2024, Reef 2"));
    PendingEdit::restore(*f.tables, entries);
    Table& dives = *f.tables->cds_dives;
    QCOMPARE(dives.recNo(), 3);
    QCOMPARE(dives.state(), Table::State::Edit);
    QCOMPARE(dives.asString("Site"), QString("typed site"));
    QCOMPARE(dives.asString("Date"), QString("5/2/2024"));
    QCOMPARE(f.tables->cds_conditions->asString("observations"), QString("typed notes"));
    QVERIFY(f.tables->cds_conditions->modified());
    f.tables->keepPendingEdits();
    QTest::qWait(50);
    QCOMPARE(readFile(dives.journalFileName()), journal);  // not posted
    QVERIFY(QFile::exists(PendingEdit::fileName()));       // still pending
}

void TestPendingEdit::nothingToOfferWhenNothingWouldChange_data() {
    QTest::addColumn<QString>("meanwhile");
    QTest::newRow("the dive deleted") << "delete";
    QTest::newRow("the same values posted") << "post";
    QTest::newRow("the file damaged") << "damage";
}

void TestPendingEdit::nothingToOfferWhenNothingWouldChange() {
    QFETCH(QString, meanwhile);
    Fixture f;
    f.typeIntoSecondDive();
    f.crash();
    f.start(false);
    Table& dives = *f.tables->cds_dives;
    dives.setRecNo(2);
    if (meanwhile == "delete") {
        f.tables->cds_conditions->remove();
        dives.remove();
    } else if (meanwhile == "post") {
        dives.setValue("Site", "typed site");
        dives.post();
        f.tables->cds_conditions->setValue("observations", "typed notes");
        f.tables->cds_conditions->post();
    } else {
        writeFile(PendingEdit::fileName(),
                  readFile(PendingEdit::fileName()).replace("Site=", "Site\"="));
    }
    QVERIFY(QFile::exists(PendingEdit::fileName()));
    QVERIFY(PendingEdit::read(*f.tables).isEmpty());
}

NEREVA_TEST_MAIN(TestPendingEdit)
#include "test_pending_edit.moc"
