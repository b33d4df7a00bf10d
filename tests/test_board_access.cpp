// The board read by assistive tools: every place a child with its contents
// in words and the turns as actions, the position in one sentence, the
// toolbar's actions, the keyboard focus mark and the help window's keys.
// The offscreen platform has no accessibility bus, and Qt drops events no
// tool listens to: the tests ask the interfaces directly and hear the
// events through the game's own listener.

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QTemporaryDir>
#include <QImage>
#include <QTextBrowser>
#include <QTextCursor>
#include <QRegularExpression>
#include <QTest>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "puzzles/PuzzleRecords.h"
#include "shell/ToolAccess.h"
#include "shell/BoardWords.h"
#include "shell/HelpAccessible.h"
#include "shell/HelpWindow.h"
#include "shell/ToolbarAccessible.h"
#include "tests/PositionSamples.h"
#include "tests/ShellFixture.h"
#include "tests/SolvedBoards.h"

namespace qg::test {
namespace {

template <class Position>
Position Golden(const char* code) {
    const std::optional<Position> p = Decode<Position>(code);
    EXPECT_TRUE(p.has_value()) << code;
    return p.value_or(Position{});
}

// ---- The words, from positions read back from their text form ----

TEST(BoardWords, NamePiecesByColourAndMarkInBothLanguages) {
    const char* english[] = {"red dot", "yellow ring", "blue bar", "green cross",
                             "orange triangle", "violet diamond", "cyan two dots", "white square"};
    const char* german[] = {"rot mit Punkt", "gelb mit Ring", "blau mit Balken", "grün mit Kreuz",
                            "orange mit Dreieck", "violett mit Raute", "türkis mit zwei Punkten", "weiß mit Quadrat"};
    for (int c = 1; c <= kPieceColours; ++c) {
        EXPECT_EQ(PieceWords(c, 0), QString::fromUtf8(english[c - 1]));
        EXPECT_EQ(PieceWords(c, 1), QString::fromUtf8(german[c - 1]));
    }
    EXPECT_EQ(PieceWords(0, 0), "empty");
}

struct WordsCase {
    const char* what;
    QString words;
    const char* expected;
};

void ExpectWords(const std::vector<WordsCase>& cases) {
    for (const WordsCase& c : cases) EXPECT_EQ(c.words, QString::fromUtf8(c.expected)) << c.what;
}

TEST(BoardWords, TorvaneSaysEachPlateAndWhichPiecesMatchTheTarget) {
    // Pattern 2 on the board, pattern 1 as the target.
    const auto p = Golden<TorvanePosition>("1324132413241324 1122112233443344 1");
    ASSERT_EQ(p.target, TorvanePattern(1));
    ExpectWords({
        {"plate 1", PlaceWords(p, 0, 0), "Plate 1: red dot, red dot, blue bar, blue bar; in place: top left, top right"},
        {"plate 3", PlaceWords(p, 2, 0), "Plate 3: blue bar, blue bar, yellow ring, yellow ring; in place: top right, bottom left"},
        {"Teller 3", PlaceWords(p, 2, 1),
         "Teller 3: blau mit Balken, blau mit Balken, gelb mit Ring, gelb mit Ring; am Platz: oben rechts, unten links"},
        {"sentence", BoardSentence(p, 0), "TORVANE, 8 of 16 pieces in place"},
        {"Satz", BoardSentence(p, 1), "TORVANE, 8 von 16 Teilen am Platz"},
        {"target", TargetWords(p, 0),
         "Target, row 1: red dot, red dot, blue bar, blue bar; row 2: red dot, red dot, blue bar, blue bar; "
         "row 3: yellow ring, yellow ring, green cross, green cross; row 4: yellow ring, yellow ring, green cross, green cross"},
    });
    const auto solved = Golden<TorvanePosition>("1122112233443344 1122112233443344 1");
    EXPECT_EQ(PlaceWords(solved, 4, 0), "Plate 5: green cross, green cross, green cross, green cross; all in place");
    EXPECT_EQ(PlaceWords(p, 5, 0), "") << "no sixth plate";
}

TEST(BoardWords, NubblerSaysEachPlateAndWhichFacingPairsAgree) {
    // Every button colour 0 but the centre's, which agrees after one turn.
    const char* code = "00000000 00000000 00000000 00000000 10101010 00000000 00000000 00000000 00000000";
    const auto p = Golden<NubblerPosition>(code);
    ExpectWords({
        {"centre", PlaceWords(p, 4, 0),
         "Plate 5: yellow ring, red dot, yellow ring, red dot, yellow ring, red dot, yellow ring, red dot; "
         "differs: top, right, bottom, left"},
        {"corner", PlaceWords(p, 0, 0),
         "Plate 1: red dot, red dot, red dot, red dot, red dot, red dot, red dot, red dot; agrees: right, bottom"},
        {"edge", PlaceWords(p, 1, 1),
         "Scheibe 2: rot mit Punkt, rot mit Punkt, rot mit Punkt, rot mit Punkt, rot mit Punkt, rot mit Punkt, "
         "rot mit Punkt, rot mit Punkt; gleich: rechts, links; ungleich: unten"},
        {"sentence", BoardSentence(p, 0), "NUBBLER, 8 of 12 facing pairs agree"},
        {"Satz", BoardSentence(p, 1), "NUBBLER, 8 von 12 Knopfpaaren stimmen überein"},
    });
}

TEST(BoardWords, PelloraSaysEachCellsLensesAndHowManyLieInTheirSector) {
    // The smallest board solved, then the centre cell turned left once.
    PelloraPosition start;
    const PelloraPosition turned = Apply(start, {3, Turn::Left});
    std::string code = "1 ";
    for (const std::uint8_t lens : turned.lenses) code += static_cast<char>('0' + lens);
    const auto p = Golden<PelloraPosition>(code.c_str());
    ASSERT_EQ(p, turned);
    ExpectWords({
        {"cell 4", PlaceWords(p, 3, 0),
         "Cell 4: yellow ring, blue bar, violet diamond, orange triangle, green cross, red dot; 0 of 6 in their sector"},
        {"Zelle 1", PlaceWords(start, 0, 1),
         "Zelle 1: rot mit Punkt, gelb mit Ring, gelb mit Ring, gelb mit Ring, rot mit Punkt, rot mit Punkt; "
         "6 von 6 in ihrem Sektor"},
        {"sentence", BoardSentence(p, 0), "PELLORA, size 1, 18 of 24 lenses in their sector"},
        {"Satz", BoardSentence(p, 1), "PELLORA, Größe 1, 18 von 24 Linsen in ihrem Sektor"},
    });
}

TEST(BoardWords, CirrelaSaysEachRingFromTheUpperCrossingAndThePattern) {
    // Level 1 solved, then the left ring rolled left once.
    const auto p = Golden<CirrelaPosition>("1 2311111222223344444333");
    ASSERT_EQ(p, Apply(CirrelaPosition{}, {0, Turn::Left}));
    ExpectWords({
        {"ring 1", PlaceWords(p, 0, 0),
         "Ring 1 from the upper crossing, counterclockwise: yellow ring, blue bar, red dot, red dot, red dot, red dot, "
         "red dot, yellow ring, yellow ring, lower crossing yellow ring, yellow ring, yellow ring; 9 of 12 in place"},
        {"ring 2", PlaceWords(p, 1, 0),
         "Ring 2 from the upper crossing, counterclockwise: yellow ring, blue bar, blue bar, lower crossing yellow ring, "
         "green cross, green cross, green cross, green cross, green cross, blue bar, blue bar, blue bar; 11 of 12 in place"},
        {"sentence", BoardSentence(p, 0), "CIRRELA, level 1, 19 of 22 balls in place"},
        {"Satz", BoardSentence(p, 1), "CIRRELA, Stufe 1, 19 von 22 Kugeln am Platz"},
        {"pattern", PatternWords(1, 0),
         "Pattern, Ring 1 from the upper crossing, counterclockwise: blue bar, red dot, red dot, red dot, red dot, "
         "red dot, yellow ring, yellow ring, yellow ring, lower crossing yellow ring, yellow ring, yellow ring; "
         "Ring 2 from the upper crossing, counterclockwise: blue bar, blue bar, blue bar, lower crossing yellow ring, "
         "green cross, green cross, green cross, green cross, green cross, blue bar, blue bar, blue bar"},
    });
    EXPECT_TRUE(PatternWords(4, 1).startsWith("Muster, Ring 1 ab der oberen Kreuzung gegen den Uhrzeigersinn: "));
}

// The numbers of a sentence, "N of M".
std::pair<int, int> Counted(const QString& sentence) {
    const QRegularExpressionMatch m = QRegularExpression("(\\d+) (?:of|von) (\\d+)").match(sentence);
    return m.hasMatch() ? std::pair{m.captured(1).toInt(), m.captured(2).toInt()} : std::pair{-1, -1};
}

// Counted here without the game's tables of pairs or rings.
int CountTorvane(const TorvanePosition& p) {
    int n = 0;
    for (int i = 0; i < 16; ++i) n += p.board[static_cast<std::size_t>(i)] == p.target[static_cast<std::size_t>(i)];
    return n;
}
int CountNubbler(const NubblerPosition& p) {
    // Neighbours across each border of the 3 x 3 grid: right (2 against 6) and below (4 against 0).
    int n = 0;
    auto at = [&](int plate, int position) { return p.buttons[static_cast<std::size_t>(plate * 8 + position)]; };
    for (int plate = 0; plate < 9; ++plate) {
        if (plate % 3 < 2) n += at(plate, 2) == at(plate + 1, 6);
        if (plate / 3 < 2) n += at(plate, 4) == at(plate + 3, 0);
    }
    return n;
}
int CountPellora(const PelloraPosition& p, int lenses) {
    int n = 0;
    for (int i = 0; i < lenses; ++i) n += p.lenses[static_cast<std::size_t>(i)] == PelloraTarget[static_cast<std::size_t>(i)];
    return n;
}
int CountCirrela(const CirrelaPosition& p, int cells) {
    int n = 0;
    for (int i = 0; i < cells; ++i)
        n += p.balls[static_cast<std::size_t>(i)] == CirrelaTarget[static_cast<std::size_t>(p.level - 1)][static_cast<std::size_t>(i)];
    return n;
}

TEST(BoardWords, SentencesCountWhatTheBoardsHold) {
    for (const auto& p : SamplePositions<Torvane>()) {
        if (p.lastPattern == 0) continue;  // nothing set up yet
        const auto p2 = Golden<TorvanePosition>(Encode(p).c_str());
        EXPECT_EQ(Counted(BoardSentence(p2, 0)), std::pair(CountTorvane(p), 16)) << Encode(p);
        EXPECT_EQ(Counted(BoardSentence(p2, 1)), std::pair(CountTorvane(p), 16));
    }
    for (const auto& p : SamplePositions<Nubbler>()) {
        if (p.buttons == NubblerPosition{}.buttons) continue;
        const auto p2 = Golden<NubblerPosition>(Encode(p).c_str());
        EXPECT_EQ(Counted(BoardSentence(p2, 0)), std::pair(CountNubbler(p), 12)) << Encode(p);
    }
    const int lenses[] = {24, 54, 96};
    for (const auto& p : SamplePositions<Pellora>()) {
        const auto p2 = Golden<PelloraPosition>(Encode(p).c_str());
        const int total = lenses[p.variant - 1];
        EXPECT_EQ(Counted(BoardSentence(p2, 0)), std::pair(CountPellora(p, total), total)) << Encode(p);
        EXPECT_TRUE(BoardSentence(p2, 0).startsWith(QString("PELLORA, size %1, ").arg(p.variant)));
    }
    const int cells[] = {22, 30, 38, 46};
    for (const auto& p : SamplePositions<Cirrela>()) {
        const auto p2 = Golden<CirrelaPosition>(Encode(p).c_str());
        const int total = cells[p.level - 1];
        EXPECT_EQ(Counted(BoardSentence(p2, 1)), std::pair(CountCirrela(p, total), total)) << Encode(p);
        EXPECT_TRUE(BoardSentence(p2, 0).startsWith(QString("CIRRELA, level %1, ").arg(p.level)));
    }
}

// ---- The board's accessible tree on the real window ----

struct Recorded {
    QAccessible::Event type;
    QAccessibleInterface* iface;
};
std::vector<Recorded>* recording = nullptr;
void RecordEvent(QAccessibleEvent* event) {
    if (recording) recording->push_back({event->type(), event->accessibleInterface()});
}

class BoardAccess : public ::testing::Test {
protected:
    void SetUp() override {
        ListenToAccessEvents(RecordEvent);
        recording = &events;
        form = ShowMainForm(windows, GameDir(), &clock);
        ASSERT_TRUE(form);
        // Active, so that the focus is really in: keyboard focus, focus events.
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void TearDown() override {
        recording = nullptr;
        ListenToAccessEvents(nullptr);
    }
    QAccessibleInterface* Board() { return QAccessible::queryAccessibleInterface(form->box()); }
    int CountOf(QAccessible::Event type, QAccessibleInterface* iface = nullptr) const {
        return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const Recorded& r) {
            return r.type == type && (!iface || r.iface == iface);
        }));
    }
    void Language(int language) {
        windows.languageChoice = language;
        ClickButton(*form, "TongueBtn");
        QCoreApplication::processEvents();
    }

