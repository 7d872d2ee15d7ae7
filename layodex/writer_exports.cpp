#include "layodex_internal.h"
#include "layout_writer.h"
#include "tree_walk.h"

static int Collect(KeyboardLayout *layout, int, void *context) {
    AddElement((Element **)context, layout);
    return WALK_ON;
}

void CollectLayoutTree(KeyboardLayout *layout, Element **collected) {
    WalkLayoutTree(layout, Collect, collected);
}

int SaveKeyBoard(KeyboardLayout *layout, WCHAR **writePosition) {
    if (layout == NULL || writePosition == NULL || *writePosition == NULL)
        return 0;
    Element *tree = NULL;
    CollectLayoutTree(layout, &tree);

    WCHAR *start = *writePosition;
    TextWriter writer = {start, start + LAYOUT_TEXT_CAPACITY - 1, FALSE};
    int result = 1;
    FOR_EACH_IN_LIST_ORDER(node, tree) {
        KeyboardLayout *written = (KeyboardLayout *)node->data;
        WriteLayoutSection(&writer, written);
        if (written->keys == NULL)
            result = 0;
    }
    ReleaseAll(&tree, 0);

    // Text that does not fit is not written at all, rather than cut off somewhere in a line.
    if (writer.overflow) {
        *start = 0;
        return 0;
    }
    *writer.position = 0;
    *writePosition = writer.position;
    return result;
}

static BOOL BuildPath(const PATHCHAR *fileName, const PATHCHAR *suffix, PATHCHAR *path) {
    if (lstrlen(SearchDirectory) + lstrlen(fileName) + lstrlen(suffix) >= MAX_PATH)
        return FALSE;
    lstrcpy(path, SearchDirectory);
    lstrcat(path, fileName);
    lstrcat(path, suffix);
    return TRUE;
}

// A new file beside the target, one that is not there already while a free name remains. When
// every name is taken, they are left by saves that never finished (a crash, a full disk), and
// the first is taken over, so that what a crash left never blocks a save.
static HANDLE CreateTemporaryFile(const PATHCHAR *fileName, PATHCHAR *temporaryPath) {
    static const PATHCHAR *const suffixes[] = {TEXT("~"),  TEXT("~1"), TEXT("~2"), TEXT("~3"),
                                               TEXT("~4"), TEXT("~5"), TEXT("~6"), TEXT("~7")};
    const int count = (int)(sizeof suffixes / sizeof suffixes[0]);
    for (int i = 0; i <= count; i++) {
        const BOOL takeOver = i == count;
        if (!BuildPath(fileName, suffixes[takeOver ? 0 : i], temporaryPath))
            break;
        HANDLE file =
            CreateFile(temporaryPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL,
                       takeOver ? CREATE_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// Writes every loaded layout with keys into the mapped view; the bytes written, or -1 when the
// text does not fit.
static long WriteCachedLayouts(WCHAR *view) {
    TextWriter writer = {view, view + LAYOUT_TEXT_CAPACITY, FALSE};
    FOR_EACH_IN_LIST_ORDER(node, LayoutCache) {
        KeyboardLayout *layout = (KeyboardLayout *)node->data;
        if (layout->keys == NULL)
            continue;
        WriteLayoutSection(&writer, layout);
        WriteLineEnd(&writer);
    }
    return writer.overflow ? -1 : (long)((writer.position - view) * sizeof(WCHAR));
}

// The new file is written beside the old one and renamed over it, so that a file that cannot be
// written never costs the one it would replace.
int SaveKeyBoardsNames(Element *catalogue, const PATHCHAR *fileName) {
    PATHCHAR path[MAX_PATH];
    PATHCHAR temporaryPath[MAX_PATH];
    if (catalogue == NULL || fileName == NULL || !BuildPath(fileName, TEXT(""), path))
        return 0;
    HANDLE file = CreateTemporaryFile(fileName, temporaryPath);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    long written = -1;
    HANDLE mapping = CreateFileMapping(file, NULL, PAGE_READWRITE, 0,
                                       LAYOUT_TEXT_CAPACITY * sizeof(WCHAR), NULL);
    if (mapping != NULL) {
        WCHAR *view = (WCHAR *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
        if (view != NULL) {
            written = WriteCachedLayouts(view);
            UnmapViewOfFile(view);
        }
        CloseHandle(mapping);
    }
    BOOL saved =
        written >= 0 &&
        SetFilePointer(file, written & ~1L, NULL, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
        SetEndOfFile(file);
    CloseHandle(file);
    if (saved)
        saved = MoveFileEx(temporaryPath, path, MOVEFILE_REPLACE_EXISTING);
    if (!saved)
        DeleteFile(temporaryPath);
    return saved ? 1 : 0;
}
