// The process-wide frame timer.  The commands work the same on both clocks;
// only the unit of the stored times differs: counter ticks (int64) or seconds
// from the millisecond clock (double).
#include "framework/FrameTimer.h"

#include "platform/Platform.h"

#include <chrono>

namespace framework {
namespace {

// Times of one clock unit: ticks of the counter or seconds of the ms clock.
template <class Time> struct TimerTimes {
    Time baseTime = 0;        // origin of application time
    Time lastElapsedTime = 0; // previous ReadElapsedTime, Start, Stop or Reset
    Time stopTime = 0;        // when the timer was stopped
};

struct TimerState {
    platform::Platform* clock = nullptr;
    bool initialised = false;
    bool useCounter = false;
    int64_t frequency = 0; // counter ticks per second
    // At program start the timer is stopped with every time zero, so the
    // first Start makes application time count from that moment.
    bool stopped = true;
    TimerTimes<int64_t> counter;
    TimerTimes<double> milliseconds;
};

TimerState timer;

int64_t readCounter() {
    int64_t ticks = 0;
    if (timer.clock) {
        timer.clock->queryPerformanceCounter(&ticks);
        return ticks;
    }
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double readMillisecondClock() {
    return timer.clock ? timer.clock->timeGetTime() * 0.001 : 0.0;
}

void initialise() {
    timer.initialised = true;
    if (!timer.clock) {
        timer.useCounter = true;
        timer.frequency = 1'000'000'000; // steady_clock in nanoseconds
        return;
    }
    int64_t frequency = 0;
    timer.useCounter = timer.clock->queryPerformanceFrequency(&frequency) && frequency > 0;
    timer.frequency = timer.useCounter ? frequency : 0;
}

// One command on one clock.  `now` is the clock's reading (or the stop time
// while stopped), `tenth` one tenth of a second in the clock's unit.
template <class Time, class ToSeconds>
double runCommand(TimerTimes<Time>& times, TimerCommand command, Time now, Time tenth,
                  ToSeconds seconds) {
    switch (command) {
    case TimerCommand::Reset:
        times.baseTime = now;
        times.lastElapsedTime = now;
        times.stopTime = 0;
        timer.stopped = false;
        return 0.0;
    case TimerCommand::Start:
        if (timer.stopped) times.baseTime += now - times.stopTime;
        times.stopTime = 0;
        timer.stopped = false;
        times.lastElapsedTime = now;
        return 0.0;
    case TimerCommand::Stop:
        times.stopTime = now;
        times.lastElapsedTime = now;
        timer.stopped = true;
        return 0.0;
    case TimerCommand::StepTenth:
        times.stopTime += tenth;
        return 0.0;
    case TimerCommand::ReadAbsoluteTime:
        return seconds(now);
    case TimerCommand::ReadAppTime:
        return seconds(now - times.baseTime);
    case TimerCommand::ReadElapsedTime: {
        double elapsed = seconds(now - times.lastElapsedTime);
        times.lastElapsedTime = now;
        return elapsed;
    }
    }
    return -1.0;
}

bool isCommand(TimerCommand command) {
    auto value = static_cast<int32_t>(command);
    return value >= static_cast<int32_t>(TimerCommand::Reset) &&
           value <= static_cast<int32_t>(TimerCommand::ReadElapsedTime);
}

} // namespace

double FrameTimer(TimerCommand command) {
    if (!timer.initialised) initialise();
    if (!isCommand(command)) return -1.0;

    // While stopped, every command but Start and ReadAbsoluteTime sees the
    // stop time, so a paused application sees no time pass.  (The stopped
    // flag decides, not a zero stop time: a clock may well read 0.)
    bool readsClock = !timer.stopped || command == TimerCommand::Start ||
                      command == TimerCommand::ReadAbsoluteTime;
    if (timer.useCounter) {
        int64_t now = readsClock ? readCounter() : timer.counter.stopTime;
        int64_t frequency = timer.frequency;
        return runCommand(timer.counter, command, now, frequency / 10, [frequency](int64_t ticks) {
            return static_cast<double>(ticks) / static_cast<double>(frequency);
        });
    }
    double now = readsClock ? readMillisecondClock() : timer.milliseconds.stopTime;
    return runCommand(timer.milliseconds, command, now, 0.1, [](double s) { return s; });
}

void frameTimerUseClock(platform::Platform* clock) {
    timer = TimerState{};
    timer.clock = clock;
}

void resetFrameTimer() {
    frameTimerUseClock(timer.clock);
}

} // namespace framework
