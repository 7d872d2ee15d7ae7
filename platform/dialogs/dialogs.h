// Dialogs: windows of the "Dialog" class made from templates, the state each keeps, and the
// modal loop that DialogBoxParam and MessageBox share.
#ifndef PLATFORM_DIALOGS_DIALOGS_H
#define PLATFORM_DIALOGS_DIALOGS_H

#include "dialogs/dialog_layout.h"

#include <windows.h>

// The base units of the font a dialog of this layout would get.
DialogBaseUnits BaseUnitsOf(const DialogLayout &layout);
DialogBaseUnits BaseUnitsOfFont(const std::u16string &faceName, int pointSize);

// Reads a template resource of the module (NULL: the calling program's).
bool LoadDialogLayout(HINSTANCE instance, LPCWSTR name, DialogLayout &layout);

// Creates the dialog and its controls, sends WM_SETFONT and WM_INITDIALOG, and shows it when the
// template says so. Null when the dialog or any control cannot be made.
HWND CreateDialogFromLayout(HINSTANCE instance, const DialogLayout &layout, HWND parent,
                            DLGPROC procedure, LPARAM parameter, bool modal);

// Runs the modal loop of a dialog until EndDialog (or its destruction, or WM_QUIT), then destroys
// it and gives back the owner's input. The EndDialog value, or -1.
INT_PTR RunModalDialog(HWND dialog, HWND owner);

void RegisterDialogClass();

// A message box with no program to run it, answered on the console.
int ConsoleMessageBox(const std::string &text, const std::string &caption, UINT type);

#endif
