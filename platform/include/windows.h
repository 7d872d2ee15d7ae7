// The Win32 / Windows CE subset the programs call, implemented by the platform library.
#ifndef PLATFORM_WINDOWS_H
#define PLATFORM_WINDOWS_H

#include <stddef.h>
#include <string.h>
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
typedef int16_t SHORT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int32_t INT;
typedef uint32_t UINT;
typedef size_t SIZE_T;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
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
// Wide text whatever UNICODE says: u"" here, where WCHAR is char16_t; L"" on Windows.
#define WTEXT(quote) u##quote
typedef TCHAR *LPTSTR;
typedef const TCHAR *LPCTSTR;

#include "windef.h"

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define ARRAYSIZE(a) (sizeof(a) / sizeof((a)[0]))

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
#define ERROR_GEN_FAILURE 31L
#define ERROR_NOT_SUPPORTED 50L
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
#define ERROR_DIRECTORY 267L
#define ERROR_INVALID_ADDRESS 487L
#define ERROR_FILE_INVALID 1006L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_INVALID_INDEX 1413L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_NO_UNICODE_TRANSLATION 1113L

WINBASEAPI DWORD WINAPI GetLastError(void);
WINBASEAPI void WINAPI SetLastError(DWORD error);

// Local heap
#define LMEM_FIXED 0x0000
#define LMEM_ZEROINIT 0x0040
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)
WINBASEAPI HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes);
WINBASEAPI HLOCAL WINAPI LocalFree(HLOCAL memory);
#define ZeroMemory(destination, length) memset((destination), 0, (length))
#define CopyMemory(destination, source, length) memcpy((destination), (source), (length))

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
} FILETIME, *PFILETIME, *LPFILETIME;

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
WINBASEAPI BOOL WINAPI RemoveDirectoryW(LPCWSTR name);
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
// NULL: the calling program's own module.
WINBASEAPI HMODULE WINAPI GetModuleHandleA(LPCSTR name);
WINBASEAPI HMODULE WINAPI GetModuleHandleW(LPCWSTR name);

// Resources: pieces of data a module carries (resource_tables.h), found by type and name. Each is
// an integer id made with MAKEINTRESOURCE or a string, matched without regard to case; the string
// "#123" names the id 123. A NULL module is the calling program's.
DECLARE_HANDLE(HRSRC);
typedef HANDLE HGLOBAL;
#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)
#define MAKEINTRESOURCEA(i) ((LPSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#ifdef UNICODE
#define MAKEINTRESOURCE MAKEINTRESOURCEW
#else
#define MAKEINTRESOURCE MAKEINTRESOURCEA
#endif
#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_MENU MAKEINTRESOURCE(4)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_FONTDIR MAKEINTRESOURCE(7)
#define RT_FONT MAKEINTRESOURCE(8)
#define RT_ACCELERATOR MAKEINTRESOURCE(9)
#define RT_RCDATA MAKEINTRESOURCE(10)
#define RT_MESSAGETABLE MAKEINTRESOURCE(11)
#define RT_GROUP_CURSOR MAKEINTRESOURCE(12)
#define RT_GROUP_ICON MAKEINTRESOURCE(14)
#define RT_VERSION MAKEINTRESOURCE(16)
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#define ERROR_CONTROL_ID_NOT_FOUND 1421L
WINBASEAPI HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
WINBASEAPI HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
WINBASEAPI HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource);
WINBASEAPI DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource);
WINBASEAPI LPVOID WINAPI LockResource(HGLOBAL data);
WINBASEAPI int WINAPI LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size);
WINBASEAPI int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);
WINBASEAPI BOOL WINAPI FreeResource(HGLOBAL data);
#ifdef UNICODE
#define GetModuleHandle GetModuleHandleW
#define FindResource FindResourceW
#define LoadString LoadStringW
#else
#define GetModuleHandle GetModuleHandleA
#define FindResource FindResourceA
#define LoadString LoadStringA
#endif

// Locales
#define LOCALE_NEUTRAL 0x0000
#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_SABBREVLANGNAME 0x00000003
#define LOCALE_IDEFAULTANSICODEPAGE 0x00001004
WINBASEAPI int WINAPI GetLocaleInfoA(LCID locale, DWORD type, LPSTR data, int size);

