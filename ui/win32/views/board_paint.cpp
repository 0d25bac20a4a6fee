#include "ui/win32/views/board_paint.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "ui/board_view.h"
#include "ui/win32/views/board_window.h"
#include "ui/win32/views/gdi.h"
#include "ui/win32/views/tile_artwork.h"

namespace fifteen::ui::win32 {

namespace {

constexpr Color optimalColor = 0x1EA032;
constexpr Color costlyColor = 0xC83C28;
constexpr Color white = 0xFFFFFF;

size_t index(int x, int y, int width) {
    return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
}

GdiObject<HFONT> boldFont(LOGFONTW font, int pixelHeight) {
    font.lfHeight = -pixelHeight;
    font.lfWidth = 0;
    font.lfWeight = FW_BOLD;
    return GdiObject<HFONT>(CreateFontIndirectW(&font));
}

// The tiles again from artwork of the shown size, so nothing is scaled up; what
// else the surface shows (anything not from the tiles) drawn over them from the
// surface, pixel for pixel.
void paintSharpBoard(Canvas& canvas, const BoardPicture& picture, const SharpArtwork& artwork,
                     int side) {
    const Surface& surface = *picture.surface;
    const Surface& art = artwork.atSide();
    const Surface& one = artwork.oneToOne();
    const int square = 4 * side;
    const int left = picture.shown.left, top = picture.shown.top;
    const auto device = [side](int pixels) {
        return static_cast<int>(std::lround(pixels * side / double(cellPixels)));
    };
    Surface board;
    board.resize(square, square);  // black where no tile lands, as the surface
    Surface composed;
    composed.resize(boardPixels, boardPixels);
    for (int i = 0; i < picture.tiles->count; ++i) {
        const TileSprite& s = picture.tiles->sprites[static_cast<size_t>(i)];
        copyBlock(board, device(s.x), device(s.y), art, side * (s.tile % 4), side * (s.tile / 4),
                  side, side);
        copyBlock(composed, s.x, s.y, one, cellPixels * (s.tile % 4), cellPixels * (s.tile / 4),
                  cellPixels, cellPixels);
    }
    std::vector<int> source(static_cast<size_t>(square));  // nearest surface pixel
    for (int d = 0; d < square; ++d)
        source[static_cast<size_t>(d)] = (2 * d + 1) * boardPixels / (2 * square);
    for (int y = 0; y < square; ++y) {
        const int sy = source[static_cast<size_t>(y)];
        for (int x = 0; x < square; ++x) {
            const int sx = source[static_cast<size_t>(x)];
            const Color want = surface.at(sx, sy);
            if (want != composed.at(sx, sy)) board.pixels[index(x, y, square)] = want;
        }
    }
    canvas.put(board, left, top);
}

void paintMarks(Canvas& canvas, const BoardPicture& picture) {
    if (!picture.marks.any()) return;
    // Every edge on a whole pixel at any board size, rather than scaled from one size.
    const Rect shown = picture.shown;
    const double scale = shown.width() / double(boardPixels);
    const auto device = [scale](double pixels) {
        return static_cast<int>(std::lround(pixels * scale));
    };
    const int cell = device(cellPixels);
    const int frame = std::max(2, device(3));
    const GdiObject<HFONT> font = boldFont(picture.font, std::max(8, device(12)));
    HDC dc = canvas.dc();
    const Selection selected(dc, font.get());
    SIZE text{};
    GetTextExtentPoint32W(dc, L"+2", 2, &text);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int badgeWidth = text.cx + 2 * frame;
    const int badgeHeight = metrics.tmHeight + frame / 2;
    for (int i = 0; i < 16; ++i) {
        const TileMark mark = picture.marks.cells[static_cast<size_t>(i)];
        if (mark == TileMark::none) continue;
        const Rect r{shown.left + cell * (i % 4), shown.top + cell * (i / 4),
                     shown.left + cell * (i % 4 + 1), shown.top + cell * (i / 4 + 1)};
        if (mark == TileMark::optimal) {
            // A frame round the tile and a corner in the top left.
            canvas.fill(Rect{r.left, r.top, r.right, r.top + frame}, optimalColor);
            canvas.fill(Rect{r.left, r.bottom - frame, r.right, r.bottom}, optimalColor);
            canvas.fill(Rect{r.left, r.top, r.left + frame, r.bottom}, optimalColor);
            canvas.fill(Rect{r.right - frame, r.top, r.right, r.bottom}, optimalColor);
            const int corner = cell / 4;
            for (int row = 0; row < corner; ++row) {
                canvas.fill(Rect{r.left, r.top + row, r.left + corner - row, r.top + row + 1},
                            optimalColor);
            }
        } else {
            RECT badge{r.right - frame - badgeWidth, r.top + frame, r.right - frame,
                       r.top + frame + badgeHeight};
            canvas.fill(Rect{badge.left, badge.top, badge.right, badge.bottom}, costlyColor);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, toColorRef(white));
            DrawTextW(dc, L"+2", 2, &badge, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
    }
}

// The note across the board's middle, on a darkened band that keeps it readable.
void paintNote(Canvas& canvas, const BoardPicture& picture) {
    if (picture.note.empty()) return;
    const Rect shown = picture.shown;
    const GdiObject<HFONT> font = boldFont(picture.font, std::max(10, shown.width() / 14));
    HDC dc = canvas.dc();
    const Selection selected(dc, font.get());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int height = metrics.tmHeight * 2;
    const int middle = shown.top + (shown.height() - 1) / 2;
    RECT band{shown.left, middle - height / 2, shown.right, middle - height / 2 + height};
    Color* p = canvas.pixels();
    // Black at two thirds' opacity over what lies beneath.
    for (int y = std::max<int>(band.top, 0); y < std::min<int>(band.bottom, canvas.height()); ++y) {
        for (int x = std::max<int>(band.left, 0); x < std::min<int>(band.right, canvas.width());
             ++x) {
            Color& c = p[index(x, y, canvas.width())];
            const Color r = ((c >> 16) & 0xFF) * 85 / 255, g = ((c >> 8) & 0xFF) * 85 / 255,
                        b = (c & 0xFF) * 85 / 255;
            c = (r << 16) | (g << 8) | b;
        }
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, toColorRef(white));
    std::wstring text = picture.note;
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &band,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
}

}  // namespace

bool SharpArtwork::prepare(int side, Color blank) {
    if (side == side_ && blank == blank_ && device_.width == 4 * side) return true;
    if (one_.width == 0 && !loadTileArtwork(one_)) return false;
    device_ = tileArtworkAt(side);
    if (device_.width != 4 * side) return false;
    side_ = side;
    blank_ = blank;
    // The blank, as the dialog logic makes it in its own artwork.
    fillRect(one_, Rect{0, 0, cellPixels, cellPixels}, blank);
    fillRect(device_, Rect{0, 0, side, side}, blank);
    return true;
}

int tileSideFor(int shownWidth) {
    return static_cast<int>(std::lround(cellPixels * shownWidth / double(boardPixels)));
}

void paintBoard(Canvas& canvas, const BoardPicture& picture, SharpArtwork& artwork) {
    const Surface* surface = picture.surface;
    const Rect shown = picture.shown;
    if (!surface || surface->width == 0) return;
    const bool grown = shown.width() != surface->width || shown.height() != surface->height;
    const int side = tileSideFor(shown.width());
    if (grown && picture.tiles && picture.tiles->count > 0 && surface->width == boardPixels &&
        surface->height == boardPixels && side > 0 && artwork.prepare(side, picture.blank)) {
        paintSharpBoard(canvas, picture, artwork, side);
    } else if (grown) {
        const BITMAPINFO format = Canvas::formatFor(surface->width, surface->height);
        SetStretchBltMode(canvas.dc(), HALFTONE);
        SetBrushOrgEx(canvas.dc(), 0, 0, nullptr);
        StretchDIBits(canvas.dc(), shown.left, shown.top, shown.width(), shown.height(), 0, 0,
                      surface->width, surface->height, surface->pixels.data(), &format,
                      DIB_RGB_COLORS, SRCCOPY);
    } else {
        canvas.put(*surface, shown.left, shown.top);
    }
    paintMarks(canvas, picture);
    paintNote(canvas, picture);
}

void paintFocusMarks(Canvas& canvas, Rect shown, int gap, int width, Color ink) {
    // The outline's pixels, walked round; every other run of width pixels is inked.
    const Rect outer{shown.left - gap, shown.top - gap, shown.right + gap, shown.bottom + gap};
    const auto dot = [&](int along, Rect r) {
        if ((along / width) % 2 == 0) canvas.fill(r, ink);
    };
    for (int x = outer.left; x < outer.right; ++x) {
        dot(x - outer.left, Rect{x, outer.top, x + 1, outer.top + width});
        dot(x - outer.left, Rect{x, outer.bottom - width, x + 1, outer.bottom});
    }
    for (int y = outer.top; y < outer.bottom; ++y) {
        dot(y - outer.top, Rect{outer.left, y, outer.left + width, y + 1});
        dot(y - outer.top, Rect{outer.right - width, y, outer.right, y + 1});
    }
}

LOGFONTW messageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
        return metrics.lfMessageFont;
    LOGFONTW font{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return font;
}

}  // namespace fifteen::ui::win32
