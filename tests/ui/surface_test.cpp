#include <gtest/gtest.h>

#include <random>

#include "ui/platform.h"

namespace fifteen::ui {
namespace {

Surface numbered(int w, int h, Color base) {
    Surface s;
    s.resize(w, h);
    for (size_t i = 0; i < s.pixels.size(); ++i) {
        s.pixels[i] = base + static_cast<Color>(i);
    }
    return s;
}

bool inside(const Surface& s, int x, int y) {
    return x >= 0 && y >= 0 && x < s.width && y < s.height;
}

// The definition of a clipped block copy, pixel by pixel: a destination pixel
// changes exactly when it lies in the block and its source pixel exists.
TEST(CopyBlock, MatchesItsDefinitionForRandomPlacements) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> offset(-40, 60);
    std::uniform_int_distribution<int> size(-4, 70);
    const Surface src = numbered(50, 40, 0x100000);
    for (int trial = 0; trial < 500; ++trial) {
        const int dx = offset(random), dy = offset(random), sx = offset(random),
                  sy = offset(random);
        const int w = size(random), h = size(random);
        const Surface before = numbered(45, 55, 0x800000);
        Surface dst = before;
        copyBlock(dst, dx, dy, src, sx, sy, w, h);
        for (int y = 0; y < dst.height; ++y) {
            for (int x = 0; x < dst.width; ++x) {
                const int bx = x - dx;
                const int by = y - dy;
                const bool copied =
                    bx >= 0 && by >= 0 && bx < w && by < h && inside(src, sx + bx, sy + by);
                const Color expected = copied ? src.at(sx + bx, sy + by) : before.at(x, y);
                ASSERT_EQ(dst.at(x, y), expected)
                    << "trial " << trial << " pixel " << x << "," << y << " block " << dx << ","
                    << dy << " from " << sx << "," << sy << " size " << w << "x" << h;
            }
        }
    }
}

TEST(FillRect, FillsTheClippedRectangleOnly) {
    struct Case {
        Rect rect;
    };
    const Case cases[] = {{{0, 0, 64, 64}},
                          {{-5, -5, 3, 4}},
                          {{250, 250, 300, 300}},
                          {{10, 10, 10, 20}},
                          {{20, 5, 10, 30}}};
    for (const Case& c : cases) {
        Surface s = numbered(256, 256, 1);
        const Surface before = s;
        fillRect(s, c.rect, 0xABCDEF);
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const bool in =
                    x >= c.rect.left && x < c.rect.right && y >= c.rect.top && y < c.rect.bottom;
                ASSERT_EQ(s.at(x, y), in ? 0xABCDEFu : before.at(x, y)) << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace fifteen::ui
