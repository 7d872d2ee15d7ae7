// Finding keys and sub-keyboards in a loaded layout tree.
#include <gtest/gtest.h>

#include "layodex_test_support.h"

namespace {

class Lookups : public testing::Test {
  protected:
    Lookups() : layouts(DataDirectory()) {
        main = layouts.Load("Look");
    }
    void SetUp() override {
        ASSERT_NE(main, nullptr);
        keys = KeysInListOrder(main);
        shift = FindKeyBoardByNumber(main, 1);
        ASSERT_NE(shift, nullptr);
    }
    LoadedLayouts layouts;
    KeyboardLayout *main = nullptr;
    KeyboardLayout *shift = nullptr;
    std::vector<KeyDef *> keys;
};

TEST_F(Lookups, MarkedKeysAreSkippedSoTheNextOneIsFound) {
    const DWORD excluded = KEY_VIRTUAL | KEY_TEMP_MARK;
    EXPECT_EQ(GettingKeyByUnicode(main->keys, 'a', 0, excluded), keys[0]);
    keys[0]->flags |= KEY_TEMP_MARK;
    EXPECT_EQ(GettingKeyByUnicode(main->keys, 'a', 0, excluded), keys[1]);
    keys[1]->flags |= KEY_TEMP_MARK;
    EXPECT_EQ(GettingKeyByUnicode(main->keys, 'a', 0, excluded), keys[2]);
    keys[2]->flags |= KEY_TEMP_MARK;
    EXPECT_EQ(GettingKeyByUnicode(main->keys, 'a', 0, excluded), nullptr);
    EXPECT_EQ(ClearTempFlag(main), 1);
    EXPECT_EQ(keys[2]->flags & KEY_TEMP_MARK, 0u);
}

TEST_F(Lookups, VirtualKeysStandInOnlyForTheCharactersTheirNamesSpell) {
    EXPECT_EQ(FindKeyByUnicode(main->keys, ' ', 0, KEY_VIRTUAL), keys[3]);
    EXPECT_EQ(FindKeyByUnicode(main->keys, 13, 0, KEY_VIRTUAL), nullptr);
    EXPECT_EQ(FindKeyByUnicode(main->keys, 13, 0, 0), keys[4]);
    EXPECT_EQ(FindKeyByUnicode(main->keys, 0, 0, 0), nullptr);
}

TEST_F(Lookups, RequiredMaskSelectsTheKindOfKey) {
    EXPECT_EQ(FindKeyByUnicode(main->keys, 'a', KEY_STICK, 0), keys[1]);
    EXPECT_EQ(FindKeyByUnicode(main->keys, 'a', 0, 0), keys[0]);
    EXPECT_EQ(FindKeyByUnicode(main->keys, 'a', KEY_TOGGLE, 0), nullptr);
}

TEST_F(Lookups, TreeSearchDescendsWhereTheListSearchDoesNot) {
    KeyDef *x = FindKeyByUnicode(main->keys, 'x', 0, 0);
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x, KeysInListOrder(shift)[0]);
    EXPECT_EQ(GettingKeyByUnicode(main->keys, 'x', 0, 0), nullptr);
    // The deepest sub-keyboard is reached through Shift, and every search ends despite cycles.
    EXPECT_NE(FindKeyByUnicode(main->keys, 'z', 0, 0), nullptr);
    EXPECT_EQ(FindKeyByUnicode(main->keys, 'q', 0, 0), nullptr);
}

TEST_F(Lookups, SubKeyboardsByTheCodeOfTheKeyLeadingThere) {
    KeyboardLayout *caps = FindKeyBoardByUnicode(main, 20);
    ASSERT_NE(caps, nullptr);
    EXPECT_EQ(NameOf(caps), "Look/Caps");
    EXPECT_EQ(FindKeyBoardByUnicode(main, 16), shift);
    // Once Main's own CAPITAL key is marked, the search finds Shift's.
    keys[6]->flags |= KEY_TEMP_MARK;
    KeyboardLayout *deep = FindKeyBoardByUnicode(main, 20);
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(NameOf(deep), "Look/Deep");
    EXPECT_EQ(FindKeyBoardByUnicode(main, 'a'), nullptr);
    ClearTempFlag(main);
}

TEST_F(Lookups, IdentitiesOfLoadedSubKeyboardKeys) {
    KeyDef *shiftKey = keys[5];
    ASSERT_NE(shiftKey->identity, 0);
    EXPECT_EQ(FindKeyByIdentity(main->keys, shiftKey->identity), shiftKey);
    EXPECT_EQ(FindKeyByIdentity(main->keys, 0), keys[0]);
    keys[0]->flags |= KEY_TEMP_MARK;
    EXPECT_EQ(FindKeyByIdentity(main->keys, 0), keys[1]);
    EXPECT_EQ(FindKeyByIdentity(main->keys, 9999), nullptr);
    ClearTempFlag(main);
}

TEST_F(Lookups, DepthCountsEachLayoutOnceAlongCycles) {
    EXPECT_EQ(FindKeyBoardByNumber(main, 0), main);
    EXPECT_EQ(NameOf(FindKeyBoardByNumber(main, 1)), "Look/Shift");
    // Main is reached again at depth 2 but was already visited; Deep lies behind Shift.
    KeyboardLayout *two = FindKeyBoardByNumber(main, 2);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(NameOf(two), "Look/Deep");
    EXPECT_EQ(FindKeyBoardByNumber(main, 5), nullptr);
    EXPECT_EQ(FindKeyBoardByNumber(nullptr, 0), nullptr);
}

TEST_F(Lookups, ByNameInAListOfLayouts) {
    Element *list = nullptr;
    AddElement(&list, main);
    EXPECT_EQ(FindKeyBoardByName(list, u"look", 1), shift);
    EXPECT_EQ(FindKeyBoardByName(list, nullptr, 0), main);
    EXPECT_EQ(FindKeyBoardByName(list, u"other", 0), nullptr);
    ReleaseAll(&list, 0);
}

TEST(LookupsInCycles, MainShiftMainTerminatesAndDepthTwoIsNull) {
    LoadedLayouts layouts(DataDirectory());
    KeyboardLayout *main = layouts.Load("Cyc");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(FindKeyBoardByNumber(main, 2), nullptr);
    EXPECT_EQ(FindKeyByUnicode(main->keys, '!', 0, 0), nullptr);
    EXPECT_EQ(FindKeyBoardByUnicode(main, 20), nullptr);
}

} // namespace
