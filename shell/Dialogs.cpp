#include "shell/Dialogs.h"
#include "shell/Fonts.h"

#include "highscores/HighscoreTable.h"
#include "settings/Settings.h"
#include "shell/MessageDialogs.h"
#include "shell/AboutDlg.h"
#include "shell/DialogKit.h"
#include "shell/HelpWindow.h"
#include "shell/PositionKeeper.h"
#include "shell/Texts.h"

namespace qg {

GameWindows::GameWindows(QWidget& mainWindow, QString programDir, Settings& settings, int splashMs)
    : mainWindow_(mainWindow),
      programDir_(std::move(programDir)),
      settings_(settings),
      splashMs_(splashMs),
      playerName_(ReadPlayerName(settings_)) {
    PreferMetricCompatibleFonts();
    sinceStart_.start();
}

GameWindows::~GameWindows() = default;

TMessageDlg& GameWindows::Made(MessageWindow which) {
    std::unique_ptr<TMessageDlg>& window = messages_.at(static_cast<std::size_t>(which));
    if (!window) window = std::make_unique<TMessageDlg>(mainWindow_, which);
    return *window;
}

TTongueDlg& GameWindows::TongueDlg() {
    if (!TongueDlg_) TongueDlg_ = std::make_unique<TTongueDlg>(mainWindow_);
    return *TongueDlg_;
}
TMessageDlg& GameWindows::EndGameDlg() { return Made(MessageWindow::Quit); }
TMessageDlg& GameWindows::NewGameDlg() { return Made(MessageWindow::GiveUp); }
TMessageDlg& GameWindows::PauseDlg() { return Made(MessageWindow::Pause); }
TMessageDlg& GameWindows::DoneDlg() { return Made(MessageWindow::Solved); }

void GameWindows::ShowSplash() {
    // A start-up that used up the splash's time shows none: no picture to make.
    if (sinceStart_.elapsed() >= splashMs_) return;
    // Gone with its picture once it has closed.
    TSplash splash(mainWindow_, splashMs_, sinceStart_);
    splash.ShowModal();
}

std::optional<int> GameWindows::ChooseLanguage(int) { return TongueDlg().Choose(); }
int GameWindows::AskGiveUp(int language) { return NewGameDlg().ShowModal(language); }
int GameWindows::AskQuit(int language) { return EndGameDlg().ShowModal(language); }
void GameWindows::ShowPaused(int language) { PauseDlg().ShowModal(language); }
void GameWindows::ShowSolved(int language) { DoneDlg().ShowModal(language); }
void GameWindows::ShowHighscores(int language, const QString& tableKey, int time) {
    if (!highscoreDlg_) highscoreDlg_ = new THighscoreDlg(mainWindow_, settings_, playerName_);
    highscoreDlg_->ShowModal(language, tableKey, time);
}

void GameWindows::ShowAbout(int language) {
    if (!about_) about_ = new TMultiDlg(mainWindow_);
    about_->ShowModal(language);
}

// One help window for the whole run, not modal: the player reads beside the game.
void GameWindows::ShowHelp(int language) {
    if (!help_) {
        help_ = std::make_unique<HelpWindow>(programDir_);
        help_->winId();  // a window handle of its own, to be tied to the game's
        TieToMainWindow(*help_, mainWindow_);
    }
    // Placed anew whenever it opens: the game may have moved since.
    if (!help_->isVisible()) help_->PlaceBeside(mainWindow_);
    help_->ShowAt(language);
}

void GameWindows::CloseHelp() {
    if (help_) help_->close();
}

void GameWindows::ShowError(QWidget* parent, const QString& text) {
    ErrorBox box(text, parent);
    box.exec();
}

}  // namespace qg
