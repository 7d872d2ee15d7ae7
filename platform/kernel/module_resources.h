// The resource tables modules register (resource_tables.h), for the loaders of bitmaps and icons.
#ifndef PLATFORM_KERNEL_MODULE_RESOURCES_H
#define PLATFORM_KERNEL_MODULE_RESOURCES_H

#include <resource_tables.h>

#include <string>
#include <vector>

// The resource types the platform loads, wide whatever UNICODE says.
inline LPCWSTR BitmapResourceType() {
    return MAKEINTRESOURCEW(2);
}
inline LPCWSTR GroupIconResourceType() {
    return MAKEINTRESOURCEW(14);
}

// A resource's bytes, valid while its module stays loaded.
struct ResourceBytes {
    const unsigned char *data = nullptr;
    size_t size = 0;
};

// The resource of module (NULL: the calling program's) with that type and name; false with
// ERROR_RESOURCE_DATA_NOT_FOUND, _TYPE_NOT_FOUND or _NAME_NOT_FOUND as FindResource sets them.
bool FindModuleResource(HMODULE module, LPCWSTR type, LPCWSTR name, ResourceBytes &out);

// Every resource of that type in module, in the order Windows lists them: string names
// alphabetically (without regard to case), then ids from the lowest.
std::vector<const RESOURCE_ENTRY *> ModuleResourcesOfType(HMODULE module, LPCWSTR type);

// A name as the A functions take it, made wide: ids stay ids.
class WideResourceName {
  public:
    explicit WideResourceName(LPCSTR name);
    LPCWSTR Get() const {
        return isId_ ? id_ : text_.c_str();
    }

  private:
    bool isId_ = false; // NULL included
    LPCWSTR id_ = nullptr;
    std::u16string text_;
};

// Drops the tables of the module that was loaded at base if it is no longer there; FreeLibrary
// calls it once the module may be gone.
void ForgetUnloadedModuleResources(void *base);

#endif
