#include "net/tinet_detect.h"
#include "test_support.h"

#include <QSignalSpy>
#include <stdexcept>

Q_DECLARE_METATYPE(NetInterfaceInfo)

namespace {

using Interfaces = QVector<NetInterfaceInfo>;

const NetInterfaceInfo kEthernet{false, "eth0"};
const NetInterfaceInfo kLoopback{false, "lo"};
const NetInterfaceInfo kModem{true, "ppp0"};
const NetInterfaceInfo kUnnamedModem{true, ""};

// Polls fast enough for a test and records Online at every notification.
class Probe {
public:
    Probe() {
        detector.setDispatchInterval(5);
        QObject::connect(&detector, &TINetDetect::OnChanged,
                         [this](QObject*) { seen.append(detector.Online()); });
    }
    TINetDetect detector;
    QList<bool> seen;
};

}  // namespace

class TestInetDetect : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void creationPollsOnceAndStartsTheTimer();
    void dialUpDecidesFromTheInterfaceTable_data();
    void dialUpDecidesFromTheInterfaceTable();
    void permanentLinkIsOnlineAtEveryPoll();
    void unreadableTableCountsAsOffline();
    void dialUpChangeTakesEffectAtTheNextPoll();
    void enabledActsOnlyOnAChange();
    void intervalSetInsideOnChangeTakesEffect();
};

void TestInetDetect::cleanup() {
    TINetDetect::setInterfaceLister(nullptr);
}

void TestInetDetect::creationPollsOnceAndStartsTheTimer() {
    int listed = 0;
    TINetDetect::setInterfaceLister([&listed] {
        ++listed;
        return Interfaces{kModem};
    });
    TINetDetect detector;
    QCOMPARE(listed, 1);
    QVERIFY(detector.Online());
    QVERIFY(!detector.Enabled());
    QVERIFY(detector.DialUp);
    QCOMPARE(detector.DispatchInterval(), 1000);
    QVERIFY(detector.timerActive());
}

void TestInetDetect::dialUpDecidesFromTheInterfaceTable_data() {
    QTest::addColumn<Interfaces>("interfaces");
    QTest::addColumn<bool>("online");
    QTest::newRow("Ethernet and loopback") << Interfaces{kEthernet, kLoopback} << false;
    QTest::newRow("no interfaces") << Interfaces{} << false;
    QTest::newRow("point-to-point among others")
        << Interfaces{kLoopback, kModem, kEthernet} << true;
    QTest::newRow("point-to-point without a name") << Interfaces{kEthernet, kUnnamedModem} << false;
}

void TestInetDetect::dialUpDecidesFromTheInterfaceTable() {
    QFETCH(Interfaces, interfaces);
    QFETCH(bool, online);
    TINetDetect::setInterfaceLister([interfaces] { return interfaces; });
    Probe probe;
    QCOMPARE(probe.detector.Online(), online);
    QTRY_VERIFY(probe.seen.size() >= 3);
    QCOMPARE(probe.seen, QList<bool>(probe.seen.size(), online));
}

// Also shows that OnChanged comes with every poll although Online keeps its value.
void TestInetDetect::permanentLinkIsOnlineAtEveryPoll() {
    TINetDetect::setInterfaceLister([] { return Interfaces{}; });
    Probe probe;
    probe.detector.DialUp = false;
    QSignalSpy spy(&probe.detector, &TINetDetect::OnChanged);
    QTRY_VERIFY(probe.seen.size() >= 3);
    QCOMPARE(probe.seen, QList<bool>(probe.seen.size(), true));
    QCOMPARE(spy.first().at(0).value<QObject*>(), &probe.detector);
}

void TestInetDetect::unreadableTableCountsAsOffline() {
    TINetDetect::setInterfaceLister([] { return Interfaces{kModem}; });
    TINetDetect detector;
    QVERIFY(detector.Online());
    TINetDetect::setInterfaceLister([]() -> Interfaces { throw std::runtime_error("no table"); });
    detector.poll();
    QVERIFY(!detector.Online());
    QVERIFY(detector.timerActive());
}

void TestInetDetect::dialUpChangeTakesEffectAtTheNextPoll() {
    TINetDetect::setInterfaceLister([] { return Interfaces{kEthernet}; });
    TINetDetect detector;
    QVERIFY(!detector.Online());
    detector.DialUp = false;
    QVERIFY(!detector.Online());
    detector.poll();
    QVERIFY(detector.Online());
}

void TestInetDetect::enabledActsOnlyOnAChange() {
    Probe probe;
    TINetDetect& detector = probe.detector;
    // Enabled is already false: the timer that the first poll started keeps running.
    detector.setEnabled(false);
    QVERIFY(detector.timerActive());
    QTRY_VERIFY(probe.seen.size() >= 2);

    detector.setEnabled(true);
    QVERIFY(detector.Enabled());
    detector.setEnabled(false);
    QVERIFY(!detector.timerActive());
    const qsizetype polls = probe.seen.size();
    QTest::qWait(100);
    QCOMPARE(probe.seen.size(), polls);

    detector.setEnabled(true);
    QVERIFY(detector.timerActive());
    QTRY_VERIFY(probe.seen.size() > polls);
}

void TestInetDetect::intervalSetInsideOnChangeTakesEffect() {
    Probe probe;
    TINetDetect& detector = probe.detector;
    QObject::connect(&detector, &TINetDetect::OnChanged,
                     [&detector] { detector.setDispatchInterval(60000); });
    QTRY_COMPARE(probe.seen.size(), 1);
    QCOMPARE(detector.DispatchInterval(), 60000);
    QVERIFY(detector.timerActive());
    // Still at 5 ms, the timer would have polled many times by now.
    QTest::qWait(200);
    QCOMPARE(probe.seen.size(), 1);
}

NEREVA_TEST_MAIN(TestInetDetect)
#include "test_inet_detect.moc"
