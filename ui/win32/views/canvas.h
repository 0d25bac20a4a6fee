#pragma once

// A 32-bit top-down DIB section with its own memory DC: GDI draws into it, and
// its pixels (0x00RRGGBB, the top byte unused) are read and written directly.
// The windows paint into one and copy it to the screen in one piece.

#include <windows.h>

#include <cstdint>

#include "ui/platform.h"
#include "ui/win32/views/gdi.h"

namespace fifteen::ui::win32 {

class Canvas {
  public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // The header of a 32-bit top-down DIB of that size.
    static BITMAPINFO formatFor(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    HDC dc() const { return dc_.get(); }
    // Direct access; call after GDI has finished drawing (it flushes first).
    Color* pixels();
    Color at(int x, int y);
    // A rectangle (clipped to the canvas) as a surface.
    Surface crop(Rect r);
    // The surface copied in at (x, y), clipped.
    void put(const Surface& surface, int x, int y);
    void fill(Rect r, Color color);

  private:
    int width_;
    int height_;
    MemoryDc dc_;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ old_ = nullptr;
    Color* bits_ = nullptr;
};

}  // namespace fifteen::ui::win32
