// A booted device with the product installed, on which the keyboard program runs from this test
// executable, so that tests can look at its state as well as at the screen.
#ifndef TESTS_PENNAKBD_KEYBOARD_SESSION_H
#define TESTS_PENNAKBD_KEYBOARD_SESSION_H

#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "../device/booted_device.h"

extern const char16_t keyboardProgram[];

class KeyboardSession : public BootedDevice {
  protected:
    void SetUp() override;

    // Runs script lines; every one must succeed.
    static std::string Run(const std::string &lines);
    // Starts the keyboard and lets it run until it waits; its process id.
    static DWORD StartKeyboard();
    // The exit code of a program that ended, or STILL_ACTIVE.
    static DWORD ExitCodeOf(DWORD program);
    static void SetSetting(const char16_t *name, DWORD value);
    // A stored setting, or fallback when it is not there.
    static DWORD StoredSetting(const char16_t *name, DWORD fallback);
    static HWND MainWindowShown();
    static RECT RectOf(HWND window);
    // Taps the centre of a window.
    static void TapWindow(HWND window);
    // The same device, product and settings, booted again with the Handheld PC's wide screen.
    void RebootWide();
};

#endif
