#include <gtest/gtest.h>

#include "gdi/device_contexts.h"
#include "gdi_canvas.h"
#include "text_helpers.h"

#include <windows.h>

namespace {

const uint32_t white = 0xFFFFFF;
const uint32_t black = 0x000000;
const uint32_t blue = 0x0000FF;   // RGB(0, 0, 255) as stored
const uint32_t yellow = 0xFFFF00; // RGB(255, 255, 0) as stored

// Every pixel inside box has one of the two colours, and both occur.
void ExpectOnlyTwoColors(const Surface &surface, const Box &box, uint32_t a, uint32_t b) {
    int countA = 0;
    int countB = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            const uint32_t pixel = surface.At(x, y);
            ASSERT_TRUE(pixel == a || pixel == b) << x << "," << y << ": " << std::hex << pixel;
            countA += pixel == a;
            countB += pixel == b;
        }
    }
    EXPECT_GT(countA, 0);
    EXPECT_GT(countB, 0);
}

// Every pixel outside box is still colour.
void ExpectUntouchedOutside(const Surface &surface, const Box &box, uint32_t color) {
    for (int y = 0; y < surface.height; ++y) {
        for (int x = 0; x < surface.width; ++x) {
            if (!box.Contains(x, y)) {
                ASSERT_EQ(surface.At(x, y), color) << x << "," << y;
            }
        }
    }
}

class ExtTextOutTest : public ::testing::Test {
  protected:
    Canvas canvas_{60, 30};
    FontInDc font_{canvas_.Dc(), -11};
    HDC dc_ = canvas_.Dc();
};

TEST_F(ExtTextOutTest, TransparentDrawsOnlyTheInk) {
    SetBkMode(dc_, TRANSPARENT);
    SetBkColor(dc_, RGB(255, 255, 0));
    SetTextColor(dc_, RGB(0, 0, 255));
    ASSERT_TRUE(ExtTextOutW(dc_, 5, 4, 0, nullptr, u"Hamburg", 7, nullptr));
    const SIZE size = Extent(dc_, u"Hamburg");
    EXPECT_EQ(CountPixels(canvas_.Pixels(), yellow), 0);
    const Box ink = ChangedBox(canvas_.Pixels(), white);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.left, 5);
    EXPECT_LE(ink.right, 5 + size.cx);
    EXPECT_GE(ink.top, 4);
    EXPECT_LE(ink.bottom, 4 + size.cy);
    ExpectOnlyTwoColors(canvas_.Pixels(), ink, white, blue);
}

TEST_F(ExtTextOutTest, OpaqueFillsTheTextCell) {
    SetBkColor(dc_, RGB(255, 255, 0));
    EXPECT_EQ(GetBkMode(dc_), OPAQUE);
    ASSERT_TRUE(ExtTextOutW(dc_, 5, 4, 0, nullptr, u"Hamburg", 7, nullptr));
    const SIZE size = Extent(dc_, u"Hamburg");
    const Box cell{5, 4, 5 + size.cx, 4 + size.cy};
    const Box changed = ChangedBox(canvas_.Pixels(), white);
    EXPECT_EQ(changed.left, cell.left);
    EXPECT_EQ(changed.top, cell.top);
    EXPECT_EQ(changed.right, cell.right);
    EXPECT_EQ(changed.bottom, cell.bottom);
    ExpectOnlyTwoColors(canvas_.Pixels(), cell, yellow, black);
}

TEST_F(ExtTextOutTest, OpaqueOptionFillsTheRectangle) {
    SetBkMode(dc_, TRANSPARENT);
    SetBkColor(dc_, RGB(255, 255, 0));
    const RECT rect{2, 2, 50, 25};
    ASSERT_TRUE(ExtTextOutW(dc_, 5, 4, ETO_OPAQUE, &rect, u"Ab", 2, nullptr));
    ExpectOnlyTwoColors(canvas_.Pixels(), Box{2, 2, 50, 25}, yellow, black);
    ExpectUntouchedOutside(canvas_.Pixels(), Box{2, 2, 50, 25}, white);
    // With no text the rectangle is still filled.
    const RECT other{52, 0, 60, 30};
    ASSERT_TRUE(ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &other, nullptr, 0, nullptr));
    EXPECT_EQ(canvas_.Pixels().At(55, 10), yellow);
}

