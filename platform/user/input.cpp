// The stylus reaches the window under it, or the one holding the capture; keys reach the focus
// window of the program in front. TranslateMessage makes characters from keys as a US keyboard
// does, with Shift and Caps Lock.
#include "user/input.h"
#include "user/scroll_bars.h"
#include "user/window_state.h"

#include <cstring>

#include "kernel/scheduler.h"
#include "user/user_thread.h"

namespace {

// The deepest visible window at a screen point, front first.
Window *WindowAt(const std::vector<Window *> &windows, POINT point, POINT origin) {
    for (Window *window : windows) {
        // A disabled control's taps go to its parent, as Windows does.
        if ((window->style & WS_VISIBLE) == 0 ||
            (window->parent != nullptr && (window->style & WS_DISABLED) != 0)) {
            continue;
        }
        RECT rect = window->rect;
        OffsetRect(&rect, origin.x, origin.y);
        if (!PtInRect(&rect, point)) {
            continue;
        }
        Window *inner = WindowAt(window->children, point, ClientOrigin(window));
        return inner != nullptr ? inner : window;
    }
    return nullptr;
}

void PostToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageW(window, message, wParam, lParam);
}

void PostStylus(UINT message, int x, int y) {
    HWND target = Input().inputCapture;
    const bool captured = target != nullptr;
    if (target == nullptr) {
        target = WindowFromPoint({x, y});
    }
    if (target == nullptr || !IsWindowEnabled(target)) {
        return;
    }
    if (message == WM_LBUTTONDOWN && !captured) {
        // A tap brings its window to the front, unless it never takes activation; a window
        // holding the stylus gets it as it is, as a drop-down list does.
        HWND topLevel = target;
        for (HWND parent = GetParent(topLevel);
             parent != nullptr && (GetWindowLongW(topLevel, GWL_STYLE) & WS_CHILD) != 0;
             parent = GetParent(topLevel)) {
            topLevel = parent;
        }
        if ((GetWindowLongW(topLevel, GWL_EXSTYLE) & WS_EX_NOACTIVATE) == 0 &&
            GetForegroundWindow() != topLevel) {
            SetForegroundWindow(topLevel);
        }
    }
    if (message == WM_LBUTTONDOWN && !captured &&
        InVerticalScrollBar(FindWindowObject(target), {x, y})) {
        // The window's scroll bar: the default window procedure follows the stylus from there.
        PostToWindow(target, WM_NCLBUTTONDOWN, HTVSCROLL,
                     MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
        return;
    }
    POINT point = {x, y};
    ScreenToClient(target, &point);
    PostToWindow(target, message, Input().stylusDown ? MK_LBUTTON : 0,
                 MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
}

} // namespace

// The character a key gives on a US keyboard in that state, or 0. With Control, a letter or a
// bracket gives its control character and the other printing keys give none, as on Windows.
WCHAR CharacterOf(UINT key, bool shift, bool capsLocked, bool control) {
    if (key >= 'A' && key <= 'Z') {
        if (control) {
            return static_cast<WCHAR>(key - 'A' + 1);
        }
        return static_cast<WCHAR>(shift != capsLocked ? key : key - 'A' + 'a');
    }
    if (control && ((key >= '0' && key <= '9') || (key >= 0xBA && key <= 0xDE))) {
        return key == 0xDB ? 0x1B : key == 0xDC ? 0x1C : key == 0xDD ? 0x1D : 0;
    }
    if (key >= '0' && key <= '9') {
        return static_cast<WCHAR>(shift ? ")!@#$%^&*("[key - '0'] : key);
    }
    struct Punctuation {
        UINT key;
        char plain, shifted;
    };
    static const Punctuation punctuation[] = {
        {0xBA, ';', ':'},  {0xBB, '=', '+'}, {0xBC, ',', '<'},  {0xBD, '-', '_'},
        {0xBE, '.', '>'},  {0xBF, '/', '?'}, {0xC0, '`', '~'},  {0xDB, '[', '{'},
        {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'},
    };
    for (const Punctuation &entry : punctuation) {
        if (entry.key == key) {
            return static_cast<WCHAR>(shift ? entry.shifted : entry.plain);
        }
    }
    switch (key) {
    case VK_SPACE:
        return ' ';
    case VK_RETURN:
        return '\r';
    case VK_BACK:
        return '\b';
    case VK_TAB:
        return '\t';
    case VK_ESCAPE:
        return 0x1B;
    }
    return 0;
}

bool KeyForCharacter(char16_t character, BYTE &key, bool &shift) {
    // A line break is typed with Return.
    const WCHAR wanted = character == u'\n' ? u'\r' : character;
    for (int withShift = 0; withShift < 2; ++withShift) {
        for (UINT candidate = 1; candidate < 255; ++candidate) {
            if (CharacterOf(candidate, withShift != 0, false, false) == wanted) {
                key = static_cast<BYTE>(candidate);
                shift = withShift != 0;
                return true;
            }
        }
    }
    return false;
}

extern "C" SHORT WINAPI VkKeyScanW(WCHAR character) {
    BYTE key = 0;
    bool shift = false;
    if (!KeyForCharacter(character, key, shift)) {
        return -1;
    }
    return static_cast<SHORT>(key | (shift ? 0x100 : 0));
}

extern "C" HWND WINAPI WindowFromPoint(POINT point) {
    std::vector<Window *> topLevel;
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        topLevel.push_back(FindWindowObject(window));
    }
    Window *found = WindowAt(topLevel, point, {0, 0});
    return found != nullptr ? found->handle : nullptr;
}

void StylusDown(int x, int y) {
    Input().stylusDown = true;
    Input().keysDown[VK_LBUTTON] = true;
    PostStylus(WM_LBUTTONDOWN, x, y);
}

void StylusMove(int x, int y) {
    PostStylus(WM_MOUSEMOVE, x, y);
}

void StylusUp(int x, int y) {
    Input().stylusDown = false;
    Input().keysDown[VK_LBUTTON] = false;
    PostStylus(WM_LBUTTONUP, x, y);
}

extern "C" void WINAPI keybd_event(BYTE key, BYTE, DWORD flags, ULONG_PTR) {
    bool up = (flags & KEYEVENTF_KEYUP) != 0;
    bool wasDown = Input().keysDown[key];
    Input().keysDown[key] = !up;
    if (key == VK_CAPITAL && !up && !wasDown) {
        Input().capsLock = !Input().capsLock;
    }
    // Keys go to the focus window of the program in front, or to the front window itself.
    HWND front = GetForegroundWindow();
    Window *frontWindow = FindWindowObject(front);
    Program *program = frontWindow != nullptr ? FindProgram(frontWindow->program) : nullptr;
    HWND target =
        program != nullptr && UserInfo(program).focus != nullptr ? UserInfo(program).focus : front;
    if (target == nullptr) {
        return;
    }
    // With Alt held, and without Control (which makes Alt part of a character), a key is a
    // system key, as is Alt itself.
    const bool alt = key == VK_MENU || Input().keysDown[VK_MENU];
    const bool system = alt && !Input().keysDown[VK_CONTROL];
    LPARAM state = 1 | (up ? (3L << 30) : (wasDown ? (1L << 30) : 0)) | (alt ? (1L << 29) : 0);
    const UINT message = system ? (up ? WM_SYSKEYUP : WM_SYSKEYDOWN) : (up ? WM_KEYUP : WM_KEYDOWN);
    PostToWindow(target, message, key, state);
}

extern "C" SHORT WINAPI GetKeyState(int key) {
    if (key < 0 || key > 255) {
        return 0;
    }
    SHORT state = Input().keysDown[key] ? static_cast<SHORT>(0x8000) : 0;
    if (key == VK_CAPITAL && Input().capsLock) {
        state |= 1;
    }
    return state;
}

extern "C" SHORT WINAPI GetAsyncKeyState(int key) {
    return GetKeyState(key);
}

// Windows' default: two taps this close make a double tap.
extern "C" UINT WINAPI GetDoubleClickTime(void) {
    return 500;
}

// The character goes in front of the queue, so it is the next message the program reads.
extern "C" BOOL WINAPI TranslateMessage(const MSG *message) {
    if (message == nullptr ||
        (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN)) {
        return FALSE;
    }
    WCHAR character = CharacterOf(static_cast<UINT>(message->wParam), Input().keysDown[VK_SHIFT],
                                  Input().capsLock, Input().keysDown[VK_CONTROL]);
    Program *program = CurrentProgram();
    if (character == 0 || program == nullptr) {
        return FALSE;
    }
    MSG translated = *message;
    translated.message = message->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    translated.wParam = character;
    UserInfo(program).queue.push_front(translated);
    return TRUE;
}
