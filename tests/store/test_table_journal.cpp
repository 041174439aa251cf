#include "app/settings/app_error.h"
#include "app/settings/tdm_const.h"
#include "settings_folder.h"
#include "store/dive_log_tables.h"
#include "store/table_journal.h"
#include "store/tdm_rdp.h"
#include "test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <csignal>
#include <memory>

using TestSupport::readFile;
using TestSupport::writeFile;

namespace {

// The settings module in a fresh data folder; tables modules are started by start().
struct Fixture : SettingsFolder {
    QString journal(const QString& baseName) const {
        return settings.DbDir + baseName + ".journal";
    }
    std::unique_ptr<Tdm_rdp> start() const {
        auto module = std::make_unique<Tdm_rdp>();
        module->setSaveDelay(5);
        module->DataModuleCreate();
        return module;
    }
};

// Every row in table order, each as its fields' texts.
QStringList rowsOf(const TableData& data) {
    QStringList rows;
    for (const Row& row : data.rows) {
        QStringList fields;
        for (int field = 0; field < data.layout->count(); ++field) {
            fields << data.layout->value(row, field).toString();
        }
        rows << fields.join('|');
    }
    return rows;
}

QStringList rowsOf(const Table& table) {
    return rowsOf(*table.snapshot());
}

// The dives as the program would load them now (the file and its journal), read without
// opening a table, which would write the file when it closes.
TableData divesRead(const Fixture& fixture) {
    const auto definition = DiveLogTables::dives();
    Table dives(definition.tableName, definition.fields, definition.orderBy);
    dives.setFileName(fixture.file("dives"));
    TableData data = dives.readFiles();
    data.layout = dives.layout();
    return data;
}

QStringList divesOnDisk(const Fixture& fixture) {
    return rowsOf(divesRead(fixture));
}

void waitUntilSaved(const Table& table) {
    QTRY_VERIFY_WITH_TIMEOUT(!table.hasUnsavedChanges(), 10000);
}

void addDive(Tdm_rdp& module, const QDate& date, const QString& site) {
    module.cds_dives->append();
    module.cds_dives->setValue("Date", date);
    module.cds_dives->setValue("Site", site);
    module.cds_dives->post();
}

void setSite(Tdm_rdp& module, int recNo, const QString& site) {
    module.cds_dives->setRecNo(recNo);
    module.cds_dives->edit();
    module.cds_dives->setValue("Site", site);
    module.cds_dives->post();
}

// A log written whole, then three changes that reach only the journal, and what the table and
// the journal held after each.
struct History {
    QByteArray file;          // with the first four dives
    QByteArray fileAtTheEnd;  // written after the three changes
    QByteArray journals[4];   // after 0 (none yet), 1, 2 and 3 changes
    QStringList dives[4];
};

History makeHistory(const Fixture& fixture) {
    History history;
    auto module = fixture.start();
    for (int day = 1; day <= 4; ++day) {
        addDive(*module, QDate(2024, 1, day), QStringLiteral("Reef %1").arg(day));
    }
    module->saveAll();
    history.file = readFile(fixture.file("dives"));
    const std::function<void()> changes[] = {
        [&] { addDive(*module, QDate(2024, 1, 2), "inserted between"); },
        [&] {  // the first dive moves to the end
            module->cds_dives->first();
            module->cds_dives->setValue("Date", QDate(2024, 2, 1));
            module->cds_dives->post();
        },
        [&] {
            module->cds_dives->setRecNo(2);
            module->cds_dives->remove();
        }};
    history.dives[0] = rowsOf(*module->cds_dives);
    for (int i = 0; i < 3; ++i) {
        changes[i]();
        waitUntilSaved(*module->cds_dives);
        history.journals[i + 1] = readFile(fixture.journal("dives"));
        history.dives[i + 1] = rowsOf(*module->cds_dives);
    }
    module->saveAll();
    history.fileAtTheEnd = readFile(fixture.file("dives"));
    return history;
}

QByteArray flipped(QByteArray bytes, qsizetype at) {
    bytes[at] = char(bytes[at] ^ 0x55);
    return bytes;
}

// --- the crash test's bookkeeping

struct Change {
    quint64 sequence;
    int id;
    QString site;  // empty for a deletion
};

struct ChildReport {
    QVector<Change> changes;
    quint64 saved = 0;
    bool inBulk = false;  // killed after a bulk change or a whole save began and before it ended
};

ChildReport parseReport(const QByteArray& output) {
    ChildReport report;
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        const char kind = parts.value(0).isEmpty() ? 0 : parts.value(0).at(0);
        if (kind == 'U' || kind == 'I' || kind == 'D') {
            report.changes.append({parts.value(1).toULongLong(), parts.value(2).toInt(),
                                   kind == 'D' ? QString() : QString::fromUtf8(parts.value(3))});
        } else if (kind == 'S') {
            report.saved = qMax(report.saved, parts.value(1).toULongLong());
            report.inBulk = false;
        } else if (kind == 'B') {
            report.inBulk = true;
        }
    }
    return report;
}

