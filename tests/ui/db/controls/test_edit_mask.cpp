#include "ui/db/controls/edit_mask.h"

#include "test_support.h"

#include <QLineEdit>

namespace {
const QString kDate = QStringLiteral("!90/90/0000;1; ");
const QString kTime = QStringLiteral("!00:00;1;_");
const QString kThickness = QStringLiteral("!0/9;1; ");
const QString kCoordinates = QStringLiteral("!90\\:00\\:00L\\-90\\:00\\:00L;1;_");
const QString kInvalid = QStringLiteral("<invalid>");
}  // namespace

class TestEditMask : public QObject {
    Q_OBJECT
private slots:
    void translatesToQtMask_data();
    void translatesToQtMask();
    void storedText_data();
    void storedText();
    void shownText_data();
    void shownText();
    void qtEditAcceptsShownText_data();
    void qtEditAcceptsShownText();
};

void TestEditMask::translatesToQtMask_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("qtMask");
    QTest::addColumn<bool>("keepsLiterals");
    QTest::addColumn<bool>("padsFront");
    QTest::newRow("date") << kDate << "09/09/9999; " << true << true;
    QTest::newRow("time") << kTime << "99:99;_" << true << true;
    QTest::newRow("thickness") << kThickness << "9/0; " << true << true;
    QTest::newRow("coordinates") << kCoordinates << "09:99:99A-09:99:99A;_" << true << true;
    QTest::newRow("letters, case, any, sign") << ">LL<ll<>CcAa#;0;*"
                                              << ">AA<aa!XxNn#;*" << false << false;
    QTest::newRow("Qt's mask letters as literals") << "00-DdHh;1;_"
                                                   << "99-\\D\\d\\H\\h;_" << true << false;
    QTest::newRow("underscore is a literal blank") << "0_0"
                                                   << "9 9;_" << true << false;
    QTest::newRow("escaped nine is a literal") << "\\90"
                                               << "\\99;_" << true << false;
}

void TestEditMask::translatesToQtMask() {
    QFETCH(QString, mask);
    QFETCH(QString, qtMask);
    QFETCH(bool, keepsLiterals);
    QFETCH(bool, padsFront);
    const EditMask m = EditMask::parse(mask);
    QCOMPARE(m.qtInputMask(), qtMask);
    QCOMPARE(m.keepsLiterals(), keepsLiterals);
    QCOMPARE(m.padsFront(), padsFront);
}

void TestEditMask::storedText_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");  // kInvalid: cannot be stored
    QTest::newRow("time") << kTime << "01:05"
                          << "01:05";
    QTest::newRow("time blank is null") << kTime << "__:__"
                                        << "";
    QTest::newRow("time without minutes") << kTime << "01:__" << kInvalid;
    QTest::newRow("time with one hour digit") << kTime << "_1:05" << kInvalid;
    QTest::newRow("time minutes past 59") << kTime << "01:75" << kInvalid;
    QTest::newRow("time long duration") << kTime << "99:59"
                                        << "99:59";
    QTest::newRow("date padded at front") << kDate << " 3/ 1/2024"
                                          << "3/1/2024";
    QTest::newRow("date as Qt types it") << kDate << "3 /1 /2024"
                                         << "3/1/2024";
    QTest::newRow("date two digits") << kDate << "12/25/2024"
                                     << "12/25/2024";
    QTest::newRow("date blank is null") << kDate << "  /  /    "
                                        << "";
    QTest::newRow("date without day") << kDate << " 3/  /2024" << kInvalid;
    QTest::newRow("date with short year") << kDate << " 3/ 1/24  " << kInvalid;
    QTest::newRow("thickness") << kThickness << "3/1"
                               << "3/1";
    QTest::newRow("thickness without second") << kThickness << "7/ "
                                              << "7/";
    QTest::newRow("thickness without first") << kThickness << " /1" << kInvalid;
    QTest::newRow("thickness blank") << kThickness << " / "
                                     << "";
    QTest::newRow("coordinates") << kCoordinates << "12:34:56N-98:07:54W"
                                 << "12:34:56N-98:07:54W";
    QTest::newRow("coordinates seconds past 59")
        << kCoordinates << "12:34:56N-98:07:64W" << kInvalid;
    QTest::newRow("literals dropped") << "!999;0;_"
                                      << "_12"
                                      << "12";
    QTest::newRow("literals dropped, separator") << "00:00;0;_"
                                                 << "01:05"
                                                 << "0105";
}

void TestEditMask::storedText() {
    QFETCH(QString, mask);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    const std::optional<QString> result = EditMask::parse(mask).storedText(shown);
    QCOMPARE(result.value_or(kInvalid), stored);
}

void TestEditMask::shownText_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("date pads at front") << kDate << "3/1/2024"
                                        << " 3/ 1/2024";
    QTest::newRow("date two digits") << kDate << "12/25/2024"
                                     << "12/25/2024";
    QTest::newRow("date null") << kDate << ""
                               << "  /  /    ";
    QTest::newRow("time") << kTime << "01:05"
                          << "01:05";
    QTest::newRow("time null") << kTime << ""
                               << "__:__";
    QTest::newRow("thickness") << kThickness << "3/1"
                               << "3/1";
    QTest::newRow("thickness first only") << kThickness << "7/"
                                          << "7/ ";
    QTest::newRow("pads at back without !") << "90/90;1;_"
                                            << "3/1"
                                            << "3_/1_";
    QTest::newRow("too long group keeps its start") << kTime << "123:45"
                                                    << "12:45";
    QTest::newRow("literals dropped, pad front") << "!999;0;_"
                                                 << "12"
                                                 << "_12";
    QTest::newRow("literals dropped, pad back") << "999;0;_"
                                                << "12"
                                                << "12_";
    QTest::newRow("literals dropped, separator") << "00:00;0;_"
                                                 << "0105"
                                                 << "01:05";
}

void TestEditMask::shownText() {
    QFETCH(QString, mask);
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QCOMPARE(EditMask::parse(mask).shownText(stored), shown);
}

// What the translation shows must be what a real masked QLineEdit shows and accepts, and read
// back to the same stored text.
void TestEditMask::qtEditAcceptsShownText_data() {
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("stored");
    QTest::newRow("date") << kDate << "3/1/2024";
    QTest::newRow("date two digits") << kDate << "12/25/2024";
    QTest::newRow("time") << kTime << "01:05";
    QTest::newRow("thickness") << kThickness << "3/1";
    QTest::newRow("thickness first only") << kThickness << "7/";
    QTest::newRow("coordinates") << kCoordinates << "9:05:00S-20:30:15E";
}

void TestEditMask::qtEditAcceptsShownText() {
    QFETCH(QString, mask);
    QFETCH(QString, stored);
    const EditMask m = EditMask::parse(mask);
    QLineEdit edit;
    edit.setInputMask(m.qtInputMask());
    edit.setText(m.shownText(stored));
    QCOMPARE(edit.displayText(), m.shownText(stored));
    QVERIFY(edit.hasAcceptableInput());
    QCOMPARE(m.storedText(edit.displayText()).value_or(kInvalid), stored);
}

NEREVA_TEST_MAIN(TestEditMask)
#include "test_edit_mask.moc"
