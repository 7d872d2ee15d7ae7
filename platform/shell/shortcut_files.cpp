// Shortcut files, as the Windows CE shell writes and reads them.
#include "shell/shortcut_files.h"

#include <shellapi.h>

#include "kernel/code_pages.h"
#include "kernel/whole_files.h"

#include <algorithm>
#include <vector>

namespace {

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

bool HoldsLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

bool ParseShortcut(std::string_view bytes, std::string &target) {
    if (bytes.size() > shortcutFileLimit) {
        return false;
    }
    size_t digits = 0;
    size_t count = 0;
    while (digits < bytes.size() && bytes[digits] >= '0' && bytes[digits] <= '9') {
        count = count * 10 + static_cast<size_t>(bytes[digits] - '0');
        if (count > shortcutFileLimit) {
            return false; // more than the file can hold, and no overflow on the way
        }
        ++digits;
    }
    if (digits == 0 || digits == bytes.size() || bytes[digits] != '#') {
        return false;
    }
    std::string_view text = bytes.substr(digits + 1);
    if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") {
        text.remove_suffix(2);
    } else if (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    if (text.empty() || text.size() != count || HoldsLineBreakOrNul(text)) {
        return false;
    }
    target.assign(text);
    return true;
}

std::string FormatShortcut(std::string_view target) {
    std::string bytes = std::to_string(target.size()) + "#";
    bytes += target;
    std::string check;
    return ParseShortcut(bytes, check) ? bytes : std::string();
}

void SplitShortcutTarget(std::u16string_view target, std::u16string &path,
                         std::u16string &arguments) {
    size_t start = 0;
    while (start < target.size() && IsBlank(target[start])) {
        ++start;
    }
    size_t end = 0;
    size_t next = 0;
    if (start < target.size() && target[start] == u'"') {
        ++start;
        end = std::min(target.find(u'"', start), target.size());
        next = std::min(end + 1, target.size());
    } else {
        end = start;
        while (end < target.size() && !IsBlank(target[end])) {
            ++end;
        }
        next = end;
    }
    while (next < target.size() && IsBlank(target[next])) {
        ++next;
    }
    path.assign(target.substr(start, end - start));
    arguments.assign(target.substr(next));
}

extern "C" BOOL WINAPI SHCreateShortcut(LPWSTR shortcut, LPWSTR target) {
    if (shortcut == nullptr || shortcut[0] == 0 || target == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string bytes = FormatShortcut(AnsiFromWide(target));
    if (bytes.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // As on Windows CE, an existing shortcut is never replaced.
    HANDLE file = CreateFileW(shortcut, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return FALSE;
    }
    DWORD written = 0;
    const bool complete =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!complete) {
        // Half a shortcut would only be refused when read.
        DeleteFileW(shortcut);
        SetLastError(error != ERROR_SUCCESS ? error : ERROR_DISK_FULL);
        return FALSE;
    }
    return TRUE;
}

extern "C" BOOL WINAPI SHGetShortcutTarget(LPCWSTR shortcut, LPWSTR target, int size) {
    if (shortcut == nullptr || target == nullptr || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    HANDLE file = CreateFileW(shortcut, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(file, shortcutFileLimit, bytes)) {
        return FALSE;
    }
    std::string text;
    if (!ParseShortcut(std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()),
                       text)) {
        SetLastError(ERROR_FILE_INVALID);
        return FALSE;
    }
    const std::u16string wide = WideFromAnsi(text);
    if (wide.size() >= static_cast<size_t>(size)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::char_traits<char16_t>::copy(target, wide.c_str(), wide.size() + 1);
    return TRUE;
}