// Site by dive number.
QMap<int, QString> sitesOf(const TableData& data) {
    QMap<int, QString> sites;
    const int id = data.layout->indexOf(QStringLiteral("id_local_dive"));
    const int site = data.layout->indexOf(QStringLiteral("Site"));
    for (const Row& row : data.rows) {
        sites.insert(int(data.layout->integer(row, id)), data.layout->text(row, site).toString());
    }
    return sites;
}

}  // namespace

class TestTableJournal : public QObject {
    Q_OBJECT
    History history_;

private slots:
    void initTestCase();
    void postsGoToTheJournalAndLoadAsTheyWere();
    void journalDamage_data();
    void journalDamage();
    void bulkChangesAndALongJournalRewriteTheFile();
    void killedAtRandomMomentsLosesNoSavedChange();
};

void TestTableJournal::initTestCase() {
    Fixture fixture;
    history_ = makeHistory(fixture);
}

void TestTableJournal::postsGoToTheJournalAndLoadAsTheyWere() {
    Fixture fixture;
    auto module = fixture.start();
    for (int day = 1; day <= 200; ++day) {
        addDive(*module, QDate(2023, 1, 1).addDays(day % 50), QStringLiteral("Site %1").arg(day));
        module->cds_conditions->append();
        module->cds_conditions->setValue("observations",
                                         QStringLiteral("Notes of dive %1").arg(day));
        module->cds_conditions->post();
    }
    module->saveAll();
    const QByteArray file = readFile(fixture.file("dives"));
    const qint64 journalBefore = QFileInfo(fixture.journal("dives")).size();

    // Edits in place and ones that move a dive, two dives alike in everything, deletions, a
    // new dive, and a detail row: each a post of its own, written before the next.
    setSite(*module, 10, "edited in place");
    module->cds_dives->setRecNo(3);
    module->cds_dives->setValue("Date", QDate(2023, 1, 30));
    module->cds_dives->post();
    addDive(*module, QDate(2023, 1, 5), "twin");
    addDive(*module, QDate(2023, 1, 5), "twin");
    module->cds_dives->prior();
    module->cds_dives->remove();
    module->cds_dives->setRecNo(150);
    module->cds_conditions->edit();
    module->cds_conditions->setValue("observations", "A whale shark!\nThen a manta.");
    module->cds_conditions->post();
    module->cds_dives->remove();
    waitUntilSaved(*module->cds_dives);
    waitUntilSaved(*module->cds_conditions);

    QCOMPARE(readFile(fixture.file("dives")), file);  // not written again
    const qint64 journalBytes = QFileInfo(fixture.journal("dives")).size() - journalBefore;
    QVERIFY2(journalBytes > 0 && journalBytes < 6 * 1024,
             qPrintable(QString::number(journalBytes)));
    QCOMPARE(divesOnDisk(fixture), rowsOf(*module->cds_dives));
    const QStringList conditions = rowsOf(*module->cds_conditions);
    const int nextDive = int(module->cds_dives->nextAutoIncrement());
    module.reset();

    auto again = fixture.start();
    QCOMPARE(rowsOf(*again->cds_conditions), conditions);
    QCOMPARE(again->cds_dives->nextAutoIncrement(), nextDive);
    // Closing wrote the file whole and left the journal empty.
    QCOMPARE(QFileInfo(fixture.journal("dives")).size(), TableJournal::header().size());
}

