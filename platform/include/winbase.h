// Processes, threads and time, the current directory and copying files.
#ifndef PLATFORM_WINBASE_H
#define PLATFORM_WINBASE_H

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION, *LPPROCESS_INFORMATION;

typedef struct _STARTUPINFOA {
    DWORD cb;
    LPSTR lpReserved;
    LPSTR lpDesktop;
    LPSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
} STARTUPINFOA, *LPSTARTUPINFOA;

typedef struct _STARTUPINFOW {
    DWORD cb;
    LPWSTR lpReserved;
    LPWSTR lpDesktop;
    LPWSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
} STARTUPINFOW, *LPSTARTUPINFOW;

#define STARTF_USESHOWWINDOW 0x00000001
#define NORMAL_PRIORITY_CLASS 0x00000020
#define CREATE_DEFAULT_ERROR_MODE 0x04000000

#define INFINITE 0xFFFFFFFF
#define THREAD_PRIORITY_LOWEST -2
#define THREAD_PRIORITY_BELOW_NORMAL -1
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15

// Starts a device program by its device path; as on Windows CE, the security, inheritance,
// environment, current-folder and start-up arguments are ignored.
WINBASEAPI BOOL WINAPI CreateProcessW(LPCWSTR path, LPWSTR commandLine, LPSECURITY_ATTRIBUTES,
                                      LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCWSTR,
                                      LPSTARTUPINFOW, LPPROCESS_INFORMATION information);
// Starts a desktop program: by its path, or by the first word of the command line (quoted when
// it holds spaces); WinMain gets the rest of the line, and the show flag of the start-up
// information when it asks for one.
WINBASEAPI BOOL WINAPI CreateProcessA(LPCSTR path, LPSTR commandLine, LPSECURITY_ATTRIBUTES,
                                      LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCSTR,
                                      LPSTARTUPINFOA, LPPROCESS_INFORMATION information);
WINBASEAPI DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer);
WINBASEAPI BOOL WINAPI SetCurrentDirectoryA(LPCSTR path);
WINBASEAPI BOOL WINAPI CopyFileA(LPCSTR from, LPCSTR to, BOOL failIfExists);
WINBASEAPI BOOL WINAPI CopyFileW(LPCWSTR from, LPCWSTR to, BOOL failIfExists);
WINBASEAPI DWORD WINAPI GetCurrentThreadId(void);
WINBASEAPI DWORD WINAPI GetCurrentProcessId(void);
WINBASEAPI HANDLE WINAPI GetCurrentThread(void);
WINBASEAPI BOOL WINAPI SetThreadPriority(HANDLE thread, int priority);
WINBASEAPI void WINAPI Sleep(DWORD milliseconds);
WINBASEAPI DWORD WINAPI GetTickCount(void);
WINBASEAPI void WINAPI ExitProcess(UINT exitCode);
WINBASEAPI BOOL WINAPI GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
#define STILL_ACTIVE 259

// Change notifications: a handle that is signalled once something changes in a folder.
#define FILE_NOTIFY_CHANGE_FILE_NAME 0x00000001
#define FILE_NOTIFY_CHANGE_DIR_NAME 0x00000002
#define FILE_NOTIFY_CHANGE_ATTRIBUTES 0x00000004
#define FILE_NOTIFY_CHANGE_SIZE 0x00000008
#define FILE_NOTIFY_CHANGE_LAST_WRITE 0x00000010
WINBASEAPI HANDLE WINAPI FindFirstChangeNotificationA(LPCSTR path, BOOL watchSubtree, DWORD filter);
WINBASEAPI HANDLE WINAPI FindFirstChangeNotificationW(LPCWSTR path, BOOL watchSubtree,
                                                      DWORD filter);
WINBASEAPI BOOL WINAPI FindNextChangeNotification(HANDLE notification);
WINBASEAPI BOOL WINAPI FindCloseChangeNotification(HANDLE notification);

// Waiting, for the handles that can be waited for here: change notifications.
#define WAIT_OBJECT_0 0x00000000
#define WAIT_TIMEOUT 0x00000102
#define WAIT_FAILED 0xFFFFFFFF
WINBASEAPI DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD milliseconds);

// The device's object store, the system it runs and the processor it runs on.
typedef struct STORE_INFORMATION {
    DWORD dwStoreSize;
    DWORD dwFreeSize;
} STORE_INFORMATION, *LPSTORE_INFORMATION;
WINBASEAPI BOOL WINAPI GetStoreInformation(LPSTORE_INFORMATION information);

#define PROCESSOR_STRONGARM 2577
#define PROCESSOR_ARCHITECTURE_ARM 5
typedef struct _SYSTEM_INFO {
    WORD wProcessorArchitecture;
    WORD wReserved;
    DWORD dwPageSize;
    LPVOID lpMinimumApplicationAddress;
    LPVOID lpMaximumApplicationAddress;
    DWORD dwActiveProcessorMask;
    DWORD dwNumberOfProcessors;
    DWORD dwProcessorType;
    DWORD dwAllocationGranularity;
    WORD wProcessorLevel;
    WORD wProcessorRevision;
} SYSTEM_INFO, *LPSYSTEM_INFO;
WINBASEAPI void WINAPI GetSystemInfo(LPSYSTEM_INFO information);

#define VER_PLATFORM_WIN32_CE 3
typedef struct _OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
} OSVERSIONINFOW, *LPOSVERSIONINFOW;
WINBASEAPI BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW information);

#ifdef UNICODE
#define CreateProcess CreateProcessW
#define FindFirstChangeNotification FindFirstChangeNotificationW
#define STARTUPINFO STARTUPINFOW
#define OSVERSIONINFO OSVERSIONINFOW
#define GetVersionEx GetVersionExW
#else
#define CreateProcess CreateProcessA
#define FindFirstChangeNotification FindFirstChangeNotificationA
#define STARTUPINFO STARTUPINFOA
#define GetCurrentDirectory GetCurrentDirectoryA
#define SetCurrentDirectory SetCurrentDirectoryA
#define CopyFile CopyFileA
#endif

#endif
