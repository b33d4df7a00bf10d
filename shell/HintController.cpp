#include "shell/HintController.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QThreadPool>

namespace qg {

std::string PositionText(Puzzle& puzzle, int gameIndex) {
    switch (gameIndex) {
    case kTorvane: return Encode(static_cast<Torvane&>(puzzle).Position());
    case kPellora: return Encode(static_cast<Pellora&>(puzzle).Position());
    case kNubbler: return Encode(static_cast<Nubbler&>(puzzle).Position());
    case kCirrela: return Encode(static_cast<Cirrela&>(puzzle).Position());
    default: return {};
    }
}

HintController::Runner PoolRunner() {
    return [](std::function<void()> job) { QThreadPool::globalInstance()->start(std::move(job)); };
}

HintController::HintController(Window window, QObject* parent)
    : QObject(parent), window_(std::move(window)), runner_(PoolRunner()) {}

HintController::~HintController() { Drop(); }

std::optional<Move> HintController::Planned(const std::string& position) const {
    if (planGame_ != window_.gameIndex()) return std::nullopt;
    for (const SolutionStep& step : plan_)
        if (step.before == position) return step.move;
    return std::nullopt;
}

void HintController::Request() {
    if (window_.solved()) return;
    if (shown_) {
        const Move m = *shown_;
        window_.play(m);  // the press changes the position, which clears the arrow
        return;
    }
    const std::string position = window_.position();
    if (const auto m = Planned(position)) {
        Show(*m);
        return;
    }
    if (searching_) return;  // its answer is on the way
    Drop();
    searching_ = true;
    const unsigned generation = generation_;
    const int game = window_.gameIndex();
    auto stop = std::make_shared<SolveStop>(false);
    stop_ = stop;
    QPointer<HintController> self(this);
    runner_([self, stop, generation, game, position] {
        auto steps = SolveSteps(game, position, stop.get());
        if (stop->load()) return;
        // Back on the window's thread; dropped there if the window went.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, generation, game, position, steps = std::move(steps)]() mutable {
                if (self) self->Finished(generation, game, position, std::move(steps));
            },
            Qt::QueuedConnection);
    });
}

void HintController::Finished(unsigned generation, int game, std::string position,
                              std::optional<std::vector<SolutionStep>> steps) {
    // A search for a position no longer on the board never shows.
    if (generation != generation_ || game != window_.gameIndex() || position != window_.position()) return;
    searching_ = false;
    stop_.reset();
    if (!steps || steps->empty()) return;
    planGame_ = game;
    plan_ = std::move(*steps);
    Show(plan_.front().move);
}

void HintController::Show(const Move& m) {
    shown_ = m;
    window_.noteShown();
    window_.show(m);
}

void HintController::Drop() {
    ++generation_;
    searching_ = false;
    if (stop_) stop_->store(true);
    stop_.reset();
}

void HintController::PositionChanged() {
    Clear();
    Drop();
}

void HintController::Clear() {
    if (!shown_) return;
    shown_.reset();
    window_.hide();
}

}  // namespace qg
