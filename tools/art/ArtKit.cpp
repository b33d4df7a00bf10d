#include "tools/art/ArtKit.h"

#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace art {
namespace {

struct Tone {
    QColor base, light, deep, mark;
};

const std::array<Tone, kColourCount> kTones = {{
    {QColor(204, 42, 38), QColor(255, 142, 120), QColor(112, 14, 14), QColor(255, 190, 176)},   // red
    {QColor(236, 192, 38), QColor(255, 240, 150), QColor(150, 104, 8), QColor(150, 108, 20)},   // yellow
    {QColor(40, 92, 204), QColor(132, 182, 255), QColor(14, 36, 110), QColor(176, 206, 255)},   // blue
    {QColor(46, 156, 66), QColor(150, 226, 140), QColor(14, 76, 30), QColor(184, 240, 176)},    // green
    {QColor(238, 124, 30), QColor(255, 196, 128), QColor(142, 60, 6), QColor(130, 58, 8)},      // orange
    {QColor(132, 62, 176), QColor(206, 150, 240), QColor(62, 20, 96), QColor(222, 188, 246)},   // violet
    {QColor(36, 182, 200), QColor(160, 240, 248), QColor(8, 92, 110), QColor(10, 90, 104)},     // cyan
    {QColor(228, 228, 220), QColor(255, 255, 255), QColor(138, 138, 130), QColor(120, 120, 112)},  // white
}};

const Tone& ToneOf(int colour) { return kTones[static_cast<std::size_t>(std::clamp(colour, 1, kColourCount) - 1)]; }

// Hash-based lattice noise, repeatable for a seed.
float Lattice(int x, int y, unsigned seed) {
    unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFF) / 65535.0f;
}

float Smooth(float t) { return t * t * (3 - 2 * t); }

float ValueNoise(float x, float y, unsigned seed) {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const float fx = Smooth(x - static_cast<float>(x0)), fy = Smooth(y - static_cast<float>(y0));
    const float a = Lattice(x0, y0, seed), b = Lattice(x0 + 1, y0, seed);
    const float c = Lattice(x0, y0 + 1, seed), d = Lattice(x0 + 1, y0 + 1, seed);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

float Fractal(float x, float y, unsigned seed, int octaves) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * ValueNoise(x, y, seed + static_cast<unsigned>(o) * 101u);
        norm += amp;
        x *= 2.03f;
        y *= 2.03f;
        amp *= 0.5f;
    }
    return sum / norm;
}

QColor Mix(QColor a, QColor b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return QColor(static_cast<int>(std::lround(a.red() + (b.red() - a.red()) * t)),
                  static_cast<int>(std::lround(a.green() + (b.green() - a.green()) * t)),
                  static_cast<int>(std::lround(a.blue() + (b.blue() - a.blue()) * t)));
}

// Three passes of a box blur approximate a Gaussian; applied to alpha only.
void BlurAlpha(std::vector<float>& a, int w, int h, int radius) {
    if (radius <= 0) return;
    std::vector<float> tmp(a.size());
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float s = 0;
                int n = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int xx = x + k;
                    if (xx >= 0 && xx < w) { s += a[static_cast<std::size_t>(y * w + xx)]; ++n; }
                }
                tmp[static_cast<std::size_t>(y * w + x)] = s / static_cast<float>(n);
            }
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float s = 0;
                int n = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int yy = y + k;
                    if (yy >= 0 && yy < h) { s += tmp[static_cast<std::size_t>(yy * w + x)]; ++n; }
                }
                a[static_cast<std::size_t>(y * w + x)] = s / static_cast<float>(n);
            }
        }
    }
}

}  // namespace

QColor Base(int colour) { return ToneOf(colour).base; }
QColor Light(int colour) { return ToneOf(colour).light; }
QColor Deep(int colour) { return ToneOf(colour).deep; }
QColor MarkTone(int colour) { return ToneOf(colour).mark; }

