#include <gtest/gtest.h>

#include "gdi_canvas.h"

#include <windows.h>

#include <climits>

namespace {

TEST(GdiDrawing, ColorsAreSwappedAtTheBoundary) {
    Canvas canvas(2, 1);
    EXPECT_EQ(SetPixel(canvas.Dc(), 0, 0, RGB(0x12, 0x34, 0x56)), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(canvas.Pixels().At(0, 0), 0x123456u);
    EXPECT_EQ(GetPixel(canvas.Dc(), 0, 0), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(GetRValue(GetPixel(canvas.Dc(), 0, 0)), 0x12);
    EXPECT_EQ(GetBValue(GetPixel(canvas.Dc(), 0, 0)), 0x56);
    EXPECT_EQ(RGB(1, 2, 3), 0x030201u);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT right{1, 0, 2, 1};
    EXPECT_EQ(FillRect(canvas.Dc(), &right, red), 1);
    EXPECT_EQ(canvas.Pixels().At(1, 0), 0xFF0000u);
    DeleteObject(red);
    EXPECT_EQ(SetPixel(canvas.Dc(), 2, 0, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(canvas.Dc(), -1, 0), CLR_INVALID);
}

TEST(GdiDrawing, LineToLeavesOutItsEndAndMovesOn) {
    Canvas canvas(5, 3);
    POINT previous{-1, -1};
    EXPECT_TRUE(MoveToEx(canvas.Dc(), 0, 1, &previous));
    EXPECT_EQ(previous.x, 0);
    EXPECT_EQ(previous.y, 0);
    EXPECT_TRUE(LineTo(canvas.Dc(), 4, 1));
    EXPECT_EQ(GetPixel(canvas.Dc(), 0, 1), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.Dc(), 3, 1), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(canvas.Dc(), 4, 1), RGB(255, 255, 255));
    MoveToEx(canvas.Dc(), 0, 0, &previous);
    EXPECT_EQ(previous.x, 4);
    // A null pen moves without drawing.
    SelectObject(canvas.Dc(), GetStockObject(NULL_PEN));
    EXPECT_TRUE(LineTo(canvas.Dc(), 4, 0));
    EXPECT_EQ(GetPixel(canvas.Dc(), 1, 0), RGB(255, 255, 255));
    SelectObject(canvas.Dc(), GetStockObject(BLACK_PEN));
}

TEST(GdiDrawing, RopTwoNotInvertsAWidePolyline) {
    Canvas canvas(9, 5, RGB(0, 0, 255));
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(canvas.Dc(), pen);
    SetROP2(canvas.Dc(), R2_NOT);
    const POINT points[] = {{2, 2}, {6, 2}};
    EXPECT_TRUE(Polyline(canvas.Dc(), points, 2));
    EXPECT_EQ(GetPixel(canvas.Dc(), 1, 1), RGB(255, 255, 0));
    EXPECT_EQ(GetPixel(canvas.Dc(), 7, 3), RGB(255, 255, 0));
    EXPECT_EQ(GetPixel(canvas.Dc(), 8, 2), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(canvas.Dc(), 4, 0), RGB(0, 0, 255));
    SelectObject(canvas.Dc(), old);
    DeleteObject(pen);
}

TEST(GdiDrawing, FillRectTakesSystemColorIndexes) {
    Canvas canvas(2, 2);
    const RECT all{0, 0, 2, 2};
    EXPECT_EQ(FillRect(canvas.Dc(), &all, reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1)), 1);
    EXPECT_EQ(GetPixel(canvas.Dc(), 1, 1), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(FillRect(canvas.Dc(), &all, GetSysColorBrush(COLOR_BTNFACE)), 1);
    EXPECT_EQ(GetPixel(canvas.Dc(), 0, 0), GetSysColor(COLOR_BTNFACE));
    // Upside-down rectangles fill nothing; the null brush neither.
    const RECT upsideDown{2, 2, 0, 0};
    EXPECT_EQ(FillRect(canvas.Dc(), &upsideDown, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))),
              1);
    EXPECT_EQ(FillRect(canvas.Dc(), &all, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))), 1);
    EXPECT_EQ(GetPixel(canvas.Dc(), 0, 0), GetSysColor(COLOR_BTNFACE));
}

