#include "core/Game.h"

#include <algorithm>

namespace qg {

Game::Game(GameShell& shell, std::span<const PuzzleRecord> records)
    : shell_(shell), records_(records), sessions_(records.size()) {}

Game::~Game() = default;

void Game::SetPuzzles(std::vector<std::unique_ptr<Puzzle>> puzzles) { puzzles_ = std::move(puzzles); }

void Game::Start(int gameIndex, Surface sheet) {
    for (PuzzleSession& s : sessions_) s = PuzzleSession{};
    GameIndex_ = gameIndex;
    sheet_ = std::move(sheet);
    composition_ = Surface(kBoardWidth, kBoardHeight);
    CurrentPuzzle().Prepare();
    Current().State = kStateReady;
    countFrom_.reset();
}

void Game::SwitchTo(int gameIndex, Surface sheet) {
    if (gameIndex == GameIndex_) return;
    // The session left behind keeps what it counted so far and stands still.
    CountPlayTime();
    countFrom_.reset();
    GameIndex_ = gameIndex;
    sheet_ = std::move(sheet);
    if (Current().State == kStateNotPrepared) {
        CurrentPuzzle().Prepare();
        Current().State = kStateReady;
    }
    CountPlayTime();
}

void Game::Paint() {
    CurrentPuzzle().Draw();
    shell_.PaintClock(Current().Elapsed);
}

void Game::LeftClick(int x, int y) { CurrentPuzzle().LeftClick(x, y); }
void Game::RightClick(int x, int y) { CurrentPuzzle().RightClick(x, y); }

bool Game::MayGiveUp() { return Current().State != kStateInPlay || shell_.AskGiveUp(); }

void Game::ResetClock() {
    Current().Elapsed = 0;
    shell_.PaintClock(0);
}

void Game::Mix() {
    WithClockStopped([this] {
        if (!MayGiveUp()) return;
        CurrentPuzzle().Shuffle();
        Current().Hinted = false;
        // TORVANE's board stays as it is: only its target is new.
        if (CurrentRecord().mixDrawsTargetOnly) CurrentPuzzle().DrawTarget();
        else CurrentPuzzle().Draw();
        ResetClock();
        SetState(kStateReady);
    });
}

void Game::Option(bool up) {
    WithClockStopped([this, up] {
        if (!MayGiveUp()) return;
        // A new size or level sets the State through the puzzle's own Shuffle; at
        // either end of the range nothing changes but the clock.
        if (CurrentRecord().HasOption()) {
            const int before = CurrentPuzzle().Option();
            CurrentPuzzle().ChangeOption(up);
            if (CurrentPuzzle().Option() != before) Current().Hinted = false;  // a new task
            ResetClock();
        }
    });
}

void Game::PuzzleSolved() {
    if (Current().State == kStateSolved) return;
    CountPlayTime();  // the play time up to the solving move counts
    SetState(kStateSolved);
    // The table gets what the clock shows: the periods no tick showed yet
    // are on it before anything else of the solved sequence.
    shell_.PaintClock(Current().Elapsed);
    shell_.PlaySound(Sound::Solved);
    shell_.ShowSolved();
    MakeTableKey();
    // After a hint the table is only shown, as from the menu: no entry.
    shell_.ShowHighscores(TableKey_, Current().Hinted ? 0 : Current().Elapsed);
}

void Game::SetState(std::uint8_t state) {
    Current().State = state;
    CountPlayTime();
}

bool Game::Tick() {
    const std::int32_t before = Current().Elapsed;
    CountPlayTime();
    if (Current().Elapsed == before) return false;
    shell_.PaintClock(Current().Elapsed);
    return true;
}

void Game::CountPlayTime() {
    // Play time is counted in whole periods of the monotonic clock, so a
    // period whose tick could not run (a move was being drawn) is made up at
    // the next tick instead of being lost.
    const PlayClock::TimePoint now = clock_->Now();
    if (countFrom_ && now > *countFrom_) {
        const auto periods = (now - *countFrom_) / kTickPeriod;
        Current().Elapsed += static_cast<std::int32_t>(periods);
        *countFrom_ += periods * kTickPeriod;
    }
    const bool counting = clockEnabled_ && Current().State == kStateInPlay;
    if (!counting) countFrom_.reset();
    else if (!countFrom_) countFrom_ = now;
}

void Game::StopClock() {
    CountPlayTime();
    clockEnabled_ = false;
    countFrom_.reset();
    shell_.StopTimer();
}

void Game::StartClock() {
    clockEnabled_ = true;
    CountPlayTime();
    shell_.StartTimer();
}

void Game::SetOption(int gameIndex, int option) {
    const PuzzleRecord& record = records_[static_cast<std::size_t>(gameIndex)];
    if (!record.HasOption()) return;
    PuzzleAt(gameIndex).SetOption(std::clamp(option, record.optionMin, record.optionMax));
}

int Game::OptionOf(int gameIndex) { return PuzzleAt(gameIndex).Option(); }

void Game::MakeTableKey() {
    TableKey_ = CurrentRecord().tableKey;
    if (CurrentRecord().HasOption()) TableKey_ += std::to_string(CurrentPuzzle().Option());
}

void Game::Pause(int ms) {
    // Blocks without handling any event: presses made meanwhile wait in the
    // queue and are handled in order afterwards.
    if (ms <= 0) return;
    const auto wanted = std::chrono::duration_cast<PlayClock::Duration>(std::chrono::milliseconds(ms));
    auto start = clock_->Now();
    // The system wakes us a little late every time. Within one move (the
    // previous pause ended moments ago) that lateness is taken off this pause,
    // so a move's pauses add up to what it asked for instead of drifting.
    if (start - lastPauseEnd_ < wanted) start -= std::min(lastPauseLate_, wanted);
    const auto until = start + wanted;
    clock_->SleepUntil(until);
    lastPauseEnd_ = clock_->Now();
    lastPauseLate_ = std::max(PlayClock::Duration::zero(), lastPauseEnd_ - until);
}

}  // namespace qg
