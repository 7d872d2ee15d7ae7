// Finding the device's windows from outside its programs: walking the tree in Z order and
// naming top-level windows by class or caption, as the automation interface does.
#ifndef PLATFORM_DEVICE_WINDOW_SEARCH_H
#define PLATFORM_DEVICE_WINDOW_SEARCH_H

#include <windows.h>

#include <functional>
#include <string>

// Every window, top-level ones in Z order each followed by its children, front first, with its
// depth below the top level. The walk stops when visit answers false.
void ForEachWindow(const std::function<bool(HWND window, int depth)> &visit);

std::u16string ClassOfWindow(HWND window);
std::u16string TextOfWindow(HWND window);

// A top-level window named by its class (without regard to case) or by its caption (exactly).
struct WindowName {
    std::u16string text;
    bool isCaption = false;
};

bool WindowHasName(HWND window, const WindowName &name);
// The front-most visible top-level window with that name, or null.
HWND FindShownWindow(const WindowName &name);

#endif
