// Painting keys into backBuffer: frames, faces and held keys, and repainting only what changed
// from one layout to the next.
#include "keyboard_window.h"

#include "pennakbd_state.h"
#include "program_lists.h"

#include <string.h>

namespace {

// Keys taller than this get a second frame inside the first.
const LONG tallKey = 20;

BOOL SameText(const void *a, const void *b) {
    return a != NULL && b != NULL && lstrcmpW((LPCWSTR)a, (LPCWSTR)b) == 0;
}

BOOL SameEdges(const KeyDef *a, const KeyDef *b) {
    return a->left == b->left && a->top == b->top && a->width == b->width && a->height == b->height;
}

// Keys that stay in one place and face from one layout to the next share one picture.
void SharePicture(KeyDef *previous, KeyDef *next) {
    if (previous == next || previous->image == next->image)
        return;
    const BOOL previousBorrowed = (previous->flags & KEY_IMAGE_BORROWED) != 0;
    const BOOL nextBorrowed = (next->flags & KEY_IMAGE_BORROWED) != 0;
    if (previousBorrowed && nextBorrowed)
        return;
    if (nextBorrowed) {
        if (previous->image != NULL)
            DeleteObject(previous->image);
        previous->image = next->image;
        previous->flags |= KEY_IMAGE_BORROWED;
    } else {
        if (next->image != NULL)
            DeleteObject(next->image);
        next->image = previous->image;
        next->flags |= KEY_IMAGE_BORROWED;
    }
}

void PairUnchangedKeys(Element *previous, Element *layout) {
    for (Element *from = previous; from != NULL; from = from->next) {
        KeyDef *old = (KeyDef *)from->data;
        if (old == NULL || (old->flags & KEY_KIND_BITS) != 0)
            continue;
        for (Element *to = layout; to != NULL; to = to->next) {
            KeyDef *key = (KeyDef *)to->data;
            if (key == NULL || (key->flags & (KEY_SAME_PLACE | KEY_SAME_FACE)) != 0 ||
                (key->flags & KEY_KIND_BITS) != 0 || !SameEdges(old, key))
                continue;
            old->flags |= KEY_SAME_PLACE;
            key->flags |= KEY_SAME_PLACE;
            if (SameKeyFace(old, key)) {
                old->flags |= KEY_SAME_FACE;
                key->flags |= KEY_SAME_FACE;
                SharePicture(old, key);
            }
            break;
        }
    }
}

void ClearPainterMarks(Element *keys) {
    for (Element *node = keys; node != NULL; node = node->next) {
        if (node->data != NULL)
            ((KeyDef *)node->data)->flags &= ~(KEY_SAME_PLACE | KEY_SAME_FACE);
    }
}

void Outline(const RECT &rect) {
    Rectangle(backBuffer, rect.left, rect.top, rect.right, rect.bottom);
}

} // namespace

void CreateLabelFont(void) {
    if (labelFont != NULL)
        DeleteObject(labelFont);
    int dpi = GetDeviceCaps(imageDc, LOGPIXELSY);
    if (dpi <= 0)
        dpi = 96;
    LOGFONTW font;
    ZeroMemory(&font, sizeof font);
    font.lfHeight = faceHeight < 16 ? -(faceHeight * 72 / dpi) - 2 : -(faceHeight * 72 / dpi);
    font.lfWeight = FW_BOLD;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(font.lfFaceName, TEXT("Tahoma"));
    labelFont = CreateFontIndirectW(&font);
}

BOOL SameKeyFace(const KeyDef *a, const KeyDef *b) {
    if (a == b)
        return TRUE;
    if (a->image != NULL && a->image == b->image)
        return TRUE;
    const DWORD textKinds[] = {KEY_MACRO, KEY_LAUNCH};
    for (DWORD kind : textKinds) {
        if ((a->flags & kind) != 0 && (b->flags & kind) != 0 && SameText(a->target, b->target))
            return TRUE;
    }
    if ((a->flags & KEY_IMAGEINTERNAL) != 0 && (b->flags & KEY_IMAGEINTERNAL) != 0 &&
        a->imageIndex != 0 && a->imageIndex == b->imageIndex)
        return TRUE;
    const DWORD kindBits = KEY_KIND_BITS | KEY_VIRTUAL;
    return a->code != 0 && a->code == b->code && (a->flags & kindBits) == (b->flags & kindBits) &&
           (a->flags & kindBits) != 0;
}

