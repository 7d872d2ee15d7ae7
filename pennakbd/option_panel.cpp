// The option panel's dialog procedure.
#include "option_panel.h"

#include "held_keys.h"
#include "keyboard_window.h"
#include "main_window.h"
#include "pennakbd_state.h"

namespace {

const int scaleStep = 100;

HWND SelectorOf(HWND dialog) {
    return GetDlgItem(dialog, IDC_SELECTOR);
}

// The item's key list, loaded now when it was not before.
Element *ItemLayout(HWND selector, int item) {
    Element *keys = (Element *)SendMessageW(selector, CB_GETITEMDATA, item, 0);
    if (keys == (Element *)CB_ERR)
        return NULL;
    if (keys == NULL) {
        keys = LoadSelectedLayout(selector, item);
        SendMessageW(selector, CB_SETITEMDATA, item, (LPARAM)keys);
    }
    return keys;
}

void Initialise(HWND dialog) {
    ArrangeWindows(TitleBar, dialog, TRUE);
    HWND selector = SelectorOf(dialog);
    SavedSelectorProc =
        (WNDPROC)SetWindowLongPtrW(selector, GWL_WNDPROC, (LONG_PTR)SelectorSubclassProc);
    SendMessageW(selector, CB_RESETCONTENT, 0, 0);
    LayoutCatalogue = Layodex.LoadKeyBoardsNames();
    if (LayoutCatalogue == NULL) {
        PostMessageW(MainWindow, WM_CLOSE, 0, 0);
        return;
    }
    for (Element *node = LayoutCatalogue; node != NULL; node = node->next) {
        const KeyboardLayout *entry = (const KeyboardLayout *)node->data;
        if (entry == NULL)
            continue;
        const LRESULT item = SendMessageW(selector, CB_ADDSTRING, 0, (LPARAM)entry->name);
        if (item >= 0)
            SendMessageW(selector, CB_SETITEMDATA, item, 0);
    }
    LRESULT selected = SendMessageW(selector, CB_SETCURSEL, Settings.selectedLayoutIndex, 0);
    if (selected == CB_ERR)
        selected = SendMessageW(selector, CB_SETCURSEL, 0, 0);
    Element *keys = selected == CB_ERR ? NULL : ItemLayout(selector, (int)selected);
    SendMessageW(KeyboardWindow, MSG_SHOW_LAYOUT, (WPARAM)keys, 0);
}

void Destroy(HWND dialog) {
    if (SavedSelectorProc != NULL)
        SetWindowLongPtrW(SelectorOf(dialog), GWL_WNDPROC, (LONG_PTR)SavedSelectorProc);
    SavedSelectorProc = NULL;
    if (LayoutCatalogue != NULL)
        Layodex.UnLoadKeyBoardsNames(LayoutCatalogue);
    LayoutCatalogue = NULL;
}

void StepScale(HWND dialog, int step) {
    LONG scale = (LONG)Settings.scale + step;
    if (scale < DEFAULT_SCALE || scale > LARGEST_SCALE) {
        scale = scale < DEFAULT_SCALE ? DEFAULT_SCALE : LARGEST_SCALE;
        // At the bound already: nothing changes. Otherwise the bound is drawn as any step is, so
        // that taps are read at the scale the keys are drawn at.
        if ((DWORD)scale == Settings.scale)
            return;
    }
    Settings.scale = (DWORD)scale;
    Element *displayed = DisplayedLayout();
    // With nothing shown there is nothing to measure or paint.
    if (displayed == NULL || displayed->data == NULL)
        return;
    ScaleKeyRect((const KeyDef *)displayed->data);
    CreateLabelFont();
    ArrangeWindows(TitleBar, dialog, TRUE);
    PaintLayout(NULL, displayed);
}

void LayoutChosen(HWND dialog) {
    HWND selector = SelectorOf(dialog);
    const LRESULT item = SendMessageW(selector, CB_GETCURSEL, 0, 0);
    if (item == CB_ERR)
        return;
    Settings.selectedLayoutIndex = (DWORD)item;
    Element *keys = ItemLayout(selector, (int)item);
    keys = ApplyHeldKeys(keys, KEY_STICK | KEY_TOGGLE, HELD_NEWEST_FIRST);
    SendMessageW(KeyboardWindow, MSG_SHOW_LAYOUT, (WPARAM)keys, 0);
}

} // namespace

KeyboardLayout *FindCatalogueEntry(LPCWSTR name) {
    for (Element *node = LayoutCatalogue; node != NULL; node = node->next) {
        KeyboardLayout *entry = (KeyboardLayout *)node->data;
        if (entry != NULL && lstrcmpW(entry->name, name) == 0)
            return entry;
    }
    return NULL;
}

Element *LoadSelectedLayout(HWND selector, int item) {
    WCHAR name[257];
    const LRESULT length = SendMessageW(selector, CB_GETLBTEXTLEN, item, 0);
    if (length == CB_ERR || length > 256 ||
        SendMessageW(selector, CB_GETLBTEXT, item, (LPARAM)name) == CB_ERR)
        return NULL;
    KeyboardLayout *entry = FindCatalogueEntry(name);
    if (entry == NULL)
        return NULL;
    HCURSOR previous = SetCursor(LoadCursor(NULL, IDC_WAIT));
    EnableWindow(selector, FALSE);
    KeyboardLayout *layout =
        (KeyboardLayout *)Layodex.LoadKeyBoard(LayoutCatalogue, entry, imageDc);
    Element *keys = NULL;
    if (layout != NULL) {
        entry->keys = layout->keys;
        keys = layout->keys;
    }
    SetCursor(previous);
    EnableWindow(selector, TRUE);
    return keys;
}

INT_PTR CALLBACK OptionPanelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        Initialise(dialog);
        return 0;
    case WM_DESTROY:
        Destroy(dialog);
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ENLARGE:
            StepScale(dialog, scaleStep);
            return 0;
        case IDC_REDUCE:
            StepScale(dialog, -scaleStep);
            return 0;
        case IDC_SELECTOR:
            if (HIWORD(wParam) == CBN_SELCHANGE)
                LayoutChosen(dialog);
            else if (HIWORD(wParam) == CBN_CLOSEUP)
                SetWindowLongW(MainWindow, GWL_EXSTYLE,
                               GetWindowLongW(MainWindow, GWL_EXSTYLE) | WS_EX_NOACTIVATE);
            return 0;
        }
        return 0;
    }
    return 0;
}
