#pragma once
// The hints: F3 asks for one, the search runs off the window's thread, and
// the answer shows as the cursor on the place to press and an arrow for the
// turn. F3 while a hint shows makes that move; the next hint then follows
// the same solution without a new search. Whatever changes the position
// drops the hint and any search still running for the old one.

#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "solve/Solve.h"

namespace qg {

class HintController : public QObject {
    Q_OBJECT
public:
    // What the controller needs from the window.
    struct Window {
        std::function<int()> gameIndex;
        std::function<std::string()> position;      // the current puzzle's position as Encode writes it
        std::function<bool()> solved;               // F3 does nothing on a solved board
        std::function<void(Move)> show;             // cursor and arrow for this move
        std::function<void()> hide;                 // the arrow away
        std::function<void(Move)> play;             // the move, as a press makes it
        std::function<void()> noteShown;            // the fairness rule
    };
    // Runs a search job somewhere; the job may be run on any thread, at any
    // time, or never. Tests put in one that holds the jobs until told.
    using Runner = std::function<void(std::function<void()> job)>;

    explicit HintController(Window window, QObject* parent = nullptr);
    ~HintController() override;

    void UseRunner(Runner runner) { runner_ = std::move(runner); }

    // F3: a hint, or the hinted move when one shows.
    void Request();
    // The position changed (a press, Mix, a new size, another puzzle): the
    // arrow goes and a search for the old position is dropped.
    void PositionChanged();
    // Any other key or press: the arrow goes, the position stays.
    void Clear();

    bool Showing() const { return shown_.has_value(); }
    bool Searching() const { return searching_; }

private:
    struct Job;
    void Show(const Move& m);
    std::optional<Move> Planned(const std::string& position) const;
    void Finished(unsigned generation, int game, std::string position, std::optional<std::vector<SolutionStep>> steps);
    void Drop();

    Window window_;
    Runner runner_;
    unsigned generation_ = 0;
    bool searching_ = false;
    std::shared_ptr<SolveStop> stop_;
    // The solution being followed, for the puzzle it was found on.
    int planGame_ = -1;
    std::vector<SolutionStep> plan_;
    std::optional<Move> shown_;
};

// The position of puzzle gameIndex as its Encode writes it.
std::string PositionText(Puzzle& puzzle, int gameIndex);

// Runs each job on a thread of Qt's global pool.
HintController::Runner PoolRunner();

}  // namespace qg
