// The installation data of a Windows CE cabinet, its ".000" member: read with every offset,
// length and count checked against the manifest's own length, and written back in the same form.
#ifndef PLATFORM_INSTALL_CAB_MANIFEST_H
#define PLATFORM_INSTALL_CAB_MANIFEST_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ManifestString {
    uint16_t id = 0;
    std::string text;
};

// A path: the strings of its ids joined with "\"; the first may be "%CEn%" or "%InstallDir%".
struct ManifestDirectory {
    uint16_t id = 0;
    std::vector<uint16_t> stringIds;
};

// Installed from the member whose extension is its number.
struct ManifestFile {
    uint16_t number = 0;
    uint16_t directoryId = 0;
    uint16_t unknown = 0; // usually the number again; kept as read
    uint32_t flags = 0;
    std::string name;
};

struct ManifestHive {
    uint16_t id = 0;
    uint16_t root = 0; // 1 classes root, 2 current user, 3 local machine, 4 users
    std::vector<uint16_t> stringIds;
};

struct ManifestValue {
    uint16_t id = 0;
    uint16_t hiveId = 0;
    uint16_t substitute = 0; // 1: %InstallDir% and %CEn% are replaced in the data
    uint32_t typeAndFlags = 0;
    std::string name; // empty for the key's default value
    std::string data; // as stored: a string's or strings' NULs included
};

struct ManifestLink {
    uint16_t id = 0;
    uint16_t baseDirectory = 0; // 0 the installation directory, 1..17 %CEn%
    uint16_t targetId = 0;      // a file number, or a directory id (0 the installation directory)
    uint16_t targetKind = 0;    // 0 directory, 1 file
    std::vector<uint16_t> stringIds;
};

struct CabManifest {
    uint32_t processor = 0;
    uint32_t minimumMajor = 0, minimumMinor = 0, maximumMajor = 0, maximumMinor = 0;
    uint32_t minimumBuild = 0, maximumBuild = 0;
    std::string appName;
    std::string provider;
    std::vector<std::string> unsupported;
    std::vector<ManifestString> strings;
    std::vector<ManifestDirectory> directories;
    std::vector<ManifestFile> files;
    std::vector<ManifestHive> hives;
    std::vector<ManifestValue> values;
    std::vector<ManifestLink> links;
};

// Flags of a FILES entry and types of a REGKEYS entry.
constexpr uint32_t manifestFileAlwaysOverwrite = 0x40000000;
constexpr uint32_t manifestFileNeverOverwrite = 0x00000010;
constexpr uint32_t manifestFileOnlyOverExisting = 0x00000400;
constexpr uint32_t manifestValueString = 0x00000000;
constexpr uint32_t manifestValueDword = 0x00010001;
constexpr uint32_t manifestValueMultiString = 0x00010000;
constexpr uint32_t manifestValueBinary = 0x00000001;
constexpr uint32_t manifestValueNoClobber = 0x00000002;

// False with the reason in problem when the bytes are no manifest, or one that points outside
// itself. Bytes past the length the header gives are not part of it.
bool ReadCabManifest(const uint8_t *bytes, size_t size, CabManifest &manifest,
                     std::string &problem);
// Header, names and sections in the usual order; texts longer than a 16-bit length can tell are
// cut to fit.
std::vector<uint8_t> WriteCabManifest(const CabManifest &manifest);

#endif
