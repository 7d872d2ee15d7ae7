// The registry functions: key handles, names and the A/W conversions over the registry store.
// Access rights are not checked, as on Windows CE; the device's programs pass 0 for them.
#include "kernel/code_pages.h"
#include "kernel/handle_table.h"
#include "kernel/machine.h"
#include "kernel/registry_store.h"

#include <cstring>
#include <map>
#include <optional>

namespace {

// Key names are at most 255 characters on Windows.
const size_t maxKeyName = 255;

HandleSeries keyHandles{0x1000}; // far below the predefined keys

struct KeyHandles : MachinePart {
    HandleTable<RegistryKeyPath> table{keyHandles};
};

HandleTable<RegistryKeyPath> &Handles() {
    return MachineState<KeyHandles>().table;
}

std::optional<RegistryKeyPath> KeyOf(HKEY key) {
    if (key == HKEY_CURRENT_USER) {
        return RegistryKeyPath{RegistryRoot::CurrentUser, {}};
    }
    if (key == HKEY_LOCAL_MACHINE) {
        return RegistryKeyPath{RegistryRoot::LocalMachine, {}};
    }
    const std::shared_ptr<RegistryKeyPath> found = Handles().Find(key);
    if (found == nullptr) {
        return std::nullopt;
    }
    return *found;
}

HKEY AddHandle(RegistryKeyPath path) {
    return static_cast<HKEY>(Handles().Add(std::make_shared<RegistryKeyPath>(std::move(path))));
}

// Appends the names of a "a\b\c" subkey path; one trailing '\' is allowed, empty names are not.
bool AppendNames(std::u16string_view subKey, RegistryKeyPath &path) {
    if (!subKey.empty() && subKey.back() == u'\\') {
        subKey.remove_suffix(1);
        if (subKey.empty()) {
            return false;
        }
    }
    if (subKey.empty()) {
        return true;
    }
    for (size_t start = 0;;) {
        size_t end = subKey.find(u'\\', start);
        if (end == std::u16string_view::npos) {
            end = subKey.size();
        }
        if (end == start || end - start > maxKeyName) {
            return false;
        }
        path.names.emplace_back(subKey.substr(start, end - start));
        if (end == subKey.size()) {
            return true;
        }
        start = end + 1;
    }
}

// A and W names meet as UTF-16; NULL is the empty name.
std::u16string Name(LPCWSTR name) {
    return name == nullptr ? std::u16string() : std::u16string(name);
}

std::u16string Name(LPCSTR name) {
    return name == nullptr ? std::u16string() : WideFromAnsi(name);
}

LONG OpenKey(HKEY key, const std::u16string &names, PHKEY result) {
    if (result != nullptr) {
        *result = nullptr;
    }
    std::optional<RegistryKeyPath> path = KeyOf(key);
    if (!path) {
        return ERROR_INVALID_HANDLE;
    }
    if (result == nullptr || !AppendNames(names, *path)) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!RegistryKeyExists(*path)) {
        return ERROR_FILE_NOT_FOUND;
    }
    *result = AddHandle(std::move(*path));
    return ERROR_SUCCESS;
}

LONG CreateKey(HKEY key, LPCVOID subKey, const std::u16string &names, PHKEY result,
               LPDWORD disposition) {
    if (result != nullptr) {
        *result = nullptr;
    }
    std::optional<RegistryKeyPath> path = KeyOf(key);
    if (!path) {
        return ERROR_INVALID_HANDLE;
    }
    if (subKey == nullptr || result == nullptr || !AppendNames(names, *path)) {
        return ERROR_INVALID_PARAMETER;
    }
    bool created = false;
    const LONG error = CreateRegistryKey(*path, created);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (disposition != nullptr) {
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    *result = AddHandle(std::move(*path));
    return ERROR_SUCCESS;
}

// REG_SZ data as the A functions see it: in the ANSI code page.
std::vector<BYTE> AnsiFromStringData(const std::vector<BYTE> &data) {
    std::u16string text(data.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    const std::string ansi = AnsiFromWide(text);
    return std::vector<BYTE>(ansi.begin(), ansi.end());
}

std::vector<BYTE> StringDataFromAnsi(const BYTE *data, DWORD bytes) {
    const std::u16string text =
        WideFromAnsi(std::string_view(reinterpret_cast<const char *>(data), bytes));
    std::vector<BYTE> out;
    out.reserve(text.size() * 2);
    for (char16_t c : text) {
        out.push_back(static_cast<BYTE>(c & 0xFF));
        out.push_back(static_cast<BYTE>(c >> 8));
    }
    return out;
}

LONG QueryValue(HKEY key, const std::u16string &name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                LPDWORD bytes, bool ansi) {
    const std::optional<RegistryKeyPath> path = KeyOf(key);
    if (!path) {
        return ERROR_INVALID_HANDLE;
    }
    if (reserved != nullptr || (data != nullptr && bytes == nullptr)) {
        return ERROR_INVALID_PARAMETER;
    }
    RegistryValue value;
    const LONG error = QueryRegistryValue(*path, name, value);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (ansi && value.type == REG_SZ) {
        value.data = AnsiFromStringData(value.data);
    }
    if (type != nullptr) {
        *type = value.type;
    }
    if (bytes == nullptr) {
        return ERROR_SUCCESS;
    }
    const DWORD size = static_cast<DWORD>(value.data.size());
    if (data != nullptr && *bytes < size) {
        *bytes = size;
        return ERROR_MORE_DATA;
    }
    if (data != nullptr && size > 0) {
        std::memcpy(data, value.data.data(), size);
    }
    *bytes = size;
    return ERROR_SUCCESS;
}

LONG SetValue(HKEY key, const std::u16string &name, DWORD type, const BYTE *data, DWORD bytes,
              bool ansi) {
    const std::optional<RegistryKeyPath> path = KeyOf(key);
    if (!path) {
        return ERROR_INVALID_HANDLE;
    }
    if (data == nullptr && bytes > 0) {
        return ERROR_INVALID_PARAMETER;
    }
    std::vector<BYTE> stored;
    if (ansi && type == REG_SZ) {
        stored = StringDataFromAnsi(data, bytes);
    } else if (bytes > 0) {
        stored.assign(data, data + bytes);
    }
    return SetRegistryValue(*path, name, type, std::move(stored));
}

LONG DeleteValue(HKEY key, const std::u16string &name) {
    const std::optional<RegistryKeyPath> path = KeyOf(key);
    if (!path) {
        return ERROR_INVALID_HANDLE;
    }
    return DeleteRegistryValue(*path, name);
}

} // namespace

extern "C" LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result) {
    return OpenKey(key, Name(subKey), result);
}

