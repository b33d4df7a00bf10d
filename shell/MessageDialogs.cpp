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
constexpr int kGlyphSpacing = 4;  // between picture and caption

// The windows' own font: 11 pixels, for the buttons.
QFont WindowFont() {
    QFont f;
    f.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arimo", "DejaVu Sans"});
    f.setPixelSize(11);
    return f;
}

QFont MessageFont(int pixels) {
    QFont f;
    f.setFamilies({"Arial", "Liberation Sans", "Arimo", "DejaVu Sans"});
    f.setBold(true);
    f.setPixelSize(pixels);
    return f;
}

void BlackText(QWidget& w) {
    QPalette pal = w.palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    pal.setColor(QPalette::ButtonText, Qt::black);
    w.setPalette(pal);
}

}  // namespace

// ---- BitBtn

BitBtn::BitBtn(QWidget* parent, const char* name, QRect geometry, const QString& glyph, int margin)
    : QPushButton(parent), glyph_(Picture(glyph)), margin_(margin) {
    setObjectName(name);
    setGeometry(geometry);
    setAutoDefault(true);
}

int BitBtn::TextLeft() const {
    const int glyphWidth = glyph_.isNull() ? 0 : glyph_.width();
    const int gap = glyph_.isNull() ? 0 : kGlyphSpacing;
    if (margin_ >= 0) return margin_ + glyphWidth + gap;
    const int textWidth = fontMetrics().horizontalAdvance(text());
    return (width() - (glyphWidth + gap + textWidth)) / 2 + glyphWidth + gap;
}

void BitBtn::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    p.drawControl(QStyle::CE_PushButtonBevel, option);

    const int shift = isDown() ? 1 : 0;  // a pressed button's face moves in
    const int textLeft = TextLeft();
    if (!glyph_.isNull()) {
        const int glyphLeft = textLeft - kGlyphSpacing - glyph_.width();
        p.drawPixmap(glyphLeft + shift, (height() - glyph_.height()) / 2 + shift, glyph_);
    }
    const QRect textRect(textLeft + shift, shift, width() - textLeft - 2, height());
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = fontMetrics().boundingRect(textRect, Qt::AlignLeft | Qt::AlignVCenter, text()).adjusted(-2, -1, 2, 1);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

// ---- FrameShape

