// The run-time library's wide-character functions on the 16-bit WCHAR.
#include <windows.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <wctype.h>

namespace {

// Classification and case mapping come from the host's UTF-8 C locale, which knows all of
// Unicode and does not depend on the user's settings; without it only ASCII is known.
locale_t UnicodeLocale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    return locale;
}

bool IsSurrogate(WCHAR c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

// A mapping that would leave the 16-bit range keeps the character as it is.
WCHAR Narrow(wint_t mapped, WCHAR original) {
    return mapped <= 0xFFFF ? static_cast<WCHAR>(mapped) : original;
}

} // namespace

size_t wcslen(const WCHAR *text) {
    if (text == nullptr) {
        return 0;
    }
    size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length;
}

WCHAR *wcscpy(WCHAR *to, const WCHAR *from) {
    WCHAR *out = to;
    while ((*out++ = *from++) != 0) {
    }
    return to;
}

WCHAR *wcsncpy(WCHAR *to, const WCHAR *from, size_t count) {
    size_t i = 0;
    for (; i < count && from[i] != 0; ++i) {
        to[i] = from[i];
    }
    for (; i < count; ++i) {
        to[i] = 0;
    }
    return to;
}

int wcscmp(const WCHAR *a, const WCHAR *b) {
    return wcsncmp(a, b, static_cast<size_t>(-1));
}

int wcsncmp(const WCHAR *a, const WCHAR *b, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (a[i] != b[i] || a[i] == 0) {
            return static_cast<int>(a[i]) - static_cast<int>(b[i]);
        }
    }
    return 0;
}

int _wcsicmp(const WCHAR *a, const WCHAR *b) {
    return _wcsnicmp(a, b, static_cast<size_t>(-1));
}

int _wcsnicmp(const WCHAR *a, const WCHAR *b, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const int left = towupper(a[i]);
        const int right = towupper(b[i]);
        if (left != right || left == 0) {
            return left - right;
        }
    }
    return 0;
}

const WCHAR *wcschr(const WCHAR *text, WCHAR c) {
    for (;; ++text) {
        if (*text == c) {
            return text;
        }
        if (*text == 0) {
            return nullptr;
        }
    }
}

WCHAR *wcschr(WCHAR *text, WCHAR c) {
    return const_cast<WCHAR *>(wcschr(static_cast<const WCHAR *>(text), c));
}

const WCHAR *wcsrchr(const WCHAR *text, WCHAR c) {
    const WCHAR *found = nullptr;
    for (;; ++text) {
        if (*text == c) {
            found = text;
        }
        if (*text == 0) {
            return found;
        }
    }
}

WCHAR *wcsrchr(WCHAR *text, WCHAR c) {
    return const_cast<WCHAR *>(wcsrchr(static_cast<const WCHAR *>(text), c));
}

WCHAR *_wcsdup(const WCHAR *text) {
    if (text == nullptr) {
        return nullptr;
    }
    const size_t bytes = (wcslen(text) + 1) * sizeof(WCHAR);
    auto *copy = static_cast<WCHAR *>(std::malloc(bytes));
    if (copy != nullptr) {
        std::memcpy(copy, text, bytes);
    }
    return copy;
}

int iswspace(WCHAR c) {
    if (IsSurrogate(c)) {
        return 0;
    }
    if (locale_t locale = UnicodeLocale()) {
        return iswspace_l(c, locale) ? 1 : 0;
    }
    return c == ' ' || (c >= 0x09 && c <= 0x0D);
}

WCHAR towupper(WCHAR c) {
    if (c < 0x80) {
        return (c >= 'a' && c <= 'z') ? static_cast<WCHAR>(c - 'a' + 'A') : c;
    }
    if (IsSurrogate(c)) {
        return c;
    }
    if (locale_t locale = UnicodeLocale()) {
        return Narrow(towupper_l(c, locale), c);
    }
    return (c >= 'a' && c <= 'z') ? static_cast<WCHAR>(c - 'a' + 'A') : c;
}

WCHAR towlower(WCHAR c) {
    if (c < 0x80) {
        return (c >= 'A' && c <= 'Z') ? static_cast<WCHAR>(c - 'A' + 'a') : c;
    }
    if (IsSurrogate(c)) {
        return c;
    }
    if (locale_t locale = UnicodeLocale()) {
        return Narrow(towlower_l(c, locale), c);
    }
    return (c >= 'A' && c <= 'Z') ? static_cast<WCHAR>(c - 'A' + 'a') : c;
}
