// Writing layout trees back as layout file text.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>

#include "layodex_test_support.h"

namespace {

std::string Saved(KeyboardLayout *layout, int *result = nullptr) {
    std::vector<WCHAR> buffer(1250000, u'#');
    WCHAR *position = buffer.data();
    int saved = SaveKeyBoard(layout, &position);
    if (result != nullptr)
        *result = saved;
    EXPECT_EQ(*position, 0);
    return Utf8(std::u16string(buffer.data(), position));
}

// A one-key layout built in memory.
struct SingleKeyLayout {
    KeyboardLayout layout = {};
    KeyDef *key;
    explicit SingleKeyLayout(WORD code, DWORD flags = 0, void *target = nullptr) {
        std::u16string(u"One").copy(layout.name, 3);
        std::u16string(u"O").copy(layout.label, 1);
        std::u16string(u"Main").copy(layout.subName, 4);
        layout.number = 1;
        key = (KeyDef *)LocalAlloc(LPTR, sizeof(KeyDef));
        *key = KeyDef{0, 0, 20, 20, code, flags, target, nullptr, 0, 0};
        AddElement(&layout.keys, key);
    }
    ~SingleKeyLayout() {
        ReleaseAll(&layout.keys, 1);
    }
    std::string KeyLine() {
        std::string text = Saved(&layout);
        size_t lineStart = text.find("\r\n") + 2;
        return text.substr(lineStart);
    }
};

TEST(SaveKeyBoard, HeaderAndKeyLinesInTheirCanonicalForm) {
    struct Case {
        WORD code;
        DWORD flags;
        const char *line;
    } cases[] = {
        {'q', 0, "0, 0, 20, 20, 0, q, 0, 0\r\n"},
        {' ', 0, "0, 0, 20, 20, VIRTUAL, SPACE, 0, 0\r\n"},
        {',', 0, "0, 0, 20, 20, VIRTUAL, COMMA, 0, 0\r\n"},
        {'"', 0, "0, 0, 20, 20, VIRTUAL, DOUBLEQUOTA, 0, 0\r\n"},
        {34, KEY_VIRTUAL, "0, 0, 20, 20, VIRTUAL, DOUBLEQUOTA, 0, 0\r\n"},
        {16, KEY_VIRTUAL | KEY_STICK | KEY_TEMP_MARK | KEY_IMAGE_OWNED | 0x1000,
         "0, 0, 20, 20, VIRTUAL|STICK, SHIFT, 0, 0\r\n"},
        {0, KEY_VIRTUAL, "0, 0, 20, 20, VIRTUAL, 0, 0, 0\r\n"},
        {'a', KEY_NORELEASESTICK | KEY_MAP | KEY_HIDDEN,
         "0, 0, 20, 20, MAP|HIDDEN|NORELEASESTICK, a, 0, 0\r\n"},
        // Characters the reader would skip or split at, and NUL, which would end the file.
        {0, KEY_IMAGEINTERNAL, "0, 0, 20, 20, IMAGEINTERNAL, , 0, 0\r\n"},
        {'\t', 0, "0, 0, 20, 20, 0, \"\t\", 0, 0\r\n"},
        {'\r', 0, "0, 0, 20, 20, 0, \"\r\", 0, 0\r\n"},
        {0x3000, 0, "0, 0, 20, 20, 0, \"\xE3\x80\x80\", 0, 0\r\n"},
        {'a', KEY_IMAGE, "0, 0, 20, 20, IMAGE, a, 0, \"path:\"\r\n"},
        {'a', KEY_NEWKEYBD, "0, 0, 20, 20, NEWKEYBD, a, 0, 0\r\n"},
    };
    for (const Case &c : cases) {
        SingleKeyLayout one(c.code, c.flags);
        EXPECT_EQ(one.KeyLine(), c.line) << c.code;
    }
    SingleKeyLayout one('q');
    EXPECT_EQ(Saved(&one.layout).substr(0, 17), "[One,O,Main,1]\r\n0");
}

TEST(SaveKeyBoard, AVirtualCodeWithoutANameIsLeftOut) {
    SingleKeyLayout one(112, KEY_VIRTUAL);
    EXPECT_EQ(one.KeyLine(), "");
}

TEST(SaveKeyBoard, TextsAndNamesAreWrittenSoTheyReadBack) {
    WCHAR *macro = _wcsdup(u"say \"hi\", then");
    SingleKeyLayout one('m', KEY_MACRO, macro);
    EXPECT_EQ(one.KeyLine(), "0, 0, 20, 20, MACRO, m, \"say \", 0\r\n");
    one.key->flags = KEY_IMAGEINTERNAL;
    // Picture numbers are signed in the text, as the reader takes them: past 2^31 they wrap.
    one.key->imageIndex = 4000000000u;
    EXPECT_EQ(one.KeyLine(), "0, 0, 20, 20, IMAGEINTERNAL, m, 0, -294967296\r\n");
    one.key->imageIndex = 0x7FFFFFFFu;
    EXPECT_EQ(one.KeyLine(), "0, 0, 20, 20, IMAGEINTERNAL, m, 0, 2147483647\r\n");
    one.key->imageIndex = 0x80000000u;
    EXPECT_EQ(one.KeyLine(), "0, 0, 20, 20, IMAGEINTERNAL, m, 0, -2147483648\r\n");
    free(macro);
    one.key->target = nullptr;

    KeyboardLayout target = {};
    std::u16string(u"A,b]\"c").copy(target.name, 6);
    std::u16string(u"Sub").copy(target.subName, 3);
    SingleKeyLayout link('n', KEY_NEWKEYBD, &target);
    std::u16string(u"x,y").copy(link.layout.label, 3);
    std::string text = Saved(&link.layout);
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "[One,x_y,Main,1]");
    EXPECT_NE(text.find("NEWKEYBD, n, \"A_b__c,Sub\", 0\r\n[A_b__c,,Sub,0]\r\n"),
              std::string::npos);
}

