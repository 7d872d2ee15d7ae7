// The "Dialog" class: DefDlgProc, which calls the program's dialog procedure first and answers
// for it, the dialog items and IsDialogMessage.
#include "dialogs/dialog_state.h"
#include "user/message_conversion.h"
#include "dialogs/dialogs.h"

#include "user/window_state.h"

namespace {

// Messages whose dialog-procedure result is the answer itself rather than DWL_MSGRESULT.
bool AnswersDirectly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
        return true;
    }
    return false;
}

// The default push button's id: the first control with BS_DEFPUSHBUTTON, else IDOK.
int DefaultButtonId(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        WCHAR name[16] = {};
        GetClassNameW(child, name, 16);
        if (_wcsicmp(name, u"BUTTON") == 0 &&
            (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            return GetDlgCtrlID(child);
        }
    }
    return IDOK;
}

// Presses a button of the dialog as the keyboard would: only an enabled, visible one, or an id
// that no control holds (as IDOK and IDCANCEL often are).
void PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button != nullptr && (!IsWindowEnabled(button) || !IsWindowVisible(button))) {
        return;
    }
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// The next control that takes the focus after from, wrapping round.
HWND NextTabStop(HWND dialog, HWND from, bool backwards) {
    std::vector<HWND> stops;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if ((style & WS_TABSTOP) != 0 && (style & WS_VISIBLE) != 0 && (style & WS_DISABLED) == 0) {
            stops.push_back(child);
        }
    }
    if (stops.empty()) {
        return nullptr;
    }
    for (size_t i = 0; i < stops.size(); ++i) {
        if (stops[i] == from) {
            return stops[(i + (backwards ? stops.size() - 1 : 1)) % stops.size()];
        }
    }
    return backwards ? stops.back() : stops.front();
}

void RememberFocus(HWND dialog) {
    DialogState *state = FindDialogState(dialog);
    HWND focus = GetFocus();
    if (state != nullptr && focus != nullptr && IsChild(dialog, focus)) {
        state->focus = focus;
    }
}

} // namespace

void RegisterDialogClass() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefDlgProcW;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_STATIC);
    windowClass.lpszClassName = u"Dialog";
    RegisterSystemClass(windowClass);
}

extern "C" LRESULT WINAPI DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(dialog, DWL_DLGPROC));
    if (procedure != nullptr) {
        SetWindowLongPtrW(dialog, DWL_MSGRESULT, 0);
        // A dialog made through an A call has a procedure that takes ANSI text.
        const INT_PTR handled = CallWithConversion(procedure, ProcedureTakesAnsi(procedure, false),
                                                   false, dialog, message, wParam, lParam);
        if (message == WM_DESTROY) {
            ForgetDialogState(dialog);
        }
        if (handled != 0) {
            return AnswersDirectly(message) ? handled : GetWindowLongPtrW(dialog, DWL_MSGRESULT);
        }
    }
    DialogState *state = FindDialogState(dialog);
    switch (message) {
    case WM_INITDIALOG:
        return 0;
    case WM_SETFONT:
        if (state != nullptr && !state->ownsFont) {
            state->font = reinterpret_cast<HFONT>(wParam);
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(state != nullptr ? state->font : nullptr);
    case WM_CLOSE:
        // As the Cancel button would.
        PressButton(dialog, IDCANCEL);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            RememberFocus(dialog);
        } else if (state != nullptr && state->focus != nullptr && IsWindow(state->focus)) {
            SetFocus(state->focus);
        }
        return 0;
    case WM_SETFOCUS:
        if (state != nullptr && state->focus != nullptr && IsWindow(state->focus)) {
            SetFocus(state->focus);
        } else if (HWND first = NextTabStop(dialog, nullptr, false)) {
            SetFocus(first);
        }
        return 0;
    case DM_GETDEFID:
        return MAKELONG(state != nullptr && state->defaultId != 0 ? state->defaultId
                                                                  : DefaultButtonId(dialog),
                        DC_HASDEFID);
    case DM_SETDEFID: {
        // The old default push button becomes a plain one, the new one shows as the default.
        const int previous = LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0));
        HWND old = GetDlgItem(dialog, previous);
        if (old != nullptr && (SendMessageW(old, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0) {
            SendMessageW(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        }
        HWND next = GetDlgItem(dialog, static_cast<int>(wParam));
        if (next != nullptr &&
            (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON) != 0) {
            SendMessageW(next, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        }
        if (state != nullptr) {
            state->defaultId = static_cast<int>(wParam);
        }
        return TRUE;
    }
    case WM_DESTROY:
        ForgetDialogState(dialog);
        return 0;
    }
    return DefWindowProcW(dialog, message, wParam, lParam);
}

extern "C" HWND WINAPI GetDlgItem(HWND dialog, int id) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetWindowLongPtrW(child, GWL_ID) == id) {
            return child;
        }
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

extern "C" int WINAPI GetDlgCtrlID(HWND control) {
    return static_cast<int>(GetWindowLongPtrW(control, GWL_ID));
}

extern "C" BOOL WINAPI SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
    HWND control = GetDlgItem(dialog, id);
    return control != nullptr && SetWindowTextW(control, text);
}

extern "C" UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int size) {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) {
        if (text != nullptr && size > 0) {
            text[0] = 0;
        }
        return 0;
    }
    return static_cast<UINT>(GetWindowTextW(control, text, size));
}

extern "C" LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    HWND control = GetDlgItem(dialog, id);
    return control != nullptr ? SendMessageW(control, message, wParam, lParam) : 0;
}

extern "C" BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect) {
    DialogState *state = FindDialogState(dialog);
    if (state == nullptr || rect == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const DialogBaseUnits base{state->baseX, state->baseY};
    *rect = RECT{DialogUnitsToPixelsX(rect->left, base), DialogUnitsToPixelsY(rect->top, base),
                 DialogUnitsToPixelsX(rect->right, base), DialogUnitsToPixelsY(rect->bottom, base)};
    return TRUE;
}

// Return presses the push button that has the focus, or else the default button; Escape the Cancel
// one; Tab moves the focus; everything else for the dialog's windows is translated and dispatched
// as usual.
extern "C" BOOL WINAPI IsDialogMessageW(HWND dialog, LPMSG message) {
    if (message == nullptr || dialog == nullptr ||
        (message->hwnd != dialog && !IsChild(dialog, message->hwnd))) {
        return FALSE;
    }
    if (message->message == WM_KEYDOWN) {
        const LRESULT wants = message->hwnd != dialog
                                  ? SendMessageW(message->hwnd, WM_GETDLGCODE, message->wParam,
                                                 reinterpret_cast<LPARAM>(message))
                                  : 0;
        switch (message->wParam) {
        case VK_RETURN:
            if ((wants & DLGC_WANTALLKEYS) == 0) {
                const bool onPushButton =
                    (wants & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
                PressButton(dialog, onPushButton ? GetDlgCtrlID(message->hwnd)
                                                 : LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)));
                return TRUE;
            }
            break;
        case VK_ESCAPE:
            if ((wants & DLGC_WANTALLKEYS) == 0) {
                PressButton(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        case VK_TAB:
            if ((wants & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) == 0) {
                if (HWND next = NextTabStop(dialog, GetFocus(), GetKeyState(VK_SHIFT) < 0)) {
                    SetFocus(next);
                }
                return TRUE;
            }
            break;
        }
    }
    TranslateMessage(message);
    DispatchMessageW(message);
    return TRUE;
}
