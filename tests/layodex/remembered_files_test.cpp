// The sections of a layout file are remembered between calls only while the file stays as it
// was: a file changed, added or removed between two calls is seen as it now is.
#include <gtest/gtest.h>

#include <filesystem>

#include "layodex_test_support.h"

namespace {

std::vector<std::string> Entries(Element *catalogue) {
    std::vector<std::string> names;
    for (KeyboardLayout *entry : InListOrder(catalogue))
        names.push_back(NameOf(entry) + "," + Utf8(entry->label) + "," +
                        std::to_string(entry->number));
    return names;
}

std::vector<std::string> CatalogueOf(const std::string &directory) {
    LoadedLayouts layouts(directory);
    return Entries(layouts.Catalogue());
}

void SetWriteTime(const std::string &path, int secondsFromNow) {
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() +
                                               std::chrono::seconds(secondsFromNow));
}

TEST(RememberedFiles, AChangedAddedOrRemovedFileIsSeenAtTheNextCall) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("a.kbi", "[A,a1,Main,1]\n0,0,1,1,,a,0,0\n");
    directory.WriteLayoutFile("b.kbi", "[B,b1,Main,1]\n0,0,1,1,,b,0,0\n");
    std::vector<std::string> before = {"A/Main,a1,1", "B/Main,b1,1"};
    EXPECT_EQ(CatalogueOf(directory.Path()), before);

    // The same size, another time: read again.
    directory.WriteLayoutFile("a.kbi", "[A,a2,Main,2]\n0,0,1,1,,x,0,0\n");
    SetWriteTime(directory.File("a.kbi"), 10);
    // Another size: read again whatever its time says.
    directory.WriteLayoutFile("b.kbi", "[B,b22,Main,22]\n0,0,1,1,,b,0,0\n");
    directory.WriteLayoutFile("c.kbi", "[C,c,Main,1]\n0,0,1,1,,c,0,0\n");
    std::vector<std::string> after = {"A/Main,a2,2", "B/Main,b22,22", "C/Main,c,1"};
    EXPECT_EQ(CatalogueOf(directory.Path()), after);

    std::filesystem::remove(directory.File("b.kbi"));
    std::vector<std::string> removed = {"A/Main,a2,2", "C/Main,c,1"};
    EXPECT_EQ(CatalogueOf(directory.Path()), removed);

    LoadedLayouts layouts(directory.Path());
    KeyboardLayout *a = layouts.Load("A");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(KeysInListOrder(a)[0]->code, 'x');
}

// A file that changes after the catalogue read it gives its new keys to the next load.
TEST(RememberedFiles, ALoadAfterTheCatalogueReadsTheFileAsItNowIs) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("a.kbi", "[A,a,Main,1]\n0,0,1,1,,a,0,0\n");
    LoadedLayouts layouts(directory.Path());
    directory.WriteLayoutFile("a.kbi", "[A,a,Main,1]\n0,0,1,1,,a,0,0\n9,0,1,1,,q,0,0\n");
    KeyboardLayout *a = layouts.Load("A");
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(KeysInListOrder(a).size(), 2u);
    EXPECT_EQ(KeysInListOrder(a)[1]->code, 'q');
}

std::vector<std::string> KeyTexts(const KeyboardLayout *layout) {
    std::vector<std::string> keys;
    for (KeyDef *key : KeysInListOrder(layout)) {
        std::string text = std::to_string(key->code) + "," + std::to_string(key->flags);
        if ((key->flags & KEY_MACRO) != 0)
            text += "," + Utf8((const WCHAR *)key->target);
        if ((key->flags & KEY_NEWKEYBD) != 0 && key->target != nullptr)
            text += "," + NameOf((const KeyboardLayout *)key->target);
        keys.push_back(text);
    }
    return keys;
}

