// Modal dialogs: DialogBoxParam's loop with the owner disabled until EndDialog, a dialog ended
// before it is shown, one modal dialog inside another, other programs and the owner's own timers
// and posted messages going on meanwhile, and a quit that ends the loop for the loop outside.
#include <gtest/gtest.h>

#include <dialog_templates.h>
#include <resource_tables.h>

#include <string>
#include <vector>

#include "booted_device.h"
#include "device/automation.h"
#include "kernel/scheduler.h"

namespace {

const DWORD modalStyle =
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_BORDER | DS_MODALFRAME | DS_CENTER | DS_SETFONT;

const DIALOG_ITEM_TEMPLATE questionItems[] = {
    {210, u"STATIC", u"Go on?", WS_VISIBLE | SS_LEFT, 0, 4, 4, 80, 9},
    {IDOK, u"BUTTON", u"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 4, 18, 38, 14},
    {IDCANCEL, u"BUTTON", u"Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 46, 18, 38, 14},
};
// The same question twice, captioned apart.
const DIALOG_TEMPLATE_TABLE outer = {
    modalStyle, 0, 0, 0, 88, 36, u"Outer", 8, u"MS Sans Serif", questionItems, 3,
};
const DIALOG_TEMPLATE_TABLE inner = {
    modalStyle, 0, 0, 0, 88, 36, u"Inner", 8, u"MS Sans Serif", questionItems, 3,
};

const RESOURCE_ENTRY resources[] = {
    {MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(201), &outer, sizeof outer},
    {MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(202), &inner, sizeof inner},
};
const BOOL registered = RegisterModuleResources(resources, ARRAYSIZE(resources));

const UINT ownerPosted = WM_USER + 5;

std::vector<std::string> received;
// The procedure of the dialog the owner program opens, and whether it gives a child of its window
// as the owner.
DLGPROC modalProc = nullptr;
bool ownedByChild = false;

std::string Command(WPARAM wParam) {
    return "command " + std::to_string(LOWORD(wParam));
}

// The owner records being enabled and activated, and what reaches it while a dialog is up.
LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ENABLE:
        received.push_back(wParam != 0 ? "owner enabled" : "owner disabled");
        return 0;
    case WM_ACTIVATE:
        received.push_back(LOWORD(wParam) == WA_INACTIVE ? "owner inactive" : "owner active");
        return 0;
    case WM_TIMER:
        KillTimer(window, wParam);
        received.push_back("owner timer");
        return 0;
    case ownerPosted:
        received.push_back("owner posted");
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Opens the dialog of modalProc from a window of its own, then runs its own loop until it quits.
int WINAPI OwnerProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = OwnerProc;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = u"Owner";
    RegisterClassW(&windowClass);
    HWND owner = CreateWindowExW(0, u"Owner", u"Owner", WS_VISIBLE | WS_CAPTION | WS_BORDER, 0, 0,
                                 240, 294, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowExW(0, u"STATIC", u"", WS_CHILD | WS_VISIBLE, 4, 4, 40, 20, owner,
                                 nullptr, nullptr, nullptr);
    SetForegroundWindow(owner);
    const INT_PTR result = DialogBoxParamW(nullptr, MAKEINTRESOURCEW(201),
                                           ownedByChild ? child : owner, modalProc, 77);
    received.push_back("returned " + std::to_string(result));
    received.push_back(std::string("afterwards ") +
                       (IsWindowEnabled(owner) ? "enabled" : "disabled") +
                       (GetActiveWindow() == owner ? ", active" : ", not active"));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        DispatchMessageW(&message);
    }
    received.push_back("quit " + std::to_string(message.wParam));
    return 0;
}

// Ends with 5 for OK and 6 for Cancel.
INT_PTR CALLBACK AnsweringProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        received.push_back("init " + std::to_string(lParam));
        return TRUE;
    case WM_COMMAND:
        received.push_back(Command(wParam));
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 5 : 6);
        return TRUE;
    }
    return FALSE;
}

