#include "app/settings/app_error.h"
#include "app/settings/regional_formats.h"
#include "store/data_source.h"
#include "store/dive_log_tables.h"
#include "store/table.h"
#include "test_support.h"

#include <QSignalSpy>
#include <memory>

namespace {

std::unique_ptr<Table> makeTable(const DiveLogTables::Definition& definition) {
    return std::make_unique<Table>(definition.tableName, definition.fields, definition.orderBy);
}

// A dive table with a conditions table following it, both in memory.
struct Log {
    std::unique_ptr<Table> dives = makeTable(DiveLogTables::dives());
    std::unique_ptr<Table> conditions = makeTable(DiveLogTables::conditions());

    Log() {
        conditions->setMaster(dives.get(), "id_local_dive");
        dives->open();
        conditions->open();
    }

    int addDive(const QDate& date, const QTime& start = QTime(), const QString& site = {}) {
        dives->append();
        dives->setValue("Date", date);
        dives->setValue("Time_Start", start);
        dives->setValue("Site", site);
        dives->post();
        return dives->asInteger("id_local_dive");
    }
    void addConditions(double maxDepth) {
        conditions->append();
        conditions->setValue("max_depth", maxDepth);
        conditions->post();
    }
    // The sites in table order.
    QStringList sites() const {
        QStringList result;
        const int field = dives->fieldIndex("Site");
        for (int row = 0; row < dives->recordCount(); ++row) {
            result << dives->displayText(row, field);
        }
        return result;
    }
    QList<double> depths() const {
        QList<double> result;
        const int field = conditions->fieldIndex("max_depth");
        for (int row = 0; row < conditions->recordCount(); ++row) {
            result << conditions->valueAt(row, field).toDouble();
        }
        return result;
    }
    // Five dives A..E in date order, added out of order.
    void addFiveDives() {
        addDive(QDate(2024, 3, 3), QTime(), "C");
        addDive(QDate(2024, 3, 1), QTime(), "A");
        addDive(QDate(2024, 3, 5), QTime(), "E");
        addDive(QDate(2024, 3, 2), QTime(), "B");
        addDive(QDate(2024, 3, 4), QTime(), "D");
    }
};

QStringList fieldNames(const QSignalSpy& spy) {
    QStringList names;
    for (const QList<QVariant>& call : spy) {
        names << call.at(0).toString();
    }
    return names;
}

}  // namespace

class TestTable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void ordersByDateThenStartTime();
    void repositionsAnEditedRowAndFollowsIt();
    void navigation();
    void navigationOnAnEmptyTable();
    void bookmarks();
    void insertPostCancelRemove();
    void movingPostsOrDropsThePendingEdit_data();
    void movingPostsOrDropsThePendingEdit();
    void editingAnEmptyTableStartsAnInsert();
    void autoIncrementIsAssignedOnceAndNeverReused();
    void detailFollowsMaster();
    void newDetailRowTakesTheMasterKey();
    void masterMovePostsThePendingDetailEdit();
    void readsAndWritesByNameAsText_data();
    void readsAndWritesByNameAsText();
    void nullReadsAsEmptyAndZero();
    void rejectsValuesTheFieldCannotHold_data();
    void rejectsValuesTheFieldCannotHold();
    void acceptsTheLimitsOfItsTypes();
    void dropsControlCharactersXmlCannotCarry_data();
    void dropsControlCharactersXmlCannotCarry();
    void notificationsNameTheField();
    void dataSourceForwardsWhileEnabled();
    void disabledControlsGetOneNotificationLater();
    void gridReadsShowThePendingEdit();
    void aListenerEndingTheEditIsAnError();
    void postWritesTheEditedRowEvenIfTheCursorMoved();
};

void TestTable::initTestCase() {
    RegionalFormats::force();
}