// Formatting: %s is a string of the call's own width, %S of the other; at most 1024 characters.
WINBASEAPI int WINAPIV wsprintfW(LPWSTR buffer, LPCWSTR format, ...);
WINBASEAPI int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...);

// Message boxes
#define MB_OK 0x00000000
#define MB_OKCANCEL 0x00000001
#define MB_YESNO 0x00000004
#define MB_RETRYCANCEL 0x00000005
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
#define IDRETRY 4
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
#define IMAGE_CURSOR 2
#define LR_DEFAULTCOLOR 0x0000
#define LR_MONOCHROME 0x0001
#define LR_LOADFROMFILE 0x0010
#define LR_LOADTRANSPARENT 0x0020
#define LR_DEFAULTSIZE 0x0040
#define LR_CREATEDIBSECTION 0x2000
#define LR_SHARED 0x8000
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
// From an RT_BITMAP resource holding a whole .bmp file.
WINBASEAPI HBITMAP WINAPI LoadBitmapA(HINSTANCE instance, LPCSTR name);
WINBASEAPI HBITMAP WINAPI LoadBitmapW(HINSTANCE instance, LPCWSTR name);

// Icons: from RT_GROUP_ICON resources holding a whole .ico file, from .ico files, or built in.
DECLARE_HANDLE(HICON);
typedef HICON HCURSOR;
typedef struct _ICONINFO {
    BOOL fIcon;
    DWORD xHotspot;
    DWORD yHotspot;
    HBITMAP hbmMask;
    HBITMAP hbmColor;
} ICONINFO, *PICONINFO;
#define IDI_APPLICATION MAKEINTRESOURCE(32512)
#define IDI_HAND MAKEINTRESOURCE(32513)
#define IDI_QUESTION MAKEINTRESOURCE(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCE(32515)
#define IDI_ASTERISK MAKEINTRESOURCE(32516)
#define IDI_WINLOGO MAKEINTRESOURCE(32517)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ERROR IDI_HAND
#define IDI_INFORMATION IDI_ASTERISK
#define DI_MASK 0x0001
#define DI_IMAGE 0x0002
#define DI_NORMAL 0x0003
#define DI_COMPAT 0x0004
#define DI_DEFAULTSIZE 0x0008
#define ERROR_INVALID_CURSOR_HANDLE 1402L
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXVSCROLL 2
#define SM_CYCAPTION 4
#define SM_CXBORDER 5
#define SM_CYBORDER 6
#define SM_CXDLGFRAME 7
#define SM_CYDLGFRAME 8
#define SM_CXICON 11
#define SM_CYICON 12
#define SM_CXSMICON 49
#define SM_CYSMICON 50
WINBASEAPI int WINAPI GetSystemMetrics(int index);
// The window rectangle for a client rectangle, with the frame and caption the styles give.
WINBASEAPI BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
// A NULL instance asks for a built-in icon (IDI_*).
WINBASEAPI HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name);
WINBASEAPI HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name);
WINBASEAPI BOOL WINAPI DrawIcon(HDC dc, int x, int y, HICON icon);
WINBASEAPI BOOL WINAPI DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height,
                                  UINT step, HBRUSH flickerFreeBrush, UINT flags);
WINBASEAPI BOOL WINAPI DestroyIcon(HICON icon);
WINBASEAPI BOOL WINAPI GetIconInfo(HICON icon, PICONINFO info);
// From an .ico file (one icon) or a module file's RT_GROUP_ICON resources.
WINBASEAPI UINT WINAPI ExtractIconExA(LPCSTR file, int index, HICON *largeIcons, HICON *smallIcons,
                                      UINT count);
WINBASEAPI UINT WINAPI ExtractIconExW(LPCWSTR file, int index, HICON *largeIcons, HICON *smallIcons,
                                      UINT count);
#ifdef UNICODE
#define LoadBitmap LoadBitmapW
#define LoadIcon LoadIconW
#define ExtractIconEx ExtractIconExW
#else
#define LoadBitmap LoadBitmapA
#define LoadIcon LoadIconA
#define ExtractIconEx ExtractIconExA
#endif

