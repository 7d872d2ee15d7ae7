// Text messages between ANSI and UTF-16: a window procedure is called with the form of text it
// takes, whichever form its caller used, as Windows converts between A and W callers and
// procedures. Text is converted through the ANSI code page (1252).
#ifndef PLATFORM_USER_MESSAGE_CONVERSION_H
#define PLATFORM_USER_MESSAGE_CONVERSION_H

#include <windows.h>

// Calls proc, which takes text in ANSI when procAnsi is set, with a message whose text is ANSI
// when callerAnsi is set.
LRESULT CallWithConversion(WNDPROC proc, bool procAnsi, bool callerAnsi, HWND window, UINT message,
                           WPARAM wParam, LPARAM lParam);

// Which form a procedure handed to the window system takes, for CallWindowProc: procedures
// registered or set through an A call take ANSI; unknown ones are taken as they are.
void NoteProcedureForm(WNDPROC proc, bool ansi);
bool ProcedureTakesAnsi(WNDPROC proc, bool callerAnsi);

// The one character of a WM_CHAR in the other form.
WPARAM AnsiCharacterOf(WPARAM wide);
WPARAM WideCharacterOf(WPARAM ansi);

#endif
