#include "shell/MainForm.h"
#include "shell/Fonts.h"

#include <QAction>
#include <QSignalBlocker>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>

#include <chrono>
#include <cstdio>

#include "files/GameFiles.h"
#include "sheets/SheetLoader.h"
#include "shell/BoardCursor.h"
#include "shell/Pictures.h"
#include "shell/Texts.h"
#include "shell/ToolAccess.h"
#include "shell/ToolbarAccessible.h"

// Resources live in the static shell library; register them before use.
static void InitPictures() { Q_INIT_RESOURCE(pictures); }

namespace qg {

namespace {

// Shift, Control and the like alone, as before a key they change.
bool IsModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr;
}

// The audio module is loaded this long after start-up, once the window is painted.
constexpr int kAudioStartDelayMs = 200;

// The clock's caption: the only text on the first frame.
QFont CaptionFont() {
    QFont font("MS Sans Serif");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    return font;
}

}  // namespace

void ToolPanel::paintEvent(QPaintEvent*) {
    // A light line on top, a dark one at the bottom, and between them a
    // gradient over the whole height, lines included.
    QPainter p(this);
    QLinearGradient gradient(0, 0, 0, 1);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradient.setColorAt(0, QColor(0xef, 0xe6, 0xd6));
    gradient.setColorAt(1, QColor(0xcd, 0xbf, 0xa6));
    p.fillRect(rect(), gradient);
    p.fillRect(0, 0, width(), 1, QColor(0xff, 0xfa, 0xf0));
    p.fillRect(0, height() - 1, width(), 1, QColor(0x7d, 0x6e, 0x57));
}

void OptionButton::mousePressEvent(QMouseEvent* event) {
    if (!isEnabled() || !onMouseDown) return;
    const QPoint at = event->position().toPoint();
    onMouseDown(at.x(), at.y());
}

void OptionButton::keyPressEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        animateClick();
        return;
    }
    QToolButton::keyPressEvent(event);
}

TMainForm::TMainForm(QString programDir, MessageWindows* windows, QWidget* parent)
    : QWidget(parent), programDir_(std::move(programDir)), windows_(windows) {
    ShowAsWindowToTools(*this);
    PreferMetricCompatibleFonts();
    // The first text drawn reads the whole font configuration first, which
    // would hold up the first paint by some 10 ms: a thread of its own does
    // it while the window is built. Qt's font database is thread-safe.
    fontWarmUp_.reset(QThread::create([font = CaptionFont()] { QFontMetrics(font).horizontalAdvance(QStringLiteral("Time:")); }));
    fontWarmUp_->start();
    InitPictures();
    if (!windows_) {
        ownWindows_ = std::make_unique<GameWindows>(*this, programDir_, settings_);
        windows_ = ownWindows_.get();
    }
    game_.SetPuzzles(MakePuzzles(game_));

    setObjectName("MainForm");
    if (!parent) setWindowFlags(kWindowFlags);
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(PictureIcon(":/pictures/icon.png"));
    QFont font = this->font();
    font.setPixelSize(13);
    setFont(font);

    ToolPanel_ = new ToolPanel(this);
    ToolPanel_->setObjectName("ToolPanel");
    ToolPanel_->setGeometry(0, 0, kBoardWidth, kToolPanelHeight);

    box_ = new BoardBox(this);
    box_->setObjectName("box");
    box_->move(0, kToolPanelHeight);
    box_->onMouseDown = [this](Qt::MouseButton button, int x, int y) { boxMouseDown(button, x, y); };
    access_ = new BoardAccess(*box_, game_, {[this] { return Language_; }, [this] { return CursorPlace(); },
                                             [this](Turn turn, int x, int y) {
                                                 Press(turn == Turn::Left ? Qt::LeftButton : Qt::RightButton, x, y);
                                             },
                                             [this] { HintBtnClick(); }});

    RulesShape_ = new RulesShape(this);
    RulesShape_->setObjectName("RulesShape");

    BuildToolbar();
    BindCommandKeys();
    AccessToolbar();
    box_->onKey = [this](QKeyEvent* event) { return boxKeyDown(event->key(), event->modifiers()); };
    for (int i = 0; i < kPuzzleCount; ++i) cursor_.Home(i, game_.PuzzleAt(i).Places());
    Timer_.setInterval(200);
    connect(&Timer_, &QTimer::timeout, this, &TMainForm::TimerTimer);
    MakeHints();
}

