#include "ui/win32/views/canvas.h"

#include <algorithm>

namespace fifteen::ui::win32 {

BITMAPINFO Canvas::formatFor(int width, int height) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    return format;
}

Canvas::Canvas(int width, int height)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), dc_(CreateCompatibleDC(nullptr)) {
    const BITMAPINFO format = formatFor(width_, height_);
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(dc_.get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<Color*>(bits);
    if (bitmap_) old_ = SelectObject(dc_.get(), bitmap_.get());
}

Canvas::~Canvas() {
    if (old_) SelectObject(dc_.get(), old_);
}

Color* Canvas::pixels() {
    GdiFlush();
    return bits_;
}

Color Canvas::at(int x, int y) {
    return pixels()[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] &
           0xFFFFFFu;
}

Surface Canvas::crop(Rect r) {
    Surface out;
    const int left = std::max(r.left, 0), top = std::max(r.top, 0);
    const int right = std::min(r.right, width_), bottom = std::min(r.bottom, height_);
    out.resize(std::max(right - left, 0), std::max(bottom - top, 0));
    if (!bits_) return out;
    const Color* p = pixels();
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            out.pixels[static_cast<size_t>(y - top) * static_cast<size_t>(out.width) +
                       static_cast<size_t>(x - left)] =
                p[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] &
                0xFFFFFFu;
        }
    }
    return out;
}

void Canvas::put(const Surface& surface, int x, int y) {
    if (!bits_) return;
    Color* p = pixels();
    for (int sy = std::max(0, -y); sy < surface.height && y + sy < height_; ++sy) {
        for (int sx = std::max(0, -x); sx < surface.width && x + sx < width_; ++sx) {
            p[static_cast<size_t>(y + sy) * static_cast<size_t>(width_) +
              static_cast<size_t>(x + sx)] = surface.at(sx, sy);
        }
    }
}

void Canvas::fill(Rect r, Color color) {
    if (!bits_) return;
    Color* p = pixels();
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, height_); ++y) {
        for (int x = std::max(r.left, 0); x < std::min(r.right, width_); ++x) {
            p[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] =
                color;
        }
    }
}

}  // namespace fifteen::ui::win32
