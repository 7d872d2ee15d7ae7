// Windows and messages, told as the sequences of messages a window procedure receives.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "kernel/scheduler.h"
#include "user/window_state.h"
#include "rect_text.h"

namespace {

std::vector<std::string> received;

std::string Name(HWND window) {
    WCHAR text[64] = {};
    GetWindowTextW(window, text, 64);
    return std::string(text, text + lstrlenW(text));
}

const char *MessageName(UINT message) {
    switch (message) {
    case WM_CREATE:
        return "create";
    case WM_DESTROY:
        return "destroy";
    case WM_SIZE:
        return "size";
    case WM_MOVE:
        return "move";
    case WM_SHOWWINDOW:
        return "show";
    case WM_WINDOWPOSCHANGED:
        return "posChanged";
    case WM_CLOSE:
        return "close";
    }
    return nullptr;
}

// Records what it receives, by the window's text, and leaves the rest to DefWindowProc.
LRESULT CALLBACK Recording(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const char *name = MessageName(message)) {
        std::string entry = Name(window) + " " + name;
        if (message == WM_SIZE || message == WM_MOVE)
            entry += " " + std::to_string(LOWORD(lParam)) + "," + std::to_string(HIWORD(lParam));
        if (message == WM_CREATE) {
            auto *creation = reinterpret_cast<CREATESTRUCTW *>(lParam);
            entry += " " + std::to_string(creation->cx) + "x" + std::to_string(creation->cy);
            if (creation->lpCreateParams == reinterpret_cast<LPVOID>(-1))
                return -1;
        }
        received.push_back(entry);
    }
    if (message == WM_USER)
        return static_cast<LRESULT>(GetCurrentThreadId());
    return DefWindowProcW(window, message, wParam, lParam);
}

class Windows : public testing::Test {
  protected:
    void SetUp() override {
        ResetDevice();
        received.clear();
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = Recording;
        windowClass.cbWndExtra = 16;
        windowClass.lpszClassName = u"Recording";
        ASSERT_NE(RegisterClassW(&windowClass), 0);
    }
    void TearDown() override {
        PowerOffMachine(CurrentMachine());
    }
    static HWND Make(const char16_t *name, DWORD style = WS_VISIBLE, HWND parent = nullptr,
                     DWORD exStyle = 0, int x = 0, int y = 0, int width = 100, int height = 50) {
        return CreateWindowExW(exStyle, u"Recording", name, style, x, y, width, height, parent,
                               nullptr, nullptr, nullptr);
    }
    static std::vector<std::string> Order(HWND first) {
        std::vector<std::string> names;
        for (HWND window = first; window != nullptr; window = GetWindow(window, GW_HWNDNEXT))
            names.push_back(Name(window));
        return names;
    }
};

TEST_F(Windows, CreationSendsCreateSizeAndMove) {
    HWND window = Make(u"a", WS_VISIBLE | WS_BORDER, nullptr, 0, 10, 20, 100, 50);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(received,
              (std::vector<std::string>{"a create 100x50", "a size 98,48", "a move 10,20"}));
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 98);
    EXPECT_EQ(client.bottom, 48);

    received.clear();
    EXPECT_EQ(CreateWindowExW(0, u"Recording", u"refused", 0, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, reinterpret_cast<LPVOID>(-1)),
              nullptr);
    EXPECT_EQ(received, (std::vector<std::string>{"refused destroy"}));
    EXPECT_EQ(
        CreateWindowExW(0, u"NoSuchClass", u"x", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_CANNOT_FIND_WND_CLASS);
}

