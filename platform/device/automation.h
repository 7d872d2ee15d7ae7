// Driving a booted device from outside, as a person or a test would: the stylus, keys, waiting,
// and reading what the device shows.
#ifndef PLATFORM_DEVICE_AUTOMATION_H
#define PLATFORM_DEVICE_AUTOMATION_H

#include <windows.h>

#include "device/window_search.h"

#include <string>

// Each action lets the device run until every program waits again.
void StylusDownAt(int x, int y);
void StylusMoveTo(int x, int y);
void StylusUpAt(int x, int y);
void TapAt(int x, int y);
void PressKey(BYTE key);
void HoldKey(BYTE key);
void ReleaseKey(BYTE key);
// Types text as keys on a US keyboard, with Shift where a character needs it; characters no key
// gives are skipped. False when any was.
bool TypeText(const std::string &text);

// One line per window: top-level windows in Z order, each followed by its children indented by
// two spaces a level: HWND CLASS "TEXT" LEFT TOP RIGHT BOTTOM visible|hidden.
std::string DescribeWindows();
// The text of the first window of the class, in Z order with children after their parent, with
// each line break as "\n". False when no window has that class.
bool ReadWindowText(const std::u16string &className, std::string &text);
// Taps the centre of the first visible control (in Z order) whose text is text, inside the shown
// top-level windows, or only the one named when window is not null. Fails, saying why, when there
// is none, it is disabled, or another window covers its centre.
bool ClickControl(const std::u16string &text, const WindowName *window, std::string &error);
// Chooses the item whose text is text in the open combo box, else in the focused one, else in the
// only one shown, as a person would: a tap opens the list, taps on its arrows scroll the item into
// view, a tap picks it.
bool PickComboItem(const std::u16string &text, std::string &error);
// Taps the button with that text (without regard to case) of the front-most message box.
bool AnswerMessageBox(const std::u16string &button, std::string &error);
// Lets device time pass, up to milliseconds of it, until a visible top-level window with that
// name is shown (or, with shown false, until none is). False when that does not come in time.
bool WaitForWindow(const WindowName &name, bool shown, DWORD milliseconds);

// The screen as a PNG file, with the wait cursor over it while one is shown.
bool SaveScreenshot(const std::string &path);

#endif
