#include "pennsetup_state.h"

static void Append(TCHAR *message, LPCTSTR piece) {
    if (piece == NULL)
        return;
    int used = lstrlen(message);
    lstrcpyn(message + used, piece, MESSAGE_CAPACITY - used);
}

int ShowSetupMessage(HWND owner, UINT type, LPCTSTR first, LPCTSTR second, LPCTSTR third,
                     LPCTSTR fourth) {
    TCHAR message[MESSAGE_CAPACITY];
    message[0] = 0;
    Append(message, first);
    Append(message, second);
    Append(message, third);
    Append(message, fourth);
    return MessageBox(owner, message, SETUP_CAPTION, type);
}

HANDLE FindFirstLayoutFile(LPCTSTR directory, WIN32_FIND_DATA *found) {
    TCHAR pattern[MAX_PATH];
    int length = lstrlen(directory);
    // A directory too long for the pattern holds no layout this hook can name.
    if (length + 7 >= MAX_PATH)
        return INVALID_HANDLE_VALUE;
    lstrcpy(pattern, directory);
    if (length > 0 && pattern[length - 1] != '\\')
        lstrcat(pattern, TEXT("\\"));
    lstrcat(pattern, TEXT("*.kbi"));
    return FindFirstFile(pattern, found);
}
