#include <gtest/gtest.h>

#include "gdi_canvas.h"
#include "golden.h"

#include <windows.h>

namespace {

// Selects object into dc for the scope, then the previous one back, and deletes object.
class Selected {
  public:
    Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
    ~Selected() {
        SelectObject(dc_, old_);
        DeleteObject(object_);
    }
    Selected(const Selected &) = delete;
    Selected &operator=(const Selected &) = delete;

  private:
    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ old_;
};

TEST(GoldenPictures, FramesAndFills) {
    Canvas canvas(48, 32, GetSysColor(COLOR_BTNFACE));
    HDC dc = canvas.Dc();
    Rectangle(dc, 2, 2, 14, 12); // black frame, white fill
    {
        Selected pen(dc, CreatePen(PS_SOLID, 3, RGB(0, 0, 128)));
        Selected brush(dc, CreateSolidBrush(RGB(255, 255, 0)));
        Rectangle(dc, 18, 3, 32, 14);
    }
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, GetStockObject(DKGRAY_BRUSH));
    Rectangle(dc, 36, 2, 46, 12);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 2, 16, 46, 30);
    const RECT highlight{4, 18, 24, 28};
    FillRect(dc, &highlight, reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1));
    const RECT shadow{26, 18, 44, 28};
    FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    ExpectMatchesGolden(canvas.Pixels(), "frames_and_fills");
}

TEST(GoldenPictures, InvertedRectangleOverPattern) {
    Canvas canvas(32, 24);
    HDC dc = canvas.Dc();
    {
        Selected brush(dc, CreateSolidBrush(RGB(0, 128, 255)));
        for (int x = 0; x < 32; x += 4) {
            PatBlt(dc, x, 0, 2, 24, PATCOPY);
        }
    }
    {
        Selected brush(dc, CreateSolidBrush(RGB(255, 64, 0)));
        for (int y = 0; y < 24; y += 6) {
            PatBlt(dc, 0, y, 32, 2, PATINVERT);
        }
    }
    const RECT middle{8, 6, 24, 18};
    InvertRect(dc, &middle);
    SetROP2(dc, R2_NOT);
    MoveToEx(dc, 0, 23, nullptr);
    LineTo(dc, 31, 0);
    SetROP2(dc, R2_COPYPEN);
    ExpectMatchesGolden(canvas.Pixels(), "inverted_over_pattern");
}

TEST(GoldenPictures, StretchedBlit) {
    Canvas source(4, 3);
    const COLORREF colors[] = {RGB(255, 0, 0),   RGB(0, 255, 0),    RGB(0, 0, 255),
                               RGB(255, 255, 0), RGB(0, 255, 255),  RGB(255, 0, 255),
                               RGB(0, 0, 0),     RGB(128, 128, 128)};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            SetPixel(source.Dc(), x, y, colors[(x + y * 4) % 8]);
        }
    }
    Canvas canvas(40, 24, RGB(255, 255, 255));
    StretchBlt(canvas.Dc(), 0, 0, 20, 15, source.Dc(), 0, 0, 4, 3, SRCCOPY);
    StretchBlt(canvas.Dc(), 39, 23, -19, -8, source.Dc(), 0, 0, 4, 3, SRCCOPY);
    BitBlt(canvas.Dc(), 24, 2, 4, 3, source.Dc(), 0, 0, NOTSRCCOPY);
    ExpectMatchesGolden(canvas.Pixels(), "stretched_blit");
}

TEST(GoldenPictures, LinesInAllDirections) {
    Canvas canvas(41, 41);
    HDC dc = canvas.Dc();
    const POINT ends[] = {{40, 20}, {40, 30}, {30, 40}, {20, 40}, {10, 40}, {0, 30},
                          {0, 20},  {0, 10},  {10, 0},  {20, 0},  {30, 0},  {40, 10}};
    int i = 0;
    for (const POINT &end : ends) {
        ++i;
        Selected pen(dc, CreatePen(PS_SOLID, i % 2 ? 1 : 3, RGB(i * 20, 0, 255 - i * 20)));
        MoveToEx(dc, 20, 20, nullptr);
        LineTo(dc, end.x, end.y);
    }
    ExpectMatchesGolden(canvas.Pixels(), "lines_in_all_directions");
}

TEST(GoldenPictures, KeyLabels) {
    Canvas canvas(110, 54, GetSysColor(COLOR_BTNFACE));
    HDC dc = canvas.Dc();
    SetBkMode(dc, TRANSPARENT);
    const RECT keys[] = {{2, 2, 32, 20}, {34, 2, 64, 20}, {66, 2, 108, 20}};
    const WCHAR *labels[] = {u"Tab", u"\u00c4\u00df", u"&Enter"};
    {
        Selected font(dc, CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                      u"Tahoma"));
        for (int i = 0; i < 3; ++i) {
            Rectangle(dc, keys[i].left, keys[i].top, keys[i].right, keys[i].bottom);
            RECT label = keys[i];
            DrawTextW(dc, labels[i], -1, &label, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
    Selected bold(
        dc, CreateFontW(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Tahoma"));
    SetTextColor(dc, RGB(0, 0, 128));
    RECT lines{2, 22, 108, 54};
    DrawTextW(dc, u"Shift\nCaps", -1, &lines, DT_RIGHT | DT_NOPREFIX);
    ExpectMatchesGolden(canvas.Pixels(), "key_labels");
}

TEST(GoldenPictures, OpaqueAndClippedText) {
    Canvas canvas(64, 32);
    HDC dc = canvas.Dc();
    Selected font(dc, CreateFontW(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                  u"MS Sans Serif"));
    SetBkColor(dc, RGB(255, 255, 0));
    SetTextColor(dc, RGB(128, 0, 0));
    ExtTextOutW(dc, 2, 0, 0, nullptr, u"Opaque", 6, nullptr);
    SetBkColor(dc, RGB(0, 128, 255));
    SetTextColor(dc, RGB(255, 255, 255));
    const RECT clip{8, 18, 40, 30};
    ExtTextOutW(dc, 4, 16, ETO_OPAQUE | ETO_CLIPPED, &clip, u"Clipped", 7, nullptr);
    ExpectMatchesGolden(canvas.Pixels(), "opaque_and_clipped_text");
}

} // namespace
