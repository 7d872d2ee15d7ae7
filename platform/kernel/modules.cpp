// Modules: shared objects loaded with dlopen. An HMODULE is the module's load address, as on
// Windows, which is also what the DLL's own start-up code hands its DllMain.
#include "kernel/scheduler.h"
#include "kernel/code_pages.h"
#include "kernel/host_paths.h"
#include "kernel/machine.h"
#include "kernel/module_resources.h"
#include "kernel/modules.h"

#include <dlfcn.h>
#include <link.h>

#include <cctype>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <strings.h>
#include <unistd.h>

namespace {

struct LoadedModule {
    void *handle;  // from dlopen
    int loadCount; // LoadLibrary calls not yet matched by FreeLibrary
};

// What the machine's programs have loaded; what they leave loaded goes with the machine, as a
// process's modules go with it.
struct ModuleTable : MachinePart {
    ~ModuleTable() override {
        for (const auto &[base, module] : modules) {
            dlclose(module.handle);
            ForgetUnloadedModuleResources(base);
        }
    }
    std::map<void *, LoadedModule> modules;
};

ModuleTable &Modules() {
    return MachineState<ModuleTable>();
}

// The load address of the module behind a dlopen handle: the start of its first mapping.
void *BaseOf(void *handle) {
    link_map *map = nullptr;
    Dl_info info;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr ||
        dladdr(map->l_ld, &info) == 0) {
        return nullptr;
    }
    return info.dli_fbase;
}

// Windows appends ".dll" to a last component without an extension; a trailing dot asks it not
// to append anything. Libraries on both machines are named ".dll" as on Windows, whatever the
// host keeps inside them.
std::string WithModuleExtension(std::string path) {
    const size_t slash = path.find_last_of('/');
    const size_t component = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < component) {
        return path + ".dll";
    }
    if (dot == path.size() - 1) {
        path.pop_back();
    }
    return path;
}

