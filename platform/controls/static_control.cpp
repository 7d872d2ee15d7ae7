// The static control ("STATIC"): text aligned left, centred or right and wrapped between words,
// or an icon at its top left, on the static background colour unless its parent answers
// WM_CTLCOLORSTATIC with a brush of its own. Only with SS_NOTIFY does it answer the stylus.
#include "controls/control_classes.h"
#include "gdi/icons.h"
#include "user/window_state.h"

#include <windows.h>

#include <string>

namespace {

// The static's own values, kept in its window extra bytes.
constexpr int fontOffset = 0;
constexpr int iconOffset = static_cast<int>(sizeof(LONG_PTR));
// The icon the static loaded itself from its text; it is the static's to destroy when it goes,
// even after STM_SETICON replaced it, so that the handle STM_SETICON returned stays good.
constexpr int loadedIconOffset = static_cast<int>(2 * sizeof(LONG_PTR));
constexpr int extraBytes = static_cast<int>(3 * sizeof(LONG_PTR));

LONG TypeOf(HWND window) {
    return GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK;
}

HICON IconOf(HWND window) {
    return reinterpret_cast<HICON>(GetWindowLongPtrW(window, iconOffset));
}

// Shows icon, answering the one it replaces.
HICON SetIcon(HWND window, HICON icon) {
    const HICON previous = reinterpret_cast<HICON>(
        SetWindowLongPtrW(window, iconOffset, reinterpret_cast<LONG_PTR>(icon)));
    InvalidateRect(window, nullptr, TRUE);
    return previous;
}

void ForgetLoadedIcon(HWND window) {
    const HICON loaded = reinterpret_cast<HICON>(SetWindowLongPtrW(window, loadedIconOffset, 0));
    if (loaded != nullptr) {
        DestroyIcon(loaded);
    }
}

// The text of an icon static names an icon resource of the window's module ("#123" or a name).
void LoadIconFromText(HWND window, LPCWSTR name) {
    if (name == nullptr || name[0] == 0) {
        return;
    }
    const HINSTANCE instance =
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWL_HINSTANCE));
    const HICON icon = static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, 0));
    if (icon == nullptr) {
        return;
    }
    const HICON shown = IconOf(window);
    const HICON loaded = reinterpret_cast<HICON>(GetWindowLongPtrW(window, loadedIconOffset));
    SetIcon(window, icon);
    // An earlier icon loaded from the text goes, unless somebody was handed it by STM_SETICON.
    if (loaded != nullptr && loaded == shown) {
        DestroyIcon(loaded);
    }
    SetWindowLongPtrW(window, loadedIconOffset, reinterpret_cast<LONG_PTR>(icon));
}

std::u16string TextOf(HWND window) {
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

UINT TextFormat(LONG style) {
    UINT format = DT_WORDBREAK;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER:
        format |= DT_CENTER;
        break;
    case SS_RIGHT:
        format |= DT_RIGHT;
        break;
    }
    if ((style & SS_NOPREFIX) != 0) {
        format |= DT_NOPREFIX;
    }
    return format;
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) {
        return;
    }
    RECT client;
    GetClientRect(window, &client);
    SetTextColor(dc, GetSysColor(COLOR_STATICTEXT));
    SetBkColor(dc, GetSysColor(COLOR_STATIC));
    // The parent may set the DC's colours and answer a brush for the background.
    HBRUSH background = nullptr;
    if (HWND parent = GetParent(window)) {
        background = reinterpret_cast<HBRUSH>(SendMessageW(parent, WM_CTLCOLORSTATIC,
                                                           reinterpret_cast<WPARAM>(dc),
                                                           reinterpret_cast<LPARAM>(window)));
    }
    FillRect(dc, &client, background != nullptr ? background : GetSysColorBrush(COLOR_STATIC));

    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
        if (HICON icon = IconOf(window)) {
            DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
        }
    } else {
        if (!IsWindowEnabled(window)) {
            SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        }
        const HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrW(window, fontOffset));
        HGDIOBJ previousFont =
            SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
        const std::u16string text = TextOf(window);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, TextFormat(style));
        if (previousFont != nullptr) {
            SelectObject(dc, previousFont);
        }
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (TypeOf(window) == SS_ICON) {
            LoadIconFromText(window, reinterpret_cast<const CREATESTRUCTW *>(lParam)->lpszName);
        }
        return 0;
    case WM_DESTROY:
        ForgetLoadedIcon(window);
        return 0;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers every pixel, in the colour the parent chooses
    case WM_LBUTTONDOWN:
        if ((GetWindowLongW(window, GWL_STYLE) & SS_NOTIFY) != 0) {
            if (HWND parent = GetParent(window)) {
                const WORD id = static_cast<WORD>(GetWindowLongW(window, GWL_ID));
                SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED),
                             reinterpret_cast<LPARAM>(window));
            }
        }
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        if (TypeOf(window) == SS_ICON) {
            LoadIconFromText(window, reinterpret_cast<LPCWSTR>(lParam));
        }
        InvalidateRect(window, nullptr, TRUE);
        return result;
    }
    case STM_SETICON: {
        const HICON icon = reinterpret_cast<HICON>(wParam);
        if (icon != nullptr && !FindIcon(icon)) {
            return 0;
        }
        return reinterpret_cast<LRESULT>(SetIcon(window, icon));
    }
    case STM_GETICON:
        return reinterpret_cast<LRESULT>(IconOf(window));
    case WM_SETFONT:
        SetWindowLongPtrW(window, fontOffset, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam) != 0) {
            InvalidateRect(window, nullptr, TRUE);
        }
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrW(window, fontOffset);
    case WM_ENABLE:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void RegisterStaticClass() {
    WNDCLASSW description = {};
    description.lpfnWndProc = StaticProc;
    description.cbWndExtra = extraBytes;
    description.lpszClassName = u"STATIC";
    RegisterSystemClass(description);
}
