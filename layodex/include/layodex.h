// Layodex: keyboard layout records, layout files, the layout catalogue and look-ups.
// Hosts read and change these records through the pointers the library hands out, so their
// field order and alignment are fixed. UNDER_CE selects the device build (UTF-16 paths).
// LAYODEX_STATIC: the code is linked into the program itself, so nothing is imported or exported.
#ifndef LAYODEX_H
#define LAYODEX_H

#include <windows.h>

#if defined(LAYODEX_STATIC)
#define LAYODEX_API
#elif defined(LAYODEX_EXPORTS)
#define LAYODEX_API __declspec(dllexport)
#else
#define LAYODEX_API __declspec(dllimport)
#endif

#ifdef UNDER_CE
typedef WCHAR PATHCHAR;
#else
typedef char PATHCHAR;
#endif

#define LAYOUT_NAME_SIZE 100
#define LAYOUT_LABEL_SIZE 6
#define LAYOUT_PATH_SIZE 260

typedef struct Element {
    void *data;
    struct Element *next; // added before this one; NULL at the oldest node
    struct Element *prev; // added after this one; NULL at the head
} Element;

typedef struct KeyboardLayout {
    WCHAR name[LAYOUT_NAME_SIZE];
    WCHAR subName[LAYOUT_NAME_SIZE];
    WCHAR label[LAYOUT_LABEL_SIZE];
    INT number; // -1 in a request: any number
    Element *keys;
    PATHCHAR path[LAYOUT_PATH_SIZE];
    INT offset;
} KeyboardLayout;

typedef struct KeyDef {
    INT left;
    INT top;
    INT width;
    INT height;
    WORD code;
    DWORD flags;
    void *target; // MACRO/LAUNCH text, NEWKEYBD layout, SWITCH request, or NULL
    HBITMAP image;
    DWORD imageIndex;
    INT identity;
} KeyDef;

// Key attribute keywords of the layout file
#define KEY_VIRTUAL 0x2000u
#define KEY_MAP 0x2000000u
#define KEY_STICK 0x1u
#define KEY_DEADKEY 0x2u
#define KEY_DISABLE 0x4000u
#define KEY_TOGGLE 0x4u
#define KEY_HIDDEN 0x1000000u
#define KEY_SWITCH 0x8u
#define KEY_IMAGE 0x200u
#define KEY_IMAGEINTERNAL 0x400u
#define KEY_MACRO 0x10u
#define KEY_LAUNCH 0x20u
#define KEY_NEWKEYBD 0x40u
#define KEY_NORELEASESTICK 0x8000u
// Bits without a keyword
#define KEY_IMAGE_OWNED 0x100u
#define KEY_IMAGE_BORROWED 0x800u
#define KEY_TEMP_MARK 0x80000000u

#ifdef __cplusplus
extern "C" {
#endif

LAYODEX_API int AddElement(Element **head, void *data);
LAYODEX_API int ExtractElement(Element **head, Element *node, int freeData);
LAYODEX_API Element *FindLastElement(Element *node);
LAYODEX_API int ReleaseAll(Element **head, int freeData);
LAYODEX_API int SetSearchDirectory(const PATHCHAR *directory);
LAYODEX_API Element *LoadKeyBoardsNames(void);
LAYODEX_API void *LoadKeyBoard(Element *catalogue, KeyboardLayout *request, HDC dc);
LAYODEX_API int UnLoadKeyBoard(KeyboardLayout *layout);
LAYODEX_API int UnLoadKeyBoardsNames(Element *catalogue);
LAYODEX_API KeyboardLayout *GetKeyBoardByName(Element *layouts, const WCHAR *name);
LAYODEX_API int ClearTempFlag(KeyboardLayout *layout);
LAYODEX_API KeyboardLayout *CopyKeyBoard(KeyboardLayout *layout);
LAYODEX_API Element *CopyKeyBoardsNames(Element *layouts);
LAYODEX_API int ReplaceKbdNames(KeyboardLayout *layout, const WCHAR *name,
                                const WCHAR *subNamePrefix, const WCHAR *label);
LAYODEX_API KeyDef *FindKeyByUnicode(Element *keys, WCHAR code, DWORD required, DWORD excluded);
LAYODEX_API KeyDef *GettingKeyByUnicode(Element *keys, WCHAR code, DWORD required, DWORD excluded);
LAYODEX_API KeyDef *FindKeyByIdentity(Element *keys, int identity);
LAYODEX_API KeyboardLayout *FindKeyBoardByUnicode(KeyboardLayout *layout, WCHAR code);
LAYODEX_API KeyboardLayout *FindKeyBoardByNumber(KeyboardLayout *layout, int depth);
LAYODEX_API KeyboardLayout *FindKeyBoardByName(Element *layouts, const WCHAR *name, int depth);
LAYODEX_API int SaveKeyBoard(KeyboardLayout *layout, WCHAR **writePosition);
LAYODEX_API int SaveKeyBoardsNames(Element *catalogue, const PATHCHAR *fileName);

#ifdef __cplusplus
}
#endif

#endif
