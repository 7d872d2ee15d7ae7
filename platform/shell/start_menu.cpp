// The Start menu: a pop-up over the task bar's left end that lists the shortcuts of the device's
// programs folder and starts the target of the one tapped. While open it is the window in front
// and holds the stylus, so that a tap anywhere else (the task bar and the desktop never take
// activation) closes it, and a program that comes forward closes it too.
#include "shell/shell.h"
#include "shell/shortcut_files.h"
#include "user/attached_state.h"

#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

const char16_t menuClass[] = u"StartMenu";
const char16_t emptyRow[] = u"(empty)";
const int textMargin = 6;
const int narrowest = 80;

struct Entry {
    std::u16string name;     // the shortcut's file name without ".lnk"
    std::u16string shortcut; // the shortcut file
};

struct StartMenu {
    std::vector<Entry> entries;
    HWND giveBackTo = nullptr; // the window in front before the menu came
    int hot = -1;              // the row under the stylus
    bool closing = false;      // tapped outside: it goes when the stylus lifts
    bool gone = false;
};

std::u16string ProgramsFolder() {
    WCHAR platform[16] = {};
    const bool handheld =
        SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof platform, platform, 0) &&
        lstrcmpiW(platform, u"HPC") == 0;
    return handheld ? u"\\Windows\\Programs" : u"\\Windows\\Start Menu\\Programs";
}

std::vector<Entry> ReadEntries() {
    const std::u16string folder = ProgramsFolder();
    std::vector<Entry> entries;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + u"\\*.lnk").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return entries;
    }
    do {
        const std::u16string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && name.size() > 4) {
            entries.push_back({name.substr(0, name.size() - 4), folder + u"\\" + name});
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        const int order = lstrcmpiW(a.name.c_str(), b.name.c_str());
        return order != 0 ? order < 0 : lstrcmpW(a.name.c_str(), b.name.c_str()) < 0;
    });
    return entries;
}

int RowCount(const StartMenu &menu) {
    return std::max(static_cast<int>(menu.entries.size()), 1);
}

RECT RowRect(HWND window, int row) {
    RECT client;
    GetClientRect(window, &client);
    const int top = 1 + row * startMenuRowHeight;
    return RECT{1, top, client.right - 1, top + startMenuRowHeight};
}

// The entry under a point of the menu, or -1.
int EntryAt(HWND window, const StartMenu &menu, POINT point) {
    for (int row = 0; row < static_cast<int>(menu.entries.size()); ++row) {
        const RECT rect = RowRect(window, row);
        if (PtInRect(&rect, point)) {
            return row;
        }
    }
    return -1;
}

void SetHot(HWND window, StartMenu &menu, int row) {
    if (menu.hot != row) {
        menu.hot = row;
        InvalidateRect(window, nullptr, TRUE);
    }
}

