#pragma once
// A recording PuzzleHost for the puzzle tests: it records every presented
// frame (with a copy of the screen), pause, sound and solved call in order,
// never sleeps, and gives scripted or seeded random numbers.

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Puzzle.h"
#include "core/Random.h"

namespace qg::test {

struct HostEvent {
    enum Kind { Present, Pause, Sound, Solved } kind;
    int value = 0;   // ms for Pause, the effect's number for Sound
    Rect rect{};     // for Present
    Surface screen;  // for Present: the whole screen image as it was shown
};

class FakeHost : public PuzzleHost {
public:
    explicit FakeHost(Surface sheet = Surface(1, 1))
        : sheet_(std::move(sheet)), composition_(kBoardWidth, kBoardHeight), screen_(kBoardWidth, kBoardHeight) {}

    Surface& Sheet() override { return sheet_; }
    Surface& Composition() override { return composition_; }
    Surface& Screen() override { return screen_; }

    void Present(const Rect& r) override {
        if (recordFrames) events.push_back({HostEvent::Present, 0, r, screen_});
        else events.push_back({HostEvent::Present, 0, r, Surface()});
    }
    void PlaySound(qg::Sound sound) override {
        events.push_back({HostEvent::Sound, static_cast<int>(sound), {}, Surface()});
    }
    void Pause(int ms) override { events.push_back({HostEvent::Pause, ms, {}, Surface()}); }
    void PuzzleSolved() override {
        events.push_back({HostEvent::Solved, 0, {}, Surface()});
        ++solvedCalls;
        // The shell's own rule: a second call in State 3 does nothing.
        if (state != kStateSolved) {
            state = kStateSolved;
            ++solvedCount;
        }
    }

    std::uint8_t State() const override { return state; }
    void SetState(std::uint8_t s) override { state = s; }

    // Scripted numbers are used first (each must be < n), then the seeded source.
    int Random(int n) override {
        ++randomCalls;
        randomArgs.push_back(n);
        if (!script.empty()) {
            const int v = script.front();
            script.pop_front();
            if (v < 0 || v >= n) throw std::logic_error("scripted random value out of range");
            return v;
        }
        return source.Random(n);
    }

    // Events of one kind, in order.
    std::vector<const HostEvent*> Only(HostEvent::Kind kind) const {
        std::vector<const HostEvent*> out;
        for (const auto& e : events)
            if (e.kind == kind) out.push_back(&e);
        return out;
    }
    // A compact trace such as "S4 F F P30 F P30": sounds, frames, pauses, solved.
    std::string Trace() const {
        std::string out;
        for (const auto& e : events) {
            if (!out.empty()) out += ' ';
            switch (e.kind) {
            case HostEvent::Present: out += 'F'; break;
            case HostEvent::Pause: out += 'P' + std::to_string(e.value); break;
            case HostEvent::Sound: out += 'S' + std::to_string(e.value); break;
            case HostEvent::Solved: out += 'V'; break;
            }
        }
        return out;
    }
    void Clear() { events.clear(); }

    std::uint8_t state = kStateReady;
    int solvedCount = 0;  // solves the shell counts: calls outside State 3
    int solvedCalls = 0;  // every call, so that a second report shows
    bool recordFrames = true;
    std::vector<HostEvent> events;
    std::deque<int> script;
    std::vector<int> randomArgs;
    int randomCalls = 0;
    RandomSource source{12345};

private:
    Surface sheet_;
    Surface composition_;
    Surface screen_;
};

}  // namespace qg::test