void TestTable::ordersByDateThenStartTime() {
    Log log;
    log.addDive(QDate(2024, 3, 2), QTime(14, 10), "afternoon");
    log.addDive(QDate(2025, 1, 5), QTime(8, 45), "next year");
    log.addDive(QDate(2024, 3, 2), QTime(9, 30), "morning");
    log.addDive(QDate(2023, 12, 31), QTime(23, 0), "last year");
    log.addDive(QDate(2024, 3, 2), QTime(), "no time");
    QCOMPARE(log.sites(),
             QStringList({"last year", "no time", "morning", "afternoon", "next year"}));
}

void TestTable::repositionsAnEditedRowAndFollowsIt() {
    Log log;
    log.addFiveDives();
    log.dives->setRecNo(2);
    log.dives->setValue("Date", QDate(2024, 3, 9));
    log.dives->post();
    QCOMPARE(log.sites(), QStringList({"A", "C", "D", "E", "B"}));
    QCOMPARE(log.dives->recNo(), 5);
    QCOMPARE(log.dives->asString("Site"), QString("B"));
}

void TestTable::navigation() {
    Log log;
    log.addFiveDives();
    Table& t = *log.dives;
    t.first();
    QVERIFY(t.bof());
    QVERIFY(!t.eof());
    QCOMPARE(t.recNo(), 1);
    QStringList walked;
    while (!t.eof()) {
        walked << t.asString("Site");
        t.next();
    }
    QCOMPARE(walked, QStringList({"A", "B", "C", "D", "E"}));
    QCOMPARE(t.recNo(), 5);  // eof stays on the last row
    QCOMPARE(t.moveBy(-2), -2);
    QCOMPARE(t.asString("Site"), QString("C"));
    QVERIFY(!t.eof());
    QCOMPARE(t.moveBy(10), 2);
    QVERIFY(t.eof());
    QCOMPARE(t.moveBy(-10), -4);
    QVERIFY(t.bof());
    t.prior();
    QVERIFY(t.bof());
    QCOMPARE(t.recNo(), 1);
    t.setRecNo(4);
    QCOMPARE(t.asString("Site"), QString("D"));
    t.setRecNo(99);
    QCOMPARE(t.recNo(), 5);
    t.last();
    QVERIFY(t.eof());
    QCOMPARE(t.asString("Site"), QString("E"));
    QCOMPARE(t.recordCount(), 5);
}

void TestTable::navigationOnAnEmptyTable() {
    Log log;
    Table& t = *log.dives;
    t.first();
    QVERIFY(t.eof());
    QVERIFY(t.bof());
    QCOMPARE(t.recNo(), 0);
    QCOMPARE(t.moveBy(3), 0);
    QCOMPARE(t.bookmark(), Table::Bookmark(0));
    QVERIFY(!t.value("Site").isValid());
    QVERIFY_THROWS_EXCEPTION(AppError, t.remove());
}

void TestTable::bookmarks() {
    Log log;
    log.addFiveDives();
    Table& t = *log.dives;
    t.setRecNo(3);
    const Table::Bookmark c = t.bookmark();
    QVERIFY(t.bookmarkValid(c));
    t.setValue("Date", QDate(2020, 1, 1));  // moves C to the front
    t.post();
    t.last();
    t.gotoBookmark(c);
    QCOMPARE(t.asString("Site"), QString("C"));
    QCOMPARE(t.recNo(), 1);
    t.remove();
    QVERIFY(!t.bookmarkValid(c));
    QVERIFY_THROWS_EXCEPTION(AppError, t.gotoBookmark(c));
    QVERIFY(!t.bookmarkValid(0));
}

