// A package's setup library for the installer's tests: each call is written as a line to
// \Temp\setup-calls.txt, and each answer is the DWORD the test left under
// HKEY_LOCAL_MACHINE\Software\SetupTest ("Init", "Exit", "Uninstall"), 0 when there is none.
#include <windows.h>

#include <ce_setup.h>

#include <stdio.h>

static DWORD Answer(LPCWSTR name) {
    HKEY key = NULL;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\SetupTest", 0, 0, &key) == ERROR_SUCCESS) {
        RegQueryValueExW(key, name, NULL, NULL, (BYTE *)&value, &size);
        RegCloseKey(key);
    }
    return value;
}

static void Note(const char *line) {
    HANDLE file = CreateFileW(u"\\Temp\\setup-calls.txt", GENERIC_WRITE, 0, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    SetFilePointer(file, 0, NULL, FILE_END);
    WriteFile(file, line, (DWORD)strlen(line), &written, NULL);
    WriteFile(file, "\n", 1, &written, NULL);
    CloseHandle(file);
}

static void Narrow(LPCWSTR wide, char *text, int size) {
    int i = 0;
    for (; wide[i] != 0 && i < size - 1; ++i) {
        text[i] = (char)wide[i];
    }
    text[i] = 0;
}

extern "C" __declspec(dllexport) codeINSTALL_INIT WINAPI
    Install_Init(HWND window, BOOL firstCall, BOOL previouslyInstalled, LPCWSTR directory) {
    char path[260];
    char line[400];
    Narrow(directory, path, sizeof(path));
    snprintf(line, sizeof(line), "Install_Init first=%d previous=%d window=%d %s", firstCall,
             previouslyInstalled, IsWindow(window) ? 1 : 0, path);
    Note(line);
    return (codeINSTALL_INIT)Answer(u"Init");
}

extern "C" __declspec(dllexport) codeINSTALL_EXIT WINAPI
    Install_Exit(HWND, LPCWSTR directory, WORD failedDirectories, WORD failedFiles, WORD failedKeys,
                 WORD failedValues, WORD failedShortcuts) {
    char path[260];
    char line[400];
    Narrow(directory, path, sizeof(path));
    snprintf(line, sizeof(line), "Install_Exit %s failed=%u,%u,%u,%u,%u", path, failedDirectories,
             failedFiles, failedKeys, failedValues, failedShortcuts);
    Note(line);
    return (codeINSTALL_EXIT)Answer(u"Exit");
}

extern "C" __declspec(dllexport) codeUNINSTALL_INIT WINAPI Uninstall_Init(HWND, LPCWSTR directory) {
    char path[260];
    char line[400];
    Narrow(directory, path, sizeof(path));
    snprintf(line, sizeof(line), "Uninstall_Init %s", path);
    Note(line);
    return (codeUNINSTALL_INIT)Answer(u"Uninstall");
}

extern "C" __declspec(dllexport) codeUNINSTALL_EXIT WINAPI Uninstall_Exit(HWND) {
    Note("Uninstall_Exit");
    return codeUNINSTALL_EXIT_DONE;
}