TEST_F(ExtTextOutTest, ClippedDrawsNothingOutsideTheRectangle) {
    const RECT rect{10, 6, 30, 12};
    SetBkColor(dc_, RGB(255, 255, 0));
    ASSERT_TRUE(ExtTextOutW(dc_, 4, 2, ETO_CLIPPED, &rect, u"WWWWWW", 6, nullptr));
    const Box clip{10, 6, 30, 12};
    ExpectUntouchedOutside(canvas_.Pixels(), clip, white);
    ExpectOnlyTwoColors(canvas_.Pixels(), clip, yellow, black);
    // Without ETO_CLIPPED the rectangle does not clip.
    Canvas other(60, 30);
    FontInDc font(other.Dc(), -11);
    ExtTextOutW(other.Dc(), 4, 2, 0, &rect, u"WWWWWW", 6, nullptr);
    EXPECT_EQ(ChangedBox(other.Pixels(), white).left, 4);
}

TEST_F(ExtTextOutTest, FollowsTheDcOriginAndClipBox) {
    const std::shared_ptr<DcObject> context = FindDc(dc_);
    ASSERT_TRUE(context);
    context->originX = 20;
    context->originY = 10;
    context->clip = Box{20, 10, 40, 20};
    SetBkColor(dc_, RGB(255, 255, 0));
    ASSERT_TRUE(ExtTextOutW(dc_, 0, 0, 0, nullptr, u"WWWWWW", 6, nullptr));
    ExpectUntouchedOutside(canvas_.Pixels(), context->clip, white);
    const Box changed = ChangedBox(canvas_.Pixels(), white);
    EXPECT_EQ(changed.left, 20);
    EXPECT_EQ(changed.top, 10);
}

TEST_F(ExtTextOutTest, AdvancesArrayPlacesCharacters) {
    SetBkMode(dc_, TRANSPARENT);
    const INT dx[] = {30, 0};
    ASSERT_TRUE(ExtTextOutW(dc_, 0, 0, 0, nullptr, u"ll", 2, dx));
    // The second l lands 30 pixels after the first.
    const Surface &pixels = canvas_.Pixels();
    const Box ink = ChangedBox(pixels, white);
    EXPECT_GE(ink.right - ink.left, 30);
}

TEST_F(ExtTextOutTest, BadInputIsRefused) {
    EXPECT_FALSE(ExtTextOutW(nullptr, 0, 0, 0, nullptr, u"a", 1, nullptr));
    EXPECT_FALSE(ExtTextOutW(dc_, 0, 0, 0, nullptr, u"a", static_cast<UINT>(-1), nullptr));
    EXPECT_FALSE(ExtTextOutW(dc_, 0, 0, 0, nullptr, nullptr, 3, nullptr));
    EXPECT_TRUE(ExtTextOutW(dc_, INT_MAX, INT_MIN, 0, nullptr, u"far", 3, nullptr));
    const RECT inverted{40, 20, 10, 5};
    EXPECT_TRUE(ExtTextOutW(dc_, 0, 0, ETO_CLIPPED | ETO_OPAQUE, &inverted, u"a", 1, nullptr));
    HDC deleted = CreateCompatibleDC(nullptr);
    DeleteDC(deleted);
    EXPECT_FALSE(ExtTextOutW(deleted, 0, 0, 0, nullptr, u"a", 1, nullptr));
    // A DC with only its default 1 x 1 monochrome bitmap draws harmlessly.
    HDC bare = CreateCompatibleDC(nullptr);
    EXPECT_TRUE(ExtTextOutW(bare, 0, 0, 0, nullptr, u"a", 1, nullptr));
    DeleteDC(bare);
}

class DrawTextTest : public ::testing::Test {
  protected:
    Canvas canvas_{80, 40};
    FontInDc font_{canvas_.Dc(), -11};
    HDC dc_ = canvas_.Dc();
};

