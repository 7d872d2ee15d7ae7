// The registry's keys and values in memory, and the text file that keeps them: registry.txt in
// the device folder, or in the desktop state folder while no device folder is set.
//
// The file is UTF-8, one line per key header and per value, sorted:
//
//   ; comment
//   [HKEY_CURRENT_USER\Software\Pennakey]
//   "Layout"="Deutsch (\"QWERTZ\")"
//   @="the default value"
//   "Size"=dword:0000002a
//   "Picture"=hex:01,02,ff
//   "Odd"=hex(1):41,00,42
//
// Quoted text escapes \\ \" \n \r \t and \uXXXX (one UTF-16 unit: other control characters and
// unpaired surrogates). A key name in a header is written bare, or quoted like a value name when
// it starts with '"' or holds a character that needs an escape. A REG_SZ value is written as
// text when its data is whole UTF-16 units ending in one NUL, a REG_DWORD as dword when it is
// four bytes; everything else is hex(type) with its exact bytes. Every file line ends in '\n'.
//
// A damaged file is read as far as it is sound: every well-formed line is kept, before and after
// a bad one, except the values under a header that could not be read (their key is unknown). The
// first problem is reported once on standard error; the next change rewrites the file cleanly.
#ifndef PLATFORM_KERNEL_REGISTRY_STORE_H
#define PLATFORM_KERNEL_REGISTRY_STORE_H

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

enum class RegistryRoot { CurrentUser, LocalMachine };

// A key: its root and the names on the way to it, as the caller spelled them.
struct RegistryKeyPath {
    RegistryRoot root = RegistryRoot::CurrentUser;
    std::vector<std::u16string> names;
};

struct RegistryValue {
    std::u16string name; // as created; empty for the default value
    DWORD type = REG_NONE;
    std::vector<BYTE> data; // REG_SZ as UTF-16LE bytes, as the W functions see them
};

struct RegistryKey {
    RegistryKeyPath path;
    std::map<std::u16string, RegistryValue> values; // by folded name
};

// Every key by its folded path; parents come before their children.
using RegistryTree = std::map<std::u16string, RegistryKey>;

// The file format on its own, for the store and for fuzzing. problem gets the first fault
// ("line N: what") or stays empty.
std::string RegistryText(const RegistryTree &tree);
RegistryTree RegistryFromText(std::string_view text, std::string &problem);

// The operations the Win32 functions need; each returns a Win32 error code. The store loads
// itself on first use and again whenever the registry file's place changes.
bool RegistryKeyExists(const RegistryKeyPath &key);
// Creates the missing keys on the way; created says whether the key itself is new.
LONG CreateRegistryKey(const RegistryKeyPath &key, bool &created);
LONG QueryRegistryValue(const RegistryKeyPath &key, std::u16string_view name, RegistryValue &value);
LONG SetRegistryValue(const RegistryKeyPath &key, std::u16string_view name, DWORD type,
                      std::vector<BYTE> data);
LONG DeleteRegistryValue(const RegistryKeyPath &key, std::u16string_view name);
// A key with its values and every key below it; a root cannot be deleted.
LONG DeleteRegistryKey(const RegistryKeyPath &key);
// What RegQueryInfoKey tells of a key: the keys directly below it and its values, lengths in
// characters without the NUL, sizes in bytes.
struct RegistryKeyCounts {
    DWORD subKeys = 0;
    DWORD longestSubKey = 0;
    DWORD values = 0;
    DWORD longestValueName = 0;
    DWORD largestValue = 0;
};
LONG DescribeRegistryKey(const RegistryKeyPath &key, RegistryKeyCounts &counts);

// Where the registry lives now; empty when there is nowhere to keep it (memory only).
std::string RegistryFilePath();
// Reads the registry file again, for a device that boots from its folder.
void ReloadRegistry();
// Writes the registry out now; changes are written as they happen, so this only matters for a
// damaged file that nothing has changed since.
void FlushRegistry();

#endif
