#pragma once
// The monotonic clock behind the pacing of moves and the counting of play
// time. The game uses the steady clock of the system; tests put in a clock of
// their own that never sleeps.

#include <chrono>
#include <thread>

namespace qg {

class PlayClock {
public:
    using Clock = std::chrono::steady_clock;
    using TimePoint = Clock::time_point;
    using Duration = Clock::duration;

    virtual ~PlayClock() = default;
    virtual TimePoint Now() = 0;
    // Blocks until `until`, handling nothing meanwhile.
    virtual void SleepUntil(TimePoint until) = 0;
};

class SteadyPlayClock : public PlayClock {
public:
    TimePoint Now() override { return Clock::now(); }
    void SleepUntil(TimePoint until) override { std::this_thread::sleep_until(until); }
};

}  // namespace qg
