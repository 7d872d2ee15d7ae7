// pennakey-rapi: the running device's files, registry, windows and programs from the host's
// command line, through the cable as the desktop's programs reach it.
#include "kernel/code_pages.h"
#include "rapi/rapi_client.h"

#include <rapi.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int Usage() {
    std::cerr << "usage: pennakey-rapi --device DIR COMMAND\n"
                 "commands: ls DEVPATH | get DEVPATH HOSTPATH | put HOSTPATH DEVPATH | rm DEVPATH |"
                 " mkdir DEVPATH | run DEVPATH [ARGS] | reg get KEY [VALUE] |"
                 " reg set KEY VALUE sz|dword|binary DATA | windows | store\n";
    return 2;
}

// One clear line for what the device said, and a failing exit.
int Fail(const std::string &what) {
    const DWORD error = CeGetLastError();
    std::string reason;
    if (FAILED(CeRapiGetError())) {
        reason = "the connection to the device was lost";
    } else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        reason = "not found";
    } else if (error == ERROR_ACCESS_DENIED) {
        reason = "access denied";
    } else if (error == ERROR_ALREADY_EXISTS) {
        reason = "already exists";
    } else if (error == ERROR_DISK_FULL) {
        reason = "the device's store is full";
    } else {
        reason = "error " + std::to_string(error);
    }
    std::cerr << "pennakey-rapi: " << what << ": " << reason << "\n";
    return 1;
}

std::u16string Wide(const std::string &text) {
    return WideFromUtf8(text);
}

std::string Narrow(const WCHAR *text) {
    return Utf8FromWide(text);
}

int List(const std::string &path) {
    std::u16string pattern = Wide(path);
    if (pattern.find_first_of(u"*?") == std::u16string::npos) {
        pattern += pattern.empty() || pattern.back() == u'\\' ? u"*" : u"\\*";
    }
    CE_FIND_DATA found;
    HANDLE search = CeFindFirstFile(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return CeGetLastError() == ERROR_NO_MORE_FILES ? 0 : Fail(path);
    }
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            std::cout << Narrow(found.cFileName) << "\\\n";
        } else {
            std::cout << Narrow(found.cFileName) << "  " << found.nFileSizeLow << "\n";
        }
    } while (CeFindNextFile(search, &found));
    CeFindClose(search);
    return 0;
}

int Get(const std::string &from, const std::string &to) {
    HANDLE file = CeCreateFile(Wide(from).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return Fail(from);
    }
    std::ofstream out(to, std::ios::binary);
    std::vector<char> chunk(64 * 1024);
    size_t total = 0;
    for (;;) {
        DWORD read = 0;
        if (!CeReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr)) {
            CeCloseHandle(file);
            return Fail(from);
        }
        if (read == 0) {
            break;
        }
        out.write(chunk.data(), read);
        total += read;
    }
    CeCloseHandle(file);
    if (!out) {
        std::cerr << "pennakey-rapi: cannot write " << to << "\n";
        return 1;
    }
    std::cout << "got " << from << " (" << total << " bytes)\n";
    return 0;
}

int Put(const std::string &from, const std::string &to) {
    std::ifstream in(from, std::ios::binary);
    if (!in) {
        std::cerr << "pennakey-rapi: cannot read " << from << "\n";
        return 1;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    HANDLE file = CeCreateFile(Wide(to).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return Fail(to);
    }
    DWORD written = 0;
    const bool done =
        CeWriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CeCloseHandle(file);
    if (!done) {
        CeDeleteFile(Wide(to).c_str()); // no half file left on the device
        return Fail(to);
    }
    std::cout << "put " << to << " (" << bytes.size() << " bytes)\n";
    return 0;
}

// "HKCU\a\b" or "HKEY_CURRENT_USER\a\b": the root and the rest.
bool SplitKey(const std::string &path, HKEY &root, std::u16string &rest) {
    const size_t slash = path.find('\\');
    const std::string name = path.substr(0, slash);
    rest = slash == std::string::npos ? u"" : Wide(path.substr(slash + 1));
    if (name == "HKCU" || name == "HKEY_CURRENT_USER") {
        root = HKEY_CURRENT_USER;
    } else if (name == "HKLM" || name == "HKEY_LOCAL_MACHINE") {
        root = HKEY_LOCAL_MACHINE;
    } else {
        return false;
    }
    return true;
}

void PrintValue(const std::string &name, DWORD type, const std::vector<BYTE> &data) {
    std::cout << (name.empty() ? "@" : name) << " = ";
    if (type == REG_SZ) {
        std::u16string text(data.size() / 2, u'\0');
        std::copy(data.begin(), data.begin() + text.size() * 2,
                  reinterpret_cast<BYTE *>(text.data()));
        std::cout << "sz \"" << Utf8FromWide(text.substr(0, text.find(u'\0'))) << "\"\n";
    } else if (type == REG_DWORD && data.size() == 4) {
        const DWORD value = data[0] | data[1] << 8 | data[2] << 16 | DWORD(data[3]) << 24;
        std::cout << "dword " << value << "\n";
    } else {
        std::cout << "hex(" << type << ")";
        for (BYTE byte : data) {
            char hex[4];
            std::snprintf(hex, sizeof(hex), " %02x", byte);
            std::cout << hex;
        }
        std::cout << "\n";
    }
}

int RegGet(const std::string &keyPath, const std::string *valueName) {
    HKEY root = nullptr, key = nullptr;
    std::u16string rest;
    if (!SplitKey(keyPath, root, rest)) {
        std::cerr << "pennakey-rapi: " << keyPath << ": the key starts with HKCU or HKLM\n";
        return 1;
    }
    if (CeRegOpenKeyEx(root, rest.c_str(), 0, 0, &key) != ERROR_SUCCESS) {
        return Fail(keyPath);
    }
    const std::string name = valueName != nullptr ? *valueName : "";
    DWORD type = 0, size = 0;
    LONG result = CeRegQueryValueEx(key, Wide(name).c_str(), nullptr, &type, nullptr, &size);
    std::vector<BYTE> data(size);
    if (result == ERROR_SUCCESS) {
        result = CeRegQueryValueEx(key, Wide(name).c_str(), nullptr, &type, data.data(), &size);
    }
    CeRegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        std::cerr << "pennakey-rapi: " << keyPath << " " << name << ": not found\n";
        return 1;
    }
    PrintValue(name, type, data);
    return 0;
}

