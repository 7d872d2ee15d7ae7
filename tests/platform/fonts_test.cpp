#include <gtest/gtest.h>

#include "gdi_canvas.h"
#include "text_helpers.h"

#include <windows.h>

#include <climits>
#include <cstring>

namespace {

LOGFONTW Logical(int height, int weight, const WCHAR *face) {
    LOGFONTW font;
    std::memset(&font, 0, sizeof(font));
    font.lfHeight = height;
    font.lfWeight = weight;
    for (int i = 0; face[i] != 0 && i < LF_FACESIZE - 1; ++i) {
        font.lfFaceName[i] = face[i];
    }
    return font;
}

TEXTMETRICW Metrics(HDC dc) {
    TEXTMETRICW metrics;
    std::memset(&metrics, 0, sizeof(metrics));
    EXPECT_TRUE(GetTextMetricsW(dc, &metrics));
    return metrics;
}

TEST(Fonts, LogicalFontRoundTripsThroughGetObject) {
    const LOGFONTW asked = Logical(-13, FW_BOLD, u"MS Sans Serif");
    HFONT font = CreateFontIndirectW(&asked);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GetObjectW(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTW)));
    LOGFONTW described;
    EXPECT_EQ(GetObjectW(font, 4, &described), 0);
    ASSERT_EQ(GetObjectW(font, sizeof(described), &described), static_cast<int>(sizeof(described)));
    EXPECT_EQ(std::memcmp(&asked, &described, sizeof(asked)), 0);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(GetObjectType(font), 0u);
    EXPECT_EQ(GetObjectW(font, sizeof(described), &described), 0);
    EXPECT_FALSE(DeleteObject(font));
}

TEST(Fonts, CreateFontFillsTheLogicalFont) {
    HFONT font =
        CreateFontW(20, 0, 0, 0, FW_NORMAL, TRUE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                    u"A face name far longer than the thirty-one characters a face has");
    ASSERT_NE(font, nullptr);
    LOGFONTW described;
    ASSERT_EQ(GetObjectW(font, sizeof(described), &described), static_cast<int>(sizeof(described)));
    EXPECT_EQ(described.lfHeight, 20);
    EXPECT_EQ(described.lfItalic, 1);
    EXPECT_EQ(described.lfPitchAndFamily, VARIABLE_PITCH | FF_SWISS);
    EXPECT_EQ(lstrlenW(described.lfFaceName), LF_FACESIZE - 1);
    EXPECT_TRUE(DeleteObject(font));
    // A NULL face name is the default face.
    font = CreateFontW(-11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(DeleteObject(font));
    EXPECT_EQ(CreateFontIndirectW(nullptr), nullptr);
}

TEST(Fonts, SystemFontIsStockAndSelectedInNewDcs) {
    HGDIOBJ system = GetStockObject(SYSTEM_FONT);
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(GetObjectType(system), static_cast<DWORD>(OBJ_FONT));
    EXPECT_TRUE(DeleteObject(system));
    EXPECT_EQ(GetObjectType(system), static_cast<DWORD>(OBJ_FONT));
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), system);
    const TEXTMETRICW metrics = Metrics(dc);
    EXPECT_GT(metrics.tmHeight, 8);
    EXPECT_GT(metrics.tmAveCharWidth, 2);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(Fonts, SelectedFontIsKeptUntilDeselected) {
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    EXPECT_EQ(SelectObject(dc, font), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_FALSE(DeleteObject(font));
    EXPECT_EQ(Metrics(dc).tmHeight, Metrics(dc).tmAscent + Metrics(dc).tmDescent);
    EXPECT_EQ(SelectObject(dc, GetStockObject(SYSTEM_FONT)), font);
    EXPECT_TRUE(DeleteObject(font));
    // A DC deleted with a font selected lets go of it.
    font = CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    SelectObject(dc, font);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(font));
}

TEST(FontMetrics, AscentAndDescentMakeTheHeight) {
    Canvas canvas(8, 8);
    FontInDc font(canvas.Dc(), -11);
    const TEXTMETRICW metrics = Metrics(canvas.Dc());
    EXPECT_EQ(metrics.tmAscent + metrics.tmDescent, metrics.tmHeight);
    // A negative height is the character height: the cell adds the internal leading.
    EXPECT_EQ(metrics.tmHeight - metrics.tmInternalLeading, 11);
    EXPECT_GT(metrics.tmDescent, 0);
    EXPECT_GT(metrics.tmAscent, metrics.tmDescent);
    EXPECT_GE(metrics.tmMaxCharWidth, metrics.tmAveCharWidth);
    EXPECT_EQ(metrics.tmWeight, FW_NORMAL);
}

