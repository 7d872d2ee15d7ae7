// The Win32 / Windows CE subset the programs call, implemented by the platform library.
#ifndef PLATFORM_WINDOWS_H
#define PLATFORM_WINDOWS_H

#include <stddef.h>
#include <stdint.h>

#define WINAPI
#define WINAPIV
#define CALLBACK
#define APIENTRY
#define __declspec(what) __declspec_##what
#define __declspec_dllexport __attribute__((visibility("default")))
#define __declspec_dllimport

#ifdef __cplusplus
#define WINBASEAPI extern "C"
#else
#define WINBASEAPI extern
#endif

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int32_t INT;
typedef uint32_t UINT;
typedef size_t SIZE_T;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef char CHAR;
typedef char16_t WCHAR;
typedef void VOID;
typedef void *PVOID, *LPVOID;
typedef const void *LPCVOID;
typedef BOOL *LPBOOL;
typedef DWORD *LPDWORD;
typedef LONG *PLONG;
typedef CHAR *LPSTR;
typedef const CHAR *LPCSTR;
typedef WCHAR *LPWSTR;
typedef const WCHAR *LPCWSTR;

#ifdef UNICODE
typedef WCHAR TCHAR;
#define TEXT(quote) u##quote
#else
typedef CHAR TCHAR;
#define TEXT(quote) quote
#endif
typedef TCHAR *LPTSTR;
typedef const TCHAR *LPCTSTR;

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260

#define DECLARE_HANDLE(name)                                                                       \
    struct name##__ {                                                                              \
        int unused;                                                                                \
    };                                                                                             \
    typedef struct name##__ *name
typedef void *HANDLE;
typedef HANDLE HLOCAL;
typedef HANDLE HGDIOBJ;
DECLARE_HANDLE(HINSTANCE);
typedef HINSTANCE HMODULE;
DECLARE_HANDLE(HDC);
DECLARE_HANDLE(HBITMAP);
DECLARE_HANDLE(HFONT);
DECLARE_HANDLE(HBRUSH);
DECLARE_HANDLE(HPEN);
DECLARE_HANDLE(HWND);
typedef DWORD LCID;
typedef INT_PTR(WINAPI *FARPROC)(void);

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define INVALID_SET_FILE_POINTER ((DWORD)-1)

// Errors (GetLastError)
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_NOT_SAME_DEVICE 17L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_DISK_FULL 112L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_NEGATIVE_SEEK 131L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_INVALID_ADDRESS 487L
#define ERROR_FILE_INVALID 1006L
#define ERROR_NO_UNICODE_TRANSLATION 1113L

WINBASEAPI DWORD WINAPI GetLastError(void);
WINBASEAPI void WINAPI SetLastError(DWORD error);

// Local heap
#define LMEM_FIXED 0x0000
#define LMEM_ZEROINIT 0x0040
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)
WINBASEAPI HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes);
WINBASEAPI HLOCAL WINAPI LocalFree(HLOCAL memory);

// Wide strings (kernel) and the 8-bit ones
WINBASEAPI int WINAPI lstrlenW(LPCWSTR text);
WINBASEAPI LPWSTR WINAPI lstrcpyW(LPWSTR to, LPCWSTR from);
WINBASEAPI LPWSTR WINAPI lstrcpynW(LPWSTR to, LPCWSTR from, int count);
WINBASEAPI LPWSTR WINAPI lstrcatW(LPWSTR to, LPCWSTR from);
WINBASEAPI int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b);
WINBASEAPI int WINAPI lstrcmpiW(LPCWSTR a, LPCWSTR b);
WINBASEAPI int WINAPI lstrlenA(LPCSTR text);
WINBASEAPI LPSTR WINAPI lstrcpyA(LPSTR to, LPCSTR from);
WINBASEAPI LPSTR WINAPI lstrcpynA(LPSTR to, LPCSTR from, int count);
WINBASEAPI LPSTR WINAPI lstrcatA(LPSTR to, LPCSTR from);
WINBASEAPI int WINAPI lstrcmpA(LPCSTR a, LPCSTR b);
WINBASEAPI int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b);

