// Processes, threads and time on the device.
#ifndef PLATFORM_WINBASE_H
#define PLATFORM_WINBASE_H

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION, *LPPROCESS_INFORMATION;

typedef struct _STARTUPINFOW {
    DWORD cb;
} STARTUPINFOW, *LPSTARTUPINFOW;

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
WINBASEAPI DWORD WINAPI GetCurrentThreadId(void);
WINBASEAPI DWORD WINAPI GetCurrentProcessId(void);
WINBASEAPI HANDLE WINAPI GetCurrentThread(void);
WINBASEAPI BOOL WINAPI SetThreadPriority(HANDLE thread, int priority);
WINBASEAPI void WINAPI Sleep(DWORD milliseconds);
WINBASEAPI DWORD WINAPI GetTickCount(void);
WINBASEAPI void WINAPI ExitProcess(UINT exitCode);
WINBASEAPI BOOL WINAPI GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
#define STILL_ACTIVE 259

#ifdef UNICODE
#define CreateProcess CreateProcessW
#define STARTUPINFO STARTUPINFOW
#endif

#endif
