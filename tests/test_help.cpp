// The help window, the about window, the maker's button, the toolbar hints,
// and which commands stop the clock while their window is open.

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "shell/AboutDlg.h"
#include "shell/Dialogs.h"
#include "shell/HelpWindow.h"
#include "shell/Texts.h"
#include "tests/ShellFixture.h"

namespace qg {
namespace {

constexpr int kGerman = 1;
constexpr int kEnglish = 0;

std::vector<HelpWindow*> OpenHelpWindows() {
    std::vector<HelpWindow*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* help = qobject_cast<HelpWindow*>(w)) out.push_back(help);
    return out;
}

// Where the anchor's text begins in the browser's document, in pixels from the top.
std::optional<int> AnchorTop(QTextBrowser& browser, const QString& name) {
    QTextDocument& doc = *browser.document();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(name))
                return static_cast<int>(doc.documentLayout()->blockBoundingRect(block).top());
    return std::nullopt;
}

void WriteFile(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

// GameWindows over a plain main window, with a program directory of its own.
class HelpWindows : public ::testing::Test {
protected:
    void SetUp() override {
        main.resize(500, 366);
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    }
    void TearDown() override {
        windows.reset();
        ASSERT_TRUE(OpenHelpWindows().empty()) << "the help window goes with the game's windows";
    }
    QString Dir() const { return dir.path() + "/"; }
    void CopyRealHelp() { ASSERT_TRUE(QFile::copy(test::GameDir() + kHelpFile, Dir() + kHelpFile)); }
    HelpWindow& Shown() {
        auto all = OpenHelpWindows();
        EXPECT_EQ(all.size(), 1u);
        HelpWindow* help = all.at(0);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(help));
        QCoreApplication::processEvents();
        return *help;
    }

    QTemporaryDir dir;
    test::ConfigHome config;
    Settings settings{QDir(config.Path()).filePath("V1.ini")};
    QWidget main;
    std::unique_ptr<GameWindows> windows = std::make_unique<GameWindows>(main, Dir(), settings);
};

TEST_F(HelpWindows, OpensAtTheSectionOfTheLanguageAndASecondPressReusesTheWindow) {
    CopyRealHelp();
    struct Case {
        int language;
        const char* anchor;
    };
    // Any language other than 1 reads English, the unchosen -1 too.
    const Case cases[] = {{kGerman, "Das_Spiel"}, {kEnglish, "The_Game"}, {kGerman, "Das_Spiel"}, {-1, "The_Game"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.anchor);
        windows->ShowHelp(c.language);
        HelpWindow& help = Shown();
        EXPECT_TRUE(help.isVisible());
        EXPECT_FALSE(help.isModal());
        EXPECT_FALSE(help.notice()->isVisible());
        EXPECT_EQ(help.browser()->source().fragment(), c.anchor);
        EXPECT_EQ(help.browser()->source().toLocalFile(), Dir() + kHelpFile);
        // The section's heading stands at the top of the view.
        const std::optional<int> top = AnchorTop(*help.browser(), c.anchor);
        ASSERT_TRUE(top.has_value());
        QScrollBar* bar = help.browser()->verticalScrollBar();
        EXPECT_NEAR(bar->value(), std::min(*top, bar->maximum()), 4);
    }
    // The halves are far apart, so the position tells them apart.
    HelpWindow& help = Shown();
    EXPECT_GT(*AnchorTop(*help.browser(), "The_Game"), *AnchorTop(*help.browser(), "Das_Spiel") + 1000);
}

