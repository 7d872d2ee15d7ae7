// The legacy layout reader: map and dead-key sections, the title, the locale of the file's
// extension, and whole files read from disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdlib.h>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "legacy_layout.h"

namespace {

using namespace std::string_literals;

const BYTE *Bytes(const std::string &text) {
    return (const BYTE *)text.data();
}

std::string FixturePath(const std::string &name) {
    return std::string(MORVEX_TEST_DATA) + "/" + name;
}

std::string ReadFixture(const std::string &name) {
    std::ifstream file(FixturePath(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string Title(const LegacyLayout &layout) {
    return layout.title;
}

// A table as it should read: the given (source, target) pairs, every other entry 0.
std::vector<BYTE> ExpectedTable(const std::vector<std::pair<int, BYTE>> &entries, int base) {
    std::vector<BYTE> table(CHAR_MAP_SIZE, 0);
    for (const auto &entry : entries)
        table[entry.first - base] = entry.second;
    return table;
}

std::vector<BYTE> Table(const BYTE *table) {
    return std::vector<BYTE>(table, table + CHAR_MAP_SIZE);
}

// A legacy layout read with ReadLegacyLayout and released afterwards.
struct LegacyFile {
    LegacyLayout layout;
    BOOL result;
    LegacyFile(const std::string &path, UINT codePage) {
        result = ReadLegacyLayout(path.c_str(), codePage, &layout);
    }
    ~LegacyFile() {
        FreeLegacyLayout(&layout);
    }
};

// A legacy layout parsed from text in memory, without a locale.
struct ParsedText {
    LegacyLayout layout = {};
    explicit ParsedText(const std::string &text) {
        ParseLegacyText(Bytes(text), (DWORD)text.size(), &layout);
    }
    ~ParsedText() {
        FreeLegacyLayout(&layout);
    }
};

class TempDirectory {
  public:
    TempDirectory() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "legacy_reader_XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr)
            path_ = pattern;
    }
    ~TempDirectory() {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    TempDirectory(const TempDirectory &) = delete;
    TempDirectory &operator=(const TempDirectory &) = delete;

    const std::string &Path() const {
        return path_;
    }
    std::string Write(const std::string &name, const std::string &content) const {
        std::string path = path_ + "/" + name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

  private:
    std::string path_;
};

// ---------------------------------------------------------------------------------------------
// ReadMapSection

struct MapSectionCase {
    const char *name;
    std::string text;
    bool deadKeyMap; // base 32 and codes 32..254 instead of base 33 and codes 33..255
    bool stored;
    std::vector<std::pair<int, BYTE>> entries; // (source, target)
};

void PrintTo(const MapSectionCase &c, std::ostream *os) {
    *os << c.name;
}

class MapSectionTest : public testing::TestWithParam<MapSectionCase> {};

TEST_P(MapSectionTest, FillsTheTable) {
    const MapSectionCase &c = GetParam();
    int base = c.deadKeyMap ? DEAD_KEY_MAP_BASE : CHAR_MAP_BASE;
    int last = c.deadKeyMap ? DEAD_KEY_MAP_LAST : CHAR_MAP_LAST;
    // Left-over content must not survive: the table is cleared first.
    BYTE table[CHAR_MAP_SIZE];
    memset(table, 0xAA, sizeof table);
    BOOL stored = ReadMapSection(Bytes(c.text), (DWORD)c.text.size(), "<map>", "</map>", table,
                                 CHAR_MAP_SIZE, base, base, last);
    EXPECT_EQ(stored != FALSE, c.stored);
    EXPECT_EQ(Table(table), ExpectedTable(c.entries, base));
}

const MapSectionCase mapSectionCases[] = {
    {"LaterEntryWins",
     "<map>\r\na b\r\nc d\r\na e\r\n</map>\r\n",
     false,
     true,
     {{'a', 'e'}, {'c', 'd'}}},
    {"FirstAndLastCodes",
     "<map>\r\n! 1\r\n\xff 2\r\n</map>\r\n",
     false,
     true,
     {{33, '1'}, {255, '2'}}},
    {"NationalSourcesInMainMap",
     "<map>\r\n\xe4 x\r\n\x80 y\r\n\xfe z\r\n</map>\r\n",
     false,
     true,
     {{0xE4, 'x'}, {0x80, 'y'}, {0xFE, 'z'}}},
    {"SourcesBelowRangeSkipped",
     "<map>\r\n  x\r\n\t y\r\n\0 z\r\na b\r\n</map>\r\n"s,
     false,
     true,
     {{'a', 'b'}}},
    {"OnlySkippedSources", "<map>\r\n  x\r\n</map>\r\n", false, false, {}},
    {"DeadKeyMapSpaceIsEntryZero",
     "<map>\r\n  ^\r\na \xe2\r\n</map>\r\n",
     true,
     true,
     {{' ', '^'}, {'a', 0xE2}}},
    {"DeadKeyMapNationalSources",
     "<map>\r\n{ 1\r\n\x7f 2\r\n\xe4 3\r\n\xfe 4\r\n</map>\r\n",
     true,
     true,
     {{'{', '1'}, {0x7F, '2'}, {0xE4, '3'}, {0xFE, '4'}}},
    {"DeadKeyMapSkips255AndGoesOn",
     "<map>\r\n\xff x\r\na b\r\n</map>\r\n",
     true,
     true,
     {{'a', 'b'}}},
    {"DeadKeyMapSkipsBelowSpace", "<map>\r\n\t x\r\na b\r\n</map>\r\n", true, true, {{'a', 'b'}}},
    {"SourceAndSpaceOnlyTakesCarriageReturn",
     "<map>\r\na \r\nb c\r\n</map>\r\n",
     false,
     true,
     {{'a', '\r'}, {'b', 'c'}}},
    {"SourceAndSpaceOnlyTakesLineFeed",
     "<map>\n\na \nb c\n</map>\n",
     false,
     true,
     {{'a', '\n'}, {'b', 'c'}}},
    {"BytesAfterTargetIgnored",
     "<map>\r\na bcdef\r\nc d  comment\r\n</map>\r\n",
     false,
     true,
     {{'a', 'b'}, {'c', 'd'}}},
    {"BlankLinesBetweenEntriesSkipped",
     "<map>\r\n\r\n\r\na b\r\n\n\r\r\nc d\r\n</map>\r\n",
     false,
     true,
     {{'a', 'b'}, {'c', 'd'}}},
    {"TextLineEndsTheSection",
     "<map>\r\na b\r\n// note\r\nc d\r\n</map>\r\n",
     false,
     true,
     {{'a', 'b'}}},
    {"MalformedFirstLineLeavesTableEmpty", "<map>\r\nab\r\nc d\r\n</map>\r\n", false, false, {}},
    {"TextBehindOpeningTagIgnored", "<map>q r\r\na b\r\n</map>\r\n", false, true, {{'a', 'b'}}},
    {"ClosingTagOnLastEntryLine", "<map>\r\na b</map>\r\n", false, true, {{'a', 'b'}}},
    {"ClosingTagRightAfterSpace",
     "<map>\r\na b\r\nc </map>\r\n",
     false,
     true,
     {{'a', 'b'}, {'c', '<'}}},
    {"ClosingTagRightAfterSource", "<map>\r\na b\r\nc</map>\r\n", false, true, {{'a', 'b'}}},
    {"EntriesAfterClosingTagIgnored",
     "<map>\r\na b\r\n</map>\r\nc d\r\n",
     false,
     true,
     {{'a', 'b'}}},
    {"ClosingTagBeforeOpeningTag", "</map>\r\n<map>\r\na b\r\n", false, false, {}},
    {"ClosingTagSearchedFromStart", "Title </map>\r\n<map>\r\na b\r\n</map>\r\n", false, false, {}},
    {"MissingClosingTag", "<map>\r\na b\r\n", false, false, {}},
    {"NoLineBreakAfterOpeningTag", "Title\r\n<map> a b </map>", false, false, {}},
    {"MissingOpeningTag", "Title\r\na b\r\n</map>\r\n", false, false, {}},
    {"TagsAreCaseSensitive", "<MAP>\r\na b\r\n</MAP>\r\n", false, false, {}},
    {"OtherSectionNotTaken", "<capsmap>\r\na b\r\n</capsmap>\r\n", false, false, {}},
    {"FirstOpeningTagCounts",
     "x <map>\r\na b\r\n</map>\r\n<map>\r\nc d\r\n",
     false,
     true,
     {{'a', 'b'}}},
};

INSTANTIATE_TEST_SUITE_P(LegacyReader, MapSectionTest, testing::ValuesIn(mapSectionCases),
                         [](const testing::TestParamInfo<MapSectionCase> &info) {
                             return std::string(info.param.name);
                         });

// ---------------------------------------------------------------------------------------------
// ReadDeadKeyList

struct DeadKeyListCase {
    const char *name;
    std::string text;
    std::string characters;
};

void PrintTo(const DeadKeyListCase &c, std::ostream *os) {
    *os << c.name;
}

class DeadKeyListTest : public testing::TestWithParam<DeadKeyListCase> {};

TEST_P(DeadKeyListTest, ListsTheCharacters) {
    const DeadKeyListCase &c = GetParam();
    BYTE characters[MAX_DEAD_KEYS] = {};
    WORD count = 0xFFFF;
    BOOL found = ReadDeadKeyList(Bytes(c.text), (DWORD)c.text.size(), "<Dead Keys>", "</Dead Keys>",
                                 characters, &count);
    EXPECT_EQ(found != FALSE, !c.characters.empty());
    ASSERT_EQ(count, c.characters.size());
    EXPECT_EQ(std::string((const char *)characters, count), c.characters);
}

const DeadKeyListCase deadKeyListCases[] = {
    {"CircumflexLineBreakGrave", "<Dead Keys>\r\n^\r\n`\r\n</Dead Keys>\r\n", "^`"},
    {"SpaceAndTabAreCharacters", "<Dead Keys>\r\n^ \t`\r\n</Dead Keys>\r\n", "^ \t`"},
    {"BlankLinesSkipped", "<Dead Keys>\r\n\r\n^\r\n\r\n\n\r~\r\n</Dead Keys>\r\n", "^~"},
    {"NationalCharacters", "<Dead Keys>\r\n\xb4\r\n\xa8\r\n</Dead Keys>\r\n", "\xb4\xa8"},
    {"ClosingTagOnSameLine", "<Dead Keys>\r\n^`</Dead Keys>\r\n", "^`"},
    {"TextBehindOpeningTagIgnored", "<Dead Keys> ~\r\n^\r\n</Dead Keys>\r\n", "^"},
    {"EmptySection", "<Dead Keys>\r\n</Dead Keys>\r\n", ""},
    {"MissingClosingTag", "<Dead Keys>\r\n^\r\n", ""},
    {"ClosingTagBeforeOpeningTag", "</Dead Keys>\r\n<Dead Keys>\r\n^\r\n", ""},
    {"NoLineBreakAfterOpeningTag", "<Dead Keys> ^ </Dead Keys>", ""},
    {"MissingSection", "Title\r\n^\r\n", ""},
};

INSTANTIATE_TEST_SUITE_P(LegacyReader, DeadKeyListTest, testing::ValuesIn(deadKeyListCases),
                         [](const testing::TestParamInfo<DeadKeyListCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(LegacyReaderDeadKeyList, KeepsTheFirstHundred) {
    for (int listed : {MAX_DEAD_KEYS, MAX_DEAD_KEYS + 1, MAX_DEAD_KEYS + 20}) {
        std::string list;
        for (int c = 33; c < 33 + listed; c++)
            list += (char)c;
        std::string text = "<Dead Keys>\r\n" + list + "\r\n</Dead Keys>\r\n";
        // Room beyond the hundred shows whether the reader writes past its limit.
        BYTE characters[MAX_DEAD_KEYS + 20];
        memset(characters, 0xAA, sizeof characters);
        WORD count = 0;
        EXPECT_TRUE(ReadDeadKeyList(Bytes(text), (DWORD)text.size(), "<Dead Keys>", "</Dead Keys>",
                                    characters, &count));
        ASSERT_EQ(count, MAX_DEAD_KEYS) << listed;
        EXPECT_EQ(std::string((const char *)characters, MAX_DEAD_KEYS),
                  list.substr(0, MAX_DEAD_KEYS));
        for (int i = MAX_DEAD_KEYS; i < MAX_DEAD_KEYS + 20; i++)
            EXPECT_EQ(characters[i], 0xAA) << i;
    }
}

// ---------------------------------------------------------------------------------------------
// The title

struct TitleCase {
    const char *name;
    std::string text;
    std::string title;
};

void PrintTo(const TitleCase &c, std::ostream *os) {
    *os << c.name;
}

class TitleTest : public testing::TestWithParam<TitleCase> {};

TEST_P(TitleTest, CleansTheFirstLine) {
    const TitleCase &c = GetParam();
    ParsedText parsed(c.text);
    EXPECT_EQ(Title(parsed.layout), c.title);
}

const TitleCase titleCases[] = {
    {"Plain", "Deutsch\r\n<map>\r\n", "Deutsch"},
    {"BracketsBackslashesCommasAnywhere", "[Deutsch], Tasta\\tur\r\n", "Deutsch Tastatur"},
    {"BlanksTrimmedAfterRemoval",
     " \t[ Fran\xe7"
     "ais ]\t \r\n",
     "Fran\xe7"
     "ais"},
    {"InnerBlanksKept", " a , b \r\n", "a  b"},
    {"SpacesOnly", "     \r\nrest\r\n", ""},
    {"RemovedCharactersOnly", "[,]\\\r\n", ""},
    {"EmptyFirstLine", "\r\nSecond line\r\n", ""},
    {"LineFeedEndsLine", "Title\nSecond line\r\n", "Title"},
    {"CarriageReturnEndsLine", "Title\rSecond line", "Title"},
    {"NoLineBreak", "Title without a line break", ""},
    {"LongLineKeepsNinetyNine", std::string(150, 'x') + "\r\n", std::string(99, 'x')},
    {"LongLineCutAfterRemoval", "  [" + std::string(30, ',') + std::string(120, 'y') + "]\r\n",
     std::string(99, 'y')},
    {"LongLineTrimmedAfterCut", std::string(97, 'x') + "   tail\r\n", std::string(97, 'x')},
    {"NinetyNineBytesExactly", std::string(99, 'z') + "\r\n", std::string(99, 'z')},
};

INSTANTIATE_TEST_SUITE_P(LegacyReader, TitleTest, testing::ValuesIn(titleCases),
                         [](const testing::TestParamInfo<TitleCase> &info) {
                             return std::string(info.param.name);
                         });

// ---------------------------------------------------------------------------------------------
// ParseLegacyText on whole texts

TEST(LegacyReaderText, ReadsEverySection) {
    ParsedText parsed("Title\r\n"
                      "<capsmap>\r\nA B\r\n</capsmap>\r\n"
                      "<deadkey2 map>\r\n  `\r\n</deadkey2 map>\r\n"
                      "<Dead Keys>\r\n^\r\n`\r\n</Dead Keys>\r\n"
                      "<map>\r\na b\r\n</map>\r\n"
                      "<deadkey1 map>\r\n  ^\r\n</deadkey1 map>\r\n");
    const LegacyLayout &layout = parsed.layout;
    EXPECT_EQ(Title(layout), "Title");
    EXPECT_EQ(Table(layout.mainMap), ExpectedTable({{'a', 'b'}}, CHAR_MAP_BASE));
    EXPECT_EQ(Table(layout.capsMap), ExpectedTable({{'A', 'B'}}, CHAR_MAP_BASE));
    ASSERT_EQ(layout.deadKeyCount, 2);
    ASSERT_NE(layout.deadKeyMaps, nullptr);
    EXPECT_EQ(Table(layout.deadKeyMaps[0]), ExpectedTable({{' ', '^'}}, DEAD_KEY_MAP_BASE));
    EXPECT_EQ(Table(layout.deadKeyMaps[1]), ExpectedTable({{' ', '`'}}, DEAD_KEY_MAP_BASE));
}

TEST(LegacyReaderText, NoLineBreakMeansNoTitleAndNoSections) {
    ParsedText parsed("Title <map> a b </map> <Dead Keys> ^ </Dead Keys>");
    EXPECT_EQ(Title(parsed.layout), "");
    EXPECT_EQ(Table(parsed.layout.mainMap), ExpectedTable({}, CHAR_MAP_BASE));
    EXPECT_EQ(parsed.layout.deadKeyCount, 0);
    EXPECT_EQ(parsed.layout.deadKeyMaps, nullptr);
}

TEST(LegacyReaderText, MapSectionsDoNotTakeEachOther) {
    // "<capsmap>" must not be read as "<map>", nor the main map's entries as caps entries.
    ParsedText parsed("Title\r\n<capsmap>\r\nA B\r\n</capsmap>\r\n");
    EXPECT_EQ(Table(parsed.layout.mainMap), ExpectedTable({}, CHAR_MAP_BASE));
    EXPECT_EQ(Table(parsed.layout.capsMap), ExpectedTable({{'A', 'B'}}, CHAR_MAP_BASE));
}

// ---------------------------------------------------------------------------------------------
// ReadLegacyLayout on files

TEST(LegacyReaderFile, DeadKeysCircumflexAndGrave) {
    LegacyFile read(FixturePath("dead_keys_circumflex_grave.deu"), 1250);
    ASSERT_TRUE(read.result);
    const LegacyLayout &layout = read.layout;
    EXPECT_EQ(Title(layout), "Deutsch Schweiz");
    EXPECT_EQ(layout.codePage, 1252u);
    EXPECT_EQ(std::u16string(layout.label), u"De");
    EXPECT_EQ(Table(layout.mainMap), ExpectedTable({{'y', 'z'}, {'z', 'y'}}, CHAR_MAP_BASE));
    EXPECT_EQ(Table(layout.capsMap), ExpectedTable({{'Y', 'Z'}, {'Z', 'Y'}}, CHAR_MAP_BASE));
    ASSERT_EQ(layout.deadKeyCount, 2);
    EXPECT_EQ(layout.deadKeyChars[0], '^');
    EXPECT_EQ(layout.deadKeyChars[1], '`');
    ASSERT_NE(layout.deadKeyMaps, nullptr);
    EXPECT_EQ(Table(layout.deadKeyMaps[0]),
              ExpectedTable({{' ', '^'}, {'a', 0xE2}, {'e', 0xEA}}, DEAD_KEY_MAP_BASE));
    EXPECT_EQ(Table(layout.deadKeyMaps[1]),
              ExpectedTable({{' ', '`'}, {'a', 0xE0}, {'e', 0xE8}}, DEAD_KEY_MAP_BASE));
}

TEST(LegacyReaderFile, DeadKeyMapSectionsInAnyOrder) {
    LegacyFile read(FixturePath("dead_key_map_sections_any_order.deu"), 1252);
    ASSERT_TRUE(read.result);
    const LegacyLayout &layout = read.layout;
    ASSERT_EQ(layout.deadKeyCount, 3);
    EXPECT_EQ(std::string((const char *)layout.deadKeyChars, 3), "^`~");
    ASSERT_NE(layout.deadKeyMaps, nullptr);
    // Entry 255 is skipped without ending the section; 123 and national letters are kept.
    EXPECT_EQ(Table(layout.deadKeyMaps[0]),
              ExpectedTable({{' ', '^'}, {0xE4, '1'}, {0xFE, '2'}, {'{', '3'}, {'a', 0xE2}},
                            DEAD_KEY_MAP_BASE));
    // No section for dead key 2; the section for a fourth dead key is not taken for it.
    EXPECT_EQ(Table(layout.deadKeyMaps[1]), ExpectedTable({}, DEAD_KEY_MAP_BASE));
    EXPECT_EQ(Table(layout.deadKeyMaps[2]),
              ExpectedTable({{' ', '~'}, {'n', 0xF1}}, DEAD_KEY_MAP_BASE));
}

TEST(LegacyReaderFile, DeadKeysOverLimit) {
    LegacyFile read(FixturePath("dead_keys_over_limit.deu"), 1252);
    ASSERT_TRUE(read.result);
    const LegacyLayout &layout = read.layout;
    ASSERT_EQ(layout.deadKeyCount, MAX_DEAD_KEYS);
    for (int i = 0; i < MAX_DEAD_KEYS; i++)
        EXPECT_EQ(layout.deadKeyChars[i], 33 + i) << i;
    ASSERT_NE(layout.deadKeyMaps, nullptr);
    EXPECT_EQ(Table(layout.deadKeyMaps[MAX_DEAD_KEYS - 1]),
              ExpectedTable({{' ', 'Z'}}, DEAD_KEY_MAP_BASE));
}

TEST(LegacyReaderFile, LongTitleKeepsNinetyNineBytes) {
    LegacyFile read(FixturePath("long_title.deu"), 1252);
    ASSERT_TRUE(read.result);
    EXPECT_EQ(Title(read.layout), std::string(97, 'x'));
    EXPECT_EQ(Table(read.layout.mainMap), ExpectedTable({{'a', 'b'}}, CHAR_MAP_BASE));
}

TEST(LegacyReaderFile, NoLineBreakReadsNothing) {
    LegacyFile read(FixturePath("no_line_break.deu"), 1252);
    ASSERT_TRUE(read.result);
    EXPECT_EQ(Title(read.layout), "");
    EXPECT_EQ(Table(read.layout.mainMap), ExpectedTable({}, CHAR_MAP_BASE));
    EXPECT_EQ(Table(read.layout.capsMap), ExpectedTable({}, CHAR_MAP_BASE));
    EXPECT_EQ(read.layout.deadKeyCount, 0);
    EXPECT_EQ(read.layout.deadKeyMaps, nullptr);
}

TEST(LegacyReaderFile, ClosingTagBeforeOpeningEmptiesOnlyThatSection) {
    LegacyFile read(FixturePath("closing_tag_before_opening.deu"), 1252);
    ASSERT_TRUE(read.result);
    EXPECT_EQ(Title(read.layout), "Closing </map> first");
    EXPECT_EQ(Table(read.layout.mainMap), ExpectedTable({}, CHAR_MAP_BASE));
    EXPECT_EQ(Table(read.layout.capsMap), ExpectedTable({{'A', 'B'}}, CHAR_MAP_BASE));
}

struct ExtensionCase {
    const char *fileName;
    UINT codePage;
    const char16_t *label;
};

void PrintTo(const ExtensionCase &c, std::ostream *os) {
    *os << c.fileName;
}

class ExtensionTest : public testing::TestWithParam<ExtensionCase> {};

TEST_P(ExtensionTest, GivesCodePageAndLabel) {
    const ExtensionCase &c = GetParam();
    TempDirectory directory;
    ASSERT_FALSE(directory.Path().empty());
    std::string path = directory.Write(c.fileName, ReadFixture("national_letters.ru"));
    LegacyFile read(path, 1250);
    ASSERT_TRUE(read.result);
    EXPECT_EQ(read.layout.codePage, c.codePage);
    EXPECT_EQ(std::u16string(read.layout.label), c.label);
    // The content does not depend on the name.
    EXPECT_EQ(Title(read.layout), "\xd0\xf3\xf1\xf1\xea\xe0\xff");
    EXPECT_EQ(Table(read.layout.mainMap), ExpectedTable({{'q', 0xE9}, {'w', 0xF6}}, CHAR_MAP_BASE));
    EXPECT_EQ(Table(read.layout.capsMap), ExpectedTable({{'Q', 0xC9}, {'W', 0xD6}}, CHAR_MAP_BASE));
}

const ExtensionCase extensionCases[] = {
    {"pennini.rU", 1251, u"Ru"},     {"pennini.ru", 1251, u"Ru"},  {"pennini.ell", 1253, u"El"},
    {"pennini.deu", 1252, u"De"},    {"pennini1.BU", 1251, u"Bg"}, {"pennini.Trk", 1254, u"Tr"},
    {"pennini.old.ru", 1251, u"Ru"}, {"pennini", 1250, u""},       {"pennini.xyz", 1250, u""},
    {"pennini.ru.xyz", 1250, u""},   {"pennini.", 1250, u""},      {"pennini.rus", 1250, u""},
};

INSTANTIATE_TEST_SUITE_P(LegacyReader, ExtensionTest, testing::ValuesIn(extensionCases),
                         [](const testing::TestParamInfo<ExtensionCase> &info) {
                             std::string name;
                             for (const char *p = info.param.fileName; *p != 0; p++)
                                 name += isalnum((unsigned char)*p) ? *p : '_';
                             return name + "_" + std::to_string(info.index);
                         });

TEST(LegacyReaderFile, EachFileStartsFromTheGivenCodePage) {
    TempDirectory directory;
    ASSERT_FALSE(directory.Path().empty());
    std::string content = ReadFixture("national_letters.ru");
    std::string russian = directory.Write("pennini.ru", content);
    std::string unknown = directory.Write("pennini.xyz", content);
    LegacyLayout layout;
    ASSERT_TRUE(ReadLegacyLayout(russian.c_str(), 1250, &layout));
    EXPECT_EQ(layout.codePage, 1251u);
    FreeLegacyLayout(&layout);
    ASSERT_TRUE(ReadLegacyLayout(unknown.c_str(), 1250, &layout));
    EXPECT_EQ(layout.codePage, 1250u);
    EXPECT_EQ(std::u16string(layout.label), u"");
    FreeLegacyLayout(&layout);
}

TEST(LegacyReaderFile, EmptyOrMissingFileFails) {
    TempDirectory directory;
    ASSERT_FALSE(directory.Path().empty());
    std::string empty = directory.Write("pennini.deu", "");
    LegacyLayout layout;
    EXPECT_FALSE(ReadLegacyLayout(empty.c_str(), 1252, &layout));
    FreeLegacyLayout(&layout);
    std::string missing = directory.Path() + "/pennini2.deu";
    EXPECT_FALSE(ReadLegacyLayout(missing.c_str(), 1252, &layout));
    FreeLegacyLayout(&layout);
}

// ---------------------------------------------------------------------------------------------
// String operations

struct RemoveCharsCase {
    std::string text;
    const char *set;
    std::string result;
};

TEST(LegacyReaderStrings, RemoveChars) {
    const RemoveCharsCase cases[] = {
        {"a[b]c\\d,e", "\\[],", "abcde"},
        {"[[,]]\\", "\\[],", ""},
        {"", "\\[],", ""},
        {"abc", "", "abc"},
        {"aXbXXc", "X", "abc"},
        {"x[y", "]", "x[y"},
        {"\xe4,\xfc", ",", "\xe4\xfc"},
        {"\xe4,\xfc", "\xe4", ",\xfc"},
    };
    for (const RemoveCharsCase &c : cases) {
        std::string text = c.text;
        RemoveChars(text.data(), c.set);
        EXPECT_STREQ(text.c_str(), c.result.c_str())
            << "\"" << c.text << "\" - \"" << c.set << "\"";
    }
}

TEST(LegacyReaderStrings, TrimBlanks) {
    const std::pair<std::string, std::string> cases[] = {
        {"  a b  ", "a b"}, {"\t a\t", "a"},      {"   ", ""},          {"", ""},
        {"a", "a"},         {"x \t y", "x \t y"}, {" \ra\n ", "\ra\n"}, {"\t\t", ""},
    };
    for (const auto &c : cases) {
        std::string text = c.first;
        TrimBlanks(text.data());
        EXPECT_STREQ(text.c_str(), c.second.c_str()) << "\"" << c.first << "\"";
    }
}

TEST(LegacyReaderStrings, LocaleFromEveryExtension) {
    // Every row of the table, written in lower case: a look-up must ignore case.
    const std::pair<const char *, LCID> rows[] = {
        {"dan", 0x0406}, {"nld", 0x0413}, {"nlb", 0x0813}, {"enu", 0x0409}, {"eng", 0x0809},
        {"ena", 0x0C09}, {"enc", 0x1009}, {"enz", 0x1409}, {"eni", 0x1809}, {"fin", 0x040B},
        {"fra", 0x040C}, {"frb", 0x080C}, {"frc", 0x0C0C}, {"frs", 0x100C}, {"deu", 0x0407},
        {"des", 0x0807}, {"dea", 0x0C07}, {"isl", 0x040F}, {"ita", 0x0410}, {"its", 0x0810},
        {"nor", 0x0414}, {"non", 0x0814}, {"ptb", 0x0416}, {"ptg", 0x0816}, {"sve", 0x041D},
        {"esp", 0x040A}, {"esm", 0x080A}, {"esn", 0x0C0A}, {"trk", 0x041F}, {"plk", 0x0415},
        {"csy", 0x0405}, {"sky", 0x041B}, {"hun", 0x040E}, {"ru", 0x0419},  {"bu", 0x0402},
        {"rom", 0x0418}, {"ukr", 0x0422}, {"bel", 0x0423}, {"ell", 0x0408}, {"slv", 0x0424},
        {"eti", 0x0425}, {"lth", 0x0427}, {"lvi", 0x0426},
    };
    for (const auto &row : rows)
        EXPECT_EQ(LocaleFromExtension(row.first), row.second) << row.first;
}

TEST(LegacyReaderStrings, LocaleFromExtensionCasesAndMisses) {
    const std::pair<const char *, LCID> cases[] = {
        {"RU", 0x0419},  {"rU", 0x0419}, {"Ru", 0x0419}, {"BU", 0x0402}, {"DeU", 0x0407},
        {"ELL", 0x0408}, {"RUS", 0},     {"R", 0},       {"", 0},        {"xyz", 0},
        {"deu ", 0},     {" deu", 0},    {"deux", 0},    {"kbi", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LocaleFromExtension(c.first), c.second) << "\"" << c.first << "\"";
    EXPECT_EQ(LocaleFromExtension(nullptr), 0u);
}

} // namespace
