// A whole device: booted from a folder, Notes started, typed into, tapped and dragged, and the
// screen taken as a picture.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include <shellapi.h>

#include "booted_device.h"
#include "device/automation.h"
#include "device/boot.h"
#include "device/device_script.h"
#include "kernel/scheduler.h"
#include "engine/png_files.h"
#include "gdi/colors.h"

namespace {

class DeviceSession : public BootedDevice {
  protected:
    static std::string Run(const std::string &lines) {
        std::istringstream script(lines);
        std::ostringstream out;
        std::ostringstream errors;
        EXPECT_EQ(RunScript(script, out, errors), 0) << errors.str();
        return out.str();
    }
    static std::string NotesText() {
        std::string text;
        EXPECT_TRUE(ReadWindowText(u"NotesEdit", text));
        return text;
    }
};

TEST_F(DeviceSession, BootMakesTheFolderAndTheShell) {
    for (const char *name : {"Windows", "Program Files", "My Documents", "Temp"})
        EXPECT_TRUE(std::filesystem::is_directory(folder + "/" + name)) << name;
    const std::string windows = Run("windows\n");
    std::istringstream lines(windows);
    std::string line;
    std::vector<std::string> classes;
    while (std::getline(lines, line))
        classes.push_back(line.substr(11)); // after the handle
    EXPECT_EQ(classes, (std::vector<std::string>{
                           "SipWndClass \"Input Panel\" 0 214 240 294 hidden",
                           "HHTaskBar \"\" 0 294 240 320 visible",
                           "DesktopExplorerWindow \"Desktop\" 0 0 240 294 visible",
                       }));
}

TEST_F(DeviceSession, NotesTakesTypedKeysTapsAndDrags) {
    Run("start \\Windows\\notes.exe\n");
    const std::string windows = Run("windows\n");
    EXPECT_NE(windows.find(" Notes \"Notes\" 0 0 240 214 visible\n  0x"), std::string::npos)
        << windows;
    EXPECT_NE(windows.find(" NotesEdit \"\" 1 25 239 213 visible"), std::string::npos) << windows;

    // Shift for one capital, Caps Lock for a run of them, Backspace for a mistake.
    HoldKey(VK_SHIFT);
    PressKey('H');
    ReleaseKey(VK_SHIFT);
    for (BYTE key : {'E', 'L', 'L', 'O', 'X'})
        PressKey(key);
    PressKey(VK_BACK);
    PressKey(VK_CAPITAL);
    PressKey(VK_SPACE);
    for (BYTE key : {'A', 'B'})
        PressKey(key);
    PressKey(VK_CAPITAL);
    PressKey(VK_RETURN);
    EXPECT_TRUE(TypeText("world!"));
    EXPECT_EQ(NotesText(), "Hello AB\\nworld!");
    EXPECT_EQ(Run("text NotesEdit\n"), "Hello AB\\nworld!\n");

    // A tap at the start of the first line puts the caret there; Delete takes the "H".
    Run("tap 4 30\n");
    PressKey(VK_DELETE);
    EXPECT_EQ(NotesText(), "ello AB\\nworld!");
    // A drag ends where the stylus is lifted: at the end of the second line. Up keeps the
    // column, six characters in.
    Run("down 4 30\nmove 100 40\nmove 230 46\nup 230 46\n");
    PressKey(VK_UP);
    TypeText(".");
    EXPECT_EQ(NotesText(), "ello A.B\\nworld!");
    PressKey(VK_DOWN);
    PressKey(VK_LEFT);
    PressKey(VK_BACK);
    EXPECT_EQ(NotesText(), "ello A.B\\nworl!");
}

TEST_F(DeviceSession, TheScreenshotShowsDesktopTaskBarAndNotes) {
    const std::string picture = folder + "/screen.png";
    // Typed, then a tap and a drag put the caret back at the start for one more word.
    Run("start \\Windows\\notes.exe\n"
        "type \"Pennakey notes\"\n"
        "tap 120 30\n"
        "down 60 30\nmove 30 30\nup 2 30\n"
        "type \"My \"\n"
        "screenshot \"" +
        picture + "\"\n");
    EXPECT_EQ(NotesText(), "My Pennakey notes");
    Surface screen;
    ASSERT_TRUE(ReadSurfacePng(picture, screen));
    ASSERT_EQ(screen.width, 240);
    ASSERT_EQ(screen.height, 320);
    const auto pixel = [&](int x, int y) { return ColorFromPixel(screen.At(x, y)); };
    EXPECT_EQ(pixel(0, 0), RGB(0, 0, 0));                        // Notes' border
    EXPECT_EQ(pixel(200, 10), GetSysColor(COLOR_ACTIVECAPTION)); // its caption
    EXPECT_EQ(pixel(200, 150), GetSysColor(COLOR_WINDOW));       // its empty page
    EXPECT_EQ(pixel(120, 250), GetSysColor(COLOR_BACKGROUND));   // the desktop below it
    EXPECT_EQ(pixel(120, 310), GetSysColor(COLOR_BTNFACE));      // the task bar
    EXPECT_EQ(pixel(120, 294), RGB(255, 255, 255));              // its top edge
    int ink = 0;
    for (int y = 26; y < 44; ++y)
        for (int x = 2; x < 120; ++x)
            ink += pixel(x, y) == GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_GT(ink, 60); // the typed words
}

TEST_F(DeviceSession, TheHandheldScreenIsWide) {
    PowerOffDevice();
    ASSERT_TRUE(SetScreenByName(options, "hpc"));
    EXPECT_FALSE(SetScreenByName(options, "watch"));
    std::string error;
    ASSERT_TRUE(BootDevice(options, error));
    const std::string windows = Run("windows\n");
    EXPECT_NE(windows.find("HHTaskBar \"\" 0 214 640 240 visible"), std::string::npos) << windows;
}

std::vector<std::string> trayMessages;

LRESULT CALLBACK TrayOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 10)
        trayMessages.push_back(std::to_string(wParam) + " " + std::to_string(lParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

// Puts icon 7 on the task bar; takes it off again when told to quit.
int WINAPI TrayOwner(HINSTANCE, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = TrayOwnerProc;
    windowClass.lpszClassName = u"TrayOwner";
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowExW(0, u"TrayOwner", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 7;
    data.uFlags = NIF_MESSAGE | NIF_ICON;
    data.uCallbackMessage = WM_USER + 10;
    data.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512)); // IDI_APPLICATION
    EXPECT_TRUE(Shell_NotifyIconW(NIM_ADD, &data));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_ADD, &data)); // once only
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0))
        DispatchMessageW(&message);
    EXPECT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &data)); // gone
    return 0;
}

