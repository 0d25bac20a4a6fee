// The tile artwork as the program loads it from its resources, against the
// bitmap files the resources were made from (read without Windows).

#include <set>

#include "tests/ui/win32/views/views_test_support.h"
#include "ui/board_view.h"
#include "ui/win32/views/board_window.h"
#include "ui/win32/views/tile_artwork.h"

using namespace fifteen::ui;
using namespace fifteen::ui::win32;
using namespace fifteen::ui::win32::testing;

namespace {

Surface tileImage(const Surface& art, int side, int tile) {
    Surface one;
    one.resize(side, side);
    copyBlock(one, 0, 0, art, side * (tile % 4), side * (tile / 4), side, side);
    return one;
}

TEST(TileArtwork, LoadsTheOneToOneTilesFromTheResources) {
    Surface tiles;
    ASSERT_TRUE(loadTileArtwork(tiles));
    ASSERT_EQ(tiles.width, boardPixels);
    ASSERT_EQ(tiles.height, boardPixels);
    const Surface file = readBmpFile(artworkFile("tiles.bmp"));
    ASSERT_EQ(file.width, boardPixels);
    EXPECT_EQ(differingPixels(file, Rect{0, 0, boardPixels, boardPixels}, tiles, 0, 0), 0);
    // Sixteen different images: every number is drawn where its tile is.
    std::set<std::vector<Color>> images;
    for (int t = 0; t < 16; ++t) images.insert(tileImage(tiles, cellPixels, t).pixels);
    EXPECT_EQ(images.size(), 16u);
    // The blank (cell 0) is one colour; the numbered tiles have ink on them.
    const Surface blank = tileImage(tiles, cellPixels, 0);
    EXPECT_EQ(std::set<Color>(blank.pixels.begin(), blank.pixels.end()).size(), 1u);
    for (int t = 1; t < 16; ++t) {
        const Surface tile = tileImage(tiles, cellPixels, t);
        EXPECT_GT(std::set<Color>(tile.pixels.begin(), tile.pixels.end()).size(), 4u) << t;
    }
}

// Bitmaps 105-107: the same tiles drawn at 1.5, 2 and 3 times the size, pixel
// for pixel the files.
TEST(TileArtwork, TheLargerArtworkIsLinkedInAtItsSizes) {
    const std::pair<int, const char*> larger[] = {
        {105, "tiles@1.5x.bmp"}, {106, "tiles@2x.bmp"}, {107, "tiles@3x.bmp"}};
    int size = 384;
    for (const auto& [id, name] : larger) {
        Surface art;
        ASSERT_TRUE(loadBitmapResource(id, art)) << id;
        EXPECT_EQ(art.width, size);
        EXPECT_EQ(art.height, size);
        const Surface file = readBmpFile(artworkFile(name));
        ASSERT_EQ(file.width, size);
        EXPECT_EQ(differingPixels(file, Rect{0, 0, size, size}, art, 0, 0), 0) << id;
        size += 128 + (size == 512 ? 128 : 0);
    }
    Surface none;
    EXPECT_FALSE(loadBitmapResource(4242, none));
}

// The artwork for a tile side: exact where one is drawn at that size, the next
// larger one shrunk between.
TEST(TileArtwork, EachSideComesFromTheNextLargerArtwork) {
    for (const auto& [side, name] :
         {std::pair{64, "tiles.bmp"}, std::pair{96, "tiles@1.5x.bmp"},
          std::pair{128, "tiles@2x.bmp"}, std::pair{192, "tiles@3x.bmp"}}) {
        const Surface art = tileArtworkAt(side);
        const Surface file = readBmpFile(artworkFile(name));
        ASSERT_EQ(art.width, 4 * side);
        EXPECT_EQ(differingPixels(file, Rect{0, 0, 4 * side, 4 * side}, art, 0, 0), 0) << side;
    }
    const Surface between = tileArtworkAt(80);
    ASSERT_EQ(between.width, 320);
    const Surface shrunk = scaledHalftone(readBmpFile(artworkFile("tiles@1.5x.bmp")), 320, 320);
    EXPECT_EQ(differingPixels(shrunk, Rect{0, 0, 320, 320}, between, 0, 0), 0);
}

}  // namespace
