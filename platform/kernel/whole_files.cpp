// Reading a whole file at once.
#include "kernel/whole_files.h"

bool ReadWholeFile(HANDLE file, size_t limit, std::vector<unsigned char> &bytes) {
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD sizeHigh = 0;
    const DWORD size = GetFileSize(file, &sizeHigh);
    std::vector<unsigned char> data;
    DWORD read = 0;
    const bool readable = size != INVALID_FILE_SIZE && sizeHigh == 0 && size <= limit;
    if (readable) {
        data.resize(size);
    }
    const bool complete =
        readable && ReadFile(file, data.data(), size, &read, nullptr) && read == size;
    CloseHandle(file);
    if (!complete) {
        SetLastError(ERROR_FILE_INVALID);
        return false;
    }
    bytes = std::move(data);
    return true;
}
