// The run-time library's wide-character functions, on the 16-bit WCHAR of Windows.
// They overload the host's wchar_t functions of the same names, so either may be in view.
#ifndef PLATFORM_WIDECHAR_H
#define PLATFORM_WIDECHAR_H

#include <stddef.h>

size_t wcslen(const WCHAR *text);
WCHAR *wcscpy(WCHAR *to, const WCHAR *from);
WCHAR *wcsncpy(WCHAR *to, const WCHAR *from, size_t count);
int wcscmp(const WCHAR *a, const WCHAR *b);
int wcsncmp(const WCHAR *a, const WCHAR *b, size_t count);
int _wcsicmp(const WCHAR *a, const WCHAR *b);
int _wcsnicmp(const WCHAR *a, const WCHAR *b, size_t count);
const WCHAR *wcschr(const WCHAR *text, WCHAR c);
WCHAR *wcschr(WCHAR *text, WCHAR c);
const WCHAR *wcsrchr(const WCHAR *text, WCHAR c);
WCHAR *wcsrchr(WCHAR *text, WCHAR c);
// The copy comes from the run-time heap: release it with free().
WCHAR *_wcsdup(const WCHAR *text);
// Unicode classification and case mapping, independent of the host's locale.
int iswspace(WCHAR c);
WCHAR towupper(WCHAR c);
WCHAR towlower(WCHAR c);

#ifdef __cplusplus
extern "C" {
#endif
int _stricmp(const char *a, const char *b);
int _strnicmp(const char *a, const char *b, size_t count);
#ifdef __cplusplus
}
#endif

#endif
