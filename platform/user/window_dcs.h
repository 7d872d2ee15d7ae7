// Device contexts of windows and of the whole screen: they draw straight onto the framebuffer,
// each only on the pixels its window shows.
#ifndef PLATFORM_USER_WINDOW_DCS_H
#define PLATFORM_USER_WINDOW_DCS_H

#include <windows.h>

// A DC on the window's client area, or on the whole window with its frame.
HDC CreateWindowDc(HWND window, bool wholeWindow);
// Drawing through the DC stays within that rectangle of the client area, as while painting.
void LimitWindowDc(HDC dc, const RECT &client);
// WM_ERASEBKGND and WM_PAINT as the default window procedure answers them.
LRESULT DefaultPaintMessage(HWND window, UINT message, WPARAM wParam);

#endif
