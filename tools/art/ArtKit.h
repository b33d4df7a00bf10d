#pragma once
// Shared drawing kit of the picture generator: the palette and colour marks that
// every puzzle uses, glossy pieces, bevels, quiet procedural textures, and the
// sprite rules of the sheets (pure black/white masks, pictures black outside).

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>

namespace art {

// Piece colours 1..8: red, yellow, blue, green, orange, violet, cyan, white.
// The same colour number means the same colour and mark in every puzzle.
inline constexpr int kColourCount = 8;
QColor Base(int colour);   // the colour itself
QColor Light(int colour);  // the lit spot at the upper left
QColor Deep(int colour);   // the shaded lower right and the rim
QColor MarkTone(int colour);  // the quiet tone of its mark

// Draws colour's mark (dot, ring, bar, cross, triangle, diamond, two dots,
// square) centred at c, fitting a box of about `size` pixels (>= 3 px strokes
// are kept for sizes from 8 px up).
void DrawMark(QPainter& p, QPointF c, qreal size, int colour);

// A glossy round piece: radial gradient lit from the upper left, thin darker
// rim, small specular highlight and the colour mark. `shape` is the outline.
void DrawGlossy(QPainter& p, const QPainterPath& shape, int colour, qreal markSize);
void DrawGlossyDisc(QPainter& p, QRectF r, int colour);  // a disc with a mark

// A bevelled plate or frame edge: light upper-left, dark lower-right.
void DrawBevel(QPainter& p, const QPainterPath& shape, qreal width, bool raised);

// A soft shadow of `shape` cast to the lower right, baked into backgrounds.
void DrawShadow(QImage& target, const QPainterPath& shape, QPointF offset, int blur, int alpha);

// Small shape helpers shared by the sheets.
QPainterPath RoundedRect(const QRectF& r, qreal radius);
// Lays `source` (same coordinates as target) into `shape` of the target.
void FillClipped(QImage& target, const QPainterPath& shape, const QImage& source);
// Darkens the floor of a recess along its upper-left walls, as light from the
// upper left would: the shadow of everything outside, offset and blurred.
void InnerShadow(QImage& target, const QPainterPath& recess, qreal offset, int blur, int alpha);

// Darkens the board's edges softly, keeping the eye on the middle.
void Vignette(QImage& target, QPointF centre, qreal radius, int alpha);

// A brass name plate with its shadow, bevelled, lit from the top left.
void DrawBrassPlaque(QImage& target, const QRectF& rect, qreal radius);
// Text cut into brass: a dark cut with its lit lower edge.
void EngraveText(QPainter& p, const QRectF& rect, const QString& text, const QFont& font);

enum class Texture { Wood, Felt, Stone };
// A quiet, seeded value-noise texture between `dark` and `light`.
// With scale 2 the same texture over twice the pixels (device pixel ratio 2).
QImage MakeTexture(QSize size, Texture kind, QColor dark, QColor light, unsigned seed, int scale = 1);

// A black RGB32 image: the starting point of every sheet.
QImage NewSheet(int width, int height);

// A sprite is a picture and its mask of the same size. Build one by drawing
// onto a transparent canvas: pixels at least half covered belong to the piece
// (black in the mask); the picture is the drawing composed over black there,
// so anti-aliased edges fade to black inside the mask, and is pure black
// everywhere else.
struct Sprite {
    QImage picture;
    QImage mask;
};
Sprite MakeSprite(QSize size, const std::function<void(QPainter&)>& draw);

// Copies an image (picture or mask) into the sheet at `at`.
void Put(QImage& sheet, const QImage& image, QPoint at);

// Makes `picture` pure black wherever `mask` (of the same size, at the same
// place) is white, so a picture obeys the OR rule whatever was drawn.
void BlackOutsideMask(QImage& picture, const QImage& mask);

// Writes a 24-bit BMP. Returns false on failure.
bool SaveBmp(const QImage& image, const QString& path);

// Antialiased painter with the usual settings of the generator.
void Prepare(QPainter& p);

// A transparent picture to draw a glyph on.
QImage Canvas(int w, int h);

// A small picture drawn by `draw` on a w x h transparent canvas.
struct Glyph {
    const char* name;  // written as NAME.png
    int w, h;
    std::function<void(QPainter&)> draw;
};

// Draws each glyph and writes it into dir as NAME.png and, at twice the
// size, NAME@2x.png, adding the file names to files. False when a file
// could not be written.
bool SaveGlyphs(std::initializer_list<Glyph> glyphs, const QString& dir, QStringList& files);

}  // namespace art
