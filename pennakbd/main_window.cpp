// The main window's dialog procedure.
#include "main_window.h"

#include "key_injection.h"
#include "key_press.h"
#include "keyboard_window.h"
#include "option_panel.h"
#include "pennakbd_state.h"
#include "title_bar.h"

#include <shellapi.h>

namespace {

NOTIFYICONDATA TrayIcon;

void AddTrayIcon(HWND dialog) {
    ZeroMemory(&TrayIcon, sizeof TrayIcon);
    TrayIcon.cbSize = sizeof TrayIcon;
    TrayIcon.hWnd = dialog;
    TrayIcon.uID = IDI_KEYBOARD;
    TrayIcon.uFlags = NIF_MESSAGE | NIF_ICON;
    TrayIcon.uCallbackMessage = MSG_TRAY_NOTIFY;
    TrayIcon.hIcon =
        (HICON)LoadImageW(ProgramInstance, MAKEINTRESOURCEW(IDI_KEYBOARD), IMAGE_ICON, 16, 16, 0);
    Shell_NotifyIcon(NIM_ADD, &TrayIcon);
}

void RemoveTrayIcon(void) {
    Shell_NotifyIcon(NIM_DELETE, &TrayIcon);
    if (TrayIcon.hIcon != NULL)
        DestroyIcon(TrayIcon.hIcon);
    TrayIcon.hIcon = NULL;
}

void Initialise(HWND dialog) {
    MainWindow = dialog;
    AddTrayIcon(dialog);
    TitleBar = CreateDialogParamW(ProgramInstance, MAKEINTRESOURCEW(IDD_TITLE_BAR), dialog,
                                  TitleBarProc, 0);
    OptionPanel = CreateDialogParamW(ProgramInstance, MAKEINTRESOURCEW(IDD_OPTION_PANEL), dialog,
                                     OptionPanelProc, 0);
    // Measured here only when showing the first layout did not measure it already.
    if (Settings.maxScale == LARGEST_SCALE)
        MeasureMaxScale();
    MainThreadId = GetWindowThreadProcessId(dialog, NULL);
    SetWindowLongW(dialog, GWL_EXSTYLE, GetWindowLongW(dialog, GWL_EXSTYLE) | WS_EX_TOPMOST);
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowLongW(dialog, GWL_EXSTYLE, GetWindowLongW(dialog, GWL_EXSTYLE) | WS_EX_NOACTIVATE);
    UpdateWindow(dialog);
    const int x = (short)LOWORD(Settings.position);
    const int y = (short)HIWORD(Settings.position);
    SetWindowPos(dialog, HWND_TOPMOST, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

BOOL Answer(HWND dialog, LONG result) {
    SetWindowLongW(dialog, DWL_MSGRESULT, result);
    return TRUE;
}

HWND Selector(void) {
    return OptionPanel != NULL ? GetDlgItem(OptionPanel, IDC_SELECTOR) : NULL;
}

} // namespace

INT_PTR CALLBACK MainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        Initialise(dialog);
        return FALSE;
    case WM_CLOSE:
        RemoveTrayIcon();
        EndDialog(dialog, 0);
        return FALSE;
    case MSG_TRAY_NOTIFY:
        if (lParam == WM_LBUTTONDOWN)
            ShowWindow(dialog, SW_SHOW);
        return FALSE;
    case MSG_KEY_PRESSED:
        HandleKeyPress((KeyDef *)wParam, (DWORD)lParam);
        return FALSE;
    case MSG_SAVE_CURRENT_KEYBOARD:
        return Answer(dialog, SaveCurrentKeyboardName(Selector()));
    case MSG_RESTORE_CURRENT_KEYBOARD:
        return Answer(dialog, RestoreCurrentKeyboardName(Selector()));
    case MSG_CMD_MINIMIZE:
        ExecuteWindowCommand(dialog, TEXT("IDMINIMIZE"));
        return TRUE;
    case MSG_CMD_OK:
        ExecuteWindowCommand(dialog, TEXT("IDOK"));
        return TRUE;
    case MSG_CMD_CANCEL:
        ExecuteWindowCommand(dialog, TEXT("IDCANCEL"));
        return TRUE;
    }
    return FALSE;
}

LRESULT CALLBACK SelectorSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_LBUTTONDOWN && MainWindow != NULL) {
        SetWindowLongW(MainWindow, GWL_EXSTYLE,
                       GetWindowLongW(MainWindow, GWL_EXSTYLE) & ~WS_EX_NOACTIVATE);
    }
    return CallWindowProcW(SavedSelectorProc, window, message, wParam, lParam);
}
