// The message windows as the player meets them: their texts in both
// languages, their keys and buttons, where they open, and how the main window
// goes on after each answer. Modal windows are answered through the real
// widgets, from a timer that finds the open window.

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "shell/Dialogs.h"
#include "shell/MessageDialogs.h"
#include "shell/PositionKeeper.h"
#include "tests/ShellFixture.h"

static void InitPictures() { Q_INIT_RESOURCE(pictures); }

namespace qg::test {
namespace {

// What a player does to an open window.
using Act = std::function<void(QDialog&)>;

QPushButton* Btn(QDialog& d, const char* name) { return d.findChild<QPushButton*>(name); }

void Press(QDialog& d, Qt::Key key) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target && d.isAncestorOf(target) ? target : &d, key);
}

Act ClickOn(const char* button) {
    return [button](QDialog& d) {
        QPushButton* b = Btn(d, button);
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    };
}
Act Key(Qt::Key key) {
    return [key](QDialog& d) { Press(d, key); };
}
Act CloseIt() {
    return [](QDialog& d) { d.close(); };
}

// Answers the modal windows that open from now on, one act each, and notes
// which windows they were. A window still open long after its act is closed
// by force, so a broken window fails the test instead of hanging it.
class Player : public QObject {
public:
    explicit Player(std::vector<Act> acts) : acts_(std::move(acts)) {
        connect(&poll_, &QTimer::timeout, this, &Player::Look);
        poll_.start(5);
    }
    std::vector<std::string> seen;  // object names of the windows, in order
    bool forced = false;

private:
    void Look() {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d) {
            current_ = nullptr;
            return;
        }
        if (d == current_) {
            if (++waited_ > 1000) {  // about five seconds
                forced = true;
                d->done(-1);
            }
            return;
        }
        // Acted on once it is the active window, as the player meets it: the
        // focus is given only then, and under load that comes a while after
        // the window is shown.
        if (!d->isActiveWindow() && ++unseen_ < 1000) return;
        unseen_ = 0;
        current_ = d;
        waited_ = 0;
        seen.push_back(d->objectName().toStdString());
        if (next_ < acts_.size()) acts_[next_++](*d);
    }

    std::vector<Act> acts_;
    std::size_t next_ = 0;
    QDialog* current_ = nullptr;
    int waited_ = 0;
    int unseen_ = 0;
    QTimer poll_;
};

// A stand-in main window of the game's size, and the game's windows over it.
class WindowsTest : public ::testing::Test {
protected:
    WindowsTest() : windows_(main_, GameDir(), settings_) {
        InitPictures();
        main_.setFixedSize(500, 366);
        main_.move(100, 50);
        main_.show();
    }
    ConfigHome home_;
    Settings settings_;
    QWidget main_;
    GameWindows windows_;
};

struct TextCase {
    const char* window;
    int language;
    std::function<void(GameWindows&)> open;
    const char* messageName;
    QString message, ok, cancel;
};

const QString kNone;

std::vector<TextCase> TextCases() {
    auto pause = [](GameWindows& w, int l) { w.ShowPaused(l); };
    auto done = [](GameWindows& w, int l) { w.ShowSolved(l); };
    auto giveUp = [](GameWindows& w, int l) { w.AskGiveUp(l); };
    auto quit = [](GameWindows& w, int l) { w.AskQuit(l); };
    std::vector<TextCase> cases;
    for (int language : {1, 0, -1, 7}) {
        const bool de = language == 1;
        auto at = [language](auto f) { return [f, language](GameWindows& w) { f(w, language); }; };
        cases.push_back({"PauseDlg", language, at(pause), "msg", de ? "Spiel angehalten!" : "Game paused!",
                         de ? "Fortsetzen" : "Continue", kNone});
        cases.push_back({"DoneDlg", language, at(done), "Msg", de ? "Hurra, geschafft!" : "Hurrah, you did it!", "OK", kNone});
        cases.push_back({"NewGameDlg", language, at(giveUp), "msg",
                         de ? QString::fromUtf8("Willst Du das Rätsel wirklich aufgeben?") : "Do you really want to giveup the puzzle?",
                         de ? "Ja" : "Yes", de ? "Nein" : "No"});
        cases.push_back({"EndGameDlg", language, at(quit), "msg",
                         de ? "Willst Du das Spiel wirklich beenden?" : "Do you really want to end the game?",
                         de ? "Ja" : "Yes", de ? "Nein" : "No"});
    }
    return cases;
}

