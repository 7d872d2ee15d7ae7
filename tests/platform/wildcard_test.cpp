#include <gtest/gtest.h>

#include "kernel/wildcard.h"

namespace {

struct WildcardCase {
    const char16_t *pattern;
    const char16_t *name;
    bool matches;
};

class Wildcards : public testing::TestWithParam<WildcardCase> {};

TEST_P(Wildcards, MatchLikeWindows) {
    EXPECT_EQ(MatchesWildcard(GetParam().pattern, GetParam().name), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Wildcard, Wildcards,
    testing::Values(
        WildcardCase{u"*", u"anything.txt", true}, WildcardCase{u"*.*", u"README", true},
        WildcardCase{u"*.*", u"a.b.c", true}, WildcardCase{u"*.kbi", u"English.kbi", true},
        WildcardCase{u"*.kbi", u"English.kbi.bak", false},
        WildcardCase{u"*.KBI", u"english.kbi", true}, WildcardCase{u"\u00c9*", u"\u00e9cole", true},
        WildcardCase{u"?", u"a", true}, WildcardCase{u"?", u"ab", false},
        WildcardCase{u"?", u"", true}, WildcardCase{u"a?c", u"abc", true},
        WildcardCase{u"a?c", u"ac", false},
        // A surrogate pair is one character.
        WildcardCase{u"?.txt", u"\xD83D\xDE00.txt", true}, WildcardCase{u"a*b*c", u"aXXbYYc", true},
        WildcardCase{u"a*b*c", u"aXXbYY", false}, WildcardCase{u"*ab", u"aab", true},
        WildcardCase{u"**", u"", true}, WildcardCase{u"name.*", u"name", true},
        WildcardCase{u"name.*", u"names", false}, WildcardCase{u"*.", u"Makefile", true},
        WildcardCase{u"*.", u"a.txt", false}, WildcardCase{u"exact.txt", u"EXACT.TXT", true},
        WildcardCase{u"exact.txt", u"exact.txt2", false}, WildcardCase{u"", u"a", false},
        // Before a dot or at the end, "?" may also stand for no character.
        WildcardCase{u"pennini?.*", u"pennini.sve", true},
        WildcardCase{u"pennini?.*", u"pennini1.ru", true},
        WildcardCase{u"pennini?.*", u"pennini12.ru", false},
        WildcardCase{u"pennini?.*", u"pennini", true}, WildcardCase{u"ab?", u"ab", true}));

} // namespace