void TestTable::insertPostCancelRemove() {
    Log log;
    log.addFiveDives();
    Table& t = *log.dives;
    t.setRecNo(2);
    t.insert();
    QCOMPARE(t.state(), Table::State::Insert);
    t.setValue("Site", "new");
    t.cancel();
    QCOMPARE(t.state(), Table::State::Browse);
    QCOMPARE(t.recordCount(), 5);
    QCOMPARE(t.asString("Site"), QString("B"));  // back where the insert started

    t.edit();
    QCOMPARE(t.state(), Table::State::Edit);
    t.setValue("Site", "changed");
    t.cancel();
    QCOMPARE(t.asString("Site"), QString("B"));

    t.remove();  // the next row becomes current
    QCOMPARE(t.asString("Site"), QString("C"));
    QCOMPARE(t.recordCount(), 4);
    t.last();
    t.remove();  // removing the last row makes the one before it current
    QCOMPARE(t.asString("Site"), QString("D"));
    QCOMPARE(log.sites(), QStringList({"A", "C", "D"}));
}

void TestTable::movingPostsOrDropsThePendingEdit_data() {
    QTest::addColumn<bool>("inserting");
    QTest::addColumn<bool>("withChange");
    QTest::addColumn<QString>("move");
    QTest::addColumn<QStringList>("sites");
    const QStringList unchanged = {"A", "B", "C", "D", "E"};
    for (const QString move :
         {"next", "prior", "first", "last", "setRecNo", "bookmark", "insert"}) {
        QTest::addRow("edit with a change, %s", qPrintable(move))
            << false << true << move << QStringList({"A", "B", "X", "D", "E"});
        QTest::addRow("edit without a change, %s", qPrintable(move))
            << false << false << move << unchanged;
        QTest::addRow("insert with a change, %s", qPrintable(move))
            << true << true << move << QStringList({"A", "B", "C", "D", "E", "X"});
        QTest::addRow("insert without a change, %s", qPrintable(move))
            << true << false << move << unchanged;
    }
}

void TestTable::movingPostsOrDropsThePendingEdit() {
    QFETCH(bool, inserting);
    QFETCH(bool, withChange);
    QFETCH(QString, move);
    QFETCH(QStringList, sites);
    Log log;
    log.addFiveDives();
    Table& t = *log.dives;
    t.setRecNo(2);
    const Table::Bookmark b = t.bookmark();
    t.setRecNo(3);
    const quint64 changesBefore = t.changeCount();
    if (inserting) {
        t.insert();
        if (withChange) {
            t.setValue("Date", QDate(2024, 3, 6));
        }
    } else {
        t.edit();
    }
    if (withChange) {
        t.setValue("Site", "X");
    }
    QCOMPARE(t.modified(), withChange);
    if (move == "next") {
        t.next();
    } else if (move == "prior") {
        t.prior();
    } else if (move == "first") {
        t.first();
    } else if (move == "last") {
        t.last();
    } else if (move == "setRecNo") {
        t.setRecNo(1);
    } else if (move == "bookmark") {
        t.gotoBookmark(b);
    } else {
        t.insert();
        t.cancel();
    }
    QCOMPARE(t.state(), Table::State::Browse);
    QCOMPARE(log.sites(), sites);
    QCOMPARE(t.changeCount(), changesBefore + (withChange ? 1 : 0));
}

void TestTable::editingAnEmptyTableStartsAnInsert() {
    Log log;
    log.dives->edit();
    QCOMPARE(log.dives->state(), Table::State::Insert);
    log.dives->cancel();
    log.dives->setValue("Site", "typed");  // a write in browse state starts the edit
    QCOMPARE(log.dives->state(), Table::State::Insert);
    log.dives->post();
    QCOMPARE(log.dives->recordCount(), 1);
    QCOMPARE(log.dives->asString("Site"), QString("typed"));
}

void TestTable::autoIncrementIsAssignedOnceAndNeverReused() {
    Log log;
    log.dives->insert();
    QVERIFY(log.dives->isNull("id_local_dive"));
    log.dives->cancel();  // a cancelled insert uses no number
    QCOMPARE(log.addDive(QDate(2024, 1, 1)), 1);
    QCOMPARE(log.addDive(QDate(2024, 1, 2)), 2);
    log.dives->setValue("Site", "edited");
    log.dives->post();
    QCOMPARE(log.dives->asInteger("id_local_dive"), 2);  // editing keeps the number
    log.dives->remove();
    QCOMPARE(log.addDive(QDate(2024, 1, 3)), 3);
    log.dives->reserveAutoIncrement(10);
    QCOMPARE(log.addDive(QDate(2024, 1, 4)), 11);
    QVERIFY_THROWS_EXCEPTION(AppError, log.dives->setValue("id_local_dive", 5));
}

