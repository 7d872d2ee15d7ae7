// The push button ("BUTTON") in the plain Windows CE look: a black frame, two pixels thick for
// the default push button, around a face in the button colour with the text centred. While the
// stylus holds it down the inside of the frame is drawn inverted. Other button types draw as a
// push button.
#include "controls/control_classes.h"
#include "user/window_state.h"

#include <windows.h>

#include <string>

namespace {

// The button's own values, kept in its window extra bytes.
constexpr int fontOffset = 0;
constexpr int stateOffset = static_cast<int>(sizeof(LONG_PTR));
constexpr int extraBytes = static_cast<int>(2 * sizeof(LONG_PTR));

// Beside BST_PUSHED in the state: the stylus went down on the button and has not been lifted.
constexpr LONG_PTR tracking = 0x10000;

LONG_PTR StateOf(HWND window) {
    return GetWindowLongPtrW(window, stateOffset);
}

void SetState(HWND window, LONG_PTR state) {
    SetWindowLongPtrW(window, stateOffset, state);
}

bool IsDefault(HWND window) {
    return (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

bool IsPushButton(HWND window) {
    const LONG type = GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// Shows the button pushed or not, painting it again only when that changes.
void ShowPushed(HWND window, bool pushed) {
    const LONG_PTR state = StateOf(window);
    if (((state & BST_PUSHED) != 0) == pushed) {
        return;
    }
    SetState(window, pushed ? state | BST_PUSHED : state & ~LONG_PTR(BST_PUSHED));
    InvalidateRect(window, nullptr, FALSE);
}

bool Inside(HWND window, LPARAM point) {
    const POINT at = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    RECT client;
    return GetClientRect(window, &client) && PtInRect(&client, at);
}

// The stylus is no longer the button's: it shows released and lets the capture go.
void StopTracking(HWND window) {
    const LONG_PTR state = StateOf(window);
    if ((state & tracking) == 0) {
        return;
    }
    SetState(window, state & ~tracking);
    ShowPushed(window, false);
    if (GetCapture() == window) {
        ReleaseCapture();
    }
}

std::u16string TextOf(HWND window) {
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc == nullptr) {
        return;
    }
    RECT face;
    GetClientRect(window, &face);
    FillRect(dc, &face, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const int frame = IsDefault(window) ? 2 : 1;
    InflateRect(&face, -frame, -frame);
    FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));

    const HFONT font = reinterpret_cast<HFONT>(GetWindowLongPtrW(window, fontOffset));
    HGDIOBJ previousFont = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(window) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    const std::u16string text = TextOf(window);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &face,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (previousFont != nullptr) {
        SelectObject(dc, previousFont);
    }
    if ((StateOf(window) & BST_PUSHED) != 0) {
        InvertRect(dc, &face);
    }
    EndPaint(window, &paint);
}

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers every pixel
    case WM_LBUTTONDOWN:
        // Input never reaches a disabled window; a sent message must not click it either.
        if (!IsWindowEnabled(window)) {
            return 0;
        }
        SetState(window, StateOf(window) | tracking);
        SetCapture(window);
        ShowPushed(window, true);
        return 0;
    case WM_MOUSEMOVE:
        if ((StateOf(window) & tracking) != 0) {
            ShowPushed(window, Inside(window, lParam));
        }
        return 0;
    case WM_LBUTTONUP: {
        if ((StateOf(window) & tracking) == 0) {
            return 0;
        }
        const bool clicked = Inside(window, lParam) && (StateOf(window) & BST_PUSHED) != 0;
        StopTracking(window);
        HWND parent = GetParent(window);
        if (clicked && parent != nullptr) {
            // Sent, as Windows does: the parent may act, even destroy the button, before it ends.
            const WORD id = static_cast<WORD>(GetWindowLongW(window, GWL_ID));
            SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                         reinterpret_cast<LPARAM>(window));
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        // Somebody else took the stylus: the press is cancelled without a click.
        StopTracking(window);
        return 0;
    case BM_CLICK:
        if (IsWindowEnabled(window)) {
            SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            SendMessageW(window, WM_LBUTTONUP, 0, 0);
        }
        return 0;
    case BM_GETSTATE:
        return StateOf(window) & BST_PUSHED;
    case BM_SETSTATE:
        ShowPushed(window, wParam != 0);
        return 0;
    case BM_SETSTYLE: {
        const LONG style = GetWindowLongW(window, GWL_STYLE);
        SetWindowLongW(
            window, GWL_STYLE,
            static_cast<LONG>((static_cast<DWORD>(style) & 0xFFFF0000u) | LOWORD(wParam)));
        if (LOWORD(lParam) != 0) {
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    }
    case WM_GETDLGCODE:
        if (!IsPushButton(window)) {
            return DLGC_BUTTON;
        }
        return DLGC_BUTTON | (IsDefault(window) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case WM_SETFONT:
        SetWindowLongPtrW(window, fontOffset, static_cast<LONG_PTR>(wParam));
        if (LOWORD(lParam) != 0) {
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    case WM_GETFONT:
        return GetWindowLongPtrW(window, fontOffset);
    case WM_ENABLE:
        if (wParam == 0) {
            StopTracking(window);
        }
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        InvalidateRect(window, nullptr, FALSE);
        return result;
    }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void RegisterButtonClass() {
    WNDCLASSW description = {};
    description.lpfnWndProc = ButtonProc;
    description.cbWndExtra = extraBytes;
    description.lpszClassName = u"BUTTON";
    RegisterSystemClass(description);
}
