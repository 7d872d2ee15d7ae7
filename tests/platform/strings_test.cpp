#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

namespace {

struct CopyN {
    int count;
    const char *expected; // NULL: the buffer stays untouched
};

class BoundedCopy : public testing::TestWithParam<CopyN> {};

TEST_P(BoundedCopy, CopiesAtMostCountMinusOneAndTerminates) {
    const CopyN &c = GetParam();
    char narrow[16];
    WCHAR wide[16];
    std::memset(narrow, 'x', sizeof(narrow));
    std::fill(std::begin(wide), std::end(wide), u'x');
    EXPECT_EQ(lstrcpynA(narrow, "hello", c.count), narrow);
    EXPECT_EQ(lstrcpynW(wide, u"hello", c.count), wide);
    if (c.expected == nullptr) {
        EXPECT_EQ(narrow[0], 'x');
        EXPECT_EQ(wide[0], u'x');
    } else {
        EXPECT_STREQ(narrow, c.expected);
        EXPECT_EQ(std::u16string(wide),
                  std::u16string(c.expected, c.expected + strlen(c.expected)));
        // Nothing is written past the terminator.
        EXPECT_EQ(narrow[strlen(c.expected) + 1], 'x');
    }
}

INSTANTIATE_TEST_SUITE_P(Strings, BoundedCopy,
                         testing::Values(CopyN{0, nullptr}, CopyN{1, ""}, CopyN{3, "he"},
                                         CopyN{5, "hell"}, CopyN{6, "hello"}, CopyN{10, "hello"}));

TEST(Strings, NullStringsAreTolerated) {
    char buffer[8] = "abc";
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_EQ(lstrlenW(nullptr), 0);
    EXPECT_EQ(lstrcpyA(buffer, nullptr), nullptr);
    EXPECT_EQ(lstrcpyA(nullptr, "x"), nullptr);
    EXPECT_EQ(lstrcatA(buffer, nullptr), nullptr);
    EXPECT_EQ(lstrcpynW(nullptr, u"x", 4), nullptr);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(lstrcmpA(nullptr, nullptr), 0);
    EXPECT_LT(lstrcmpA(nullptr, ""), 0);
    EXPECT_GT(lstrcmpiW(u"", nullptr), 0);
}

TEST(Strings, CopyAndAppend) {
    char narrow[16];
    EXPECT_EQ(lstrcatA(lstrcpyA(narrow, "Penna"), "key"), narrow);
    EXPECT_STREQ(narrow, "Pennakey");
    EXPECT_EQ(lstrlenA(narrow), 8);
    WCHAR wide[16];
    lstrcatW(lstrcpyW(wide, u"\u00c9"), u"cole");
    EXPECT_EQ(std::u16string(wide), u"\u00c9cole");
    EXPECT_EQ(lstrlenW(wide), 5);
}

struct Comparison {
    const char *a;
    const char *b;
    int exact;
    int folded;
};

class Compare : public testing::TestWithParam<Comparison> {};

TEST_P(Compare, OrdersStrings) {
    const Comparison &c = GetParam();
    EXPECT_EQ(lstrcmpA(c.a, c.b), c.exact);
    EXPECT_EQ(lstrcmpiA(c.a, c.b), c.folded);
    const std::u16string a(c.a, c.a + strlen(c.a));
    const std::u16string b(c.b, c.b + strlen(c.b));
    EXPECT_EQ(lstrcmpW(a.c_str(), b.c_str()), c.exact);
    EXPECT_EQ(lstrcmpiW(a.c_str(), b.c_str()), c.folded);
}

INSTANTIATE_TEST_SUITE_P(Strings, Compare,
                         testing::Values(Comparison{"abc", "abc", 0, 0},
                                         Comparison{"abc", "ABC", 1, 0},
                                         Comparison{"abc", "abd", -1, -1},
                                         Comparison{"ab", "abc", -1, -1},
                                         Comparison{"B", "a", -1, 1}));

TEST(Strings, AnsiCaseInsensitiveCompareFoldsThroughTheCodePage) {
    // "été" against "ÉTÉ" in code page 1252.
    EXPECT_EQ(lstrcmpiA("\xe9t\xe9", "\xc9T\xc9"), 0);
    // "œ" and "Œ" sit at 0x9C and 0x8C, outside Latin-1.
    EXPECT_EQ(lstrcmpiA("\x9c", "\x8c"), 0);
    EXPECT_NE(lstrcmpiA("\xe9", "e"), 0);
}

struct AsciiCompare {
    const char *a;
    const char *b;
    size_t count;
    int sign;
};

class AsciiCaseCompare : public testing::TestWithParam<AsciiCompare> {};

TEST_P(AsciiCaseCompare, FoldsAsciiToLowerCase) {
    const AsciiCompare &c = GetParam();
    const int result = _strnicmp(c.a, c.b, c.count);
    EXPECT_EQ((result > 0) - (result < 0), c.sign);
    if (c.count == static_cast<size_t>(-1)) {
        const int whole = _stricmp(c.a, c.b);
        EXPECT_EQ((whole > 0) - (whole < 0), c.sign);
    }
}

INSTANTIATE_TEST_SUITE_P(Strings, AsciiCaseCompare,
                         testing::Values(AsciiCompare{"Layout", "LAYOUT", static_cast<size_t>(-1),
                                                      0},
                                         AsciiCompare{"abc", "ABD", static_cast<size_t>(-1), -1},
                                         // Folding down puts '_' before the letters.
                                         AsciiCompare{"_", "A", static_cast<size_t>(-1), -1},
                                         // Bytes above ASCII are compared as they are.
                                         AsciiCompare{"\xe9", "\xc9", static_cast<size_t>(-1), 1},
                                         AsciiCompare{"KEYone", "keyTWO", 3, 0},
                                         AsciiCompare{"KEYone", "keyTWO", 4, -1}));

} // namespace
