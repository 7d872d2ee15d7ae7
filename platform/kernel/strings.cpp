// The lstr* family and the run-time library's 8-bit case-insensitive compares. As on Windows,
// the lstr* functions accept NULL strings instead of faulting.
#include "kernel/code_pages.h"

#include <windows.h>

#include <climits>
#include <cstring>

namespace {

// lstrcmp orders a NULL string before every other string.
template <typename Char> bool CompareNulls(const Char *a, const Char *b, int &result) {
    if (a != nullptr && b != nullptr) {
        return false;
    }
    result = a == b ? 0 : (a == nullptr ? -1 : 1);
    return true;
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

template <typename Char> int Length(const Char *text) {
    if (text == nullptr) {
        return 0;
    }
    size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length > INT_MAX ? INT_MAX : static_cast<int>(length);
}

template <typename Char> Char *Copy(Char *to, const Char *from) {
    if (to == nullptr || from == nullptr) {
        return nullptr;
    }
    Char *out = to;
    while ((*out++ = *from++) != 0) {
    }
    return to;
}

template <typename Char> Char *CopyN(Char *to, const Char *from, int count) {
    if (to == nullptr || from == nullptr) {
        return nullptr;
    }
    if (count <= 0) {
        return to;
    }
    int i = 0;
    for (; i < count - 1 && from[i] != 0; ++i) {
        to[i] = from[i];
    }
    to[i] = 0;
    return to;
}

template <typename Char> Char *Append(Char *to, const Char *from) {
    if (to == nullptr || from == nullptr) {
        return nullptr;
    }
    Copy(to + Length(to), from);
    return to;
}

int FoldAscii(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

// What the run-time library returns when a compare is given a NULL string.
const int compareError = INT_MAX;

} // namespace

extern "C" int WINAPI lstrlenW(LPCWSTR text) {
    return Length(text);
}

extern "C" LPWSTR WINAPI lstrcpyW(LPWSTR to, LPCWSTR from) {
    return Copy(to, from);
}

extern "C" LPWSTR WINAPI lstrcpynW(LPWSTR to, LPCWSTR from, int count) {
    return CopyN(to, from, count);
}

extern "C" LPWSTR WINAPI lstrcatW(LPWSTR to, LPCWSTR from) {
    return Append(to, from);
}

// Ordinal, by UTF-16 unit.
extern "C" int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b) {
    int result = 0;
    if (CompareNulls(a, b, result)) {
        return result;
    }
    return Sign(wcscmp(a, b));
}

extern "C" int WINAPI lstrcmpiW(LPCWSTR a, LPCWSTR b) {
    int result = 0;
    if (CompareNulls(a, b, result)) {
        return result;
    }
    return Sign(_wcsicmp(a, b));
}

extern "C" int WINAPI lstrlenA(LPCSTR text) {
    return Length(text);
}

extern "C" LPSTR WINAPI lstrcpyA(LPSTR to, LPCSTR from) {
    return Copy(to, from);
}

extern "C" LPSTR WINAPI lstrcpynA(LPSTR to, LPCSTR from, int count) {
    return CopyN(to, from, count);
}

extern "C" LPSTR WINAPI lstrcatA(LPSTR to, LPCSTR from) {
    return Append(to, from);
}

extern "C" int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) {
    int result = 0;
    if (CompareNulls(a, b, result)) {
        return result;
    }
    return Sign(std::strcmp(a, b));
}

// Through UTF-16, so that accented letters of the ANSI code page fold too.
extern "C" int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) {
    int result = 0;
    if (CompareNulls(a, b, result)) {
        return result;
    }
    const std::u16string wideA = WideFromAnsi(a);
    const std::u16string wideB = WideFromAnsi(b);
    return Sign(_wcsicmp(wideA.c_str(), wideB.c_str()));
}

extern "C" int _stricmp(const char *a, const char *b) {
    return _strnicmp(a, b, static_cast<size_t>(-1));
}

extern "C" int _strnicmp(const char *a, const char *b, size_t count) {
    if (a == nullptr || b == nullptr) {
        return compareError;
    }
    for (size_t i = 0; i < count; ++i) {
        const int left = FoldAscii(static_cast<unsigned char>(a[i]));
        const int right = FoldAscii(static_cast<unsigned char>(b[i]));
        if (left != right || left == 0) {
            return left - right;
        }
    }
    return 0;
}