// The reader takes back at most 299 characters of text, so the writer writes no more.
TEST(SaveKeyBoard, MacroTextsUpToTheReadersLimitAreWrittenWhole) {
    for (size_t length : {299u, 300u}) {
        std::u16string text(length, u't');
        WCHAR *macro = _wcsdup(text.c_str());
        SingleKeyLayout one('m', KEY_MACRO, macro);
        EXPECT_EQ(one.KeyLine(), "0, 0, 20, 20, MACRO, m, \"" + std::string(299, 't') + "\", 0\r\n")
            << length;
        one.key->target = nullptr;
        free(macro);
    }
}

TEST(SaveKeyBoard, ATreeIsWrittenOnceEachLayoutInPreOrder) {
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *main = layouts.Load("Cyc");
    ASSERT_NE(main, nullptr);
    int result = 0;
    std::string text = Saved(main, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(text, "[Cyc,C,Main,1]\r\n"
                    "0, 0, 20, 20, 0, a, 0, 0\r\n"
                    "20, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, SHIFT, \"Cyc,Shift\", 0\r\n"
                    "[Cyc,C,Shift,1]\r\n"
                    "0, 0, 20, 20, 0, A, 0, 0\r\n"
                    "20, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, SHIFT, \"Cyc,Main\", 0\r\n");
}

TEST(SaveKeyBoard, ALayoutWithoutKeysGetsItsHeaderAndAZeroResult) {
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *main = layouts.Load("Cyc");
    ASSERT_NE(main, nullptr);
    KeyboardLayout *shift = FindKeyBoardByNumber(main, 1);
    Element *shiftKeys = shift->keys;
    shift->keys = nullptr;
    int result = 1;
    std::string text = Saved(main, &result);
    shift->keys = shiftKeys;
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(text.ends_with("[Cyc,C,Shift,1]\r\n"));
    EXPECT_EQ(SaveKeyBoard(nullptr, nullptr), 0);
}

TEST(SaveKeyBoard, TextThatDoesNotFitIsNotWrittenAtAll) {
    // 30,000 keys of about 60 characters pass the 1,250,000 characters a buffer holds.
    SingleKeyLayout big('k', KEY_MACRO | KEY_HIDDEN | KEY_NORELEASESTICK);
    std::u16string text(40, u'x');
    WCHAR *shared = _wcsdup(text.c_str());
    big.key->target = shared;
    for (int i = 0; i < 30000; i++) {
        KeyDef *key = (KeyDef *)LocalAlloc(LPTR, sizeof(KeyDef));
        *key = *big.key;
        AddElement(&big.layout.keys, key);
    }
    std::vector<WCHAR> buffer(1250000 + 16, u'#');
    WCHAR *position = buffer.data();
    EXPECT_EQ(SaveKeyBoard(&big.layout, &position), 0);
    EXPECT_EQ(position, buffer.data());
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1250000 - 1], u'#'); // nothing past the capacity was touched
    for (Element *node = big.layout.keys; node != nullptr; node = node->next)
        ((KeyDef *)node->data)->target = nullptr;
    free(shared);
}

