// Deep copies, renaming and clearing marks over whole layout trees.
#include <gtest/gtest.h>

#include <filesystem>

#include "layodex_test_support.h"

namespace {

TEST(CopyKeyBoard, CopiesTheTreeKeepingCyclesAndSharingTexts) {
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *main = layouts.Load("Cyc");
    ASSERT_NE(main, nullptr);
    KeyboardLayout *copy = CopyKeyBoard(main);
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy, main);
    EXPECT_EQ(NameOf(copy), "Cyc/Main");
    EXPECT_EQ(copy->path[0], 0);
    std::vector<KeyDef *> keys = KeysInListOrder(copy);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0]->code, 'a');
    KeyboardLayout *copiedShift = (KeyboardLayout *)keys[1]->target;
    ASSERT_NE(copiedShift, nullptr);
    EXPECT_NE(copiedShift, KeysInListOrder(main)[1]->target);
    EXPECT_EQ(NameOf(copiedShift), "Cyc/Shift");
    EXPECT_EQ(KeysInListOrder(copiedShift)[1]->target, copy); // the cycle closes on the copy
    EXPECT_EQ(CopyKeyBoard(nullptr), nullptr);

    KeyboardLayout *texts = layouts.Load("Texts");
    KeyboardLayout *textsCopy = CopyKeyBoard(texts);
    ASSERT_NE(textsCopy, nullptr);
    EXPECT_EQ(KeysInListOrder(textsCopy)[0]->target, KeysInListOrder(texts)[0]->target);
}

TEST(CopyKeyBoard, SharedTextsOutliveTheKeysReleasedFirst) {
    // Runs clean under the address sanitizer only if each shared text is freed exactly once,
    // after the last key holding it.
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *texts = layouts.Load("Texts");
    ASSERT_NE(texts, nullptr);
    KeyboardLayout *first = CopyKeyBoard(texts);
    KeyboardLayout *second = CopyKeyBoard(first);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(UnLoadKeyBoard(texts), 1);
    EXPECT_EQ(UnLoadKeyBoard(first), 1);
    EXPECT_EQ(std::u16string((const WCHAR *)KeysInListOrder(second)[0]->target), u"Hello, world");
}

TEST(CopyKeyBoardsNames, CopiesEachLayoutInListOrder) {
    LoadedLayouts layouts(DataDirectory());
    Element *list = nullptr;
    AddElement(&list, layouts.Load("Pick"));
    AddElement(&list, layouts.Load("Cyc"));
    Element *copies = CopyKeyBoardsNames(list);
    std::vector<KeyboardLayout *> copied = InListOrder(copies);
    ASSERT_EQ(copied.size(), 2u);
    EXPECT_EQ(NameOf(copied[0]), "Pick/Main");
    EXPECT_EQ(NameOf(copied[1]), "Cyc/Main");
    EXPECT_EQ(CopyKeyBoardsNames(nullptr), nullptr);
    ReleaseAll(&copies, 0);
    ReleaseAll(&list, 0);
}

