#pragma once
// What the game's small windows are built from: their fonts, the picture
// button, the black frames and the error box. Each window states only its
// own geometry and texts.

#include <QFont>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QString>

#include "shell/PositionKeeper.h"

namespace qg {

// The fonts the windows were laid out for, each named by its use. Where a
// face is missing, the stand-ins keep its width (see Fonts.h).
namespace WindowFonts {
QFont Button();              // 11 px: the buttons of the notices, questions and language window
QFont Message(int pixels);   // bold: a notice's or question's message
QFont Small();               // 11 px, never bold: the high-score buttons and its clear-all label
QFont Row();                 // bold 15 px: the high-score rows
QFont Label(int pixels, bool bold);  // the about window's lines
QFont AboutButton();         // 11 px: the about window's button
}  // namespace WindowFonts

// A push button with a small picture beside its caption. With a margin the
// picture sits that far from the left edge and the caption follows it;
// with kCentred picture and caption are centred together; with kStyleLaid
// the style lays them out as on any push button, the picture at the icon
// size the window sets.
class BitBtn : public QPushButton {
    Q_OBJECT
public:
    static constexpr int kCentred = -1;
    static constexpr int kStyleLaid = -2;

    BitBtn(QWidget* parent, const char* name, QRect geometry, const QString& glyph, int margin);

    // The caption's left edge, where the painting puts it.
    int TextLeft() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap glyph_;
    int margin_;
};

// A one-pixel black rectangle outline with a clear inside that lets clicks
// through. Made before a window's other controls, it lies under them.
class FrameShape : public QWidget {
public:
    FrameShape(QWidget* parent, const char* name, QRect geometry);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A black frame of a window, in its client coordinates, under every control
// as if the window painted it.
FrameShape* AddFrame(QWidget& window, const char* name, QRect geometry);

// A message box of the game's caption, centred over the main window's frame,
// or on the screen while the main window is not shown (the start-up error
// comes before it is).
class ErrorBox : public QMessageBox {
public:
    ErrorBox(const QString& text, QWidget* parent, Icon icon = QMessageBox::Critical);

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    FramePlacer placer_;
};

}  // namespace qg
