// Makes the same calls into the desktop layout library on every build and writes what they answer
// to a report, so that a Windows build and the Linux one can be compared byte for byte. Records
// are named by what they hold and where they sit in their tree, never by address.
//
//     layodex_calls DIRECTORY REPORT SAVED
//
// DIRECTORY is the search directory; SaveKeyBoardsNames writes SAVED in it.
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <windows.h>

#include "layodex.h"

// What SaveKeyBoard may write, its terminating NUL included: 2,500,000 bytes.
#define SAVE_CAPACITY 1250000
#define REPORT_BUFFER_SIZE 65536
#define ARGUMENT_COUNT 3

typedef struct Report {
    HANDLE file;
    char buffer[REPORT_BUFFER_SIZE];
    DWORD used;
    BOOL failed;
} Report;

static Report TheReport;

static void Flush(Report *report) {
    DWORD written = 0;
    if (report->used > 0 &&
        (!WriteFile(report->file, report->buffer, report->used, &written, NULL) ||
         written != report->used))
        report->failed = TRUE;
    report->used = 0;
}

static void PutBytes(Report *report, const char *bytes, DWORD count) {
    while (count > 0) {
        if (report->used == REPORT_BUFFER_SIZE)
            Flush(report);
        DWORD room = REPORT_BUFFER_SIZE - report->used;
        DWORD part = count < room ? count : room;
        memcpy(report->buffer + report->used, bytes, part);
        report->used += part;
        bytes += part;
        count -= part;
    }
}

static void Put(Report *report, const char *format, ...) {
    char line[1024];
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    if (length < 0 || length >= (int)sizeof line) {
        report->failed = TRUE;
        return;
    }
    PutBytes(report, line, (DWORD)length);
}

// UTF-16 text as UTF-8, in parts that never split a surrogate pair.
static void PutWideRange(Report *report, const WCHAR *text, int length) {
    while (length > 0) {
        int part = length < 512 ? length : 512;
        if (part < length && text[part - 1] >= 0xD800 && text[part - 1] <= 0xDBFF)
            part--;
        char utf8[512 * 3];
        int bytes = WideCharToMultiByte(CP_UTF8, 0, text, part, utf8, sizeof utf8, NULL, NULL);
        if (bytes <= 0) {
            report->failed = TRUE;
            return;
        }
        PutBytes(report, utf8, (DWORD)bytes);
        text += part;
        length -= part;
    }
}

static void PutWide(Report *report, const WCHAR *text) {
    PutWideRange(report, text, lstrlenW(text));
}

static void PutLayoutName(Report *report, const KeyboardLayout *layout) {
    if (layout == NULL) {
        Put(report, "(none)");
        return;
    }
    Put(report, "[");
    PutWide(report, layout->name);
    Put(report, ",");
    PutWide(report, layout->label);
    Put(report, ",");
    PutWide(report, layout->subName);
    Put(report, ",%d]", layout->number);
}

// Every layout a tree reaches through its NEWKEYBD keys, each once, the first one first.
static void CollectTree(KeyboardLayout *layout, Element **tree) {
    for (Element *node = *tree; node != NULL; node = node->next) {
        if (node->data == layout)
            return;
    }
    if (!AddElement(tree, layout))
        return;
    for (Element *node = FindLastElement(layout->keys); node != NULL; node = node->prev) {
        KeyDef *key = (KeyDef *)node->data;
        if ((key->flags & KEY_NEWKEYBD) != 0 && (key->flags & (KEY_MACRO | KEY_LAUNCH)) == 0 &&
            key->target != NULL)
            CollectTree((KeyboardLayout *)key->target, tree);
    }
}

// A found key by its section and its place in it; "elsewhere" when the tree does not hold it.
static void PutKeyPlace(Report *report, Element *tree, const KeyDef *found) {
    if (found == NULL) {
        Put(report, "(none)");
        return;
    }
    for (Element *section = FindLastElement(tree); section != NULL; section = section->prev) {
        const KeyboardLayout *layout = (const KeyboardLayout *)section->data;
        int index = 0;
        for (Element *node = FindLastElement(layout->keys); node != NULL; node = node->prev) {
            if (node->data == found) {
                PutLayoutName(report, layout);
                Put(report, " key %d", index);
                return;
            }
            index++;
        }
    }
    Put(report, "elsewhere");
}

