// The catalogue of a directory, loading layout trees, and releasing them.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "layodex_test_support.h"

namespace {

// Taken before any test sets a directory: the library starts in its own module's directory,
// where the build puts the shipped layouts.
Element *const catalogueAtStart = LoadKeyBoardsNames();

TEST(SearchDirectory, StartsAsTheLibrarysOwnDirectory) {
    KeyboardLayout *english = GetKeyBoardByName(catalogueAtStart, u"English");
    ASSERT_NE(english, nullptr);
    PathString path(english->path);
    PathString expectedEnd = ToPath("\\English.kbi");
    ASSERT_GE(path.size(), expectedEnd.size());
    EXPECT_EQ(path.substr(path.size() - expectedEnd.size()), expectedEnd);
    EXPECT_EQ(path[0], '\\');
}

TEST(Catalogue, OneEntryPerMainLayoutWithItsHighestNumber) {
    LoadedLayouts layouts(DataDirectory("catalogue_highest_number"));
    std::vector<KeyboardLayout *> entries = InListOrder(layouts.Catalogue());
    ASSERT_EQ(entries.size(), 2u); // Alpha and Beta; Gamma's negative number never counts
    KeyboardLayout *alpha = GetKeyBoardByName(layouts.Catalogue(), u"ALPHA");
    KeyboardLayout *beta = GetKeyBoardByName(layouts.Catalogue(), u"beta");
    ASSERT_NE(alpha, nullptr);
    ASSERT_NE(beta, nullptr);
    EXPECT_EQ(alpha->number, 3);
    EXPECT_EQ(std::u16string(alpha->label), u"A3");
    EXPECT_EQ(std::u16string(alpha->subName), u"Main");
    PathString alphaPath(alpha->path);
    EXPECT_NE(alphaPath.find(ToPath("second.kbi")), PathString::npos);
    EXPECT_EQ(alpha->keys, nullptr);
    EXPECT_EQ(std::u16string(beta->subName), u"main");
}

TEST(Catalogue, EmptyOrMissingDirectoryGivesNoCatalogue) {
    TemporaryDirectory empty;
    LoadedLayouts nothing(empty.Path());
    EXPECT_EQ(nothing.Catalogue(), nullptr);
    LoadedLayouts missing(empty.File("missing"));
    EXPECT_EQ(missing.Catalogue(), nullptr);
}

TEST(Catalogue, UnreadableAndEmptyFilesAreSkipped) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("good.kbi", "[Good,G,Main,1]\n0,0,1,1,,a,0,0\n");
    WriteBytes(directory.File("empty.kbi"), "");
    WriteBytes(directory.File("odd.kbi"), "[");
    std::filesystem::create_directory(directory.File("folder.kbi"));
    LoadedLayouts layouts(directory.Path());
    std::vector<KeyboardLayout *> entries = InListOrder(layouts.Catalogue());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(NameOf(entries[0]), "Good/Main");
}

// The pipe is made first and the scan run after: opening it must fail, not wait for a writer.
TEST(Catalogue, NamedPipesAreSkippedWithoutWaiting) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("good.kbi", "[Good,G,Main,1]\n0,0,1,1,,a,0,0\n");
    ASSERT_EQ(mkfifo(directory.File("pipe.kbi").c_str(), 0666), 0);
    LoadedLayouts layouts(directory.Path());
    std::vector<KeyboardLayout *> entries = InListOrder(layouts.Catalogue());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(NameOf(entries[0]), "Good/Main");
    KeyboardLayout *good = layouts.Load("Good");
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(KeysInListOrder(good).size(), 1u);
}

TEST(Loading, AnyNumberTakesTheFirstOfTheHighestNumberedSections) {
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *pick = layouts.Load("Pick");
    ASSERT_NE(pick, nullptr);
    EXPECT_EQ(pick->number, 5);
    ASSERT_EQ(KeysInListOrder(pick).size(), 1u);
    EXPECT_EQ(KeysInListOrder(pick)[0]->code, 'b');
    EXPECT_EQ(pick->offset, 0);
}