TEST_F(DeviceSession, NotifyIconsAnswerTapsWithTheirCallback) {
    trayMessages.clear();
    RegisterBuiltInProgram(u"\\Windows\\trayowner.exe", TrayOwner);
    Run("start \\Windows\\trayowner.exe\n");
    // The icon sits at the right end of the task bar.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    Surface before;
    const std::string picture = folder + "/tray.png";
    Run("screenshot " + picture + "\n");
    ASSERT_TRUE(ReadSurfacePng(picture, before));
    int drawn = 0;
    for (int y = 299; y < 315; ++y)
        for (int x = 220; x < 236; ++x)
            drawn += ColorFromPixel(before.At(x, y)) != face;
    EXPECT_GT(drawn, 20);

    Run("tap 228 306\ntap 100 306\n");
    EXPECT_EQ(trayMessages, (std::vector<std::string>{"7 513", "7 514"}));
}

// Busy for a tenth of a second, with the wait cursor showing meanwhile.
int WINAPI BusyProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    Sleep(100);
    SetCursor(previous);
    return 0;
}

TEST_F(DeviceSession, TheWaitCursorShowsWhileAProgramIsBusy) {
    RegisterBuiltInProgram(u"\\Windows\\busy.exe", BusyProgram);
    EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
    const std::string picture = folder + "/busy.png";
    EXPECT_EQ(Run("cursor\nstart \\Windows\\busy.exe\ncursor\nscreenshot " + picture +
                  "\nsleep 150\ncursor\n"),
              "none\nwait\nnone\n");
    Surface seen;
    ASSERT_TRUE(ReadSurfacePng(picture, seen));
    EXPECT_EQ(ColorFromPixel(seen.At(120, 151)), RGB(0, 0, 0)); // the ring's top dot
}

} // namespace
