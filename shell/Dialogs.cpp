#include "shell/Dialogs.h"
#include "shell/Fonts.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include "highscores/HighscoreTable.h"
#include "settings/Settings.h"
#include "shell/MessageDialogs.h"
#include "shell/AboutDlg.h"
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

template <class Window>
Window& GameWindows::Made(std::unique_ptr<Window>& window) {
    if (!window) window = std::make_unique<Window>(mainWindow_);
    return *window;
}

TTongueDlg& GameWindows::TongueDlg() { return Made(TongueDlg_); }
TEndGameDlg& GameWindows::EndGameDlg() { return Made(EndGameDlg_); }
TNewGameDlg& GameWindows::NewGameDlg() { return Made(NewGameDlg_); }
TPauseDlg& GameWindows::PauseDlg() { return Made(PauseDlg_); }
TDoneDlg& GameWindows::DoneDlg() { return Made(DoneDlg_); }

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

namespace {

// An error box centred over the main window's frame, or on the screen while
// the main window is not shown (the start-up error comes before it is).
class ErrorBox : public QMessageBox {
public:
    ErrorBox(const QString& text, QWidget* parent)
        : QMessageBox(QMessageBox::Critical, QString::fromLatin1(kCaption), text, QMessageBox::Ok, parent) {}

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);  // gives the box its size
        QWidget* main = parentWidget() ? parentWidget()->window() : nullptr;
        if (main && main->isVisible()) TieToMainWindow(*this, *main);
        placer_.Place(
            *this,
            [main](QSize frame) {
                if (main && main->isVisible()) return CentredOver(*main, frame);
                const QScreen* screen = QGuiApplication::primaryScreen();
                const QRect area = screen ? screen->geometry() : QRect();
                return QPoint(area.x() + (area.width() - frame.width()) / 2,
                              area.y() + (area.height() - frame.height()) / 2);
            },
            main && main->isVisible() ? FrameMargins(*main) : QMargins());
    }
    bool event(QEvent* event) override {
        placer_.Check(*this, *event);
        return QMessageBox::event(event);
    }

private:
    FramePlacer placer_;
};

}  // namespace

void GameWindows::ShowError(QWidget* parent, const QString& text) {
    ErrorBox box(text, parent);
    box.exec();
}

}  // namespace qg
