#include "sync/time_slices.h"

#include <QCoreApplication>

namespace {

int& sliceMs() {
    static int milliseconds = TimeSlices::kDefaultSliceMs;
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
