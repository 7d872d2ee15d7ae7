// What Setup asks the device through the Remote API: its windows, its free store and where the
// keyboard was installed.
#include <rapi.h>

#include "setup_state.h"

#define DEVICE_TEXT_CAPACITY 100
#define INSTALL_DIR_BYTES 260

// A device text, as the call read it into wide, equals expected once made 8-bit.
static BOOL DeviceTextIs(int length, WCHAR *wide, const char *expected) {
    if (length <= 0)
        return FALSE;
    char narrow[2 * DEVICE_TEXT_CAPACITY];
    wide[DEVICE_TEXT_CAPACITY - 1] = 0;
    wsprintfA(narrow, "%S", wide);
    return lstrcmpA(narrow, expected) == 0;
}

static BOOL WindowMatches(HWND window, const char *className, const char *text) {
    WCHAR wide[DEVICE_TEXT_CAPACITY];
    return DeviceTextIs(CeGetClassName(window, wide, DEVICE_TEXT_CAPACITY), wide, className) &&
           DeviceTextIs(CeGetWindowText(window, wide, DEVICE_TEXT_CAPACITY), wide, text);
}

// The last match in the device's sibling order: the first top-level window, then its first
// sibling, then every one after it.
HWND FindDeviceWindow(const char *className, const char *text) {
    HWND window = CeGetWindow(NULL, GW_CHILD);
    if (window == NULL)
        return NULL;
    if (WindowMatches(window, className, text))
        return window;
    window = CeGetWindow(window, GW_HWNDFIRST);
    if (window == NULL)
        return NULL;
    if (WindowMatches(window, className, text))
        return window;
    HWND found = NULL;
    while ((window = CeGetWindow(window, GW_HWNDNEXT)) != NULL) {
        if (WindowMatches(window, className, text))
            found = window;
    }
    return found;
}

static DWORD FileSize(const char *path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return found.nFileSizeLow;
}

// A store whose figures cannot be read counts as a device that cannot be reached: its free space
// would otherwise be whatever the record held.
BOOL QueryDeviceSpace(const LayoutNode *list, DWORD *required, DWORD *free) {
    DWORD sum = 0;
    for (; list != NULL; list = list->next)
        sum += FileSize(list->data->path);
    *required = sum;
    BytesRequired = sum;
    if (CeRapiInit() == E_FAIL)
        return FALSE;
    STORE_INFORMATION store = {0, 0};
    const BOOL read = CeGetStoreInformation(&store);
    CeRapiUninit();
    if (!read)
        return FALSE;
    *free = store.dwFreeSize;
    return TRUE;
}

BOOL ReadDeviceInstallDir(char *directory, int capacity) {
    HKEY key = NULL;
    if (CeRegOpenKeyEx(HKEY_CURRENT_USER, u"Software\\Quorvale2\\" PRODUCT_NAME, 0, KEY_ALL_ACCESS,
                       &key) != ERROR_SUCCESS)
        return FALSE;
    const DWORD units = INSTALL_DIR_BYTES / sizeof(WCHAR);
    WCHAR value[units + 1];
    DWORD size = INSTALL_DIR_BYTES;
    const LONG result = CeRegQueryValueEx(key, u"InstDir", NULL, NULL, (BYTE *)value, &size);
    CeRegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return FALSE;
    // A value stored without its terminator still ends within the buffer.
    value[size / sizeof(WCHAR) < units ? size / sizeof(WCHAR) : units] = 0;
    char narrow[INSTALL_DIR_BYTES];
    wsprintfA(narrow, "%S", value);
    if (narrow[0] == 0 || lstrlenA(narrow) >= capacity)
        return FALSE;
    lstrcpyA(directory, narrow);
    return TRUE;
}
