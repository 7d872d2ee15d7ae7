// Sizing the keyboard's windows around the displayed layout.
#include "keyboard_window.h"

#include "pennakbd_state.h"

namespace {

LONG WidthOf(HWND window) {
    RECT rect;
    return window != NULL && GetWindowRect(window, &rect) ? rect.right - rect.left : 0;
}

LONG HeightOf(HWND window) {
    RECT rect;
    return window != NULL && GetWindowRect(window, &rect) ? rect.bottom - rect.top : 0;
}

} // namespace

void ArrangeWindows(HWND titleBar, HWND optionPanel, BOOL panelShown) {
    HWND main = GetParent(optionPanel);
    HWND keyboard = GetDlgItem(main, IDC_KEYBOARD);
    LONG width = (LONG)(Settings.scale * (DWORD)layoutWidth / 1000 + 2);
    const LONG height = (LONG)(Settings.scale * (DWORD)layoutHeight / 1000 + 2);
    // The panel's controls always fit.
    const LONG controls = WidthOf(GetDlgItem(optionPanel, IDC_ENLARGE)) +
                          WidthOf(GetDlgItem(optionPanel, IDC_REDUCE)) +
                          WidthOf(GetDlgItem(optionPanel, IDC_SELECTOR));
    if (controls > width)
        width = controls;
    const LONG titleHeight = HeightOf(titleBar);
    SetWindowPos(titleBar, NULL, 0, 0, width, titleHeight, SWP_NOMOVE | SWP_NOZORDER);
    ShowWindow(titleBar, SW_SHOW);
    const LONG panelHeight = HeightOf(optionPanel);
    SetWindowPos(optionPanel, NULL, 0, titleHeight, width, panelHeight, SWP_NOZORDER);
    ShowWindow(optionPanel, panelShown ? SW_SHOW : SW_HIDE);
    const LONG top = panelShown ? titleHeight + panelHeight : titleHeight;
    SetWindowPos(keyboard, NULL, 0, top, width, height, SWP_NOZORDER);
    ShowWindow(keyboard, SW_SHOW);
    SetWindowPos(main, NULL, 0, 0, width + 6, top + height + 6,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