FrameShape::FrameShape(QWidget* parent, const char* name, QRect geometry) : QWidget(parent) {
    setObjectName(name);
    setGeometry(geometry);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FrameShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

// ---- The textured notices and questions

TMessageDlg::TMessageDlg(QWidget& mainWindow, const Layout& layout)
    : TexturedDialog(mainWindow, kMessageClient), fontPixels_(layout.fontPixels) {
    setFont(WindowFont());
    BlackText(*this);
    new FrameShape(this, "Shape2", QRect(QPoint(0, 0), kMessageClient));
    new FrameShape(this, "Shape1", QRect(8, 8, 233, 45));
    message_ = new QLabel(this);
    message_->setObjectName(layout.messageName);
    message_->setGeometry(layout.message);
    message_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    message_->setWordWrap(true);
    message_->setFont(MessageFont(fontPixels_));
    message_->setAttribute(Qt::WA_TranslucentBackground);
}

void TMessageDlg::AddOKBtn(QRect geometry, const QString& glyph, int margin) {
    OKBtn_ = new BitBtn(this, "OKBtn", geometry, glyph, margin);
    OKBtn_->setDefault(true);
    connect(OKBtn_, &QPushButton::clicked, this, [this] { done(kAnswerYes); });
}

void TMessageDlg::AddCancelBtn(QRect geometry, int margin) {
    CancelBtn_ = new BitBtn(this, "CancelBtn", geometry, ":/pictures/glyph_cancel.png", margin);
    connect(CancelBtn_, &QPushButton::clicked, this, [this] { done(kAnswerKeepOn); });
}

void TMessageDlg::SetMessage(const QString& text) {
    const QRect box(QPoint(0, 0), message_->size());
    for (int pixels = fontPixels_; pixels >= 8; --pixels) {
        const QFont font = MessageFont(pixels);
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

TPauseDlg::TPauseDlg(QWidget& mainWindow) : TMessageDlg(mainWindow, {"msg", QRect(32, 21, 185, 24), 16}) {
    setObjectName("PauseDlg");
    AddOKBtn(QRect(144, 88, 94, kButtonHeight), ":/pictures/glyph_continue.png", 5);
}

void TPauseDlg::ApplyTexts(int language) {
    const bool german = IsGerman(language);
    setAccessibleName(QStringLiteral("Pause"));
    SetMessage(german ? QStringLiteral("Spiel angehalten!") : QStringLiteral("Game paused!"));
    OKBtn()->setText(german ? QStringLiteral("Fortsetzen") : QStringLiteral("Continue"));
}

TDoneDlg::TDoneDlg(QWidget& mainWindow) : TMessageDlg(mainWindow, {"Msg", QRect(32, 20, 185, 21), 16}) {
    setObjectName("DoneDlg");
    AddOKBtn(QRect(168, 88, 70, kButtonHeight), ":/pictures/glyph_ok.png", -1);
    OKBtn()->setText(QStringLiteral("OK"));
}

void TDoneDlg::ApplyTexts(int language) {
    setAccessibleName(IsGerman(language) ? QString::fromUtf8("Gelöst") : QStringLiteral("Solved"));
    SetMessage(IsGerman(language) ? QStringLiteral("Hurra, geschafft!") : QStringLiteral("Hurrah, you did it!"));
}

TNewGameDlg::TNewGameDlg(QWidget& mainWindow) : TNewGameDlg(mainWindow, {"msg", QRect(40, 13, 169, 37), 15}) {
    setObjectName("NewGameDlg");
}

TNewGameDlg::TNewGameDlg(QWidget& mainWindow, const Layout& layout) : TMessageDlg(mainWindow, layout) {
    AddOKBtn(QRect(92, 88, 70, kButtonHeight), ":/pictures/glyph_ok18.png", 5);
    AddCancelBtn(QRect(168, 88, 70, kButtonHeight), 2);
}

void TNewGameDlg::ApplyTexts(int language) {
    const bool german = IsGerman(language);
    setAccessibleName(german ? QStringLiteral("Aufgeben?") : QStringLiteral("Give up?"));
    SetMessage(german ? QStringLiteral("Willst Du das Rätsel wirklich aufgeben?")
                      : QStringLiteral("Do you really want to giveup the puzzle?"));
    OKBtn()->setText(german ? QStringLiteral("Ja") : QStringLiteral("Yes"));
    CancelBtn()->setText(german ? QStringLiteral("Nein") : QStringLiteral("No"));
}

TEndGameDlg::TEndGameDlg(QWidget& mainWindow) : TNewGameDlg(mainWindow, {"msg", QRect(32, 13, 185, 37), 13}) {
    setObjectName("EndGameDlg");
    setWindowFlag(Qt::WindowStaysOnTopHint);
}

void TEndGameDlg::ApplyTexts(int language) {
    TNewGameDlg::ApplyTexts(language);
    setAccessibleName(IsGerman(language) ? QStringLiteral("Beenden?") : QStringLiteral("Quit?"));
    SetMessage(IsGerman(language) ? QStringLiteral("Willst Du das Spiel wirklich beenden?")
                                  : QStringLiteral("Do you really want to end the game?"));
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
    setFont(WindowFont());
    Bevel1_ = new QFrame(this);
    Bevel1_->setObjectName("Bevel1");
    Bevel1_->setGeometry(8, 8, 305, 77);
    Bevel1_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Image4_ = new QLabel(this);
    Image4_->setObjectName("Image4");
    Image4_->setGeometry(28, 28, 37, 37);
    EnglishBtn_ = new BitBtn(this, "EnglishBtn", QRect(84, 16, 221, 27), ":/pictures/flag_en.png", -1);
    EnglishBtn_->setText(QStringLiteral("I speak english."));
    EnglishBtn_->setDefault(true);
    GermanBtn_ = new BitBtn(this, "GermanBtn", QRect(84, 48, 221, 27), ":/pictures/flag_de.png", -1);
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