TEST(Loading, ExactNumberAndSectionsWithoutValidKeys) {
    LoadedLayouts layouts(DataDirectory());
    EXPECT_EQ(layouts.Load("Pick", "Main", 3), nullptr);
    KeyboardLayout *four = layouts.Load("pick", "MAIN", 4);
    ASSERT_NE(four, nullptr);
    EXPECT_EQ(KeysInListOrder(four)[0]->code, 'd');
    // Section 7 has no valid key line, so the highest section that does is loaded.
    KeyboardLayout *empty = layouts.Load("Empty");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->number, 3);
    EXPECT_EQ(layouts.Load("Empty", "Main", 7), nullptr);
    EXPECT_EQ(layouts.Load("Nobody"), nullptr);
}

TEST(Loading, TheSameRequestGivesTheCachedLayoutWithoutReadingAgain) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("once.kbi", "[Once,O,Main,1]\n0,0,1,1,,a,0,0\n");
    LoadedLayouts layouts(directory.Path());
    KeyboardLayout *first = layouts.Load("Once");
    ASSERT_NE(first, nullptr);
    std::filesystem::remove(directory.File("once.kbi"));
    EXPECT_EQ(layouts.Load("Once"), first);
    EXPECT_EQ(layouts.Load("Once", "Main", 1), first);
}

TEST(Loading, CyclicSubKeyboardsAreLoadedOnceWithIdentitiesInLoadOrder) {
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *main = layouts.Load("Cyc");
    ASSERT_NE(main, nullptr);
    KeyDef *mainShift = KeysInListOrder(main)[1];
    KeyboardLayout *shift = (KeyboardLayout *)mainShift->target;
    ASSERT_NE(shift, nullptr);
    EXPECT_EQ(NameOf(shift), "Cyc/Shift");
    KeyDef *shiftShift = KeysInListOrder(shift)[1];
    EXPECT_EQ(shiftShift->target, main);
    // The inner key's load returns first, so it gets the lower identity.
    EXPECT_GT(shiftShift->identity, 0);
    EXPECT_EQ(mainShift->identity, shiftShift->identity + 1);
    EXPECT_EQ(KeysInListOrder(main)[0]->identity, 0);
}

TEST(Loading, AMissingTargetLeavesTheKeyInert) {
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *lost = layouts.Load("Lost");
    ASSERT_NE(lost, nullptr);
    KeyDef *key = KeysInListOrder(lost)[0];
    EXPECT_EQ(key->target, nullptr);
    EXPECT_NE(key->flags & KEY_NEWKEYBD, 0u);
    EXPECT_EQ(key->identity, 0);
}

TEST(Loading, SwitchKeysLeadToTheNextLayoutOfTheCatalogue) {
    LoadedLayouts layouts(DataDirectory("switch_ring"));
    std::vector<KeyboardLayout *> order = InListOrder(layouts.Catalogue());
    ASSERT_EQ(order.size(), 3u);
    for (size_t i = 0; i < order.size(); i++) {
        KeyboardLayout *layout = layouts.Load(Utf8(order[i]->name).c_str());
        ASSERT_NE(layout, nullptr);
        const KeyboardLayout *request = (const KeyboardLayout *)KeysInListOrder(layout)[0]->target;
        ASSERT_NE(request, nullptr);
        const KeyboardLayout *next = order[(i + 1) % order.size()];
        EXPECT_EQ(NameOf(request), NameOf(next));
        EXPECT_EQ(std::u16string(request->label), std::u16string(next->label));
        EXPECT_EQ(request->number, next->number);
    }
}

