// File mappings and their views, over mmap. A mapping holds its own descriptor of the file, and a
// view stays valid after the handles of its mapping and file are closed, as on Windows.
#include "kernel/errors.h"
#include "kernel/file_growth.h"
#include "kernel/file_object.h"
#include "kernel/machine.h"

#include <fcntl.h>
#include <map>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct MappingObject : KernelObject {
    static const KernelObjectKind kind = KernelObjectKind::Mapping;

    MappingObject(int descriptor, uint64_t bytes, bool canWrite)
        : fd(descriptor), size(bytes), writable(canWrite) {}
    ~MappingObject() override {
        close(fd);
    }
    MappingObject(const MappingObject &) = delete;
    MappingObject &operator=(const MappingObject &) = delete;

    KernelObjectKind Kind() const override {
        return kind;
    }

    const int fd;
    const uint64_t size;
    const bool writable;
};

// A view is known by the address handed out, which need not be page-aligned.
struct View {
    void *base;
    size_t length;
};

// Views still mapped when the machine goes are unmapped with it.
struct ViewTable : MachinePart {
    ~ViewTable() override {
        for (const auto &[address, view] : views) {
            munmap(view.base, view.length);
        }
    }
    std::map<const void *, View> views;
};

ViewTable &Views() {
    return MachineState<ViewTable>();
}

// The descriptor and size behind a new mapping, or -1 with the last error set.
int MappingDescriptor(HANDLE file, bool writable, uint64_t &size) {
    if (file == INVALID_HANDLE_VALUE) {
        // Backed by memory alone, like a mapping of the paging file.
        if (size == 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return -1;
        }
        const int fd = memfd_create("mapping", MFD_CLOEXEC);
        if (fd < 0 || ftruncate(fd, static_cast<off_t>(size)) != 0) {
            SetLastErrorFromErrno();
            if (fd >= 0) {
                close(fd);
            }
            return -1;
        }
        return fd;
    }
    const auto object = FindKernelObjectAs<FileObject>(file);
    if (!object) {
        return -1;
    }
    if (!object->canRead || (writable && !object->canWrite)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return -1;
    }
    struct stat status;
    if (fstat(object->fd, &status) != 0) {
        SetLastErrorFromErrno();
        return -1;
    }
    const uint64_t fileSize = static_cast<uint64_t>(status.st_size);
    if (size == 0) {
        if (fileSize == 0) {
            SetLastError(ERROR_FILE_INVALID);
            return -1;
        }
        size = fileSize;
    } else if (size > fileSize) {
        // A writable mapping larger than its file grows the file, with zeros.
        if (!writable) {
            SetLastError(ERROR_ACCESS_DENIED);
            return -1;
        }
        if (!GrowFile(object->fd, fileSize, size)) {
            return -1;
        }
    }
    const int fd = fcntl(object->fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        SetLastErrorFromErrno();
    }
    return fd;
}

HANDLE CreateMapping(HANDLE file, DWORD protect, DWORD sizeHigh, DWORD sizeLow) {
    const DWORD pageProtection = protect & 0xFF;
    if (pageProtection != PAGE_READONLY && pageProtection != PAGE_READWRITE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const bool writable = pageProtection == PAGE_READWRITE;
    uint64_t size = (static_cast<uint64_t>(sizeHigh) << 32) | sizeLow;
    const int fd = MappingDescriptor(file, writable, size);
    if (fd < 0) {
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS);
    return AddKernelObject(std::make_shared<MappingObject>(fd, size, writable));
}

} // namespace

// Mapping names are accepted and ignored: no two programs here share a mapping by name.
extern "C" HANDLE WINAPI CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect,
                                            DWORD sizeHigh, DWORD sizeLow, LPCSTR) {
    return CreateMapping(file, protect, sizeHigh, sizeLow);
}

extern "C" HANDLE WINAPI CreateFileMappingW(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect,
                                            DWORD sizeHigh, DWORD sizeLow, LPCWSTR) {
    return CreateMapping(file, protect, sizeHigh, sizeLow);
}

extern "C" LPVOID WINAPI MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh,
                                       DWORD offsetLow, SIZE_T bytes) {
    const auto object = FindKernelObjectAs<MappingObject>(mapping);
    if (!object) {
        return nullptr;
    }
    const bool write = (access & FILE_MAP_WRITE) != 0;
    if (!write && (access & FILE_MAP_READ) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (write && !object->writable) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    const uint64_t offset = (static_cast<uint64_t>(offsetHigh) << 32) | offsetLow;
    if (offset >= object->size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const uint64_t length = bytes == 0 ? object->size - offset : bytes;
    if (length > object->size - offset) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    // The host maps whole pages: start at the page holding the offset.
    const uint64_t page = static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
    const uint64_t delta = offset % page;
    const size_t mapped = static_cast<size_t>(length + delta);
    void *base = mmap(nullptr, mapped, write ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED,
                      object->fd, static_cast<off_t>(offset - delta));
    if (base == MAP_FAILED) {
        SetLastErrorFromErrno();
        return nullptr;
    }
    void *view = static_cast<char *>(base) + delta;
    Views().views[view] = View{base, mapped};
    return view;
}

extern "C" BOOL WINAPI UnmapViewOfFile(LPCVOID view) {
    ViewTable &table = Views();
    const auto found = table.views.find(view);
    if (found == table.views.end()) {
        SetLastError(ERROR_INVALID_ADDRESS);
        return FALSE;
    }
    munmap(found->second.base, found->second.length);
    table.views.erase(found);
    return TRUE;
}