void TestTableJournal::journalDamage_data() {
    QTest::addColumn<QString>("file");  // "first" or "last" table file of the history
    QTest::addColumn<QByteArray>("journal");
    QTest::addColumn<int>("changes");  // the changes the rows show, or -1 when refused
    const History& h = history_;
    const QByteArray whole = h.journals[3];
    const qsizetype third = h.journals[2].size();  // where the last record starts
    QTest::newRow("whole") << "first" << whole << 3;
    QTest::newRow("last record cut in its frame") << "first" << whole.left(third + 5) << 2;
    QTest::newRow("last record cut in its row") << "first" << whole.chopped(10) << 2;
    QTest::newRow("last record garbled") << "first" << flipped(whole, whole.size() - 3) << 2;
    QTest::newRow("zeros after the records") << "first" << whole + QByteArray(4096, '\0') << 3;
    QTest::newRow("header cut short") << "first" << TableJournal::header().left(7) << 0;
    // Killed after the file was written whole and before the journal was emptied.
    QTest::newRow("records the file already holds") << "last" << whole << 3;
    QTest::newRow("first record garbled")
        << "first" << flipped(whole, TableJournal::header().size() + 20) << -1;
    QTest::newRow("a change missing") << "first" << h.journals[1] + whole.mid(third) << -1;
    QTest::newRow("not a journal") << "first" << QByteArray("<table name=\"cds_dives\"/>") << -1;
    QTest::newRow("a change that does not fit the file") << "other" << whole << -1;
}

void TestTableJournal::journalDamage() {
    QFETCH(QString, file);
    QFETCH(QByteArray, journal);
    QFETCH(int, changes);
    Fixture fixture;
    const History& h = history_;
    QByteArray fileBytes = file == "last" ? h.fileAtTheEnd : h.file;
    if (file == "other") {  // the dive that the second change moves reads otherwise
        fileBytes.replace("Reef 1", "Reef X");
    }
    writeFile(fixture.file("dives"), fileBytes);
    writeFile(fixture.journal("dives"), journal);

    if (changes < 0) {
        try {
            fixture.start();
            QFAIL("the tables opened");
        } catch (const AppError& e) {
            QVERIFY2(e.message().contains(fixture.journal("dives")), qPrintable(e.message()));
        }
        // Nothing was written over either file.
        QCOMPARE(readFile(fixture.file("dives")), fileBytes);
        QCOMPARE(readFile(fixture.journal("dives")), journal);
        return;
    }
    auto module = fixture.start();
    QCOMPARE(rowsOf(*module->cds_dives), h.dives[changes]);
    // The next change follows the ones kept, whatever was cut off behind them.
    setSite(*module, 1, "after the damage");
    waitUntilSaved(*module->cds_dives);
    const QStringList expected = rowsOf(*module->cds_dives);
    QCOMPARE(divesOnDisk(fixture), expected);
}

void TestTableJournal::bulkChangesAndALongJournalRewriteTheFile() {
    Fixture fixture;
    auto module = fixture.start();
    module->setBusy(true);  // as a synchronisation writing back its answer
    for (int i = 0; i < 300; ++i) {
        addDive(*module, QDate(2020, 1, 1).addDays(i), QStringLiteral("Dive %1").arg(i));
    }
    module->setBusy(false);
    waitUntilSaved(*module->cds_dives);
    QVERIFY(readFile(fixture.file("dives")).contains("journal=\"300\""));
    QVERIFY(QFileInfo(fixture.journal("dives")).size() <= TableJournal::header().size());

    // Edits one by one grow the journal until it is worth writing the file again.
    const QByteArray file = readFile(fixture.file("dives"));
    qint64 largestJournal = 0;
    int edits = 0;
    while (readFile(fixture.file("dives")) == file && edits < 5000) {
        for (int i = 0; i < 20; ++i, ++edits) {
            setSite(*module, 1 + edits % 300, QStringLiteral("Edit %1 of a site").arg(edits));
        }
        waitUntilSaved(*module->cds_dives);
        largestJournal = qMax(largestJournal, QFileInfo(fixture.journal("dives")).size());
    }
    QVERIFY2(readFile(fixture.file("dives")) != file, "the file was never written again");
    QVERIFY2(largestJournal > 200 * 1024 && largestJournal < 300 * 1024,
             qPrintable(QString::number(largestJournal)));
    QCOMPARE(divesOnDisk(fixture), rowsOf(*module->cds_dives));
}

