#include "shell/Dialogs.h"

#include <QMessageBox>

#include "settings/Settings.h"
#include "shell/Texts.h"

namespace qg {

GameWindows::GameWindows(QWidget& mainWindow, QString programDir, Settings& settings)
    : mainWindow_(mainWindow), programDir_(std::move(programDir)), settings_(settings) {}

GameWindows::~GameWindows() = default;

// Windows not built yet behave as if closed at once, and the questions answer
// so that the game stays usable (give up: yes; quit: yes).
void GameWindows::ShowSplash() {}
std::optional<int> GameWindows::ChooseLanguage(int) { return std::nullopt; }
int GameWindows::AskGiveUp(int) { return kAnswerYes; }
int GameWindows::AskQuit(int) { return kAnswerYes; }
void GameWindows::ShowPaused(int) {}
void GameWindows::ShowSolved(int) {}
void GameWindows::ShowHighscores(int, const QString&, int) {}
void GameWindows::ShowAbout(int) {}
void GameWindows::ShowHelp(int) {}
void GameWindows::CloseHelp() {}

void GameWindows::ShowError(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kCaption), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace qg
