#pragma once
// The board paint box and the invisible rules area over it.

#include <QWidget>

#include <functional>
#include <optional>

#include "core/Surface.h"
#include "shell/HintArrow.h"

namespace qg {

// Shows the board's retained screen image and nothing else: the puzzles draw
// into Screen() and present rectangles with Present(), which paints them at
// once. Presses go to the handler installed by the main window.
class BoardBox : public QWidget {
    Q_OBJECT
public:
    explicit BoardBox(QWidget* parent = nullptr);

    Surface& Screen() { return screen_; }
    // Pushes rectangle r of the screen image to the display before returning.
    void Present(const Rect& r);

    // The keyboard cursor: a ring drawn over the screen image around r (board
    // coordinates), never into it; nothing hides it.
    void ShowCursor(std::optional<Rect> r);
    const std::optional<Rect>& CursorRing() const { return cursor_; }
    // The hint's arrow, drawn over the screen image like the ring.
    void ShowHint(std::optional<HintArrow> arrow);
    const std::optional<HintArrow>& Hint() const { return hint_; }

    std::function<void(Qt::MouseButton, int x, int y)> onMouseDown;
    // A key pressed while the board has the focus; false passes it on.
    std::function<bool(QKeyEvent*)> onKey;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Surface screen_;
    std::optional<Rect> cursor_;
    std::optional<HintArrow> hint_;
};

// Lies over part of the board, carries the rules as its tooltip and takes
// every press inside it, so none reaches the puzzle.
class RulesShape : public QWidget {
    Q_OBJECT
public:
    explicit RulesShape(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent*) override {}
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace qg
