#include "shell/DialogKit.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "shell/Pictures.h"
#include "shell/TexturedDialog.h"
#include "shell/Texts.h"

namespace qg {

namespace {
constexpr int kGlyphSpacing = 4;  // between picture and caption
}

// ---- The fonts

namespace WindowFonts {

QFont Button() {
    QFont f;
    f.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arimo", "DejaVu Sans"});
    f.setPixelSize(11);
    return f;
}

QFont Message(int pixels) {
    QFont f;
    f.setFamilies({"Arial", "Liberation Sans", "Arimo", "DejaVu Sans"});
    f.setBold(true);
    f.setPixelSize(pixels);
    return f;
}

QFont Small() {
    // Where MS Sans Serif is missing, a face of Arial's width: the usual
    // stand-in is wider, and "alle Einträge löschen" then ran into its frame.
    QFont font;
    font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial", "Nimbus Sans"});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    // Set outright, or the window's bold would show through.
    font.setWeight(QFont::Normal);
    return font;
}

QFont Row() {
    QFont font("Arial");
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPixelSize(15);
    return font;
}

QFont Label(int pixels, bool bold) {
    QFont font("Arial");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QFont AboutButton() { return Label(11, false); }

}  // namespace WindowFonts

// ---- BitBtn

BitBtn::BitBtn(QWidget* parent, const char* name, QRect geometry, const QString& glyph, int margin)
    : QPushButton(parent), glyph_(Picture(glyph)), margin_(margin) {
    setObjectName(name);
    setGeometry(geometry);
    setAutoDefault(true);
    if (margin_ == kStyleLaid) setIcon(PictureIcon(glyph));
}

int BitBtn::TextLeft() const {
    const int glyphWidth = glyph_.isNull() ? 0 : glyph_.width();
    const int gap = glyph_.isNull() ? 0 : kGlyphSpacing;
    if (margin_ >= 0) return margin_ + glyphWidth + gap;
    const int textWidth = fontMetrics().horizontalAdvance(text());
    return (width() - (glyphWidth + gap + textWidth)) / 2 + glyphWidth + gap;
}

void BitBtn::paintEvent(QPaintEvent* event) {
    if (margin_ == kStyleLaid) {
        QPushButton::paintEvent(event);
        return;
    }
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

// ---- The black frames

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

FrameShape* AddFrame(QWidget& window, const char* name, QRect geometry) {
    auto* shape = new FrameShape(&window, name, geometry);
    shape->lower();
    return shape;
}

// ---- The error box

ErrorBox::ErrorBox(const QString& text, QWidget* parent, Icon icon)
    : QMessageBox(icon, QString::fromLatin1(kCaption), text, QMessageBox::Ok, parent) {}

void ErrorBox::showEvent(QShowEvent* event) {
    QMessageBox::showEvent(event);  // gives the box its size
    QWidget* main = parentWidget() ? parentWidget()->window() : nullptr;
    if (main && main->isVisible()) TieToMainWindow(*this, *main);
    placer_.Place(
        *this,
        [main](QSize frame) {
            if (main && main->isVisible()) return CentredOver(*main, frame);
            const QScreen* screen = QGuiApplication::primaryScreen();
            const QRect area = screen ? screen->geometry() : QRect();
            return QPoint(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
        },
        main && main->isVisible() ? FrameMargins(*main) : QMargins());
}

bool ErrorBox::event(QEvent* event) {
    placer_.Check(*this, *event);
    return QMessageBox::event(event);
}

}  // namespace qg
