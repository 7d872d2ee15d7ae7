// The local heap is the run-time heap, so memory from LocalAlloc, malloc and _wcsdup may be
// released by either family, as programs ported from Windows CE sometimes do.
#include <windows.h>

#include <cstdlib>

extern "C" HLOCAL WINAPI LocalAlloc(UINT flags, SIZE_T bytes) {
    // A zero-byte request still yields a distinct block, as on Windows.
    const size_t size = bytes == 0 ? 1 : bytes;
    void *memory = (flags & LMEM_ZEROINIT) ? std::calloc(1, size) : std::malloc(size);
    if (memory == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return memory;
}

extern "C" HLOCAL WINAPI LocalFree(HLOCAL memory) {
    std::free(memory);
    return nullptr;
}
