#include <gtest/gtest.h>

#include "gdi_canvas.h"

#include <windows.h>

#include <climits>
#include <cstring>

namespace {

TEST(DeviceContexts, NewMemoryDcHoldsTheDefaults) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    BITMAP info;
    ASSERT_EQ(GetObjectW(bitmap, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmHeight, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1);
    // Drawing on the default bitmap is harmless.
    EXPECT_TRUE(Rectangle(dc, -10, -10, 100, 100));
    EXPECT_TRUE(LineTo(dc, 50, 50));
    EXPECT_TRUE(PatBlt(dc, 0, 0, 1000, 1000, WHITENESS));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 1, 0), CLR_INVALID);
    // The default bitmap is shared by every new DC and survives deletion attempts.
    HDC other = CreateCompatibleDC(dc);
    EXPECT_EQ(GetCurrentObject(other, OBJ_BITMAP), bitmap);
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_FALSE(DeleteDC(dc));
}

TEST(DeviceContexts, SelectReturnsThePreviousObjectOfItsKind) {
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(1, 2, 3));
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 8, 4);
    EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));
    HGDIOBJ defaultBitmap = SelectObject(dc, bitmap);
    EXPECT_NE(defaultBitmap, nullptr);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetCurrentObject(dc, 99), nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 8);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 4);
    // Selecting the same object again answers with itself.
    EXPECT_EQ(SelectObject(dc, pen), pen);
    // Selected objects cannot be deleted; once deselected they can.
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_PEN)), pen);
    EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_BRUSH)), brush);
    EXPECT_EQ(SelectObject(dc, defaultBitmap), bitmap);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(DeviceContexts, BitmapInOneDcAtATime) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    ASSERT_NE(SelectObject(first, bitmap), nullptr);
    SetLastError(0);
    EXPECT_EQ(SelectObject(second, bitmap), nullptr);
    EXPECT_NE(GetCurrentObject(second, OBJ_BITMAP), bitmap);
    // Deleting the DC that holds it frees the bitmap for another DC, and for deletion.
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_NE(SelectObject(second, bitmap), nullptr);
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_TRUE(DeleteDC(second));
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(DeviceContexts, DeletingADcReleasesItsPenAndBrush) {
    HDC dc = CreateCompatibleDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HBRUSH brush = CreateSolidBrush(0);
    SelectObject(dc, pen);
    SelectObject(dc, brush);
    // The same pen in two DCs is fine, and counts twice.
    HDC other = CreateCompatibleDC(nullptr);
    SelectObject(other, pen);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_TRUE(DeleteObject(pen));
    // A DC is not ended by DeleteObject.
    HDC third = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(DeleteObject(third));
    EXPECT_TRUE(DeleteDC(third));
}