void TMainForm::MakeHints() {
    auto place = [this](const Move& m) { return game_.PuzzleAt(GameIndex()).Places().at(static_cast<std::size_t>(m.place)); };
    HintController::Window w;
    w.gameIndex = [this] { return GameIndex(); };
    w.position = [this] { return PositionText(game_.PuzzleAt(GameIndex()), GameIndex()); };
    w.solved = [this] { return game_.PuzzleAt(GameIndex()).IsSolved(); };
    w.show = [this, place](Move m) {
        const Rect r = place(m);
        cursor_.MoveTo(GameIndex(), r);
        ShowCursor(true);
        box_->ShowHint(HintArrow{r, m.turn});
    };
    w.hide = [this] { box_->ShowHint(std::nullopt); };
    w.play = [this, place](Move m) {
        const Rect r = place(m);
        ShowCursor(true);
        Press(m.turn == Turn::Left ? Qt::LeftButton : Qt::RightButton, r.x + r.w / 2, r.y + r.h / 2);
    };
    w.noteShown = [this] { game_.NoteHintShown(); };
    hints_ = std::make_unique<HintController>(std::move(w));
}

TMainForm::~TMainForm() {
    fontWarmUp_->wait();
    // Before the bitmaps go.
    PositionKeeper_.Save(*this);
}

QToolButton* TMainForm::AddButton(QToolButton* button, const char* name, int left, int width, const char* picture) {
    button->setParent(ToolPanel_);
    button->setObjectName(name);
    button->setGeometry(left, 4, width, 25);
    button->setAutoRaise(true);
    // Tab walks the toolbar; a click leaves the focus on the board.
    button->setFocusPolicy(Qt::TabFocus);
    button->setIcon(PictureIcon(QString(":/pictures/%1.png").arg(picture)));
    button->setIconSize(QSize(width - 4, 21));
    return button;
}

void TMainForm::BuildToolbar() {
    MixBtn_ = AddButton(new QToolButton, "MixBtn", 4, 24, "mix");
    connect(MixBtn_, &QToolButton::clicked, this, &TMainForm::MixBtnClick);

    OptionBtn_ = static_cast<OptionButton*>(AddButton(new OptionButton, "OptionBtn", 28, 24, "option"));
    OptionBtn_->onMouseDown = [this](int x, int y) { OptionBtnMouseDown(x, y); };
    // Not from the mouse (its press acts by itself): Space, Enter and an
    // assistive tool's Press, as the upper-right half (Page Up).
    connect(OptionBtn_, &QToolButton::clicked, this, [this] {
        if (OptionBtn_->isEnabled()) OptionBtnMouseDown(OptionBtn_->width() - 1, 0);
    });

    PauseBtn_ = AddButton(new QToolButton, "PauseBtn", 52, 24, "pause");
    connect(PauseBtn_, &QToolButton::clicked, this, &TMainForm::cClick);

    SoundBtn_ = AddButton(new QToolButton, "SoundBtn", 76, 24, "sound");
    SoundBtn_->setCheckable(true);
    // On toggled, which a click, a key and an assistive tool's Toggle all
    // emit (clicked comes only from the first two).
    connect(SoundBtn_, &QToolButton::toggled, this, &TMainForm::SoundBtnClick);

    MidiBtn_ = AddButton(new QToolButton, "MidiBtn", 100, 24, "music");
    MidiBtn_->setCheckable(true);
    connect(MidiBtn_, &QToolButton::toggled, this, &TMainForm::MidiBtnClick);

    HighScoreBtn_ = AddButton(new QToolButton, "HighScoreBtn", 124, 24, "highscore");
    connect(HighScoreBtn_, &QToolButton::clicked, this, &TMainForm::HighScoreBtnClick);

    ExitBtn_ = AddButton(new QToolButton, "ExitBtn", 148, 24, "exit");
    connect(ExitBtn_, &QToolButton::clicked, this, &QWidget::close);

    AddPuzzleButtons();

    TongueBtn_ = AddButton(new QToolButton, "TongueBtn", 396, 24, "tongue");
    connect(TongueBtn_, &QToolButton::clicked, this, &TMainForm::TongueBtnClick);
    HelpBtn_ = AddButton(new QToolButton, "HelpBtn", 420, 24, "help");
    connect(HelpBtn_, &QToolButton::clicked, this, &TMainForm::HelpBtnClick);
    InfoBtn_ = AddButton(new QToolButton, "InfoBtn", 444, 24, "info");
    connect(InfoBtn_, &QToolButton::clicked, this, &TMainForm::InfoBtnClick);
    QuirkoBtn_ = AddButton(new QToolButton, "QuirkoBtn", 468, 28, "quirko");
    connect(QuirkoBtn_, &QToolButton::clicked, this, &TMainForm::QuirkoBtnClick);
    BuildClock();
}

