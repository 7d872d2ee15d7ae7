// The layout file reader, through its internal interface: headers, key lines and their fields.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "layodex_internal.h"
#include "layodex_test_support.h"
#include "layout_reader.h"
#include "reader_report.h"

namespace {

struct ReadKeys {
    std::u16string text;
    Element *keys = nullptr;
    std::vector<std::string> reasons;

    explicit ReadKeys(const std::string &utf8Lines) : text(FileText(utf8Lines)) {
        LayoutText layoutText;
        InitLayoutText(&layoutText, text.data(), text.size());
        SetReaderReport(
            [](void *context, const WCHAR *, const char *reason) {
                ((ReadKeys *)context)->reasons.push_back(reason);
            },
            this);
        keys = ReadSectionKeys(&layoutText, layoutText.start, nullptr);
        SetReaderReport(nullptr, nullptr);
    }
    ~ReadKeys() {
        ReleaseUnresolvedKeyList(&keys);
    }
    std::vector<KeyDef *> List() const {
        std::vector<KeyDef *> result;
        for (Element *node = FindLastElement(keys); node != nullptr; node = node->prev)
            result.push_back((KeyDef *)node->data);
        return result;
    }
};

struct KeyLineCase {
    const char *line;
    bool valid;
    int left = 0, top = 0, width = 0, height = 0;
    DWORD flags = 0;
    WORD code = 0;
};

class KeyLineTest : public testing::TestWithParam<KeyLineCase> {};

TEST_P(KeyLineTest, ReadsOrDropsTheLine) {
    const KeyLineCase &c = GetParam();
    ReadKeys read(c.line);
    std::vector<KeyDef *> keys = read.List();
    if (!c.valid) {
        EXPECT_TRUE(keys.empty()) << c.line;
        EXPECT_EQ(read.reasons.size(), 1u) << c.line;
        return;
    }
    ASSERT_EQ(keys.size(), 1u) << c.line;
    EXPECT_TRUE(read.reasons.empty()) << c.line << ": " << read.reasons[0];
    const KeyDef *key = keys[0];
    EXPECT_EQ(key->left, c.left);
    EXPECT_EQ(key->top, c.top);
    EXPECT_EQ(key->width, c.width);
    EXPECT_EQ(key->height, c.height);
    EXPECT_EQ(key->flags, c.flags) << c.line;
    EXPECT_EQ(key->code, c.code) << c.line;
}

const KeyLineCase keyLineCases[] = {
    {"1,2,3,4,,A,0,0", true, 1, 2, 3, 4, 0, 'A'},
    {"10, 20, 30, 30, VIRTUAL|STICK, SHIFT, 0, 0", true, 10, 20, 30, 30, KEY_VIRTUAL | KEY_STICK,
     16},
    {"1,2,3,4,VIRTUAL,space,0,0", true, 1, 2, 3, 4, KEY_VIRTUAL, 32},
    {"1,2,3,4,VIRTUAL,comma,0,0", true, 1, 2, 3, 4, 0, ','},
    {"1,2,3,4,virtual,DoubleQuota,0,0", true, 1, 2, 3, 4, 0, '"'},
    {"1,2,3,4,VIRTUAL,Snapshot,0,0", true, 1, 2, 3, 4, 0, 44},
    {"1,2,3,4,VIRTUAL,null,0,0", true, 1, 2, 3, 4, KEY_VIRTUAL, 0},
    {"1,2,3,4,VIRTUAL,0,0,0", true, 1, 2, 3, 4, KEY_VIRTUAL, 0},
    {"1,2,3,4,VIRTUAL,F1,0,0", false},
    {"1,2,3,4,VIRTUAL,,0,0", false},
    {"1,2,3,4,,AB,0,0", false},
    {"1,2,3,4,,,0,0", true, 1, 2, 3, 4, 0, 0},
    {"1,2,3,4,,\",\",0,0", true, 1, 2, 3, 4, 0, ','},
    {"1,2,3,4,,\" \",0,0", true, 1, 2, 3, 4, 0, ' '},
    {"1,2,3,4,,[,0,0", true, 1, 2, 3, 4, 0, '['},
    {"12 px, abc, -3, +4,,q,0,0", true, 12, 0, -3, 4, 0, 'q'},
    {"1,2,3,4,STICK|TOGGLE,a,0,0", true, 1, 2, 3, 4, KEY_STICK | KEY_TOGGLE, 'a'},
    {"1,2,3,4,STICK | TOGGLE,a,0,0", true, 1, 2, 3, 4, 0, 'a'},
    {"1,2,3,4,STICK|,a,0,0", true, 1, 2, 3, 4, KEY_STICK, 'a'},
    {"1,2,3,4,STICK||TOGGLE,a,0,0", false},
    {"1,2,3,4,|STICK,a,0,0", true, 1, 2, 3, 4, KEY_STICK, 'a'},
    {"1,2,3,4,|,a,0,0", true, 1, 2, 3, 4, 0, 'a'},
    {"1,2,3,4,hidden|4096,a,0,0", true, 1, 2, 3, 4, KEY_HIDDEN | 0x1000, 'a'},
    {"1,2,3,4,8192,SHIFT,0,0", true, 1, 2, 3, 4, KEY_VIRTUAL, 16},
    {"1,2,3,4,NEWKEYBD,S,English Shift,0", false},
    {"99999999999,2,3,4,,a,0,0", true, 2147483647, 2, 3, 4, 0, 'a'},
    {"-99999999999,2,3,4,,a,0,0", true, -2147483647 - 1, 2, 3, 4, 0, 'a'},
    {"12345678901234567890,2,3,4,,a,0,0", false}, // longer than a number field holds
    {"1,2,3", false},
    {"1,2,3,4,,a,0", false}, // the target field needs a comma after it
    {"1,2,3,4,,a,0,0\n", true, 1, 2, 3, 4, 0, 'a'},
};
INSTANTIATE_TEST_SUITE_P(Reader, KeyLineTest, testing::ValuesIn(keyLineCases));

TEST(ReaderKeys, MacroTextKeepsCommasAndSpacesInsideQuotes) {
    ReadKeys read("1,2,3,4,MACRO,m,\"Hello, world \",0\n"
                  "1,2,3,4,LAUNCH,l,  \\Windows\\notes.exe  ,0\n");
    std::vector<KeyDef *> keys = read.List();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(std::u16string((const WCHAR *)keys[0]->target), u"Hello, world ");
    EXPECT_EQ(std::u16string((const WCHAR *)keys[1]->target), u"\\Windows\\notes.exe");
}

TEST(ReaderKeys, QuotedNewKeyboardTargetBecomesARequest) {
    ReadKeys read("0, 0, 40, 30, VIRTUAL|NEWKEYBD, CAPITAL, \" English , Caps \", 0");
    std::vector<KeyDef *> keys = read.List();
    ASSERT_EQ(keys.size(), 1u);
    const KeyboardLayout *request = (const KeyboardLayout *)keys[0]->target;
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(std::u16string(request->name), u"English");
    EXPECT_EQ(std::u16string(request->subName), u"Caps");
    EXPECT_EQ(request->number, -1);
    EXPECT_EQ(keys[0]->identity, 0);
}

TEST(ReaderKeys, ValuesLongerThanTheirFieldDropTheLine) {
    std::string longText(300, 'x');
    std::string longName(100, 'n');
    std::string longPath(260, 'p');
    ReadKeys read("1,2,3,4,MACRO,m,\"" + longText + "\",0\n" + "1,2,3,4,MACRO,m,\"" +
                  longText.substr(1) + "\",0\n" + "1,2,3,4,NEWKEYBD,n,\"" + longName +
                  ",Main\",0\n" + "1,2,3,4,IMAGE,i,0,\"" + longPath + "\"\n" +
                  "1,2,3,4,IMAGEINTERNAL,i,0,12345678901234567890\n");
    ASSERT_EQ(read.List().size(), 1u);
    EXPECT_EQ(wcslen((const WCHAR *)read.List()[0]->target), 299u);
    EXPECT_EQ(read.reasons.size(), 4u);
}

// Each field at its limit is read whole; one character more drops the line.
TEST(ReaderKeys, ValuesThatFillTheirFieldAreReadWhole) {
    const std::string number19 = std::string(17, '0') + "12";
    const std::string flags199 = "STICK|" + std::string(193, '0');
    const std::string name99(99, 'n');
    const std::string subName99(99, 's');
    const std::string path259(259, 'p');
    ReadKeys read(number19 + ",2,3,4,,a,0,0\n" + "1,2,3,4," + flags199 + ",b,0,0\n" +
                  "1,2,3,4,NEWKEYBD,c,\"" + name99 + "," + std::string(100, ' ') + subName99 +
                  "\",0\n" + "1,2,3,4,IMAGE,d,0,\"" + path259 + "\"\n" +
                  "1,2,3,4,IMAGEINTERNAL,e,0," + number19 + "\n");
    EXPECT_TRUE(read.reasons.empty()) << read.reasons[0];
    std::vector<KeyDef *> keys = read.List();
    ASSERT_EQ(keys.size(), 5u);
    EXPECT_EQ(keys[0]->left, 12);
    EXPECT_EQ(keys[1]->flags, KEY_STICK);
    const KeyboardLayout *request = (const KeyboardLayout *)keys[2]->target;
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(Utf8(request->name), name99);
    EXPECT_EQ(Utf8(request->subName), subName99);
    EXPECT_EQ(keys[3]->flags & KEY_IMAGE, KEY_IMAGE); // no such picture: the key stays
    EXPECT_EQ(keys[4]->imageIndex, 12u);

    ReadKeys crossed("0" + number19 + ",2,3,4,,a,0,0\n" + "1,2,3,4," + flags199 + "0,b,0,0\n" +
                     "1,2,3,4,NEWKEYBD,c,\"" + name99 + "," + std::string(101, ' ') + subName99 +
                     "\",0\n" + "1,2,3,4,IMAGEINTERNAL,e,0,0" + number19 + "\n");
    EXPECT_TRUE(crossed.List().empty());
    EXPECT_EQ(crossed.reasons,
              (std::vector<std::string>{"number longer than 19 characters",
                                        "flags longer than 199 characters",
                                        "target longer than 299 characters",
                                        "picture number longer than 19 characters"}));
}

// A code field of 49 characters is looked up; one of 50 is refused before any look-up.
TEST(ReaderKeys, ACodeFieldOfFortyNineCharactersIsLookedUp) {
    ReadKeys read("1,2,3,4,VIRTUAL," + std::string(49, 'k') + ",0,0\n" + "1,2,3,4,VIRTUAL," +
                  std::string(50, 'k') + ",0,0\n");
    EXPECT_TRUE(read.List().empty());
    EXPECT_EQ(read.reasons, (std::vector<std::string>{"unknown virtual-key name",
                                                      "code longer than 49 characters"}));
}

TEST(ReaderKeys, CommentsAndShortLinesBorrowFromTheNextLine) {
    ReadKeys read("// a comment line\n"
                  "1,2, // the rest of this line is a comment\n"
                  "3,4,,a,0,0\n"
                  "5,6,7,8,,b\n"
                  "0,0\n"
                  "// a last comment without a line end");
    std::vector<KeyDef *> keys = read.List();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0]->width, 3);
    EXPECT_EQ(keys[0]->code, 'a');
    EXPECT_EQ(keys[1]->code, 'b');
}