TEST(DeviceContexts, StockObjects) {
    const struct {
        int index;
        DWORD type;
        COLORREF color;
        UINT style;
    } cases[] = {
        {WHITE_BRUSH, OBJ_BRUSH, RGB(255, 255, 255), BS_SOLID},
        {LTGRAY_BRUSH, OBJ_BRUSH, RGB(192, 192, 192), BS_SOLID},
        {GRAY_BRUSH, OBJ_BRUSH, RGB(128, 128, 128), BS_SOLID},
        {DKGRAY_BRUSH, OBJ_BRUSH, RGB(64, 64, 64), BS_SOLID},
        {BLACK_BRUSH, OBJ_BRUSH, RGB(0, 0, 0), BS_SOLID},
        {NULL_BRUSH, OBJ_BRUSH, 0, BS_NULL},
        {WHITE_PEN, OBJ_PEN, RGB(255, 255, 255), PS_SOLID},
        {BLACK_PEN, OBJ_PEN, RGB(0, 0, 0), PS_SOLID},
        {NULL_PEN, OBJ_PEN, 0, PS_NULL},
    };
    for (const auto &c : cases) {
        HGDIOBJ object = GetStockObject(c.index);
        ASSERT_NE(object, nullptr) << c.index;
        EXPECT_EQ(GetStockObject(c.index), object);
        EXPECT_EQ(GetObjectType(object), c.type);
        if (c.type == OBJ_BRUSH) {
            LOGBRUSH brush;
            ASSERT_EQ(GetObjectW(object, sizeof(brush), &brush), static_cast<int>(sizeof(brush)));
            EXPECT_EQ(brush.lbStyle, c.style);
            EXPECT_EQ(brush.lbColor, c.color);
        } else {
            LOGPEN pen;
            ASSERT_EQ(GetObjectW(object, sizeof(pen), &pen), static_cast<int>(sizeof(pen)));
            EXPECT_EQ(pen.lopnStyle, c.style);
            EXPECT_EQ(pen.lopnColor, c.color);
        }
        EXPECT_TRUE(DeleteObject(object));
        EXPECT_EQ(GetObjectType(object), c.type) << "stock objects survive";
    }
    EXPECT_EQ(GetStockObject(HOLLOW_BRUSH), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(GetStockObject(9), nullptr);
    EXPECT_EQ(GetStockObject(INT_MAX), nullptr);
}

TEST(DeviceContexts, PensAndBrushesDescribeThemselves) {
    HPEN pen = CreatePen(PS_SOLID, 5, RGB(10, 20, 30));
    LOGPEN info;
    ASSERT_EQ(GetObjectA(pen, sizeof(info), &info), static_cast<int>(sizeof(info)));
    EXPECT_EQ(info.lopnWidth.x, 5);
    EXPECT_EQ(info.lopnColor, RGB(10, 20, 30));
    EXPECT_EQ(CreatePen(42, 1, 0), nullptr);
    HPEN negative = CreatePen(PS_SOLID, -7, 0);
    EXPECT_NE(negative, nullptr);
    EXPECT_TRUE(DeleteObject(negative));
    EXPECT_TRUE(DeleteObject(pen));
}

TEST(DeviceContexts, Attributes) {
    Canvas canvas(4, 4);
    HDC dc = canvas.Dc();
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    EXPECT_EQ(SetROP2(dc, R2_NOT), R2_COPYPEN);
    EXPECT_EQ(GetROP2(dc), R2_NOT);
    EXPECT_EQ(SetROP2(dc, 0), 0);
    EXPECT_EQ(SetROP2(dc, 17), 0);
    EXPECT_EQ(GetROP2(dc), R2_NOT);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(SetTextColor(dc, RGB(1, 2, 3)), RGB(0, 0, 0));
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(SetBkColor(dc, RGB(4, 5, 6)), RGB(255, 255, 255));
    EXPECT_EQ(GetBkColor(dc), RGB(4, 5, 6));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, 7), 0);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_NE(GetDeviceCaps(dc, RASTERCAPS) & RC_BITBLT, 0);
    EXPECT_EQ(GetDeviceCaps(dc, 12345), 0);
}

TEST(DeviceContexts, TextColorFromASystemColorIndex) {
    Canvas canvas(4, 4);
    HDC dc = canvas.Dc();
    EXPECT_EQ(SetTextColor(dc, SYS_COLOR_INDEX_FLAG | COLOR_GRAYTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_GRAYTEXT));
    EXPECT_EQ(GetTextColor(dc), RGB(128, 128, 128));
    EXPECT_EQ(SetTextColor(dc, SYS_COLOR_INDEX_FLAG | COLOR_WINDOWTEXT), RGB(128, 128, 128));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    // Without the flag the same number is a colour: 17 is a red of 17.
    SetTextColor(dc, COLOR_GRAYTEXT);
    EXPECT_EQ(GetTextColor(dc), RGB(17, 0, 0));
    // An index with no system colour behind it changes nothing.
    SetLastError(0);
    EXPECT_EQ(SetTextColor(dc, SYS_COLOR_INDEX_FLAG | 999), CLR_INVALID);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(GetTextColor(dc), RGB(17, 0, 0));
}

TEST(DeviceContexts, BitmapsOfEveryFormat) {
    // 1 bit: rows padded to 16 bits, high bit first, set is white.
    const unsigned char mono[] = {0xA0, 0x00, 0x40, 0x00};
    HBITMAP bitmap = CreateBitmap(3, 2, 1, 1, mono);
    ASSERT_NE(bitmap, nullptr);
    const auto monoObject = FindGdiObjectAs<BitmapObject>(bitmap);
    EXPECT_TRUE(monoObject->monochrome);
    EXPECT_EQ(monoObject->pixels, (std::vector<uint32_t>{0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF, 0}));
    BITMAP info;
    GetObjectW(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(info.bmWidthBytes, 2);
    EXPECT_TRUE(DeleteObject(bitmap));
    // 16 bits, 5-6-5: pure red, pure green, pure blue; one padding byte pair per row of 3.
    const unsigned char rgb565[] = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0, 0};
    bitmap = CreateBitmap(3, 1, 1, 16, rgb565);
    EXPECT_EQ(FindGdiObjectAs<BitmapObject>(bitmap)->pixels,
              (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF}));
    DeleteObject(bitmap);
    // 24 bits, blue first, rows padded to 16 bits.
    const unsigned char rgb24[] = {0x03, 0x02, 0x01, 0, 0x06, 0x05, 0x04, 0};
    bitmap = CreateBitmap(1, 2, 1, 24, rgb24);
    EXPECT_EQ(FindGdiObjectAs<BitmapObject>(bitmap)->pixels,
              (std::vector<uint32_t>{0x010203, 0x040506}));
    DeleteObject(bitmap);
    const uint32_t rgb32[] = {0x00112233, 0x00445566};
    bitmap = CreateBitmap(2, 1, 1, 32, rgb32);
    EXPECT_EQ(FindGdiObjectAs<BitmapObject>(bitmap)->pixels,
              (std::vector<uint32_t>{0x112233, 0x445566}));
    DeleteObject(bitmap);
}