// The text a label or button shows fits it whole.
void ExpectWhole(const QLabel& label) {
    const QRect box(QPoint(0, 0), label.size());
    const QRect needed = QFontMetrics(label.font()).boundingRect(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, label.text());
    EXPECT_TRUE(box.contains(needed)) << label.text().toStdString() << " needs " << needed.width() << "x" << needed.height();
}
void ExpectWhole(const BitBtn& b) {
    EXPECT_LE(b.TextLeft() + b.fontMetrics().horizontalAdvance(b.text()), b.width() - 3) << b.text().toStdString();
}

TEST_F(WindowsTest, EveryTextInItsLanguageWholeOnTheWindow) {
    for (const TextCase& c : TextCases()) {
        SCOPED_TRACE(std::string(c.window) + " language " + std::to_string(c.language));
        bool looked = false;
        Player player({[&](QDialog& d) {
            looked = true;
            auto* message = d.findChild<QLabel*>(c.messageName);
            ASSERT_NE(message, nullptr);
            EXPECT_EQ(message->text(), c.message);
            // A screen reader names the window by its purpose and reads the message.
            const bool de = c.language == 1;
            const std::map<std::string, QString> purpose = {
                {"PauseDlg", "Pause"},
                {"DoneDlg", de ? QString::fromUtf8("Gelöst") : "Solved"},
                {"NewGameDlg", de ? "Aufgeben?" : "Give up?"},
                {"EndGameDlg", de ? "Beenden?" : "Quit?"}};
            EXPECT_EQ(d.accessibleName(), purpose.at(c.window));
            EXPECT_EQ(d.accessibleDescription(), c.message);
            ExpectWhole(*message);
            auto* ok = d.findChild<BitBtn*>("OKBtn");
            ASSERT_NE(ok, nullptr);
            EXPECT_EQ(ok->text(), c.ok);
            ExpectWhole(*ok);
            auto* cancel = d.findChild<BitBtn*>("CancelBtn");
            EXPECT_EQ(cancel ? cancel->text() : kNone, c.cancel);
            if (cancel) ExpectWhole(*cancel);
            QTest::mouseClick(ok, Qt::LeftButton);
        }});
        c.open(windows_);
        EXPECT_TRUE(looked);
        EXPECT_EQ(player.seen, std::vector<std::string>{c.window});
        EXPECT_FALSE(player.forced);
    }
}