void DrawKeyFace(HDC dc, const KeyDef *key, RECT face) {
    if ((key->flags & KEY_HIDDEN) != 0)
        return;
    if ((key->flags & KEY_IMAGE_OWNED) != 0) {
        HGDIOBJ previous = SelectObject(imageDc, key->image);
        if (previous == NULL)
            return;
        BITMAP picture;
        if (GetObjectW(key->image, sizeof picture, &picture) != 0) {
            StretchBlt(dc, face.left + 2, face.top + 2, face.right - face.left - 4,
                       face.bottom - face.top - 4, imageDc, 0, 0, picture.bmWidth, picture.bmHeight,
                       SRCCOPY);
        }
        SelectObject(imageDc, previous);
        return;
    }
    const WCHAR character = key->code > 0x20 ? key->code : L' ';
    SIZE extent = {0, 0};
    GetTextExtentPoint32W(dc, &character, 1, &extent);
    const LONG width = extent.cx * GetDeviceCaps(dc, LOGPIXELSX) / 72;
    const LONG height = extent.cy * GetDeviceCaps(dc, LOGPIXELSY) / 72;
    RECT clip = face;
    InflateRect(&clip, -1, -1);
    const int x = face.left + (face.right - width - face.left) / 2 + 2;
    const int y = face.top + (face.bottom - height - face.top) / 2 + 2;
    ExtTextOutW(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &clip, &character, 1, NULL);
}

void PaintLayout(Element *previous, Element *layout) {
    if (previous == NULL) {
        BITMAP buffer;
        HGDIOBJ bitmap = GetCurrentObject(backBuffer, OBJ_BITMAP);
        if (bitmap != NULL && GetObjectW(bitmap, sizeof buffer, &buffer) != 0)
            PatBlt(backBuffer, 0, 0, buffer.bmWidth, buffer.bmHeight, WHITENESS);
    } else {
        PairUnchangedKeys(previous, layout);
        for (Element *node = previous; node != NULL; node = node->next) {
            const KeyDef *old = (const KeyDef *)node->data;
            if (old == NULL || (old->flags & KEY_SAME_PLACE) != 0)
                continue;
            const RECT area = ScaleKeyRect(old);
            PatBlt(backBuffer, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   WHITENESS);
        }
    }
    HGDIOBJ previousFont = SelectObject(backBuffer, labelFont);
    BOOL innerFrameDrawn = FALSE;
    for (Element *node = layout; node != NULL; node = node->next) {
        const KeyDef *key = (const KeyDef *)node->data;
        if (key == NULL || (key->flags & KEY_HIDDEN) != 0 ||
            (key->flags & (KEY_SAME_PLACE | KEY_SAME_FACE)) == (KEY_SAME_PLACE | KEY_SAME_FACE))
            continue;
        RECT face = ScaleKeyRect(key);
        if ((key->flags & KEY_SAME_PLACE) != 0) {
            // Its frames are there already.
            if (face.bottom - face.top > tallKey)
                InflateRect(&face, -2, -2);
        } else {
            Outline(face);
            if (innerFrameDrawn || face.bottom - face.top > tallKey) {
                InflateRect(&face, -2, -2);
                Outline(face);
                innerFrameDrawn = TRUE;
            }
        }
        DrawKeyFace(backBuffer, key, face);
        if ((key->flags & KEY_SHOWN_HELD) != 0)
            PatBlt(backBuffer, face.left, face.top, face.right - face.left, face.bottom - face.top,
                   DSTINVERT);
        PaintedKeyCount++;
    }
    if (previousFont != NULL)
        SelectObject(backBuffer, previousFont);
    if (previous != NULL)
        ClearPainterMarks(previous);
    ClearPainterMarks(layout);
}

void MarkDirty(const KeyDef *key) {
    KeyDef *copy = CopyKeyRecord(key);
    if (copy != NULL && !PushListNode(&DirtyKeys, copy))
        LocalFree(copy);
}

void InvalidateDirtyKeys(void) {
    for (Element *node = DirtyKeys; node != NULL; node = node->next) {
        if (node->data == NULL)
            continue;
        const RECT area = ScaleKeyRect((const KeyDef *)node->data);
        InvalidateRect(KeyboardWindow, &area, TRUE);
    }
    FreeList(&DirtyKeys, TRUE);
}