TEST(DeviceContexts, BadBitmapRequestsFail) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(CreateBitmap(4, 4, 2, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(4, 4, 1, 8, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(-1, 4, 1, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(INT_MAX, INT_MAX, 1, 32, nullptr), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, -5, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 100000, 100000), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 5, 5), nullptr);
    // An empty size gives a 1 x 1 monochrome bitmap, as on Windows.
    HBITMAP empty = CreateCompatibleBitmap(dc, 0, 10);
    ASSERT_NE(empty, nullptr);
    BITMAP info;
    GetObjectW(empty, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_TRUE(DeleteObject(empty));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(DeviceContexts, InvalidHandlesNeverCrash) {
    HDC deleted = CreateCompatibleDC(nullptr);
    DeleteDC(deleted);
    HBITMAP bitmap = CreateBitmap(1, 1, 1, 32, nullptr);
    int local = 0;
    const HDC bad[] = {nullptr, deleted, reinterpret_cast<HDC>(bitmap),
                       reinterpret_cast<HDC>(&local), reinterpret_cast<HDC>(INVALID_HANDLE_VALUE)};
    const RECT rect{0, 0, 1, 1};
    const POINT points[] = {{0, 0}, {1, 1}};
    for (HDC dc : bad) {
        if (dc != nullptr) {
            EXPECT_EQ(CreateCompatibleDC(dc), nullptr);
        }
        EXPECT_FALSE(DeleteDC(dc));
        EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), nullptr);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), nullptr);
        EXPECT_EQ(CreateCompatibleBitmap(dc, 1, 1), nullptr);
        EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 0);
        EXPECT_EQ(SetROP2(dc, R2_NOT), 0);
        EXPECT_EQ(GetROP2(dc), 0);
        EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);
        EXPECT_EQ(SetBkColor(dc, 0), CLR_INVALID);
        EXPECT_EQ(SetBkMode(dc, OPAQUE), 0);
        EXPECT_FALSE(MoveToEx(dc, 0, 0, nullptr));
        EXPECT_FALSE(LineTo(dc, 1, 1));
        EXPECT_FALSE(Polyline(dc, points, 2));
        EXPECT_FALSE(Rectangle(dc, 0, 0, 1, 1));
        EXPECT_EQ(FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
        EXPECT_FALSE(InvertRect(dc, &rect));
        EXPECT_FALSE(PatBlt(dc, 0, 0, 1, 1, PATCOPY));
        EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, dc, 0, 0, SRCCOPY));
        EXPECT_FALSE(StretchBlt(dc, 0, 0, 1, 1, dc, 0, 0, 1, 1, SRCCOPY));
        EXPECT_EQ(SetPixel(dc, 0, 0, 0), CLR_INVALID);
        EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    }
    Canvas canvas(2, 2);
    // Bad objects, brushes, sources and arguments on a good DC.
    EXPECT_EQ(SelectObject(canvas.Dc(), nullptr), nullptr);
    EXPECT_EQ(SelectObject(canvas.Dc(), deleted), nullptr);
    EXPECT_EQ(SelectObject(canvas.Dc(), canvas.Dc()), nullptr);
    EXPECT_EQ(FillRect(canvas.Dc(), &rect, nullptr), 0);
    EXPECT_EQ(FillRect(canvas.Dc(), nullptr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_EQ(FillRect(canvas.Dc(), &rect, reinterpret_cast<HBRUSH>(bitmap)), 0);
    EXPECT_FALSE(InvertRect(canvas.Dc(), nullptr));
    EXPECT_FALSE(Polyline(canvas.Dc(), nullptr, 2));
    EXPECT_FALSE(Polyline(canvas.Dc(), points, -1));
    EXPECT_FALSE(BitBlt(canvas.Dc(), 0, 0, 1, 1, deleted, 0, 0, SRCCOPY));
    EXPECT_FALSE(PatBlt(canvas.Dc(), 0, 0, 1, 1, SRCCOPY));
    EXPECT_TRUE(BitBlt(canvas.Dc(), 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(GetPixel(canvas.Dc(), 0, 0), RGB(0, 0, 0));
    EXPECT_TRUE(DeleteObject(bitmap));
}

} // namespace
