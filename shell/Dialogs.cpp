#include "shell/Dialogs.h"

#include <QMessageBox>

#include "settings/Settings.h"
#include "shell/MessageDialogs.h"
#include "shell/AboutDlg.h"
#include "shell/HelpWindow.h"
#include "shell/Texts.h"

namespace qg {

GameWindows::GameWindows(QWidget& mainWindow, QString programDir, Settings& settings)
    : mainWindow_(mainWindow), programDir_(std::move(programDir)), settings_(settings) {
    TongueDlg_ = std::make_unique<TTongueDlg>(mainWindow_);
    EndGameDlg_ = std::make_unique<TEndGameDlg>(mainWindow_);
    NewGameDlg_ = std::make_unique<TNewGameDlg>(mainWindow_);
    PauseDlg_ = std::make_unique<TPauseDlg>(mainWindow_);
    DoneDlg_ = std::make_unique<TDoneDlg>(mainWindow_);
    // The splash's time runs from here.
    Splash_ = std::make_unique<TSplash>(mainWindow_);
}

GameWindows::~GameWindows() = default;

void GameWindows::ShowSplash() { Splash_->ShowModal(); }
std::optional<int> GameWindows::ChooseLanguage(int) { return TongueDlg_->Choose(); }
int GameWindows::AskGiveUp(int language) { return NewGameDlg_->ShowModal(language); }
int GameWindows::AskQuit(int language) { return EndGameDlg_->ShowModal(language); }
void GameWindows::ShowPaused(int language) { PauseDlg_->ShowModal(language); }
void GameWindows::ShowSolved(int language) { DoneDlg_->ShowModal(language); }
void GameWindows::ShowHighscores(int language, const QString& tableKey, int time) {
    if (highscoreDlg_) highscoreDlg_->ShowModal(language, tableKey, time);
}

void GameWindows::ShowAbout(int language) {
    if (!about_) about_ = new TMultiDlg(mainWindow_);
    about_->ShowModal(language);
}

// One help window for the whole run, not modal: the player reads beside the game.
void GameWindows::ShowHelp(int language) {
    if (!help_) {
        help_ = std::make_unique<HelpWindow>(programDir_);
        help_->PlaceBeside(mainWindow_);
    }
    help_->ShowAt(language);
}

void GameWindows::CloseHelp() {
    if (help_) help_->close();
}

void GameWindows::ShowError(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kCaption), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace qg
