// The keyboard window's procedure: creation, showing a layout, relayout and painting.
#include "keyboard_window.h"

#include "pen_input.h"
#include "pennakbd_state.h"
#include "program_lists.h"

namespace {

// wParam values of MSG_SHOW_LAYOUT that mean no layout.
const WPARAM noLayout = 0;
const WPARAM noLayoutEither = 0xFFFFFFFF;

void SetDisplayedLayout(Element *layout) {
    SetWindowLongPtrW(KeyboardWindow, 0, (LONG_PTR)layout);
}

void Create(HWND window) {
    KeyboardWindow = window;
    SetDisplayedLayout(NULL);
    HDC windowDc = GetDC(window);
    const int width = GetDeviceCaps(windowDc, HORZRES);
    const int height = GetDeviceCaps(windowDc, VERTRES);
    backBuffer = CreateCompatibleDC(windowDc);
    HBITMAP buffer = CreateCompatibleBitmap(windowDc, width > height ? width : height, height);
    SelectObject(backBuffer, buffer);
    SelectObject(backBuffer, GetStockObject(NULL_BRUSH));
    SelectObject(backBuffer, BlackPen);
    imageDc = CreateCompatibleDC(windowDc);
    ReleaseDC(window, windowDc);
    ShowWindow(window, SW_SHOW);
}

void Destroy(void) {
    if (imageDc != NULL)
        DeleteDC(imageDc);
    imageDc = NULL;
    if (backBuffer != NULL) {
        HGDIOBJ buffer = GetCurrentObject(backBuffer, OBJ_BITMAP);
        DeleteDC(backBuffer);
        if (buffer != NULL)
            DeleteObject(buffer);
    }
    backBuffer = NULL;
    if (labelFont != NULL)
        DeleteObject(labelFont);
    labelFont = NULL;
}

void ShowLayout(WPARAM wParam) {
    if (wParam == noLayout || wParam == noLayoutEither) {
        SetDisplayedLayout(NULL);
        return;
    }
    Element *layout = (Element *)wParam;
    PrepareLayout(layout);
    Element *previous = DisplayedLayout();
    SetDisplayedLayout(layout);
    ReconcileHeldKeys(previous, layout);
    ScaleKeyRect((const KeyDef *)layout->data);
    MeasureLayout(layout);
    MeasureMaxScale();
    BOOL differential = layout == previous;
    if (Settings.scale > Settings.maxScale) {
        Settings.scale = Settings.maxScale;
        differential = FALSE;
    }
    ScaleKeyRect((const KeyDef *)layout->data);
    CreateLabelFont();
    PaintLayout(differential ? previous : NULL, layout);
    PostMessageW(KeyboardWindow, MSG_RELAYOUT, differential ? 0 : 1, 0);
}

void Relayout(WPARAM repaintAll) {
    ArrangeWindows(TitleBar, OptionPanel, Settings.panelVisible != 0);
    if (repaintAll != 0)
        InvalidateRect(KeyboardWindow, NULL, TRUE);
    else
        InvalidateDirtyKeys();
    UpdateWindow(KeyboardWindow);
}

void Paint(HWND window) {
    RECT update;
    if (DisplayedLayout() == NULL) {
        // Nothing to show; the request is answered so that it does not come again.
        ValidateRect(window, NULL);
        return;
    }
    if (!GetUpdateRect(window, &update, FALSE) || IsRectEmpty(&update))
        return;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    BitBlt(dc, update.left, update.top, update.right - update.left, update.bottom - update.top,
           backBuffer, update.left, update.top, SRCCOPY);
    EndPaint(window, &paint);
}

BOOL HeldEntryIsMarked(const KeyDef *entry) {
    return (entry->flags & KEY_TEMP_MARK) != 0;
}

} // namespace

void MeasureMaxScale(void) {
    HWND desktop = FindWindowW(TEXT("DesktopExplorerWindow"), NULL);
    RECT client;
    if (desktop == NULL || !GetClientRect(desktop, &client) || layoutWidth <= 0)
        return;
    Settings.maxScale = (DWORD)client.right * 1000 / (DWORD)layoutWidth;
}

Element *DisplayedLayout(void) {
    return KeyboardWindow != NULL ? (Element *)GetWindowLongPtrW(KeyboardWindow, 0) : NULL;
}

void ReconcileHeldKeys(Element *previous, Element *layout) {
    if (previous != NULL) {
        for (Element *node = previous; node != NULL; node = node->next) {
            KeyDef *key = (KeyDef *)node->data;
            if (key == NULL)
                continue;
            key->flags &= ~KEY_SHOWN_HELD;
            KeyDef *held = NULL;
            for (Element *entry = HeldKeys; entry != NULL && held == NULL; entry = entry->next) {
                KeyDef *candidate = (KeyDef *)entry->data;
                if (candidate != NULL && candidate->code == key->code)
                    held = candidate;
            }
            if (held != NULL)
                held->flags |= KEY_TEMP_MARK;
            else
                MarkDirty(key);
        }
        for (Element *entry = HeldKeys; entry != NULL; entry = entry->next) {
            KeyDef *held = (KeyDef *)entry->data;
            if (held == NULL)
                continue;
            if (HeldEntryIsMarked(held))
                held->flags &= ~KEY_TEMP_MARK;
            else
                MarkDirty(held);
        }
    }
    const DWORD heldBits = KEY_KIND_BITS | KEY_NEWKEYBD;
    for (Element *entry = HeldKeys; entry != NULL; entry = entry->next) {
        KeyDef *held = (KeyDef *)entry->data;
        if (held == NULL)
            continue;
        KeyDef *found = Layodex.FindKeyByUnicode(layout, held->code, held->flags & heldBits, 0);
        if (found != NULL && (found->flags & heldBits) == (held->flags & heldBits)) {
            held->flags |= KEY_TEMP_MARK;
            found->flags |= KEY_SHOWN_HELD;
        }
    }
    for (Element *entry = HeldKeys; entry != NULL;) {
        Element *next = entry->next;
        KeyDef *held = (KeyDef *)entry->data;
        if (held != NULL && HeldEntryIsMarked(held))
            held->flags &= ~KEY_TEMP_MARK;
        else
            RemoveListNode(&HeldKeys, entry, TRUE);
        entry = next;
    }
}

LRESULT CALLBACK KeyboardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        Create(window);
        break;
    case WM_DESTROY:
        Destroy();
        break;
    case WM_PAINT:
        Paint(window);
        if (DisplayedLayout() == NULL)
            return 0;
        break;
    case MSG_SHOW_LAYOUT:
        ShowLayout(wParam);
        break;
    case MSG_RELAYOUT:
        Relayout(wParam);
        break;
    case WM_LBUTTONDOWN:
        return PenDown(window, wParam, lParam);
    case WM_MOUSEMOVE:
        PenMoved(window, lParam);
        break;
    case WM_LBUTTONUP:
        return PenUp(window, wParam, lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