// Drawing: colours, device contexts, pens, brushes, bitmaps and raster operations
typedef DWORD COLORREF;
typedef DWORD *LPCOLORREF;
#define RGB(r, g, b)                                                                               \
    ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))
#define CLR_INVALID 0xFFFFFFFF

#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_FONT 6
#define OBJ_MEMDC 10

#define PS_SOLID 0
#define PS_DASH 1
#define PS_NULL 5
#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL

typedef struct tagLOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
} LOGPEN, *PLOGPEN, *LPLOGPEN;

typedef struct tagLOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    ULONG_PTR lbHatch;
} LOGBRUSH, *PLOGBRUSH, *LPLOGBRUSH;

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8

#define SRCCOPY 0x00CC0020
#define SRCPAINT 0x00EE0086
#define SRCAND 0x008800C6
#define SRCINVERT 0x00660046
#define SRCERASE 0x00440328
#define NOTSRCCOPY 0x00330008
#define NOTSRCERASE 0x001100A6
#define MERGECOPY 0x00C000CA
#define MERGEPAINT 0x00BB0226
#define PATCOPY 0x00F00021
#define PATPAINT 0x00FB0A09
#define PATINVERT 0x005A0049
#define DSTINVERT 0x00550009
#define BLACKNESS 0x00000042
#define WHITENESS 0x00FF0062

#define R2_BLACK 1
#define R2_NOTMERGEPEN 2
#define R2_MASKNOTPEN 3
#define R2_NOTCOPYPEN 4
#define R2_MASKPENNOT 5
#define R2_NOT 6
#define R2_XORPEN 7
#define R2_NOTMASKPEN 8
#define R2_MASKPEN 9
#define R2_NOTXORPEN 10
#define R2_NOP 11
#define R2_MERGENOTPEN 12
#define R2_COPYPEN 13
#define R2_MERGEPENNOT 14
#define R2_MERGEPEN 15
#define R2_WHITE 16

#define TRANSPARENT 1
#define OPAQUE 2

#define TECHNOLOGY 2
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMCOLORS 24
#define RASTERCAPS 38
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define DT_RASDISPLAY 1
#define RC_BITBLT 1
#define RC_STRETCHBLT 0x0800

#define COLOR_SCROLLBAR 0
#define COLOR_BACKGROUND 1
#define COLOR_DESKTOP COLOR_BACKGROUND
#define COLOR_ACTIVECAPTION 2
#define COLOR_INACTIVECAPTION 3
#define COLOR_MENU 4
#define COLOR_WINDOW 5
#define COLOR_WINDOWFRAME 6
#define COLOR_MENUTEXT 7
#define COLOR_WINDOWTEXT 8
#define COLOR_CAPTIONTEXT 9
#define COLOR_ACTIVEBORDER 10
#define COLOR_INACTIVEBORDER 11
#define COLOR_APPWORKSPACE 12
#define COLOR_HIGHLIGHT 13
#define COLOR_HIGHLIGHTTEXT 14
#define COLOR_BTNFACE 15
#define COLOR_3DFACE COLOR_BTNFACE
#define COLOR_BTNSHADOW 16
#define COLOR_3DSHADOW COLOR_BTNSHADOW
#define COLOR_GRAYTEXT 17
#define COLOR_BTNTEXT 18
#define COLOR_INACTIVECAPTIONTEXT 19
#define COLOR_BTNHIGHLIGHT 20
#define COLOR_BTNHILIGHT COLOR_BTNHIGHLIGHT
#define COLOR_3DHIGHLIGHT COLOR_BTNHIGHLIGHT
#define COLOR_3DHILIGHT COLOR_BTNHIGHLIGHT
#define COLOR_3DDKSHADOW 21
#define COLOR_3DLIGHT 22
#define COLOR_INFOTEXT 23
#define COLOR_INFOBK 24
#define COLOR_STATIC 25
#define COLOR_STATICTEXT 26
#define COLOR_GRADIENTACTIVECAPTION 27
#define COLOR_GRADIENTINACTIVECAPTION 28
#define SYS_COLOR_INDEX_FLAG 0x40000000

