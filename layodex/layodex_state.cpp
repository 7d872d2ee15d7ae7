#include "layodex_internal.h"
#include "layout_scan.h"

PATHCHAR SearchDirectory[MAX_PATH];
Element *LayoutCache;
INT IdentityCounter;

// The library's own directory: the module path up to its last backslash; a bare drive keeps its
// colon; a path with neither becomes the root.
static void SetModuleDirectory(HINSTANCE module) {
    PATHCHAR path[MAX_PATH];
    DWORD length = GetModuleFileName(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        path[0] = 0;

    int lastBackslash = -1;
    int colon = -1;
    for (int i = 0; path[i] != 0; i++) {
        if (path[i] == '\\')
            lastBackslash = i;
        else if (path[i] == ':' && colon < 0)
            colon = i;
    }
    if (lastBackslash >= 0) {
        path[lastBackslash + 1] = 0;
    } else if (colon >= 0 && colon + 2 < MAX_PATH) {
        path[colon + 1] = '\\';
        path[colon + 2] = 0;
    } else {
        path[0] = '\\';
        path[1] = 0;
    }
    lstrcpy(SearchDirectory, path);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        SetModuleDirectory(module);
    else if (reason == DLL_PROCESS_DETACH) {
        // What a host left loaded goes with the library, as its memory would with a process.
        ForgetLayoutFiles();
        ReleaseLoadedLayouts();
    }
    return TRUE;
}

int SetSearchDirectory(const PATHCHAR *directory) {
    if (directory == NULL)
        return 0;
    int length = lstrlen(directory);
    BOOL needsBackslash = length > 0 && directory[length - 1] != '\\';
    // A directory that would not fit is refused whole rather than cut into another directory.
    if (length + (needsBackslash ? 1 : 0) > MAX_PATH - 1)
        return 0;
    lstrcpy(SearchDirectory, directory);
    if (needsBackslash) {
        SearchDirectory[length] = '\\';
        SearchDirectory[length + 1] = 0;
    }
    return 1;
}
