#include "pennsetup_state.h"

static INT_PTR CALLBACK CompletionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowText(dialog, SETUP_CAPTION);
        SetDlgItemText(dialog, IDC_PRODUCT_NAME, SETUP_CAPTION);
        SetForegroundWindow(dialog);
        ShowWindow(dialog, SW_SHOW);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR ShowCompletionDialog(void) {
    return DialogBoxParam(SetupModule, MAKEINTRESOURCE(IDD_COMPLETION), NULL, CompletionProc, 0);
}