void TMainForm::AddPuzzleButtons() {
    // At most one puzzle button is down, and the one that is down can be
    // released again (which changes nothing else).
    puzzleGroup_ = new QActionGroup(this);
    puzzleGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (int i = 0; i < kPuzzleCount; ++i) {
        const PuzzleRecord& r = Record(i);
        puzzleBtns_[static_cast<std::size_t>(i)] = AddButton(new QToolButton, r.buttonName, 176 + 24 * i, 24, r.buttonPicture);
        // The action shows the button's own picture.
        auto* action = new QAction(puzzleBtns_[static_cast<std::size_t>(i)]->icon(), QString(), puzzleGroup_);
        action->setCheckable(true);
        puzzleBtns_[static_cast<std::size_t>(i)]->setDefaultAction(action);
        connect(action, &QAction::triggered, this, [this, i](bool checked) { PuzzleButtonTriggered(i, checked); });
        // An assistive tool's Toggle turns the button without triggering its
        // action. Looked at once the toggle is done: a button left otherwise
        // than the puzzle pressed is handled as a click would have been.
        QToolButton* button = puzzleBtns_[static_cast<std::size_t>(i)];
        connect(button, &QToolButton::toggled, this, [this, i, button] {
            if (button->isChecked() != (pressedPuzzle_ == i)) PuzzleButtonTriggered(i, button->isChecked());
        }, Qt::QueuedConnection);
    }
}

void TMainForm::AccessToolbar() {
    // The buttons that may open a window: a tool's Press returns first.
    for (QToolButton* b : {MixBtn_, PauseBtn_, HighScoreBtn_, ExitBtn_, TongueBtn_, HelpBtn_, InfoBtn_, QuirkoBtn_})
        QueueAccessiblePress(b);
    // The toggles too, so that none acts behind a window waiting for an answer.
    for (QToolButton* b : puzzleBtns_) QueueAccessiblePress(b);
    for (QToolButton* b : {SoundBtn_, MidiBtn_}) QueueAccessiblePress(b);
    QueueAccessiblePress(OptionBtn_,
                         {{"Bigger", [this] { return OptionActionName(Language_, true); },
                           [this] { OptionBtnMouseDown(OptionBtn_->width() - 1, 0); }},
                          {"Smaller", [this] { return OptionActionName(Language_, false); },
                           [this] { OptionBtnMouseDown(0, OptionBtn_->height() - 1); }}});
    for (QToolButton* b : ToolPanel_->findChildren<QToolButton*>()) MarkKeyboardFocus(b);
}

