#include "pennsetup_state.h"

BOOL InstallDirectoryPath(LPCTSTR directory, LPCTSTR name, TCHAR *path) {
    int length = lstrlen(directory);
    BOOL needsBackslash = length > 0 && directory[length - 1] != '\\';
    if (length + (needsBackslash ? 1 : 0) + lstrlen(name) >= MAX_PATH)
        return FALSE;
    lstrcpy(path, directory);
    if (needsBackslash)
        lstrcat(path, TEXT("\\"));
    lstrcat(path, name);
    return TRUE;
}

// A directory too long for the pattern holds no layout this hook can name.
HANDLE FindFirstLayoutFile(LPCTSTR directory, WIN32_FIND_DATA *found) {
    TCHAR pattern[MAX_PATH];
    if (!InstallDirectoryPath(directory, TEXT("*.kbi"), pattern))
        return INVALID_HANDLE_VALUE;
    return FindFirstFile(pattern, found);
}
