// The machine's kernel objects behind HANDLE values.
#include "kernel/handles.h"

#include "kernel/handle_table.h"
#include "kernel/machine.h"

#include <algorithm>

namespace {

HandleSeries kernelHandles{0x100};

struct KernelHandles : MachinePart {
    HandleTable<KernelObject> table{kernelHandles};
};

HandleTable<KernelObject> &Table() {
    return MachineState<KernelHandles>().table;
}

} // namespace

HANDLE AddKernelObject(std::shared_ptr<KernelObject> object) {
    return Table().Add(std::move(object));
}

std::shared_ptr<KernelObject> FindKernelObject(HANDLE handle, KernelObjectKind kind) {
    std::shared_ptr<KernelObject> found = Table().Find(handle);
    if (found == nullptr || found->Kind() != kind) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return found;
}

bool RemoveKernelObject(HANDLE handle, std::initializer_list<KernelObjectKind> kinds) {
    const std::shared_ptr<KernelObject> found = Table().Find(handle);
    if (found == nullptr || std::find(kinds.begin(), kinds.end(), found->Kind()) == kinds.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    Table().Remove(handle);
    return true;
}

extern "C" BOOL WINAPI CloseHandle(HANDLE object) {
    // Searches end with FindClose, as on Windows.
    return RemoveKernelObject(object, {KernelObjectKind::File, KernelObjectKind::Mapping,
                                       KernelObjectKind::Process})
               ? TRUE
               : FALSE;
}
