// wsprintfW: the subset of conversions the programs use (%s, %S, %c, %i, %d, %u, %x, %%), into a
// buffer of at most 1024 characters as Windows limits it.
#include "kernel/code_pages.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

const size_t wsprintfLimit = 1024;

void AppendAscii(std::u16string &out, const char *text) {
    while (*text != 0) {
        out += static_cast<char16_t>(static_cast<unsigned char>(*text++));
    }
}

} // namespace

extern "C" int WINAPIV wsprintfW(LPWSTR buffer, LPCWSTR format, ...) {
    if (buffer == nullptr || format == nullptr) {
        return 0;
    }
    std::u16string out;
    va_list arguments;
    va_start(arguments, format);
    for (const WCHAR *p = format; *p != 0 && out.size() < wsprintfLimit; p++) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        char number[32];
        switch (*++p) {
        case 's': {
            const WCHAR *text = va_arg(arguments, const WCHAR *);
            out += text != nullptr ? text : u"(null)";
            break;
        }
        case 'S': {
            const char *text = va_arg(arguments, const char *);
            out += text != nullptr ? WideFromAnsi(text) : u"(null)";
            break;
        }
        case 'c':
            out += static_cast<WCHAR>(va_arg(arguments, int));
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
    va_end(arguments);
    if (out.size() >= wsprintfLimit) {
        out.resize(wsprintfLimit - 1);
    }
    out.copy(buffer, out.size());
    buffer[out.size()] = 0;
    return static_cast<int>(out.size());
}
