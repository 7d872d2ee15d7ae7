// Typing into the target program.
#include "key_injection.h"

#include "pennakbd_state.h"

namespace {

// Asking the target's thread for its focus: tries, and the wait before each.
const int focusQueryAttempts = 100;
const DWORD focusQueryWait = 10;
const int classNameSize = 260;

WNDPROC queriedProcedure;
BOOL queryInProgress;

BOOL ClassIs(HWND window, LPCWSTR name, int size) {
    WCHAR className[classNameSize];
    return GetClassNameW(window, className, size) > 0 && lstrcmpiW(className, name) == 0;
}

// Runs in the target's thread, in front of its window procedure, while a query is made.
LRESULT CALLBACK QueryFocusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MSG_QUERY_FOCUS) {
        SetActiveWindow((HWND)wParam);
        HWND focus = GetFocus();
        if (focus != NULL)
            return (LRESULT)focus;
    }
    return queriedProcedure != NULL
               ? CallWindowProcW(queriedProcedure, window, message, wParam, lParam)
               : 0;
}

HWND AskForFocus(HWND target) {
    if (queryInProgress)
        return NULL;
    queryInProgress = TRUE;
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    LRESULT answer = 0;
    queriedProcedure = (WNDPROC)SetWindowLongPtrW(target, GWL_WNDPROC, (LONG_PTR)QueryFocusProc);
    if (queriedProcedure != NULL) {
        for (int attempt = 0; attempt < focusQueryAttempts && answer == 0; attempt++) {
            Sleep(focusQueryWait);
            answer = SendMessageW(target, MSG_QUERY_FOCUS, (WPARAM)target, 0);
        }
        SetWindowLongPtrW(target, GWL_WNDPROC, (LONG_PTR)queriedProcedure);
    }
    queriedProcedure = NULL;
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    queryInProgress = FALSE;
    return (HWND)answer;
}

// A focus window in the target, activating the target and the keyboard once more if the first
// question finds none.
HWND EnsureFocusWindow(HWND mainWindow) {
    HWND focus = FindTargetFocus(mainWindow);
    if (focus != NULL)
        return focus;
    HWND target = FindTargetWindow(mainWindow);
    if (target == NULL)
        return NULL;
    SetActiveWindow(target);
    SetActiveWindow(mainWindow);
    return FindTargetFocus(mainWindow);
}

void InjectKey(BYTE code, BOOL down) {
    keybd_event(code, 0, down ? KEYEVENTF_EXTENDEDKEY : KEYEVENTF_KEYUP, 0);
}

void PressKey(BYTE code) {
    InjectKey(code, TRUE);
    InjectKey(code, FALSE);
}

BOOL ControlOrAltHeld(void) {
    for (Element *node = HeldKeys; node != NULL; node = node->next) {
        const KeyDef *held = (const KeyDef *)node->data;
        if (held != NULL && (held->code == VK_CONTROL || held->code == VK_MENU))
            return TRUE;
    }
    return FALSE;
}

} // namespace

HWND FindTargetWindow(HWND mainWindow) {
    HWND window = GetWindow(GetDesktopWindow(), GW_CHILD);
    if (window == NULL)
        window = mainWindow;
    for (; window != NULL; window = GetWindow(window, GW_HWNDNEXT)) {
        if (!IsWindowVisible(window) || window == mainWindow)
            continue;
        if (ClassIs(window, TEXT("static"), classNameSize) ||
            ClassIs(window, TEXT("SipWndClass"), classNameSize) ||
            ClassIs(window, TEXT("HHTaskBar"), classNameSize))
            continue;
        return window;
    }
    return NULL;
}

HWND FindTargetFocus(HWND mainWindow) {
    HWND target = FindTargetWindow(mainWindow);
    if (target == NULL)
        return NULL;
    SetActiveWindow(target);
    return AskForFocus(target);
}

void SendVirtualKeys(HWND mainWindow, LPCWSTR codes, BOOL down) {
    EnsureFocusWindow(mainWindow);
    SetForegroundWindow(FindTargetWindow(mainWindow));
    for (LPCWSTR code = codes; *code != 0; code++) {
        if (*code <= 0xFF)
            InjectKey((BYTE)*code, down);
    }
}

// The key that types a character, with Shift when it needs it: a letter or digit is its own key,
// anything else the key the device's keyboard has for it. FALSE when no key types it.
static BOOL PressKeyOf(WCHAR character) {
    if ((character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z') ||
        (character >= '0' && character <= '9')) {
        PressKey((BYTE)towupper(character));
        return TRUE;
    }
    const SHORT scan = VkKeyScanW(character);
    if (scan == -1)
        return FALSE;
    const BOOL shift = (scan & 0x100) != 0 && (GetKeyState(VK_SHIFT) & 0x8000) == 0;
    if (shift)
        InjectKey(VK_SHIFT, TRUE);
    PressKey((BYTE)(scan & 0xFF));
    if (shift)
        InjectKey(VK_SHIFT, FALSE);
    return TRUE;
}

void SendCharacters(HWND mainWindow, LPCWSTR text) {
    // Control or Alt with a character is a chord: the program must see the key, not a character.
    // A character no key types goes as a character, without the chord.
    if (text[0] != 0 && text[1] == 0 && text[0] < 0x80 && ControlOrAltHeld()) {
        SetForegroundWindow(FindTargetWindow(mainWindow));
        if (PressKeyOf(text[0]))
            return;
    }
    HWND focus = EnsureFocusWindow(mainWindow);
    if (focus == NULL)
        return;
    SetActiveWindow(FindTargetWindow(mainWindow));
    for (LPCWSTR unit = text; *unit != 0; unit++)
        PostMessageW(focus, WM_CHAR, *unit, 1);
}

void ExecuteWindowCommand(HWND mainWindow, LPCWSTR command) {
    HWND focus = EnsureFocusWindow(mainWindow);
    HWND target = FindTargetWindow(mainWindow);
    SetForegroundWindow(target);
    if (target == NULL || focus == NULL)
        return;
    WCHAR className[100] = {0};
    if (GetClassNameW(target, className, 100) > 0 &&
        lstrcmpW(className, TEXT("DesktopExplorerWindow")) == 0)
        return;
    const LONG style = GetWindowLongW(target, GWL_STYLE);
    if (lstrcmpW(command, TEXT("IDOK")) == 0) {
        if ((GetWindowLongW(target, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN) != 0)
            PostMessageW(target, WM_COMMAND, IDOK, 0);
        else
            PressKey(VK_RETURN);
    } else if (lstrcmpW(command, TEXT("IDCANCEL")) == 0) {
        if (GetParent(target) != NULL)
            PostMessageW(target, WM_COMMAND, IDCANCEL, 0);
        else if ((style & WS_SYSMENU) != 0 || lstrcmpW(className, TEXT("MNU")) != 0)
            PostMessageW(target, WM_CLOSE, 0, 0);
        else
            PressKey(VK_ESCAPE);
    } else if (lstrcmpW(command, TEXT("IDMINIMIZE")) == 0) {
        if ((style & WS_MINIMIZE) == 0)
            ShowWindow(target, SW_MINIMIZE);
    }
}
