// Reading a whole file at once, for the loaders of pictures.
#ifndef PLATFORM_KERNEL_WHOLE_FILES_H
#define PLATFORM_KERNEL_WHOLE_FILES_H

#include <windows.h>

#include <cstddef>
#include <vector>

// Reads all of an open file, closing it. False for INVALID_HANDLE_VALUE (the error CreateFile set
// stays), and with ERROR_FILE_INVALID for a file above limit bytes or one that cannot be read.
bool ReadWholeFile(HANDLE file, size_t limit, std::vector<unsigned char> &bytes);

#endif