// A modal frame is three pixels on every side, whatever border the style asks for as well; a
// border alone is one pixel, and a caption adds its bar above the client area.
TEST_F(Windows, FramesAroundTheClientArea) {
    struct Frame {
        DWORD style, exStyle;
        const char *window; // for a 100 x 50 client area at (10, 20)
    };
    const Frame frames[] = {
        {0, 0, "10,20,110,70"},
        {WS_BORDER, 0, "9,19,111,71"},
        {WS_BORDER, WS_EX_DLGMODALFRAME, "7,17,113,73"},
        {WS_CAPTION, WS_EX_DLGMODALFRAME, "7,-7,113,73"},
        {WS_CAPTION, 0, "9,-5,111,71"},
    };
    for (const Frame &frame : frames) {
        RECT rect = {10, 20, 110, 70};
        ASSERT_TRUE(AdjustWindowRectEx(&rect, frame.style, FALSE, frame.exStyle));
        EXPECT_EQ(Describe(rect), frame.window) << frame.style << " " << frame.exStyle;
        HWND window = Make(u"f", WS_VISIBLE | frame.style, nullptr, frame.exStyle, rect.left,
                           rect.top, rect.right - rect.left, rect.bottom - rect.top);
        RECT client;
        GetClientRect(window, &client);
        POINT origin = {0, 0};
        ClientToScreen(window, &origin);
        EXPECT_EQ(client.right, 100);
        EXPECT_EQ(client.bottom, 50);
        EXPECT_EQ(origin.x, 10);
        EXPECT_EQ(origin.y, 20);
        DestroyWindow(window);
    }
    EXPECT_EQ(GetSystemMetrics(SM_CXDLGFRAME), 3);
}

TEST_F(Windows, ZOrderKeepsBandsAndChildrenInCreationOrder) {
    HWND a = Make(u"a");
    HWND topMost = Make(u"topMost", WS_VISIBLE, nullptr, WS_EX_TOPMOST);
    HWND b = Make(u"b");
    EXPECT_EQ(Order(GetWindow(GetDesktopWindow(), GW_CHILD)),
              (std::vector<std::string>{"topMost", "b", "a"}));

    SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(Order(GetWindow(b, GW_HWNDFIRST)), (std::vector<std::string>{"topMost", "a", "b"}));
    SetWindowPos(topMost, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(Order(GetWindow(b, GW_HWNDFIRST)), (std::vector<std::string>{"topMost", "a", "b"}));
    SetWindowPos(b, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(Order(GetWindow(b, GW_HWNDFIRST)), (std::vector<std::string>{"b", "topMost", "a"}));
    EXPECT_NE(GetWindowLongW(b, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    HWND first = Make(u"first", WS_CHILD | WS_VISIBLE, a);
    Make(u"second", WS_CHILD | WS_VISIBLE, a);
    EXPECT_EQ(GetWindow(a, GW_CHILD), first);
    EXPECT_EQ(Order(first), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(GetParent(first), a);
}

TEST_F(Windows, DestroyingTellsTheWindowThenItsChildrenAndTakesOwnedWindowsFirst) {
    HWND parent = Make(u"parent");
    Make(u"child1", WS_CHILD, parent);
    HWND child2 = Make(u"child2", WS_CHILD, parent);
    Make(u"grandchild", WS_CHILD, child2);
    HWND owned = Make(u"owned", WS_POPUP, parent);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), parent);
    EXPECT_EQ(GetParent(owned), parent);
    received.clear();
    EXPECT_TRUE(DestroyWindow(parent));
    EXPECT_EQ(received,
              (std::vector<std::string>{"owned destroy", "parent destroy", "child2 destroy",
                                        "grandchild destroy", "child1 destroy"}));
    EXPECT_FALSE(IsWindow(parent));
    EXPECT_FALSE(IsWindow(child2));
    EXPECT_FALSE(DestroyWindow(parent));
    EXPECT_EQ(GetWindow(GetDesktopWindow(), GW_CHILD), nullptr);
}

TEST_F(Windows, TextClassesAndFinding) {
    HWND window = Make(u"Notes");
    EXPECT_TRUE(SetWindowTextW(window, u"Renamed"));
    EXPECT_EQ(Name(window), "Renamed");
    EXPECT_EQ(GetWindowTextLengthW(window), 7);
    WCHAR className[32];
    EXPECT_EQ(GetClassNameW(window, className, 32), 9);
    EXPECT_EQ(std::u16string(className), u"Recording");
    EXPECT_EQ(FindWindowW(u"RECORDING", nullptr), window);
    EXPECT_EQ(FindWindowW(nullptr, u"Renamed"), window);
    EXPECT_EQ(FindWindowW(u"Recording", u"Other"), nullptr);
    WCHAR tiny[4];
    EXPECT_EQ(GetWindowTextW(window, tiny, 4), 3);
    EXPECT_EQ(std::u16string(tiny), u"Ren");
}

LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 1)
        return 77;
    WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, 0));
    return CallWindowProcW(previous, window, message, wParam, lParam);
}

