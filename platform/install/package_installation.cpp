// Carrying out an installation, undoing it, and removing an installed package.
#include "install/package_installation.h"

#include "kernel/code_pages.h"
#include "kernel/whole_files.h"
#include "shell/shortcut_files.h"

#include <shellapi.h>

#include <algorithm>

namespace {

// Installed files are read back only to be restored; none of a package's is larger.
const size_t restorableFileLimit = 64 * 1024 * 1024;

bool Exists(const std::u16string &path, bool directory) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == directory;
}

bool ReadDeviceFile(const std::u16string &path, std::vector<BYTE> &bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    return ReadWholeFile(file, restorableFileLimit, bytes);
}

// Makes the directory and the missing ones on the way, noting each one made.
bool EnsureDirectory(const std::u16string &path, std::vector<std::u16string> &made) {
    for (size_t end = path.find(u'\\', 1);; end = path.find(u'\\', end + 1)) {
        const std::u16string prefix = path.substr(0, end);
        if (!Exists(prefix, true)) {
            if (!CreateDirectoryW(prefix.c_str(), nullptr)) {
                return false;
            }
            made.push_back(prefix);
        }
        if (end == std::u16string::npos) {
            return true;
        }
    }
}

std::u16string ParentOf(const std::u16string &path) {
    const size_t slash = path.find_last_of(u'\\');
    return slash == std::u16string::npos ? u"" : path.substr(0, slash);
}

// Makes the key and the missing ones on the way below its root, noting each one made.
bool EnsureKey(const std::u16string &path, std::vector<std::u16string> &made) {
    size_t end = path.find(u'\\');
    if (end == std::u16string::npos) {
        HKEY root = OpenKeyPath(path, false);
        if (root == nullptr) {
            return false;
        }
        RegCloseKey(root);
        return true;
    }
    do {
        end = path.find(u'\\', end + 1);
        const std::u16string prefix = path.substr(0, end);
        bool created = false;
        HKEY key = OpenKeyPath(prefix, true, &created);
        if (key == nullptr) {
            return false;
        }
        RegCloseKey(key);
        if (created) {
            made.push_back(prefix);
        }
    } while (end != std::u16string::npos);
    return true;
}

bool DeleteKeyPath(const std::u16string &path) {
    HKEY parent = OpenKeyPath(ParentOf(path), false);
    if (parent == nullptr) {
        return false;
    }
    const std::u16string name = path.substr(path.find_last_of(u'\\') + 1);
    const bool deleted = RegDeleteKeyW(parent, name.c_str()) == ERROR_SUCCESS;
    RegCloseKey(parent);
    return deleted;
}

bool KeyIsEmpty(const std::u16string &path) {
    HKEY key = OpenKeyPath(path, false);
    if (key == nullptr) {
        return false;
    }
    DWORD subKeys = 1, values = 1;
    const bool empty =
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        subKeys == 0 && values == 0;
    RegCloseKey(key);
    return empty;
}

bool QueryValue(HKEY key, const std::u16string &name, DWORD &type, std::vector<BYTE> &data) {
    DWORD size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return false;
    }
    data.resize(size);
    return RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size) == ERROR_SUCCESS;
}

// Writes a file or shortcut, keeping what it replaces; false when nothing was written.
bool Replace(const std::u16string &path, WrittenFile &written, const std::function<bool()> &write) {
    written.path = path;
    written.existed = Exists(path, false);
    if (written.existed && !ReadDeviceFile(path, written.before)) {
        return false; // what could not be kept could not be put back
    }
    return write();
}

void InstallFiles(const InstallationPlan &plan, InstallationJournal &journal,
                  InstallationFailures &failures, const InstallationProgress &progress) {
    unsigned long long done = 0;
    for (const PlannedFile &file : plan.files) {
        if (progress) {
            progress(file.path, plan.bytes == 0 ? 100 : static_cast<int>(done * 100 / plan.bytes));
        }
        done += file.bytes->size();
        if (file.path.empty() || !EnsureDirectory(file.directory, journal.directories)) {
            ++failures.files;
            continue;
        }
        const bool exists = Exists(file.path, false);
        if ((exists && (file.flags & manifestFileNeverOverwrite) != 0) ||
            (!exists && (file.flags & manifestFileOnlyOverExisting) != 0)) {
            continue; // left as it is, as the package asks
        }
        WrittenFile written;
        const std::vector<BYTE> &bytes = *file.bytes;
        if (Replace(file.path, written, [&] { return WriteDeviceFile(file.path, bytes); })) {
            journal.files.push_back(std::move(written));
        } else {
            ++failures.files;
        }
    }
}

void WriteValues(const InstallationPlan &plan, InstallationJournal &journal,
                 InstallationFailures &failures) {
    std::vector<bool> keyMade(plan.keys.size(), false);
    for (size_t i = 0; i < plan.keys.size(); ++i) {
        keyMade[i] = !plan.keys[i].path.empty() && EnsureKey(plan.keys[i].path, journal.keys);
        failures.keys += keyMade[i] ? 0 : 1;
    }
    for (const PlannedValue &value : plan.values) {
        HKEY key = keyMade[value.key] ? OpenKeyPath(plan.keys[value.key].path, false) : nullptr;
        if (key == nullptr || !value.sound) {
            ++failures.values;
            if (key != nullptr) {
                RegCloseKey(key);
            }
            continue;
        }
        WrittenValue written;
        written.value = {plan.keys[value.key].path, value.name};
        written.existed = QueryValue(key, value.name, written.type, written.before);
        if (!(written.existed && value.noClobber)) {
            if (RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                               static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS) {
                journal.values.push_back(std::move(written));
            } else {
                ++failures.values;
            }
        }
        RegCloseKey(key);
    }
}

