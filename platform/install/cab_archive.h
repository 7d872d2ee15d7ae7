// Microsoft Cabinet files, through libgcab: the members of a Windows CE installation package.
#ifndef PLATFORM_INSTALL_CAB_ARCHIVE_H
#define PLATFORM_INSTALL_CAB_ARCHIVE_H

#include <cstdint>
#include <string>
#include <vector>

struct CabMember {
    std::string name; // 8.3: up to eight characters, a dot, the three-digit file number
    std::vector<uint8_t> bytes;
};

// One folder without compression, the members in the order given. False with the reason.
bool WriteCabinet(const std::string &path, const std::vector<CabMember> &members,
                  std::string &error);
// Every member with its bytes, in the cabinet's order. False with the reason for a file that is
// no cabinet, or one cut short.
bool ReadCabinet(const std::string &path, std::vector<CabMember> &members, std::string &error);

#endif
