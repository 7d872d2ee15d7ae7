// The keyboard session fixture.
#include "keyboard_session.h"

#include <sstream>

#include "device/automation.h"
#include "device/device_script.h"
#include "device/product_install.h"
#include "kernel/scheduler.h"

extern "C" int WINAPI WinMain(HINSTANCE, HINSTANCE, LPWSTR, int);

const char16_t keyboardProgram[] = u"\\Program Files\\Pennakey\\pennakbd.exe";

namespace {

const char16_t settingsKey[] = u"Software\\Quorvale2\\Pennakey";

} // namespace

void KeyboardSession::SetUp() {
    ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
    std::string error;
    ASSERT_TRUE(InstallProduct(PENNAKEY_PRODUCT_DIST, error)) << error;
    // The program's code is this executable's, so that its state can be looked at.
    RegisterBuiltInProgram(keyboardProgram, WinMain);
}

std::string KeyboardSession::Run(const std::string &lines) {
    std::istringstream script(lines);
    std::ostringstream out;
    std::ostringstream errors;
    EXPECT_EQ(RunScript(script, out, errors), 0) << errors.str();
    return out.str();
}

DWORD KeyboardSession::StartKeyboard() {
    std::u16string commandLine;
    PROCESS_INFORMATION information = {};
    EXPECT_TRUE(CreateProcessW(keyboardProgram, commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, nullptr, &information));
    CloseHandle(information.hProcess);
    CloseHandle(information.hThread);
    RunUntilIdle();
    return information.dwProcessId;
}

DWORD KeyboardSession::ExitCodeOf(DWORD program) {
    const Program *found = FindProgram(program);
    return found == nullptr ? 0xFFFFFFFF : found->exitCode;
}

void KeyboardSession::SetSetting(const char16_t *name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, settingsKey, 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value),
                             sizeof value),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

DWORD KeyboardSession::StoredSetting(const char16_t *name, DWORD fallback) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, settingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return fallback;
    }
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG read =
        RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(&value), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS ? value : fallback;
}

HWND KeyboardSession::MainWindowShown() {
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        WCHAR name[32] = {};
        GetClassNameW(GetWindow(window, GW_CHILD), name, 32);
        if (IsWindowVisible(window) && std::u16string(name) == u"PENNAKBD") {
            return window;
        }
    }
    return nullptr;
}

RECT KeyboardSession::RectOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

void KeyboardSession::TapWindow(HWND window) {
    const RECT rect = RectOf(window);
    TapAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

void KeyboardSession::RebootWide() {
    PowerOffDevice();
    SetScreenByName(options, "hpc");
    std::string error;
    ASSERT_TRUE(BootDevice(options, error)) << error;
}
