#include <gtest/gtest.h>

#include "engine/blits.h"
#include "engine/fills.h"
#include "engine/lines.h"
#include "engine/png_files.h"
#include "engine/raster_ops.h"
#include "engine/shapes.h"

#include "temp_folder.h"

#include <windows.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

const Box everywhere{INT_MIN, INT_MIN, INT_MAX, INT_MAX};

int CountPixels(const Surface &surface, uint32_t color) {
    int count = 0;
    for (uint32_t pixel : surface.pixels) {
        count += pixel == color;
    }
    return count;
}

// Rows of '#' (color) and '.' (anything else), for readable expectations.
std::string Picture(const Surface &surface, uint32_t color) {
    std::string text;
    for (int y = 0; y < surface.height; ++y) {
        for (int x = 0; x < surface.width; ++x) {
            text += surface.At(x, y) == color ? '#' : '.';
        }
        text += '\n';
    }
    return text;
}

struct Rop3Case {
    uint32_t rop;
    uint32_t expected; // pattern 0xF0F0F0, source 0xCCCCCC, destination 0xAAAAAA
};

TEST(EngineRasterOps, NamedTernaryOperationsOnKnownBits) {
    const Rop3Case cases[] = {
        {PATCOPY, 0xF0F0F0},    {WHITENESS, 0xFFFFFF}, {BLACKNESS, 0x000000}, {DSTINVERT, 0x555555},
        {SRCCOPY, 0xCCCCCC},    {SRCINVERT, 0x666666}, {SRCAND, 0x888888},    {SRCPAINT, 0xEEEEEE},
        {NOTSRCCOPY, 0x333333}, {PATINVERT, 0x5A5A5A}, {MERGECOPY, 0xC0C0C0}, {SRCERASE, 0x444444},
    };
    for (const Rop3Case &c : cases) {
        EXPECT_EQ(ApplyRop3(c.rop, 0xF0F0F0, 0xCCCCCC, 0xAAAAAA), c.expected) << std::hex << c.rop;
    }
}

TEST(EngineRasterOps, ResultsKeepTheTopByteClear) {
    EXPECT_EQ(ApplyRop3(DSTINVERT, 0, 0, 0x123456), 0xEDCBA9u);
    EXPECT_EQ(ApplyRop2(R2_NOT, 0, 0x00FF00), 0xFF00FFu);
}

TEST(EngineRasterOps, WhichOperationsReadSourcePatternAndDestination) {
    EXPECT_TRUE(Rop3UsesSource(SRCCOPY));
    EXPECT_TRUE(Rop3UsesSource(SRCINVERT));
    EXPECT_FALSE(Rop3UsesSource(PATCOPY));
    EXPECT_FALSE(Rop3UsesSource(DSTINVERT));
    EXPECT_FALSE(Rop3UsesSource(BLACKNESS));
    EXPECT_TRUE(Rop3UsesPattern(PATCOPY));
    EXPECT_TRUE(Rop3UsesPattern(MERGECOPY));
    EXPECT_FALSE(Rop3UsesPattern(SRCCOPY));
    EXPECT_FALSE(Rop3UsesPattern(WHITENESS));
    EXPECT_TRUE(Rop3UsesDestination(DSTINVERT));
    EXPECT_TRUE(Rop3UsesDestination(SRCAND));
    EXPECT_FALSE(Rop3UsesDestination(PATCOPY));
    EXPECT_FALSE(Rop3UsesDestination(WHITENESS));
    EXPECT_FALSE(Rop3UsesDestination(SRCCOPY));
}

// Fills that do not read the destination are done as one colour; every operation still gives
// what it gives pixel by pixel, the top byte of a brush left out.
TEST(EngineRasterOps, PatternFillsAgreeWithEachPixelsOperation) {
    const uint32_t pattern = 0xFFF0F0F0;
    const uint32_t destinations[] = {0x000000, 0xAAAAAA, 0x123456, 0xFFFFFF};
    for (uint32_t table = 0; table < 256; ++table) {
        const uint32_t rop = table << 16;
        Surface surface(4, 1, 0);
        for (int x = 0; x < 4; ++x)
            surface.At(x, 0) = destinations[x];
        PatternFill(surface, everywhere, Box{0, 0, 4, 1}, pattern, rop);
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(surface.At(x, 0), ApplyRop3(rop, pattern, 0, destinations[x]))
                << std::hex << rop << " over " << destinations[x];
        }
    }
}