TEST(ReaderKeys, ASectionEndsAtALineBeginningWithABracket) {
    ReadKeys read("1,2,3,4,,a,0,0\n"
                  "  [not a header\n"
                  "5,6,7,8,,b,0,0\n");
    ASSERT_EQ(read.List().size(), 1u);
}

TEST(ReaderKeys, ADroppedLineSkipsToTheNextLine) {
    ReadKeys read("1,2,3,4,,toolong,0,0\n"
                  "\n\n"
                  "5,6,7,8,,b,0,0");
    std::vector<KeyDef *> keys = read.List();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0]->left, 5);
}

TEST(ReaderKeys, TextEndsAtTheFirstNul) {
    std::u16string text = FileText("1,2,3,4,,a,0,0\n5,6,7,8,,b,0,0\n");
    text[16] = 0;
    LayoutText layoutText;
    InitLayoutText(&layoutText, text.data(), text.size());
    Element *keys = ReadSectionKeys(&layoutText, layoutText.start, nullptr);
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(keys->next, nullptr);
    ReleaseUnresolvedKeyList(&keys);
}

TEST(ReaderKeys, PictureNumberAndFaceTextBelongToTheirFlags) {
    ReadKeys read("1,2,3,4,IMAGEINTERNAL,,0,121\n"
                  "1,2,3,4,0,a,anything,whatever\n");
    std::vector<KeyDef *> keys = read.List();
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0]->imageIndex, 121u);
    EXPECT_EQ(keys[0]->code, 0);
    EXPECT_EQ(keys[1]->imageIndex, 0u);
    EXPECT_EQ(keys[1]->target, nullptr);
}

