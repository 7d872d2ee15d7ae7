// The device's automation interface.
#include "device/automation.h"

#include "device/scheduler.h"
#include "engine/png_files.h"
#include "user/cursors.h"
#include "user/input.h"
#include "user/screen.h"

#include <cstdio>
#include <functional>

namespace {

std::string Utf8(const std::u16string &text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t code = text[i];
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

// Line breaks of any kind ("\r\n", "\r", "\n") become "\n", so that the text stays on one line.
std::string OneLine(const std::u16string &text, bool quoted) {
    std::string out;
    const std::string bytes = Utf8(text);
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

void ForEachWindow(const std::function<bool(HWND, int)> &visit) {
    std::function<bool(HWND, int)> walk = [&](HWND window, int depth) {
        if (!visit(window, depth)) {
            return false;
        }
        for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (!walk(child, depth + 1)) {
                return false;
            }
        }
        return true;
    };
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (!walk(window, 0)) {
            return;
        }
    }
}

std::u16string ClassOf(HWND window) {
    WCHAR name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::u16string TextOf(HWND window) {
    Window *found = FindWindowObject(window);
    return found != nullptr ? found->text : std::u16string();
}

// The key and whether Shift is needed for a character on a US keyboard.
bool KeyFor(char c, BYTE &key, bool &shift) {
    static const char shifted[] = ")!@#$%^&*(";
    static const struct {
        BYTE key;
        char plain, withShift;
    } punctuation[] = {
        {0xBA, ';', ':'},  {0xBB, '=', '+'}, {0xBC, ',', '<'},  {0xBD, '-', '_'},
        {0xBE, '.', '>'},  {0xBF, '/', '?'}, {0xC0, '`', '~'},  {0xDB, '[', '{'},
        {0xDC, '\\', '|'}, {0xDD, ']', '}'}, {0xDE, '\'', '"'},
    };
    shift = false;
    if (c >= 'a' && c <= 'z') {
        key = static_cast<BYTE>(c - 'a' + 'A');
        return true;
    }
    if (c >= 'A' && c <= 'Z') {
        key = static_cast<BYTE>(c);
        shift = true;
        return true;
    }
    if (c >= '0' && c <= '9') {
        key = static_cast<BYTE>(c);
        return true;
    }
    for (int digit = 0; digit < 10; ++digit) {
        if (shifted[digit] == c) {
            key = static_cast<BYTE>('0' + digit);
            shift = true;
            return true;
        }
    }
    for (const auto &entry : punctuation) {
        if (entry.plain == c || entry.withShift == c) {
            key = entry.key;
            shift = entry.withShift == c;
            return true;
        }
    }
    switch (c) {
    case ' ':
        key = VK_SPACE;
        return true;
    case '\n':
        key = VK_RETURN;
        return true;
    case '\t':
        key = VK_TAB;
        return true;
    }
    return false;
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
        if (!KeyFor(c, key, shift)) {
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
               Utf8(ClassOf(window)) + " \"" + OneLine(TextOf(window), true) + "\"" + numbers +
               (IsWindowVisible(window) ? "visible" : "hidden") + "\n";
        return true;
    });
    return out;
}

bool ReadWindowText(const std::u16string &className, std::string &text) {
    bool found = false;
    ForEachWindow([&](HWND window, int) {
        if (_wcsicmp(ClassOf(window).c_str(), className.c_str()) != 0) {
            return true;
        }
        text = OneLine(TextOf(window), false);
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