bool TMainForm::FormCreate() {
    game_.randomSource().Seed(static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    setFixedSize(kBoardWidth, kToolPanelHeight + kBoardHeight);

    // Settings, in their reading order.
    gameSettings_.Load();
    Language_ = gameSettings_.language();
    int gameIndex = gameSettings_.gameIndex();
    if (gameIndex < 0 || gameIndex >= kPuzzleCount) gameIndex = 0;  // nothing sensible follows from others
    for (int i = 0; i < kPuzzleCount; ++i)
        if (const PuzzleRecord& r = Record(i); r.optionSetting)
            game_.SetOption(i, gameSettings_.option(r));
    {
        // The stored states, not presses: nothing is switched on yet.
        const QSignalBlocker sound(SoundBtn_), music(MidiBtn_);
        SoundBtn_->setChecked(gameSettings_.sound());
        MidiBtn_->setChecked(gameSettings_.music());
    }

    // The bitmaps. Without them there is nothing to play.
    const PuzzleRecord& puzzle = Record(gameIndex);
    std::optional<Surface> sheet = LoadSheet(puzzle, true);
    if (!sheet) return false;

    pressedPuzzle_ = gameIndex;
    puzzleGroup_->actions()[gameIndex]->setChecked(true);
    game_.Start(gameIndex, std::move(*sheet));
    PlaceRulesShape();
    OptionBtn_->setEnabled(puzzle.HasOption());
    firstActivation_ = true;
    // Music set-up: the first MIDI file is opened but not played. The audio
    // module comes once the window is on screen, on a thread of its own.
    MidiBtn_->setEnabled(audio().StartUp());
    QTimer::singleShot(kAudioStartDelayMs, this, [this] {
        if (isVisible()) EnsureEffects();
    });
    ApplyTexts();
    setWindowTitle(QString::fromLatin1(kCaption));

    PutSettings();
    gameSettings_.TakeUp();
    created_ = true;
    StartTimer();
    return true;
}

void TMainForm::showEvent(QShowEvent* event) {
    PositionKeeper_.Restore(*this);  // the first time only
    QWidget::showEvent(event);
    if (!created_) return;
    if (firstActivation_) {
        // Draw the board now; the splash and language windows come once the
        // window is on screen.
        boxPaint();
        QMetaObject::invokeMethod(this, &TMainForm::FormActivate, Qt::QueuedConnection);
    }
}

bool TMainForm::event(QEvent* event) {
    // The stored place again, once the window manager has framed the window.
    PositionKeeper_.Check(*this, *event);
    return QWidget::event(event);
}

void TMainForm::FormActivate() {
    if (!firstActivation_) return;
    firstActivation_ = false;
    windows_->ShowSplash();
    if (Language_ == -1) {
        if (auto chosen = windows_->ChooseLanguage(Language_)) Language_ = *chosen;
        ApplyTexts();
    }
    FocusBoard();
}

void TMainForm::PlaceRulesShape() {
    const Rect r = game_.CurrentRecord().rulesRect;
    RulesShape_->setGeometry(r.x, r.y + kToolPanelHeight, r.w, r.h);
    RulesShape_->raise();
}

void TMainForm::PuzzleButtonTriggered(int index, bool checked) {
    if (!checked) {  // the pressed button was released
        pressedPuzzle_ = -1;
        return;
    }
    const int before = pressedPuzzle_;
    pressedPuzzle_ = index;
    const int shown = GameIndex();
    SelectGame(index);
    if (GameIndex() != shown || index == shown) return;
    // The switch failed: show the buttons as they were.
    QAction* action = puzzleGroup_->actions()[index];
    if (before >= 0) puzzleGroup_->actions()[before]->setChecked(true);
    else action->setChecked(false);
    pressedPuzzle_ = before;
}

std::optional<Surface> TMainForm::LoadSheet(const PuzzleRecord& puzzle, bool atStartUp) {
    const QString file = programDir_ + puzzle.sheetFile;
    SheetLoad load = ReadSheet(file, puzzle.sheetMinWidth, puzzle.sheetMinHeight);
    if (load.sheet) return std::move(load.sheet);
    std::fprintf(stderr, "quirko-gyrelle: cannot load the picture file %s: %s\n", qPrintable(file), Describe(load.problem));
    if (atStartUp) {
        windows_->ShowError(this, StartupSheetErrorText(Language_, programDir_, puzzle.sheetFile, load.problem,
                                                        puzzle.sheetMinWidth, puzzle.sheetMinHeight));
    } else {
        // The clock of a puzzle in play does not count while the box is read.
        game_.WithClockStopped([&] { windows_->ShowError(this, SheetMissingText(Language_, file)); });
    }
    return std::nullopt;
}

void TMainForm::SelectGame(int index) {
    if (index == GameIndex() || index < 0 || index >= kPuzzleCount) return;
    // Load the new sheet before giving up the old one, so a bad file leaves
    // the game where it was.
    const PuzzleRecord& puzzle = Record(index);
    std::optional<Surface> sheet = LoadSheet(puzzle, false);
    if (!sheet) return;
    hints_->PositionChanged();
    game_.SwitchTo(index, std::move(*sheet));
    RunTimerIfNeeded();  // a puzzle left in play counts again
    PlaceRulesShape();
    OptionBtn_->setEnabled(puzzle.HasOption());
    ApplyTexts();
    ShowCursor(cursorShown_);
    boxPaint();
    update();
    FocusBoard();
}

void TMainForm::boxMouseDown(Qt::MouseButton button, int x, int y) {
    ShowCursor(false);
    Press(button, x, y);
}

void TMainForm::Press(Qt::MouseButton button, int x, int y) {
    hints_->PositionChanged();
    if (button == Qt::LeftButton) game_.LeftClick(x, y);
    else if (button == Qt::RightButton) game_.RightClick(x, y);
    else return;
    RunTimerIfNeeded();  // the first move starts the clock, a solve stops it
    NameBoard();
    FocusBoard();  // the solved and high-score windows may have had it
}

int TMainForm::CursorPlace() { return cursor_.Place(GameIndex(), game_.PuzzleAt(GameIndex()).Places()); }

void TMainForm::ShowCursor(bool shown) {
    cursorShown_ = shown;
    access_->CursorMoved();
    const int place = shown ? CursorPlace() : -1;
    if (place < 0) {
        box_->ShowCursor(std::nullopt);
        return;
    }
    box_->ShowCursor(game_.PuzzleAt(GameIndex()).Places()[static_cast<std::size_t>(place)]);
}

bool TMainForm::boxKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (key != Qt::Key_F3 && !IsModifierKey(key)) hints_->Clear();
    const int place = CursorPlace();
    if (place < 0) return false;
    const std::vector<Rect> places = game_.PuzzleAt(GameIndex()).Places();
    auto step = [&](CursorStep s) {
        // The first key only shows where the cursor stands.
        if (cursorShown_) cursor_.Step(GameIndex(), places, s);
        ShowCursor(true);
    };
    const Rect& at = places[static_cast<std::size_t>(place)];
    auto turn = [&](Qt::MouseButton button) {
        ShowCursor(true);
        Press(button, at.x + at.w / 2, at.y + at.h / 2);
    };
    const bool shift = modifiers & Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_Left: step(CursorStep::Left); return true;
    case Qt::Key_Right: step(CursorStep::Right); return true;
    case Qt::Key_Up: step(CursorStep::Up); return true;
    case Qt::Key_Down: step(CursorStep::Down); return true;
    case Qt::Key_Home:
        cursor_.Home(GameIndex(), places);
        ShowCursor(true);
        return true;
    case Qt::Key_Space: turn(shift ? Qt::RightButton : Qt::LeftButton); return true;
    case Qt::Key_J: turn(Qt::LeftButton); return true;
    case Qt::Key_K: turn(Qt::RightButton); return true;
    default: return false;
    }
}

