// The device's shell: the desktop, the task bar with its Start menu and notification icons, the
// input panel, and the small programs every device has.
#ifndef PLATFORM_SHELL_SHELL_H
#define PLATFORM_SHELL_SHELL_H

#include <windows.h>

const int taskBarHeight = 26;
const int inputPanelHeight = 80;
const int startMenuRowHeight = 20;

// Registers the shell and the built-in programs under their device paths.
void RegisterShellPrograms();

int WINAPI ExplorerMain(HINSTANCE, HINSTANCE, LPWSTR, int);
int WINAPI NotesMain(HINSTANCE, HINSTANCE, LPWSTR, int);
int WINAPI HelpViewerMain(HINSTANCE, HINSTANCE, LPWSTR, int);

// Programs for checking the keyboard by script, each showing in its window text what reached it:
// \Windows\keyview.exe notes every key and character message with the modifiers held ("down 65
// shift"); \Windows\okwindow.exe is a window with the caption OK button and \Windows\owned.exe a
// window owned by another, each noting the commands it is given ("IDOK", "IDCANCEL", "close");
// \Windows\silent.exe shows a window that never has a focus window to name.
int WINAPI KeyViewMain(HINSTANCE, HINSTANCE, LPWSTR, int);
int WINAPI OkWindowMain(HINSTANCE, HINSTANCE, LPWSTR, int);
int WINAPI OwnedWindowMain(HINSTANCE, HINSTANCE, LPWSTR, int);
int WINAPI SilentMain(HINSTANCE, HINSTANCE, LPWSTR, int);

// The task bar draws the notification icons and hands taps on them to their windows.
void DrawNotifyIcons(HDC dc, const RECT &taskBar);
bool TapNotifyIcon(const RECT &taskBar, POINT point, UINT mouseMessage);
void SetNotifyIconBar(HWND taskBar);

// The Start menu ("StartMenu") lists the shortcuts of the programs folder above the task bar;
// Start opens it, and closes it when it is open.
void RegisterStartMenu();
void ToggleStartMenu(HWND taskBar);

#endif