TEST(FontMetrics, PositiveHeightIsTheCellHeight) {
    Canvas canvas(8, 8);
    for (int height : {10, 16, 24, 40}) {
        FontInDc font(canvas.Dc(), height);
        const int cell = Metrics(canvas.Dc()).tmHeight;
        EXPECT_NEAR(cell, height, 1) << height;
    }
}

TEST(FontMetrics, BoldIsWiderThanRegular) {
    Canvas canvas(8, 8);
    SIZE regular;
    SIZE bold;
    {
        FontInDc font(canvas.Dc(), -11, FW_NORMAL);
        regular = Extent(canvas.Dc(), u"Keyboard layout");
    }
    {
        FontInDc font(canvas.Dc(), -11, FW_BOLD);
        bold = Extent(canvas.Dc(), u"Keyboard layout");
        EXPECT_EQ(Metrics(canvas.Dc()).tmWeight, FW_BOLD);
    }
    EXPECT_GT(bold.cx, regular.cx);
    // Weights below 700 are regular.
    FontInDc semibold(canvas.Dc(), -11, FW_SEMIBOLD);
    EXPECT_EQ(Extent(canvas.Dc(), u"Keyboard layout").cx, regular.cx);
}

TEST(FontMetrics, ExtremeHeightsStayBounded) {
    Canvas canvas(8, 8);
    for (int height : {INT_MIN, -100000, -1, 0, 1, 100000, INT_MAX}) {
        FontInDc font(canvas.Dc(), height);
        const TEXTMETRICW metrics = Metrics(canvas.Dc());
        EXPECT_GT(metrics.tmHeight, 0) << height;
        EXPECT_LT(metrics.tmHeight, 1000) << height;
        EXPECT_GE(Extent(canvas.Dc(), u"W").cx, 0) << height;
    }
}

TEST(FontMetrics, BadHandlesAreRefused) {
    TEXTMETRICW metrics;
    EXPECT_FALSE(GetTextMetricsW(nullptr, &metrics));
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(GetTextMetricsW(dc, nullptr));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(GetTextMetricsW(dc, &metrics));
    HFONT font = CreateFontW(-11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    DeleteObject(font);
    Canvas canvas(8, 8);
    EXPECT_EQ(SelectObject(canvas.Dc(), font), nullptr);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_FONT), GetStockObject(SYSTEM_FONT));
}

// Draws text with a face and returns the picture, to compare faces by what they draw.
Surface Drawn(const WCHAR *face, int weight = FW_NORMAL) {
    Canvas canvas(80, 20);
    FontInDc font(canvas.Dc(), -13, weight, face);
    SetBkMode(canvas.Dc(), TRANSPARENT);
    ExtTextOutW(canvas.Dc(), 1, 1, 0, nullptr, u"Hamburg 42", 10, nullptr);
    return canvas.Pixels();
}

TEST(FontFaces, WindowsAndUnknownNamesDrawTheFallbackFace) {
    const Surface fallback = Drawn(u"DejaVu Sans");
    EXPECT_GT(CountPixels(fallback, 0x000000), 20);
    EXPECT_EQ(Drawn(u"Tahoma").pixels, fallback.pixels);
    EXPECT_EQ(Drawn(u"MS Sans Serif").pixels, fallback.pixels);
    EXPECT_EQ(Drawn(u"No Such Face 1234").pixels, fallback.pixels);
    EXPECT_EQ(Drawn(u"").pixels, fallback.pixels);
    EXPECT_NE(Drawn(u"Tahoma", FW_BOLD).pixels, fallback.pixels);
}

TEST(FontFaces, InstalledFamiliesResolveToThemselves) {
    Canvas canvas(8, 8);
    FontInDc font(canvas.Dc(), -13, FW_NORMAL, u"DejaVu Sans Mono");
    EXPECT_EQ(Extent(canvas.Dc(), u"ii").cx, Extent(canvas.Dc(), u"WW").cx);
}

} // namespace
