// The English template: four levels that fit a Pocket PC screen and type all of ASCII.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "layodex_test_support.h"

namespace {

class EnglishLayout : public testing::Test {
  protected:
    EnglishLayout() : layouts(LAYODEX_LAYOUTS_DIRECTORY) {
        main = layouts.Load("English");
    }
    KeyboardLayout *Level(const char *subName) {
        return layouts.Load("English", subName);
    }
    KeyboardLayout *TargetOf(KeyboardLayout *level, WORD virtualCode) {
        for (KeyDef *key : KeysInListOrder(level)) {
            if ((key->flags & KEY_VIRTUAL) != 0 && key->code == virtualCode)
                return (KeyboardLayout *)key->target;
        }
        return nullptr;
    }
    LoadedLayouts layouts;
    KeyboardLayout *main;
};

TEST_F(EnglishLayout, LevelsLeadToEachOtherThroughShiftAndCaps) {
    ASSERT_NE(main, nullptr);
    KeyboardLayout *shift = Level("Shift"), *caps = Level("Caps"),
                   *shiftedCaps = Level("ShiftedCaps");
    ASSERT_NE(shift, nullptr);
    ASSERT_NE(caps, nullptr);
    ASSERT_NE(shiftedCaps, nullptr);
    EXPECT_EQ(TargetOf(main, 16), shift);
    EXPECT_EQ(TargetOf(shift, 16), main);
    EXPECT_EQ(TargetOf(main, 20), caps);
    EXPECT_EQ(TargetOf(caps, 20), main);
    EXPECT_EQ(TargetOf(caps, 16), shiftedCaps);
    EXPECT_EQ(FindKeyBoardByUnicode(main, 16), shift);
    EXPECT_EQ(FindKeyBoardByUnicode(main, 20), caps);
    for (KeyDef *key : KeysInListOrder(main)) {
        if ((key->flags & KEY_VIRTUAL) != 0 && key->code == 16) {
            EXPECT_EQ(key->flags, KEY_VIRTUAL | KEY_STICK | KEY_IMAGEINTERNAL | KEY_NEWKEYBD);
        }
    }
}

TEST_F(EnglishLayout, EveryPrintableAsciiCharacterIsOnSomeLevel) {
    ASSERT_NE(main, nullptr);
    std::set<WORD> typed;
    for (const char *subName : {"Main", "Shift", "Caps", "ShiftedCaps"}) {
        for (KeyDef *key : KeysInListOrder(Level(subName))) {
            if ((key->flags & KEY_VIRTUAL) == 0 || key->code == ' ')
                typed.insert(key->code);
        }
    }
    for (WORD c = 32; c <= 126; c++)
        EXPECT_TRUE(typed.count(c)) << "missing '" << (char)c << "'";
}

TEST_F(EnglishLayout, KeysFitThePocketPcScreenWithoutOverlapping) {
    ASSERT_NE(main, nullptr);
    for (const char *subName : {"Main", "Shift", "Caps", "ShiftedCaps"}) {
        std::vector<KeyDef *> keys = KeysInListOrder(Level(subName));
        for (size_t i = 0; i < keys.size(); i++) {
            const KeyDef *a = keys[i];
            EXPECT_GE(a->left, 0);
            EXPECT_LE(a->left + a->width, 240) << subName;
            for (size_t j = i + 1; j < keys.size(); j++) {
                const KeyDef *b = keys[j];
                bool apart = a->left + a->width <= b->left || b->left + b->width <= a->left ||
                             a->top + a->height <= b->top || b->top + b->height <= a->top;
                EXPECT_TRUE(apart) << subName << " keys " << i << " and " << j;
            }
        }
    }
}

TEST_F(EnglishLayout, EditingKeysAndModifiersAreVirtualKeys) {
    ASSERT_NE(main, nullptr);
    std::set<WORD> virtualCodes;
    for (KeyDef *key : KeysInListOrder(main)) {
        if ((key->flags & KEY_VIRTUAL) != 0)
            virtualCodes.insert(key->code);
        if ((key->flags & KEY_VIRTUAL) != 0 && (key->code == 17 || key->code == 18)) {
            EXPECT_EQ(key->flags, KEY_VIRTUAL | KEY_STICK | KEY_IMAGEINTERNAL);
        }
    }
    for (WORD code : {8, 9, 13, 27, 46, 37, 38, 39, 40, 17, 18})
        EXPECT_TRUE(virtualCodes.count(code)) << "missing virtual key " << code;
}

// A virtual key's code is no character to show: each carries a built-in picture instead, on
// every level.
TEST_F(EnglishLayout, VirtualKeysShowBuiltInPictures) {
    ASSERT_NE(main, nullptr);
    const std::map<WORD, DWORD> pictures = {{8, 127},  {9, 108},  {13, 106}, {16, 107}, {17, 113},
                                            {18, 111}, {20, 114}, {27, 110}, {37, 105}, {38, 102},
                                            {39, 103}, {40, 104}, {46, 128}};
    for (const char *subName : {"Main", "Shift", "Caps", "ShiftedCaps"}) {
        for (KeyDef *key : KeysInListOrder(Level(subName))) {
            if ((key->flags & KEY_VIRTUAL) == 0 || key->code == ' ' || key->code == ',')
                continue;
            ASSERT_EQ(pictures.count(key->code), 1u) << subName << " " << key->code;
            EXPECT_NE(key->flags & KEY_IMAGEINTERNAL, 0u) << subName << " " << key->code;
            EXPECT_EQ(key->imageIndex, pictures.at(key->code)) << subName << " " << key->code;
        }
    }
}

} // namespace
