#pragma once
// The modal windows the main window opens, behind one interface so that the
// main window does not care how they look and tests can answer them.

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <array>
#include <memory>
#include <optional>

#include "shell/HighscoreDlg.h"

class QWidget;

namespace qg {

class Settings;
class TTongueDlg;
class TMessageDlg;
enum class MessageWindow;
class TSplash;
class HelpWindow;
class TMultiDlg;

// Results the shell reads.
inline constexpr int kAnswerYes = 1;      // give-up and quit questions: go ahead
inline constexpr int kAnswerKeepOn = 2;   // give-up question: keep playing

class MessageWindows {
public:
    virtual ~MessageWindows() = default;

    virtual void ShowSplash() = 0;
    // The language window: the new Language, or nothing when it was closed
    // without a choice.
    virtual std::optional<int> ChooseLanguage(int language) = 0;
    virtual int AskGiveUp(int language) = 0;   // kAnswerKeepOn keeps playing
    virtual int AskQuit(int language) = 0;     // kAnswerYes ends the program
    virtual void ShowPaused(int language) = 0;
    virtual void ShowSolved(int language) = 0;
    // time 0 only shows the table.
    virtual void ShowHighscores(int language, const QString& tableKey, int time) = 0;
    virtual void ShowAbout(int language) = 0;
    virtual void ShowHelp(int language) = 0;
    virtual void CloseHelp() = 0;

    // Errors: the fatal one at start-up, and a sheet that cannot be loaded on a
    // switch (the game goes on).
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
};

// The game's own windows, placed over the main window. They reach the
// program directory (help file, pictures) and the settings store (the
// high-score tables) through it. Each window is made when it is first
// needed, so none of them holds up the first paint or sits in memory unused.
class GameWindows : public MessageWindows {
public:
    // The splash's time (splashMs) runs from here: made with the main
    // window, the splash shows only that long after start-up.
    GameWindows(QWidget& mainWindow, QString programDir, Settings& settings, int splashMs = kSplashMs);
    ~GameWindows() override;

    void ShowSplash() override;
    std::optional<int> ChooseLanguage(int language) override;
    int AskGiveUp(int language) override;
    int AskQuit(int language) override;
    void ShowPaused(int language) override;
    void ShowSolved(int language) override;
    void ShowHighscores(int language, const QString& tableKey, int time) override;
    void ShowAbout(int language) override;
    void ShowHelp(int language) override;
    void CloseHelp() override;
    void ShowError(QWidget* parent, const QString& text) override;

    // The windows themselves (made now if they were not yet), for tests that look at them.
    TTongueDlg& TongueDlg();
    TMessageDlg& EndGameDlg();
    TMessageDlg& NewGameDlg();
    TMessageDlg& PauseDlg();
    TMessageDlg& DoneDlg();

    static constexpr int kSplashMs = 3000;

private:
    TMessageDlg& Made(MessageWindow window);

    QWidget& mainWindow_;
    QString programDir_;
    Settings& settings_;
    QElapsedTimer sinceStart_;
    int splashMs_;
    // The player's name as it was stored at start-up, for the high-score window.
    QString playerName_;
    // Each made at its first request, then reused; the splash lives only while it shows.
    std::unique_ptr<TTongueDlg> TongueDlg_;
    std::array<std::unique_ptr<TMessageDlg>, 4> messages_;  // by MessageWindow
    std::unique_ptr<HelpWindow> help_;
    QPointer<TMultiDlg> about_;              // a child of the main window
    QPointer<THighscoreDlg> highscoreDlg_;   // the main window owns it
};

}  // namespace qg