TEST_F(HelpWindows, AMissingFileIsSaidInTheWindowInTheLanguageAndTheHelpComesOnceItIsThere) {
    struct Case {
        int language;
        const char* says;
    };
    const Case cases[] = {{kGerman, "wurde nicht gefunden"}, {kEnglish, "was not found"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        windows->ShowHelp(c.language);
        HelpWindow& help = Shown();
        const QString text = help.browser()->toPlainText();
        EXPECT_TRUE(text.contains(c.says)) << text.toStdString();
        EXPECT_TRUE(text.contains(Dir() + kHelpFile));
    }
    CopyRealHelp();
    windows->ShowHelp(kEnglish);
    HelpWindow& help = Shown();
    EXPECT_FALSE(help.browser()->toPlainText().contains("was not found"));
    EXPECT_EQ(help.browser()->source().fragment(), "The_Game");
    EXPECT_TRUE(AnchorTop(*help.browser(), "The_Game").has_value());
}

TEST_F(HelpWindows, AMissingSectionIsSaidAboveTheFileShownFromItsBeginning) {
    struct Case {
        int language;
        const char* present;  // the one anchor the file has
        const char* says;
    };
    const Case cases[] = {{kEnglish, "Das_Spiel", "The section \"The_Game\" is missing"},
                          {kGerman, "The_Game", "Der Abschnitt \u201EDas_Spiel\u201C fehlt"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        windows.reset();  // a fresh window reads the new file
        windows = std::make_unique<GameWindows>(main, Dir(), settings);
        QByteArray page = "<html><body><h1>Top</h1>";
        for (int i = 0; i < 200; ++i) page += "<p>Line</p>";
        page += QByteArray("<h2><a name=\"") + c.present + "\"></a>Here</h2><p>Text</p></body></html>";
        WriteFile(Dir() + kHelpFile, page);

        windows->ShowHelp(c.language);
        HelpWindow& help = Shown();
        EXPECT_TRUE(help.notice()->isVisible());
        EXPECT_TRUE(help.notice()->text().contains(QString::fromUtf8(c.says))) << help.notice()->text().toStdString();
        EXPECT_EQ(help.browser()->verticalScrollBar()->value(), 0);
        EXPECT_TRUE(help.browser()->toPlainText().startsWith("Top"));
        // Asked in the other language, the section is there and the note goes.
        windows->ShowHelp(c.language == kGerman ? kEnglish : kGerman);
        EXPECT_FALSE(help.notice()->isVisible());
    }
}

TEST_F(HelpWindows, CloseHelpClosesTheWindowAndWithoutOneDoesNothing) {
    windows->CloseHelp();  // never opened
    EXPECT_TRUE(OpenHelpWindows().empty());
    CopyRealHelp();
    windows->ShowHelp(kGerman);
    HelpWindow& help = Shown();
    windows->CloseHelp();
    EXPECT_FALSE(help.isVisible());
}

// The help file the build puts beside the game: both halves and both makers'
// sections are there, every picture it shows exists, and every link inside it
// leads to a section that exists.
TEST(HelpFile, HasItsSectionsAndEveryPictureAndInnerLinkResolves) {
    const QString path = test::GameDir() + kHelpFile;
    ASSERT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
    QTextBrowser browser;
    browser.setSource(QUrl::fromLocalFile(path));
    const QTextDocument& doc = *browser.document();
    for (const char* anchor : {"Das_Spiel", "The_Game", "Die_Macher", "Quirko_Games"})
        EXPECT_TRUE(HasAnchor(doc, anchor)) << anchor;

    std::set<QString> pictures, links;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) pictures.insert(format.toImageFormat().name());
            if (format.isAnchor() && !format.anchorHref().isEmpty()) links.insert(format.anchorHref());
        }
    EXPECT_GE(pictures.size(), 6u) << "the boards are shown";
    for (const QString& picture : pictures) {
        SCOPED_TRACE(picture.toStdString());
        const QString file = test::GameDir() + picture;
        EXPECT_TRUE(QFileInfo(file).isFile());
        EXPECT_FALSE(QImage(file).isNull());
    }
    EXPECT_FALSE(links.empty());
    for (const QString& link : links) {
        SCOPED_TRACE(link.toStdString());
        if (link.startsWith("http")) continue;
        ASSERT_TRUE(link.startsWith('#'));
        EXPECT_TRUE(HasAnchor(doc, link.mid(1)));
    }
}

