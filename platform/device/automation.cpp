// The device's automation interface.
#include "device/automation.h"

#include "kernel/scheduler.h"
#include "device/window_search.h"
#include "engine/png_files.h"
#include "kernel/code_pages.h"
#include "user/cursors.h"
#include "user/input.h"
#include "user/screen.h"

#include <cstdio>

namespace {

// Line breaks of any kind ("\r\n", "\r", "\n") become "\n", so that the text stays on one line.
std::string OneLine(const std::u16string &text, bool quoted) {
    std::string out;
    const std::string bytes = Utf8FromWide(text);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            out += "\\n";
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else if (quoted && (c == '"' || c == '\\')) {
            out += '\\';
            out += c;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

void StylusDownAt(int x, int y) {
    StylusDown(x, y);
    RunUntilIdle();
}

void StylusMoveTo(int x, int y) {
    StylusMove(x, y);
    RunUntilIdle();
}

void StylusUpAt(int x, int y) {
    StylusUp(x, y);
    RunUntilIdle();
}

void TapAt(int x, int y) {
    StylusDownAt(x, y);
    StylusUpAt(x, y);
}

void HoldKey(BYTE key) {
    keybd_event(key, 0, 0, 0);
    RunUntilIdle();
}

void ReleaseKey(BYTE key) {
    keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    RunUntilIdle();
}

void PressKey(BYTE key) {
    HoldKey(key);
    ReleaseKey(key);
}

bool TypeText(const std::string &text) {
    bool all = true;
    for (const char c : text) {
        BYTE key = 0;
        bool shift = false;
        if (!KeyForCharacter(static_cast<unsigned char>(c), key, shift)) {
            all = false;
            continue;
        }
        if (shift) {
            HoldKey(VK_SHIFT);
        }
        PressKey(key);
        if (shift) {
            ReleaseKey(VK_SHIFT);
        }
    }
    return all;
}

std::string DescribeWindows() {
    std::string out;
    ForEachWindow([&](HWND window, int depth) {
        RECT rect = {};
        GetWindowRect(window, &rect);
        char numbers[128];
        std::snprintf(numbers, sizeof numbers, " %ld %ld %ld %ld ", static_cast<long>(rect.left),
                      static_cast<long>(rect.top), static_cast<long>(rect.right),
                      static_cast<long>(rect.bottom));
        char handle[32];
        std::snprintf(handle, sizeof handle, "0x%08llX",
                      static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
        out += std::string(static_cast<size_t>(depth) * 2, ' ') + handle + " " +
               Utf8FromWide(ClassOfWindow(window)) + " \"" + OneLine(TextOfWindow(window), true) +
               "\"" + numbers + (IsWindowVisible(window) ? "visible" : "hidden") + "\n";
        return true;
    });
    return out;
}

bool ReadWindowText(const std::u16string &className, std::string &text) {
    bool found = false;
    ForEachWindow([&](HWND window, int) {
        if (_wcsicmp(ClassOfWindow(window).c_str(), className.c_str()) != 0) {
            return true;
        }
        text = OneLine(TextOfWindow(window), false);
        found = true;
        return false;
    });
    return found;
}

bool SaveScreenshot(const std::string &path) {
    SyncScreen();
    if (!WaitCursorShown()) {
        return WriteSurfacePng(*ScreenSurface(), path);
    }
    Surface seen = *ScreenSurface();
    DrawWaitCursor(seen);
    return WriteSurfacePng(seen, path);
}
