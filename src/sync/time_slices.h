#pragma once

#include <QElapsedTimer>

// Long work on the user-interface thread done in slices: between two slices the pending events
// run, so the windows repaint and Cancel can be clicked while the work goes on.
class TimeSlices {
public:
    // Well below what a diver notices, long enough that the events' turns cost little.
    static constexpr int kDefaultSliceMs = 10;

    TimeSlices();

    // Call between two steps of the work: lets the pending events run once the current slice
    // has taken its time, and starts the next slice.
    void yield();

    // How long a slice may take; 0 lets the events run at every yield() (for tests).
    static void setSliceMs(int milliseconds);

private:
    QElapsedTimer clock_;
};