struct HeaderCase {
    const char *text;
    bool found;
    const char16_t *name = u"", *label = u"", *subName = u"";
    int number = 0;
};

class HeaderTest : public testing::TestWithParam<HeaderCase> {};

TEST_P(HeaderTest, FindsTheFirstValidHeader) {
    const HeaderCase &c = GetParam();
    std::u16string text = FileText(c.text);
    LayoutText layoutText;
    InitLayoutText(&layoutText, text.data(), text.size());
    SectionHeader header;
    bool found = FindNextHeader(&layoutText, layoutText.start, &header);
    ASSERT_EQ(found, c.found) << c.text;
    if (!found)
        return;
    EXPECT_EQ(std::u16string(header.name), c.name);
    EXPECT_EQ(std::u16string(header.label), c.label);
    EXPECT_EQ(std::u16string(header.subName), c.subName);
    EXPECT_EQ(header.number, c.number);
}

const HeaderCase headerCases[] = {
    {"[English,En,Main,1]", true, u"English", u"En", u"Main", 1},
    {"[ English , En , Main , 1 ]", true, u"English", u"En", u"Main", 1},
    {"\xEF\xBB\xBF[A,B,C,2]", true, u"A", u"B", u"C", 2},
    {"[a,b,c]\n[x,y,z,3]", true, u"x", u"y", u"z", 3},
    {"[a,b,c,d,e]\n[x,y,z,4]", true, u"x", u"y", u"z", 4},
    {"[a,b\n,c,d]\n[x,y,z,5]", true, u"x", u"y", u"z", 5},
    {"[ ]\n[x,y,z,6]", true, u"x", u"y", u"z", 6},
    {"[[x,y,z,7]", true, u"[x", u"y", u"z", 7},
    {"[x,y,z,12ab]", true, u"x", u"y", u"z", 12},
    {"[,,,]", true, u"", u"", u"", 0},
    {"[a,b,c,d", false},
    {"no header here", false},
    {"[x,Label6,z,1]", false},
    {"[x,Label,z,1]", true, u"x", u"Label", u"z", 1},
    {"[x,y,z,12345678901234567890]", false},
    {"[x,y,z,0000000000000000042]", true, u"x", u"y", u"z", 42},
};
INSTANTIATE_TEST_SUITE_P(Reader, HeaderTest, testing::ValuesIn(headerCases));