class ModalDialog : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_TRUE(registered);
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        RegisterBuiltInProgram(u"\\Windows\\owner.exe", OwnerProgram);
        received.clear();
        ownedByChild = false;
    }
    static HWND Owner() {
        return FindWindowW(u"Owner", nullptr);
    }
};

TEST_F(ModalDialog, TheOwnerIsDisabledUntilEndDialogWhoseValueIsReturned) {
    modalProc = AnsweringProc;
    Start(u"\\Windows\\owner.exe");
    HWND dialog = FindWindowW(u"Dialog", u"Outer");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(GetForegroundWindow(), dialog);
    EXPECT_FALSE(IsWindowEnabled(Owner()));
    EXPECT_EQ(received, (std::vector<std::string>{"owner active", "init 77", "owner inactive",
                                                  "owner disabled"}));
    received.clear();
    PressKey(VK_RETURN);
    EXPECT_EQ(received, (std::vector<std::string>{"command 1", "owner enabled", "owner active",
                                                  "returned 5", "afterwards enabled, active"}));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(GetForegroundWindow(), Owner());
}

// A child given as the owner: its top-level window is disabled, and enabled again after.
TEST_F(ModalDialog, AChildGivenAsOwnerDisablesItsTopLevelWindow) {
    modalProc = AnsweringProc;
    ownedByChild = true;
    Start(u"\\Windows\\owner.exe");
    HWND dialog = FindWindowW(u"Dialog", u"Outer");
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowEnabled(Owner()));
    PressKey(VK_RETURN);
    EXPECT_TRUE(IsWindowEnabled(Owner()));
    EXPECT_EQ(received.back(), "afterwards enabled, active");
}

// Ends itself as soon as it is made; records whatever would show it.
INT_PTR CALLBACK HastyProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        received.push_back("init");
        EndDialog(dialog, 9);
        return TRUE;
    case WM_SHOWWINDOW:
        received.push_back("shown");
        break;
    case WM_ACTIVATE:
        received.push_back("activated");
        break;
    case WM_PAINT:
        received.push_back("painted");
        break;
    case WM_DESTROY:
        received.push_back("destroyed");
        break;
    }
    return FALSE;
}

TEST_F(ModalDialog, EndDialogInInitDialogReturnsBeforeTheDialogIsShown) {
    modalProc = HastyProc;
    Start(u"\\Windows\\owner.exe");
    // The owner was never disabled nor left inactive.
    EXPECT_EQ(received, (std::vector<std::string>{"owner active", "init", "destroyed", "returned 9",
                                                  "afterwards enabled, active"}));
    EXPECT_EQ(FindWindowW(u"Dialog", nullptr), nullptr);
}

INT_PTR CALLBACK InnerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        received.push_back("inner init");
        return TRUE;
    case WM_COMMAND:
        received.push_back("inner " + Command(wParam));
        EndDialog(dialog, LOWORD(wParam) == IDOK ? 5 : 6);
        return TRUE;
    }
    return FALSE;
}

// OK opens the inner dialog and waits for it; Cancel ends the outer one.
INT_PTR CALLBACK OuterProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        received.push_back("outer init");
        return TRUE;
    case WM_COMMAND:
        received.push_back("outer " + Command(wParam));
        if (LOWORD(wParam) == IDOK) {
            const INT_PTR answer =
                DialogBoxParamW(nullptr, MAKEINTRESOURCEW(202), dialog, InnerProc, 0);
            received.push_back("inner returned " + std::to_string(answer));
        } else {
            EndDialog(dialog, 6);
        }
        return TRUE;
    }
    return FALSE;
}

