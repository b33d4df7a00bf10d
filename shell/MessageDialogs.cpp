#include "shell/MessageDialogs.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

#include "shell/Dialogs.h"
#include "shell/Pictures.h"
#include "shell/Texts.h"

namespace qg {

namespace {

constexpr QSize kMessageClient(250, 125);
constexpr int kButtonHeight = 27;
constexpr QRect kCancelBtn(168, 88, 70, kButtonHeight);
constexpr int kCancelMargin = 2;

void BlackText(QWidget& w) {
    QPalette pal = w.palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    pal.setColor(QPalette::ButtonText, Qt::black);
    w.setPalette(pal);
}

constexpr MessageWindowSpec kMessageWindows[] = {
    {.objectName = "PauseDlg", .messageName = "msg", .message = {32, 21, 185, 24}, .fontPixels = 16,
     .ok = {144, 88, 94, kButtonHeight}, .okGlyph = ":/pictures/glyph_continue.png", .okMargin = 5,
     .question = false, .onTop = false,
     .english = {"Pause", "Game paused!", "Continue", nullptr},
     .german = {"Pause", "Spiel angehalten!", "Fortsetzen", nullptr}},
    {.objectName = "DoneDlg", .messageName = "Msg", .message = {32, 20, 185, 21}, .fontPixels = 16,
     .ok = {168, 88, 70, kButtonHeight}, .okGlyph = ":/pictures/glyph_ok.png", .okMargin = BitBtn::kCentred,
     .question = false, .onTop = false,
     .english = {"Solved", "Hurrah, you did it!", "OK", nullptr},
     .german = {"Gelöst", "Hurra, geschafft!", "OK", nullptr}},
    {.objectName = "NewGameDlg", .messageName = "msg", .message = {40, 13, 169, 37}, .fontPixels = 15,
     .ok = {92, 88, 70, kButtonHeight}, .okGlyph = ":/pictures/glyph_ok18.png", .okMargin = 5,
     .question = true, .onTop = false,
     .english = {"Give up?", "Do you really want to giveup the puzzle?", "Yes", "No"},
     .german = {"Aufgeben?", "Willst Du das Rätsel wirklich aufgeben?", "Ja", "Nein"}},
    {.objectName = "EndGameDlg", .messageName = "msg", .message = {32, 13, 185, 37}, .fontPixels = 13,
     .ok = {92, 88, 70, kButtonHeight}, .okGlyph = ":/pictures/glyph_ok18.png", .okMargin = 5,
     .question = true, .onTop = true,
     .english = {"Quit?", "Do you really want to end the game?", "Yes", "No"},
     .german = {"Beenden?", "Willst Du das Spiel wirklich beenden?", "Ja", "Nein"}},
};

}  // namespace

const MessageWindowSpec& Spec(MessageWindow window) { return kMessageWindows[static_cast<int>(window)]; }

// ---- The textured notices and questions

TMessageDlg::TMessageDlg(QWidget& mainWindow, MessageWindow window)
    : TexturedDialog(mainWindow, kMessageClient), spec_(Spec(window)) {
    setObjectName(spec_.objectName);
    if (spec_.onTop) setWindowFlag(Qt::WindowStaysOnTopHint);
    setFont(WindowFonts::Button());
    BlackText(*this);
    AddFrame(*this, "Shape2", QRect(QPoint(0, 0), kMessageClient));
    AddFrame(*this, "Shape1", QRect(8, 8, 233, 45));
    message_ = new QLabel(this);
    message_->setObjectName(spec_.messageName);
    message_->setGeometry(spec_.message);
    message_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    message_->setWordWrap(true);
    message_->setFont(WindowFonts::Message(spec_.fontPixels));
    message_->setAttribute(Qt::WA_TranslucentBackground);

    OKBtn_ = new BitBtn(this, "OKBtn", spec_.ok, spec_.okGlyph, spec_.okMargin);
    OKBtn_->setDefault(true);
    connect(OKBtn_, &QPushButton::clicked, this, [this] { done(kAnswerYes); });
    if (spec_.question) {
        CancelBtn_ = new BitBtn(this, "CancelBtn", kCancelBtn, ":/pictures/glyph_cancel.png", kCancelMargin);
        connect(CancelBtn_, &QPushButton::clicked, this, [this] { done(kAnswerKeepOn); });
    }
}

void TMessageDlg::ApplyTexts(int language) {
    const MessageWords& words = IsGerman(language) ? spec_.german : spec_.english;
    setAccessibleName(QString::fromUtf8(words.name));
    SetMessage(QString::fromUtf8(words.message));
    OKBtn_->setText(QString::fromUtf8(words.ok));
    if (CancelBtn_) CancelBtn_->setText(QString::fromUtf8(words.cancel));
}

void TMessageDlg::SetMessage(const QString& text) {
    const QRect box(QPoint(0, 0), message_->size());
    for (int pixels = spec_.fontPixels; pixels >= 8; --pixels) {
        const QFont font = WindowFonts::Message(pixels);
        const QRect needed = QFontMetrics(font).boundingRect(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
        if (box.contains(needed) || pixels == 8) {
            message_->setFont(font);
            break;
        }
    }
    message_->setText(text);
    setAccessibleDescription(text);  // read out with the window's name
}

void TMessageDlg::showEvent(QShowEvent* event) {
    TexturedDialog::showEvent(event);
    OKBtn_->setFocus(Qt::OtherFocusReason);
}

void TMessageDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        // Escape presses the cancel button; the notices have none.
        if (CancelBtn_) CancelBtn_->click();
        return;
    }
    TexturedDialog::keyPressEvent(event);
}