// Code pages
#define CP_ACP 0
#define CP_OEMCP 1
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_ERR_INVALID_CHARS 0x00000080
WINBASEAPI int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int bytes,
                                          LPWSTR wide, int wideCount);
WINBASEAPI int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount,
                                          LPSTR text, int bytes, LPCSTR defaultChar,
                                          LPBOOL usedDefaultChar);
WINBASEAPI UINT WINAPI GetACP(void);

// Files
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define MOVEFILE_REPLACE_EXISTING 0x00000001

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;

typedef struct _WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

typedef struct _WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[MAX_PATH];
} WIN32_FIND_DATAW, *LPWIN32_FIND_DATAW;

WINBASEAPI HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD share,
                                     LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                     DWORD attributes, HANDLE templateFile);
WINBASEAPI HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD share,
                                     LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                     DWORD attributes, HANDLE templateFile);
WINBASEAPI BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytes, LPDWORD bytesRead,
                                LPVOID overlapped);
WINBASEAPI BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytes, LPDWORD bytesWritten,
                                 LPVOID overlapped);
WINBASEAPI DWORD WINAPI GetFileSize(HANDLE file, LPDWORD sizeHigh);
WINBASEAPI DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh,
                                       DWORD method);
WINBASEAPI BOOL WINAPI SetEndOfFile(HANDLE file);
WINBASEAPI BOOL WINAPI CloseHandle(HANDLE object);
WINBASEAPI BOOL WINAPI DeleteFileA(LPCSTR name);
WINBASEAPI BOOL WINAPI DeleteFileW(LPCWSTR name);
WINBASEAPI BOOL WINAPI MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags);
WINBASEAPI BOOL WINAPI MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags);
WINBASEAPI BOOL WINAPI CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES security);
WINBASEAPI BOOL WINAPI CreateDirectoryW(LPCWSTR name, LPSECURITY_ATTRIBUTES security);
WINBASEAPI DWORD WINAPI GetFileAttributesA(LPCSTR name);
WINBASEAPI DWORD WINAPI GetFileAttributesW(LPCWSTR name);
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

WINBASEAPI HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA found);
WINBASEAPI HANDLE WINAPI FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW found);
WINBASEAPI BOOL WINAPI FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA found);
WINBASEAPI BOOL WINAPI FindNextFileW(HANDLE search, LPWIN32_FIND_DATAW found);
WINBASEAPI BOOL WINAPI FindClose(HANDLE search);

// File mapping
#define PAGE_READONLY 0x02
#define PAGE_READWRITE 0x04
#define FILE_MAP_WRITE 0x0002
#define FILE_MAP_READ 0x0004
#define FILE_MAP_ALL_ACCESS 0x000F001F
WINBASEAPI HANDLE WINAPI CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES security,
                                            DWORD protect, DWORD sizeHigh, DWORD sizeLow,
                                            LPCSTR name);
WINBASEAPI HANDLE WINAPI CreateFileMappingW(HANDLE file, LPSECURITY_ATTRIBUTES security,
                                            DWORD protect, DWORD sizeHigh, DWORD sizeLow,
                                            LPCWSTR name);
WINBASEAPI LPVOID WINAPI MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh,
                                       DWORD offsetLow, SIZE_T bytes);
WINBASEAPI BOOL WINAPI UnmapViewOfFile(LPCVOID view);

// Modules
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
WINBASEAPI HMODULE WINAPI LoadLibraryA(LPCSTR name);
WINBASEAPI HMODULE WINAPI LoadLibraryW(LPCWSTR name);
WINBASEAPI FARPROC WINAPI GetProcAddressA(HMODULE module, LPCSTR name);
WINBASEAPI FARPROC WINAPI GetProcAddressW(HMODULE module, LPCWSTR name);
WINBASEAPI BOOL WINAPI FreeLibrary(HMODULE module);
WINBASEAPI DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR name, DWORD size);
WINBASEAPI DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR name, DWORD size);

