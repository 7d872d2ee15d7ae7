#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::u16string ToWide(UINT codePage, const std::string &text, DWORD flags = 0) {
    const int needed = MultiByteToWideChar(codePage, flags, text.data(),
                                           static_cast<int>(text.size()), nullptr, 0);
    std::u16string wide(static_cast<size_t>(needed), u'\0');
    if (needed > 0) {
        const int written = MultiByteToWideChar(codePage, flags, text.data(),
                                                static_cast<int>(text.size()), wide.data(), needed);
        EXPECT_EQ(written, needed);
    }
    return wide;
}

std::string ToBytes(UINT codePage, const std::u16string &wide, LPCSTR defaultChar = nullptr,
                    LPBOOL usedDefault = nullptr) {
    const int needed = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, defaultChar, usedDefault);
    std::string text(static_cast<size_t>(needed), '\0');
    if (needed > 0) {
        const int written =
            WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                text.data(), needed, defaultChar, usedDefault);
        EXPECT_EQ(written, needed);
    }
    return text;
}

struct Utf8Case {
    const char *bytes;
    const char16_t *wide;
};

class Utf8Decoding : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Decoding, ReplacesEachIllFormedSequenceOnce) {
    EXPECT_EQ(ToWide(CP_UTF8, GetParam().bytes), std::u16string(GetParam().wide));
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, Utf8Decoding,
    testing::Values(Utf8Case{"Key", u"Key"}, Utf8Case{"\xc3\xa9", u"\u00e9"},
                    Utf8Case{"\xe2\x82\xac", u"\u20ac"},
                    Utf8Case{"\xf0\x9f\x98\x80", u"\xD83D\xDE00"},
                    Utf8Case{"a\xc3", u"a\uFFFD"},                   // cut short at the end
                    Utf8Case{"\xe2\x82z", u"\uFFFDz"},               // a truncated sequence is one
                    Utf8Case{"\xc0\xaf", u"\uFFFD\uFFFD"},           // overlong
                    Utf8Case{"\xed\xa0\x80", u"\uFFFD\uFFFD\uFFFD"}, // a surrogate
                    Utf8Case{"\xf4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // past U+10FFFF
                    Utf8Case{"\x80x\xff", u"\uFFFDx\uFFFD"}));

TEST(CodePages, Utf8EncodesSurrogatePairsAndReplacesLoneSurrogates) {
    EXPECT_EQ(ToBytes(CP_UTF8, u"\xD83D\xDE00"), "\xf0\x9f\x98\x80");
    EXPECT_EQ(ToBytes(CP_UTF8, u"\u00e9\u20ac"), "\xc3\xa9\xe2\x82\xac");
    EXPECT_EQ(ToBytes(CP_UTF8, std::u16string(1, char16_t(0xDC00)) + u"a"), "\xef\xbf\xbd"
                                                                            "a");
    const WCHAR lone[] = {0xD800, 0};
    char out[8];
    SetLastError(0);
    EXPECT_EQ(
        WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, -1, out, 8, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST(CodePages, StrictUtf8DecodingRejectsIllFormedInput) {
    WCHAR out[8];
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "ok\xc3", 3, out, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "ok\xc3\xa9", 4, out, 8), 3);
}

TEST(CodePages, Utf8RefusesADefaultCharacter) {
    char out[8];
    BOOL used = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, out, 8, nullptr, &used), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", 1, out, 8, "?", nullptr), 0);
}

TEST(CodePages, MinusOneCountsTheTerminator) {
    WCHAR wide[8];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 8), 4);
    EXPECT_EQ(std::u16string(wide, 4), std::u16string(u"abc", 4));
    char narrow[8];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00e9", -1, nullptr, 0, nullptr, nullptr), 3);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00e9", -1, narrow, 8, nullptr, nullptr), 3);
    EXPECT_STREQ(narrow, "\xc3\xa9");
}