TEST_F(WindowsTest, TheFamilyIsFramelessOfItsSizeWithFramesAndTheQuestionOnTop) {
    struct Case {
        QDialog* window;
        QRect message;
        int fontPixels;
        QRect ok;
        QRect cancel;
        bool onTop;
    };
    const Case cases[] = {
        {&windows_.PauseDlg(), {32, 21, 185, 24}, 16, {144, 88, 94, 27}, {}, false},
        {&windows_.DoneDlg(), {32, 20, 185, 21}, 16, {168, 88, 70, 27}, {}, false},
        {&windows_.NewGameDlg(), {40, 13, 169, 37}, 15, {92, 88, 70, 27}, {168, 88, 70, 27}, false},
        {&windows_.EndGameDlg(), {32, 13, 185, 37}, 13, {92, 88, 70, 27}, {168, 88, 70, 27}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window->objectName().toStdString());
        EXPECT_EQ(c.window->size(), QSize(250, 125));
        EXPECT_TRUE(c.window->windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(bool(c.window->windowFlags() & Qt::WindowStaysOnTopHint), c.onTop);
        EXPECT_EQ(c.window->findChild<QWidget*>("Shape2")->geometry(), QRect(0, 0, 250, 125));
        EXPECT_EQ(c.window->findChild<QWidget*>("Shape1")->geometry(), QRect(8, 8, 233, 45));
        auto* message = c.window->findChild<QLabel*>(c.window == &windows_.DoneDlg() ? "Msg" : "msg");
        EXPECT_EQ(message->geometry(), c.message);
        EXPECT_EQ(message->font().pixelSize(), c.fontPixels);
        EXPECT_TRUE(message->font().bold());
        EXPECT_EQ(Btn(*c.window, "OKBtn")->geometry(), c.ok);
        QPushButton* cancel = Btn(*c.window, "CancelBtn");
        EXPECT_EQ(cancel ? cancel->geometry() : QRect(), c.cancel);
    }
}

// Results: 1 yes or OK, 2 for a cancel; Escape does nothing where there is no
// cancel button, so the window waits for its OK.
TEST_F(WindowsTest, EnterEscapeAndClosingAnswerEachWindow) {
    struct Case {
        const char* what;
        std::function<int()> open;
        std::vector<Act> acts;
        int result;
    };
    const int kUnused = 0;
    auto paused = [this] { windows_.ShowPaused(0); return kUnused; };
    auto solved = [this] { windows_.ShowSolved(0); return kUnused; };
    auto giveUp = [this] { return windows_.AskGiveUp(0); };
    auto quit = [this] { return windows_.AskQuit(1); };
    const Case cases[] = {
        {"pause Enter", paused, {Key(Qt::Key_Return)}, kUnused},
        {"solved Enter", solved, {Key(Qt::Key_Enter)}, kUnused},
        {"give-up Enter", giveUp, {Key(Qt::Key_Return)}, 1},
        {"give-up Escape", giveUp, {Key(Qt::Key_Escape)}, 2},
        {"give-up No", giveUp, {ClickOn("CancelBtn")}, 2},
        {"give-up Yes", giveUp, {ClickOn("OKBtn")}, 1},
        {"give-up closed", giveUp, {CloseIt()}, 2},
        {"give-up Tab Enter", giveUp, {[](QDialog& d) { Press(d, Qt::Key_Tab); Press(d, Qt::Key_Return); }}, 2},
        {"quit Enter", quit, {Key(Qt::Key_Return)}, 1},
        {"quit Escape", quit, {Key(Qt::Key_Escape)}, 2},
        {"quit closed", quit, {CloseIt()}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Player player(c.acts);
        EXPECT_EQ(c.open(), c.result);
        EXPECT_EQ(player.seen.size(), 1u);
        EXPECT_FALSE(player.forced);
    }
    // Escape leaves a notice open, and its OK button, which has the focus, closes it.
    for (QDialog* notice : {static_cast<QDialog*>(&windows_.PauseDlg()), static_cast<QDialog*>(&windows_.DoneDlg())}) {
        SCOPED_TRACE(notice->objectName().toStdString());
        bool stayed = false;
        Player player({[&](QDialog& d) {
            EXPECT_EQ(QApplication::focusWidget(), Btn(d, "OKBtn"));
            Press(d, Qt::Key_Escape);
            QCoreApplication::processEvents();
            stayed = d.isVisible();
            QTest::mouseClick(Btn(d, "OKBtn"), Qt::LeftButton);
        }});
        if (notice == &windows_.PauseDlg()) windows_.ShowPaused(0);
        else windows_.ShowSolved(0);
        EXPECT_TRUE(stayed);
        EXPECT_FALSE(player.forced);
    }
}

// Each opening centres the window over the main window's outer frame where it
// is now, by integer division, even partly off the screen.
TEST_F(WindowsTest, WindowsOpenOverTheMainWindowWhereverItWasMoved) {
    const QPoint places[] = {{100, 50}, {-333, -41}, {2000, 900}};
    for (const QPoint at : places) {
        main_.move(at);
        QCoreApplication::processEvents();
        const QRect frame = main_.frameGeometry();
        SCOPED_TRACE(QString("main at %1,%2").arg(frame.x()).arg(frame.y()).toStdString());
        std::vector<QRect> opened;
        auto note = [&](QDialog& d) {
            opened.push_back(d.frameGeometry());
            d.close();
        };
        Player player({note, note, note});
        windows_.ShowPaused(0);
        windows_.AskQuit(0);
        windows_.ChooseLanguage(0);
        ASSERT_EQ(opened.size(), 3u);
        const QPoint centred((frame.width() - 250) / 2 + frame.left(), (frame.height() - 125) / 2 + frame.top());
        EXPECT_EQ(opened[0].topLeft(), centred);
        EXPECT_EQ(opened[1].topLeft(), centred);
        // The language window: centred across, and over the lower part. (The
        // offscreen platform keeps a framed window's frame off negative
        // coordinates, so it is checked where that cannot interfere.)
        const QSize outer = opened[2].size();
        const QPoint tongue(frame.left() + (frame.width() - outer.width()) / 2,
                            frame.top() + frame.height() - (main_.height() + outer.height()) / 2);
        if (tongue.x() >= 0 && tongue.y() >= 0) {
            EXPECT_EQ(opened[2].topLeft(), tongue);
        }
    }
}

TEST_F(WindowsTest, LanguageWindowSetsTheLanguageOnlyByItsButtons) {
    struct Case {
        const char* what;
        Act act;
        std::optional<int> chosen;
    };
    const Case cases[] = {
        {"English", ClickOn("EnglishBtn"), 0},
        {"German", ClickOn("GermanBtn"), 1},
        {"Enter on the focused English button", Key(Qt::Key_Return), 0},
        {"close box", CloseIt(), std::nullopt},
        {"Escape", Key(Qt::Key_Escape), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Player player({[&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), "Quirko Gyrelle V1.5");
            EXPECT_EQ(d.size(), QSize(320, 91));
            EXPECT_EQ(QApplication::focusWidget(), Btn(d, "EnglishBtn"));
            EXPECT_EQ(Btn(d, "EnglishBtn")->text(), "I speak english.");
            EXPECT_EQ(Btn(d, "GermanBtn")->text(), "Ich spreche deutsch.");
            c.act(d);
        }});
        EXPECT_EQ(windows_.ChooseLanguage(1), c.chosen);
        EXPECT_EQ(player.seen, std::vector<std::string>{"TongueDlg"});
    }
}

TEST_F(WindowsTest, LanguageWindowShowsTheMainWindowsIcon) {
    QPixmap icon(32, 32);
    icon.fill(Qt::red);
    main_.setWindowIcon(QIcon(icon));
    QImage shown;
    Player player({[&](QDialog& d) {
        shown = d.findChild<QLabel*>("Image4")->pixmap().toImage();
        d.close();
    }});
    windows_.ChooseLanguage(0);
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(Qt::red));
}

