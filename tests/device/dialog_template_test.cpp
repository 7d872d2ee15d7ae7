// Reading dialog templates without making a window: dialog units into pixels through the base
// units of the template's font, MulDiv's rounding, the system font when the template names none,
// and what cannot be a template.
#include <gtest/gtest.h>

#include <dialog_templates.h>

#include <ostream>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"
#include "rect_text.h"

namespace {

const DIALOG_ITEM_TEMPLATE twoItems[] = {
    {IDOK, u"BUTTON", u"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 10, 20, 50, 14},
    {101, u"STATIC", nullptr, SS_CENTER, WS_EX_TOPMOST, -3, -1, 7, 9},
};
const DIALOG_TEMPLATE_TABLE twoControls = {
    WS_POPUP | WS_CAPTION | DS_SETFONT,
    WS_EX_TOPMOST,
    12,
    8,
    160,
    100,
    u"Title",
    8,
    u"MS Sans Serif",
    twoItems,
    2,
};

TEST(DialogTemplate, UnitsBecomePixelsThroughTheBaseUnits) {
    // 6 pixels per 4 units across and 13 per 8 down: a quarter and an eighth of those.
    DialogLayout layout;
    ASSERT_TRUE(ReadDialogTemplate(&twoControls, sizeof twoControls, {6, 13}, layout));
    EXPECT_EQ(layout.style, DWORD(WS_POPUP | WS_CAPTION | DS_SETFONT));
    EXPECT_EQ(layout.exStyle, DWORD(WS_EX_TOPMOST));
    EXPECT_EQ(layout.position.x, 18); // 12 * 6 / 4
    EXPECT_EQ(layout.position.y, 13); // 8 * 13 / 8
    EXPECT_EQ(layout.clientSize.cx, 240);
    EXPECT_EQ(layout.clientSize.cy, 163); // 162.5, away from zero
    EXPECT_TRUE(layout.caption == u"Title");
    EXPECT_TRUE(layout.hasFont);
    EXPECT_EQ(layout.pointSize, 8);
    EXPECT_TRUE(layout.faceName == u"MS Sans Serif");

    ASSERT_EQ(layout.controls.size(), 2u);
    const DialogControlLayout &ok = layout.controls[0];
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_TRUE(ok.className == u"BUTTON");
    EXPECT_TRUE(ok.text == u"OK");
    // A control is a child whatever its template says.
    EXPECT_EQ(ok.style, DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON));
    // 10 x 20 units at 15 x 32.5 pixels, 50 x 14 units make 75 x 22.75.
    EXPECT_EQ(Describe(ok.rect), "15,33,90,56");
    const DialogControlLayout &label = layout.controls[1];
    EXPECT_EQ(label.id, 101);
    EXPECT_TRUE(label.text.empty()); // no text at all reads as an empty one
    EXPECT_EQ(label.exStyle, DWORD(WS_EX_TOPMOST));
    // -3 x -1 units at -4.5 x -1.625, 7 x 9 units make 10.5 x 14.625.
    EXPECT_EQ(Describe(label.rect), "-5,-2,6,13");
}

struct Rounding {
    int units;
    int base;
    int pixelsAcross; // units * base / 4
    int pixelsDown;   // units * base / 8
};

void PrintTo(const Rounding &rounding, std::ostream *out) {
    *out << rounding.units << " units at " << rounding.base;
}

class DialogUnitRounding : public testing::TestWithParam<Rounding> {};

// MulDiv's rounding: to the nearest pixel, halves away from zero, on both sides of zero.
TEST_P(DialogUnitRounding, IsMulDivs) {
    const Rounding &rounding = GetParam();
    const DialogBaseUnits base{rounding.base, rounding.base};
    EXPECT_EQ(DialogUnitsToPixelsX(rounding.units, base), rounding.pixelsAcross);
    EXPECT_EQ(DialogUnitsToPixelsY(rounding.units, base), rounding.pixelsDown);
}

INSTANTIATE_TEST_SUITE_P(
    DialogTemplate, DialogUnitRounding,
    testing::Values(Rounding{0, 6, 0, 0}, Rounding{1, 6, 2, 1}, Rounding{-1, 6, -2, -1},
                    Rounding{2, 6, 3, 2}, Rounding{-2, 6, -3, -2}, Rounding{3, 6, 5, 2},
                    Rounding{-3, 6, -5, -2}, Rounding{1, 13, 3, 2}, Rounding{-1, 13, -3, -2},
                    Rounding{4, 13, 13, 7}, Rounding{-4, 13, -13, -7}, Rounding{5, 13, 16, 8},
                    Rounding{-5, 13, -16, -8}, Rounding{7, 7, 12, 6}, Rounding{-7, 7, -12, -6},
                    Rounding{12, 1, 3, 2}, Rounding{-12, 1, -3, -2},
                    Rounding{32767, 6, 49151, 24575}, Rounding{-32768, 6, -49152, -24576},
                    Rounding{-32768, 0, 0, 0}, Rounding{5, 0, 0, 0}));

TEST(DialogTemplate, WithoutSetFontTheTemplatesFontIsIgnored) {
    DIALOG_TEMPLATE_TABLE table = twoControls;
    table.style &= ~DS_SETFONT;
    table.pointSize = 20;
    table.faceName = u"DejaVu Sans Mono";
    DialogLayout layout;
    ASSERT_TRUE(ReadDialogTemplate(&table, sizeof table, {6, 13}, layout));
    EXPECT_FALSE(layout.hasFont);
    EXPECT_EQ(layout.pointSize, 0);
    EXPECT_TRUE(layout.faceName.empty());
    // Its units are the system font's, as GetDialogBaseUnits answers them.
    const DialogBaseUnits base = BaseUnitsOf(layout);
    const LONG system = GetDialogBaseUnits();
    EXPECT_EQ(base.x, LOWORD(system));
    EXPECT_EQ(base.y, HIWORD(system));
    const DialogBaseUnits unnamed = BaseUnitsOfFont(u"", 0);
    EXPECT_EQ(unnamed.x, base.x);
    EXPECT_EQ(unnamed.y, base.y);
}

// The alphabet's average width, rounded, and the cell height of a font of that character height.
DialogBaseUnits MeasuredUnits(int characterHeight) {
    LOGFONTW description = {};
    description.lfHeight = -characterHeight;
    lstrcpynW(description.lfFaceName, u"MS Sans Serif", LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&description);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &extent);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    // 52 letters: half the width of 26, rounded.
    return DialogBaseUnits{(extent.cx / 26 + 1) / 2, metrics.tmHeight};
}