TEST(Loading, WithoutACatalogueSwitchKeysGetNoTarget) {
    ASSERT_EQ(SetSearchDirectory(ToPath(DataDirectory("switch_ring")).c_str()), 1);
    KeyboardLayout request = {};
    std::u16string(u"A").copy(request.name, 1);
    std::u16string(u"Main").copy(request.subName, 4);
    request.number = -1;
    KeyboardLayout *layout = (KeyboardLayout *)LoadKeyBoard(nullptr, &request, nullptr);
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(KeysInListOrder(layout)[0]->target, nullptr);
    Element *catalogue = LoadKeyBoardsNames();
    EXPECT_EQ(UnLoadKeyBoardsNames(catalogue), 1);
}

TEST(Loading, TextKeysKeepTheirTextsAndPictureNumbers) {
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *texts = layouts.Load("Texts");
    ASSERT_NE(texts, nullptr);
    std::vector<KeyDef *> keys = KeysInListOrder(texts);
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(std::u16string((const WCHAR *)keys[0]->target), u"Hello, world");
    EXPECT_EQ(std::u16string((const WCHAR *)keys[1]->target), u"\\Windows\\notes.exe");
    EXPECT_EQ(keys[3]->imageIndex, 121u);
}

TEST(Unloading, UnLoadKeyBoardReleasesTheWholeTreeButKeepsTheRecords) {
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *main = layouts.Load("Look");
    ASSERT_NE(main, nullptr);
    KeyboardLayout *shift = FindKeyBoardByUnicode(main, 16);
    ASSERT_NE(shift, nullptr);
    EXPECT_EQ(UnLoadKeyBoard(main), 1);
    EXPECT_EQ(main->keys, nullptr);
    EXPECT_EQ(shift->keys, nullptr);
    EXPECT_EQ(UnLoadKeyBoard(main), 0);
    EXPECT_EQ(UnLoadKeyBoard(nullptr), 0);
    // The record stays cached, without keys, until everything is released.
    EXPECT_EQ(layouts.Load("Look"), main);
}

TEST(Unloading, ANullCatalogueKeepsTheCache) {
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *main = layouts.Load("Cyc");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(UnLoadKeyBoardsNames(nullptr), 0);
    EXPECT_NE(main->keys, nullptr);
    EXPECT_EQ(layouts.Load("Cyc"), main);
}

TEST(SearchDirectory, ABackslashIsAppendedAndTooLongADirectoryIsRefused) {
    TemporaryDirectory directory;
    directory.WriteLayoutFile("x.kbi", "[X,X,Main,1]\n0,0,1,1,,a,0,0\n");
    PathString withBackslash = ToPath(directory.Path() + "\\");
    ASSERT_EQ(SetSearchDirectory(withBackslash.c_str()), 1);
    Element *catalogue = LoadKeyBoardsNames();
    ASSERT_NE(catalogue, nullptr);
    UnLoadKeyBoardsNames(catalogue);

    PathString tooLong = ToPath(std::string(260, 'd'));
    EXPECT_EQ(SetSearchDirectory(tooLong.c_str()), 0);
    catalogue = LoadKeyBoardsNames(); // still the directory set before
    ASSERT_NE(catalogue, nullptr);
    UnLoadKeyBoardsNames(catalogue);

    // 259 characters with the backslash fill the array to its last place; one more does not fit.
    PathString barelyTooLong = ToPath(std::string(MAX_PATH - 1, 'd'));
    EXPECT_EQ(SetSearchDirectory(barelyTooLong.c_str()), 0);
    for (PathString longest :
         {ToPath(std::string(MAX_PATH - 2, 'd')), ToPath(std::string(MAX_PATH - 2, 'd') + "\\")}) {
        EXPECT_EQ(SetSearchDirectory(longest.c_str()), 1);
        catalogue = LoadKeyBoardsNames(); // no such directory, but a name that fits
        EXPECT_EQ(catalogue, nullptr);
        UnLoadKeyBoardsNames(catalogue);
    }
}

} // namespace