TEST(EngineRasterOps, BinaryModesOnKnownBits) {
    const struct {
        int mode;
        uint32_t expected; // pen 0xF0F0F0, destination 0xAAAAAA
    } cases[] = {
        {R2_BLACK, 0x000000},   {R2_WHITE, 0xFFFFFF},    {R2_COPYPEN, 0xF0F0F0},
        {R2_NOT, 0x555555},     {R2_NOP, 0xAAAAAA},      {R2_XORPEN, 0x5A5A5A},
        {R2_MASKPEN, 0xA0A0A0}, {R2_MERGEPEN, 0xFAFAFA}, {R2_NOTCOPYPEN, 0x0F0F0F},
        {0, 0xF0F0F0},          {99, 0xF0F0F0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ApplyRop2(c.mode, 0xF0F0F0, 0xAAAAAA), c.expected) << c.mode;
    }
}

struct ClipCase {
    const char *name;
    Box area;
    Box clip;
    int expectedCount;
    Box expectedBox; // what is filled
};

TEST(EngineFills, ClippedAtEveryEdge) {
    const ClipCase cases[] = {
        {"inside", {1, 1, 3, 3}, everywhere, 4, {1, 1, 3, 3}},
        {"off left", {-5, 1, 2, 2}, everywhere, 2, {0, 1, 2, 2}},
        {"off top", {1, -5, 2, 2}, everywhere, 2, {1, 0, 2, 2}},
        {"off right", {6, 0, 99, 1}, everywhere, 2, {6, 0, 8, 1}},
        {"off bottom", {0, 5, 1, 99}, everywhere, 1, {0, 5, 1, 6}},
        {"all around", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, everywhere, 48, {0, 0, 8, 6}},
        {"outside", {8, 6, 20, 20}, everywhere, 0, {}},
        {"upside down", {3, 3, 1, 1}, everywhere, 0, {}},
        {"clip left", {0, 0, 8, 1}, {5, 0, 8, 6}, 3, {5, 0, 8, 1}},
        {"clip top", {0, 0, 1, 6}, {0, 4, 8, 6}, 2, {0, 4, 1, 6}},
        {"clip right", {0, 0, 8, 1}, {0, 0, 2, 6}, 2, {0, 0, 2, 1}},
        {"clip bottom", {0, 0, 1, 6}, {0, 0, 8, 1}, 1, {0, 0, 1, 1}},
        {"clip empty", {0, 0, 8, 6}, {4, 4, 4, 4}, 0, {}},
    };
    for (const ClipCase &c : cases) {
        Surface surface(8, 6, 0x000000);
        FillBox(surface, c.clip, c.area, 0x123456);
        EXPECT_EQ(CountPixels(surface, 0x123456), c.expectedCount) << c.name;
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 8; ++x) {
                EXPECT_EQ(surface.At(x, y) == 0x123456, c.expectedBox.Contains(x, y))
                    << c.name << " at " << x << "," << y;
            }
        }
        // The same clipping holds through the raster operations.
        Surface inverted(8, 6, 0x000000);
        PatternFill(inverted, c.clip, c.area, 0, DSTINVERT);
        EXPECT_EQ(CountPixels(inverted, 0xFFFFFF), c.expectedCount) << c.name;
        Surface modes(8, 6, 0x000000);
        FillBoxRop2(modes, c.clip, c.area, 0, R2_NOT);
        EXPECT_EQ(CountPixels(modes, 0xFFFFFF), c.expectedCount) << c.name;
    }
}

TEST(EngineLines, ThinLinesInAllOctantsLeaveOutTheLastPoint) {
    const PixelPoint ends[] = {{17, 12}, {14, 17}, {6, 17}, {3, 12},
                               {3, 8},   {6, 3},   {14, 3}, {17, 8}};
    for (const PixelPoint &end : ends) {
        Surface surface(21, 21, 0);
        DrawPolyline(surface, everywhere, {{10, 10}, end}, Pen{0xFFFFFF, 1}, R2_COPYPEN);
        const int dx = end.x - 10;
        const int dy = end.y - 10;
        const int steps = std::max(std::abs(dx), std::abs(dy));
        EXPECT_EQ(CountPixels(surface, 0xFFFFFF), steps) << end.x << "," << end.y;
        EXPECT_EQ(surface.At(10, 10), 0xFFFFFFu);
        EXPECT_EQ(surface.At(end.x, end.y), 0u);
        // Every pixel lies within half a pixel of the true line, one per major step.
        for (int y = 0; y < 21; ++y) {
            for (int x = 0; x < 21; ++x) {
                if (surface.At(x, y) == 0) {
                    continue;
                }
                const double t =
                    std::abs(dx) >= std::abs(dy) ? double(x - 10) / dx : double(y - 10) / dy;
                EXPECT_GE(t, 0.0);
                EXPECT_LT(t, 1.0);
                const double ideal = std::abs(dx) >= std::abs(dy) ? 10 + t * dy : 10 + t * dx;
                const int minor = std::abs(dx) >= std::abs(dy) ? y : x;
                EXPECT_LE(std::abs(minor - ideal), 0.5) << x << "," << y;
            }
        }
    }
}