// A real process edits the log and is killed (SIGKILL) at random moments, many of them while a
// bulk change or a save of the whole table is under way. After every kill the log must load,
// hold every change the process was told had reached the disk, and be the log as it was after
// some change: never a change applied twice or out of order, never a part of one.
void TestTableJournal::killedAtRandomMomentsLosesNoSavedChange() {
    Fixture fixture;
    {
        auto module = fixture.start();
        module->setBusy(true);
        for (int i = 0; i < 1500; ++i) {
            addDive(*module, QDate(2000, 1, 1).addDays(i), QStringLiteral("first %1").arg(i));
        }
        module->setBusy(false);
    }
    const auto load = [&](quint64* changeCount) {
        const TableData data = divesRead(fixture);  // throws when the files do not load
        *changeCount = data.changeCount;
        return sitesOf(data);
    };
    quint64 loadedChange = 0;
    QMap<int, QString> log = load(&loadedChange);
    QRandomGenerator random(20240611);
    int kills = 0;
    int killsInBulk = 0;
    int savedChanges = 0;
    QElapsedTimer clock;
    clock.start();
    while (kills < 60 && clock.elapsed() < 20000) {
        QProcess editor;
        editor.start(STORE_CRASH_EDITOR, {QString::number(random.generate() % 100000)});
        QVERIFY(editor.waitForStarted());
        QVERIFY(editor.waitForReadyRead(10000));
        QByteArray output = editor.readAll();
        QVERIFY2(output.startsWith("ready"), output.constData());
        // Every other kill waits for a bulk change or a whole save to begin.
        const bool aimAtBulk = kills % 2 == 1;
        QElapsedTimer wait;
        wait.start();
        while (aimAtBulk && !output.contains("\nB\n") && wait.elapsed() < 3000) {
            editor.waitForReadyRead(50);
            output += editor.readAll();
        }
        QTest::qSleep(int(random.bounded(aimAtBulk ? 40 : 300)));
        ::kill(pid_t(editor.processId()), SIGKILL);
        QVERIFY(editor.waitForFinished());
        output += editor.readAll();
        ++kills;

        const ChildReport report = parseReport(output);
        killsInBulk += report.inBulk;
        quint64 reached = 0;
        QMap<int, QString> loaded;
        try {
            loaded = load(&reached);
        } catch (const AppError& e) {
            QFAIL(qPrintable(QStringLiteral("kill %1: %2").arg(kills).arg(e.message())));
        }
        QVERIFY2(reached >= report.saved,
                 qPrintable(QStringLiteral("kill %1: change %2 was saved, the log holds up to %3")
                                .arg(kills)
                                .arg(report.saved)
                                .arg(reached)));
        for (const Change& change : report.changes) {
            if (change.sequence > reached) {
                break;
            }
            if (change.site.isEmpty()) {
                log.remove(change.id);
            } else {
                log.insert(change.id, change.site);
            }
            savedChanges += change.sequence <= report.saved;
        }
        QVERIFY2(loaded == log,
                 qPrintable(QStringLiteral("kill %1: the log is not the one after change %2")
                                .arg(kills)
                                .arg(reached)));
    }
    qInfo("%d kills, %d during a bulk change or a whole save, %d changes saved", kills, killsInBulk,
          savedChanges);
    QVERIFY(kills >= 20);
    QVERIFY(killsInBulk > 0);
    QVERIFY(savedChanges > 0);
}

NEREVA_TEST_MAIN(TestTableJournal)
#include "test_table_journal.moc"
