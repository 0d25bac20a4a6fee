#include "ui/win32/views/tile_artwork.h"

#include <windows.h>

#include "ui/board_view.h"
#include "ui/win32/views/board_window.h"
#include "ui/win32/views/canvas.h"
#include "ui/win32/views/gdi.h"

namespace fifteen::ui::win32 {

bool loadBitmapResource(int id, Surface& pixels) {
    const GdiObject<HBITMAP> bitmap(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) return false;
    BITMAP info{};
    if (GetObjectW(bitmap.get(), sizeof info, &info) == 0 || info.bmWidth <= 0 ||
        info.bmHeight <= 0) {
        return false;
    }
    Surface read;
    read.resize(info.bmWidth, info.bmHeight);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    const ScreenDc screen;
    if (GetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(info.bmHeight),
                  read.pixels.data(), &format, DIB_RGB_COLORS) != info.bmHeight) {
        return false;
    }
    for (Color& c : read.pixels) c &= 0xFFFFFFu;  // 32-bit BGRX: the top byte is not ours
    pixels = std::move(read);
    return true;
}

Surface scaledHalftone(const Surface& src, int width, int height) {
    Canvas canvas(width, height);
    BITMAPINFO format = Canvas::formatFor(src.width, src.height);
    SetStretchBltMode(canvas.dc(), HALFTONE);
    SetBrushOrgEx(canvas.dc(), 0, 0, nullptr);
    StretchDIBits(canvas.dc(), 0, 0, width, height, 0, 0, src.width, src.height, src.pixels.data(),
                  &format, DIB_RGB_COLORS, SRCCOPY);
    return canvas.crop(Rect{0, 0, width, height});
}

Surface tileArtworkAt(int side) {
    Surface art;
    for (const int id : tileArtworkIds) {
        if (!loadBitmapResource(id, art)) continue;
        if (art.width >= 4 * side) break;
    }
    if (art.width == 0 || art.width == 4 * side) return art;
    return scaledHalftone(art, 4 * side, 4 * side);
}

bool loadTileArtwork(Surface& tiles) {
    Surface art;
    if (!loadBitmapResource(tileArtworkIds[0], art)) return false;
    if (art.width != boardPixels || art.height != boardPixels) return false;
    tiles = std::move(art);
    return true;
}

}  // namespace fifteen::ui::win32