// ---- The splash

TEST_F(WindowsTest, SplashClosesOnAClickOnItsPicture) {
    TSplash splash(main_, 60'000);
    QRect where;
    Player player({[&](QDialog& d) {
        where = d.frameGeometry();
        QTest::mouseClick(d.findChild<QLabel*>("Image1"), Qt::LeftButton, {}, QPoint(100, 75));
    }});
    splash.ShowModal();
    EXPECT_EQ(player.seen, std::vector<std::string>{"Splash"});
    EXPECT_FALSE(player.forced);
    EXPECT_EQ(where.size(), QSize(200, 150));
    const QRect screen = main_.screen()->geometry();
    EXPECT_EQ(where.center(), screen.center());
}

TEST_F(WindowsTest, SplashClosesByItsTimer) {
    TSplash splash(main_, 400);
    Player player({});  // nobody clicks
    splash.ShowModal();
    EXPECT_EQ(player.seen, std::vector<std::string>{"Splash"});
    EXPECT_FALSE(player.forced);
    EXPECT_FALSE(splash.isVisible());
}

// The time counts from the splash's creation: a start-up that took longer
// than the splash's time shows no splash at all.
TEST_F(WindowsTest, SplashTimeCountsFromItsCreation) {
    TSplash splash(main_, 100);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));  // a slow start, no events handled
    Player player({});
    splash.ShowModal();
    EXPECT_TRUE(player.seen.empty());
    EXPECT_FALSE(splash.isVisible());
}