void TMainForm::FocusBoard() { box_->setFocus(Qt::OtherFocusReason); }

void TMainForm::NameBoard() {
    box_->setAccessibleName(BoardName(Language_, GameIndex(), CurrentSession().State == kStateSolved));
    access_->Update();
}

void TMainForm::BindCommandKeys() {
    // Every command has a key, through the very handler of its button, with
    // Shift or without; Ctrl+Q ends the game. Keys pressed during a move wait
    // in the queue like presses do.
    auto bind = [this](QList<QKeySequence> keys, auto&& command) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        // Any key but F3 takes a hint away.
        connect(action, &QAction::triggered, this, [this, command] {
            hints_->Clear();
            command();
        });
        addAction(action);
    };
    const std::pair<Qt::Key, QAbstractButton*> buttons[] = {
        {Qt::Key_F2, MixBtn_},          {Qt::Key_P, PauseBtn_},  {Qt::Key_S, SoundBtn_}, {Qt::Key_M, MidiBtn_},
        {Qt::Key_H, HighScoreBtn_},     {Qt::Key_L, TongueBtn_}, {Qt::Key_F1, HelpBtn_},
    };
    for (const auto& [key, button] : buttons)
        bind({QKeySequence(key), QKeySequence(Qt::SHIFT | key)}, [button] { button->click(); });
    bind({QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Q)}, [this] { ExitBtn_->click(); });
    // The corners of the option button that raise and lower.
    bind({QKeySequence(Qt::Key_PageUp)}, [this] {
        if (OptionBtn_->isEnabled()) OptionBtnMouseDown(OptionBtn_->width() - 1, 0);
    });
    bind({QKeySequence(Qt::Key_PageDown)}, [this] {
        if (OptionBtn_->isEnabled()) OptionBtnMouseDown(0, OptionBtn_->height() - 1);
    });
    // F3: a hint, or the hinted move while one shows.
    auto* hint = new QAction(this);
    hint->setShortcut(QKeySequence(Qt::Key_F3));
    hint->setShortcutContext(Qt::WindowShortcut);
    connect(hint, &QAction::triggered, this, &TMainForm::HintBtnClick);
    addAction(hint);
    // A puzzle's key, as its record names it (Qt's key codes of digits are their characters).
    for (int i = 0; i < kPuzzleCount; ++i) {
        QAction* puzzle = puzzleGroup_->actions()[i];
        puzzle->setShortcuts({QKeySequence(Record(i).key), QKeySequence(Qt::SHIFT | Record(i).key)});
        puzzle->setShortcutContext(Qt::WindowShortcut);
        addAction(puzzle);
    }
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
    // A key that is no command still takes a hint away.
    if (!IsModifierKey(event->key())) hints_->Clear();
    QWidget::keyPressEvent(event);
}

