// LoadString over string table resources: the strings with ids 16n to 16n + 15 are the resource
// n + 1 of type RT_STRING (kernel/string_tables.h).
#include "kernel/code_pages.h"
#include "kernel/string_tables.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

// The string, or false when the table or the string is missing, empty or cut short.
bool FindString(HINSTANCE instance, UINT id, std::u16string &text) {
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(static_cast<WORD>((id >> 4) + 1)),
                                   MAKEINTRESOURCEW(6));
    if (resource == nullptr) {
        return false;
    }
    const auto *bytes =
        static_cast<const unsigned char *>(LockResource(LoadResource(instance, resource)));
    return bytes != nullptr &&
           ReadStringTableEntry(bytes, SizeofResource(instance, resource), id & 15, text);
}

// The text, cut to the buffer with its terminator; nothing found leaves an empty buffer.
template <class Char> int CopyOut(const std::basic_string<Char> &text, Char *buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    const size_t count = std::min<size_t>(text.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, text.data(), count * sizeof(Char));
    buffer[count] = 0;
    return static_cast<int>(count);
}

} // namespace

extern "C" int WINAPI LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size) {
    std::u16string text;
    FindString(instance, id, text);
    return CopyOut(text, buffer, size);
}

extern "C" int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
    std::u16string text;
    FindString(instance, id, text);
    return CopyOut(AnsiFromWide(text), buffer, size);
}
