#pragma once
// A play clock for tests: time stands still until a test moves it, and a
// pause moves it at once instead of sleeping.

#include "core/PlayClock.h"

namespace qg::test {

class FakePlayClock : public PlayClock {
public:
    TimePoint Now() override { return now; }
    void SleepUntil(TimePoint until) override {
        if (until > now) now = until;
    }
    void Advance(Duration d) { now += d; }

    TimePoint now{std::chrono::hours(1)};
};

}  // namespace qg::test
