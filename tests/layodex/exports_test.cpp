// Both builds of the library export the 22 entry points and nothing else.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

std::set<std::string> DefinedDynamicSymbols(const std::string &library) {
    std::set<std::string> symbols;
    std::string command = "nm -D --defined-only --format=posix '" + library + "' 2>/dev/null";
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return symbols;
    char line[512];
    while (fgets(line, sizeof line, pipe) != nullptr) {
        std::string name(line);
        name = name.substr(0, name.find(' '));
        if (!name.empty())
            symbols.insert(name);
    }
    pclose(pipe);
    return symbols;
}

const std::set<std::string> entryPoints = {
    "AddElement",           "ExtractElement",        "FindLastElement",      "ReleaseAll",
    "SetSearchDirectory",   "LoadKeyBoardsNames",    "LoadKeyBoard",         "UnLoadKeyBoard",
    "UnLoadKeyBoardsNames", "GetKeyBoardByName",     "ClearTempFlag",        "CopyKeyBoard",
    "CopyKeyBoardsNames",   "ReplaceKbdNames",       "FindKeyByUnicode",     "GettingKeyByUnicode",
    "FindKeyByIdentity",    "FindKeyBoardByUnicode", "FindKeyBoardByNumber", "FindKeyBoardByName",
    "SaveKeyBoard",         "SaveKeyBoardsNames",
};

TEST(Exports, DeviceBuildExportsExactlyTheEntryPoints) {
    EXPECT_EQ(DefinedDynamicSymbols(LAYODEX_DEVICE_LIBRARY), entryPoints);
}

TEST(Exports, DesktopBuildExportsExactlyTheEntryPoints) {
    EXPECT_EQ(DefinedDynamicSymbols(LAYODEX_DESKTOP_LIBRARY), entryPoints);
}

} // namespace
