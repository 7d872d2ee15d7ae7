// An open file behind a file HANDLE.
#ifndef PLATFORM_KERNEL_FILE_OBJECT_H
#define PLATFORM_KERNEL_FILE_OBJECT_H

#include "kernel/handles.h"

#include <unistd.h>

struct FileObject : KernelObject {
    static const KernelObjectKind kind = KernelObjectKind::File;

    FileObject(int descriptor, bool readable, bool writable)
        : fd(descriptor), canRead(readable), canWrite(writable) {}
    ~FileObject() override {
        close(fd);
    }
    FileObject(const FileObject &) = delete;
    FileObject &operator=(const FileObject &) = delete;

    KernelObjectKind Kind() const override {
        return kind;
    }

    const int fd;
    const bool canRead;
    const bool canWrite;
};

#endif