// Locales
#define LOCALE_NEUTRAL 0x0000
#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_SABBREVLANGNAME 0x00000003
#define LOCALE_IDEFAULTANSICODEPAGE 0x00001004
WINBASEAPI int WINAPI GetLocaleInfoA(LCID locale, DWORD type, LPSTR data, int size);

// Formatting: %s is a string of the call's own width, %S of the other; at most 1024 characters.
WINBASEAPI int WINAPIV wsprintfW(LPWSTR buffer, LPCWSTR format, ...);

// Message boxes
#define MB_OK 0x00000000
#define MB_OKCANCEL 0x00000001
#define MB_YESNO 0x00000004
#define MB_ICONHAND 0x00000010
#define MB_ICONQUESTION 0x00000020
#define MB_ICONEXCLAMATION 0x00000030
#define MB_ICONINFORMATION 0x00000040
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_SETFOREGROUND 0x00010000
#define MB_TOPMOST 0x00040000
#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7
WINBASEAPI int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// The program's entry point, called by the run-time start-up code.
#define SW_SHOWDEFAULT 10
#ifdef __cplusplus
extern "C"
#endif
    int WINAPI
    WinMain(HINSTANCE instance, HINSTANCE previous, LPTSTR commandLine, int showCommand);

// GDI objects
#define IMAGE_BITMAP 0
#define IMAGE_ICON 1
#define LR_DEFAULTCOLOR 0x0000
#define LR_LOADFROMFILE 0x0010
#define OBJ_BITMAP 7

typedef struct tagBITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
} BITMAP, *LPBITMAP;

WINBASEAPI HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width,
                                    int height, UINT flags);
WINBASEAPI HANDLE WINAPI LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width,
                                    int height, UINT flags);
WINBASEAPI int WINAPI GetObjectA(HGDIOBJ object, int size, LPVOID buffer);
WINBASEAPI int WINAPI GetObjectW(HGDIOBJ object, int size, LPVOID buffer);
WINBASEAPI DWORD WINAPI GetObjectType(HGDIOBJ object);
WINBASEAPI BOOL WINAPI DeleteObject(HGDIOBJ object);

#ifdef UNICODE
#define lstrlen lstrlenW
#define lstrcpy lstrcpyW
#define lstrcpyn lstrcpynW
#define lstrcat lstrcatW
#define lstrcmp lstrcmpW
#define lstrcmpi lstrcmpiW
#define CreateFile CreateFileW
#define DeleteFile DeleteFileW
#define MoveFileEx MoveFileExW
#define CreateDirectory CreateDirectoryW
#define GetFileAttributes GetFileAttributesW
#define WIN32_FIND_DATA WIN32_FIND_DATAW
#define FindFirstFile FindFirstFileW
#define FindNextFile FindNextFileW
#define CreateFileMapping CreateFileMappingW
#define LoadLibrary LoadLibraryW
#define GetProcAddress GetProcAddressW
#define GetModuleFileName GetModuleFileNameW
#define LoadImage LoadImageW
#define GetObject GetObjectW
#else
#define lstrlen lstrlenA
#define lstrcpy lstrcpyA
#define lstrcpyn lstrcpynA
#define lstrcat lstrcatA
#define lstrcmp lstrcmpA
#define lstrcmpi lstrcmpiA
#define CreateFile CreateFileA
#define DeleteFile DeleteFileA
#define MoveFileEx MoveFileExA
#define CreateDirectory CreateDirectoryA
#define GetFileAttributes GetFileAttributesA
#define WIN32_FIND_DATA WIN32_FIND_DATAA
#define FindFirstFile FindFirstFileA
#define FindNextFile FindNextFileA
#define CreateFileMapping CreateFileMappingA
#define LoadLibrary LoadLibraryA
#define GetProcAddress GetProcAddressA
#define GetModuleFileName GetModuleFileNameA
#define LoadImage LoadImageA
#define GetObject GetObjectA
#endif

#include "widechar.h"

#endif
