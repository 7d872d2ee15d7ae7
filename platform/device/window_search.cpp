// Walking and naming the device's windows for the automation interface.
#include "device/window_search.h"

#include "user/window_state.h"

void ForEachWindow(const std::function<bool(HWND, int)> &visit) {
    std::function<bool(HWND, int)> walk = [&](HWND window, int depth) {
        if (!visit(window, depth)) {
            return false;
        }
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (!walk(child, depth + 1)) {
                return false;
            }
        }
        return true;
    };
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (!walk(window, 0)) {
            return;
        }
    }
}

std::u16string ClassOfWindow(HWND window) {
    WCHAR name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::u16string TextOfWindow(HWND window) {
    Window *found = FindWindowObject(window);
    return found != nullptr ? found->text : std::u16string();
}

bool WindowHasName(HWND window, const WindowName &name) {
    if (name.isCaption) {
        return TextOfWindow(window) == name.text;
    }
    return _wcsicmp(ClassOfWindow(window).c_str(), name.text.c_str()) == 0;
}

HWND FindShownWindow(const WindowName &name) {
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (IsWindowVisible(window) && WindowHasName(window, name)) {
            return window;
        }
    }
    return nullptr;
}
