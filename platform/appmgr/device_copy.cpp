// The copy: the PC's file read a piece at a time, each piece written to the device before the next
// is read.
#include "appmgr/device_copy.h"

#include <rapi.h>

#include <algorithm>

namespace {

// Well inside one message of the cable, and few enough for the progress to move.
const DWORD pieceBytes = 64 * 1024;

std::string NameOf(const std::string &path) {
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

} // namespace

DeviceFileCopy::~DeviceFileCopy() {
    if (!finished_) {
        Abandon();
    }
}

// Why the device refused, or that the cable went.
std::string DeviceFileCopy::DeviceProblem() const {
    if (FAILED(CeRapiGetError())) {
        return "The connection to the device was lost while " + name_ + " was being copied.";
    }
    const DWORD error = CeGetLastError();
    if (error == ERROR_DISK_FULL) {
        return "There is not enough room on the device for " + name_ + ".";
    }
    return name_ + " could not be written on the device (error " + std::to_string(error) + ").";
}

bool DeviceFileCopy::Start(const std::string &pcPath, const std::u16string &devicePath,
                           std::string &problem) {
    name_ = NameOf(pcPath);
    devicePath_ = devicePath;
    source_ = CreateFileA(pcPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source_ == INVALID_HANDLE_VALUE) {
        problem = name_ + " cannot be read on this computer.";
        return false;
    }
    size_ = GetFileSize(source_, nullptr);
    target_ = CeCreateFile(devicePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target_ == INVALID_HANDLE_VALUE) {
        problem = DeviceProblem();
        CloseHandle(source_);
        source_ = INVALID_HANDLE_VALUE;
        return false;
    }
    made_ = true;
    piece_.resize(pieceBytes);
    return true;
}

bool DeviceFileCopy::Next(std::string &problem) {
    if (finished_ || source_ == INVALID_HANDLE_VALUE || target_ == INVALID_HANDLE_VALUE) {
        return finished_;
    }
    DWORD read = 0;
    if (!ReadFile(source_, piece_.data(), pieceBytes, &read, nullptr)) {
        problem = name_ + " cannot be read on this computer.";
        Abandon();
        return false;
    }
    DWORD written = 0;
    if (read > 0 &&
        (!CeWriteFile(target_, piece_.data(), read, &written, nullptr) || written != read)) {
        problem = DeviceProblem();
        Abandon();
        return false;
    }
    copied_ += read;
    if (read < pieceBytes) {
        CloseHandle(source_);
        source_ = INVALID_HANDLE_VALUE;
        const BOOL closed = CeCloseHandle(target_);
        target_ = INVALID_HANDLE_VALUE;
        if (!closed) {
            problem = DeviceProblem();
            Abandon();
            return false;
        }
        finished_ = true;
        made_ = false;
    }
    return true;
}

int DeviceFileCopy::Percent() const {
    if (finished_ || size_ == 0 || size_ == INVALID_FILE_SIZE) {
        return finished_ ? 100 : 0;
    }
    return static_cast<int>(std::min<unsigned long long>(copied_ * 100 / size_, 99));
}

// What is open is closed and the device's file deleted: a cabinet cut short would only be refused
// there. Without the cable the device has closed the file itself.
void DeviceFileCopy::Abandon() {
    if (source_ != INVALID_HANDLE_VALUE) {
        CloseHandle(source_);
        source_ = INVALID_HANDLE_VALUE;
    }
    if (target_ != INVALID_HANDLE_VALUE) {
        CeCloseHandle(target_);
        target_ = INVALID_HANDLE_VALUE;
    }
    if (made_ && SUCCEEDED(CeRapiGetError())) {
        CeDeleteFile(devicePath_.c_str());
    }
    made_ = false;
}
