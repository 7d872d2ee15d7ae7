// The installation hook's own state and the pieces its entry points share.
#ifndef PENNSETUP_STATE_H
#define PENNSETUP_STATE_H

#include <windows.h>

#define IDD_COMPLETION 101
#define IDI_SETUP 102
#define IDC_PRODUCT_NAME 1003

#define PRODUCT_NAME TEXT("Pennakey")
#define SETUP_CAPTION TEXT("Pennakey Setup")
#define MESSAGE_CAPACITY 1000

// The module, kept from the moment the library is attached: the completion dialog comes from it.
extern HINSTANCE SetupModule;

// Up to four pieces (NULL for none) joined in one message, cut to its buffer, shown with the
// setup caption; the box's answer.
int ShowSetupMessage(HWND owner, UINT type, LPCTSTR first, LPCTSTR second, LPCTSTR third,
                     LPCTSTR fourth);

// The completion dialog, shown modally without owner; its result.
INT_PTR ShowCompletionDialog(void);

// A name in the installation directory, with a backslash between them where the directory ends
// without one; FALSE when the path would not fit MAX_PATH.
BOOL InstallDirectoryPath(LPCTSTR directory, LPCTSTR name, TCHAR *path);
// A search of the installation directory's "*.kbi" files, the first one in found;
// INVALID_HANDLE_VALUE when there is none.
HANDLE FindFirstLayoutFile(LPCTSTR directory, WIN32_FIND_DATA *found);

#endif