TEST(EngineLines, KnownShallowLine) {
    Surface surface(6, 3, 0);
    DrawPolyline(surface, everywhere, {{0, 0}, {5, 2}}, Pen{1, 1}, R2_COPYPEN);
    EXPECT_EQ(Picture(surface, 1), "##....\n"
                                   "..##..\n"
                                   "....#.\n");
}

TEST(EngineLines, WidthThreePenStampsSquares) {
    Surface surface(11, 9, 0);
    DrawPolyline(surface, everywhere, {{2, 4}, {8, 4}}, Pen{1, 3}, R2_COPYPEN);
    EXPECT_EQ(Picture(surface, 1), "...........\n"
                                   "...........\n"
                                   "...........\n"
                                   ".#########.\n"
                                   ".#########.\n"
                                   ".#########.\n"
                                   "...........\n"
                                   "...........\n"
                                   "...........\n");
    Surface diagonal(8, 8, 0);
    DrawPolyline(diagonal, everywhere, {{2, 2}, {5, 5}}, Pen{1, 3}, R2_COPYPEN);
    EXPECT_EQ(Picture(diagonal, 1), "........\n"
                                    ".###....\n"
                                    ".####...\n"
                                    ".#####..\n"
                                    "..#####.\n"
                                    "...####.\n"
                                    "....###.\n"
                                    "........\n");
}

TEST(EngineLines, OverlapsAreCombinedOnce) {
    // R2_NOT over a wide polyline that folds back on itself inverts every covered pixel once.
    Surface surface(12, 12, 0);
    DrawPolyline(surface, everywhere, {{2, 6}, {9, 6}, {2, 6}, {6, 2}, {6, 9}}, Pen{0, 3}, R2_NOT);
    Surface reference(12, 12, 0);
    DrawPolyline(reference, everywhere, {{2, 6}, {9, 6}, {2, 6}, {6, 2}, {6, 9}}, Pen{1, 3},
                 R2_COPYPEN);
    EXPECT_EQ(Picture(surface, 0xFFFFFF), Picture(reference, 1));
}

TEST(EngineLines, ClippedAndFarOffLinesStayCheap) {
    Surface surface(16, 16, 0);
    DrawPolyline(surface, everywhere, {{-1000000000, -1000000000}, {1000000000, 1000000000}},
                 Pen{1, 1}, R2_COPYPEN);
    EXPECT_EQ(CountPixels(surface, 1), 16);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(surface.At(i, i), 1u);
    }
    Surface clipped(16, 16, 0);
    DrawPolyline(clipped, Box{4, 0, 8, 16}, {{0, 3}, {16, 3}}, Pen{1, 5}, R2_COPYPEN);
    EXPECT_EQ(CountPixels(clipped, 1), 4 * 5);
    Surface wide(8, 8, 0);
    DrawPolyline(wide, everywhere, {{INT_MIN, 0}, {INT_MAX, 0}}, Pen{1, INT_MAX}, R2_COPYPEN);
    EXPECT_EQ(CountPixels(wide, 1), 64);
    DrawPolyline(wide, everywhere, {}, Pen{1, 1}, R2_COPYPEN);
    DrawPolyline(wide, everywhere, {{3, 3}}, Pen{2, 1}, R2_COPYPEN);
    EXPECT_EQ(CountPixels(wide, 2), 0);
}

TEST(EngineShapes, RectangleFrameAndFill) {
    Surface surface(7, 6, 0);
    DrawRectangle(surface, everywhere, Box{1, 1, 6, 5}, Pen{1, 1}, 2u, R2_COPYPEN);
    EXPECT_EQ(Picture(surface, 1), ".......\n"
                                   ".#####.\n"
                                   ".#...#.\n"
                                   ".#...#.\n"
                                   ".#####.\n"
                                   ".......\n");
    EXPECT_EQ(Picture(surface, 2), ".......\n"
                                   ".......\n"
                                   "..###..\n"
                                   "..###..\n"
                                   ".......\n"
                                   ".......\n");
    // Without a pen the brush leaves out the last column and row.
    Surface hollowPen(7, 6, 0);
    DrawRectangle(hollowPen, everywhere, Box{6, 5, 1, 1}, std::nullopt, 2u, R2_COPYPEN);
    EXPECT_EQ(Picture(hollowPen, 2), ".......\n"
                                     ".####..\n"
                                     ".####..\n"
                                     ".####..\n"
                                     ".......\n"
                                     ".......\n");
    Surface dot(3, 3, 0);
    DrawRectangle(dot, everywhere, Box{1, 1, 2, 2}, Pen{1, 1}, std::nullopt, R2_COPYPEN);
    EXPECT_EQ(Picture(dot, 1), "...\n.#.\n...\n");
}

