#pragma once
// The modal windows the main window opens, behind one interface so that the
// main window does not care how they look and tests can answer them.

#include <QString>

#include <optional>

class QWidget;

namespace qg {

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

// The windows as they stand now: the error box is real; every other window
// behaves as if it had been closed at once, and the questions answer so that
// the game stays usable (give up: yes; quit: yes).
class StandInWindows : public MessageWindows {
public:
    void ShowSplash() override {}
    std::optional<int> ChooseLanguage(int) override { return std::nullopt; }
    int AskGiveUp(int) override { return kAnswerYes; }
    int AskQuit(int) override { return kAnswerYes; }
    void ShowPaused(int) override {}
    void ShowSolved(int) override {}
    void ShowHighscores(int, const QString&, int) override {}
    void ShowAbout(int) override {}
    void ShowHelp(int) override {}
    void CloseHelp() override {}
    void ShowError(QWidget* parent, const QString& text) override;
};

}  // namespace qg
