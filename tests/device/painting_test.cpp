// Painting: what windows are told to paint and when, and where their drawing may land.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../platform/golden.h"
#include "kernel/scheduler.h"
#include "user/screen.h"
#include "user/window_state.h"
#include "rect_text.h"

namespace {

std::vector<std::string> received;
COLORREF paintColor = RGB(255, 0, 0);

std::string Name(HWND window) {
    WCHAR text[32] = {};
    GetWindowTextW(window, text, 32);
    return std::string(text, text + lstrlenW(text));
}

// Paints its whole client area in paintColor, recording what it was asked to paint.
LRESULT CALLBACK Painter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        received.push_back(Name(window) + " erase");
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        received.push_back(Name(window) + " paint " + Describe(paint.rcPaint));
        RECT client;
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(paintColor);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_TIMER:
        received.push_back(Name(window) + " timer");
        return 0;
    case WM_USER:
        received.push_back(Name(window) + " posted");
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF color = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return color;
}

class Painting : public testing::Test {
  protected:
    void SetUp() override {
        ResetDevice();
        received.clear();
        paintColor = RGB(255, 0, 0);
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = Painter;
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = u"Painter";
        ASSERT_NE(RegisterClassW(&windowClass), 0);
    }
    void TearDown() override {
        PowerOffMachine(CurrentMachine());
    }
    static HWND Make(const char16_t *name, int x, int y, int width, int height,
                     DWORD style = WS_VISIBLE, HWND parent = nullptr) {
        return CreateWindowExW(0, u"Painter", name, style, x, y, width, height, parent, nullptr,
                               nullptr, nullptr);
    }
    static void Invalidate(HWND window, RECT rect, BOOL erase) {
        InvalidateRect(window, &rect, erase);
    }
    static void Validate(HWND window, RECT rect) {
        ValidateRect(window, &rect);
    }
    static RECT Update(HWND window) {
        RECT rect;
        GetUpdateRect(window, &rect, FALSE);
        return rect;
    }
};

TEST_F(Painting, AShownWindowIsErasedAndPaintedWhole) {
    HWND a = Make(u"a", 10, 10, 100, 50);
    EXPECT_EQ(Describe(Update(a)), "0,0,100,50");
    UpdateWindow(a);
    EXPECT_EQ(received, (std::vector<std::string>{"a erase", "a paint 0,0,100,50"}));
    EXPECT_EQ(Describe(Update(a)), "0,0,0,0");
    EXPECT_EQ(ScreenPixel(10, 10), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(109, 59), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(110, 60), GetSysColor(COLOR_BACKGROUND));

    // Nothing to paint: UpdateWindow sends nothing.
    received.clear();
    UpdateWindow(a);
    EXPECT_TRUE(received.empty());
    // A hidden window is not painted however invalid it is.
    HWND hidden = Make(u"hidden", 0, 0, 10, 10, 0);
    InvalidateRect(hidden, nullptr, TRUE);
    UpdateWindow(hidden);
    EXPECT_TRUE(received.empty());
}

TEST_F(Painting, UpdateRegionsGrowAndShrinkAsRectangles) {
    HWND a = Make(u"a", 0, 0, 100, 100);
    ValidateRect(a, nullptr);
    Invalidate(a, {10, 10, 20, 20}, FALSE);
    Invalidate(a, {30, 5, 40, 15}, FALSE);
    EXPECT_EQ(Describe(Update(a)), "10,5,40,20");
    // Outside the client area nothing is added.
    Invalidate(a, {200, 200, 300, 300}, FALSE);
    EXPECT_EQ(Describe(Update(a)), "10,5,40,20");
    // A rectangle that takes a whole side shrinks it; one in the middle cannot.
    Validate(a, {0, 0, 100, 10});
    EXPECT_EQ(Describe(Update(a)), "10,10,40,20");
    Validate(a, {20, 12, 25, 15});
    EXPECT_EQ(Describe(Update(a)), "10,10,40,20");
    Validate(a, {0, 0, 100, 100});
    EXPECT_FALSE(GetUpdateRect(a, nullptr, FALSE));

    // Without the erase flag the background stays.
    Invalidate(a, {0, 0, 5, 5}, FALSE);
    UpdateWindow(a);
    EXPECT_EQ(received, (std::vector<std::string>{"a paint 0,0,5,5"}));
}

