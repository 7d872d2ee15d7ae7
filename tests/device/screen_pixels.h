// Reading what the device's screen shows, for tests of drawing.
#ifndef TESTS_DEVICE_SCREEN_PIXELS_H
#define TESTS_DEVICE_SCREEN_PIXELS_H

#include <algorithm>

#include <windows.h>

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

#endif
