// Where the game's windows go: the stored place is the frame's and comes
// back unchanged start after start; the title bar stays on a screen; every
// window is tied to the main window and fixed-size windows offer no
// maximise.

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "settings/Settings.h"
#include "shell/AboutDlg.h"
#include "shell/Dialogs.h"
#include "shell/HelpWindow.h"
#include "shell/HighscoreDlg.h"
#include "shell/MessageDialogs.h"
#include "shell/PositionKeeper.h"
#include "tests/ShellFixture.h"

namespace qg::test {
namespace {

// An openbox frame: 1 pixel border, a title bar 20 pixels high over it.
constexpr QMargins kOpenboxFrame(1, 20, 1, 1);
constexpr QSize kMainClient(500, 366);

QString Stored(QPoint frame, QSize outer) {
    return DescribePlacement(QRect(frame, outer), kShowNormal);
}

TEST(FramePlacement, ClientGoesInsideTheStoredFrameAndTheTitleBarStaysOnScreen) {
    const QRect screen(0, 0, 1280, 1024);
    const QRect right(1280, 0, 1024, 768);
    const QSize outer = kMainClient.grownBy(kOpenboxFrame);  // 502 x 387
    struct Case {
        const char* what;
        QString stored;
        QList<QRect> screens;
        QPoint client;  // where the client area goes
    };
    const Case cases[] = {
        {"on the screen: the frame where stored", Stored({89, 109}, outer), {screen}, {90, 129}},
        {"title bar above the screen: pulled down to the top edge", Stored({82, -20}, outer), {screen}, {83, 20}},
        {"left of the screen: pulled to the left edge", Stored({-300, 500}, outer), {screen}, {1, 520}},
        {"off the bottom right: the whole frame back on", Stored({1000, 900}, outer), {screen}, {779, 657}},
        {"nothing stored: the frame centred", QString(), {screen}, {390, 338}},
        {"on the second screen: stays there", Stored({1400, 100}, outer), {screen, right}, {1401, 120}},
        {"below the second screen: pulled onto it", Stored({1400, 700}, outer), {screen, right}, {1401, 401}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ClientPlace(c.stored, kMainClient, kOpenboxFrame, c.screens), c.client);
        // Whatever is pulled back, the frame's top edge (the title bar) is on a screen.
        const QRect frame = FrameRect(QRect(c.client, kMainClient), kOpenboxFrame);
        bool titleOnScreen = false;
        for (const QRect& s : c.screens) titleOnScreen |= s.contains(frame.topLeft()) && s.contains(frame.topRight());
        EXPECT_TRUE(titleOnScreen) << frame.x() << "," << frame.y();
    }
}

// Each start restores the stored place and each end stores the window's
// frame: with a frame round the window, the place must come back as it was.
TEST(FramePlacement, EightStartsKeepThePlace) {
    const QList<QRect> screens{QRect(0, 0, 1280, 1024)};
    for (const QMargins frame : {QMargins(), kOpenboxFrame, QMargins(4, 30, 4, 4)}) {
        for (const QPoint start : {QPoint(89, 109), QPoint(0, 0), QPoint(1280 - 510, 1024 - 420)}) {
            SCOPED_TRACE(testing::Message() << "frame top " << frame.top() << ", start " << start.x() << "," << start.y());
            const QString first = Stored(start, kMainClient.grownBy(frame));
            QString stored = first;
            for (int run = 0; run < 8; ++run) {
                const QPoint client = ClientPlace(stored, kMainClient, frame, screens);
                stored = DescribePlacement(FrameRect(QRect(client, kMainClient), frame), kShowNormal);
            }
            EXPECT_EQ(stored, first);
        }
    }
}

// A window shown by the main window, with the frame it got from the
// platform (the offscreen platform frames every framed window with 2 pixels).
class PlacementWindows : public testing::Test {
protected:
    void SetUp() override {
        main_.setFixedSize(kMainClient);
        main_.move(60, 40);
        main_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main_));
    }

    // Shows `window` as the game would (modeless here, so the test can look),
    // checks it and hides it again.
    void Look(QDialog& window, const std::function<void(QDialog&)>& check) {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        check(window);
        window.hide();
    }

    ConfigHome home_;
    Settings settings_;
    QWidget main_;
};

