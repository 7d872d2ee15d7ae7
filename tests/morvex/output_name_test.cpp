// Output file names made from legacy titles: cleaned, and only ever in the current directory.
#include <gtest/gtest.h>

#include <string>

#include "layout_output.h"
#include "legacy_layout.h"

namespace {

struct OutputNameCase {
    const char *title;
    const char *name; // NULL: the title names no file here and is skipped
};

class OutputNames : public testing::TestWithParam<OutputNameCase> {};

TEST_P(OutputNames, StayInTheCurrentDirectory) {
    const OutputNameCase &c = GetParam();
    char name[LEGACY_TITLE_SIZE + 8] = "garbage";
    BOOL made = MakeOutputName(c.title, name, sizeof name);
    if (c.name == nullptr) {
        EXPECT_FALSE(made) << c.title;
        EXPECT_EQ(std::string(name), "") << c.title;
    } else {
        EXPECT_TRUE(made) << c.title;
        EXPECT_EQ(std::string(name), c.name) << c.title;
    }
}

const OutputNameCase outputNameCases[] = {
    {"German", "German.kbi"},
    {"My: Layout & *Co*", "My Layout  Co.kbi"},
    {"Deutsch: Schweiz", "Deutsch Schweiz.kbi"},
    {"", ".kbi"},
    {"a.b", "a.b.kbi"},
    // Paths.
    {"../dist/English", nullptr},
    {"../escaped", nullptr},
    {"..\\escaped", nullptr},
    {"sub/name", nullptr},
    {"sub\\name", nullptr},
    {"/tmp/x", nullptr},
    {"\\Windows\\x", nullptr},
    {"..", nullptr},
    {" . ", nullptr},
    {"a..b", nullptr},
    {"C:English", nullptr},
    {" c:x", nullptr},
    // Devices, with or without an extension, in any case.
    {"CON", nullptr},
    {"con.txt", nullptr},
    {"Nul ", nullptr},
    {"PRN", nullptr},
    {"aux.kbi", nullptr},
    {"COM1", nullptr},
    {"LPT9", nullptr},
    {"com9.x.y", nullptr},
    {"COM\xB9", nullptr},
    {"lpt\xB3.txt", nullptr},
    {"CONIN$", nullptr},
    {"conout$", nullptr},
    // Names that merely begin like a device.
    {"Console", "Console.kbi"},
    {"COM10", "COM10.kbi"},
    {"LPT", "LPT.kbi"},
    {"NULL", "NULL.kbi"},
    {"CONIN", "CONIN.kbi"},
    {"COM\xB4", "COM\xB4.kbi"},
};
INSTANTIATE_TEST_SUITE_P(Morvex, OutputNames, testing::ValuesIn(outputNameCases));

TEST(OutputName, TheLongestTitleKeepsEveryCharacter) {
    std::string title(LEGACY_TITLE_SIZE - 1, 't');
    char name[LEGACY_TITLE_SIZE + 8];
    ASSERT_TRUE(MakeOutputName(title.c_str(), name, sizeof name));
    EXPECT_EQ(std::string(name), title + ".kbi");
}

} // namespace
