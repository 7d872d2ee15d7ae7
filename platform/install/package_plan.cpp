// Resolving a package's manifest into paths, keys and data on this device.
#include "install/package_plan.h"

#include "kernel/code_pages.h"

#include <map>

namespace {

const char16_t installDirVariable[] = u"%InstallDir%";

struct StandardFolderName {
    int number;
    const char16_t *pocketPC;
    const char16_t *handheldPC;
};

const StandardFolderName standardFolders[] = {
    {1, u"\\Program Files", u"\\Program Files"},
    {2, u"\\Windows", u"\\Windows"},
    {3, nullptr, u"\\Windows\\Desktop"},
    {4, u"\\Windows\\StartUp", u"\\Windows\\StartUp"},
    {5, u"\\My Documents", u"\\My Documents"},
    {11, u"\\Windows\\Start Menu\\Programs", u"\\Windows\\Programs"},
    {15, u"\\Windows\\Fonts", u"\\Windows\\Fonts"},
    {16, nullptr, u"\\Windows\\Recent"},
    {17, u"\\Windows\\Start Menu", u"\\Windows\\Favorites"},
};

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (towupper(a[i]) != towupper(b[i])) {
            return false;
        }
    }
    return true;
}

// The n of a "%CEn%" text, or 0.
int StandardFolderNumber(std::u16string_view text) {
    if (text.size() < 5 || text.size() > 6 || !EqualIgnoringCase(text.substr(0, 3), u"%CE") ||
        text.back() != u'%') {
        return 0;
    }
    int number = 0;
    for (char16_t c : text.substr(3, text.size() - 4)) {
        if (c < u'0' || c > u'9') {
            return 0;
        }
        number = number * 10 + (c - u'0');
    }
    return number;
}

// The manifest's strings by id, as the device's text.
using StringTable = std::map<uint16_t, std::u16string>;

// The strings of ids joined with '\', each checked to be plain names; the first may be a folder
// variable, which `first` gets (empty when it is a plain name).
bool JoinNames(const StringTable &strings, const std::vector<uint16_t> &ids, std::u16string &first,
               std::u16string &rest) {
    first.clear();
    rest.clear();
    for (size_t i = 0; i < ids.size(); ++i) {
        const auto found = strings.find(ids[i]);
        if (found == strings.end()) {
            return false;
        }
        const std::u16string &text = found->second;
        if (i == 0 && (EqualIgnoringCase(text, installDirVariable) || StandardFolderNumber(text))) {
            first = text;
            continue;
        }
        // A string may itself hold several names.
        for (size_t start = 0;;) {
            const size_t end = std::min(text.find(u'\\', start), text.size());
            if (!IsPlainName(std::u16string_view(text).substr(start, end - start))) {
                return false;
            }
            rest += u'\\';
            rest += text.substr(start, end - start);
            if (end == text.size()) {
                break;
            }
            start = end + 1;
        }
    }
    return true;
}

// The folder a path's first element names: the installation directory when there is none.
std::u16string BaseFolder(const std::u16string &first, const std::u16string &installDirectory,
                          DevicePlatform platform) {
    if (first.empty() || EqualIgnoringCase(first, installDirVariable)) {
        return installDirectory;
    }
    return StandardFolder(StandardFolderNumber(first), platform);
}

// The manifest's 8-bit text as the device's, without the NULs at its end.
std::u16string TextOf(const std::string &bytes) {
    return WideFromAnsi(std::string_view(bytes).substr(0, bytes.find('\0')));
}

std::vector<BYTE> BytesOf(const std::u16string &text) {
    const BYTE *bytes = reinterpret_cast<const BYTE *>(text.data());
    return std::vector<BYTE>(bytes, bytes + text.size() * sizeof(char16_t));
}