TEST_F(Painting, PaintingReachesOnlyTheUpdateRectangle) {
    HWND a = Make(u"a", 0, 0, 100, 100);
    UpdateWindow(a);
    paintColor = RGB(0, 0, 255);
    Invalidate(a, {10, 10, 20, 20}, FALSE);
    UpdateWindow(a);
    EXPECT_EQ(ScreenPixel(10, 10), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(19, 19), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(20, 20), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(9, 15), RGB(255, 0, 0));

    // GetUpdateRect may erase, only what is invalid, and leaves it invalid.
    received.clear();
    Invalidate(a, {30, 30, 40, 40}, TRUE);
    RECT update;
    EXPECT_TRUE(GetUpdateRect(a, &update, TRUE));
    EXPECT_EQ(Describe(update), "30,30,40,40");
    EXPECT_EQ(received, (std::vector<std::string>{"a erase"}));
    EXPECT_EQ(ScreenPixel(35, 35), RGB(255, 255, 255));
    EXPECT_EQ(ScreenPixel(45, 45), RGB(255, 0, 0));
    UpdateWindow(a);
    EXPECT_EQ(received, (std::vector<std::string>{"a erase", "a paint 30,30,40,40"}));
}

TEST_F(Painting, WindowsAboveAndChildrenClipDrawing) {
    HWND below = Make(u"below", 0, 0, 100, 100);
    HWND child = Make(u"child", 0, 0, 20, 20, WS_VISIBLE | WS_CHILD, below);
    HWND above = Make(u"above", 50, 50, 100, 100);
    ValidateRect(below, nullptr);
    ValidateRect(child, nullptr);
    ValidateRect(above, nullptr);

    HDC dc = GetDC(below);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    RECT all = {0, 0, 100, 100};
    FillRect(dc, &all, green);
    SetROP2(dc, R2_NOT);
    MoveToEx(dc, 0, 30, nullptr);
    LineTo(dc, 100, 30);
    ReleaseDC(below, dc);
    DeleteObject(green);
    EXPECT_EQ(ScreenPixel(30, 30), RGB(255, 0, 255)); // inverted once
    EXPECT_EQ(ScreenPixel(49, 49), RGB(0, 255, 0));
    EXPECT_EQ(ScreenPixel(50, 50), GetSysColor(COLOR_BACKGROUND)); // "above" shows there
    EXPECT_EQ(ScreenPixel(10, 10), GetSysColor(COLOR_BACKGROUND)); // the child's pixels
    EXPECT_EQ(ScreenPixel(25, 10), RGB(0, 255, 0));

    // The screen DC draws over everything.
    HDC screen = GetDC(nullptr);
    SetROP2(screen, R2_NOT);
    MoveToEx(screen, 0, 60, nullptr);
    LineTo(screen, 240, 60);
    EXPECT_EQ(GetPixel(screen, 70, 60), RGB(0xFF, 0xFF, 0xFF) ^ GetSysColor(COLOR_BACKGROUND));
    MoveToEx(screen, 0, 60, nullptr);
    LineTo(screen, 240, 60);
    EXPECT_EQ(GetPixel(screen, 70, 60), GetSysColor(COLOR_BACKGROUND));
    ReleaseDC(nullptr, screen);
}

TEST_F(Painting, HidingMovingAndRaisingExposeWhatWasCovered) {
    HWND below = Make(u"below", 0, 0, 100, 100);
    HWND above = Make(u"above", 50, 50, 100, 100);
    UpdateWindow(below);
    UpdateWindow(above);
    received.clear();

    ShowWindow(above, SW_HIDE);
    EXPECT_EQ(Describe(Update(below)), "50,50,100,100");
    UpdateWindow(below);
    EXPECT_EQ(received, (std::vector<std::string>{"below erase", "below paint 50,50,100,100"}));
    // The bare screen gets the desktop colour back.
    EXPECT_EQ(ScreenPixel(120, 120), GetSysColor(COLOR_BACKGROUND));

    ShowWindow(above, SW_SHOW);
    UpdateWindow(above);
    received.clear();
    // Moving paints the moved window again where it lands.
    MoveWindow(above, 60, 60, 100, 100, TRUE);
    EXPECT_EQ(Describe(Update(above)), "0,0,100,100");
    // The uncovered L-shaped strip, as its bounding rectangle.
    EXPECT_EQ(Describe(Update(below)), "50,50,100,100");
    EXPECT_EQ(ScreenPixel(155, 155), GetSysColor(COLOR_BACKGROUND));

    ValidateRect(above, nullptr);
    ValidateRect(below, nullptr);
    SetWindowPos(below, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(Describe(Update(below)), "60,60,100,100");
    EXPECT_EQ(Describe(Update(above)), "0,0,0,0");

    // A destroyed window exposes what it covered.
    ValidateRect(below, nullptr);
    DestroyWindow(below);
    EXPECT_EQ(Describe(Update(above)), "0,0,40,40");
}

TEST_F(Painting, FramesAreDrawnByTheSystem) {
    HWND framed = CreateWindowExW(0, u"Painter", u"Notes", WS_VISIBLE | WS_CAPTION | WS_BORDER, 0,
                                  0, 120, 100, nullptr, nullptr, nullptr, nullptr);
    UpdateWindow(framed);
    EXPECT_EQ(ScreenPixel(0, 0), RGB(0, 0, 0));    // border
    EXPECT_EQ(ScreenPixel(119, 99), RGB(0, 0, 0)); // border
    EXPECT_EQ(ScreenPixel(110, 3), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(ScreenPixel(5, 30), RGB(255, 0, 0)); // client, below the caption
    // The caption shows the text in the caption text colour somewhere near its start.
    int textPixels = 0;
    for (int y = 1; y < 25; ++y)
        for (int x = 1; x < 60; ++x)
            textPixels += ScreenPixel(x, y) == GetSysColor(COLOR_CAPTIONTEXT);
    EXPECT_GT(textPixels, 20);
}

// Paints a label, a thick inverting diagonal and, for "front", nothing but its background.
LRESULT CALLBACK ScenePainter(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT || Name(window) == "front")
        return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, u"Behind", 6, &client, DT_LEFT | DT_TOP | DT_SINGLELINE);
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(dc, pen);
    SetROP2(dc, R2_NOT);
    MoveToEx(dc, 0, client.bottom, nullptr);
    LineTo(dc, client.right, 0);
    SelectObject(dc, old);
    DeleteObject(pen);
    EndPaint(window, &paint);
    return 0;
}