    ConfigHome config;
    ScriptedWindows windows;
    FakePlayClock clock;
    std::unique_ptr<TMainForm> form;
    std::vector<Recorded> events;
};

// The current puzzle's words for its position, as the tree should show them.
struct Expected {
    std::vector<QString> places;
    QString sentence, code, picture;
};
Expected ExpectedFor(TMainForm& form, int language) {
    Expected e;
    auto fill = [&](const auto& position) {
        for (int i = 0; i < PlaceCount(position); ++i) e.places.push_back(PlaceWords(position, i, language));
        e.sentence = BoardSentence(position, language);
        e.code = QString::fromLatin1(Record(form.GameIndex()).name) + ' ' + QString::fromStdString(Encode(position));
    };
    switch (form.GameIndex()) {
    case kTorvane: {
        const auto& p = static_cast<Torvane&>(form.PuzzleAt(kTorvane)).Position();
        fill(p);
        e.picture = TargetWords(p, language);
        break;
    }
    case kPellora: fill(static_cast<Pellora&>(form.PuzzleAt(kPellora)).Position()); break;
    case kNubbler: fill(static_cast<Nubbler&>(form.PuzzleAt(kNubbler)).Position()); break;
    case kCirrela: {
        const auto& p = static_cast<Cirrela&>(form.PuzzleAt(kCirrela)).Position();
        fill(p);
        e.picture = PatternWords(p.level, language);
        break;
    }
    }
    return e;
}