void Prepare(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

void DrawMark(QPainter& p, QPointF c, qreal size, int colour) {
    p.save();
    const QColor tone = MarkTone(colour);
    const qreal s = std::max<qreal>(size, 4.0);
    const qreal stroke = std::max<qreal>(1.5, s / 5.0);
    QPen pen(tone, stroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (std::clamp(colour, 1, kColourCount)) {
    case 1:  // dot
        p.setPen(Qt::NoPen);
        p.setBrush(tone);
        p.drawEllipse(c, s * 0.28, s * 0.28);
        break;
    case 2:  // ring
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, s * 0.36, s * 0.36);
        break;
    case 3:  // bar
        p.setPen(Qt::NoPen);
        p.setBrush(tone);
        p.drawRoundedRect(QRectF(c.x() - s * 0.42, c.y() - stroke * 0.6, s * 0.84, stroke * 1.2), stroke * 0.4, stroke * 0.4);
        break;
    case 4:  // cross
        p.setPen(pen);
        p.drawLine(QPointF(c.x() - s * 0.34, c.y()), QPointF(c.x() + s * 0.34, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - s * 0.34), QPointF(c.x(), c.y() + s * 0.34));
        break;
    case 5: {  // triangle
        p.setPen(Qt::NoPen);
        p.setBrush(tone);
        QPolygonF tri;
        tri << QPointF(c.x(), c.y() - s * 0.38) << QPointF(c.x() + s * 0.36, c.y() + s * 0.28)
            << QPointF(c.x() - s * 0.36, c.y() + s * 0.28);
        p.drawPolygon(tri);
        break;
    }
    case 6: {  // diamond
        p.setPen(Qt::NoPen);
        p.setBrush(tone);
        QPolygonF d;
        d << QPointF(c.x(), c.y() - s * 0.38) << QPointF(c.x() + s * 0.3, c.y()) << QPointF(c.x(), c.y() + s * 0.38)
          << QPointF(c.x() - s * 0.3, c.y());
        p.drawPolygon(d);
        break;
    }
    case 7:  // two dots
        p.setPen(Qt::NoPen);
        p.setBrush(tone);
        p.drawEllipse(QPointF(c.x() - s * 0.2, c.y()), s * 0.15, s * 0.15);
        p.drawEllipse(QPointF(c.x() + s * 0.2, c.y()), s * 0.15, s * 0.15);
        break;
    default:  // square
        p.setPen(Qt::NoPen);
        p.setBrush(tone);
        p.drawRect(QRectF(c.x() - s * 0.22, c.y() - s * 0.22, s * 0.44, s * 0.44));
        break;
    }
    p.restore();
}

void DrawGlossy(QPainter& p, const QPainterPath& shape, int colour, qreal markSize) {
    p.save();
    Prepare(p);
    const QRectF r = shape.boundingRect();
    const qreal radius = std::max(r.width(), r.height()) * 0.5;
    const QPointF light(r.center().x() - radius * 0.38, r.center().y() - radius * 0.38);
    QRadialGradient g(light, radius * 1.45, light);
    g.setColorAt(0.0, Light(colour));
    g.setColorAt(0.42, Base(colour));
    g.setColorAt(1.0, Deep(colour));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(shape);

    if (markSize > 0) DrawMark(p, r.center(), markSize, colour);

    // Specular highlight: a small soft white oval near the light.
    QRadialGradient spec(QPointF(light.x() + radius * 0.06, light.y() + radius * 0.04), radius * 0.3);
    spec.setColorAt(0.0, QColor(255, 255, 255, 210));
    spec.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setBrush(spec);
    p.setClipPath(shape);
    p.drawEllipse(QPointF(light.x() + radius * 0.06, light.y() + radius * 0.04), radius * 0.32, radius * 0.24);
    p.setClipping(false);

    p.setBrush(Qt::NoBrush);
    QColor rim = Deep(colour).darker(135);
    p.setPen(QPen(rim, 1.0));
    p.drawPath(shape);
    p.restore();
}

void DrawGlossyDisc(QPainter& p, QRectF r, int colour) {
    QPainterPath path;
    path.addEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
    DrawGlossy(p, path, colour, std::min(r.width(), r.height()) * 0.36);
}

void DrawBevel(QPainter& p, const QPainterPath& shape, qreal width, bool raised) {
    p.save();
    Prepare(p);
    const QColor hi(255, 255, 255, 120), lo(0, 0, 0, 150);
    const QPointF d(width * 0.5, width * 0.5);
    p.setBrush(Qt::NoBrush);
    p.setClipPath(shape);
    p.setPen(QPen(raised ? hi : lo, width));
    p.drawPath(shape.translated(d));
    p.setPen(QPen(raised ? lo : hi, width));
    p.drawPath(shape.translated(-d));
    p.restore();
}

void DrawShadow(QImage& target, const QPainterPath& shape, QPointF offset, int blur, int alpha) {
    // The shape in the target's own coordinates, the blur in its pixels: a
    // picture drawn at twice the size gets the same shadow, twice as fine.
    const int w = target.width(), h = target.height();
    const qreal scale = target.devicePixelRatio();
    QImage cover(w, h, QImage::Format_ARGB32_Premultiplied);
    cover.setDevicePixelRatio(scale);
    cover.fill(Qt::transparent);
    {
        QPainter p(&cover);
        Prepare(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 255));
        p.drawPath(shape.translated(offset));
    }
    std::vector<float> a(static_cast<std::size_t>(w * h));
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(cover.constScanLine(y));
        for (int x = 0; x < w; ++x) a[static_cast<std::size_t>(y * w + x)] = static_cast<float>(qAlpha(line[x])) / 255.0f;
    }
    BlurAlpha(a, w, h, static_cast<int>(blur * scale));
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(target.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const float k = 1.0f - a[static_cast<std::size_t>(y * w + x)] * static_cast<float>(alpha) / 255.0f;
            const QRgb c = line[x];
            line[x] = qRgb(static_cast<int>(static_cast<float>(qRed(c)) * k), static_cast<int>(static_cast<float>(qGreen(c)) * k),
                           static_cast<int>(static_cast<float>(qBlue(c)) * k));
        }
    }
}