void TestTable::detailFollowsMaster() {
    Log log;
    const int first = log.addDive(QDate(2024, 1, 1));
    log.addConditions(10);
    log.addConditions(11);
    log.addDive(QDate(2024, 1, 2));  // no conditions
    const int third = log.addDive(QDate(2024, 1, 3));
    log.addConditions(30);

    QSignalSpy rows(log.conditions.get(), &Table::rowsChanged);
    log.dives->first();
    QCOMPARE(log.depths(), QList<double>({10, 11}));
    QCOMPARE(log.conditions->asInteger("id_local_dive"), first);
    QVERIFY(rows.count() > 0);
    log.dives->next();
    QCOMPARE(log.depths(), QList<double>());
    QVERIFY(log.conditions->eof());
    log.dives->next();
    QCOMPARE(log.depths(), QList<double>({30}));
    QCOMPARE(log.conditions->asInteger("id_local_dive"), third);
    log.dives->insert();  // a dive without a number yet has no detail rows
    QCOMPARE(log.conditions->recordCount(), 0);
    log.dives->cancel();
    QCOMPARE(log.depths(), QList<double>({30}));
}

void TestTable::newDetailRowTakesTheMasterKey() {
    Log log;
    const int dive = log.addDive(QDate(2024, 5, 1));
    log.conditions->edit();  // the dive has no conditions row: editing starts a new one
    QCOMPARE(log.conditions->state(), Table::State::Insert);
    QCOMPARE(log.conditions->asInteger("id_local_dive"), dive);
    log.conditions->setValue("depth_unit", 2);
    log.conditions->post();
    log.addDive(QDate(2024, 5, 2));
    QCOMPARE(log.conditions->recordCount(), 0);
    log.dives->first();
    QCOMPARE(log.conditions->recordCount(), 1);
    QCOMPARE(log.conditions->asInteger("depth_unit"), 2);
}

void TestTable::masterMovePostsThePendingDetailEdit() {
    Log log;
    log.addDive(QDate(2024, 1, 1));
    log.addConditions(10);
    log.addDive(QDate(2024, 1, 2));
    log.dives->first();
    log.conditions->setValue("max_depth", 12.5);
    log.dives->next();
    QCOMPARE(log.conditions->state(), Table::State::Browse);
    log.dives->first();
    QCOMPARE(log.depths(), QList<double>({12.5}));
}

void TestTable::readsAndWritesByNameAsText_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("asString");
    QTest::addColumn<QVariant>("asFloat");  // invalid: reading it as a number throws
    const QVariant throws;
    QTest::newRow("smallint") << "dive_rating"
                              << " 4 "
                              << "4" << QVariant(4.0);
    QTest::newRow("negative smallint") << "certify_by"
                                       << "-1"
                                       << "-1" << QVariant(-1.0);
    QTest::newRow("integer") << "id_dive"
                             << "2000000000"
                             << "2000000000" << QVariant(2e9);
    QTest::newRow("string") << "Location"
                            << "Cozumel"
                            << "Cozumel" << throws;
    QTest::newRow("string holding a number") << "pais"
                                             << "42"
                                             << "42" << QVariant(42.0);
    QTest::newRow("date") << "Date"
                          << "5/1/2006"
                          << "5/1/2006" << throws;
    QTest::newRow("date with leading zeros") << "Date"
                                             << "05/01/2006"
                                             << "5/1/2006" << throws;
    QTest::newRow("time") << "Time_Start"
                          << "9:05"
                          << "09:05:00" << throws;
    QTest::newRow("date-time") << "last_update"
                               << "12/31/2020 23:59:58"
                               << "12/31/2020 23:59:58" << throws;
    QTest::newRow("name without regard to case") << "LOCATION"
                                                 << "x"
                                                 << "x" << throws;
}