TEST_F(BoardAccess, EveryPlaceIsAChildNamedByWhatItHoldsInBothLanguages) {
    for (const int language : {0, 1}) {
        Language(language);
        for (int game = 0; game < kPuzzleCount; ++game) {
            form->SelectGame(game);
            for (const int option : OptionsOf(Record(game))) {
                SCOPED_TRACE(testing::Message() << "language " << language << " game " << game << " option " << option);
                if (Record(game).HasOption()) form->game().SetOption(game, option);
                form->randomSource().Seed(static_cast<std::uint64_t>(11 + option));
                form->MixBtnClick();
                const Expected e = ExpectedFor(*form, language);
                const std::vector<Rect> places = form->PuzzleAt(game).Places();
                ASSERT_EQ(e.places.size(), places.size());
                QAccessibleInterface* board = Board();
                ASSERT_NE(board, nullptr);
                EXPECT_EQ(board->text(QAccessible::Description), e.sentence + (language == 1 ? ". F3 zeigt einen Tipp." : ". F3 shows a hint."));
                EXPECT_EQ(board->text(QAccessible::Value), e.code);
                const int extras = e.picture.isEmpty() ? 1 : 2;
                ASSERT_EQ(board->childCount(), static_cast<int>(places.size()) + extras);
                for (int i = 0; i < static_cast<int>(places.size()); ++i) {
                    QAccessibleInterface* child = board->child(i);
                    ASSERT_NE(child, nullptr);
                    EXPECT_EQ(child->role(), QAccessible::Button);
                    EXPECT_EQ(child->text(QAccessible::Name), e.places[static_cast<std::size_t>(i)]);
                    EXPECT_EQ(child->parent(), board);
                    EXPECT_EQ(board->indexOfChild(child), i);
                    EXPECT_TRUE(child->state().focusable);
                    const Rect& r = places[static_cast<std::size_t>(i)];
                    EXPECT_EQ(child->rect(), QRect(form->box()->mapToGlobal(QPoint(r.x, r.y)), QSize(r.w, r.h)));
                    ASSERT_NE(child->actionInterface(), nullptr);
                    EXPECT_EQ(child->actionInterface()->actionNames(), QStringList({"Turn left", "Turn right"}));
                    EXPECT_EQ(child->actionInterface()->localizedActionName("Turn left"),
                              language == 1 ? "Links drehen" : "Turn left");
                    // The place at its centre is the child there.
                    const QPoint centre = form->box()->mapToGlobal(QPoint(r.x + r.w / 2, r.y + r.h / 2));
                    if (game != kCirrela) {
                        EXPECT_EQ(board->childAt(centre.x(), centre.y()), child);
                    }
                }
                const int n = static_cast<int>(places.size());
                if (!e.picture.isEmpty()) {
                    EXPECT_EQ(board->child(n)->role(), QAccessible::StaticText);
                    EXPECT_EQ(board->child(n)->text(QAccessible::Name), e.picture);
                }
                QAccessibleInterface* code = board->child(n + extras - 1);
                EXPECT_EQ(code->text(QAccessible::Description), e.code);
                EXPECT_EQ(code->text(QAccessible::Name), language == 1 ? "Stellung als Text" : "Position as text");
                EXPECT_EQ(board->child(n + extras), nullptr);
            }
        }
    }
}