bool PlanValue(const ManifestValue &entry, const std::u16string &installDirectory,
               DevicePlatform platform, PlannedValue &value) {
    value.name = TextOf(entry.name);
    value.noClobber = (entry.typeAndFlags & manifestValueNoClobber) != 0;
    const uint32_t type = entry.typeAndFlags & ~manifestValueNoClobber;
    auto text = [&](const std::string &bytes) {
        const std::u16string plain = TextOf(bytes);
        return entry.substitute != 0 ? SubstituteFolders(plain, installDirectory, platform) : plain;
    };
    switch (type) {
    case manifestValueString:
        value.type = REG_SZ;
        value.data = BytesOf(text(entry.data) + u'\0');
        return true;
    case manifestValueMultiString: {
        value.type = REG_MULTI_SZ;
        std::u16string joined;
        for (size_t start = 0; start < entry.data.size() && entry.data[start] != '\0';) {
            const size_t end = std::min(entry.data.find('\0', start), entry.data.size());
            joined += text(entry.data.substr(start, end - start)) + u'\0';
            start = end + 1;
        }
        value.data = BytesOf(joined + u'\0');
        return true;
    }
    case manifestValueDword:
        value.type = REG_DWORD;
        value.data.assign(entry.data.begin(), entry.data.end());
        return entry.data.size() == 4;
    case manifestValueBinary:
        value.type = REG_BINARY;
        value.data.assign(entry.data.begin(), entry.data.end());
        return true;
    }
    return false;
}

bool Fail(std::string &problem, const std::string &what) {
    problem = what;
    return false;
}

} // namespace

std::u16string StandardFolder(int number, DevicePlatform platform) {
    for (const StandardFolderName &folder : standardFolders) {
        if (folder.number == number) {
            const char16_t *path =
                platform == DevicePlatform::PocketPC ? folder.pocketPC : folder.handheldPC;
            return path != nullptr ? path : u"";
        }
    }
    return u"";
}

bool IsPlainName(std::u16string_view name) {
    if (name.empty() || name == u"." || name == u"..") {
        return false;
    }
    for (char16_t c : name) {
        if (c < 0x20 || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos) {
            return false;
        }
    }
    return true;
}

std::u16string InstallDirectoryFor(const std::string &appName) {
    const std::u16string name = WideFromAnsi(appName);
    return IsPlainName(name) ? u"\\Program Files\\" + name : u"";
}

std::u16string SubstituteFolders(const std::u16string &text, const std::u16string &installDirectory,
                                 DevicePlatform platform) {
    std::u16string result;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text[at] == u'%' ? text.find(u'%', at + 1) : std::u16string::npos;
        if (end != std::u16string::npos) {
            const std::u16string_view name = std::u16string_view(text).substr(at, end - at + 1);
            const int number = StandardFolderNumber(name);
            const std::u16string folder = EqualIgnoringCase(name, installDirVariable)
                                              ? installDirectory
                                          : number != 0 ? StandardFolder(number, platform)
                                                        : u"";
            if (!folder.empty()) {
                result += folder;
                at = end + 1;
                continue;
            }
        }
        result += text[at++];
    }
    return result;
}

