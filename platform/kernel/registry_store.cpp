// The registry in memory and the file it is kept in.
#include "kernel/registry_store.h"
#include "kernel/registry_tree.h"

#include "kernel/code_pages.h"
#include "kernel/errors.h"
#include "kernel/host_paths.h"
#include "kernel/machine.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <unistd.h>

namespace {

struct Store : MachinePart {
    bool loaded = false;
    std::string file; // where the tree was read from and is written to
    RegistryTree tree;
};

Store &TheStore() {
    return MachineState<Store>();
}

std::string DesktopStateFolder() {
    if (const char *state = std::getenv("PENNAKEY_DESKTOP_STATE"); state && *state) {
        return state;
    }
    if (const char *xdg = std::getenv("XDG_STATE_HOME"); xdg && *xdg) {
        return std::string(xdg) + "/pennakey";
    }
    if (const char *home = std::getenv("HOME"); home && *home) {
        return std::string(home) + "/.local/state/pennakey";
    }
    return std::string();
}

void Report(const std::string &file, const std::string &what) {
    std::fprintf(stderr, "registry: %s: %s\n", file.c_str(), what.c_str());
}

bool ReadWholeFile(const std::string &file, std::string &text) {
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            const int error = got < 0 ? errno : 0;
            close(fd);
            errno = error;
            return got == 0;
        }
        text.append(buffer, static_cast<size_t>(got));
    }
}

void Load(Store &store, const std::string &file) {
    store.tree.clear();
    store.file = file;
    store.loaded = true;
    if (file.empty()) {
        return;
    }
    std::string text;
    if (!ReadWholeFile(file, text)) {
        if (errno != ENOENT) {
            Report(file, std::strerror(errno));
        }
        return;
    }
    std::string problem;
    store.tree = RegistryFromText(text, problem);
    if (!problem.empty()) {
        Report(file, problem);
    }
}

void EnsureLoaded(Store &store) {
    const std::string file = RegistryFilePath();
    if (!store.loaded || store.file != file) {
        Load(store, file);
    }
}

bool WriteAll(int fd, const std::string &text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            if (wrote == 0) {
                errno = EIO;
            }
            return false;
        }
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// Through a temporary file beside it and a rename, so the file is always whole.
LONG Save(const RegistryTree &tree, const std::string &file) {
    if (file.empty()) {
        return ERROR_SUCCESS;
    }
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    std::error_code ignored;
    if (!folder.empty()) {
        std::filesystem::create_directories(folder, ignored);
    }
    std::string temporary = file + ".tmp-XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        return static_cast<LONG>(Win32ErrorFromErrno(errno));
    }
    bool written = WriteAll(fd, RegistryText(tree)) && fsync(fd) == 0;
    int error = written ? 0 : errno;
    if (close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (written && rename(temporary.c_str(), file.c_str()) != 0) {
        written = false;
        error = errno;
    }
    if (!written) {
        unlink(temporary.c_str());
        return static_cast<LONG>(Win32ErrorFromErrno(error));
    }
    // The rename itself lasts only once the folder is on disk too.
    const int folderFd =
        open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        fsync(folderFd);
        close(folderFd);
    }
    return ERROR_SUCCESS;
}

// Applies change to a copy and keeps it only once it is on disk, so memory and file agree.
template <typename Change> LONG Update(Change change) {
    Store &store = TheStore();
    EnsureLoaded(store);
    RegistryTree next = store.tree;
    LONG result = change(next);
    if (result != ERROR_SUCCESS) {
        return result;
    }
    result = Save(next, store.file);
    if (result == ERROR_SUCCESS) {
        store.tree = std::move(next);
    }
    return result;
}

} // namespace

std::string RegistryFilePath() {
    std::string folder = GetDeviceFolder();
    if (folder.empty()) {
        folder = DesktopStateFolder();
    }
    if (folder.empty()) {
        return std::string();
    }
    return folder.back() == '/' ? folder + "registry.txt" : folder + "/registry.txt";
}

bool RegistryKeyExists(const RegistryKeyPath &key) {
    Store &store = TheStore();
    EnsureLoaded(store);
    return FindKey(store.tree, key) != nullptr;
}