void TestTable::readsAndWritesByNameAsText() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, asString);
    QFETCH(QVariant, asFloat);
    Log log;
    log.dives->setAsString(field, text);
    log.dives->post();
    QCOMPARE(log.dives->asString(field), asString);
    QCOMPARE(log.dives->asString(field.toLower()), asString);
    if (asFloat.isValid()) {
        QCOMPARE(log.dives->asInteger(field), asFloat.toInt());
        QCOMPARE(log.dives->asFloat(field), asFloat.toDouble());
    } else {
        QVERIFY_THROWS_EXCEPTION(AppError, log.dives->asInteger(field));
        QVERIFY_THROWS_EXCEPTION(AppError, log.dives->asFloat(field));
    }
}

void TestTable::nullReadsAsEmptyAndZero() {
    Log log;
    log.addDive(QDate());
    for (const char* field : {"id_dive", "Location", "Dive_Media", "Date", "Time_Start"}) {
        QVERIFY2(log.dives->isNull(field), field);
        QCOMPARE(log.dives->asString(field), QString());
    }
    QCOMPARE(log.dives->asInteger("id_dive"), 0);
    QCOMPARE(log.dives->asInteger("Location"), 0);
    QCOMPARE(log.dives->asFloat("Dive_Media"), 0.0);
    QCOMPARE(log.dives->asDateTime("last_update"), QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    log.dives->setAsString("Location", "here");
    log.dives->setAsString("Location", "");  // empty text stores null
    QVERIFY(log.dives->isNull("Location"));
    log.dives->setValue("Location", QString(""));  // an explicit empty string stays a string
    QVERIFY(!log.dives->isNull("Location"));
}

void TestTable::rejectsValuesTheFieldCannotHold_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("message");
    QTest::newRow("smallint above") << "locked" << QVariant(32768) << "out of range";
    QTest::newRow("smallint below") << "id_buddy" << QVariant(-32769) << "out of range";
    QTest::newRow("smallint as text") << "Dive_Media" << QVariant("40000") << "out of range";
    QTest::newRow("integer above") << "id_dive" << QVariant(qint64(2147483648LL)) << "out of range";
    QTest::newRow("integer below")
        << "id_Location" << QVariant(qint64(-2147483649LL)) << "out of range";
    QTest::newRow("string too long") << "Location" << QVariant(QString(81, u'x')) << "at most 80";
    QTest::newRow("one letter field") << "Site" << QVariant(QString(41, u'x')) << "at most 40";
    QTest::newRow("letters as number") << "Dive_Media" << QVariant("abc") << "integer";
    QTest::newRow("fraction as smallint") << "Dive_Media" << QVariant(1.5) << "integer";
    QTest::newRow("iso date") << "Date" << QVariant("2006-05-01") << "date";
    QTest::newRow("month 13") << "Date" << QVariant("13/1/2006") << "date";
    QTest::newRow("time of 25 hours") << "Time_Start" << QVariant("25:00") << "time";
    QTest::newRow("date-time text") << "last_update" << QVariant("yesterday") << "date";
    QTest::newRow("date into a time") << "Time_Start" << QVariant(QDate(2020, 1, 1)) << "time";
    QTest::newRow("date beyond the store's years")
        << "Date" << QVariant(QDate(9999999, 1, 1)) << "date";
    QTest::newRow("date-time beyond the store's years")
        << "last_update" << QVariant(QDateTime(QDate(-9999999, 1, 1), QTime(0, 0))) << "date";
}