// Text that fills the buffer to its last unit but one, the NUL taking the last, is written whole;
// one unit more and nothing is written.
TEST(SaveKeyBoard, TextThatExactlyFillsTheBufferIsWrittenWhole) {
    const size_t capacity = 1250000;
    for (size_t textUnits : {capacity - 1, capacity}) {
        SingleKeyLayout big('k', KEY_MACRO);
        std::vector<WCHAR *> texts;
        auto setText = [&](KeyDef *key, size_t length) {
            texts.push_back(_wcsdup(std::u16string(length, u'x').c_str()));
            key->target = texts.back();
        };
        setText(big.key, 40);
        const size_t headerUnits = Saved(&big.layout).find("\r\n") + 2;
        const size_t lineUnits = big.KeyLine().size();
        const size_t keyCount = (textUnits - headerUnits) / lineUnits;
        const size_t rest = (textUnits - headerUnits) % lineUnits;
        for (size_t i = 1; i < keyCount; i++) {
            KeyDef *key = (KeyDef *)LocalAlloc(LPTR, sizeof(KeyDef));
            *key = *big.key;
            AddElement(&big.layout.keys, key);
        }
        setText((KeyDef *)big.layout.keys->data, 40 + rest); // the last key takes up the rest

        std::vector<WCHAR> buffer(capacity + 16, u'#');
        WCHAR *position = buffer.data();
        const bool fits = textUnits < capacity;
        EXPECT_EQ(SaveKeyBoard(&big.layout, &position), fits ? 1 : 0) << textUnits;
        EXPECT_EQ((size_t)(position - buffer.data()), fits ? textUnits : 0u);
        EXPECT_EQ(*position, 0);
        EXPECT_EQ(buffer[capacity], u'#'); // nothing past the capacity was touched
        if (fits) {
            EXPECT_EQ(std::u16string(buffer.data() + capacity - 8, 7), u"x\", 0\r\n");
        }
        for (Element *node = big.layout.keys; node != nullptr; node = node->next)
            ((KeyDef *)node->data)->target = nullptr;
        for (WCHAR *text : texts)
            free(text);
    }
}

TEST(SaveKeyBoardsNames, WritesEveryLoadedLayoutIntoTheSearchDirectory) {
    TemporaryDirectory directory;
    std::filesystem::copy_file(DataDirectory("cycle_main_shift.kbi"), directory.File("cycle.kbi"));
    LoadedLayouts layouts(directory.Path());
    ASSERT_NE(layouts.Load("Cyc"), nullptr);
    EXPECT_EQ(SaveKeyBoardsNames(nullptr, ToPath("all.kbi").c_str()), 0);
    ASSERT_EQ(SaveKeyBoardsNames(layouts.Catalogue(), ToPath("all.kbi").c_str()), 1);
    std::string bytes = ReadBytes(directory.File("all.kbi"));
    std::u16string text((const char16_t *)bytes.data(), bytes.size() / 2);
    EXPECT_EQ(Utf8(text), "[Cyc,C,Main,1]\r\n"
                          "0, 0, 20, 20, 0, a, 0, 0\r\n"
                          "20, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, SHIFT, \"Cyc,Shift\", 0\r\n"
                          "\r\n"
                          "[Cyc,C,Shift,1]\r\n"
                          "0, 0, 20, 20, 0, A, 0, 0\r\n"
                          "20, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, SHIFT, \"Cyc,Main\", 0\r\n"
                          "\r\n");
    EXPECT_FALSE(std::filesystem::exists(directory.File("all.kbi~")));
}

