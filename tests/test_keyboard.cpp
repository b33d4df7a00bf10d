// Playing without a mouse: the cursor over each board, keys that turn as the
// mouse buttons do, a key for every command, and names for screen readers.

#include <QAccessible>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <QKeyEvent>

#include <array>
#include <functional>

#include "puzzles/PuzzleRecords.h"
#include "shell/BoardCursor.h"
#include "tests/ShellFixture.h"
#include "tests/TestSupport.h"
#include "tests/SolvedBoards.h"

namespace qg::test {
namespace {

QPoint Centre(const Rect& r) { return {r.x + r.w / 2, r.y + r.h / 2}; }

void Key(TMainForm& form, int key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(form.windowHandle(), static_cast<Qt::Key>(key), modifiers);
}

TEST(NextPlace, FollowsTheNearestPlaceWithinTheDirection) {
    // A 3 x 2 grid and one place far to the lower right.
    const std::vector<Rect> places = {{0, 0, 10, 10},    {100, 0, 10, 10}, {200, 0, 10, 10},
                                      {0, 100, 10, 10},  {100, 100, 10, 10}, {200, 100, 10, 10},
                                      {400, 300, 10, 10}};
    struct Case {
        int from;
        CursorStep step;
        std::optional<int> to;
    };
    const Case cases[] = {
        {0, CursorStep::Right, 1}, {1, CursorStep::Right, 2}, {2, CursorStep::Right, std::nullopt},
        {0, CursorStep::Left, std::nullopt}, {4, CursorStep::Up, 1}, {1, CursorStep::Down, 4},
        {5, CursorStep::Down, 6}, {6, CursorStep::Up, 5}, {6, CursorStep::Left, 5},
        {3, CursorStep::Up, 0}, {-1, CursorStep::Up, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(NextPlace(places, c.from, c.step), c.to) << c.from << " " << int(c.step);
    EXPECT_EQ(NearestPlace(places, 190, 95), 5);
}

TEST(BoardCursor, KeepsAPlacePerPuzzleAndTheNearestWhenThePlacesChange) {
    const std::vector<Rect> grid = {{0, 0, 10, 10}, {100, 0, 10, 10}, {0, 100, 10, 10}, {100, 100, 10, 10}};
    BoardCursor cursor(2);
    for (int puzzle : {0, 1}) cursor.Home(puzzle, grid);
    cursor.Step(0, grid, CursorStep::Right);
    cursor.Step(0, grid, CursorStep::Down);
    EXPECT_EQ(cursor.Place(0, grid), 3);
    EXPECT_EQ(cursor.Place(1, grid), 0);  // the other puzzle's cursor stayed
    cursor.Step(0, grid, CursorStep::Right);  // nothing further right
    EXPECT_EQ(cursor.Place(0, grid), 3);
    // Other places (a new size): the one nearest to where it stood, then on from there.
    const std::vector<Rect> wider = {{0, 0, 10, 10}, {90, 120, 10, 10}, {300, 120, 10, 10}};
    EXPECT_EQ(cursor.Place(0, wider), 1);
    cursor.Step(0, wider, CursorStep::Right);
    EXPECT_EQ(cursor.Place(0, wider), 2);
    cursor.Home(0, wider);
    EXPECT_EQ(cursor.Place(0, wider), 0);
    EXPECT_EQ(cursor.Place(0, {}), -1);
}

// Two windows with the same position on the same puzzle: one is played with
// keys, the other with the mouse where the cursor stands.
class KeysAgainstMouse : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        for (int i = 0; i < 2; ++i) {
            form[i] = ShowMainForm(windows[i], GameDir(), &clock[i]);
            ASSERT_TRUE(form[i]);
            form[i]->SelectGame(GetParam());
            form[i]->randomSource().Seed(77);
            form[i]->MixBtnClick();
            if (GetParam() == kTorvane)
                static_cast<Torvane&>(form[i]->PuzzleAt(kTorvane)).SetPosition(TorvanePattern(2), TorvanePattern(3));
            form[i]->boxPaint();
        }
    }
    ConfigHome config;
    std::array<ScriptedWindows, 2> windows;
    std::array<FakePlayClock, 2> clock;
    std::array<std::unique_ptr<TMainForm>, 2> form;
};

TEST_P(KeysAgainstMouse, TurnTheSameWayThroughTheSameHit) {
    TMainForm& keys = *form[0];
    TMainForm& mouse = *form[1];
    ASSERT_TRUE(SameSurface(keys.Screen(), mouse.Screen()));
    struct Step {
        int key;
        Qt::KeyboardModifiers modifiers;
    };
    const Step steps[] = {{Qt::Key_Home, {}},  {Qt::Key_Space, {}},  {Qt::Key_Right, {}},
                          {Qt::Key_K, {}},     {Qt::Key_Down, {}},   {Qt::Key_Space, Qt::ShiftModifier},
                          {Qt::Key_J, {}},     {Qt::Key_Left, {}},   {Qt::Key_Up, {}},
                          {Qt::Key_Space, {}}};
    int turns = 0;
    for (const Step& s : steps) {
        Key(keys, s.key, s.modifiers);
        ASSERT_TRUE(keys.box()->CursorRing()) << "a key shows the cursor";
        const bool left = s.key == Qt::Key_J || (s.key == Qt::Key_Space && !(s.modifiers & Qt::ShiftModifier));
        const bool right = s.key == Qt::Key_K || (s.key == Qt::Key_Space && (s.modifiers & Qt::ShiftModifier));
        if (left || right) {
            ++turns;
            const QPoint at = Centre(*keys.box()->CursorRing());
            ClickBoard(mouse, at.x(), at.y(), left ? Qt::LeftButton : Qt::RightButton);
        }
        SCOPED_TRACE(testing::Message() << "key " << s.key);
        EXPECT_TRUE(SameSurface(keys.Screen(), mouse.Screen()));
        EXPECT_EQ(keys.Session(GetParam()).State, mouse.Session(GetParam()).State);
    }
    EXPECT_EQ(keys.Session(GetParam()).State, turns > 0 ? kStateInPlay : kStateReady);
    EXPECT_EQ(windows[0].log, windows[1].log);
}
INSTANTIATE_TEST_SUITE_P(EveryPuzzle, KeysAgainstMouse, ::testing::Range(0, kPuzzleCount),
                         [](const auto& info) { return std::string(Record(info.param).name); });

class Keyboard : public ::testing::Test {
protected:
    void SetUp() override {
        form = ShowMainForm(windows, GameDir(), &clock);
        ASSERT_TRUE(form);
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        windows.log.clear();
    }
    ConfigHome config;
    ScriptedWindows windows;
    FakePlayClock clock;
    std::unique_ptr<TMainForm> form;
};

TEST_F(Keyboard, TheCursorIsDrawnOverTheScreenAndGoesAtAMousePress) {
    const Surface screen = form->Screen();
    const Surface composition = form->game().Composition();
    const Surface sheet = form->game().Sheet();
    const QImage before = form->box()->grab().toImage();
    Key(*form, Qt::Key_Right);
    ASSERT_TRUE(form->box()->CursorRing());
    EXPECT_NE(form->box()->grab().toImage(), before) << "the ring is seen";
    EXPECT_TRUE(SameSurface(screen, form->Screen()));
    EXPECT_TRUE(SameSurface(composition, form->game().Composition()));
    EXPECT_TRUE(SameSurface(sheet, form->game().Sheet()));

    ClickBoard(*form, 2, 2);  // a press on no place
    EXPECT_FALSE(form->box()->CursorRing());
    EXPECT_EQ(form->box()->grab().toImage(), before);
}

TEST_F(Keyboard, TheCursorKeepsASensiblePlaceAcrossSwitchesAndSizes) {
    Key(*form, Qt::Key_Right);
    Key(*form, Qt::Key_Down);
    const Rect onTorvane = *form->box()->CursorRing();
    Key(*form, Qt::Key_2);
    ASSERT_EQ(form->GameIndex(), kPellora);
    EXPECT_EQ(form->focusWidget(), form->box());
    for (int size = 0; size < 4; ++size) Key(*form, Qt::Key_PageUp);  // to the largest board
    for (int i = 0; i < 6; ++i) Key(*form, Qt::Key_Right);             // to its right edge
    Key(*form, Qt::Key_PageDown);
    Key(*form, Qt::Key_PageDown);                                       // the smallest board
    const std::vector<Rect> places = form->PuzzleAt(kPellora).Places();
    ASSERT_EQ(places.size(), 7u);
    ASSERT_TRUE(form->box()->CursorRing());
    EXPECT_NE(std::find_if(places.begin(), places.end(), [&](const Rect& r) {
                  return r.x == form->box()->CursorRing()->x && r.y == form->box()->CursorRing()->y;
              }), places.end()) << "the cursor stands on a cell of the small board";
    Key(*form, Qt::Key_1);
    ASSERT_TRUE(form->box()->CursorRing());
    EXPECT_EQ(form->box()->CursorRing()->x, onTorvane.x);
    EXPECT_EQ(form->box()->CursorRing()->y, onTorvane.y);
}

TEST_F(Keyboard, EveryCommandHasAKeyThroughItsButtonsHandler) {
    struct Case {
        const char* what;
        int key;
        Qt::KeyboardModifiers modifiers;
        std::function<void()> before;
        std::function<void()> check;
    };
    auto log = [&](std::vector<std::string> want) { return [&, want] { EXPECT_EQ(windows.log, want); }; };
    auto inPlay = [&] { form->Session(form->GameIndex()).State = kStateInPlay; };
    const bool sound = Button(*form, "SoundBtn")->isChecked();
    const Case cases[] = {
        {"F2 mixes, asking first in play", Qt::Key_F2, {}, inPlay, log({"giveup"})},
        {"P pauses in play", Qt::Key_P, {}, inPlay, log({"paused"})},
        {"P does nothing when ready", Qt::Key_P, {}, [&] { form->Session(kTorvane).State = kStateReady; }, log({})},
        {"H shows the table", Qt::Key_H, {}, [] {}, log({"highscores torv 0"})},
        {"L asks for the language", Qt::Key_L, {}, [] {}, log({"language"})},
        {"F1 opens help", Qt::Key_F1, {}, [] {}, log({"help"})},
        {"Ctrl+Q asks before quitting", Qt::Key_Q, Qt::ControlModifier, [&] { windows.quitAnswer = 2; }, log({"quit"})},
        {"S switches the sound", Qt::Key_S, {}, [] {},
         [&] { EXPECT_NE(Button(*form, "SoundBtn")->isChecked(), sound); }},
        {"3 shows NUBBLER", Qt::Key_3, {}, [] {}, [&] { EXPECT_EQ(form->GameIndex(), kNubbler); }},
        {"4 shows CIRRELA", Qt::Key_4, {}, [] {}, [&] { EXPECT_EQ(form->GameIndex(), kCirrela); }},
        {"Page Up raises the level", Qt::Key_PageUp, {}, [] {},
         [&] { EXPECT_EQ(form->game().OptionOf(kCirrela), 2); }},
        {"Page Down lowers it again", Qt::Key_PageDown, {}, [] {},
         [&] { EXPECT_EQ(form->game().OptionOf(kCirrela), 1); }},
        {"1 shows TORVANE", Qt::Key_1, {}, [] {}, [&] { EXPECT_EQ(form->GameIndex(), kTorvane); }},
        {"Page Up does nothing on TORVANE", Qt::Key_PageUp, {}, [] {}, log({})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        windows.log.clear();
        c.before();
        Key(*form, c.key, c.modifiers);
        c.check();
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->focusWidget(), form->box()) << "the board has the focus again";
    }
}

// Presses a key, as the system queues it, in the middle of the next pause.
class KeyInTheMove : public FakePlayClock {
public:
    void SleepUntil(TimePoint until) override {
        FakePlayClock::SleepUntil(until);
        if (!window || sent) return;
        sent = true;
        QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier));
    }
    QWindow* window = nullptr;
    bool sent = false;
};