TEST_F(PlacementWindows, EveryWindowHasTheMainWindowAsTransientParentAndNoMaximise) {
    GameWindows windows(main_, GameDir(), settings_);
    TMultiDlg about(main_);
    THighscoreDlg highscores(main_, settings_);
    TSplash splash(main_, 60'000);
    std::vector<std::pair<const char*, QDialog*>> all{
        {"language", &windows.TongueDlg()}, {"quit", &windows.EndGameDlg()}, {"give-up", &windows.NewGameDlg()},
        {"pause", &windows.PauseDlg()},     {"solved", &windows.DoneDlg()},  {"about", &about},
        {"high scores", &highscores},       {"splash", &splash},
    };
    for (auto& [name, window] : all) {
        SCOPED_TRACE(name);
        Look(*window, [&](QDialog& w) {
            ASSERT_NE(w.windowHandle(), nullptr);
            EXPECT_EQ(w.windowHandle()->transientParent(), main_.windowHandle());
            EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "a window of fixed size";
            EXPECT_FALSE(w.windowHandle()->flags().testFlag(Qt::WindowMaximizeButtonHint));
        });
    }
}

// The help is no dialog and outlives its closing: it too is tied to the
// game, and opens where a help opened for the first time would, beside the
// game as it stands then.
TEST_F(PlacementWindows, TheHelpIsTiedToTheGameAndPlacedAnewEachTimeItOpens) {
    auto helps = [] {
        std::vector<HelpWindow*> found;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* h = qobject_cast<HelpWindow*>(w); h && h->isVisible()) found.push_back(h);
        return found;
    };
    GameWindows windows(main_, GameDir(), settings_);
    windows.ShowHelp(0);
    ASSERT_EQ(helps().size(), 1u);
    HelpWindow* help = helps().front();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    EXPECT_EQ(help->windowHandle()->transientParent(), main_.windowHandle());
    const QPoint first = help->pos();
    windows.CloseHelp();

    main_.move(main_.pos() + QPoint(150, 30));
    QCoreApplication::processEvents();
    windows.ShowHelp(0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    GameWindows fresh(main_, GameDir(), settings_);
    fresh.ShowHelp(0);
    const auto both = helps();
    ASSERT_EQ(both.size(), 2u);
    HelpWindow* other = both[0] == help ? both[1] : both[0];
    EXPECT_EQ(help->pos(), other->pos()) << "placed for where the game stands now";
    EXPECT_NE(help->pos(), first);
    windows.CloseHelp();
    fresh.CloseHelp();
}

TEST_F(PlacementWindows, TheMainWindowOffersNoMaximise) {
    ScriptedWindows scripted;
    const auto form = ShowMainForm(scripted);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    const Qt::WindowFlags flags = form->windowHandle()->flags();
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
}

// The windows are placed by their frames, over the main window's frame.
TEST_F(PlacementWindows, WindowsArePlacedByTheirFrames) {
    GameWindows windows(main_, GameDir(), settings_);
    const QRect mainFrame = main_.frameGeometry();
    ASSERT_NE(mainFrame, main_.geometry()) << "the offscreen platform frames its windows";
    Look(windows.PauseDlg(), [&](QDialog& w) {
        const QRect frame = w.frameGeometry();
        EXPECT_EQ(frame.topLeft(), QPoint((mainFrame.width() - frame.width()) / 2 + mainFrame.left(),
                                          (mainFrame.height() - frame.height()) / 2 + mainFrame.top()));
    });
    Look(windows.TongueDlg(), [&](QDialog& w) {
        const QRect frame = w.frameGeometry();
        ASSERT_NE(frame, w.geometry());
        EXPECT_EQ(frame.topLeft(), QPoint(mainFrame.left() + (mainFrame.width() - frame.width()) / 2,
                                          mainFrame.top() + mainFrame.height() - (main_.height() + frame.height()) / 2));
    });
}

// The error box at start-up comes before the main window shows.
TEST(ErrorBoxPlacement, CentredOnTheScreenBeforeTheMainWindowShowsAndOverItAfter) {
    ConfigHome home;
    Settings settings;
    QWidget main;
    main.setFixedSize(kMainClient);
    GameWindows windows(main, GameDir(), settings);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    auto shownAt = [&] {
        QRect frame;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            ASSERT_NE(box, nullptr);
            ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
            frame = box->frameGeometry();
            static_cast<QDialog*>(box)->done(0);
        });
        windows.ShowError(&main, "Not enough memory! Program aborted.");
        return frame;
    };
    const QRect before = shownAt();
    ASSERT_FALSE(before.isEmpty());
    EXPECT_EQ(before.topLeft(), QPoint(screen.x() + (screen.width() - before.width()) / 2,
                                       screen.y() + (screen.height() - before.height()) / 2));

    main.move(30, 20);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const QRect mainFrame = main.frameGeometry();
    const QRect after = shownAt();
    EXPECT_EQ(after.topLeft(), QPoint((mainFrame.width() - after.width()) / 2 + mainFrame.left(),
                                      (mainFrame.height() - after.height()) / 2 + mainFrame.top()));
}

// The main window restored from a stored place shows its frame there, and
// stores the same place again when it goes: no walking from run to run.
TEST(MainWindowPlacement, StoredPlaceComesBackUnchanged) {
    ConfigHome home;
    const QString first = "200,0,1,89,109,593,479";  // the offscreen frame: 504 x 370
    Settings().WriteString("common", "mainform", first);
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        ScriptedWindows scripted;
        {
            const auto form = ShowMainForm(scripted);
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(form->frameGeometry().topLeft(), QPoint(89, 109));
        }
        EXPECT_EQ(Settings().ReadString("common", "mainform", ""), first);
    }
}

}  // namespace
}  // namespace qg::test