// The game's splash counts from the making of the game's windows, at
// start-up, not from its showing: a start that used up the time shows none.
TEST_F(WindowsTest, GameSplashTimeCountsFromStartUp) {
    GameWindows windows(main_, GameDir(), settings_, 100);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));  // a slow start, no events handled
    Player player({});
    windows.ShowSplash();
    EXPECT_TRUE(player.seen.empty());
}

// Closed, the splash is gone with its picture.
TEST_F(WindowsTest, GameSplashIsGoneOnceClosed) {
    Player player({[](QDialog& d) { QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(20, 20)); }});
    windows_.ShowSplash();
    EXPECT_EQ(player.seen, std::vector<std::string>{"Splash"});
    EXPECT_FALSE(player.forced);
    EXPECT_TRUE(main_.findChildren<TSplash*>().isEmpty());
}

// ---- Through the main window, with the game's own windows

Act ClickSplash() {
    return [](QDialog& d) { QTest::mouseClick(&d, Qt::LeftButton, {}, QPoint(20, 20)); };
}

class GameTest : public ::testing::Test {
protected:
    // Opens the main window as the player starts it; `firstActs` answer the
    // windows of the first activation, whose names come back in order.
    std::vector<std::string> Start(int storedLanguage, std::vector<Act> firstActs, const QString& dir = GameDir()) {
        InitPictures();
        if (storedLanguage != -1) Settings().WriteInteger("common", "tongue", storedLanguage);
        const std::size_t expected = firstActs.size();
        Player first(std::move(firstActs));
        form_ = std::make_unique<TMainForm>(dir);
        form_->game().UseClock(clock_);
        if (!form_->FormCreate()) return {"no start"};
        form_->show();
        if (!QTest::qWaitForWindowExposed(form_.get())) return {"not exposed"};
        for (int i = 0; i < 200 && (first.seen.size() < expected || QApplication::activeModalWidget()); ++i) QTest::qWait(10);
        form_->timer().stop();
        return first.seen;
    }
    // Puts the current puzzle in play at `elapsed` with the clock running.
    void InPlay(int elapsed) {
        form_->Session(form_->GameIndex()).State = kStateInPlay;
        form_->Session(form_->GameIndex()).Elapsed = elapsed;
        form_->game().StopClock();
        form_->game().StartClock();
    }
    // Whether the clock counts: a second of play adds five ticks.
    bool ClockCounts() {
        const int before = form_->Session(form_->GameIndex()).Elapsed;
        Ticks(*form_, clock_, 5);
        return form_->Session(form_->GameIndex()).Elapsed == before + 5 && form_->timer().isActive();
    }
    // A snapshot of the board as the puzzle draws it now.
    std::vector<std::uint32_t> Board() {
        form_->boxPaint();
        const Surface& s = form_->Screen();
        return {s.data(), s.data() + s.width() * s.height()};
    }

    ConfigHome home_;
    FakePlayClock clock_;
    std::unique_ptr<TMainForm> form_;
};

TEST_F(GameTest, FirstStartShowsSplashThenLanguageThenSpeaksTheChoiceOncePerRun) {
    EXPECT_EQ(Start(-1, {ClickSplash(), ClickOn("GermanBtn")}), (std::vector<std::string>{"Splash", "TongueDlg"}));
    EXPECT_EQ(form_->Language(), 1);
    EXPECT_EQ(Button(*form_, "ExitBtn")->toolTip(), "Ich hab genug!");
    EXPECT_EQ(Button(*form_, "MixBtn")->toolTip(), "Ich fang neu an.");
    // Showing the window again opens nothing.
    Player later({});
    form_->hide();
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    QTest::qWait(50);
    EXPECT_TRUE(later.seen.empty());
}