// The maker's button: the makers' section of the help file in the browser.
TEST(MakersPage, OpensTheMakersSectionOfTheHelpFileAndNothingWithoutIt) {
    QTemporaryDir dir;
    const QString programDir = dir.path() + "/";
    std::vector<QUrl> opened;
    const UrlOpener record = [&](const QUrl& url) {
        opened.push_back(url);
        return true;
    };
    EXPECT_FALSE(OpenMakersPage(programDir, kGerman, record)) << "no help file, nothing to show";
    EXPECT_TRUE(opened.empty());

    // A help file without the makers' sections has nothing to show either.
    WriteFile(programDir + kHelpFile, "<html><body><h1><a name=\"The_Game\"></a>Game</h1></body></html>");
    for (int language : {kGerman, kEnglish}) EXPECT_FALSE(OpenMakersPage(programDir, language, record)) << language;
    EXPECT_TRUE(opened.empty());

    WriteFile(programDir + kHelpFile,
              "<html><body><h2><a name=\"Die_Macher\"></a>Macher</h2><h2><a name=\"Quirko_Games\"></a>Makers</h2>"
              "</body></html>");
    struct Case {
        int language;
        const char* fragment;
    };
    for (const Case& c : {Case{kGerman, "Die_Macher"}, Case{kEnglish, "Quirko_Games"}, Case{-1, "Quirko_Games"}}) {
        SCOPED_TRACE(c.fragment);
        opened.clear();
        EXPECT_TRUE(OpenMakersPage(programDir, c.language, record));
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_TRUE(opened[0].isLocalFile());
        EXPECT_EQ(opened[0].toLocalFile(), programDir + kHelpFile);
        EXPECT_EQ(opened[0].fragment(), c.fragment);
    }
    const UrlOpener refuse = [](const QUrl&) { return false; };
    EXPECT_FALSE(OpenMakersPage(programDir, kEnglish, refuse)) << "the opener's failure is passed on";
}

// The maker's button through the main window: the makers' section in the
// player's language, and nothing more for the rest of the run once it failed.
TEST(QuirkoButton, OpensTheMakersSectionInTheBrowserAndAfterAFailureStaysQuiet) {
    struct Case {
        int language;
        const char* fragment;
    };
    for (const Case& c : {Case{kGerman, "Die_Macher"}, Case{kEnglish, "Quirko_Games"}}) {
        SCOPED_TRACE(c.fragment);
        test::ConfigHome config;
        Settings().WriteInteger("common", "tongue", c.language);
        test::ScriptedWindows windows;
        std::unique_ptr<TMainForm> form = test::ShowMainForm(windows);
        ASSERT_NE(form, nullptr);
        std::vector<QUrl> opened;
        bool opens = true;
        form->UseUrlOpener([&](const QUrl& url) {
            opened.push_back(url);
            return opens;
        });
        test::ClickButton(*form, "QuirkoBtn");
        test::ClickButton(*form, "QuirkoBtn");
        ASSERT_EQ(opened.size(), 2u);
        for (const QUrl& url : opened) {
            EXPECT_EQ(url.toLocalFile(), test::GameDir() + kHelpFile);
            EXPECT_EQ(url.fragment(), c.fragment);
        }
        opens = false;
        test::ClickButton(*form, "QuirkoBtn");
        test::ClickButton(*form, "QuirkoBtn");
        EXPECT_EQ(opened.size(), 3u) << "after the failure the button does nothing";
    }
}

TEST(QuirkoButton, WithoutTheHelpFileNoBrowserIsStarted) {
    test::ConfigHome config;
    test::ProgramDir dir;  // the sheets only
    test::ScriptedWindows windows;
    std::unique_ptr<TMainForm> form = test::ShowMainForm(windows, dir.Dir());
    ASSERT_NE(form, nullptr);
    int opened = 0;
    form->UseUrlOpener([&](const QUrl&) {
        ++opened;
        return true;
    });
    test::ClickButton(*form, "QuirkoBtn");
    WriteFile(dir.Path(kHelpFile), "<html></html>");
    test::ClickButton(*form, "QuirkoBtn");  // the run has given up on it
    EXPECT_EQ(opened, 0);
}

// Runs `answer` on the modal window as soon as it is open.
void WhenModalOpens(std::function<void(QWidget&)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        answer(*modal);
    });
}