TEST(SaveKeyBoardsNames, TemporaryFilesLeftByCrashesNeverBlockASave) {
    TemporaryDirectory directory;
    std::filesystem::copy_file(DataDirectory("cycle_main_shift.kbi"), directory.File("cycle.kbi"));
    LoadedLayouts layouts(directory.Path());
    ASSERT_NE(layouts.Load("Cyc"), nullptr);
    WriteBytes(directory.File("keep.kbi"), "old content");
    // A free name is taken first, and the stale files are left as they are.
    for (const char *suffix : {"~", "~1", "~2", "~3", "~4", "~6", "~7"})
        WriteBytes(directory.File(std::string("keep.kbi") + suffix), suffix);
    EXPECT_EQ(SaveKeyBoardsNames(layouts.Catalogue(), ToPath("keep.kbi").c_str()), 1);
    EXPECT_NE(ReadBytes(directory.File("keep.kbi")), "old content");
    EXPECT_FALSE(std::filesystem::exists(directory.File("keep.kbi~5")));
    EXPECT_EQ(ReadBytes(directory.File("keep.kbi~")), "~");

    // With every name taken, the first is taken over.
    WriteBytes(directory.File("keep.kbi"), "old content");
    WriteBytes(directory.File("keep.kbi~5"), "~5");
    EXPECT_EQ(SaveKeyBoardsNames(layouts.Catalogue(), ToPath("keep.kbi").c_str()), 1);
    EXPECT_NE(ReadBytes(directory.File("keep.kbi")), "old content");
    EXPECT_FALSE(std::filesystem::exists(directory.File("keep.kbi~")));
    EXPECT_EQ(ReadBytes(directory.File("keep.kbi~5")), "~5");
}

TEST(SaveKeyBoardsNames, AFullDiskLeavesTheOldFileAndNoTemporaryFile) {
    TemporaryDirectory directory;
    std::filesystem::copy_file(DataDirectory("cycle_main_shift.kbi"), directory.File("cycle.kbi"));
    LoadedLayouts layouts(directory.Path());
    ASSERT_NE(layouts.Load("Cyc"), nullptr);
    WriteBytes(directory.File("keep.kbi"), "old content");
    // A file-size limit far below the text's room stands in for a full disk.
    rlimit saved = {};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const int result = SaveKeyBoardsNames(layouts.Catalogue(), ToPath("keep.kbi").c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadBytes(directory.File("keep.kbi")), "old content");
    EXPECT_FALSE(std::filesystem::exists(directory.File("keep.kbi~")));
}

// Whoever runs the test, root included, a read-only file is not replaced and no temporary file
// stays behind.
TEST(SaveKeyBoardsNames, AReadOnlyFileIsNotReplaced) {
    TemporaryDirectory directory;
    std::filesystem::copy_file(DataDirectory("cycle_main_shift.kbi"), directory.File("cycle.kbi"));
    LoadedLayouts layouts(directory.Path());
    ASSERT_NE(layouts.Load("Cyc"), nullptr);
    WriteBytes(directory.File("keep.kbi"), "old content");
    std::filesystem::permissions(directory.File("keep.kbi"),
                                 std::filesystem::perms::owner_read |
                                     std::filesystem::perms::group_read |
                                     std::filesystem::perms::others_read);
    EXPECT_EQ(SaveKeyBoardsNames(layouts.Catalogue(), ToPath("keep.kbi").c_str()), 0);
    EXPECT_EQ(ReadBytes(directory.File("keep.kbi")), "old content");
    EXPECT_FALSE(std::filesystem::exists(directory.File("keep.kbi~")));
}

} // namespace