void TestTable::rejectsValuesTheFieldCannotHold() {
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QFETCH(QString, message);
    Log log;
    log.addDive(QDate(2024, 1, 1));
    const QVariant before = log.dives->value(field);
    try {
        log.dives->setValue(field, value);
        QFAIL("no error");
    } catch (const AppError& e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        QVERIFY2(e.message().contains("cds_dives"), qPrintable(e.message()));
        QVERIFY2(e.message().contains(log.dives->fields()[log.dives->fieldIndex(field)].name),
                 qPrintable(e.message()));
    }
    QCOMPARE(log.dives->state(), Table::State::Browse);
    QCOMPARE(log.dives->value(field), before);
}

void TestTable::acceptsTheLimitsOfItsTypes() {
    Log log;
    log.addDive(QDate(2024, 1, 1));
    log.dives->setValue("locked", 32767);
    log.dives->setValue("certify_by", -32768);
    log.dives->setAsString("id_dive", "-2147483648");
    log.dives->setValue("Location", QString(80, u'é'));
    log.dives->post();
    QCOMPARE(log.dives->asInteger("locked"), 32767);
    QCOMPARE(log.dives->asInteger("certify_by"), -32768);
    QCOMPARE(log.dives->asInteger("id_dive"), std::numeric_limits<int>::min());
    QCOMPARE(log.dives->asString("Location").size(), 80);
    QVERIFY_THROWS_EXCEPTION(AppError, log.dives->value("no_such_field"));
}

void TestTable::dropsControlCharactersXmlCannotCarry_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("stored");
    QTest::newRow("NUL inside a name")
        << "Location" << QVariant(QString::fromLatin1("Blue\0 Hole", 10)) << "Blue Hole";
    QTest::newRow("other C0 controls") << "buddy"
                                       << QVariant(QString("\x01"
                                                           "A\x08\x0B\x0C\x1F"))
                                       << "A";
    QTest::newRow("non-characters")
        << "Site" << QVariant(QString::fromUtf16(u"a\uFFFEb\uFFFF")) << "ab";
    QTest::newRow("tab and line ends stay")
        << "Location" << QVariant(QString("a\tb\r\nc")) << "a\tb\r\nc";
    QTest::newRow("length counted after dropping")
        << "Location" << QVariant(QString(80, u'x') + QChar(0)) << QString(80, u'x');
}

void TestTable::dropsControlCharactersXmlCannotCarry() {
    QFETCH(QString, field);
    QFETCH(QVariant, value);
    QFETCH(QString, stored);
    Log log;
    log.addDive(QDate(2024, 1, 1));
    log.dives->setValue(field, value);
    log.dives->post();
    QCOMPARE(log.dives->asString(field), stored);
    log.conditions->append();
    log.conditions->setAsString("dive_si",
                                QString::fromLatin1("01\0:30", 6));  // six units, five characters
    log.conditions->post();
    QCOMPARE(log.conditions->asString("dive_si"), QString("01:30"));
}

void TestTable::notificationsNameTheField() {
    Log log;
    log.addFiveDives();
    Table& t = *log.dives;
    QSignalSpy data(&t, &Table::dataChanged);
    QSignalSpy state(&t, &Table::stateChanged);
    QSignalSpy rows(&t, &Table::rowsChanged);
    t.setValue("site", "Z");  // named as the table defines it
    t.setValue("SITE", "Z");  // the same value again: nothing changes
    t.setValue("dive_rating", 3);
    QCOMPARE(fieldNames(data), QStringList({"Site", "dive_rating"}));
    QCOMPARE(state.count(), 1);
    t.post();
    QCOMPARE(fieldNames(data).last(), QString());
    QCOMPARE(state.count(), 2);
    QCOMPARE(rows.count(), 0);  // same place in the order
    data.clear();
    t.next();
    QCOMPARE(fieldNames(data), QStringList({QString()}));
    t.setValue("Date", QDate(2000, 1, 1));
    t.post();
    QCOMPARE(rows.count(), 1);  // reordered
}