void MakeShortcuts(const InstallationPlan &plan, InstallationJournal &journal,
                   InstallationFailures &failures) {
    for (const PlannedShortcut &shortcut : plan.shortcuts) {
        WrittenFile written;
        std::u16string path = shortcut.path;
        std::u16string target = shortcut.target;
        // A shortcut is never written over: the one there goes first, kept to be put back.
        const bool made = !path.empty() && EnsureDirectory(ParentOf(path), journal.directories) &&
                          Replace(path, written, [&] {
                              return (!Exists(path, false) || DeleteFileW(path.c_str())) &&
                                     SHCreateShortcut(path.data(), target.data());
                          });
        if (made) {
            journal.shortcuts.push_back(std::move(written));
        } else {
            ++failures.shortcuts;
            if (written.existed && !Exists(path, false)) {
                WriteDeviceFile(path, written.before);
            }
        }
    }
}

void PutBack(const WrittenFile &file) {
    if (file.existed) {
        WriteDeviceFile(file.path, file.before);
    } else {
        DeleteFileW(file.path.c_str());
    }
}

template <typename Thing> void AddOnce(std::vector<Thing> &list, const Thing &thing) {
    if (std::find(list.begin(), list.end(), thing) == list.end()) {
        list.push_back(thing);
    }
}

} // namespace

bool WriteDeviceFile(const std::u16string &path, const std::vector<BYTE> &bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool complete =
        bytes.empty() ||
        (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size());
    const DWORD error = GetLastError();
    CloseHandle(file);
    if (!complete) {
        DeleteFileW(path.c_str()); // half a program is worse than none
        SetLastError(error);
    }
    return complete;
}

InstallationFailures CarryOutPlan(const InstallationPlan &plan, InstallationJournal &journal,
                                  const InstallationProgress &progress) {
    InstallationFailures failures;
    if (!EnsureDirectory(plan.installDirectory, journal.directories)) {
        ++failures.directories;
    }
    for (const std::u16string &directory : plan.directories) {
        if (directory.empty() || !EnsureDirectory(directory, journal.directories)) {
            ++failures.directories;
        }
    }
    InstallFiles(plan, journal, failures, progress);
    WriteValues(plan, journal, failures);
    MakeShortcuts(plan, journal, failures);
    if (progress) {
        progress(u"", 100);
    }
    return failures;
}

void UndoInstallation(const InstallationJournal &journal) {
    for (auto shortcut = journal.shortcuts.rbegin(); shortcut != journal.shortcuts.rend();
         ++shortcut) {
        PutBack(*shortcut);
    }
    for (auto value = journal.values.rbegin(); value != journal.values.rend(); ++value) {
        HKEY key = OpenKeyPath(value->value.key, false);
        if (key == nullptr) {
            continue;
        }
        if (value->existed) {
            RegSetValueExW(key, value->value.name.c_str(), 0, value->type, value->before.data(),
                           static_cast<DWORD>(value->before.size()));
        } else {
            RegDeleteValueW(key, value->value.name.c_str());
        }
        RegCloseKey(key);
    }
    for (auto key = journal.keys.rbegin(); key != journal.keys.rend(); ++key) {
        DeleteKeyPath(*key);
    }
    for (auto file = journal.files.rbegin(); file != journal.files.rend(); ++file) {
        PutBack(*file);
    }
    for (auto directory = journal.directories.rbegin(); directory != journal.directories.rend();
         ++directory) {
        RemoveDirectoryW(directory->c_str());
    }
}

void RecordInstallation(const InstallationJournal &journal, InstalledPackage &package) {
    for (const WrittenFile &file : journal.files) {
        AddOnce(package.files, file.path);
    }
    for (const WrittenFile &shortcut : journal.shortcuts) {
        AddOnce(package.shortcuts, shortcut.path);
    }
    for (const std::u16string &directory : journal.directories) {
        AddOnce(package.directories, directory);
    }
    for (const std::u16string &key : journal.keys) {
        AddOnce(package.keys, key);
    }
    for (const WrittenValue &value : journal.values) {
        AddOnce(package.values, value.value);
    }
}

unsigned long long BytesNeeded(const InstallationPlan &plan) {
    unsigned long long needed = 0;
    unsigned long long freed = 0;
    auto replacing = [&](const std::u16string &path, size_t size) {
        needed += size;
        HANDLE existing = path.empty()
                              ? INVALID_HANDLE_VALUE
                              : CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (existing != INVALID_HANDLE_VALUE) {
            freed += GetFileSize(existing, nullptr);
            CloseHandle(existing);
        }
    };
    for (const PlannedFile &file : plan.files) {
        replacing(file.path, file.bytes->size());
    }
    for (const PlannedShortcut &shortcut : plan.shortcuts) {
        replacing(shortcut.path, FormatShortcut(AnsiFromWide(shortcut.target)).size());
    }
    return needed > freed ? needed - freed : 0;
}

void RemoveInstalledThings(const InstalledPackage &package) {
    for (const std::u16string &shortcut : package.shortcuts) {
        DeleteFileW(shortcut.c_str());
    }
    for (const std::u16string &file : package.files) {
        DeleteFileW(file.c_str());
    }
    for (const InstalledValue &value : package.values) {
        HKEY key = OpenKeyPath(value.key, false);
        if (key != nullptr) {
            RegDeleteValueW(key, value.name.c_str());
            RegCloseKey(key);
        }
    }
    // Keys and directories that something else has put things in stay.
    for (auto key = package.keys.rbegin(); key != package.keys.rend(); ++key) {
        if (KeyIsEmpty(*key)) {
            DeleteKeyPath(*key);
        }
    }
    for (auto directory = package.directories.rbegin(); directory != package.directories.rend();
         ++directory) {
        RemoveDirectoryW(directory->c_str());
    }
}
