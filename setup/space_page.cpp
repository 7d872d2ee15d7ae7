// The space page: shown while the device lacks room for the chosen layouts.
#include "setup_state.h"

static INT_PTR CALLBACK SpaceProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const DWORD *figures = (const DWORD *)lParam;
        char text[32];
        wsprintfA(text, "%u kb", (unsigned)(figures[0] / 1024));
        SetDlgItemTextA(page, IDC_REQUIRED_SPACE, text);
        wsprintfA(text, "%u kb", (unsigned)(figures[1] / 1024));
        SetDlgItemTextA(page, IDC_FREE_SPACE, text);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_BACK:
        case IDC_EXIT:
        case IDC_CONTINUE:
            EndDialog(page, LOWORD(wParam));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR ShowSpacePage(DWORD required, DWORD free) {
    const DWORD figures[2] = {required, free};
    return DialogBoxParamA(SetupInstance, MAKEINTRESOURCEA(IDD_SPACE), SetupWindow, SpaceProc,
                           (LPARAM)figures);
}
