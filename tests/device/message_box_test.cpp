// Message boxes on a booted device: the "Dialog" window a program's MessageBoxW shows, what each
// button, Return, Escape and the close request answer, other programs running meanwhile, the
// owner's part, MB_TOPMOST, and how a question looks.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "../platform/golden.h"
#include "booted_device.h"
#include "device/automation.h"
#include "kernel/scheduler.h"
#include "engine/png_files.h"

namespace {

const int textId = 0xFFFF;
const int iconId = 0xFFFE;

std::vector<std::string> received;
// What the asking program asks.
const char16_t *boxText = u"Go on?";
const char16_t *boxCaption = u"Question";
UINT boxType = MB_OK;
bool withOwner = false;

std::string TextOf(HWND window) {
    WCHAR text[128] = {};
    GetWindowTextW(window, text, 128);
    return std::string(text, text + lstrlenW(text));
}

std::string ClassOf(HWND window) {
    WCHAR name[32] = {};
    GetClassNameW(window, name, 32);
    return std::string(name, name + lstrlenW(name));
}

LRESULT CALLBACK AskerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENABLE) {
        received.push_back(wParam != 0 ? "owner enabled" : "owner disabled");
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Asks once, from a window of its own when withOwner says so, and records the answer.
int WINAPI AskingProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    HWND owner = nullptr;
    if (withOwner) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = AskerProc;
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = u"Asker";
        RegisterClassW(&windowClass);
        owner = CreateWindowExW(0, u"Asker", u"Asker", WS_VISIBLE | WS_CAPTION | WS_BORDER, 0, 0,
                                240, 294, nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(owner);
    }
    const int answer = MessageBoxW(owner, boxText, boxCaption, boxType);
    received.push_back("answer " + std::to_string(answer));
    if (owner != nullptr) {
        received.push_back(GetActiveWindow() == owner ? "owner active" : "owner not active");
    }
    return 0;
}

LRESULT CALLBACK TickerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        received.push_back("tick");
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

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

class MessageBoxOnDevice : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        RegisterBuiltInProgram(u"\\Windows\\asking.exe", AskingProgram);
        received.clear();
        boxText = u"Go on?";
        boxCaption = u"Question";
        boxType = MB_OK;
        withOwner = false;
    }
    // Starts the program asking with the type; the box it shows.
    static HWND Ask(UINT type) {
        boxType = type;
        Start(u"\\Windows\\asking.exe");
        return FindWindowW(u"Dialog", boxCaption);
    }
    static void TapButton(HWND box, int id) {
        RECT rect;
        ASSERT_TRUE(GetWindowRect(GetDlgItem(box, id), &rect));
        TapAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
};

TEST_F(MessageBoxOnDevice, TheBoxIsADialogCaptionedWithItsTextAndButtons) {
    HWND box = Ask(MB_OKCANCEL);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ClassOf(box), "Dialog");
    EXPECT_EQ(TextOf(box), "Question");
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ(GetForegroundWindow(), box);
    HWND text = GetDlgItem(box, textId);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(ClassOf(text), "STATIC");
    EXPECT_EQ(TextOf(text), "Go on?");
    std::string read;
    ASSERT_TRUE(ReadWindowText(u"STATIC", read));
    EXPECT_EQ(read, "Go on?");
    EXPECT_EQ(TextOf(GetDlgItem(box, IDOK)), "OK");
    EXPECT_EQ(TextOf(GetDlgItem(box, IDCANCEL)), "Cancel");
    EXPECT_EQ(ClassOf(GetDlgItem(box, IDCANCEL)), "BUTTON");
    EXPECT_EQ(GetDlgItem(box, iconId), nullptr) << "no icon asked for";
    // The first button is the default one.
    EXPECT_EQ(SendMessageW(box, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
    // Centred in the screen above the task bar.
    RECT frame;
    GetWindowRect(box, &frame);
    EXPECT_EQ(frame.left, (240 - (frame.right - frame.left)) / 2);
    EXPECT_EQ(frame.top, (294 - (frame.bottom - frame.top)) / 2);
    EXPECT_EQ(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(received.empty()) << "the program waits for its answer";
}

TEST_F(MessageBoxOnDevice, WithoutACaptionTheBoxSaysError) {
    boxCaption = nullptr;
    Start(u"\\Windows\\asking.exe");
    HWND box = FindWindowW(u"Dialog", u"Error");
    ASSERT_NE(box, nullptr);
    PressKey(VK_RETURN);
    EXPECT_EQ(received, (std::vector<std::string>{"answer 1"}));
}

// How the box is answered: a tap on the button with that id, or a key.
struct Answering {
    const char *name;
    UINT type;
    int tapped; // 0 for a key
    BYTE key;
    int expected;
};

void PrintTo(const Answering &answering, std::ostream *out) {
    *out << answering.name;
}

class MessageBoxAnswers : public MessageBoxOnDevice,
                          public testing::WithParamInterface<Answering> {};

TEST_P(MessageBoxAnswers, EachButtonAndKeyAnswers) {
    const Answering &answering = GetParam();
    HWND box = Ask(answering.type);
    ASSERT_NE(box, nullptr);
    if (answering.tapped != 0) {
        TapButton(box, answering.tapped);
    } else {
        PressKey(answering.key);
    }
    EXPECT_EQ(received, (std::vector<std::string>{"answer " + std::to_string(answering.expected)}));
    EXPECT_FALSE(IsWindow(box));
}

INSTANTIATE_TEST_SUITE_P(
    MessageBox, MessageBoxAnswers,
    testing::Values(Answering{"OkTapped", MB_OK, IDOK, 0, IDOK},
                    Answering{"OkByReturn", MB_OK, 0, VK_RETURN, IDOK},
                    Answering{"OkByEscape", MB_OK, 0, VK_ESCAPE, IDOK},
                    Answering{"OkCancelOkTapped", MB_OKCANCEL, IDOK, 0, IDOK},
                    Answering{"OkCancelCancelTapped", MB_OKCANCEL, IDCANCEL, 0, IDCANCEL},
                    Answering{"OkCancelByReturn", MB_OKCANCEL, 0, VK_RETURN, IDOK},
                    Answering{"OkCancelByEscape", MB_OKCANCEL, 0, VK_ESCAPE, IDCANCEL},
                    Answering{"YesNoYesTapped", MB_YESNO, IDYES, 0, IDYES},
                    Answering{"YesNoNoTapped", MB_YESNO, IDNO, 0, IDNO},
                    Answering{"YesNoByReturn", MB_YESNO, 0, VK_RETURN, IDYES},
                    Answering{"RetryCancelRetryTapped", MB_RETRYCANCEL, IDRETRY, 0, IDRETRY},
                    Answering{"RetryCancelByEscape", MB_RETRYCANCEL, 0, VK_ESCAPE, IDCANCEL}),
    [](const testing::TestParamInfo<Answering> &info) { return std::string(info.param.name); });

TEST_F(MessageBoxOnDevice, AYesNoQuestionIgnoresEscapeAndTheCloseRequest) {
    HWND box = Ask(MB_YESNO);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(box, IDYES)), "Yes");
    EXPECT_EQ(TextOf(GetDlgItem(box, IDNO)), "No");
    PressKey(VK_ESCAPE);
    SendMessageW(box, WM_CLOSE, 0, 0);
    RunUntilIdle();
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_TRUE(received.empty());
    TapButton(box, IDNO);
    EXPECT_EQ(received, (std::vector<std::string>{"answer 7"}));
}