TEST_F(GameTest, FirstStartWithAKnownLanguageShowsOnlyTheSplash) {
    EXPECT_EQ(Start(0, {ClickSplash()}), std::vector<std::string>{"Splash"});
    EXPECT_EQ(form_->Language(), 0);
}

TEST_F(GameTest, LanguageClosedAtFirstStartStaysUnchosenAndEnglish) {
    EXPECT_EQ(Start(-1, {ClickSplash(), CloseIt()}), (std::vector<std::string>{"Splash", "TongueDlg"}));
    EXPECT_EQ(form_->Language(), -1);
    EXPECT_EQ(Button(*form_, "ExitBtn")->toolTip(), "That's enough for now!");
}

// The toolbar's language button: a choice renews every text at once and the
// next window speaks it; the close box keeps what was there.
TEST_F(GameTest, LanguageButtonChoiceRenewsEveryTextAndCloseBoxKeepsIt) {
    ASSERT_EQ(Start(0, {ClickSplash()}), std::vector<std::string>{"Splash"});
    {
        Player player({ClickOn("GermanBtn")});
        ClickButton(*form_, "TongueBtn");
        EXPECT_EQ(player.seen, std::vector<std::string>{"TongueDlg"});
    }
    EXPECT_EQ(form_->Language(), 1);
    EXPECT_EQ(Button(*form_, "PauseBtn")->toolTip(), "Ich brauch eine kurze Pause.");
    EXPECT_EQ(Button(*form_, "TongueBtn")->toolTip(), "I don't speak german.");
    EXPECT_EQ(form_->findChild<QLabel*>("TimeLabel")->text(), "Zeit:");
    {
        Player player({CloseIt()});
        ClickButton(*form_, "TongueBtn");
    }
    EXPECT_EQ(form_->Language(), 1);
    EXPECT_EQ(Button(*form_, "PauseBtn")->toolTip(), "Ich brauch eine kurze Pause.");
    // Message windows opened later speak German.
    form_->Session(form_->GameIndex()).State = kStateInPlay;
    QString said;
    {
        Player player({[&](QDialog& d) {
            said = d.findChild<QLabel*>("msg")->text();
            QTest::mouseClick(Btn(d, "OKBtn"), Qt::LeftButton);
        }});
        ClickButton(*form_, "PauseBtn");
    }
    EXPECT_EQ(said, "Spiel angehalten!");
}

// The quit question comes for the exit button and the system close alike;
// only its yes ends the program.
TEST_F(GameTest, QuitQuestionForExitButtonAndSystemClose) {
    struct Case {
        const char* what;
        Act answer;
        bool ends;
    };
    const Case answers[] = {
        {"Yes", ClickOn("OKBtn"), true},
        {"Enter", Key(Qt::Key_Return), true},
        {"No", ClickOn("CancelBtn"), false},
        {"Escape", Key(Qt::Key_Escape), false},
        {"closed", CloseIt(), false},
    };
    for (const bool byExitButton : {true, false}) {
        for (const Case& c : answers) {
            SCOPED_TRACE(std::string(byExitButton ? "exit button, " : "system close, ") + c.what);
            ASSERT_EQ(Start(0, {ClickSplash()}), std::vector<std::string>{"Splash"});
            InPlay(3);
            bool clockStopped = false;
            Player player({[&](QDialog& d) {
                clockStopped = !form_->timer().isActive();
                clock_.Advance(std::chrono::seconds(10));  // the player thinks it over
                c.answer(d);
            }});
            if (byExitButton) ClickButton(*form_, "ExitBtn");
            else form_->close();
            QCoreApplication::processEvents();
            EXPECT_EQ(player.seen, std::vector<std::string>{"EndGameDlg"});
            EXPECT_TRUE(clockStopped);
            EXPECT_EQ(form_->isVisible(), !c.ends);
            if (!c.ends) {
                EXPECT_EQ(form_->Session(0).Elapsed, 3);
                EXPECT_TRUE(ClockCounts());
            }
            form_.reset();
        }
    }
}