TEST_F(BoardAccess, ChildrenOfAnotherPuzzleOrSizeAreNoLongerPartOfTheBoard) {
    form->SelectGame(kPellora);
    form->game().SetOption(kPellora, 3);
    form->MixBtnClick();
    QAccessibleInterface* cell30 = Board()->child(29);
    ASSERT_NE(cell30, nullptr);
    EXPECT_TRUE(cell30->text(QAccessible::Name).startsWith("Cell 30: "));
    events.clear();
    form->OptionBtnMouseDown(0, 20);  // smaller: 19 cells
    EXPECT_EQ(Board()->childCount(), 19 + 1);
    EXPECT_GE(CountOf(QAccessible::ObjectReorder, Board()), 1) << "the tools learn of the other children";
    EXPECT_TRUE(cell30->state().invisible);
    EXPECT_EQ(cell30->text(QAccessible::Name), "");
    form->SelectGame(kNubbler);
    EXPECT_TRUE(Board()->child(0)->text(QAccessible::Name).startsWith("Plate 1: "));
}

// Two windows with one position: one turned through the children's
// actions, the other by clicks at the places' centres.
class ActionsAgainstClicks : public ::testing::TestWithParam<std::pair<int, int>> {
protected:
    void SetUp() override {
        ListenToAccessEvents(RecordEvent);
        recording = &events;
        for (int i = 0; i < 2; ++i) {
            form[i] = ShowMainForm(windows[i], GameDir(), &clock[i]);
            ASSERT_TRUE(form[i]);
            const auto [game, option] = GetParam();
            form[i]->SelectGame(game);
            if (option) form[i]->game().SetOption(game, option);
            // From a solved board and a seed of the test's: the start-up's seed is the clock's.
            LaySolved(form[i]->PuzzleAt(game), game);
            form[i]->randomSource().Seed(5);
            form[i]->MixBtnClick();
            if (game == kTorvane)  // Mix gives a new target only
                static_cast<Torvane&>(form[i]->PuzzleAt(kTorvane)).SetPosition({TorvanePattern(2), TorvanePattern(3), 3});
            form[i]->ApplyTexts();  // the tools told of the position laid out
            form[i]->boxPaint();
        }
    }
    void TearDown() override {
        recording = nullptr;
        ListenToAccessEvents(nullptr);
    }
    ConfigHome config;
    std::array<ScriptedWindows, 2> windows;
    std::array<FakePlayClock, 2> clock;
    std::array<std::unique_ptr<TMainForm>, 2> form;
    std::vector<Recorded> events;
};

bool SameScreen(TMainForm& a, TMainForm& b) {
    for (int y = 0; y < kBoardHeight; ++y)
        for (int x = 0; x < kBoardWidth; ++x)
            if (a.Screen().pixel(x, y) != b.Screen().pixel(x, y)) return false;
    return true;
}

TEST_P(ActionsAgainstClicks, TurnExactlyAsPressesDoAndRenameOnePlace) {
    TMainForm& acted = *form[0];
    TMainForm& clicked = *form[1];
    ASSERT_TRUE(SameScreen(acted, clicked));
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(acted.box());
    const std::vector<Rect> places = acted.PuzzleAt(acted.GameIndex()).Places();
    const int game = acted.GameIndex();
    int turns = 0;
    for (int i = 0; i < static_cast<int>(places.size()) && turns < 8; i += std::max(1, static_cast<int>(places.size()) / 5)) {
        for (const bool left : {true, false, false}) {
            SCOPED_TRACE(testing::Message() << "place " << i << (left ? " left" : " right"));
            const QString before = board->text(QAccessible::Value);
            QAccessibleInterface* child = board->child(i);
            events.clear();
            child->actionInterface()->doAction(left ? "Turn left" : "Turn right");
            EXPECT_EQ(board->text(QAccessible::Value), before) << "the move waits until the tool's call is done";
            QCoreApplication::processEvents();
            const Rect& r = places[static_cast<std::size_t>(i)];
            ClickBoard(clicked, r.x + r.w / 2, r.y + r.h / 2, left ? Qt::LeftButton : Qt::RightButton);
            EXPECT_NE(board->text(QAccessible::Value), before) << "a turn moves";
            EXPECT_EQ(board->text(QAccessible::Value), QAccessible::queryAccessibleInterface(clicked.box())->text(QAccessible::Value));
            EXPECT_TRUE(SameScreen(acted, clicked));
            // One place renamed, the one turned; the sentence anew.
            int renamed = 0;
            for (const Recorded& e : events)
                if (e.type == QAccessible::NameChanged && e.iface && e.iface->parent() == board) {
                    ++renamed;
                    EXPECT_EQ(e.iface, child);
                }
            EXPECT_EQ(renamed, 1);
            ++turns;
        }
    }
    EXPECT_EQ(acted.GameIndex(), game);
}

INSTANTIATE_TEST_SUITE_P(EveryBoard, ActionsAgainstClicks,
                         ::testing::Values(std::pair{kTorvane, 0}, std::pair{kPellora, 1}, std::pair{kPellora, 3},
                                           std::pair{kNubbler, 0}, std::pair{kCirrela, 1}, std::pair{kCirrela, 4}),
                         [](const auto& info) {
                             return std::string(Record(info.param.first).name) + std::to_string(info.param.second);
                         });

