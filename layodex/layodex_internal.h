// State and operations shared by the library's own files.
#ifndef LAYODEX_INTERNAL_H
#define LAYODEX_INTERNAL_H

#include "layodex.h"
#include "name_index.h"

// Library-wide state, one set per loaded library instance; callers use one thread at a time.
extern PATHCHAR SearchDirectory[MAX_PATH];
extern Element *LayoutCache;
// Releases every layout the library holds, for a library that is going away.
void ReleaseLoadedLayouts(void);
extern INT IdentityCounter;

// Walk in list order (oldest first) over a list's data, skipping NULL data.
#define FOR_EACH_IN_LIST_ORDER(node, head)                                                         \
    for (Element *node = FindLastElement(head); node != NULL; node = node->prev)                   \
        if (node->data != NULL)

// What a key's target holds, from its flags.
BOOL KeyHasText(const KeyDef *key);
BOOL KeyHasLayoutTarget(const KeyDef *key);
BOOL KeyHasSwitchRequest(const KeyDef *key);

// Objects that copies of a key share (picture, text, request record) count their extra holders,
// so that the last key released frees them.
BOOL AddSharedRef(const void *object);
BOOL DropSharedRef(const void *object);

// The tree in the order a layout file holds it: the layout, then what each of its keys leads
// to, each layout once (pre-order). The oldest node of the list is the layout itself.
void CollectLayoutTree(KeyboardLayout *layout, Element **collected);

// Releasing keys. An unresolved section still holds the reader's NEWKEYBD request records.
void ReleaseKeyResources(KeyDef *key);
void ReleaseKeyList(Element **keys);
void ReleaseUnresolvedKey(KeyDef *key);
void ReleaseUnresolvedKeyList(Element **keys);
KeyboardLayout *NewLayoutRecord(const WCHAR *name, const WCHAR *subName, const WCHAR *label,
                                INT number);
void CopyBoundedText(WCHAR *to, const WCHAR *from, int size);

// Key faces drawn by the library; NULL while there is nothing to draw with.
#define FACE_STYLE_TEXT 1
#define FACE_STYLE_PROGRAM 2
// The face of a key of that size: a bitmap 4 pixels narrower and lower than the key.
HBITMAP RenderKeyFace(const WCHAR *text, int style, INT keyWidth, INT keyHeight);

#endif
