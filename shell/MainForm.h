#pragma once
// The main window: the toolbar over the board, wired to the rules of the game.

#include <QPoint>
#include <QString>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "audio/GameAudio.h"
#include "core/Game.h"
#include "puzzles/PuzzleRecords.h"
#include "settings/GameSettings.h"
#include "settings/Settings.h"
#include "shell/BoardAccessible.h"
#include "shell/BoardCursor.h"
#include "shell/BoardWidget.h"
#include "shell/Clock.h"
#include "shell/Dialogs.h"
#include "shell/HelpWindow.h"
#include "shell/HintController.h"
#include "shell/PositionKeeper.h"

class QActionGroup;
class QFrame;
class QLabel;
class QThread;

namespace qg {

// The toolbar above the board; the board's point (x, y) is the window's (x, y + kToolPanelHeight).
inline constexpr int kToolPanelHeight = 33;

// The toolbar's background: a light gradient between a light line on top
// and a dark one at the bottom. Painted by hand: a style sheet would put
// every button in the toolbar through the style-sheet machinery.
class ToolPanel : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A tool button that reports where it was pressed, with any mouse button.
class OptionButton : public QToolButton {
    Q_OBJECT
public:
    using QToolButton::QToolButton;
    std::function<void(int x, int y)> onMouseDown;

protected:
    // A press acts at once, where it lands; Space, Enter and an assistive
    // tool's Press click the button, which raises (see TMainForm).
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The window of the game. The rules live in Game; this window does what needs
// a screen or a speaker, opens the windows, and wires the widgets to the rules.
class TMainForm : public QWidget, private GameShell {
    Q_OBJECT
public:
    // programDir ends in the path separator; without windows the main window
    // makes the game's own.
    explicit TMainForm(QString programDir, MessageWindows* windows = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Start-up. False when the bitmaps could not be created: the error box has
    // been shown and the program must end, with nothing written.
    bool FormCreate();

    // Writes the settings as a confirmed close does, and nothing else (a
    // logout that may still be cancelled).
    void SaveSettings();
    // Closes as a confirmed close does, without the quit question (a
    // termination signal, the end of the session).
    void CloseWithoutAsking();

    // Commands (also driven by tests).
    void SelectGame(int index);
    void MixBtnClick() {
        hints_->PositionChanged();
        game_.Mix();
        NameBoard();  // no longer solved
        FocusBoard();
    }
    void OptionBtnMouseDown(int x, int y);
    // F3: a hint for the current board, or the hinted move while one shows.
    void HintBtnClick() { hints_->Request(); }
    void boxPaint() { game_.Paint(); }
    void boxMouseDown(Qt::MouseButton button, int x, int y);
    // The board's keys: the arrows and Home move the cursor, Space or J turn
    // as the left button does, Shift+Space or K as the right. False for any other key.
    bool boxKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void TimerTimer();
    void timboxPaint() { PaintClock(CurrentSession().Elapsed); }
    void ApplyTexts();
    void MakeTableKey() { game_.MakeTableKey(); }

    // What tests and the other parts of the shell look at.
    Game& game() { return game_; }
    int GameIndex() const { return game_.GameIndex(); }
    int Language() const { return Language_; }
    QString TableKey() const { return QString::fromStdString(game_.TableKey()); }
    PuzzleSession& Session(int index) { return game_.Session(index); }
    Puzzle& PuzzleAt(int index) { return game_.PuzzleAt(index); }
    Surface& Screen() override { return box_->Screen(); }
    Settings& settings() { return settings_; }
    BoardBox* box() { return box_; }
    HintController& hints() { return *hints_; }
    QWidget* rulesShape() { return RulesShape_; }
    QTimer& timer() { return Timer_; }
    // Enabled, as around the windows it is not: it then runs when it has work.
    bool TimerEnabled() const { return timerEnabled_; }
    RandomSource& randomSource() { return game_.randomSource(); }
    ClockBox* timbox() { return timbox_; }
    QToolButton* soundBtn() { return SoundBtn_; }
    QToolButton* midiBtn() { return MidiBtn_; }
    // Tests hand in recording stand-ins for the sound card; the player must
    // come before FormCreate.
    void UseEffectOutput(std::unique_ptr<EffectOutput> output);
    void UseMediaPlayer(std::unique_ptr<MediaPlayer> player);
    GameAudio& audio();
    // Tests hand in a stand-in for the user's browser.
    void UseUrlOpener(UrlOpener open) { openUrl_ = std::move(open); }

    // The title bar's buttons of the fixed-size main window: no maximise.
    static constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                    Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                                    Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The command keys, each a shortcut of the window that clicks its button.
    void BindCommandKeys();
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildToolbar();
    void AccessToolbar();  // assistive tools' actions and the keyboard focus mark
    void BuildClock();
    void EnsureEffects();
    QToolButton* AddButton(QToolButton* button, const char* name, int left, int width, const char* picture);
    // One button per puzzle, in the order of the records.
    void AddPuzzleButtons();
    void PuzzleButtonTriggered(int index, bool checked);
    void PlaceRulesShape();
    void FormActivate();
    bool FormCloseQuery();
    void FormClose();
    bool closeWithoutAsking_ = false;
    bool closed_ = false;
    // The run's state into gameSettings_.
    void PutSettings();
    PuzzleSession& CurrentSession() { return game_.Session(game_.GameIndex()); }
    // The puzzle's sheet, or nothing after saying why on stderr and in a box:
    // at start-up the full explanation, on a switch that the game goes on.
    std::optional<Surface> LoadSheet(const PuzzleRecord& puzzle, bool atStartUp);
    // A press of either button at board point (x, y), from the mouse or the keyboard.
    void Press(Qt::MouseButton button, int x, int y);
    // The cursor's place on the current board (the place nearest to where it
    // stood, when the places changed with a size or level), shown or not.
    int CursorPlace();
    void ShowCursor(bool shown);
    void FocusBoard();
    void NameBoard();
    void MakeHints();

    // GameShell.
    void Present(const Rect& r) override { box_->Present(r); }
    void PlaySound(Sound sound) override;
    void PaintClock(int elapsed) override;
    void StopTimer() override;
    void StartTimer() override;
    // The 200 ms timer runs only while it has work: the clock of a puzzle in
    // play, or music that waits for its tick. No wake-ups while idle.
    void RunTimerIfNeeded();
    bool AskGiveUp() override { return windows_->AskGiveUp(Language_) != kAnswerKeepOn; }
    void ShowSolved() override { windows_->ShowSolved(Language_); }
    void ShowHighscores(const std::string& tableKey, int elapsed) override;

    // Commands of the toolbar.
    void cClick();
    void SoundBtnClick();
    void MidiBtnClick();
    void HighScoreBtnClick();
    void TongueBtnClick();
    void HelpBtnClick();
    void InfoBtnClick();
    void QuirkoBtnClick();

    QString programDir_;
    Settings settings_;
    GameSettings gameSettings_{settings_, kPuzzles};
    std::unique_ptr<MessageWindows> ownWindows_;
    MessageWindows* windows_;
    PositionKeeper PositionKeeper_{settings_, GameSettings::kPlaceSection, GameSettings::kPlaceName};
    Game game_{*this, kPuzzles};

    int Language_ = -1;
    bool firstActivation_ = false;
    bool created_ = false;
    bool timerEnabled_ = false;
    int pressedPuzzle_ = -1;  // the puzzle button shown pressed, -1 for none
    bool quirkoBroken_ = false;
    // Where the keyboard cursor stands on each board, in board coordinates.
    BoardCursor cursor_{kPuzzleCount};
    bool cursorShown_ = false;
    UrlOpener openUrl_ = SystemUrlOpener();

    QTimer Timer_;
    QWidget* ToolPanel_ = nullptr;
    BoardBox* box_ = nullptr;
    BoardAccess* access_ = nullptr;  // the board to assistive tools
    RulesShape* RulesShape_ = nullptr;
    QToolButton* MixBtn_ = nullptr;
    OptionButton* OptionBtn_ = nullptr;
    QToolButton* PauseBtn_ = nullptr;
    QToolButton* SoundBtn_ = nullptr;
    QToolButton* MidiBtn_ = nullptr;
    QToolButton* HighScoreBtn_ = nullptr;
    QToolButton* ExitBtn_ = nullptr;
    QActionGroup* puzzleGroup_ = nullptr;
    std::array<QToolButton*, kPuzzleCount> puzzleBtns_{};
    QToolButton* TongueBtn_ = nullptr;
    QToolButton* HelpBtn_ = nullptr;
    QToolButton* InfoBtn_ = nullptr;
    QToolButton* QuirkoBtn_ = nullptr;

    // The clock in the toolbar, the sound effects and the music.
    QFrame* Bevel1_ = nullptr;
    QWidget* tim_ = nullptr;
    QLabel* TimeLabel_ = nullptr;
    ClockBox* timbox_ = nullptr;
    // The effects (WaveList) and the music (Midi and the MIDI file search);
    // the audio module behind them is loaded only after the first paint.
    std::unique_ptr<GameAudio> audio_;
    std::unique_ptr<QThread> fontWarmUp_;
    std::unique_ptr<HintController> hints_;
};

}  // namespace qg
