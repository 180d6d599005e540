#pragma once

// Kept between ticks; the status panel reads it.
struct AlarmState {
    bool belowLevel1;
    bool keyLatch;
    bool targetPresent;
};

extern AlarmState alarmState;