extern "C" LONG WINAPI RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    return OpenKey(key, Name(subKey), result);
}

extern "C" LONG WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM,
                                       LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    return CreateKey(key, subKey, Name(subKey), result, disposition);
}

extern "C" LONG WINAPI RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM,
                                       LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    return CreateKey(key, subKey, Name(subKey), result, disposition);
}

extern "C" LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type,
                                        LPBYTE data, LPDWORD bytes) {
    return QueryValue(key, Name(name), reserved, type, data, bytes, true);
}

extern "C" LONG WINAPI RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type,
                                        LPBYTE data, LPDWORD bytes) {
    return QueryValue(key, Name(name), reserved, type, data, bytes, false);
}

extern "C" LONG WINAPI RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE *data,
                                      DWORD bytes) {
    return SetValue(key, Name(name), type, data, bytes, true);
}

extern "C" LONG WINAPI RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE *data,
                                      DWORD bytes) {
    return SetValue(key, Name(name), type, data, bytes, false);
}

extern "C" LONG WINAPI RegDeleteValueA(HKEY key, LPCSTR name) {
    return DeleteValue(key, Name(name));
}

extern "C" LONG WINAPI RegDeleteValueW(HKEY key, LPCWSTR name) {
    return DeleteValue(key, Name(name));
}

// Deletes the subkey with everything below it, as Windows CE does.
extern "C" LONG WINAPI RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
    std::optional<RegistryKeyPath> path = KeyOf(key);
    if (!path) {
        return ERROR_INVALID_HANDLE;
    }
    if (subKey == nullptr || subKey[0] == 0 || !AppendNames(Name(subKey), *path)) {
        return ERROR_INVALID_PARAMETER;
    }
    return DeleteRegistryKey(*path);
}

extern "C" LONG WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    if (subKey == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return RegDeleteKeyW(key, Name(subKey).c_str());
}

// Keys have no class and no security here, and their last write time is not kept.
extern "C" LONG WINAPI RegQueryInfoKeyW(HKEY key, LPWSTR className, LPDWORD classLength,
                                        LPDWORD reserved, LPDWORD subKeys, LPDWORD longestSubKey,
                                        LPDWORD longestClass, LPDWORD values,
                                        LPDWORD longestValueName, LPDWORD largestValue,
                                        LPDWORD securityBytes, PFILETIME lastWrite) {
    const std::optional<RegistryKeyPath> path = KeyOf(key);
    if (!path) {
        return ERROR_INVALID_HANDLE;
    }
    if (reserved != nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    RegistryKeyCounts counts;
    const LONG error = DescribeRegistryKey(*path, counts);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (className != nullptr && classLength != nullptr && *classLength > 0) {
        className[0] = 0;
    }
    const std::pair<LPDWORD, DWORD> answers[] = {{classLength, 0},
                                                 {subKeys, counts.subKeys},
                                                 {longestSubKey, counts.longestSubKey},
                                                 {longestClass, 0},
                                                 {values, counts.values},
                                                 {longestValueName, counts.longestValueName},
                                                 {largestValue, counts.largestValue},
                                                 {securityBytes, 0}};
    for (const auto &[answer, count] : answers) {
        if (answer != nullptr) {
            *answer = count;
        }
    }
    if (lastWrite != nullptr) {
        *lastWrite = FILETIME{0, 0};
    }
    return ERROR_SUCCESS;
}

// Closing a predefined key is allowed and does nothing.
extern "C" LONG WINAPI RegCloseKey(HKEY key) {
    if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE) {
        return ERROR_SUCCESS;
    }
    return Handles().Remove(key) != nullptr ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
