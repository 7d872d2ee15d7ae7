// The keyboard's title bar: the product name on a dark blue strip, the hide, close and help
// buttons, the pin and panel buttons, and dragging the whole keyboard by it.
#ifndef PENNAKBD_TITLE_BAR_H
#define PENNAKBD_TITLE_BAR_H

#include <windows.h>

INT_PTR CALLBACK TitleBarProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Two-picture toggles: the pin button sets the keyboard top-most or not, the panel button shows
// or hides the option panel.
LRESULT CALLBACK PinButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK PanelButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
