// Storing and restoring the selected layout's name for other programs.
#include "main_window.h"

#include "pennakbd_state.h"

namespace {

// Result codes of the layout-name messages.
const int nameDone = -1;
const int nameTooLong = 1;
const int nothingSelected = 2;
const int nameNotFound = 3;
const int nameUnreadable = 5;
const int nameUnwritable = 6;
const int noSettingsKey = 7;
const int noSelector = 8;

const int maxNameLength = 259;

} // namespace

int SaveCurrentKeyboardName(HWND selector) {
    if (selector == NULL)
        return noSelector;
    const LRESULT selection = SendMessageW(selector, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR)
        return nothingSelected;
    const LRESULT length = SendMessageW(selector, CB_GETLBTEXTLEN, selection, 0);
    if (length == CB_ERR || length > maxNameLength)
        return nameTooLong;
    WCHAR name[maxNameLength + 1];
    ZeroMemory(name, sizeof name);
    SendMessageW(selector, CB_GETLBTEXT, selection, (LPARAM)name);
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return noSettingsKey;
    const LONG stored = RegSetValueExW(key, TEXT("CurKbdName"), 0, REG_SZ, (const BYTE *)name,
                                       (DWORD)((lstrlenW(name) + 1) * sizeof(WCHAR)));
    RegCloseKey(key);
    return stored == ERROR_SUCCESS ? nameDone : nameUnwritable;
}

int RestoreCurrentKeyboardName(HWND selector) {
    if (selector == NULL)
        return noSelector;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SETTINGS_KEY, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return noSettingsKey;
    // One more unit than the value may hold, so that the name always ends.
    WCHAR name[259];
    ZeroMemory(name, sizeof name);
    DWORD size = 516;
    DWORD type = 0;
    if (RegQueryValueExW(key, TEXT("CurKbdName"), NULL, &type, (BYTE *)name, &size) !=
        ERROR_SUCCESS) {
        RegCloseKey(key);
        return nameUnreadable;
    }
    int result = nameDone;
    const LRESULT found =
        name[0] == 0 ? CB_ERR : SendMessageW(selector, CB_FINDSTRING, 0, (LPARAM)name);
    if (found == CB_ERR)
        result = nameNotFound;
    else if (SendMessageW(selector, CB_SETCURSEL, found, 0) != found)
        result = noSelector;
    else
        PostMessageW(GetParent(selector), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(selector), CBN_SELCHANGE), (LPARAM)selector);
    RegCloseKey(key);
    return result;
}
