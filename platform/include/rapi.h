// The desktop's Remote API: calls that run on the connected device, over the cable. Strings are
// UTF-16; window handles are the device's. A failure of the connection itself is told by
// CeRapiGetError, the device's last error by CeGetLastError.
#ifndef PLATFORM_RAPI_H
#define PLATFORM_RAPI_H

#include <windows.h>

#ifndef PLATFORM_HRESULT_DEFINED
#define PLATFORM_HRESULT_DEFINED
typedef LONG HRESULT;
#define S_OK ((HRESULT)0L)
#define E_FAIL ((HRESULT)0x80004005L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#endif

// The connection broke or the device stopped answering in the middle of a call.
#define CERAPI_E_CONNECTION_LOST ((HRESULT)0x800704D4L)

typedef struct _CE_FIND_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[MAX_PATH];
} CE_FIND_DATA, *LPCE_FIND_DATA;

typedef struct _CEOSVERSIONINFO {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
} CEOSVERSIONINFO, *LPCEOSVERSIONINFO;

#ifdef __cplusplus
extern "C" {
#endif

WINBASEAPI HRESULT WINAPI CeRapiInit(void);
WINBASEAPI HRESULT WINAPI CeRapiUninit(void);
WINBASEAPI DWORD WINAPI CeGetLastError(void);
WINBASEAPI HRESULT WINAPI CeRapiGetError(void);

WINBASEAPI LONG WINAPI CeRegOpenKeyEx(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access,
                                      PHKEY result);
WINBASEAPI LONG WINAPI CeRegCreateKeyEx(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass,
                                        DWORD options, REGSAM access,
                                        LPSECURITY_ATTRIBUTES security, PHKEY result,
                                        LPDWORD disposition);
WINBASEAPI LONG WINAPI CeRegQueryValueEx(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                                         LPBYTE data, LPDWORD size);
WINBASEAPI LONG WINAPI CeRegSetValueEx(HKEY key, LPCWSTR name, DWORD reserved, DWORD type,
                                       const BYTE *data, DWORD size);
WINBASEAPI LONG WINAPI CeRegCloseKey(HKEY key);

WINBASEAPI BOOL WINAPI CeGetStoreInformation(LPSTORE_INFORMATION information);

// The device's identity. FALSE when the cable failed the call (Windows' own CeGetSystemInfo returns
// nothing; a caller that ignores the result works the same). dwOSVersionInfoSize must be set, as
// for GetVersionEx. CeSystemParametersInfo takes what the device's SystemParametersInfo takes:
// SPI_GETPLATFORMTYPE fills a buffer of param bytes; nothing is sent from the buffer.
WINBASEAPI BOOL WINAPI CeGetSystemInfo(LPSYSTEM_INFO information);
WINBASEAPI BOOL WINAPI CeGetVersionEx(LPCEOSVERSIONINFO information);
WINBASEAPI BOOL WINAPI CeSystemParametersInfo(UINT action, UINT param, PVOID buffer, UINT winIni);

WINBASEAPI HWND WINAPI CeGetWindow(HWND window, UINT command);
WINBASEAPI INT WINAPI CeGetClassName(HWND window, LPWSTR name, INT size);
WINBASEAPI INT WINAPI CeGetWindowText(HWND window, LPWSTR text, INT size);

WINBASEAPI HANDLE WINAPI CeCreateFile(LPCWSTR name, DWORD access, DWORD share,
                                      LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                      DWORD attributes, HANDLE templateFile);
WINBASEAPI BOOL WINAPI CeReadFile(HANDLE file, LPVOID buffer, DWORD bytes, LPDWORD read,
                                  LPVOID overlapped);
WINBASEAPI BOOL WINAPI CeWriteFile(HANDLE file, LPCVOID buffer, DWORD bytes, LPDWORD written,
                                   LPVOID overlapped);
WINBASEAPI BOOL WINAPI CeCloseHandle(HANDLE object);
WINBASEAPI BOOL WINAPI CeDeleteFile(LPCWSTR name);
WINBASEAPI BOOL WINAPI CeCreateDirectory(LPCWSTR name, LPSECURITY_ATTRIBUTES security);
WINBASEAPI HANDLE WINAPI CeFindFirstFile(LPCWSTR pattern, LPCE_FIND_DATA found);
WINBASEAPI BOOL WINAPI CeFindNextFile(HANDLE search, LPCE_FIND_DATA found);
WINBASEAPI BOOL WINAPI CeFindClose(HANDLE search);
// The device's security, inheritance, environment, folder and start-up arguments do not exist;
// they are ignored as the device's own CreateProcess ignores them.
WINBASEAPI BOOL WINAPI CeCreateProcess(LPCWSTR path, LPCWSTR commandLine,
                                       LPSECURITY_ATTRIBUTES process, LPSECURITY_ATTRIBUTES thread,
                                       BOOL inherit, DWORD flags, LPVOID environment, LPWSTR folder,
                                       LPSTARTUPINFOW startup, LPPROCESS_INFORMATION information);

#ifdef __cplusplus
}
#endif

#endif