TEST(ReplaceKbdNames, RenamesEveryLayoutOfTheTreeOnce) {
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *copy = CopyKeyBoard(layouts.Load("Cyc"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(ReplaceKbdNames(copy, u"Renamed", u"D", u"Rn"), 1);
    KeyboardLayout *shift = FindKeyBoardByNumber(copy, 1);
    ASSERT_NE(shift, nullptr);
    EXPECT_EQ(NameOf(copy), "Renamed/DMain");
    EXPECT_EQ(NameOf(shift), "Renamed/DShift");
    EXPECT_EQ(std::u16string(shift->label), u"Rn");

    EXPECT_EQ(ReplaceKbdNames(copy, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(NameOf(copy), "Renamed/DMain");
    EXPECT_EQ(ReplaceKbdNames(nullptr, u"x", nullptr, nullptr), 0);
}

TEST(ReplaceKbdNames, TooLongNamesAreCutToTheirArrays) {
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *copy = CopyKeyBoard(layouts.Load("Cyc"));
    ASSERT_NE(copy, nullptr);
    std::u16string longText(150, u'p');
    EXPECT_EQ(ReplaceKbdNames(copy, longText.c_str(), longText.c_str(), u"Label7"), 1);
    EXPECT_EQ(std::u16string(copy->name), longText.substr(0, 99));
    EXPECT_EQ(std::u16string(copy->subName), longText.substr(0, 99));
    EXPECT_EQ(std::u16string(copy->label), u"Label");
}

// A prefix and sub-name that fill the array to its last place, and names exactly as long as
// their arrays hold, lose nothing.
TEST(ReplaceKbdNames, NamesThatExactlyFillTheirArraysKeepEveryCharacter) {
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *copy = CopyKeyBoard(layouts.Load("Cyc"));
    ASSERT_NE(copy, nullptr);
    KeyboardLayout *shift = FindKeyBoardByNumber(copy, 1);
    ASSERT_NE(shift, nullptr);
    std::u16string name(LAYOUT_NAME_SIZE - 1, u'n');
    std::u16string prefix(LAYOUT_NAME_SIZE - 1 - 4, u'p'); // with "Main", 99 characters
    EXPECT_EQ(ReplaceKbdNames(copy, name.c_str(), prefix.c_str(), u"Label"), 1);
    EXPECT_EQ(std::u16string(copy->name), name);
    EXPECT_EQ(std::u16string(copy->subName), prefix + u"Main");
    EXPECT_EQ(std::u16string(copy->label), u"Label");
    EXPECT_EQ(std::u16string(shift->subName), (prefix + u"Shift").substr(0, 99));

    // A prefix that fills the array alone leaves no room for the old sub-name.
    std::u16string fullPrefix(LAYOUT_NAME_SIZE - 1, u'q');
    EXPECT_EQ(ReplaceKbdNames(copy, nullptr, fullPrefix.c_str(), nullptr), 1);
    EXPECT_EQ(std::u16string(copy->subName), fullPrefix);
    EXPECT_EQ(std::u16string(copy->name), name);
}

TEST(ClearTempFlag, ClearsMarksAcrossTheTreeAndKeepsOtherBits) {
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *main = layouts.Load("Look");
    ASSERT_NE(main, nullptr);
    KeyboardLayout *deep = FindKeyBoardByNumber(main, 2);
    ASSERT_NE(deep, nullptr);
    KeyDef *z = KeysInListOrder(deep)[0];
    z->flags |= KEY_TEMP_MARK | KEY_STICK;
    KeysInListOrder(main)[5]->flags |= KEY_TEMP_MARK; // even through a marked key
    EXPECT_EQ(ClearTempFlag(main), 1);
    EXPECT_EQ(z->flags, KEY_STICK);
    EXPECT_EQ(KeysInListOrder(main)[5]->flags & KEY_TEMP_MARK, 0u);
}

} // namespace

namespace {

// A layout whose key shows a picture from a bitmap file: the device build finds it in the search
// directory, the desktop build where the line says.
struct PictureLayout {
    TemporaryDirectory directory;
    PictureLayout() {
        std::filesystem::copy_file(std::string(LAYODEX_TEST_DATA) +
                                       "/../platform/rgb_24bit_top_down.bmp",
                                   directory.File("key.bmp"));
#ifdef UNDER_CE
        std::string picture = "key.bmp";
#else
        std::string picture = directory.File("key.bmp");
#endif
        directory.WriteLayoutFile("picture.kbi", "[Picture,P,Main,1]\n"
                                                 "0, 0, 20, 20, IMAGE, p, 0, \"" +
                                                     picture +
                                                     "\"\n"
                                                     "20, 0, 20, 20, IMAGE, q, 0, missing.bmp\n");
    }
};

bool IsLiveBitmap(HBITMAP bitmap) {
    BITMAP info;
    return GetObject(bitmap, sizeof info, &info) == sizeof info;
}

TEST(KeyPictures, ACopiedPictureIsDeletedOnceWithTheLastKeyShowingIt) {
    PictureLayout files;
    HBITMAP picture;
    {
        LoadedLayouts layouts(files.directory.Path());
        KeyboardLayout *original = layouts.Load("Picture");
        ASSERT_NE(original, nullptr);
        std::vector<KeyDef *> keys = KeysInListOrder(original);
        ASSERT_EQ(keys.size(), 2u);
        picture = keys[0]->image;
        ASSERT_NE(picture, nullptr);
        EXPECT_NE(keys[0]->flags & KEY_IMAGE_OWNED, 0u);
        EXPECT_EQ(keys[1]->image, nullptr); // a missing file leaves the key without a picture
        EXPECT_EQ(keys[1]->flags & KEY_IMAGE_OWNED, 0u);

        KeyboardLayout *copy = CopyKeyBoard(original);
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(KeysInListOrder(copy)[0]->image, picture);
        EXPECT_EQ(UnLoadKeyBoard(original), 1);
        EXPECT_TRUE(IsLiveBitmap(picture)); // the copy still shows it
    }
    EXPECT_FALSE(IsLiveBitmap(picture));
}

} // namespace
