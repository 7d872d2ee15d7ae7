// The window functions of ANSI programs: classes and windows named in ANSI, procedures that take
// ANSI text, and window texts read and written in ANSI.
#include "user/message_conversion.h"
#include "user/window_state.h"

#include "kernel/code_pages.h"

#include <cstring>
#include <string>

namespace {

// A resource-style name: an atom stays an atom.
bool IsAtom(LPCSTR name) {
    return reinterpret_cast<uintptr_t>(name) <= 0xFFFF;
}

std::u16string WideName(LPCSTR name) {
    return name != nullptr && !IsAtom(name) ? WideFromAnsi(name) : std::u16string();
}

LPCWSTR WideNameOrAtom(LPCSTR name, const std::u16string &converted) {
    if (name == nullptr) {
        return nullptr;
    }
    return IsAtom(name) ? reinterpret_cast<LPCWSTR>(name) : converted.c_str();
}

int CopyOut(const std::string &text, LPSTR buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    const size_t count = std::min<size_t>(text.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = 0;
    return static_cast<int>(count);
}

ATOM RegisterAnsiClass(const WNDCLASSA &ansi) {
    if (ansi.lpszClassName == nullptr || IsAtom(ansi.lpszClassName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::u16string name = WideFromAnsi(ansi.lpszClassName);
    WNDCLASSW wide;
    std::memcpy(&wide, &ansi, sizeof wide);
    wide.lpszClassName = name.c_str();
    wide.lpszMenuName = nullptr; // no menus on these machines
    const ATOM atom = RegisterClassW(&wide);
    if (atom != 0) {
        MarkClassAnsi(name);
    }
    return atom;
}

} // namespace

extern "C" ATOM WINAPI RegisterClassA(const WNDCLASSA *windowClass) {
    if (windowClass == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return RegisterAnsiClass(*windowClass);
}

extern "C" ATOM WINAPI RegisterClassExA(const WNDCLASSEXA *windowClass) {
    if (windowClass == nullptr || windowClass->cbSize != sizeof(WNDCLASSEXA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSA plain;
    plain.style = windowClass->style;
    plain.lpfnWndProc = windowClass->lpfnWndProc;
    plain.cbClsExtra = windowClass->cbClsExtra;
    plain.cbWndExtra = windowClass->cbWndExtra;
    plain.hInstance = windowClass->hInstance;
    plain.hIcon = windowClass->hIcon;
    plain.hCursor = windowClass->hCursor;
    plain.hbrBackground = windowClass->hbrBackground;
    plain.lpszMenuName = windowClass->lpszMenuName;
    plain.lpszClassName = windowClass->lpszClassName;
    return RegisterAnsiClass(plain);
}

extern "C" HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName,
                                       DWORD style, int x, int y, int width, int height,
                                       HWND parent, HANDLE menu, HINSTANCE instance,
                                       LPVOID parameter) {
    const std::u16string wideClass = WideName(className);
    const std::u16string wideName = windowName != nullptr ? WideFromAnsi(windowName) : u"";
    return CreateWindowExW(exStyle, WideNameOrAtom(className, wideClass),
                           windowName != nullptr ? wideName.c_str() : nullptr, style, x, y, width,
                           height, parent, menu, instance, parameter);
}

extern "C" LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index) {
    return GetWindowLongPtrW(window, index);
}

extern "C" LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    const LONG_PTR previous = SetWindowLongPtrW(window, index, value);
    if (index == GWL_WNDPROC) {
        if (Window *found = FindWindowObject(window)) {
            found->ansiProc = true;
            NoteProcedureForm(found->proc, true);
        }
    }
    return previous;
}

extern "C" LONG WINAPI GetWindowLongA(HWND window, int index) {
    return GetWindowLongW(window, index);
}

extern "C" LONG WINAPI SetWindowLongA(HWND window, int index, LONG value) {
    return static_cast<LONG>(index == GWL_WNDPROC ? SetWindowLongPtrA(window, index, value)
                                                  : SetWindowLongW(window, index, value));
}

extern "C" BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    if (FindWindowObject(window) == nullptr) {
        return FALSE;
    }
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

// As the W call: a program's own window answers WM_GETTEXT, another program's is read directly.
extern "C" int WINAPI GetWindowTextA(HWND handle, LPSTR text, int size) {
    Window *window = FindWindowObject(handle);
    if (window == nullptr || text == nullptr || size <= 0) {
        return 0;
    }
    if (window->program == GetCurrentThreadId()) {
        return static_cast<int>(SendMessageA(handle, WM_GETTEXT, static_cast<WPARAM>(size),
                                             reinterpret_cast<LPARAM>(text)));
    }
    return CopyOut(AnsiFromWide(window->text), text, size);
}

extern "C" int WINAPI GetClassNameA(HWND handle, LPSTR name, int size) {
    Window *window = FindWindowObject(handle);
    if (window == nullptr || window->windowClass == nullptr) {
        return 0;
    }
    return CopyOut(AnsiFromWide(window->windowClass->name), name, size);
}

extern "C" HWND WINAPI FindWindowA(LPCSTR className, LPCSTR windowName) {
    const std::u16string wideClass = WideName(className);
    const std::u16string wideName = windowName != nullptr ? WideFromAnsi(windowName) : u"";
    return FindWindowW(WideNameOrAtom(className, wideClass),
                       windowName != nullptr ? wideName.c_str() : nullptr);
}

extern "C" HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (!IsAtom(name)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return LoadCursorW(instance, reinterpret_cast<LPCWSTR>(name));
}
