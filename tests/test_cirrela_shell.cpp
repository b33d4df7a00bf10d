// CIRRELA inside the real main window: presses on the rules area never reach
// the rings, and the pattern preview survives a switch to another puzzle.

#include <QImage>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "puzzles/Cirrela.h"
#include "shell/Dialogs.h"
#include "shell/MainForm.h"
#include "sheets/SheetLoader.h"
#include "tests/ShellFixture.h"

namespace qg {
namespace {

const Surface& FileSheet() {
    static const std::optional<Surface> sheet = LoadSheet(QString(QG_PROGRAM_DIR), kCirrelaRecord);
    if (!sheet) throw std::runtime_error(std::string(kCirrelaRecord.sheetFile) + " missing");
    return *sheet;
}

// Whether the board shows level's pattern in the preview place, both in the
// screen image and in what the widget really paints.
bool ShowsPreview(TMainForm& form, int level) {
    const QImage shown = form.box()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int v = 0; v < kCirrelaPreviewPlace.h; ++v)
        for (int u = 0; u < kCirrelaPreviewPlace.w; ++u) {
            const std::uint32_t want = FileSheet().pixel(kCirrelaPreviewX + u, kCirrelaPreviewH * (level - 1) + v);
            const int x = kCirrelaPreviewPlace.x + u, y = kCirrelaPreviewPlace.y + v;
            if (form.Screen().pixel(x, y) != want || shown.pixel(x, y) != want) return false;
        }
    return true;
}

class CirrelaInWindow : public ::testing::Test {
protected:
    void SetUp() override {
        form = test::ShowMainForm(windows);
        ASSERT_TRUE(form);
        test::ClickButton(*form, "CirrelaBtn");
        ASSERT_EQ(form->GameIndex(), kCirrela);
    }
    void TearDown() override { EXPECT_EQ(windows.errors, std::vector<std::string>{}); }
    Cirrela& puzzle() { return static_cast<Cirrela&>(form->PuzzleAt(kCirrela)); }

    test::ConfigHome config;
    test::ScriptedWindows windows;
    std::unique_ptr<TMainForm> form;
};

TEST_F(CirrelaInWindow, PressesOnTheRulesAreaMoveNothing) {
    const Rect rules = kCirrelaRecord.rulesRect;
    const CirrelaBalls balls = puzzle().Balls();
    const Surface screen = form->Screen();
    const std::uint8_t state = form->Session(kCirrela).State;
    for (auto [x, y] : {std::pair{400, 300}, {rules.x, rules.y}, {rules.x + rules.w - 1, rules.y + rules.h - 1},
                        {rules.x, rules.y + rules.h - 1}})
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
            SCOPED_TRACE(testing::Message() << x << "," << y);
            test::ClickBoard(*form, x, y, button);
            EXPECT_EQ(puzzle().Balls(), balls);
            EXPECT_EQ(form->Session(kCirrela).State, state);
            EXPECT_TRUE(std::equal(screen.data(), screen.data() + 500 * 333, form->Screen().data()));
        }
    // Just outside it the same press turns the right ring.
    test::ClickBoard(*form, rules.x - 1, rules.y + 10);
    EXPECT_NE(puzzle().Balls(), balls);
    EXPECT_EQ(form->Session(kCirrela).State, kStateInPlay);
}

TEST_F(CirrelaInWindow, PreviewShowsTheLevelAgainAfterASwitchAway) {
    const int start = puzzle().Level();
    EXPECT_TRUE(ShowsPreview(*form, start));
    // The upper-right half of the option button raises the level, the rest lowers it.
    const int level = start < 4 ? start + 1 : start - 1;
    test::ClickButton(*form, "OptionBtn", start < 4 ? QPoint(20, 3) : QPoint(3, 20));
    ASSERT_EQ(puzzle().Level(), level);
    EXPECT_TRUE(ShowsPreview(*form, level));
    test::ClickBoard(*form, 100, 100);
    const CirrelaBalls balls = puzzle().Balls();
    const Surface board = form->Screen();

    test::ClickButton(*form, "NubblerBtn");
    ASSERT_EQ(form->GameIndex(), kNubbler);
    test::ClickButton(*form, "CirrelaBtn");
    ASSERT_EQ(form->GameIndex(), kCirrela);

    EXPECT_EQ(puzzle().Level(), level);
    EXPECT_EQ(puzzle().Balls(), balls);
    EXPECT_TRUE(ShowsPreview(*form, level));
    EXPECT_TRUE(std::equal(board.data(), board.data() + 500 * 333, form->Screen().data()));
}

}  // namespace
}  // namespace qg
