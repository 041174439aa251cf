#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>
#include <functional>

// What the detector needs to know of one network interface.
struct NetInterfaceInfo {
    bool pointToPoint = false;
    QString name;
};

// Tells whether the machine can reach the Internet by polling on a timer: on a permanent link
// always online; in dial-up mode online while a point-to-point interface with a name exists.
class TINetDetect : public QObject {
    Q_OBJECT
public:
    using InterfaceLister = std::function<QVector<NetInterfaceInfo>()>;

    explicit TINetDetect(QObject* parent = nullptr);

    bool Enabled() const;
    void setEnabled(bool enabled);
    bool DialUp = true;
    int DispatchInterval() const;
    void setDispatchInterval(int ms);
    bool Online() const;
    bool timerActive() const;

    // Test seam: the interface table comes from here instead of QNetworkInterface; an empty
    // lister brings the system's table back. A lister that throws means offline.
    static void setInterfaceLister(InterfaceLister lister);
    static QVector<NetInterfaceInfo> systemInterfaces();

    // Switches the timer off, decides Online, emits OnChanged, switches the timer on again.
    void poll();

signals:
    void OnChanged(QObject* sender);

private:
    bool enabled_ = false;
    int interval_ = 1000;
    bool online_ = false;
    QTimer timer_;
};