TEST(DialogTemplate, BaseUnitsComeFromTheTemplatesFont) {
    // 8 points at 96 pixels per inch is an 11-pixel character height; 10 points make 13.
    const DialogBaseUnits eight = BaseUnitsOfFont(u"MS Sans Serif", 8);
    const DialogBaseUnits measuredEight = MeasuredUnits(11);
    EXPECT_EQ(eight.x, measuredEight.x);
    EXPECT_EQ(eight.y, measuredEight.y);
    const DialogBaseUnits ten = BaseUnitsOfFont(u"MS Sans Serif", 10);
    const DialogBaseUnits measuredTen = MeasuredUnits(13);
    EXPECT_EQ(ten.x, measuredTen.x);
    EXPECT_EQ(ten.y, measuredTen.y);
    EXPECT_GT(ten.y, eight.y);
    // The system font is the 8-point one of the device.
    const LONG system = GetDialogBaseUnits();
    EXPECT_EQ(LOWORD(system), eight.x);
    EXPECT_EQ(HIWORD(system), eight.y);
    // What a DS_SETFONT template reads as.
    DialogLayout layout;
    ASSERT_TRUE(ReadDialogTemplate(&twoControls, sizeof twoControls, {4, 8}, layout));
    const DialogBaseUnits ofLayout = BaseUnitsOf(layout);
    EXPECT_EQ(ofLayout.x, eight.x);
    EXPECT_EQ(ofLayout.y, eight.y);
}

TEST(DialogTemplate, AnEmptyTemplateHasNoControls) {
    DIALOG_TEMPLATE_TABLE table = twoControls;
    table.items = nullptr;
    table.itemCount = 0;
    table.caption = nullptr;
    DialogLayout layout;
    ASSERT_TRUE(ReadDialogTemplate(&table, sizeof table, {6, 13}, layout));
    EXPECT_TRUE(layout.controls.empty());
    EXPECT_TRUE(layout.caption.empty());
}

TEST(DialogTemplate, AsManyControlsAsACountCanHold) {
    std::vector<DIALOG_ITEM_TEMPLATE> items(maxDialogControls, twoItems[0]);
    DIALOG_TEMPLATE_TABLE table = twoControls;
    table.items = items.data();
    table.itemCount = maxDialogControls;
    DialogLayout layout;
    ASSERT_TRUE(ReadDialogTemplate(&table, sizeof table, {6, 13}, layout));
    EXPECT_EQ(layout.controls.size(), size_t(maxDialogControls));
}

struct Broken {
    const char *what;
    DIALOG_TEMPLATE_TABLE table;
    size_t size;
};

const DIALOG_ITEM_TEMPLATE classless[] = {
    twoItems[0],
    {102, nullptr, u"no class", WS_VISIBLE, 0, 0, 0, 10, 10},
};
const DIALOG_ITEM_TEMPLATE emptyClass[] = {
    {102, u"", u"empty class", WS_VISIBLE, 0, 0, 0, 10, 10},
};

DIALOG_TEMPLATE_TABLE WithItems(const DIALOG_ITEM_TEMPLATE *items, UINT count) {
    DIALOG_TEMPLATE_TABLE table = twoControls;
    table.items = items;
    table.itemCount = count;
    return table;
}

// What cannot be a template fails with ERROR_INVALID_PARAMETER and leaves the layout alone.
TEST(DialogTemplate, WhatCannotBeATemplateIsRejected) {
    const Broken cases[] = {
        {"a table smaller than its record", twoControls, sizeof twoControls - 1},
        {"an empty table", twoControls, 0},
        {"controls counted but missing", WithItems(nullptr, 1), sizeof twoControls},
        {"a control without a class", WithItems(classless, 2), sizeof twoControls},
        {"a control with an empty class", WithItems(emptyClass, 1), sizeof twoControls},
        // Refused on the count alone, before any control is read.
        {"more controls than a count holds", WithItems(twoItems, maxDialogControls + 1),
         sizeof twoControls},
    };
    for (const Broken &broken : cases) {
        DialogLayout layout;
        layout.caption = u"untouched";
        SetLastError(0);
        EXPECT_FALSE(ReadDialogTemplate(&broken.table, broken.size, {6, 13}, layout))
            << broken.what;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER)) << broken.what;
        EXPECT_TRUE(layout.caption == u"untouched") << broken.what;
        EXPECT_TRUE(layout.controls.empty()) << broken.what;
    }
    DialogLayout layout;
    SetLastError(0);
    EXPECT_FALSE(ReadDialogTemplate(nullptr, sizeof twoControls, {6, 13}, layout));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

} // namespace
