#pragma once

// The tile artwork linked into the program as bitmap resources: 104 at one pixel
// per pixel (256x256), 105, 106 and 107 drawn anew at 1.5, 2 and 3 times that.

#include <array>

#include "ui/platform.h"

namespace fifteen::ui::win32 {

inline constexpr std::array<int, 4> tileArtworkIds = {104, 105, 106, 107};

// A bitmap resource of the program as 0x00RRGGBB pixels, top row first; false
// when there is none of that id.
bool loadBitmapResource(int id, Surface& pixels);

// src scaled to width x height with GDI's HALFTONE filter (meant for shrinking).
Surface scaledHalftone(const Surface& src, int width, int height);

// The tile artwork at side pixels per tile (4 * side square): the smallest artwork
// at least that large, shrunk when larger; the largest grown only when side is
// beyond it. Empty (width 0) when no artwork is linked in.
Surface tileArtworkAt(int side);

}  // namespace fifteen::ui::win32
