// ExtractIconEx: the icons of an .ico file (one icon) or of a module file (its RT_GROUP_ICON
// resources, in the order Windows lists them), each at the large and the small system size.
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

UINT FromModule(const std::string &hostPath, int index, const Destination &to, bool countOnly) {
    const HMODULE module = LoadModuleFile(hostPath);
    if (module == nullptr) {
        return 0;
    }
    const std::vector<const RESOURCE_ENTRY *> icons =
        ModuleResourcesOfType(module, GroupIconResourceType());
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
    const auto open = [name] {
        if constexpr (sizeof(Char) == 1) {
            return CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        } else {
            return CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        }
    };
    switch (KindOf(open())) {
    case FileKind::Icons:
        return FromIconFile(open(), index, to, countOnly);
    case FileKind::Module:
        if constexpr (sizeof(Char) == 1) {
            return FromModule(HostPathFromA(name), index, to, countOnly);
        } else {
            return FromModule(HostPathFromW(name), index, to, countOnly);
        }
    default:
        return 0;
    }
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
