// A layout's geometry: resolving it once, measuring and scaling it; and the built-in images.
#include "keyboard_window.h"

#include "pennakbd_state.h"
#include "program_lists.h"

namespace {

typedef struct CachedImage {
    DWORD imageIndex;
    HBITMAP bitmap;
} CachedImage;

void ReportFailedImages(int failed) {
    WCHAR text[64];
    wsprintfW(text, TEXT("Loading failed in %i images"), failed);
    MessageBoxW(NULL, text, TEXT("Error when loading images"), MB_SETFOREGROUND);
}

// Gives an IMAGEINTERNAL key its picture; false when the picture cannot be loaded.
BOOL GiveBuiltInImage(KeyDef *key) {
    HBITMAP cached = FindCachedImage(key->imageIndex);
    if (cached != NULL) {
        key->image = cached;
        key->flags |= KEY_IMAGE_OWNED | KEY_IMAGE_BORROWED;
        return TRUE;
    }
    HBITMAP loaded = LoadBitmapW(ProgramInstance, MAKEINTRESOURCEW((WORD)key->imageIndex));
    if (loaded == NULL)
        return FALSE;
    key->image = loaded;
    key->flags |= KEY_IMAGE_OWNED;
    CacheImage(key->imageIndex, loaded);
    return TRUE;
}

} // namespace

void PrepareLayout(Element *layout) {
    // A first key with negative coordinates has nothing before it: it starts at 0.
    INT previousLeft = 0, previousTop = 0, previousRight = 0;
    DWORD previousFlags = 0;
    int failed = 0;
    for (Element *node = Layodex.FindLastElement(layout); node != NULL; node = node->prev) {
        KeyDef *key = (KeyDef *)node->data;
        if (key == NULL)
            continue;
        if ((key->flags & KEY_RESOLVED) != 0)
            break;
        // Every key is marked, hidden ones and those after them too, so that a layout is never
        // resolved twice: a second pass would move its keys again.
        key->flags |= KEY_RESOLVED;
        if (key->left < 0)
            key->left = (previousFlags & KEY_HIDDEN) != 0 ? previousLeft : previousRight;
        key->width = key->left + key->width;
        if (key->top < 0)
            key->top = previousTop;
        key->height = key->top + key->height;
        previousLeft = key->left;
        previousTop = key->top;
        previousRight = key->width;
        previousFlags = key->flags;
        if ((key->flags & KEY_IMAGEINTERNAL) != 0 && (key->flags & KEY_IMAGE_OWNED) == 0 &&
            !GiveBuiltInImage(key))
            failed++;
    }
    if (failed > 0)
        ReportFailedImages(failed);
}

void MeasureLayout(Element *layout) {
    layoutWidth = 0;
    layoutHeight = 0;
    for (Element *node = layout; node != NULL; node = node->next) {
        const KeyDef *key = (const KeyDef *)node->data;
        if (key == NULL || (key->flags & KEY_HIDDEN) != 0)
            continue;
        if (key->width > layoutWidth)
            layoutWidth = key->width;
        if (key->height > layoutHeight)
            layoutHeight = key->height;
    }
}

RECT ScaleKeyRect(const KeyDef *key) {
    RECT rect;
    rect.left = (LONG)((DWORD)key->left * Settings.scale / 1000);
    rect.top = (LONG)((DWORD)key->top * Settings.scale / 1000);
    rect.right = (LONG)((DWORD)key->width * Settings.scale / 1000);
    rect.bottom = (LONG)((DWORD)key->height * Settings.scale / 1000);
    faceHeight = rect.bottom - rect.top - 2;
    return rect;
}

HBITMAP FindCachedImage(DWORD imageIndex) {
    for (Element *node = ImageCache; node != NULL; node = node->next) {
        const CachedImage *entry = (const CachedImage *)node->data;
        if (entry != NULL && entry->imageIndex == imageIndex)
            return entry->bitmap;
    }
    return NULL;
}

void CacheImage(DWORD imageIndex, HBITMAP bitmap) {
    CachedImage *entry = (CachedImage *)LocalAlloc(LPTR, sizeof(CachedImage));
    if (entry == NULL)
        return;
    entry->imageIndex = imageIndex;
    entry->bitmap = bitmap;
    if (!PushListNode(&ImageCache, entry))
        LocalFree(entry);
}
