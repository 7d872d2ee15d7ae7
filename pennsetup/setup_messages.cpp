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