void Key(TMainForm& form, int key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(form.windowHandle(), static_cast<Qt::Key>(key), modifiers);
}

TEST_F(BoardAccess, TheCursorsPlaceIsTheFocusedChildAndAKeyTurnRenamesIt) {
    form->SelectGame(kNubbler);
    LaySolved(form->PuzzleAt(kNubbler), kNubbler);  // any turn then parts pairs: the sentence changes
    form->ApplyTexts();
    form->box()->setFocus();
    QCoreApplication::processEvents();
    QAccessibleInterface* board = Board();
    Key(*form, Qt::Key_Home);
    ASSERT_EQ(board->focusChild(), board->child(0));
    EXPECT_TRUE(board->child(0)->state().focused);
    events.clear();
    Key(*form, Qt::Key_Right);
    EXPECT_EQ(board->focusChild(), board->child(1));
    EXPECT_TRUE(board->child(1)->state().focused);
    EXPECT_FALSE(board->child(0)->state().focused);
    EXPECT_EQ(CountOf(QAccessible::Focus, board->child(1)), 1) << "the move is announced";
    Key(*form, Qt::Key_Down);
    EXPECT_EQ(CountOf(QAccessible::Focus, board->child(4)), 1);
    events.clear();
    const QString before = board->child(4)->text(QAccessible::Name);
    Key(*form, Qt::Key_J);
    EXPECT_NE(board->child(4)->text(QAccessible::Name), before);
    EXPECT_EQ(CountOf(QAccessible::NameChanged), 1) << "one event, not one per place";
    EXPECT_EQ(CountOf(QAccessible::NameChanged, board->child(4)), 1);
    EXPECT_EQ(CountOf(QAccessible::DescriptionChanged, board), 1);
    EXPECT_EQ(CountOf(QAccessible::Focus), 0) << "the cursor stayed";
    // Back on the board after a window: its place is announced again.
    events.clear();
    Button(*form, "MixBtn")->setFocus(Qt::TabFocusReason);
    form->box()->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(CountOf(QAccessible::Focus, board->child(4)), 1);
}

TEST_F(BoardAccess, TheSentenceFollowsEveryMove) {
    form->SelectGame(kCirrela);
    form->game().SetOption(kCirrela, 2);
    LaySolved(form->PuzzleAt(kCirrela), kCirrela);
    form->ApplyTexts();
    QAccessibleInterface* board = Board();
    EXPECT_EQ(board->text(QAccessible::Description), "CIRRELA, level 2, 30 of 30 balls in place. F3 shows a hint.");
    ClickBoard(*form, 178, 166);
    const auto& p = static_cast<Cirrela&>(form->PuzzleAt(kCirrela)).Position();
    EXPECT_EQ(board->text(QAccessible::Description),
              QString("CIRRELA, level 2, %1 of 30 balls in place. F3 shows a hint.").arg(CountCirrela(p, 30)));
    EXPECT_LT(CountCirrela(p, 30), 30);
    ClickBoard(*form, 178, 166, Qt::RightButton);
    EXPECT_EQ(board->text(QAccessible::Description), "CIRRELA, level 2, 30 of 30 balls in place. F3 shows a hint.");
    EXPECT_EQ(form->box()->accessibleName(), "CIRRELA board, solved");
}

// ---- The toolbar ----

QAccessibleInterface* Of(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }

TEST_F(BoardAccess, TheOptionButtonHasBiggerAndSmallerBesidesPress) {
    form->SelectGame(kPellora);
    auto& pellora = static_cast<Pellora&>(form->PuzzleAt(kPellora));
    form->game().SetOption(kPellora, 2);
    QAccessibleActionInterface* actions = Of(Button(*form, "OptionBtn"))->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    const struct {
        const char* action;
        int variant;
    } cases[] = {{"Smaller", 1}, {"Smaller", 1}, {"Bigger", 2}, {"Bigger", 3}, {"Bigger", 3}, {"Smaller", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.action);
        ASSERT_TRUE(actions->actionNames().contains(c.action));
        actions->doAction(c.action);
        QCoreApplication::processEvents();
        EXPECT_EQ(pellora.Variant(), c.variant);
    }
    EXPECT_EQ(actions->localizedActionName("Bigger"), "Bigger");
    Language(1);
    EXPECT_EQ(actions->localizedActionName("Bigger"), QString::fromUtf8("Größer"));
    EXPECT_EQ(actions->localizedActionName("Smaller"), "Kleiner");
}

TEST_F(BoardAccess, APressThatOpensAWindowReturnsBeforeIt) {
    ClickBoard(*form, 105, 105);  // in play: pause and Mix have windows to show
    ASSERT_TRUE(form->game().InPlay());
    const struct {
        const char* button;
        const char* window;
    } cases[] = {{"PauseBtn", "paused"}, {"HighScoreBtn", "highscores torv 0"}, {"InfoBtn", "about"},
                 {"HelpBtn", "help"},    {"MixBtn", "giveup"},               {"TongueBtn", "language"},
                 {"ExitBtn", "quit"}};
    windows.quitAnswer = kAnswerKeepOn;
    windows.giveUpAnswer = kAnswerKeepOn;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        QAccessibleInterface* button = Of(Button(*form, c.button));
        ASSERT_EQ(button->role(), QAccessible::Button);
        EXPECT_FALSE(button->text(QAccessible::Name).isEmpty());
        const int before = windows.Count(c.window);
        button->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_EQ(windows.Count(c.window), before) << "not yet: the call returns first";
        QCoreApplication::processEvents();
        EXPECT_EQ(windows.Count(c.window), before + 1);
    }
}