WINBASEAPI HDC WINAPI CreateCompatibleDC(HDC dc);
WINBASEAPI BOOL WINAPI DeleteDC(HDC dc);
WINBASEAPI HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
WINBASEAPI HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type);
WINBASEAPI HGDIOBJ WINAPI GetStockObject(int object);
WINBASEAPI HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height);
WINBASEAPI HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                                       const void *bits);
WINBASEAPI HPEN WINAPI CreatePen(int style, int width, COLORREF color);
WINBASEAPI HBRUSH WINAPI CreateSolidBrush(COLORREF color);
WINBASEAPI int WINAPI GetDeviceCaps(HDC dc, int index);
WINBASEAPI int WINAPI SetROP2(HDC dc, int mode);
WINBASEAPI int WINAPI GetROP2(HDC dc);
WINBASEAPI COLORREF WINAPI SetTextColor(HDC dc, COLORREF color);
WINBASEAPI COLORREF WINAPI GetTextColor(HDC dc);
WINBASEAPI COLORREF WINAPI SetBkColor(HDC dc, COLORREF color);
WINBASEAPI COLORREF WINAPI GetBkColor(HDC dc);
WINBASEAPI int WINAPI SetBkMode(HDC dc, int mode);
WINBASEAPI int WINAPI GetBkMode(HDC dc);
WINBASEAPI BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous);
WINBASEAPI BOOL WINAPI LineTo(HDC dc, int x, int y);
WINBASEAPI BOOL WINAPI Polyline(HDC dc, const POINT *points, int count);
WINBASEAPI BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom);
WINBASEAPI int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush);
WINBASEAPI BOOL WINAPI InvertRect(HDC dc, const RECT *rect);
WINBASEAPI BOOL WINAPI PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
WINBASEAPI BOOL WINAPI BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX,
                              int sourceY, DWORD rop);
WINBASEAPI BOOL WINAPI StretchBlt(HDC dc, int x, int y, int width, int height, HDC source,
                                  int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                                  DWORD rop);
WINBASEAPI COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color);
WINBASEAPI COLORREF WINAPI GetPixel(HDC dc, int x, int y);
WINBASEAPI DWORD WINAPI GetSysColor(int index);
WINBASEAPI HBRUSH WINAPI GetSysColorBrush(int index);
WINBASEAPI BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom);
WINBASEAPI BOOL WINAPI SetRectEmpty(LPRECT rect);
WINBASEAPI BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy);
WINBASEAPI BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy);
WINBASEAPI BOOL WINAPI IntersectRect(LPRECT result, const RECT *a, const RECT *b);
WINBASEAPI BOOL WINAPI UnionRect(LPRECT result, const RECT *a, const RECT *b);
WINBASEAPI BOOL WINAPI SubtractRect(LPRECT result, const RECT *from, const RECT *taken);
WINBASEAPI BOOL WINAPI PtInRect(const RECT *rect, POINT point);
WINBASEAPI BOOL WINAPI IsRectEmpty(const RECT *rect);
WINBASEAPI BOOL WINAPI EqualRect(const RECT *a, const RECT *b);

// Fonts and text
typedef INT *LPINT;
#define SYSTEM_FONT 13
#define LF_FACESIZE 32
#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_HEAVY 900
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_SWISS 0x20
#define TMPF_FIXED_PITCH 0x01
#define TMPF_VECTOR 0x02
#define TMPF_TRUETYPE 0x04

typedef struct tagLOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
} LOGFONTW, *PLOGFONTW, *LPLOGFONTW;

typedef struct tagTEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
} TEXTMETRICW, *PTEXTMETRICW, *LPTEXTMETRICW;

#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004
#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_NOCLIP 0x00000100
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800

WINBASEAPI HFONT WINAPI CreateFontW(int height, int width, int escapement, int orientation,
                                    int weight, DWORD italic, DWORD underline, DWORD strikeOut,
                                    DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                                    DWORD quality, DWORD pitchAndFamily, LPCWSTR face);
WINBASEAPI HFONT WINAPI CreateFontIndirectW(const LOGFONTW *font);
WINBASEAPI BOOL WINAPI ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT *rect,
                                   LPCWSTR text, UINT count, const INT *dx);