void TMainForm::OptionBtnMouseDown(int x, int y) {
    hints_->PositionChanged();
    // The upper-right triangle of the button raises, the rest lowers.
    game_.Option(x > y);
    ShowCursor(cursorShown_);  // a new size may have other places
    NameBoard();  // a fresh board: no longer solved
    FocusBoard();
}

void TMainForm::ShowHighscores(const std::string& tableKey, int elapsed) {
    windows_->ShowHighscores(Language_, QString::fromStdString(tableKey), elapsed);
}

void TMainForm::TimerTimer() {
    const bool musicOn = MidiBtn_->isEnabled() && MidiBtn_->isChecked();
    // Audio is set up only now, so that it never holds up the first paint.
    if (isVisible()) EnsureEffects();
    audio().Tick(musicOn);
    game_.Tick();
    RunTimerIfNeeded();
}

void TMainForm::StopTimer() {
    timerEnabled_ = false;
    Timer_.stop();
}

void TMainForm::StartTimer() {
    timerEnabled_ = true;
    RunTimerIfNeeded();
}

void TMainForm::RunTimerIfNeeded() {
    const bool musicOn = MidiBtn_->isEnabled() && MidiBtn_->isChecked();
    const bool work = timerEnabled_ && (game_.InPlay() || audio().MusicNeedsTicks(musicOn));
    if (!work) Timer_.stop();
    else if (!Timer_.isActive()) Timer_.start();
}

void TMainForm::PlaySound(Sound sound) {
    if (!SoundBtn_->isChecked()) return;
    EnsureEffects();
    audio().PlaySound(static_cast<int>(sound), SoundBtn_->isChecked());
}