TEST_F(ModalDialog, ADialogOpenedFromADialogEndsFirst) {
    modalProc = OuterProc;
    Start(u"\\Windows\\owner.exe");
    HWND outerDialog = FindWindowW(u"Dialog", u"Outer");
    ASSERT_NE(outerDialog, nullptr);
    received.clear();

    PressKey(VK_RETURN);
    HWND innerDialog = FindWindowW(u"Dialog", u"Inner");
    ASSERT_NE(innerDialog, nullptr);
    EXPECT_EQ(GetForegroundWindow(), innerDialog);
    EXPECT_FALSE(IsWindowEnabled(outerDialog));
    EXPECT_FALSE(IsWindowEnabled(Owner()));

    // Return is the inner dialog's; then Escape is the outer one's again.
    PressKey(VK_RETURN);
    EXPECT_FALSE(IsWindow(innerDialog));
    EXPECT_TRUE(IsWindowEnabled(outerDialog));
    EXPECT_FALSE(IsWindowEnabled(Owner()));
    EXPECT_EQ(GetForegroundWindow(), outerDialog);
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(IsWindow(outerDialog));
    EXPECT_EQ(received, (std::vector<std::string>{
                            "outer command 1", "inner init", "inner command 1", "inner returned 5",
                            "outer command 2", "owner enabled", "owner active", "returned 6",
                            "afterwards enabled, active"}));
}

// Posts to its owner and starts the owner's timer; Escape ends it.
INT_PTR CALLBACK BusyOwnerProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        HWND owner = GetWindow(dialog, GW_OWNER);
        PostMessageW(owner, ownerPosted, 0, 0);
        SetTimer(owner, 1, 150, nullptr);
        return TRUE;
    }
    case WM_COMMAND:
        EndDialog(dialog, 6);
        return TRUE;
    }
    return FALSE;
}

LRESULT CALLBACK TickerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        received.push_back("tick");
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A program of its own, ticking every tenth of a second.
int WINAPI TickerProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = TickerProc;
    windowClass.lpszClassName = u"Ticker";
    RegisterClassW(&windowClass);
    HWND window =
        CreateWindowExW(0, u"Ticker", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SetTimer(window, 1, 100, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        DispatchMessageW(&message);
    }
    return 0;
}

TEST_F(ModalDialog, OtherProgramsAndTheOwnersOwnMessagesGoOnMeanwhile) {
    RegisterBuiltInProgram(u"\\Windows\\ticker.exe", TickerProgram);
    modalProc = BusyOwnerProc;
    Start(u"\\Windows\\ticker.exe");
    Start(u"\\Windows\\owner.exe");
    ASSERT_NE(FindWindowW(u"Dialog", u"Outer"), nullptr);
    // What the dialog posted to its disabled owner is dispatched by the dialog's loop.
    EXPECT_EQ(received, (std::vector<std::string>{"owner active", "owner inactive",
                                                  "owner disabled", "owner posted"}));
    received.clear();
    AdvanceDeviceTime(350);
    EXPECT_NE(FindWindowW(u"Dialog", u"Outer"), nullptr);
    EXPECT_EQ(received, (std::vector<std::string>{"tick", "owner timer", "tick", "tick"}));
    PressKey(VK_ESCAPE);
    EXPECT_EQ(FindWindowW(u"Dialog", u"Outer"), nullptr);
}

// OK asks the program to quit while the dialog is still up.
INT_PTR CALLBACK QuittingProc(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) {
        received.push_back(Command(wParam));
        PostQuitMessage(3);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

TEST_F(ModalDialog, AQuitEndsTheLoopAndIsSeenByTheLoopOutside) {
    modalProc = QuittingProc;
    Start(u"\\Windows\\owner.exe");
    ASSERT_NE(FindWindowW(u"Dialog", u"Outer"), nullptr);
    received.clear();
    PressKey(VK_RETURN);
    // The loop ended without EndDialog: DialogBoxParam answers -1.
    EXPECT_EQ(received,
              (std::vector<std::string>{"command 1", "owner enabled", "owner active", "returned -1",
                                        "afterwards enabled, active", "quit 3"}));
    EXPECT_EQ(FindWindowW(u"Dialog", nullptr), nullptr);
    EXPECT_EQ(Owner(), nullptr) << "the program ended";
}

} // namespace
