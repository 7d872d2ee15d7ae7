// The option panel: the layout selector, which owns the program's layout catalogue, and the
// buttons that enlarge and reduce the keyboard.
#ifndef PENNAKBD_OPTION_PANEL_H
#define PENNAKBD_OPTION_PANEL_H

#include <windows.h>

#include <layodex.h>

INT_PTR CALLBACK OptionPanelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The key list of the selector's item, loaded through the catalogue; NULL when it cannot be.
Element *LoadSelectedLayout(HWND selector, int item);
// The first catalogue entry with exactly that name, or NULL.
KeyboardLayout *FindCatalogueEntry(LPCWSTR name);

#endif