TEST(KeyboardInAMove, AKeyPressedDuringAMoveIsHandledAfterIt) {
    ConfigHome config;
    ScriptedWindows windows;
    KeyInTheMove clock;
    auto form = ShowMainForm(windows, GameDir(), &clock);
    ASSERT_TRUE(form);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    windows.log.clear();
    windows.giveUpAnswer = kAnswerKeepOn;
    clock.window = form->windowHandle();
    Key(*form, Qt::Key_Space);  // a turn of the first plate, with its pauses
    QCoreApplication::processEvents();
    EXPECT_TRUE(clock.sent);
    // F2, pressed during the move, was handled after it: Mix found the
    // puzzle in play and asked before giving it up.
    EXPECT_EQ(windows.log, std::vector<std::string>{"giveup"});
    EXPECT_EQ(form->Session(kTorvane).State, kStateInPlay);
}

// What an assistive tool's Toggle and Press do to a toolbar button.
void DoAction(QWidget* widget, const QString& action) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a->actionInterface(), nullptr);
    ASSERT_TRUE(a->actionInterface()->actionNames().contains(action)) << action.toStdString();
    a->actionInterface()->doAction(action);
}

TEST_F(Keyboard, ToggleThroughAnAssistiveToolKeepsTheGameInStep) {
    const QString toggle = QAccessibleActionInterface::toggleAction();
    // The sound button: its state and its name follow.
    ASSERT_TRUE(form->soundBtn()->isChecked());
    DoAction(form->soundBtn(), toggle);
    EXPECT_FALSE(form->soundBtn()->isChecked());
    EXPECT_EQ(form->soundBtn()->accessibleName(), "Without sound ist is boring.");
    DoAction(form->soundBtn(), toggle);
    EXPECT_EQ(form->soundBtn()->accessibleName(), "I like it without sound-effects.");
    // The music button's name follows as well.
    const QString music = form->midiBtn()->accessibleName();
    DoAction(form->midiBtn(), toggle);
    EXPECT_NE(form->midiBtn()->accessibleName(), music);
    DoAction(form->midiBtn(), toggle);
    EXPECT_EQ(form->midiBtn()->accessibleName(), music);
    // A puzzle button: the board goes with it, and only one button is down.
    for (const auto& [button, game] : {std::pair{"NubblerBtn", kNubbler}, {"PelloraBtn", kPellora}, {"TorvaneBtn", kTorvane}}) {
        SCOPED_TRACE(button);
        DoAction(Button(*form, button), toggle);
        QCoreApplication::processEvents();  // as the accessibility bus's next call would
        EXPECT_EQ(form->GameIndex(), game);
        for (const char* other : {"TorvaneBtn", "PelloraBtn", "NubblerBtn", "CirrelaBtn"})
            EXPECT_EQ(Button(*form, other)->isChecked(), std::string(other) == button) << other;
    }
}

