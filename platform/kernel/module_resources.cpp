// Resource tables: what modules register from their global initializers, and FindResource,
// LoadResource, SizeofResource and LockResource over it. A resource handle is the address of its
// table entry, its data handle the address of its bytes.
#include "kernel/module_resources.h"

#include "kernel/code_pages.h"

#include <dlfcn.h>

#include <algorithm>
#include <map>
#include <string>

namespace {

struct Table {
    const RESOURCE_ENTRY *entries;
    UINT count;
};

struct ModuleTables {
    std::string file; // the module's file, to tell it from a later one at the same address
    std::vector<Table> tables;
};

struct Registry {
    std::map<void *, ModuleTables> modules; // by load address
};

Registry &Modules() {
    static Registry registry;
    return registry;
}

struct Place {
    void *base = nullptr;
    std::string file;
};

// The module that holds address, if any.
Place PlaceOf(const void *address) {
    Dl_info info;
    if (dladdr(address, &info) == 0 || info.dli_fbase == nullptr) {
        return Place{};
    }
    return Place{info.dli_fbase, info.dli_fname != nullptr ? info.dli_fname : ""};
}

// Whether every table of module is still in the module it was registered from.
bool StillLoaded(void *base, const ModuleTables &module) {
    return std::all_of(module.tables.begin(), module.tables.end(), [&](const Table &table) {
        const Place place = PlaceOf(table.entries);
        return place.base == base && place.file == module.file;
    });
}

// The tables of module, dropped first if the module has gone some way other than FreeLibrary.
const std::vector<Table> *LiveTables(Registry &registry, void *base) {
    const auto found = registry.modules.find(base);
    if (found == registry.modules.end()) {
        return nullptr;
    }
    if (!StillLoaded(base, found->second)) {
        registry.modules.erase(found);
        return nullptr;
    }
    return &found->second.tables;
}

// A type or name as compared: an id, or a string without regard to case.
struct Name {
    bool isId = false;
    unsigned id = 0;
    LPCWSTR text = nullptr;
};

Name NameOf(LPCWSTR name) {
    Name result;
    if (IS_INTRESOURCE(name)) {
        result.isId = true;
        result.id = static_cast<unsigned>(reinterpret_cast<uintptr_t>(name));
        return result;
    }
    // "#123" is the id 123.
    if (name[0] == u'#' && name[1] != 0) {
        unsigned value = 0;
        const WCHAR *c = name + 1;
        for (; *c >= u'0' && *c <= u'9' && value <= 0xFFFF; ++c) {
            value = value * 10 + static_cast<unsigned>(*c - u'0');
        }
        if (*c == 0 && value <= 0xFFFF) {
            result.isId = true;
            result.id = value;
            return result;
        }
    }
    result.text = name;
    return result;
}

bool Same(const Name &a, const Name &b) {
    if (a.isId != b.isId) {
        return false;
    }
    return a.isId ? a.id == b.id : _wcsicmp(a.text, b.text) == 0;
}

bool Before(const Name &a, const Name &b) {
    if (a.isId != b.isId) {
        return !a.isId;
    }
    return a.isId ? a.id < b.id : _wcsicmp(a.text, b.text) < 0;
}

void *ModuleOrProgram(HMODULE module) {
    return module != nullptr ? static_cast<void *>(module)
                             : static_cast<void *>(GetModuleHandleW(nullptr));
}

// The entry behind a resource handle if it is one of module's, or any module's for NULL.
const RESOURCE_ENTRY *EntryOf(HMODULE module, HRSRC resource) {
    const auto address = reinterpret_cast<uintptr_t>(resource);
    Registry &registry = Modules();
    for (const auto &[base, tables] : registry.modules) {
        if (module != nullptr && base != static_cast<void *>(module)) {
            continue;
        }
        for (const Table &table : tables.tables) {
            const auto first = reinterpret_cast<uintptr_t>(table.entries);
            const uintptr_t offset = address - first;
            if (address >= first && offset / sizeof(RESOURCE_ENTRY) < table.count &&
                offset % sizeof(RESOURCE_ENTRY) == 0 && StillLoaded(base, tables)) {
                return table.entries + offset / sizeof(RESOURCE_ENTRY);
            }
        }
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

// What LoadResource gives for a resource of no bytes, which is not a failure.
const unsigned char noBytes[1] = {0};

// The first entry of module (NULL: the program) with that type and name, or null with the error
// FindResource sets.
const RESOURCE_ENTRY *FindEntry(HMODULE module, LPCWSTR type, LPCWSTR name) {
    if (type == nullptr || name == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const Name wantedType = NameOf(type);
    const Name wantedName = NameOf(name);
    void *base = ModuleOrProgram(module);
    Registry &registry = Modules();
    const std::vector<Table> *tables = LiveTables(registry, base);
    if (tables == nullptr) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    bool typeFound = false;
    for (const Table &table : *tables) {
        for (UINT i = 0; i < table.count; ++i) {
            const RESOURCE_ENTRY &entry = table.entries[i];
            if (Same(NameOf(entry.type), wantedType)) {
                typeFound = true;
                if (Same(NameOf(entry.name), wantedName)) {
                    return &entry;
                }
            }
        }
    }
    SetLastError(typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

} // namespace

bool FindModuleResource(HMODULE module, LPCWSTR type, LPCWSTR name, ResourceBytes &out) {
    const RESOURCE_ENTRY *entry = FindEntry(module, type, name);
    if (entry == nullptr) {
        return false;
    }
    out.data = entry->size > 0 ? static_cast<const unsigned char *>(entry->data) : noBytes;
    out.size = entry->size;
    return true;
}

std::vector<const RESOURCE_ENTRY *> ModuleResourcesOfType(HMODULE module, LPCWSTR type) {
    std::vector<const RESOURCE_ENTRY *> found;
    if (type == nullptr) {
        return found;
    }
    const Name wanted = NameOf(type);
    void *base = ModuleOrProgram(module);
    Registry &registry = Modules();
    const std::vector<Table> *tables = LiveTables(registry, base);
    if (tables == nullptr) {
        return found;
    }
    for (const Table &table : *tables) {
        for (UINT i = 0; i < table.count; ++i) {
            const RESOURCE_ENTRY &entry = table.entries[i];
            // A name given twice is the first entry's, as FindResource finds it.
            const bool known = std::any_of(found.begin(), found.end(), [&](const auto *other) {
                return Same(NameOf(other->name), NameOf(entry.name));
            });
            if (Same(NameOf(entry.type), wanted) && !known) {
                found.push_back(&entry);
            }
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const auto *a, const auto *b) {
        return Before(NameOf(a->name), NameOf(b->name));
    });
    return found;
}

WideResourceName::WideResourceName(LPCSTR name) {
    if (IS_INTRESOURCE(name)) {
        isId_ = true;
        id_ = reinterpret_cast<LPCWSTR>(name);
    } else {
        text_ = WideFromAnsi(name);
    }
}

void ForgetUnloadedModuleResources(void *base) {
    Registry &registry = Modules();
    LiveTables(registry, base);
}

extern "C" BOOL WINAPI RegisterModuleResources(const RESOURCE_ENTRY *entries, UINT count) {
    if (entries == nullptr || count == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (UINT i = 0; i < count; ++i) {
        const RESOURCE_ENTRY &entry = entries[i];
        if (entry.type == nullptr || entry.name == nullptr ||
            (entry.data == nullptr && entry.size > 0)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    }
    const Place place = PlaceOf(entries);
    if (place.base == nullptr || PlaceOf(entries + count - 1).base != place.base) {
        SetLastError(ERROR_INVALID_ADDRESS);
        return FALSE;
    }
    Registry &registry = Modules();
    ModuleTables &module = registry.modules[place.base];
    // Tables of a module that went without FreeLibrary and left its address to this one.
    if (!StillLoaded(place.base, module)) {
        module.tables.clear();
    }
    module.file = place.file;
    const bool known = std::any_of(module.tables.begin(), module.tables.end(),
                                   [&](const Table &table) { return table.entries == entries; });
    if (!known) {
        module.tables.push_back(Table{entries, count});
    }
    return TRUE;
}

extern "C" HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    return reinterpret_cast<HRSRC>(const_cast<RESOURCE_ENTRY *>(FindEntry(module, type, name)));
}

extern "C" HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    return FindResourceW(module, WideResourceName(name).Get(), WideResourceName(type).Get());
}

extern "C" HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource) {
    const RESOURCE_ENTRY *entry = EntryOf(module, resource);
    if (entry == nullptr) {
        return nullptr;
    }
    return const_cast<void *>(entry->size > 0 ? entry->data : static_cast<const void *>(noBytes));
}

extern "C" DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource) {
    const RESOURCE_ENTRY *entry = EntryOf(module, resource);
    return entry != nullptr ? entry->size : 0;
}

extern "C" LPVOID WINAPI LockResource(HGLOBAL data) {
    return data;
}

// Resources stay as long as their module does; there is nothing to free.
extern "C" BOOL WINAPI FreeResource(HGLOBAL) {
    return FALSE;
}
