// The main window: the top-most, non-activating pop-up that holds the title bar, the option panel
// and the keyboard window, with the notification icon that brings a hidden keyboard back.
#ifndef PENNAKBD_MAIN_WINDOW_H
#define PENNAKBD_MAIN_WINDOW_H

#include <windows.h>

INT_PTR CALLBACK MainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The layout-name messages of other programs: -1 when done, else a code saying what failed.
int SaveCurrentKeyboardName(HWND selector);
int RestoreCurrentKeyboardName(HWND selector);

// The selector's replacement procedure: the main window lets itself be activated while the
// selector's list is used.
LRESULT CALLBACK SelectorSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
