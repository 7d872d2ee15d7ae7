#include "kernel/file_growth.h"

#include "kernel/device_identity.h"
#include "kernel/errors.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <vector>

namespace {

// Windows has no signal for a file grown past a limit: the call fails. So a write or an
// extension past the host's file-size limit fails with EFBIG here too, instead of ending the
// process.
[[maybe_unused]] const bool fileSizeSignalIgnored = [] {
    std::signal(SIGXFSZ, SIG_IGN);
    return true;
}();

// For file systems without fallocate: the zeros written out, which takes the blocks as surely.
int WriteZeros(int fd, uint64_t from, uint64_t to) {
    const std::vector<char> zeros(64 * 1024, 0);
    while (from < to) {
        const size_t chunk = static_cast<size_t>(std::min<uint64_t>(zeros.size(), to - from));
        const ssize_t wrote = pwrite(fd, zeros.data(), chunk, static_cast<off_t>(from));
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return wrote == 0 ? ENOSPC : errno;
        }
        from += static_cast<uint64_t>(wrote);
    }
    return 0;
}

} // namespace

bool GrowFile(int fd, uint64_t oldSize, uint64_t newSize) {
    if (newSize <= oldSize) {
        return true;
    }
    if (!StoreHasRoomFor(newSize - oldSize)) {
        return false;
    }
    int error =
        posix_fallocate(fd, static_cast<off_t>(oldSize), static_cast<off_t>(newSize - oldSize));
    if (error == EOPNOTSUPP || error == EINVAL) {
        error = WriteZeros(fd, oldSize, newSize);
    }
    if (error == 0) {
        return true;
    }
    if (ftruncate(fd, static_cast<off_t>(oldSize)) != 0) {
        // The file may keep some reserved zeros beyond its old end; what it held is untouched.
    }
    SetLastError(error == ENOSPC || error == EFBIG || error == EDQUOT ? ERROR_DISK_FULL
                                                                      : Win32ErrorFromErrno(error));
    return false;
}
