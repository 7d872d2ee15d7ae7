// LoadString: a string table resource of sixteen counted strings, read by id in both forms, cut
// to the buffer.
#include <gtest/gtest.h>

#include <resource_tables.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

// The strings 16 to 31 as a .rc file compiles them: only 16, 18 and 31 are given.
std::u16string Block() {
    std::u16string block;
    for (int index = 0; index < 16; ++index) {
        const std::u16string text = index == 0    ? u"Keyboard"
                                    : index == 2  ? u"Caf\u00E9 5 \u20AC"
                                    : index == 15 ? u"last"
                                                  : u"";
        block += static_cast<char16_t>(text.size());
        block += text;
    }
    return block;
}

const std::u16string block = Block();
// The same table cut inside the last string.
const std::u16string cut = block.substr(0, block.size() - 2);

const RESOURCE_ENTRY resources[] = {
    {MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(2), block.data(),
     static_cast<DWORD>(block.size() * sizeof(char16_t))},
    {MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(3), cut.data(),
     static_cast<DWORD>(cut.size() * sizeof(char16_t))},
};
const BOOL registered = RegisterModuleResources(resources, ARRAYSIZE(resources));

TEST(StringResources, FoundByIdInBothForms) {
    ASSERT_TRUE(registered);
    WCHAR wide[32];
    EXPECT_EQ(LoadStringW(nullptr, 16, wide, 32), 8);
    EXPECT_EQ(std::u16string(wide), u"Keyboard");
    EXPECT_EQ(LoadStringW(nullptr, 31, wide, 32), 4);
    EXPECT_EQ(std::u16string(wide), u"last");
    char ansi[32];
    EXPECT_EQ(LoadStringA(nullptr, 18, ansi, 32), 8);
    EXPECT_EQ(std::string(ansi), "Caf\xE9 5 \x80");
}

TEST(StringResources, CutToTheBuffer) {
    WCHAR wide[9];
    // Exactly room for the text and its terminator, then one short.
    EXPECT_EQ(LoadStringW(nullptr, 16, wide, 9), 8);
    EXPECT_EQ(std::u16string(wide), u"Keyboard");
    EXPECT_EQ(LoadStringW(nullptr, 16, wide, 8), 7);
    EXPECT_EQ(std::u16string(wide), u"Keyboar");
    char ansi[2];
    EXPECT_EQ(LoadStringA(nullptr, 16, ansi, 1), 0);
    EXPECT_EQ(ansi[0], 0);
}

TEST(StringResources, MissingEmptyOrDamagedStringsAreNotFound) {
    WCHAR wide[16] = {u'x'};
    EXPECT_EQ(LoadStringW(nullptr, 17, wide, 16), 0) << "an empty string counts as none";
    EXPECT_EQ(wide[0], 0);
    EXPECT_EQ(LoadStringW(nullptr, 200, wide, 16), 0) << "no table for it";
    EXPECT_EQ(LoadStringW(nullptr, 47, wide, 16), 0) << "the table ends inside the string";
    EXPECT_EQ(LoadStringW(nullptr, 32, wide, 16), 8) << "the strings before the cut are whole";
    EXPECT_EQ(LoadStringW(nullptr, 16, nullptr, 16), 0);
}

} // namespace
