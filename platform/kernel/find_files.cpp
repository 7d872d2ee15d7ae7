// FindFirstFile and friends. A search lists its folder once, when it starts, and hands the
// matching entries out by name, as an NTFS folder lists them, so that every host gives the same
// order.
#include "kernel/code_pages.h"
#include "kernel/errors.h"
#include "kernel/file_attributes.h"
#include "kernel/handles.h"
#include "kernel/host_paths.h"
#include "kernel/wildcard.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct FoundEntry {
    std::u16string name;
    DWORD attributes;
    uint64_t size;
    FILETIME created;
    FILETIME accessed;
    FILETIME written;
};

struct SearchObject : KernelObject {
    static const KernelObjectKind kind = KernelObjectKind::Search;

    KernelObjectKind Kind() const override {
        return kind;
    }

    std::vector<FoundEntry> entries;
    size_t next = 0;
};

bool IsSeparator(char16_t c) {
    return c == u'/' || c == u'\\';
}

// The entries of hostFolder whose names match the wildcard, or false if it cannot be listed.
// Read straight into a buffer on the stack: a directory stream's own buffer is a large block,
// and asking the heap for one costs more than listing a small folder does.
bool ListMatches(const std::string &hostFolder, std::u16string_view wildcard,
                 std::vector<FoundEntry> &entries) {
    const int folder =
        open(hostFolder.empty() ? "." : hostFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return false;
    }
    alignas(dirent64) char buffer[8192];
    ssize_t length;
    while ((length = getdents64(folder, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at < length;) {
            const auto *entry = reinterpret_cast<const dirent64 *>(buffer + at);
            at += entry->d_reclen;
            // Windows CE lists neither "." nor "..".
            if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) {
                continue;
            }
            std::u16string name = WideFromUtf8(entry->d_name);
            if (name.size() > MAX_PATH - 1 || !MatchesWildcard(wildcard, name)) {
                continue;
            }
            struct stat status;
            if (fstatat(folder, entry->d_name, &status, 0) != 0) {
                continue; // gone since it was listed, or a dangling link
            }
            entries.push_back(FoundEntry{
                std::move(name), FileAttributesFromStat(status),
                static_cast<uint64_t>(status.st_size), FileTimeFromTimespec(status.st_ctim),
                FileTimeFromTimespec(status.st_atim), FileTimeFromTimespec(status.st_mtim)});
        }
    }
    close(folder);
    if (length < 0) {
        entries.clear();
        return false;
    }
    std::sort(entries.begin(), entries.end(), [](const FoundEntry &a, const FoundEntry &b) {
        const int order = _wcsicmp(a.name.c_str(), b.name.c_str());
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return true;
}

// The next entry of a search, or null with the last error set.
const FoundEntry *NextEntry(SearchObject &search) {
    if (search.next >= search.entries.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return nullptr;
    }
    return &search.entries[search.next++];
}

template <typename FindData> void FillCommon(const FoundEntry &entry, FindData &found) {
    std::memset(&found, 0, sizeof(found));
    found.dwFileAttributes = entry.attributes;
    found.ftCreationTime = entry.created;
    found.ftLastAccessTime = entry.accessed;
    found.ftLastWriteTime = entry.written;
    found.nFileSizeHigh = static_cast<DWORD>(entry.size >> 32);
    found.nFileSizeLow = static_cast<DWORD>(entry.size);
}

void Fill(const FoundEntry &entry, WIN32_FIND_DATAW &found) {
    FillCommon(entry, found);
    entry.name.copy(found.cFileName, MAX_PATH - 1);
}

void Fill(const FoundEntry &entry, WIN32_FIND_DATAA &found) {
    FillCommon(entry, found);
    AnsiFromWide(entry.name).copy(found.cFileName, MAX_PATH - 1);
}

// Splits a Win32 pattern into its folder and the wildcard of its last component.
template <typename FindData, typename HostPath>
HANDLE StartSearch(const std::u16string &pattern, HostPath hostPathOf, FindData *found) {
    if (found == nullptr || pattern.empty()) {
        SetLastError(pattern.empty() ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    size_t split = pattern.size();
    while (split > 0 && !IsSeparator(pattern[split - 1])) {
        --split;
    }
    const std::u16string folder = pattern.substr(0, split);
    const std::u16string wildcard = pattern.substr(split);
    auto search = std::make_shared<SearchObject>();
    const std::string hostFolder = hostPathOf(folder);
    // A folder with no host path lies on a drive the PC lacks; listing "" would list the host's
    // own current directory instead.
    if ((hostFolder.empty() && !folder.empty()) ||
        !ListMatches(hostFolder, wildcard, search->entries)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const FoundEntry *first = NextEntry(*search);
    if (first == nullptr) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    Fill(*first, *found);
    return AddKernelObject(std::move(search));
}

template <typename FindData> BOOL ContinueSearch(HANDLE handle, FindData *found) {
    const auto search = FindKernelObjectAs<SearchObject>(handle);
    if (!search) {
        return FALSE;
    }
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const FoundEntry *entry = NextEntry(*search);
    if (entry == nullptr) {
        return FALSE;
    }
    Fill(*entry, *found);
    return TRUE;
}

} // namespace

extern "C" HANDLE WINAPI FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA found) {
    const auto hostPath = [](const std::u16string &folder) {
        return HostPathFromA(AnsiFromWide(folder).c_str());
    };
    return StartSearch(WideFromAnsi(pattern == nullptr ? "" : pattern), hostPath, found);
}

extern "C" HANDLE WINAPI FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW found) {
    const auto hostPath = [](const std::u16string &folder) {
        return HostPathFromW(folder.c_str());
    };
    return StartSearch(std::u16string(pattern == nullptr ? u"" : pattern), hostPath, found);
}

extern "C" BOOL WINAPI FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA found) {
    return ContinueSearch(search, found);
}

extern "C" BOOL WINAPI FindNextFileW(HANDLE search, LPWIN32_FIND_DATAW found) {
    return ContinueSearch(search, found);
}

extern "C" BOOL WINAPI FindClose(HANDLE search) {
    return RemoveKernelObject(search, {KernelObjectKind::Search}) ? TRUE : FALSE;
}
