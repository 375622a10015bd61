// FrameTimer: the one process-wide timer behind application time, frame
// intervals and pauses.  Driven by commands; results in seconds.
//
// The clock underneath is the platform's high-resolution counter (64-bit
// ticks) or, when there is none, its millisecond clock.  A test or a headless
// runner with a fixed frame step installs its own clock with
// frameTimerUseClock.
#pragma once

#include <cstdint>

namespace platform {
class Platform;
}

namespace framework {

enum class TimerCommand : int32_t {
    Reset = 0,
    Start = 1,
    Stop = 2,
    StepTenth = 3,        // while stopped: application time + 0.1 s
    ReadAbsoluteTime = 4, // the clock itself, seconds
    ReadAppTime = 5,      // seconds since the first Start, pauses left out
    ReadElapsedTime = 6,  // seconds since the previous read, Start, Stop or Reset
};

// Runs one command.  Reset, Start, Stop and StepTenth give 0; a value outside
// the commands gives -1.0 and changes nothing.
double FrameTimer(TimerCommand command);

// The clock the timer reads from now on (counter, else milliseconds).  Null
// selects the standard library's steady clock.  The application's
// constructor installs its platform's clock; a runner with a fixed frame step
// installs its own after constructing the application.  Puts the timer back into its
// program-start state (stopped, every time zero), since times of one clock
// mean nothing to another.
void frameTimerUseClock(platform::Platform* clock);

// Program-start state on the same clock: for tests and for runners that
// start more than one application in one process.
void resetFrameTimer();

} // namespace framework
