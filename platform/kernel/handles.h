// The kernel object table behind HANDLE values: files, file mappings and find searches.
// Every call validates its handle here, so a stale or made-up handle fails instead of crashing.
#ifndef PLATFORM_KERNEL_HANDLES_H
#define PLATFORM_KERNEL_HANDLES_H

#include <windows.h>

#include <initializer_list>
#include <memory>

enum class KernelObjectKind { File, Mapping, Search, Process, ChangeNotification };

struct KernelObject {
    virtual ~KernelObject() = default;
    virtual KernelObjectKind Kind() const = 0;
};

// A new handle for the object; handle values are not reused.
HANDLE AddKernelObject(std::shared_ptr<KernelObject> object);

// The object behind handle if it is of that kind; otherwise null, with ERROR_INVALID_HANDLE.
std::shared_ptr<KernelObject> FindKernelObject(HANDLE handle, KernelObjectKind kind);

template <typename Object> std::shared_ptr<Object> FindKernelObjectAs(HANDLE handle) {
    return std::static_pointer_cast<Object>(FindKernelObject(handle, Object::kind));
}

// Drops the handle if it is of one of those kinds; false, with ERROR_INVALID_HANDLE, otherwise.
// The object lives on while somebody still holds it.
bool RemoveKernelObject(HANDLE handle, std::initializer_list<KernelObjectKind> kinds);

#endif
