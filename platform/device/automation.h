// Driving a booted device from outside, as a person or a test would: the stylus, keys, waiting,
// and reading what the device shows.
#ifndef PLATFORM_DEVICE_AUTOMATION_H
#define PLATFORM_DEVICE_AUTOMATION_H

#include <windows.h>

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
// The screen as a PNG file, with the wait cursor over it while one is shown.
bool SaveScreenshot(const std::string &path);

#endif
