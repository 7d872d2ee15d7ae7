#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

TEST(WideStrings, NCopyPadsWithNulsAndDoesNotTerminateALongSource) {
    WCHAR buffer[6];
    EXPECT_EQ(wcslen(wcscpy(buffer, u"abc")), 3u);
    std::fill(std::begin(buffer), std::end(buffer), u'x');
    wcsncpy(buffer, u"ab", 5);
    EXPECT_EQ(std::u16string(buffer, 6), std::u16string(u"ab\0\0\0x", 6));
    std::fill(std::begin(buffer), std::end(buffer), u'x');
    wcsncpy(buffer, u"abcdefgh", 3);
    EXPECT_EQ(std::u16string(buffer, 6), u"abcxxx");
}

TEST(WideStrings, CompareByUnsignedUnits) {
    EXPECT_EQ(wcscmp(u"abc", u"abc"), 0);
    EXPECT_LT(wcscmp(u"ab", u"abc"), 0);
    EXPECT_GT(wcscmp(u"\uFFFF", u"a"), 0);
    EXPECT_EQ(wcsncmp(u"abcX", u"abcY", 3), 0);
    EXPECT_LT(wcsncmp(u"abcX", u"abcY", 4), 0);
}

struct CaseCompare {
    const char16_t *a;
    const char16_t *b;
    int sign;
};

class CaseInsensitiveCompare : public testing::TestWithParam<CaseCompare> {};

TEST_P(CaseInsensitiveCompare, FoldsToUpperCase) {
    const CaseCompare &c = GetParam();
    EXPECT_EQ(Sign(_wcsicmp(c.a, c.b)), c.sign);
    EXPECT_EQ(Sign(_wcsicmp(c.b, c.a)), -c.sign);
}

INSTANTIATE_TEST_SUITE_P(
    WideStrings, CaseInsensitiveCompare,
    testing::Values(CaseCompare{u"Keyboard", u"KEYBOARD", 0},
                    CaseCompare{u"\u00e9t\u00e9", u"\u00c9T\u00c9", 0},
                    CaseCompare{u"\u03c9mega", u"\u03a9MEGA", 0},
                    CaseCompare{u"\u0444", u"\u0424", 0}, CaseCompare{u"a", u"B", -1},
                    CaseCompare{u"ab", u"AB c", -1},
                    // Folding up puts '_' after the letters; folding down would put it before.
                    CaseCompare{u"_", u"a", 1}));

TEST(WideStrings, CaseInsensitiveCompareStopsAtCount) {
    EXPECT_EQ(_wcsnicmp(u"LAYOUTone", u"layoutTWO", 6), 0);
    EXPECT_NE(_wcsnicmp(u"LAYOUTone", u"layoutTWO", 7), 0);
    EXPECT_EQ(_wcsnicmp(u"a", u"b", 0), 0);
}

TEST(WideStrings, FindCharacters) {
    const WCHAR *text = u"a\\b\\c";
    EXPECT_EQ(wcschr(text, u'\\'), text + 1);
    EXPECT_EQ(wcsrchr(text, u'\\'), text + 3);
    EXPECT_EQ(wcschr(text, u'z'), nullptr);
    EXPECT_EQ(wcsrchr(text, u'z'), nullptr);
    // The terminator is part of the string.
    EXPECT_EQ(wcschr(text, u'\0'), text + 5);
    WCHAR editable[] = u"x.y";
    *wcschr(editable, u'.') = u'_';
    EXPECT_EQ(std::u16string(editable), u"x_y");
}

TEST(WideStrings, DuplicateComesFromTheRunTimeHeap) {
    WCHAR *copy = _wcsdup(u"\u00e9l\u00e8ve");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::u16string(copy), u"\u00e9l\u00e8ve");
    std::free(copy);
    EXPECT_EQ(_wcsdup(nullptr), nullptr);
}

struct Classified {
    char16_t c;
    bool space;
};

class WideSpace : public testing::TestWithParam<Classified> {};

TEST_P(WideSpace, MatchesUnicodeSpaces) {
    EXPECT_EQ(iswspace(GetParam().c) != 0, GetParam().space) << std::hex << int(GetParam().c);
}

INSTANTIATE_TEST_SUITE_P(WideStrings, WideSpace,
                         testing::Values(Classified{u' ', true}, Classified{u'\t', true},
                                         Classified{u'\n', true}, Classified{u'\u3000', true},
                                         Classified{u'\u2028', true}, Classified{u'\u2003', true},
                                         Classified{u'\u1680', true}, Classified{u'a', false},
                                         Classified{u'\u00a0', false}, Classified{u'\0', false},
                                         Classified{0xD800, false}, Classified{0xDC20, false}));

struct CaseMapping {
    char16_t c;
    char16_t upper;
    char16_t lower;
};

class WideCase : public testing::TestWithParam<CaseMapping> {};

TEST_P(WideCase, MapsCase) {
    EXPECT_EQ(towupper(GetParam().c), GetParam().upper) << std::hex << int(GetParam().c);
    EXPECT_EQ(towlower(GetParam().c), GetParam().lower) << std::hex << int(GetParam().c);
}

INSTANTIATE_TEST_SUITE_P(
    WideStrings, WideCase,
    testing::Values(CaseMapping{u'a', u'A', u'a'}, CaseMapping{u'Z', u'Z', u'z'},
                    CaseMapping{u'1', u'1', u'1'}, CaseMapping{u'\u00e9', u'\u00c9', u'\u00e9'},
                    CaseMapping{u'\u00ff', u'\u0178', u'\u00ff'},
                    CaseMapping{u'\u03a3', u'\u03a3', u'\u03c3'},
                    CaseMapping{u'\u0431', u'\u0411', u'\u0431'},
                    CaseMapping{u'\u0131', u'I', u'\u0131'}, CaseMapping{0xD83D, 0xD83D, 0xD83D},
                    CaseMapping{0xDE00, 0xDE00, 0xDE00}));

} // namespace
