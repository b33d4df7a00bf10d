#pragma once
// Message windows for tests and benchmarks: they record which windows the
// shell opened, in order, and answer its questions as told.

#include <QString>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "shell/Dialogs.h"

namespace qg::test {

// Records which windows the shell opened, in order, and answers its questions.
class ScriptedWindows : public MessageWindows {
public:
    void ShowSplash() override { log.push_back("splash"); }
    std::optional<int> ChooseLanguage(int) override {
        log.push_back("language");
        return languageChoice;
    }
    int AskGiveUp(int) override {
        log.push_back("giveup");
        return giveUpAnswer;
    }
    int AskQuit(int) override {
        log.push_back("quit");
        return quitAnswer;
    }
    void ShowPaused(int) override { log.push_back("paused"); }
    void ShowSolved(int) override { log.push_back("solved"); }
    void ShowHighscores(int, const QString& key, int time) override {
        log.push_back("highscores " + key.toStdString() + " " + std::to_string(time));
    }
    void ShowAbout(int) override { log.push_back("about"); }
    void ShowHelp(int) override { log.push_back("help"); }
    void CloseHelp() override { log.push_back("closehelp"); }
    void ShowError(QWidget*, const QString& text) override { errors.push_back(text.toStdString()); }

    int Count(const std::string& window) const { return static_cast<int>(std::count(log.begin(), log.end(), window)); }

    std::vector<std::string> log;
    std::vector<std::string> errors;
    std::optional<int> languageChoice;
    int giveUpAnswer = kAnswerYes;
    int quitAnswer = kAnswerYes;
};

}  // namespace qg::test