static void PutKey(Report *report, const KeyDef *key) {
    Put(report, "  %d %d %d %d flags 0x%lx code %u identity %d picture %lu%s", key->left, key->top,
        key->width, key->height, (unsigned long)key->flags, (unsigned)key->code, key->identity,
        (unsigned long)key->imageIndex, key->image != NULL ? " bitmap" : "");
    if (key->target == NULL) {
        Put(report, " target none\n");
    } else if ((key->flags & (KEY_MACRO | KEY_LAUNCH)) != 0) {
        Put(report, " text \"");
        PutWide(report, (const WCHAR *)key->target);
        Put(report, "\"\n");
    } else {
        Put(report, " target ");
        PutLayoutName(report, (const KeyboardLayout *)key->target);
        Put(report, "\n");
    }
}

static void PutTree(Report *report, Element *tree) {
    for (Element *section = FindLastElement(tree); section != NULL; section = section->prev) {
        const KeyboardLayout *layout = (const KeyboardLayout *)section->data;
        Put(report, "section ");
        PutLayoutName(report, layout);
        Put(report, " %s offset %d\n", layout->path, layout->offset);
        for (Element *node = FindLastElement(layout->keys); node != NULL; node = node->prev)
            PutKey(report, (const KeyDef *)node->data);
    }
}

static const DWORD QueryFlags[][2] = {
    {0, 0},
    {0, KEY_VIRTUAL},
    {KEY_VIRTUAL, 0},
    {KEY_STICK | KEY_TOGGLE, KEY_HIDDEN},
};

// Each key of the tree looked for by its code, under each pair of flags, and by its identity.
static void PutKeyLookups(Report *report, KeyboardLayout *root, Element *tree) {
    for (Element *section = FindLastElement(tree); section != NULL; section = section->prev) {
        KeyboardLayout *layout = (KeyboardLayout *)section->data;
        for (Element *node = FindLastElement(layout->keys); node != NULL; node = node->prev) {
            const KeyDef *key = (const KeyDef *)node->data;
            Put(report, "code %u:", (unsigned)key->code);
            for (size_t i = 0; i < ARRAYSIZE(QueryFlags); i++) {
                Put(report, " find ");
                PutKeyPlace(
                    report, tree,
                    FindKeyByUnicode(root->keys, key->code, QueryFlags[i][0], QueryFlags[i][1]));
                Put(report, " getting ");
                PutKeyPlace(report, tree,
                            GettingKeyByUnicode(layout->keys, key->code, QueryFlags[i][0],
                                                QueryFlags[i][1]));
            }
            Put(report, " identity %d ", key->identity);
            PutKeyPlace(report, tree, FindKeyByIdentity(root->keys, key->identity));
            Put(report, " layout ");
            PutLayoutName(report, FindKeyBoardByUnicode(root, key->code));
            Put(report, "\n");
        }
    }
}

static void PutLayoutLookups(Report *report, Element *catalogue, KeyboardLayout *root,
                             int sections) {
    for (int depth = 0; depth <= sections; depth++) {
        Put(report, "depth %d: ", depth);
        PutLayoutName(report, FindKeyBoardByNumber(root, depth));
        Put(report, " by name ");
        PutLayoutName(report, FindKeyBoardByName(catalogue, root->name, depth));
        Put(report, "\n");
    }
    Put(report, "catalogue entry ");
    PutLayoutName(report, GetKeyBoardByName(catalogue, root->name));
    Put(report, "\n");
}

static void PutSavedText(Report *report, KeyboardLayout *layout, WCHAR *text) {
    WCHAR *position = text;
    int saved = SaveKeyBoard(layout, &position);
    Put(report, "SaveKeyBoard %d, %ld characters\n", saved, (long)(position - text));
    PutWideRange(report, text, (int)(position - text));
}

static void PutLayout(Report *report, Element *catalogue, const KeyboardLayout *entry,
                      WCHAR *text) {
    KeyboardLayout request = *entry;
    request.keys = NULL;
    KeyboardLayout *root = (KeyboardLayout *)LoadKeyBoard(catalogue, &request, NULL);
    Put(report, "\nLoadKeyBoard ");
    PutLayoutName(report, &request);
    Put(report, ": ");
    PutLayoutName(report, root);
    Put(report, "\n");
    if (root == NULL)
        return;

    Element *tree = NULL;
    CollectTree(root, &tree);
    PutTree(report, tree);
    PutKeyLookups(report, root, tree);
    int sections = 0;
    for (Element *node = tree; node != NULL; node = node->next)
        sections++;
    PutLayoutLookups(report, catalogue, root, sections);
    ReleaseAll(&tree, 0);
    PutSavedText(report, root, text);

    KeyboardLayout *copy = CopyKeyBoard(root);
    Put(report, "CopyKeyBoard: ");
    PutLayoutName(report, copy);
    Put(report, "\n");
    if (copy != NULL) {
        Put(report, "ReplaceKbdNames %d\n",
            ReplaceKbdNames(copy, WTEXT("Copy"), WTEXT("Sub"), WTEXT("Cp")));
        Put(report, "ClearTempFlag %d\n", ClearTempFlag(copy));
        PutSavedText(report, copy, text);
        Put(report, "UnLoadKeyBoard %d\n", UnLoadKeyBoard(copy));
    }
}