TEST_F(Windows, ExtraValuesStylesAndSubclassing) {
    HWND window = Make(u"w", WS_VISIBLE | WS_BORDER);
    EXPECT_EQ(SetWindowLongW(window, 4, 1234), 0);
    EXPECT_EQ(GetWindowLongW(window, 4), 1234);
    EXPECT_EQ(GetWindowLongW(window, 16), 0); // past the class's extra bytes
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_INDEX);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_VISIBLE | WS_BORDER),
              (LONG)(WS_VISIBLE | WS_BORDER));

    LONG_PTR original =
        SetWindowLongPtrW(window, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass));
    SetWindowLongPtrW(window, 0, original);
    EXPECT_EQ(SendMessageW(window, WM_USER + 1, 0, 0), 77);
    received.clear();
    SendMessageW(window, WM_CLOSE, 0, 0); // passed on, and DefWindowProc destroys the window
    EXPECT_EQ(received, (std::vector<std::string>{"w close", "w destroy"}));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(Windows, VisibilityAndPlaces) {
    HWND parent = Make(u"parent", WS_CAPTION, nullptr, 0, 10, 10, 200, 100);
    HWND child = Make(u"child", WS_CHILD | WS_VISIBLE, parent, 0, 5, 6, 20, 10);
    EXPECT_FALSE(IsWindowVisible(child)); // its parent is hidden
    received.clear();
    EXPECT_FALSE(ShowWindow(parent, SW_SHOW));
    EXPECT_TRUE(ShowWindow(parent, SW_SHOW));
    EXPECT_EQ(received, (std::vector<std::string>{"parent show"}));
    EXPECT_TRUE(IsWindowVisible(child));

    RECT rect;
    GetWindowRect(child, &rect);
    EXPECT_EQ(rect.left, 10 + 1 + 5);     // border, then the child's place in the client area
    EXPECT_EQ(rect.top, 10 + 1 + 24 + 6); // border and caption
    POINT point = {0, 0};
    ClientToScreen(child, &point);
    EXPECT_EQ(point.x, rect.left);
    ScreenToClient(parent, &point);
    EXPECT_EQ(point.x, 5);
    EXPECT_EQ(point.y, 6);

    received.clear();
    MoveWindow(child, 7, 6, 30, 10, TRUE);
    EXPECT_EQ(received,
              (std::vector<std::string>{"child posChanged", "child size 30,10", "child move 7,6"}));
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_EQ(desktop.right, 240);
    EXPECT_EQ(desktop.bottom, 320);
}

HWND shared;

int WINAPI Owner(HINSTANCE, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = Recording;
    windowClass.lpszClassName = u"Recording";
    RegisterClassW(&windowClass); // a class of this program's own
    shared = CreateWindowExW(0, u"Recording", u"owned", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                             nullptr, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0))
        DispatchMessageW(&message);
    return 0;
}