TEST_F(DrawTextTest, CalcRectMeasuresWithoutDrawing) {
    RECT rect{3, 4, 3, 4};
    const SIZE size = Extent(dc_, u"Caps Lock");
    EXPECT_EQ(DrawTextW(dc_, u"Caps Lock", -1, &rect, DT_CALCRECT | DT_SINGLELINE), size.cy);
    EXPECT_EQ(rect.left, 3);
    EXPECT_EQ(rect.top, 4);
    EXPECT_EQ(rect.right, 3 + size.cx);
    EXPECT_EQ(rect.bottom, 4 + size.cy);
    EXPECT_TRUE(ChangedBox(canvas_.Pixels(), white).Empty());
    // Lines break at CR, LF and CR LF; the widest sets the width.
    RECT lines{0, 0, 0, 0};
    EXPECT_EQ(DrawTextW(dc_, u"a\nbb\r\nWWW\rc", -1, &lines, DT_CALCRECT), 4 * size.cy);
    EXPECT_EQ(lines.right, Extent(dc_, u"WWW").cx);
    EXPECT_EQ(lines.bottom, 4 * size.cy);
    // In a single line they are characters.
    RECT single{0, 0, 0, 0};
    EXPECT_EQ(DrawTextW(dc_, u"a\nb", -1, &single, DT_CALCRECT | DT_SINGLELINE), size.cy);
    EXPECT_TRUE(ChangedBox(canvas_.Pixels(), white).Empty());
}

TEST_F(DrawTextTest, CountMinusOneIsTheWholeString) {
    RECT whole{0, 0, 0, 0};
    RECT counted{0, 0, 0, 0};
    DrawTextW(dc_, u"Enter", -1, &whole, DT_CALCRECT);
    DrawTextW(dc_, u"Enter and more", 5, &counted, DT_CALCRECT);
    EXPECT_EQ(whole.right, counted.right);
    EXPECT_EQ(whole.bottom, counted.bottom);
}