int RegSet(const std::string &keyPath, const std::string &name, const std::string &type,
           const std::string &data) {
    HKEY root = nullptr, key = nullptr;
    std::u16string rest;
    std::vector<BYTE> bytes;
    DWORD kind = REG_NONE;
    if (type == "sz") {
        const std::u16string text = Wide(data);
        const BYTE *start = reinterpret_cast<const BYTE *>(text.c_str());
        bytes.assign(start, start + (text.size() + 1) * 2);
        kind = REG_SZ;
    } else if (type == "dword") {
        char *end = nullptr;
        const unsigned long value = std::strtoul(data.c_str(), &end, 0);
        if (end == data.c_str() || *end != '\0' || value > 0xFFFFFFFFul) {
            std::cerr << "pennakey-rapi: a dword is a number\n";
            return 2;
        }
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<BYTE>(value >> shift));
        }
        kind = REG_DWORD;
    } else if (type == "binary") {
        for (size_t at = 0; at + 1 < data.size() + 1; at += 2) {
            if (at + 2 > data.size() || !std::isxdigit(data[at]) || !std::isxdigit(data[at + 1])) {
                std::cerr << "pennakey-rapi: binary data is pairs of hex digits\n";
                return 2;
            }
            bytes.push_back(static_cast<BYTE>(std::stoi(data.substr(at, 2), nullptr, 16)));
        }
        kind = REG_BINARY;
    } else {
        return Usage();
    }
    if (!SplitKey(keyPath, root, rest)) {
        std::cerr << "pennakey-rapi: " << keyPath << ": the key starts with HKCU or HKLM\n";
        return 1;
    }
    if (CeRegCreateKeyEx(root, rest.c_str(), 0, nullptr, 0, 0, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return Fail(keyPath);
    }
    const LONG result = CeRegSetValueEx(key, Wide(name).c_str(), 0, kind, bytes.data(),
                                        static_cast<DWORD>(bytes.size()));
    CeRegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        return Fail(keyPath + " " + name);
    }
    std::cout << "set " << keyPath << " " << name << "\n";
    return 0;
}

int Run(const std::vector<std::string> &words) {
    std::string arguments;
    for (size_t i = 1; i < words.size(); ++i) {
        arguments += (i > 1 ? " " : "") + words[i];
    }
    PROCESS_INFORMATION information = {};
    if (!CeCreateProcess(Wide(words[0]).c_str(), Wide(arguments).c_str(), nullptr, nullptr, FALSE,
                         0, nullptr, nullptr, nullptr, &information)) {
        return Fail(words[0]);
    }
    std::cout << "started " << words[0] << " (process " << information.dwProcessId << ")\n";
    return 0;
}

int Command(const std::vector<std::string> &words) {
    const std::string &command = words[0];
    const size_t count = words.size() - 1;
    if (command == "ls" && count == 1) {
        return List(words[1]);
    }
    if (command == "get" && count == 2) {
        return Get(words[1], words[2]);
    }
    if (command == "put" && count == 2) {
        return Put(words[1], words[2]);
    }
    if (command == "rm" && count == 1) {
        if (!CeDeleteFile(Wide(words[1]).c_str())) {
            return Fail(words[1]);
        }
        std::cout << "removed " << words[1] << "\n";
        return 0;
    }
    if (command == "mkdir" && count == 1) {
        if (!CeCreateDirectory(Wide(words[1]).c_str(), nullptr)) {
            return Fail(words[1]);
        }
        std::cout << "made " << words[1] << "\n";
        return 0;
    }
    if (command == "run" && count >= 1) {
        return Run(std::vector<std::string>(words.begin() + 1, words.end()));
    }
    if (command == "reg" && count >= 2 && words[1] == "get" && count <= 3) {
        return RegGet(words[2], count == 3 ? &words[3] : nullptr);
    }
    if (command == "reg" && count == 5 && words[1] == "set") {
        return RegSet(words[2], words[3], words[4], words[5]);
    }
    if (command == "windows" && count == 0) {
        std::string list;
        if (!DescribeDeviceWindows(list)) {
            return Fail("windows");
        }
        std::cout << list;
        return 0;
    }
    if (command == "store" && count == 0) {
        STORE_INFORMATION store;
        if (!CeGetStoreInformation(&store)) {
            return Fail("store");
        }
        std::cout << "store " << store.dwStoreSize << " bytes, " << store.dwFreeSize << " free\n";
        return 0;
    }
    return Usage();
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 4 || std::string(argv[1]) != "--device") {
        return Usage();
    }
    const std::string folder = argv[2];
    const int port = RapiPortOfDeviceFolder(folder);
    SetRapiPort(port);
    if (port == 0 || FAILED(CeRapiInit())) {
        std::cerr << "pennakey-rapi: no device is running from " << folder << "\n";
        return 1;
    }
    const int result = Command(std::vector<std::string>(argv + 3, argv + argc));
    CeRapiUninit();
    return result;
}