LONG CreateRegistryKey(const RegistryKeyPath &key, bool &created) {
    created = false;
    if (RegistryKeyExists(key)) {
        return ERROR_SUCCESS;
    }
    return Update([&](RegistryTree &tree) {
        EnsureKey(tree, key, &created);
        return ERROR_SUCCESS;
    });
}

LONG QueryRegistryValue(const RegistryKeyPath &key, std::u16string_view name,
                        RegistryValue &value) {
    Store &store = TheStore();
    EnsureLoaded(store);
    const RegistryKey *found = FindKey(store.tree, key);
    if (found == nullptr) {
        return ERROR_KEY_DELETED;
    }
    const auto entry = found->values.find(Fold(name));
    if (entry == found->values.end()) {
        return ERROR_FILE_NOT_FOUND;
    }
    value = entry->second;
    return ERROR_SUCCESS;
}

LONG SetRegistryValue(const RegistryKeyPath &key, std::u16string_view name, DWORD type,
                      std::vector<BYTE> data) {
    return Update([&](RegistryTree &tree) {
        if (FindKey(tree, key) == nullptr) {
            return ERROR_KEY_DELETED;
        }
        RegistryValue &value = EnsureKey(tree, key).values[Fold(name)];
        if (value.name.empty()) {
            value.name = name; // a new value; an existing one keeps its first spelling
        }
        value.type = type;
        value.data = std::move(data);
        return ERROR_SUCCESS;
    });
}

LONG DeleteRegistryValue(const RegistryKeyPath &key, std::u16string_view name) {
    return Update([&](RegistryTree &tree) {
        const auto found = tree.find(FoldedPath(key));
        if (found == tree.end()) {
            return FindKey(tree, key) == nullptr ? ERROR_KEY_DELETED : ERROR_FILE_NOT_FOUND;
        }
        return found->second.values.erase(Fold(name)) != 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
}

LONG DeleteRegistryKey(const RegistryKeyPath &key) {
    if (key.names.empty()) {
        return ERROR_ACCESS_DENIED;
    }
    return Update([&](RegistryTree &tree) {
        const std::u16string folded = FoldedPath(key);
        const auto found = tree.find(folded);
        if (found == tree.end()) {
            return ERROR_FILE_NOT_FOUND;
        }
        // Not necessarily right after the key: "A\\B" sorts after "AX", as '\\' after 'X'.
        const std::u16string below = folded + u'\\';
        auto end = tree.lower_bound(below);
        const auto first = end;
        while (end != tree.end() && end->first.compare(0, below.size(), below) == 0) {
            ++end;
        }
        tree.erase(first, end);
        tree.erase(found);
        return ERROR_SUCCESS;
    });
}

LONG DescribeRegistryKey(const RegistryKeyPath &key, RegistryKeyCounts &counts) {
    Store &store = TheStore();
    EnsureLoaded(store);
    const RegistryKey *found = FindKey(store.tree, key);
    if (found == nullptr) {
        return ERROR_KEY_DELETED;
    }
    counts = RegistryKeyCounts();
    counts.values = static_cast<DWORD>(found->values.size());
    for (const auto &[folded, value] : found->values) {
        counts.longestValueName = std::max(counts.longestValueName, DWORD(value.name.size()));
        counts.largestValue = std::max(counts.largestValue, DWORD(value.data.size()));
    }
    const std::u16string below = FoldedPath(key) + u'\\';
    for (auto entry = store.tree.lower_bound(below);
         entry != store.tree.end() && entry->first.compare(0, below.size(), below) == 0; ++entry) {
        if (entry->first.find(u'\\', below.size()) == std::u16string::npos) {
            ++counts.subKeys;
            counts.longestSubKey =
                std::max(counts.longestSubKey, DWORD(entry->first.size() - below.size()));
        }
    }
    return ERROR_SUCCESS;
}

void ReloadRegistry() {
    Store &store = TheStore();
    Load(store, RegistryFilePath());
}

void FlushRegistry() {
    Store &store = TheStore();
    EnsureLoaded(store);
    const LONG result = Save(store.tree, store.file);
    if (result != ERROR_SUCCESS) {
        Report(store.file, "cannot write (error " + std::to_string(result) + ")");
    }
}
