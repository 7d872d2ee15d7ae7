// Reading the description file: lines into sections of keys, then the component they describe.
#include "appmgr/description_file.h"

#include "kernel/code_pages.h"

#include <cwctype>
#include <map>
#include <string_view>

namespace {

using Keys = std::map<std::u16string, std::string>;
using Sections = std::map<std::u16string, Keys>;

// Section names and keys compare as lstrcmpiA compares them, in one key for the map.
std::u16string Folded(std::string_view name) {
    std::u16string folded = WideFromAnsi(name);
    for (char16_t &c : folded) {
        c = static_cast<char16_t>(towupper(c));
    }
    return folded;
}

std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::string_view();
    }
    const size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// A value in quotes, single or double, is the text between them.
std::string_view Unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

bool HoldsControlCharacter(std::string_view line) {
    for (char c : line) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && byte != '\t') {
            return true;
        }
    }
    return false;
}

Sections ReadSections(std::string_view text) {
    // A UTF-8 mark in front, as some editors write, is no part of the first line.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    Sections sections;
    Keys *section = nullptr;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (HoldsControlCharacter(line)) {
            continue;
        }
        line = Trimmed(line);
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            const size_t close = line.find(']');
            section = close == std::string_view::npos
                          ? nullptr
                          : &sections[Folded(Trimmed(line.substr(1, close - 1)))];
            continue;
        }
        const size_t equals = line.find('=');
        if (section == nullptr || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trimmed(line.substr(0, equals));
        if (!key.empty()) {
            section->emplace(Folded(key), std::string(Unquoted(Trimmed(line.substr(equals + 1)))));
        }
    }
    return sections;
}

std::string ValueOf(const Keys &keys, std::string_view key) {
    const auto found = keys.find(Folded(key));
    return found != keys.end() ? found->second : std::string();
}

std::vector<std::string> ListedFiles(std::string_view list) {
    std::vector<std::string> files;
    while (!list.empty()) {
        const size_t comma = list.find(',');
        // Blanks around a file's name are never part of it, in quotes or not.
        const std::string_view file = Trimmed(Unquoted(Trimmed(list.substr(0, comma))));
        list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1);
        if (!file.empty()) {
            files.emplace_back(file);
        }
    }
    return files;
}

} // namespace

DescriptionFault ReadDescriptionFile(const char *text, size_t size,
                                     InstallDescription &description) {
    description = InstallDescription();
    const Sections sections =
        ReadSections(text != nullptr ? std::string_view(text, size) : std::string_view());
    const auto manager = sections.find(Folded("CEAppManager"));
    if (manager != sections.end()) {
        description.version = ValueOf(manager->second, "Version");
        description.component = ValueOf(manager->second, "Component");
    }
    if (description.component.empty()) {
        return DescriptionFault::noComponent;
    }
    const auto component = sections.find(Folded(description.component));
    if (component == sections.end()) {
        return DescriptionFault::noComponentSection;
    }
    description.description = ValueOf(component->second, "Description");
    description.cabFiles = ListedFiles(ValueOf(component->second, "CabFiles"));
    return description.cabFiles.empty() ? DescriptionFault::noCabFiles : DescriptionFault::none;
}