// As the mouse cannot reach the game behind a window that waits for an
// answer, nor can a tool: every action there is refused until it closes.
TEST_F(BoardAccess, NoToolActsBehindAWindowThatWaitsForAnAnswer) {
    ClickBoard(*form, 105, 105);  // in play: Mix asks first
    windows.giveUpAnswer = kAnswerKeepOn;
    const QString press = QAccessibleActionInterface::pressAction(), toggle = QAccessibleActionInterface::toggleAction();
    const struct {
        const char* what;
        std::function<void()> act;
        std::function<std::string()> seen;
    } cases[] = {
        {"a turn", [&] { Board()->child(0)->actionInterface()->doAction("Turn left"); },
         [&] { return Board()->text(QAccessible::Value).toStdString(); }},
        {"Mix", [&] { Of(Button(*form, "MixBtn"))->actionInterface()->doAction(press); },
         [&] { return std::to_string(windows.Count("giveup")); }},
        {"the sound", [&] { Of(Button(*form, "SoundBtn"))->actionInterface()->doAction(toggle); },
         [&] { return std::to_string(Button(*form, "SoundBtn")->isChecked()); }},
        {"a puzzle", [&] { Of(Button(*form, "PelloraBtn"))->actionInterface()->doAction(toggle); },
         [&] { return std::to_string(form->GameIndex()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string before = c.seen();
        {
            QDialog waiting(form.get());
            waiting.setWindowModality(Qt::ApplicationModal);
            waiting.show();
            ASSERT_EQ(QApplication::activeModalWidget(), &waiting);
            c.act();
            QCoreApplication::processEvents();
            EXPECT_EQ(c.seen(), before) << "made behind the window";
        }
        c.act();
        QCoreApplication::processEvents();
        EXPECT_NE(c.seen(), before) << "refused with no window open";
    }
}

// Relative luminance and contrast as the web's accessibility guidelines reckon them.
double Luminance(QRgb c) {
    auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(qRed(c)) + 0.7152 * lin(qGreen(c)) + 0.0722 * lin(qBlue(c));
}
double Contrast(QRgb a, QRgb b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(BoardAccess, TheToolbarsFocusMarkReadsAndIsNotAPressedButton) {
    QToolButton* mix = Button(*form, "MixBtn");
    QToolButton* sound = Button(*form, "SoundBtn");
    ASSERT_TRUE(sound->isChecked());
    const QImage plain = form->grab().toImage();
    mix->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    const QImage focused = form->grab().toImage();
    const QRect r = QRect(mix->mapTo(form.get(), QPoint(0, 0)), mix->size());
    // Along the top edge of the button, inside it: the mark where the toolbar was.
    int marked = 0;
    double worst = 100;
    for (int x = r.left() + 3; x < r.right() - 2; ++x) {
        const QRgb now = focused.pixel(x, r.top() + 1), before = plain.pixel(x, r.top() + 1);
        if (now == before) continue;
        ++marked;
        worst = std::min(worst, Contrast(now, before));
    }
    EXPECT_GE(marked, r.width() - 8);
    EXPECT_GE(worst, 3.0);
    // The pressed sound button without the focus shows no such mark.
    const QRect s = QRect(sound->mapTo(form.get(), QPoint(0, 0)), sound->size());
    for (int x = s.left() + 3; x < s.right() - 2; ++x)
        EXPECT_NE(focused.pixel(x, s.top() + 1) & 0xFFFFFF, kFocusMarkColour.rgb() & 0xFFFFFF) << x;
    // And the focused button's mark is that colour, which a pressed one never shows.
    EXPECT_EQ(focused.pixel(r.left() + r.width() / 2, r.top() + 1) & 0xFFFFFF, kFocusMarkColour.rgb() & 0xFFFFFF);
}

TEST_F(BoardAccess, AButtonShowsItsHintWhenItTakesTheKeyboardFocus) {
    QToolButton* pause = Button(*form, "PauseBtn");
    pause->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), pause->toolTip());
    form->box()->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_FALSE(QToolTip::isVisible());
    // A click leaves no hint of its own behind.
    pause->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(QToolTip::isVisible());
}

// The board cursor's ring on CIRRELA's light rims: its dark edge keeps it
// apart from what lies under it.
TEST_F(BoardAccess, TheCursorRingStaysDistinctOnCirrelasRims) {
    form->SelectGame(kCirrela);
    for (const int level : {1, 4}) {
        form->game().SetOption(kCirrela, level);
        LaySolved(form->PuzzleAt(kCirrela), kCirrela);  // the start-up's seed is the clock's
        form->randomSource().Seed(static_cast<std::uint64_t>(level));
        form->MixBtnClick();
        form->boxPaint();
        form->box()->setFocus();
        for (const int key : {Qt::Key_Home, Qt::Key_Right}) {
            Key(*form, key);
            ASSERT_TRUE(form->box()->CursorRing());
            const Rect ring = *form->box()->CursorRing();
            SCOPED_TRACE(testing::Message() << "level " << level << " ring at " << ring.x);
            const QImage shown = form->box()->grab().toImage();
            // Round the ring, at every angle some pixel of it differs from
            // the board's own picture there by at least 3:1.
            const double cx = ring.x + ring.w / 2.0, cy = ring.y + ring.h / 2.0, radius = ring.w / 2.0 + 1;
            for (int k = 0; k < 72; ++k) {
                const double a = k * 2 * 3.14159265358979 / 72;
                double best = 1;
                for (double d = -4; d <= 4; d += 1) {
                    const int x = static_cast<int>(std::lround(cx + (radius + d) * std::cos(a)));
                    const int y = static_cast<int>(std::lround(cy + (radius + d) * std::sin(a)));
                    if (x < 0 || y < 0 || x >= kBoardWidth || y >= kBoardHeight) continue;
                    best = std::max(best, Contrast(shown.pixel(x, y), form->Screen().pixel(x, y)));
                }
                EXPECT_GE(best, 3.0) << "at " << k * 5 << " degrees";
            }
        }
    }
}

// ---- The help window as a document ----

TEST(HelpDocument, TheCaretStandsAtTheSectionShownAndTheKeysReadOnAndGoFromLinkToLink) {
    HelpWindow help(GameDir());
    for (const int language : {1, 0}) {
        SCOPED_TRACE(language);
        help.ShowAt(language);
        const std::optional<int> at = AnchorPosition(*help.browser()->document(), HelpAnchor(language));
        ASSERT_TRUE(at);
        EXPECT_EQ(help.browser()->textCursor().position(), *at);
        QAccessibleInterface* text = QAccessible::queryAccessibleInterface(help.browser());
        ASSERT_NE(text->textInterface(), nullptr);
        EXPECT_EQ(text->textInterface()->cursorPosition(), *at);
        EXPECT_EQ(text->text(QAccessible::Name), language == 1 ? "Hilfetext" : "Help text");
        EXPECT_EQ(QAccessible::queryAccessibleInterface(&help)->role(), QAccessible::Window);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(&help)->text(QAccessible::Name),
                  QString::fromUtf8(language == 1 ? "Quirko Gyrelle – Hilfe" : "Quirko Gyrelle – Help"));
    }
    EXPECT_GT(help.browser()->textCursor().position(), 0) << "the English section is not the file's beginning";
    QApplication::setActiveWindow(&help);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&help));
    help.browser()->setFocus();
    const int before = help.browser()->textCursor().position();
    QTest::keyClick(help.browser(), Qt::Key_Down);
    EXPECT_GT(help.browser()->textCursor().position(), before) << "the caret reads on";
    QTest::keyClick(help.browser(), Qt::Key_Tab);
    const QTextCursor link = help.browser()->textCursor();
    EXPECT_TRUE(link.hasSelection());
    EXPECT_FALSE(link.charFormat().anchorHref().isEmpty()) << "Tab selects a link";
    EXPECT_TRUE(help.isVisible());
    QTest::keyClick(help.browser(), Qt::Key_Escape);
    EXPECT_FALSE(help.isVisible());
}

