// The small window the device's installer shows while it works, and its messages.
#ifndef PLATFORM_INSTALL_INSTALLER_WINDOW_H
#define PLATFORM_INSTALL_INSTALLER_WINDOW_H

#include <windows.h>

#include <string>

// Class of the installer's window; its caption says what it does.
extern const char16_t installerWindowClass[];

HWND OpenInstallerWindow(HINSTANCE instance, const std::u16string &caption);
// Shows the file being worked on and the share done, and lets the window paint.
void ShowInstallerProgress(HWND window, const std::u16string &file, int percent);
void CloseInstallerWindow(HWND window);
// A message box in front of everything, owned by the installer's window (or none).
int SayToUser(HWND window, const std::u16string &text, const std::u16string &caption, UINT type);

#endif
