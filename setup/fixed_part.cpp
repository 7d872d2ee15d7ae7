// Handing the device programs to the application manager: the distribution goes into the
// manager's folder for the device's kind, and the manager is started with its description file.
#include <string.h>

#include "setup_state.h"

#define APP_PATHS_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE"
#define MANAGER_FILE_LENGTH 12 // "ceappmgr.exe"
#define DESCRIPTION_FILE PRODUCT_NAME ".ini"
#define MANAGER_WINDOW_TRIES 100

BOOL ChoosePlatformFolder(void) {
    BOOL pocketPc = FALSE, handheldPc = FALSE;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(PRODUCT_NAME "*.cab", &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            pocketPc |= strstr(found.cFileName, "ppc") != NULL;
            handheldPc |= strstr(found.cFileName, "hpc") != NULL;
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return pocketPc && !handheldPc;
}

// Into the folder, making it when it is not there yet.
static BOOL EnterFolder(const char *folder) {
    if (SetCurrentDirectoryA(folder))
        return TRUE;
    CreateDirectoryA(folder, NULL);
    return SetCurrentDirectoryA(folder);
}

// Appends the name to the path with a backslash between; FALSE when it would not fit.
static BOOL AppendName(char *path, const char *name) {
    const int length = lstrlenA(path);
    const BOOL separate = length > 0 && path[length - 1] != '\\';
    if (length + (separate ? 1 : 0) + lstrlenA(name) >= MAX_PATH)
        return FALSE;
    if (separate)
        lstrcatA(path, "\\");
    lstrcatA(path, name);
    return TRUE;
}

static void CopyMatching(const char *pattern, const char *target, HWND bar) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        char copy[MAX_PATH];
        lstrcpyA(copy, target);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            AppendName(copy, found.cFileName)) {
            CopyFileA(found.cFileName, copy, FALSE);
            StepProgress(bar, found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The distribution, from the start directory into the target folder. Failed copies are not
// reported: a missing description file shows up as the device never asking for layouts.
static void CopyDistribution(const char *start, const char *target) {
    static const char *const patterns[] = {
        "Setup.exe",          "morvex.exe", "pennini.sve", PRODUCT_NAME "*.cab",
        PRODUCT_NAME "*.htm", "*.kbi",      "Layodex.dll", DESCRIPTION_FILE};
    const int steps = 46;
    HWND bar = CreateProgressWindow(steps, "", "Copying distribution:");
    // The bar moves with each file, as far as it goes.
    StepBudget = steps;
    SetCurrentDirectoryA(start);
    for (int i = 0; i < (int)(sizeof patterns / sizeof patterns[0]); i++)
        CopyMatching(patterns[i], target, bar);
    StepBudget = 0;
    DestroyProgressWindow(bar);
}

static BOOL ReadManagerPath(HKEY key, char *path) {
    DWORD size = MAX_PATH;
    DWORD type = 0;
    if (RegQueryValueExA(key, NULL, NULL, &type, (BYTE *)path, &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return FALSE;
    path[size < MAX_PATH ? size : MAX_PATH - 1] = 0;
    // A path too short to end with the manager's file name names no folder.
    return lstrlenA(path) >= MANAGER_FILE_LENGTH;
}

static BOOL StartManager(const char *manager, const char *description) {
    char commandLine[2 * MAX_PATH + 8];
    wsprintfA(commandLine, "\"%s\" \"%s\"", manager, description);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    startup.lpDesktop = (LPSTR) "";
    PROCESS_INFORMATION information = {};
    return CreateProcessA(NULL, commandLine, NULL, NULL, FALSE,
                          CREATE_DEFAULT_ERROR_MODE | NORMAL_PRIORITY_CLASS, NULL, NULL, &startup,
                          &information);
}

int InstallFixedPart(void) {
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return FIXED_PART_NOT_REGISTERED;
    char manager[MAX_PATH];
    if (!ReadManagerPath(key, manager)) {
        RegCloseKey(key);
        return FIXED_PART_NO_PATH;
    }
    char target[MAX_PATH];
    lstrcpyA(target, manager);
    target[lstrlenA(target) - MANAGER_FILE_LENGTH] = 0;

    char start[MAX_PATH];
    if (GetCurrentDirectoryA(MAX_PATH, start) == 0)
        start[0] = 0;
    const char *platformFolder = ChoosePlatformFolder() ? "PPC Applications" : "HPC Applications";
    if (!AppendName(target, platformFolder) || !EnterFolder(target) ||
        !AppendName(target, PRODUCT_NAME) || !EnterFolder(target)) {
        RegCloseKey(key);
        return FIXED_PART_NO_PATH;
    }

    if (lstrcmpiA(target, start) != 0)
        CopyDistribution(start, target);
    char description[MAX_PATH];
    lstrcpyA(description, target);
    AppendName(description, DESCRIPTION_FILE);
    StartManager(manager, description);
    RegCloseKey(key);

    HWND window = FindWindowA("CEAppMgr", NULL);
    for (int i = 0; window == NULL && i < MANAGER_WINDOW_TRIES; i++) {
        Sleep(5);
        window = FindWindowA("CEAppMgr", NULL);
    }
    if (window == NULL)
        return FIXED_PART_NO_WINDOW;

    SetCurrentDirectoryA(target);
    lstrcpyA(LayoutsDirectory, target);
    AppendName(LayoutsDirectory, ""); // the trailing backslash
    return 1;
}
