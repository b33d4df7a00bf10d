#pragma once
// The board as assistive tools see it: one child per place of the current
// puzzle (TORVANE's plates, PELLORA's cells, NUBBLER's plates, CIRRELA's
// rings) in the keyboard cursor's order, each named by what it holds and with
// the actions "Turn left" and "Turn right"; the position in one sentence as
// the board's description; TORVANE's target and CIRRELA's pattern as objects
// of their own; and the position's text form, for tools that play or check.

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

#include "core/Game.h"
#include "core/Puzzle.h"

namespace qg {

class BoardBox;

// Lives as a child of the board widget, whose accessible interface reads the
// game through it. The main window tells it when the board may have changed
// and when the keyboard cursor moved.
class BoardAccess : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<int()> language;
        // The keyboard cursor's place on the current board, -1 for none.
        std::function<int()> cursorPlace;
        // A press at board point (x, y), as a click there makes it.
        std::function<void(Turn, int x, int y)> press;
        // F3: a hint, or the hinted move while one shows.
        std::function<void()> hint;
    };
    BoardAccess(BoardBox& box, Game& game, Hooks hooks);

    // What the board holds now.
    int GameIndex() const { return game_.GameIndex(); }
    int PlaceCount() const;
    Rect PlaceRect(int place) const;
    QString PlaceName(int place) const;
    QString Sentence() const;
    // The puzzle's name and its position's text form, "NUBBLER 01234567 ...".
    QString Code() const;
    // TORVANE's target or CIRRELA's pattern in words; empty for the others.
    QString Picture() const;
    int CursorPlace() const { return hooks_.cursorPlace(); }
    int Language() const { return hooks_.language(); }
    BoardBox& box() const { return box_; }

    // An assistive tool's action on a place: the press at its centre, made
    // once the tool's call has returned (a solve opens windows that wait).
    void Turn(int place, qg::Turn turn);
    // The board's own action: F3, once the tool's call has returned.
    void Hint();
    // What the board's description adds to the sentence: the key of the hints.
    QString HintNote() const;

    // After anything that may have changed the board: tells the tools what
    // did. A turn renames the place turned (one event), and the sentence
    // and the text form change with it; another puzzle or size gives other children.
    void Update();
    // After the keyboard cursor moved: its place is the focused child.
    void CursorMoved();

    // The board's parts as their accessible children list them: the places,
    // then the picture (if any), then the text form.
    enum class Part { Place, Picture, Code };
    struct Child {
        Part part;
        int index;  // the place, for places
    };
    std::vector<Child> Children() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int TurnedPlace(const QString& before) const;
    void AnnounceFocus();

    BoardBox& box_;
    Game& game_;
    Hooks hooks_;
    // What the tools were last told.
    int shownGame_ = -1;
    std::vector<QString> shownNames_;
    QString shownSentence_, shownCode_, shownPicture_;
    int focusedPlace_ = -1;
};

// Installs the factory that gives the board widget its accessible interface.
void InstallBoardAccessible();

}  // namespace qg
