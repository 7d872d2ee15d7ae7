// Win32 paths to host paths and back.
#include "kernel/host_paths.h"

#include "kernel/code_pages.h"
#include "kernel/machine.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace {

// The machine's disk: the host folder that holds it.
struct DeviceFolder : MachinePart {
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

std::string HostPathFromA(LPCSTR path) {
    if (path == nullptr) {
        return std::string();
    }
    return WithSlashes(Utf8FromWide(WideFromAnsi(path)));
}

std::string HostPathFromW(LPCWSTR path) {
    const std::string utf8 = path == nullptr ? std::string() : Utf8FromWide(path);
    const std::string root = GetDeviceFolder();
    if (root.empty()) {
        return WithSlashes(utf8);
    }
    return UnderRoot(root, utf8);
}

std::string Win32PathFromHostA(const std::string &hostPath) {
    return AnsiFromWide(WideFromUtf8(WithBackslashes(hostPath)));
}

std::u16string Win32PathFromHostW(const std::string &hostPath) {
    std::string path;
    std::string resolved;
    {
        DeviceFolder &folder = Folder();
        path = folder.path;
        resolved = folder.resolved;
    }
    std::string rest;
    if (Inside(path, hostPath, rest) || Inside(resolved, hostPath, rest)) {
        return WideFromUtf8(rest.empty() ? "\\" : WithBackslashes(rest));
    }
    return WideFromUtf8(WithBackslashes(hostPath));
}
