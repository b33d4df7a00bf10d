#include "core/Surface.h"

#include <algorithm>

namespace qg {

Surface::Surface(int width, int height, std::uint32_t fill)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

void Surface::fill(std::uint32_t argb) { std::fill(pixels_.begin(), pixels_.end(), argb); }

void Blit(Surface& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy, Rop rop) {
    // Clip the block against the left/top edges of both surfaces...
    if (dx < 0) { w += dx; sx -= dx; dx = 0; }
    if (dy < 0) { h += dy; sy -= dy; dy = 0; }
    if (sx < 0) { w += sx; dx -= sx; sx = 0; }
    if (sy < 0) { h += sy; dy -= sy; sy = 0; }
    // ...and the right/bottom edges. 64-bit sums keep huge sizes from wrapping.
    w = static_cast<int>(std::min<long long>({w, static_cast<long long>(dst.width()) - dx,
                                              static_cast<long long>(src.width()) - sx}));
    h = static_cast<int>(std::min<long long>({h, static_cast<long long>(dst.height()) - dy,
                                              static_cast<long long>(src.height()) - sy}));
    if (w <= 0 || h <= 0) return;

    for (int row = 0; row < h; ++row) {
        std::uint32_t* d = dst.data() + static_cast<std::size_t>(dy + row) * dst.width() + dx;
        const std::uint32_t* s = src.data() + static_cast<std::size_t>(sy + row) * src.width() + sx;
        switch (rop) {
        case Rop::Copy: std::copy(s, s + w, d); break;
        case Rop::And: for (int i = 0; i < w; ++i) d[i] &= s[i]; break;
        case Rop::Or: for (int i = 0; i < w; ++i) d[i] |= s[i]; break;
        }
    }
}

}  // namespace qg
