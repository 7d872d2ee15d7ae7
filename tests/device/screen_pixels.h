// Reading what the device's screen shows, for tests of drawing.
#ifndef TESTS_DEVICE_SCREEN_PIXELS_H
#define TESTS_DEVICE_SCREEN_PIXELS_H

#include <algorithm>

#include <windows.h>

#include "engine/surface.h"
#include "user/screen.h"

inline COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return color;
}

// How many pixels of the screen rectangle have the colour.
inline int CountPixels(const RECT &rect, COLORREF color) {
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            count += ScreenPixel(x, y) == color;
        }
    }
    return count;
}

// The smallest screen rectangle holding every pixel of the colour inside rect; empty if none.
inline RECT InkBox(const RECT &rect, COLORREF color) {
    RECT box = {rect.right, rect.bottom, rect.left, rect.top};
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            if (ScreenPixel(x, y) == color) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        }
    }
    return box;
}

// What the screen shows inside a window, frame included, for golden pictures of one control.
inline Surface WindowPicture(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    const Surface &screen = *ScreenSurface();
    Surface picture(std::max<int>(rect.right - rect.left, 1),
                    std::max<int>(rect.bottom - rect.top, 1));
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int sx = rect.left + x;
            const int sy = rect.top + y;
            if (sx >= 0 && sy >= 0 && sx < screen.width && sy < screen.height) {
                picture.At(x, y) = screen.At(sx, sy);
            }
        }
    }
    return picture;
}

#endif
