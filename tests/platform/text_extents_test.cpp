#include <gtest/gtest.h>

#include "gdi_canvas.h"
#include "text_helpers.h"

#include <windows.h>

#include <vector>

namespace {

class TextExtents : public ::testing::Test {
  protected:
    Canvas canvas_{8, 8};
    FontInDc font_{canvas_.Dc(), -11};
    HDC dc_ = canvas_.Dc();
};

TEST_F(TextExtents, EmptyStringHasNoWidthAndTheCellHeight) {
    TEXTMETRICW metrics;
    ASSERT_TRUE(GetTextMetricsW(dc_, &metrics));
    SIZE size{-1, -1};
    ASSERT_TRUE(GetTextExtentPoint32W(dc_, u"", 0, &size));
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, metrics.tmHeight);
    ASSERT_TRUE(GetTextExtentPoint32W(dc_, nullptr, 0, &size));
    EXPECT_EQ(size.cx, 0);
}

TEST_F(TextExtents, NarrowLettersAreNarrower) {
    EXPECT_LT(Extent(dc_, u"ii").cx, Extent(dc_, u"WW").cx);
    EXPECT_GT(Extent(dc_, u"ii").cx, 0);
}

TEST_F(TextExtents, ExtentsAddUp) {
    EXPECT_EQ(Extent(dc_, u"ab").cx, Extent(dc_, u"a").cx + Extent(dc_, u"b").cx);
    EXPECT_EQ(Extent(dc_, u"Shift Enter").cx,
              Extent(dc_, u"Shift").cx + Extent(dc_, u" ").cx + Extent(dc_, u"Enter").cx);
    // Only count units are measured.
    SIZE size;
    ASSERT_TRUE(GetTextExtentPoint32W(dc_, u"abcdef", 2, &size));
    EXPECT_EQ(size.cx, Extent(dc_, u"ab").cx);
}

TEST_F(TextExtents, PartialWidthsAndFitCounts) {
    const WCHAR *text = u"Wide";
    std::vector<INT> partial(4, -1);
    SIZE size;
    INT fit = -1;
    ASSERT_TRUE(GetTextExtentExPointW(dc_, text, 4, 1000, &fit, partial.data(), &size));
    EXPECT_EQ(fit, 4);
    EXPECT_EQ(partial[0], Extent(dc_, u"W").cx);
    EXPECT_EQ(partial[1], Extent(dc_, u"Wi").cx);
    EXPECT_EQ(partial[2], Extent(dc_, u"Wid").cx);
    EXPECT_EQ(partial[3], size.cx);
    struct Case {
        int maxExtent;
        int fit;
    };
    const std::vector<Case> cases{
        {0, 0},          {-1, 0},         {partial[0] - 1, 0}, {partial[0], 1}, {partial[1] - 1, 1},
        {partial[1], 2}, {partial[2], 3}, {partial[3] - 1, 3}, {partial[3], 4},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(GetTextExtentExPointW(dc_, text, 4, c.maxExtent, &fit, nullptr, nullptr));
        EXPECT_EQ(fit, c.fit) << "max " << c.maxExtent;
    }
    ASSERT_TRUE(GetTextExtentExPointW(dc_, u"", 0, 10, &fit, nullptr, &size));
    EXPECT_EQ(fit, 0);
    EXPECT_EQ(size.cx, 0);
}

TEST_F(TextExtents, SurrogatePairIsOneCharacter) {
    const WCHAR text[] = u"a\U0001D11Eb";
    ASSERT_EQ(lstrlenW(text), 4);
    std::vector<INT> partial(4, -1);
    SIZE size;
    INT fit = -1;
    ASSERT_TRUE(GetTextExtentExPointW(dc_, text, 4, 1000, &fit, partial.data(), &size));
    EXPECT_EQ(fit, 4);
    EXPECT_EQ(partial[1], partial[2]);
    EXPECT_GT(partial[1], partial[0]);
    EXPECT_EQ(partial[3], size.cx);
    // The pair fits whole or not at all.
    ASSERT_TRUE(GetTextExtentExPointW(dc_, text, 4, partial[2] - 1, &fit, nullptr, nullptr));
    EXPECT_EQ(fit, 1);
    ASSERT_TRUE(GetTextExtentExPointW(dc_, text, 4, partial[2], &fit, nullptr, nullptr));
    EXPECT_EQ(fit, 3);
    // An unpaired surrogate is a character of its own.
    EXPECT_GT(Extent(dc_, u"\xD800").cx, 0);
}

TEST_F(TextExtents, BadInputIsRefused) {
    SIZE size;
    INT fit;
    EXPECT_FALSE(GetTextExtentPoint32W(nullptr, u"a", 1, &size));
    EXPECT_FALSE(GetTextExtentPoint32W(dc_, u"a", -1, &size));
    EXPECT_FALSE(GetTextExtentPoint32W(dc_, nullptr, 3, &size));
    EXPECT_FALSE(GetTextExtentPoint32W(dc_, u"a", 1, nullptr));
    EXPECT_FALSE(GetTextExtentExPointW(dc_, u"a", -1, 10, &fit, nullptr, &size));
    EXPECT_TRUE(GetTextExtentExPointW(dc_, u"a", 1, 10, nullptr, nullptr, nullptr));
    HDC deleted = CreateCompatibleDC(nullptr);
    DeleteDC(deleted);
    EXPECT_FALSE(GetTextExtentPoint32W(deleted, u"a", 1, &size));
}

} // namespace
