#pragma once
// The main window: toolbar over the board, the four puzzle sessions, and the
// commands that run between them.

#include <QString>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "shell/BoardWidget.h"
#include "shell/Clock.h"
#include "shell/Dialogs.h"
#include "audio/MusicPlayer.h"
#include "shell/PositionKeeper.h"
#include "core/Puzzle.h"
#include "puzzles/PuzzleTables.h"
#include "core/Random.h"
#include "settings/Settings.h"
#include "audio/SoundEffects.h"

class QActionGroup;
class QFrame;
class QLabel;

namespace qg {

class Torvane;
class Pellora;
class Nubbler;
class Cirrela;

// The toolbar above the board; the board's point (x, y) is the window's (x, y + kToolPanelHeight).
inline constexpr int kToolPanelHeight = 33;

struct PuzzleSession {
    std::uint8_t State = kStateNotPrepared;
    std::int32_t Elapsed = 0;  // 200 ms ticks spent current and in play
};

// A tool button that reports where it was pressed, with any mouse button.
class OptionButton : public QToolButton {
    Q_OBJECT
public:
    using QToolButton::QToolButton;
    std::function<void(int x, int y)> onMouseDown;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class TMainForm : public QWidget, public PuzzleHost {
    Q_OBJECT
public:
    // programDir ends in the path separator; without windows the main window
    // makes the game's own.
    explicit TMainForm(QString programDir, MessageWindows* windows = nullptr, QWidget* parent = nullptr);
    ~TMainForm() override;

    // Start-up. False when the bitmaps could not be created: the error box has
    // been shown and the program must end, with nothing written.
    bool FormCreate();

    // Commands (also driven by tests).
    void SelectGame(int index);
    void MixBtnClick();
    void OptionBtnMouseDown(int x, int y);
    void boxPaint();
    void boxMouseDown(Qt::MouseButton button, int x, int y);
    void TimerTimer();
    void timboxPaint();
    void ApplyTexts();
    void MakeTableKey();

    // PuzzleHost.
    Surface& Sheet() override { return sheet_; }
    Surface& Composition() override { return composition_; }
    Surface& Screen() override { return box_->Screen(); }
    void Present(const Rect& r) override { box_->Present(r); }
    void PlaySound(int n) override;
    void Pause(int ms) override;
    void PuzzleSolved() override;
    std::uint8_t State() const override { return sessions_[static_cast<std::size_t>(GameIndex_)].State; }
    void SetState(std::uint8_t state) override { sessions_[static_cast<std::size_t>(GameIndex_)].State = state; }
    int Random(int n) override { return random_.Random(n); }

    // What tests and the other parts of the shell look at.
    int GameIndex() const { return GameIndex_; }
    int Language() const { return Language_; }
    const QString& TableKey() const { return TableKey_; }
    PuzzleSession& Session(int index) { return sessions_[static_cast<std::size_t>(index)]; }
    Puzzle& PuzzleAt(int index) { return *puzzles_[static_cast<std::size_t>(index)]; }
    Pellora& PelloraPuzzle() { return *pellora_; }
    Cirrela& CirrelaPuzzle() { return *cirrela_; }
    BoardBox* box() { return box_; }
    QWidget* rulesShape() { return RulesShape_; }
    QTimer& timer() { return Timer_; }
    RandomSource& randomSource() { return random_; }
    ClockBox* timbox() { return timbox_; }
    QToolButton* soundBtn() { return SoundBtn_; }
    QToolButton* midiBtn() { return MidiBtn_; }
    // Tests hand in recording stand-ins for the sound card; the player must
    // come before FormCreate.
    void UseEffectOutput(std::unique_ptr<EffectOutput> output);
    void UseMediaPlayer(std::unique_ptr<MediaPlayer> player);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildToolbar();
    void BuildClock();
    void EnsureEffects();
    QToolButton* AddButton(QToolButton* button, const char* name, int left, int width, const char* picture);
    void PuzzleButtonTriggered(int index, bool checked);
    void PlaceRulesShape();
    void FormActivate();
    bool FormCloseQuery();
    void FormClose();
    Puzzle& Current() { return *puzzles_[static_cast<std::size_t>(GameIndex_)]; }
    PuzzleSession& CurrentSession() { return sessions_[static_cast<std::size_t>(GameIndex_)]; }

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
    std::unique_ptr<MessageWindows> ownWindows_;
    MessageWindows* windows_;
    PositionKeeper PositionKeeper_{settings_, "Common", "MainForm"};
    RandomSource random_;

    int GameIndex_ = 0;
    int Language_ = -1;
    bool firstActivation_ = false;
    bool created_ = false;
    QString TableKey_;
    std::array<PuzzleSession, kPuzzleCount> sessions_{};
    int pressedPuzzle_ = -1;  // the puzzle button shown pressed, -1 for none
    bool quirkoBroken_ = false;
    std::chrono::steady_clock::time_point lastPauseEnd_{};
    std::chrono::steady_clock::duration lastPauseLate_{};

    Surface sheet_;
    Surface composition_;

    std::unique_ptr<Torvane> torvane_;
    std::unique_ptr<Pellora> pellora_;
    std::unique_ptr<Nubbler> nubbler_;
    std::unique_ptr<Cirrela> cirrela_;
    std::array<Puzzle*, kPuzzleCount> puzzles_{};

    QTimer Timer_;
    QWidget* ToolPanel_ = nullptr;
    BoardBox* box_ = nullptr;
    RulesShape* RulesShape_ = nullptr;
    QToolButton* MixBtn_ = nullptr;
    OptionButton* OptionBtn_ = nullptr;
    QToolButton* PauseBtn_ = nullptr;
    QToolButton* SoundBtn_ = nullptr;
    QToolButton* MidiBtn_ = nullptr;
    QToolButton* HighScoreBtn_ = nullptr;
    QToolButton* ExitBtn_ = nullptr;
    QActionGroup* puzzleGroup_ = nullptr;
    QToolButton* TongueBtn_ = nullptr;
    QToolButton* HelpBtn_ = nullptr;
    QToolButton* InfoBtn_ = nullptr;
    QToolButton* QuirkoBtn_ = nullptr;

    // The clock in the toolbar, the sound effects and the music.
    QFrame* Bevel1_ = nullptr;
    QWidget* tim_ = nullptr;
    QLabel* TimeLabel_ = nullptr;
    ClockBox* timbox_ = nullptr;
    std::unique_ptr<EffectOutput> waveOutput_;  // made when first needed, never at start-up
    std::unique_ptr<SoundEffects> WaveList_;
    std::unique_ptr<MediaPlayer> Midi_;
    FluidMusicPlayer* fluid_ = nullptr;  // Midi_, when it is FluidSynth
    std::unique_ptr<MidiCycler> midiFiles_;
    bool soundFontAsked_ = false;
};

}  // namespace qg