void Paint(HWND window, const StartMenu &menu) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) {
        return;
    }
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SetBkMode(dc, TRANSPARENT);
    for (int row = 0; row < RowCount(menu); ++row) {
        const bool hot = row == menu.hot;
        RECT rect = RowRect(window, row);
        FillRect(dc, &rect, GetSysColorBrush(hot ? COLOR_HIGHLIGHT : COLOR_MENU));
        const bool empty = menu.entries.empty();
        SetTextColor(dc, GetSysColor(empty ? COLOR_GRAYTEXT
                                     : hot ? COLOR_HIGHLIGHTTEXT
                                           : COLOR_MENUTEXT));
        const std::u16string &text = empty ? std::u16string(emptyRow) : menu.entries[row].name;
        rect.left += textMargin - 1;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

// Closes the menu; the window it came in front of comes back unless another took its place.
void Close(HWND window, bool giveBack) {
    const std::shared_ptr<StartMenu> menu = AttachedState<StartMenu>(window);
    if (menu == nullptr || menu->gone) {
        return;
    }
    menu->gone = true;
    const HWND previous = menu->giveBackTo;
    DestroyWindow(window);
    if (giveBack && previous != nullptr && IsWindow(previous) && IsWindowVisible(previous)) {
        SetForegroundWindow(previous);
    }
}

// A shortcut that cannot be read, or whose program does not start, does nothing.
void StartShortcut(const std::u16string &shortcut) {
    std::u16string target(shortcutFileLimit + 1, u'\0');
    if (!SHGetShortcutTarget(shortcut.c_str(), target.data(), static_cast<int>(target.size()))) {
        return;
    }
    target.resize(std::char_traits<char16_t>::length(target.c_str()));
    std::u16string path;
    std::u16string arguments;
    SplitShortcutTarget(target, path, arguments);
    PROCESS_INFORMATION information = {};
    if (!path.empty() && CreateProcessW(path.c_str(), arguments.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, nullptr, &information)) {
        CloseHandle(information.hProcess);
        CloseHandle(information.hThread);
    }
}

POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

LRESULT CALLBACK StartMenuProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        AttachState(window, *static_cast<std::shared_ptr<StartMenu> *>(creation->lpCreateParams));
        return 0;
    }
    // Held while the message is handled: the menu may close meanwhile.
    const std::shared_ptr<StartMenu> menu = AttachedState<StartMenu>(window);
    if (menu == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // the painting covers every pixel
    case WM_PAINT:
        Paint(window, *menu);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            Close(window, false);
        }
        return 0;
    case WM_CAPTURECHANGED:
        Close(window, true);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            Close(window, true);
        }
        return 0;
    case WM_LBUTTONDOWN: {
        const POINT point = PointOf(lParam);
        RECT client;
        GetClientRect(window, &client);
        if (!PtInRect(&client, point)) {
            // The lift still comes here, so that it reaches nothing underneath.
            menu->closing = true;
            ShowWindow(window, SW_HIDE);
            return 0;
        }
        SetHot(window, *menu, EntryAt(window, *menu, point));
        return 0;
    }
    case WM_MOUSEMOVE:
        // The stylus that opened the menu may slide onto an entry and lift there.
        if (!menu->closing && (wParam & MK_LBUTTON) != 0) {
            SetHot(window, *menu, EntryAt(window, *menu, PointOf(lParam)));
        }
        return 0;
    case WM_LBUTTONUP: {
        if (menu->closing) {
            Close(window, true);
            return 0;
        }
        const int entry = EntryAt(window, *menu, PointOf(lParam));
        if (entry < 0) {
            SetHot(window, *menu, -1);
            return 0;
        }
        const std::u16string shortcut = menu->entries[static_cast<size_t>(entry)].shortcut;
        Close(window, true);
        StartShortcut(shortcut);
        return 0;
    }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Entries are kept to the rows that fit above the task bar, each name to the screen's width.
void Open(HWND taskBar) {
    auto menu = std::make_shared<StartMenu>();
    menu->entries = ReadEntries();
    RECT bar;
    GetWindowRect(taskBar, &bar);
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    const int fitting = std::max((bar.top - 2) / startMenuRowHeight, 1);
    if (static_cast<int>(menu->entries.size()) > fitting) {
        menu->entries.resize(static_cast<size_t>(fitting));
    }
    std::u16string text;
    int width = narrowest;
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    for (const Entry &entry : menu->entries) {
        SIZE size = {};
        GetTextExtentPoint32W(dc, entry.name.c_str(), static_cast<int>(entry.name.size()), &size);
        width = std::max(width, static_cast<int>(size.cx) + 2 * textMargin);
        text += (text.empty() ? u"" : u"\r\n") + entry.name;
    }
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    width = std::min(width, static_cast<int>(screen.right - screen.left));
    const int height = RowCount(*menu) * startMenuRowHeight + 2;

    menu->giveBackTo = GetForegroundWindow();
    // What the menu shows is its text, so that it can be read from outside.
    HWND window = CreateWindowExW(
        WS_EX_TOPMOST | WS_EX_TOOLWINDOW, menuClass, text.empty() ? emptyRow : text.c_str(),
        WS_POPUP | WS_VISIBLE, bar.left, bar.top - height, width, height, taskBar, nullptr,
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(taskBar, GWL_HINSTANCE)), &menu);
    if (window == nullptr) {
        return;
    }
    SetForegroundWindow(window);
    SetCapture(window);
}

} // namespace

void RegisterStartMenu() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = StartMenuProc;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_MENU);
    windowClass.lpszClassName = menuClass;
    RegisterClassW(&windowClass);
}

void ToggleStartMenu(HWND taskBar) {
    if (HWND open = FindWindowW(menuClass, nullptr)) {
        Close(open, true);
        return;
    }
    Open(taskBar);
}