void TestTable::dataSourceForwardsWhileEnabled() {
    Log log;
    log.addFiveDives();
    DataSource source(log.dives.get());
    QSignalSpy data(&source, &DataSource::dataChange);
    QSignalSpy state(&source, &DataSource::stateChange);
    QSignalSpy rows(&source, &DataSource::rowsChange);
    log.dives->setValue("Site", "Q");
    QCOMPARE(fieldNames(data), QStringList({"Site"}));
    QCOMPARE(state.count(), 1);
    source.setEnabled(false);
    log.dives->post();
    log.dives->remove();
    QCOMPARE(data.count(), 1);
    QCOMPARE(rows.count(), 0);
    source.setEnabled(true);  // announces the whole table again
    QCOMPARE(rows.count(), 1);
    QCOMPARE(fieldNames(data).last(), QString());
    source.setDataSet(log.conditions.get());
    data.clear();
    log.dives->first();
    QVERIFY(fieldNames(data).contains(QString()));  // the detail followed the move
}

void TestTable::disabledControlsGetOneNotificationLater() {
    Log log;
    log.addDive(QDate(2024, 1, 1));
    log.addConditions(5);
    log.addDive(QDate(2024, 1, 2));
    QSignalSpy data(log.dives.get(), &Table::dataChanged);
    QSignalSpy rows(log.dives.get(), &Table::rowsChanged);
    log.dives->disableControls();
    log.dives->disableControls();
    log.dives->first();
    QCOMPARE(log.depths(), QList<double>({5}));  // details follow all the same
    log.addDive(QDate(2024, 1, 3));
    log.dives->enableControls();
    QCOMPARE(data.count() + rows.count(), 0);
    QVERIFY(log.dives->controlsDisabled());
    log.dives->enableControls();
    QCOMPARE(fieldNames(data), QStringList({QString()}));
    QCOMPARE(rows.count(), 1);
}

void TestTable::gridReadsShowThePendingEdit() {
    Log log;
    log.addFiveDives();
    const int site = log.dives->fieldIndex("Site");
    log.dives->setRecNo(2);
    log.dives->setValue("Site", "typing");
    QCOMPARE(log.dives->displayText(1, site), QString("typing"));
    QCOMPARE(log.dives->displayText(0, site), QString("A"));
    QCOMPARE(log.dives->displayText(0, log.dives->fieldIndex("Date")), QString("3/1/2024"));
    QVERIFY_THROWS_EXCEPTION(AppError, log.dives->valueAt(5, site));
    QVERIFY_THROWS_EXCEPTION(AppError, log.dives->valueAt(0, 999));
}

void TestTable::aListenerEndingTheEditIsAnError() {
    Log log;
    log.addFiveDives();
    Table& t = *log.dives;
    connect(&t, &Table::stateChanged, &t, [&t] {
        if (t.state() == Table::State::Edit) {
            t.cancel();
        }
    });
    QVERIFY_THROWS_EXCEPTION(AppError, t.setValue("Site", "x"));
    QCOMPARE(t.state(), Table::State::Browse);
    QCOMPARE(log.sites(), QStringList({"A", "B", "C", "D", "E"}));
}

// A listener that starts editing again while a move posts leaves the edit on the row it began
// on; posting it must write that row, not the one the cursor moved to.
void TestTable::postWritesTheEditedRowEvenIfTheCursorMoved() {
    Log log;
    log.addFiveDives();
    Table& t = *log.dives;
    t.setRecNo(2);
    t.setValue("Site", "B2");
    bool armed = true;
    connect(&t, &Table::stateChanged, &t, [&] {
        if (armed && t.state() == Table::State::Browse) {
            armed = false;
            t.edit();
        }
    });
    t.next();
    t.setValue("dive_rating", 5);
    t.post();
    QCOMPARE(log.sites(), QStringList({"A", "B2", "C", "D", "E"}));
    t.setRecNo(2);
    QCOMPARE(t.asInteger("dive_rating"), 5);
    t.next();
    QVERIFY(t.isNull("dive_rating"));
}

NEREVA_TEST_MAIN(TestTable)
#include "test_table.moc"