TEST(CodePages, ShortBufferFailsWithoutOverrun) {
    WCHAR wide[4] = {u'x', u'x', u'x', u'x'};
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abcd", 4, wide, 3), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(wide[3], u'x');
    char narrow[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"abcd", 4, narrow, 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(narrow[3], 'x');
}

struct BadArguments {
    UINT codePage;
    const char *text;
    int bytes;
    bool withBuffer;
    int count;
};

class InvalidConversion : public testing::TestWithParam<BadArguments> {};

TEST_P(InvalidConversion, FailsWithInvalidParameter) {
    const BadArguments &c = GetParam();
    WCHAR wide[8];
    SetLastError(0);
    EXPECT_EQ(
        MultiByteToWideChar(c.codePage, 0, c.text, c.bytes, c.withBuffer ? wide : nullptr, c.count),
        0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

INSTANTIATE_TEST_SUITE_P(CodePages, InvalidConversion,
                         testing::Values(BadArguments{12345, "a", 1, true, 8},
                                         BadArguments{CP_OEMCP, "a", 1, true, 8},
                                         BadArguments{CP_ACP, nullptr, 1, true, 8},
                                         BadArguments{CP_ACP, "a", 0, true, 8},
                                         BadArguments{CP_ACP, "a", -2, true, 8},
                                         BadArguments{CP_ACP, "a", 1, false, 8},
                                         BadArguments{CP_ACP, "a", 1, true, -1}));

TEST(CodePages, UnknownCodePageFailsTheOtherWayToo) {
    char out[8];
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(437, 0, u"a", 1, out, 8, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CodePages, AnsiCodePageIs1252) {
    EXPECT_EQ(GetACP(), 1252u);
    EXPECT_EQ(ToWide(CP_ACP, "\x80\x9f"), u"\u20ac\u0178");
}

struct SingleByte {
    UINT codePage;
    unsigned char byte;
    char16_t wide;
};

class SingleByteCodePage : public testing::TestWithParam<SingleByte> {};

TEST_P(SingleByteCodePage, MapsTheByteBothWays) {
    const SingleByte &c = GetParam();
    const std::string byte(1, static_cast<char>(c.byte));
    EXPECT_EQ(ToWide(c.codePage, byte), std::u16string(1, c.wide));
    BOOL used = TRUE;
    EXPECT_EQ(ToBytes(c.codePage, std::u16string(1, c.wide), nullptr, &used), byte);
    EXPECT_FALSE(used);
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, SingleByteCodePage,
    testing::Values(SingleByte{1252, 0x80, u'\u20ac'}, SingleByte{1252, 0xE9, u'\u00e9'},
                    SingleByte{1250, 0x8A, u'\u0160'}, SingleByte{1251, 0xC0, u'\u0410'},
                    SingleByte{1253, 0xC1, u'\u0391'}, SingleByte{1254, 0xD0, u'\u011e'},
                    SingleByte{1255, 0xE0, u'\u05d0'}, SingleByte{1256, 0xC7, u'\u0627'},
                    SingleByte{1257, 0xC0, u'\u0104'}, SingleByte{1258, 0xD2, u'\u0309'},
                    SingleByte{874, 0xA1, u'\u0e01'},
                    // Bytes without a character stand for the code point of their own value.
                    SingleByte{1252, 0x81, u'\u0081'}, SingleByte{1252, 0x9D, u'\u009d'},
                    SingleByte{1253, 0xAA, u'\u00aa'}, SingleByte{874, 0xDB, u'\u00db'}));

class EveryByte : public testing::TestWithParam<UINT> {};

TEST_P(EveryByte, SurvivesTheRoundTrip) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    const std::u16string wide = ToWide(GetParam(), all);
    ASSERT_EQ(wide.size(), all.size());
    BOOL used = TRUE;
    EXPECT_EQ(ToBytes(GetParam(), wide, nullptr, &used), all);
    EXPECT_FALSE(used);
}

INSTANTIATE_TEST_SUITE_P(CodePages, EveryByte,
                         testing::Values(874u, 1250u, 1251u, 1252u, 1253u, 1254u, 1255u, 1256u,
                                         1257u, 1258u));

TEST(CodePages, HoleDoesNotSpoilTheRest) {
    EXPECT_EQ(ToWide(1252, "a\x81\x80z"), u"a\u0081\u20acz");
}

TEST(CodePages, UnmappableCharactersBecomeTheDefault) {
    BOOL used = FALSE;
    EXPECT_EQ(ToBytes(1252, u"A\u0100\u20ac", nullptr, &used), "A?\x80");
    EXPECT_TRUE(used);
    used = FALSE;
    EXPECT_EQ(ToBytes(1252, u"\u05d0b", "*", &used), "*b");
    EXPECT_TRUE(used);
    // A surrogate pair is one character, and one default.
    EXPECT_EQ(ToBytes(1251, u"\xD83D\xDE00\u0410"), "?\xc0");
}

} // namespace
