#pragma once
// A 32-bit pixel buffer (0xAARRGGBB, the layout of QImage::Format_RGB32) and
// the one blit the puzzles draw with. Plain C++: the puzzles and their tests
// never need a display.

#include <cstdint>
#include <vector>

namespace qg {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// The three raster operations of the sprite sheets.
enum class Rop {
    Copy,  // destination := source
    And,   // destination := destination AND source (masks)
    Or,    // destination := destination OR source (pictures)
};

class Surface {
public:
    Surface() = default;
    Surface(int width, int height, std::uint32_t fill = 0xFF000000u);

    int width() const { return width_; }
    int height() const { return height_; }
    bool isNull() const { return width_ == 0 || height_ == 0; }

    std::uint32_t pixel(int x, int y) const { return pixels_[index(x, y)]; }
    void setPixel(int x, int y, std::uint32_t argb) { pixels_[index(x, y)] = argb; }
    void fill(std::uint32_t argb);

    std::uint32_t* data() { return pixels_.data(); }
    const std::uint32_t* data() const { return pixels_.data(); }
    int bytesPerLine() const { return width_ * 4; }

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// Copies the w x h block at (sx, sy) of src onto (dx, dy) of dst with rop.
// Clipped to both surfaces: no pixel outside either is read or written.
// src and dst may be the same surface only if the blocks do not overlap.
void Blit(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy, Rop rop);

// Same place in both surfaces, as when a rectangle moves between the board
// surfaces, which all share board coordinates.
inline void Blit(Surface& dst, const Surface& src, const Rect& r, Rop rop) {
    Blit(dst, r.x, r.y, r.w, r.h, src, r.x, r.y, rop);
}

}  // namespace qg
