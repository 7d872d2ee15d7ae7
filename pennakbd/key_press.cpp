// HandleKeyPress: slide gestures and every key type.
#include "key_press.h"

#include "held_keys.h"
#include "key_injection.h"
#include "keyboard_window.h"
#include "pennakbd_state.h"

namespace {

// The type bits of a key; only a key with exactly one of them, or none, does something.
const DWORD typeBits = KEY_STICK | KEY_DEADKEY | KEY_TOGGLE | KEY_SWITCH;

void ShowLayout(Element *layout) {
    PostMessageW(KeyboardWindow, MSG_SHOW_LAYOUT, (WPARAM)layout, 0);
}

void PressVirtualKey(WCHAR code) {
    const WCHAR codes[2] = {code, 0};
    SendVirtualKeys(MainWindow, codes, TRUE);
    SendVirtualKeys(MainWindow, codes, FALSE);
}

BOOL IsWindowCommand(LPCWSTR text) {
    return lstrcmpW(text, TEXT("IDOK")) == 0 || lstrcmpW(text, TEXT("IDCANCEL")) == 0 ||
           lstrcmpW(text, TEXT("IDMINIMIZE")) == 0;
}

// The key's character, after the code of a held dead key unless the key has MAP.
void PrefixDeadKey(const KeyDef *key, WCHAR character, WCHAR *text) {
    text[0] = character;
    text[1] = 0;
    if ((key->flags & KEY_MAP) != 0)
        return;
    for (Element *node = HeldKeys; node != NULL; node = node->next) {
        const KeyDef *held = (const KeyDef *)node->data;
        if (held != NULL && (held->flags & KEY_DEADKEY) != 0) {
            text[0] = held->code;
            text[1] = character;
            text[2] = 0;
            return;
        }
    }
}

BOOL ShiftHeld(void) {
    for (Element *node = HeldKeys; node != NULL; node = node->next) {
        if (node->data != NULL && ((const KeyDef *)node->data)->code == VK_SHIFT)
            return TRUE;
    }
    return FALSE;
}

// Sticky modifiers and dead keys go after a character; the layout follows what they leave.
void ReleaseOneShotKeys(void) {
    Element *displayed = DisplayedLayout();
    Element *next = ApplyHeldKeys(displayed, KEY_STICK | KEY_DEADKEY, HELD_NEWEST_FIRST);
    WCHAR *released = ReleaseHeldKeys(KEY_STICK | KEY_DEADKEY);
    if (released != NULL) {
        SendVirtualKeys(MainWindow, released, FALSE);
        LocalFree(released);
        if (next != NULL)
            ShowLayout(next);
    } else if (next != displayed) {
        ShowLayout(next);
    }
}

// A slide off the key; FALSE when it produced nothing.
BOOL Gesture(const KeyDef *key, short x, short y) {
    const short left = (short)key->left, right = (short)key->width;
    const short top = (short)key->top, bottom = (short)key->height;
    WCHAR virtualKey = 0;
    BOOL upper = FALSE, lower = FALSE;
    if (x > right) {
        virtualKey = VK_SPACE;
    } else if (x < left) {
        if (top < y && y < bottom)
            virtualKey = VK_BACK;
        else if (y > bottom)
            virtualKey = VK_RETURN;
        else if (y < top)
            upper = TRUE;
    } else if (y < top) {
        upper = TRUE;
    } else if (y > bottom) {
        lower = TRUE;
    }
    if (virtualKey != 0) {
        PressVirtualKey(virtualKey);
    } else if ((upper || lower) && key->code != 0 && (key->flags & KEY_VIRTUAL) == 0) {
        WCHAR text[3];
        PrefixDeadKey(key, upper ? towupper(key->code) : towlower(key->code), text);
        SendCharacters(MainWindow, text);
    } else {
        return FALSE;
    }
    return TRUE;
}

BOOL Outside(const KeyDef *key, short x, short y) {
    return x < (short)key->left || x > (short)key->width || y < (short)key->top ||
           y > (short)key->height;
}

void OrdinaryKey(KeyDef *key) {
    switch (key->flags & (KEY_VIRTUAL | KEY_LAUNCH | KEY_MACRO)) {
    case 0: {
        WCHAR text[3];
        PrefixDeadKey(key, key->code, text);
        SendCharacters(MainWindow, text);
        break;
    }
    case KEY_MACRO:
        if (key->target == NULL)
            break;
        if (IsWindowCommand((LPCWSTR)key->target))
            ExecuteWindowCommand(MainWindow, (LPCWSTR)key->target);
        else
            SendCharacters(MainWindow, (LPCWSTR)key->target);
        break;
    case KEY_LAUNCH: {
        PROCESS_INFORMATION process;
        if (key->target != NULL && CreateProcessW((LPCWSTR)key->target, NULL, NULL, NULL, FALSE, 0,
                                                  NULL, NULL, NULL, &process)) {
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        break;
    }
    case KEY_VIRTUAL:
        // Delete with Shift held is Delete alone: the program must not see a Shift+Delete.
        if (ShiftHeld() && key->code == VK_DELETE) {
            const WCHAR shift[2] = {VK_SHIFT, 0};
            SendVirtualKeys(MainWindow, shift, FALSE);
            PressVirtualKey(VK_DELETE);
            SendVirtualKeys(MainWindow, shift, TRUE);
        } else {
            PressVirtualKey(key->code);
        }
        break;
    }
    if ((key->flags & KEY_NORELEASESTICK) == 0)
        ReleaseOneShotKeys();
}

void StickyKey(KeyDef *key) {
    const int added = ToggleHeldKey(key);
    if (key->code <= 0xFF) {
        const WCHAR codes[2] = {key->code, 0};
        SendVirtualKeys(MainWindow, codes, added != 0);
    }
    Element *target = ResolveKeyTarget(key);
    ShowLayout(target != NULL ? target : DisplayedLayout());
}

void DeadKey(KeyDef *key) {
    const int added = ToggleHeldKey(key);
    WCHAR *released = ReleaseHeldKeys(KEY_STICK | KEY_DEADKEY);
    if (released != NULL) {
        SendVirtualKeys(MainWindow, released, FALSE);
        LocalFree(released);
    }
    if (added)
        ToggleHeldKey(key);
    Element *target = ResolveKeyTarget(key);
    if (target != NULL)
        ShowLayout(target);
}

void ToggleKey(KeyDef *key) {
    ToggleHeldKey(key);
    Element *target = ResolveKeyTarget(key);
    if (target != NULL)
        ShowLayout(target);
}

void SwitchKey(KeyDef *key) {
    ReleaseHeldKeys(KEY_DEADKEY);
    Element *next = ApplyHeldKeys(ResolveKeyTarget(key), KEY_STICK | KEY_TOGGLE, HELD_NEWEST_FIRST);
    if (next == NULL)
        return;
    if (key->target != NULL && (key->flags & KEY_NEWKEYBD) != 0) {
        const KeyboardLayout *layout = (const KeyboardLayout *)key->target;
        const LRESULT index = SendDlgItemMessageW(OptionPanel, IDC_SELECTOR, CB_SELECTSTRING,
                                                  (WPARAM)-1, (LPARAM)layout->name);
        Settings.selectedLayoutIndex = (DWORD)index;
    }
    ShowLayout(next);
}

} // namespace

void HandleKeyPress(KeyDef *key, DWORD releasePoint) {
    if (key == NULL)
        return;
    const short x = (short)LOWORD(releasePoint);
    const short y = (short)HIWORD(releasePoint);
    if (Outside(key, x, y)) {
        if (Gesture(key, x, y))
            ReleaseOneShotKeys();
        return;
    }
    switch (key->flags & typeBits) {
    case 0:
        OrdinaryKey(key);
        break;
    case KEY_STICK:
        StickyKey(key);
        break;
    case KEY_DEADKEY:
        DeadKey(key);
        break;
    case KEY_TOGGLE:
        ToggleKey(key);
        break;
    case KEY_SWITCH:
        SwitchKey(key);
        break;
    }
}
