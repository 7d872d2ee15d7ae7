// The application manager's window: what it installs, a line saying what it is doing, the message
// boxes it answers with, and the timer that paces its work, so that the work takes the PC's time
// while the window is there for others to see.
#ifndef PLATFORM_APPMGR_APP_MANAGER_WINDOW_H
#define PLATFORM_APPMGR_APP_MANAGER_WINDOW_H

#include <windows.h>

#include <string>

// "CEAppMgr", the class the PC's installer looks for while it waits.
extern const char appManagerWindowClass[];
// The window's caption and its message boxes'.
extern const char appManagerCaption[];
// Between one step of the work and the next.
const UINT appManagerStepMilliseconds = 50;

// The work the window paces: a step on each tick of its timer.
class AppManagerWork {
  public:
    virtual ~AppManagerWork() = default;
    // False once the work is over, done or stopped.
    virtual bool Step(HWND window) = 0;
};

// Shown and painted before it answers, its timer running; null when no window can be made.
HWND OpenAppManagerWindow(HINSTANCE instance, AppManagerWork &work);
// The window's messages, until the work is over and the window has gone.
void RunAppManagerWindow();
// Each change is painted before it answers.
void ShowWhatIsInstalled(HWND window, const std::string &description);
void ShowStatus(HWND window, const std::string &status);
// Says what stopped the work, in a box owned by the window, and waits for OK.
void TellWhatWentWrong(HWND window, const std::string &text);

#endif