TEST_F(DrawTextTest, CentredTextIsCentred) {
    SetBkColor(dc_, RGB(255, 255, 0));
    RECT rect{10, 5, 70, 35};
    const SIZE size = Extent(dc_, u"Tab");
    DrawTextW(dc_, u"Tab", -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    // The opaque cell sits in the middle of the rectangle.
    const Box cell = ChangedBox(canvas_.Pixels(), white);
    EXPECT_EQ(cell.right - cell.left, size.cx);
    EXPECT_EQ(cell.bottom - cell.top, size.cy);
    EXPECT_NEAR(cell.left + cell.right, rect.left + rect.right, 1);
    EXPECT_NEAR(cell.top + cell.bottom, rect.top + rect.bottom, 1);
    // And so does the ink, within a pixel or two.
    Canvas ink(80, 40);
    FontInDc font(ink.Dc(), -11);
    SetBkMode(ink.Dc(), TRANSPARENT);
    DrawTextW(ink.Dc(), u"H", -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const Box box = ChangedBox(ink.Pixels(), white);
    EXPECT_NEAR(box.left + box.right, rect.left + rect.right, 4);
    EXPECT_NEAR(box.top + box.bottom, rect.top + rect.bottom, 4);
}

TEST_F(DrawTextTest, AlignsToTheEdges) {
    SetBkColor(dc_, RGB(255, 255, 0));
    const SIZE size = Extent(dc_, u"Esc");
    RECT rect{10, 5, 70, 35};
    DrawTextW(dc_, u"Esc", -1, &rect, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    Box cell = ChangedBox(canvas_.Pixels(), white);
    EXPECT_EQ(cell.right, 70);
    EXPECT_EQ(cell.bottom, 35);
    EXPECT_EQ(cell.left, 70 - size.cx);
    Canvas left(80, 40);
    FontInDc font(left.Dc(), -11);
    SetBkColor(left.Dc(), RGB(255, 255, 0));
    EXPECT_EQ(DrawTextW(left.Dc(), u"Esc", -1, &rect, DT_LEFT | DT_TOP), size.cy);
    cell = ChangedBox(left.Pixels(), white);
    EXPECT_EQ(cell.left, 10);
    EXPECT_EQ(cell.top, 5);
}

TEST_F(DrawTextTest, MultipleLinesStack) {
    SetBkColor(dc_, RGB(255, 255, 0));
    RECT rect{0, 0, 80, 40};
    const SIZE size = Extent(dc_, u"x");
    EXPECT_EQ(DrawTextW(dc_, u"one\ntwo", -1, &rect, DT_LEFT), 2 * size.cy);
    const Box cell = ChangedBox(canvas_.Pixels(), white);
    EXPECT_EQ(cell.top, 0);
    EXPECT_EQ(cell.bottom, 2 * size.cy);
}

TEST_F(DrawTextTest, ClipsToTheRectangleUnlessNoClip) {
    RECT rect{20, 10, 40, 20};
    DrawTextW(dc_, u"WWWWWWWW", -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ExpectUntouchedOutside(canvas_.Pixels(), Box{20, 10, 40, 20}, white);
    EXPECT_FALSE(ChangedBox(canvas_.Pixels(), white).Empty());
    Canvas other(80, 40);
    FontInDc font(other.Dc(), -11);
    DrawTextW(other.Dc(), u"WWWWWWWW", -1, &rect,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
    EXPECT_LT(ChangedBox(other.Pixels(), white).left, 20);
}

TEST_F(DrawTextTest, AmpersandUnderlinesTheNextCharacter) {
    RECT measured{0, 0, 0, 0};
    DrawTextW(dc_, u"&File", -1, &measured, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(measured.right, Extent(dc_, u"File").cx);
    DrawTextW(dc_, u"&File", -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(measured.right, Extent(dc_, u"&File").cx);
    DrawTextW(dc_, u"A&&B", -1, &measured, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(measured.right, Extent(dc_, u"A&B").cx);
    // The underline adds ink below the baseline.
    SetBkMode(dc_, TRANSPARENT);
    RECT rect{0, 0, 80, 20};
    DrawTextW(dc_, u"File", -1, &rect, DT_SINGLELINE);
    const int plain = CountPixels(canvas_.Pixels(), black);
    Canvas underlined(80, 40);
    FontInDc font(underlined.Dc(), -11);
    SetBkMode(underlined.Dc(), TRANSPARENT);
    DrawTextW(underlined.Dc(), u"&File", -1, &rect, DT_SINGLELINE);
    EXPECT_GT(CountPixels(underlined.Pixels(), black), plain);
}

TEST_F(DrawTextTest, BadInputIsRefused) {
    RECT rect{0, 0, 10, 10};
    EXPECT_EQ(DrawTextW(nullptr, u"a", -1, &rect, 0), 0);
    EXPECT_EQ(DrawTextW(dc_, u"a", -1, nullptr, 0), 0);
    EXPECT_EQ(DrawTextW(dc_, nullptr, -1, &rect, 0), 0);
    EXPECT_EQ(DrawTextW(dc_, u"a", -7, &rect, 0), 0);
    EXPECT_EQ(DrawTextW(dc_, u"", -1, &rect, 0), 0);
    // An upside-down rectangle centres all the same; the answer is where the text ends below
    // its top.
    const int height = Extent(dc_, u"abc").cy;
    RECT inverted{50, 30, 0, 0};
    EXPECT_EQ(DrawTextW(dc_, u"abc", 3, &inverted, DT_CENTER | DT_VCENTER | DT_SINGLELINE),
              (0 - 30 - height) / 2 + height);
    RECT far{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    EXPECT_GT(DrawTextW(dc_, u"abc", 3, &far, DT_CENTER | DT_VCENTER | DT_SINGLELINE), 0);
    HDC deleted = CreateCompatibleDC(nullptr);
    DeleteDC(deleted);
    EXPECT_EQ(DrawTextW(deleted, u"a", -1, &rect, 0), 0);
}

} // namespace
