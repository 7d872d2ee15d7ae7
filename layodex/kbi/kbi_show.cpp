#include <stdio.h>

#include "kbi.h"
#include "key_tables.h"
#include "layodex_internal.h"

static void PrintFlags(DWORD flags) {
    const char *separator = "";
    for (int i = 0; i < KEYWORD_COUNT; i++) {
        if ((flags & KeywordTable[i].bit) != 0) {
            printf("%s", separator);
            PrintWide(KeywordTable[i].keyword);
            separator = "|";
        }
    }
    DWORD other = flags & ~KEYWORD_BITS;
    if (other != 0)
        printf("%s0x%lx", separator, (unsigned long)other);
    else if (*separator == 0)
        printf("0");
}

static void PrintCode(const KeyDef *key) {
    if ((key->flags & KEY_VIRTUAL) != 0) {
        const WCHAR *name = FindVirtualKeyName(key->code);
        if (name != NULL)
            PrintWide(name);
        else
            printf("vk%u", key->code);
    } else if (key->code > ' ' && key->code != 0x7F) {
        WCHAR code = key->code;
        printf("'");
        PrintWideRange(&code, 1);
        printf("'");
    } else {
        printf("U+%04X", key->code);
    }
}

static void PrintTarget(const KeyDef *key) {
    if (key->target == NULL) {
        printf((key->flags & KEY_NEWKEYBD) != 0 ? "-> (not found)" : "-");
    } else if ((key->flags & (KEY_MACRO | KEY_LAUNCH)) != 0) {
        printf("\"");
        PrintWide((const WCHAR *)key->target);
        printf("\"");
    } else {
        const KeyboardLayout *target = (const KeyboardLayout *)key->target;
        printf((key->flags & KEY_NEWKEYBD) != 0 ? "-> " : "switch to ");
        PrintWide(target->name);
        printf("/");
        PrintWide(target->subName);
        if (key->identity != 0)
            printf(" #%d", key->identity);
    }
}

static void PrintPicture(const KeyDef *key) {
    if (key->image != NULL)
        printf("bitmap");
    else if ((key->flags & KEY_IMAGEINTERNAL) != 0)
        printf("built-in %lu", (unsigned long)key->imageIndex);
    else
        printf("-");
}

static void PrintSection(const KeyboardLayout *layout) {
    printf("[");
    PrintWide(layout->name);
    printf(",");
    PrintWide(layout->label);
    printf(",");
    PrintWide(layout->subName);
    printf(",%d] %s\n", layout->number, layout->path);
    for (Element *node = FindLastElement(layout->keys); node != NULL; node = node->prev) {
        const KeyDef *key = (const KeyDef *)node->data;
        printf("  %4d %4d %4d %4d  ", key->left, key->top, key->width, key->height);
        PrintFlags(key->flags);
        printf("  ");
        PrintCode(key);
        printf("  ");
        PrintTarget(key);
        printf("  ");
        PrintPicture(key);
        printf("\n");
    }
}

int ShowCommand(const char *name, const char *directory) {
    if (!UseDirectory(directory))
        return 2;
    KeyboardLayout request = {};
    if (MultiByteToWideChar(CP_UTF8, 0, name, -1, request.name, LAYOUT_NAME_SIZE) == 0) {
        fprintf(stderr, "kbi: layout name too long: %s\n", name);
        return 2;
    }
    lstrcpyW(request.subName, WTEXT("Main"));
    request.number = -1;

    Element *catalogue = LoadKeyBoardsNames();
    KeyboardLayout *layout = (KeyboardLayout *)LoadKeyBoard(catalogue, &request, NULL);
    int result = 0;
    if (layout == NULL) {
        printf("no layout %s in %s\n", name, directory);
        result = 1;
    } else {
        Element *tree = NULL;
        CollectLayoutTree(layout, &tree);
        for (Element *node = FindLastElement(tree); node != NULL; node = node->prev)
            PrintSection((const KeyboardLayout *)node->data);
        ReleaseAll(&tree, 0);
    }
    // Without a catalogue the library keeps what it loaded; an empty one releases it all.
    Element *release = catalogue;
    if (release == NULL)
        AddElement(&release, NULL);
    UnLoadKeyBoardsNames(release);
    return result;
}
