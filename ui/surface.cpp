#include <algorithm>

#include "ui/platform.h"

namespace fifteen::ui {

namespace {

size_t pixelIndex(const Surface& surface, int x, int y) {
    return static_cast<size_t>(y) * static_cast<size_t>(surface.width) + static_cast<size_t>(x);
}

// A block starting left of (or above) 0 on one axis starts at 0 instead, shorter
// by as much, and the other surface's start moves with it.
void clipStart(int& start, int& otherStart, int& length) {
    if (start >= 0) return;
    otherStart -= start;
    length += start;
    start = 0;
}

}  // namespace

void copyBlock(Surface& dst, int dx, int dy, const Surface& src, int sx, int sy, int w, int h) {
    // Clip the source block first, shifting the destination with it, then the
    // destination, shifting the source.
    clipStart(sx, dx, w);
    clipStart(sy, dy, h);
    clipStart(dx, sx, w);
    clipStart(dy, sy, h);
    w = std::min({w, src.width - sx, dst.width - dx});
    h = std::min({h, src.height - sy, dst.height - dy});
    if (w <= 0 || h <= 0) {
        return;
    }
    for (int row = 0; row < h; ++row) {
        const auto from =
            src.pixels.begin() + static_cast<std::ptrdiff_t>(pixelIndex(src, sx, sy + row));
        std::copy(from, from + w,
                  dst.pixels.begin() + static_cast<std::ptrdiff_t>(pixelIndex(dst, dx, dy + row)));
    }
}

void fillRect(Surface& dst, Rect rect, Color color) {
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    const int right = std::min(rect.right, dst.width);
    const int bottom = std::min(rect.bottom, dst.height);
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            dst.pixels[pixelIndex(dst, x, y)] = color;
        }
    }
}

}  // namespace fifteen::ui