// The saved file's UTF-16 text, as the catalogue save wrote it.
static void PutSavedFile(Report *report, const char *path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        Put(report, "saved file missing\n");
        return;
    }
    DWORD size = GetFileSize(file, NULL);
    WCHAR *text = (WCHAR *)LocalAlloc(LPTR, size + sizeof(WCHAR));
    DWORD read = 0;
    if (text != NULL && ReadFile(file, text, size, &read, NULL) && read == size) {
        Put(report, "saved file %lu bytes\n", (unsigned long)size);
        PutWideRange(report, text, (int)(size / sizeof(WCHAR)));
    } else {
        report->failed = TRUE;
    }
    LocalFree(text);
    CloseHandle(file);
}

static void PutCatalogue(Report *report, Element *catalogue) {
    Put(report, "catalogue\n");
    for (Element *node = FindLastElement(catalogue); node != NULL; node = node->prev) {
        const KeyboardLayout *entry = (const KeyboardLayout *)node->data;
        PutLayoutName(report, entry);
        Put(report, " %s offset %d\n", entry->path, entry->offset);
    }
}

static void PutEverything(Report *report, const char *directory, const char *savedName) {
    Put(report, "SetSearchDirectory %d\n", SetSearchDirectory(directory));
    Element *catalogue = LoadKeyBoardsNames();
    PutCatalogue(report, catalogue);

    WCHAR *text = (WCHAR *)LocalAlloc(LPTR, SAVE_CAPACITY * sizeof(WCHAR));
    if (text == NULL) {
        report->failed = TRUE;
        return;
    }
    for (Element *node = FindLastElement(catalogue); node != NULL; node = node->prev)
        PutLayout(report, catalogue, (const KeyboardLayout *)node->data, text);
    LocalFree(text);

    Put(report, "\nSaveKeyBoardsNames %d\n", SaveKeyBoardsNames(catalogue, savedName));
    char savedPath[MAX_PATH];
    snprintf(savedPath, sizeof savedPath, "%s\\%s", directory, savedName);
    PutSavedFile(report, savedPath);

    // Copies join the library's loaded layouts, where LoadKeyBoard would find them first; they stay
    // until UnLoadKeyBoardsNames, and only the list is the caller's.
    Element *copies = CopyKeyBoardsNames(catalogue);
    Put(report, "CopyKeyBoardsNames");
    for (Element *node = FindLastElement(copies); node != NULL; node = node->prev) {
        Put(report, " ");
        PutLayoutName(report, (const KeyboardLayout *)node->data);
    }
    Put(report, "\n");
    ReleaseAll(&copies, 0);
    Put(report, "UnLoadKeyBoardsNames %d\n", UnLoadKeyBoardsNames(catalogue));

    // The saved file is new in the folder, so the next listing takes it in.
    Element *again = LoadKeyBoardsNames();
    PutCatalogue(report, again);
    Put(report, "UnLoadKeyBoardsNames %d\n", UnLoadKeyBoardsNames(again));
}

// The command line's words, split at spaces: the paths the checks give have none.
static int SplitArguments(char *commandLine, char **arguments, int most) {
    int count = 0;
    char *p = commandLine;
    while (*p != 0) {
        while (*p == ' ')
            *p++ = 0;
        if (*p == 0)
            break;
        if (count == most)
            return most + 1;
        arguments[count++] = p;
        while (*p != 0 && *p != ' ')
            p++;
    }
    return count;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    char *arguments[ARGUMENT_COUNT];
    if (commandLine == NULL ||
        SplitArguments(commandLine, arguments, ARGUMENT_COUNT) != ARGUMENT_COUNT) {
        fprintf(stderr, "usage: layodex_calls DIRECTORY REPORT SAVED\n");
        return 2;
    }
    Report *report = &TheReport;
    report->file = CreateFileA(arguments[1], GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (report->file == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "layodex_calls: cannot write %s\n", arguments[1]);
        return 2;
    }
    PutEverything(report, arguments[0], arguments[2]);
    Flush(report);
    CloseHandle(report->file);
    if (report->failed) {
        fprintf(stderr, "layodex_calls: the report is incomplete\n");
        return 1;
    }
    return 0;
}