QPainterPath RoundedRect(const QRectF& r, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

void FillClipped(QImage& target, const QPainterPath& shape, const QImage& source) {
    QPainter p(&target);
    Prepare(p);
    p.setClipPath(shape);
    p.drawImage(QPointF(0, 0), source);
}

void InnerShadow(QImage& target, const QPainterPath& recess, qreal offset, int blur, int alpha) {
    QImage shaded = target.copy();
    QPainterPath outside;
    outside.addRect(QRectF(-40, -40, target.width() + 80, target.height() + 80));
    outside = outside.subtracted(recess);
    DrawShadow(shaded, outside, QPointF(offset, offset), blur, alpha);
    FillClipped(target, recess, shaded);
}

void Vignette(QImage& target, QPointF centre, qreal radius, int alpha) {
    QPainter p(&target);
    Prepare(p);
    QRadialGradient v(centre, radius);
    v.setColorAt(0.55, QColor(0, 0, 0, 0));
    v.setColorAt(1.0, QColor(0, 0, 0, alpha));
    p.fillRect(QRectF(0, 0, target.width(), target.height()), v);
}

void DrawBrassPlaque(QImage& target, const QRectF& rect, qreal radius) {
    const QPainterPath plaque = RoundedRect(rect, radius);
    DrawShadow(target, plaque, QPointF(2, 3), 3, 150);
    QPainter p(&target);
    Prepare(p);
    QLinearGradient brass(rect.topLeft(), rect.bottomRight());
    brass.setColorAt(0.0, QColor(226, 192, 110));
    brass.setColorAt(0.45, QColor(182, 138, 62));
    brass.setColorAt(1.0, QColor(120, 84, 32));
    p.setPen(QPen(QColor(84, 56, 18), 1));
    p.setBrush(brass);
    p.drawPath(plaque);
    DrawBevel(p, plaque, 2, true);
}

void EngraveText(QPainter& p, const QRectF& rect, const QString& text, const QFont& font) {
    p.save();
    p.setFont(font);
    p.setPen(QColor(255, 236, 180, 170));
    p.drawText(rect.translated(1, 1), Qt::AlignCenter, text);
    p.setPen(QColor(70, 44, 12));
    p.drawText(rect, Qt::AlignCenter, text);
    p.restore();
}

QImage MakeTexture(QSize size, Texture kind, QColor dark, QColor light, unsigned seed, int scale) {
    QImage img(size * scale, QImage::Format_RGB32);
    img.setDevicePixelRatio(scale);
    for (int y = 0; y < img.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const float fx = static_cast<float>(x) / static_cast<float>(scale), fy = static_cast<float>(y) / static_cast<float>(scale);
            float t = 0;
            switch (kind) {
            case Texture::Wood: {
                // Long grain along X, gently warped, with fine fibres.
                const float warp = Fractal(fx * 0.01f, fy * 0.03f, seed, 3) * 6.0f;
                const float grain = std::sin((fy * 0.35f + warp) * 1.7f) * 0.5f + 0.5f;
                t = 0.55f * grain + 0.45f * Fractal(fx * 0.02f, fy * 0.6f, seed + 7u, 3);
                break;
            }
            case Texture::Felt:
                t = 0.6f * Fractal(fx * 0.35f, fy * 0.35f, seed, 2) + 0.4f * Fractal(fx * 0.05f, fy * 0.05f, seed + 3u, 3);
                break;
            case Texture::Stone:
                t = Fractal(fx * 0.04f, fy * 0.04f, seed, 5);
                t = 0.7f * t + 0.3f * Fractal(fx * 0.5f, fy * 0.5f, seed + 11u, 2);
                break;
            }
            line[x] = Mix(dark, light, t).rgb();
        }
    }
    return img;
}

