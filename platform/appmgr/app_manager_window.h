// The application manager's window: what it installs, a line saying what it is doing, and the
// message boxes it answers with.
#ifndef PLATFORM_APPMGR_APP_MANAGER_WINDOW_H
#define PLATFORM_APPMGR_APP_MANAGER_WINDOW_H

#include <windows.h>

#include <string>

// "CEAppMgr", the class the PC's installer looks for while it waits.
extern const char appManagerWindowClass[];
// The window's caption and its message boxes'.
extern const char appManagerCaption[];

// Shown and painted before it answers; null when no window can be made.
HWND OpenAppManagerWindow(HINSTANCE instance);
// Each change is painted before it answers.
void ShowWhatIsInstalled(HWND window, const std::string &description);
void ShowStatus(HWND window, const std::string &status);
// Says what stopped the work, in a box owned by the window (or none), and waits for OK.
void TellWhatWentWrong(HWND window, const std::string &text);
void CloseAppManagerWindow(HWND window);

#endif
