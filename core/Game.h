#pragma once
// The rules that run between the puzzles: the four puzzle sessions and their
// State, the clock's count, Mix, Option, the solved sequence, the table key
// and the pacing of a move's frames. No Qt: the window reaches the player
// through GameShell, and the puzzles reach the game through PuzzleHost.

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/PlayClock.h"
#include "core/Puzzle.h"
#include "core/PuzzleRecord.h"
#include "core/Random.h"

namespace qg {

struct PuzzleSession {
    std::uint8_t State = kStateNotPrepared;
    std::int32_t Elapsed = 0;  // 200 ms periods spent current and in play
    // A hint was shown since the last Mix: the solve then earns no entry.
    bool Hinted = false;
};

inline constexpr std::chrono::milliseconds kTickPeriod{200};

// What the rules need from the window: a screen, a speaker, the clock's
// timer and the windows that speak to the player.
class GameShell {
public:
    virtual ~GameShell() = default;
    virtual Surface& Screen() = 0;
    virtual void Present(const Rect& r) = 0;
    virtual void PlaySound(Sound sound) = 0;
    virtual void PaintClock(int elapsed) = 0;  // timboxPaint
    // The 200 ms timer, disabled around the windows that must not count.
    virtual void StopTimer() = 0;
    virtual void StartTimer() = 0;
    virtual bool AskGiveUp() = 0;  // true: give the puzzle up; false: keep playing
    virtual void ShowSolved() = 0;
    virtual void ShowHighscores(const std::string& tableKey, int elapsed) = 0;
};

class Game : public PuzzleHost {
public:
    Game(GameShell& shell, std::span<const PuzzleRecord> records);
    ~Game() override;

    // The puzzles in GameIndex order, made on this game as their host.
    void SetPuzzles(std::vector<std::unique_ptr<Puzzle>> puzzles);
    // Tests put in a clock that never sleeps.
    void UseClock(PlayClock& clock) { clock_ = &clock; }

    // Start-up: every session not prepared, then the puzzle at gameIndex
    // (whose sheet is already in place) prepared and ready.
    void Start(int gameIndex, Surface sheet);
    // Makes another puzzle current with its freshly loaded sheet; a puzzle
    // shown for the first time is prepared, any other resumes as it was left.
    void SwitchTo(int gameIndex, Surface sheet);

    // The board events: Draw, then the clock; presses to the current puzzle.
    void Paint();
    void LeftClick(int x, int y);
    void RightClick(int x, int y);
    // The Mix and Option commands, the give-up question included.
    void Mix();
    void Option(bool up);
    // A hint was shown on the current puzzle. Its solve still plays the
    // solved sequence, but the high scores then open only to be looked at;
    // Mix, or a new size or level, clears the mark. The clock runs on.
    void NoteHintShown() { Current().Hinted = true; }
    bool HintShown() const { return Current().Hinted; }
    // One tick of the 200 ms timer: counts the play time of the current
    // session. True when Elapsed grew (the clock was repainted).
    bool Tick();
    // Whether the clock has anything to count now.
    bool InPlay() const { return Current().State == kStateInPlay; }
    // The timer is disabled around a window that must not count.
    void StopClock();
    void StartClock();
    // Runs `window` (one that must not count: pause, high scores, help,
    // about, the quit question, an error) with the clock stopped, and starts
    // it again however the window ends; what the window returns.
    template <class Window>
    auto WithClockStopped(Window&& window) {
        StopClock();
        struct Restart {
            Game& game;
            ~Restart() { game.StartClock(); }
        } restart{*this};
        return window();
    }
    // Pausing means something only while the clock counts.
    bool MayPause() const { return InPlay(); }

    // The option (board size or level) of puzzle gameIndex, kept within its range.
    void SetOption(int gameIndex, int option);
    int OptionOf(int gameIndex);

    void MakeTableKey();
    const std::string& TableKey() const { return TableKey_; }

    int GameIndex() const { return GameIndex_; }
    const PuzzleRecord& CurrentRecord() const { return records_[static_cast<std::size_t>(GameIndex_)]; }
    PuzzleSession& Session(int gameIndex) { return sessions_.at(static_cast<std::size_t>(gameIndex)); }
    Puzzle& PuzzleAt(int gameIndex) { return *puzzles_.at(static_cast<std::size_t>(gameIndex)); }
    int PuzzleCount() const { return static_cast<int>(records_.size()); }
    RandomSource& randomSource() { return random_; }

    // PuzzleHost.
    Surface& Sheet() override { return sheet_; }
    Surface& Composition() override { return composition_; }
    Surface& Screen() override { return shell_.Screen(); }
    void Present(const Rect& r) override { shell_.Present(r); }
    void PlaySound(Sound sound) override { shell_.PlaySound(sound); }
    void Pause(int ms) override;
    void PuzzleSolved() override;
    std::uint8_t State() const override { return Current().State; }
    void SetState(std::uint8_t state) override;
    int Random(int n) override { return random_.Random(n); }

private:
    PuzzleSession& Current() { return sessions_[static_cast<std::size_t>(GameIndex_)]; }
    const PuzzleSession& Current() const { return sessions_[static_cast<std::size_t>(GameIndex_)]; }
    Puzzle& CurrentPuzzle() { return *puzzles_[static_cast<std::size_t>(GameIndex_)]; }
    // Asks before a puzzle in play is given up; false when the player keeps on.
    bool MayGiveUp();
    // Counts the whole periods of play up to now, and starts or stops the
    // count as the current session, its State and the timer say.
    void CountPlayTime();
    void ResetClock();

    GameShell& shell_;
    std::span<const PuzzleRecord> records_;
    std::vector<std::unique_ptr<Puzzle>> puzzles_;
    std::vector<PuzzleSession> sessions_;
    int GameIndex_ = 0;
    std::string TableKey_;
    RandomSource random_;
    Surface sheet_;
    Surface composition_;

    SteadyPlayClock steadyClock_;
    PlayClock* clock_ = &steadyClock_;
    bool clockEnabled_ = true;
    // While the current session is in play and the timer enabled: the start
    // of the period being counted.
    std::optional<PlayClock::TimePoint> countFrom_;
    PlayClock::TimePoint lastPauseEnd_{};
    PlayClock::Duration lastPauseLate_{};
};

}  // namespace qg