TEST_F(HelpWindows, AboutWindowNamesTheGameItsVersionAndWhatItIsBuiltOnAndClosesWithOK) {
    struct Case {
        int language;
        const char* builtOn;
    };
    const Case cases[] = {{kGerman, "Gebaut mit Qt 6, FluidSynth und SDL2."},
                          {kEnglish, "Built on Qt 6, FluidSynth and SDL2."}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.builtOn);
        bool seen = false;
        WhenModalOpens([&](QWidget& modal) {
            auto* about = qobject_cast<TMultiDlg*>(&modal);
            ASSERT_NE(about, nullptr);
            seen = true;
            EXPECT_EQ(about->nameLabel()->text(), "Quirko Gyrelle");
            EXPECT_EQ(about->versionLabel()->text(), "Version  V1.5");
            EXPECT_EQ(about->accessibleName(),
                      c.language == kGerman ? QString::fromUtf8("Über Quirko Gyrelle") : QString("About Quirko Gyrelle"));
            EXPECT_EQ(about->accessibleDescription(), about->makersLabel()->text());
            const QString credits = about->creditsLabel()->text();
            EXPECT_TRUE(credits.startsWith(c.builtOn)) << credits.toStdString();
            for (const char* font : {"FluidR3_GM", "Frank Wen", "TimGM6mb", "GPL-3.0-or-later"})
                EXPECT_TRUE(credits.contains(font)) << font;
            EXPECT_TRUE(about->isModal());
            QTest::mouseClick(about->okButton(), Qt::LeftButton);
        });
        windows->ShowAbout(c.language);  // returns once OK closed it
        EXPECT_TRUE(seen);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

// Every hint of the toolbar, in both languages, for both states of the toggles.
TEST(ToolbarHints, EveryHintInBothLanguagesAndBothToggleStates) {
    struct Hint {
        const char* element;
        QString ToolbarTexts::*field;
        const char* german;
        const char* english;
    };
    const Hint fixed[] = {
        {"MixBtn", &ToolbarTexts::mix, "Ich fang neu an.", "I start again."},
        {"OptionBtn", &ToolbarTexts::option, "Gibts da kein anderes Muster?", "Are there any more patterns?"},
        {"PauseBtn", &ToolbarTexts::pause, "Ich brauch eine kurze Pause.", "I need a break."},
        {"HighScoreBtn", &ToolbarTexts::highScore, "Wer sind die Besten?", "Who is the best?"},
        {"ExitBtn", &ToolbarTexts::exit, "Ich hab genug!", "That's enough for now!"},
        {"TimeLabel", &ToolbarTexts::timeLabel, "Zeit:", "Time:"},
        {"TongueBtn", &ToolbarTexts::tongue, "I don't speak german.", "Ich spreche nicht englisch."},
        {"HelpBtn", &ToolbarTexts::help, "Ich laß mir unter die Arme greifen.", "I need help."},
        {"InfoBtn", &ToolbarTexts::info, "Wer hat diese Spiele nur verbrochen?", "Who's the QUIRKO GAMES inventor?"},
        {"QuirkoBtn", &ToolbarTexts::quirko, "Hurra, es gibt noch mehr Quirko Games.",
         "Hurrah, there are more QUIRKO GAMES."},
    };
    struct Toggle {
        const char* element;
        QString ToolbarTexts::*field;
        bool sound;  // else the music button
        const char* germanPressed;
        const char* englishPressed;
        const char* germanReleased;
        const char* englishReleased;
    };
    // The puzzle buttons' hints come from the puzzles' records.
    struct PuzzleHintCase {
        int game;
        const char* german;
        const char* english;
    };
    const PuzzleHintCase puzzles[] = {
        {kTorvane, "Jetzt spiel ich eine Runde TORVANE.", "A lap TORVANE for me."},
        {kPellora, "Jetzt knack ich schnell das PELLORA.", "I quickly solve the PELLORA."},
        {kNubbler, "Nach NUBBLER steht mir der Sinn.", "NUPBLER is, what I like now."},
        {kCirrela, "CIRRELA wartet schon auf mich.", "CIRRELA waits for me."},
    };
    const Toggle toggles[] = {
        {"SoundBtn", &ToolbarTexts::sound, true, "Ich schalte die Geräusche lieber aus.", "I like it without sound-effects.",
         "Ohne Geräusche ist es doch etwas fad.", "Without sound ist is boring."},
        {"MidiBtn", &ToolbarTexts::midi, false, "Ohne Musik ist es mir lieber.", "I don't like the music now.",
         "Ich mag die Musik.", "Ich like the music."},
    };
    for (int language : {kGerman, kEnglish, -1, 2}) {
        const bool german = language == kGerman;
        for (bool sound : {true, false})
            for (bool midi : {true, false}) {
                SCOPED_TRACE(testing::Message() << "language " << language << ", sound " << sound << ", music " << midi);
                const ToolbarTexts t = ToolbarTextsFor(language, sound, midi);
                for (const Hint& h : fixed)
                    EXPECT_EQ(t.*h.field, QString::fromUtf8(german ? h.german : h.english)) << h.element;
                for (const PuzzleHintCase& h : puzzles)
                    EXPECT_EQ(PuzzleHint(language, h.game), QString::fromUtf8(german ? h.german : h.english))
                        << Record(h.game).buttonName;
                for (const Toggle& g : toggles) {
                    const bool pressed = g.sound ? sound : midi;
                    const char* want = pressed ? (german ? g.germanPressed : g.englishPressed)
                                               : (german ? g.germanReleased : g.englishReleased);
                    EXPECT_EQ(t.*g.field, QString::fromUtf8(want)) << g.element;
                }
            }
    }
}

// The rules over the board, word for word with their line breaks, in both
// languages; any other language than German reads English.
TEST(ToolbarHints, TheRulesOfEveryPuzzleInBothLanguages) {
    struct Rules {
        int game;
        const char* german;
        const char* english;
    };
    const Rules rules[] = {
        {kTorvane, "Drehe die schwarzen TORVANE-Teller.\rStelle die rechts gezeigteOrdnung her.",
         "Rotate the black TORVANE-plates.\rTry to build the pattern shown right."},
        {kPellora, "Drehe jeweils sechs Linsen des PELLORAs\rbis die Farben der Linsen und der\rPellorasektoren übereinstimmen.",
         "Rotate every six pills of the PELLORA\runtil the color of the pills fits to\rthe color of the ground."},
        {kNubbler, "Drehe die NUBBLER-Scheiben.\rKnöpfe, die nebeneinander liegen,\rmüssen die gleiche Farbe haben.",
         "Rotate the NUBBLER-plates.\rButtons, which lay next to each\rother, must have the same color."},
        {kCirrela, "Rolle die Kugeln in den CIRRELA-Ringen.\rStelle die rechts oben gezeigte Ordnung her.",
         "Roll the balls in the CIRRELA-rings.\rTry to build the pattern shown right."},
    };
    for (const Rules& r : rules)
        for (const int language : {kGerman, kEnglish, -1, 2}) {
            SCOPED_TRACE(testing::Message() << Record(r.game).name << ", language " << language);
            EXPECT_EQ(RulesText(language, r.game), QString::fromUtf8(language == kGerman ? r.german : r.english));
        }
    EXPECT_EQ(ForDisplay(RulesText(kEnglish, kTorvane)),
              "Rotate the black TORVANE-plates.\nTry to build the pattern shown right.");
}

// Records whether the clock's timer ran at the moment each window opened.
class ClockWatchingWindows : public test::ScriptedWindows {
public:
    void ShowHelp(int language) override {
        Note("help");
        ScriptedWindows::ShowHelp(language);
    }
    void ShowAbout(int language) override {
        Note("about");
        ScriptedWindows::ShowAbout(language);
    }
    std::optional<int> ChooseLanguage(int language) override {
        Note("language");
        return ScriptedWindows::ChooseLanguage(language);
    }
    void ShowHighscores(int language, const QString& key, int time) override {
        Note("highscores");
        ScriptedWindows::ShowHighscores(language, key, time);
    }
    void Note(const std::string& window) {
        if (form) timerRan[window] = form->timer().isActive();
    }

    TMainForm* form = nullptr;  // set once the window is up; the start-up windows are not watched
    std::map<std::string, bool> timerRan;
};

TEST(ToolbarCommands, HighScoreHelpAndAboutStopTheClockWhileTheirWindowOpensTheLanguageWindowDoesNot) {
    test::ConfigHome config;
    ClockWatchingWindows windows;
    std::unique_ptr<TMainForm> form = test::ShowMainForm(windows);
    ASSERT_NE(form, nullptr);
    windows.form = form.get();
    struct Case {
        const char* button;
        const char* window;
        bool clockRunsMeanwhile;
    };
    const Case cases[] = {
        {"HighScoreBtn", "highscores", false},
        {"HelpBtn", "help", false},
        {"InfoBtn", "about", false},
        {"TongueBtn", "language", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        windows.timerRan.clear();
        form->timer().start();
        test::ClickButton(*form, c.button);
        ASSERT_EQ(windows.timerRan.count(c.window), 1u) << "the window was not opened";
        EXPECT_EQ(windows.timerRan[c.window], c.clockRunsMeanwhile);
        EXPECT_TRUE(form->timer().isActive()) << "the clock runs afterwards";
    }
    form->timer().stop();
}

}  // namespace
}  // namespace qg