// Loads the file named exactly so: a bare name is searched for as the dynamic linker does.
HMODULE LoadFile(const std::string &file) {
    void *handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    void *base = BaseOf(handle);
    if (base == nullptr) {
        dlclose(handle);
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ModuleTable &table = Modules();
    LoadedModule &module = table.modules[base];
    if (module.loadCount > 0) {
        dlclose(module.handle); // the same object again: one dlopen reference serves every load
    }
    module.handle = handle;
    ++module.loadCount;
    return static_cast<HMODULE>(base);
}

HMODULE Load(const std::string &hostPath) {
    if (hostPath.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return LoadFile(WithModuleExtension(hostPath));
}

// Libraries a machine has from the start, as Windows has its system DLLs: the platform itself
// provides them. A bare name, in any case, with or without ".dll".
bool IsPlatformLibrary(std::string name) {
    for (char &c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dll") == 0) {
        name.resize(name.size() - 4);
    }
    return name == "rapi";
}

HMODULE LoadBare(const std::string &name) {
    if (IsPlatformLibrary(name)) {
        Dl_info self;
        if (dladdr(reinterpret_cast<void *>(&IsPlatformLibrary), &self) != 0 &&
            self.dli_fname != nullptr) {
            return LoadFile(self.dli_fname);
        }
    }
    return Load(name);
}

bool HasSeparator(const std::u16string &path) {
    return path.find_first_of(u"/\\") != std::u16string::npos;
}

// The host file of a module, or empty for an address that is not a module's load address.
std::string ModuleHostPath(HMODULE module) {
    if (module == nullptr) {
        char path[4096];
        const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
        return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
    }
    Dl_info info;
    if (dladdr(module, &info) == 0 || info.dli_fbase != static_cast<void *>(module)) {
        return std::string();
    }
    // The program itself is named by the link map with an empty name.
    void *program = dlopen(nullptr, RTLD_NOW);
    const bool isProgram = program != nullptr && BaseOf(program) == info.dli_fbase;
    if (program != nullptr) {
        dlclose(program);
    }
    if (isProgram || info.dli_fname == nullptr || info.dli_fname[0] == 0) {
        return ModuleHostPath(nullptr);
    }
    return info.dli_fname;
}

} // namespace

HMODULE HostExecutableModule() {
    static void *const host = [] {
        void *self = dlopen(nullptr, RTLD_NOW);
        void *base = self != nullptr ? BaseOf(self) : nullptr;
        if (self != nullptr) {
            dlclose(self);
        }
        return base;
    }();
    return static_cast<HMODULE>(host);
}

namespace {

// The module of the program itself: a device program's file, or the host's executable.
HMODULE ProgramModule() {
    const Program *program = CurrentProgram();
    if (program != nullptr && program->instance != nullptr) {
        return program->instance;
    }
    return HostExecutableModule();
}

struct ModuleSearch {
    std::string path;     // a host path to match exactly, or
    std::string fileName; // a file name to match without regard to ASCII case
    void *found = nullptr;
};

int MatchModule(dl_phdr_info *info, size_t, void *data) {
    auto &search = *static_cast<ModuleSearch *>(data);
    // The program itself has no name here.
    const std::string path = info->dlpi_name != nullptr && info->dlpi_name[0] != 0
                                 ? info->dlpi_name
                                 : ModuleHostPath(nullptr);
    bool match = false;
    if (!search.path.empty()) {
        std::error_code error;
        match = path == search.path || std::filesystem::equivalent(path, search.path, error);
    } else {
        const size_t slash = path.find_last_of('/');
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        match = strcasecmp(name.c_str(), search.fileName.c_str()) == 0;
    }
    for (int i = 0; match && i < info->dlpi_phnum; ++i) {
        if (info->dlpi_phdr[i].p_type == PT_LOAD) {
            Dl_info where;
            const auto address =
                reinterpret_cast<void *>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
            if (dladdr(address, &where) != 0) {
                search.found = where.dli_fbase;
            }
            break;
        }
    }
    return search.found != nullptr ? 1 : 0;
}

// A module already loaded, by its file name or its host path.
HMODULE FindLoadedModule(const std::string &name, bool bare) {
    ModuleSearch search;
    (bare ? search.fileName : search.path) = WithModuleExtension(name);
    dl_iterate_phdr(MatchModule, &search);
    if (search.found == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
    }
    return static_cast<HMODULE>(search.found);
}

// Copies a file name out with the Win32 rules: a short buffer gets as much as fits and a NUL,
// and the call returns the buffer size with ERROR_INSUFFICIENT_BUFFER.
template <typename Char>
DWORD CopyFileName(const std::basic_string<Char> &name, Char *buffer, DWORD size) {
    if (buffer == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (name.size() >= size) {
        std::memcpy(buffer, name.data(), (size - 1) * sizeof(Char));
        buffer[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::memcpy(buffer, name.data(), name.size() * sizeof(Char));
    buffer[name.size()] = 0;
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(name.size());
}

FARPROC Lookup(HMODULE module, const char *name) {
    // Names below 0x10000 are ordinals, which shared objects do not have.
    if (reinterpret_cast<uintptr_t>(name) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    void *symbol = nullptr;
    if (module == nullptr) {
        symbol = dlsym(RTLD_DEFAULT, name);
    } else {
        void *handle = nullptr;
        {
            ModuleTable &table = Modules();
            const auto found = table.modules.find(static_cast<void *>(module));
            if (found != table.modules.end()) {
                handle = found->second.handle;
            }
        }
        // A module loaded some other way (the platform itself, a library of the program).
        const std::string path = handle == nullptr ? ModuleHostPath(module) : std::string();
        void *other = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (handle == nullptr && other == nullptr) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        symbol = dlsym(handle != nullptr ? handle : other, name);
        if (other != nullptr) {
            dlclose(other);
        }
    }
    if (symbol == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

} // namespace

HMODULE LoadModuleFile(const std::string &hostPath) {
    if (hostPath.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return LoadFile(hostPath.find('/') == std::string::npos ? "./" + hostPath : hostPath);
}

extern "C" HMODULE WINAPI LoadLibraryA(LPCSTR name) {
    if (name == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // A bare name is left to the dynamic linker's search.
    const bool bare = std::strpbrk(name, "/\\") == nullptr;
    return bare ? LoadBare(Utf8FromWide(WideFromAnsi(name))) : Load(HostPathFromA(name));
}

extern "C" HMODULE WINAPI LoadLibraryW(LPCWSTR name) {
    if (name == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::u16string path = name;
    return HasSeparator(path) ? Load(HostPathFromW(name)) : LoadBare(Utf8FromWide(path));
}

extern "C" FARPROC WINAPI GetProcAddressA(HMODULE module, LPCSTR name) {
    return Lookup(module, name);
}

extern "C" FARPROC WINAPI GetProcAddressW(HMODULE module, LPCWSTR name) {
    if (reinterpret_cast<uintptr_t>(name) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    std::string ascii;
    for (const WCHAR *c = name; *c != 0; ++c) {
        if (*c >= 0x80) {
            SetLastError(ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
        ascii += static_cast<char>(*c);
    }
    return Lookup(module, ascii.c_str());
}

extern "C" BOOL WINAPI FreeLibrary(HMODULE module) {
    void *handle = nullptr;
    {
        ModuleTable &table = Modules();
        const auto found = table.modules.find(static_cast<void *>(module));
        if (found == table.modules.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (--found->second.loadCount == 0) {
            handle = found->second.handle;
            table.modules.erase(found);
        }
    }
    // Unloading runs the module's DllMain, which may call back into this table.
    if (handle != nullptr) {
        dlclose(handle);
        ForgetUnloadedModuleResources(static_cast<void *>(module));
    }
    return TRUE;
}

extern "C" DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR name, DWORD size) {
    const std::string path = ModuleHostPath(module);
    if (path.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    return CopyFileName(Win32PathFromHostA(path), name, size);
}

extern "C" DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR name, DWORD size) {
    const std::string path = ModuleHostPath(module);
    if (path.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    return CopyFileName(Win32PathFromHostW(path), name, size);
}

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    if (name == nullptr) {
        return ProgramModule();
    }
    const bool bare = std::strpbrk(name, "/\\") == nullptr;
    return FindLoadedModule(bare ? Utf8FromWide(WideFromAnsi(name)) : HostPathFromA(name), bare);
}

extern "C" HMODULE WINAPI GetModuleHandleW(LPCWSTR name) {
    if (name == nullptr) {
        return ProgramModule();
    }
    const std::u16string path = name;
    const bool bare = !HasSeparator(path);
    return FindLoadedModule(bare ? Utf8FromWide(path) : HostPathFromW(name), bare);
}