TEST(ReaderHeaders, LimitsOfTheHeaderText) {
    std::string name99(99, 'n');
    std::string longText = "[" + name99 + "," + std::string(200, ' ') + ",b,1]";
    std::u16string text =
        FileText("[" + name99 + ",L,Main,1]\n" + longText + "\n[" + name99 + "n,L,Main,2]");
    LayoutText layoutText;
    InitLayoutText(&layoutText, text.data(), text.size());
    SectionHeader header;
    ASSERT_TRUE(FindNextHeader(&layoutText, layoutText.start, &header));
    EXPECT_EQ(std::u16string(header.name).size(), 99u);
    // Past 299 characters of header text, and a name of 100 characters, are no headers.
    EXPECT_FALSE(FindNextHeader(&layoutText, header.keysStart, &header));
}

// The header text holds at most 299 characters, trailing blanks included: a longer one is no
// header even when its first characters would make one.
TEST(ReaderHeaders, TheHeaderTextLimitCountsEveryCharacter) {
    const std::string full = std::string(99, 'n') + ",Label," + std::string(99, 's') + "," +
                             std::string(19, '9'); // every field at its own limit: 225
    struct {
        std::string text;
        bool found;
    } cases[] = {
        {"[a,b,Main,1" + std::string(289, ' ') + "]", true},
        {"[a,b,Main,1" + std::string(290, ' ') + "]", false},
        {"[a,b,Main,1" + std::string(300, ' ') + "]", false},
        {"[" + full + std::string(74, ' ') + "]", true},
        {"[" + full + std::string(75, ' ') + "]", false},
        {"[" + std::string(300, ' ') + "a,b,Main,1]", true}, // blanks after "[" are skipped
        {"[" + std::string(99, 'n') + ",b," + std::string(100, 's') + ",1]", false},
    };
    for (const auto &c : cases) {
        std::u16string text = FileText(c.text + "\n0,0,1,1,,a,0,0");
        LayoutText layoutText;
        InitLayoutText(&layoutText, text.data(), text.size());
        SectionHeader header;
        std::vector<std::string> reasons;
        SetReaderReport(
            [](void *context, const WCHAR *, const char *reason) {
                ((std::vector<std::string> *)context)->push_back(reason);
            },
            &reasons);
        bool found = FindNextHeader(&layoutText, layoutText.start, &header);
        SetReaderReport(nullptr, nullptr);
        EXPECT_EQ(found, c.found) << c.text.size() << " characters: " << c.text.substr(0, 20);
        EXPECT_EQ(reasons.size(), c.found ? 0u : 1u);
        if (found && c.text.rfind("[a,b,Main,1", 0) == 0) {
            EXPECT_EQ(std::u16string(header.subName), u"Main");
            EXPECT_EQ(header.number, 1);
        }
        if (found && c.text.rfind("[" + full, 0) == 0) {
            EXPECT_EQ(Utf8(header.name), std::string(99, 'n'));
            EXPECT_EQ(Utf8(header.subName), std::string(99, 's'));
            EXPECT_EQ(header.number, 2147483647);
        }
    }
}

TEST(ReaderHeaders, KeyLinesStartAfterTheBlankLinesFollowingTheHeader) {
    std::u16string text = FileText("[a,b,c,1]  \n\n  1,2,3,4,,a,0,0");
    LayoutText layoutText;
    InitLayoutText(&layoutText, text.data(), text.size());
    SectionHeader header;
    ASSERT_TRUE(FindNextHeader(&layoutText, layoutText.start, &header));
    EXPECT_EQ(*header.keysStart, u'1');
}

} // namespace
