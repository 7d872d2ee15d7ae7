// ExtractIconEx: the icons of an .ico file (one icon) or of a module file (its RT_GROUP_ICON
// resources, in the order Windows lists them), each at the large and the small system size. Any
// other file, a module without icons included, has the icon of an .ico file of the same base
// name beside it, if there is one: that is how a program file here carries its icon.
#include "gdi/icon_loading.h"
#include "gdi/icons.h"
#include "kernel/host_paths.h"
#include "kernel/module_resources.h"
#include "kernel/modules.h"
#include "kernel/whole_files.h"

#include "engine/icon_files.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

enum class FileKind { Unreadable, Icons, Module, Other };

FileKind KindOf(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE) {
        return FileKind::Unreadable;
    }
    unsigned char start[4] = {};
    DWORD read = 0;
    const bool complete = ReadFile(file, start, sizeof(start), &read, nullptr) && read == 4;
    CloseHandle(file);
    static const unsigned char icon[4] = {0, 0, 1, 0};
    static const unsigned char elf[4] = {0x7F, 'E', 'L', 'F'};
    if (!complete) {
        return FileKind::Other;
    }
    return std::memcmp(start, icon, 4) == 0  ? FileKind::Icons
           : std::memcmp(start, elf, 4) == 0 ? FileKind::Module
                                             : FileKind::Other;
}

// Where the icons go: slot by slot, large, small or both.
struct Destination {
    HICON *large;
    HICON *small;
    UINT count;
};

// One icon from .ico bytes into slot, each size made exactly; whether all asked for were made.
bool ExtractOne(const unsigned char *data, size_t size, const Destination &to, UINT slot) {
    HICON large = to.large != nullptr ? IconFromFileBytes(data, size, GetSystemMetrics(SM_CXICON),
                                                          GetSystemMetrics(SM_CYICON), false)
                                      : nullptr;
    HICON small = to.small != nullptr ? IconFromFileBytes(data, size, GetSystemMetrics(SM_CXSMICON),
                                                          GetSystemMetrics(SM_CYSMICON), false)
                                      : nullptr;
    const bool made =
        (to.large == nullptr || large != nullptr) && (to.small == nullptr || small != nullptr);
    if (!made) {
        // Half an icon is none: both slots say so.
        DestroyIcon(large);
        DestroyIcon(small);
        large = small = nullptr;
    }
    if (to.large != nullptr) {
        to.large[slot] = large;
    }
    if (to.small != nullptr) {
        to.small[slot] = small;
    }
    return made;
}

UINT FromIconFile(HANDLE file, int index, const Destination &to, bool countOnly) {
    std::vector<unsigned char> bytes;
    std::vector<IconDirectoryEntry> entries;
    if (!ReadWholeFile(file, maxIconFileBytes, bytes) ||
        !ReadIconDirectory(bytes.data(), bytes.size(), entries) ||
        NearestIconEntry(entries, 1, 1) < 0) {
        return 0;
    }
    if (countOnly) {
        return 1;
    }
    return index == 0 && to.count > 0 && ExtractOne(bytes.data(), bytes.size(), to, 0) ? 1 : 0;
}

// The module's own icons; hasIcons tells whether it has any, whatever index asked for.
UINT FromModule(const std::string &hostPath, int index, const Destination &to, bool countOnly,
                bool &hasIcons) {
    hasIcons = false;
    const HMODULE module = LoadModuleFile(hostPath);
    if (module == nullptr) {
        return 0;
    }
    const std::vector<const RESOURCE_ENTRY *> icons =
        ModuleResourcesOfType(module, GroupIconResourceType());
    hasIcons = !icons.empty();
    UINT extracted = 0;
    if (countOnly) {
        extracted = static_cast<UINT>(icons.size());
    } else {
        // A negative index starts at the icon whose id it is.
        size_t first = static_cast<size_t>(index);
        if (index < 0) {
            const auto id = reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(-int64_t(index)));
            const auto found = std::find_if(icons.begin(), icons.end(), [&](const auto *entry) {
                return IS_INTRESOURCE(entry->name) && entry->name == id;
            });
            first = static_cast<size_t>(found - icons.begin());
        }
        for (UINT slot = 0; slot < to.count && first < icons.size() && slot < icons.size() - first;
             ++slot) {
            const RESOURCE_ENTRY &entry = *icons[first + slot];
            if (ExtractOne(static_cast<const unsigned char *>(entry.data), entry.size, to, slot)) {
                ++extracted;
            }
        }
    }
    FreeLibrary(module);
    return extracted;
}

template <typename Char> HANDLE OpenForReading(const std::basic_string<Char> &name) {
    if constexpr (sizeof(Char) == 1) {
        return CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    } else {
        return CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    }
}

template <typename Char> bool IsFolder(const std::basic_string<Char> &name) {
    DWORD attributes;
    if constexpr (sizeof(Char) == 1) {
        attributes = GetFileAttributesA(name.c_str());
    } else {
        attributes = GetFileAttributesW(name.c_str());
    }
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

template <typename Char> std::string HostPathOf(const Char *name) {
    if constexpr (sizeof(Char) == 1) {
        return HostPathFromA(name);
    } else {
        return HostPathFromW(name);
    }
}

// The same path with its extension (from the last dot of its last part) replaced by ".ico".
template <typename Char> std::basic_string<Char> IconBeside(std::basic_string<Char> path) {
    const size_t separator = path.find_last_of(std::basic_string<Char>{Char('\\'), Char('/')});
    const size_t dot = path.rfind(Char('.'));
    if (dot != std::basic_string<Char>::npos &&
        (separator == std::basic_string<Char>::npos || dot > separator)) {
        path.erase(dot);
    }
    for (const char c : {'.', 'i', 'c', 'o'}) {
        path.push_back(Char(c));
    }
    return path;
}

template <typename Char>
UINT Extract(const Char *name, int index, HICON *large, HICON *small, UINT count) {
    if (name == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const bool countOnly = index == -1 && large == nullptr && small == nullptr;
    if (!countOnly && (large == nullptr && small == nullptr)) {
        return 0;
    }
    const Destination to{large, small, count};
    const std::basic_string<Char> path(name);
    switch (KindOf(OpenForReading(path))) {
    case FileKind::Icons:
        return FromIconFile(OpenForReading(path), index, to, countOnly);
    case FileKind::Module: {
        bool hasIcons = false;
        const UINT extracted = FromModule(HostPathOf(name), index, to, countOnly, hasIcons);
        if (hasIcons) {
            return extracted;
        }
        break;
    }
    case FileKind::Other:
        if (IsFolder(path)) {
            return 0;
        }
        break;
    case FileKind::Unreadable:
        return 0;
    }
    const std::basic_string<Char> beside = IconBeside(path);
    if (KindOf(OpenForReading(beside)) != FileKind::Icons) {
        return 0;
    }
    return FromIconFile(OpenForReading(beside), index, to, countOnly);
}

} // namespace

extern "C" UINT WINAPI ExtractIconExA(LPCSTR file, int index, HICON *largeIcons, HICON *smallIcons,
                                      UINT count) {
    return Extract(file, index, largeIcons, smallIcons, count);
}

extern "C" UINT WINAPI ExtractIconExW(LPCWSTR file, int index, HICON *largeIcons, HICON *smallIcons,
                                      UINT count) {
    return Extract(file, index, largeIcons, smallIcons, count);
}