bool PlanInstallation(const CabManifest &manifest, const std::vector<CabMember> &members,
                      const std::u16string &installDirectory, DevicePlatform platform,
                      InstallationPlan &plan, std::string &problem) {
    plan = InstallationPlan();
    plan.installDirectory = installDirectory;
    StringTable strings;
    for (const ManifestString &string : manifest.strings) {
        strings[string.id] = TextOf(string.text);
    }
    std::map<uint16_t, const CabMember *> memberByNumber;
    for (const CabMember &member : members) {
        const size_t dot = member.name.find_last_of('.');
        if (dot == std::string::npos || member.name.size() - dot != 4) {
            return Fail(problem, "a member named " + member.name);
        }
        const std::string digits = member.name.substr(dot + 1);
        if (digits.find_first_not_of("0123456789") != std::string::npos ||
            !memberByNumber.emplace(std::stoi(digits), &member).second) {
            return Fail(problem, "a member named " + member.name);
        }
    }

    std::map<uint16_t, std::u16string> directoryById;
    for (const ManifestDirectory &directory : manifest.directories) {
        std::u16string first, rest;
        if (!JoinNames(strings, directory.stringIds, first, rest)) {
            return Fail(problem, "directory " + std::to_string(directory.id) + " is no path");
        }
        const std::u16string base = BaseFolder(first, installDirectory, platform);
        const std::u16string path = base.empty() ? u"" : base + rest;
        if (!directoryById.emplace(directory.id, path).second) {
            return Fail(problem, "directory " + std::to_string(directory.id) + " twice");
        }
        plan.directories.push_back(path);
    }

    std::map<uint16_t, std::u16string> fileByNumber;
    for (const ManifestFile &file : manifest.files) {
        const auto member = memberByNumber.find(file.number);
        const auto directory = directoryById.find(file.directoryId);
        const std::u16string name = TextOf(file.name);
        if (member == memberByNumber.end() || file.number == 0 || file.number >= 999) {
            return Fail(problem, "no member for file " + std::to_string(file.number));
        }
        if (directory == directoryById.end() || !IsPlainName(name)) {
            return Fail(problem, "file " + std::to_string(file.number) + " has no place");
        }
        PlannedFile planned;
        planned.directory = directory->second;
        planned.path = directory->second.empty() ? u"" : directory->second + u"\\" + name;
        planned.flags = file.flags;
        planned.bytes = &member->second->bytes;
        plan.bytes += planned.bytes->size();
        fileByNumber[file.number] = planned.path;
        plan.files.push_back(std::move(planned));
    }

    std::map<uint16_t, size_t> keyByHive;
    for (const ManifestHive &hive : manifest.hives) {
        std::u16string first, rest;
        if (!JoinNames(strings, hive.stringIds, first, rest) || !first.empty()) {
            return Fail(problem, "registry key " + std::to_string(hive.id) + " is no key path");
        }
        const char16_t *root = hive.root == 2   ? u"HKEY_CURRENT_USER"
                               : hive.root == 3 ? u"HKEY_LOCAL_MACHINE"
                                                : nullptr;
        if (!keyByHive.emplace(hive.id, plan.keys.size()).second) {
            return Fail(problem, "registry key " + std::to_string(hive.id) + " twice");
        }
        plan.keys.push_back({root != nullptr ? root + rest : u""});
    }
    for (const ManifestValue &entry : manifest.values) {
        const auto key = keyByHive.find(entry.hiveId);
        if (key == keyByHive.end()) {
            return Fail(problem, "value " + std::to_string(entry.id) + " has no key");
        }
        PlannedValue value;
        value.key = key->second;
        value.sound = PlanValue(entry, installDirectory, platform, value);
        plan.values.push_back(std::move(value));
    }

    for (const ManifestLink &link : manifest.links) {
        std::u16string first, rest;
        const std::u16string base = link.baseDirectory == 0
                                        ? installDirectory
                                        : StandardFolder(link.baseDirectory, platform);
        if (!JoinNames(strings, link.stringIds, first, rest) || !first.empty() || rest.empty()) {
            return Fail(problem, "shortcut " + std::to_string(link.id) + " has no name");
        }
        std::u16string target;
        if (link.targetKind == 1) {
            const auto file = fileByNumber.find(link.targetId);
            if (file == fileByNumber.end()) {
                return Fail(problem, "shortcut " + std::to_string(link.id) + " has no target");
            }
            target = file->second;
        } else {
            const auto directory = directoryById.find(link.targetId);
            if (link.targetId != 0 && directory == directoryById.end()) {
                return Fail(problem, "shortcut " + std::to_string(link.id) + " has no target");
            }
            target = link.targetId == 0 ? installDirectory : directory->second;
        }
        PlannedShortcut shortcut;
        const bool named =
            rest.size() > 4 && EqualIgnoringCase(rest.substr(rest.size() - 4), u".lnk");
        shortcut.path =
            base.empty() || target.empty() ? u"" : base + rest + (named ? u"" : u".lnk");
        shortcut.target =
            target.find(u' ') != std::u16string::npos ? u"\"" + target + u"\"" : target;
        plan.shortcuts.push_back(std::move(shortcut));
    }
    return true;
}