// Loads the audio module and opens the device off this thread; returns at once.
void TMainForm::EnsureEffects() { audio().Start(); }

GameAudio& TMainForm::audio() {
    // The game's music and the player's own, merged in name order.
    if (!audio_) audio_ = std::make_unique<GameAudio>([dir = programDir_] { return GameMusicFiles(dir); });
    return *audio_;
}

void TMainForm::UseEffectOutput(std::unique_ptr<EffectOutput> output) { audio().UseEffectOutput(std::move(output)); }

void TMainForm::UseMediaPlayer(std::unique_ptr<MediaPlayer> player) { audio().UseMediaPlayer(std::move(player)); }

// The clock at its place in the toolbar: a sunken frame, the black field, the
// caption (its text comes with the other texts) and the digits.
void TMainForm::BuildClock() {
    Bevel1_ = new QFrame(ToolPanel_);
    Bevel1_->setObjectName("Bevel1");
    Bevel1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Bevel1_->setLineWidth(1);
    Bevel1_->setGeometry(275, 4, 120, 26);

    tim_ = new QWidget(ToolPanel_);
    tim_->setObjectName("tim");
    tim_->setGeometry(276, 5, 117, 24);
    tim_->setAutoFillBackground(true);
    QPalette black = tim_->palette();
    black.setColor(QPalette::Window, Qt::black);
    tim_->setPalette(black);

    TimeLabel_ = new QLabel(ToolPanel_);
    TimeLabel_->setObjectName("TimeLabel");
    TimeLabel_->setGeometry(280, 12, 33, 16);
    TimeLabel_->setAttribute(Qt::WA_TranslucentBackground);
    TimeLabel_->setFont(CaptionFont());
    QPalette lime = TimeLabel_->palette();
    lime.setColor(QPalette::WindowText, QColor(0, 255, 0));
    TimeLabel_->setPalette(lime);

    timbox_ = new ClockBox(ToolPanel_);
    timbox_->setObjectName("timbox");
    timbox_->move(312, 7);
}

void TMainForm::PaintClock(int elapsed) {
    // The clock counts fifths of a second; a screen reader says the seconds.
    const QString seconds = QLocale(IsGerman(Language_) ? QLocale::German : QLocale::English).toString(elapsed / 5.0, 'f', 1);
    timbox_->Show(elapsed, seconds + " s");
}

void TMainForm::ApplyTexts() {
    const ToolbarTexts t = ToolbarTextsFor(Language_, SoundBtn_->isChecked(), MidiBtn_->isChecked());
    MixBtn_->setToolTip(t.mix);
    OptionBtn_->setToolTip(t.option);
    PauseBtn_->setToolTip(t.pause);
    SoundBtn_->setToolTip(t.sound);
    MidiBtn_->setToolTip(t.midi);
    HighScoreBtn_->setToolTip(t.highScore);
    ExitBtn_->setToolTip(t.exit);
    for (int i = 0; i < kPuzzleCount; ++i) puzzleGroup_->actions()[i]->setToolTip(PuzzleHint(Language_, i));
    TongueBtn_->setToolTip(t.tongue);
    HelpBtn_->setToolTip(t.help);
    InfoBtn_->setToolTip(t.info);
    QuirkoBtn_->setToolTip(t.quirko);
    TimeLabel_->setText(t.timeLabel);
    timbox_->setAccessibleName(t.timeLabel);
    RulesShape_->setToolTip(ForDisplay(RulesText(Language_, GameIndex())));

    // For screen readers: each button is named by its hint and tells its key.
    const bool german = IsGerman(Language_);
    struct Named {
        QAbstractButton* button;
        const char* key;
    };
    const Named named[] = {
        {MixBtn_, "F2"}, {OptionBtn_, german ? "Bild auf, Bild ab" : "Page Up, Page Down"}, {PauseBtn_, "P"},
        {SoundBtn_, "S"}, {MidiBtn_, "M"}, {HighScoreBtn_, "H"}, {ExitBtn_, german ? "Strg+Q" : "Ctrl+Q"},
        {TongueBtn_, "L"}, {HelpBtn_, "F1"}, {InfoBtn_, nullptr}, {QuirkoBtn_, nullptr}};
    auto name = [&](QAbstractButton* button, const QString& hint, const char* key) {
        button->setAccessibleName(hint);
        button->setAccessibleDescription(key ? hint + (german ? " Taste: " : " Key: ") + QString::fromUtf8(key) : hint);
    };
    for (const Named& n : named) name(n.button, n.button->toolTip(), n.key);
    for (int i = 0; i < kPuzzleCount; ++i) {
        const char key[] = {Record(i).key, '\0'};
        name(puzzleBtns_[static_cast<std::size_t>(i)], PuzzleHint(Language_, i), key);
    }
    PaintClock(CurrentSession().Elapsed);
    NameBoard();
}

