// The SDL viewer with a real window (in a virtual X server when run by CTest): mouse clicks at
// window points reach the device as taps at device points, host keys reach Notes, closing the
// window ends the run, and the window shows what the device's screen holds.
#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>
#include <string>
#include <vector>

#include "device/automation.h"
#include "device/boot.h"
#include "device/device_loop.h"
#include "kernel/scheduler.h"
#include "drivers/sdl_keys.h"
#include "drivers/sdl_viewer.h"
#include "user/screen.h"

namespace {

TEST(SdlKeys, HostKeysBecomeTheVirtualKeysOfAUsKeyboard) {
    const struct {
        SDL_Keycode sdl;
        uint8_t key;
    } cases[] = {
        {SDLK_a, 'A'},
        {SDLK_z, 'Z'},
        {SDLK_0, '0'},
        {SDLK_9, '9'},
        {SDLK_SPACE, VK_SPACE},
        {SDLK_RETURN, VK_RETURN},
        {SDLK_KP_ENTER, VK_RETURN},
        {SDLK_BACKSPACE, VK_BACK},
        {SDLK_TAB, VK_TAB},
        {SDLK_ESCAPE, VK_ESCAPE},
        {SDLK_LEFT, VK_LEFT},
        {SDLK_UP, VK_UP},
        {SDLK_RIGHT, VK_RIGHT},
        {SDLK_DOWN, VK_DOWN},
        {SDLK_DELETE, VK_DELETE},
        {SDLK_LSHIFT, VK_SHIFT},
        {SDLK_RSHIFT, VK_SHIFT},
        {SDLK_LCTRL, VK_CONTROL},
        {SDLK_RCTRL, VK_CONTROL},
        {SDLK_LALT, VK_MENU},
        {SDLK_RALT, VK_MENU},
        {SDLK_CAPSLOCK, VK_CAPITAL},
        {SDLK_SEMICOLON, 0xBA},
        {SDLK_EQUALS, 0xBB},
        {SDLK_COMMA, 0xBC},
        {SDLK_MINUS, 0xBD},
        {SDLK_PERIOD, 0xBE},
        {SDLK_SLASH, 0xBF},
        {SDLK_BACKQUOTE, 0xC0},
        {SDLK_LEFTBRACKET, 0xDB},
        {SDLK_BACKSLASH, 0xDC},
        {SDLK_RIGHTBRACKET, 0xDD},
        {SDLK_QUOTE, 0xDE},
        // Keys a device keyboard does not have.
        {SDLK_F1, 0},
        {SDLK_HOME, 0},
        {SDLK_KP_5, 0},
        {SDLK_UNKNOWN, 0},
    };
    for (const auto &test : cases) {
        EXPECT_EQ(VirtualKeyFromSdl(test.sdl), test.key) << SDL_GetKeyName(test.sdl);
    }
}

std::vector<std::string> received;
volatile std::sig_atomic_t stop = 0;

std::string Point(LPARAM lParam) {
    return std::to_string(static_cast<short>(LOWORD(lParam))) + "," +
           std::to_string(static_cast<short>(HIWORD(lParam)));
}

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        received.push_back("down " + Point(lParam));
        SetCapture(window);
        return 0;
    case WM_MOUSEMOVE:
        received.push_back("move " + Point(lParam));
        return 0;
    case WM_LBUTTONUP:
        received.push_back("up " + Point(lParam));
        ReleaseCapture();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A white window at (20, 30), 100 x 100, that records the stylus in client coordinates and keeps
// it from down to up.
int WINAPI Recorder(HINSTANCE, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = RecorderProc;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = u"Recorder";
    RegisterClassW(&windowClass);
    CreateWindowExW(0, u"Recorder", u"recorder", WS_VISIBLE, 20, 30, 100, 100, nullptr, nullptr,
                    nullptr, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

// The viewer as it is, except that once the events the test pushed have been handled it pushes
// a quit, so that the loop presents what they changed before it ends.
bool quitPushed = false;

void PushQuit() {
    SDL_Event event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

bool PollThenQuit(DisplayEvent &event) {
    if (sdlViewer.poll(event)) {
        return true;
    }
    if (!quitPushed) {
        quitPushed = true;
        PushQuit();
    }
    return false;
}

const DisplayDriver viewerThenQuit = {sdlViewer.open, sdlViewer.close, sdlViewer.present,
                                      PollThenQuit};

class SdlViewer : public testing::Test {
  protected:
    void SetUp() override {
        if (!SdlViewerAvailable()) {
            GTEST_SKIP() << "no display for SDL";
        }
        folder = testing::TempDir() + "/sdl_viewer_" +
                 testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(folder);
        received.clear();
        stop = 0;
        quitPushed = false;
    }
    void TearDown() override {
        sdlViewer.close();
        if (booted) {
            PowerOffDevice();
        }
        std::filesystem::remove_all(folder);
    }
    void Boot(const char *screen, int scale) {
        DeviceOptions options;
        options.folder = folder;
        ASSERT_TRUE(SetScreenByName(options, screen));
        std::string error;
        ASSERT_TRUE(BootDevice(options, error)) << error;
        booted = true;
        RegisterBuiltInProgram(u"\\recorder.exe", Recorder);
        ASSERT_TRUE(sdlViewer.open(options.screenWidth, options.screenHeight, scale));
        ASSERT_NE(SdlViewerWindowId(), 0u);
        // What the window system says about the new window is not the test's business.
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    static void Start(const char16_t *path) {
        PROCESS_INFORMATION information = {};
        ASSERT_TRUE(CreateProcessW(path, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   nullptr, &information));
        CloseHandle(information.hProcess);
        CloseHandle(information.hThread);
        RunUntilIdle();
    }
    static void PushButton(Uint32 type, int x, int y) {
        SDL_Event event = {};
        event.type = type;
        event.button.windowID = SdlViewerWindowId();
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.button.clicks = 1;
        event.button.x = x;
        event.button.y = y;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }
    static void PushMotion(int x, int y) {
        SDL_Event event = {};
        event.type = SDL_MOUSEMOTION;
        event.motion.windowID = SdlViewerWindowId();
        event.motion.state = SDL_BUTTON_LMASK;
        event.motion.x = x;
        event.motion.y = y;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }
    static void PushKey(Uint32 type, SDL_Keycode key) {
        SDL_Event event = {};
        event.type = type;
        event.key.windowID = SdlViewerWindowId();
        event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = key;
        event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }
    static void PushPress(SDL_Keycode key) {
        PushKey(SDL_KEYDOWN, key);
        PushKey(SDL_KEYUP, key);
    }
    static void PushWindowEvent(Uint8 what) {
        SDL_Event event = {};
        event.type = SDL_WINDOWEVENT;
        event.window.windowID = SdlViewerWindowId();
        event.window.event = what;
        ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
    }
    // Every pixel of the window is the device pixel under it.
    static void ExpectWindowShowsTheScreen(int scale) {
        Surface frame;
        ASSERT_TRUE(ReadSdlViewerFrame(frame));
        const Surface &screen = *ScreenSurface();
        ASSERT_EQ(frame.width, screen.width * scale);
        ASSERT_EQ(frame.height, screen.height * scale);
        int wrong = 0;
        for (int y = 0; y < frame.height; ++y) {
            for (int x = 0; x < frame.width; ++x) {
                if (frame.At(x, y) != screen.At(x / scale, y / scale) && wrong++ < 5) {
                    ADD_FAILURE() << "window pixel " << x << "," << y << " is " << std::hex
                                  << frame.At(x, y) << ", the screen's "
                                  << screen.At(x / scale, y / scale);
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }
    static std::string NotesText() {
        std::string text;
        EXPECT_TRUE(ReadWindowText(u"NotesEdit", text));
        return text;
    }
    std::string folder;
    bool booted = false;
};

TEST_F(SdlViewer, AClickAtAWindowPointIsATapAtTheDevicePointUnderIt) {
    Boot("pocketpc", 2);
    Start(u"\\recorder.exe");
    // Window (101, 121) is device (50, 60), the recorder's client (30, 30).
    PushButton(SDL_MOUSEBUTTONDOWN, 101, 121);
    PushMotion(121, 141);
    PushButton(SDL_MOUSEBUTTONUP, 121, 141);
    RunDeviceLoop(viewerThenQuit, stop);
    EXPECT_EQ(received, (std::vector<std::string>{"down 30,30", "move 40,40", "up 40,40"}));
    ExpectWindowShowsTheScreen(2);
    EXPECT_EQ(ScreenSurface()->At(50, 60), 0xFFFFFFu);
}

TEST_F(SdlViewer, MotionWithoutTheButtonIsNoStylusAndOutsideTheWindowItStopsAtTheEdge) {
    Boot("pocketpc", 2);
    Start(u"\\recorder.exe");
    PushMotion(101, 121);
    PushButton(SDL_MOUSEBUTTONDOWN, 101, 121);
    PushMotion(-40, 2000);
    PushButton(SDL_MOUSEBUTTONUP, -40, 2000);
    PushMotion(121, 141);
    RunDeviceLoop(viewerThenQuit, stop);
    // Device (0, 319), the screen's corner, is the recorder's (-20, 289).
    EXPECT_EQ(received, (std::vector<std::string>{"down 30,30", "move -20,289", "up -20,289"}));
}

TEST_F(SdlViewer, HostKeysTypeIntoNotesAndAClickMovesItsCaret) {
    Boot("hpc", 1);
    Start(u"\\Windows\\notes.exe");
    PushKey(SDL_KEYDOWN, SDLK_LSHIFT);
    PushPress(SDLK_h);
    PushKey(SDL_KEYUP, SDLK_LSHIFT);
    PushPress(SDLK_i);
    PushPress(SDLK_PERIOD);
    // The start of the first line, then one more letter there.
    PushButton(SDL_MOUSEBUTTONDOWN, 4, 30);
    PushButton(SDL_MOUSEBUTTONUP, 4, 30);
    PushPress(SDLK_x);
    RunDeviceLoop(viewerThenQuit, stop);
    EXPECT_EQ(NotesText(), "xHi.");
    ExpectWindowShowsTheScreen(1);
}

TEST_F(SdlViewer, LosingTheFocusLiftsTheStylusAndReleasesTheKeys) {
    Boot("pocketpc", 2);
    Start(u"\\recorder.exe");
    PushButton(SDL_MOUSEBUTTONDOWN, 101, 121);
    PushKey(SDL_KEYDOWN, SDLK_LSHIFT);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    RunDeviceLoop(viewerThenQuit, stop);
    EXPECT_EQ(received, (std::vector<std::string>{"down 30,30", "up 30,30"}));
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
}

TEST_F(SdlViewer, ClosingTheWindowEndsTheRun) {
    Boot("pocketpc", 3);
    PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    RunDeviceLoop(sdlViewer, stop);
    // The loop ended on its own; nothing more was waiting.
    DisplayEvent event;
    EXPECT_FALSE(sdlViewer.poll(event));
}

TEST_F(SdlViewer, TheViewerOpensOnlyAtSizesItCanShow) {
    EXPECT_FALSE(sdlViewer.open(0, 320, 2));
    EXPECT_FALSE(sdlViewer.open(240, 320, 0));
    EXPECT_FALSE(sdlViewer.open(240, 320, 100));
    Surface frame;
    EXPECT_FALSE(ReadSdlViewerFrame(frame));
    EXPECT_EQ(SdlViewerWindowId(), 0u);
    DisplayEvent event;
    EXPECT_FALSE(sdlViewer.poll(event));
    // Presenting with no window open does nothing.
    sdlViewer.present(Surface(4, 4), Box{0, 0, 4, 4});
}

} // namespace