// ---- The help's links, screen lines and text through its accessible interface ----

// A help page of its own: a section link, a link across two formats, a web
// address, and a long paragraph that the window wraps.
class HelpLinks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QFile page(dir.path() + "/" + kHelpFile);
        ASSERT_TRUE(page.open(QIODevice::WriteOnly));
        page.write("<html><body><h1><a name=\"The_Game\"></a>The game</h1>"
                   "<p>Read <a href=\"#Keys\">the keys</a> or <a href=\"#Clock\">the <b>clock</b> and its times</a>.</p>"
                   "<p>The makers are at <a href=\"https://example.org/quirko\">their page</a>.</p>"
                   "<p>" + QByteArray("Every plate turns round its centre and takes its pieces along. ").repeated(12) + "</p>"
                   "<h2><a name=\"Keys\"></a>Keys</h2><p>J and K turn.</p>"
                   "<h2><a name=\"Clock\"></a>Clock</h2><p>It counts in fifths of a second.</p></body></html>");
        page.close();
        help = std::make_unique<HelpWindow>(dir.path() + "/", nullptr, [this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
        help->resize(360, 420);
        help->ShowAt(0);
        QApplication::setActiveWindow(help.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(help.get()));
        help->browser()->setFocus();
        ListenToAccessEvents(RecordEvent);
        recording = &events;
    }
    void TearDown() override {
        recording = nullptr;
        ListenToAccessEvents(nullptr);
    }
    QAccessibleInterface* Text() { return QAccessible::queryAccessibleInterface(help->browser()); }
    std::vector<QAccessibleInterface*> Focused() const {
        std::vector<QAccessibleInterface*> out;
        for (const Recorded& r : events)
            if (r.type == QAccessible::Focus) out.push_back(r.iface);
        return out;
    }

    QTemporaryDir dir;
    std::unique_ptr<HelpWindow> help;
    std::vector<QUrl> opened;
    std::vector<Recorded> events;
};

TEST_F(HelpLinks, EveryLinkIsAChildNamedByItsTextWhereItStands) {
    QAccessibleInterface* text = Text();
    ASSERT_NE(text->textInterface(), nullptr);
    EXPECT_EQ(text->role(), QAccessible::EditableText);
    EXPECT_TRUE(text->state().readOnly);
    ASSERT_EQ(text->childCount(), 3);
    const struct {
        const char* name;
        const char* description;
    } expected[] = {{"the keys", ""}, {"the clock and its times", ""}, {"their page", "https://example.org/quirko"}};
    QAccessibleTextInterface* t = text->textInterface();
    const QString all = t->text(0, t->characterCount());
    EXPECT_EQ(all, help->browser()->document()->toPlainText());
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        QAccessibleInterface* link = text->child(i);
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link, text->child(i)) << "one object per link, for a tool to hold";
        EXPECT_EQ(link->role(), QAccessible::Link);
        EXPECT_EQ(link->text(QAccessible::Name), expected[i].name);
        EXPECT_EQ(link->text(QAccessible::Description), expected[i].description);
        EXPECT_EQ(link->parent(), text);
        EXPECT_EQ(text->indexOfChild(link), i);
        // Its text in the document is its name, and its place on the screen
        // is where the document's characters are.
        const int at = all.indexOf(expected[i].name);
        ASSERT_GE(at, 0);
        EXPECT_EQ(t->characterRect(at).topLeft(), link->rect().topLeft());
        EXPECT_TRUE(text->rect().contains(link->rect()));
        const QPoint middle = link->rect().center();
        EXPECT_EQ(text->childAt(middle.x(), middle.y()), link);
        const int under = t->offsetAtPoint(middle);
        EXPECT_TRUE(under >= at && under < at + static_cast<int>(std::strlen(expected[i].name))) << under;
        ASSERT_NE(link->actionInterface(), nullptr);
        EXPECT_TRUE(link->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
    }
    EXPECT_EQ(text->focusChild(), nullptr) << "the caret is on no link yet";
}

