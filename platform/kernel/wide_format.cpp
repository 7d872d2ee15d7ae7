// wsprintfA and wsprintfW: the subset of conversions the programs use (%s, %S, %c, %i, %d, %u,
// %x, each with an optional l, and %%), into a buffer of at most 1024 characters as Windows
// limits it. %s is text of the call's own kind and %S of the other kind; l means 32 bits, as
// long does on Windows.
#include "kernel/code_pages.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

const size_t wsprintfLimit = 1024;

template <class Text> void AppendAscii(Text &out, const char *text) {
    while (*text != 0) {
        out += static_cast<typename Text::value_type>(static_cast<unsigned char>(*text++));
    }
}

// Text of the other kind, converted through the ANSI code page.
std::u16string Converted(const char *text) {
    return WideFromAnsi(text);
}
std::string Converted(const char16_t *text) {
    return AnsiFromWide(text);
}

template <class Char, class Other> int Format(Char *buffer, const Char *format, va_list arguments) {
    using Text = std::basic_string<Char>;
    static const Char nullText[] = {'(', 'n', 'u', 'l', 'l', ')', 0};
    Text out;
    for (const Char *p = format; *p != 0 && out.size() < wsprintfLimit; p++) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        if (p[1] == 'l' && p[2] != 0) {
            ++p;
        }
        char number[32];
        switch (*++p) {
        case 's': {
            const Char *text = va_arg(arguments, const Char *);
            out += text != nullptr ? text : nullText;
            break;
        }
        case 'S': {
            const Other *text = va_arg(arguments, const Other *);
            out += text != nullptr ? Converted(text) : Text(nullText);
            break;
        }
        case 'c':
            out += static_cast<Char>(va_arg(arguments, int));
            break;
        case 'i':
        case 'd':
            std::snprintf(number, sizeof number, "%d", va_arg(arguments, int));
            AppendAscii(out, number);
            break;
        case 'u':
            std::snprintf(number, sizeof number, "%u", va_arg(arguments, unsigned));
            AppendAscii(out, number);
            break;
        case 'x':
            std::snprintf(number, sizeof number, "%x", va_arg(arguments, unsigned));
            AppendAscii(out, number);
            break;
        case 0:
            p--; // a lone % at the end stays as it is
            out += '%';
            break;
        default:
            out += *p;
            break;
        }
    }
    if (out.size() >= wsprintfLimit) {
        out.resize(wsprintfLimit - 1);
    }
    out.copy(buffer, out.size());
    buffer[out.size()] = 0;
    return static_cast<int>(out.size());
}

} // namespace

extern "C" int WINAPIV wsprintfW(LPWSTR buffer, LPCWSTR format, ...) {
    if (buffer == nullptr || format == nullptr) {
        return 0;
    }
    va_list arguments;
    va_start(arguments, format);
    const int written = Format<char16_t, char>(buffer, format, arguments);
    va_end(arguments);
    return written;
}

extern "C" int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...) {
    if (buffer == nullptr || format == nullptr) {
        return 0;
    }
    va_list arguments;
    va_start(arguments, format);
    const int written = Format<char, char16_t>(buffer, format, arguments);
    va_end(arguments);
    return written;
}
