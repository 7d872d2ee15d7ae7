// The copy: the PC's file read a piece at a time, each piece written to the device before the next
// is read.
#include "appmgr/device_copy.h"

#include <rapi.h>

#include <algorithm>
#include <vector>

namespace {

// Well inside one message of the cable, and few enough for the progress to move.
const DWORD pieceBytes = 64 * 1024;

std::string NameOf(const std::string &path) {
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// Why the device refused, or that the cable went.
std::string DeviceProblem(const std::string &name) {
    if (FAILED(CeRapiGetError())) {
        return "The connection to the device was lost while " + name + " was being copied.";
    }
    const DWORD error = CeGetLastError();
    if (error == ERROR_DISK_FULL) {
        return "There is not enough room on the device for " + name + ".";
    }
    return name + " could not be written on the device (error " + std::to_string(error) + ").";
}

} // namespace

bool CopyFileToDevice(const std::string &pcPath, const std::u16string &devicePath,
                      const CopyProgress &progress, std::string &problem) {
    const std::string name = NameOf(pcPath);
    HANDLE source = CreateFileA(pcPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source == INVALID_HANDLE_VALUE) {
        problem = name + " cannot be read on this computer.";
        return false;
    }
    const DWORD size = GetFileSize(source, nullptr);
    HANDLE target = CeCreateFile(devicePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target == INVALID_HANDLE_VALUE) {
        problem = DeviceProblem(name);
        CloseHandle(source);
        return false;
    }
    std::vector<char> piece(pieceBytes);
    unsigned long long copied = 0;
    bool failed = false;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(source, piece.data(), pieceBytes, &read, nullptr)) {
            problem = name + " cannot be read on this computer.";
            failed = true;
            break;
        }
        if (read == 0) {
            break;
        }
        DWORD written = 0;
        if (!CeWriteFile(target, piece.data(), read, &written, nullptr) || written != read) {
            problem = DeviceProblem(name);
            failed = true;
            break;
        }
        copied += read;
        if (progress) {
            const bool sized = size != 0 && size != INVALID_FILE_SIZE;
            progress(sized
                         ? static_cast<int>(std::min<unsigned long long>(copied * 100 / size, 100))
                         : 100);
        }
    }
    CloseHandle(source);
    if (!CeCloseHandle(target) && !failed) {
        problem = DeviceProblem(name);
        failed = true;
    }
    if (failed) {
        CeDeleteFile(devicePath.c_str()); // a cabinet cut short would only be refused there
        return false;
    }
    return true;
}