TEST_F(HelpLinks, TabGoesFromTheCaretToEachLinkAndGivesItTheFocusOnce) {
    QAccessibleInterface* text = Text();
    QTest::keyClick(help->browser(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), std::vector<QAccessibleInterface*>({text->child(0)}));
    EXPECT_TRUE(text->child(0)->state().focused);
    EXPECT_FALSE(text->child(1)->state().focused);
    EXPECT_EQ(text->focusChild(), text->child(0));
    QTest::keyClick(help->browser(), Qt::Key_Tab);
    // Off the link, the text has the focus; the next Tab goes on from the
    // caret, not from the page's top.
    QTest::keyClick(help->browser(), Qt::Key_Down);
    QTest::keyClick(help->browser(), Qt::Key_Home);
    EXPECT_EQ(text->focusChild(), nullptr);
    QTest::keyClick(help->browser(), Qt::Key_Tab);
    EXPECT_EQ(Focused(), std::vector<QAccessibleInterface*>({text->child(0), text->child(1), text, text->child(2)}));
    QTest::keyClick(help->browser(), Qt::Key_Backtab);
    EXPECT_EQ(text->focusChild(), text->child(1));
    // From the page's end, Shift+Tab takes the last link.
    text->textInterface()->setCursorPosition(text->textInterface()->characterCount());
    QTest::keyClick(help->browser(), Qt::Key_Backtab);
    EXPECT_EQ(text->focusChild(), text->child(2));
}

TEST_F(HelpLinks, PressFollowsALinkAsEnterDoesOnceTheToolsCallHasReturned) {
    QAccessibleInterface* text = Text();
    const std::optional<int> keys = AnchorPosition(*help->browser()->document(), "Keys");
    ASSERT_TRUE(keys);
    text->child(0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_NE(help->browser()->textCursor().position(), *keys) << "not followed within the call";
    EXPECT_EQ(text->focusChild(), text->child(0)) << "but the link has the focus, as after Tab";
    QCoreApplication::processEvents();
    EXPECT_EQ(help->browser()->textCursor().position(), *keys) << "the caret at the section";
    EXPECT_TRUE(opened.empty());

    // A web address goes to the browser, once, after the call.
    text->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(opened.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(opened, std::vector<QUrl>({QUrl("https://example.org/quirko")}));

    // Focus only selects it, as Tab does.
    text->child(1)->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    QCoreApplication::processEvents();
    EXPECT_EQ(text->focusChild(), text->child(1));
    EXPECT_EQ(help->browser()->textCursor().selectedText(), "the clock and its times");
    EXPECT_EQ(opened.size(), 1u);

    // Not while a window that waits for an answer is open: the help cannot be reached then.
    QDialog waiting;
    waiting.setWindowModality(Qt::ApplicationModal);
    waiting.show();
    text->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(HelpLinks, ScreenLinesTileTheTextAsTheWindowWrapsIt) {
    QAccessibleTextInterface* t = Text()->textInterface();
    const int count = t->characterCount();
    const QString all = t->text(0, count);
    QString joined;
    int lines = 0, start = 0, end = 0;
    for (int offset = 0; offset < count; offset = end, ++lines) {
        const QString line = t->textAtOffset(offset, QAccessible::LineBoundary, &start, &end);
        ASSERT_EQ(start, offset);
        ASSERT_GT(end, start);
        joined += line;
        // A line's characters stand on one screen line; the next line lower.
        const int top = t->characterRect(start).top();
        EXPECT_EQ(t->characterRect(end - 1).top(), top) << line.toStdString();
        int s = 0, e = 0;
        if (end < count) {
            EXPECT_GT(t->characterRect(end).top(), top);
            t->textAfterOffset(offset, QAccessible::LineBoundary, &s, &e);
            EXPECT_EQ(s, end);
            t->textBeforeOffset(end, QAccessible::LineBoundary, &s, &e);
            EXPECT_EQ(std::pair(s, e), std::pair(start, end));
        }
    }
    EXPECT_EQ(joined, all);
    EXPECT_GT(lines, help->browser()->document()->blockCount() + 3) << "the long paragraph is wrapped";
}

TEST(HelpDocument, TheRealHelpHasEveryLinkOfItsFileAndEachLeadsToASection) {
    QFile file(GameDir() + kHelpFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    std::vector<QString> hrefs;
    const QRegularExpression anchor(R"re(<a\s[^>]*href\s*=\s*"([^"]*)")re", QRegularExpression::CaseInsensitiveOption);
    for (auto it = anchor.globalMatch(html); it.hasNext();) hrefs.push_back(it.next().captured(1));
    ASSERT_GT(hrefs.size(), 10u);

    HelpWindow help(GameDir());
    help.ShowAt(1);
    QAccessibleInterface* text = QAccessible::queryAccessibleInterface(help.browser());
    ASSERT_EQ(text->childCount(), static_cast<int>(hrefs.size()));
    for (int i = 0; i < text->childCount(); ++i) {
        const std::vector<HelpLink> links = FindLinks(*help.browser()->document());
        SCOPED_TRACE(hrefs[static_cast<std::size_t>(i)].toStdString());
        EXPECT_EQ(links[static_cast<std::size_t>(i)].href, hrefs[static_cast<std::size_t>(i)]);
        EXPECT_EQ(text->child(i)->role(), QAccessible::Link);
        EXPECT_FALSE(text->child(i)->text(QAccessible::Name).trimmed().isEmpty());
        const QString& href = hrefs[static_cast<std::size_t>(i)];
        if (href.startsWith('#')) {
            EXPECT_TRUE(HasAnchor(*help.browser()->document(), href.mid(1)));
        }
    }
}

}  // namespace
}  // namespace qg::test
