// Locale information, wide formatting and the desktop's message box.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

struct LocaleCase {
    LCID locale;
    const char *language;
    const char *codePage;
};

class Locales : public testing::TestWithParam<LocaleCase> {};

TEST_P(Locales, AnswerAsWindowsDoes) {
    char language[5] = "";
    char codePage[7] = "";
    EXPECT_EQ(GetLocaleInfoA(GetParam().locale, LOCALE_SABBREVLANGNAME, language, 5), 4);
    EXPECT_STREQ(language, GetParam().language);
    EXPECT_GT(GetLocaleInfoA(GetParam().locale, LOCALE_IDEFAULTANSICODEPAGE, codePage, 7), 0);
    EXPECT_STREQ(codePage, GetParam().codePage);
}

INSTANTIATE_TEST_SUITE_P(
    Desktop, Locales,
    testing::Values(LocaleCase{0x0419, "RUS", "1251"}, LocaleCase{0x0409, "ENU", "1252"},
                    LocaleCase{0x0408, "ELL", "1253"}, LocaleCase{0x041F, "TRK", "1254"},
                    LocaleCase{0x0415, "PLK", "1250"}, LocaleCase{0x0426, "LVI", "1257"},
                    LocaleCase{0x0402, "BGR", "1251"}, LocaleCase{0x100C, "FRS", "1252"},
                    LocaleCase{LOCALE_USER_DEFAULT, "ENU", "1252"}));

TEST(Locales, TheNeutralLocaleAndUnknownOnesHaveNoAnswer) {
    char value[8] = "x";
    EXPECT_EQ(GetLocaleInfoA(LOCALE_NEUTRAL, LOCALE_SABBREVLANGNAME, value, 5), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_PARAMETER);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_NEUTRAL, LOCALE_IDEFAULTANSICODEPAGE, value, 7), 0);
    EXPECT_EQ(GetLocaleInfoA(0x0441, LOCALE_SABBREVLANGNAME, value, 5), 0);
    EXPECT_STREQ(value, "x");
}

TEST(Locales, ASmallBufferIsRefusedAndSizeZeroAsksForTheLength) {
    char value[3] = "";
    EXPECT_EQ(GetLocaleInfoA(0x0409, LOCALE_SABBREVLANGNAME, value, 3), 0);
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(GetLocaleInfoA(0x0409, LOCALE_IDEFAULTANSICODEPAGE, nullptr, 0), 5);
}

TEST(WideFormat, ConvertsNarrowAndWideStringsAndNumbers) {
    WCHAR buffer[1100];
    EXPECT_EQ(wsprintfW(buffer, u"%S|%s|%i|%d|%u|%c|%x|100%%", "caf\xe9", u"wide", -12, 7, 3u,
                        (int)u'\u00df', 255u),
              27);
    EXPECT_EQ(std::u16string(buffer), u"caf\u00e9|wide|-12|7|3|\u00df|ff|100%");
    EXPECT_EQ(wsprintfW(buffer, u"%s%i", u"Dead", 2), 5);
    EXPECT_EQ(std::u16string(buffer), u"Dead2");
    // Windows stops at 1024 characters, terminator included.
    std::u16string longText(2000, u'x');
    EXPECT_EQ(wsprintfW(buffer, u"%s", longText.c_str()), 1023);
    EXPECT_EQ(buffer[1023], 0);
}

TEST(ConsoleMessageBox, PrintsCaptionAndTextAndAnswersYes) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(MessageBoxA(nullptr, "Done !", "Caption", MB_ICONINFORMATION | MB_SETFOREGROUND),
              IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "Sure?", "Question", MB_YESNO), IDYES);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[Caption] Done !\n[Question] Sure?\n");
}

} // namespace