TEST(EngineBlits, CopiesOnlyWhereBothSurfacesHavePixels) {
    Surface source(4, 4, 0);
    for (int i = 0; i < 16; ++i) {
        source.pixels[static_cast<size_t>(i)] = static_cast<uint32_t>(i + 1);
    }
    Surface target(4, 4, 0xABCDEF);
    // The source starts one pixel outside on each axis; the destination overhangs too.
    Blit(target, everywhere, Box{1, 1, 9, 9}, source, -1, -1, 0, SRCCOPY);
    EXPECT_EQ(target.At(0, 0), 0xABCDEFu);
    EXPECT_EQ(target.At(1, 1), 0xABCDEFu);
    EXPECT_EQ(target.At(2, 2), 1u);
    EXPECT_EQ(target.At(3, 3), 6u);
    EXPECT_EQ(CountPixels(target, 0xABCDEF), 12);
    // Far-off origins clip away without overflowing.
    Blit(target, everywhere, Box{0, 0, 4, 4}, source, INT_MAX, INT_MIN, 0, SRCCOPY);
    Blit(target, everywhere, Box{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, source, 0, 0, 0, SRCINVERT);
    EXPECT_EQ(CountPixels(target, 0xABCDEF), 12);
}

TEST(EngineBlits, OverlappingScrollWithinOneSurface) {
    Surface surface(5, 1, 0);
    surface.pixels = {1, 2, 3, 4, 5};
    Blit(surface, everywhere, Box{1, 0, 5, 1}, surface, 0, 0, 0, SRCCOPY);
    EXPECT_EQ(surface.pixels, (std::vector<uint32_t>{1, 1, 2, 3, 4}));
    Blit(surface, everywhere, Box{0, 0, 4, 1}, surface, 1, 0, 0, SRCCOPY);
    EXPECT_EQ(surface.pixels, (std::vector<uint32_t>{1, 2, 3, 4, 4}));
}

TEST(EngineBlits, StretchDoublesShrinksAndMirrors) {
    Surface source(2, 2, 0);
    source.pixels = {1, 2, 3, 4};
    Surface doubled(4, 4, 0);
    StretchBlit(doubled, everywhere, SignedRect{0, 0, 4, 4}, source, SignedRect{0, 0, 2, 2}, 0,
                SRCCOPY);
    EXPECT_EQ(doubled.pixels,
              (std::vector<uint32_t>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4}));
    Surface shrunk(1, 1, 0);
    StretchBlit(shrunk, everywhere, SignedRect{0, 0, 1, 1}, doubled, SignedRect{0, 0, 4, 4}, 0,
                SRCCOPY);
    EXPECT_EQ(shrunk.At(0, 0), 4u); // the centre sample (2, 2)
    Surface mirrored(2, 2, 0);
    StretchBlit(mirrored, everywhere, SignedRect{1, 0, -2, 2}, source, SignedRect{0, 0, 2, 2}, 0,
                SRCCOPY);
    EXPECT_EQ(mirrored.pixels, (std::vector<uint32_t>{2, 1, 4, 3}));
    // Samples outside the source, and empty or huge rectangles, leave pixels alone.
    Surface outside(2, 2, 9);
    StretchBlit(outside, everywhere, SignedRect{0, 0, 2, 2}, source, SignedRect{5, 5, 2, 2}, 0,
                SRCCOPY);
    StretchBlit(outside, everywhere, SignedRect{0, 0, 0, 2}, source, SignedRect{0, 0, 2, 2}, 0,
                SRCCOPY);
    EXPECT_EQ(CountPixels(outside, 9), 4);
    StretchBlit(outside, everywhere, SignedRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, source,
                SignedRect{INT_MAX, INT_MAX, INT_MIN, INT_MIN}, 0, SRCCOPY);
}

TEST(EnginePng, WritesAndReadsBack) {
    TempFolder folder;
    Surface surface(3, 2, 0);
    surface.pixels = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000};
    const std::string path = folder.Join("picture.png");
    ASSERT_TRUE(WriteSurfacePng(surface, path));
    Surface read;
    ASSERT_TRUE(ReadSurfacePng(path, read));
    EXPECT_EQ(read.width, 3);
    EXPECT_EQ(read.height, 2);
    EXPECT_EQ(read.pixels, surface.pixels);
    EXPECT_FALSE(ReadSurfacePng(folder.Join("missing.png"), read));
    folder.Write("bad.png", "not a png at all");
    EXPECT_FALSE(ReadSurfacePng(folder.Join("bad.png"), read));
    EXPECT_FALSE(WriteSurfacePng(Surface(), folder.Join("empty.png")));
    EXPECT_FALSE(WriteSurfacePng(surface, folder.Join("no/such/folder.png")));
}

} // namespace
