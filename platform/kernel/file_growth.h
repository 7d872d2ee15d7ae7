// Growing a file the way Windows does: the blocks are reserved when the file is extended, so a
// full disk (or a file-size limit) fails the call that extends it with ERROR_DISK_FULL, rather
// than a later write through a mapping killing the process.
#ifndef PLATFORM_KERNEL_FILE_GROWTH_H
#define PLATFORM_KERNEL_FILE_GROWTH_H

#include <cstdint>

// Extends the open file from oldSize to newSize, zero-filled, with its blocks reserved. On
// failure the file keeps its old size and the last error is set.
bool GrowFile(int fd, uint64_t oldSize, uint64_t newSize);

#endif