// Mix and Option ask before giving up a puzzle in play, and only then; the
// answer "No" leaves board, State and Elapsed as they were and the clock goes on.
TEST_F(GameTest, GiveUpQuestionOnlyInPlayAndNoKeepsTheGame) {
    ASSERT_EQ(Start(0, {ClickSplash()}), std::vector<std::string>{"Splash"});
    form_->SelectGame(kPellora);  // has an option
    struct Case {
        const char* command;
        std::uint8_t state;
        Act answer;  // null: no question expected
        bool keeps;
    };
    const Case cases[] = {
        {"MixBtn", kStateInPlay, ClickOn("CancelBtn"), true},
        {"MixBtn", kStateInPlay, Key(Qt::Key_Escape), true},
        {"MixBtn", kStateInPlay, CloseIt(), true},
        {"MixBtn", kStateInPlay, ClickOn("OKBtn"), false},
        {"MixBtn", kStateReady, nullptr, false},
        {"MixBtn", kStateSolved, nullptr, false},
        {"OptionBtn", kStateInPlay, ClickOn("CancelBtn"), true},
        {"OptionBtn", kStateInPlay, Key(Qt::Key_Return), false},
        {"OptionBtn", kStateReady, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " in state " + std::to_string(c.state));
        InPlay(37);
        form_->Session(kPellora).State = c.state;
        const auto before = Board();
        Player player(c.answer ? std::vector<Act>{c.answer} : std::vector<Act>{});
        // The option button's upper-right triangle: one variant up.
        ClickButton(*form_, c.command, QPoint(20, 4));
        EXPECT_EQ(player.seen, c.answer ? std::vector<std::string>{"NewGameDlg"} : std::vector<std::string>{});
        if (c.keeps) {
            EXPECT_EQ(form_->Session(kPellora).State, kStateInPlay);
            EXPECT_EQ(form_->Session(kPellora).Elapsed, 37);
            EXPECT_EQ(Board(), before);
            EXPECT_TRUE(ClockCounts());
        } else {
            EXPECT_EQ(form_->Session(kPellora).Elapsed, 0);
        }
    }
}

// The pause window opens only in play and stops the clock while it is open.
TEST_F(GameTest, PauseStopsTheClockAndOpensOnlyInPlay) {
    ASSERT_EQ(Start(0, {ClickSplash()}), std::vector<std::string>{"Splash"});
    for (const std::uint8_t state : {kStateInPlay, kStateReady, kStateSolved}) {
        SCOPED_TRACE(int(state));
        InPlay(5);
        form_->Session(0).State = state;
        bool clockStopped = false;
        Player player({[&](QDialog& d) {
            clockStopped = !form_->timer().isActive();
            // A long break, with a tick that might come meanwhile.
            clock_.Advance(std::chrono::minutes(5));
            form_->TimerTimer();
            QTest::mouseClick(Btn(d, "OKBtn"), Qt::LeftButton);
        }});
        ClickButton(*form_, "PauseBtn");
        const bool inPlay = state == kStateInPlay;
        EXPECT_EQ(player.seen, inPlay ? std::vector<std::string>{"PauseDlg"} : std::vector<std::string>{});
        EXPECT_EQ(clockStopped, inPlay);
        EXPECT_EQ(form_->Session(0).Elapsed, 5);
        if (inPlay) {
            EXPECT_TRUE(ClockCounts());
        }
    }
}

