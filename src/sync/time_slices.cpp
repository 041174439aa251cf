#include "sync/time_slices.h"

#include <QCoreApplication>

namespace {

// Well below what a diver notices, long enough that the events' turn costs little.
constexpr int kDefaultSliceMs = 10;

int& sliceMs() {
    static int milliseconds = kDefaultSliceMs;
    return milliseconds;
}

}  // namespace

TimeSlices::TimeSlices() {
    clock_.start();
}

void TimeSlices::yield() {
    if (clock_.elapsed() < sliceMs()) {
        return;
    }
    QCoreApplication::processEvents();
    clock_.restart();
}

void TimeSlices::setSliceMs(int milliseconds) {
    sliceMs() = milliseconds;
}
