// The dialog functions of ANSI programs.
#include <windows.h>

#include "user/message_conversion.h"

extern "C" LRESULT WINAPI DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWithConversion(DefDlgProcW, false, true, dialog, message, wParam, lParam);
}

extern "C" BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG message) {
    if (message == nullptr) {
        return FALSE;
    }
    // The W call dispatches what it does not use; its character goes in the W form.
    MSG wide = *message;
    if (wide.message == WM_CHAR || wide.message == WM_SYSCHAR) {
        wide.wParam = WideCharacterOf(wide.wParam);
    }
    return IsDialogMessageW(dialog, &wide);
}

extern "C" BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    HWND control = GetDlgItem(dialog, id);
    return control != nullptr && SetWindowTextA(control, text);
}

extern "C" UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size) {
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) {
        if (text != nullptr && size > 0) {
            text[0] = 0;
        }
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(control, text, size));
}

extern "C" LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    HWND control = GetDlgItem(dialog, id);
    return control != nullptr ? SendMessageA(control, message, wParam, lParam) : 0;
}