// Each load makes its own keys, texts and sub-keyboard records, whether the file was read for
// it or at an earlier load: every load here releases all it made, and none frees another's.
TEST(RememberedFiles, EachLoadMakesItsOwnKeysFromTheSameFile) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("a.kbi", "[A,a,Main,1]\n0,0,1,1,MACRO,m,\"Hello\",0\n"
                                       "1,0,1,1,NEWKEYBD,s,\"A,Shift\",0\n"
                                       "[A,a,Shift,1]\n0,0,1,1,,S,0,0\n");
    std::vector<std::string> expected = {"109,16,Hello", "115,64,A/Shift"};
    for (int load = 0; load < 3; load++) {
        LoadedLayouts layouts(directory.Path());
        KeyboardLayout *a = layouts.Load("A");
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(KeyTexts(a), expected) << load;
    }
}

// A text too large to keep is read at each load, and its keys come out the same.
TEST(RememberedFiles, ALargeFileIsReadAgainAtEachLoad) {
    TemporaryDirectory directory;
    std::string text = "[Big,b,Main,1]\n0,0,1,1,MACRO,m,\"Big\",0\n";
    while (text.size() < 200 * 1024)
        text += "// filler that makes the file larger than a kept text may be\n";
    directory.WriteLayoutFile("big.kbi", text);
    std::vector<std::string> expected = {"109,16,Big"};
    for (int load = 0; load < 2; load++) {
        LoadedLayouts layouts(directory.Path());
        KeyboardLayout *big = layouts.Load("Big");
        ASSERT_NE(big, nullptr);
        EXPECT_EQ(KeyTexts(big), expected) << load;
    }
    directory.WriteLayoutFile("big.kbi", "[Big,b,Main,1]\n0,0,1,1,,x,0,0\n" + text.substr(15));
    LoadedLayouts layouts(directory.Path());
    KeyboardLayout *big = layouts.Load("Big");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(KeyTexts(big)[0], "120,0");
}

// A file changed after a load gives its new keys to the next.
TEST(RememberedFiles, AChangedFileGivesItsNewKeysToTheNextLoad) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("a.kbi", "[A,a,Main,1]\n0,0,1,1,,a,0,0\n");
    {
        LoadedLayouts layouts(directory.Path());
        ASSERT_NE(layouts.Load("A"), nullptr);
    }
    directory.WriteLayoutFile("a.kbi", "[A,a,Main,1]\n0,0,1,1,,b,0,0\n");
    LoadedLayouts layouts(directory.Path());
    KeyboardLayout *a = layouts.Load("A");
    ASSERT_NE(a, nullptr);
    std::vector<std::string> expected = {"98,0"};
    EXPECT_EQ(KeyTexts(a), expected);
}

// The same names in two directories are two different files.
TEST(RememberedFiles, AnotherDirectoryIsReadForItself) {
    TemporaryDirectory first, second;
    first.WriteLayoutFile("same.kbi", "[One,1,Main,1]\n0,0,1,1,,a,0,0\n");
    second.WriteLayoutFile("same.kbi", "[Two,2,Main,1]\n0,0,1,1,,a,0,0\n");
    std::vector<std::string> one = {"One/Main,1,1"}, two = {"Two/Main,2,1"};
    EXPECT_EQ(CatalogueOf(first.Path()), one);
    EXPECT_EQ(CatalogueOf(second.Path()), two);
    EXPECT_EQ(CatalogueOf(first.Path()), one);
}

// Many entries, each name seen three times with numbers out of order: one entry a name, in the
// order names first appear, with the highest number and its label.
TEST(RememberedFiles, ALargeCatalogueKeepsFirstSeenOrderAndHighestNumbers) {
    TemporaryDirectory directory;
    std::string text;
    const int names = 3000;
    const int numbers[] = {2, 7, 5};
    for (int pass = 0; pass < 3; pass++) {
        for (int i = 0; i < names; i++) {
            std::string name = "L" + std::to_string((i * 7919) % names);
            text += "[" + name + "," + std::to_string(numbers[pass]) + ",Main," +
                    std::to_string(numbers[pass]) + "]\n0,0,1,1,,a,0,0\n";
        }
    }
    directory.WriteLayoutFile("many.kbi", text);
    std::vector<std::string> expected;
    for (int i = 0; i < names; i++)
        expected.push_back("L" + std::to_string((i * 7919) % names) + "/Main,7,7");
    EXPECT_EQ(CatalogueOf(directory.Path()), expected);
}

} // namespace