TEST_F(Keyboard, TheOptionButtonAnswersSpaceEnterAndPress) {
    form->SelectGame(kPellora);
    auto& pellora = static_cast<Pellora&>(form->PuzzleAt(kPellora));
    QToolButton* option = Button(*form, "OptionBtn");
    const struct {
        const char* what;
        std::function<void()> press;
    } cases[] = {
        {"Space", [&] { QTest::keyClick(option, Qt::Key_Space); }},
        {"Enter", [&] { QTest::keyClick(option, Qt::Key_Return); }},
        {"Press", [&] { DoAction(option, QAccessibleActionInterface::pressAction()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = pellora.Variant();
        option->setFocus(Qt::TabFocusReason);
        c.press();
        QTRY_COMPARE_WITH_TIMEOUT(pellora.Variant(), before + 1, 2000);  // a Press clicks a moment later
        QTest::qWait(150);
        EXPECT_EQ(pellora.Variant(), before + 1) << "once, not twice";
    }
}

TEST_F(Keyboard, TheBoardIsNamedSolvedOnlyWhileItIs) {
    form->SelectGame(kNubbler);
    LaySolved(form->PuzzleAt(kNubbler), kNubbler);
    const QPoint plate(130, 66);
    ClickBoard(*form, plate.x(), plate.y());
    ClickBoard(*form, plate.x(), plate.y(), Qt::RightButton);  // back: solved
    ASSERT_EQ(form->Session(kNubbler).State, kStateSolved);
    EXPECT_EQ(form->box()->accessibleName(), "NUBBLER board, solved");
    Key(*form, Qt::Key_F2);  // Mix
    EXPECT_EQ(form->Session(kNubbler).State, kStateReady);
    EXPECT_EQ(form->box()->accessibleName(), "NUBBLER board");
}

// The clock's name is its caption and stays so while it counts (a name
// that changed with the time was re-announced five times a second); the
// time is its value.
TEST_F(Keyboard, TheClockIsNamedOnceAndCountsInItsValue) {
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(form->timbox());
    ASSERT_NE(box, nullptr);
    ClickBoard(*form, 105, 105);  // in play
    for (int second = 1; second <= 3; ++second) {
        Ticks(*form, clock, 5);
        EXPECT_EQ(box->text(QAccessible::Name), "Time:");
        EXPECT_EQ(box->text(QAccessible::Value), QString("%1.0 s").arg(second));
        EXPECT_DOUBLE_EQ(box->valueInterface()->currentValue().toDouble(), second);
    }
}

TEST_F(Keyboard, ButtonsClockAndBoardHaveNamesInBothLanguages) {
    struct Case {
        int language;
        const char* button;
        const char* name;
        const char* description;
    };
    const Case cases[] = {
        {0, "MixBtn", "I start again.", "I start again. Key: F2"},
        {0, "NubblerBtn", "NUPBLER is, what I like now.", "NUPBLER is, what I like now. Key: 3"},
        {0, "ExitBtn", "That's enough for now!", "That's enough for now! Key: Ctrl+Q"},
        {0, "InfoBtn", "Who's the QUIRKO GAMES inventor?", "Who's the QUIRKO GAMES inventor?"},
        {1, "MixBtn", "Ich fang neu an.", "Ich fang neu an. Taste: F2"},
        {1, "OptionBtn", "Gibts da kein anderes Muster?", "Gibts da kein anderes Muster? Taste: Bild auf, Bild ab"},
        {1, "TongueBtn", "I don't speak german.", "I don't speak german. Taste: L"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        windows.languageChoice = c.language;
        ClickButton(*form, "TongueBtn");
        EXPECT_EQ(Button(*form, c.button)->accessibleName(), QString::fromUtf8(c.name));
        EXPECT_EQ(Button(*form, c.button)->accessibleDescription(), QString::fromUtf8(c.description));
    }
    // The game is a window to the tools, named by its title.
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(form.get());
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), "Quirko Gyrelle V1.5");
    // The clock says its time; the board says its puzzle, and once solved, that too.
    form->Session(kTorvane).Elapsed = 37;
    form->timboxPaint();
    QAccessibleInterface* clock = QAccessible::queryAccessibleInterface(form->timbox());
    EXPECT_EQ(clock->role(), QAccessible::Clock);
    EXPECT_EQ(clock->text(QAccessible::Name), "Zeit:");
    EXPECT_EQ(clock->text(QAccessible::Value), "7,4 s");
    ASSERT_NE(clock->valueInterface(), nullptr);
    EXPECT_DOUBLE_EQ(clock->valueInterface()->currentValue().toDouble(), 7.4);
    EXPECT_EQ(form->box()->accessibleName(), "TORVANE-Brett");
    auto& torvane = static_cast<Torvane&>(form->PuzzleAt(kTorvane));
    torvane.SetPosition(TorvanePattern(3), TorvanePattern(3));
    ClickBoard(*form, 105, 105);  // turns away from the target
    for (int i = 0; i < 3; ++i) ClickBoard(*form, 105, 105);  // and back: solved
    EXPECT_EQ(form->box()->accessibleName(), QString::fromUtf8("TORVANE-Brett, gelöst"));
}

}  // namespace
}  // namespace qg::test
