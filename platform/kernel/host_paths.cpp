// Win32 paths to host paths and back.
#include "kernel/host_paths.h"

#include "kernel/code_pages.h"
#include "kernel/machine.h"
#include "kernel/scheduler.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace {

// The machine's disk: the host folder that holds it.
struct DeviceFolder : MachinePart {
    // A desktop PC's disk is its drive C:, with a current directory; a device's is its root.
    bool drive = false;
    std::u16string currentDirectory = u"C:\\";
    std::string path;     // as given, without trailing separators
    std::string resolved; // the same through realpath, to recognise host paths reported back
};

DeviceFolder &Folder() {
    return MachineState<DeviceFolder>();
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

std::string WithSlashes(std::string path) {
    for (char &c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    return path;
}

std::string WithBackslashes(std::string path) {
    for (char &c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

std::vector<std::string> Components(const std::string &path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string Joined(const std::string &root, const std::vector<std::string> &parts) {
    std::string result = root;
    for (const std::string &part : parts) {
        if (result.empty() || result.back() != '/') {
            result += '/';
        }
        result += part;
    }
    return result;
}

// Symbolic links followed on one path before it counts as a loop, as Linux counts them.
const int maxLinks = 40;

// Resolves "." and ".." (".." at the root stays at the root) and every symbolic link on the way,
// as if the folder were the root of the file system: an absolute link starts again at the folder,
// so no link leads out of it. Empty for a path with a loop of links.
std::string UnderRoot(const std::string &root, const std::string &path) {
    std::vector<std::string> pending = Components(path);
    std::reverse(pending.begin(), pending.end()); // taken from the back
    std::vector<std::string> done;
    int links = 0;
    while (!pending.empty()) {
        const std::string part = std::move(pending.back());
        pending.pop_back();
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            if (!done.empty()) {
                done.pop_back();
            }
            continue;
        }
        done.push_back(part);
        const std::string reached = Joined(root, done);
        struct stat status;
        if (lstat(reached.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            continue;
        }
        if (++links > maxLinks) {
            return std::string();
        }
        std::vector<char> target(static_cast<size_t>(PATH_MAX) + 1);
        const ssize_t length = readlink(reached.c_str(), target.data(), PATH_MAX);
        done.pop_back();
        if (length <= 0) {
            return std::string();
        }
        const std::string text(target.data(), static_cast<size_t>(length));
        if (text[0] == '/') {
            done.clear();
        }
        std::vector<std::string> inside = Components(text);
        pending.insert(pending.end(), inside.rbegin(), inside.rend());
    }
    return Joined(root, done);
}

// The rest of hostPath after folder, or false when it lies outside.
bool Inside(const std::string &folder, const std::string &hostPath, std::string &rest) {
    if (folder.empty() || hostPath.compare(0, folder.size(), folder) != 0) {
        return false;
    }
    rest = hostPath.substr(folder.size());
    if (folder == "/") {
        rest = "/" + rest;
    }
    return rest.empty() || rest[0] == '/';
}

} // namespace

void SetDeviceFolder(const std::string &hostFolder) {
    std::string path = hostFolder;
    while (path.size() > 1 && IsSeparator(path.back())) {
        path.pop_back();
    }
    std::string resolved;
    if (!path.empty()) {
        char buffer[PATH_MAX];
        if (realpath(path.c_str(), buffer) != nullptr) {
            resolved = buffer;
        }
    }
    DeviceFolder &folder = Folder();
    folder.path = path;
    folder.resolved = resolved;
}

std::string GetDeviceFolder() {
    DeviceFolder &folder = Folder();
    return folder.path;
}

namespace {

bool IsWideSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

bool HasDriveLetter(const std::u16string &path) {
    return path.size() >= 2 && path[1] == u':' &&
           ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
}

// Each program keeps a current directory of its own once it has one, as each process does on
// Windows; the host's own calls, and programs started without one, use the machine's.
std::u16string &CurrentDirectoryOf(DeviceFolder &folder) {
    Program *program = CurrentProgram();
    return program != nullptr && !program->currentDirectory.empty() ? program->currentDirectory
                                                                    : folder.currentDirectory;
}

// A path on the PC's drive C: as a path from the drive's root; empty for another drive.
std::u16string FromDriveRoot(const std::u16string &currentDirectory, const std::u16string &path) {
    if (HasDriveLetter(path)) {
        if (path[0] != u'C' && path[0] != u'c') {
            return std::u16string();
        }
        const std::u16string rest = path.substr(2);
        if (!rest.empty() && IsWideSeparator(rest[0])) {
            return rest;
        }
        // "C:name" is relative to the drive's current directory.
        return FromDriveRoot(currentDirectory, currentDirectory + u"\\" + rest);
    }
    if (!path.empty() && IsWideSeparator(path[0])) {
        return path;
    }
    return FromDriveRoot(currentDirectory, currentDirectory + u"\\" + path);
}

std::string DrivePath(DeviceFolder &folder, const std::u16string &path) {
    const std::u16string fromRoot = FromDriveRoot(CurrentDirectoryOf(folder), path);
    if (fromRoot.empty()) {
        return std::string(); // no other drive exists
    }
    return UnderRoot(folder.path, Utf8FromWide(fromRoot));
}

} // namespace

void SetDesktopDrive(const std::string &hostFolder) {
    SetDeviceFolder(hostFolder);
    Folder().drive = !hostFolder.empty();
    Folder().currentDirectory = u"C:\\";
}

bool MachineHasDrive() {
    return Folder().drive;
}

std::u16string MachineCurrentDirectory() {
    return CurrentDirectoryOf(Folder());
}

bool SetMachineCurrentDirectory(const std::u16string &path) {
    const std::u16string plain = PlainDrivePath(path);
    if (plain.empty()) {
        return false;
    }
    CurrentDirectoryOf(Folder()) = plain;
    return true;
}

std::u16string PlainDrivePath(const std::u16string &path) {
    DeviceFolder &folder = Folder();
    const std::u16string fromRoot = FromDriveRoot(CurrentDirectoryOf(folder), path);
    if (fromRoot.empty()) {
        return std::u16string();
    }
    // Kept in its plain form: "." and ".." resolved, one backslash between names.
    std::vector<std::u16string> names;
    size_t start = 0;
    while (start <= fromRoot.size()) {
        size_t end = start;
        while (end < fromRoot.size() && !IsWideSeparator(fromRoot[end])) {
            ++end;
        }
        const std::u16string name = fromRoot.substr(start, end - start);
        if (name == u"..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (!name.empty() && name != u".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    std::u16string plain = u"C:";
    for (const std::u16string &name : names) {
        plain += u"\\" + name;
    }
    if (names.empty()) {
        plain += u"\\";
    }
    return plain;
}

std::string HostPathFromA(LPCSTR path) {
    if (path == nullptr) {
        return std::string();
    }
    if (Folder().drive) {
        return DrivePath(Folder(), WideFromAnsi(path));
    }
    return WithSlashes(Utf8FromWide(WideFromAnsi(path)));
}

std::string HostPathFromW(LPCWSTR path) {
    if (Folder().drive) {
        return DrivePath(Folder(), path == nullptr ? std::u16string() : std::u16string(path));
    }
    const std::string utf8 = path == nullptr ? std::string() : Utf8FromWide(path);
    const std::string root = GetDeviceFolder();
    if (root.empty()) {
        return WithSlashes(utf8);
    }
    return UnderRoot(root, utf8);
}

std::string Win32PathFromHostA(const std::string &hostPath) {
    if (Folder().drive) {
        return AnsiFromWide(Win32PathFromHostW(hostPath));
    }
    return AnsiFromWide(WideFromUtf8(WithBackslashes(hostPath)));
}

std::u16string Win32PathFromHostW(const std::string &hostPath) {
    const DeviceFolder &folder = Folder();
    const std::u16string drive = folder.drive ? u"C:" : u"";
    std::string rest;
    if (Inside(folder.path, hostPath, rest) || Inside(folder.resolved, hostPath, rest)) {
        return drive + WideFromUtf8(rest.empty() ? "\\" : WithBackslashes(rest));
    }
    return WideFromUtf8(WithBackslashes(hostPath));
}