// A solved puzzle shows the solved window once, with the session already solved.
TEST_F(GameTest, SolvedWindowOnceWhenThePuzzleIsSolved) {
    ASSERT_EQ(Start(1, {ClickSplash()}), std::vector<std::string>{"Splash"});
    form_->Session(0).State = kStateInPlay;
    std::uint8_t stateShown = 0;
    QString said;
    Player player({[&](QDialog& d) {
        stateShown = form_->Session(0).State;
        said = d.findChild<QLabel*>("Msg")->text();
        Press(d, Qt::Key_Return);
    }, [](QDialog& d) { d.findChild<QPushButton*>("CancelBtn")->click(); }});
    form_->game().PuzzleSolved();
    form_->game().PuzzleSolved();
    // The high-score table follows the solved window, once too.
    EXPECT_EQ(player.seen, (std::vector<std::string>{"DoneDlg", "HighscoreDlg"}));
    EXPECT_FALSE(player.forced);
    EXPECT_EQ(stateShown, kStateSolved);
    EXPECT_EQ(said, "Hurra, geschafft!");
}

// A sheet that cannot be loaded on a switch shows its box while the clock of
// the puzzle in play stands still, and the game goes on where it was.
TEST_F(GameTest, SheetErrorOnASwitchStopsTheClockWhileItsBoxIsOpen) {
    ProgramDir dir;
    ASSERT_TRUE(QFile::remove(dir.Path(Record(kPellora).sheetFile)));
    ASSERT_EQ(Start(0, {ClickSplash()}, dir.Dir()), std::vector<std::string>{"Splash"});
    InPlay(8);
    bool clockStopped = false;
    Player player({[&](QDialog& d) {
        clockStopped = !form_->timer().isActive();
        clock_.Advance(std::chrono::seconds(30));
        form_->TimerTimer();
        d.accept();
    }});
    ClickButton(*form_, "PelloraBtn");
    EXPECT_EQ(player.seen.size(), 1u);
    EXPECT_TRUE(clockStopped);
    EXPECT_EQ(form_->GameIndex(), kTorvane);
    EXPECT_EQ(form_->Session(kTorvane).Elapsed, 8);
    EXPECT_TRUE(ClockCounts());
}

// ---- The main window's stored place with more than one screen

TEST(StoredPlaceOnScreens, KeptOnAnyScreenPulledBackOnlyWhereUnreachable) {
    const QSize frame(504, 370);
    const QRect primary(0, 0, 1920, 1080), left(-1280, 0, 1280, 1024), above(0, -1080, 1920, 1080);
    struct Case {
        const char* what;
        const char* stored;
        QList<QRect> screens;
        QPoint expected;
    };
    const Case cases[] = {
        {"on the screen left of the primary", "200,0,1,-1000,100,-496,470", {primary, left}, {-1000, 100}},
        {"on the screen above the primary", "200,0,1,100,-900,604,-530", {primary, above}, {100, -900}},
        {"across two screens", "200,0,1,-200,100,304,470", {primary, left}, {-200, 100}},
        {"across three screens, a corner where none is", "200,0,1,-100,-100,404,270", {primary, left, above}, {0, 0}},
        {"off the left screen's left edge", "200,0,1,-1400,100,-896,470", {primary, left}, {-1280, 100}},
        {"off the left screen's bottom", "200,0,1,-1000,900,-496,1270", {primary, left}, {-1000, 654}},
        {"into the gap below the smaller screen", "200,0,1,-300,800,204,1170", {primary, left}, {-504, 654}},
        {"on a screen that is gone", "200,0,1,-3000,100,-2496,470", {primary, left}, {0, 100}},
        {"above the primary with nothing there", "200,0,1,100,-50,604,320", {primary, left}, {100, 0}},
        {"off the primary's right edge", "200,0,1,1800,100,2304,470", {primary, left}, {1416, 100}},
        {"nothing stored: centred on the primary", "", {primary, left}, {708, 355}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(PlaceWindow(c.stored, frame, c.screens), c.expected);
    }
}

}  // namespace
}  // namespace qg::test
