// Programs for checking the keyboard by script: each shows in its window text what reached it,
// and the script command text reads it.
#include "shell/shell.h"

#include <string>

namespace {

// The log keeps its last lines: a long session must not grow a window's text without bound.
const size_t logLimit = 4000;

void Note(HWND window, const std::u16string &line) {
    const int length = GetWindowTextLengthW(window);
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    text += (text.empty() ? u"" : u"\n") + line;
    if (text.size() > logLimit) {
        const size_t cut = text.find(u'\n', text.size() - logLimit);
        text = cut == std::u16string::npos ? u"" : text.substr(cut + 1);
    }
    SetWindowTextW(window, text.c_str());
}

std::u16string Number(WPARAM value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

// The modifiers held as a key or character arrives.
std::u16string Modifiers() {
    std::u16string held;
    held += (GetKeyState(VK_SHIFT) & 0x8000) != 0 ? u" shift" : u"";
    held += (GetKeyState(VK_CONTROL) & 0x8000) != 0 ? u" ctrl" : u"";
    held += (GetKeyState(VK_MENU) & 0x8000) != 0 ? u" alt" : u"";
    return held;
}

LRESULT CALLBACK KeyViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const char16_t *kind = message == WM_KEYDOWN      ? u"down"
                           : message == WM_KEYUP      ? u"up"
                           : message == WM_CHAR       ? u"char"
                           : message == WM_SYSKEYDOWN ? u"sysdown"
                           : message == WM_SYSKEYUP   ? u"sysup"
                           : message == WM_SYSCHAR    ? u"syschar"
                                                      : nullptr;
    if (kind != nullptr) {
        Note(window, kind + (u" " + Number(wParam)) + Modifiers());
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Notes the commands a window is given, by their names where the keyboard sends them.
LRESULT CALLBACK CommandNotingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        const WORD id = LOWORD(wParam);
        Note(window, id == IDOK       ? u"IDOK"
                     : id == IDCANCEL ? u"IDCANCEL"
                                      : u"command " + Number(id));
        return 0;
    }
    if (message == WM_CLOSE) {
        Note(window, u"close");
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK SilentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFOCUS) {
        SetFocus(nullptr); // it never keeps a focus window to name
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Register(HINSTANCE instance, const char16_t *name, WNDPROC procedure) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = name;
    RegisterClassW(&windowClass);
}

int RunMessages() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

RECT WorkArea() {
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    screen.bottom -= taskBarHeight;
    return screen;
}

} // namespace

int WINAPI KeyViewMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    Register(instance, u"KeyView", KeyViewProc);
    const RECT area = WorkArea();
    HWND window = CreateWindowExW(0, u"KeyView", u"", WS_VISIBLE | WS_SYSMENU, 0, 0, area.right,
                                  area.bottom / 2, nullptr, nullptr, instance, nullptr);
    SetFocus(window);
    return RunMessages();
}

int WINAPI OkWindowMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    Register(instance, u"OkWindow", CommandNotingProc);
    const RECT area = WorkArea();
    HWND window =
        CreateWindowExW(WS_EX_CAPTIONOKBTN, u"OkWindow", u"", WS_VISIBLE | WS_CAPTION, 0, 0,
                        area.right, area.bottom / 2, nullptr, nullptr, instance, nullptr);
    SetFocus(window);
    return RunMessages();
}

int WINAPI OwnedWindowMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    Register(instance, u"OwnerWindow", CommandNotingProc);
    Register(instance, u"OwnedWindow", CommandNotingProc);
    const RECT area = WorkArea();
    HWND owner = CreateWindowExW(0, u"OwnerWindow", u"", WS_VISIBLE, 0, 0, area.right, area.bottom,
                                 nullptr, nullptr, instance, nullptr);
    HWND owned =
        CreateWindowExW(0, u"OwnedWindow", u"", WS_VISIBLE | WS_POPUP | WS_CAPTION, 20, 40,
                        area.right - 40, area.bottom / 3, owner, nullptr, instance, nullptr);
    SetFocus(owned);
    return RunMessages();
}

int WINAPI SilentMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    Register(instance, u"SilentWindow", SilentProc);
    const RECT area = WorkArea();
    CreateWindowExW(0, u"SilentWindow", u"Silent", WS_VISIBLE, 0, 0, area.right, area.bottom / 2,
                    nullptr, nullptr, instance, nullptr);
    return RunMessages();
}