TEST_F(Painting, OverlappingFramedWindowsOnASmallScreen) {
    SetUpScreen(120, 90);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = Painter;
    windowClass.lpszClassName = u"Painter";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    windowClass.lpfnWndProc = ScenePainter;
    windowClass.hbrBackground = CreateSolidBrush(RGB(255, 255, 192));
    windowClass.lpszClassName = u"Scene";
    ASSERT_NE(RegisterClassW(&windowClass), 0);
    const DWORD framed = WS_VISIBLE | WS_CAPTION | WS_BORDER;
    HWND back = CreateWindowExW(0, u"Scene", u"back", framed, 4, 4, 76, 56, nullptr, nullptr,
                                nullptr, nullptr);
    HWND front = CreateWindowExW(0x80000000, u"Scene", u"front", framed, 40, 30, 76, 56, nullptr,
                                 nullptr, nullptr, nullptr);
    HWND child = CreateWindowExW(0, u"Painter", u"child", WS_VISIBLE | WS_CHILD, 4, 4, 20, 12,
                                 front, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    for (HWND window : {back, front, child})
        UpdateWindow(window);
    ExpectMatchesGolden(*ScreenSurface(), "overlapping_windows");
    DeleteObject(windowClass.hbrBackground);
}

// A program with one window: WM_PAINT comes after posted messages and before timers.
int WINAPI PaintingProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    HWND window = CreateWindowExW(0, u"Painter", u"p", WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    SetTimer(window, 1, 10, nullptr);
    PostMessageW(window, WM_USER, 0, 0);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        if (message.message == WM_TIMER) {
            KillTimer(window, 1);
        }
        DispatchMessageW(&message);
    }
    return 0;
}

TEST_F(Painting, ProgramsPaintAfterPostedMessagesAndBeforeTimers) {
    RegisterBuiltInProgram(u"\\Windows\\painting.exe", PaintingProgram);
    PROCESS_INFORMATION information;
    ASSERT_TRUE(CreateProcessW(u"\\Windows\\painting.exe", nullptr, nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, nullptr, &information));
    RunUntilIdle();
    AdvanceDeviceTime(20);
    RunUntilIdle();
    EXPECT_EQ(received,
              (std::vector<std::string>{"p posted", "p erase", "p paint 0,0,50,50", "p timer"}));
}

// Leaves a window of its own class on the screen when it ends.
int WINAPI Leaver(HINSTANCE, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = u"Leaver";
    RegisterClassW(&windowClass);
    CreateWindowExW(0, u"Leaver", u"left", WS_VISIBLE, 0, 0, 60, 60, nullptr, nullptr, nullptr,
                    nullptr);
    MSG message;
    GetMessageW(&message, nullptr, 0, 0); // paints, once
    return 0;
}

TEST_F(Painting, AnEndedProgramsWindowsAndClassesGo) {
    HWND below = Make(u"below", 0, 0, 100, 100);
    UpdateWindow(below);
    RegisterBuiltInProgram(u"\\Windows\\leaver.exe", Leaver);
    PROCESS_INFORMATION information;
    ASSERT_TRUE(CreateProcessW(u"\\Windows\\leaver.exe", nullptr, nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, nullptr, &information));
    RunUntilIdle();
    EXPECT_EQ(FindWindowW(u"Leaver", nullptr), nullptr);
    EXPECT_EQ(CreateWindowExW(0, u"Leaver", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    // What it covered is painted again.
    EXPECT_EQ(Describe(Update(below)), "0,0,60,60");
}

} // namespace
