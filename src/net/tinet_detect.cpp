#include "net/tinet_detect.h"

#include <QNetworkInterface>
#include <algorithm>
#include <exception>

namespace {

TINetDetect::InterfaceLister& installedLister() {
    static TINetDetect::InterfaceLister lister;
    return lister;
}

// A failure to read the interface table counts as offline.
bool dialUpInterfaceExists() {
    try {
        const auto& lister = installedLister();
        const QVector<NetInterfaceInfo> interfaces =
            lister ? lister() : TINetDetect::systemInterfaces();
        return std::any_of(interfaces.begin(), interfaces.end(), [](const NetInterfaceInfo& i) {
            return i.pointToPoint && !i.name.isEmpty();
        });
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

TINetDetect::TINetDetect(QObject* parent) : QObject(parent) {
    timer_.setInterval(interval_);
    connect(&timer_, &QTimer::timeout, this, &TINetDetect::poll);
    poll();
}

bool TINetDetect::Enabled() const {
    return enabled_;
}

void TINetDetect::setEnabled(bool enabled) {
    if (enabled == enabled_) {
        return;
    }
    enabled_ = enabled;
    if (enabled_) {
        timer_.start();
    } else {
        timer_.stop();
    }
}

int TINetDetect::DispatchInterval() const {
    return interval_;
}

void TINetDetect::setDispatchInterval(int ms) {
    if (ms == interval_) {
        return;
    }
    interval_ = ms;
    timer_.setInterval(ms);
}

bool TINetDetect::Online() const {
    return online_;
}

bool TINetDetect::timerActive() const {
    return timer_.isActive();
}

void TINetDetect::setInterfaceLister(InterfaceLister lister) {
    installedLister() = std::move(lister);
}

QVector<NetInterfaceInfo> TINetDetect::systemInterfaces() {
    QVector<NetInterfaceInfo> result;
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        const bool pointToPoint = i.type() == QNetworkInterface::Ppp ||
                                  i.flags().testFlag(QNetworkInterface::IsPointToPoint);
        result.append({pointToPoint, i.humanReadableName()});
    }
    return result;
}

// The timer is off while polling, so polls never overlap and OnChanged may change the interval.
// Every poll switches the timer on again, whatever Enabled says.
void TINetDetect::poll() {
    timer_.stop();
    online_ = !DialUp || dialUpInterfaceExists();
    emit OnChanged(this);
    timer_.start();
}
