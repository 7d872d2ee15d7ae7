// Copying the chosen layouts into the keyboard's installation directory on the device.
#include <rapi.h>

#include "setup_state.h"

#define CHUNK_BYTES 4096

// Both files are closed on every way out; a file cut short stays on the device as it is.
BOOL CopyFileToDevice(const char *desktopPath, const char *devicePath, HWND bar) {
    HANDLE source = CreateFileA(desktopPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL);
    if (source == INVALID_HANDLE_VALUE)
        return FALSE;
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, devicePath, -1, widePath, MAX_PATH) == 0) {
        CloseHandle(source);
        return FALSE;
    }
    HANDLE target = CeCreateFile(widePath, GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, NULL);
    if (target == INVALID_HANDLE_VALUE) {
        CloseHandle(source);
        return FALSE;
    }
    BOOL copied = FALSE;
    static BYTE chunk[CHUNK_BYTES];
    for (;;) {
        DWORD read = 0, written = 0;
        if (!ReadFile(source, chunk, CHUNK_BYTES, &read, NULL))
            break;
        if (!CeWriteFile(target, chunk, read, &written, NULL) || written != read)
            break;
        StepProgress(bar, devicePath);
        if (read == 0) {
            copied = TRUE;
            break;
        }
    }
    CeCloseHandle(target);
    CloseHandle(source);
    return copied;
}

// The file's name and extension after the directory and a backslash; FALSE when too long.
static BOOL DevicePathOf(const char *directory, const char *desktopPath, char *devicePath) {
    const char *name = desktopPath;
    for (const char *at = desktopPath; *at != 0; at++) {
        if (*at == '\\' || *at == '/' || *at == ':')
            name = at + 1;
    }
    if (lstrlenA(directory) + 1 + lstrlenA(name) >= MAX_PATH)
        return FALSE;
    wsprintfA(devicePath, "%s\\%s", directory, name);
    return TRUE;
}

int CopyLayoutsToDevice(const LayoutNode *list) {
    if (CeRapiInit() == E_FAIL)
        return COPY_NO_CONNECTION;
    char directory[MAX_PATH];
    if (!ReadDeviceInstallDir(directory, MAX_PATH)) {
        CeRapiUninit();
        return COPY_NO_DIRECTORY;
    }
    StepBudget = BytesRequired / CHUNK_BYTES;
    HWND bar = CreateProgressWindow(StepBudget, "", "Copying to device:");
    int result = 0;
    for (; list != NULL; list = list->next) {
        char devicePath[MAX_PATH];
        if (!DevicePathOf(directory, list->data->path, devicePath) ||
            !CopyFileToDevice(list->data->path, devicePath, bar)) {
            result = COPY_FILE_FAILED;
            break;
        }
    }
    DestroyProgressWindow(bar);
    StepBudget = 0;
    CeRapiUninit();
    return result;
}
