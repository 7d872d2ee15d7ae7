// Pen input on the keyboard window.
#include "pen_input.h"

#include "held_keys.h"
#include "keyboard_window.h"
#include "pennakbd_state.h"

namespace {

// The catalogue entry number bit that marks the base layout of the held-keys mode.
const INT baseLayoutBit = 0x10000;

KeyDef *pressedKey;
BOOL penDown;
HDC trailDc;
HGDIOBJ trailPreviousPen;
POINT trailFrom;

// Layout units from window pixels; a scale of 0 (a stored setting) is taken as the smallest.
WORD ToLayout(WORD pixels) {
    const DWORD scale = Settings.scale != 0 ? Settings.scale : DEFAULT_SCALE;
    return (WORD)((DWORD)pixels * 1000 / scale);
}

POINT LayoutPoint(DWORD packed) {
    POINT point = {(short)LOWORD(packed), (short)HIWORD(packed)};
    return point;
}

// The first key of the layout, in list order, strictly inside whose edges the point lies; a
// DISABLE key there ends the search with none, a HIDDEN one is passed over.
KeyDef *HitKey(Element *layout, POINT at) {
    for (Element *node = Layodex.FindLastElement(layout); node != NULL; node = node->prev) {
        KeyDef *key = (KeyDef *)node->data;
        if (key == NULL ||
            !(key->left < at.x && at.x < key->width && key->top < at.y && at.y < key->height))
            continue;
        if ((key->flags & KEY_DISABLE) != 0)
            return NULL;
        if ((key->flags & KEY_HIDDEN) != 0)
            continue;
        return key;
    }
    return NULL;
}

void InvertOnScreen(HWND window, const KeyDef *key) {
    RECT face = ScaleKeyRect(key);
    InflateRect(&face, -3, -3);
    HDC dc = GetDC(window);
    PatBlt(dc, face.left, face.top, face.right - face.left, face.bottom - face.top, DSTINVERT);
    ReleaseDC(window, dc);
}

// The face comes back from backBuffer.
void RestoreFace(HWND window, const KeyDef *key) {
    const RECT face = ScaleKeyRect(key);
    InvalidateRect(window, &face, FALSE);
    UpdateWindow(window);
}

void StartTrail(HWND window, LPARAM lParam) {
    trailDc = GetDC(window);
    if (trailDc == NULL)
        return;
    trailPreviousPen = SelectObject(trailDc, ThickBlackPen);
    trailFrom.x = (short)LOWORD(lParam);
    trailFrom.y = (short)HIWORD(lParam);
}

void EndTrail(HWND window) {
    if (trailDc == NULL)
        return;
    SelectObject(trailDc, trailPreviousPen);
    ReleaseDC(window, trailDc);
    trailDc = NULL;
}

BOOL InsideKey(const KeyDef *key, DWORD packed) {
    const short x = (short)LOWORD(packed);
    const short y = (short)HIWORD(packed);
    return !(x < (short)key->left || x > (short)key->width || y < (short)key->top ||
             y > (short)key->height);
}

} // namespace

DWORD PenToLayout(LPARAM point) {
    return MAKELONG(ToLayout(LOWORD(point)), ToLayout(HIWORD(point)));
}

BOOL IsHeldKeysLayout(Element *layout) {
    for (Element *node = LayoutCatalogue; node != NULL; node = node->next) {
        const KeyboardLayout *entry = (const KeyboardLayout *)node->data;
        if (entry == NULL || (entry->number & baseLayoutBit) == 0)
            continue;
        return ApplyHeldKeys(entry->keys, KEY_STICK, HELD_OLDEST_FIRST) == layout;
    }
    return FALSE;
}

LRESULT PenDown(HWND window, WPARAM wParam, LPARAM lParam) {
    SetFocus(window);
    SetCapture(window);
    const POINT at = LayoutPoint(PenToLayout(lParam));
    penDown = TRUE;
    Element *layout = DisplayedLayout();
    if (layout == NULL)
        return 0;
    KeyDef *key = HitKey(layout, at);
    if (key == NULL) {
        if (pressedKey == NULL) {
            penDown = FALSE;
            ReleaseCapture();
        }
        return 0;
    }
    InvertOnScreen(window, key);
    // A synthetic press moving to another key leaves no inverted face behind.
    if (wParam == SYNTHETIC_PEN && pressedKey != NULL && pressedKey != key)
        RestoreFace(window, pressedKey);
    pressedKey = key;
    if (wParam == SYNTHETIC_PEN || !IsHeldKeysLayout(layout))
        return 0;
    if ((key->flags & (KEY_NEWKEYBD | KEY_STICK)) == (KEY_NEWKEYBD | KEY_STICK)) {
        StartTrail(window, lParam);
        SendMessageW(window, WM_LBUTTONUP, SYNTHETIC_PEN, lParam);
    } else {
        EndTrail(window);
    }
    return 0;
}

void PenMoved(HWND window, LPARAM lParam) {
    (void)window;
    if (trailDc == NULL)
        return;
    POINT line[2] = {trailFrom, {(short)LOWORD(lParam), (short)HIWORD(lParam)}};
    Polyline(trailDc, line, 2);
    trailFrom = line[1];
}

LRESULT PenUp(HWND window, WPARAM wParam, LPARAM lParam) {
    if (wParam != SYNTHETIC_PEN) {
        Element *layout = DisplayedLayout();
        // Outside the held-keys mode too, a trail left from before ends with the pen.
        EndTrail(window);
        if (layout != NULL && IsHeldKeysLayout(layout))
            SendMessageW(window, WM_LBUTTONDOWN, SYNTHETIC_PEN, lParam);
    }
    if (GetCapture() != window || !penDown || pressedKey == NULL) {
        // A press that found no layout lets the pen go with it.
        if (GetCapture() == window && pressedKey == NULL) {
            penDown = FALSE;
            ReleaseCapture();
        }
        return 0;
    }
    const DWORD point = PenToLayout(lParam);
    KeyDef *key = pressedKey;
    if ((key->flags & KEY_KIND_BITS) == 0 || !InsideKey(key, point))
        RestoreFace(window, key);
    penDown = FALSE;
    ReleaseCapture();
    SendMessageW(MainWindow, MSG_KEY_PRESSED, (WPARAM)key, (LPARAM)point);
    pressedKey = NULL;
    return 0;
}

void ResetPenInput(void) {
    pressedKey = NULL;
    penDown = FALSE;
    trailDc = NULL;
    trailPreviousPen = NULL;
}
