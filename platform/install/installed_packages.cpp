// The installed packages' record in the registry. Lists are REG_MULTI_SZ values; a value's key
// and name are kept as neighbouring strings, the name after a '=' so that the default value's
// empty name does not end the list.
#include "install/installed_packages.h"

#include "kernel/code_pages.h"

#include <algorithm>

namespace {

const char16_t appsKey[] = u"Software\\Apps";
const char16_t currentUser[] = u"HKEY_CURRENT_USER";
const char16_t localMachine[] = u"HKEY_LOCAL_MACHINE";

std::vector<BYTE> MultiStringBytes(const std::vector<std::u16string> &strings) {
    std::u16string joined;
    for (const std::u16string &text : strings) {
        joined += text;
        joined += u'\0';
    }
    joined += u'\0';
    const BYTE *bytes = reinterpret_cast<const BYTE *>(joined.data());
    return std::vector<BYTE>(bytes, bytes + joined.size() * sizeof(char16_t));
}

std::vector<std::u16string> StringsOfMultiString(const std::vector<BYTE> &bytes) {
    std::u16string joined(bytes.size() / sizeof(char16_t), u'\0');
    std::copy(bytes.begin(), bytes.begin() + joined.size() * sizeof(char16_t),
              reinterpret_cast<BYTE *>(joined.data()));
    std::vector<std::u16string> strings;
    for (size_t start = 0; start < joined.size() && joined[start] != 0;) {
        const size_t end = std::min(joined.find(u'\0', start), joined.size());
        strings.push_back(joined.substr(start, end - start));
        start = end + 1;
    }
    return strings;
}

bool QueryBytes(HKEY key, const char16_t *name, DWORD expectedType, std::vector<BYTE> &bytes) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != expectedType) {
        return false;
    }
    bytes.resize(size);
    return RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size) == ERROR_SUCCESS;
}

std::u16string QueryString(HKEY key, const char16_t *name) {
    std::vector<BYTE> bytes;
    if (!QueryBytes(key, name, REG_SZ, bytes)) {
        return std::u16string();
    }
    std::u16string text(bytes.size() / sizeof(char16_t), u'\0');
    std::copy(bytes.begin(), bytes.begin() + text.size() * sizeof(char16_t),
              reinterpret_cast<BYTE *>(text.data()));
    return text.substr(0, text.find(u'\0'));
}

std::vector<std::u16string> QueryList(HKEY key, const char16_t *name) {
    std::vector<BYTE> bytes;
    return QueryBytes(key, name, REG_MULTI_SZ, bytes) ? StringsOfMultiString(bytes)
                                                      : std::vector<std::u16string>();
}

bool SetString(HKEY key, const char16_t *name, const std::u16string &text) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(char16_t))) ==
           ERROR_SUCCESS;
}

bool SetList(HKEY key, const char16_t *name, const std::vector<std::u16string> &strings) {
    const std::vector<BYTE> bytes = MultiStringBytes(strings);
    return RegSetValueExW(key, name, 0, REG_MULTI_SZ, bytes.data(),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

} // namespace

bool InstalledValue::operator==(const InstalledValue &other) const {
    return lstrcmpiW(key.c_str(), other.key.c_str()) == 0 &&
           lstrcmpiW(name.c_str(), other.name.c_str()) == 0;
}

std::u16string PackageName(const std::string &provider, const std::string &appName) {
    return WideFromAnsi(provider + " " + appName);
}

HKEY OpenKeyPath(const std::u16string &path, bool create, bool *created) {
    const size_t slash = path.find(u'\\');
    const std::u16string root = path.substr(0, slash);
    const std::u16string rest = slash == std::u16string::npos ? u"" : path.substr(slash + 1);
    HKEY rootKey = root == currentUser    ? HKEY_CURRENT_USER
                   : root == localMachine ? HKEY_LOCAL_MACHINE
                                          : nullptr;
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG result = rootKey == nullptr ? ERROR_INVALID_PARAMETER
                        : create ? RegCreateKeyExW(rootKey, rest.c_str(), 0, nullptr, 0, 0, nullptr,
                                                   &key, &disposition)
                                 : RegOpenKeyExW(rootKey, rest.c_str(), 0, 0, &key);
    if (created != nullptr) {
        *created = result == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
    }
    return result == ERROR_SUCCESS ? key : nullptr;
}

bool ReadInstalledPackage(const std::u16string &name, InstalledPackage &package) {
    HKEY key = OpenKeyPath(std::u16string(localMachine) + u"\\" + appsKey + u"\\" + name, false);
    if (key == nullptr) {
        return false;
    }
    package = InstalledPackage();
    package.name = name;
    package.installDirectory = QueryString(key, u"InstallDir");
    package.setupLibrary = QueryString(key, u"SetupLibrary");
    package.files = QueryList(key, u"Files");
    package.shortcuts = QueryList(key, u"Shortcuts");
    package.directories = QueryList(key, u"Directories");
    package.keys = QueryList(key, u"Keys");
    const std::vector<std::u16string> values = QueryList(key, u"Values");
    for (size_t i = 0; i + 1 < values.size(); i += 2) {
        if (values[i + 1].empty() || values[i + 1][0] != u'=') {
            continue; // not written by this installer
        }
        package.values.push_back({values[i], values[i + 1].substr(1)});
    }
    RegCloseKey(key);
    return true;
}

bool WriteInstalledPackage(const InstalledPackage &package) {
    HKEY key =
        OpenKeyPath(std::u16string(localMachine) + u"\\" + appsKey + u"\\" + package.name, true);
    if (key == nullptr) {
        return false;
    }
    std::vector<std::u16string> values;
    for (const InstalledValue &value : package.values) {
        values.push_back(value.key);
        values.push_back(u"=" + value.name);
    }
    const DWORD installed = 1;
    const bool written =
        SetString(key, u"InstallDir", package.installDirectory) &&
        SetString(key, u"SetupLibrary", package.setupLibrary) &&
        SetList(key, u"Files", package.files) && SetList(key, u"Shortcuts", package.shortcuts) &&
        SetList(key, u"Directories", package.directories) && SetList(key, u"Keys", package.keys) &&
        SetList(key, u"Values", values) &&
        RegSetValueExW(key, u"Instl", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&installed),
                       sizeof(installed)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

void ForgetInstalledPackage(const std::u16string &name) {
    HKEY apps = OpenKeyPath(std::u16string(localMachine) + u"\\" + appsKey, false);
    if (apps != nullptr) {
        RegDeleteKeyW(apps, name.c_str());
        RegCloseKey(apps);
    }
}