TEST_F(MessageBoxOnDevice, TheCloseRequestCancelsOrAcknowledges) {
    HWND box = Ask(MB_OKCANCEL);
    ASSERT_NE(box, nullptr);
    SendMessageW(box, WM_CLOSE, 0, 0);
    RunUntilIdle();
    box = Ask(MB_OK);
    ASSERT_NE(box, nullptr);
    SendMessageW(box, WM_CLOSE, 0, 0);
    RunUntilIdle();
    EXPECT_EQ(received, (std::vector<std::string>{"answer 2", "answer 1"}));
}

TEST_F(MessageBoxOnDevice, OtherProgramsKeepRunningWhileTheBoxIsOpen) {
    RegisterBuiltInProgram(u"\\Windows\\ticker.exe", TickerProgram);
    Start(u"\\Windows\\ticker.exe");
    HWND box = Ask(MB_OK);
    ASSERT_NE(box, nullptr);
    AdvanceDeviceTime(250);
    EXPECT_EQ(received, (std::vector<std::string>{"tick", "tick"}));
    TapButton(box, IDOK);
    EXPECT_EQ(received, (std::vector<std::string>{"tick", "tick", "answer 1"}));
}

TEST_F(MessageBoxOnDevice, TheOwnerIsDisabledUntilTheAnswerAndThenActive) {
    withOwner = true;
    HWND box = Ask(MB_OKCANCEL);
    ASSERT_NE(box, nullptr);
    HWND owner = FindWindowW(u"Asker", nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), owner);
    EXPECT_FALSE(IsWindowEnabled(owner));
    EXPECT_EQ(GetForegroundWindow(), box);
    // A tap on the disabled owner changes nothing.
    TapAt(120, 280);
    EXPECT_EQ(GetForegroundWindow(), box);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(received, (std::vector<std::string>{"owner disabled", "owner enabled", "answer 2",
                                                  "owner active"}));
}

TEST_F(MessageBoxOnDevice, TopMostIsAskedForByTheType) {
    HWND box = Ask(MB_OK | MB_TOPMOST);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    // In front of the task bar, the other top-most window.
    EXPECT_EQ(GetWindow(GetDesktopWindow(), GW_CHILD), box);
}

TEST_F(MessageBoxOnDevice, AQuestionWithAnIconAndTwoLines) {
    boxText = u"Save the changes to the English layout before closing?";
    boxCaption = u"Layouts";
    HWND box = Ask(MB_OKCANCEL | MB_ICONQUESTION);
    ASSERT_NE(box, nullptr);
    HWND icon = GetDlgItem(box, iconId);
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(SendMessageW(icon, STM_GETICON, 0, 0), 0);
    // The text wraps to two lines of the system font, 13 pixels each.
    RECT text;
    GetWindowRect(GetDlgItem(box, textId), &text);
    EXPECT_EQ(text.bottom - text.top, 26);
    const std::string picture = folder + "/box.png";
    ASSERT_TRUE(SaveScreenshot(picture));
    Surface screen;
    ASSERT_TRUE(ReadSurfacePng(picture, screen));
    ExpectMatchesGolden(screen, "message_box_question");
    TapButton(box, IDCANCEL);
    EXPECT_EQ(received, (std::vector<std::string>{"answer 2"}));
}

} // namespace
