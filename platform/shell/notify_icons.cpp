// Notification icons: what programs put on the task bar, right-aligned, newest leftmost.
#include "shell/shell.h"

#include <shellapi.h>

#include "kernel/machine.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

struct NotifyIcon {
    HWND window;
    UINT id;
    UINT callbackMessage;
    HICON icon;
};

const int iconSize = 16;
const int iconSpacing = 20;
const int iconsRightMargin = 4;

// The machine's task bar icons, and the bar that shows them.
struct NotifyIcons : MachinePart {
    std::vector<NotifyIcon> icons;
    HWND iconBar = nullptr;
};

NotifyIcons &Shown() {
    return MachineState<NotifyIcons>();
}

std::vector<NotifyIcon>::iterator FindIcon(HWND window, UINT id) {
    return std::find_if(Shown().icons.begin(), Shown().icons.end(), [&](const NotifyIcon &icon) {
        return icon.window == window && icon.id == id;
    });
}

void Take(NotifyIcon &icon, const NOTIFYICONDATAW &data) {
    if (data.uFlags & NIF_MESSAGE) {
        icon.callbackMessage = data.uCallbackMessage;
    }
    if (data.uFlags & NIF_ICON) {
        icon.icon = data.hIcon;
    }
}

RECT IconRect(const RECT &taskBar, size_t index) {
    const int right = taskBar.right - iconsRightMargin - static_cast<int>(index) * iconSpacing;
    const int top = taskBar.top + (taskBar.bottom - taskBar.top - iconSize) / 2;
    return RECT{right - iconSize, top, right, top + iconSize};
}

} // namespace

extern "C" BOOL WINAPI Shell_NotifyIconW(DWORD message, PNOTIFYICONDATAW data) {
    // Older callers pass a shorter record; what they pass must at least reach the icon.
    if (data == nullptr || data->cbSize < offsetof(NOTIFYICONDATAW, szTip) ||
        !IsWindow(data->hWnd)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto found = FindIcon(data->hWnd, data->uID);
    switch (message) {
    case NIM_ADD:
        if (found != Shown().icons.end()) {
            return FALSE;
        }
        Shown().icons.insert(Shown().icons.begin(), NotifyIcon{data->hWnd, data->uID, 0, nullptr});
        Take(Shown().icons.front(), *data);
        break;
    case NIM_MODIFY:
        if (found == Shown().icons.end()) {
            return FALSE;
        }
        Take(*found, *data);
        break;
    case NIM_DELETE:
        if (found == Shown().icons.end()) {
            return FALSE;
        }
        Shown().icons.erase(found);
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (Shown().iconBar != nullptr) {
        InvalidateRect(Shown().iconBar, nullptr, TRUE);
    }
    return TRUE;
}

void DrawNotifyIcons(HDC dc, const RECT &taskBar) {
    for (size_t i = 0; i < Shown().icons.size(); ++i) {
        if (Shown().icons[i].icon != nullptr) {
            const RECT place = IconRect(taskBar, i);
            DrawIconEx(dc, place.left, place.top, Shown().icons[i].icon, iconSize, iconSize, 0,
                       nullptr, DI_NORMAL);
        }
    }
}

bool TapNotifyIcon(const RECT &taskBar, POINT point, UINT mouseMessage) {
    for (size_t i = 0; i < Shown().icons.size(); ++i) {
        const RECT place = IconRect(taskBar, i);
        if (PtInRect(&place, point)) {
            const NotifyIcon &icon = Shown().icons[i];
            if (icon.callbackMessage != 0 && IsWindow(icon.window)) {
                PostMessageW(icon.window, icon.callbackMessage, icon.id, mouseMessage);
            }
            return true;
        }
    }
    return false;
}

void SetNotifyIconBar(HWND taskBar) {
    Shown().iconBar = taskBar;
}
