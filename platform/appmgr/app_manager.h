// ceappmgr.exe, the PC's application manager, started with the full path of a description file
// (in quotes when it holds blanks). It shows its window ("CEAppMgr") at once and keeps it while it
// works: it reads the description, picks the first of the component's cabinets that suits the
// connected device, copies it into \Windows\AppMgr\Install on the device and starts the device's
// installer on it, without waiting for the installation. Whatever stops it is said in a message
// box. The installer on the PC waits for as long as the window is there.
#ifndef PLATFORM_APPMGR_APP_MANAGER_H
#define PLATFORM_APPMGR_APP_MANAGER_H

#include <windows.h>

// 0 once the device's installer has started, 1 when anything stopped it.
int WINAPI AppManagerMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show);

#endif
