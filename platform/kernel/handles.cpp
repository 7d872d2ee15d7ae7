// Handle values count up in steps of four, as Windows hands them out, and are never reused
// within a run, so a stale handle cannot reach a newer object.
#include "kernel/handles.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace {

struct HandleTable {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> objects;
    uintptr_t next = 0x100;
};

HandleTable &Table() {
    static HandleTable table;
    return table;
}

} // namespace

HANDLE AddKernelObject(std::shared_ptr<KernelObject> object) {
    HandleTable &table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    const uintptr_t value = table.next;
    table.next += 4;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> FindKernelObject(HANDLE handle, KernelObjectKind kind) {
    HandleTable &table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (found == table.objects.end() || found->second->Kind() != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return found->second;
}

bool RemoveKernelObject(HANDLE handle, std::initializer_list<KernelObjectKind> kinds) {
    std::shared_ptr<KernelObject> removed; // released after the lock, in case it closes files
    HandleTable &table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (found == table.objects.end() ||
        std::find(kinds.begin(), kinds.end(), found->second->Kind()) == kinds.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    removed = std::move(found->second);
    table.objects.erase(found);
    return true;
}

extern "C" BOOL WINAPI CloseHandle(HANDLE object) {
    // Searches end with FindClose, as on Windows.
    return RemoveKernelObject(object, {KernelObjectKind::File, KernelObjectKind::Mapping,
                                       KernelObjectKind::Process})
               ? TRUE
               : FALSE;
}
