// Copying a file of the PC onto the connected device over the cable, a piece at a time, so that
// each piece can wait for its turn.
#ifndef PLATFORM_APPMGR_DEVICE_COPY_H
#define PLATFORM_APPMGR_DEVICE_COPY_H

#include <windows.h>

#include <string>
#include <vector>

class DeviceFileCopy {
  public:
    // A copy not finished is abandoned: nothing half written stays on the device.
    ~DeviceFileCopy();

    // Opens the PC's file, and the device's file over whatever is there. False, with the problem
    // as a sentence for the user, when either cannot be opened.
    bool Start(const std::string &pcPath, const std::u16string &devicePath, std::string &problem);
    // Copies the next piece, and closes both files after the last. False, with the problem, when
    // the copy fails; it is then abandoned.
    bool Next(std::string &problem);
    bool Finished() const {
        return finished_;
    }
    // The share copied, from 0 to 100.
    int Percent() const;

  private:
    void Abandon();
    std::string DeviceProblem() const;

    std::string name_; // the file's name, for what the user is told
    std::u16string devicePath_;
    HANDLE source_ = INVALID_HANDLE_VALUE;
    HANDLE target_ = INVALID_HANDLE_VALUE;
    DWORD size_ = 0;
    unsigned long long copied_ = 0;
    bool finished_ = false;
    bool made_ = false; // the device's file is there and not yet whole
    std::vector<char> piece_;
};

#endif