QImage NewSheet(int width, int height) {
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(QColor(0, 0, 0));
    return img;
}

Sprite MakeSprite(QSize size, const std::function<void(QPainter&)>& draw) {
    QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    {
        QPainter p(&canvas);
        Prepare(p);
        draw(p);
    }
    Sprite s{QImage(size, QImage::Format_RGB32), QImage(size, QImage::Format_RGB32)};
    for (int y = 0; y < size.height(); ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        QRgb* pic = reinterpret_cast<QRgb*>(s.picture.scanLine(y));
        QRgb* mask = reinterpret_cast<QRgb*>(s.mask.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const bool inside = qAlpha(src[x]) >= 128;
            mask[x] = inside ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
            // Premultiplied colour is the drawing composed over black.
            pic[x] = inside ? qRgb(qRed(src[x]), qGreen(src[x]), qBlue(src[x])) : qRgb(0, 0, 0);
        }
    }
    return s;
}

void Put(QImage& sheet, const QImage& image, QPoint at) {
    QPainter p(&sheet);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(at, image);
}

void BlackOutsideMask(QImage& picture, const QImage& mask) {
    for (int y = 0; y < std::min(picture.height(), mask.height()); ++y) {
        QRgb* pic = reinterpret_cast<QRgb*>(picture.scanLine(y));
        const QRgb* m = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < std::min(picture.width(), mask.width()); ++x)
            if ((m[x] & 0xFFFFFFu) != 0) pic[x] = qRgb(0, 0, 0);
    }
}

bool SaveBmp(const QImage& image, const QString& path) {
    return image.convertToFormat(QImage::Format_RGB32).save(path, "BMP");
}

QImage Canvas(int w, int h) {
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

bool SaveGlyphs(std::initializer_list<Glyph> glyphs, const QString& dir, QStringList& files) {
    for (const Glyph& g : glyphs) {
        // Once at the size the window asks for and once at twice that, drawn
        // anew with every detail, for screens scaled by two.
        for (const int scale : {1, 2}) {
            QImage img = Canvas(g.w * scale, g.h * scale);
            {
                QPainter p(&img);
                Prepare(p);
                p.scale(scale, scale);
                g.draw(p);
            }
            const QString file = QString(scale == 1 ? "%1.png" : "%1@2x.png").arg(g.name);
            if (!img.save(dir + "/" + file, "PNG")) return false;
            files << file;
        }
    }
    return true;
}

}  // namespace art