WINBASEAPI int WINAPI DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format);
WINBASEAPI BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size);
WINBASEAPI BOOL WINAPI GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent,
                                             LPINT fit, LPINT partialWidths, LPSIZE size);
WINBASEAPI BOOL WINAPI GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics);

#ifdef UNICODE
#define LOGFONT LOGFONTW
#define TEXTMETRIC TEXTMETRICW
#define CreateFont CreateFontW
#define CreateFontIndirect CreateFontIndirectW
#define ExtTextOut ExtTextOutW
#define DrawText DrawTextW
#define GetTextExtentPoint32 GetTextExtentPoint32W
#define GetTextExtentExPoint GetTextExtentExPointW
#define GetTextMetrics GetTextMetricsW
#endif

// Registry
DECLARE_HANDLE(HKEY);
typedef HKEY *PHKEY;
typedef DWORD REGSAM;
typedef BYTE *LPBYTE;
#define ERROR_MORE_DATA 234L
#define ERROR_KEY_DELETED 1018L
#define HKEY_CURRENT_USER ((HKEY)(ULONG_PTR)0x80000001)
#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)0x80000002)
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_NOTIFY 0x0010
#define KEY_READ 0x00020019
#define KEY_WRITE 0x00020006
#define KEY_ALL_ACCESS 0x000F003F
#define REG_OPTION_NON_VOLATILE 0x00000000
#define REG_CREATED_NEW_KEY 0x00000001
#define REG_OPENED_EXISTING_KEY 0x00000002
#define REG_NONE 0
#define REG_SZ 1
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7
WINBASEAPI LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access,
                                     PHKEY result);
WINBASEAPI LONG WINAPI RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access,
                                     PHKEY result);
WINBASEAPI LONG WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass,
                                       DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES security,
                                       PHKEY result, LPDWORD disposition);
WINBASEAPI LONG WINAPI RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR keyClass,
                                       DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES security,
                                       PHKEY result, LPDWORD disposition);
WINBASEAPI LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type,
                                        LPBYTE data, LPDWORD bytes);
WINBASEAPI LONG WINAPI RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                                        LPBYTE data, LPDWORD bytes);
WINBASEAPI LONG WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                      const BYTE *data, DWORD bytes);
WINBASEAPI LONG WINAPI RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type,
                                      const BYTE *data, DWORD bytes);
WINBASEAPI LONG WINAPI RegDeleteValueA(HKEY key, LPCSTR name);
WINBASEAPI LONG WINAPI RegDeleteValueW(HKEY key, LPCWSTR name);
WINBASEAPI LONG WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey);
WINBASEAPI LONG WINAPI RegDeleteKeyW(HKEY key, LPCWSTR subKey);
WINBASEAPI LONG WINAPI RegQueryInfoKeyW(HKEY key, LPWSTR className, LPDWORD classLength,
                                        LPDWORD reserved, LPDWORD subKeys, LPDWORD longestSubKey,
                                        LPDWORD longestClass, LPDWORD values,
                                        LPDWORD longestValueName, LPDWORD largestValue,
                                        LPDWORD securityBytes, PFILETIME lastWrite);
WINBASEAPI LONG WINAPI RegCloseKey(HKEY key);

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
#define RemoveDirectory RemoveDirectoryW
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
#define RegOpenKeyEx RegOpenKeyExW
#define RegCreateKeyEx RegCreateKeyExW
#define RegQueryValueEx RegQueryValueExW
#define RegSetValueEx RegSetValueExW
#define RegDeleteValue RegDeleteValueW
#define RegDeleteKey RegDeleteKeyW
#define RegQueryInfoKey RegQueryInfoKeyW
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
#define RegOpenKeyEx RegOpenKeyExA
#define RegCreateKeyEx RegCreateKeyExA
#define RegQueryValueEx RegQueryValueExA
#define RegSetValueEx RegSetValueExA
#define RegDeleteValue RegDeleteValueA
#define RegDeleteKey RegDeleteKeyA
#endif

#include "widechar.h"
#include "winbase.h"
#include "winuser.h"

#endif