void TMessageDlg::reject() {
    // Closed by the system: as a cancel.
    done(kAnswerKeepOn);
}

// ---- The language choice

TTongueDlg::TTongueDlg(QWidget& mainWindow)
    // A title bar with the close box only: the window has a fixed size.
    : QDialog(&mainWindow, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                               Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      mainWindow_(mainWindow) {
    setObjectName("TongueDlg");
    setWindowTitle(QString::fromLatin1(kCaption));
    setFixedSize(320, 91);
    setModal(true);
    setFont(WindowFonts::Button());
    Bevel1_ = new QFrame(this);
    Bevel1_->setObjectName("Bevel1");
    Bevel1_->setGeometry(8, 8, 305, 77);
    Bevel1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Image4_ = new QLabel(this);
    Image4_->setObjectName("Image4");
    Image4_->setGeometry(28, 28, 37, 37);
    EnglishBtn_ = new BitBtn(this, "EnglishBtn", QRect(84, 16, 221, 27), ":/pictures/flag_en.png", BitBtn::kCentred);
    EnglishBtn_->setText(QStringLiteral("I speak english."));
    EnglishBtn_->setDefault(true);
    GermanBtn_ = new BitBtn(this, "GermanBtn", QRect(84, 48, 221, 27), ":/pictures/flag_de.png", BitBtn::kCentred);
    GermanBtn_->setText(QStringLiteral("Ich spreche deutsch."));
    setTabOrder(EnglishBtn_, GermanBtn_);
    connect(EnglishBtn_, &QPushButton::clicked, this, &TTongueDlg::EnglishBtnClick);
    connect(GermanBtn_, &QPushButton::clicked, this, &TTongueDlg::GermanBtnClick);
}

std::optional<int> TTongueDlg::Choose() {
    chosen_.reset();
    exec();
    return chosen_;
}

void TTongueDlg::EnglishBtnClick() {
    chosen_ = 0;
    done(kAnswerYes);
}

void TTongueDlg::GermanBtnClick() {
    chosen_ = 1;
    done(kAnswerYes);
}

QPoint TTongueDlg::PlaceOver(const QWidget& main, QSize outer) {
    const QRect frame = main.frameGeometry();
    return {frame.left() + (frame.width() - outer.width()) / 2,
            frame.top() + frame.height() - (main.height() + outer.height()) / 2};
}

void TTongueDlg::Place() {
    // Until the window manager has framed this window, its frame is taken
    // to be like the main window's: the same window manager framed that.
    placer_.Place(*this, [this](QSize frame) { return PlaceOver(mainWindow_, frame); }, FrameMargins(mainWindow_));
}

void TTongueDlg::showEvent(QShowEvent* event) {
    // The main window's icon, as it is now.
    const QIcon icon = mainWindow_.windowIcon();
    setWindowIcon(icon);
    Image4_->setPixmap(icon.pixmap(37, 37));
    TieToMainWindow(*this, mainWindow_);
    Place();
    QDialog::showEvent(event);
    EnglishBtn_->setFocus(Qt::OtherFocusReason);
}

bool TTongueDlg::event(QEvent* event) {
    // Every activation places it again; so does the window manager's frame
    // once it is known, where it differs from the one it was placed with.
    if (event->type() == QEvent::WindowActivate) Place();
    else placer_.Check(*this, *event);
    return QDialog::event(event);
}

// ---- The splash

TSplash::TSplash(QWidget& mainWindow, int intervalMs, QElapsedTimer since)
    : QDialog(&mainWindow, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      mainWindow_(mainWindow),
      since_(since),
      intervalMs_(intervalMs) {
    if (!since_.isValid()) since_.start();
    setObjectName("Splash");
    setWindowTitle(QStringLiteral("Splash"));
    setFixedSize(200, 150);
    setModal(true);
    Image1_ = new QLabel(this);
    Image1_->setObjectName("Image1");
    Image1_->setGeometry(0, 0, 201, 151);
    Image1_->setPixmap(SharpPicture(":/pictures/splash.png"));
    Image1_->setAttribute(Qt::WA_TransparentForMouseEvents);  // its clicks are the window's
    Timer1_.setSingleShot(true);
    connect(&Timer1_, &QTimer::timeout, this, &TSplash::Click);
    Timer1_.start(static_cast<int>(std::max<qint64>(0, intervalMs_ - since_.elapsed())));
}

void TSplash::ShowModal() {
    // A tick that came while the start-up kept the event loop busy may not
    // have been delivered yet: count from the start, not from now.
    const qint64 left = intervalMs_ - since_.elapsed();
    if (left <= 0) return;
    Timer1_.start(static_cast<int>(left));
    exec();
}

void TSplash::showEvent(QShowEvent* event) {
    TieToMainWindow(*this, mainWindow_);
    // Centred on the main window's screen; frameless, so placed as it is.
    const QRect screen = (mainWindow_.screen() ? mainWindow_.screen() : QGuiApplication::primaryScreen())->geometry();
    move(screen.x() + (screen.width() - width()) / 2, screen.y() + (screen.height() - height()) / 2);
    QDialog::showEvent(event);
}

void TSplash::mouseReleaseEvent(QMouseEvent*) { Click(); }

void TSplash::Click() {
    // A tick after the picture is gone changes nothing.
    if (isVisible()) done(0);
}

}  // namespace qg
