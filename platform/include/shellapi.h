// The shell's notification icons on the task bar, and its shortcut files.
#ifndef PENNAKEY_SHELLAPI_H
#define PENNAKEY_SHELLAPI_H

#include <windows.h>

#define NIM_ADD 0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002

#define NIF_MESSAGE 0x00000001
#define NIF_ICON 0x00000002
#define NIF_TIP 0x00000004

typedef struct _NOTIFYICONDATAW {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    WCHAR szTip[64];
} NOTIFYICONDATAW, *PNOTIFYICONDATAW;

WINBASEAPI BOOL WINAPI Shell_NotifyIconW(DWORD message, PNOTIFYICONDATAW data);

// A new shortcut file to target, which the caller quotes when its path holds a blank; FALSE when
// the file exists already or cannot be written.
WINBASEAPI BOOL WINAPI SHCreateShortcut(LPWSTR shortcut, LPWSTR target);
// The target of a shortcut file into size characters (the NUL included); FALSE for a file that is
// not a shortcut or a target that does not fit.
WINBASEAPI BOOL WINAPI SHGetShortcutTarget(LPCWSTR shortcut, LPWSTR target, int size);

#ifdef UNICODE
#define NOTIFYICONDATA NOTIFYICONDATAW
#define PNOTIFYICONDATA PNOTIFYICONDATAW
#define Shell_NotifyIcon Shell_NotifyIconW
#endif

#endif