void TMainForm::cClick() {
    if (!game_.MayPause()) return;
    game_.WithClockStopped([this] { windows_->ShowPaused(Language_); });
    FocusBoard();
}

void TMainForm::SoundBtnClick() { ApplyTexts(); }

void TMainForm::MidiBtnClick() {
    if (MidiBtn_->isEnabled()) {
        if (MidiBtn_->isChecked()) audio().SwitchOn();
        else audio().SwitchOff();
    }
    RunTimerIfNeeded();
    ApplyTexts();
}

void TMainForm::HighScoreBtnClick() {
    MakeTableKey();
    game_.WithClockStopped([this] { windows_->ShowHighscores(Language_, TableKey(), 0); });
    FocusBoard();
}

void TMainForm::TongueBtnClick() {
    // The clock keeps counting while the player chooses.
    if (auto chosen = windows_->ChooseLanguage(Language_)) Language_ = *chosen;
    ApplyTexts();
    FocusBoard();
}

void TMainForm::HelpBtnClick() {
    game_.WithClockStopped([this] { windows_->ShowHelp(Language_); });
}

void TMainForm::InfoBtnClick() {
    game_.WithClockStopped([this] { windows_->ShowAbout(Language_); });
    FocusBoard();
}

// The help file's section on the makers and the other Quirko Games, in the
// user's browser. Once that fails the button stays quiet for the rest of the run.
void TMainForm::QuirkoBtnClick() {
    if (quirkoBroken_) return;
    if (!OpenMakersPage(programDir_, Language_, openUrl_)) quirkoBroken_ = true;
}

bool TMainForm::FormCloseQuery() {
    const bool close = game_.WithClockStopped([this] { return windows_->AskQuit(Language_) == kAnswerYes; });
    if (!close) FocusBoard();
    return close;
}

void TMainForm::FormClose() {
    game_.StopClock();
    windows_->CloseHelp();
    SaveSettings();
}

void TMainForm::PutSettings() {
    gameSettings_.setGameIndex(GameIndex());
    for (int i = 0; i < kPuzzleCount; ++i)
        if (const PuzzleRecord& r = Record(i); r.optionSetting) gameSettings_.setOption(r, game_.OptionOf(i));
    gameSettings_.setSound(SoundBtn_->isChecked());
    gameSettings_.setMusic(MidiBtn_->isChecked());
    gameSettings_.setLanguage(Language_);
}

void TMainForm::SaveSettings() {
    // Into the file as it is now, and only what this run changed, so that
    // another game's changes to other values survive. All in one
    // replacement: a kill leaves all old values or all new ones.
    PutSettings();
    gameSettings_.Save();
}

void TMainForm::CloseWithoutAsking() {
    if (closed_) return;
    closeWithoutAsking_ = true;
    close();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // A window whose start-up failed has nothing to ask or save.
    if (created_ && !closed_) {
        if (!closeWithoutAsking_ && !FormCloseQuery()) {
            event->ignore();
            return;
        }
        FormClose();
        closed_ = true;
    }
    event->accept();
}

}  // namespace qg