int WINAPI Caller(HINSTANCE, HINSTANCE, LPWSTR, int) {
    DWORD answeredBy = static_cast<DWORD>(SendMessageW(shared, WM_USER, 0, 0));
    received.push_back(answeredBy == GetWindowThreadProcessId(shared, nullptr)
                           ? "answered in the owner's context"
                           : "answered elsewhere");
    received.push_back(GetCurrentThreadId() != answeredBy ? "caller's context back"
                                                          : "caller lost");
    PostMessageW(shared, WM_CLOSE, 0, 0);
    return 0;
}

TEST_F(Windows, SendingToAnotherProgramRunsInItsContextAndPostingGoesToItsQueue) {
    RegisterBuiltInProgram(u"\\owner.exe", Owner);
    RegisterBuiltInProgram(u"\\caller.exe", Caller);
    PROCESS_INFORMATION information = {};
    ASSERT_TRUE(CreateProcessW(u"\\owner.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, nullptr, &information));
    RunUntilIdle();
    ASSERT_TRUE(IsWindow(shared));
    received.clear();
    ASSERT_TRUE(CreateProcessW(u"\\caller.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, nullptr, &information));
    RunUntilIdle();
    EXPECT_EQ(received,
              (std::vector<std::string>{"answered in the owner's context", "caller's context back",
                                        "owned close", "owned destroy"}));
    EXPECT_FALSE(IsWindow(shared));
}

// A receiver that waits while it handles a message: it sleeps, sends back to the waiting sender,
// and runs a loop of its own (as a message box does) until a third program tells it to stop.
HWND busy;
HWND callerWindow;
bool stopLooping;

LRESULT CALLBACK Busy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::string context = GetCurrentThreadId() == GetWindowThreadProcessId(window, nullptr)
                                    ? "in the receiver"
                                    : "elsewhere";
    if (message == WM_USER) {
        Sleep(500);
        received.push_back("slept " + context);
        SendMessageW(callerWindow, WM_USER + 1, 0, 0);
        stopLooping = false;
        MSG queued;
        while (!stopLooping && GetMessageW(&queued, nullptr, 0, 0))
            DispatchMessageW(&queued);
        received.push_back("loop ended " + context);
        return 7;
    }
    if (message == WM_USER + 2) {
        // A sent message does not end GetMessage: the loop is woken as EndDialog wakes its own.
        stopLooping = true;
        PostMessageW(window, WM_NULL, 0, 0);
        received.push_back("stop " + context);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Called(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 1) {
        received.push_back(GetCurrentThreadId() == GetWindowThreadProcessId(window, nullptr)
                               ? "sent back to the waiting caller"
                               : "sent back elsewhere");
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeOwnWindow(const char16_t *className, WNDPROC procedure) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, className, className, 0, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                           nullptr);
}

int WINAPI BusyOwner(HINSTANCE, HINSTANCE, LPWSTR, int) {
    busy = MakeOwnWindow(u"Busy", Busy);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0))
        DispatchMessageW(&message);
    return 0;
}

int WINAPI WaitingCaller(HINSTANCE, HINSTANCE, LPWSTR, int) {
    callerWindow = MakeOwnWindow(u"Called", Called);
    received.push_back("answer " + std::to_string(SendMessageW(busy, WM_USER, 0, 0)));
    return 0;
}

int WINAPI Stopper(HINSTANCE, HINSTANCE, LPWSTR, int) {
    SendMessageW(busy, WM_USER + 2, 0, 0);
    received.push_back("stopper answered");
    return 0;
}

DWORD Start(const char16_t *path) {
    PROCESS_INFORMATION information = {};
    EXPECT_TRUE(CreateProcessW(path, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                               &information));
    RunUntilIdle();
    return information.dwProcessId;
}

TEST_F(Windows, ASendWaitsWhileTheReceiverSleepsSendsBackAndRunsALoopOfItsOwn) {
    RegisterBuiltInProgram(u"\\busy.exe", BusyOwner);
    RegisterBuiltInProgram(u"\\caller.exe", WaitingCaller);
    RegisterBuiltInProgram(u"\\stopper.exe", Stopper);
    Start(u"\\busy.exe");
    received.clear();
    Start(u"\\caller.exe");
    EXPECT_TRUE(received.empty()) << "the receiver sleeps; the caller waits";
    AdvanceDeviceTime(500);
    EXPECT_EQ(received, (std::vector<std::string>{"slept in the receiver",
                                                  "sent back to the waiting caller"}))
        << "no answer while the receiver's loop runs";
    Start(u"\\stopper.exe");
    // The stopper and the receiver go on side by side; the caller's answer comes after the loop.
    const std::vector<std::string> expected = {
        "slept in the receiver", "sent back to the waiting caller", "stop in the receiver",
        "loop ended in the receiver", "answer 7"};
    std::vector<std::string> withoutStopper = received;
    std::erase(withoutStopper, "stopper answered");
    EXPECT_EQ(withoutStopper, expected);
    EXPECT_EQ(std::count(received.begin(), received.end(), "stopper answered"), 1);
}

// A sender still waiting when the receiver ends gets 0, and goes on.
int WINAPI EndingOwner(HINSTANCE, HINSTANCE, LPWSTR, int) {
    busy = MakeOwnWindow(u"Ending", DefWindowProcW);
    Sleep(100); // ends without looking at its messages
    return 0;
}

int WINAPI PatientCaller(HINSTANCE, HINSTANCE, LPWSTR, int) {
    received.push_back("answer " + std::to_string(SendMessageW(busy, WM_GETTEXTLENGTH, 0, 0)));
    return 0;
}

TEST_F(Windows, ASendToAProgramThatEndsWithoutLookingIsAnsweredWithZero) {
    RegisterBuiltInProgram(u"\\ending.exe", EndingOwner);
    RegisterBuiltInProgram(u"\\caller.exe", PatientCaller);
    Start(u"\\ending.exe");
    received.clear();
    Start(u"\\caller.exe");
    EXPECT_TRUE(received.empty());
    AdvanceDeviceTime(100);
    EXPECT_EQ(received, (std::vector<std::string>{"answer 0"}));
}

// A program that ends without destroying its window leaves no other program's window owned by it.
HWND endingOwner;
HWND ownedElsewhere;

int WINAPI OwnerThatEnds(HINSTANCE, HINSTANCE, LPWSTR, int) {
    endingOwner = MakeOwnWindow(u"EndingOwner", DefWindowProcW);
    MSG message;
    GetMessageW(&message, nullptr, 0, 0); // the first message ends it
    return 0;
}

int WINAPI OwnedByAnother(HINSTANCE, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = u"OwnedElsewhere";
    RegisterClassW(&windowClass);
    ownedElsewhere = CreateWindowExW(0, u"OwnedElsewhere", u"owned", WS_POPUP | WS_VISIBLE, 0, 0,
                                     10, 10, endingOwner, nullptr, nullptr, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0))
        DispatchMessageW(&message);
    return 0;
}

TEST_F(Windows, AnOwnerThatGoesWithItsProgramLeavesItsOwnedWindowsWithoutOwner) {
    RegisterBuiltInProgram(u"\\ender.exe", OwnerThatEnds);
    RegisterBuiltInProgram(u"\\owned.exe", OwnedByAnother);
    const DWORD ender = Start(u"\\ender.exe");
    Start(u"\\owned.exe");
    ASSERT_EQ(GetWindow(ownedElsewhere, GW_OWNER), endingOwner);
    PostThreadMessageW(ender, WM_USER, 0, 0);
    RunUntilIdle();
    EXPECT_FALSE(IsWindow(endingOwner));
    EXPECT_EQ(GetWindow(ownedElsewhere, GW_OWNER), nullptr);
    EXPECT_TRUE(DestroyWindow(ownedElsewhere));
}

} // namespace