TEST(GdiDrawing, PatBltOperationsAndInvertRect) {
    Canvas canvas(4, 1, RGB(0x10, 0x20, 0x30));
    HBRUSH brush = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
    HGDIOBJ old = SelectObject(canvas.Dc(), brush);
    EXPECT_TRUE(PatBlt(canvas.Dc(), 0, 0, 1, 1, PATCOPY));
    EXPECT_TRUE(PatBlt(canvas.Dc(), 2, 0, -1, 1, WHITENESS)); // negative width: pixel 1
    EXPECT_TRUE(PatBlt(canvas.Dc(), 2, 0, 1, 1, DSTINVERT));
    EXPECT_TRUE(PatBlt(canvas.Dc(), 3, 0, 1, 1, PATINVERT));
    EXPECT_EQ(GetPixel(canvas.Dc(), 0, 0), RGB(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(GetPixel(canvas.Dc(), 1, 0), RGB(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(GetPixel(canvas.Dc(), 2, 0), RGB(0xEF, 0xDF, 0xCF));
    EXPECT_EQ(GetPixel(canvas.Dc(), 3, 0), RGB(0xE0, 0xD0, 0xC0));
    const RECT first{0, 0, 1, 1};
    EXPECT_TRUE(InvertRect(canvas.Dc(), &first));
    EXPECT_EQ(GetPixel(canvas.Dc(), 0, 0), RGB(0x0F, 0x0F, 0x0F));
    EXPECT_TRUE(PatBlt(canvas.Dc(), INT_MIN, INT_MIN, INT_MAX, INT_MAX, BLACKNESS));
    EXPECT_TRUE(PatBlt(canvas.Dc(), INT_MAX, INT_MAX, INT_MAX, INT_MAX, BLACKNESS));
    SelectObject(canvas.Dc(), old);
    DeleteObject(brush);
}

TEST(GdiDrawing, BitBltBetweenDcsAndFormats) {
    Canvas source(3, 2, RGB(0, 0, 0));
    SetPixel(source.Dc(), 0, 0, RGB(10, 20, 30));
    SetPixel(source.Dc(), 2, 1, RGB(40, 50, 60));
    Canvas target(3, 2, RGB(200, 200, 200));
    // Overhanging both surfaces: only the overlap is copied.
    EXPECT_TRUE(BitBlt(target.Dc(), 1, 1, 100, 100, source.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(target.Dc(), 1, 1), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(target.Dc(), 0, 0), RGB(200, 200, 200));
    EXPECT_TRUE(BitBlt(target.Dc(), 0, 0, 3, 2, source.Dc(), 0, 0, SRCPAINT));
    EXPECT_EQ(GetPixel(target.Dc(), 0, 0), RGB(200 | 10, 200 | 20, 200 | 30));
    EXPECT_TRUE(BitBlt(target.Dc(), -5, -5, 3, 2, source.Dc(), 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(target.Dc(), 0, 0, -3, 2, source.Dc(), 0, 0, SRCCOPY));

    // Monochrome to colour: black becomes the text colour, white the background colour.
    const unsigned char bits[] = {0x80, 0};
    HBITMAP mono = CreateBitmap(2, 1, 1, 1, bits);
    HDC monoDc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(monoDc, mono);
    SetTextColor(target.Dc(), RGB(255, 0, 0));
    SetBkColor(target.Dc(), RGB(0, 0, 255));
    EXPECT_TRUE(BitBlt(target.Dc(), 0, 0, 2, 1, monoDc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(target.Dc(), 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(target.Dc(), 1, 0), RGB(255, 0, 0));
    // Colour to monochrome: the source's background colour becomes white.
    SetBkColor(target.Dc(), RGB(255, 0, 0));
    EXPECT_TRUE(BitBlt(monoDc, 0, 0, 2, 1, target.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(monoDc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(monoDc, 1, 0), RGB(255, 255, 255));
    // Colours drawn on a monochrome bitmap become black or white.
    EXPECT_EQ(SetPixel(monoDc, 0, 0, RGB(200, 200, 100)), RGB(255, 255, 255));
    SelectObject(monoDc, old);
    DeleteDC(monoDc);
    DeleteObject(mono);
}

TEST(GdiDrawing, StretchBltMirrorsAndScales) {
    Canvas source(2, 1);
    SetPixel(source.Dc(), 0, 0, RGB(255, 0, 0));
    SetPixel(source.Dc(), 1, 0, RGB(0, 255, 0));
    Canvas target(4, 2);
    EXPECT_TRUE(StretchBlt(target.Dc(), 0, 0, 4, 2, source.Dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(GetPixel(target.Dc(), 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(target.Dc(), 2, 0), RGB(0, 255, 0));
    EXPECT_TRUE(StretchBlt(target.Dc(), 3, 0, -4, 2, source.Dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(GetPixel(target.Dc(), 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(target.Dc(), 3, 1), RGB(255, 0, 0));
    EXPECT_TRUE(StretchBlt(target.Dc(), 0, 0, 4, 2, source.Dc(), 0, 0, 0, 1, SRCCOPY));
    EXPECT_TRUE(StretchBlt(target.Dc(), 0, 0, 4, 2, nullptr, 0, 0, 0, 0, DSTINVERT));
    EXPECT_EQ(GetPixel(target.Dc(), 0, 0), RGB(255, 0, 255));
}

TEST(SystemColors, WindowsCeScheme) {
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(0, 0, 128));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(17), RGB(128, 128, 128));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), RGB(0, 0, 128));
    for (int index = 0; index <= COLOR_GRADIENTINACTIVECAPTION; ++index) {
        EXPECT_EQ(GetSysColor(index | SYS_COLOR_INDEX_FLAG), GetSysColor(index)) << index;
        HBRUSH brush = GetSysColorBrush(index | SYS_COLOR_INDEX_FLAG);
        ASSERT_EQ(brush, GetSysColorBrush(index));
        LOGBRUSH info;
        GetObjectW(brush, sizeof(info), &info);
        EXPECT_EQ(info.lbColor, GetSysColor(index));
        EXPECT_TRUE(DeleteObject(brush));
        EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    }
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(1000), 0u);
    EXPECT_EQ(GetSysColorBrush(1000), nullptr);
    EXPECT_EQ(GetSysColorBrush(INT_MIN), nullptr);
}

TEST(RectMath, SetOffsetInflate) {
    RECT rect;
    EXPECT_TRUE(SetRect(&rect, 1, 2, 3, 4));
    EXPECT_TRUE(OffsetRect(&rect, 10, -2));
    const RECT offset{11, 0, 13, 2};
    EXPECT_TRUE(EqualRect(&rect, &offset));
    EXPECT_TRUE(InflateRect(&rect, 1, 2));
    const RECT inflated{10, -2, 14, 4};
    EXPECT_TRUE(EqualRect(&rect, &inflated));
    EXPECT_TRUE(InflateRect(&rect, -3, -3));
    EXPECT_TRUE(IsRectEmpty(&rect));
    EXPECT_TRUE(SetRectEmpty(&rect));
    EXPECT_EQ(rect.right, 0);
    EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
    EXPECT_FALSE(OffsetRect(nullptr, 1, 1));
    EXPECT_FALSE(InflateRect(nullptr, 1, 1));
    RECT far{INT_MAX - 1, 0, INT_MAX, 1};
    EXPECT_TRUE(OffsetRect(&far, 5, 0)); // wraps, never traps
    EXPECT_TRUE(InflateRect(&far, INT_MIN, INT_MIN));
}

TEST(RectMath, IntersectUnionContain) {
    const RECT a{0, 0, 10, 10};
    const RECT b{5, 5, 15, 15};
    const RECT apart{20, 20, 30, 30};
    const RECT empty{3, 3, 3, 8};
    RECT result;
    EXPECT_TRUE(IntersectRect(&result, &a, &b));
    const RECT overlap{5, 5, 10, 10};
    EXPECT_TRUE(EqualRect(&result, &overlap));
    EXPECT_FALSE(IntersectRect(&result, &a, &apart));
    EXPECT_TRUE(IsRectEmpty(&result));
    EXPECT_EQ(result.left, 0);
    EXPECT_FALSE(IntersectRect(&result, &a, &empty));
    EXPECT_TRUE(UnionRect(&result, &a, &b));
    const RECT both{0, 0, 15, 15};
    EXPECT_TRUE(EqualRect(&result, &both));
    EXPECT_TRUE(UnionRect(&result, &empty, &b));
    EXPECT_TRUE(EqualRect(&result, &b));
    EXPECT_FALSE(UnionRect(&result, &empty, &empty));
    EXPECT_TRUE(PtInRect(&a, POINT{0, 0}));
    EXPECT_TRUE(PtInRect(&a, POINT{9, 9}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 5}));
    EXPECT_FALSE(PtInRect(&a, POINT{5, 10}));
    EXPECT_FALSE(PtInRect(nullptr, POINT{0, 0}));
    EXPECT_FALSE(IntersectRect(nullptr, &a, &b));
    EXPECT_FALSE(UnionRect(&result, nullptr, &b));
    EXPECT_TRUE(IsRectEmpty(nullptr));
    EXPECT_FALSE(EqualRect(&a, nullptr));
    EXPECT_FALSE(EqualRect(&a, &b));
}

} // namespace
