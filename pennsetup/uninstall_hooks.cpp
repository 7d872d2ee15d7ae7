#include <ce_setup.h>

#include "pennsetup_state.h"

// The package did not install the layouts, so the installer would leave them behind. A file
// that cannot be deleted is left, and removal goes on.
extern "C" codeUNINSTALL_INIT WINAPI Uninstall_Init(HWND hwndParent, LPCTSTR pszInstallDir) {
    (void)hwndParent;
    WIN32_FIND_DATA found;
    HANDLE search = FindFirstLayoutFile(pszInstallDir, &found);
    if (search == INVALID_HANDLE_VALUE)
        return codeUNINSTALL_INIT_CONTINUE;
    do {
        TCHAR path[MAX_PATH];
        if (InstallDirectoryPath(pszInstallDir, found.cFileName, path))
            DeleteFile(path);
    } while (FindNextFile(search, &found));
    FindClose(search);
    return codeUNINSTALL_INIT_CONTINUE;
}

extern "C" codeUNINSTALL_EXIT WINAPI Uninstall_Exit(HWND hwndParent) {
    (void)hwndParent;
    return codeUNINSTALL_EXIT_DONE;
}
